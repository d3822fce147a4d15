#include "platform/model/model_text.h"

#include <algorithm>
#include <cstddef>

namespace brenvik::model {
namespace {

// The model's system code page is 936 (GBK): a lead byte 0x81-0xFE and the byte after it
// form one character, which letter case never touches. Windows compares names after
// converting them to UTF-16, so such a pair is never folded as if it were ASCII.
bool IsLeadByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x81 && byte <= 0xFE;
}

// The characters of a text: one byte, or a lead byte with its trail byte.
std::vector<std::string> Characters(const std::string& text) {
    std::vector<std::string> characters;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool pair = IsLeadByte(text[i]) && i + 1 < text.size();
        characters.push_back(text.substr(i, pair ? 2 : 1));
        if (pair)
            ++i;
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

std::vector<std::string> Split(const std::string& path, bool slashToo) {
    std::vector<std::string> parts;
    std::string part;
    for (const std::string& c : Characters(path)) {
        if (c == "\\" || (slashToo && c == "/")) {
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
    const std::vector<std::string> x = Characters(a), y = Characters(b);
    return std::equal(x.begin(), x.end(), y.begin(), y.end(), SameCharacter);
}

std::string FoldName(const std::string& name) {
    std::string folded = name;
    for (std::size_t i = 0; i < folded.size(); ++i) {
        if (IsLeadByte(folded[i])) {
            ++i;  // the trail byte belongs to the character
            continue;
        }
        if (folded[i] >= 'a' && folded[i] <= 'z')
            folded[i] = static_cast<char>(folded[i] - 0x20);
    }
    return folded;
}

bool LessUpperCase(const std::string& a, const std::string& b) {
    const std::vector<std::string> x = Characters(a), y = Characters(b);
    return std::lexicographical_compare(
        x.begin(), x.end(), y.begin(), y.end(), [](const std::string& p, const std::string& q) {
            const std::string u = Folded(p, Upper), v = Folded(q, Upper);
            return std::lexicographical_compare(
                u.begin(), u.end(), v.begin(), v.end(), [](char m, char n) {
                    return static_cast<unsigned char>(m) < static_cast<unsigned char>(n);
                });
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

}  // namespace brenvik::model
