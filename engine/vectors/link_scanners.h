// The two shortcut scanners: Internet Explorer shortcuts with arguments on the Desktop
// (deleted by repair) and in Quick Launch (repair clears their arguments).
#pragma once

#include <string>

#include "engine/change/access_broker.h"
#include "engine/places/folder_listings.h"
#include "engine/places/link_places.h"
#include "engine/vectors/finding.h"

namespace brenvik {

// The name rule on an already lowercased file name: it contains "internet explorer" or
// "iexplorer" anywhere, extension included.
bool IsSuspectLinkName(const std::string& lowercasedName);

// A folder the shortcut rule reads, with its report label, and what Fix does to a shortcut
// found there: delete it, or save it again with empty arguments.
struct LinkFolder {
    const char* label;
    ShellFolderPlace place;
    bool deletes;
};
constexpr LinkFolder kDesktopLinks = {"Desktop", kDesktopLinkPlace, true};
constexpr LinkFolder kQuickLaunchLinks = {"Quick Launch", kQuickLaunchLinkPlace, false};

class LinkFolderScanner : public ScanRecord {
public:
    explicit LinkFolderScanner(const LinkFolder& folder) : m_folder(folder) {}

    // False when the folder was not found or holds no shortcut. What it could not examine
    // goes to the listings' skipped places.
    bool scan(AccessBroker& broker, FolderListings& listings);
    // Deletes, or clears the arguments of, every recorded shortcut. Always true.
    bool repair(AccessBroker& broker);

private:
    LinkFolder m_folder;
};

class DesktopLinkScanner final : public LinkFolderScanner {
public:
    DesktopLinkScanner() : LinkFolderScanner(kDesktopLinks) {}
};

class QuickLaunchLinkScanner final : public LinkFolderScanner {
public:
    QuickLaunchLinkScanner() : LinkFolderScanner(kQuickLaunchLinks) {}
};

}  // namespace brenvik
