#include "engine/change/object_grant.h"

#include <utility>

#include "engine/change/access_unlock.h"
#include "engine/change/place_walk.h"

namespace brenvik {
namespace {

// What SetFileAttributes accepts; directory, reparse and similar bits are read-only.
constexpr std::uint32_t kSettableAttributes = 0x1 | 0x2 | 0x4 | 0x20 | 0x100 | 0x1000 | 0x2000;
// What refuses a change whatever the list and the privileges say: CreateFile refuses to
// overwrite a hidden or system file, and nothing writes or deletes a read-only one.
constexpr std::uint32_t kRefusingAttributes =
    kFileAttributeReadOnly | kFileAttributeHidden | kFileAttributeSystem;

bool IsGone(Status status) {
    return status == kErrorFileNotFound || status == kErrorPathNotFound ||
           status == kErrorKeyDeleted;
}

}  // namespace

Status OpenUnlinkedFile(FileSecurityPort& port, const std::vector<std::string>& places,
                        const std::string& path, ScopedFile* file, FileIdentity* identity) {
    PlacedFile placed(port);
    const Status s = OpenPlacedFile(port, places, path,
                                    kFileRightReadControl | kFileRightWriteDac |
                                        kFileRightReadAttributes | kFileRightWriteAttributes,
                                    OpenMode::BackupIntent, &placed);
    *identity = placed.identity;
    *file = std::move(placed.file);
    return s;
}

Status RestoreFile(FileSecurityPort& port, FileHandle file, const AccessList& list,
                   std::uint32_t attributes) {
    const std::uint32_t settable = attributes & kSettableAttributes;
    port.setFileAttributes(file, settable);
    if (Status s = port.writeFileAccessList(file, list))
        return s;
    FileIdentity identity;
    if (port.queryFileIdentity(file, &identity) == kErrorSuccess &&
        (identity.attributes & kSettableAttributes) != settable)
        return port.setFileAttributes(file, settable);
    return kErrorSuccess;
}

KeyGrant::KeyGrant(Ports& ports, Journal& journal, std::string objectName)
    : ObjectGrant(ports, journal), m_objectName(std::move(objectName)) {
    // No name is a key with no one object behind it (a merged view): nothing to grant on.
    if (m_objectName.empty() ||
        m_ports.access.readAccessList(m_objectName, SecurityObjectType::RegistryKey, &m_previous) !=
            kErrorSuccess)
        return;
    std::string id;
    if (m_journal.record(
            {SecurityObjectType::RegistryKey, m_objectName, m_previous, kInvalidFileAttributes},
            &id) != kErrorSuccess)
        return;
    // Not inheritable: SetNamedSecurityInfo would carry an inheritable entry into every key
    // below, opening the whole subtree for as long as the grant lasts.
    const AccessList unlocked =
        WithGrantFirst(m_previous, kBuiltinAdministratorsSid, kKeyAllAccess);
    if (m_ports.access.writeAccessList(m_objectName, SecurityObjectType::RegistryKey, unlocked) !=
        kErrorSuccess) {
        m_journal.clear(id);
        return;
    }
    m_id = std::move(id);
}

KeyGrant::~KeyGrant() {
    if (!granted())
        return;
    const Status s = m_gone ? kErrorKeyDeleted
                            : m_ports.access.writeAccessList(
                                  m_objectName, SecurityObjectType::RegistryKey, m_previous);
    // An entry whose list could not be put back stays for the next start to try again.
    if (s == kErrorSuccess || IsGone(s))
        m_journal.clear(m_id);
}

FileGrant::FileGrant(Ports& ports, Journal& journal, const std::vector<std::string>& places,
                     const std::string& path, bool privileged)
    : ObjectGrant(ports, journal), m_file(ports.fileSecurity) {
    FileIdentity identity;
    if (OpenUnlinkedFile(m_ports.fileSecurity, places, path, &m_file, &identity) != kErrorSuccess)
        return;
    if (m_ports.fileSecurity.readFileAccessList(m_file.get(), &m_previous) != kErrorSuccess)
        return;
    m_attributes = identity.attributes;
    // With the privileges a backup-intent call passes any list: only the attributes can
    // still refuse it, and when they do not there is nothing left to give.
    if (privileged && !(m_attributes & kRefusingAttributes))
        return;
    std::string id;
    if (m_journal.record({SecurityObjectType::File, path, m_previous, m_attributes}, &id) !=
        kErrorSuccess)
        return;
    m_id = std::move(id);
    // A null list already admits everybody; there is nothing to add to it.
    m_listChanged = !privileged && m_previous.present;
    if (m_listChanged)
        m_ports.fileSecurity.writeFileAccessList(
            m_file.get(), WithGrantFirst(m_previous, kBuiltinAdministratorsSid, kFileAllAccess));
    // The handle was opened with backup semantics: with the privileges it may change the
    // attributes (FILE_WRITE_ATTRIBUTES) whatever the list says.
    m_ports.fileSecurity.setFileAttributes(
        m_file.get(), m_attributes & kSettableAttributes & ~kRefusingAttributes);
}

FileGrant::~FileGrant() {
    if (!granted())
        return;
    Status s = kErrorFileNotFound;
    if (!m_gone && m_listChanged)
        s = RestoreFile(m_ports.fileSecurity, m_file.get(), m_previous, m_attributes);
    else if (!m_gone)
        s = m_ports.fileSecurity.setFileAttributes(m_file.get(),
                                                   m_attributes & kSettableAttributes);
    if (s == kErrorSuccess || IsGone(s))
        m_journal.clear(m_id);
}

}  // namespace brenvik
