#include "engine/vectors/browser_link_scanner.h"

#include <vector>

#include "engine/base/text_rules.h"
#include "engine/places/link_places.h"
#include "engine/places/registered_browser.h"
#include "engine/rules/browser_paths.h"
#include "engine/rules/browser_shortcut_rules.h"

namespace brenvik {
namespace {

constexpr std::uint32_t kFolderOrReparse = kFileAttributeDirectory | kFileAttributeReparsePoint;

// What one walk shares: the broker, the listings, the user's folders and what is already
// reported.
struct Walk {
    AccessBroker& broker;
    FolderListings& listings;
    const ReportedPaths& reported;
    std::vector<std::string> placeFolders;  // normalized; a walk never enters another place
    std::vector<std::string> userFolders;
    FindingList& findings;
};

std::string Joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : " ") + part;
    return text;
}

void JudgeLink(Walk& walk, const std::string& path, const std::string& name, const char* label) {
    ShortcutProperties details;
    details.mask = kShortcutTarget | kShortcutArguments | kShortcutIcon;
    if (walk.broker.readShortcut(path, &details) != kErrorSuccess)
        return;
    const ArgumentVerdict verdict = JudgeBrowserShortcut(name, details.target, details.arguments);
    if (!verdict.findings.empty()) {
        Finding finding{path, Joined(verdict.findings), BrowserRule::Arguments, label};
        finding.arguments = verdict.repaired;
        finding.refused = verdict.refused;
        walk.findings.push_back(std::move(finding));
        return;
    }
    const Browser* claimed =
        ReplacedBrowserTarget(name, details.iconPath, details.target, walk.userFolders);
    if (claimed == nullptr)
        return;
    Finding finding{path, details.target, BrowserRule::ReplacedTarget, label};
    finding.target = claimed->executable;
    walk.findings.push_back(std::move(finding));
}

void JudgeInternetShortcut(Walk& walk, const std::string& path, const std::string& name,
                           const char* label) {
    if (FindBrowserByShortcutName(name) == nullptr)
        return;
    // A link that cannot be read is still named to pass for the browser: it goes all the same.
    std::string text;
    walk.broker.readFileText(path, &text);
    walk.findings.push_back(Finding{path, InternetShortcutUrl(text), BrowserRule::FakeLink, label});
}

void JudgeFile(Walk& walk, const std::string& folder, const std::string& name, const char* label) {
    const bool link = HasExtension(name, ".lnk");
    if (!link && !HasExtension(name, ".url"))
        return;
    const std::string path = folder + name;
    if (Utf16Length(path) > kMaxPathLength) {
        walk.listings.skip(label, path, "path too long");
        return;
    }
    if (walk.reported.count(NormalizedPath(path)) != 0)
        return;
    if (link)
        JudgeLink(walk, path, name, label);
    else
        JudgeInternetShortcut(walk, path, name, label);
}

bool IsOtherPlace(const Walk& walk, const std::string& folder) {
    const std::string normalized = NormalizedPath(folder);
    for (const std::string& place : walk.placeFolders) {
        if (place == normalized)
            return true;
    }
    return false;
}

// Files in listing order; subfolders (not another place's folder) are walked where they are
// listed, down to kMaxPlaceDepth. A subfolder that is a reparse point (a junction or a
// symbolic link could lead anywhere, a place of another account included), one deeper than
// that, and a folder that cannot be listed are passed over and kept as skipped.
void WalkFolder(Walk& walk, const std::string& folder, const PlaceFolder& place, int depth) {
    const std::vector<FindEntry>* entries = walk.listings.entries(
        folder, place.label, depth == 0 ? ListedAs::Place : ListedAs::Subfolder);
    if (entries == nullptr)
        return;
    for (const FindEntry& entry : *entries) {
        if (walk.broker.stopRequested())
            return;
        if (!(entry.attributes & kFileAttributeDirectory)) {
            JudgeFile(walk, folder, entry.name, place.label);
            continue;
        }
        if (!place.withSubfolders)
            continue;
        const std::string subfolder = folder + entry.name + "\\";
        if (IsOtherPlace(walk, subfolder))
            continue;
        if ((entry.attributes & kFolderOrReparse) != kFileAttributeDirectory) {
            walk.listings.skip(place.label, subfolder, "junction not followed");
            continue;
        }
        if (depth >= kMaxPlaceDepth) {
            walk.listings.skip(place.label, subfolder,
                               "deeper than " + std::to_string(kMaxPlaceDepth) + " folders");
            continue;
        }
        WalkFolder(walk, subfolder, place, depth + 1);
    }
}

// Whether the shortcut lies in (or, for a walked place, below) a place every user runs from.
bool InMachineWidePlace(const std::vector<PlaceFolder>& places, const std::string& path) {
    const std::string normalized = NormalizedPath(path);
    for (const PlaceFolder& place : places) {
        if (place.machineWide && IsPathUnderFolder(normalized, place.folder))
            return true;
    }
    return false;
}

void RepairFinding(AccessBroker& broker, const std::vector<PlaceFolder>& places,
                   const Finding& finding) {
    switch (finding.rule) {
        case BrowserRule::Arguments:
            if (finding.refused.empty())
                broker.writeShortcut(finding.path, ShortcutArguments(finding.arguments));
            return;
        case BrowserRule::ReplacedTarget: {
            std::string executable;
            if (FindRegisteredBrowser(broker, finding.target,
                                      InMachineWidePlace(places, finding.path), &executable))
                broker.writeShortcut(finding.path, ShortcutTarget(executable, ""));
            else
                broker.deleteFile(finding.path);
            return;
        }
        case BrowserRule::FakeLink:
            broker.deleteFile(finding.path);
            return;
        default:
            return;
    }
}

}  // namespace

std::string InternetShortcutUrl(const std::string& text) {
    bool inSection = false;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::string lowered = line;
        LowercaseAscii(lowered);
        if (!lowered.empty() && lowered.front() == '[') {
            inSection = lowered == "[internetshortcut]";
            continue;
        }
        if (inSection && lowered.compare(0, 4, "url=") == 0)
            return line.substr(4);
    }
    return std::string();
}

bool BrowserLinkScanner::scan(AccessBroker& broker, FolderListings& listings,
                              const ReportedPaths& reported,
                              const std::vector<std::string>& userFolders) {
    const std::vector<PlaceFolder> places = FindPlaceFolders(broker.reads());
    Walk walk{broker, listings, reported, {}, userFolders, m_findings};
    for (const PlaceFolder& place : places)
        walk.placeFolders.push_back(NormalizedPath(place.folder));
    for (const PlaceFolder& place : places) {
        if (broker.stopRequested())
            break;
        WalkFolder(walk, place.folder, place, 0);
    }
    return true;
}

bool BrowserLinkScanner::repair(AccessBroker& broker) {
    const std::vector<PlaceFolder> places = FindPlaceFolders(broker.reads());
    for (const Finding& finding : m_findings) {
        if (broker.stopRequested())
            break;
        RepairFinding(broker, places, finding);
    }
    return true;
}

}  // namespace brenvik
