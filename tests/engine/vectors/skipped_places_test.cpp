// What a command could not examine is a result of its own: one "skipped" record per folder,
// file or key, with its reason, and exit code 2; a place that is simply not there is none.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "engine/commands/command_line.h"
#include "engine/commands/commands.h"
#include "engine/places/link_places.h"
#include "tests/engine/browser_world.h"
#include "tests/support/registry_names.h"

namespace brenvik {
namespace {

using test::kClassA;
using test::kMachineClasses;
using test::kNameSpace;
using testing::BrowserWorld;

struct SkipWorld : BrowserWorld {
    CommandHost commands{ports};
};

// "location|path|reason" of each skipped record, in order.
std::vector<std::string> SkippedOf(const CommandReport& report) {
    std::vector<std::string> skipped;
    for (const ResultRecord& record : report.records) {
        if (record.result == Outcome::Skipped)
            skipped.push_back(record.location + "|" + record.path + "|" + record.error);
    }
    return skipped;
}

std::string Under(const std::string& folder, const std::string& rest) {
    return std::string(folder) + "\\" + rest;
}

// Folders nested below the Start Menu one past the walk's depth: the last one is not walked.
std::string TooDeep(SkipWorld& world) {
    std::string folder = test::kStartMenu;
    for (int level = 1; level <= kMaxPlaceDepth + 1; ++level)
        folder += "\\D" + std::to_string(level);
    world.platform.addShortcut(folder + "\\Google Chrome.lnk", testing::kChrome, "http://deep/");
    return folder;
}

// A folder below the Start Menu whose path and "\*" pass MAX_PATH.
std::string TooLong(SkipWorld& world) {
    const std::string folder = Under(test::kStartMenu, std::string(100, 'a')) + "\\" +
                               std::string(100, 'b') + "\\" + std::string(40, 'c');
    world.platform.addFolder(folder);
    return folder;
}

struct SkipCase {
    const char* name;
    std::function<std::string(SkipWorld&)> arrange;  // returns the expected records' text
    int scanExit;
};

const SkipCase kCases[] = {
    {"a folder below the Start Menu that refuses listing",
     [](SkipWorld& w) {
         const std::string folder = Under(test::kStartMenu, "Programs\\Refusing");
         w.platform.addShortcut(folder + "\\Google Chrome.lnk", testing::kChrome, "http://x/");
         w.platform.setFileAccessList(folder, testing::DenyingAdministrators());
         return "Start Menu|" + folder + "|cannot be listed: access denied";
     },
     2},
    {"a junction below the common Start Menu",
     [](SkipWorld& w) {
         const std::string folder = Under(test::kCommonStartMenu, "Programs\\Linked");
         w.platform.addFolder(folder);
         w.platform.setReparsePoint(folder);
         return "Start Menu|" + folder + "|junction not followed";
     },
     2},
    {"a folder one level past the depth limit",
     [](SkipWorld& w) { return "Start Menu|" + TooDeep(w) + "|deeper than 6 folders"; }, 2},
    {"a folder whose listing would pass MAX_PATH",
     [](SkipWorld& w) { return "Start Menu|" + TooLong(w) + "|path too long"; }, 2},
    {"a Desktop that refuses listing, listed by two scanners",
     [](SkipWorld& w) {
         w.platform.setFileAccessList(testing::kDesktop, testing::DenyingAdministrators());
         return std::string("Desktop|") + testing::kDesktop + "|cannot be listed: access denied";
     },
     2},
    {"a listing broken off mid-way",
     [](SkipWorld& w) {
         w.platform.addFile(Under(test::kCommonStartup, "a.txt"));
         w.platform.addFile(Under(test::kCommonStartup, "b.txt"));
         w.platform.injectFailure("findNext", Under(test::kCommonStartup, "*"), kErrorAccessDenied);
         return std::string("Startup|") + test::kCommonStartup +
                "|listing broken off: access denied";
     },
     2},
    {"a name space key that cannot be opened",
     [](SkipWorld& w) {
         w.platform.addKey(kHKeyLocalMachine, kNameSpace);
         // Refused as is and through the backup privilege alike.
         for (const char* op : {"openKey", "openKeyForBackup"})
             w.platform.injectFailure(op, std::string("MACHINE\\") + kNameSpace,
                                      kErrorAccessDenied);
         return std::string("Desktop NameSpace|HKLM\\") + kNameSpace +
                "|cannot be opened: access denied";
     },
     2},
    {"a class's verbs that cannot be enumerated, met by both name space scanners",
     [](SkipWorld& w) {
         const std::string shell = std::string(kMachineClasses) + kClassA + "\\shell";
         w.platform.addKey(kHKeyLocalMachine, std::string(kNameSpace) + "\\" + kClassA);
         w.platform.addKey(kHKeyCurrentUser, std::string(kNameSpace) + "\\" + kClassA);
         w.platform.putString(kHKeyLocalMachine, shell + "\\open\\Command", "", "x.exe");
         w.platform.injectFailure("querySubkeyCount", "MACHINE\\" + shell, kErrorAccessDenied);
         return "Desktop NameSpace|HKLM\\" + shell + "|cannot be enumerated: access denied";
     },
     2},
    {"Shell Folders values that refuse reading",
     [](SkipWorld& w) {
         w.platform.injectFailure("queryValue", std::string("CURRENT_USER\\") + kShellFoldersKey,
                                  kErrorAccessDenied);
         const std::string value = std::string("|HKCU\\") + kShellFoldersKey + "\\";
         return "Quick Launch" + value + "AppData|cannot be read: access denied\n" + "Desktop" +
                value + "Desktop|cannot be read: access denied";
     },
     2},
    {"no Quick Launch folder at all: a normal absence",
     [](SkipWorld& w) {
         w.platform.setKnownFolder(KnownFolder::QuickLaunch, "C:\\Users\\u\\Gone\\Quick Launch");
         w.platform.putString(kHKeyCurrentUser, kShellFoldersKey, "AppData", "C:\\Users\\u\\Gone");
         return std::string();
     },
     0},
    {"a subfolder of a place walked alone is no skip",
     [](SkipWorld& w) {
         w.platform.addFolder(Under(testing::kDesktop, "Deny"));
         w.platform.setFileAccessList(Under(testing::kDesktop, "Deny"),
                                      testing::DenyingAdministrators());
         return std::string();
     },
     0},
};

TEST(SkippedPlaces, EachPlacePassedOverIsOneRecordWithItsReason) {
    for (const SkipCase& c : kCases) {
        SkipWorld world;
        const std::string expected = c.arrange(world);
        const CommandReport scan = ScanCommand(world.commands);
        // One expected record a line.
        std::vector<std::string> want;
        for (std::size_t at = 0; at < expected.size();) {
            const std::size_t end = std::min(expected.find('\n', at), expected.size());
            want.push_back(expected.substr(at, end - at));
            at = end + 1;
        }
        EXPECT_EQ(SkippedOf(scan), want) << c.name;
        EXPECT_EQ(ExitCode(LineCommand::Scan, Summarize(scan.records)), c.scanExit) << c.name;
        EXPECT_EQ(world.platform.openFindCount(), 0u) << c.name;
        EXPECT_EQ(world.platform.openKeyCount(), 0u) << c.name;

        // Fix meets the same places, says so once, and ends "partly".
        const CommandReport fix = FixCommand(world.commands);
        EXPECT_EQ(SkippedOf(fix), want) << c.name;
        EXPECT_EQ(ExitCode(LineCommand::Fix, Summarize(fix.records)), c.scanExit) << c.name;
    }
}

TEST(SkippedPlaces, ASkippedPlaceIsNoFindingAndFoundOnesStillCount) {
    SkipWorld world;
    world.platform.addShortcut(BrowserWorld::desktop("Internet Explorer.lnk"), "C:\\ie.exe",
                               "http://d/");
    const std::string refusing = Under(test::kStartMenu, "Refusing");
    world.platform.addFolder(refusing);
    world.platform.setFileAccessList(refusing, testing::DenyingAdministrators());

    const CommandReport scan = ScanCommand(world.commands);
    const Summary summary = Summarize(scan.records);
    EXPECT_EQ(summary.found, 1);
    EXPECT_EQ(summary.skipped, 1);
    EXPECT_EQ(ExitCode(LineCommand::Scan, summary), 2);

    // Fix repairs what it found and leaves the refusing folder as it was.
    const CommandReport fix = FixCommand(world.commands);
    const Summary fixed = Summarize(fix.records);
    EXPECT_EQ(fixed.fixed, 1);
    EXPECT_EQ(fixed.skipped, 1);
    EXPECT_EQ(ExitCode(LineCommand::Fix, fixed), 2);
    EXPECT_EQ(world.platform.fileAccessList(refusing), testing::DenyingAdministrators());
}

}  // namespace
}  // namespace brenvik
