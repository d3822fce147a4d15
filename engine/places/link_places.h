// The folders the scanners walk: the browser rules' places, each with its report label, in
// row order, and the two folders the shortcut scanners find through Shell Folders values.
// Recovery and restore take their places from here too.
#pragma once

#include <string>
#include <vector>

#include "engine/ports/port_reads.h"

namespace brenvik {

// The deepest level of subfolders walked below a place that is walked at all (the Start Menu):
// real menus are two or three levels deep. A folder deeper than that is reported as skipped.
constexpr int kMaxPlaceDepth = 6;

// Quick Launch below the roaming AppData folder.
constexpr const char* kQuickLaunchSubPath = "Microsoft\\Internet Explorer\\Quick Launch\\";

// A folder the shortcut scanners read: the one a Shell Folders value names, subPath below it.
struct ShellFolderPlace {
    const char* valueName;
    const char* subPath;
};
constexpr ShellFolderPlace kDesktopLinkPlace = {"Desktop", ""};
constexpr ShellFolderPlace kQuickLaunchLinkPlace = {"AppData", kQuickLaunchSubPath};
constexpr ShellFolderPlace kShellFolderPlaces[] = {kDesktopLinkPlace, kQuickLaunchLinkPlace};

// The folder the place's Shell Folders value names, with a backslash and its subPath added;
// false when the value names no folder.
bool FindLinkFolder(const PortReads& ports, const ShellFolderPlace& place, std::string* base);

// A place's folder as found on this machine: absolute, ending in a backslash.
struct PlaceFolder {
    const char* label;  // the report's fixed, untranslated location label
    std::string folder;
    bool withSubfolders;
    // Every user runs what is here (Public Desktop, the common Start Menu and Startup): only
    // what no single user controls may be written into it.
    bool machineWide;
};

// The place folders that exist here, in the table's order (which is the order of the rows);
// a folder the known-folder port does not give, or given twice, is left out.
std::vector<PlaceFolder> FindPlaceFolders(const PortReads& ports);

// The user's own folders a browser is never started from by its own shortcut: the roaming and
// local AppData folders and Temp, those the known-folder port gives.
std::vector<std::string> UserProgramFolders(const PortReads& ports);

}  // namespace brenvik
