// The start-up recovery of the journal.
#include "engine/journal.h"
#include "engine/object_grant.h"
#include "engine/work_places.h"

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

// Puts back a file's entries, the latest first; true when none is left to try again.
bool RecoverFile(Ports& ports, const std::vector<JournalEntry>& entries,
                 const std::vector<std::string>& folders, RecoveryResult* result) {
    bool done = true;
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        // An object elsewhere is never written; nor is a name that has become a link since.
        if (!IsWorkPlace(*entry, folders)) {
            ++result->refused;
            continue;
        }
        const Status s = RestoreEntry(ports, *entry, folders);
        if (s == kErrorCantAccessFile) {
            ++result->refused;
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

RecoveryResult RecoverJournal(Ports& ports) {
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
    const std::vector<std::string> folders = ShortcutFolders(ports);
    for (const std::string& name : names) {
        const std::string path = std::string(kFolder) + "\\" + name;
        std::string text;
        // What others could have written is removed unread.
        if (!trusted || ports.store.readFile(path, &text) != kErrorSuccess) {
            ++result.refused;
            ports.store.removeFile(path);
            continue;
        }
        if (RecoverFile(ports, ParseJournal(text), folders, &result))
            ports.store.removeFile(path);
    }
    return result;
}

}  // namespace brenvik
