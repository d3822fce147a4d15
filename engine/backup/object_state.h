// What a backup keeps of one object (a file, or a key with everything below it), read
// through the access broker, compared by content, and written back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/change/access_broker.h"
#include "engine/ports/content_port.h"

namespace brenvik {

struct FileState {
    bool present = false;
    std::string bytes;
    std::uint32_t attributes = 0;
    std::string sddl;  // the access list, as AccessListToSddl writes it
};

struct KeyState {
    std::string name;  // the last part of the key's path; "" at the top of a backup
    bool present = false;
    std::string sddl;
    std::vector<ValueEntry> values;  // in enumeration order
    std::vector<KeyState> subkeys;   // in enumeration order
};

// A file as it is now; absent is no error. Fails when any part cannot be read: a backup
// that could not be put back whole is no backup.
Status CaptureFile(AccessBroker& broker, ContentPort& content, const std::string& path,
                   FileState* state);
// A key with its values, subkeys and access lists as they are now; absent is no error.
Status CaptureKeyTree(AccessBroker& broker, ContentPort& content, RegKey root,
                      const std::string& path, KeyState* state);

// A task as it is now: present with its XML definition as the bytes (no attributes, no
// list: the scheduler keeps its own), absent when no task has the name.
Status CaptureTask(AccessBroker& broker, const std::string& name, FileState* state);

// Whether two states hold the same content: presence and bytes for a file; presence, values
// and subkeys (names without letter case, in any order) for a key. Access lists and
// attributes are not compared: Wine, for one, resets key lists whenever its server restarts.
bool SameContent(const FileState& a, const FileState& b);
bool SameContent(const KeyState& a, const KeyState& b);

// Writes the file back as state says: removed when absent, else bytes, access list and
// attributes. A name that is a link now is not written through (ERROR_CANT_ACCESS_FILE).
Status PutBackFile(AccessBroker& broker, ContentPort& content, const std::string& path,
                   const FileState& state);
// Registers the task again from its kept XML (TASK_CREATE) through the broker, and reads it
// back: kErrorTaskNotAsKept when its Exec actions are not the kept ones. An absent state
// deletes whatever task has the name now.
Status PutBackTask(AccessBroker& broker, const std::string& name, const FileState& state);
// Replaces root\path with the tree state holds (or removes it when absent): what is there is
// deleted, then each key is created, given its values and list, then its subkeys.
Status PutBackKeyTree(AccessBroker& broker, ContentPort& content, AccessPort& access, RegKey root,
                      const std::string& path, const KeyState& state);

}  // namespace brenvik
