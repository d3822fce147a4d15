// Win32Platform's escalated calls: the backup and restore privileges, and the keys and files
// they let through a refusing list (REG_OPTION_BACKUP_RESTORE, FILE_FLAG_BACKUP_SEMANTICS).
// Shortcuts read and written that way live with the other shell link calls.
#include <windows.h>
#include <winternl.h>

#include "platform/win32/handles.h"
#include "platform/win32/registry_edge.h"
#include "platform/win32/registry_roots.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace brenvik {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

Status LastError() {
    return static_cast<Status>(GetLastError());
}

}  // namespace

Status Win32Platform::enableBackupPrivileges() {
    UniqueHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, token.put()))
        return LastError();
    struct {
        DWORD count;
        LUID_AND_ATTRIBUTES privileges[2];
    } wanted = {2, {}};
    const wchar_t* names[] = {L"SeBackupPrivilege", L"SeRestorePrivilege"};
    for (int i = 0; i < 2; ++i) {
        if (!LookupPrivilegeValueW(nullptr, names[i], &wanted.privileges[i].Luid))
            return LastError();
        wanted.privileges[i].Attributes = SE_PRIVILEGE_ENABLED;
    }
    // Succeeds also when a privilege is not held; only the last error tells.
    if (!AdjustTokenPrivileges(token.get(), FALSE, reinterpret_cast<TOKEN_PRIVILEGES*>(&wanted), 0,
                               nullptr, nullptr))
        return LastError();
    return LastError();
}

Status Win32Platform::openKeyBackupIntent(RegKey parent, const std::string& path,
                                          std::uint32_t access, RegKey* key) {
    *key = kNoKey;
    if (HasEmbeddedNul(path))
        return ERROR_INVALID_NAME;
    const DWORD link = IsForChange(access) ? REG_OPTION_OPEN_LINK : 0;
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExW(ToHkey(parent), Utf8ToWide(path).c_str(),
                                      REG_OPTION_BACKUP_RESTORE | link, access, &opened);
    if (status != ERROR_SUCCESS)
        return status;
    if (link != 0 && IsRegistryLink(opened)) {
        RegCloseKey(opened);
        return kErrorKeyIsLink;
    }
    *key = FromHkey(opened);
    return status;
}

Status Win32Platform::deleteKeyBackupIntent(RegKey parent, const std::string& path) {
    if (path.empty())
        return kErrorAccessDenied;  // never a root, nor the parent itself
    if (HasEmbeddedNul(path))
        return ERROR_INVALID_NAME;
    return DeleteKeyOnItsName(ToHkey(parent), path, REG_OPTION_BACKUP_RESTORE);
}

Status Win32Platform::deleteFileBackupIntent(const std::string& path) {
    UniqueHfile file(
        CreateFileW(Utf8ToWide(path).c_str(), DELETE, kShareAll, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file)
        return LastError();
    FILE_DISPOSITION_INFO disposition = {TRUE};
    if (!SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition,
                                    sizeof disposition))
        return LastError();
    return kErrorSuccess;
}

}  // namespace brenvik
