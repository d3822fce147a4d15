#include "engine/change/work_places.h"

#include <utility>

#include "engine/base/text_rules.h"
#include "engine/places/link_places.h"
#include "engine/ports/task_port.h"

namespace brenvik {
namespace {

// The files the rules read or repair: shortcuts and Internet shortcuts.
const char* const kLinkExtensions[] = {".lnk", ".url"};

std::string Lowercased(std::string text) {
    LowercaseAscii(text);
    return text;
}

// The parts between backslashes, lowercased; false when one is empty, "." or "..".
bool SplitPlain(const std::string& name, std::vector<std::string>* parts) {
    const std::size_t first = parts->size();
    if (!SplitPlainParts(name, 0, parts))
        return false;
    for (std::size_t i = first; i < parts->size(); ++i) LowercaseAscii((*parts)[i]);
    return true;
}

bool IsUnder(const std::vector<std::string>& name, const std::vector<std::string>& prefix) {
    if (name.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (name[i] != prefix[i])
            return false;
    }
    return true;
}

// "S-1-" and then digits and dashes only.
bool IsSidText(const std::string& part) {
    if (part.size() < 5 || part.compare(0, 4, "s-1-") != 0)
        return false;
    for (std::size_t i = 4; i < part.size(); ++i) {
        if (part[i] != '-' && (part[i] < '0' || part[i] > '9'))
            return false;
    }
    return true;
}

// Old journals named the caller's own hive "CURRENT_USER" and the merged view "CLASSES_ROOT":
// neither says which key it was to an account that recovers later, so neither is taken.
bool IsKeyPlace(const std::string& object, const std::vector<KeyPlace>& places) {
    std::vector<std::string> name;
    if (!SplitPlain(object, &name))
        return false;
    const bool user = name.size() > 2 && name[0] == "users" && IsSidText(name[1]);
    for (const KeyPlace& place : places) {
        if ((place.root == kHKeyCurrentUser) != user)
            continue;
        std::vector<std::string> prefix;
        if (user)
            prefix = {name[0], name[1]};
        else
            prefix = {"machine"};
        std::string path = place.path;
        if (!path.empty() && path.back() == '\\')
            path.pop_back();
        SplitPlain(path, &prefix);
        if (!IsUnder(name, prefix))
            continue;
        // Below CLSID only {class}\shell and what is under it.
        if (!place.classShell)
            return true;
        if (name.size() >= prefix.size() + 2 && name[prefix.size() + 1] == "shell")
            return true;
    }
    return false;
}

bool HasLinkExtension(const std::string& lowercasedName) {
    for (const char* extension : kLinkExtensions) {
        const std::size_t length = std::char_traits<char>::length(extension);
        if (lowercasedName.size() > length &&
            lowercasedName.compare(lowercasedName.size() - length, length, extension) == 0)
            return true;
    }
    return false;
}

// The parts of folder (which ends in a backslash); false when it has "." or ".." parts.
bool FolderParts(const std::string& folder, std::vector<std::string>* parts) {
    return !folder.empty() && folder.back() == '\\' &&
           SplitPlain(folder.substr(0, folder.size() - 1), parts);
}

bool IsFilePlace(const std::string& path, const std::vector<std::string>& folders,
                 const std::vector<std::string>& walkedFolders) {
    const std::string lowered = Lowercased(path);
    const std::size_t slash = lowered.rfind('\\');
    if (slash == std::string::npos || !HasLinkExtension(lowered.substr(slash + 1)))
        return false;
    std::vector<std::string> parts;
    if (!SplitPlain(path, &parts))
        return false;
    for (const std::string& folder : folders) {
        if (Lowercased(folder) == lowered.substr(0, slash + 1))
            return true;
    }
    for (const std::string& folder : walkedFolders) {
        std::vector<std::string> prefix;
        if (!FolderParts(folder, &prefix) || !IsUnder(parts, prefix))
            continue;
        // The file itself and up to kMaxPlaceDepth folders between it and the place.
        if (parts.size() > prefix.size() &&
            parts.size() - prefix.size() <= static_cast<std::size_t>(kMaxPlaceDepth) + 1)
            return true;
    }
    return false;
}

}  // namespace

WorkPlaces KeyPlaces(std::vector<KeyPlace> keys) {
    WorkPlaces places;
    places.keys = std::move(keys);
    return places;
}

void WorkPlaces::add(const WorkPlaces& other) {
    keys.insert(keys.end(), other.keys.begin(), other.keys.end());
    folders.insert(folders.end(), other.folders.begin(), other.folders.end());
    walked.insert(walked.end(), other.walked.begin(), other.walked.end());
    tasks.insert(tasks.end(), other.tasks.begin(), other.tasks.end());
}

std::vector<std::string> WorkPlaces::fileFolders() const {
    std::vector<std::string> all = folders;
    all.insert(all.end(), walked.begin(), walked.end());
    return all;
}

bool IsTaskPlace(const std::string& name, const WorkPlaces& places) {
    std::vector<std::string> parts;
    if (!IsPlainTaskName(name) || !SplitPlain(name.substr(1), &parts))
        return false;
    for (const std::string& folder : places.tasks) {
        std::vector<std::string> prefix;
        if (folder != "\\" &&
            (folder.empty() || folder[0] != '\\' || !SplitPlain(folder.substr(1), &prefix)))
            continue;
        if (parts.size() > prefix.size() && IsUnder(parts, prefix))
            return true;
    }
    return false;
}

bool IsWorkPlace(const JournalEntry& entry, const WorkPlaces& places) {
    if (entry.type == SecurityObjectType::RegistryKey)
        return IsKeyPlace(entry.object, places.keys);
    return IsFilePlace(entry.object, places.folders, places.walked);
}

}  // namespace brenvik
