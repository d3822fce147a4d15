// The journal of changed access lists and attributes: each previous state is written to the
// program's store before the object is changed, so that a run that dies before it is back is
// mended at the next start. A command keeps one file, appended to and flushed once per
// entry, and removed when the command ends with every entry put back: putting back a list
// that is already back changes nothing, so an entry need not be crossed out one by one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/ports/ports.h"

namespace brenvik {

struct JournalEntry {
    SecurityObjectType type = SecurityObjectType::File;
    // A key as the access port names it ("MACHINE\..." or "USERS\<sid>\..."), or a file's
    // full path.
    std::string object;
    AccessList list;
    // A file's attributes before the change; kInvalidFileAttributes for keys.
    std::uint32_t attributes = kInvalidFileAttributes;
};

// The entry as the journal's text; empty when the list cannot be written as text.
std::string FormatJournalEntry(const JournalEntry& entry);
// False for anything FormatJournalEntry would not have written, a torn write included.
bool ParseJournalEntry(const std::string& text, JournalEntry* entry);
// The entries of a journal file in order, up to the first one that does not parse: a write
// torn by the process's end can only be the last, and no change followed it.
std::vector<JournalEntry> ParseJournal(const std::string& text);

class Journal {
public:
    explicit Journal(StorePort& store) : m_store(store) {}
    // Removes the command's file when every entry in it was put back.
    ~Journal();
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    // Writes the entry durably; its id (to clear it with) in id. Nothing may be changed
    // when this fails.
    Status record(const JournalEntry& entry, std::string* id);
    // The object is as the entry says again, or gone.
    void clear(const std::string& id);

private:
    Status prepare();
    Status startFile(const std::string& text);

    StorePort& m_store;
    bool m_prepared = false;
    std::uint64_t m_next = 1;
    std::string m_path;     // this command's file, once it has an entry
    int m_outstanding = 0;  // entries recorded and not yet put back
};

}  // namespace brenvik
