#include "engine/vectors/browser_name_space_scanner.h"

#include <gtest/gtest.h>

#include "engine/change/work_places.h"
#include "engine/commands/driver.h"
#include "tests/engine/browser_world.h"
#include "tests/support/bare_commands.h"
#include "tests/support/registry_names.h"
#include "tests/support/row_view.h"

namespace brenvik {
namespace {

using test::kMachineClasses;
using test::kNameSpace;
using test::kUserClasses;
using testing::BrowserWorld;

TEST(OpensAddressInOtherBrowser, BrowsersOtherThanInternetExplorerWithAnAddress) {
    const struct {
        const char* command;
        bool opens;
        const char* site;
    } cases[] = {
        {"\"C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe\" http://a.example/", true,
         "http://a.example/"},
        {"C:\\Program Files\\Mozilla Firefox\\firefox.exe -url hao123.com", true,
         "-url hao123.com"},
        {"msedge.exe --app=https://shop.example/", true, "--app=https://shop.example/"},
        {"chrome.exe --profile-directory=Default", false, ""},
        {"chrome.exe \"%1\"", false, ""},
        {"iexplore.exe http://ie.example/", false, ""},
        {"notepad.exe http://n.example/", false, ""},
        {"chrome.exe Brave.exe", false, ""},
    };
    for (const auto& c : cases) {
        std::string site;
        EXPECT_EQ(OpensAddressInOtherBrowser(c.command, &site), c.opens) << c.command;
        EXPECT_EQ(site, c.site) << c.command;
    }
}

void AddEntry(BrowserWorld& world, RegKey root, RegKey classStore, const std::string& classId,
              const char* verb, const char* command) {
    world.platform.addKey(root, std::string(kNameSpace) + "\\" + classId);
    const std::string classes = classStore == kHKeyLocalMachine ? kMachineClasses : kUserClasses;
    world.platform.putString(classStore, classes + classId + "\\shell\\" + verb + "\\Command", "",
                             command);
}

TEST(BrowserNameSpaceScanner, EntriesOfBothRootsAfterTheInternetExplorerOnesOnce) {
    BrowserWorld world;
    const std::string ie = "{10000000-0000-0000-0000-000000000001}";
    const std::string machine = "{10000000-0000-0000-0000-000000000002}";
    const std::string user = "{10000000-0000-0000-0000-000000000003}";
    const std::string userClass = "{10000000-0000-0000-0000-000000000004}";
    const std::string genuine = "{10000000-0000-0000-0000-000000000005}";
    // The Internet Explorer entry also has a Chrome verb: it is reported once, by the older rule.
    AddEntry(world, kHKeyLocalMachine, kHKeyLocalMachine, ie, "open", "iexplore.exe http://ie/");
    AddEntry(world, kHKeyLocalMachine, kHKeyLocalMachine, ie, "go", "chrome.exe http://ie2/");
    AddEntry(world, kHKeyLocalMachine, kHKeyLocalMachine, machine, "open",
             "\"C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe\" http://machine/");
    AddEntry(world, kHKeyCurrentUser, kHKeyLocalMachine, user, "open",
             "firefox.exe www.user.example");
    // A per-user class registration is what the shell opens for it.
    AddEntry(world, kHKeyCurrentUser, kHKeyCurrentUser, userClass, "open", "msedge.exe http://uc/");
    AddEntry(world, kHKeyCurrentUser, kHKeyLocalMachine, genuine, "open", "explorer.exe /e,");

    test::RowView view;
    test::ScanRows(world.ports, view);
    EXPECT_EQ(view.rows, (std::vector<std::string>{
                             "Desktop NameSpace|http://ie/",
                             "Desktop NameSpace|http://machine/",
                             "Desktop NameSpace|www.user.example",
                             "Desktop NameSpace|http://uc/",
                         }));

    test::Fix(world.ports);
    EXPECT_TRUE(world.platform.subkeyNames(kHKeyLocalMachine, kNameSpace).empty());
    EXPECT_EQ(world.platform.subkeyNames(kHKeyCurrentUser, kNameSpace),
              std::vector<std::string>{genuine});
    EXPECT_TRUE(world.platform.hasKey(kHKeyLocalMachine, "SOFTWARE\\Classes\\CLSID\\" + machine))
        << "the class registration stays";
    EXPECT_EQ(world.platform.openKeyCount(), 0u);
}

TEST(WorkPlaces, TheBrowserRulesPlacesAndKeys) {
    BrowserWorld world;
    const WorkPlaces places = DeclaredPlaces(world.ports);
    const std::string startMenu = test::kStartMenu;
    const std::string user = std::string("USERS\\") + model::kModelUserSid + "\\";
    const struct {
        SecurityObjectType type;
        std::string object;
        bool accepted;
    } cases[] = {
        {SecurityObjectType::File, std::string(test::kPublicDesktop) + "\\Chrome.lnk", true},
        {SecurityObjectType::File, std::string(test::kStartup) + "\\Firefox.url", true},
        {SecurityObjectType::File,
         std::string(testing::kQuickLaunch) + "\\User Pinned\\TaskBar\\Edge.lnk", true},
        {SecurityObjectType::File, startMenu + "\\Programs\\a\\b\\c\\d\\e\\Chrome.lnk", true},
        {SecurityObjectType::File, startMenu + "\\Programs\\a\\b\\c\\d\\e\\f\\Chrome.lnk", false},
        {SecurityObjectType::File, startMenu + "\\Programs\\..\\..\\Chrome.lnk", false},
        {SecurityObjectType::File, startMenu + "\\Programs\\Chrome.exe", false},
        {SecurityObjectType::File, std::string(test::kPublicDesktop) + "\\sub\\Chrome.lnk", false},
        {SecurityObjectType::RegistryKey, user + kNameSpace + "\\{x}", true},
        {SecurityObjectType::RegistryKey, user + kUserClasses + "{x}\\shell\\o", true},
        {SecurityObjectType::RegistryKey, user + kUserClasses + "{x}", false},
        {SecurityObjectType::RegistryKey,
         "MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\chrome.exe", true},
        {SecurityObjectType::RegistryKey, user + "Software\\Microsoft\\Windows\\Run", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsWorkPlace({c.type, c.object, {}, 0}, places), c.accepted) << c.object;
}

}  // namespace
}  // namespace brenvik
