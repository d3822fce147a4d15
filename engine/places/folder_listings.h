// Folders listed once per command: the scanners that go through the same folder share one
// listing instead of asking the file system again. What a walk could not examine is kept
// beside the listings, once per folder, as a result of its own.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "engine/ports/file_port.h"

namespace brenvik {

// A folder, file or key that a command passed over, and why: reported as "skipped", never as
// silence, so that a hijack behind a folder that refuses listing does not look like a clean
// machine.
struct SkippedPlace {
    std::string location;  // the row label of the place it belongs to
    std::string path;
    std::string reason;  // a few untranslated words: "cannot be listed: access denied"
};
using SkippedPlaces = std::vector<SkippedPlace>;

// Adds place to skipped unless a place with the same path (letter case, quotes and
// separators aside) is there already: one record per object per command.
void AddSkipped(SkippedPlaces* skipped, SkippedPlace place);

// Why a folder is listed: a place's own folder may be missing (no Quick Launch folder on this
// machine), a subfolder that its parent listed may not.
enum class ListedAs { Place, Subfolder };

class FolderListings {
public:
    explicit FolderListings(FileReader& files) : m_files(files) {}

    // The entries of folder (which ends in a backslash) in listing order, "." and ".." left
    // out; nullptr when the folder cannot be listed. A folder is listed the first time it is
    // asked for (by its normalized path); later calls get that listing, so a command that
    // changes a folder sees the entries as they were.
    const std::vector<FindEntry>* entries(const std::string& folder);
    // The same, and a folder that cannot be listed wholly is kept as skipped under location,
    // unless it is a place's folder that does not exist. A listing cut short mid-way is
    // skipped too, its entries listed so far still returned.
    const std::vector<FindEntry>* entries(const std::string& folder, const std::string& location,
                                          ListedAs as);

    // Records an object the walk passed over (a reparse point, too deep, too long).
    void skip(const std::string& location, const std::string& path, const std::string& reason);
    // Everything skipped so far, in the order it was met.
    const SkippedPlaces& skipped() const { return m_skipped; }

private:
    struct Listing {
        bool listed = false;
        Status error = kErrorSuccess;  // why it could not be listed, or was cut short
        std::vector<FindEntry> entries;
    };

    Listing& find(const std::string& folder);
    Listing list(const std::string& folder);

    FileReader& m_files;
    std::map<std::string, Listing> m_listings;
    SkippedPlaces m_skipped;
};

}  // namespace brenvik
