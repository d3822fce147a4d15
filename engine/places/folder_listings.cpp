#include "engine/places/folder_listings.h"

#include "engine/base/text_rules.h"
#include "engine/rules/browser_paths.h"
#include "engine/views/result_record.h"

namespace brenvik {
namespace {

constexpr const char* kListPattern = "*";
// ERROR_FILENAME_EXCED_RANGE: what a listing too long to ask for stands for.
constexpr Status kErrorTooLong = 206;

std::string WithoutBackslash(std::string path) {
    while (path.size() > 1 && path.back() == '\\' && path[path.size() - 2] != ':') path.pop_back();
    return path;
}

std::string Key(const std::string& path) {
    return WithoutBackslash(NormalizedPath(path));
}

// A place's folder that is not there holds nothing to examine: Quick Launch or a pinned
// folder a profile never had.
bool IsAbsent(Status error) {
    return error == kErrorFileNotFound || error == kErrorPathNotFound;
}

}  // namespace

void AddSkipped(SkippedPlaces* skipped, SkippedPlace place) {
    place.path = WithoutBackslash(place.path);
    const std::string key = Key(place.path);
    for (const SkippedPlace& already : *skipped) {
        if (Key(already.path) == key)
            return;
    }
    skipped->push_back(std::move(place));
}

const std::vector<FindEntry>* FolderListings::entries(const std::string& folder) {
    Listing& listing = find(folder);
    return listing.listed ? &listing.entries : nullptr;
}

const std::vector<FindEntry>* FolderListings::entries(const std::string& folder,
                                                      const std::string& location, ListedAs as) {
    Listing& listing = find(folder);
    if (listing.error == kErrorTooLong)
        skip(location, folder, "path too long");
    else if (listing.listed && listing.error != kErrorSuccess)
        skip(location, folder, "listing broken off: " + ErrorWords(listing.error));
    else if (!listing.listed && !(as == ListedAs::Place && IsAbsent(listing.error)))
        skip(location, folder, "cannot be listed: " + ErrorWords(listing.error));
    return listing.listed ? &listing.entries : nullptr;
}

void FolderListings::skip(const std::string& location, const std::string& path,
                          const std::string& reason) {
    AddSkipped(&m_skipped, SkippedPlace{location, path, reason});
}

FolderListings::Listing& FolderListings::find(const std::string& folder) {
    const std::string key = NormalizedPath(folder);
    auto found = m_listings.find(key);
    if (found == m_listings.end())
        found = m_listings.emplace(key, list(folder)).first;
    return found->second;
}

FolderListings::Listing FolderListings::list(const std::string& folder) {
    Listing listing;
    const std::string pattern = folder + kListPattern;
    if (Utf16Length(pattern) > kMaxPathLength) {
        listing.error = kErrorTooLong;
        return listing;
    }
    FindEntry entry;
    Status error = kErrorSuccess;
    ScopedFind find(m_files, m_files.findFirst(pattern, &entry, &error));
    if (find.get() == kNoFind) {
        // A port that says nothing of why is taken at its word: the folder refused.
        listing.error = error == kErrorSuccess ? kErrorAccessDenied : error;
        return listing;
    }
    listing.listed = true;
    do {
        if (entry.name != "." && entry.name != "..")
            listing.entries.push_back(entry);
        error = kErrorSuccess;
    } while (m_files.findNext(find.get(), &entry, &error));
    // An end without a reason is taken as the end.
    if (error != kErrorNoMoreFiles && error != kErrorSuccess)
        listing.error = error;
    return listing;
}

}  // namespace brenvik
