// Folders listed once per command: the scanners that go through the same folder share one
// listing instead of asking the file system again.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "engine/ports/file_port.h"

namespace brenvik {

class FolderListings {
public:
    explicit FolderListings(FilePort& files) : m_files(files) {}

    // The entries of folder (which ends in a backslash) in listing order, "." and ".." left
    // out; nullptr when the folder cannot be listed. A folder is listed the first time it is
    // asked for (by its normalized path); later calls get that listing, so a command that
    // changes a folder sees the entries as they were.
    const std::vector<FindEntry>* entries(const std::string& folder);

private:
    struct Listing {
        bool listed = false;
        std::vector<FindEntry> entries;
    };

    Listing list(const std::string& folder);

    FilePort& m_files;
    std::map<std::string, Listing> m_listings;
};

}  // namespace brenvik
