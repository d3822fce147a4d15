#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "engine/change/access_broker.h"
#include "tests/support/shortcut_calls.h"
#include "engine/change/journal.h"
#include "engine/vectors/link_scanners.h"
#include "engine/vectors/vector_table.h"
#include "platform/win32/win32_platform.h"
#include "tests/support/registry_names.h"
#include "tests/support/scan_alone.h"
#include "tests/support/win32_world.h"

namespace brenvik {
namespace {

using test::CreateShortcut;
using test::kShellFolders;
using test::ReadSddl;
using test::ScopedShellFolder;
using test::ScratchFolder;

constexpr const char* kTarget = "C:\\windows\\notepad.exe";
constexpr DWORD kHiddenReadOnly = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
constexpr DWORD kBitsThatMatter =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

struct FileState;
std::ostream& operator<<(std::ostream& os, const FileState& s);

struct FileState {
    std::string sddl;
    DWORD attributes;
    bool operator==(const FileState& o) const {
        return sddl == o.sddl && (attributes & kBitsThatMatter) == (o.attributes & kBitsThatMatter);
    }
};

std::ostream& operator<<(std::ostream& os, const FileState& s) {
    return os << s.sddl << " attributes " << std::hex << s.attributes;
}

FileState StateOf(const std::string& path) {
    return {ReadSddl(path, SecurityObjectType::File), GetFileAttributesA(path.c_str())};
}

std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

std::vector<std::string> Paths(const FindingList& findings) {
    std::vector<std::string> paths;
    for (const Finding& f : findings) paths.push_back(f.path + " => " + f.site);
    return Sorted(paths);
}

std::string Arguments(const std::string& path) {
    std::string arguments;
    test::ReadArguments(Win32Platform(), path, &arguments);
    return arguments;
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
    return s;
}

// A Desktop and an AppData folder of their own, with the Shell Folders values pointing at them.
class LinkScannerWineTest : public ::testing::Test {
protected:
    LinkScannerWineTest()
        : m_desktopValue("Desktop", m_desktop.path()), m_appDataValue("AppData", m_appData.path()) {
        m_quickLaunch = m_appData.path() + "\\Microsoft\\Internet Explorer\\Quick Launch";
        test::MakeFolders(m_quickLaunch);
        UseDeclaredPlaces(m_broker, m_ports);
    }

    // Hijacks and bystanders, hidden and read-only ones among them.
    void Populate(const std::string& folder) {
        Make(folder + "\\Internet Explorer.lnk", "http://hijack.example/a", 0);
        Make(folder + "\\My IExplorer Page.lnk", "http://hijack.example/b", kHiddenReadOnly);
        Make(folder + "\\Internet Explorer Plain.lnk", "", kHiddenReadOnly);
        Make(folder + "\\Notepad.lnk", "http://not.a.hijack/", FILE_ATTRIBUTE_READONLY);
        CreateDirectoryA((folder + "\\internet explorer folder.lnk").c_str(), nullptr);
        test::MakeFile(folder + "\\Internet Explorer.url");
    }

    // Wine's shell rewrites the Shell Folders values whenever a shortcut is saved, so they
    // are pointed at the scratch folders again right before every scan.
    void PointShellFolders() {
        for (const auto& [name, folder] :
             {std::pair<const char*, std::string>{"Desktop", m_desktop.path()},
              {"AppData", m_appData.path()}}) {
            RegSetKeyValueA(HKEY_CURRENT_USER, kShellFolders, name, REG_SZ, folder.c_str(),
                            static_cast<DWORD>(folder.size() + 1));
        }
    }

    template <typename Scanner>
    Scanner Scan(bool expected = true) {
        PointShellFolders();
        Scanner scanner;
        EXPECT_EQ(test::ScanAlone(scanner, m_broker), expected);
        return scanner;
    }

    void Make(const std::string& path, const std::string& arguments, DWORD attributes) {
        ASSERT_EQ(CreateShortcut(path, kTarget, arguments), S_OK) << path;
        if (attributes)
            SetFileAttributesA(path.c_str(), attributes);
        m_all.push_back(path);
    }

    std::map<std::string, FileState> States() {
        std::map<std::string, FileState> states;
        for (const std::string& path : m_all) states[path] = StateOf(path);
        return states;
    }

    Win32Platform m_platform;
    Ports m_ports = m_platform.ports();
    Journal m_journal{m_platform};
    AccessBroker m_broker{m_ports, m_journal};
    ScratchFolder m_desktop;
    ScratchFolder m_appData;
    std::string m_quickLaunch;
    ScopedShellFolder m_desktopValue;
    ScopedShellFolder m_appDataValue;
    std::vector<std::string> m_all;
};

TEST_F(LinkScannerWineTest, DesktopScanFindsExactlyTheHijacksAndChangesNothing) {
    ASSERT_TRUE(m_desktopValue.ok());
    Populate(m_desktop.path());
    const auto before = States();

    const auto scanner = Scan<DesktopLinkScanner>();
    EXPECT_EQ(Paths(scanner.findings()),
              Sorted({m_desktop.path() + "\\Internet Explorer.lnk => http://hijack.example/a",
                      m_desktop.path() + "\\My IExplorer Page.lnk => http://hijack.example/b"}));
    EXPECT_EQ(States(), before);
}

TEST_F(LinkScannerWineTest, DesktopRepairDeletesExactlyTheFindings) {
    Populate(m_desktop.path());
    const auto before = States();
    auto scanner = Scan<DesktopLinkScanner>();
    ASSERT_EQ(scanner.findings().size(), 2u);
    EXPECT_TRUE(scanner.repair(m_broker));

    for (const auto& [path, state] : before) {
        const bool hijack = path.find("\\Internet Explorer.lnk") != std::string::npos ||
                            path.find("\\My IExplorer Page.lnk") != std::string::npos;
        if (hijack) {
            EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << path;
        } else {
            EXPECT_EQ(StateOf(path), state) << path;
        }
    }
    EXPECT_TRUE(Scan<DesktopLinkScanner>().findings().empty());
}

TEST_F(LinkScannerWineTest, QuickLaunchRepairClearsArgumentsAndKeepsTheRest) {
    Populate(m_quickLaunch);
    const auto before = States();
    auto scanner = Scan<QuickLaunchLinkScanner>();
    ASSERT_EQ(scanner.findings().size(), 2u);
    EXPECT_TRUE(scanner.repair(m_broker));

    for (const auto& [path, state] : before) {
        EXPECT_EQ(StateOf(path), state) << path;
        EXPECT_EQ(Lower(test::ReadShortcutTarget(path)), Lower(kTarget)) << path;
    }
    EXPECT_EQ(Arguments(m_quickLaunch + "\\Internet Explorer.lnk"), "");
    EXPECT_EQ(Arguments(m_quickLaunch + "\\My IExplorer Page.lnk"), "");
    EXPECT_EQ(Arguments(m_quickLaunch + "\\Notepad.lnk"), "http://not.a.hijack/");
    EXPECT_TRUE(Scan<QuickLaunchLinkScanner>().findings().empty());
}

TEST_F(LinkScannerWineTest, EmptyFolderIsNoListingAndOtherShortcutsAreNoFindings) {
    Scan<DesktopLinkScanner>(false);
    test::MakeFile(m_desktop.path() + "\\readme.txt");
    Make(m_desktop.path() + "\\Notepad.lnk", "x", 0);
    EXPECT_TRUE(Scan<DesktopLinkScanner>().findings().empty());
}

// The prefix's own profile, as the Shell Folders values name it out of the box.
TEST(LinkScannersOnTheRealProfile, FindAndRemoveAHijackOnTheUsersDesktop) {
    Win32Platform platform;
    Ports ports = platform.ports();
    Journal journal(platform);
    AccessBroker broker(ports, journal);
    UseDeclaredPlaces(broker, ports);
    std::string desktop;
    {
        char buffer[MAX_PATH] = {};
        DWORD size = sizeof buffer;
        ASSERT_EQ(RegGetValueA(HKEY_CURRENT_USER, kShellFolders, "Desktop", RRF_RT_REG_SZ, nullptr,
                               buffer, &size),
                  ERROR_SUCCESS);
        desktop = buffer;
    }
    // The prefix's profile folders are plain folders of the build tree, never the host's home.
    const std::string path = desktop + "\\" + test::UniqueName("Internet Explorer") + ".lnk";
    ASSERT_EQ(CreateShortcut(path, kTarget, "http://hijack.example/real"), S_OK);

    DesktopLinkScanner scanner;
    EXPECT_TRUE(test::ScanAlone(scanner, broker));
    const auto it = std::find_if(scanner.findings().begin(), scanner.findings().end(),
                                 [&](const Finding& f) { return f.path == path; });
    ASSERT_NE(it, scanner.findings().end());
    EXPECT_EQ(it->site, "http://hijack.example/real");
    scanner.repair(broker);
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace brenvik
