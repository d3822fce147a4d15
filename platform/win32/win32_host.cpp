#include "platform/win32/win32_host.h"

#include <windows.h>

#include <tlhelp32.h>

#include "platform/win32/handles.h"
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

namespace {

// The full path of a process's image; its file name from the snapshot when the process cannot
// be opened for it.
std::string ImageOf(const PROCESSENTRY32W& entry) {
    const UniqueHandle process(
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
    wchar_t path[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    if (process && QueryFullProcessImageNameW(process.get(), 0, path, &length))
        return WideToUtf8(path, length);
    return WideToUtf8(entry.szExeFile, lstrlenW(entry.szExeFile));
}

}  // namespace

std::vector<RunningProgram> Win32Host::runningPrograms() {
    std::vector<RunningProgram> programs;
    // The snapshot fails with INVALID_HANDLE_VALUE, as CreateFile does.
    const UniqueHfile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return programs;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry))
        programs.push_back(RunningProgram{entry.th32ProcessID, ImageOf(entry)});
    return programs;
}

void Win32Host::pause(int milliseconds) {
    Sleep(static_cast<DWORD>(milliseconds));
}

}  // namespace brenvik
