// The text rules on UTF-8 names: only ASCII letters fold, and path limits count the UTF-16
// units that the wide calls see, not bytes. Escapes keep the source file's encoding out of it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/base/text_rules.h"
#include "engine/places/shell_folder.h"
#include "platform/model/model_platform.h"
#include "tests/support/registry_names.h"

namespace brenvik {
namespace {

using test::kShellFolders;

std::string Repeat(const std::string& text, int times) {
    std::string repeated;
    for (int i = 0; i < times; ++i) repeated += text;
    return repeated;
}

struct NameCase {
    const char* what;
    std::string name;
    std::string lowercased;
    std::size_t units;
};

TEST(Utf8Rules, OnlyAsciiLettersFoldAndLengthsCountUtf16Units) {
    const std::vector<NameCase> cases = {
        {"ASCII", "Internet Explorer.LNK", "internet explorer.lnk", 21},
        // Internet Explorer ✓.lnk
        {"check mark", "Internet Explorer \xE2\x9C\x93.LNK", "internet explorer \xE2\x9C\x93.lnk",
         23},
        // ЯРЛЫК IExplorer.lnk: Cyrillic capitals are no ASCII letters.
        {"Cyrillic", "\xD0\xAF\xD0\xA0\xD0\x9B\xD0\xAB\xD0\x9A IExplorer.lnk",
         "\xD0\xAF\xD0\xA0\xD0\x9B\xD0\xAB\xD0\x9A iexplorer.lnk", 19},
        // 丄.lnk: GBK 0x81 0x41, whose trail byte the 8-bit rule lowercased.
        {"Chinese", "\xE4\xB8\x84.LNK", "\xE4\xB8\x84.lnk", 5},
        // 🙂 IE: beyond U+FFFF, a surrogate pair.
        {"emoji", "\xF0\x9F\x99\x82 IE", "\xF0\x9F\x99\x82 ie", 5},
        {"stray continuation byte", "\x80Z", "\x80z", 2},
        {"cut sequence", "\xE4\xB8Z", "\xE4\xB8z", 3},
        {"empty", "", "", 0},
    };
    for (const NameCase& c : cases) {
        std::string name = c.name;
        LowercaseAscii(name);
        EXPECT_EQ(c.lowercased, name) << c.what;
        EXPECT_EQ(c.units, Utf16Length(c.name)) << c.what;
    }
}

struct FolderCase {
    const char* what;
    std::string stored;    // the value's data as the registry port hands it over
    std::string expected;  // "" for no folder
};

TEST(Utf8Rules, ShellFolderFitsByUtf16UnitsAndLosesAWholeLastCharacter) {
    model::ModelPlatform platform;
    const std::string nul(1, '\0');
    // C:\ and 255 Chinese characters: 258 units, 768 bytes.
    const std::string longest = "C:\\" + Repeat("\xE4\xB8\xAD", 255);
    const std::string tooLong = "C:\\" + Repeat("\xE4\xB8\xAD", 256);
    // C:\桌面 and C:\桌
    const std::string desk = "C:\\\xE6\xA1\x8C";
    const std::string desktop = desk + "\xE9\x9D\xA2";
    const std::string emoji = "C:\\\xF0\x9F\x98\x80";  // C:\😀
    for (const std::string& folder : {longest, tooLong, desk, desktop, emoji})
        platform.addFolder(folder);

    const std::vector<FolderCase> cases = {
        {"258 units and the terminator", longest + nul, longest},
        {"259 units and the terminator", tooLong + nul, ""},
        {"stored with its terminator", desktop + nul, desktop},
        {"no terminator loses the whole last character", desktop, desk},
        {"beyond U+FFFF", emoji + nul, emoji},
    };
    for (const FolderCase& c : cases) {
        platform.putValue(kHKeyCurrentUser, kShellFolders, "Desktop", kRegSz,
                          std::vector<std::uint8_t>(c.stored.begin(), c.stored.end()));
        std::string folder = "stale";
        EXPECT_EQ(c.expected.size(), FindUserShellFolder(platform, platform, "Desktop", folder))
            << c.what;
        EXPECT_EQ(c.expected, folder) << c.what;
    }
}

}  // namespace
}  // namespace brenvik
