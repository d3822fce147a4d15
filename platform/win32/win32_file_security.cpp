// Win32Platform's file security port: handles opened on the name itself with backup semantics,
// or relative to an open folder (NtCreateFile with a root directory), through which a file's
// identity is read and its list, attributes, bytes and name changed.
#include <windows.h>
#include <aclapi.h>
#include <winternl.h>

#include <vector>

#include "platform/win32/acl_conversion.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/whole_file.h"
#include "platform/win32/win32_platform.h"

// ntdll: a folder's listing through its handle, which the import library has but winternl.h
// lacks.
extern "C" NTSTATUS NTAPI NtQueryDirectoryFile(HANDLE folder, HANDLE event, PVOID apc,
                                               PVOID apcContext, PIO_STATUS_BLOCK io, PVOID buffer,
                                               ULONG length, FILE_INFORMATION_CLASS kind,
                                               BOOLEAN single, PUNICODE_STRING mask,
                                               BOOLEAN restart);

namespace brenvik {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// STATUS_OBJECT_NAME_COLLISION, which CreateFileW reports as ERROR_FILE_EXISTS.
constexpr NTSTATUS kStatusNameCollision = static_cast<NTSTATUS>(0xC0000035);

HANDLE ToHandle(FileHandle handle) {
    return PortHandle(handle);
}

Status LastError() {
    return static_cast<Status>(GetLastError());
}

FileHandle Adopt(HANDLE handle, bool reparseByName) {
    return reinterpret_cast<FileHandle>(new PortFile{handle, reparseByName});
}

// Whether folder lists name as a reparse point. A listing is the one view through a handle in
// which Wine 8 shows a Unix symbolic link to a folder for what it is (FILE_ATTRIBUTE_REPARSE_
// POINT); it opens the folder the link names whatever FILE_OPEN_REPARSE_POINT asks, and its
// queries through that handle tell nothing. On Windows the handle shows a reparse point itself.
// The mask of a folder handle's listing may stay the one of its first query, so an entry of
// another name tells nothing.
bool ListedAsReparsePoint(HANDLE folder, std::wstring name) {
    UNICODE_STRING mask;
    mask.Buffer = name.data();
    mask.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    mask.MaximumLength = mask.Length;
    alignas(8) BYTE buffer[sizeof(FILE_DIRECTORY_INFORMATION) + (MAX_PATH + 1) * sizeof(wchar_t)];
    IO_STATUS_BLOCK io = {};
    if (!NT_SUCCESS(NtQueryDirectoryFile(folder, nullptr, nullptr, nullptr, &io, buffer,
                                         sizeof buffer, FileDirectoryInformation, TRUE, &mask,
                                         TRUE)))
        return false;
    const auto* entry = reinterpret_cast<const FILE_DIRECTORY_INFORMATION*>(buffer);
    const std::wstring listed(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
    return CompareStringOrdinal(listed.c_str(), -1, name.c_str(), -1, TRUE) == CSTR_EQUAL &&
           (entry->FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool IsPlainName(const std::wstring& name) {
    return !name.empty() && name != L"." && name != L".." &&
           name.find_first_of(L"\\/") == std::wstring::npos;
}

// One name part below an open folder, with NtCreateFile's disposition.
Status OpenRelative(FileHandle folder, const std::string& name, std::uint32_t access, bool backup,
                    ULONG disposition, FileHandle* handle) {
    *handle = kNoFile;
    std::wstring wide = Utf8ToWide(name);
    if (!IsPlainName(wide))
        return ERROR_INVALID_NAME;
    if (wide.size() * sizeof(wchar_t) > 0xFFFC)
        return ERROR_FILENAME_EXCED_RANGE;
    UNICODE_STRING text;
    text.Buffer = wide.data();
    text.Length = static_cast<USHORT>(wide.size() * sizeof(wchar_t));
    text.MaximumLength = text.Length;
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, ToHandle(folder), nullptr);
    IO_STATUS_BLOCK io = {};
    HANDLE opened = nullptr;
    const ULONG options = FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT |
                          (backup ? FILE_OPEN_FOR_BACKUP_INTENT : 0);
    const NTSTATUS status =
        NtCreateFile(&opened, access | SYNCHRONIZE, &attributes, &io, nullptr,
                     FILE_ATTRIBUTE_NORMAL, kShareAll, disposition, options, nullptr, 0);
    if (status == kStatusNameCollision)
        return ERROR_FILE_EXISTS;
    if (!NT_SUCCESS(status))
        return static_cast<Status>(RtlNtStatusToDosError(status));
    const bool reparse = disposition == FILE_OPEN && ListedAsReparsePoint(ToHandle(folder), wide);
    *handle = Adopt(opened, reparse);
    return ERROR_SUCCESS;
}

}  // namespace

Status Win32Platform::openFileSecurity(const std::string& path, FileHandle* handle) {
    *handle = kNoFile;
    // Other opens (loading, deleting) go on beside this one: it shares everything and asks
    // for no data access.
    const HANDLE file = CreateFileW(
        Utf8ToWide(path).c_str(),
        READ_CONTROL | WRITE_DAC | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, kShareAll, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return LastError();
    *handle = Adopt(file, false);
    return kErrorSuccess;
}

Status Win32Platform::queryFileIdentity(FileHandle handle, FileIdentity* identity) {
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!GetFileInformationByHandle(ToHandle(handle), &info))
        return LastError();
    identity->attributes = info.dwFileAttributes;
    if (reinterpret_cast<const PortFile*>(handle)->reparseByName)
        identity->attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
    identity->links = info.nNumberOfLinks;
    return kErrorSuccess;
}

Status Win32Platform::readFileAccessList(FileHandle handle, AccessList* list) {
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD status =
        GetSecurityInfo(ToHandle(handle), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                        nullptr, &dacl, nullptr, &descriptor);
    UniqueHlocal owned(descriptor);
    if (status != ERROR_SUCCESS)
        return static_cast<Status>(status);
    return ToAccessList(descriptor, dacl, list);
}

Status Win32Platform::writeFileAccessList(FileHandle handle, const AccessList& list) {
    std::vector<DWORD> aclBuffer;
    if (list.present) {
        if (Status s = BuildAcl(list, &aclBuffer))
            return s;
    }
    PACL dacl = list.present ? reinterpret_cast<PACL>(aclBuffer.data()) : nullptr;
    return static_cast<Status>(SetSecurityInfo(
        ToHandle(handle), SE_FILE_OBJECT, DaclInformation(list), nullptr, nullptr, dacl, nullptr));
}

Status Win32Platform::setFileAttributes(FileHandle handle, std::uint32_t attributes) {
    // Zero times leave the times alone; zero attributes would too, so "none" is NORMAL.
    FILE_BASIC_INFO info = {};
    info.FileAttributes = attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
    if (!SetFileInformationByHandle(ToHandle(handle), FileBasicInfo, &info, sizeof info))
        return LastError();
    return kErrorSuccess;
}

void Win32Platform::closeFile(FileHandle handle) {
    if (handle == kNoFile)
        return;
    const PortFile* file = reinterpret_cast<const PortFile*>(handle);
    CloseHandle(file->handle);
    delete file;
}

Status Win32Platform::openPlaceFolder(const std::string& folder, FileHandle* handle) {
    *handle = kNoFile;
    const HANDLE opened =
        CreateFileW(Utf8ToWide(folder).c_str(),
                    FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                    kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (opened == INVALID_HANDLE_VALUE)
        return LastError();
    *handle = Adopt(opened, false);
    return kErrorSuccess;
}

Status Win32Platform::openBelow(FileHandle folder, const std::string& name, std::uint32_t access,
                                OpenMode mode, FileHandle* handle) {
    return OpenRelative(folder, name, access, mode == OpenMode::BackupIntent, FILE_OPEN, handle);
}

Status Win32Platform::createBelow(FileHandle folder, const std::string& name, std::uint32_t access,
                                  OpenMode mode, FileHandle* handle) {
    return OpenRelative(folder, name, access, mode == OpenMode::BackupIntent, FILE_CREATE, handle);
}

Status Win32Platform::readFileData(FileHandle handle, std::uint64_t limit, std::string* bytes) {
    bytes->clear();
    const LARGE_INTEGER start = {};
    if (!SetFilePointerEx(ToHandle(handle), start, nullptr, FILE_BEGIN))
        return LastError();
    return ReadWholeFile(ToHandle(handle), limit, bytes);
}

Status Win32Platform::writeFileData(FileHandle handle, const std::string& bytes) {
    return RewriteDurably(ToHandle(handle), bytes);
}

Status Win32Platform::deleteOpenFile(FileHandle handle) {
    FILE_DISPOSITION_INFO disposition = {TRUE};
    if (!SetFileInformationByHandle(ToHandle(handle), FileDispositionInfo, &disposition,
                                    sizeof disposition))
        return LastError();
    return kErrorSuccess;
}

Status Win32Platform::renameOpenFile(FileHandle handle, FileHandle folder,
                                     const std::string& name) {
    const std::wstring wide = Utf8ToWide(name);
    if (!IsPlainName(wide))
        return ERROR_INVALID_NAME;
    // The name follows the structure; the buffer is sized for both.
    std::vector<BYTE> buffer(sizeof(FILE_RENAME_INFORMATION) + wide.size() * sizeof(wchar_t));
    auto* info = reinterpret_cast<FILE_RENAME_INFORMATION*>(buffer.data());
    info->ReplaceIfExists = TRUE;
    info->RootDirectory = ToHandle(folder);
    info->FileNameLength = static_cast<ULONG>(wide.size() * sizeof(wchar_t));
    CopyMemory(info->FileName, wide.data(), info->FileNameLength);
    IO_STATUS_BLOCK io = {};
    const NTSTATUS status = NtSetInformationFile(
        ToHandle(handle), &io, info, static_cast<ULONG>(buffer.size()), FileRenameInformation);
    return NT_SUCCESS(status) ? kErrorSuccess : static_cast<Status>(RtlNtStatusToDosError(status));
}

}  // namespace brenvik
