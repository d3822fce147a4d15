// The one door through which the scanners and repairs reach every key and file they read,
// rewrite or delete. Each call is tried as is; only when it is refused (ERROR_ACCESS_DENIED)
// is it tried again with the backup and restore privileges, and only when that is refused
// too under a journaled grant to the administrators that is put back as soon as the call is
// done (with the privileges held, only the attributes of a file are lifted).
// An object that refuses nothing has no access list, attribute or link count touched.
#pragma once

#include <string>

#include "engine/backup_sink.h"
#include "engine/journal.h"
#include "engine/ports/content_port.h"
#include "engine/ports/ports.h"
#include "engine/stop_signal.h"

namespace brenvik {

class AccessBroker {
public:
    // stop may be null: nothing then asks the command to stop.
    AccessBroker(Ports& ports, Journal& journal, const StopSignal* stop = nullptr)
        : m_ports(ports), m_journal(journal), m_stop(stop) {}

    Ports& ports() { return m_ports; }
    // Every later delete and rewrite is kept by the sink first (null: none is kept).
    void setBackupSink(BackupSink* sink) { m_backup = sink; }
    // A command checks this between objects and ends early when it is set.
    bool stopRequested() const { return m_stop != nullptr && m_stop->requested(); }

    // RegOpenKeyEx of root\path. A handle keeps the rights it was opened with, so a grant
    // lasts only for the open itself. A key opened for changing is kept by the backup sink.
    Status openKey(RegKey root, const std::string& path, std::uint32_t access, ScopedKey* key);
    // RegOpenKeyEx of subPath below parent, an open key that is parentPath under root, for
    // reading (KEY_READ); escalated as openKey, a grant naming the key by its whole path.
    Status openKeyBelow(RegKey parent, RegKey root, const std::string& parentPath,
                        const std::string& subPath, ScopedKey* key);
    // RegCreateKeyEx of root\path. A grant needed here goes on the nearest existing key and
    // is not inheritable, so that keys created under it never inherit it.
    Status createKey(RegKey root, const std::string& path, std::uint32_t access, ScopedKey* key);
    // RegDeleteKey of root\path, which must have no subkeys.
    Status deleteKey(RegKey root, const std::string& path);
    // Before a key tree's deletion starts at its leaves: the backup sink keeps it whole.
    Status keepKeyTree(RegKey root, const std::string& path);
    // A whole file's bytes, for a backup, reached the way its repair reaches it.
    Status readFileBytes(ContentPort& content, const std::string& path, std::string* bytes);
    // A whole file written back by a restore, escalated the same way. The caller checks that
    // the name is no link.
    Status writeFileBytes(ContentPort& content, const std::string& path, const std::string& bytes,
                          bool replace);

    Status readLinkArguments(const std::string& path, std::string* arguments);
    // Never through a link: rewriting a linked name would change a file elsewhere, which
    // its owner may not have let the user change (ERROR_CANT_ACCESS_FILE).
    Status writeLinkArguments(const std::string& path, const std::string& arguments);
    Status deleteFile(const std::string& path);

    // The browser rules' reads and their one rewrite, escalated the same way.
    Status readLinkDetails(const std::string& path, LinkDetails* details);
    Status readFileText(const std::string& path, std::string* text);
    // Never through a link, as writeLinkArguments.
    Status writeLinkTarget(const std::string& path, const std::string& target,
                           const std::string& arguments);

private:
    // change() after the backup sink, if any, has kept the object.
    template <typename Change>
    Status backedUp(const ChangedObject& object, const char* action, Change change);
    // path below from, which is the key fullPath under root names.
    Status openKeyNow(RegKey from, const std::string& path, RegKey root,
                      const std::string& fullPath, std::uint32_t access, ScopedKey* key);
    Status createKeyNow(RegKey root, const std::string& path, std::uint32_t access, ScopedKey* key);
    Status deleteKeyNow(RegKey root, const std::string& path);
    Status writeLinkArgumentsNow(const std::string& path, const std::string& arguments);
    Status deleteFileNow(const std::string& path);
    Status writeLinkTargetNow(const std::string& path, const std::string& target,
                              const std::string& arguments);

    // call(false) as is; on refusal call(true) with the privileges enabled; on refusal again
    // call(false) under a journaled grant of the file.
    template <typename Call>
    Status escalateFile(const std::string& path, Call call);
    // Enables the privileges on the first refusal; false when the process does not hold them.
    bool privileges();
    // 0 when the name is no link; its handle is opened with backup semantics when refused.
    Status checkNotLinked(const std::string& path);

    Ports& m_ports;
    Journal& m_journal;
    const StopSignal* m_stop;
    BackupSink* m_backup = nullptr;
    int m_privileges = -1;  // not yet tried, 0 not held, 1 enabled
};

// The access port's name of a key: "MACHINE\..." or, for HKEY_CURRENT_USER, "USERS\<sid>\..."
// with the SID of the account whose hive it is, so that the name means the same key to any
// account (a recovery run as SYSTEM included). Empty for HKEY_CLASSES_ROOT, a merged view
// that names no one key, and for a SID that is none.
std::string KeyObjectName(RegKey root, const std::string& path, const std::string& userSid);
// The same with the process's token user, whose hive HKEY_CURRENT_USER is.
std::string KeyObjectName(AccessPort& access, RegKey root, const std::string& path);

}  // namespace brenvik
