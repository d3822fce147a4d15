#include "engine/link_scanners.h"

#include "engine/text_rules.h"
#include "engine/work_places.h"

namespace brenvik {
namespace {

constexpr const char* kQuickLaunchSubPath = "Microsoft\\Internet Explorer\\Quick Launch\\";
constexpr const char* kLinkPattern = "*.lnk";

// One listed entry: the name rule, then its arguments.
void ScanEntry(AccessBroker& broker, const std::string& base, const std::string& entryName,
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
    if (Utf16Length(path) > kMaxPathLength)
        return;

    std::string arguments;
    if (broker.readLinkArguments(path, &arguments) != kErrorSuccess || arguments.empty())
        return;
    findings.push_back(Finding{path, std::move(arguments)});
}

// Lists base + "*.lnk" and records each matching shortcut with arguments, in listing order.
bool ScanLinkFolder(AccessBroker& broker, const char* valueName, const char* subPath,
                    FindingList& findings) {
    Ports& ports = broker.ports();
    std::string base;
    if (!FindLinkFolder(ports, valueName, subPath, &base))
        return false;
    const std::string pattern = base + kLinkPattern;
    if (Utf16Length(pattern) > kMaxPathLength)
        return false;

    FindEntry entry;
    ScopedFind find(ports.files, ports.files.findFirst(pattern, &entry));
    if (find.get() == kNoFind)
        return false;
    do {
        if (broker.stopRequested())
            break;
        ScanEntry(broker, base, entry.name, findings);
    } while (ports.files.findNext(find.get(), &entry));
    return true;
}

}  // namespace

bool IsSuspectLinkName(const std::string& lowercasedName) {
    return lowercasedName.find("internet explorer") != std::string::npos ||
           lowercasedName.find("iexplorer") != std::string::npos;
}

bool DesktopLinkScanner::scan(AccessBroker& broker) {
    return ScanLinkFolder(broker, "Desktop", "", m_findings);
}

bool DesktopLinkScanner::repair(AccessBroker& broker) {
    // Deleting a linked name leaves its target alone; only an unlock would reach through it,
    // and the broker never unlocks a linked name.
    for (const Finding& finding : m_findings) {
        if (broker.stopRequested())
            break;
        broker.deleteFile(finding.path);
    }
    return true;
}

bool QuickLaunchLinkScanner::scan(AccessBroker& broker) {
    return ScanLinkFolder(broker, "AppData", kQuickLaunchSubPath, m_findings);
}

bool QuickLaunchLinkScanner::repair(AccessBroker& broker) {
    for (const Finding& finding : m_findings) {
        if (broker.stopRequested())
            break;
        broker.writeLinkArguments(finding.path, "");
    }
    return true;
}

}  // namespace brenvik
