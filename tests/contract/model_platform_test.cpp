// What only the model offers: failure injection, vanishing files, file access checks and
// the inspection the engine's tests rely on.
#include <gtest/gtest.h>

#include <functional>

#include "platform/model/model_platform.h"
#include "tests/support/shortcut_calls.h"

namespace brenvik::model {
namespace {

constexpr const char* kKey = "Software\\Brenvik";
constexpr const char* kDir = "C:\\Users\\u\\Desktop";
constexpr const char* kLink = "C:\\Users\\u\\Desktop\\Internet Explorer.lnk";

// The arguments of a shortcut; empty when it cannot be read.
std::string Arguments(ModelPlatform& model, const std::string& path) {
    std::string arguments;
    test::ReadArguments(model, path, &arguments);
    return arguments;
}

AccessList Denying(std::uint32_t mask, std::uint8_t flags = 0) {
    AccessList list = DefaultAccessList();
    AccessEntry deny;
    deny.type = kAccessDeniedAceType;
    deny.flags = flags;
    deny.mask = mask;
    deny.sid = kEveryoneSid;
    list.entries.insert(list.entries.begin(), deny);
    return list;
}

class ModelPlatformTest : public ::testing::Test {
protected:
    void SetUp() override {
        model.putString(kHKeyLocalMachine, std::string(kKey) + "\\sub", "v", "text");
        model.addShortcut(kLink, "C:\\ie.exe", "http://x/");
    }
    void TearDown() override {
        EXPECT_EQ(0u, model.openKeyCount());
        EXPECT_EQ(0u, model.openFindCount());
    }
    ModelPlatform model;
};

TEST_F(ModelPlatformTest, InjectedFailureHitsOnlyItsOperationAndObject) {
    const Status code = 1450;
    model.injectFailure("openKey", std::string("machine\\") + kKey + "\\SUB", code);
    ScopedKey key(model);
    EXPECT_EQ(code,
              model.openKey(kHKeyLocalMachine, std::string(kKey) + "\\sub", kKeyRead, key.put()));
    EXPECT_EQ(kErrorSuccess, model.openKey(kHKeyLocalMachine, kKey, kKeyRead, key.put()));
    // Relative to an open key, the object is still named from its root.
    ScopedKey sub(model);
    EXPECT_EQ(code, model.openKey(key.get(), "sub", kKeyRead, sub.put()));
    model.clearFailures();
    EXPECT_EQ(kErrorSuccess, model.openKey(key.get(), "sub", kKeyRead, sub.put()));
}

TEST_F(ModelPlatformTest, EveryOperationCanBeMadeToFail) {
    const Status code = kErrorAccessDenied;
    const std::string subPath = std::string(kKey) + "\\sub";
    ScopedKey key(model);
    ASSERT_EQ(kErrorSuccess, model.openKey(kHKeyLocalMachine, subPath, kKeyReadWrite, key.put()));
    struct Case {
        const char* op;
        std::function<bool()> fails;
    };
    const Case cases[] = {
        {"createKey",
         [&] {
             ScopedKey k(model);
             return model.createKey(kHKeyLocalMachine, "x", kKeyRead, k.put()) == code;
         }},
        {"querySubkeyCount",
         [&] {
             std::uint32_t n;
             return model.querySubkeyCount(key.get(), &n) == code;
         }},
        {"enumKey",
         [&] {
             char name[8];
             std::uint32_t size = sizeof name;
             return model.enumKey(key.get(), 0, name, &size) == code;
         }},
        {"queryValue",
         [&] { return model.queryValue(key.get(), "v", nullptr, nullptr, nullptr) == code; }},
        {"setValue", [&] { return model.setValue(key.get(), "v", kRegSz, nullptr, 0) == code; }},
        {"deleteKey", [&] { return model.deleteKey(kHKeyLocalMachine, subPath) == code; }},
        {"findFirst",
         [&] {
             FindEntry e;
             return model.findFirst(std::string(kDir) + "\\*.lnk", &e) == kNoFind;
         }},
        {"setAttributes", [&] { return !model.setAttributes(kLink, 0); }},
        {"deleteFile", [&] { return model.deleteFile(kLink) == code; }},
        {"readShortcut",
         [&] {
             std::string arguments;
             return test::ReadArguments(model, kLink, &arguments) == code && arguments.empty();
         }},
        {"writeShortcut",
         [&] { return model.writeShortcut(kLink, OpenMode::AsIs, ShortcutArguments("")) == code; }},
        {"readAccessList",
         [&] {
             AccessList l;
             return model.readAccessList(kLink, SecurityObjectType::File, &l) == code;
         }},
        {"writeAccessList",
         [&] {
             return model.writeAccessList(kLink, SecurityObjectType::File, AccessList{}) == code;
         }},
    };
    for (const Case& c : cases) {
        model.injectFailure(c.op, "*", code);
        EXPECT_TRUE(c.fails()) << c.op;
        model.clearFailures();
    }
    // Nothing was changed by the failed calls.
    EXPECT_TRUE(model.hasFile(kLink));
    EXPECT_EQ("http://x/", model.shortcutArguments(kLink).value_or(""));
    EXPECT_TRUE(model.hasKey(kHKeyLocalMachine, subPath));
    EXPECT_FALSE(model.hasKey(kHKeyLocalMachine, "x"));
    EXPECT_TRUE(model.accessWrites().empty());
}

TEST_F(ModelPlatformTest, ListingFailsPartWayWhenFindNextIsInjected) {
    model.addShortcut(std::string(kDir) + "\\b.lnk", "C:\\ie.exe", "");
    model.injectFailure("findNext", std::string(kDir) + "\\*.lnk", kErrorAccessDenied);
    FindEntry entry;
    ScopedFind find(model, model.findFirst(std::string(kDir) + "\\*.lnk", &entry));
    ASSERT_NE(kNoFind, find.get());
    EXPECT_EQ("Internet Explorer.lnk", entry.name);
    EXPECT_FALSE(model.findNext(find.get(), &entry));
}

TEST_F(ModelPlatformTest, VanishingFileIsGoneRightAfterItWasListed) {
    model.vanishAfterListing(kLink);
    FindEntry entry;
    ScopedFind find(model, model.findFirst(std::string(kDir) + "\\*.lnk", &entry));
    ASSERT_NE(kNoFind, find.get());
    EXPECT_EQ("Internet Explorer.lnk", entry.name);
    EXPECT_FALSE(model.hasFile(kLink));
    EXPECT_EQ("", Arguments(model, kLink));
    EXPECT_EQ(kInvalidFileAttributes, model.getAttributes(kLink));
}

TEST_F(ModelPlatformTest, FileOperationsNeedTheirRights) {
    struct Case {
        std::uint32_t denied;
        const char* what;
        std::function<bool()> works;
    };
    const Case cases[] = {
        {0x10000, "delete", [&] { return model.deleteFile(kLink) == kErrorSuccess; }},
        {0x1, "read data", [&] { return !Arguments(model, kLink).empty(); }},
        {0x2, "write data",
         [&] {
             return model.writeShortcut(kLink, OpenMode::AsIs, ShortcutArguments("http://x/")) ==
                    kErrorSuccess;
         }},
        {0x100, "write attributes", [&] { return model.setAttributes(kLink, 0); }},
    };
    for (const Case& c : cases) {
        model.setFileAccessList(kLink, Denying(c.denied));
        EXPECT_FALSE(c.works()) << c.what;
        EXPECT_TRUE(model.hasFile(kLink)) << c.what;
        // The owner may always rewrite the list.
        ASSERT_EQ(kErrorSuccess,
                  model.writeAccessList(kLink, SecurityObjectType::File, AccessList{}));
        EXPECT_TRUE(c.works()) << c.what;
        model.addShortcut(kLink, "C:\\ie.exe", "http://x/");
    }
}

TEST_F(ModelPlatformTest, KeyAccessFollowsTheEntriesInOrder) {
    struct Case {
        const char* what;
        AccessList list;
        Status expected;
    };
    AccessList allowFirst = DefaultAccessList();
    allowFirst.entries.push_back(Denying(kGenericAll).entries.front());
    const Case cases[] = {
        {"deny ahead of the allows", Denying(kGenericAll), kErrorAccessDenied},
        {"deny of other rights", Denying(0x10000), kErrorSuccess},
        {"inherit-only deny", Denying(kGenericAll, kInheritOnlyAce | kContainerInheritAce),
         kErrorSuccess},
        {"deny after the rights were granted", allowFirst, kErrorSuccess},
        {"empty list", AccessList{true, false, {}}, kErrorAccessDenied},
        {"null list", AccessList{}, kErrorSuccess},
    };
    for (const Case& c : cases) {
        model.setKeyAccessList(kHKeyLocalMachine, kKey, c.list);
        ScopedKey key(model);
        EXPECT_EQ(c.expected, model.openKey(kHKeyLocalMachine, kKey, kKeyRead, key.put()))
            << c.what;
        AccessList read;
        EXPECT_EQ(kErrorSuccess, model.readAccessList(std::string("MACHINE\\") + kKey,
                                                      SecurityObjectType::RegistryKey, &read))
            << c.what;
    }
}

TEST_F(ModelPlatformTest, AccessWritesAreRecordedInOrder) {
    const std::string keyName = std::string("MACHINE\\") + kKey;
    ASSERT_EQ(kErrorSuccess,
              model.writeAccessList(keyName, SecurityObjectType::RegistryKey, Denying(0x2)));
    ASSERT_EQ(kErrorSuccess, model.writeAccessList(kLink, SecurityObjectType::File, AccessList{}));
    EXPECT_EQ(
        kErrorInvalidParameter,
        model.writeAccessList("NOSUCHROOT\\x", SecurityObjectType::RegistryKey, AccessList{}));
    // A hive that is not loaded is a key that is not there.
    EXPECT_EQ(kErrorFileNotFound,
              model.writeAccessList("USERS\\S-1-5-21-0-0-0-1\\x", SecurityObjectType::RegistryKey,
                                    AccessList{}));
    ASSERT_EQ(2u, model.accessWrites().size());
    EXPECT_EQ(keyName, model.accessWrites()[0].first);
    EXPECT_EQ(Denying(0x2), model.accessWrites()[0].second);
    EXPECT_EQ(kLink, model.accessWrites()[1].first);
    EXPECT_EQ(Denying(0x2), model.keyAccessList(kHKeyLocalMachine, kKey));
}

TEST_F(ModelPlatformTest, LinkCountAndReparsePointAreReported) {
    std::uint32_t links = 0;
    ASSERT_EQ(kErrorSuccess, model.getLinkCount(kLink, &links));
    EXPECT_EQ(1u, links);
    model.setLinkCount(kLink, 3);
    ASSERT_EQ(kErrorSuccess, model.getLinkCount(kLink, &links));
    EXPECT_EQ(3u, links);
    EXPECT_EQ(kErrorPathNotFound, model.getLinkCount("C:\\none\\a.lnk", &links));
    EXPECT_EQ(kErrorFileNotFound, model.getLinkCount(std::string(kDir) + "\\none.lnk", &links));

    model.setReparsePoint(kLink);
    ASSERT_TRUE(model.setAttributes(kLink, 0));
    EXPECT_EQ(kFileAttributeReparsePoint, model.getAttributes(kLink));
    FindEntry entry;
    ScopedFind find(model, model.findFirst(std::string(kDir) + "\\*.lnk", &entry));
    EXPECT_EQ(kFileAttributeReparsePoint, entry.attributes);
}

TEST_F(ModelPlatformTest, FileWithoutAttributesReportsNormal) {
    ASSERT_TRUE(model.setAttributes(kLink, 0));
    EXPECT_EQ(kFileAttributeNormal, model.getAttributes(kLink));
    EXPECT_EQ(kFileAttributeNormal, model.fileAttributes(kLink));
    EXPECT_EQ(kFileAttributeDirectory, model.getAttributes(kDir));
    EXPECT_EQ(kFileAttributeDirectory, model.getAttributes("C:\\"));
}

TEST_F(ModelPlatformTest, PathsAreNormalisedAndLimitedToMaxPath) {
    EXPECT_NE(kInvalidFileAttributes, model.getAttributes("c:/users/U/./x/../desktop/"));
    const std::string longName = std::string(kDir) + "\\" + std::string(240, 'a') + ".lnk";
    // Such a file can exist; the wide calls without a long-path prefix cannot reach it.
    model.addShortcut(longName, "C:\\ie.exe", "http://x/");
    EXPECT_EQ(kInvalidFileAttributes, model.getAttributes(longName));
    EXPECT_EQ("", Arguments(model, longName));
    // The limit counts UTF-16 units: 230 Chinese characters are 690 bytes of UTF-8.
    std::string chinese;
    for (int i = 0; i < 230; ++i) chinese += "\xE4\xB8\xAD";  // 中
    const std::string chineseName = std::string(kDir) + "\\" + chinese + ".lnk";
    model.addShortcut(chineseName, "C:\\ie.exe", "http://x/");
    EXPECT_NE(kInvalidFileAttributes, model.getAttributes(chineseName));
    EXPECT_EQ("http://x/", Arguments(model, chineseName));
}

TEST_F(ModelPlatformTest, InspectionShowsWindowsOrder) {
    model.addKey(kHKeyCurrentUser, "K\\b");
    model.addKey(kHKeyCurrentUser, "K\\A");
    model.putDword(kHKeyCurrentUser, "K", "z", 1);
    model.putDword(kHKeyCurrentUser, "K", "a", 2);
    EXPECT_EQ((std::vector<std::string>{"A", "b"}), model.subkeyNames(kHKeyCurrentUser, "K"));
    EXPECT_EQ((std::vector<std::string>{"z", "a"}), model.valueNames(kHKeyCurrentUser, "k"));
    EXPECT_EQ((std::vector<std::uint8_t>{2, 0, 0, 0}),
              model.value(kHKeyCurrentUser, "K", "A")->data);
}

TEST_F(ModelPlatformTest, RootsAreNeverCountedOrClosed) {
    ScopedKey root(model);
    ASSERT_EQ(kErrorSuccess, model.openKey(kHKeyLocalMachine, "", kKeyRead, root.put()));
    EXPECT_EQ(kHKeyLocalMachine, root.get());
    EXPECT_EQ(0u, model.openKeyCount());
    ScopedKey key(model);
    ASSERT_EQ(kErrorSuccess, model.openKey(root.get(), kKey, kKeyRead, key.put()));
    EXPECT_EQ(1u, model.openKeyCount());
}

}  // namespace
}  // namespace brenvik::model
