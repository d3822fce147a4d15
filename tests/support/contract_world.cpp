#include "tests/support/contract_world.h"

namespace brenvik::test {

std::string KeyObjectName(RegKey root, const std::string& path) {
    const char* word = root == kHKeyLocalMachine  ? "MACHINE\\"
                       : root == kHKeyClassesRoot ? "CLASSES_ROOT\\"
                                                  : "CURRENT_USER\\";
    return word + path;
}

}  // namespace brenvik::test
