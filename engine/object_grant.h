// The last step of escalation: "Everyone" granted on one object for one call, journaled
// first and put back right after.
#pragma once

#include <string>
#include <vector>

#include "engine/journal.h"
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

// Grants "Everyone" full access to a key (KEY_ALL_ACCESS with the given inheritance) for the
// life of the guard, then puts the previous list back unless the key is gone.
class KeyGrant {
public:
    KeyGrant(Ports& ports, Journal& journal, std::string objectName, std::uint8_t inheritance);
    ~KeyGrant();
    KeyGrant(const KeyGrant&) = delete;
    KeyGrant& operator=(const KeyGrant&) = delete;

    bool granted() const { return !m_id.empty(); }
    void objectGone() { m_gone = true; }

private:
    Ports& m_ports;
    Journal& m_journal;
    std::string m_objectName;
    AccessList m_previous;
    std::string m_id;
    bool m_gone = false;
};

// Grants "Everyone" full access to a file and clears its attributes for the life of the
// guard, then puts both back unless the file is gone. Linked files are never granted.
class FileGrant {
public:
    FileGrant(Ports& ports, Journal& journal, const std::vector<std::string>& places,
              const std::string& path);
    ~FileGrant();
    FileGrant(const FileGrant&) = delete;
    FileGrant& operator=(const FileGrant&) = delete;

    bool granted() const { return !m_id.empty(); }
    void objectGone() { m_gone = true; }

private:
    Ports& m_ports;
    Journal& m_journal;
    ScopedFile m_file;
    AccessList m_previous;
    std::uint32_t m_attributes = 0;
    std::string m_id;
    bool m_gone = false;
};

}  // namespace brenvik
