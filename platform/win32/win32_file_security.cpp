// Win32Platform's file security port: one handle, opened on the name itself with backup
// semantics, through which a file's identity is read and its list and attributes changed.
#include <windows.h>
#include <aclapi.h>

#include "platform/win32/acl_conversion.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace brenvik {
namespace {

HANDLE ToHandle(FileHandle handle) {
    return reinterpret_cast<HANDLE>(handle);
}

Status LastError() {
    return static_cast<Status>(GetLastError());
}

}  // namespace

Status Win32Platform::openFileSecurity(const std::string& path, FileHandle* handle) {
    *handle = kNoFile;
    // Other opens (loading, deleting) go on beside this one: it shares everything and asks
    // for no data access.
    const HANDLE file =
        CreateFileW(Utf8ToWide(path).c_str(),
                    READ_CONTROL | WRITE_DAC | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return LastError();
    *handle = reinterpret_cast<FileHandle>(file);
    return kErrorSuccess;
}

Status Win32Platform::queryFileIdentity(FileHandle handle, FileIdentity* identity) {
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!GetFileInformationByHandle(ToHandle(handle), &info))
        return LastError();
    identity->attributes = info.dwFileAttributes;
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
    if (handle != kNoFile)
        CloseHandle(ToHandle(handle));
}

}  // namespace brenvik
