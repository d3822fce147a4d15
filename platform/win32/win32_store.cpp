// Win32Platform's store: files under %ProgramData%\Brenvik, in folders whose list admits
// Administrators and SYSTEM only.
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>

#include <algorithm>

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

Status LastError() {
    return static_cast<Status>(GetLastError());
}

std::wstring FindDataFolder() {
    PWSTR known = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, &known)))
        folder = known;
    CoTaskMemFree(known);
    return folder.empty() ? folder : folder + kProgramFolder;
}

// Looked up once: the folder does not move while the program runs, and every journal entry
// would otherwise pay for the shell's answer twice.
const std::wstring& DataFolder() {
    static const std::wstring folder = FindDataFolder();
    return folder;
}

std::wstring FullPath(const std::string& path) {
    const std::wstring base = DataFolder();
    return path.empty() ? base : base + L"\\" + Utf8ToWide(path);
}

bool IsSid(PSID sid, WELL_KNOWN_SID_TYPE type) {
    return IsWellKnownSid(sid, type) != FALSE;
}

// The process's own user: the owner Wine gives what this process creates.
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

bool IsTrustedSid(PSID sid) {
    return IsSid(sid, WinBuiltinAdministratorsSid) || IsSid(sid, WinLocalSystemSid) ||
           IsOwnUser(sid);
}

// True when only trusted accounts own the folder and may change what it holds.
bool IsTrusted(HANDLE folder) {
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD status = GetSecurityInfo(folder, SE_FILE_OBJECT,
                                         OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                         &owner, nullptr, &dacl, nullptr, &descriptor);
    UniqueHlocal owned(descriptor);
    if (status != ERROR_SUCCESS || owner == nullptr || dacl == nullptr || !IsTrustedSid(owner))
        return false;
    ACL_SIZE_INFORMATION info = {};
    if (!GetAclInformation(dacl, &info, sizeof info, AclSizeInformation))
        return false;
    for (DWORD i = 0; i < info.AceCount; ++i) {
        void* ace = nullptr;
        if (!GetAce(dacl, i, &ace))
            return false;
        const auto* header = static_cast<const ACE_HEADER*>(ace);
        if (header->AceType == ACCESS_DENIED_ACE_TYPE || (header->AceFlags & INHERIT_ONLY_ACE))
            continue;
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE)
            return false;
        const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
        if ((allowed->Mask & kChangingRights) &&
            !IsTrustedSid(const_cast<DWORD*>(&allowed->SidStart)))
            return false;
    }
    return true;
}

// Gives an existing folder the secure owner and list through the handle it was checked on.
Status ApplySecure(HANDLE folder, PSECURITY_DESCRIPTOR descriptor) {
    PSID owner = nullptr;
    PACL dacl = nullptr;
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    GetSecurityDescriptorOwner(descriptor, &owner, &defaulted);
    GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted);
    return static_cast<Status>(SetSecurityInfo(folder, SE_FILE_OBJECT,
                                               OWNER_SECURITY_INFORMATION |
                                                   DACL_SECURITY_INFORMATION |
                                                   PROTECTED_DACL_SECURITY_INFORMATION,
                                               owner, nullptr, dacl, nullptr));
}

// Creates the folder with the secure list, or gives an existing one that list; trusted
// tells whether it was already safe. %ProgramData% lets every user create folders: one made
// beforehand may be a junction to a folder elsewhere, whose list must never be rewritten and
// in which nothing may be written, so the name itself is opened and a reparse point refused.
Status SecureOne(const std::wstring& folder, bool* trusted) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kSecureDescriptor, SDDL_REVISION_1,
                                                              &descriptor, nullptr))
        return LastError();
    UniqueHlocal owned(descriptor);
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor, FALSE};
    const bool created = CreateDirectoryW(folder.c_str(), &attributes) != FALSE;
    if (!created && GetLastError() != ERROR_ALREADY_EXISTS)
        return LastError();
    UniqueHfile handle(
        CreateFileW(folder.c_str(), READ_CONTROL | WRITE_DAC | WRITE_OWNER | FILE_READ_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!handle)
        return LastError();
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!GetFileInformationByHandle(handle.get(), &info))
        return LastError();
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
        !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return ERROR_CANT_ACCESS_FILE;
    *trusted = created || IsTrusted(handle.get());
    if (*trusted)
        return kErrorSuccess;  // safe as it is: every start need not rewrite it
    return ApplySecure(handle.get(), descriptor);
}

}  // namespace

Status Win32Platform::secureFolder(const std::string& folder, bool* trusted) {
    std::wstring path = DataFolder();
    if (path.empty())
        return kErrorPathNotFound;
    // The data folder and every folder down to this one, each made safe in turn.
    *trusted = true;
    const std::wstring relative = Utf8ToWide(folder);
    std::size_t start = 0;
    for (;;) {
        bool levelTrusted = false;
        if (Status s = SecureOne(path, &levelTrusted))
            return s;
        *trusted = *trusted && levelTrusted;
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
    UniqueHfile file(CreateFileW(FullPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file)
        return LastError();
    // Entries are a few hundred bytes; anything large is no entry of ours.
    return ReadWholeFile(file.get(), 1 << 20, bytes);
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
