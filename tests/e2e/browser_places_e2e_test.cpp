// The real program on a profile with one browser hijack of each rule in each place and a
// legitimate twin of each: the rows, then the repairs, with every twin left byte for byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "e2e_world.h"
#include "tests/support/shortcut_calls.h"
#include "engine/ports/known_folder_port.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"
#include "program_window.h"
#include "res/resource.h"
#include "tests/support/registry_names.h"
#include "tests/support/win32_world.h"

namespace brenvik::test {
namespace {

constexpr char kCmd[] = "C:\\windows\\system32\\cmd.exe";
constexpr char kMachineEntry[] = "{E2E0B2A1-5C3D-4F6E-8A9B-0C1D2E3F4AB1}";
constexpr char kUserEntry[] = "{E2E0B2A1-5C3D-4F6E-8A9B-0C1D2E3F4AB2}";
constexpr char kUserTwinEntry[] = "{E2E0B2A1-5C3D-4F6E-8A9B-0C1D2E3F4AB3}";

// The places in the order of their rows, as the program finds them.
struct Place {
    const char* label;
    KnownFolder folder;
    const char* subPath;
    // Every user runs from it: a shortcut there is pointed only at a machine-wide registration.
    bool machineWide = false;
};

const Place kPlaces[] = {
    {"Desktop", KnownFolder::Desktop, ""},
    {"Public Desktop", KnownFolder::PublicDesktop, "", true},
    {"Quick Launch", KnownFolder::QuickLaunch, ""},
    {"Taskbar", KnownFolder::QuickLaunch, "\\User Pinned\\TaskBar"},
    {"Start Menu", KnownFolder::StartMenu, "\\Programs\\Web"},
    {"Start Menu", KnownFolder::CommonStartMenu, "\\Programs", true},
    {"Start Menu", KnownFolder::QuickLaunch, "\\User Pinned\\StartMenu"},
    {"Startup", KnownFolder::Startup, ""},
    {"Startup", KnownFolder::CommonStartup, "", true},
};

std::string FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);  // the paths here are ASCII
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string Lowercase(std::string text) {
    for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 0x20 : c);
    return text;
}

bool SetDefault(HKEY root, const std::string& path, const std::string& text) {
    UniqueHkey key;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.put(),
                        nullptr) != ERROR_SUCCESS)
        return false;
    return RegSetValueExA(key.get(), "", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

bool MakeUrl(const std::string& path, const std::string& url) {
    std::ofstream file(path, std::ios::binary);
    file << "[InternetShortcut]\r\nURL=" << url << "\r\n";
    return static_cast<bool>(file);
}

// Chrome and Firefox registered per machine, Edge per user, each an (empty) file in a scratch
// folder; every place holds a hijack of each shortcut rule and a twin of each.
class BrowserProfile {
public:
    BrowserProfile() {
        m_chrome = m_programs.path() + "\\Chrome\\chrome.exe";
        m_edge = m_programs.path() + "\\Edge\\msedge.exe";
        m_firefox = m_programs.path() + "\\Firefox\\firefox.exe";
        m_ok = MakeFolders(m_programs.path() + "\\Chrome") &&
               MakeFolders(m_programs.path() + "\\Edge") &&
               MakeFolders(m_programs.path() + "\\Firefox") && MakeFile(m_chrome) &&
               MakeFile(m_edge) && MakeFile(m_firefox) &&
               SetDefault(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + "chrome.exe", m_chrome) &&
               SetDefault(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + "firefox.exe", m_firefox) &&
               SetDefault(HKEY_CURRENT_USER, std::string(kAppPaths) + "msedge.exe", m_edge);
        m_ok = m_ok && fillInternetExplorer();
        for (std::size_t i = 0; m_ok && i < std::size(kPlaces); ++i) m_ok = fillPlace(i);
        m_ok = m_ok && fillNameSpace();
    }

    ~BrowserProfile() {
        for (const std::string& path : m_files) {
            SetFileAttributesW(Utf8ToWide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(Utf8ToWide(path).c_str());
        }
        for (const char* entry : {kMachineEntry, kUserEntry, kUserTwinEntry}) {
            for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
                DeleteKeyTreeForcibly(root, std::string(kNameSpaceKey) + "\\" + entry);
        }
        DeleteKeyTreeForcibly(HKEY_LOCAL_MACHINE, std::string(kMachineClasses) + kMachineEntry);
        DeleteKeyTreeForcibly(HKEY_CURRENT_USER, std::string(kUserClasses) + kUserEntry);
        DeleteKeyTreeForcibly(HKEY_CURRENT_USER, std::string(kUserClasses) + kUserTwinEntry);
    }

    bool ok() const { return m_ok; }
    const std::vector<ReportRow>& rows() const { return m_rows; }

    // Every twin's bytes and every name space twin, by a name for failure messages.
    std::map<std::string, std::string> Twins() const {
        std::map<std::string, std::string> twins;
        for (const std::string& path : m_twins) twins[path] = FileBytes(path);
        twins["name space twin"] = std::to_string(
            ReadTree(HKEY_CURRENT_USER, std::string(kNameSpaceKey) + "\\" + kUserTwinEntry).size());
        return twins;
    }

    // The hijacks as Fix must leave them.
    void ExpectRepaired() const {
        for (const std::string& path : m_argumentHijacks) {
            std::string arguments;
            ReadArguments(Win32Platform(), path, &arguments);
            EXPECT_EQ(arguments, "--profile-directory=Default") << path;
            EXPECT_EQ(Lowercase(ReadShortcutTarget(path)), Lowercase(m_chrome)) << path;
        }
        for (const std::string& path : m_targetHijacks) {
            std::string arguments = "sentinel";
            ReadArguments(Win32Platform(), path, &arguments);
            EXPECT_EQ(arguments, "") << path;
            EXPECT_EQ(Lowercase(ReadShortcutTarget(path)), Lowercase(m_edge)) << path;
        }
        for (const std::string& path : m_removedTargetHijacks)
            EXPECT_EQ(GetFileAttributesW(Utf8ToWide(path).c_str()), INVALID_FILE_ATTRIBUTES)
                << path;
        EXPECT_EQ(GetFileAttributesW(Utf8ToWide(m_internetExplorer).c_str()),
                  INVALID_FILE_ATTRIBUTES);
        for (const std::string& path : m_fakeLinks)
            EXPECT_EQ(GetFileAttributesW(Utf8ToWide(path).c_str()), INVALID_FILE_ATTRIBUTES)
                << path;
        EXPECT_TRUE(ReadTree(HKEY_LOCAL_MACHINE, std::string(kNameSpaceKey) + "\\" + kMachineEntry)
                        .empty());
        EXPECT_TRUE(
            ReadTree(HKEY_CURRENT_USER, std::string(kNameSpaceKey) + "\\" + kUserEntry).empty());
    }

private:
    bool link(const std::string& path, const std::string& target, const std::string& arguments) {
        m_files.push_back(path);
        return SUCCEEDED(CreateShortcut(path, target, arguments));
    }

    // A Desktop shortcut named like Internet Explorer: its row is the older scanner's, once.
    bool fillInternetExplorer() {
        std::string desktop;
        if (Win32Platform().knownFolder(KnownFolder::Desktop, &desktop) != 0)
            return false;
        m_internetExplorer = desktop + "\\Internet Explorer.lnk";
        m_rows.push_back({"Desktop", "http://ie.example/desktop", ""});
        return link(m_internetExplorer, kIExplore, "http://ie.example/desktop");
    }

    bool fillPlace(std::size_t index) {
        const Place& place = kPlaces[index];
        std::string folder;
        if (Win32Platform().knownFolder(place.folder, &folder) != 0 ||
            !MakeFolders(folder += place.subPath))
            return false;
        const std::string site = "http://hijack.example/" + std::to_string(index);
        const std::string chrome = folder + "\\Google Chrome.lnk";
        const std::string edge = folder + "\\Microsoft Edge.lnk";
        const std::string fake = folder + "\\Mozilla Firefox.url";
        const std::string twins[] = {
            folder + "\\Google Chrome Work.lnk", folder + "\\Microsoft Edge InPrivate.lnk",
            folder + "\\Mozilla Firefox Private.lnk", folder + "\\News.url"};
        if (!link(chrome, m_chrome, "--profile-directory=Default " + site) ||
            !link(edge, kCmd, "/c start " + site) || !MakeUrl(fake, site + "url") ||
            !link(twins[0], m_chrome, "--profile-directory=\"Profile 1\"") ||
            !link(twins[1], m_edge, "--inprivate") ||
            !link(twins[2], m_firefox, "-P \"work\" -private-window") || !MakeUrl(twins[3], site))
            return false;
        m_files.insert(m_files.end(), {fake, twins[3]});
        m_twins.insert(m_twins.end(), std::begin(twins), std::end(twins));
        m_argumentHijacks.push_back(chrome);
        // Edge is registered for the user alone: a machine-wide shortcut to it is removed.
        (place.machineWide ? m_removedTargetHijacks : m_targetHijacks).push_back(edge);
        m_fakeLinks.push_back(fake);
        m_rows.push_back({place.label, site, ""});
        m_rows.push_back({place.label, ReadShortcutTarget(edge), ""});
        m_rows.push_back({place.label, site + "url", ""});
        return true;
    }

    bool fillNameSpace() {
        const std::string entries = std::string(kNameSpaceKey) + "\\";
        m_rows.push_back({"Desktop NameSpace", "http://ns-machine.example/", ""});
        m_rows.push_back({"Desktop NameSpace", "www.ns-user.example", ""});
        return SetDefault(HKEY_LOCAL_MACHINE, entries + kMachineEntry, "Shop") &&
               SetDefault(HKEY_LOCAL_MACHINE,
                          std::string(kMachineClasses) + kMachineEntry + "\\shell\\open\\Command",
                          "\"" + m_chrome + "\" http://ns-machine.example/") &&
               SetDefault(HKEY_CURRENT_USER, entries + kUserEntry, "Deals") &&
               SetDefault(HKEY_CURRENT_USER,
                          std::string(kUserClasses) + kUserEntry + "\\shell\\open\\Command",
                          m_edge + " www.ns-user.example") &&
               SetDefault(HKEY_CURRENT_USER, entries + kUserTwinEntry, "Browser") &&
               SetDefault(HKEY_CURRENT_USER,
                          std::string(kUserClasses) + kUserTwinEntry + "\\shell\\open\\Command",
                          "\"" + m_chrome + "\" --profile-directory=Default");
    }

    ScratchFolder m_programs;
    // Put back as they were (or removed) after the profile's own clean-up.
    ScopedKeyBackup m_machineApps{HKEY_LOCAL_MACHINE, std::string(kAppPaths) + "chrome.exe"};
    ScopedKeyBackup m_firefoxApp{HKEY_LOCAL_MACHINE, std::string(kAppPaths) + "firefox.exe"};
    ScopedKeyBackup m_userApps{HKEY_CURRENT_USER, std::string(kAppPaths) + "msedge.exe"};
    std::string m_chrome;
    std::string m_edge;
    std::string m_firefox;
    std::string m_internetExplorer;
    std::vector<std::string> m_files;
    std::vector<std::string> m_twins;
    std::vector<std::string> m_argumentHijacks;
    std::vector<std::string> m_targetHijacks;
    std::vector<std::string> m_removedTargetHijacks;
    std::vector<std::string> m_fakeLinks;
    std::vector<ReportRow> m_rows;
    bool m_ok = false;
};

std::string Describe(const ReportRow& row) {
    return row.location + " | " + row.site + " | " + row.status;
}

// The rows as sorted text, and whether their locations follow the places' order.
std::vector<std::string> Sorted(const std::vector<ReportRow>& rows) {
    std::vector<std::string> text;
    for (const ReportRow& row : rows) text.push_back(Describe(row));
    std::sort(text.begin(), text.end());
    return text;
}

bool InPlaceOrder(const std::vector<ReportRow>& rows) {
    const std::vector<std::string> order = {"Desktop",          "Public Desktop", "Quick Launch",
                                            "Taskbar",          "Start Menu",     "Startup",
                                            "Desktop NameSpace"};
    std::size_t at = 0;
    for (const ReportRow& row : rows) {
        while (at < order.size() && order[at] != row.location) ++at;
        if (at == order.size())
            return false;
    }
    return true;
}

TEST(BrowserPlacesE2e, HijacksOfEveryRuleInEveryPlaceAreListedAndRepairedTwinsUntouched) {
    BrowserProfile profile;
    ASSERT_TRUE(profile.ok()) << "profile could not be prepared";
    const auto twins = profile.Twins();
    RunningProgram program;
    ASSERT_NE(program.dialog(), nullptr) << "no main dialog appeared: " << program.Describe();

    program.Click(IDC_SCAN);
    ASSERT_TRUE(program.WaitIdle());
    const std::vector<ReportRow> rows = program.Rows();
    EXPECT_EQ(Sorted(rows), Sorted(profile.rows()));
    EXPECT_TRUE(InPlaceOrder(rows)) << "rows come place by place";
    EXPECT_EQ(profile.Twins(), twins) << "a scan changes nothing";

    program.Click(IDC_FIX);
    ASSERT_TRUE(program.WaitIdle());
    profile.ExpectRepaired();
    EXPECT_EQ(profile.Twins(), twins);

    program.Click(IDC_SCAN);
    ASSERT_TRUE(program.WaitIdle());
    EXPECT_TRUE(program.Rows().empty()) << Describe(program.Rows().front());
    EXPECT_EQ(program.Close(), 0u);
}

}  // namespace
}  // namespace brenvik::test
