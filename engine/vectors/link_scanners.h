// The two shortcut scanners: Internet Explorer shortcuts with arguments on the Desktop
// (deleted by repair) and in Quick Launch (repair clears their arguments).
#pragma once

#include <string>

#include "engine/change/access_broker.h"
#include "engine/places/folder_listings.h"
#include "engine/vectors/finding.h"

namespace brenvik {

// The name rule on an already lowercased file name: it contains "internet explorer" or
// "iexplorer" anywhere, extension included.
bool IsSuspectLinkName(const std::string& lowercasedName);

class DesktopLinkScanner {
public:
    // False when the Desktop folder was not found or holds no shortcut. What it could not
    // examine goes to the listings' skipped places.
    bool scan(AccessBroker& broker, FolderListings& listings);
    // Deletes every recorded shortcut. Always true.
    bool repair(AccessBroker& broker);
    const FindingList& findings() const { return m_findings; }

private:
    FindingList m_findings;
};

class QuickLaunchLinkScanner {
public:
    // False when the Quick Launch folder was not found or holds no shortcut; skipped places
    // as for the Desktop.
    bool scan(AccessBroker& broker, FolderListings& listings);
    // Saves every recorded shortcut again with empty arguments. Always true.
    bool repair(AccessBroker& broker);
    const FindingList& findings() const { return m_findings; }

private:
    FindingList m_findings;
};

}  // namespace brenvik
