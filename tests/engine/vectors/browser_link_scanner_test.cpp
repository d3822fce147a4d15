#include "engine/vectors/browser_link_scanner.h"

#include <gtest/gtest.h>

#include "engine/commands/commands.h"
#include "engine/commands/driver.h"
#include "engine/places/link_places.h"
#include "tests/engine/browser_world.h"
#include "tests/support/row_view.h"
#include "tests/support/bare_commands.h"
#include "tests/support/case_table.h"

namespace brenvik {
namespace {

using testing::BrowserWorld;

struct Place {
    std::string folder;  // where the shortcut is put
    const char* label;
    bool machineWide;
};

// Every place, the Start Menus also in a subfolder.
const Place kPlaces[] = {
    {testing::kDesktop, "Desktop", false},
    {test::kPublicDesktop, "Public Desktop", true},
    {testing::kQuickLaunch, "Quick Launch", false},
    {std::string(testing::kQuickLaunch) + "\\User Pinned\\TaskBar", "Taskbar", false},
    {test::kStartMenu, "Start Menu", false},
    {std::string(test::kStartMenu) + "\\Programs\\Web", "Start Menu", false},
    {test::kCommonStartMenu, "Start Menu", true},
    {std::string(test::kCommonStartMenu) + "\\Programs", "Start Menu", true},
    {std::string(testing::kQuickLaunch) + "\\User Pinned\\StartMenu", "Start Menu", false},
    {test::kStartup, "Startup", false},
    {test::kCommonStartup, "Startup", true},
};

enum class Expect { Rewritten, Retargeted, Removed };

// One hijack of each rule: what it is, its row's site and what Fix leaves of it.
struct Hijack {
    const char* name;
    const char* target;  // null for an Internet shortcut, whose text is arguments
    const char* arguments;
    const char* site;
    Expect repair;
    const char* repairedTarget;
    const char* repairedArguments;
};

const Hijack kHijacks[] = {
    {"Google Chrome.lnk", testing::kChrome,
     "--profile-directory=Default  \"https://hao123.com/?tn=1\"", "https://hao123.com/?tn=1",
     Expect::Rewritten, testing::kChrome, "--profile-directory=Default"},
    {"Firefox.lnk", testing::kFirefox, "-P \"work\" www.example-hijack.net -no-remote",
     "www.example-hijack.net", Expect::Rewritten, testing::kFirefox, "-P \"work\" -no-remote"},
    {"chrome.lnk", testing::kChrome, "--load-extension=C:\\x --incognito", "--load-extension=C:\\x",
     Expect::Rewritten, testing::kChrome, "--incognito"},
    {"Microsoft Edge.lnk", "C:\\Windows\\System32\\cmd.exe", "/c start http://x.example",
     "C:\\Windows\\System32\\cmd.exe", Expect::Retargeted, testing::kEdge, ""},
    {"\xE7\x81\xAB\xE7\x8B\x90\xE6\xB5\x8F\xE8\xA7\x88\xE5\x99\xA8.lnk",  // 火狐浏览器
     "C:\\Users\\u\\AppData\\Roaming\\svc\\run.exe", "",
     "C:\\Users\\u\\AppData\\Roaming\\svc\\run.exe", Expect::Retargeted, testing::kFirefox, ""},
    {"Opera.lnk", "C:\\Users\\u\\AppData\\Local\\Temp\\go.vbs", "",
     "C:\\Users\\u\\AppData\\Local\\Temp\\go.vbs", Expect::Removed, nullptr,
     nullptr},  // no Opera registered
    {"Google Chrome.url", nullptr, "[InternetShortcut]\r\nURL=http://fake.example/chrome\r\n",
     "http://fake.example/chrome", Expect::Removed, nullptr, nullptr},
};

void Put(BrowserWorld& world, const std::string& path, const Hijack& hijack) {
    if (hijack.target == nullptr) {
        world.platform.addTextFile(path, hijack.arguments);
        return;
    }
    world.platform.addShortcut(path, hijack.target, hijack.arguments);
    world.platform.setShortcutWorkingFolder(path, "C:\\Work");
    world.platform.setShortcutIcon(path, "C:\\icons\\browser.ico");
}

std::vector<std::string> Rows(BrowserWorld& world) {
    test::RowView view("|", true);
    test::ScanRows(world.ports, view);
    return view.rows;
}

TEST(BrowserLinkScanner, EachRuleInEachPlaceIsOneRowAndItsRepair) {
    for (const Place& place : kPlaces) {
        for (const Hijack& hijack : kHijacks) {
            SCOPED_TRACE(place.folder + "\\" + hijack.name);
            BrowserWorld world;
            const std::string path = place.folder + "\\" + hijack.name;
            Put(world, path, hijack);
            EXPECT_EQ(Rows(world),
                      std::vector<std::string>{std::string(place.label) + "|" + hijack.site + "|"});

            test::Fix(world.ports);
            EXPECT_TRUE(Rows(world).empty());
            // Edge is registered for the user alone: no source for a place every user runs.
            const bool userSource =
                hijack.repairedTarget != nullptr && hijack.repairedTarget == testing::kEdge;
            if (hijack.repair == Expect::Removed ||
                (hijack.repair == Expect::Retargeted && place.machineWide && userSource)) {
                EXPECT_FALSE(world.platform.hasFile(path));
                continue;
            }
            EXPECT_EQ(world.platform.shortcutTarget(path), hijack.repairedTarget);
            EXPECT_EQ(world.platform.shortcutArguments(path), hijack.repairedArguments);
            EXPECT_EQ(world.platform.shortcutIcon(path), "C:\\icons\\browser.ico");
            EXPECT_EQ(world.platform.shortcutWorkingFolder(path), "C:\\Work");
            EXPECT_EQ(world.platform.openKeyCount(), 0u);
            EXPECT_EQ(world.platform.openFindCount(), 0u);
        }
    }
}

// A list an installer leaves: SYSTEM, the administrators and TrustedInstaller in full, users
// reading, CREATOR OWNER on what is created below, and a deny that only takes away.
AccessList InstalledList() {
    AccessList list;
    list.present = true;
    list.entries = {
        SidEntry(kAccessDeniedAceType, 0, 0x40000000, kEveryoneSid),
        SidEntry(kAccessAllowedAceType, 0, 0x1F01FF, "S-1-5-18"),
        SidEntry(kAccessAllowedAceType, 0, 0x1F01FF, kBuiltinAdministratorsSid),
        SidEntry(kAccessAllowedAceType, 0, 0x1F01FF,
                 "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"),
        SidEntry(kAccessAllowedAceType, 0, 0x1200A9, "S-1-5-32-545"),
        SidEntry(kAccessAllowedAceType, kInheritOnlyAce | kContainerInheritAce, kGenericAll,
                 "S-1-3-0"),
    };
    return list;
}

// A hijacked shortcut in a place every user runs from is pointed only at a browser the
// machine registers, in a file and folders only the administrators can change; otherwise it
// goes. A place of the user's own takes the user's registration as before.
TEST(BrowserLinkScanner, MachineWidePlacesTakeOnlyMachineWideSources) {
    const std::string edgeFolder = "C:\\Program Files (x86)\\Microsoft\\Edge\\Application";
    const AccessEntry usersWrite = SidEntry(kAccessAllowedAceType, 0, 0x2, "S-1-5-32-545");
    const AccessEntry othersInheritOnly =
        SidEntry(kAccessAllowedAceType, kInheritOnlyAce | kObjectInheritAce, 0x1301BF, "S-1-5-11");
    const AccessEntry creatorOwnerOnItself =
        SidEntry(kAccessAllowedAceType, 0, kGenericAll, "S-1-3-0");
    const struct {
        const char* name;
        std::string folder;      // where the shortcut is
        bool machineRegistered;  // Edge also under HKEY_LOCAL_MACHINE
        std::string opened;      // a file or folder whose list lets others change it, or ""
        AccessEntry extra;
        bool retargeted;
    } cases[] = {
        {"user registration only", test::kPublicDesktop, false, "", {}, false},
        {"user registration only, common Start Menu",
         std::string(test::kCommonStartMenu) + "\\Programs",
         false,
         "",
         {},
         false},
        {"machine registration", test::kPublicDesktop, true, "", {}, true},
        {"machine registration, common Startup", test::kCommonStartup, true, "", {}, true},
        {"its folder writable by users", test::kPublicDesktop, true, edgeFolder, usersWrite, false},
        {"the file writable by users", test::kCommonStartup, true, testing::kEdge, usersWrite,
         false},
        {"a folder above passes changes down to others", test::kPublicDesktop, true,
         "C:\\Program Files (x86)", othersInheritOnly, false},
        {"CREATOR OWNER on the folder itself", test::kPublicDesktop, true, edgeFolder,
         creatorOwnerOnItself, false},
        {"the user's own place takes the user's registration",
         testing::kDesktop,
         false,
         "",
         {},
         true},
        {"the user's own place takes a folder others can write", testing::kDesktop, true,
         edgeFolder, usersWrite, true},
    };
    for (const auto& c : cases) {
        BrowserWorld world;
        const std::string path = c.folder + "\\Microsoft Edge.lnk";
        world.platform.addShortcut(path, "C:\\Windows\\System32\\cmd.exe", "/c start http://x/");
        for (std::string object = testing::kEdge; object.size() > 2;
             object.resize(object.rfind('\\')))
            world.platform.setFileAccessList(object, InstalledList());
        if (c.machineRegistered)
            world.platform.putString(kHKeyLocalMachine, std::string(test::kAppPaths) + "msedge.exe",
                                     "", testing::kEdge);
        if (!c.opened.empty()) {
            AccessList list = InstalledList();
            list.entries.push_back(c.extra);
            world.platform.setFileAccessList(c.opened, list);
        }
        // Through the command the product runs: its record names what was done.
        CommandHost commands{world.ports};
        const CommandReport fix = FixCommand(commands);
        ASSERT_EQ(fix.records.size(), 1u) << c.name;
        EXPECT_EQ(fix.records[0].result, Outcome::Fixed) << c.name;
        if (c.retargeted) {
            EXPECT_EQ(world.platform.shortcutTarget(path), testing::kEdge) << c.name;
            EXPECT_EQ(fix.records[0].action, "rewrite target") << c.name;
        } else {
            EXPECT_FALSE(world.platform.hasFile(path)) << c.name;
            EXPECT_EQ(fix.records[0].action, "delete file") << c.name;
        }
    }
}

TEST(BrowserLinkScanner, LegitimateTwinsAreNeitherReportedNorChanged) {
    const Hijack twins[] = {
        {"Google Chrome.lnk",
         testing::kChrome,
         "--profile-directory=\"Profile 1\"",
         "",
         {},
         {},
         {}},
        {"Gmail.lnk", testing::kChrome, "https://mail.google.com", "", {}, {}, {}},
        {"YouTube.lnk",
         testing::kChrome,
         "--app=https://www.youtube.com/ --app-id=abc",
         "",
         {},
         {},
         {}},
        {"Firefox.lnk", testing::kFirefox, "-P \"work\" -no-remote", "", {}, {}, {}},
        {"Microsoft Edge.lnk", testing::kEdge, "--inprivate", "", {}, {}, {}},
        {"Brave.lnk", "C:\\Users\\u\\AppData\\Local\\BraveSoftware\\Brave.exe", "", "", {}, {}, {}},
        {"Notes.lnk", "C:\\Windows\\System32\\cmd.exe", "/c notes.bat", "", {}, {}, {}},
        {"Example.url",
         nullptr,
         "[InternetShortcut]\r\nURL=http://example.com/\r\n",
         "",
         {},
         {},
         {}},
    };
    BrowserWorld world;
    for (const Place& place : kPlaces) {
        for (const Hijack& twin : twins) Put(world, place.folder + "\\" + twin.name, twin);
    }
    EXPECT_TRUE(Rows(world).empty());
    test::Fix(world.ports);
    for (const Place& place : kPlaces) {
        for (const Hijack& twin : twins) {
            const std::string path = place.folder + "\\" + twin.name;
            ASSERT_TRUE(world.platform.hasFile(path)) << path;
            if (twin.target != nullptr) {
                EXPECT_EQ(world.platform.shortcutArguments(path), twin.arguments) << path;
            }
        }
    }
    EXPECT_TRUE(world.platform.accessWrites().empty()) << "nothing refused, nothing unlocked";
}

TEST(BrowserLinkScanner, TheInternetExplorerScannersRowsComeFirstAndNoFileTwice) {
    BrowserWorld world;
    // Both named like Internet Explorer: the older scanners report them, in their order.
    const char* ie = "C:\\Program Files\\Internet Explorer\\iexplore.exe";
    world.platform.addShortcut(BrowserWorld::desktop("Internet Explorer.lnk"), ie, "http://d/");
    world.platform.addShortcut(BrowserWorld::quickLaunch("Internet Explorer.lnk"), ie, "http://q/");
    world.platform.addShortcut(std::string(test::kStartMenu) + "\\Internet Explorer.lnk", ie,
                               "http://s/");
    world.platform.addShortcut(std::string(test::kPublicDesktop) + "\\Google Chrome.lnk",
                               testing::kChrome, "http://p/");
    EXPECT_EQ(Rows(world), (std::vector<std::string>{
                               "Quick Launch|http://q/|",
                               "Desktop|http://d/|",
                               "Public Desktop|http://p/|",
                               "Start Menu|http://s/|",
                           }));

    test::Fix(world.ports);
    EXPECT_FALSE(world.platform.hasFile(BrowserWorld::desktop("Internet Explorer.lnk")));
    EXPECT_EQ(world.platform.shortcutArguments(BrowserWorld::quickLaunch("Internet Explorer.lnk")),
              "");
}

TEST(BrowserLinkScanner, StartMenuDepthReparsePointsAndStartupInside) {
    BrowserWorld world;
    std::string deep = test::kStartMenu;
    for (int level = 1; level <= kMaxPlaceDepth + 1; ++level) {
        deep += "\\L" + std::to_string(level);
        world.platform.addShortcut(deep + "\\Google Chrome.lnk", testing::kChrome,
                                   "http://level" + std::to_string(level) + "/");
    }
    const std::string linked = std::string(test::kCommonStartMenu) + "\\Linked";
    world.platform.addShortcut(linked + "\\Google Chrome.lnk", testing::kChrome, "http://linked/");
    world.platform.setReparsePoint(linked);
    // The Startup folder lies inside the Start Menu: its rows carry its own label, once.
    world.platform.addShortcut(std::string(test::kStartup) + "\\Firefox.lnk", testing::kFirefox,
                               "http://startup/");
    // Quick Launch is its folder alone: its pinned subfolders are places of their own.
    world.platform.addShortcut(std::string(testing::kQuickLaunch) + "\\Sub\\Firefox.lnk",
                               testing::kFirefox, "http://sub/");

    std::vector<std::string> expected;
    for (int level = 1; level <= kMaxPlaceDepth; ++level)
        expected.push_back("Start Menu|http://level" + std::to_string(level) + "/|");
    expected.push_back("Startup|http://startup/|");
    // What the walk passes over is said, after the rows of the walk.
    expected.push_back(std::string("Start Menu|") + deep + "|Skipped: deeper than 6 folders");
    expected.push_back("Start Menu|" + linked + "|Skipped: junction not followed");
    EXPECT_EQ(Rows(world), expected);
}

TEST(BrowserLinkScanner, AFolderThatRefusesListingIsSkippedTheOthersAreNot) {
    BrowserWorld world;
    world.platform.addShortcut(BrowserWorld::desktop("Google Chrome.lnk"), testing::kChrome,
                               "http://desktop/");
    const std::string refusing = std::string(test::kStartMenu) + "\\Refusing";
    world.platform.addShortcut(refusing + "\\Google Chrome.lnk", testing::kChrome, "http://no/");
    world.platform.setFileAccessList(refusing, testing::DenyingAdministrators());
    world.platform.injectFailure("findFirst", test::kPublicDesktop, kErrorAccessDenied);
    world.platform.addShortcut(std::string(test::kStartup) + "\\Google Chrome.lnk",
                               testing::kChrome, "http://startup/");
    EXPECT_EQ(Rows(world),
              (std::vector<std::string>{
                  "Desktop|http://desktop/|", "Startup|http://startup/|",
                  std::string("Public Desktop|") + test::kPublicDesktop +
                      "|Skipped: cannot be listed: access denied",
                  "Start Menu|" + refusing + "|Skipped: cannot be listed: access denied"}));
    EXPECT_EQ(world.platform.openFindCount(), 0u);
}

TEST(BrowserLinkScanner, RefusingShortcutIsReadAndRepairedThroughTheBroker) {
    BrowserWorld world;
    const std::string path = std::string(test::kPublicDesktop) + "\\Google Chrome.lnk";
    world.platform.addShortcut(path, testing::kChrome, "http://refusing/");
    world.platform.setFileAccessList(path, testing::DenyingAdministrators());
    EXPECT_EQ(Rows(world), std::vector<std::string>{"Public Desktop|http://refusing/|"});
    test::Fix(world.ports);
    EXPECT_EQ(world.platform.shortcutArguments(path), "");
    EXPECT_EQ(world.platform.fileAccessList(path), testing::DenyingAdministrators());
}

TEST(BrowserLinkScanner, MissingKnownFoldersAreNoPlaces) {
    model::ModelPlatform platform;
    Ports ports = platform.ports();
    test::RowView view("|", true);
    test::ScanRows(ports, view);
    EXPECT_TRUE(view.rows.empty());
}

TEST(InternetShortcutUrl, TheUrlOfItsOwnSectionOnly) {
    const test::TextCase cases[] = {
        {"[InternetShortcut]\r\nURL=http://a.example/\r\n", "http://a.example/"},
        {"[{000214A0-0000-0000-C000-000000000046}]\nURL=x\n[internetshortcut]\nurl=http://b/",
         "http://b/"},
        {"[InternetShortcut]\nIconFile=c.ico\n", ""},
        {"URL=http://outside/\n", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(InternetShortcutUrl(c.text), c.expected) << c.text;
}

}  // namespace
}  // namespace brenvik
