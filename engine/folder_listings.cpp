#include "engine/folder_listings.h"

#include "engine/browser_paths.h"
#include "engine/text_rules.h"

namespace brenvik {
namespace {

constexpr const char* kListPattern = "*";

}  // namespace

const std::vector<FindEntry>* FolderListings::entries(const std::string& folder) {
    const std::string key = NormalizedPath(folder);
    auto found = m_listings.find(key);
    if (found == m_listings.end())
        found = m_listings.emplace(key, list(folder)).first;
    return found->second.listed ? &found->second.entries : nullptr;
}

FolderListings::Listing FolderListings::list(const std::string& folder) {
    Listing listing;
    const std::string pattern = folder + kListPattern;
    if (Utf16Length(pattern) > kMaxPathLength)
        return listing;
    FindEntry entry;
    ScopedFind find(m_files, m_files.findFirst(pattern, &entry));
    if (find.get() == kNoFind)
        return listing;
    listing.listed = true;
    do {
        if (entry.name != "." && entry.name != "..")
            listing.entries.push_back(entry);
    } while (m_files.findNext(find.get(), &entry));
    return listing;
}

}  // namespace brenvik
