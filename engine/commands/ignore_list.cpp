#include "engine/commands/ignore_list.h"

#include <nlohmann/json.hpp>

#include "engine/views/result_record.h"

namespace brenvik {
namespace {

bool Gone(Status s) {
    return s == kErrorSuccess || s == kErrorFileNotFound || s == kErrorPathNotFound;
}

using Json = nlohmann::ordered_json;

constexpr const char* kFields[] = {"id", "location", "rule", "path", "site", "user", "added"};

std::string* Field(IgnoreEntry& entry, int index) {
    std::string* fields[] = {&entry.id,   &entry.location, &entry.rule, &entry.path,
                             &entry.site, &entry.user,     &entry.added};
    return fields[index];
}

bool IsId(const std::string& id) {
    return id.size() == 12 && id.find_first_not_of("0123456789abcdef") == std::string::npos;
}

// Reads one of the two files; *found false when it is not there.
std::string ReadList(StorePort& store, const char* path, bool* found, IgnoreList* list) {
    *found = false;
    std::string text;
    const Status s = store.readFile(path, &text);
    if (s == kErrorFileNotFound || s == kErrorPathNotFound)
        return std::string();
    *found = true;
    if (s != kErrorSuccess)
        return std::string(path) + " refused: " + ErrorWords(s);
    std::string reason;
    if (!ParseIgnoreList(text, list, &reason))
        return std::string(path) + " refused: " + reason;
    return std::string();
}

}  // namespace

bool IgnoreList::contains(const std::string& id) const {
    for (const IgnoreEntry& entry : entries) {
        if (entry.id == id)
            return true;
    }
    return false;
}

bool ParseIgnoreList(const std::string& text, IgnoreList* list, std::string* reason) {
    list->entries.clear();
    const Json json = Json::parse(text, nullptr, false);
    if (json.is_discarded() || !json.is_object() || !json.contains("entries") ||
        !json["entries"].is_array()) {
        *reason = "not a whole list";
        return false;
    }
    IgnoreList read;
    for (const Json& item : json["entries"]) {
        IgnoreEntry entry;
        for (int i = 0; i < 7; ++i) {
            if (!item.is_object() || !item.contains(kFields[i]) || !item[kFields[i]].is_string()) {
                *reason = std::string("an entry without its ") + kFields[i];
                return false;
            }
            *Field(entry, i) = item[kFields[i]].get<std::string>();
        }
        if (!IsId(entry.id)) {
            *reason = "an entry with a malformed id";
            return false;
        }
        if (!read.contains(entry.id))
            read.entries.push_back(entry);
    }
    *list = std::move(read);
    return true;
}

std::string FormatIgnoreList(const IgnoreList& list) {
    Json entries = Json::array();
    for (IgnoreEntry entry : list.entries) {
        Json item = Json::object();
        for (int i = 0; i < 7; ++i) item[kFields[i]] = *Field(entry, i);
        entries.push_back(std::move(item));
    }
    Json json{{"entries", std::move(entries)}};
    return json.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::string LoadIgnoreList(StorePort& store, IgnoreList* list) {
    list->entries.clear();
    bool found = false;
    std::string error = ReadList(store, kIgnoreFile, &found, list);
    if (!found)
        error = ReadList(store, kIgnoreNextFile, &found, list);
    if (!error.empty())
        list->entries.clear();
    return error;
}

std::string SaveIgnoreList(StorePort& store, const IgnoreList& list) {
    bool trusted = false;
    if (Status s = store.secureFolder(kIgnoreFolder, &trusted))
        return std::string(kIgnoreFolder) + ": " + ErrorWords(s);
    const std::string text = FormatIgnoreList(list);
    // Each step leaves a whole list to load: the old one, the next one, or the new one.
    Status s = store.removeFile(kIgnoreNextFile);
    if (!Gone(s))
        return std::string(kIgnoreNextFile) + ": " + ErrorWords(s);
    if ((s = store.writeDurably(kIgnoreNextFile, text)))
        return std::string(kIgnoreNextFile) + ": " + ErrorWords(s);
    s = store.removeFile(kIgnoreFile);
    if (!Gone(s))
        return std::string(kIgnoreFile) + ": " + ErrorWords(s);
    if ((s = store.writeDurably(kIgnoreFile, text)))
        return std::string(kIgnoreFile) + ": " + ErrorWords(s);
    store.removeFile(kIgnoreNextFile);
    return std::string();
}

}  // namespace brenvik
