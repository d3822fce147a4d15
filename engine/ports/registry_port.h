// The registry operations the rules need, one method per Win32 call (wide variants; key and
// value names are UTF-8).
#pragma once

#include <cstdint>
#include <string>

#include "engine/ports/open_mode.h"
#include "engine/ports/unique_handle.h"
#include "engine/ports/win_status.h"

namespace brenvik {

// An open registry key or one of the predefined roots. The values of the roots are the
// low 32 bits of the Win32 HKEY constants; any other value is a key the port opened.
using RegKey = std::uintptr_t;
constexpr RegKey kHKeyClassesRoot = 0x80000000u;
constexpr RegKey kHKeyCurrentUser = 0x80000001u;
constexpr RegKey kHKeyLocalMachine = 0x80000002u;
constexpr RegKey kNoKey = 0;

// What a scan may do with the registry: open, list and read keys, and close them.
class RegistryReader {
public:
    virtual ~RegistryReader() = default;

    // RegOpenKeyExW(parent, path, 0, access, out); BackupIntent adds REG_OPTION_BACKUP_RESTORE:
    // with the backup and restore privileges enabled, a list that refuses the caller does not
    // refuse that.
    virtual Status openKey(RegKey parent, const std::string& path, std::uint32_t access,
                           RegKey* key, OpenMode mode = OpenMode::AsIs) = 0;
    // RegQueryInfoKeyW asking for the number of subkeys only.
    virtual Status querySubkeyCount(RegKey key, std::uint32_t* count) = 0;
    // RegEnumKeyExW(key, index, name, &size, ...), the name as UTF-8: size is in/out, in bytes
    // of the buffer on entry and bytes written (without NUL) on success; ERROR_MORE_DATA when
    // the UTF-8 name and its NUL do not fit, ERROR_NO_MORE_ITEMS past the end.
    virtual Status enumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t* size) = 0;
    // RegQueryValueExW(key, name, NULL, type, data, size). Text (REG_SZ, REG_EXPAND_SZ,
    // REG_MULTI_SZ) comes as UTF-8 with its stored NULs, as RegQueryValueExA gave it in its
    // code page; size is in/out in bytes of that form; ERROR_MORE_DATA (and the needed size)
    // when the data does not fit.
    virtual Status queryValue(RegKey key, const std::string& valueName, std::uint32_t* type,
                              std::uint8_t* data, std::uint32_t* size) = 0;
    // RegEnumValueW(key, index, name, ...) asking for the name alone, as UTF-8;
    // ERROR_NO_MORE_ITEMS past the end.
    virtual Status enumValueName(RegKey key, std::uint32_t index, std::string* name) = 0;
    // RegCloseKey; roots are left alone.
    virtual void closeKey(RegKey key) = 0;
};

// The registry with its changes, which outside the broker and the restore only the broker
// makes (each kept and escalated through it).
class RegistryPort : public RegistryReader {
public:
    // RegCreateKeyExW(parent, path, 0, NULL, REG_OPTION_NON_VOLATILE, access, NULL, out, NULL):
    // creates missing parents too, opens an existing key.
    virtual Status createKey(RegKey parent, const std::string& path, std::uint32_t access,
                             RegKey* key) = 0;
    // RegSetValueExW(key, name, 0, type, data, size). Text data is taken in the ANSI code page
    // and stored converted, as RegSetValueExA stores it, so that what Fix Desktop writes is
    // stored exactly as before; the name is UTF-8.
    virtual Status setValue(RegKey key, const std::string& valueName, std::uint32_t type,
                            const std::uint8_t* data, std::uint32_t size) = 0;
    // RegSetValueExW(key, name, 0, type, text as UTF-16 with its terminator): text values
    // (REG_SZ, REG_EXPAND_SZ) written from UTF-8, whatever the ANSI code page.
    virtual Status setText(RegKey key, const std::string& valueName, std::uint32_t type,
                           const std::string& text) = 0;
    // RegDeleteValueW(key, name): ERROR_FILE_NOT_FOUND when there is no such value.
    virtual Status deleteValue(RegKey key, const std::string& valueName) = 0;
    // RegDeleteKeyW(parent, path): refused while the key has subkeys. BackupIntent deletes it
    // through a handle opened with REG_OPTION_BACKUP_RESTORE.
    virtual Status deleteKey(RegKey parent, const std::string& path,
                             OpenMode mode = OpenMode::AsIs) = 0;
};

// Closes an open key when it goes out of scope; roots are left alone.
using ScopedKey = UniquePortHandle<RegistryReader, RegKey, &RegistryReader::closeKey, kNoKey>;

}  // namespace brenvik
