// The last step of escalation: the running administrators granted on one object for one call,
// journaled first and put back right after. The trustee is BUILTIN\Administrators, not the
// token user: an elevated process shares its user SID with every unelevated program of the
// same account, whose filtered token holds Administrators only for denying.
#pragma once

#include <string>
#include <vector>

#include "engine/change/journal.h"
#include "engine/ports/ports.h"

namespace brenvik {

// Opens a file for changing its list and attributes and tells its attributes, walking to it
// from the place folder that holds it (OpenPlacedFile, with backup intent). Refused
// (ERROR_CANT_ACCESS_FILE) for a reparse point on the way or a file with more than one hard
// link: their permissions may belong to a file elsewhere. The check is made on the handle
// that every change then goes through.
Status OpenUnlinkedFile(FileSecurityPort& port, const std::vector<std::string>& places,
                        const std::string& path, ScopedFile* file, FileIdentity* identity);

// Attributes first (the old list may no longer let them change), then the list, then the
// attributes again where writing the list changed them (Wine keeps both in the Unix mode).
Status RestoreFile(FileSecurityPort& port, FileHandle file, const AccessList& list,
                   std::uint32_t attributes);

// What a grant holds on its object: the list to put back, and the journal entry of the grant
// (none when nothing was granted).
class ObjectGrant {
public:
    ObjectGrant(const ObjectGrant&) = delete;
    ObjectGrant& operator=(const ObjectGrant&) = delete;

    bool granted() const { return !m_id.empty(); }
    void objectGone() { m_gone = true; }

protected:
    ObjectGrant(Ports& ports, Journal& journal) : m_ports(ports), m_journal(journal) {}
    ~ObjectGrant() = default;

    Ports& m_ports;
    Journal& m_journal;
    AccessList m_previous;
    std::string m_id;
    bool m_gone = false;
};

// Grants the administrators KEY_ALL_ACCESS on one key, inherited by nothing below it, for the
// life of the guard, then puts the previous list back unless the key is gone. An empty name
// is never granted.
class KeyGrant final : public ObjectGrant {
public:
    KeyGrant(Ports& ports, Journal& journal, std::string objectName);
    ~KeyGrant();

private:
    std::string m_objectName;
};

// Clears the read-only, hidden and system attributes of a file for the life of the guard and,
// unless privileged (the backup privileges are enabled and the call that follows asks for
// backup semantics), grants the administrators full access to it; then puts both back unless
// the file is gone. Privileged, a file without those attributes is not granted: the list
// never changes then. Linked files are never granted.
class FileGrant final : public ObjectGrant {
public:
    FileGrant(Ports& ports, Journal& journal, const std::vector<std::string>& places,
              const std::string& path, bool privileged);
    ~FileGrant();

private:
    ScopedFile m_file;
    std::uint32_t m_attributes = 0;
    bool m_listChanged = false;
};

}  // namespace brenvik
