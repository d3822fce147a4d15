// Host paths as the Windows programs under Wine see them.
#pragma once

#include <string>

namespace brenvik::test {

// An absolute host path ("/x/y") on drive Z:, which Wine maps to the host's root ("Z:\x\y");
// any other path as it is.
inline std::string WindowsPath(std::string path) {
    if (path.empty() || path[0] != '/')
        return path;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return "Z:" + path;
}

}  // namespace brenvik::test
