// Browser shortcuts in every place: hijacked arguments, a target replaced by a launcher, and
// Internet shortcuts named like a browser.
#pragma once

#include <unordered_set>
#include <string>

#include "engine/change/access_broker.h"
#include "engine/places/folder_listings.h"
#include "engine/vectors/finding.h"

namespace brenvik {

// The normalized paths (NormalizedPath) that other scanners already report: never again.
using ReportedPaths = std::unordered_set<std::string>;

// The "URL=" value of an Internet shortcut's [InternetShortcut] section; empty when none.
std::string InternetShortcutUrl(const std::string& text);

class BrowserLinkScanner : public ScanRecord {
public:
    // Walks every place once, in the places' order, and records each finding with its label
    // (userFolders: where a browser is never started from by its own shortcut);
    // what it passes over goes to the listings' skipped places. Always true.
    bool scan(AccessBroker& broker, FolderListings& listings, const ReportedPaths& reported,
              const std::vector<std::string>& userFolders);
    // Repairs every finding in list order: arguments rewritten, target pointed at the
    // registered browser (or the shortcut removed when none is), fake links removed.
    bool repair(AccessBroker& broker);
};

}  // namespace brenvik
