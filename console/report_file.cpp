#include "console/report_file.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace brenvik {
namespace {

// Rights that let their holder add, change or remove what a folder holds, or its list.
constexpr DWORD kChangingRights = FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_DELETE_CHILD |
                                  DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;
constexpr const wchar_t* kTrustedInstaller =
    L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
constexpr const char* kReportsFolder = "Reports";

std::wstring FullPathOf(const std::wstring& path) {
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return std::wstring();
    std::vector<wchar_t> full(needed + 1);
    const DWORD length = GetFullPathNameW(path.c_str(), needed + 1, full.data(), nullptr);
    return length == 0 || length > needed ? std::wstring() : std::wstring(full.data(), length);
}

std::wstring ReportsFolderPath() {
    const std::wstring& data = DataFolderPath();
    return data.empty() ? data : data + L"\\Reports";
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

class OwnUser {
public:
    OwnUser() {
        UniqueHandle token;
        DWORD size = 0;
        if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put()) &&
            GetTokenInformation(token.get(), TokenUser, m_buffer, sizeof m_buffer, &size))
            m_sid = reinterpret_cast<TOKEN_USER*>(m_buffer)->User.Sid;
    }
    bool is(PSID sid) const { return m_sid != nullptr && EqualSid(m_sid, sid); }

private:
    BYTE m_buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE] = {};
    PSID m_sid = nullptr;
};

bool IsTrustedInstaller(PSID sid) {
    LPWSTR text = nullptr;
    if (!ConvertSidToStringSidW(sid, &text))
        return false;
    UniqueHlocal owned(text);
    return lstrcmpiW(text, kTrustedInstaller) == 0;
}

bool IsTrusted(PSID sid, const OwnUser& user) {
    return IsWellKnownSid(sid, WinLocalSystemSid) ||
           IsWellKnownSid(sid, WinBuiltinAdministratorsSid) || IsTrustedInstaller(sid) ||
           user.is(sid);
}

// Empty when the folder is fit for the report, else why not.
std::string FolderRefusal(HANDLE folder, const std::wstring& path) {
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!GetFileInformationByHandle(folder, &info))
        return "its folder cannot be read";
    // Wine opens the target of a host's symbolic link whatever the flags say; only the name's
    // attributes show the link there.
    const DWORD named = GetFileAttributesW(path.c_str());
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
        (named != INVALID_FILE_ATTRIBUTES && (named & FILE_ATTRIBUTE_REPARSE_POINT)))
        return "its folder is a link";
    if (!(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return "its folder is not a folder";
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(folder, SE_FILE_OBJECT,
                        OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner, nullptr,
                        &dacl, nullptr, &descriptor) != ERROR_SUCCESS ||
        owner == nullptr)
        return "its folder's access list cannot be read";
    UniqueHlocal owned(descriptor);
    const OwnUser user;
    // A place of the user's own: what others may do there is the user's choice.
    if (user.is(owner))
        return std::string();
    const std::string others = "other accounts can change its folder";
    if (!IsTrusted(owner, user))
        return others;
    // No list at all lets everyone do everything.
    if (dacl == nullptr)
        return others;
    ACL_SIZE_INFORMATION size = {};
    if (!GetAclInformation(dacl, &size, sizeof size, AclSizeInformation))
        return others;
    for (DWORD i = 0; i < size.AceCount; ++i) {
        void* ace = nullptr;
        if (!GetAce(dacl, i, &ace))
            return others;
        const auto* header = static_cast<const ACE_HEADER*>(ace);
        if (header->AceType == ACCESS_DENIED_ACE_TYPE || (header->AceFlags & INHERIT_ONLY_ACE))
            continue;
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE)
            return others;
        const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
        if ((allowed->Mask & kChangingRights) &&
            !IsTrusted(const_cast<DWORD*>(&allowed->SidStart), user))
            return others;
    }
    return std::string();
}

std::string FileRefusal(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!GetFileInformationByHandle(file, &info))
        return "it cannot be read";
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return "it is a link";
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return "it is a folder";
    if (info.nNumberOfLinks > 1)
        return "it has more than one name";
    return std::string();
}

std::string ErrorText(DWORD error) {
    return "error " + std::to_string(error);
}

}  // namespace

bool WriteReportFile(const std::string& path, const std::string& bytes, std::string* why) {
    const std::wstring full = FullPathOf(Utf8ToWide(path));
    const std::size_t slash = full.find_last_of(L'\\');
    if (full.empty() || slash == std::wstring::npos || slash + 1 == full.size()) {
        *why = "it names no file";
        return false;
    }
    // "C:\" keeps its backslash; any other folder is named without one.
    const std::wstring folderPath = full.substr(0, slash == 2 ? slash + 1 : slash);
    const std::wstring reports = ReportsFolderPath();
    if (!reports.empty() && SamePath(folderPath, reports)) {
        bool trusted = false;
        if (Status s = Win32Platform().secureFolder(kReportsFolder, &trusted)) {
            *why = "the reports folder cannot be secured (" + ErrorText(s) + ")";
            return false;
        }
    }
    // Held without delete sharing, so that it is not renamed or replaced during the write.
    UniqueHfile folder(CreateFileW(folderPath.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                   nullptr));
    if (!folder) {
        *why = "its folder cannot be opened (" + ErrorText(GetLastError()) + ")";
        return false;
    }
    *why = FolderRefusal(folder.get(), folderPath);
    if (!why->empty())
        return false;
    // Opened as it is, never cut by name: a link or a second name is refused before anything
    // is written.
    UniqueHfile file(CreateFileW(full.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES | READ_CONTROL,
                                 FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) {
        *why = ErrorText(GetLastError());
        return false;
    }
    *why = FileRefusal(file.get());
    if (!why->empty())
        return false;
    LARGE_INTEGER start = {};
    DWORD written = 0;
    if (!SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN) || !SetEndOfFile(file.get()) ||
        !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size() || !FlushFileBuffers(file.get())) {
        *why = ErrorText(GetLastError());
        return false;
    }
    return true;
}

}  // namespace brenvik
