// The program under pressure: commands that arrive while another runs, closing mid-scan, a
// killed process. Whatever happens, every seeded object ends as it was found.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>

#include "e2e_world.h"
#include "engine/change/journal.h"
#include "engine/change/sddl.h"
#include "platform/win32/win32_platform.h"
#include "program_window.h"
#include "res/resource.h"
#include "tests/support/win32_world.h"

namespace brenvik::test {
namespace {

constexpr int kLockedCopies = 1500;
constexpr char kClassesKey[] = "SOFTWARE\\Classes\\CLSID\\";
// Administrators get nothing (as owners they may still read and rewrite the list).
constexpr char kRefusingKeyList[] = "D:P(A;;KA;;;SY)";
constexpr char kLockedFileList[] = "D:P(D;;FA;;;BU)(A;;FA;;;BA)(A;;FA;;;SY)";

class RaceE2e : public ::testing::Test {
protected:
    void SetUp() override {
        m_profile.reset(new HijackedProfile(kLockedCopies));
        ASSERT_TRUE(m_profile->ok());
        // Every hundredth copy read-only and hidden with a list of its own; the fake entry's
        // keys refuse the administrators, so that reading them takes escalation.
        for (int i = 0; i < kLockedCopies; i += 100) {
            const std::string copy = Copy(i);
            ASSERT_EQ(WriteSddl(copy, SecurityObjectType::File, kLockedFileList), 0u);
            SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
        }
        for (const std::string& key : FakeKeys())
            ASSERT_EQ(WriteSddl(key, SecurityObjectType::RegistryKey, kRefusingKeyList), 0u);
        m_before = States();
    }
    void TearDown() override {
        for (const std::string& key : FakeKeys())
            WriteSddl(key, SecurityObjectType::RegistryKey, "D:(A;CI;KA;;;BA)(A;CI;KA;;;SY)");
        m_program.reset();
        m_profile.reset();
    }

    std::string Copy(int i) const {
        std::string desktop = m_profile->DesktopHijack();
        desktop.resize(desktop.rfind('\\'));
        return desktop + "\\Internet Explorer Copy " + std::to_string(i) + ".lnk";
    }
    static std::vector<std::string> FakeKeys() {
        const std::string shell = std::string("MACHINE\\") + kClassesKey + kFakeClass + "\\shell";
        return {"MACHINE\\" + HijackedProfile::FakeEntry(), shell, shell + "\\open\\Command"};
    }
    // Attributes and lists of every seeded object that a scan reads.
    std::map<std::string, ObjectState> States() const {
        std::map<std::string, ObjectState> states = m_profile->Harmless();
        states["desktop hijack"] = FileState(m_profile->DesktopHijack());
        states["quick launch hijack"] = FileState(m_profile->QuickLaunchHijack());
        for (int i = 0; i < kLockedCopies; i += 100) states[Copy(i)] = FileState(Copy(i));
        for (const std::string& key : FakeKeys())
            states[key].sddl = ReadSddl(key, SecurityObjectType::RegistryKey);
        return states;
    }
    void Start() {
        m_program.reset(new RunningProgram());
        ASSERT_NE(m_program->dialog(), nullptr)
            << "no main dialog appeared: " << m_program->Describe();
        ASSERT_TRUE(m_profile->PointShellFolders());
    }
    void ExpectNothingWeakened() {
        const auto after = States();
        for (const auto& [name, state] : m_before) EXPECT_EQ(after.at(name), state) << name;
    }

    std::unique_ptr<HijackedProfile> m_profile;
    std::unique_ptr<RunningProgram> m_program;
    std::map<std::string, ObjectState> m_before;
};

// 50 posted Scan commands and 50 clicks on the disabled button, a Fix and a Fix Desktop
// during the scan: one scan runs, the Fix is ignored, the Fix Desktop runs after the scan.
TEST_F(RaceE2e, CommandsDuringAScanNeverRunBesideIt) {
    ScopedKeyBackup icons(
        HKEY_CURRENT_USER,
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\HideDesktopIcons");
    ScopedKeyBackup places(HKEY_CLASSES_ROOT, "CLSID\\{208D2C60-3AEA-1069-A2D7-08002B30309D}");
    Start();
    m_program->Click(IDC_SCAN);
    for (int i = 0; i < 50; ++i) {
        m_program->PostClick(IDC_SCAN);
        m_program->Click(IDC_SCAN);
    }
    m_program->PostClick(IDC_FIX);
    m_program->Click(IDC_FIX);
    m_program->PostClick(IDC_FIX_DESKTOP);
    ASSERT_TRUE(m_program->WaitIdle(120000));

    const auto rows = m_program->Rows();
    std::set<std::string> distinct;
    for (const ReportRow& row : rows) {
        EXPECT_FALSE(row.location.empty() || row.site.empty());
        distinct.insert(row.location + "|" + row.site);
    }
    EXPECT_EQ(rows.size(), 3u);
    EXPECT_EQ(distinct.size(), rows.size()) << "no duplicate rows";
    EXPECT_TRUE(FileState(m_profile->DesktopHijack()).exists) << "the Fix was ignored";
    EXPECT_FALSE(
        ReadTree(HKEY_CLASSES_ROOT, "CLSID\\{208D2C60-3AEA-1069-A2D7-08002B30309D}").empty())
        << "the Fix Desktop ran after the scan";
    ExpectNothingWeakened();
    EXPECT_EQ(m_program->Close(), 0u);
}

// A close request 0.3 s, 1.5 s and 4 s into a scan ends the program with 0 once the scan has
// put back what it opened.
TEST_F(RaceE2e, ClosingMidScanEndsCleanly) {
    for (DWORD delay : {300u, 1500u, 4000u}) {
        Start();
        m_program->Click(IDC_SCAN);
        Sleep(delay);
        const DWORD start = GetTickCount();
        EXPECT_EQ(m_program->Close(), 0u) << delay;
        EXPECT_LT(GetTickCount() - start, 10000u) << delay;
        ExpectNothingWeakened();
    }
}

// Killed in the middle of a scan, and a journal entry left by a run that died while the fake
// entry's key stood open: the next start puts the key's list back before its window shows.
TEST_F(RaceE2e, ANewStartMendsWhatAKilledRunLeft) {
    Start();
    m_program->Click(IDC_SCAN);
    Sleep(500);
    m_program.reset();  // TerminateProcess

    const std::string key = FakeKeys().front();
    AccessList before;
    ASSERT_EQ(Win32Platform().readAccessList(key, SecurityObjectType::RegistryKey, &before), 0);
    Win32Platform store;
    Journal journal(store);
    std::string id;
    ASSERT_EQ(
        journal.record({SecurityObjectType::RegistryKey, key, before, kInvalidFileAttributes}, &id),
        0);
    ASSERT_EQ(WriteSddl(key, SecurityObjectType::RegistryKey, "D:(A;CI;KA;;;WD)"), 0u);

    Start();
    ExpectNothingWeakened();
    std::vector<std::string> left;
    store.listFiles("Journal", &left);
    EXPECT_TRUE(left.empty());
    EXPECT_EQ(m_program->Close(), 0u);
}

}  // namespace
}  // namespace brenvik::test
