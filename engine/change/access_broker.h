// The one door through which the scanners and repairs reach every key and file they read,
// rewrite or delete. Each call is tried as is; only when it is refused (ERROR_ACCESS_DENIED)
// is it tried again with the backup and restore privileges, and only when that is refused
// too under a journaled grant to the administrators that is put back as soon as the call is
// done (with the privileges held, only the attributes of a file are lifted).
// An object that refuses nothing has no access list, attribute or link count touched.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/backup/backup_sink.h"
#include "engine/base/stop_signal.h"
#include "engine/change/changing_keys.h"
#include "engine/change/journal.h"
#include "engine/change/place_walk.h"
#include "engine/ports/port_reads.h"
#include "engine/ports/ports.h"

namespace brenvik {

class AccessBroker {
public:
    // stop may be null: nothing then asks the command to stop.
    AccessBroker(Ports& ports, Journal& journal, const StopSignal* stop = nullptr)
        : m_ports(ports),
          m_reads(ports),
          m_changing(ports.registry),
          m_journal(journal),
          m_stop(stop) {}

    // The machine read directly, with no way to change it: every change is a broker call.
    const PortReads& reads() const { return m_reads; }
    // Every later delete and rewrite is kept by the sink first (null: none is kept).
    void setBackupSink(BackupSink* sink) { m_backup = sink; }
    // A command checks this between objects and ends early when it is set.
    bool stopRequested() const { return m_stop != nullptr && m_stop->requested(); }

    // RegOpenKeyEx of root\path. A handle keeps the rights it was opened with, so a grant
    // lasts only for the open itself. A key opened for changing is kept by the backup sink,
    // and setValue then takes it until it is closed; it closes through the broker, which must
    // outlive it.
    Status openKey(RegKey root, const std::string& path, std::uint32_t access, ScopedKey* key);
    // RegOpenKeyEx of subPath below parent, an open key that is parentPath under root, for
    // reading (KEY_READ); escalated as openKey, a grant naming the key by its whole path.
    Status openKeyBelow(RegKey parent, RegKey root, const std::string& parentPath,
                        const std::string& subPath, ScopedKey* key);
    // RegCreateKeyEx of root\path. A grant needed here goes on the nearest existing key and
    // is not inheritable, so that keys created under it never inherit it.
    Status createKey(RegKey root, const std::string& path, std::uint32_t access, ScopedKey* key);
    // RegSetValueEx on a key this broker opened for changing or created (kept then); any
    // other key is refused (ERROR_ACCESS_DENIED) and left as it is.
    Status setValue(RegKey key, const std::string& name, std::uint32_t type,
                    const std::uint8_t* data, std::uint32_t size);
    // RegDeleteKey of root\path, which must have no subkeys.
    Status deleteKey(RegKey root, const std::string& path);
    // RegDeleteValue of name in root\path, opened for KEY_WRITE and escalated as openKey,
    // the key kept by the backup sink first. A value that is not there is no failure.
    Status deleteValue(RegKey root, const std::string& path, const std::string& name);
    // The text of the existing value name in root\path replaced, its type (REG_SZ or
    // REG_EXPAND_SZ) kept; opened and kept as deleteValue.
    // ERROR_INVALID_DATATYPE for a value of another type, which is left as it is.
    Status rewriteText(RegKey root, const std::string& path, const std::string& name,
                       const std::string& text);
    // Before a key tree's deletion starts at its leaves: the backup sink keeps it whole.
    Status keepKeyTree(RegKey root, const std::string& path);
    // The place folders every file change and capture walks from (OpenPlacedFile), found by
    // find at the first need; a path below none of them is refused (kErrorNotBelowPlace), and
    // every path is while none is set.
    void findFilePlacesWith(std::function<std::vector<std::string>()> find);
    const std::vector<std::string>& filePlaces();

    // A file as it is now, for a backup: its bytes, attributes and list read through one
    // handle walked to from its place, escalated as its change is. The handle of the change
    // under way is used when the backup sink asks for the object being changed.
    Status captureFile(const std::string& path, std::string* bytes, std::uint32_t* attributes,
                       AccessList* list);
    // A file written back whole by a restore: a new file in the checked folder holds the
    // bytes and list, flushed, then replaces the name in one rename, so that an interrupted
    // restore leaves the old bytes or the new ones. A name that is a link or folder now is
    // not replaced (ERROR_CANT_ACCESS_FILE, ERROR_ACCESS_DENIED).
    Status putBackFile(const std::string& path, const std::string& bytes, const AccessList& list,
                       std::uint32_t attributes);

    // The shortcut's fields its mask asks for (ShortcutReader::readShortcut), escalated.
    Status readShortcut(const std::string& path, ShortcutProperties* properties);
    // The bytes of an Internet shortcut (FilePort::readFileText), escalated.
    Status readFileText(const std::string& path, std::string* text);
    // Changes go through one handle walked to from the place: never through a link or a
    // junction, which would change a file elsewhere, which its owner may not have let the
    // user change (ERROR_CANT_ACCESS_FILE). The backup set records "rewrite target" when the
    // target is set, else "clear arguments".
    Status writeShortcut(const std::string& path, const ShortcutProperties& properties);
    Status deleteFile(const std::string& path);

    // The task of that full name deleted, kept whole (its XML) by the backup sink first, and
    // only while its XML is still expectedXml, the definition that was judged: a task
    // rewritten since is left (kErrorTaskChanged). The scheduler checks its own rights; there
    // is no list to lift.
    Status deleteTask(const std::string& name, const std::string& expectedXml);
    // A task registered from its XML (TASK_CREATE), for a restore.
    Status registerTask(const std::string& name, const std::string& xml);

private:
    // change() after the backup sink, if any, has kept the object.
    template <typename Change>
    Status backedUp(const ChangedObject& object, const char* action, Change change);
    // path below from, which is the key fullPath under root names.
    Status openKeyNow(RegKey from, const std::string& path, RegKey root,
                      const std::string& fullPath, std::uint32_t access, ScopedKey* key);
    Status createKeyNow(RegKey root, const std::string& path, std::uint32_t access, ScopedKey* key);
    Status deleteKeyNow(RegKey root, const std::string& path);
    // change(handle) on path's file opened with access besides kFileCaptureRights, as is or
    // with backup intent, the backup sink keeping it through the same handle first; when both
    // opens (or the change) are refused, kept first and changed under a journaled grant.
    // deletes tells that a change that succeeds removes the file.
    template <typename Change>
    Status changeFile(const std::string& path, const char* action, std::uint32_t access,
                      bool deletes, Change change);
    // OpenPlacedFile as is; when refused, with backup intent once the privileges are enabled.
    Status openEscalated(const std::string& path, std::uint32_t access, PlacedFile* placed);

    // The rungs below a grant: call(AsIs); on refusal call(BackupIntent) with the privileges
    // enabled. kErrorAccessDenied when both refuse.
    template <typename Call>
    Status escalateUngranted(Call call);
    // call(AsIs); on refusal call(BackupIntent) with the privileges enabled; on refusal again
    // under a journaled grant of the file, call(BackupIntent) when the privileges are held (the
    // grant then only lifts attributes), else call(AsIs).
    template <typename Call>
    Status escalateFile(const std::string& path, Call call);
    // The same ladder for the key path under root names, the grant on that key; deletes tells
    // that a call that succeeds removes the key (its list is then not put back).
    template <typename Call>
    Status escalateKey(RegKey root, const std::string& path, bool deletes, Call call);
    // Enables the privileges on the first refusal; false when the process does not hold them.
    bool privileges();

    Ports& m_ports;
    PortReads m_reads;
    ChangingKeys m_changing;
    Journal& m_journal;
    const StopSignal* m_stop;
    BackupSink* m_backup = nullptr;
    int m_privileges = -1;  // not yet tried, 0 not held, 1 enabled
    std::function<std::vector<std::string>()> m_findPlaces;
    bool m_placesKnown = false;
    std::vector<std::string> m_places;
    // The file a change holds open while the backup sink keeps it.
    struct HeldFile {
        const std::string* path;
        FileHandle file;
        FileIdentity identity;
    };
    const HeldFile* m_held = nullptr;
};

// broker.setValue of a REG_DWORD (little-endian) on a key it opened for changing.
Status SetDword(AccessBroker& broker, RegKey key, const std::string& name, std::uint32_t value);

// The access port's name of a key: "MACHINE\..." or, for HKEY_CURRENT_USER, "USERS\<sid>\..."
// with the SID of the account whose hive it is, so that the name means the same key to any
// account (a recovery run as SYSTEM included). Empty for HKEY_CLASSES_ROOT, a merged view
// that names no one key, and for a SID that is none.
std::string KeyObjectName(RegKey root, const std::string& path, const std::string& userSid);
// The same with the process's token user, whose hive HKEY_CURRENT_USER is.
std::string KeyObjectName(AccessReader& access, RegKey root, const std::string& path);

}  // namespace brenvik
