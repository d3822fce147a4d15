#include "engine/change/place_walk.h"

#include "engine/base/text_rules.h"

namespace brenvik {
namespace {

// A folder on the way is opened for listing as well: the platform may tell a reparse point
// only in its folder's listing (Wine does).
constexpr std::uint32_t kFolderRights =
    kFileRightReadData | kFileRightTraverse | kFileRightReadAttributes;

// The parts between backslashes; false when one is empty, "." or "..".
bool SplitParts(const std::string& path, std::vector<std::string>* parts) {
    parts->clear();
    std::string part;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != '\\' && path[i] != '/') {
            part += path[i];
            continue;
        }
        if (part.empty() || part == "." || part == "..")
            return false;
        parts->push_back(part);
        part.clear();
    }
    return true;
}

std::string Folded(std::string text) {
    LowercaseAscii(text);
    return text;
}

bool StartsWithParts(const std::vector<std::string>& path, const std::vector<std::string>& prefix) {
    if (path.size() <= prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (Folded(path[i]) != Folded(prefix[i]))
            return false;
    }
    return true;
}

// The place that holds path and the parts below it. The outermost place wins: a place
// nested in another (the taskbar's folder below Quick Launch, Startup below the Start Menu)
// has its folders between checked too.
bool FindPlace(const std::vector<std::string>& places, const std::string& path, std::string* place,
               std::vector<std::string>* below) {
    std::vector<std::string> parts;
    if (!SplitParts(path, &parts))
        return false;
    std::size_t best = 0;
    bool found = false;
    for (const std::string& candidate : places) {
        std::string trimmed = candidate;
        while (!trimmed.empty() && (trimmed.back() == '\\' || trimmed.back() == '/'))
            trimmed.pop_back();
        std::vector<std::string> prefix;
        if (trimmed.empty() || !SplitParts(trimmed, &prefix) || !StartsWithParts(parts, prefix))
            continue;
        if (found && prefix.size() >= best)
            continue;
        found = true;
        best = prefix.size();
        *place = trimmed;
    }
    if (!found)
        return false;
    below->assign(parts.begin() + static_cast<std::ptrdiff_t>(best), parts.end());
    return true;
}

}  // namespace

Status CheckUnlinked(const FileIdentity& identity) {
    const bool folder = identity.attributes & kFileAttributeDirectory;
    if ((identity.attributes & kFileAttributeReparsePoint) || (!folder && identity.links > 1))
        return kErrorCantAccessFile;
    return kErrorSuccess;
}

Status OpenPlacedFolder(FileSecurityPort& port, const std::vector<std::string>& places,
                        const std::string& path, OpenMode mode, PlacedFile* placed) {
    placed->file.reset();
    std::string place;
    std::vector<std::string> below;
    if (!FindPlace(places, path, &place, &below))
        return kErrorNotBelowPlace;
    if (Status s = port.openPlaceFolder(place, placed->folder.put()))
        return s;
    placed->name = below.back();
    for (std::size_t i = 0; i + 1 < below.size(); ++i) {
        ScopedFile next(port);
        if (Status s =
                port.openBelow(placed->folder.get(), below[i], kFolderRights, mode, next.put()))
            return s;
        FileIdentity identity;
        if (Status s = port.queryFileIdentity(next.get(), &identity))
            return s;
        if (identity.attributes & kFileAttributeReparsePoint)
            return kErrorCantAccessFile;
        if (!(identity.attributes & kFileAttributeDirectory))
            return kErrorPathNotFound;
        placed->folder = std::move(next);
    }
    return kErrorSuccess;
}

Status OpenPlacedFile(FileSecurityPort& port, const std::vector<std::string>& places,
                      const std::string& path, std::uint32_t access, OpenMode mode,
                      PlacedFile* placed) {
    if (Status s = OpenPlacedFolder(port, places, path, mode, placed))
        return s;
    if (Status s =
            port.openBelow(placed->folder.get(), placed->name, access, mode, placed->file.put()))
        return s;
    if (Status s = port.queryFileIdentity(placed->file.get(), &placed->identity))
        return s;
    return CheckUnlinked(placed->identity);
}

}  // namespace brenvik
