// What the ports must do with names and texts beyond any one code page: UTF-8 in and out,
// letter case folded for ASCII only. Escapes keep the source file's encoding out of it.
#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/base/text_rules.h"
#include "tests/support/shortcut_calls.h"
#include "tests/contract/contract_test_base.h"

namespace brenvik::test {
namespace {

using UnicodeContract = ContractTest;

constexpr const char* kCheckFolder = "Desktop \xE2\x9C\x93";  // Desktop ✓
constexpr const char* kSite =
    "http://\xE4\xBE\x8B\xE5\xAD\x90.\xE6\xB5\x8B\xE8\xAF\x95/"
    "\xE8\xB7\xAF\xE5\xBE\x84?q=\xF0\x9F\x99\x82";  // http://例子.测试/路径?q=🙂

// One name per kind of character: beyond Latin-1, Cyrillic, Chinese, beyond U+FFFF.
const std::vector<std::string>& Names() {
    static const std::vector<std::string> names = {
        "Internet Explorer \xE2\x9C\x93.lnk",                      // Internet Explorer ✓.lnk
        "\xD0\xAF\xD1\x80\xD0\xBB\xD1\x8B\xD0\xBA IExplorer.lnk",  // Ярлык IExplorer.lnk
        "\xE7\xBD\x91\xE5\x9D\x80 \xE4\xB8\x84.lnk",               // 网址 丄.lnk
        "\xF0\x9F\x99\x82 internet explorer.lnk",                  // 🙂 internet explorer.lnk
    };
    return names;
}

std::string UpperAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 0x20);
    }
    return text;
}

std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

// Wine names files through the host's locale; without a UTF-8 one it cannot make these.
bool CannotNameFiles(ContractWorld& world, FilePort& files, const std::string& path) {
    return world.underWine() && files.getAttributes(path) == kInvalidFileAttributes;
}

TEST_F(UnicodeContract, FileNamesInAnyScriptAreListedAndReachedAsUtf8) {
    const std::string dir = world().scratchFolder() + "\\" + kCheckFolder;
    world().makeFolder(dir);
    for (const std::string& name : Names()) world().makeFile(dir + "\\" + name, 0);
    if (CannotNameFiles(world(), files(), dir + "\\" + Names()[0]))
        GTEST_SKIP() << "the host has no locale that can name the files";

    std::vector<std::string> listed;
    FindEntry entry;
    {
        ScopedFind find(files(), files().findFirst(dir + "\\*.lnk", &entry));
        ASSERT_NE(kNoFind, find.get());
        do {
            listed.push_back(entry.name);
        } while (files().findNext(find.get(), &entry));
    }
    EXPECT_EQ(Sorted(Names()), Sorted(listed));

    for (const std::string& name : Names()) {
        SCOPED_TRACE(name);
        const std::string path = dir + "\\" + name;
        EXPECT_NE(kInvalidFileAttributes, files().getAttributes(dir + "\\" + UpperAscii(name)));
        ASSERT_TRUE(files().setAttributes(path, kFileAttributeHidden));
        EXPECT_TRUE(files().getAttributes(path) & kFileAttributeHidden);
        std::uint32_t links = 0;
        EXPECT_EQ(kErrorSuccess, files().getLinkCount(path, &links));
        AccessList list;
        ASSERT_EQ(kErrorSuccess, access().readAccessList(path, SecurityObjectType::File, &list));
        EXPECT_EQ(kErrorSuccess, access().writeAccessList(path, SecurityObjectType::File, list));
        ASSERT_TRUE(files().setAttributes(path, 0));
        EXPECT_EQ(kErrorSuccess, files().deleteFile(path));
        EXPECT_EQ(kInvalidFileAttributes, files().getAttributes(path));
    }
}

TEST_F(UnicodeContract, ShortcutArgumentsRoundTripInAnyScript) {
    const std::string dir = world().scratchFolder() + "\\" + kCheckFolder;
    const std::string path = dir + "\\" + Names()[0];
    world().makeFolder(dir);
    world().makeShortcut(path, world().existingProgram(), kSite);
    if (CannotNameFiles(world(), files(), path))
        GTEST_SKIP() << "the host has no locale that can name the file";

    std::string read;
    EXPECT_EQ(kErrorSuccess, ReadArguments(shortcuts(), path, &read));
    EXPECT_EQ(kSite, read);
    const std::string arguments = "-\xE6\x96\xB0 \xF0\x9F\x99\x82";  // -新 🙂
    ASSERT_EQ(kErrorSuccess,
              shortcuts().writeShortcut(path, OpenMode::AsIs, ShortcutArguments(arguments)));
    EXPECT_EQ(kErrorSuccess, ReadArguments(shortcuts(), path, &read));
    EXPECT_EQ(arguments, read);

    // The 4095-unit limit counts UTF-16 units and keeps whole characters.
    std::string chinese;
    for (int i = 0; i < 5000; ++i) chinese += "\xE4\xB8\xAD";  // 中
    ASSERT_EQ(kErrorSuccess,
              shortcuts().writeShortcut(path, OpenMode::AsIs, ShortcutArguments(chinese)));
    EXPECT_EQ(kErrorSuccess, ReadArguments(shortcuts(), path, &read));
    EXPECT_LE(Utf16Length(read), 4095u);
    EXPECT_GT(Utf16Length(read), 4000u);
    EXPECT_EQ(chinese.substr(0, read.size()), read);
    EXPECT_EQ(0u, read.size() % 3);
}

// Each name: how many bytes its UTF-8 form takes.
struct KeyNameCase {
    const char* name;
    std::size_t bytes;
};

TEST_F(UnicodeContract, SubkeyNamesEnumerateAsUtf8AndTheBufferCountsBytes) {
    const KeyNameCase cases[] = {
        {"{\xE4\xB8\x84} IExplorer", 15},                       // {丄} IExplorer
        {"\xD0\x9A\xD0\xBB\xD1\x8E\xD1\x87 \xE2\x9C\x93", 12},  // Ключ ✓
        {"\xF0\x9F\x98\x80", 4},                                // 😀
    };
    const std::string path = world().scratchKey(kHKeyCurrentUser);
    for (const KeyNameCase& c : cases) {
        ScopedKey key(registry());
        ASSERT_EQ(kErrorSuccess, registry().createKey(kHKeyCurrentUser, path + "\\" + c.name,
                                                      kKeyRead, key.put()));
    }
    ScopedKey parent(registry());
    ASSERT_EQ(kErrorSuccess, registry().openKey(kHKeyCurrentUser, path, kKeyRead, parent.put()));
    std::vector<std::string> listed;
    for (std::uint32_t index = 0;; ++index) {
        char name[256];
        std::uint32_t size = sizeof name;
        if (registry().enumKey(parent.get(), index, name, &size) != kErrorSuccess)
            break;
        listed.emplace_back(name, size);
    }
    std::vector<std::string> expected;
    for (const KeyNameCase& c : cases) expected.push_back(c.name);
    EXPECT_EQ(Sorted(expected), Sorted(listed));

    for (const KeyNameCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto index = static_cast<std::uint32_t>(
            std::find(listed.begin(), listed.end(), c.name) - listed.begin());
        ASSERT_EQ(c.bytes, std::strlen(c.name));
        char name[64];
        std::uint32_t size = static_cast<std::uint32_t>(c.bytes);
        EXPECT_EQ(kErrorMoreData, registry().enumKey(parent.get(), index, name, &size));
        size = static_cast<std::uint32_t>(c.bytes + 1);
        ASSERT_EQ(kErrorSuccess, registry().enumKey(parent.get(), index, name, &size));
        EXPECT_EQ(c.bytes, size);
        EXPECT_STREQ(c.name, name);

        ScopedKey key(registry());
        EXPECT_EQ(kErrorSuccess,
                  registry().openKey(kHKeyCurrentUser, path + "\\" + UpperAscii(c.name), kKeyRead,
                                     key.put()));
        AccessList list;
        const std::string object = KeyObjectName(kHKeyCurrentUser, path + "\\" + c.name);
        EXPECT_EQ(kErrorSuccess,
                  access().readAccessList(object, SecurityObjectType::RegistryKey, &list));
    }
    for (const KeyNameCase& c : cases)
        EXPECT_EQ(kErrorSuccess, registry().deleteKey(kHKeyCurrentUser, path + "\\" + c.name));
}

// A name too long for the caller's buffer in UTF-8 is refused alone; the next index still
// enumerates.
TEST_F(UnicodeContract, NameLongerThanTheBufferInUtf8IsMoreDataAndEnumerationGoesOn) {
    const std::string path = world().scratchKey(kHKeyCurrentUser);
    std::string wide;
    for (int i = 0; i < 200; ++i) wide += "\xE4\xB8\xAD";  // 200 characters, 600 bytes
    for (const std::string& name : {std::string("a"), "b" + wide}) {
        ScopedKey key(registry());
        ASSERT_EQ(kErrorSuccess,
                  registry().createKey(kHKeyCurrentUser, path + "\\" + name, kKeyRead, key.put()));
    }
    ScopedKey parent(registry());
    ASSERT_EQ(kErrorSuccess, registry().openKey(kHKeyCurrentUser, path, kKeyRead, parent.put()));
    char name[256];
    std::uint32_t size = sizeof name;
    EXPECT_EQ(kErrorMoreData, registry().enumKey(parent.get(), 1, name, &size));
    size = sizeof name;
    ASSERT_EQ(kErrorSuccess, registry().enumKey(parent.get(), 0, name, &size));
    EXPECT_STREQ("a", name);
    size = sizeof name;
    EXPECT_EQ(kErrorNoMoreItems, registry().enumKey(parent.get(), 2, name, &size));
}

TEST_F(UnicodeContract, TextValueReadsAsUtf8WithItsTerminatorSizedInBytes) {
    const std::string path = world().scratchKey(kHKeyCurrentUser);
    const std::string valueName = "\xE5\x90\x8D\xE5\x89\x8D";  // 名前
    world().putText(kHKeyCurrentUser, path, valueName, kSite);
    ScopedKey key(registry());
    ASSERT_EQ(kErrorSuccess, registry().openKey(kHKeyCurrentUser, path, kKeyRead, key.put()));
    const auto needed = static_cast<std::uint32_t>(std::strlen(kSite) + 1);

    std::uint32_t type = kRegNone, size = 0;
    ASSERT_EQ(kErrorSuccess, registry().queryValue(key.get(), valueName, &type, nullptr, &size));
    EXPECT_EQ(kRegSz, type);
    EXPECT_EQ(needed, size);

    std::vector<std::uint8_t> buffer(needed + 1, 0xBD);
    size = needed - 1;
    EXPECT_EQ(kErrorMoreData,
              registry().queryValue(key.get(), valueName, &type, buffer.data(), &size));
    EXPECT_EQ(needed, size);
    size = needed;
    ASSERT_EQ(kErrorSuccess,
              registry().queryValue(key.get(), valueName, &type, buffer.data(), &size));
    EXPECT_EQ(needed, size);
    EXPECT_EQ(std::string(kSite) + '\0', std::string(buffer.begin(), buffer.begin() + size));
    EXPECT_EQ(0xBD, buffer[needed]) << "written beyond the buffer";
}

}  // namespace
}  // namespace brenvik::test
