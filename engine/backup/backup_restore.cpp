#include "engine/backup/backup_restore.h"

#include <algorithm>
#include <cstdlib>

#include "engine/backup/backup_progress.h"
#include "engine/base/text_lines.h"
#include "engine/change/work_places.h"

namespace brenvik {
namespace {

std::string SetFolder(const std::string& id) {
    return std::string(kBackupsFolder) + "\\" + id;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// "object 3 {...}" -> kind "object", number 3, the JSON; false for anything else.
bool SplitLine(const std::string& line, std::string* kind, std::size_t* number, std::string* rest) {
    const std::size_t first = line.find(' ');
    if (first == std::string::npos)
        return false;
    *kind = line.substr(0, first);
    if (*kind == kFinishedLine) {
        *rest = line.substr(first + 1);
        return true;
    }
    char* end = nullptr;
    *number = std::strtoul(line.c_str() + first + 1, &end, 10);
    if (end == line.c_str() + first + 1 || *end != ' ' || *number == 0)
        return false;
    *rest = line.substr(static_cast<std::size_t>(end - line.c_str()) + 1);
    return true;
}

bool Deletes(const std::string& action) {
    return action == "delete file" || action == "delete key tree" || action == "delete key" ||
           action == "delete task";
}

template <typename State>
RestoreStep Plan(const StoredObject& object, const State& before, const State& after,
                 const State& now) {
    if (SameContent(now, before))
        return RestoreStep::AlreadyBack;
    if (object.hasResult)
        return SameContent(now, after) ? RestoreStep::PutBack : RestoreStep::Conflict;
    return Deletes(object.record.action) && !now.present ? RestoreStep::PutBack
                                                         : RestoreStep::Conflict;
}

JournalEntry AsEntry(const ChangedObject& object, const std::string& userSid) {
    JournalEntry entry;
    if (object.kind == ChangedObject::Kind::File) {
        entry.object = object.path;
        return entry;
    }
    entry.type = SecurityObjectType::RegistryKey;
    entry.object = KeyObjectName(object.root, object.path, userSid);
    return entry;
}

ObjectRestore RestoreOne(AccessBroker& broker, Ports& ports, const StoredObject& object,
                         RestoreProgress& progress) {
    ObjectRestore done{&object, RestoreStep::Conflict, kErrorSuccess};
    const ChangedObject& changed = object.record.object;
    const bool task = changed.kind == ChangedObject::Kind::Task;
    const bool file = changed.kind == ChangedObject::Kind::File || task;
    FileState fileNow;
    KeyState keyNow;
    if (task)
        done.error = CaptureTask(broker, changed.path, &fileNow);
    else
        done.error =
            file ? CaptureFile(broker, ports.content, changed.path, &fileNow)
                 : CaptureKeyTree(broker, ports.content, changed.root, changed.path, &keyNow);
    if (done.error != kErrorSuccess)
        return done;
    done.step = file ? PlanRestore(object, fileNow) : PlanRestore(object, keyNow);
    // Neither as kept nor as repaired, but the record says a restore began writing it back
    // and never ended: what is there is that restore's half-done work, finished from the kept
    // state. Without the record the same mismatch stays a conflict.
    if (done.step == RestoreStep::Conflict && progress.underway(object)) {
        done.step = RestoreStep::PutBack;
        done.resumed = true;
    }
    if (done.step == RestoreStep::AlreadyBack && progress.underway(object))
        progress.done(object);  // a line not written costs nothing: it is found back again
    if (done.step != RestoreStep::PutBack)
        return done;
    if (Status s = progress.begin(object)) {
        done.error = s;
        return done;
    }
    if (task)
        done.error = PutBackTask(broker, changed.path, object.record.fileBefore);
    else
        done.error =
            file ? PutBackFile(broker, ports.content, changed.path, object.record.fileBefore)
                 : PutBackKeyTree(broker, ports.content, ports.access, changed.root, changed.path,
                                  object.record.keyBefore);
    // A failed put-back may have left a half tree too: it stays begun, to be finished.
    if (done.error == kErrorSuccess)
        progress.done(object);
    return done;
}

// A set's place in time: its stamp, then its number within that second ("-2", "-3", ...).
// Names alone sort wrong: "<stamp>-2.set" sorts before "<stamp>.set", and "-10" before "-2".
std::pair<std::string, unsigned long> SetOrder(const std::string& id) {
    const std::size_t dash = id.rfind('-');
    if (dash == std::string::npos || dash + 1 == id.size() ||
        id.find_first_not_of("0123456789", dash + 1) != std::string::npos)
        return {id, 1};
    return {id.substr(0, dash), std::stoul(id.substr(dash + 1))};
}

// The manifest's lines into the set: objects by their number; a torn line (the last one,
// when the run died writing it) or a result of an object that could not be read is counted
// and passed over.
void ParseManifest(const std::string& text, StoredSet* set) {
    std::vector<std::size_t> numbers;
    for (const std::string& line : SplitLines(text)) {
        std::string kind;
        std::size_t number = 0;
        std::string rest;
        if (!SplitLine(line, &kind, &number, &rest)) {
            ++set->unreadable;
            continue;
        }
        if (kind == kFinishedLine) {
            set->finished = rest;
            continue;
        }
        if (kind == kObjectLine) {
            StoredObject object;
            if (!ParseObjectRecord(rest, &object.record)) {
                ++set->unreadable;
                continue;
            }
            object.number = number;
            set->objects.push_back(std::move(object));
            numbers.push_back(number);
            continue;
        }
        const auto it = std::find(numbers.begin(), numbers.end(), number);
        ResultRecordOfObject result;
        if (kind != kResultLine || it == numbers.end()) {
            ++set->unreadable;
            continue;
        }
        StoredObject& object = set->objects[static_cast<std::size_t>(it - numbers.begin())];
        if (!ParseObjectResult(rest, object.record.object.kind, &result)) {
            ++set->unreadable;
            continue;
        }
        object.hasResult = true;
        object.result = std::move(result);
    }
}

// A kept file's bytes from the file the record names; nothing to read for a record that
// holds them itself (or a file that was not there).
Status ReadContent(StorePort& store, const std::string& id, const KeptContent& content,
                   std::string* bytes) {
    if (content.name.empty())
        return kErrorSuccess;
    if (Status s = store.readFile(SetFolder(id) + "\\" + content.name, bytes))
        return s;
    return bytes->size() == content.size ? kErrorSuccess : kErrorInvalidData;
}

}  // namespace

Status ListBackupSets(StorePort& store, std::vector<std::string>* ids, bool* trusted) {
    ids->clear();
    // A folder others made is moved aside unread; what it held is still named, so that its
    // sets are reported rather than gone without a word.
    std::vector<std::string> names;
    const Status seen = store.listFiles(kBackupsFolder, &names);
    if (Status s = store.secureFolder(kBackupsFolder, trusted))
        return s;
    if (seen != kErrorSuccess) {
        names.clear();
        if (*trusted && seen != kErrorFileNotFound && seen != kErrorPathNotFound)
            return seen;
    }
    for (const std::string& name : names) {
        if (!EndsWith(name, kSetSuffix))
            continue;
        // An id names a file and a folder in Backups, and nothing outside it.
        std::string id = name.substr(0, name.size() - std::string(kSetSuffix).size());
        if (IsContentName(id))
            ids->push_back(std::move(id));
    }
    std::sort(ids->begin(), ids->end(),
              [](const std::string& a, const std::string& b) { return SetOrder(a) < SetOrder(b); });
    return kErrorSuccess;
}

Status ReadBackupSet(StorePort& store, const std::string& id, StoredSet* set) {
    *set = StoredSet{};
    set->header.id = id;
    const auto damaged = [set](const std::string& part, Status status) {
        set->damage = part + ": " + StoreErrorWords(status);
        return status;
    };
    std::string text;
    if (Status s = store.readFile(std::string(kBackupsFolder) + "\\" + id + kSetSuffix, &text)) {
        set->foreignHeader = s == kErrorCantAccessFile;
        return damaged("header", s);
    }
    if (!ParseSetHeader(text, &set->header) || set->header.id != id) {
        set->header = SetHeader{};
        set->header.id = id;
        return damaged("header", kErrorInvalidData);
    }
    // The set's own folder is checked as its parent is: one others made is moved aside.
    bool trusted = false;
    if (Status s = store.secureFolder(SetFolder(id), &trusted))
        return damaged("set folder", s);
    if (!trusted)
        return damaged("set folder", kErrorCantAccessFile);
    const Status read = store.readFile(SetFolder(id) + "\\" + kManifestName, &text);
    if (read == kErrorFileNotFound || read == kErrorPathNotFound)
        return kErrorSuccess;  // cut short before its first object
    if (read != kErrorSuccess)
        return damaged("manifest", read);
    ParseManifest(text, set);
    text.clear();
    // The kept files' bytes, each from its own file.
    for (StoredObject& object : set->objects) {
        if (Status s = ReadContent(store, id, object.record.beforeContent,
                                   &object.record.fileBefore.bytes))
            return damaged("content " + object.record.beforeContent.name, s);
        if (Status s =
                ReadContent(store, id, object.result.afterContent, &object.result.fileAfter.bytes))
            return damaged("content " + object.result.afterContent.name, s);
    }
    // The restore record is checked as every store file is; one refused leaves every object
    // unmarked, so that it can make no conflict overwritable.
    const Status progress = store.readFile(ProgressPath(id), &text);
    if (progress == kErrorSuccess) {
        set->hasProgress = true;
        ParseProgress(text, set);
    } else if (progress != kErrorFileNotFound && progress != kErrorPathNotFound) {
        set->progressError = progress;
    }
    return kErrorSuccess;
}

bool StoredSet::restoreUnderway() const {
    for (const StoredObject& object : objects) {
        if (object.mark == RestoreMark::Begun)
            return true;
    }
    return false;
}

std::string StoreErrorWords(Status status) {
    switch (status) {
        case kErrorCantAccessFile:
            return "not made by this program";
        case kErrorFileNotFound:
        case kErrorPathNotFound:
            return "missing";
        case kErrorFileTooLarge:
            return "too large";
        case kErrorInvalidData:
            return "unreadable";
        case kErrorAccessDenied:
            return "access denied";
        default:
            return "error " + std::to_string(status);
    }
}

RestoreStep PlanRestore(const StoredObject& object, const FileState& now) {
    return Plan(object, object.record.fileBefore, object.result.fileAfter, now);
}

RestoreStep PlanRestore(const StoredObject& object, const KeyState& now) {
    return Plan(object, object.record.keyBefore, object.result.keyAfter, now);
}

RestorePlaces CurrentRestorePlaces(Ports& ports, WorkPlaces declared) {
    RestorePlaces places;
    places.places = std::move(declared);
    ports.access.tokenUserSid(&places.userSid);
    return places;
}

std::vector<ObjectRestore> RestoreSet(AccessBroker& broker, Ports& ports, const StoredSet& set,
                                      const RestorePlaces& places) {
    std::vector<ObjectRestore> done;
    RestoreProgress progress(ports.store, set);
    for (auto it = set.objects.rbegin(); it != set.objects.rend(); ++it) {
        // Older sets kept the class keys through HKEY_CLASSES_ROOT: a merged view of the
        // user's and the machine's, which cannot tell which hive a value came from. Written
        // back through it, the user's values would land in the machine's registration.
        if (it->record.object.kind == ChangedObject::Kind::Key &&
            it->record.object.root == kHKeyClassesRoot) {
            done.push_back(ObjectRestore{&*it, RestoreStep::Conflict, kErrorNotSupported});
            continue;
        }
        // A task is registered again only under a task folder the vectors declare, by a
        // name with no empty, "." or ".." part.
        const bool declared =
            it->record.object.kind == ChangedObject::Kind::Task
                ? IsTaskPlace(it->record.object.path, places.places)
                : IsWorkPlace(AsEntry(it->record.object, places.userSid), places.places);
        if (!declared) {
            done.push_back(ObjectRestore{&*it, RestoreStep::Conflict, kErrorAccessDenied});
            continue;
        }
        done.push_back(RestoreOne(broker, ports, *it, progress));
    }
    // Kept while an object is left begun; one that cannot be removed is harmless once
    // nothing in it is under way.
    progress.finish();
    return done;
}

}  // namespace brenvik
