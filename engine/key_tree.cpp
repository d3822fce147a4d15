#include "engine/key_tree.h"

namespace brenvik {

Status DeleteKeyTree(RegistryPort& registry, RegKey parent, const std::string& path) {
    ScopedKey key(registry);
    const Status opened = registry.openKey(parent, path, kKeyReadWrite, key.put());
    if (opened != kErrorSuccess)
        return opened;

    for (;;) {
        // Always index 0: each deletion moves the next subkey to the front.
        char name[256];
        std::uint32_t size = sizeof name;
        if (registry.enumKey(key.get(), 0, name, &size) != kErrorSuccess) {
            key.reset();
            return registry.deleteKey(parent, path);
        }
        const Status deleted = DeleteKeyTree(registry, key.get(), std::string(name, size));
        if (deleted != kErrorSuccess)
            return deleted;
    }
}

}  // namespace brenvik
