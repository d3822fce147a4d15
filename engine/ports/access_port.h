// Reading and replacing the access list (DACL) of a named registry key or file.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/ports/win_status.h"

namespace brenvik {

// SE_OBJECT_TYPE values.
enum class SecurityObjectType : int { File = 1, RegistryKey = 4 };

// One access control entry. Allowed and denied entries are described by their fields;
// an entry of any other type is carried as its raw bytes so that it can be written back.
struct AccessEntry {
    std::uint8_t type = kAccessAllowedAceType;  // ACE_HEADER.AceType
    std::uint8_t flags = 0;                     // ACE_HEADER.AceFlags
    std::uint32_t mask = 0;
    std::string sid;                // "S-1-..." for allowed and denied entries
    std::vector<std::uint8_t> raw;  // the whole entry, for other types only

    bool operator==(const AccessEntry& o) const {
        return type == o.type && flags == o.flags && mask == o.mask && sid == o.sid && raw == o.raw;
    }
    bool operator!=(const AccessEntry& o) const { return !(*this == o); }
};

// A DACL as the object holds it. present == false is a null DACL, which admits everybody.
// isProtected is SE_DACL_PROTECTED: the list inherits nothing from the parent.
// An allowed or denied entry naming sid.
inline AccessEntry SidEntry(std::uint8_t type, std::uint8_t flags, std::uint32_t mask,
                            std::string sid) {
    AccessEntry entry;
    entry.type = type;
    entry.flags = flags;
    entry.mask = mask;
    entry.sid = std::move(sid);
    return entry;
}

struct AccessList {
    bool present = false;
    bool isProtected = false;
    std::vector<AccessEntry> entries;

    bool operator==(const AccessList& o) const {
        return present == o.present && isProtected == o.isProtected && entries == o.entries;
    }
    bool operator!=(const AccessList& o) const { return !(*this == o); }
};

// What a scan may learn of access: the lists objects hold and the account it runs as.
class AccessReader {
public:
    virtual ~AccessReader() = default;

    // GetNamedSecurityInfoW(name, type, DACL_SECURITY_INFORMATION, ...). Registry objects
    // are named "MACHINE\..." or "USERS\<sid>\..." (the engine never names the merged or
    // per-process views, CLASSES_ROOT and CURRENT_USER); files by path. Names are UTF-8.
    virtual Status readAccessList(const std::string& objectName, SecurityObjectType type,
                                  AccessList* list) = 0;
    // GetTokenInformation(process token, TokenUser) as "S-1-...": the account whose hive
    // HKEY_CURRENT_USER is for this process.
    virtual Status tokenUserSid(std::string* sid) = 0;
};

// Access lists replaced and the process's privileges enabled (through the broker only).
class AccessPort : public AccessReader {
public:
    // SetNamedSecurityInfoW(name, type, DACL_SECURITY_INFORMATION with the list's protection,
    // NULL, NULL, dacl, NULL). Entries are written in the order given.
    virtual Status writeAccessList(const std::string& objectName, SecurityObjectType type,
                                   const AccessList& list) = 0;
    // Enables SeBackupPrivilege and SeRestorePrivilege in the process token; 0 only when both
    // are held and enabled. The privileges act only where a call asks for backup semantics.
    virtual Status enableBackupPrivileges() = 0;
};

}  // namespace brenvik
