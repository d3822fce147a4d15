// The start-up recovery of the journal.
#include "engine/change/recovery.h"

#include "engine/change/journal.h"
#include "engine/change/object_grant.h"
#include "engine/change/work_places.h"

namespace brenvik {
namespace {

constexpr const char* kFolder = "Journal";

bool IsGone(Status status) {
    return status == kErrorFileNotFound || status == kErrorPathNotFound ||
           status == kErrorKeyDeleted;
}

Status RestoreEntry(Ports& ports, const JournalEntry& entry,
                    const std::vector<std::string>& folders) {
    if (entry.type == SecurityObjectType::RegistryKey)
        return ports.access.writeAccessList(entry.object, entry.type, entry.list);
    ScopedFile file(ports.fileSecurity);
    FileIdentity identity;
    if (Status s = OpenUnlinkedFile(ports.fileSecurity, folders, entry.object, &file, &identity))
        return s;
    return RestoreFile(ports.fileSecurity, file.get(), entry.list, entry.attributes);
}

// Puts back a file's entries, the latest first; true when every one is back or its object
// gone. A refused entry was never applied: the object may still be granted, so its file
// stays to be reported again rather than the grant forgotten.
bool RecoverFile(Ports& ports, const std::vector<JournalEntry>& entries, const WorkPlaces& places,
                 const std::vector<std::string>& folders, RecoveryResult* result) {
    bool done = true;
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        // An object elsewhere is never written; nor is a name that has become a link since.
        if (!IsWorkPlace(*entry, places)) {
            ++result->refused;
            done = false;
            continue;
        }
        const Status s = RestoreEntry(ports, *entry, folders);
        if (s == kErrorCantAccessFile) {
            ++result->refused;
            done = false;
        } else if (s == kErrorSuccess || IsGone(s)) {
            ++result->restored;
        } else {
            ++result->failed;
            done = false;
        }
    }
    return done;
}

}  // namespace

RecoveryResult RecoverJournal(Ports& ports, const std::function<WorkPlaces()>& findPlaces) {
    RecoveryResult result;
    // Nearly every start finds nothing to do: it costs one listing then, not the folder's
    // checks, which only matter for what is to be applied.
    std::vector<std::string> names;
    if (ports.store.listFiles(kFolder, &names) != kErrorSuccess || names.empty())
        return result;
    bool trusted = false;
    if (ports.store.secureFolder(kFolder, &trusted) != kErrorSuccess)
        return result;
    ports.access.enableBackupPrivileges();
    const WorkPlaces places = findPlaces();
    const std::vector<std::string> folders = places.fileFolders();
    for (const std::string& name : names) {
        const std::string path = std::string(kFolder) + "\\" + name;
        std::string text;
        // What others could have written, or the store refuses, is left unread and unapplied.
        if (!trusted || ports.store.readFile(path, &text) != kErrorSuccess) {
            ++result.refused;
            continue;
        }
        if (RecoverFile(ports, ParseJournal(text), places, folders, &result))
            ports.store.removeFile(path);
    }
    return result;
}

}  // namespace brenvik
