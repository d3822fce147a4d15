#include "platform/win32/command_lock.h"

#include <aclapi.h>

#include "platform/win32/win32_platform.h"

namespace brenvik {
namespace {

constexpr const char* kLockFolder = "Lock";
// How often a wait looks again at the lock and at the stop signal.
constexpr DWORD kPollMs = 200;
// Names passed over before giving up: each needs a file another account made in the folder
// before the program ever secured it.
constexpr int kLockNames = 16;

std::wstring LockFolderPath() {
    const std::wstring& data = DataFolderPath();
    return data.empty() ? data : data + L"\\Lock";
}

std::wstring LockName(int index) {
    return index == 0 ? L"\\command.lock" : L"\\command." + std::to_wstring(index) + L".lock";
}

bool IsOwnUser(PSID sid) {
    UniqueHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put()))
        return false;
    BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    DWORD size = 0;
    if (!GetTokenInformation(token.get(), TokenUser, buffer, sizeof buffer, &size))
        return false;
    return EqualSid(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, sid) != FALSE;
}

// A file Brenvik could have made: a plain file with one name, owned by Administrators,
// SYSTEM or the running user (the owner Wine gives every file).
bool IsOurs(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!GetFileInformationByHandle(file, &info))
        return false;
    if ((info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) ||
        info.nNumberOfLinks != 1)
        return false;
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                        nullptr, &descriptor) != ERROR_SUCCESS)
        return false;
    UniqueHlocal owned(descriptor);
    return owner != nullptr && (IsWellKnownSid(owner, WinBuiltinAdministratorsSid) ||
                                IsWellKnownSid(owner, WinLocalSystemSid) || IsOwnUser(owner));
}

enum class Attempt { Taken, Busy, PassOver, Failed };

// One try at one name. Busy: another process holds a file of ours under it.
Attempt TryName(const std::wstring& path, UniqueHfile* taken) {
    // Reading only, and no sharing: any other open of the data fails while this one lasts.
    UniqueHfile file(CreateFileW(path.c_str(), FILE_READ_DATA | FILE_READ_ATTRIBUTES | READ_CONTROL,
                                 0, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (file) {
        if (!IsOurs(file.get()))
            return Attempt::PassOver;
        *taken = std::move(file);
        return Attempt::Taken;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED)
        return Attempt::Failed;
    // Held, or refused to us: an open for the owner alone takes no part in sharing.
    UniqueHfile look(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES | READ_CONTROL,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (look && IsOurs(look.get()))
        return error == ERROR_SHARING_VIOLATION ? Attempt::Busy : Attempt::Failed;
    return Attempt::PassOver;
}

// Busy while another Brenvik process holds the first name of ours.
Attempt TryLock(const std::wstring& folder, UniqueHfile* taken) {
    for (int index = 0; index < kLockNames; ++index) {
        const Attempt attempt = TryName(folder + LockName(index), taken);
        if (attempt != Attempt::PassOver)
            return attempt;
    }
    return Attempt::Failed;
}

}  // namespace

std::wstring CommandLock::FirstLockPath() {
    const std::wstring folder = LockFolderPath();
    return folder.empty() ? folder : folder + LockName(0);
}

CommandLock::CommandLock(DWORD timeoutMs, const StopSignal* stop) {
    const std::wstring folder = LockFolderPath();
    bool trusted = false;
    // Only administrators and SYSTEM may create files there once this has returned.
    if (folder.empty() || Win32Platform().secureFolder(kLockFolder, &trusted) != kErrorSuccess)
        return;
    const DWORD start = GetTickCount();
    for (;;) {
        if (TryLock(folder, &m_file) != Attempt::Busy)
            return;
        if (stop != nullptr && stop->requested())
            return;
        if (timeoutMs != INFINITE && GetTickCount() - start >= timeoutMs)
            return;
        Sleep(kPollMs);
    }
}

}  // namespace brenvik
