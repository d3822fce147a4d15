// Win32Platform's escalated calls: the backup and restore privileges, and the keys and files
// they let through a refusing list (REG_OPTION_BACKUP_RESTORE, FILE_FLAG_BACKUP_SEMANTICS).
#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <winternl.h>

#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/registry_roots.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

// ntdll: deleting a key through a handle, which no documented registry call does.
extern "C" NTSTATUS NTAPI NtDeleteKey(HANDLE key);

namespace brenvik {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// A shortcut is a few kilobytes; anything past this is no shortcut worth loading.
constexpr DWORD kMaxLinkBytes = 1 << 20;
constexpr int kArgumentsBuffer = 4096;

Status LastError() {
    return static_cast<Status>(GetLastError());
}

Status StatusOf(HRESULT result) {
    if (SUCCEEDED(result))
        return kErrorSuccess;
    if (HRESULT_FACILITY(result) == FACILITY_WIN32)
        return static_cast<Status>(HRESULT_CODE(result));
    return kErrorInvalidData;
}

UniqueHfile OpenForBackup(const std::string& path, DWORD access, DWORD share) {
    return UniqueHfile(CreateFileW(Utf8ToWide(path).c_str(), access, share, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

Status ReadAll(HANDLE file, std::vector<BYTE>* bytes) {
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file, &size))
        return LastError();
    if (size.QuadPart > kMaxLinkBytes)
        return kErrorInvalidData;
    bytes->resize(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (!bytes->empty() && !ReadFile(file, bytes->data(), static_cast<DWORD>(bytes->size()), &read,
                                     nullptr))
        return LastError();
    bytes->resize(read);
    return kErrorSuccess;
}

// The shell link object loaded from a file's bytes, read with backup semantics.
Status LoadLinkForBackup(const std::string& path, ComPtr<IShellLinkW>* link) {
    std::vector<BYTE> bytes;
    {
        UniqueHfile file = OpenForBackup(path, GENERIC_READ, kShareAll);
        if (!file)
            return LastError();
        if (Status s = ReadAll(file.get(), &bytes))
            return s;
    }
    CoInitialize(nullptr);  // stays initialised on this thread, as for the other link calls
    ComPtr<IStream> stream;
    *stream.put() = SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size()));
    if (!stream)
        return kErrorNotEnoughMemory;
    if (Status s = StatusOf(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                             IID_IShellLinkW, link->put())))
        return s;
    ComPtr<IPersistStream> persist;
    if (Status s = StatusOf((*link)->QueryInterface(IID_IPersistStream, persist.put())))
        return s;
    return StatusOf(persist->Load(stream.get()));
}

// The link saved as a stream, as its file holds it.
Status SavedBytes(IShellLinkW* link, std::vector<BYTE>* bytes) {
    ComPtr<IPersistStream> persist;
    if (Status s = StatusOf(link->QueryInterface(IID_IPersistStream, persist.put())))
        return s;
    ComPtr<IStream> stream;
    *stream.put() = SHCreateMemStream(nullptr, 0);
    if (!stream)
        return kErrorNotEnoughMemory;
    if (Status s = StatusOf(persist->Save(stream.get(), TRUE)))
        return s;
    STATSTG stat = {};
    if (Status s = StatusOf(stream->Stat(&stat, STATFLAG_NONAME)))
        return s;
    if (stat.cbSize.QuadPart > kMaxLinkBytes)
        return kErrorInvalidData;
    bytes->resize(static_cast<std::size_t>(stat.cbSize.QuadPart));
    const LARGE_INTEGER start = {};
    if (Status s = StatusOf(stream->Seek(start, STREAM_SEEK_SET, nullptr)))
        return s;
    ULONG read = 0;
    return StatusOf(stream->Read(bytes->data(), static_cast<ULONG>(bytes->size()), &read));
}

Status WriteAll(const std::string& path, const std::vector<BYTE>& bytes) {
    UniqueHfile file = OpenForBackup(path, GENERIC_WRITE, FILE_SHARE_READ);
    if (!file)
        return LastError();
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        return LastError();
    if (!SetEndOfFile(file.get()))
        return LastError();
    return written == bytes.size() ? kErrorSuccess : kErrorInvalidData;
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
    if (!AdjustTokenPrivileges(token.get(), FALSE, reinterpret_cast<TOKEN_PRIVILEGES*>(&wanted),
                               0, nullptr, nullptr))
        return LastError();
    return LastError();
}

Status Win32Platform::openKeyForBackup(RegKey parent, const std::string& path,
                                       std::uint32_t access, RegKey* key) {
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExW(ToHkey(parent), Utf8ToWide(path).c_str(),
                                      REG_OPTION_BACKUP_RESTORE, access, &opened);
    *key = status == ERROR_SUCCESS ? FromHkey(opened) : kNoKey;
    return status;
}

Status Win32Platform::deleteKeyForBackup(RegKey parent, const std::string& path) {
    if (path.empty())
        return kErrorAccessDenied;  // never a root, nor the parent itself
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExW(ToHkey(parent), Utf8ToWide(path).c_str(),
                                      REG_OPTION_BACKUP_RESTORE, DELETE, &opened);
    if (status != ERROR_SUCCESS)
        return status;
    UniqueHkey key(opened);
    return static_cast<Status>(RtlNtStatusToDosError(NtDeleteKey(key.get())));
}

Status Win32Platform::deleteFileForBackup(const std::string& path) {
    UniqueHfile file(CreateFileW(Utf8ToWide(path).c_str(), DELETE, kShareAll, nullptr,
                                 OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                 nullptr));
    if (!file)
        return LastError();
    FILE_DISPOSITION_INFO disposition = {TRUE};
    if (!SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition,
                                    sizeof disposition))
        return LastError();
    return kErrorSuccess;
}

Status Win32Platform::readLinkArgumentsForBackup(const std::string& linkPath,
                                                 std::string* arguments) {
    arguments->clear();
    ComPtr<IShellLinkW> link;
    if (Status s = LoadLinkForBackup(linkPath, &link))
        return s;
    WCHAR text[kArgumentsBuffer] = {};
    if (Status s = StatusOf(link->GetArguments(text, kArgumentsBuffer)))
        return s;
    text[kArgumentsBuffer - 1] = L'\0';
    *arguments = WideToUtf8(text);
    return kErrorSuccess;
}

Status Win32Platform::writeLinkArgumentsForBackup(const std::string& linkPath,
                                                  const std::string& arguments) {
    ComPtr<IShellLinkW> link;
    if (Status s = LoadLinkForBackup(linkPath, &link))
        return s;
    if (Status s = StatusOf(link->SetArguments(Utf8ToWide(arguments).c_str())))
        return s;
    std::vector<BYTE> bytes;
    if (Status s = SavedBytes(link.get(), &bytes))
        return s;
    return WriteAll(linkPath, bytes);
}

}  // namespace brenvik
