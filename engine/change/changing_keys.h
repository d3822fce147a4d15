// The keys a broker opened or created for changing: only through these may it set values,
// since only these were kept by the backup sink when they were opened.
#pragma once

#include <vector>

#include "engine/ports/registry_port.h"

namespace brenvik {

// The registry as the broker hands it to a key opened for changing: closing the key, by
// whatever holds it, also ends its leave to be changed.
class ChangingKeys final : public RegistryReader {
public:
    explicit ChangingKeys(RegistryReader& registry) : m_registry(registry) {}

    void add(RegKey key) { m_keys.push_back(key); }
    bool holds(RegKey key) const;

    Status openKey(RegKey parent, const std::string& path, std::uint32_t access, RegKey* key,
                   OpenMode mode = OpenMode::AsIs) override {
        return m_registry.openKey(parent, path, access, key, mode);
    }
    Status querySubkeyCount(RegKey key, std::uint32_t* count) override {
        return m_registry.querySubkeyCount(key, count);
    }
    Status enumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t* size) override {
        return m_registry.enumKey(key, index, name, size);
    }
    Status queryValue(RegKey key, const std::string& valueName, std::uint32_t* type,
                      std::uint8_t* data, std::uint32_t* size) override {
        return m_registry.queryValue(key, valueName, type, data, size);
    }
    Status enumValueName(RegKey key, std::uint32_t index, std::string* name) override {
        return m_registry.enumValueName(key, index, name);
    }
    void closeKey(RegKey key) override;

private:
    RegistryReader& m_registry;
    std::vector<RegKey> m_keys;
};

}  // namespace brenvik
