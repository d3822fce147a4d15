#include "platform/win32/win32_host.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace brenvik {

UtcTime Win32Host::now() {
    SYSTEMTIME t = {};
    GetSystemTime(&t);
    return UtcTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

std::string Win32Host::computerName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    if (!GetComputerNameW(name, &length))
        return std::string();
    return WideToUtf8(name, length);
}

std::string Win32Host::userName() {
    wchar_t name[257] = {};  // UNLEN + 1
    DWORD length = 257;
    // The length returned counts the closing NUL.
    if (!GetUserNameW(name, &length) || length == 0)
        return std::string();
    return WideToUtf8(name, length - 1);
}

}  // namespace brenvik
