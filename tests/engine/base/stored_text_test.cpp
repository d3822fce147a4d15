#include "engine/base/stored_text.h"

#include <gtest/gtest.h>

namespace brenvik {
namespace {

std::string Units(std::initializer_list<unsigned> units) {
    std::string bytes;
    for (unsigned unit : units) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

TEST(StoredText, Utf16LittleEndianWithItsTerminatorAndFffdForBrokenBytes) {
    const struct {
        const char* utf8;
        std::string stored;
    } cases[] = {
        {"", Units({0})},
        {"a %1", Units({'a', ' ', '%', '1', 0})},
        {"\xE7\x8E\x8B", Units({0x738B, 0})},              // 王
        {"\xF0\x9F\x98\x80", Units({0xD83D, 0xDE00, 0})},  // an emoji: a surrogate pair
        {"\xEF\xBF\xBD", Units({0xFFFD, 0})},              // U+FFFD itself
        {"a\xFF"
         "b",
         Units({'a', 0xFFFD, 'b', 0})},                        // no sequence starts with 0xFF
        {"\xE7\x8E", Units({0xFFFD, 0xFFFD, 0})},              // cut short
        {"\xC0\x80", Units({0xFFFD, 0xFFFD, 0})},              // overlong
        {"\xED\xA0\x80", Units({0xFFFD, 0xFFFD, 0xFFFD, 0})},  // a surrogate
    };
    for (const auto& c : cases) EXPECT_EQ(StoredText(c.utf8), c.stored) << c.utf8;
}

}  // namespace
}  // namespace brenvik
