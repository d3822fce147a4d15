// The real program driven through its window, checked in its report list and in the registry
// and files it works on. Runs once per interface language (LANG set by the test entry).
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/row_menu.h"
#include "app/show_ignored_item.h"
#include "app/ui_text.h"
#include "e2e_world.h"
#include "platform/win32/wide_text.h"
#include "program_window.h"
#include "res/resource.h"
#include "tests/support/win32_world.h"

namespace brenvik::test {

bool operator==(const ReportRow& a, const ReportRow& b) {
    return a.location == b.location && a.site == b.site && a.status == b.status;
}

void PrintTo(const ReportRow& row, std::ostream* out) {
    *out << "{" << row.location << " | " << row.site << " | " << row.status << "}";
}

void PrintTo(const ObjectState& state, std::ostream* out) {
    *out << "{exists " << state.exists << ", attributes " << state.attributes << ", " << state.sddl
         << ", args '" << state.arguments << "', target '" << state.target << "', "
         << state.tree.size() << " keys}";
}

namespace {

constexpr char kHideDesktopIcons[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\HideDesktopIcons";
constexpr char kNetworkPlaces[] = "CLSID\\{208D2C60-3AEA-1069-A2D7-08002B30309D}";
constexpr char kInternetExplorerIcon[] = "{871c5380-42a0-1069-a2ea-08002b30309d}";
constexpr char kNetworkPlacesIcon[] = "{208d2c60-3aea-1069-a2d7-08002b30309d}";

const std::vector<ReportRow> kExpectedRows = {
    {"Quick Launch", "http://hijack.example/quick", ""},
    // The site is what follows the program name, closing quotation mark included.
    {"Desktop NameSpace", "\" http://fake.example/namespace", ""},
    {"Desktop", "http://hijack.example/desktop", ""},
};

// After Fix: each repaired row says so, in the untranslated words of the location labels.
const std::vector<ReportRow> kFixedRows = {
    {"Quick Launch", "http://hijack.example/quick", "Fixed"},
    {"Desktop NameSpace", "\" http://fake.example/namespace", "Fixed"},
    {"Desktop", "http://hijack.example/desktop", "Fixed"},
};

// The start of the status line after Fix, and after Fix Desktop, in the language of the run.
const char* const kFixedStatus[2] = {
    // 已修复 3 项，失败 0 项；
    "\xd2\xd1\xd0\xde\xb8\xb4 3 \xcf\xee\xa3\xac\xca\xa7\xb0\xdc 0 \xcf\xee\xa3\xbb",
    "Fixed 3, failed 0; backup "};
const char* const kDesktopStatus[2] = {
    "\xd7\xc0\xc3\xe6\xcd\xbc\xb1\xea\xd2\xd1\xbb\xb9\xd4\xad",  // 桌面图标已还原
    "Desktop icons restored; backup "};

bool StartsWith(const std::string& text, const char* start) {
    return text.rfind(start, 0) == 0;
}

RegValue Text(DWORD type, const std::string& text) {
    return RegValue{type, std::vector<std::uint8_t>(text.begin(), text.end() + 1)};
}

RegValue Dword(DWORD value) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&value);
    return RegValue{REG_DWORD, std::vector<std::uint8_t>(bytes, bytes + sizeof(value))};
}

// The network places registration after Fix Desktop: exactly these keys and values.
RegTree ExpectedNetworkPlaces() {
    const std::string shell32 = "@%SystemRoot%\\system32\\SHELL32.dll,";
    return {
        {"",
         {{"", Text(REG_SZ, "\xcd\xf8\xc9\xcf\xc1\xda\xbe\xd3")},
          {"infotip", Text(REG_EXPAND_SZ, shell32 + "-22912")},
          {"introtext", Text(REG_EXPAND_SZ, shell32 + "-31749")},
          {"localizedstring", Text(REG_EXPAND_SZ, shell32 + "-9217")}}},
        {"defaulticon", {{"", Text(REG_EXPAND_SZ, "%SystemRoot%\\system32\\SHELL32.dll,17")}}},
        {"inprocserver32",
         {{"", Text(REG_EXPAND_SZ, "%SystemRoot%\\system32\\SHELL32.dll")},
          {"threadingmodel", Text(REG_SZ, "Apartment")}}},
        {"shell", {{"", Text(REG_SZ, "none")}}},
        {"shell\\find",
         {{"", Text(REG_EXPAND_SZ, shell32 + "-29188")}, {"suppressionpolicy", Dword(0x80)}}},
        {"shell\\find\\command", {{"", Text(REG_EXPAND_SZ, "%SystemRoot%\\Explorer.exe")}}},
        {"shell\\find\\ddeexec", {{"", Text(REG_SZ, "[FindFolder(\"%l\", %I)]")}}},
        {"shell\\find\\ddeexec\\application", {{"", Text(REG_SZ, "Folders")}}},
        {"shell\\find\\ddeexec\\topic", {{"", Text(REG_SZ, "AppProperties")}}},
        {"shellfolder", {{"hideondesktopperuser", Text(REG_SZ, "")}}},
    };
}

bool SetValue(HKEY root, const std::string& path, const char* name, const RegValue& value) {
    HKEY hKey = nullptr;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &hKey, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    const LONG result = RegSetValueExA(hKey, name, 0, value.type, value.data.data(),
                                       static_cast<DWORD>(value.data.size()));
    RegCloseKey(hKey);
    return result == ERROR_SUCCESS;
}

// The ignore list the window writes, removed before and after a test that writes it so that
// no other test runs with it.
class ScopedIgnoreList {
public:
    ScopedIgnoreList() {
        wchar_t* data = nullptr;
        if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, &data)))
            m_path = std::wstring(data) + L"\\Brenvik\\Ignore\\ignore.json";
        CoTaskMemFree(data);
        Remove();
    }
    ~ScopedIgnoreList() { Remove(); }
    ScopedIgnoreList(const ScopedIgnoreList&) = delete;
    ScopedIgnoreList& operator=(const ScopedIgnoreList&) = delete;

private:
    void Remove() const {
        if (!m_path.empty())
            DeleteFileW(m_path.c_str());
    }
    std::wstring m_path;
};

// An interface text as the list gives it back through its 8-bit messages: in the code page
// of this process, which the program shares.
std::string AsListReadsIt(const char* text, int language) {
    wchar_t wide[256] = {};
    MultiByteToWideChar(language == kLanguageChinese ? 936 : CP_ACP, 0, text, -1, wide, 256);
    char narrow[512] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof narrow, nullptr, nullptr);
    return narrow;
}

// Polls until done() holds; false after timeoutMs.
template <typename Done>
bool WaitFor(Done done, DWORD timeoutMs = 20000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(20);
    }
    return true;
}

class BrenvikE2e : public ::testing::Test {
protected:
    void TearDown() override {
        if (m_program) {
            EXPECT_EQ(m_program->Close(), 0u) << "closing the window ends the program with 0";
        }
        m_program.reset();
        m_profile.reset();
    }

    // The hijacked profile, then the program on it.
    void Start(int extraDesktopLinks = 0) {
        m_profile.reset(new HijackedProfile(extraDesktopLinks));
        ASSERT_TRUE(m_profile->ok()) << "profile could not be prepared";
        m_program.reset(new RunningProgram());
        ASSERT_NE(m_program->dialog(), nullptr)
            << "no main dialog appeared: " << m_program->Describe();
        ASSERT_TRUE(m_profile->PointShellFolders());
    }

    // Wine's shell writes the standard paths back into Shell Folders whenever a known folder
    // is asked for (as every scan does): each command is pointed at the profile again.
    void Click(int id) {
        ASSERT_TRUE(m_profile->PointShellFolders());
        m_program->Click(id);
    }

    // A scan started by a posted click (behind whatever else was posted) and waited for.
    void PostScanAndWait() {
        ASSERT_TRUE(m_profile->PointShellFolders());
        SendMessageA(m_program->item(IDC_PROGRESS), PBM_SETPOS, 0, 0);
        m_program->PostClick(IDC_SCAN);
        const DWORD start = GetTickCount();
        while (!m_program->ProgressFull() && GetTickCount() - start < 60000) {
            Sleep(20);
        }
        ASSERT_TRUE(m_program->WaitIdle());
    }

    void ExpectScanResult(const std::vector<ReportRow>& rows) {
        EXPECT_EQ(m_program->Rows(), rows);
        EXPECT_EQ(m_program->SelectedRow(), static_cast<int>(rows.size()) - 1);
        EXPECT_TRUE(m_program->ProgressFull());
        EXPECT_EQ(m_program->Text(m_program->item(IDC_STATUS)), "");
        EXPECT_TRUE(m_program->CommandsEnabled());
        EXPECT_NE(m_program->CloseGreyed(), std::optional<bool>(true));
    }

    static int Language() {
        return GetUserDefaultLangID() == 0x0804 ? kLanguageChinese : kLanguageEnglish;
    }

    // Saved before the fixture's objects and put back after them.
    ScopedKeyBackup m_iconKeys{HKEY_CURRENT_USER, kHideDesktopIcons};
    ScopedKeyBackup m_networkPlaces{HKEY_CLASSES_ROOT, kNetworkPlaces};
    std::unique_ptr<HijackedProfile> m_profile;
    std::unique_ptr<RunningProgram> m_program;
};

TEST_F(BrenvikE2e, StartsIdleAndCentredWithTheTextsOfTheUserLanguage) {
    Start();
    const int language = Language();
    EXPECT_EQ(m_program->Text(m_program->dialog()), TitleText[language]);
    EXPECT_EQ(m_program->Text(m_program->item(IDC_PROGRESS_LABEL)), ProgressLabelText[language]);
    const int buttons[] = {IDC_SCAN, IDC_FIX, IDC_ABOUT, IDC_FIX_DESKTOP};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(m_program->Text(m_program->item(buttons[i])), ButtonTexts[language][i]);
        EXPECT_TRUE(IsWindowEnabled(m_program->item(buttons[i])));
    }
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(m_program->ColumnTitle(i), ColumnTexts[language][i]);
    }
    EXPECT_TRUE(m_program->Rows().empty());
    EXPECT_NE(m_program->CloseGreyed(), std::optional<bool>(true));

    // No owner: centred in the work area.
    RECT work;
    RECT window;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    ASSERT_TRUE(GetWindowRect(m_program->dialog(), &window));
    EXPECT_NEAR((window.left + window.right) / 2, (work.left + work.right) / 2, 1);
    EXPECT_NEAR((window.top + window.bottom) / 2, (work.top + work.bottom) / 2, 1);
}

TEST_F(BrenvikE2e, ScanListsTheFindingsByPlaceAndChangesNothing) {
    Start();
    const auto harmless = m_profile->Harmless();
    const ObjectState desktop = FileState(m_profile->DesktopHijack());
    const ObjectState quickLaunch = FileState(m_profile->QuickLaunchHijack());
    const ObjectState fake = MachineKeyState(HijackedProfile::FakeEntry());

    // A second scan replaces the rows of the first.
    for (int run = 0; run < 2; ++run) {
        Click(IDC_SCAN);
        ASSERT_TRUE(m_program->WaitIdle());
        ExpectScanResult(kExpectedRows);
    }

    EXPECT_EQ(m_profile->Harmless(), harmless);
    EXPECT_EQ(FileState(m_profile->DesktopHijack()), desktop);
    EXPECT_EQ(FileState(m_profile->QuickLaunchHijack()), quickLaunch);
    EXPECT_EQ(MachineKeyState(HijackedProfile::FakeEntry()), fake);
}

// A linked folder below the Start Menu is not followed, and the scan says so in a row of its
// own, after the rows of what it found.
TEST_F(BrenvikE2e, ScanShowsALinkedStartMenuFolderAsSkipped) {
    wchar_t* startMenu = nullptr;
    ASSERT_TRUE(SUCCEEDED(SHGetKnownFolderPath(FOLDERID_StartMenu, 0, nullptr, &startMenu)));
    const std::string link = WideToUtf8(startMenu) + "\\Linked Programs";
    CoTaskMemFree(startMenu);
    ScratchFolder elsewhere;
    const FolderLink linked(link, elsewhere.path());
    ASSERT_TRUE(linked.made());

    Start();
    Click(IDC_SCAN);
    ASSERT_TRUE(m_program->WaitIdle());
    std::vector<ReportRow> rows = kExpectedRows;
    rows.push_back({"Start Menu", link, "Skipped: junction not followed"});
    ExpectScanResult(rows);
}

TEST_F(BrenvikE2e, FixRepairsTheHijacksOnlyAndLeavesTheReportAlone) {
    Start();
    Click(IDC_SCAN);
    ASSERT_TRUE(m_program->WaitIdle());
    const auto harmless = m_profile->Harmless();
    ObjectState quickLaunch = FileState(m_profile->QuickLaunchHijack());

    // Fix runs on a worker with the same commands locked as during a scan.
    Click(IDC_FIX);
    EXPECT_FALSE(m_program->CommandsEnabled());
    ASSERT_TRUE(m_program->WaitIdle());

    EXPECT_EQ(m_program->Rows(), kFixedRows);
    const std::string status = m_program->Text(m_program->item(IDC_STATUS));
    EXPECT_TRUE(StartsWith(status, kFixedStatus[Language()])) << status;
    EXPECT_FALSE(FileState(m_profile->DesktopHijack()).exists);
    quickLaunch.arguments = "";
    EXPECT_EQ(FileState(m_profile->QuickLaunchHijack()), quickLaunch)
        << "the Quick Launch shortcut keeps its target, attributes and access list";
    EXPECT_FALSE(MachineKeyState(HijackedProfile::FakeEntry()).exists);
    EXPECT_EQ(m_profile->Harmless(), harmless);

    Click(IDC_SCAN);
    ASSERT_TRUE(m_program->WaitIdle());
    ExpectScanResult({});
}

TEST_F(BrenvikE2e, RestoreLastRepairFromTheSystemMenuBringsTheProfileBack) {
    Start();
    const auto harmless = m_profile->Harmless();
    const ObjectState desktop = FileState(m_profile->DesktopHijack());
    const ObjectState quickLaunch = FileState(m_profile->QuickLaunchHijack());
    const ObjectState fake = MachineKeyState(HijackedProfile::FakeEntry());
    Click(IDC_FIX);
    ASSERT_TRUE(m_program->WaitIdle());
    ASSERT_FALSE(FileState(m_profile->DesktopHijack()).exists);

    // The system menu's item (0x0110) asks first; Yes restores. Restore acts only in the
    // places Shell Folders names, which Wine sets back whenever a known folder is asked for.
    PostMessageA(m_program->dialog(), WM_SYSCOMMAND, 0x0110, 0);
    const HWND question = m_program->WaitOwnedDialog();
    ASSERT_NE(question, nullptr);
    ASSERT_TRUE(m_profile->PointShellFolders());
    PostMessageA(question, WM_COMMAND, IDYES, 0);
    // The restore has begun once the shortcut is back (the commands are disabled from before
    // its worker starts until it ends); only the name is looked at, as the restore works on.
    ASSERT_TRUE(WaitFor([this] {
        return GetFileAttributesA(m_profile->DesktopHijack().c_str()) != INVALID_FILE_ATTRIBUTES;
    }));
    ASSERT_TRUE(m_program->WaitIdle());

    EXPECT_EQ(FileState(m_profile->DesktopHijack()), desktop);
    EXPECT_EQ(FileState(m_profile->QuickLaunchHijack()), quickLaunch);
    EXPECT_EQ(MachineKeyState(HijackedProfile::FakeEntry()), fake);
    EXPECT_EQ(m_profile->Harmless(), harmless);
}

TEST_F(BrenvikE2e, FixDesktopWritesTheIconValuesAndTheNetworkPlacesRegistration) {
    DeleteKeyTreeForcibly(HKEY_CURRENT_USER, kHideDesktopIcons);
    const std::string newStartPanel = std::string(kHideDesktopIcons) + "\\NewStartPanel";
    ASSERT_TRUE(SetValue(HKEY_CURRENT_USER, newStartPanel, "Other", Dword(7)));
    // A verb of the old registration that opens a site must go.
    ASSERT_TRUE(SetValue(HKEY_CLASSES_ROOT, std::string(kNetworkPlaces) + "\\shell\\open\\command",
                         "", Text(REG_SZ, kFakeCommand)));
    Start();

    // Twice: the second run leaves the same state.
    for (int run = 0; run < 2; ++run) {
        m_program->Click(IDC_FIX_DESKTOP);
        ASSERT_TRUE(m_program->WaitIdle());
        const RegTree icons = ReadTree(HKEY_CURRENT_USER, kHideDesktopIcons);
        const RegTree expectedIcons = {
            {"", {}},
            {"newstartpanel",
             {{"other", Dword(7)},
              {kInternetExplorerIcon, Dword(0)},
              {kNetworkPlacesIcon, Dword(1)}}},
        };
        EXPECT_EQ(icons, expectedIcons) << "only the existing key gets the values";
        EXPECT_EQ(ReadTree(HKEY_CLASSES_ROOT, kNetworkPlaces), ExpectedNetworkPlaces());
    }
    EXPECT_TRUE(m_program->Rows().empty());
}

TEST_F(BrenvikE2e, EscapeDoesNothingWhileSpaceOnFixRepairs) {
    Start();
    m_program->PostKey(m_program->item(IDC_SCAN), VK_ESCAPE);
    m_program->PostKey(m_program->dialog(), VK_ESCAPE);
    PostScanAndWait();
    ExpectScanResult(kExpectedRows);
    EXPECT_TRUE(FileState(m_profile->DesktopHijack()).exists);
    EXPECT_TRUE(MachineKeyState(HijackedProfile::FakeEntry()).exists);

    ASSERT_TRUE(m_profile->PointShellFolders());
    m_program->PostKey(m_program->item(IDC_FIX), VK_SPACE);
    // A Scan that arrives while Fix runs is ignored: wait for the Fix first. Only the name is
    // looked at: opening the shortcut to read it (as FileState does) would share it without
    // delete access, and the Fix's delete would then fail as "in use".
    const DWORD start = GetTickCount();
    while (GetFileAttributesA(m_profile->DesktopHijack().c_str()) != INVALID_FILE_ATTRIBUTES &&
           GetTickCount() - start < 20000)
        Sleep(20);
    ASSERT_TRUE(m_program->WaitIdle());
    PostScanAndWait();
    ExpectScanResult({});
    EXPECT_FALSE(FileState(m_profile->DesktopHijack()).exists);
}

TEST_F(BrenvikE2e, ScanningLocksTheCommandsAndFixDesktopWaitsForTheScan) {
    const std::string newStartPanel = std::string(kHideDesktopIcons) + "\\NewStartPanel";
    ASSERT_TRUE(SetValue(HKEY_CURRENT_USER, newStartPanel, "Other", Dword(7)));
    Start();

    // BM_CLICK returns as soon as the worker has started; the scan's first shortcut read
    // (COM start-up included) takes far longer than these checks.
    Click(IDC_SCAN);
    EXPECT_FALSE(IsWindowEnabled(m_program->item(IDC_SCAN)));
    EXPECT_FALSE(IsWindowEnabled(m_program->item(IDC_FIX)));
    EXPECT_FALSE(IsWindowEnabled(m_program->item(IDC_ABOUT)));
    EXPECT_TRUE(IsWindowEnabled(m_program->item(IDC_FIX_DESKTOP)));
    EXPECT_NE(m_program->CloseGreyed(), std::optional<bool>(false));

    m_program->Click(IDC_FIX_DESKTOP);
    ASSERT_TRUE(m_program->WaitIdle());
    // The scan's rows, and Fix Desktop's word on the status line once it has run after it.
    EXPECT_EQ(m_program->Rows(), kExpectedRows);
    const std::string status = m_program->Text(m_program->item(IDC_STATUS));
    EXPECT_TRUE(StartsWith(status, kDesktopStatus[Language()])) << status;
    const RegTree icons = ReadTree(HKEY_CURRENT_USER, newStartPanel);
    ASSERT_EQ(icons.count(""), 1u);
    EXPECT_EQ(icons.at("").count(kNetworkPlacesIcon), 1u);
}

// The user unchecks one finding with Space: Fix leaves it on disk and its row says so. Ignored
// from its row's menu, the next Scan leaves it out; with Show ignored it is listed "Ignored",
// without a box, until Stop ignoring makes it a finding again.
TEST_F(BrenvikE2e, UncheckedRowsAreLeftAloneAndIgnoredOnesListedOnlyWhenAsked) {
    const ScopedIgnoreList list;
    Start();
    const int language = Language();
    Click(IDC_SCAN);
    ASSERT_TRUE(m_program->WaitIdle());
    ExpectScanResult(kExpectedRows);
    for (int row = 0; row < 3; ++row) EXPECT_EQ(2, m_program->CheckImage(row)) << row;

    // Row 0 is the Quick Launch shortcut; Space reaches the list through the dialog's loop.
    const ObjectState quickLaunch = FileState(m_profile->QuickLaunchHijack());
    ASSERT_TRUE(m_program->SelectRow(0));
    m_program->PostKey(m_program->item(IDC_REPORT), VK_SPACE);
    ASSERT_TRUE(WaitFor([&] { return m_program->CheckImage(0) == 1; }));

    Click(IDC_FIX);
    ASSERT_TRUE(m_program->WaitIdle());
    const std::string skipped = AsListReadsIt(NotSelectedCellText[language], language);
    EXPECT_EQ(m_program->Rows(), (std::vector<ReportRow>{
                                     {"Quick Launch", "http://hijack.example/quick", skipped},
                                     kFixedRows[1],
                                     kFixedRows[2],
                                 }));
    EXPECT_EQ(FileState(m_profile->QuickLaunchHijack()), quickLaunch);
    EXPECT_FALSE(FileState(m_profile->DesktopHijack()).exists);
    char counted[64];
    std::snprintf(counted, sizeof counted, NotSelectedCountText[language], 1);
    const std::string status = m_program->Text(m_program->item(IDC_STATUS));
    EXPECT_NE(status.find(counted), std::string::npos) << status;

    // Ignore, as the row's menu sends it; the row goes.
    ASSERT_TRUE(m_program->SelectRow(0));
    ASSERT_TRUE(m_profile->PointShellFolders());
    SendMessageA(m_program->dialog(), WM_COMMAND, IDM_ROW_IGNORE, 0);
    ASSERT_TRUE(m_program->WaitIdle());
    EXPECT_EQ(m_program->Rows(), (std::vector<ReportRow>{kFixedRows[1], kFixedRows[2]}));

    Click(IDC_SCAN);
    ASSERT_TRUE(m_program->WaitIdle());
    ExpectScanResult({});

    SendMessageA(m_program->dialog(), WM_SYSCOMMAND, IDM_SHOW_IGNORED, 0);
    Click(IDC_SCAN);
    ASSERT_TRUE(m_program->WaitIdle());
    ExpectScanResult({{"Quick Launch", "http://hijack.example/quick",
                       AsListReadsIt(IgnoredCellText[language], language)}});
    EXPECT_EQ(0, m_program->CheckImage(0));
    EXPECT_EQ(FileState(m_profile->QuickLaunchHijack()), quickLaunch);

    ASSERT_TRUE(m_program->SelectRow(0));
    SendMessageA(m_program->dialog(), WM_COMMAND, IDM_ROW_UNIGNORE, 0);
    ASSERT_TRUE(m_program->WaitIdle());
    EXPECT_EQ(m_program->Rows(),
              (std::vector<ReportRow>{{"Quick Launch", "http://hijack.example/quick", ""}}));
    EXPECT_EQ(2, m_program->CheckImage(0));
}

TEST_F(BrenvikE2e, AboutBoxIsModalOverTheMainDialog) {
    Start();
    m_program->PostClick(IDC_ABOUT);
    const HWND about = m_program->WaitOwnedDialog();
    ASSERT_NE(about, nullptr);
    const int language = Language();
    EXPECT_EQ(m_program->Text(about), AboutTitleText[language]);
    EXPECT_EQ(m_program->Text(GetDlgItem(about, IDOK)), OkText[language]);
    EXPECT_FALSE(IsWindowEnabled(m_program->dialog()));

    // Escape in the about box closes it, as in any dialog.
    m_program->PostKey(GetDlgItem(about, IDOK), VK_ESCAPE);
    const DWORD start = GetTickCount();
    while (IsWindow(about) && GetTickCount() - start < 20000) {
        Sleep(20);
    }
    EXPECT_FALSE(IsWindow(about));
    EXPECT_TRUE(IsWindowEnabled(m_program->dialog()));
}

}  // namespace

}  // namespace brenvik::test
