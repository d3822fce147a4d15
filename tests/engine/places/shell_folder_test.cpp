#include "engine/places/shell_folder.h"

#include <gtest/gtest.h>

#include "tests/engine/model_world.h"

namespace brenvik {
namespace {

using testing::ModelWorld;

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

// A folder path of exactly `length` characters that exists in the world.
std::string FolderOfLength(ModelWorld& world, std::size_t length) {
    std::string path = "C:\\";
    path += std::string(length - path.size(), 'd');
    world.platform.addFolder(path);
    return path;
}

struct ValueCase {
    const char* name;
    std::uint32_t type;
    std::vector<std::uint8_t> data;
    std::string expected;  // "" for no folder
};

TEST(FindUserShellFolder, AcceptsOnlyTextValuesNamingAnExistingDirectory) {
    ModelWorld world;
    world.platform.addFile("C:\\Users\\u\\notes.txt");
    const std::string nul(1, '\0');
    const std::vector<ValueCase> cases = {
        {"stored with terminator", kRegSz, Bytes("C:\\Users\\u\\Desktop" + nul),
         "C:\\Users\\u\\Desktop"},
        {"expand type used as stored", kRegExpandSz, Bytes("C:\\Users\\u\\Desktop" + nul),
         "C:\\Users\\u\\Desktop"},
        {"unexpanded reference", kRegExpandSz, Bytes("%USERPROFILE%\\Desktop" + nul), ""},
        {"no terminator loses its last character", kRegSz, Bytes("C:\\Users\\u\\Desktopx"),
         "C:\\Users\\u\\Desktop"},
        {"text ends at the first NUL", kRegSz, Bytes("C:\\Users\\u\\Desktop" + nul + "junk" + nul),
         "C:\\Users\\u\\Desktop"},
        {"names a file", kRegSz, Bytes("C:\\Users\\u\\notes.txt" + nul), ""},
        {"names nothing", kRegSz, Bytes("C:\\Nowhere" + nul), ""},
        {"binary", kRegBinary, Bytes("C:\\Users\\u\\Desktop" + nul), ""},
        {"dword", kRegDword, {1, 0, 0, 0}, ""},
        {"empty", kRegSz, {}, ""},
        {"only a terminator", kRegSz, Bytes(nul), ""},
    };
    for (const ValueCase& c : cases) {
        world.platform.putValue(kHKeyCurrentUser, kShellFoldersKey, "Desktop", c.type, c.data);
        std::string folder = "stale";
        EXPECT_EQ(FindUserShellFolder(world.platform, world.platform, "Desktop", folder),
                  c.expected.size())
            << c.name;
        EXPECT_EQ(folder, c.expected) << c.name;
    }
    EXPECT_EQ(world.platform.openKeyCount(), 0u);
}

TEST(FindUserShellFolder, DataOf259BytesIsAcceptedAnd260IsNot) {
    ModelWorld world;
    const std::string nul(1, '\0');
    const std::string longest = FolderOfLength(world, 258);
    const std::string tooLong = FolderOfLength(world, 259);
    std::string folder;

    world.platform.putValue(kHKeyCurrentUser, kShellFoldersKey, "Desktop", kRegSz,
                            Bytes(longest + nul));
    EXPECT_EQ(FindUserShellFolder(world.platform, world.platform, "Desktop", folder), 258u);
    EXPECT_EQ(folder, longest);

    world.platform.putValue(kHKeyCurrentUser, kShellFoldersKey, "Desktop", kRegSz,
                            Bytes(tooLong + nul));
    EXPECT_EQ(FindUserShellFolder(world.platform, world.platform, "Desktop", folder), 0u);
    EXPECT_EQ(folder, "");
}

TEST(FindUserShellFolder, MissingKeyValueOrOversizedDataGivesNoFolder) {
    ModelWorld world;
    std::string folder;
    EXPECT_EQ(FindUserShellFolder(world.platform, world.platform, "Personal", folder), 0u);

    world.platform.putValue(kHKeyCurrentUser, kShellFoldersKey, "Desktop", kRegSz,
                            std::vector<std::uint8_t>(4097, 'a'));
    EXPECT_EQ(FindUserShellFolder(world.platform, world.platform, "Desktop", folder), 0u);

    world.platform.injectFailure("openKey", "*", kErrorAccessDenied);
    EXPECT_EQ(FindUserShellFolder(world.platform, world.platform, "AppData", folder), 0u);
    EXPECT_EQ(folder, "");
    EXPECT_EQ(world.platform.openKeyCount(), 0u);
}

}  // namespace
}  // namespace brenvik
