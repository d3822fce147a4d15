// Win32Platform's known folders through SHGetKnownFolderPath.
#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <string>

#include "platform/win32/hresult_status.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace brenvik {
namespace {

constexpr wchar_t kQuickLaunchBelowAppData[] = L"\\Microsoft\\Internet Explorer\\Quick Launch";

// The shell's identifier of each known folder; Temp has none.
const struct {
    KnownFolder id;
    const KNOWNFOLDERID* folder;
} kFolderIds[] = {
    {KnownFolder::Desktop, &FOLDERID_Desktop},
    {KnownFolder::PublicDesktop, &FOLDERID_PublicDesktop},
    {KnownFolder::QuickLaunch, &FOLDERID_QuickLaunch},
    {KnownFolder::StartMenu, &FOLDERID_StartMenu},
    {KnownFolder::CommonStartMenu, &FOLDERID_CommonStartMenu},
    {KnownFolder::Startup, &FOLDERID_Startup},
    {KnownFolder::CommonStartup, &FOLDERID_CommonStartup},
    {KnownFolder::RoamingAppData, &FOLDERID_RoamingAppData},
    {KnownFolder::LocalAppData, &FOLDERID_LocalAppData},
};

const KNOWNFOLDERID* FolderIdOf(KnownFolder id) {
    for (const auto& known : kFolderIds) {
        if (known.id == id)
            return known.folder;
    }
    return nullptr;
}

Status KnownFolderPath(const KNOWNFOLDERID& id, std::wstring* path) {
    PWSTR known = nullptr;
    const HRESULT result = SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &known);
    if (SUCCEEDED(result) && known != nullptr)
        *path = known;
    CoTaskMemFree(known);
    // Any failure but a Win32 error means there is no such folder.
    return StatusOfHresult(result, kErrorFileNotFound);
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
