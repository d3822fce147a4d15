#include "engine/access_broker.h"

#include "engine/object_grant.h"

namespace brenvik {
namespace {

// KEY_SET_VALUE, KEY_CREATE_SUB_KEY, DELETE, WRITE_DAC, WRITE_OWNER: a key opened with any of
// these may be changed through its handle.
constexpr std::uint32_t kKeyChangingRights = 0x2 | 0x4 | 0x10000 | 0x40000 | 0x80000;

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

std::string KeyObjectName(AccessPort& access, RegKey root, const std::string& path) {
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

Status AccessBroker::openKeyNow(RegKey from, const std::string& path, RegKey root,
                                const std::string& fullPath, std::uint32_t access, ScopedKey* key) {
    Status s = m_ports.registry.openKey(from, path, access, key->put());
    if (s != kErrorAccessDenied)
        return s;
    if (privileges()) {
        s = m_ports.registry.openKeyForBackup(from, path, access, key->put());
        if (s != kErrorAccessDenied)
            return s;
    }
    KeyGrant grant(m_ports, m_journal, KeyObjectName(m_ports.access, root, fullPath));
    if (!grant.granted())
        return s;
    return m_ports.registry.openKey(from, path, access, key->put());
}

Status AccessBroker::createKeyNow(RegKey root, const std::string& path, std::uint32_t access,
                                  ScopedKey* key) {
    Status s = m_ports.registry.createKey(root, path, access, key->put());
    if (s != kErrorAccessDenied)
        return s;
    if (privileges()) {
        s = m_ports.registry.openKeyForBackup(root, path, access, key->put());
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
    Status s = m_ports.registry.deleteKey(root, path);
    if (s != kErrorAccessDenied)
        return s;
    if (privileges()) {
        s = m_ports.registry.deleteKeyForBackup(root, path);
        if (s != kErrorAccessDenied)
            return s;
    }
    KeyGrant grant(m_ports, m_journal, KeyObjectName(m_ports.access, root, path));
    if (!grant.granted())
        return s;
    s = m_ports.registry.deleteKey(root, path);
    if (s == kErrorSuccess)
        grant.objectGone();
    return s;
}

Status AccessBroker::readLinkArguments(const std::string& path, std::string* arguments) {
    Status s = m_ports.shortcuts.readLinkArguments(path, arguments);
    if (s != kErrorAccessDenied)
        return s;
    if (privileges()) {
        s = m_ports.shortcuts.readLinkArgumentsForBackup(path, arguments);
        if (s != kErrorAccessDenied)
            return s;
    }
    const bool held = privileges();
    FileGrant grant(m_ports, m_journal, path, held);
    if (!grant.granted())
        return s;
    return held ? m_ports.shortcuts.readLinkArgumentsForBackup(path, arguments)
                : m_ports.shortcuts.readLinkArguments(path, arguments);
}

Status AccessBroker::checkNotLinked(const std::string& path) {
    ScopedFile file(m_ports.fileSecurity);
    FileIdentity identity;
    const Status s = OpenUnlinkedFile(m_ports.fileSecurity, path, &file, &identity);
    if (s != kErrorAccessDenied || !privileges())
        return s;
    return OpenUnlinkedFile(m_ports.fileSecurity, path, &file, &identity);
}

Status AccessBroker::writeLinkArgumentsNow(const std::string& path, const std::string& arguments) {
    // A name that cannot even be opened to be checked is no link verdict: the calls below
    // are refused too, up to the grant, which checks again on its own handle.
    Status s = checkNotLinked(path);
    if (s != kErrorSuccess && s != kErrorAccessDenied)
        return s;
    s = m_ports.shortcuts.writeLinkArguments(path, arguments);
    if (s != kErrorAccessDenied)
        return s;
    if (privileges()) {
        s = m_ports.shortcuts.writeLinkArgumentsForBackup(path, arguments);
        if (s != kErrorAccessDenied)
            return s;
    }
    const bool held = privileges();
    FileGrant grant(m_ports, m_journal, path, held);
    if (!grant.granted())
        return s;
    return held ? m_ports.shortcuts.writeLinkArgumentsForBackup(path, arguments)
                : m_ports.shortcuts.writeLinkArguments(path, arguments);
}

Status AccessBroker::deleteFileNow(const std::string& path) {
    Status s = m_ports.files.deleteFile(path);
    if (s != kErrorAccessDenied)
        return s;
    if (privileges()) {
        s = m_ports.files.deleteFileForBackup(path);
        if (s != kErrorAccessDenied)
            return s;
    }
    const bool held = privileges();
    FileGrant grant(m_ports, m_journal, path, held);
    if (!grant.granted())
        return s;
    s = held ? m_ports.files.deleteFileForBackup(path) : m_ports.files.deleteFile(path);
    if (s == kErrorSuccess)
        grant.objectGone();
    return s;
}

template <typename Call>
Status AccessBroker::escalateFile(const std::string& path, Call call) {
    Status s = call(false);
    if (s != kErrorAccessDenied)
        return s;
    if (privileges()) {
        s = call(true);
        if (s != kErrorAccessDenied)
            return s;
    }
    const bool held = privileges();
    FileGrant grant(m_ports, m_journal, path, held);
    if (!grant.granted())
        return s;
    return call(held);
}

Status AccessBroker::readLinkDetails(const std::string& path, LinkDetails* details) {
    LinkDetailsPort& port = m_ports.linkDetails;
    return escalateFile(path, [&](bool backup) {
        return backup ? port.readLinkDetailsForBackup(path, details)
                      : port.readLinkDetails(path, details);
    });
}

Status AccessBroker::readFileText(const std::string& path, std::string* text) {
    LinkDetailsPort& port = m_ports.linkDetails;
    return escalateFile(path, [&](bool backup) {
        return backup ? port.readFileTextForBackup(path, text) : port.readFileText(path, text);
    });
}

Status AccessBroker::writeLinkTargetNow(const std::string& path, const std::string& target,
                                        const std::string& arguments) {
    if (Status s = checkNotLinked(path))
        return s;
    LinkDetailsPort& port = m_ports.linkDetails;
    return escalateFile(path, [&](bool backup) {
        return backup ? port.writeLinkTargetForBackup(path, target, arguments)
                      : port.writeLinkTarget(path, target, arguments);
    });
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
    return backedUp(object, "write values",
                    [&] { return openKeyNow(root, path, root, path, access, key); });
}

Status AccessBroker::openKeyBelow(RegKey parent, RegKey root, const std::string& parentPath,
                                  const std::string& subPath, ScopedKey* key) {
    return openKeyNow(parent, subPath, root, parentPath + "\\" + subPath, kKeyRead, key);
}

Status AccessBroker::createKey(RegKey root, const std::string& path, std::uint32_t access,
                               ScopedKey* key) {
    const ChangedObject object{ChangedObject::Kind::Key, root, path};
    return backedUp(object, "create key", [&] { return createKeyNow(root, path, access, key); });
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

Status AccessBroker::writeLinkArguments(const std::string& path, const std::string& arguments) {
    const ChangedObject file{ChangedObject::Kind::File, kNoKey, path};
    return backedUp(file, "clear arguments",
                    [&] { return writeLinkArgumentsNow(path, arguments); });
}

Status AccessBroker::deleteFile(const std::string& path) {
    const ChangedObject file{ChangedObject::Kind::File, kNoKey, path};
    return backedUp(file, "delete file", [&] { return deleteFileNow(path); });
}

Status AccessBroker::writeLinkTarget(const std::string& path, const std::string& target,
                                     const std::string& arguments) {
    const ChangedObject file{ChangedObject::Kind::File, kNoKey, path};
    return backedUp(file, "rewrite target",
                    [&] { return writeLinkTargetNow(path, target, arguments); });
}

Status AccessBroker::readFileBytes(ContentPort& content, const std::string& path,
                                   std::string* bytes) {
    return escalateFile(path, [&](bool backup) {
        return backup ? content.readFileBytesForBackup(path, bytes)
                      : content.readFileBytes(path, bytes);
    });
}

Status AccessBroker::writeFileBytes(ContentPort& content, const std::string& path,
                                    const std::string& bytes, bool replace) {
    return escalateFile(path, [&](bool backup) {
        return backup ? content.writeFileBytesForBackup(path, bytes, replace)
                      : content.writeFileBytes(path, bytes, replace);
    });
}

}  // namespace brenvik
