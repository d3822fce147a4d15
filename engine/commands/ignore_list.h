// The findings the user chose to leave alone, kept in the store as Ignore\\ignore.json. Scan lists
// them only with /all and Fix never repairs them.
#pragma once

#include <string>
#include <vector>

#include "engine/ports/store_port.h"

namespace brenvik {

// A folder of its own, so that the store secures it as it does the journal's.
constexpr const char* kIgnoreFolder = "Ignore";
constexpr const char* kIgnoreFile = "Ignore\\ignore.json";
// The next list, written whole before ignore.json is replaced: the store has no rename, so a
// crash between removing the old list and writing the new one leaves this one to read.
constexpr const char* kIgnoreNextFile = "Ignore\\ignore.json.next";

struct IgnoreEntry {
    std::string id;  // FindingId
    std::string location;
    std::string rule;
    std::string path;
    std::string site;
    std::string user;   // who added it
    std::string added;  // ISO 8601 UTC
};

struct IgnoreList {
    std::vector<IgnoreEntry> entries;
    bool contains(const std::string& id) const;
};

// Refuses the whole text, with a reason, unless every entry is whole and well formed: a torn
// or edited list ignores nothing rather than some of it.
bool ParseIgnoreList(const std::string& text, IgnoreList* list, std::string* reason);
std::string FormatIgnoreList(const IgnoreList& list);

// "" and the list (empty when there is none); otherwise why it was refused, and an empty list.
// A file the store refuses (one the program did not make, or others could change) is refused
// as a whole and left where it is.
std::string LoadIgnoreList(StorePort& store, IgnoreList* list);
// Replaces the list durably; "" or why not. Callers load first and write only over a list
// that loaded: a refused file is never overwritten.
std::string SaveIgnoreList(StorePort& store, const IgnoreList& list);

}  // namespace brenvik
