#include "engine/vectors/link_scanners.h"

#include <vector>

#include "engine/backup/backup_manifest.h"
#include "engine/base/text_rules.h"
#include "engine/places/link_places.h"
#include "engine/places/shell_folder.h"
#include "engine/rules/browser_paths.h"
#include "engine/views/result_record.h"

namespace brenvik {
namespace {

constexpr const char* kLinkExtension = ".lnk";

constexpr std::uint32_t kValueBufferSize = 4096;

// Why a Shell Folders value gave no folder, when that is no normal absence: the key or the
// value refuses reading, or names a folder too long to reach. "" when the value is missing or
// names no existing folder: then there is nothing to examine.
std::string UnreadShellFolder(RegistryReader& registry, const char* valueName) {
    ScopedKey key(registry);
    if (Status s = registry.openKey(kHKeyCurrentUser, kShellFoldersKey, kKeyRead, key.put()))
        return s == kErrorFileNotFound ? std::string() : "cannot be read: " + ErrorWords(s);
    std::vector<std::uint8_t> data(kValueBufferSize, 0);
    std::uint32_t type = kRegNone;
    std::uint32_t size = kValueBufferSize;
    const Status s = registry.queryValue(key.get(), valueName, &type, data.data(), &size);
    if (s == kErrorMoreData)
        return "path too long";
    if (s != kErrorSuccess)
        return s == kErrorFileNotFound ? std::string() : "cannot be read: " + ErrorWords(s);
    const std::string text(reinterpret_cast<const char*>(data.data()), size);
    if ((type == kRegSz || type == kRegExpandSz) && Utf16Length(text) > kMaxPathLength)
        return "path too long";
    return std::string();
}

// One listed entry: the name rule, then its arguments.
void ScanEntry(AccessBroker& broker, FolderListings& listings, const char* label,
               const std::string& base, const std::string& entryName, FindingList& findings) {
    std::string name = entryName;
    LowercaseAscii(name);
    if (!IsSuspectLinkName(name))
        return;
    // The rule reads the lowercased copy; the file is reached by the name as listed.
    // Lowercasing bytes also changes the trail byte of a double-byte character, and on a
    // file system that tells letter case apart (Wine's) every call on a lowercased name
    // would have to search the folder.
    const std::string path = base + entryName;
    if (Utf16Length(path) > kMaxPathLength) {
        listings.skip(label, path, "path too long");
        return;
    }

    ShortcutProperties link = ShortcutArguments();
    if (broker.readShortcut(path, &link) != kErrorSuccess || link.arguments.empty())
        return;
    findings.push_back(Finding{path, std::move(link.arguments)});
}

// Goes through the shortcuts (".lnk" files) of the folder and records each matching one with
// arguments, in listing order. False when the folder is not found or holds no shortcut; a
// folder that is there but cannot be listed is kept as skipped.
bool ScanLinkFolder(AccessBroker& broker, FolderListings& listings, const char* label,
                    const ShellFolderPlace& place, FindingList& findings) {
    std::string base;
    if (!FindLinkFolder(broker.reads(), place, &base)) {
        const std::string why = UnreadShellFolder(broker.reads().registry, place.valueName);
        if (!why.empty())
            listings.skip(label,
                          std::string(RootName(kHKeyCurrentUser)) + "\\" + kShellFoldersKey + "\\" +
                              place.valueName,
                          why);
        return false;
    }
    const std::vector<FindEntry>* entries = listings.entries(base, label, ListedAs::Place);
    if (entries == nullptr)
        return false;
    bool anyShortcut = false;
    for (const FindEntry& entry : *entries) {
        if ((entry.attributes & kFileAttributeDirectory) ||
            !HasExtension(entry.name, kLinkExtension))
            continue;
        anyShortcut = true;
        if (broker.stopRequested())
            break;
        ScanEntry(broker, listings, label, base, entry.name, findings);
    }
    return anyShortcut;
}

}  // namespace

bool IsSuspectLinkName(const std::string& lowercasedName) {
    return lowercasedName.find("internet explorer") != std::string::npos ||
           lowercasedName.find("iexplorer") != std::string::npos;
}

bool LinkFolderScanner::scan(AccessBroker& broker, FolderListings& listings) {
    return ScanLinkFolder(broker, listings, m_folder.label, m_folder.place, m_findings);
}

bool LinkFolderScanner::repair(AccessBroker& broker) {
    // Deleting a linked name leaves its target alone; only an unlock would reach through it,
    // and the broker never unlocks a linked name.
    for (const Finding& finding : m_findings) {
        if (broker.stopRequested())
            break;
        if (m_folder.deletes)
            broker.deleteFile(finding.path);
        else
            broker.writeShortcut(finding.path, ShortcutArguments());
    }
    return true;
}

}  // namespace brenvik
