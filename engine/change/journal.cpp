#include "engine/change/journal.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "engine/change/sddl.h"
#include "engine/change/work_places.h"

namespace brenvik {
namespace {

constexpr const char* kFolder = "Journal";
constexpr const char* kSuffix = ".journal";
constexpr const char* kHeader = "brenvik journal 1";
constexpr const char* kEnd = "end";
constexpr std::uint64_t kMaxTries = 1000;

std::string EntryPath(const std::string& name) {
    return std::string(kFolder) + "\\" + name;
}

std::string EntryName(std::uint64_t number) {
    char name[32];
    std::snprintf(name, sizeof name, "%016llx%s", static_cast<unsigned long long>(number), kSuffix);
    return name;
}

bool IsEntryName(const std::string& name) {
    const std::size_t suffix = std::char_traits<char>::length(kSuffix);
    return name.size() > suffix && name.compare(name.size() - suffix, suffix, kSuffix) == 0;
}

// The value of "key value" lines, in order; false on a line of another key.
bool Field(std::istringstream& in, const char* key, std::string* value) {
    std::string line;
    if (!std::getline(in, line))
        return false;
    const std::string prefix = std::string(key) + " ";
    if (line.compare(0, prefix.size(), prefix) != 0)
        return false;
    *value = line.substr(prefix.size());
    return true;
}

bool ParseType(const std::string& text, SecurityObjectType* type) {
    if (text == "key")
        *type = SecurityObjectType::RegistryKey;
    else if (text == "file")
        *type = SecurityObjectType::File;
    else
        return false;
    return true;
}

bool ParseAttributes(const std::string& text, std::uint32_t* attributes) {
    if (text.size() != 8)
        return false;
    char* end = nullptr;
    const unsigned long value = std::strtoul(text.c_str(), &end, 16);
    if (end != text.c_str() + text.size())
        return false;
    *attributes = static_cast<std::uint32_t>(value);
    return true;
}

// One entry from the stream; false when it is not whole.
bool ParseEntry(std::istringstream& in, JournalEntry* entry) {
    std::string line;
    if (!std::getline(in, line) || line != kHeader)
        return false;
    std::string type;
    std::string attributes;
    std::string list;
    JournalEntry read;
    if (!Field(in, "type", &type) || !ParseType(type, &read.type))
        return false;
    if (!Field(in, "object", &read.object) || read.object.empty())
        return false;
    if (!Field(in, "attributes", &attributes) || !ParseAttributes(attributes, &read.attributes))
        return false;
    if (!Field(in, "list", &list) || !AccessListFromSddl(list, &read.list))
        return false;
    // The closing line proves that the write was not torn.
    if (!std::getline(in, line) || line != kEnd)
        return false;
    *entry = read;
    return true;
}

}  // namespace

std::string FormatJournalEntry(const JournalEntry& entry) {
    const std::string list = AccessListToSddl(entry.list);
    if (list.empty() || entry.object.find('\n') != std::string::npos)
        return std::string();
    char attributes[16];
    std::snprintf(attributes, sizeof attributes, "%08x", static_cast<unsigned>(entry.attributes));
    const bool key = entry.type == SecurityObjectType::RegistryKey;
    return std::string(kHeader) + "\ntype " + (key ? "key" : "file") + "\nobject " + entry.object +
           "\nattributes " + attributes + "\nlist " + list + "\n" + kEnd + "\n";
}

bool ParseJournalEntry(const std::string& text, JournalEntry* entry) {
    std::istringstream in(text);
    return ParseEntry(in, entry) && in.peek() == std::char_traits<char>::eof();
}

std::vector<JournalEntry> ParseJournal(const std::string& text) {
    std::istringstream in(text);
    std::vector<JournalEntry> entries;
    JournalEntry entry;
    while (in.peek() != std::char_traits<char>::eof() && ParseEntry(in, &entry))
        entries.push_back(entry);
    return entries;
}

Status Journal::prepare() {
    if (m_prepared)
        return kErrorSuccess;
    bool trusted = false;
    if (Status s = m_store.secureFolder(kFolder, &trusted))
        return s;
    // Numbers go on after the highest one left by another run.
    std::vector<std::string> names;
    if (Status s = m_store.listFiles(kFolder, &names))
        return s;
    for (const std::string& name : names) {
        if (!IsEntryName(name))
            continue;
        const std::uint64_t number = std::strtoull(name.c_str(), nullptr, 16);
        if (number >= m_next)
            m_next = number + 1;
    }
    m_prepared = true;
    return kErrorSuccess;
}

Journal::~Journal() {
    if (!m_path.empty() && m_outstanding == 0)
        m_store.removeFile(m_path);
}

Status Journal::startFile(const std::string& text) {
    // Another run may take a number at the same time: the store refuses to overwrite.
    for (std::uint64_t tries = 0; tries < kMaxTries; ++tries) {
        const std::string path = EntryPath(EntryName(m_next++));
        const Status s = m_store.writeDurably(path, text);
        if (s == kErrorFileExists)
            continue;
        if (s == kErrorSuccess)
            m_path = path;
        return s;
    }
    return kErrorFileExists;
}

Status Journal::record(const JournalEntry& entry, std::string* id) {
    const std::string text = FormatJournalEntry(entry);
    if (text.empty())
        return kErrorInvalidData;
    if (Status s = prepare())
        return s;
    const Status s = m_path.empty() ? startFile(text) : m_store.appendDurably(m_path, text);
    if (s != kErrorSuccess)
        return s;
    ++m_outstanding;
    *id = m_path;
    return kErrorSuccess;
}

void Journal::clear(const std::string& id) {
    if (id == m_path && m_outstanding > 0)
        --m_outstanding;
}

}  // namespace brenvik
