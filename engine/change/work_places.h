// The objects the program may change, as the vectors declare them: the only ones a command
// may reach escalated, and whose access list a journal entry or a restore may put back.
#pragma once

#include <string>
#include <vector>

#include "engine/change/journal.h"
#include "engine/ports/registry_port.h"

namespace brenvik {

// Every key at or below path under root (HKEY_LOCAL_MACHINE, or HKEY_CURRENT_USER for a
// user's key in any user's hive); with classShell, of each class below path only the class's
// "shell" key and what is under it.
struct KeyPlace {
    RegKey root;
    const char* path;
    bool classShell;
};

struct WorkPlaces {
    std::vector<KeyPlace> keys;
    // ".lnk" and ".url" files directly in these folders, each ending in a backslash...
    std::vector<std::string> folders;
    // ...and in these or at most kMaxPlaceDepth folders below them.
    std::vector<std::string> walked;
    // Scheduled tasks at any depth below these task folders ("\" for every task).
    std::vector<std::string> tasks;

    void add(const WorkPlaces& other);
    // Both lists: the folders a file is walked to from.
    std::vector<std::string> fileFolders() const;
};

// A declaration of keys alone.
WorkPlaces KeyPlaces(std::vector<KeyPlace> keys);

// True for a key ("MACHINE\..." or "USERS\<sid>\...", never "CURRENT_USER" or
// "CLASSES_ROOT") or a file that places holds. Names with "." or ".." parts are never taken.
bool IsWorkPlace(const JournalEntry& entry, const WorkPlaces& places);
// True for a task's full name ("\Folder\Name") below a task folder places holds. Names with
// empty, "." or ".." parts are never taken: the name is text of a backup's record.
bool IsTaskPlace(const std::string& name, const WorkPlaces& places);

}  // namespace brenvik
