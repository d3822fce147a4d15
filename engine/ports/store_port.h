// The program's own durable storage under its data folder (%ProgramData%\Brenvik), which
// only Administrators and SYSTEM may change: the journal of unlocked objects lives there.
#pragma once

#include <string>
#include <vector>

#include "engine/ports/win_status.h"

namespace brenvik {

// Paths are relative to the data folder, folders separated by '\'.
class StorePort {
public:
    virtual ~StorePort() = default;

    // Creates the folder (and the data folder) when missing, and makes its access list admit
    // Administrators and SYSTEM only, owned by Administrators. trusted tells whether the
    // folder already was so (or is new): a folder that others could write holds nothing the
    // program may act on.
    virtual Status secureFolder(const std::string& folder, bool* trusted) = 0;
    // Writes a new file and flushes it to the disk before returning; an existing file is
    // refused (ERROR_FILE_EXISTS).
    virtual Status writeDurably(const std::string& path, const std::string& bytes) = 0;
    // Adds the bytes at the end of an existing file and flushes it to the disk before
    // returning; a missing file is refused.
    virtual Status appendDurably(const std::string& path, const std::string& bytes) = 0;
    virtual Status readFile(const std::string& path, std::string* bytes) = 0;
    // The names of the files directly in the folder, sorted.
    virtual Status listFiles(const std::string& folder, std::vector<std::string>* names) = 0;
    virtual Status removeFile(const std::string& path) = 0;
};

}  // namespace brenvik
