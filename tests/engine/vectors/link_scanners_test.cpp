#include "engine/vectors/link_scanners.h"
#include "tests/support/scan_alone.h"

#include <gtest/gtest.h>

#include "tests/engine/model_world.h"
#include "tests/support/case_table.h"

namespace brenvik {
namespace {

using testing::ModelWorld;

TEST(NameRule, MatchesEitherNameAnywhereInTheLowercasedName) {
    const test::FlagCase cases[] = {
        {"internet explorer.lnk", true},
        {"my iexplorer page.lnk", true},
        {"launch internet explorer browser.lnk", true},
        {"xinternet explorerx", true},
        {"iexplore.lnk", false},
        {"internet_explorer.lnk", false},
        {"internet  explorer.lnk", false},
        {"Internet Explorer.lnk", false},  // the rule sees lowercased names only
        {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsSuspectLinkName(c.text), c.expected) << c.text;
}

TEST(DesktopLinkScanner, RecordsMatchingShortcutsWithArgumentsInListingOrder) {
    ModelWorld world;
    world.platform.addShortcut(ModelWorld::desktop("Internet Explorer.lnk"), "C:\\ie.exe",
                               "http://a.example/");
    world.platform.addShortcut(ModelWorld::desktop("Word.lnk"), "C:\\w.exe", "http://b.example/");
    world.platform.addShortcut(ModelWorld::desktop("My IExplorer Page.lnk"), "C:\\ie.exe", "-k");
    world.platform.addShortcut(ModelWorld::desktop("INTERNET EXPLORER (2).LNK"), "C:\\ie.exe", "");
    world.platform.addFile(ModelWorld::desktop("Internet Explorer.url"));
    world.platform.addShortcut(ModelWorld::desktop("IEXPLORER.LNK"), "C:\\ie.exe", "-new");

    DesktopLinkScanner scanner;
    EXPECT_TRUE(test::ScanAlone(scanner, world.broker));
    const FindingList expected = {
        {ModelWorld::desktop("Internet Explorer.lnk"), "http://a.example/"},
        {ModelWorld::desktop("My IExplorer Page.lnk"), "-k"},
        {ModelWorld::desktop("IEXPLORER.LNK"), "-new"},
    };
    ASSERT_EQ(scanner.findings().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(scanner.findings()[i].path, expected[i].path);
        EXPECT_EQ(scanner.findings()[i].site, expected[i].site);
    }
    EXPECT_EQ(world.platform.openKeyCount(), 0u);
    EXPECT_EQ(world.platform.openFindCount(), 0u);
}

TEST(DesktopLinkScanner, ResultTellsAMissingListingFromOneWithoutMatches) {
    ModelWorld world;
    DesktopLinkScanner empty;
    EXPECT_FALSE(
        test::ScanAlone(empty, world.broker));  // no .lnk at all: the listing does not start

    world.platform.addShortcut(ModelWorld::desktop("Word.lnk"), "C:\\w.exe", "x");
    DesktopLinkScanner noMatch;
    EXPECT_TRUE(test::ScanAlone(noMatch, world.broker));
    EXPECT_TRUE(noMatch.findings().empty());

    world.platform.putString(kHKeyCurrentUser, kShellFoldersKey, "Desktop", "C:\\Nowhere");
    DesktopLinkScanner noFolder;
    EXPECT_FALSE(test::ScanAlone(noFolder, world.broker));
}

TEST(DesktopLinkScanner, FolderValueGetsExactlyOneClosingBackslash) {
    ModelWorld world;
    world.platform.addShortcut("C:\\internet explorer.lnk", "C:\\ie.exe", "http://root.example/");
    world.platform.addShortcut(ModelWorld::desktop("internet explorer.lnk"), "C:\\ie.exe",
                               "http://d/");
    for (const char* value : {"C:\\", "C:\\Users\\u\\Desktop\\", "C:\\Users\\u\\Desktop"}) {
        world.platform.putString(kHKeyCurrentUser, kShellFoldersKey, "Desktop", value);
        DesktopLinkScanner scanner;
        ASSERT_TRUE(test::ScanAlone(scanner, world.broker)) << value;
        ASSERT_EQ(scanner.findings().size(), 1u) << value;
        const std::string& path = scanner.findings()[0].path;
        EXPECT_EQ(path.find("\\\\"), std::string::npos) << path;
    }
}

TEST(DesktopLinkScanner, FoldersUnreadableFilesAndVanishedFilesAreNoFindings) {
    ModelWorld world;
    world.platform.addFolder(ModelWorld::desktop("Internet Explorer.lnk"));
    world.platform.addFile(ModelWorld::desktop("iexplorer broken.lnk"));
    world.platform.addShortcut(ModelWorld::desktop("iexplorer gone.lnk"), "C:\\ie.exe",
                               "http://x/");
    world.platform.vanishAfterListing(ModelWorld::desktop("iexplorer gone.lnk"));
    world.platform.addShortcut(ModelWorld::desktop("Sub\\Internet Explorer.lnk"), "C:\\ie.exe",
                               "http://x/");

    DesktopLinkScanner scanner;
    EXPECT_TRUE(test::ScanAlone(scanner, world.broker));
    EXPECT_TRUE(scanner.findings().empty());
}

TEST(DesktopLinkScanner, DoubleByteNameIsFoundAndRemovedByItsListedName) {
    ModelWorld world;
    // 0x81 0x41 is one double-byte character; lowercasing turns its second byte into 0x61,
    // which names another file, so the file is reached by the name as listed.
    const std::string path = ModelWorld::desktop("Internet Explorer \x81\x41.lnk");
    world.platform.addShortcut(path, "C:\\ie.exe", "http://x/");
    DesktopLinkScanner scanner;
    EXPECT_TRUE(test::ScanAlone(scanner, world.broker));
    ASSERT_EQ(scanner.findings().size(), 1u);
    EXPECT_EQ(scanner.findings()[0].path, path);
    scanner.repair(world.broker);
    EXPECT_FALSE(world.platform.hasFile(path));
}

TEST(DesktopLinkScanner, PathsBeyondTheBufferAreSkippedNotTruncated) {
    ModelWorld world;
    const std::string folder = "C:\\" + std::string(240, 'f');
    world.platform.addFolder(folder);
    world.platform.putString(kHKeyCurrentUser, kShellFoldersKey, "Desktop", folder);
    // 244 + "internet explorer.lnk" (21) is 265 characters: too long for the buffer.
    world.platform.addShortcut(folder + "\\Internet Explorer.lnk", "C:\\ie.exe", "http://x/");
    world.platform.addShortcut(folder + "\\iexplorer.lnk", "C:\\ie.exe", "http://y/");
    DesktopLinkScanner scanner;
    EXPECT_TRUE(test::ScanAlone(scanner, world.broker));
    ASSERT_EQ(scanner.findings().size(), 1u);
    EXPECT_EQ(scanner.findings()[0].site, "http://y/");
}

TEST(DesktopLinkScanner, ScanLeavesEveryFileAsItFoundIt) {
    ModelWorld world;
    const std::string hijack = ModelWorld::desktop("Internet Explorer.lnk");
    const std::string plain = ModelWorld::desktop("iexplorer plain.lnk");
    const std::uint32_t attributes = kFileAttributeReadOnly | kFileAttributeHidden;
    world.platform.addShortcut(hijack, "C:\\ie.exe", "http://x/", attributes);
    world.platform.addShortcut(plain, "C:\\ie.exe", "", attributes);
    const AccessList before = world.platform.fileAccessList(hijack);

    DesktopLinkScanner scanner;
    test::ScanAlone(scanner, world.broker);
    EXPECT_EQ(scanner.findings().size(), 1u);
    for (const std::string& path : {hijack, plain}) {
        EXPECT_EQ(world.platform.fileAttributes(path), attributes) << path;
        EXPECT_EQ(world.platform.fileAccessList(path), before) << path;
    }
}

TEST(DesktopLinkScanner, LinkedEntriesAreReadButNeverUnlocked) {
    ModelWorld world;
    const std::string path = ModelWorld::desktop("Internet Explorer.lnk");
    world.platform.addShortcut(path, "C:\\ie.exe", "http://x/");
    world.platform.setLinkCount(path, 2);
    DesktopLinkScanner scanner;
    test::ScanAlone(scanner, world.broker);
    EXPECT_EQ(scanner.findings().size(), 1u);
    EXPECT_TRUE(world.platform.accessWrites().empty());
}

TEST(DesktopLinkScanner, RepairDeletesExactlyTheRecordedShortcutsEvenReadOnlyOnes) {
    ModelWorld world;
    world.platform.addShortcut(ModelWorld::desktop("Internet Explorer.lnk"), "C:\\ie.exe",
                               "http://x/", kFileAttributeReadOnly);
    world.platform.addShortcut(ModelWorld::desktop("iexplorer.lnk"), "C:\\ie.exe", "");
    world.platform.addShortcut(ModelWorld::desktop("Word.lnk"), "C:\\w.exe", "http://y/");

    DesktopLinkScanner notScanned;
    EXPECT_TRUE(notScanned.repair(world.broker));
    EXPECT_EQ(world.platform.folderEntries(testing::kDesktop).size(), 3u);

    DesktopLinkScanner scanner;
    test::ScanAlone(scanner, world.broker);
    // Added after the scan: the repair acts on what the scan recorded, nothing else.
    world.platform.addShortcut(ModelWorld::desktop("Internet Explorer 2.lnk"), "C:\\ie.exe",
                               "http://z/");
    EXPECT_TRUE(scanner.repair(world.broker));
    EXPECT_EQ(world.platform.folderEntries(testing::kDesktop),
              (std::vector<std::string>{"iexplorer.lnk", "Word.lnk", "Internet Explorer 2.lnk"}));
}

TEST(QuickLaunchLinkScanner, RepairClearsArgumentsAndKeepsTargetAttributesAndAccess) {
    ModelWorld world;
    const std::string path = world.quickLaunch("Launch Internet Explorer Browser.lnk");
    const std::uint32_t attributes = kFileAttributeReadOnly | kFileAttributeArchive;
    world.platform.addShortcut(path, "C:\\Program Files\\Internet Explorer\\iexplore.exe",
                               "http://hijack.example/", attributes);
    const AccessList before = world.platform.fileAccessList(path);

    QuickLaunchLinkScanner scanner;
    EXPECT_TRUE(test::ScanAlone(scanner, world.broker));
    ASSERT_EQ(scanner.findings().size(), 1u);
    EXPECT_EQ(scanner.findings()[0].path, path);
    EXPECT_TRUE(scanner.repair(world.broker));

    EXPECT_EQ(world.platform.shortcutArguments(path), "");
    EXPECT_EQ(world.platform.shortcutTarget(path),
              "C:\\Program Files\\Internet Explorer\\iexplore.exe");
    EXPECT_EQ(world.platform.fileAttributes(path), attributes);
    EXPECT_EQ(world.platform.fileAccessList(path), before);

    QuickLaunchLinkScanner again;
    test::ScanAlone(again, world.broker);
    EXPECT_TRUE(again.findings().empty());
}

TEST(QuickLaunchLinkScanner, LinkedShortcutIsNotRewritten) {
    ModelWorld world;
    const std::string path = world.quickLaunch("Internet Explorer.lnk");
    world.platform.addShortcut(path, "C:\\ie.exe", "http://x/");
    world.platform.setReparsePoint(path);
    QuickLaunchLinkScanner scanner;
    test::ScanAlone(scanner, world.broker);
    ASSERT_EQ(scanner.findings().size(), 1u);
    scanner.repair(world.broker);
    EXPECT_EQ(world.platform.shortcutArguments(path), "http://x/");
}

TEST(QuickLaunchLinkScanner, LooksOnlyInTheQuickLaunchFolderOfAppData) {
    ModelWorld world;
    world.platform.addShortcut(std::string(testing::kAppData) + "\\Internet Explorer.lnk",
                               "C:\\ie.exe", "http://x/");
    world.platform.addShortcut(ModelWorld::desktop("Internet Explorer.lnk"), "C:\\ie.exe",
                               "http://y/");
    QuickLaunchLinkScanner scanner;
    EXPECT_FALSE(test::ScanAlone(scanner, world.broker));
    EXPECT_TRUE(scanner.findings().empty());
}

}  // namespace
}  // namespace brenvik
