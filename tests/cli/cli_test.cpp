// brenvik.com under Wine on a hijacked profile: scan, fix, restore last (twice), a conflict,
// the listing and the usage, each checked by its exit code, its output and the profile.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <shlobj.h>

#include <fstream>
#include <sstream>

#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"
#include "tests/e2e/e2e_world.h"
#include "tests/support/win32_world.h"

namespace brenvik::test {
namespace {

struct ComRun {
    DWORD code = 0xdeadbeef;
    std::string output;
};

// Starts brenvik.com with the arguments, its output going to the file; null on failure.
UniqueHandle StartCom(const std::string& arguments, const std::string& outputFile) {
    SECURITY_ATTRIBUTES inherit = {};
    inherit.nLength = sizeof inherit;
    inherit.bInheritHandle = TRUE;
    UniqueHfile output(CreateFileW(Utf8ToWide(outputFile).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                   &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!output)
        return UniqueHandle();
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output.get();
    startup.hStdError = output.get();
    std::wstring line = L"\"" + Utf8ToWide(BRENVIK_COM) + L"\" " + Utf8ToWide(arguments);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process))
        return UniqueHandle();
    UniqueHandle thread(process.hThread);
    return UniqueHandle(process.hProcess);
}

// Waits for the program and reads what it printed.
ComRun Finish(const UniqueHandle& program, const std::string& outputFile) {
    ComRun run;
    if (!program)
        return run;
    WaitForSingleObject(program.get(), 120 * 1000);
    GetExitCodeProcess(program.get(), &run.code);
    std::ifstream in(outputFile, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    run.output = text.str();
    return run;
}

ComRun RunCom(const std::string& arguments, const std::string& outputFile) {
    return Finish(StartCom(arguments, outputFile), outputFile);
}

nlohmann::json ReadJson(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return nlohmann::json::parse(in, nullptr, false);
}

std::string KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::string folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path)))
        folder = WideToUtf8(path);
    CoTaskMemFree(path);
    return folder;
}

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

std::map<std::string, std::string> ResultsByLocation(const nlohmann::json& report) {
    std::map<std::string, std::string> results;
    for (const auto& finding : report["findings"])
        results[finding["location"].get<std::string>()] = finding["result"].get<std::string>();
    return results;
}

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
    UniqueHandle running(CreateMutexW(nullptr, TRUE, L"Global\\Brenvik.Command"));
    ASSERT_TRUE(running);
    const std::string output = File("waiting.txt");
    const UniqueHandle program = StartCom("/scan", output);
    ASSERT_TRUE(program);
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(program.get(), 2000));
    ReleaseMutex(running.get());
    const ComRun run = Finish(program, output);
    EXPECT_EQ(1u, run.code) << run.output;
}

TEST_F(ComTest, WhatIsNotUnderstoodPrintsUsageAndReturns3) {
    for (const char* arguments : {"/frobnicate", "/restore", "/?", "/scan /fix",
                                  "/backups /report x.json", "/restore 19990101T000000Z"}) {
        const ComRun run = Com(arguments);
        EXPECT_EQ(3u, run.code) << arguments;
        EXPECT_FALSE(run.output.empty()) << arguments;
    }
}

}  // namespace
}  // namespace brenvik::test
