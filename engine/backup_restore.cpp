#include "engine/backup_restore.h"

#include <cstdlib>

#include "engine/work_places.h"

namespace brenvik {
namespace {

std::string SetFolder(const std::string& id) {
    return std::string(kBackupsFolder) + "\\" + id;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// "0003.result.12" -> object 3, sequence 12; false for any other name.
bool ParseResultName(const std::string& name, std::size_t* object, long* sequence) {
    const std::size_t dot = name.find(kResultSuffix);
    if (dot == std::string::npos || dot == 0)
        return false;
    char* end = nullptr;
    *object = std::strtoul(name.c_str(), &end, 10);
    if (end != name.c_str() + dot)
        return false;
    const char* digits = name.c_str() + dot + std::string(kResultSuffix).size();
    *sequence = std::strtol(digits, &end, 10);
    return *digits != '\0' && *end == '\0' && *object > 0 && *sequence > 0;
}

bool Deletes(const std::string& action) {
    return action == "delete file" || action == "delete key tree" || action == "delete key";
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

JournalEntry AsEntry(const ChangedObject& object) {
    JournalEntry entry;
    if (object.kind == ChangedObject::Kind::File) {
        entry.object = object.path;
        return entry;
    }
    entry.type = SecurityObjectType::RegistryKey;
    entry.object = KeyObjectName(object.root, object.path);
    return entry;
}

ObjectRestore RestoreOne(AccessBroker& broker, ContentPort& content, const StoredObject& object) {
    ObjectRestore done{&object, RestoreStep::Conflict, kErrorSuccess};
    const ChangedObject& changed = object.record.object;
    if (changed.kind == ChangedObject::Kind::File) {
        FileState now;
        done.error = CaptureFile(broker, content, changed.path, &now);
        if (done.error != kErrorSuccess)
            return done;
        done.step = PlanRestore(object, now);
        if (done.step == RestoreStep::PutBack)
            done.error = PutBackFile(broker, content, changed.path, object.record.fileBefore);
        return done;
    }
    KeyState now;
    done.error = CaptureKeyTree(broker, content, changed.root, changed.path, &now);
    if (done.error != kErrorSuccess)
        return done;
    done.step = PlanRestore(object, now);
    if (done.step == RestoreStep::PutBack)
        done.error =
            PutBackKeyTree(broker, content, changed.root, changed.path, object.record.keyBefore);
    return done;
}

}  // namespace

Status ListBackupSets(StorePort& store, std::vector<std::string>* ids, bool* trusted) {
    ids->clear();
    if (Status s = store.secureFolder(kBackupsFolder, trusted))
        return s;
    std::vector<std::string> names;
    if (Status s = store.listFiles(kBackupsFolder, &names))
        return s;
    for (const std::string& name : names) {
        if (EndsWith(name, kSetSuffix) && name.size() > std::string(kSetSuffix).size())
            ids->push_back(name.substr(0, name.size() - std::string(kSetSuffix).size()));
    }
    return kErrorSuccess;
}

Status ReadBackupSet(StorePort& store, const std::string& id, StoredSet* set) {
    *set = StoredSet{};
    std::string text;
    if (Status s = store.readFile(std::string(kBackupsFolder) + "\\" + id + kSetSuffix, &text))
        return s;
    if (!ParseSetHeader(text, &set->header) || set->header.id != id)
        return kErrorInvalidData;
    std::vector<std::string> names;
    const Status listed = store.listFiles(SetFolder(id), &names);
    if (listed != kErrorSuccess)
        return listed == kErrorFileNotFound || listed == kErrorPathNotFound ? kErrorSuccess
                                                                            : listed;
    std::size_t lastNumber = 0;  // of the last object read, 0 when it was unreadable
    long sequence = 0;           // of the result taken for it
    for (const std::string& name : names) {
        const std::string path = SetFolder(id) + "\\" + name;
        if (name == kFinishedName) {
            store.readFile(path, &set->finished);
            continue;
        }
        // Names sort as "0001.object", "0001.result.1", ...: an object comes before its results.
        if (EndsWith(name, kObjectSuffix)) {
            StoredObject object;
            if (store.readFile(path, &text) != kErrorSuccess ||
                !ParseObjectRecord(text, &object.record)) {
                ++set->unreadable;
                lastNumber = 0;
                continue;
            }
            set->objects.push_back(std::move(object));
            lastNumber = std::strtoul(name.c_str(), nullptr, 10);
            sequence = 0;
            continue;
        }
        std::size_t number = 0;
        long next = 0;
        ResultRecordOfObject result;
        if (!ParseResultName(name, &number, &next)) {
            ++set->unreadable;
            continue;
        }
        // A result of an object that could not be read, or older than one already taken.
        if (number != lastNumber || lastNumber == 0 || next <= sequence)
            continue;
        StoredObject& object = set->objects.back();
        if (store.readFile(path, &text) != kErrorSuccess ||
            !ParseObjectResult(text, object.record.object.kind, &result)) {
            ++set->unreadable;
            continue;
        }
        object.hasResult = true;
        object.result = std::move(result);
        sequence = next;
    }
    return kErrorSuccess;
}

RestoreStep PlanRestore(const StoredObject& object, const FileState& now) {
    return Plan(object, object.record.fileBefore, object.result.fileAfter, now);
}

RestoreStep PlanRestore(const StoredObject& object, const KeyState& now) {
    return Plan(object, object.record.keyBefore, object.result.keyAfter, now);
}

std::vector<ObjectRestore> RestoreSet(AccessBroker& broker, ContentPort& content,
                                      const StoredSet& set) {
    Ports& ports = broker.ports();
    const std::vector<std::string> folders = ShortcutFolders(ports);
    const std::vector<std::string> walked = WalkedShortcutFolders(ports);
    std::vector<ObjectRestore> done;
    for (auto it = set.objects.rbegin(); it != set.objects.rend(); ++it) {
        if (!IsWorkPlace(AsEntry(it->record.object), folders, walked)) {
            done.push_back(ObjectRestore{&*it, RestoreStep::Conflict, kErrorAccessDenied});
            continue;
        }
        done.push_back(RestoreOne(broker, content, *it));
    }
    return done;
}

}  // namespace brenvik
