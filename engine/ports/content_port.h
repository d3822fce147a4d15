// Objects as whole bytes: what a backup keeps of a file and of a key's values, and what a
// restore writes back.
#pragma once

#include <cstdint>
#include <string>

#include "engine/ports/registry_port.h"
#include "engine/ports/win_status.h"

namespace brenvik {

// The largest file a backup keeps; anything larger is ERROR_INVALID_DATA (shortcuts are small).
constexpr std::size_t kMaxContentBytes = 16u << 20;

// One value as the registry stores it: text values keep their stored (UTF-16) bytes and NULs.
struct ValueEntry {
    std::string name;  // UTF-8
    std::uint32_t type = kRegNone;
    std::string data;

    bool operator==(const ValueEntry& o) const {
        return name == o.name && type == o.type && data == o.data;
    }
};

class ContentPort {
public:
    virtual ~ContentPort() = default;

    // CreateFileW(path, GENERIC_READ, share read, OPEN_EXISTING) and ReadFile to the end.
    // BackupIntent adds FILE_FLAG_BACKUP_SEMANTICS, which the backup privilege lets through a
    // refusing list.
    virtual Status readFileBytes(const std::string& path, std::string* bytes,
                                 OpenMode mode = OpenMode::AsIs) = 0;
    // CreateFileW(path, GENERIC_WRITE, 0, replace ? CREATE_ALWAYS : CREATE_NEW, write
    // through), WriteFile of every byte, FlushFileBuffers. A new file gets the folder's
    // inherited list; an existing one keeps its own. BackupIntent adds
    // FILE_FLAG_BACKUP_SEMANTICS, which the restore privilege lets through a list that
    // refuses writing.
    virtual Status writeFileBytes(const std::string& path, const std::string& bytes, bool replace,
                                  OpenMode mode = OpenMode::AsIs) = 0;
    // RegEnumValueW(key, index, ...): ERROR_NO_MORE_ITEMS past the end.
    virtual Status enumValue(RegKey key, std::uint32_t index, ValueEntry* value) = 0;
    // RegSetValueExW(key, name, 0, type, data, size) with the bytes exactly as given.
    virtual Status setValueBytes(RegKey key, const std::string& name, std::uint32_t type,
                                 const std::string& data) = 0;
};

}  // namespace brenvik
