#include "engine/link_scanners.h"

#include "engine/access_unlock.h"
#include "engine/shell_folder.h"
#include "engine/text_rules.h"

namespace brenvik {
namespace {

constexpr const char* kQuickLaunchSubPath = "Microsoft\\Internet Explorer\\Quick Launch\\";
constexpr const char* kLinkPattern = "*.lnk";

// One listed entry: the name rule, then (unlocked for the duration) its arguments.
void ScanEntry(Ports& ports, const std::string& base, const std::string& entryName,
               FindingList& findings) {
    std::string name = entryName;
    LowercaseAscii(name);
    if (!IsSuspectLinkName(name))
        return;
    // The rule reads the lowercased copy; the file is reached by the name as listed.
    // Lowercasing bytes also changes the trail byte of a double-byte character, and on a
    // file system that tells letter case apart (Wine's) every call on a lowercased name
    // would have to search the folder.
    const std::string path = base + entryName;
    if (path.size() > kMaxPathLength)
        return;

    ScopedFileUnlock unlock(ports.access, ports.files, path);
    std::string arguments = ports.shortcuts.readLinkArguments(path);
    if (arguments.empty())
        return;
    findings.push_back(Finding{path, std::move(arguments)});
}

// Lists base + "*.lnk" and records each matching shortcut with arguments, in listing order.
bool ScanLinkFolder(Ports& ports, const char* valueName, const char* subPath,
                    FindingList& findings) {
    std::string base;
    if (FindUserShellFolder(ports.registry, ports.files, valueName, base) == 0)
        return false;
    if (base.back() != '\\')
        base += '\\';
    base += subPath;
    const std::string pattern = base + kLinkPattern;
    if (pattern.size() > kMaxPathLength)
        return false;

    FindEntry entry;
    ScopedFind find(ports.files, ports.files.findFirst(pattern, &entry));
    if (find.get() == kNoFind)
        return false;
    do {
        ScanEntry(ports, base, entry.name, findings);
    } while (ports.files.findNext(find.get(), &entry));
    return true;
}

}  // namespace

bool IsSuspectLinkName(const std::string& lowercasedName) {
    return lowercasedName.find("internet explorer") != std::string::npos ||
           lowercasedName.find("iexplorer") != std::string::npos;
}

bool DesktopLinkScanner::scan(Ports& ports) {
    return ScanLinkFolder(ports, "Desktop", "", m_findings);
}

bool DesktopLinkScanner::repair(Ports& ports) {
    for (const Finding& finding : m_findings) {
        // A linked name is deleted without being unlocked: deleting a link leaves its
        // target alone, but changing its permissions would not.
        ScopedFileUnlock unlock(ports.access, ports.files, finding.path);
        ports.files.deleteFile(finding.path);
    }
    return true;
}

bool QuickLaunchLinkScanner::scan(Ports& ports) {
    return ScanLinkFolder(ports, "AppData", kQuickLaunchSubPath, m_findings);
}

bool QuickLaunchLinkScanner::repair(Ports& ports) {
    for (const Finding& finding : m_findings) {
        ScopedFileUnlock unlock(ports.access, ports.files, finding.path);
        if (!unlock.unlocked())
            continue;  // rewriting a link would change its target
        ports.shortcuts.writeLinkArguments(finding.path, "");
    }
    return true;
}

}  // namespace brenvik
