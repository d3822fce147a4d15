// The file operations the rules need, one method per Win32 call (wide variants; names and
// paths are UTF-8).
#pragma once

#include <cstdint>
#include <string>

#include "engine/ports/access_port.h"
#include "engine/ports/open_mode.h"
#include "engine/ports/unique_handle.h"
#include "engine/ports/win_status.h"

namespace brenvik {

// A folder listing in progress; kNoFind stands for INVALID_HANDLE_VALUE.
using FindHandle = std::uintptr_t;
constexpr FindHandle kNoFind = 0;

// The fields of WIN32_FIND_DATAW that the rules read.
struct FindEntry {
    std::string name;  // cFileName as UTF-8, at most 259 UTF-16 units
    std::uint32_t attributes = 0;
};

// What a scan may do with files by path: list folders, read attributes, link counts and
// small files.
class FileReader {
public:
    virtual ~FileReader() = default;

    // FindFirstFileW(pattern): kNoFind when nothing matches or the folder cannot be read;
    // error, when given, then gets GetLastError (ERROR_FILE_NOT_FOUND for no match,
    // ERROR_PATH_NOT_FOUND for no such folder, ERROR_ACCESS_DENIED for a refused listing).
    virtual FindHandle findFirst(const std::string& pattern, FindEntry* entry,
                                 Status* error = nullptr) = 0;
    // FindNextFileW: false at the end of the listing and on an error alike; error, when
    // given, then tells them apart (ERROR_NO_MORE_FILES at the end).
    virtual bool findNext(FindHandle handle, FindEntry* entry, Status* error = nullptr) = 0;
    // FindClose.
    virtual void findClose(FindHandle handle) = 0;
    // GetFileAttributesW: kInvalidFileAttributes on failure.
    virtual std::uint32_t getAttributes(const std::string& path) = 0;
    // nNumberOfLinks from GetFileInformationByHandle on the file opened for no access.
    virtual Status getLinkCount(const std::string& path, std::uint32_t* count) = 0;
    // The bytes of a small file such as an Internet shortcut (.url), read whole through
    // CreateFileW(path, GENERIC_READ, share all, OPEN_EXISTING); more than 64 KiB is
    // ERROR_INVALID_DATA. BackupIntent adds FILE_FLAG_BACKUP_SEMANTICS.
    virtual Status readFileText(const std::string& path, std::string* text,
                                OpenMode mode = OpenMode::AsIs) = 0;
};

// The files by path with their changes (through the broker only).
class FilePort : public FileReader {
public:
    // SetFileAttributesW.
    virtual bool setAttributes(const std::string& path, std::uint32_t attributes) = 0;
    // DeleteFileW: 0 or the error. BackupIntent deletes the name itself (a reparse point is
    // not followed) through a handle opened for DELETE with FILE_FLAG_BACKUP_SEMANTICS, which
    // the restore privilege lets through a refusing list.
    virtual Status deleteFile(const std::string& path, OpenMode mode = OpenMode::AsIs) = 0;
};

// An object opened by openFileSecurity; kNoFile stands for INVALID_HANDLE_VALUE.
using FileHandle = std::uintptr_t;
constexpr FileHandle kNoFile = 0;

// What GetFileInformationByHandle tells of an open object.
struct FileIdentity {
    std::uint32_t attributes = 0;
    std::uint32_t links = 0;
};

// Rights an open of a file or folder asks for (the ACCESS_MASK bits).
constexpr std::uint32_t kFileRightReadData = 0x1;   // FILE_READ_DATA, FILE_LIST_DIRECTORY
constexpr std::uint32_t kFileRightWriteData = 0x2;  // FILE_WRITE_DATA, FILE_ADD_FILE
constexpr std::uint32_t kFileRightTraverse = 0x20;  // FILE_TRAVERSE
constexpr std::uint32_t kFileRightReadAttributes = 0x80;
constexpr std::uint32_t kFileRightWriteAttributes = 0x100;
constexpr std::uint32_t kFileRightDelete = 0x10000;  // DELETE
constexpr std::uint32_t kFileRightReadControl = 0x20000;
constexpr std::uint32_t kFileRightWriteDac = 0x40000;

// Changing a file's access list and attributes through one handle, so that the link check
// and every change are made on the same object, whatever happens to its name meanwhile.
class FileSecurityPort {
public:
    virtual ~FileSecurityPort() = default;

    // CreateFileW(path, READ_CONTROL | WRITE_DAC | FILE_READ_ATTRIBUTES |
    // FILE_WRITE_ATTRIBUTES, share all, OPEN_EXISTING, backup semantics | open reparse point).
    virtual Status openFileSecurity(const std::string& path, FileHandle* handle) = 0;
    // GetFileInformationByHandle: attributes and hard-link count.
    virtual Status queryFileIdentity(FileHandle handle, FileIdentity* identity) = 0;
    // GetSecurityInfo / SetSecurityInfo with DACL_SECURITY_INFORMATION (and the protection).
    virtual Status readFileAccessList(FileHandle handle, AccessList* list) = 0;
    virtual Status writeFileAccessList(FileHandle handle, const AccessList& list) = 0;
    // SetFileInformationByHandle(FileBasicInfo) with the attributes only.
    virtual Status setFileAttributes(FileHandle handle, std::uint32_t attributes) = 0;
    // CloseHandle.
    virtual void closeFile(FileHandle handle) = 0;

    // ---- Handle-relative work below a place folder ----
    // CreateFileW(folder, FILE_TRAVERSE | FILE_READ_ATTRIBUTES, share all, OPEN_EXISTING, backup
    // semantics): a place folder as the system names it, reparse points followed.
    virtual Status openPlaceFolder(const std::string& folder, FileHandle* handle) = 0;
    // NtCreateFile(access, RootDirectory = folder, name, FILE_OPEN, FILE_OPEN_REPARSE_POINT and,
    // for BackupIntent, FILE_OPEN_FOR_BACKUP_INTENT): one name part (no backslash) opened
    // below an open folder, a reparse point opened itself (its identity then shows
    // FILE_ATTRIBUTE_REPARSE_POINT), never followed. ERROR_INVALID_NAME for a name with a
    // separator, "." or "..".
    virtual Status openBelow(FileHandle folder, const std::string& name, std::uint32_t access,
                             OpenMode mode, FileHandle* handle) = 0;
    // The same with FILE_CREATE: a new, empty file that inherits the folder's list;
    // ERROR_FILE_EXISTS when the name is taken.
    virtual Status createBelow(FileHandle folder, const std::string& name, std::uint32_t access,
                               OpenMode mode, FileHandle* handle) = 0;
    // Every byte from the start (FILE_READ_DATA); more than limit is ERROR_INVALID_DATA.
    virtual Status readFileData(FileHandle handle, std::uint64_t limit, std::string* bytes) = 0;
    // The file's bytes replaced from the start, its end set after them, flushed to the disk
    // (FILE_WRITE_DATA).
    virtual Status writeFileData(FileHandle handle, const std::string& bytes) = 0;
    // SetFileInformationByHandle(FileDispositionInfo, TRUE) (DELETE): the name goes when the
    // last handle closes. A read-only file refuses it (ERROR_ACCESS_DENIED).
    virtual Status deleteOpenFile(FileHandle handle) = 0;
    // NtSetInformationFile(FileRenameInformation, ReplaceIfExists, RootDirectory = folder)
    // (DELETE): the open file takes name in folder, replacing a file there in one step.
    virtual Status renameOpenFile(FileHandle handle, FileHandle folder,
                                  const std::string& name) = 0;
};

// Closes an object opened by openFileSecurity when it goes out of scope.
using ScopedFile =
    UniquePortHandle<FileSecurityPort, FileHandle, &FileSecurityPort::closeFile, kNoFile>;
// Ends a listing when it goes out of scope.
using ScopedFind = UniquePortHandle<FileReader, FindHandle, &FileReader::findClose, kNoFind>;

}  // namespace brenvik
