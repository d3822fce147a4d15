// The program's own durable storage under its data folder (%ProgramData%\Brenvik), which
// only Administrators and SYSTEM may change: the journal of unlocked objects and the backup
// sets live there.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/ports/win_status.h"

namespace brenvik {

// The largest store file read: far above any journal or set manifest (a kept file's bytes
// are a file of their own), and still one that memory holds.
constexpr std::uint64_t kStoreFileLimit = std::uint64_t{256} << 20;

// Paths are relative to the data folder, folders separated by '\'.
class StorePort {
public:
    virtual ~StorePort() = default;

    // Makes the data folder and each folder down to this one when missing, owned by
    // Administrators, admitting Administrators and SYSTEM only. An existing one that another
    // account owns, that others may change, that refuses the administrators, or that is a
    // link, is moved aside unread (renamed "<name>.untrusted-<time>") and a fresh one made;
    // trusted is then false: what it held is no longer there.
    virtual Status secureFolder(const std::string& folder, bool* trusted) = 0;
    // Writes a new file and flushes it to the disk before returning; an existing file is
    // refused (ERROR_FILE_EXISTS).
    virtual Status writeDurably(const std::string& path, const std::string& bytes) = 0;
    // Adds the bytes at the end of an existing file and flushes it to the disk before
    // returning; a missing file is refused.
    virtual Status appendDurably(const std::string& path, const std::string& bytes) = 0;
    // The whole file, checked through the handle it is read by: ERROR_CANT_ACCESS_FILE, and
    // nothing read, for one the program did not make (see kErrorCantAccessFile);
    // ERROR_FILE_TOO_LARGE above kStoreFileLimit.
    virtual Status readFile(const std::string& path, std::string* bytes) = 0;
    // The names of the files directly in the folder, sorted.
    virtual Status listFiles(const std::string& folder, std::vector<std::string>* names) = 0;
    virtual Status removeFile(const std::string& path) = 0;
};

}  // namespace brenvik
