#include "engine/change/sddl.h"

#include <cstdio>
#include <cstdlib>

namespace brenvik {
namespace {

constexpr const char* kNullList = "D:NO_ACCESS_CONTROL";

struct FlagWord {
    std::uint8_t flag;
    const char* word;
};
constexpr FlagWord kFlagWords[] = {
    {kObjectInheritAce, "OI"},
    {kContainerInheritAce, "CI"},
    {0x04, "NP"},
    {kInheritOnlyAce, "IO"},
    {kInheritedAce, "ID"},
    {0x40, "SA"},
    {0x80, "FA"},
};

std::string FlagsText(std::uint8_t flags) {
    std::string text;
    for (const FlagWord& f : kFlagWords) {
        if (flags & f.flag)
            text += f.word;
    }
    return text;
}

bool ParseFlags(const std::string& text, std::uint8_t* flags) {
    *flags = 0;
    if (text.size() % 2 != 0)
        return false;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const std::string word = text.substr(i, 2);
        bool known = false;
        for (const FlagWord& f : kFlagWords) {
            if (word == f.word) {
                *flags |= f.flag;
                known = true;
            }
        }
        if (!known)
            return false;
    }
    return true;
}

bool ParseMask(const std::string& text, std::uint32_t* mask) {
    if (text.size() < 3 || text.size() > 10 || text.compare(0, 2, "0x") != 0)
        return false;
    char* end = nullptr;
    const unsigned long value = std::strtoul(text.c_str() + 2, &end, 16);
    if (end != text.c_str() + text.size())
        return false;
    *mask = static_cast<std::uint32_t>(value);
    return true;
}

bool IsSidText(const std::string& text) {
    if (text.size() < 5 || text.compare(0, 4, "S-1-") != 0)
        return false;
    for (char c : text.substr(4)) {
        if (c != '-' && (c < '0' || c > '9'))
            return false;
    }
    return text.back() != '-';
}

// "A;OICI;0x1f01ff;;;S-1-1-0" (without the parentheses).
bool ParseEntry(const std::string& text, AccessEntry* entry) {
    std::string fields[6];
    std::size_t field = 0;
    for (char c : text) {
        if (c == ';') {
            if (++field == 6)
                return false;
            continue;
        }
        fields[field] += c;
    }
    if (field != 5 || !fields[3].empty() || !fields[4].empty())
        return false;
    if (fields[0] == "A")
        entry->type = kAccessAllowedAceType;
    else if (fields[0] == "D")
        entry->type = kAccessDeniedAceType;
    else
        return false;
    entry->sid = fields[5];
    return ParseFlags(fields[1], &entry->flags) && ParseMask(fields[2], &entry->mask) &&
           IsSidText(entry->sid);
}

}  // namespace

std::string AccessListToSddl(const AccessList& list) {
    if (!list.present)
        return kNullList;
    std::string text = list.isProtected ? "D:P" : "D:";
    for (const AccessEntry& e : list.entries) {
        if (e.type != kAccessAllowedAceType && e.type != kAccessDeniedAceType)
            return std::string();
        char mask[16];
        std::snprintf(mask, sizeof mask, "0x%x", static_cast<unsigned>(e.mask));
        text += std::string("(") + (e.type == kAccessDeniedAceType ? "D" : "A") + ";" +
                FlagsText(e.flags) + ";" + mask + ";;;" + e.sid + ")";
    }
    return text;
}

bool AccessListFromSddl(const std::string& text, AccessList* list) {
    AccessList read;
    if (text == kNullList) {
        *list = read;
        return true;
    }
    if (text.compare(0, 2, "D:") != 0)
        return false;
    read.present = true;
    std::size_t position = 2;
    if (text.compare(position, 1, "P") == 0) {
        read.isProtected = true;
        ++position;
    }
    while (position < text.size()) {
        if (text[position] != '(')
            return false;
        const std::size_t close = text.find(')', position);
        if (close == std::string::npos)
            return false;
        AccessEntry entry;
        if (!ParseEntry(text.substr(position + 1, close - position - 1), &entry))
            return false;
        read.entries.push_back(entry);
        position = close + 1;
    }
    *list = read;
    return true;
}

}  // namespace brenvik
