// Reading backup sets back from the store, and putting their objects back: what changed since
// the repair is a conflict and stays as it is; what is back already is left alone.
#pragma once

#include <string>
#include <vector>

#include "engine/backup/backup_set.h"
#include "engine/change/work_places.h"

namespace brenvik {

// What the set's restore record says of an object (see backup_progress.h).
enum class RestoreMark { None, Begun, Done };

struct StoredObject {
    ObjectRecord record;
    std::size_t number = 0;  // in the manifest's lines
    RestoreMark mark = RestoreMark::None;
    bool hasResult = false;  // false when the run died between the backup and the change
    ResultRecordOfObject result;
};

struct StoredSet {
    SetHeader header;
    std::string finished;               // ISO 8601; empty when the set was cut short
    std::vector<StoredObject> objects;  // in the order kept
    int unreadable = 0;                 // records torn or not written by this program
    // Why the set cannot be read, when it cannot: "manifest: not made by this program".
    std::string damage;
    // The header itself was refused by the store: no set this program wrote.
    bool foreignHeader = false;
    // The restore record: whether one was read, and why the store refused one that is there
    // (0 when none was refused); no object is marked by a refused record.
    bool hasProgress = false;
    Status progressError = kErrorSuccess;
    int progressUnreadable = 0;
    // Whether an object is marked as begun and not done: a restore died or failed midway.
    bool restoreUnderway() const;
};

// The ids of the sets in the store, oldest first. trusted is false when others could have
// written the folder: it has been moved aside, and the ids are the ones it held, to be
// reported, never read or acted on.
Status ListBackupSets(StorePort& store, std::vector<std::string>* ids, bool* trusted);
// The set with its kept files' bytes, each file checked by the store as it is read. On a
// failure set->damage says which file and why.
Status ReadBackupSet(StorePort& store, const std::string& id, StoredSet* set);
// The words for why the store would not give a file: "not made by this program", "missing".
std::string StoreErrorWords(Status status);

enum class RestoreStep {
    PutBack,      // as the repair left it: the kept state is written back
    AlreadyBack,  // as it was before the repair (never changed, or restored already)
    Conflict,     // changed since the repair
};

// Where the object is now decides: as before, as after the repair, or something else. An
// object without a result (a set cut short) counts as repaired only when its repair deletes
// and it is gone.
RestoreStep PlanRestore(const StoredObject& object, const FileState& now);
RestoreStep PlanRestore(const StoredObject& object, const KeyState& now);

struct ObjectRestore {
    const StoredObject* object = nullptr;
    RestoreStep step = RestoreStep::Conflict;
    Status error = kErrorSuccess;  // reading its state now, or writing it back
    // Put back although it matched neither state: the restore record said an earlier restore
    // had begun changing it and never finished.
    bool resumed = false;
};

// The places a restore may write to, as the vectors declare them, with the user's keys in the
// hive of userSid (the token user's).
struct RestorePlaces {
    WorkPlaces places;
    std::string userSid;
};
// declared is to be found before anything else asks for a known folder: Wine's shell then
// rewrites the Shell Folders values.
RestorePlaces CurrentRestorePlaces(Ports& ports, WorkPlaces declared);

// Restores every object of the set, the last kept first, each only where it is one the
// program works on; a key kept through HKEY_CLASSES_ROOT is refused (ERROR_NOT_SUPPORTED).
// A conflict or failure does not stop the others. Each change is recorded as begun in the
// set's restore record first (an object whose record cannot be written is not changed) and
// as done after; an object an earlier restore left begun is put back from its kept state
// whatever it holds now. The record is removed when nothing in it is left under way.
std::vector<ObjectRestore> RestoreSet(AccessBroker& broker, Ports& ports, const StoredSet& set,
                                      const RestorePlaces& places);

}  // namespace brenvik
