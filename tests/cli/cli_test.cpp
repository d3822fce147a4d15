// brenvik.com under Wine on a hijacked profile: scan, fix, restore last (twice), a conflict,
// the listing and the usage, each checked by its exit code, its output and the profile.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>

#include <cctype>
#include <cstring>
#include <memory>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/win32/command_lock.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"
#include "tests/cli/com_run.h"
#include "tests/e2e/e2e_world.h"
#include "tests/support/logon_task.h"
#include "tests/support/win32_world.h"
#include "tests/support/wine_path.h"

namespace brenvik::test {
namespace {

// The name space entry and the harmless objects of HijackedProfile, and the two shortcut
// hijacks in the prefix's own Desktop and Quick Launch: Wine points Shell Folders back at
// those whenever a program starts, before brenvik.com could be given scratch folders.
class ComTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_profile.ok());
        m_work = m_scratch.path();
        m_desktopHijack = KnownFolder(FOLDERID_Desktop) + "\\Internet Explorer.lnk";
        const std::string quickLaunch =
            KnownFolder(FOLDERID_RoamingAppData) + "\\Microsoft\\Internet Explorer\\Quick Launch";
        ASSERT_TRUE(MakeFolders(quickLaunch));
        m_quickLaunchHijack = quickLaunch + "\\Internet Explorer.lnk";
        ASSERT_TRUE(
            SUCCEEDED(CreateShortcut(m_desktopHijack, kIExplore, "http://hijack.example/desktop")));
        ASSERT_TRUE(SUCCEEDED(
            CreateShortcut(m_quickLaunchHijack, kIExplore, "http://hijack.example/quick")));
        // Kept and put back with its attributes.
        SetFileAttributesW(Utf8ToWide(m_desktopHijack).c_str(),
                           FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    }
    void TearDown() override {
        for (const std::string& path : {m_desktopHijack, m_quickLaunchHijack}) {
            SetFileAttributesW(Utf8ToWide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(Utf8ToWide(path).c_str());
        }
    }
    std::map<std::string, ObjectState> Profile() const {
        std::map<std::string, ObjectState> all = m_profile.Harmless();
        all["desktop hijack"] = FileState(m_desktopHijack);
        all["quick launch hijack"] = FileState(m_quickLaunchHijack);
        all["fake entry"] = MachineKeyState(HijackedProfile::FakeEntry());
        return all;
    }
    ComRun Com(const std::string& arguments) {
        return RunCom(arguments, m_work + "\\out" + std::to_string(++m_runs) + ".txt");
    }
    std::string File(const char* name) const { return m_work + "\\" + name; }

    HijackedProfile m_profile;
    ScratchFolder m_scratch;
    std::string m_work;
    std::string m_desktopHijack;
    std::string m_quickLaunchHijack;
    int m_runs = 0;
};

TEST_F(ComTest, ScanFixRestoreTwiceThenAConflict) {
    const auto before = Profile();

    const ComRun scan = Com("/scan /report \"" + File("scan.json") + "\"");
    EXPECT_EQ(1u, scan.code) << scan.output;
    EXPECT_NE(std::string::npos, scan.output.find("http://hijack.example/desktop"));
    const auto scanned = ReadJson(File("scan.json"));
    ASSERT_FALSE(scanned.is_discarded());
    EXPECT_EQ("scan", scanned["command"]);
    EXPECT_TRUE(scanned["backup"].is_null());
    EXPECT_EQ((std::map<std::string, std::string>{
                  {"Desktop", "found"}, {"Desktop NameSpace", "found"}, {"Quick Launch", "found"}}),
              ResultsByLocation(scanned));
    EXPECT_EQ(before, Profile()) << "a scan changed the profile";

    const ComRun fix = Com("-FIX -report \"" + File("fix.json") + "\"");
    EXPECT_EQ(1u, fix.code) << fix.output;
    const auto fixed = ReadJson(File("fix.json"));
    ASSERT_FALSE(fixed.is_discarded());
    EXPECT_TRUE(fixed["backup"].is_string());
    EXPECT_EQ((std::map<std::string, std::string>{
                  {"Desktop", "fixed"}, {"Desktop NameSpace", "fixed"}, {"Quick Launch", "fixed"}}),
              ResultsByLocation(fixed));
    EXPECT_FALSE(FileState(m_desktopHijack).exists);
    EXPECT_FALSE(MachineKeyState(HijackedProfile::FakeEntry()).exists);

    const ComRun restore = Com("/restore last");
    EXPECT_EQ(1u, restore.code) << restore.output;
    EXPECT_EQ(before, Profile()) << restore.output;
    const ComRun again = Com("/Restore last");
    EXPECT_EQ(1u, again.code) << again.output;
    EXPECT_EQ(before, Profile());

    const ComRun listed = Com("/backups");
    EXPECT_EQ(0u, listed.code);
    EXPECT_NE(std::string::npos, listed.output.find(fixed["backup"].get<std::string>()));

    // A new shortcut where the repaired one was: restore leaves it and says so.
    EXPECT_EQ(1u, Com("/fix").code);
    ASSERT_TRUE(SUCCEEDED(CreateShortcut(m_desktopHijack, kIExplore, "--mine")));
    const ObjectState mine = FileState(m_desktopHijack);
    const ComRun conflict = Com("/restore last");
    EXPECT_EQ(2u, conflict.code) << conflict.output;
    EXPECT_NE(std::string::npos, conflict.output.find("conflict"));
    EXPECT_EQ(mine, FileState(m_desktopHijack));
    EXPECT_EQ(before.at("quick launch hijack"), FileState(m_quickLaunchHijack));
    EXPECT_EQ(before.at("fake entry"), MachineKeyState(HijackedProfile::FakeEntry()));
}

// A linked folder below the Start Menu is not walked, and the scan says so: a skipped record
// in the report and on the console, and exit code 2 instead of 1.
// An ignored finding: left out of /scan, listed "ignored" by /scan /all, left alone by /fix,
// back after /unignore; an unknown id changes nothing and answers 3.
TEST_F(ComTest, IgnoreScanFixUnignore) {
    ASSERT_EQ(1u, Com("/scan /report \"" + File("scan.json") + "\"").code);
    std::string id;
    const auto scanned = ReadJson(File("scan.json"));
    for (const auto& finding : scanned["findings"]) {
        if (finding["location"] == "Quick Launch")
            id = finding["id"].get<std::string>();
    }
    ASSERT_EQ(12u, id.size());

    const ComRun unknown = Com("/ignore " + id + ",000000000000");
    EXPECT_EQ(3u, unknown.code) << unknown.output;
    EXPECT_NE(std::string::npos, unknown.output.find("000000000000")) << unknown.output;
    const ComRun ignored = Com("/ignore " + id);
    EXPECT_EQ(1u, ignored.code) << ignored.output;
    const ComRun listed = Com("/ignored");
    EXPECT_NE(std::string::npos, listed.output.find(id)) << listed.output;

    ASSERT_EQ(1u, Com("/scan /report \"" + File("after.json") + "\"").code);
    EXPECT_EQ(0u, ResultsByLocation(ReadJson(File("after.json"))).count("Quick Launch"));
    ASSERT_EQ(1u, Com("/scan /all /report \"" + File("all.json") + "\"").code);
    const auto all = ReadJson(File("all.json"));
    EXPECT_EQ("ignored", ResultsByLocation(all)["Quick Launch"]);
    EXPECT_EQ(1, all["summary"]["ignored"]);

    const ObjectState quick = FileState(m_quickLaunchHijack);
    const ComRun fix = Com("/fix");
    EXPECT_EQ(1u, fix.code) << fix.output;
    EXPECT_EQ(quick, FileState(m_quickLaunchHijack)) << fix.output;

    const ComRun unignored = Com("/unignore " + id);
    EXPECT_EQ(1u, unignored.code) << unignored.output;
    ASSERT_EQ(1u, Com("/scan /report \"" + File("back.json") + "\"").code);
    EXPECT_EQ("found", ResultsByLocation(ReadJson(File("back.json")))["Quick Launch"]);
    EXPECT_EQ(3u, Com("/unignore " + id).code);
    const std::string list = KnownFolder(FOLDERID_ProgramData) + "\\Brenvik\\Ignore\\ignore.json";
    DeleteFileW(Utf8ToWide(list).c_str());
}

TEST_F(ComTest, AFolderLinkBelowTheStartMenuIsSkippedAndTheScanEndsWith2) {
    const std::string startMenu = KnownFolder(FOLDERID_StartMenu);
    ASSERT_FALSE(startMenu.empty());
    ASSERT_TRUE(MakeFolders(File("elsewhere")));
    const std::string link = startMenu + "\\Linked Programs";
    const FolderLink linked(link, File("elsewhere"));
    ASSERT_TRUE(linked.made());
    ASSERT_EQ(FILE_ATTRIBUTE_REPARSE_POINT,
              GetFileAttributesW(Utf8ToWide(link).c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);

    const ComRun scan = Com("/scan /report \"" + File("skipped.json") + "\"");
    EXPECT_EQ(2u, scan.code) << scan.output;
    EXPECT_NE(std::string::npos,
              scan.output.find("skipped   Start Menu  " + link + "  (junction not followed)"))
        << scan.output;
    EXPECT_NE(std::string::npos, scan.output.find("1 skipped")) << scan.output;
    const auto report = ReadJson(File("skipped.json"));
    ASSERT_FALSE(report.is_discarded());
    int skipped = 0;
    for (const auto& finding : report["findings"]) {
        if (finding["result"] != "skipped")
            continue;
        ++skipped;
        EXPECT_EQ("Start Menu", finding["location"]);
        EXPECT_EQ(link, finding["path"]);
        EXPECT_EQ("junction not followed", finding["error"]);
    }
    EXPECT_EQ(1, skipped);
    EXPECT_EQ(1, report["summary"]["skipped"]);
    EXPECT_EQ(3, report["summary"]["found"]);
}

TEST_F(ComTest, ASecondCommandWaitsUntilTheFirstHasEnded) {
    // This test stands for a Brenvik command that is running.
    auto running = std::make_unique<CommandLock>(0);
    ASSERT_TRUE(running->held());
    const std::string output = File("waiting.txt");
    const UniqueHandle program = StartCom("/scan", output);
    ASSERT_TRUE(program);
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(program.get(), 2000));
    running.reset();
    const ComRun run = Finish(program, output);
    EXPECT_EQ(1u, run.code) << run.output;
}

TEST_F(ComTest, NamesOthersTookFirstBlockNoCommand) {
    // The name the lock once had, and the first lock file, made and held open by another
    // (Unix) account before Brenvik ever ran.
    UniqueHandle mutex(CreateMutexW(nullptr, TRUE, L"Global\\Brenvik.Command"));
    ASSERT_TRUE(mutex);
    { CommandLock secured(0); }  // the lock folder exists
    const std::wstring squatted = CommandLock::FirstLockPath();
    const std::string host = HostPath(WideToUtf8(squatted));
    ASSERT_FALSE(host.empty());
    if (!HostShell("chown 65534 '" + host + "'"))
        GTEST_SKIP() << "another owner needs root on the host";
    UniqueHfile held(
        CreateFileW(squatted.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);

    const ComRun run = Com("/scan");
    EXPECT_EQ(1u, run.code) << run.output;

    held.reset();
    DeleteFileW(squatted.c_str());
}

TEST_F(ComTest, AReportIsWrittenOnlyThroughAPlainFileInASafeFolder) {
    const std::string real = File("real");
    const std::string shared = File("shared");
    ASSERT_TRUE(MakeFolders(real));
    ASSERT_TRUE(MakeFolders(shared));
    { std::ofstream(Utf8ToWide(real + "\\kept.json").c_str(), std::ios::binary) << "kept"; }
    ASSERT_TRUE(CreateHardLinkW(Utf8ToWide(real + "\\second.json").c_str(),
                                Utf8ToWide(real + "\\kept.json").c_str(), nullptr));
    // A link to a folder (a junction on Windows) and a folder another account owns and every
    // account may write.
    if (!HostShell("ln -s '" + HostPath(real) + "' '" + HostPath(File("linked")) +
                   "' && chown 65534 '" + HostPath(shared) + "' && chmod 0777 '" +
                   HostPath(shared) + "'"))
        GTEST_SKIP() << "another owner needs root on the host";

    const struct {
        const char* report;
        const char* why;
        const char* untouched;  // in real, or nullptr
    } refused[] = {
        {"linked\\scan.json", "its folder is a link", "scan.json"},
        {"real\\second.json", "it has more than one name", "kept.json"},
        {"shared\\scan.json", "other accounts can change its folder", nullptr},
    };
    for (const auto& c : refused) {
        const ComRun run = Com("/scan /report \"" + File(c.report) + "\"");
        EXPECT_EQ(3u, run.code) << c.report;
        EXPECT_NE(std::string::npos, run.output.find(c.why)) << run.output;
    }
    EXPECT_EQ("kept", ReadAll(real + "\\kept.json"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES,
              GetFileAttributesW(Utf8ToWide(real + "\\scan.json").c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES,
              GetFileAttributesW(Utf8ToWide(shared + "\\scan.json").c_str()));

    // A longer report before is cut to the new one, and the program's own reports folder is
    // made by the program.
    {
        std::ofstream(Utf8ToWide(real + "\\long.json").c_str(), std::ios::binary)
            << std::string(100000, 'x');
    }
    const std::string reports = KnownFolder(FOLDERID_ProgramData) + "\\Brenvik\\Reports";
    RemoveTree(reports);
    for (const std::string& report : {real + "\\long.json", reports + "\\scan.json"}) {
        const ComRun run = Com("/scan /report \"" + report + "\"");
        EXPECT_EQ(1u, run.code) << run.output;
        EXPECT_FALSE(ReadJson(report).is_discarded()) << report;
    }
    RemoveTree(reports);
    HostShell("rm -f '" + HostPath(File("linked")) + "'");
}

// Both programs ask for an administrator's full token before they start.
TEST(ProgramManifest, BothProgramsRequireAdministrator) {
    std::string window = BRENVIK_COM;
    window.replace(window.size() - 4, 4, ".exe");
    for (const std::string& program : {std::string(BRENVIK_COM), window}) {
        HMODULE image = LoadLibraryExW(Utf8ToWide(program).c_str(), nullptr,
                                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(nullptr, image) << program;
        HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
        std::string manifest;
        if (found != nullptr) {
            const auto* bytes = static_cast<const char*>(LockResource(LoadResource(image, found)));
            manifest.assign(bytes, SizeofResource(image, found));
        }
        FreeLibrary(image);
        EXPECT_NE(std::string::npos, manifest.find("level=\"requireAdministrator\"")) << program;
    }
}

TEST_F(ComTest, WhatIsNotUnderstoodPrintsUsageAndReturns3) {
    for (const char* arguments : {"/frobnicate", "/restore", "/?", "/scan /fix",
                                  "/backups /report x.json", "/restore 19990101T000000Z"}) {
        const ComRun run = Com(arguments);
        EXPECT_EQ(3u, run.code) << arguments;
        EXPECT_FALSE(run.output.empty()) << arguments;
    }
}

// A set whose manifest others could have changed: listed as damaged with the reason, and a
// restore of it says why and puts nothing back.
TEST_F(ComTest, ASetOthersCouldChangeIsListedDamagedAndNotRestored) {
    const ComRun fix = Com("/fix /report \"" + File("fix.json") + "\"");
    EXPECT_EQ(1u, fix.code) << fix.output;
    const auto fixed = ReadJson(File("fix.json"));
    ASSERT_TRUE(fixed["backup"].is_string());
    const std::string id = fixed["backup"].get<std::string>();
    const std::string backups = KnownFolder(FOLDERID_ProgramData) + "\\Brenvik\\Backups\\";
    const auto repaired = Profile();

    // Wine turns an entry letting everyone write into "chmod o+w".
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
        L"D:(A;;FA;;;WD)(A;;FA;;;BA)(A;;FA;;;SY)", SDDL_REVISION_1, &descriptor, nullptr));
    UniqueHlocal owned(descriptor);
    PACL dacl = nullptr;
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted);
    std::wstring manifest = Utf8ToWide(backups + id + "\\manifest");
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS),
              SetNamedSecurityInfoW(manifest.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                    nullptr, nullptr, dacl, nullptr));

    const ComRun listed = Com("/backups");
    EXPECT_EQ(0u, listed.code);
    EXPECT_NE(std::string::npos,
              listed.output.find(id + "  damaged: manifest: not made by this program\n"))
        << listed.output;
    const ComRun restore = Com("/restore " + id);
    EXPECT_NE(1u, restore.code) << restore.output;
    EXPECT_NE(std::string::npos,
              restore.output.find("backup set damaged: manifest: not made by this program"))
        << restore.output;
    EXPECT_EQ(repaired, Profile()) << "a damaged set was restored";

    RemoveTree(backups + id);
    DeleteFileW(Utf8ToWide(backups + id + ".set").c_str());
}

}  // namespace
}  // namespace brenvik::test

namespace brenvik::test {
namespace {

constexpr const char* kChromeExe = "\"C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe\"";

// A hijack of each launch vector beside its twin, in the real registry: the value, what it
// holds, and what Fix leaves of it (null: deleted).
struct LaunchValue {
    HKEY root;
    const char* key;
    const char* name;
    std::string text;
    const char* location;  // the row's, for a hijack; null for a twin
    std::string repaired;
};

const LaunchValue kLaunchValues[] = {
    {HKEY_CURRENT_USER, "Software\\Classes\\ChromeHTML\\shell\\open\\command", "",
     std::string(kChromeExe) + " http://start.example/ --single-argument %1", "Protocol Handler",
     std::string(kChromeExe) + " --single-argument %1"},
    {HKEY_CURRENT_USER, "Software\\Classes\\ChromeHTML\\shell\\print\\command", "",
     std::string(kChromeExe) + " --single-argument %1", nullptr, ""},
    {HKEY_LOCAL_MACHINE,
     "Software\\Clients\\StartMenuInternet\\Google Chrome\\shell\\open\\command", "",
     std::string(kChromeExe) + " http://menu.example/", "Browser Command", kChromeExe},
    {HKEY_CURRENT_USER, "Software\\Clients\\StartMenuInternet\\Google Chrome\\shell\\open\\command",
     "", kChromeExe, nullptr, ""},
    {HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Shop",
     "cmd /c start http://shop.example/", "Run", ""},
    {HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Sync",
     "\"C:\\Sync\\sync.exe\" /background", nullptr, ""},
    {HKEY_LOCAL_MACHINE,
     "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options\\chrome.exe",
     "Debugger", "C:\\redirect.exe", "Image File Execution", ""},
    {HKEY_LOCAL_MACHINE,
     "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options\\chrome.exe",
     "Note", "kept", nullptr, ""},
};

bool SetText(HKEY root, const char* path, const char* name, const std::string& text) {
    return RegSetKeyValueA(root, path, name, REG_SZ, text.c_str(),
                           static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

using KeyTrees = std::map<std::pair<HKEY, std::string>, RegTree>;

// The tree of every key kLaunchValues names.
KeyTrees LaunchTrees() {
    KeyTrees trees;
    for (const LaunchValue& value : kLaunchValues)
        trees[{value.root, value.key}] = ReadTree(value.root, value.key);
    return trees;
}

// Launch commands, startup entries and debuggers that hijack, each beside a twin that does
// not: /scan lists the hijacks, /fix repairs only them, /restore last puts every byte back.
TEST_F(ComTest, LaunchCommandsStartupEntriesAndDebuggersAreRepairedAndRestored) {
    std::vector<std::unique_ptr<ScopedKeyBackup>> kept;
    for (const auto& key : LaunchTrees())
        kept.push_back(std::make_unique<ScopedKeyBackup>(key.first.first, key.first.second));
    for (const LaunchValue& value : kLaunchValues)
        ASSERT_TRUE(SetText(value.root, value.key, value.name, value.text)) << value.key;
    const KeyTrees before = LaunchTrees();

    const ComRun scan = Com("/scan /report \"" + File("launch.json") + "\"");
    EXPECT_EQ(1u, scan.code) << scan.output;
    const nlohmann::json report = ReadJson(File("launch.json"));
    const auto results = ResultsByLocation(report);
    // Each hijack once: Image File Execution Options is one key in both views here.
    std::map<std::string, int> rows;
    for (const auto& finding : report["findings"]) ++rows[finding["location"].get<std::string>()];
    for (const LaunchValue& value : kLaunchValues) {
        if (value.location != nullptr) {
            EXPECT_EQ(1, rows[value.location]) << value.location << scan.output;
        }
    }
    for (const LaunchValue& value : kLaunchValues) {
        if (value.location != nullptr) {
            EXPECT_EQ("found", results.at(value.location)) << scan.output;
        }
    }
    EXPECT_EQ(std::string::npos, scan.output.find("sync.exe")) << scan.output;

    const ComRun fix = Com("/fix");
    EXPECT_EQ(1u, fix.code) << fix.output;
    KeyTrees fixed = before;
    for (const LaunchValue& value : kLaunchValues) {
        if (value.location == nullptr)
            continue;
        std::string name = value.name;
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        auto& values = fixed[{value.root, value.key}][""];
        if (value.repaired.empty()) {
            values.erase(name);
            continue;
        }
        const char* text = value.repaired.c_str();
        values[name] = RegValue{REG_SZ, {text, text + value.repaired.size() + 1}};
    }
    EXPECT_EQ(fixed, LaunchTrees());

    const ComRun restore = Com("/restore last");
    EXPECT_EQ(1u, restore.code) << restore.output;
    EXPECT_EQ(before, LaunchTrees());
}

bool Exists(const std::string& path) {
    return GetFileAttributesW(Utf8ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A program the hijacker left running puts its shortcut back as soon as Fix has changed it:
// the look before /fix ends finds it back, the exit code is 2, and the row names the running
// program, which is what the shortcut ran instead of the browser.
TEST_F(ComTest, AShortcutAGuardianPutsBackCameBackAndNamesTheGuardian) {
    const std::string guardian = File("guardian.exe");
    const std::string copy = File("kept.lnk");
    const std::string ready = File("ready");
    const std::string guarded = KnownFolder(FOLDERID_Desktop) + "\\Google Chrome.lnk";
    ASSERT_TRUE(CopyFileW(Utf8ToWide(WindowsPath(GUARDIAN_EXE)).c_str(),
                          Utf8ToWide(guardian).c_str(), FALSE));
    ASSERT_TRUE(SUCCEEDED(CreateShortcut(copy, guardian, "")));
    ASSERT_TRUE(CopyFileW(Utf8ToWide(copy).c_str(), Utf8ToWide(guarded).c_str(), FALSE));
    const UniqueHandle running =
        StartProgram("\"" + guardian + "\" \"" + guarded + "\" \"" + copy + "\" \"" + ready + "\"",
                     File("guardian.txt"));
    ASSERT_TRUE(running);
    for (int waited = 0; waited < 60000 && !Exists(ready); waited += 50) Sleep(50);
    ASSERT_TRUE(Exists(ready));

    const ComRun fix = Com("/fix /report \"" + File("guarded.json") + "\"");
    TerminateProcess(running.get(), 0);
    WaitForSingleObject(running.get(), 10000);
    DeleteFileW(Utf8ToWide(guarded).c_str());
    EXPECT_EQ(2u, fix.code) << fix.output;
    const nlohmann::json report = ReadJson(File("guarded.json"));
    const std::string suspect = "perhaps put back by the running guardian.exe (process " +
                                std::to_string(GetProcessId(running.get())) + ")";
    bool seen = false;
    for (const auto& finding : report["findings"]) {
        if (finding["path"] != guarded)
            continue;
        seen = true;
        EXPECT_EQ("came back", finding["result"]) << fix.output;
        EXPECT_EQ(suspect, finding["error"]) << fix.output;
    }
    EXPECT_TRUE(seen) << fix.output;
}

// Tasks put where Wine's scheduler keeps them (%SystemRoot%\System32\Tasks): its
// registration drops an Exec action's Command and Arguments, so a hijacking task can only be
// seeded as its file. Removed with their folder at the end.
class ScratchTaskFiles {
public:
    explicit ScratchTaskFiles(const char* folder) {
        wchar_t system[MAX_PATH] = L"";
        GetSystemDirectoryW(system, MAX_PATH);
        m_folder = WideToUtf8(system) + "\\Tasks\\" + folder;
        CreateDirectoryW(Utf8ToWide(m_folder).c_str(), nullptr);
    }
    ~ScratchTaskFiles() {
        for (const std::string& name : m_names) DeleteFileW(Utf8ToWide(path(name)).c_str());
        RemoveDirectoryW(Utf8ToWide(m_folder).c_str());
    }
    ScratchTaskFiles(const ScratchTaskFiles&) = delete;
    ScratchTaskFiles& operator=(const ScratchTaskFiles&) = delete;

    std::string path(const std::string& name) const { return m_folder + "\\" + name; }
    bool put(const std::string& name, const std::string& xml) {
        m_names.push_back(name);
        std::ofstream file(path(name), std::ios::binary);
        file << xml;
        return static_cast<bool>(file);
    }
    // The file's bytes; "(none)" when there is no file.
    std::string read(const std::string& name) const {
        std::ifstream file(path(name), std::ios::binary);
        if (!file)
            return "(none)";
        std::ostringstream bytes;
        bytes << file.rdbuf();
        return bytes.str();
    }

private:
    std::string m_folder;
    std::vector<std::string> m_names;
};

// A task that opens an address at every logon beside a browser updater's: /scan lists the
// one, /fix deletes it alone, /restore last registers it again. Wine's registration writes
// the definition anew from what it parsed, without the Exec action (an empty <Exec/>): the
// task is back under its name, its action is not, and the restore says so.
TEST_F(ComTest, AHijackingTaskIsDeletedAndRegisteredAgain) {
    ScratchTaskFiles tasks("BrenvikCli");
    const std::string hijack = LogonTask("cmd.exe", "/c start http://task.example/");
    const std::string twin = LogonTask("C:\\Program Files (x86)\\Google\\Update\\GoogleUpdate.exe",
                                       "/ua /installsource scheduler");
    ASSERT_TRUE(tasks.put("Start Page", hijack));
    ASSERT_TRUE(tasks.put("Updater", twin));

    const ComRun scan = Com("/scan /report \"" + File("tasks.json") + "\"");
    EXPECT_EQ(1u, scan.code) << scan.output;
    const auto report = ReadJson(File("tasks.json"));
    int rows = 0;
    for (const auto& record : report["findings"]) {
        if (record["location"] != "Scheduled Task")
            continue;
        ++rows;
        EXPECT_EQ("\\BrenvikCli\\Start Page", record["path"]) << scan.output;
        EXPECT_EQ("cmd.exe /c start http://task.example/", record["site"]) << scan.output;
        EXPECT_EQ("startup", record["rule"]);
        EXPECT_EQ("found", record["result"]);
    }
    EXPECT_EQ(1, rows) << scan.output;
    EXPECT_EQ(std::string::npos, scan.output.find("GoogleUpdate")) << scan.output;

    const ComRun fix = Com("/fix /report \"" + File("tasks-fix.json") + "\"");
    EXPECT_EQ(1u, fix.code) << fix.output;
    EXPECT_EQ("fixed", ResultsByLocation(ReadJson(File("tasks-fix.json"))).at("Scheduled Task"))
        << fix.output;
    EXPECT_EQ("(none)", tasks.read("Start Page"));
    EXPECT_EQ(twin, tasks.read("Updater"));

    const ComRun restore = Com("/restore last");
    EXPECT_EQ(2u, restore.code) << restore.output;
    EXPECT_NE(std::string::npos,
              restore.output.find("\\BrenvikCli\\Start Page  (registered without its actions)"))
        << restore.output;
    const std::string back = tasks.read("Start Page");
    EXPECT_NE("(none)", back) << restore.output;
    EXPECT_NE(std::string::npos, back.find("<Exec/>")) << back;
    EXPECT_EQ(twin, tasks.read("Updater"));
}

}  // namespace
}  // namespace brenvik::test
