#include "platform/model/model_text.h"

#include <algorithm>
#include <cstddef>

#include "engine/base/text_rules.h"

namespace brenvik::model {
namespace {

// The bytes of the character at i: its whole UTF-8 sequence, or 1.
std::size_t CharacterLength(const std::string& text, std::size_t i) {
    const std::size_t length = Utf8SequenceLength(static_cast<unsigned char>(text[i]));
    for (std::size_t k = 1; k < length; ++k) {
        if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
            return 1;
    }
    return length == 0 ? 1 : length;
}

// The characters of a UTF-8 text: a lead byte with its continuation bytes, or one byte
// that starts no whole sequence.
std::vector<std::string> Characters(const std::string& text) {
    std::vector<std::string> characters;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t length = CharacterLength(text, i);
        characters.push_back(text.substr(i, length));
        i += length;
    }
    return characters;
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 0x20) : c;
}
char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 0x20) : c;
}

std::string Folded(const std::string& character, char (*fold)(char)) {
    return character.size() == 1 ? std::string(1, fold(character[0])) : character;
}

bool SameCharacter(const std::string& a, const std::string& b) {
    return Folded(a, Lower) == Folded(b, Lower);
}

// Separators are ASCII, so they never stand inside a multi-byte character.
std::vector<std::string> Split(const std::string& path, bool slashToo) {
    std::vector<std::string> parts;
    std::string part;
    for (const char c : path) {
        if (c == '\\' || (slashToo && c == '/')) {
            if (!part.empty())
                parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty())
        parts.push_back(part);
    return parts;
}

}  // namespace

bool EqualsNoCase(const std::string& a, const std::string& b) {
    return FoldName(a) == FoldName(b);
}

std::string FoldName(const std::string& name) {
    std::string folded = name;
    // No byte of a multi-byte UTF-8 character is ASCII, so bytes can be folded one by one.
    for (char& c : folded) c = Upper(c);
    return folded;
}

// UTF-8 bytes in order are code points in order, which is the order of the UTF-16 units
// Windows compares but for characters beyond U+FFFF.
bool LessUpperCase(const std::string& a, const std::string& b) {
    const std::string x = FoldName(a), y = FoldName(b);
    return std::lexicographical_compare(x.begin(), x.end(), y.begin(), y.end(), [](char m, char n) {
        return static_cast<unsigned char>(m) < static_cast<unsigned char>(n);
    });
}

std::vector<std::string> SplitKeyPath(const std::string& path) {
    return Split(path, false);
}

std::vector<std::string> SplitFilePath(const std::string& path) {
    std::vector<std::string> parts;
    for (const std::string& part : Split(path, true)) {
        if (part == ".")
            continue;
        if (part == "..") {
            // The drive itself is never left.
            if (parts.size() > 1)
                parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    return parts;
}

std::string JoinPath(const std::vector<std::string>& parts) {
    std::string joined;
    for (const std::string& part : parts) {
        if (!joined.empty())
            joined += '\\';
        joined += part;
    }
    return joined;
}

bool IsDrive(const std::string& part) {
    const char letter = Lower(part.empty() ? '\0' : part[0]);
    return part.size() == 2 && part[1] == ':' && letter >= 'a' && letter <= 'z';
}

bool MatchesMask(const std::string& name, const std::string& mask) {
    if (mask == "*.*")
        return true;
    const std::vector<std::string> n = Characters(name), m = Characters(mask);
    // Iterative glob: remember the last '*' and retry it one character further on.
    std::size_t i = 0, j = 0;
    std::size_t starMask = std::string::npos, starName = 0;
    while (i < n.size()) {
        if (j < m.size() && (m[j] == "?" || SameCharacter(m[j], n[i]))) {
            ++i;
            ++j;
        } else if (j < m.size() && m[j] == "*") {
            starMask = j++;
            starName = i;
        } else if (starMask != std::string::npos) {
            j = starMask + 1;
            i = ++starName;
        } else {
            return false;
        }
    }
    while (j < m.size() && m[j] == "*") ++j;
    return j == m.size();
}

std::string Utf16Prefix(const std::string& text, std::size_t units) {
    std::size_t end = 0;
    std::size_t used = 0;
    while (end < text.size()) {
        const std::size_t length = CharacterLength(text, end);
        const std::size_t needed = Utf16Length(text.substr(end, length));
        if (used + needed > units)
            break;
        used += needed;
        end += length;
    }
    return text.substr(0, end);
}

}  // namespace brenvik::model
