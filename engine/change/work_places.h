// The objects the program may change: the only ones whose access list a journal entry may
// put back.
#pragma once

#include <string>
#include <vector>

#include "engine/change/journal.h"
#include "engine/places/link_places.h"
#include "engine/ports/port_reads.h"

namespace brenvik {

// The folder the place's Shell Folders value names, with a backslash and its subPath added;
// false when the value names no folder.
bool FindLinkFolder(const PortReads& ports, const ShellFolderPlace& place, std::string* base);

// The folders whose shortcuts the scanners read, each ending in a backslash: the Desktop
// and Quick Launch folders as the Shell Folders values name them now, and the browser rules'
// places that are their folder alone.
std::vector<std::string> ShortcutFolders(const PortReads& ports);

// The browser rules' places that are walked with their subfolders (the Start Menu folders).
std::vector<std::string> WalkedShortcutFolders(const PortReads& ports);

// True for a key at or below one the scanners and Fix Desktop work on (a user's key in any
// user's hive, "USERS\<sid>\..."; never "CURRENT_USER" or "CLASSES_ROOT"), a ".lnk" or ".url"
// file directly in one of shortcutFolders, or one at most kMaxPlaceDepth folders below one of
// walkedFolders. Names with "." or ".." parts are never taken.
bool IsWorkPlace(const JournalEntry& entry, const std::vector<std::string>& shortcutFolders,
                 const std::vector<std::string>& walkedFolders);

}  // namespace brenvik
