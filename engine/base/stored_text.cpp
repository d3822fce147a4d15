#include "engine/base/stored_text.h"

#include <cstdint>

#include "engine/base/text_rules.h"

namespace brenvik {
namespace {

void PutUnit(std::uint16_t unit, std::string* bytes) {
    bytes->push_back(static_cast<char>(unit & 0xFF));
    bytes->push_back(static_cast<char>(unit >> 8));
}

// The code point of the sequence of length bytes at i; false when its continuation bytes
// are missing, or it is an overlong form, a surrogate or past U+10FFFF.
bool CodePoint(const std::string& text, std::size_t i, std::size_t length, std::uint32_t* point) {
    static const std::uint32_t kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    static const std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (length == 0 || i + length > text.size())
        return false;
    *point = static_cast<unsigned char>(text[i]) & kLeadMask[length];
    for (std::size_t k = 1; k < length; ++k) {
        const auto c = static_cast<unsigned char>(text[i + k]);
        if ((c & 0xC0) != 0x80)
            return false;
        *point = *point << 6 | (c & 0x3F);
    }
    return *point >= kSmallest[length] && (*point < 0xD800 || *point >= 0xE000) &&
           *point <= 0x10FFFF;
}

}  // namespace

std::string StoredText(const std::string& utf8) {
    std::string bytes;
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t length = Utf8SequenceLength(static_cast<unsigned char>(utf8[i]));
        std::uint32_t point = 0xFFFD;
        const bool whole = CodePoint(utf8, i, length, &point);
        if (!whole)
            point = 0xFFFD;
        i += whole ? length : 1;
        if (point < 0x10000) {
            PutUnit(static_cast<std::uint16_t>(point), &bytes);
            continue;
        }
        PutUnit(static_cast<std::uint16_t>(0xD800 + ((point - 0x10000) >> 10)), &bytes);
        PutUnit(static_cast<std::uint16_t>(0xDC00 + ((point - 0x10000) & 0x3FF)), &bytes);
    }
    PutUnit(0, &bytes);
    return bytes;
}

}  // namespace brenvik
