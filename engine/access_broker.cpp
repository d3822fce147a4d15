#include "engine/access_broker.h"

#include "engine/object_grant.h"

namespace brenvik {
namespace {

constexpr std::uint8_t kInheritToAll = kObjectInheritAce | kContainerInheritAce;

std::string ParentPath(const std::string& path) {
    const std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

std::string KeyObjectName(RegKey root, const std::string& path) {
    switch (root) {
        case kHKeyLocalMachine:
            return "MACHINE\\" + path;
        case kHKeyCurrentUser:
            return "CURRENT_USER\\" + path;
        case kHKeyClassesRoot:
            return "CLASSES_ROOT\\" + path;
        default:
            return std::string();
    }
}

bool AccessBroker::privileges() {
    if (m_privileges < 0)
        m_privileges = m_ports.access.enableBackupPrivileges() == kErrorSuccess ? 1 : 0;
    return m_privileges == 1;
}

Status AccessBroker::openKey(RegKey root, const std::string& path, std::uint32_t access,
                             ScopedKey* key) {
    Status s = m_ports.registry.openKey(root, path, access, key->put());
    if (s != kErrorAccessDenied)
        return s;
    if (privileges()) {
        s = m_ports.registry.openKeyForBackup(root, path, access, key->put());
        if (s != kErrorAccessDenied)
            return s;
    }
    KeyGrant grant(m_ports, m_journal, KeyObjectName(root, path), kInheritToAll);
    if (!grant.granted())
        return s;
    return m_ports.registry.openKey(root, path, access, key->put());
}

Status AccessBroker::createKey(RegKey root, const std::string& path, std::uint32_t access,
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
    KeyGrant grant(m_ports, m_journal, KeyObjectName(root, granted), 0);
    if (!grant.granted())
        return s;
    return m_ports.registry.createKey(root, path, access, key->put());
}

Status AccessBroker::deleteKey(RegKey root, const std::string& path) {
    Status s = m_ports.registry.deleteKey(root, path);
    if (s != kErrorAccessDenied)
        return s;
    if (privileges()) {
        s = m_ports.registry.deleteKeyForBackup(root, path);
        if (s != kErrorAccessDenied)
            return s;
    }
    KeyGrant grant(m_ports, m_journal, KeyObjectName(root, path), kInheritToAll);
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
    FileGrant grant(m_ports, m_journal, path);
    if (!grant.granted())
        return s;
    return m_ports.shortcuts.readLinkArguments(path, arguments);
}

Status AccessBroker::checkNotLinked(const std::string& path) {
    ScopedFile file(m_ports.fileSecurity);
    FileIdentity identity;
    const Status s = OpenUnlinkedFile(m_ports.fileSecurity, path, &file, &identity);
    if (s != kErrorAccessDenied || !privileges())
        return s;
    return OpenUnlinkedFile(m_ports.fileSecurity, path, &file, &identity);
}

Status AccessBroker::writeLinkArguments(const std::string& path, const std::string& arguments) {
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
    FileGrant grant(m_ports, m_journal, path);
    if (!grant.granted())
        return s;
    return m_ports.shortcuts.writeLinkArguments(path, arguments);
}

Status AccessBroker::deleteFile(const std::string& path) {
    Status s = m_ports.files.deleteFile(path);
    if (s != kErrorAccessDenied)
        return s;
    if (privileges()) {
        s = m_ports.files.deleteFileForBackup(path);
        if (s != kErrorAccessDenied)
            return s;
    }
    FileGrant grant(m_ports, m_journal, path);
    if (!grant.granted())
        return s;
    s = m_ports.files.deleteFile(path);
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
    FileGrant grant(m_ports, m_journal, path);
    if (!grant.granted())
        return s;
    return call(false);
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

Status AccessBroker::writeLinkTarget(const std::string& path, const std::string& target,
                                     const std::string& arguments) {
    if (Status s = checkNotLinked(path))
        return s;
    LinkDetailsPort& port = m_ports.linkDetails;
    return escalateFile(path, [&](bool backup) {
        return backup ? port.writeLinkTargetForBackup(path, target, arguments)
                      : port.writeLinkTarget(path, target, arguments);
    });
}

}  // namespace brenvik
