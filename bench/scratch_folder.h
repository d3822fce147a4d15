// A folder of the benchmark's own under the temp folder, removed with its contents.
#pragma once

#include <string>

namespace brenvik::bench {

// Removes a folder and everything in it, read-only files included. False when something
// stayed.
bool RemoveFolderTree(const std::string& folder);

// Creates every missing folder of an absolute path. False when the last one is not a folder.
bool CreateFolderPath(const std::string& path);

class ScratchFolder {
public:
    // <temp>\brenvik-bench-<process id>; an existing one is emptied first.
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Empty when the folder could not be made.
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

}  // namespace brenvik::bench
