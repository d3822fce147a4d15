// The journal of changed access lists and attributes: each previous state is written to the
// program's store before the object is changed and removed once it is back, so that a run
// that dies in between is mended at the next start.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/ports/ports.h"

namespace brenvik {

struct JournalEntry {
    SecurityObjectType type = SecurityObjectType::File;
    // A key as the access port names it ("MACHINE\..."), or a file's full path.
    std::string object;
    AccessList list;
    // A file's attributes before the change; kInvalidFileAttributes for keys.
    std::uint32_t attributes = kInvalidFileAttributes;
};

// The entry as the journal's text; empty when the list cannot be written as text.
std::string FormatJournalEntry(const JournalEntry& entry);
// False for anything FormatJournalEntry would not have written, a torn write included.
bool ParseJournalEntry(const std::string& text, JournalEntry* entry);

class Journal {
public:
    explicit Journal(StorePort& store) : m_store(store) {}

    // Writes the entry durably; its id (to clear it with) in id. Nothing may be changed
    // when this fails.
    Status record(const JournalEntry& entry, std::string* id);
    // The object is as the entry says again, or gone.
    void clear(const std::string& id);

private:
    Status prepare();

    StorePort& m_store;
    bool m_prepared = false;
    std::uint64_t m_next = 1;
};

// What the start-up recovery did with the entries it found.
struct RecoveryResult {
    int restored = 0;
    int refused = 0;  // outside the work places, from a folder others could write, or torn
    int failed = 0;   // kept for the next start
};

// Puts back every entry a run that died left behind, then removes it. Entries that name an
// object outside the places the program works on are refused: only their removal is done.
RecoveryResult RecoverJournal(Ports& ports);

}  // namespace brenvik
