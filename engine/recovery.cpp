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

Status RestoreEntry(Ports& ports, const JournalEntry& entry) {
    if (entry.type == SecurityObjectType::RegistryKey)
        return ports.access.writeAccessList(entry.object, entry.type, entry.list);
    ScopedFile file(ports.fileSecurity);
    FileIdentity identity;
    if (Status s = OpenUnlinkedFile(ports.fileSecurity, entry.object, &file, &identity))
        return s;
    return RestoreFile(ports.fileSecurity, file.get(), entry.list, entry.attributes);
}

}  // namespace

RecoveryResult RecoverJournal(Ports& ports) {
    RecoveryResult result;
    bool trusted = false;
    if (ports.store.secureFolder(kFolder, &trusted) != kErrorSuccess)
        return result;
    std::vector<std::string> names;
    if (ports.store.listFiles(kFolder, &names) != kErrorSuccess)
        return result;
    if (!names.empty())
        ports.access.enableBackupPrivileges();
    const std::vector<std::string> folders = ShortcutFolders(ports);
    const std::vector<std::string> walkedFolders = WalkedShortcutFolders(ports);
    for (const std::string& name : names) {
        const std::string path = std::string(kFolder) + "\\" + name;
        std::string text;
        JournalEntry entry;
        // What others could have written, what is torn (no change followed it) and what
        // names an object elsewhere is removed unread or unapplied.
        if (!trusted || ports.store.readFile(path, &text) != kErrorSuccess ||
            !ParseJournalEntry(text, &entry) || !IsWorkPlace(entry, folders, walkedFolders)) {
            ++result.refused;
            ports.store.removeFile(path);
            continue;
        }
        const Status s = RestoreEntry(ports, entry);
        // A name that became a link since is not written through: the entry goes.
        if (s == kErrorCantAccessFile) {
            ++result.refused;
            ports.store.removeFile(path);
            continue;
        }
        if (s != kErrorSuccess && !IsGone(s)) {
            ++result.failed;
            continue;
        }
        ++result.restored;
        ports.store.removeFile(path);
    }
    return result;
}

}  // namespace brenvik
