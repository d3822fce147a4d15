#include "engine/backup/key_tree.h"

#include "engine/places/key_names.h"

namespace brenvik {
namespace {

// The first subkey's name; false when there is none (or it cannot be read).
bool FirstSubkey(AccessBroker& broker, RegKey root, const std::string& path, std::string* name,
                 Status* opened) {
    ScopedKey key(broker.reads().registry);
    *opened = broker.openKey(root, path, kKeyRead, &key);
    if (*opened != kErrorSuccess)
        return false;
    char buffer[kKeyNameBufferSize];
    std::uint32_t size = sizeof buffer;
    if (broker.reads().registry.enumKey(key.get(), 0, buffer, &size) != kErrorSuccess)
        return false;
    name->assign(buffer, size);
    return true;
}

}  // namespace

Status DeleteKeyTree(AccessBroker& broker, RegKey root, const std::string& path) {
    // Kept whole before the first leaf goes; the keys below are then already kept.
    if (Status s = broker.keepKeyTree(root, path))
        return s;
    // Always the first subkey: each deletion moves the next one to the front. The key is
    // not held open meanwhile, so each step opens it with the access it needs.
    for (;;) {
        std::string name;
        Status opened = kErrorSuccess;
        if (!FirstSubkey(broker, root, path, &name, &opened)) {
            if (opened != kErrorSuccess)
                return opened;
            return broker.deleteKey(root, path);
        }
        const Status deleted = DeleteKeyTree(broker, root, path + "\\" + name);
        if (deleted != kErrorSuccess)
            return deleted;
    }
}

}  // namespace brenvik
