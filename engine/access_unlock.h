// Opening registry keys and files to "Everyone" before they are read, rewritten or deleted,
// and putting their previous access lists (and file attributes) back afterwards.
#pragma once

#include <string>

#include "engine/ports/ports.h"

namespace brenvik {

// The access list after a SET_ACCESS grant of rights (with inheritance flags) to the
// trustee: every explicit entry of that trustee is replaced by one allow entry; explicit
// deny entries stay ahead of allow entries, inherited entries last.
AccessList WithSetAccess(const AccessList& list, const std::string& sid, std::uint32_t mask,
                         std::uint8_t inheritance);

// A file's list with an allow entry for "Everyone" (GENERIC_ALL, object inherit) added:
// only allowed and denied entries are kept; explicit before inherited, and within each
// group denied before allowed.
AccessList WithEveryoneFileEntry(const AccessList& list);

// Grants "Everyone" full access to a key named "MACHINE\...", "CURRENT_USER\..." or
// "CLASSES_ROOT\...". True when the new list was written.
bool UnlockRegistryKey(AccessPort& access, const std::string& objectName);

// Grants "Everyone" full access to a file and clears its attributes. Always true.
bool UnlockFile(AccessPort& access, FilePort& files, const std::string& path);

// True when the path is a reparse point or a file with more than one hard link (or when
// that cannot be told): an elevated program must not change such a name's permissions,
// since they may belong to a file elsewhere.
bool IsLinkedFile(FilePort& files, const std::string& path);

// Unlocks a registry key for the life of the guard, then puts its previous access list
// back, unless the key was deleted meanwhile.
class ScopedKeyUnlock {
public:
    ScopedKeyUnlock(AccessPort& access, std::string objectName);
    ~ScopedKeyUnlock();
    ScopedKeyUnlock(const ScopedKeyUnlock&) = delete;
    ScopedKeyUnlock& operator=(const ScopedKeyUnlock&) = delete;

    // The key is gone (a key created later under the same name keeps its own list).
    void keyDeleted() { m_restore = false; }

private:
    AccessPort& m_access;
    std::string m_objectName;
    AccessList m_previous;
    bool m_restore = false;
};

// Unlocks a file for the life of the guard, then puts its previous attributes and access
// list back, unless the file is gone. A linked file is left alone.
class ScopedFileUnlock {
public:
    ScopedFileUnlock(AccessPort& access, FilePort& files, std::string path);
    ~ScopedFileUnlock();
    ScopedFileUnlock(const ScopedFileUnlock&) = delete;
    ScopedFileUnlock& operator=(const ScopedFileUnlock&) = delete;

    // False for a linked file, which must be neither unlocked nor rewritten.
    bool unlocked() const { return m_unlocked; }

private:
    AccessPort& m_access;
    FilePort& m_files;
    std::string m_path;
    std::uint32_t m_previousAttributes = kInvalidFileAttributes;
    AccessList m_previousList;
    bool m_haveList = false;
    bool m_unlocked = false;
};

}  // namespace brenvik
