// A restore's record of its own progress through a set, "Backups\<id>\restore": each object's
// "begun <n> <object>" line is appended and flushed before the object is changed, its
// "done <n> <object>" line after. A key tree is put back key by key, so a restore that dies
// midway leaves a tree that is neither as kept nor as the repair left it; only this record
// tells the next restore that the mismatch is its own unfinished work, not a change made
// since. The record goes once nothing in it is under way.
#pragma once

#include <string>
#include <vector>

#include "engine/backup/backup_restore.h"

namespace brenvik {

constexpr const char* kProgressName = "restore";
constexpr const char* kBegunLine = "begun";
constexpr const char* kDoneLine = "done";

// "Backups\<id>\restore".
std::string ProgressPath(const std::string& id);

// Marks the set's objects as the record's text says: the last line of an object counts; a
// line whose number and object do not both name one of the set's objects (a torn one) is
// counted in progressUnreadable and passed over.
void ParseProgress(const std::string& text, StoredSet* set);

// Writes the record of one restore of a set that ReadBackupSet read: a record the store
// refused is never appended to or read from again, and is removed only when a change needs
// a record of its own.
class RestoreProgress {
public:
    RestoreProgress(StorePort& store, const StoredSet& set);

    // Whether the object's last change by a restore began and did not end.
    bool underway(const StoredObject& object) const;
    // Written and flushed before the object is changed: no change is made when this fails.
    Status begin(const StoredObject& object);
    Status done(const StoredObject& object);
    // Removes the record when nothing in it is under way any more.
    Status finish();

private:
    Status append(RestoreMark mark, const StoredObject& object);
    std::size_t indexOf(const StoredObject& object) const;

    StorePort& m_store;
    const StoredSet& m_set;
    std::string m_path;
    bool m_exists = false;   // ours, read, and appended to from now on
    bool m_refused = false;  // there, but not made by this program
    std::vector<RestoreMark> m_marks;
};

}  // namespace brenvik
