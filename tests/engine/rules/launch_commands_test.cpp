#include "engine/rules/launch_commands.h"

#include <gtest/gtest.h>

#include "tests/support/case_table.h"

namespace brenvik {
namespace {

const std::vector<std::string> kUserFolders = {"C:\\Users\\u\\AppData\\Roaming",
                                               "C:\\Users\\u\\AppData\\Local"};

#define CHROME "\"C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe\""
#define EDGE "\"C:\\Program Files (x86)\\Microsoft\\Edge\\Application\\msedge.exe\""
#define FIREFOX "\"C:\\Program Files\\Mozilla Firefox\\firefox.exe\""
#define IE "\"C:\\Program Files\\Internet Explorer\\iexplore.exe\""

TEST(JudgeLaunchCommand, AddressesAndLaunchersBeyondTheBrowsersOwnForms) {
    const struct {
        const char* command;
        bool browserOwned;
        LaunchHijack hijack;
        const char* site;
        const char* repaired;
    } cases[] = {
        // The browsers' own placeholder forms and the system's Internet shortcut handlers.
        {CHROME " --single-argument %1", true, LaunchHijack::None, "", ""},
        {CHROME " \"%1\"", true, LaunchHijack::None, "", ""},
        {EDGE " --single-argument %1", true, LaunchHijack::None, "", ""},
        {FIREFOX " -osint -url \"%1\"", true, LaunchHijack::None, "", ""},
        {IE " %1", true, LaunchHijack::None, "", ""},
        {"rundll32.exe \"C:\\Windows\\System32\\ieframe.dll\",OpenURL %l", true, LaunchHijack::None,
         "", ""},
        {"rundll32.exe url.dll,FileProtocolHandler %1", true, LaunchHijack::None, "", ""},
        {CHROME " --profile-directory=Default --single-argument %1", true, LaunchHijack::None, "",
         ""},
        // An address or a code-loading switch added: removed, the placeholder kept.
        {CHROME " http://hao.example/ --single-argument %1", true, LaunchHijack::Arguments,
         "http://hao.example/", CHROME " --single-argument %1"},
        {FIREFOX " -osint -url \"%1\" -url hao123.com", false, LaunchHijack::Arguments,
         "-url hao123.com", FIREFOX " -osint -url \"%1\""},
        {EDGE " --load-extension=C:\\x \"%1\"", true, LaunchHijack::Arguments,
         "--load-extension=C:\\x", EDGE " \"%1\""},
        {IE " www.hijack.example", true, LaunchHijack::Arguments, "www.hijack.example", IE},
        // A browser's command replaced by a launcher; judged only where a browser's is due.
        {"wscript.exe \"C:\\Users\\u\\AppData\\Roaming\\s.vbs\" \"%1\"", true,
         LaunchHijack::ReplacedTarget,
         "wscript.exe \"C:\\Users\\u\\AppData\\Roaming\\s.vbs\" \"%1\"", ""},
        {"C:\\Users\\u\\AppData\\Local\\Temp\\open.exe %1", true, LaunchHijack::ReplacedTarget,
         "C:\\Users\\u\\AppData\\Local\\Temp\\open.exe %1", ""},
        {"C:\\Users\\u\\go.cmd %1", true, LaunchHijack::ReplacedTarget, "C:\\Users\\u\\go.cmd %1",
         ""},
        {"rundll32.exe url.dll,FileProtocolHandler http://hao.example/", true,
         LaunchHijack::ReplacedTarget,
         "rundll32.exe url.dll,FileProtocolHandler http://hao.example/", ""},
        {"wscript.exe C:\\Users\\u\\AppData\\Roaming\\s.vbs \"%1\"", false, LaunchHijack::None, "",
         ""},
        {"\"C:\\Program Files\\Editor\\editor.exe\" \"%1\"", true, LaunchHijack::None, "", ""},
        {"", true, LaunchHijack::None, "", ""},
    };
    for (const auto& c : cases) {
        const LaunchVerdict verdict = JudgeLaunchCommand(c.command, c.browserOwned, kUserFolders);
        EXPECT_EQ(verdict.hijack, c.hijack) << c.command;
        EXPECT_EQ(verdict.site, c.site) << c.command;
        EXPECT_EQ(verdict.repaired, c.repaired) << c.command;
        EXPECT_EQ(verdict.refused, "") << c.command;
    }
}

TEST(StartupAddress, EveryFormThatOpensAnAddressAndTheBrowsersOwnEntries) {
    const test::TextCase cases[] = {
        {CHROME " http://start.example/", "http://start.example/"},
        {CHROME " --gpu-launcher=C:\\x.exe", "--gpu-launcher=C:\\x.exe"},
        {"cmd /c start http://a.example/", "http://a.example/"},
        {"C:\\Windows\\System32\\cmd.exe /C start \"\" https://b.example/", "https://b.example/"},
        {"cmd.exe /k \"start hao123.com\"", "hao123.com"},
        {"explorer.exe http://c.example/", "http://c.example/"},
        {"EXPLORER \"https://d.example/?q=1\"", "https://d.example/?q=1"},
        {"rundll32.exe url.dll,FileProtocolHandler http://e.example/", "http://e.example/"},
        {"rundll32 C:\\Windows\\System32\\ieframe.dll,OpenURL www.f.example", "www.f.example"},
        {"mshta.exe http://g.example/x.hta", "http://g.example/x.hta"},
        {"mshta \"javascript:alert(1)\"", "javascript:alert(1)"},
        {"mshta vbscript:Execute(\"x\")", "vbscript:Execute(x)"},
        {"http://bare.example/", "http://bare.example/"},
        {"\"https://quoted.example/\"", "https://quoted.example/"},
        // Never findings: a browser's own entry without an address, and programs that open none.
        {EDGE " --no-startup-window --win-session-start", ""},
        {CHROME " --no-startup-window", ""},
        {"cmd /c start C:\\Tools\\sync.exe", ""},
        {"cmd /c echo http://not-started.example/", ""},
        {"explorer.exe C:\\Users\\u\\Documents", ""},
        {"rundll32.exe shell32.dll,Control_RunDLL http://h.example/", ""},
        {"\"C:\\Program Files\\Sync\\sync.exe\" --url http://own.example/", ""},
        {"C:\\Windows\\System32\\SecurityHealthSystray.exe", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(StartupAddress(c.text), c.expected) << c.text;
}

}  // namespace
}  // namespace brenvik
