// The vectors that start something whenever the user logs on or a browser starts: startup
// entries and debugger redirection. Each hijack beside its legitimate twin.
#include <gtest/gtest.h>

#include "engine/change/sddl.h"
#include "engine/commands/command_line.h"
#include "engine/commands/commands.h"
#include "engine/vectors/debugger_vector.h"
#include "engine/vectors/startup_vector.h"
#include "tests/engine/browser_world.h"

namespace brenvik {
namespace {

using testing::BrowserWorld;

constexpr const char* kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kRunOnce = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr const char* kPolicyRun =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run";
const std::string kOptions = kExecutionOptionsKeys[0];
const std::string kWowOptions = kExecutionOptionsKeys[1];
const std::string kChrome = testing::kChrome;
const std::string kClients = "Software\\Clients\\StartMenuInternet\\";
const std::string kOpen = "\\shell\\open\\command";

struct LaunchWorld : BrowserWorld {
    CommandHost commands{ports};

    LaunchWorld() {
        // Launch commands: an address added, a launcher put in, and Edge's own.
        platform.putString(kHKeyLocalMachine, kClients + "Google Chrome" + kOpen, "",
                           "\"" + kChrome + "\" http://launch.example/");
        platform.putString(kHKeyCurrentUser, kClients + "Firefox-308046B0AF4A39CB" + kOpen, "",
                           "wscript.exe C:\\Users\\u\\AppData\\Roaming\\f.vbs");
        platform.putString(kHKeyLocalMachine, kClients + "Microsoft Edge" + kOpen, "",
                           "\"C:\\Program Files (x86)\\Microsoft\\Edge\\Application\\msedge.exe\"");
        platform.putString(kHKeyCurrentUser, kRun, "Shop", "cmd /c start http://shop.example/");
        platform.putString(kHKeyCurrentUser, kRun, "MicrosoftEdgeAutoLaunch",
                           "\"C:\\Program Files (x86)\\Microsoft\\Edge\\Application\\msedge.exe\" "
                           "--no-startup-window --win-session-start");
        platform.putString(kHKeyCurrentUser, kRun, "Sync", "\"C:\\Sync\\sync.exe\" /background");
        platform.putDword(kHKeyCurrentUser, kRun, "Flags", 1);
        platform.putString(kHKeyLocalMachine, kRun, "Promo",
                           "\"" + kChrome + "\" http://promo.example/");
        platform.putString(kHKeyLocalMachine, kRunOnce, "Setup", "C:\\setup.exe /finish");
        platform.putString(kHKeyCurrentUser, kPolicyRun, "x", "mshta javascript:open('http://x/')");
        // Debuggers: a browser's, a browser's filter, and another program's (no finding).
        platform.putString(kHKeyLocalMachine, kOptions + "\\chrome.exe", "Debugger",
                           "C:\\Users\\u\\AppData\\Roaming\\r.exe");
        platform.putValue(kHKeyLocalMachine, kOptions + "\\firefox.exe", "MitigationOptions",
                          kRegBinary, {0, 1, 0, 0});
        platform.putString(kHKeyLocalMachine, kOptions + "\\notepad.exe", "Debugger", "C:\\n.exe");
        platform.putDword(kHKeyLocalMachine, kWowOptions + "\\msedge.exe", "UseFilter", 1);
        platform.putString(kHKeyLocalMachine, kWowOptions + "\\msedge.exe\\0", "FilterFullPath",
                           "C:\\Program Files (x86)\\Microsoft\\Edge\\Application\\msedge.exe");
        platform.putString(kHKeyLocalMachine, kWowOptions + "\\msedge.exe\\0", "Debugger",
                           "C:\\x.exe");
        // A silent-exit monitor that runs, and one whose flag is off.
        platform.putDword(kHKeyLocalMachine, kOptions + "\\opera.exe", "GlobalFlag", 0x202);
        platform.putString(kHKeyLocalMachine, std::string(kSilentExitKey) + "\\opera.exe",
                           "MonitorProcess", "C:\\m.exe http://monitor.example/");
        platform.putDword(kHKeyLocalMachine, std::string(kSilentExitKey) + "\\opera.exe",
                          "ReportingMode", 1);
        platform.putDword(kHKeyLocalMachine, kOptions + "\\brave.exe", "GlobalFlag", 0x2);
        platform.putString(kHKeyLocalMachine, std::string(kSilentExitKey) + "\\brave.exe",
                           "MonitorProcess", "C:\\m.exe");
    }

    // Every value of every key the vectors read, as text.
    std::string values() const {
        std::string out;
        const std::pair<RegKey, std::string> keys[] = {
            {kHKeyLocalMachine, kClients + "Google Chrome" + kOpen},
            {kHKeyCurrentUser, kClients + "Firefox-308046B0AF4A39CB" + kOpen},
            {kHKeyLocalMachine, kClients + "Microsoft Edge" + kOpen},
            {kHKeyCurrentUser, kRun},
            {kHKeyLocalMachine, kRun},
            {kHKeyLocalMachine, kRunOnce},
            {kHKeyCurrentUser, kPolicyRun},
            {kHKeyLocalMachine, kOptions + "\\chrome.exe"},
            {kHKeyLocalMachine, kOptions + "\\firefox.exe"},
            {kHKeyLocalMachine, kOptions + "\\notepad.exe"},
            {kHKeyLocalMachine, kWowOptions + "\\msedge.exe"},
            {kHKeyLocalMachine, kWowOptions + "\\msedge.exe\\0"},
            {kHKeyLocalMachine, kOptions + "\\opera.exe"},
            {kHKeyLocalMachine, kOptions + "\\brave.exe"},
            {kHKeyLocalMachine, std::string(kSilentExitKey) + "\\opera.exe"},
            {kHKeyLocalMachine, std::string(kSilentExitKey) + "\\brave.exe"},
        };
        for (const auto& [root, path] : keys) {
            out += path + " " + AccessListToSddl(platform.keyAccessList(root, path)) + "\n";
            for (const std::string& name : platform.valueNames(root, path)) {
                const auto value = platform.value(root, path, name);
                out += "  " + name + "=" + std::to_string(value->type) + ":" +
                       std::string(value->data.begin(), value->data.end()) + "\n";
            }
        }
        return out;
    }
};

// A default value's text without its terminator.
std::string TextOf(const model::ModelPlatform& platform, RegKey root, const std::string& path) {
    const std::optional<model::ModelValue> value = platform.value(root, path, "");
    return value ? std::string(value->data.begin(), value->data.end() - 1) : std::string();
}

std::vector<std::string> Rows(const CommandReport& report) {
    std::vector<std::string> rows;
    for (const ResultRecord& r : report.records)
        rows.push_back(r.location + "|" + r.rule + "|" + r.site + "|" + r.path + "|" +
                       OutcomeName(r.result) + "|" + r.action);
    return rows;
}

// Launch commands, then debuggers, then startup entries; the debuggers in the browser
// table's order (Edge before Chrome).
TEST(LaunchVectors, EachHijackOnceInTableOrderAndNoTwin) {
    LaunchWorld world;
    const std::string hkcuRun = std::string("HKCU\\") + kRun;
    const std::string options = "HKLM\\" + kOptions;
    EXPECT_EQ(
        Rows(ScanCommand(world.commands)),
        (std::vector<std::string>{
            "Browser Command|arguments|http://launch.example/|HKLM\\" + kClients + "Google Chrome" +
                kOpen + "|found|clear arguments",
            "Browser Command|replaced target|wscript.exe "
            "C:\\Users\\u\\AppData\\Roaming\\f.vbs|HKCU\\" +
                kClients + "Firefox-308046B0AF4A39CB" + kOpen + "|found|rewrite target",
            "Image File Execution|debugger|C:\\x.exe|HKLM\\" + kWowOptions +
                "\\msedge.exe\\0\\Debugger|found|delete value",
            "Image File Execution|debugger|C:\\Users\\u\\AppData\\Roaming\\r.exe|" + options +
                "\\chrome.exe\\Debugger|found|delete value",
            "Image File Execution|debugger|C:\\m.exe http://monitor.example/|HKLM\\" +
                std::string(kSilentExitKey) + "\\opera.exe\\MonitorProcess|found|delete value",
            "Run|startup|http://promo.example/|HKLM\\" + std::string(kRun) +
                "\\Promo|found|delete value",
            "Run|startup|http://shop.example/|" + hkcuRun + "\\Shop|found|delete value",
            "Run|startup|javascript:open('http://x/')|HKCU\\" + std::string(kPolicyRun) +
                "\\x|found|delete value",
        }));
    EXPECT_EQ(world.platform.openKeyCount(), 0u);
}

// Where both views show one key (Windows 7 on, and Wine), a debugger is one row; two views
// that differ each give theirs.
TEST(LaunchVectors, ADebuggerBothViewsShowIsOneRow) {
    BrowserWorld world;
    CommandHost commands{world.ports};
    for (const std::string& options : {kOptions, kWowOptions}) {
        world.platform.putString(kHKeyLocalMachine, options + "\\chrome.exe", "Debugger",
                                 "C:\\r.exe");
        world.platform.putString(kHKeyLocalMachine, options + "\\firefox.exe", "Debugger",
                                 options == kOptions ? "C:\\a.exe" : "C:\\b.exe");
    }
    std::vector<std::string> sites;
    for (const ResultRecord& r : ScanCommand(commands).records) sites.push_back(r.site);
    EXPECT_EQ(sites, (std::vector<std::string>{"C:\\r.exe", "C:\\a.exe", "C:\\b.exe"}));
}

// The repair deletes the hijacking values alone (the monitor's flag cleared, the others
// kept); the restore puts every byte and list back.
TEST(LaunchVectors, FixDeletesOnlyTheHijacksAndRestorePutsBackEveryByte) {
    LaunchWorld world;
    world.platform.setKeyAccessList(kHKeyLocalMachine, kRun, testing::DenyingAdministrators());
    const std::string before = world.values();
    const CommandReport fixed = FixCommand(world.commands);
    for (const ResultRecord& record : fixed.records)
        EXPECT_EQ(record.result, Outcome::Fixed) << record.path << " " << record.error;
    EXPECT_EQ(fixed.records.size(), 8u);
    EXPECT_EQ(fixed.records[0].action, "rewrite value") << "the action the backup set took";
    EXPECT_EQ(TextOf(world.platform, kHKeyLocalMachine, kClients + "Google Chrome" + kOpen),
              "\"" + kChrome + "\"");
    EXPECT_EQ(
        TextOf(world.platform, kHKeyCurrentUser, kClients + "Firefox-308046B0AF4A39CB" + kOpen),
        "\"" + std::string(testing::kFirefox) + "\"");
    EXPECT_EQ(world.platform.valueNames(kHKeyCurrentUser, kRun),
              (std::vector<std::string>{"MicrosoftEdgeAutoLaunch", "Sync", "Flags"}));
    EXPECT_TRUE(world.platform.valueNames(kHKeyLocalMachine, kRun).empty());
    EXPECT_FALSE(world.platform.value(kHKeyLocalMachine, kOptions + "\\chrome.exe", "Debugger"));
    EXPECT_TRUE(world.platform.value(kHKeyLocalMachine, kOptions + "\\notepad.exe", "Debugger"));
    EXPECT_EQ(world.platform.value(kHKeyLocalMachine, kOptions + "\\opera.exe", "GlobalFlag")->data,
              (std::vector<std::uint8_t>{2, 0, 0, 0}));
    EXPECT_TRUE(
        world.platform.valueNames(kHKeyLocalMachine, std::string(kSilentExitKey) + "\\opera.exe")
            .empty());
    EXPECT_EQ(world.platform.keyAccessList(kHKeyLocalMachine, kRun),
              testing::DenyingAdministrators())
        << "the grant that let the refusing key change is put back";
    EXPECT_TRUE(Rows(ScanCommand(world.commands)).empty());

    bool found = false;
    const CommandReport restored = RestoreCommand(world.commands, fixed.backup, &found);
    ASSERT_TRUE(found);
    for (const ResultRecord& record : restored.records)
        EXPECT_EQ(record.result, Outcome::Restored) << record.path << " " << record.error;
    EXPECT_EQ(world.values(), before);
}

// A launcher in a browser's launch command with no registration to give back: failed with
// the reason, nothing written.
TEST(LaunchVectors, AReplacedCommandWithoutARegistrationIsLeftAndSaysWhy) {
    BrowserWorld world;
    CommandHost commands{world.ports};
    const std::string brave = kClients + "Brave" + kOpen;
    world.platform.putString(kHKeyCurrentUser, brave, "", "C:\\Users\\u\\AppData\\Local\\b.exe");
    const CommandReport fixed = FixCommand(commands);
    ASSERT_EQ(fixed.records.size(), 1u);
    EXPECT_EQ(fixed.records[0].result, Outcome::Failed);
    EXPECT_EQ(fixed.records[0].error, "no registration of the browser to restore");
    EXPECT_EQ(TextOf(world.platform, kHKeyCurrentUser, brave),
              "C:\\Users\\u\\AppData\\Local\\b.exe");
}

// Handlers: an address added to a browser's handler, a browser's handler that the browser's
// Capabilities name turned into a launcher, and the legitimate forms beside them.
TEST(HandlerVector, BrowsersHandlersAreCleanedOrGivenTheirBrowserBackAndRestored) {
    BrowserWorld world;
    CommandHost commands{world.ports};
    const std::string classes = "Software\\Classes\\";
    const std::string firefoxUrl = "FirefoxURL-308046B0AF4A39CB";
    world.platform.putString(kHKeyCurrentUser, classes + "ChromeHTML" + kOpen, "",
                             "\"" + kChrome + "\" --single-argument %1 http://hao.example/");
    world.platform.putString(kHKeyLocalMachine,
                             kClients + "Firefox-308046B0AF4A39CB\\Capabilities\\URLAssociations",
                             "http", firefoxUrl);
    world.platform.putString(kHKeyLocalMachine, classes + firefoxUrl + kOpen, "",
                             "C:\\Users\\u\\AppData\\Local\\Temp\\f.exe %1");
    world.platform.putString(
        kHKeyLocalMachine, classes + "MSEdgeHTM" + kOpen, "",
        "\"C:\\Program Files (x86)\\Microsoft\\Edge\\Application\\msedge.exe\" "
        "--single-argument %1");
    world.platform.putString(kHKeyLocalMachine, classes + "InternetShortcut" + kOpen, "",
                             "rundll32.exe \"C:\\Windows\\System32\\ieframe.dll\",OpenURL %l");
    const auto values = [&world, &classes, &firefoxUrl] {
        return std::vector<std::string>{
            TextOf(world.platform, kHKeyCurrentUser, classes + "ChromeHTML" + kOpen),
            TextOf(world.platform, kHKeyLocalMachine, classes + firefoxUrl + kOpen),
            TextOf(world.platform, kHKeyLocalMachine, classes + "MSEdgeHTM" + kOpen),
            TextOf(world.platform, kHKeyLocalMachine, classes + "InternetShortcut" + kOpen)};
    };
    const std::vector<std::string> before = values();
    EXPECT_EQ(Rows(ScanCommand(commands)),
              (std::vector<std::string>{
                  "Protocol Handler|arguments|http://hao.example/|HKCU\\" + classes + "ChromeHTML" +
                      kOpen + "|found|clear arguments",
                  "Protocol Handler|replaced target|C:\\Users\\u\\AppData\\Local\\Temp\\f.exe "
                  "%1|HKLM\\" +
                      classes + firefoxUrl + kOpen + "|found|rewrite target"}));
    const CommandReport fixed = FixCommand(commands);
    for (const ResultRecord& record : fixed.records)
        EXPECT_EQ(record.result, Outcome::Fixed) << record.path;
    std::vector<std::string> repaired = before;
    repaired[0] = "\"" + kChrome + "\" --single-argument %1";
    repaired[1] = "\"" + std::string(testing::kFirefox) + "\" -osint -url \"%1\"";
    EXPECT_EQ(values(), repaired);
    bool found = false;
    RestoreCommand(commands, fixed.backup, &found);
    EXPECT_EQ(values(), before);
}

// A choice Windows protects is never changed: one that names no browser, or nothing
// registered, is listed report-only, counted apart, and left alone by Fix.
TEST(HandlerVector, AUserChoiceThatOpensNoBrowserIsReportedOnly) {
    BrowserWorld world;
    CommandHost commands{world.ports};
    const std::string choices =
        "Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\";
    world.platform.putString(kHKeyCurrentUser, choices + "http\\UserChoice", "ProgId", "ShadyURL");
    world.platform.putString(kHKeyCurrentUser, "Software\\Classes\\ShadyURL\\shell\\open\\command",
                             "", "C:\\Users\\u\\AppData\\Roaming\\x.exe %1");
    world.platform.putString(kHKeyCurrentUser, choices + "https\\UserChoice", "ProgId",
                             "ChromeHTML");
    world.platform.putString(kHKeyLocalMachine,
                             "Software\\Classes\\ChromeHTML\\shell\\open\\command", "",
                             "\"" + kChrome + "\" --single-argument %1");
    world.platform.putString(
        kHKeyCurrentUser,
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.html\\UserChoice",
        "ProgId", "Missing");
    const CommandReport scan = ScanCommand(commands);
    const std::vector<std::string> rows = {
        "Protocol Handler|user choice|ShadyURL: C:\\Users\\u\\AppData\\Roaming\\x.exe %1|HKCU\\" +
            choices + "http\\UserChoice\\ProgId|report only|none: choose the browser in Settings",
        "Protocol Handler|user choice|Missing: not registered|HKCU\\Software\\Microsoft\\Windows\\"
        "CurrentVersion\\Explorer\\FileExts\\.html\\UserChoice\\ProgId|report only|none: choose "
        "the "
        "browser in Settings"};
    EXPECT_EQ(Rows(scan), rows);
    const Summary summary = Summarize(scan.records);
    EXPECT_EQ(summary.found, 0);
    EXPECT_EQ(summary.reported, 2);
    EXPECT_EQ(ExitCode(LineCommand::Scan, summary), kExitDone);
    EXPECT_EQ(Rows(FixCommand(commands)), rows);
    EXPECT_EQ(
        world.platform.value(kHKeyCurrentUser, choices + "http\\UserChoice", "ProgId")->data.size(),
        sizeof "ShadyURL");
}

}  // namespace
}  // namespace brenvik
