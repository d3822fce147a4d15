#include "engine/rules/browser_shortcut_rules.h"

#include <gtest/gtest.h>

#include "tests/support/case_table.h"

namespace brenvik {
namespace {

constexpr const char* kChrome = "C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe";
constexpr const char* kFirefox = "C:\\Program Files\\Mozilla Firefox\\firefox.exe";

const std::vector<std::string> kUserFolders = {"C:\\Users\\u\\AppData\\Roaming",
                                               "C:\\Users\\u\\AppData\\Local\\",
                                               "c:/users/u/appdata/local/temp"};

TEST(BrowserShortcut, ArgumentsAreJudgedOnlyOnABrowsersOwnShortcutToABrowser) {
    const struct {
        const char* name;
        const char* target;
        const char* arguments;
        std::vector<std::string> findings;
        const char* repaired;
    } cases[] = {
        {"Google Chrome.lnk", kChrome, "https://hao123.com", {"https://hao123.com"}, ""},
        {"chrome.lnk", kChrome, "--incognito hao123.com", {"hao123.com"}, "--incognito"},
        // The user's own shortcut to a site, and a browser's name over some other program.
        {"Gmail.lnk", kChrome, "https://mail.google.com", {}, "https://mail.google.com"},
        {"Google Chrome.lnk", "C:\\Tools\\viewer.exe", "hao123.com", {}, "hao123.com"},
        // The target's family decides: -P takes its value in Firefox only.
        {"Firefox.lnk", kFirefox, "-P hao123.com", {}, "-P hao123.com"},
        {"Google Chrome.lnk", kFirefox, "-P hao123.com", {}, "-P hao123.com"},
        {"Firefox.lnk", kChrome, "-P hao123.com", {"hao123.com"}, "-P"},
    };
    for (const auto& c : cases) {
        const ArgumentVerdict verdict = JudgeBrowserShortcut(c.name, c.target, c.arguments);
        EXPECT_EQ(verdict.findings, c.findings) << c.name << " | " << c.arguments;
        EXPECT_EQ(verdict.repaired, c.repaired) << c.name << " | " << c.arguments;
    }
}

TEST(BrowserShortcut, LaunchersAreScriptHostsScriptsAndProgramsInTheUsersFolders) {
    const test::FlagCase cases[] = {
        {"C:\\Windows\\System32\\cmd.exe", true},
        {"\"C:\\Windows\\System32\\WScript.exe\"", true},
        {"cscript.exe", true},
        {"C:\\Windows\\SysWOW64\\mshta.exe", true},
        {"C:\\Windows\\System32\\rundll32.exe", true},
        {"C:\\Windows\\System32\\WindowsPowerShell\\v1.0\\powershell.exe", true},
        {"D:\\x\\start.BAT", true},
        {"D:\\x\\start.cmd", true},
        {"D:\\x\\open.vbs", true},
        {"D:\\x\\open.js", true},
        {"D:\\x\\open.hta", true},
        {"D:\\x\\Google Chrome.url", true},
        {"C:\\Users\\u\\AppData\\Roaming\\x\\run.exe", true},
        {"C:\\USERS\\U\\APPDATA\\LOCAL\\TEMP\\a.exe", true},
        {"C:/Users/u/AppData/Local/y/z.exe", true},
        // Browsers installed per user, and programs elsewhere or beside the folders.
        {"C:\\Users\\u\\AppData\\Local\\Google\\Chrome\\Application\\chrome.exe", false},
        {"C:\\Users\\u\\AppData\\Roaming\\360se6\\Application\\360se.exe", false},
        {"C:\\Users\\u\\AppData\\Local\\Programs\\Opera\\launcher.exe", false},
        {"C:\\Users\\u\\AppData\\RoamingX\\run.exe", false},
        {"C:\\Users\\u\\AppData\\Roaming", false},
        {"C:\\Program Files\\Tools\\viewer.exe", false},
        {"C:\\x\\cmd.exe.txt", false},
        {"C:\\x\\readme.json", false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsNonBrowserLauncher(c.text, kUserFolders), c.expected) << c.text;
}

TEST(BrowserShortcut, ReplacedTargetNamesTheBrowserTheShortcutClaims) {
    const struct {
        const char* name;
        const char* icon;
        const char* target;
        const char* claimed;
    } cases[] = {
        {"Google Chrome.lnk", "", "C:\\Windows\\System32\\cmd.exe", "chrome.exe"},
        {"Microsoft Edge.lnk", kChrome, "C:\\x\\open.vbs", "msedge.exe"},  // the name first
        {"Internet.lnk", kChrome, "C:\\Windows\\System32\\mshta.exe", "chrome.exe"},
        {"Internet.lnk", "\"C:\\x\\FIREFOX.EXE\"", "C:\\Users\\u\\AppData\\Local\\a.exe",
         "firefox.exe"},
        // Not claiming a browser, or still pointing at one, or at an ordinary program.
        {"Internet.lnk", "C:\\Windows\\System32\\shell32.dll", "C:\\x\\open.vbs", "(none)"},
        {"Google Chrome.lnk", "", kFirefox, "(none)"},
        {"Google Chrome.lnk", kChrome, "C:\\Program Files\\Tools\\viewer.exe", "(none)"},
        {"launcher.lnk", "", "C:\\Games\\launcher.bat", "(none)"},
    };
    for (const auto& c : cases) {
        const Browser* claimed = ReplacedBrowserTarget(c.name, c.icon, c.target, kUserFolders);
        EXPECT_EQ(claimed != nullptr ? claimed->executable : "(none)", c.claimed) << c.name;
    }
}

// The process a came-back hijack's launcher would show as running.
TEST(BrowserShortcut, ALaunchersImageIsItsOwnOrItsScriptsHost) {
    const struct {
        const char* program;
        const char* image;
    } cases[] = {
        {"C:\\Windows\\System32\\WScript.exe", "wscript.exe"},
        {"\"C:\\Windows\\System32\\mshta.exe\"", "mshta.exe"},
        {"C:\\x\\open.VBS", "wscript.exe"},
        {"C:\\x\\page.hta", "mshta.exe"},
        {"\"C:\\x\\run me.cmd\"", "cmd.exe"},
        {"C:\\Users\\u\\AppData\\Local\\a.exe", "a.exe"},
        {"C:\\x\\shop.url", ""},  // opened by the shell, no process of its own
    };
    for (const auto& c : cases) EXPECT_EQ(LauncherImageName(c.program), c.image) << c.program;
}

}  // namespace
}  // namespace brenvik
