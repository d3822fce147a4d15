// Win32Platform's known folders through SHGetKnownFolderPath.
#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <string>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace brenvik {
namespace {

constexpr wchar_t kQuickLaunchBelowAppData[] = L"\\Microsoft\\Internet Explorer\\Quick Launch";

const KNOWNFOLDERID* FolderIdOf(KnownFolder id) {
    switch (id) {
        case KnownFolder::Desktop:
            return &FOLDERID_Desktop;
        case KnownFolder::PublicDesktop:
            return &FOLDERID_PublicDesktop;
        case KnownFolder::QuickLaunch:
            return &FOLDERID_QuickLaunch;
        case KnownFolder::StartMenu:
            return &FOLDERID_StartMenu;
        case KnownFolder::CommonStartMenu:
            return &FOLDERID_CommonStartMenu;
        case KnownFolder::Startup:
            return &FOLDERID_Startup;
        case KnownFolder::CommonStartup:
            return &FOLDERID_CommonStartup;
        case KnownFolder::RoamingAppData:
            return &FOLDERID_RoamingAppData;
        case KnownFolder::LocalAppData:
            return &FOLDERID_LocalAppData;
        case KnownFolder::Temp:
            return nullptr;
    }
    return nullptr;
}

// A Win32 error carried in an HRESULT as itself; any other failure as "no such folder".
Status StatusOf(HRESULT result) {
    if (SUCCEEDED(result))
        return kErrorSuccess;
    if (HRESULT_FACILITY(result) == FACILITY_WIN32)
        return static_cast<Status>(HRESULT_CODE(result));
    return kErrorFileNotFound;
}

Status KnownFolderPath(const KNOWNFOLDERID& id, std::wstring* path) {
    PWSTR known = nullptr;
    const HRESULT result = SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &known);
    if (SUCCEEDED(result) && known != nullptr)
        *path = known;
    CoTaskMemFree(known);
    return StatusOf(result);
}

Status TempPath(std::wstring* path) {
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH)
        return length == 0 ? static_cast<Status>(GetLastError()) : kErrorFileNotFound;
    *path = buffer;
    return kErrorSuccess;
}

// Without the closing backslash GetTempPathW adds, except a drive's root ("C:\").
std::wstring WithoutClosingBackslash(std::wstring path) {
    if (path.size() > 3 && path.back() == L'\\')
        path.pop_back();
    return path;
}

Status FindFolder(KnownFolder id, std::wstring* path) {
    if (id == KnownFolder::Temp)
        return TempPath(path);
    const Status s = KnownFolderPath(*FolderIdOf(id), path);
    if (s == kErrorSuccess || id != KnownFolder::QuickLaunch)
        return s;
    // Wine 8 fails FOLDERID_QuickLaunch (E_INVALIDARG) although the folder exists where
    // Windows keeps it: below the roaming AppData folder.
    if (KnownFolderPath(FOLDERID_RoamingAppData, path) != kErrorSuccess)
        return s;
    *path += kQuickLaunchBelowAppData;
    return kErrorSuccess;
}

}  // namespace

Status Win32Platform::knownFolder(KnownFolder id, std::string* path) {
    path->clear();
    std::wstring found;
    if (Status s = FindFolder(id, &found))
        return s;
    *path = WideToUtf8(WithoutClosingBackslash(found));
    return kErrorSuccess;
}

}  // namespace brenvik
