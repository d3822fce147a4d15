#include "engine/change/access_broker.h"

#include "engine/change/object_grant.h"
#include "engine/change/work_places.h"

namespace brenvik {
namespace {

// KEY_SET_VALUE, KEY_CREATE_SUB_KEY, DELETE, WRITE_DAC, WRITE_OWNER: a key opened with any of
// these may be changed through its handle.
constexpr std::uint32_t kKeyChangingRights = 0x2 | 0x4 | 0x10000 | 0x40000 | 0x80000;

// The mode a call under a grant is made in: with the privileges held, backup intent (the
// grant then only lifts attributes).
OpenMode HeldMode(bool held) {
    return held ? OpenMode::BackupIntent : OpenMode::AsIs;
}

std::string ParentPath(const std::string& path) {
    const std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

std::string KeyObjectName(RegKey root, const std::string& path, const std::string& userSid) {
    switch (root) {
        case kHKeyLocalMachine:
            return "MACHINE\\" + path;
        case kHKeyCurrentUser:
            // "S-1-..." and nothing that could step into another key.
            if (userSid.compare(0, 4, "S-1-") != 0 || userSid.find('\\') != std::string::npos)
                return std::string();
            return "USERS\\" + userSid + "\\" + path;
        default:
            return std::string();
    }
}

std::string KeyObjectName(AccessReader& access, RegKey root, const std::string& path) {
    std::string sid;
    if (root == kHKeyCurrentUser && access.tokenUserSid(&sid) != kErrorSuccess)
        return std::string();
    return KeyObjectName(root, path, sid);
}

bool AccessBroker::privileges() {
    if (m_privileges < 0)
        m_privileges = m_ports.access.enableBackupPrivileges() == kErrorSuccess ? 1 : 0;
    return m_privileges == 1;
}

template <typename Call>
Status AccessBroker::escalateUngranted(Call call) {
    const Status s = call(OpenMode::AsIs);
    if (s != kErrorAccessDenied || !privileges())
        return s;
    return call(OpenMode::BackupIntent);
}

template <typename Call>
Status AccessBroker::escalateKey(RegKey root, const std::string& path, bool deletes, Call call) {
    Status s = escalateUngranted(call);
    if (s != kErrorAccessDenied)
        return s;
    KeyGrant grant(m_ports, m_journal, KeyObjectName(m_ports.access, root, path));
    if (!grant.granted())
        return s;
    s = call(OpenMode::AsIs);
    if (deletes && s == kErrorSuccess)
        grant.objectGone();
    return s;
}

Status AccessBroker::openKeyNow(RegKey from, const std::string& path, RegKey root,
                                const std::string& fullPath, std::uint32_t access, ScopedKey* key) {
    RegistryPort& registry = m_ports.registry;
    return escalateKey(root, fullPath, false, [&](OpenMode mode) {
        return registry.openKey(from, path, access, key->put(), mode);
    });
}

Status AccessBroker::createKeyNow(RegKey root, const std::string& path, std::uint32_t access,
                                  ScopedKey* key) {
    Status s = m_ports.registry.createKey(root, path, access, key->put());
    if (s != kErrorAccessDenied)
        return s;
    if (privileges()) {
        s = m_ports.registry.openKey(root, path, access, key->put(), OpenMode::BackupIntent);
        if (s != kErrorAccessDenied && s != kErrorFileNotFound)
            return s;
    }
    // The key itself when it exists, else the nearest existing one above it.
    std::string granted = path;
    ScopedKey probe(m_ports.registry);
    while (!granted.empty() &&
           m_ports.registry.openKey(root, granted, 0, probe.put()) == kErrorFileNotFound)
        granted = ParentPath(granted);
    probe.reset();
    if (granted.empty())
        return s;
    KeyGrant grant(m_ports, m_journal, KeyObjectName(m_ports.access, root, granted));
    if (!grant.granted())
        return s;
    return m_ports.registry.createKey(root, path, access, key->put());
}

Status AccessBroker::deleteKeyNow(RegKey root, const std::string& path) {
    RegistryPort& registry = m_ports.registry;
    return escalateKey(root, path, true,
                       [&](OpenMode mode) { return registry.deleteKey(root, path, mode); });
}

template <typename Call>
Status AccessBroker::escalateFile(const std::string& path, Call call) {
    const Status s = escalateUngranted(call);
    if (s != kErrorAccessDenied)
        return s;
    const bool held = privileges();
    FileGrant grant(m_ports, m_journal, filePlaces(), path, held);
    if (!grant.granted())
        return s;
    return call(HeldMode(held));
}

Status AccessBroker::deleteTask(const std::string& name, const std::string& expectedXml) {
    const ChangedObject task{ChangedObject::Kind::Task, kNoKey, name};
    return backedUp(task, "delete task",
                    [&] { return m_ports.tasks.deleteTask(name, expectedXml); });
}

Status AccessBroker::registerTask(const std::string& name, const std::string& xml) {
    const ChangedObject task{ChangedObject::Kind::Task, kNoKey, name};
    return backedUp(task, "register task", [&] { return m_ports.tasks.registerTask(name, xml); });
}

Status AccessBroker::readShortcut(const std::string& path, ShortcutProperties* properties) {
    return escalateFile(path, [&](OpenMode mode) {
        return m_ports.shortcuts.readShortcut(path, mode, properties);
    });
}

Status AccessBroker::readFileText(const std::string& path, std::string* text) {
    return escalateFile(
        path, [&](OpenMode mode) { return m_ports.files.readFileText(path, text, mode); });
}

template <typename Change>
Status AccessBroker::backedUp(const ChangedObject& object, const char* action, Change change) {
    if (m_backup == nullptr)
        return change();
    if (Status s = m_backup->beforeChange(*this, object, action))
        return s;
    const Status s = change();
    m_backup->afterChange(*this, object, s);
    return s;
}

Status AccessBroker::openKey(RegKey root, const std::string& path, std::uint32_t access,
                             ScopedKey* key) {
    if (!(access & kKeyChangingRights))
        return openKeyNow(root, path, root, path, access, key);
    const ChangedObject object{ChangedObject::Kind::Key, root, path};
    *key = ScopedKey(m_changing);
    const Status s = backedUp(object, "write values",
                              [&] { return openKeyNow(root, path, root, path, access, key); });
    if (s == kErrorSuccess)
        m_changing.add(key->get());
    return s;
}

Status AccessBroker::openKeyBelow(RegKey parent, RegKey root, const std::string& parentPath,
                                  const std::string& subPath, ScopedKey* key) {
    return openKeyNow(parent, subPath, root, parentPath + "\\" + subPath, kKeyRead, key);
}

Status AccessBroker::createKey(RegKey root, const std::string& path, std::uint32_t access,
                               ScopedKey* key) {
    const ChangedObject object{ChangedObject::Kind::Key, root, path};
    *key = ScopedKey(m_changing);
    const Status s =
        backedUp(object, "create key", [&] { return createKeyNow(root, path, access, key); });
    if (s == kErrorSuccess)
        m_changing.add(key->get());
    return s;
}

Status AccessBroker::setValue(RegKey key, const std::string& name, std::uint32_t type,
                              const std::uint8_t* data, std::uint32_t size) {
    if (!m_changing.holds(key))
        return kErrorAccessDenied;
    return m_ports.registry.setValue(key, name, type, data, size);
}

Status AccessBroker::deleteValue(RegKey root, const std::string& path, const std::string& name) {
    const ChangedObject key{ChangedObject::Kind::Key, root, path};
    return backedUp(key, "delete value", [&] {
        ScopedKey open(m_ports.registry);
        if (Status s = openKeyNow(root, path, root, path, kKeyWrite, &open))
            return s;
        const Status s = m_ports.registry.deleteValue(open.get(), name);
        // Gone already is what the delete is for: a key two registry views share (Image File
        // Execution Options under WOW6432Node) lists the value in both, and the first delete
        // takes it from both.
        return s == kErrorFileNotFound ? kErrorSuccess : s;
    });
}

Status AccessBroker::rewriteText(RegKey root, const std::string& path, const std::string& name,
                                 const std::string& text) {
    const ChangedObject key{ChangedObject::Kind::Key, root, path};
    return backedUp(key, "rewrite value", [&] {
        ScopedKey open(m_ports.registry);
        if (Status s = openKeyNow(root, path, root, path, kKeyReadWrite, &open))
            return s;
        std::uint32_t type = kRegNone;
        std::uint32_t size = 0;
        if (Status s = m_ports.registry.queryValue(open.get(), name, &type, nullptr, &size))
            return s;
        if (type != kRegSz && type != kRegExpandSz)
            return kErrorInvalidDatatype;
        return m_ports.registry.setText(open.get(), name, type, text);
    });
}

Status AccessBroker::keepKeyTree(RegKey root, const std::string& path) {
    if (m_backup == nullptr)
        return kErrorSuccess;
    return m_backup->beforeChange(*this, ChangedObject{ChangedObject::Kind::Key, root, path},
                                  "delete key tree");
}

Status AccessBroker::deleteKey(RegKey root, const std::string& path) {
    const ChangedObject key{ChangedObject::Kind::Key, root, path};
    return backedUp(key, "delete key", [&] { return deleteKeyNow(root, path); });
}

void AccessBroker::findFilePlacesWith(std::function<std::vector<std::string>()> find) {
    m_findPlaces = std::move(find);
    m_placesKnown = false;
}

const std::vector<std::string>& AccessBroker::filePlaces() {
    if (!m_placesKnown && m_findPlaces) {
        m_places = m_findPlaces();
        m_placesKnown = true;
    }
    return m_places;
}

Status AccessBroker::openEscalated(const std::string& path, std::uint32_t access,
                                   PlacedFile* placed) {
    FileSecurityPort& port = m_ports.fileSecurity;
    const Status s = OpenPlacedFile(port, filePlaces(), path, access, OpenMode::AsIs, placed);
    if (s != kErrorAccessDenied || !privileges())
        return s;
    return OpenPlacedFile(port, filePlaces(), path, access, OpenMode::BackupIntent, placed);
}

template <typename Change>
Status AccessBroker::changeFile(const std::string& path, const char* action, std::uint32_t access,
                                bool deletes, Change change) {
    const ChangedObject object{ChangedObject::Kind::File, kNoKey, path};
    FileSecurityPort& port = m_ports.fileSecurity;
    Status s;
    {
        PlacedFile placed(port);
        s = openEscalated(path, access | kFileCaptureRights, &placed);
        if (s != kErrorSuccess && s != kErrorAccessDenied)
            return s;
        if (s == kErrorSuccess) {
            const HeldFile held{&path, placed.file.get(), placed.identity};
            m_held = &held;
            const Status kept =
                m_backup != nullptr ? m_backup->beforeChange(*this, object, action) : kErrorSuccess;
            m_held = nullptr;
            if (kept != kErrorSuccess)
                return kept;
            s = change(placed.file.get());
            if (s != kErrorAccessDenied) {
                // Closed first: a deleted file is gone only once its last handle is.
                placed.file.reset();
                placed.folder.reset();
                if (m_backup != nullptr)
                    m_backup->afterChange(*this, object, s);
                return s;
            }
        }
    }
    // Refused even with the privileges (or the read-only attribute refuses the change): kept
    // through its own handle, then changed under a grant that clears the attributes. A link
    // is neither kept nor granted.
    {
        ScopedFile probe(port);
        FileIdentity identity;
        const Status checked = OpenUnlinkedFile(port, filePlaces(), path, &probe, &identity);
        if (checked == kErrorCantAccessFile)
            return checked;
    }
    return backedUp(object, action, [&] {
        const bool held = privileges();
        FileGrant grant(m_ports, m_journal, filePlaces(), path, held);
        if (!grant.granted())
            return s;
        PlacedFile placed(port);
        Status changed = OpenPlacedFile(port, filePlaces(), path, access, HeldMode(held), &placed);
        if (changed == kErrorSuccess)
            changed = change(placed.file.get());
        placed.file.reset();
        if (changed == kErrorSuccess && deletes)
            grant.objectGone();
        return changed;
    });
}

Status AccessBroker::writeShortcut(const std::string& path, const ShortcutProperties& properties) {
    const char* action = (properties.mask & kShortcutTarget) ? "rewrite target" : "clear arguments";
    return changeFile(
        path, action, kFileRightReadData | kFileRightWriteData, false,
        [&](FileHandle file) { return m_ports.shortcuts.rewriteShortcut(file, properties); });
}

Status AccessBroker::deleteFile(const std::string& path) {
    return changeFile(path, "delete file", kFileRightDelete, true,
                      [&](FileHandle file) { return m_ports.fileSecurity.deleteOpenFile(file); });
}

namespace {

Status ReadThrough(FileSecurityPort& port, FileHandle file, const FileIdentity& identity,
                   std::string* bytes, std::uint32_t* attributes, AccessList* list) {
    if (Status s = port.readFileAccessList(file, list))
        return s;
    *attributes = identity.attributes;
    return port.readFileData(file, kMaxContentBytes, bytes);
}

}  // namespace

Status AccessBroker::captureFile(const std::string& path, std::string* bytes,
                                 std::uint32_t* attributes, AccessList* list) {
    FileSecurityPort& port = m_ports.fileSecurity;
    if (m_held != nullptr && *m_held->path == path)
        return ReadThrough(port, m_held->file, m_held->identity, bytes, attributes, list);
    PlacedFile placed(port);
    const Status s = openEscalated(path, kFileCaptureRights, &placed);
    if (s == kErrorSuccess)
        return ReadThrough(port, placed.file.get(), placed.identity, bytes, attributes, list);
    if (s != kErrorAccessDenied)
        return s;
    // The list and attributes as they are before a grant changes them; the bytes under it.
    ScopedFile file(port);
    FileIdentity identity;
    if (Status opened = OpenUnlinkedFile(port, filePlaces(), path, &file, &identity))
        return opened;
    if (Status read = port.readFileAccessList(file.get(), list))
        return read;
    *attributes = identity.attributes;
    file.reset();
    const bool held = privileges();
    FileGrant grant(m_ports, m_journal, filePlaces(), path, held);
    if (!grant.granted())
        return s;
    PlacedFile granted(port);
    if (Status opened =
            OpenPlacedFile(port, filePlaces(), path, kFileRightReadData, HeldMode(held), &granted))
        return opened;
    return port.readFileData(granted.file.get(), kMaxContentBytes, bytes);
}

namespace {

// Beside the name it replaces, and no shortcut to the scanners.
constexpr const char* kRestoreSuffix = ".brenvik-restore";
constexpr std::uint32_t kNewFileRights = kFileRightWriteData | kFileRightReadAttributes |
                                         kFileRightWriteAttributes | kFileRightDelete |
                                         kFileRightReadControl | kFileRightWriteDac;

// Opens a name in the verified folder without following it and gives its identity; a link
// (a reparse point, a second name) is refused before anything is done through the handle.
Status OpenBesideName(FileSecurityPort& port, FileHandle folder, const std::string& name,
                      std::uint32_t rights, OpenMode mode, ScopedFile* file,
                      FileIdentity* identity) {
    if (Status s = port.openBelow(folder, name, rights, mode, file->put()))
        return s;
    if (Status q = port.queryFileIdentity(file->get(), identity))
        return q;
    return CheckUnlinked(*identity);
}

// The plain file with one name at name in folder, opened with rights (and the attribute
// rights) and its read-only attribute cleared, cleared saying how that went; none there
// leaves file empty, a folder there is folderError.
Status OpenClearedBeside(FileSecurityPort& port, FileHandle folder, const std::string& name,
                         std::uint32_t rights, Status folderError, OpenMode mode, ScopedFile* file,
                         Status* cleared) {
    FileIdentity identity;
    const Status s = OpenBesideName(port, folder, name,
                                    rights | kFileRightReadAttributes | kFileRightWriteAttributes,
                                    mode, file, &identity);
    if (s == kErrorFileNotFound) {
        file->reset();
        return kErrorSuccess;
    }
    if (s != kErrorSuccess)
        return s;
    if (identity.attributes & kFileAttributeDirectory)
        return folderError;
    *cleared = (identity.attributes & kFileAttributeReadOnly)
                   ? port.setFileAttributes(file->get(), kFileAttributeNormal)
                   : kErrorSuccess;
    return kErrorSuccess;
}

// The name in folder made ready to be replaced: absent, or a plain file that is not
// read-only.
Status ClearTarget(FileSecurityPort& port, FileHandle folder, const std::string& name,
                   OpenMode mode) {
    ScopedFile target(port);
    Status cleared = kErrorSuccess;
    if (Status s =
            OpenClearedBeside(port, folder, name, 0, kErrorAccessDenied, mode, &target, &cleared))
        return s;
    return cleared;
}

// A file an interrupted restore left beside the name is removed through its own handle, and
// only a plain file with one name: the read-only attribute cleared on a second name of
// another file would be cleared on that file.
Status DropLeftover(FileSecurityPort& port, FileHandle folder, const std::string& name,
                    OpenMode mode) {
    ScopedFile leftover(port);
    Status cleared = kErrorSuccess;  // a read-only file that stays so refuses its deletion
    if (Status s = OpenClearedBeside(port, folder, name, kFileRightDelete, kErrorFileExists, mode,
                                     &leftover, &cleared))
        return s;
    return leftover ? port.deleteOpenFile(leftover.get()) : kErrorSuccess;
}

Status WriteNew(FileSecurityPort& port, const PlacedFile& parent, const std::string& bytes,
                const AccessList& list, std::uint32_t attributes, OpenMode mode) {
    const std::string temp = parent.name + kRestoreSuffix;
    if (Status s = ClearTarget(port, parent.folder.get(), parent.name, mode))
        return s;
    if (Status s = DropLeftover(port, parent.folder.get(), temp, mode))
        return s;
    ScopedFile file(port);
    if (Status s = port.createBelow(parent.folder.get(), temp, kNewFileRights, mode, file.put()))
        return s;
    // The list goes on before the rename, so that the name never shows the bytes under the
    // folder's inherited list alone.
    Status s = port.writeFileData(file.get(), bytes);
    if (s == kErrorSuccess)
        s = port.writeFileAccessList(file.get(), list);
    if (s == kErrorSuccess)
        s = port.renameOpenFile(file.get(), parent.folder.get(), parent.name);
    if (s != kErrorSuccess) {
        port.deleteOpenFile(file.get());
        return s;
    }
    return RestoreFile(port, file.get(), list, attributes);
}

}  // namespace

Status AccessBroker::putBackFile(const std::string& path, const std::string& bytes,
                                 const AccessList& list, std::uint32_t attributes) {
    FileSecurityPort& port = m_ports.fileSecurity;
    Status s = kErrorAccessDenied;
    for (const OpenMode mode : {OpenMode::AsIs, OpenMode::BackupIntent}) {
        if (mode == OpenMode::BackupIntent && !privileges())
            break;
        PlacedFile parent(port);
        s = OpenPlacedFolder(port, filePlaces(), path, mode, &parent);
        if (s == kErrorSuccess)
            s = WriteNew(port, parent, bytes, list, attributes, mode);
        if (s != kErrorAccessDenied)
            return s;
    }
    return s;
}

Status SetDword(AccessBroker& broker, RegKey key, const std::string& name, std::uint32_t value) {
    const std::uint8_t data[4] = {
        static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
        static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    return broker.setValue(key, name, kRegDword, data, sizeof data);
}

}  // namespace brenvik
