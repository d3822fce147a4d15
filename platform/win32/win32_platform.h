// The ports over the real Win32 calls (8-bit variants), for brenvik.exe and the Wine tests.
#pragma once

#include "engine/ports/ports.h"

namespace brenvik {

class Win32Platform final : public RegistryPort,
                            public FilePort,
                            public ShortcutPort,
                            public AccessPort {
public:
    Win32Platform() = default;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    Ports ports() { return Ports{*this, *this, *this, *this}; }

    // ---- RegistryPort ----
    Status openKey(RegKey parent, const std::string& path, std::uint32_t access,
                   RegKey* key) override;
    Status createKey(RegKey parent, const std::string& path, std::uint32_t access,
                     RegKey* key) override;
    Status querySubkeyCount(RegKey key, std::uint32_t* count) override;
    Status enumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t* size) override;
    Status queryValue(RegKey key, const std::string& valueName, std::uint32_t* type,
                      std::uint8_t* data, std::uint32_t* size) override;
    Status setValue(RegKey key, const std::string& valueName, std::uint32_t type,
                    const std::uint8_t* data, std::uint32_t size) override;
    Status deleteKey(RegKey parent, const std::string& path) override;
    void closeKey(RegKey key) override;

    // ---- FilePort ----
    FindHandle findFirst(const std::string& pattern, FindEntry* entry) override;
    bool findNext(FindHandle handle, FindEntry* entry) override;
    void findClose(FindHandle handle) override;
    std::uint32_t getAttributes(const std::string& path) override;
    bool setAttributes(const std::string& path, std::uint32_t attributes) override;
    bool deleteFile(const std::string& path) override;
    Status getLinkCount(const std::string& path, std::uint32_t* count) override;

    // ---- ShortcutPort ----
    // Each call initialises COM on the calling thread (CoInitialize(NULL)) and leaves it so.
    std::string readLinkArguments(const std::string& linkPath) override;
    bool writeLinkArguments(const std::string& linkPath, const std::string& arguments) override;

    // ---- AccessPort ----
    Status readAccessList(const std::string& objectName, SecurityObjectType type,
                          AccessList* list) override;
    Status writeAccessList(const std::string& objectName, SecurityObjectType type,
                           const AccessList& list) override;
};

}  // namespace brenvik
