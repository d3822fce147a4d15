// Win32Platform's registry port over the wide calls: RegKey values are HKEYs, the roots mapped
// explicitly because the predefined HKEYs are sign-extended on 64-bit Windows.
#include <windows.h>

#include <cstring>
#include <vector>

#include <winternl.h>

#include "platform/win32/handles.h"
#include "platform/win32/registry_edge.h"
#include "platform/win32/registry_roots.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

// ntdll: deleting a key through a handle, which no documented registry call does.
extern "C" NTSTATUS NTAPI NtDeleteKey(HANDLE key);

namespace brenvik {
namespace {

bool IsRoot(RegKey key) {
    return key == kHKeyClassesRoot || key == kHKeyCurrentUser || key == kHKeyLocalMachine;
}

bool IsText(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// The whole data of a value as stored, however large.
LONG ReadStoredValue(HKEY key, const std::wstring& name, DWORD* type, std::vector<BYTE>* stored) {
    DWORD size = static_cast<DWORD>(stored->size());
    LONG status = ERROR_MORE_DATA;
    while (status == ERROR_MORE_DATA) {
        // One spare byte keeps data() valid for an empty buffer.
        stored->resize(size + 1);
        size = static_cast<DWORD>(stored->size());
        status = RegQueryValueExW(key, name.c_str(), nullptr, type, stored->data(), &size);
    }
    stored->resize(status == ERROR_SUCCESS ? size : 0);
    return status;
}

// Text as the engine sees it: the stored UTF-16 units as UTF-8, NULs included, so that a
// value stored with its terminator ends in one NUL, as RegQueryValueExA gave it. A stray
// odd byte is no unit and is dropped.
std::vector<BYTE> EngineBytes(DWORD type, const std::vector<BYTE>& stored) {
    if (!IsText(type))
        return stored;
    std::wstring units(stored.size() / sizeof(wchar_t), L'\0');
    std::memcpy(units.data(), stored.data(), units.size() * sizeof(wchar_t));
    const std::string text = WideToUtf8(units);
    return std::vector<BYTE>(text.begin(), text.end());
}

// Text data as RegSetValueExA stored it: converted from the ANSI code page, NULs included.
std::vector<BYTE> StoredBytes(DWORD type, const std::uint8_t* data, std::uint32_t size) {
    if (!IsText(type) || size == 0)
        return std::vector<BYTE>(data, data + size);
    const auto* text = reinterpret_cast<const char*>(data);
    const int length = MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(size), nullptr, 0);
    std::vector<BYTE> stored(static_cast<std::size_t>(length) * sizeof(wchar_t));
    MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(size),
                        reinterpret_cast<wchar_t*>(stored.data()), length);
    return stored;
}

}  // namespace

namespace {

// A key opened for a change is the key that bears the name, never where a link there leads;
// a link is refused (and its handle closed).
Status RefuseLink(HKEY opened, std::uint32_t access, RegKey* key) {
    if (IsForChange(access) && IsRegistryLink(opened)) {
        RegCloseKey(opened);
        return kErrorKeyIsLink;
    }
    *key = FromHkey(opened);
    return kErrorSuccess;
}

}  // namespace

Status Win32Platform::openKey(RegKey parent, const std::string& path, std::uint32_t access,
                              RegKey* key, OpenMode mode) {
    if (mode == OpenMode::BackupIntent)
        return openKeyBackupIntent(parent, path, access, key);
    *key = kNoKey;
    if (HasEmbeddedNul(path))
        return ERROR_INVALID_NAME;
    HKEY opened = nullptr;
    const LONG status =
        RegOpenKeyExW(ToHkey(parent), Utf8ToWide(path).c_str(),
                      IsForChange(access) ? REG_OPTION_OPEN_LINK : 0, access, &opened);
    if (status != ERROR_SUCCESS)
        return status;
    // An empty path gives the parent back: a root is no link.
    if (IsRoot(FromHkey(opened))) {
        *key = FromHkey(opened);
        return kErrorSuccess;
    }
    return RefuseLink(opened, access, key);
}

Status Win32Platform::createKey(RegKey parent, const std::string& path, std::uint32_t access,
                                RegKey* key) {
    *key = kNoKey;
    if (HasEmbeddedNul(path))
        return ERROR_INVALID_NAME;
    HKEY created = nullptr;
    const LONG status = RegCreateKeyExW(ToHkey(parent), Utf8ToWide(path).c_str(), 0, nullptr,
                                        REG_OPTION_NON_VOLATILE | REG_OPTION_OPEN_LINK, access,
                                        nullptr, &created, nullptr);
    if (status != ERROR_SUCCESS)
        return status;
    return RefuseLink(created, access | KEY_CREATE_SUB_KEY, key);
}

Status Win32Platform::querySubkeyCount(RegKey key, std::uint32_t* count) {
    DWORD subkeys = 0;
    const LONG status = RegQueryInfoKeyW(ToHkey(key), nullptr, nullptr, nullptr, &subkeys, nullptr,
                                         nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_SUCCESS)
        *count = subkeys;
    return status;
}

Status Win32Platform::enumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t* size) {
    // A key name has at most 255 characters.
    wchar_t wide[256];
    DWORD length = 256;
    const LONG status =
        RegEnumKeyExW(ToHkey(key), index, wide, &length, nullptr, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS)
        return status;
    // The caller's buffer counts bytes of UTF-8: the name and its NUL must fit.
    const std::string text = WideToUtf8(wide, length);
    if (text.size() + 1 > *size)
        return ERROR_MORE_DATA;
    std::memcpy(name, text.c_str(), text.size() + 1);
    *size = static_cast<std::uint32_t>(text.size());
    return ERROR_SUCCESS;
}

Status Win32Platform::queryValue(RegKey key, const std::string& valueName, std::uint32_t* type,
                                 std::uint8_t* data, std::uint32_t* size) {
    if (data && !size)
        return ERROR_INVALID_PARAMETER;
    DWORD valueType = REG_NONE;
    // Text of up to 2 * size bytes of UTF-16 may fit size bytes of UTF-8: one read as a rule.
    std::vector<BYTE> stored(data ? 2 * static_cast<std::size_t>(*size) : 0);
    if (HasEmbeddedNul(valueName))
        return ERROR_INVALID_NAME;
    const LONG status = ReadStoredValue(ToHkey(key), Utf8ToWide(valueName), &valueType, &stored);
    if (status != ERROR_SUCCESS)
        return status;
    if (type)
        *type = valueType;
    const std::vector<BYTE> bytes = EngineBytes(valueType, stored);
    const auto needed = static_cast<std::uint32_t>(bytes.size());
    if (!size)
        return ERROR_SUCCESS;
    // ERROR_MORE_DATA reports the size the data needs.
    const bool fits = !data || needed <= *size;
    if (data && fits)
        std::memcpy(data, bytes.data(), bytes.size());
    *size = needed;
    return fits ? ERROR_SUCCESS : ERROR_MORE_DATA;
}

Status Win32Platform::setValue(RegKey key, const std::string& valueName, std::uint32_t type,
                               const std::uint8_t* data, std::uint32_t size) {
    if (!data && size)
        return ERROR_INVALID_PARAMETER;
    if (HasEmbeddedNul(valueName))
        return ERROR_INVALID_NAME;
    const std::vector<BYTE> stored = StoredBytes(type, data, size);
    return RegSetValueExW(ToHkey(key), Utf8ToWide(valueName).c_str(), 0, type, stored.data(),
                          static_cast<DWORD>(stored.size()));
}

Status Win32Platform::setText(RegKey key, const std::string& valueName, std::uint32_t type,
                              const std::string& text) {
    if (HasEmbeddedNul(valueName) || HasEmbeddedNul(text))
        return ERROR_INVALID_PARAMETER;
    const std::wstring wide = Utf8ToWide(text);
    return RegSetValueExW(ToHkey(key), Utf8ToWide(valueName).c_str(), 0, type,
                          reinterpret_cast<const BYTE*>(wide.c_str()),
                          static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
}

Status Win32Platform::enumValueName(RegKey key, std::uint32_t index, std::string* name) {
    name->clear();
    // A value name has at most 16 383 characters.
    std::vector<wchar_t> wide(16384);
    DWORD length = static_cast<DWORD>(wide.size());
    const LONG status =
        RegEnumValueW(ToHkey(key), index, wide.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS)
        return status;
    *name = WideToUtf8(wide.data(), length);
    return ERROR_SUCCESS;
}

Status Win32Platform::deleteValue(RegKey key, const std::string& valueName) {
    if (HasEmbeddedNul(valueName))
        return ERROR_INVALID_NAME;
    return RegDeleteValueW(ToHkey(key), Utf8ToWide(valueName).c_str());
}

Status DeleteKeyOnItsName(HKEY parent, const std::string& path, DWORD options) {
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExW(parent, Utf8ToWide(path).c_str(),
                                      options | REG_OPTION_OPEN_LINK, DELETE, &opened);
    if (status != ERROR_SUCCESS)
        return status;
    UniqueHkey held(opened);
    if (IsRegistryLink(held.get()))
        return kErrorKeyIsLink;
    return static_cast<Status>(RtlNtStatusToDosError(NtDeleteKey(held.get())));
}

Status Win32Platform::deleteKey(RegKey parent, const std::string& path, OpenMode mode) {
    if (mode == OpenMode::BackupIntent)
        return deleteKeyBackupIntent(parent, path);
    if (HasEmbeddedNul(path))
        return ERROR_INVALID_NAME;
    if (path.empty())
        return RegDeleteKeyW(ToHkey(parent), L"");
    return DeleteKeyOnItsName(ToHkey(parent), path, 0);
}

void Win32Platform::closeKey(RegKey key) {
    if (key == kNoKey || IsRoot(key))
        return;
    RegCloseKey(ToHkey(key));
}

}  // namespace brenvik
