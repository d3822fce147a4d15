// Text rules shared by the scanners, on UTF-8 text.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace brenvik {

// Adds 0x20 to a byte from 'A' to 'Z' and leaves every other byte alone.
inline char LowercaseAsciiChar(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c;
}

// Lowercases every byte as LowercaseAsciiChar does. Safe on UTF-8: the bytes of a multi-byte
// character are all 0x80 or above, so none of them is touched.
inline void LowercaseAscii(std::string& text) {
    for (char& c : text) c = LowercaseAsciiChar(c);
}

// The length of the UTF-8 sequence that a byte starts: 1 to 4, or 0 for a byte that can
// start none (a continuation byte, or one that UTF-8 never uses).
inline std::size_t Utf8SequenceLength(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if (lead < 0xC2)
        return 0;
    if (lead < 0xE0)
        return 2;
    if (lead < 0xF0)
        return 3;
    return lead < 0xF5 ? 4 : 0;
}

// The number of UTF-16 units that the wide calls see for a UTF-8 text: one per character,
// two for a character beyond U+FFFF. A byte that starts no whole sequence counts as one
// unit, as its conversion to U+FFFD does.
inline std::size_t Utf16Length(const std::string& text) {
    std::size_t units = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t length = Utf8SequenceLength(static_cast<unsigned char>(text[i]));
        std::size_t k = 1;
        while (k < length && i + k < text.size() &&
               (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80)
            ++k;
        const bool whole = length != 0 && k == length;
        units += whole && length == 4 ? 2 : 1;
        i += whole ? length : 1;
    }
    return units;
}

// The parts between backslashes of text from its at-th byte on, in order; false when one of
// them is empty, "." or "..".
inline bool SplitPlainParts(const std::string& text, std::size_t at,
                            std::vector<std::string>* parts) {
    while (at <= text.size()) {
        std::size_t end = text.find('\\', at);
        if (end == std::string::npos)
            end = text.size();
        std::string part = text.substr(at, end - at);
        if (part.empty() || part == "." || part == "..")
            return false;
        parts->push_back(std::move(part));
        at = end + 1;
    }
    return true;
}

// The longest path the wide calls take without a long-path prefix: MAX_PATH (260) UTF-16
// units less the terminating NUL.
constexpr std::size_t kMaxPathLength = 259;

}  // namespace brenvik
