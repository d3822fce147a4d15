// Win32Platform's file port over the wide calls: FindHandle values are find HANDLEs.
#include <windows.h>

#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/whole_file.h"
#include "platform/win32/win32_platform.h"

namespace brenvik {
namespace {

// An Internet shortcut is smaller than a shortcut (kMaxLinkBytes).
constexpr std::uint64_t kMaxTextBytes = 64 * 1024;

HANDLE ToFind(FindHandle handle) {
    return reinterpret_cast<HANDLE>(handle);
}

void CopyEntry(const WIN32_FIND_DATAW& data, FindEntry* entry) {
    entry->name = WideToUtf8(data.cFileName);
    entry->attributes = data.dwFileAttributes;
}

}  // namespace

FindHandle Win32Platform::findFirst(const std::string& pattern, FindEntry* entry, Status* error) {
    WIN32_FIND_DATAW data = {};
    HANDLE find = FindFirstFileW(Utf8ToWide(pattern).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        if (error != nullptr)
            *error = static_cast<Status>(GetLastError());
        return kNoFind;
    }
    CopyEntry(data, entry);
    return reinterpret_cast<FindHandle>(find);
}

bool Win32Platform::findNext(FindHandle handle, FindEntry* entry, Status* error) {
    WIN32_FIND_DATAW data = {};
    if (!FindNextFileW(ToFind(handle), &data)) {
        if (error != nullptr)
            *error = static_cast<Status>(GetLastError());
        return false;
    }
    CopyEntry(data, entry);
    return true;
}

void Win32Platform::findClose(FindHandle handle) {
    if (handle != kNoFind)
        FindClose(ToFind(handle));
}

std::uint32_t Win32Platform::getAttributes(const std::string& path) {
    return GetFileAttributesW(Utf8ToWide(path).c_str());
}

bool Win32Platform::setAttributes(const std::string& path, std::uint32_t attributes) {
    return SetFileAttributesW(Utf8ToWide(path).c_str(), attributes) != FALSE;
}

Status Win32Platform::deleteFile(const std::string& path, OpenMode mode) {
    if (mode == OpenMode::BackupIntent)
        return deleteFileBackupIntent(path);
    if (!DeleteFileW(Utf8ToWide(path).c_str()))
        return static_cast<Status>(GetLastError());
    return kErrorSuccess;
}

Status Win32Platform::getLinkCount(const std::string& path, std::uint32_t* count) {
    // No access is asked for, so neither the file's list nor its sharing can refuse the open.
    // Backup semantics open folders too; a reparse point is opened itself, not followed.
    UniqueHfile file(
        CreateFileW(Utf8ToWide(path).c_str(), 0,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file)
        return static_cast<Status>(GetLastError());
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!GetFileInformationByHandle(file.get(), &info))
        return static_cast<Status>(GetLastError());
    *count = info.nNumberOfLinks;
    return kErrorSuccess;
}

Status Win32Platform::readFileText(const std::string& path, std::string* text, OpenMode mode) {
    text->clear();
    UniqueHfile file(
        CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    mode == OpenMode::BackupIntent ? FILE_FLAG_BACKUP_SEMANTICS : 0, nullptr));
    if (!file)
        return static_cast<Status>(GetLastError());
    return ReadWholeFile(file.get(), kMaxTextBytes, text);
}

}  // namespace brenvik
