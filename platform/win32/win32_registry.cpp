// Win32Platform's registry port: RegKey values are HKEYs, the roots mapped explicitly
// because the predefined HKEYs are sign-extended on 64-bit Windows.
#include <windows.h>

#include "platform/win32/win32_platform.h"

namespace brenvik {
namespace {

HKEY ToHkey(RegKey key) {
    switch (key) {
        case kHKeyClassesRoot:
            return HKEY_CLASSES_ROOT;
        case kHKeyCurrentUser:
            return HKEY_CURRENT_USER;
        case kHKeyLocalMachine:
            return HKEY_LOCAL_MACHINE;
        default:
            return reinterpret_cast<HKEY>(key);
    }
}

RegKey FromHkey(HKEY key) {
    if (key == HKEY_CLASSES_ROOT)
        return kHKeyClassesRoot;
    if (key == HKEY_CURRENT_USER)
        return kHKeyCurrentUser;
    if (key == HKEY_LOCAL_MACHINE)
        return kHKeyLocalMachine;
    return reinterpret_cast<RegKey>(key);
}

bool IsRoot(RegKey key) {
    return key == kHKeyClassesRoot || key == kHKeyCurrentUser || key == kHKeyLocalMachine;
}

}  // namespace

Status Win32Platform::openKey(RegKey parent, const std::string& path, std::uint32_t access,
                              RegKey* key) {
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExA(ToHkey(parent), path.c_str(), 0, access, &opened);
    *key = status == ERROR_SUCCESS ? FromHkey(opened) : kNoKey;
    return status;
}

Status Win32Platform::createKey(RegKey parent, const std::string& path, std::uint32_t access,
                                RegKey* key) {
    HKEY created = nullptr;
    const LONG status =
        RegCreateKeyExA(ToHkey(parent), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                        nullptr, &created, nullptr);
    *key = status == ERROR_SUCCESS ? FromHkey(created) : kNoKey;
    return status;
}

Status Win32Platform::querySubkeyCount(RegKey key, std::uint32_t* count) {
    DWORD subkeys = 0;
    const LONG status = RegQueryInfoKeyA(ToHkey(key), nullptr, nullptr, nullptr, &subkeys, nullptr,
                                         nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_SUCCESS)
        *count = subkeys;
    return status;
}

Status Win32Platform::enumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t* size) {
    DWORD length = *size;
    const LONG status =
        RegEnumKeyExA(ToHkey(key), index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_SUCCESS)
        *size = length;
    return status;
}

Status Win32Platform::queryValue(RegKey key, const std::string& valueName, std::uint32_t* type,
                                 std::uint8_t* data, std::uint32_t* size) {
    DWORD valueType = 0;
    DWORD length = size ? *size : 0;
    const LONG status = RegQueryValueExA(ToHkey(key), valueName.c_str(), nullptr, &valueType, data,
                                         size ? &length : nullptr);
    if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA)
        return status;
    if (type)
        *type = valueType;
    // ERROR_MORE_DATA reports the size the data needs.
    if (size)
        *size = length;
    return status;
}

Status Win32Platform::setValue(RegKey key, const std::string& valueName, std::uint32_t type,
                               const std::uint8_t* data, std::uint32_t size) {
    return RegSetValueExA(ToHkey(key), valueName.c_str(), 0, type, data, size);
}

Status Win32Platform::deleteKey(RegKey parent, const std::string& path) {
    return RegDeleteKeyA(ToHkey(parent), path.c_str());
}

void Win32Platform::closeKey(RegKey key) {
    if (key == kNoKey || IsRoot(key))
        return;
    RegCloseKey(ToHkey(key));
}

}  // namespace brenvik
