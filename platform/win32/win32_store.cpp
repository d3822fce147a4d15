// Win32Platform's store: files under %ProgramData%\Brenvik, in folders whose list admits
// Administrators and SYSTEM only. %ProgramData% lets every user create folders, so any level
// may have been made by someone else before the program first needed it: such a folder is
// moved aside unread and a fresh one made, and every file is checked through its handle.
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/whole_file.h"
#include "platform/win32/win32_platform.h"

namespace brenvik {
namespace {

constexpr const wchar_t* kProgramFolder = L"\\Brenvik";
// Owned by Administrators; full control for SYSTEM and Administrators, inherited by
// everything below, nothing inherited from above.
constexpr const wchar_t* kSecureDescriptor = L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
// Rights that let their holder add, change or remove what the folder holds.
constexpr DWORD kChangingRights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_DELETE_CHILD | DELETE |
                                  WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;
// What the program needs in its own folders: without it every Fix fails for want of a backup.
constexpr DWORD kNeededFolderRights = FILE_LIST_DIRECTORY | FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY;
// A fresh folder made after a hostile one was moved aside may be planted again at once.
constexpr int kMaxFolderAttempts = 4;
constexpr int kMaxAsideNames = 100;

Status LastError() {
    return static_cast<Status>(GetLastError());
}

std::wstring FullPath(const std::string& path) {
    const std::wstring base = DataFolderPath();
    return path.empty() ? base : base + L"\\" + Utf8ToWide(path);
}

bool IsSid(PSID sid, WELL_KNOWN_SID_TYPE type) {
    return IsWellKnownSid(sid, type) != FALSE;
}

std::vector<BYTE> FindOwnUser() {
    UniqueHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put()))
        return {};
    BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    DWORD size = 0;
    if (!GetTokenInformation(token.get(), TokenUser, buffer, sizeof buffer, &size))
        return {};
    const PSID sid = reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid;
    const auto* first = static_cast<const BYTE*>(sid);
    return std::vector<BYTE>(first, first + GetLengthSid(sid));
}

// The process's own user: the owner Wine gives what this process creates. Asked once.
bool IsOwnUser(PSID sid) {
    static const std::vector<BYTE> own = FindOwnUser();
    return !own.empty() && EqualSid(const_cast<BYTE*>(own.data()), sid) != FALSE;
}

// The accounts an administrator's process acts as.
bool IsAdministratorSid(PSID sid) {
    return IsSid(sid, WinBuiltinAdministratorsSid) || IsOwnUser(sid);
}

bool IsTrustedSid(PSID sid) {
    return IsAdministratorSid(sid) || IsSid(sid, WinLocalSystemSid);
}

// True when a trusted account owns the object, nobody else may change it, and no entry
// refuses anyone (the program writes none); a folder must also let the administrators add
// to it. Inherit-only entries pass: they are checked where they apply, on each object below.
bool IsTrusted(HANDLE object, bool folder) {
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD status = GetSecurityInfo(object, SE_FILE_OBJECT,
                                         OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                         &owner, nullptr, &dacl, nullptr, &descriptor);
    UniqueHlocal owned(descriptor);
    // No list at all admits everyone.
    if (status != ERROR_SUCCESS || owner == nullptr || dacl == nullptr || !IsTrustedSid(owner))
        return false;
    ACL_SIZE_INFORMATION info = {};
    if (!GetAclInformation(dacl, &info, sizeof info, AclSizeInformation))
        return false;
    DWORD administrators = 0;
    for (DWORD i = 0; i < info.AceCount; ++i) {
        void* ace = nullptr;
        if (!GetAce(dacl, i, &ace))
            return false;
        const auto* header = static_cast<const ACE_HEADER*>(ace);
        if (header->AceFlags & INHERIT_ONLY_ACE)
            continue;
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE)
            return false;
        const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
        const PSID sid = const_cast<DWORD*>(&allowed->SidStart);
        if ((allowed->Mask & kChangingRights) && !IsTrustedSid(sid))
            return false;
        if (IsAdministratorSid(sid))
            administrators |= allowed->Mask;
    }
    if (!folder || (administrators & (GENERIC_ALL | GENERIC_WRITE)))
        return true;
    return (administrators & kNeededFolderRights) == kNeededFolderRights;
}

// Renames the folder the handle holds to "<name>.untrusted-<time>" beside it: through the
// checked handle, so that a name swapped meanwhile cannot send another folder aside.
Status MoveAside(HANDLE folder, const std::wstring& path) {
    SYSTEMTIME now = {};
    GetSystemTime(&now);
    wchar_t stamp[40] = {};
    swprintf(stamp, sizeof stamp / sizeof stamp[0], L".untrusted-%04u%02u%02uT%02u%02u%02uZ",
             now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
    for (int n = 1; n <= kMaxAsideNames; ++n) {
        std::wstring name = path + stamp;
        if (n > 1)
            name += L"-" + std::to_wstring(n);
        const DWORD nameBytes = static_cast<DWORD>(name.size() * sizeof(wchar_t));
        std::vector<BYTE> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
        auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
        rename->ReplaceIfExists = FALSE;
        rename->RootDirectory = nullptr;
        rename->FileNameLength = nameBytes;
        std::copy(name.begin(), name.end(), rename->FileName);
        if (SetFileInformationByHandle(folder, FileRenameInfo, rename,
                                       static_cast<DWORD>(buffer.size())))
            return kErrorSuccess;
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)
            return static_cast<Status>(error);
    }
    return kErrorFileExists;
}

// Opens the name itself, never what a reparse point there leads to.
HANDLE OpenFolderName(const std::wstring& path, DWORD access) {
    return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

bool SameFile(HANDLE file, const BY_HANDLE_FILE_INFORMATION& checked) {
    BY_HANDLE_FILE_INFORMATION info = {};
    return GetFileInformationByHandle(file, &info) &&
           info.dwVolumeSerialNumber == checked.dwVolumeSerialNumber &&
           info.nFileIndexHigh == checked.nFileIndexHigh &&
           info.nFileIndexLow == checked.nFileIndexLow;
}

// Makes the folder with the secure list, or keeps an existing one that is safe as it is;
// anything else there (made or changed by others, refusing the administrators, a link, a
// file) is moved aside unread and a fresh folder made. trusted turns false when something
// was moved aside.
Status SecureOne(const std::wstring& folder, bool* trusted) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kSecureDescriptor, SDDL_REVISION_1,
                                                              &descriptor, nullptr))
        return LastError();
    UniqueHlocal owned(descriptor);
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor, FALSE};
    for (int attempt = 0; attempt < kMaxFolderAttempts; ++attempt) {
        // Made here with the secure list, it is safe: nobody else may change or replace it.
        if (CreateDirectoryW(folder.c_str(), &attributes))
            return kErrorSuccess;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return LastError();
        // Checked without DELETE: a command prompt whose current folder this is shares no
        // deletion, and a safe folder must not fail for that.
        UniqueHfile checked(OpenFolderName(folder, READ_CONTROL | FILE_READ_ATTRIBUTES));
        BY_HANDLE_FILE_INFORMATION info = {};
        if (checked) {
            if (!GetFileInformationByHandle(checked.get(), &info))
                return LastError();
            const bool plainFolder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                                     !(info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
            if (plainFolder && IsTrusted(checked.get(), true))
                return kErrorSuccess;  // safe as it is: every start need not rewrite it
        } else if (GetLastError() != ERROR_ACCESS_DENIED) {
            return LastError();
        }
        // One that refuses the administrators its list is still opened for DELETE, which
        // its parent grants them. The renaming handle must be the object checked: a name
        // swapped meanwhile is looked at again.
        UniqueHfile aside(OpenFolderName(folder, DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE));
        if (!aside)
            return LastError();
        if (checked && !SameFile(aside.get(), info))
            continue;
        *trusted = false;
        if (Status s = MoveAside(aside.get(), folder))
            return s;
    }
    return kErrorCantAccessFile;
}

// A file of the store is one of the program's only when it is a plain file with one name,
// owned by a trusted account, that nobody else may change and nobody made read-only.
Status CheckStoreFile(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!GetFileInformationByHandle(file, &info))
        return LastError();
    constexpr DWORD kForeignAttributes =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_READONLY;
    if ((info.dwFileAttributes & kForeignAttributes) || info.nNumberOfLinks != 1 ||
        !IsTrusted(file, false))
        return kErrorCantAccessFile;
    return kErrorSuccess;
}

}  // namespace

const std::wstring& DataFolderPath() {
    // Looked up once: the folder does not move while the program runs, and every journal entry
    // would otherwise pay for the shell's answer twice.
    static const std::wstring folder = [] {
        PWSTR known = nullptr;
        std::wstring found;
        if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, &known)))
            found = known;
        CoTaskMemFree(known);
        return found.empty() ? found : found + kProgramFolder;
    }();
    return folder;
}

Status Win32Platform::secureFolder(const std::string& folder, bool* trusted) {
    std::wstring path = DataFolderPath();
    if (path.empty())
        return kErrorPathNotFound;
    // The data folder and every folder down to this one, each made safe in turn.
    *trusted = true;
    const std::wstring relative = Utf8ToWide(folder);
    std::size_t start = 0;
    for (;;) {
        if (Status s = SecureOne(path, trusted))
            return s;
        if (start >= relative.size())
            return kErrorSuccess;
        std::size_t end = relative.find(L'\\', start);
        if (end == std::wstring::npos)
            end = relative.size();
        path += L"\\" + relative.substr(start, end - start);
        start = end + 1;
    }
}

Status Win32Platform::writeDurably(const std::string& path, const std::string& bytes) {
    UniqueHfile file(CreateFileW(FullPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return LastError();
    return WriteDurably(file.get(), bytes);
}

Status Win32Platform::appendDurably(const std::string& path, const std::string& bytes) {
    UniqueHfile file(CreateFileW(FullPath(path).c_str(), FILE_APPEND_DATA, 0, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file)
        return LastError();
    return WriteDurably(file.get(), bytes);
}

Status Win32Platform::readFile(const std::string& path, std::string* bytes) {
    bytes->clear();
    UniqueHfile file(
        CreateFileW(FullPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                    FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        return LastError();
    if (Status s = CheckStoreFile(file.get()))
        return s;
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.get(), &size))
        return LastError();
    if (static_cast<std::uint64_t>(size.QuadPart) > kStoreFileLimit)
        return kErrorFileTooLarge;
    return ReadWholeFile(file.get(), kStoreFileLimit, bytes);
}

Status Win32Platform::listFiles(const std::string& folder, std::vector<std::string>* names) {
    names->clear();
    WIN32_FIND_DATAW data = {};
    UniqueFind find(FindFirstFileW((FullPath(folder) + L"\\*").c_str(), &data));
    if (!find)
        return LastError();
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names->push_back(WideToUtf8(data.cFileName, wcslen(data.cFileName)));
    } while (FindNextFileW(find.get(), &data));
    std::sort(names->begin(), names->end());
    return kErrorSuccess;
}

Status Win32Platform::removeFile(const std::string& path) {
    return DeleteFileW(FullPath(path).c_str()) ? kErrorSuccess : LastError();
}

}  // namespace brenvik
