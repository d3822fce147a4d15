// Hijacks whose names and sites lie beyond any one code page, found and repaired through the
// driver under Wine, in the English and in the Chinese run alike. Escapes keep the source
// file's encoding out of it; the readable text stands beside each.
#include <gtest/gtest.h>

#include <objbase.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "engine/commands/driver.h"
#include "tests/support/shortcut_calls.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"
#include "tests/support/row_view.h"
#include "tests/support/bare_commands.h"
#include "tests/support/registry_names.h"
#include "tests/support/win32_world.h"

namespace brenvik {
namespace {

using test::CreateShortcut;
using test::DeleteKeyTreeForcibly;
using test::kNameSpace;
using test::kShellFolders;
using test::ScopedShellFolder;
using test::ScratchFolder;

constexpr const char* kTarget = "C:\\windows\\notepad.exe";

// Desktop ✓
constexpr const char* kDesktopFolder = "Desktop \xE2\x9C\x93";

// A hijacked shortcut: its file name and the site its arguments open.
struct Hijack {
    const char* link;
    const char* site;
};
// Internet Explorer ✓.lnk, opening http://例子.测试/✓
constexpr Hijack kCheck = {"Internet Explorer \xE2\x9C\x93.lnk",
                           "http://\xE4\xBE\x8B\xE5\xAD\x90.\xE6\xB5\x8B\xE8\xAF\x95/\xE2\x9C\x93"};
// Internet Explorer 浏览器.lnk: a name the 8-bit design found in code page 936.
constexpr Hijack kGbk = {"Internet Explorer \xE6\xB5\x8F\xE8\xA7\x88\xE5\x99\xA8.lnk",
                         "http://gbk.example/"};
// Ярлык IExplorer.lnk in Quick Launch, opening http://пример.испытание/IE
constexpr Hijack kCyrillic = {
    "\xD0\xAF\xD1\x80\xD0\xBB\xD1\x8B\xD0\xBA IExplorer.lnk",
    "http://\xD0\xBF\xD1\x80\xD0\xB8\xD0\xBC\xD0\xB5\xD1\x80.\xD0\xB8\xD1\x81\xD0\xBF\xD1\x8B"
    "\xD1\x82\xD0\xB0\xD0\xBD\xD0\xB8\xD0\xB5/IE"};
// Заметки.lnk (Notes): no browser in its name, left alone.
constexpr const char* kNotesLink = "\xD0\x97\xD0\xB0\xD0\xBC\xD0\xB5\xD1\x82\xD0\xBA\xD0\xB8.lnk";
// A name space entry "网址导航 {class}" whose verb 打开 runs the browser with HTTP://Dao.例子/
constexpr struct {
    const char* title;
    const char* verb;
    const char* command;
    const char* site;
} kEntry = {"\xE7\xBD\x91\xE5\x9D\x80\xE5\xAF\xBC\xE8\x88\xAA ", "\xE6\x89\x93\xE5\xBC\x80",
            "C:\\PROGRA~1\\Internet Explorer\\IEXPLORE.EXE HTTP://Dao.\xE4\xBE\x8B\xE5\xAD\x90/",
            "http://dao.\xE4\xBE\x8B\xE5\xAD\x90/"};

std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

// A REG_SZ value written as Unicode, whatever the code page.
bool SetText(HKEY root, const std::string& path, const std::string& name, const std::string& text) {
    const std::vector<std::uint8_t> data = test::StoredText(text);
    return RegSetKeyValueW(root, Utf8ToWide(path).c_str(), Utf8ToWide(name).c_str(), REG_SZ,
                           data.data(), static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

bool KeyExists(HKEY root, const std::string& path) {
    UniqueHkey key;
    return RegOpenKeyExW(root, Utf8ToWide(path).c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesW(Utf8ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A Desktop whose path holds ✓, a Quick Launch folder and a name space entry, each with a
// hijack named in another script, and a bystander beside them.
class UnicodeNamesWineTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_desktop = m_root.path() + "\\" + kDesktopFolder;
        m_appData = m_root.path() + "\\AppData";
        m_quickLaunch = m_appData + "\\Microsoft\\Internet Explorer\\Quick Launch";
        ASSERT_TRUE(test::MakeFolders(m_desktop));
        // Wine names files through the host's locale: without a UTF-8 one there is no such
        // folder (scripts/install-deps generates them).
        if (!FileExists(m_desktop))
            GTEST_SKIP() << "the host has no locale that can name the files";
        ASSERT_TRUE(test::MakeFolders(m_quickLaunch));
        ASSERT_EQ(S_OK, CreateShortcut(Desktop(kCheck.link), kTarget, kCheck.site));
        ASSERT_EQ(S_OK, CreateShortcut(Desktop(kGbk.link), kTarget, kGbk.site));
        ASSERT_EQ(S_OK, CreateShortcut(Desktop(kNotesLink), kTarget, kCheck.site));
        ASSERT_EQ(S_OK, CreateShortcut(QuickLaunch(kCyrillic.link), kTarget, kCyrillic.site));

        m_classId = test::NewClassId();
        ASSERT_TRUE(SetText(HKEY_LOCAL_MACHINE, Entry(), "", "fake"));
        ASSERT_TRUE(SetText(HKEY_LOCAL_MACHINE,
                            ClassKey() + "\\shell\\" + kEntry.verb + "\\Command", "",
                            kEntry.command));
        m_desktopValue = std::make_unique<ScopedShellFolder>("Desktop", m_desktop);
        m_appDataValue = std::make_unique<ScopedShellFolder>("AppData", m_appData);
    }

    void TearDown() override {
        DeleteKeyTreeForcibly(HKEY_LOCAL_MACHINE, Entry());
        DeleteKeyTreeForcibly(HKEY_LOCAL_MACHINE, ClassKey());
    }

    std::string Desktop(const char* name) const { return m_desktop + "\\" + name; }
    std::string QuickLaunch(const char* name) const { return m_quickLaunch + "\\" + name; }
    std::string Entry() const { return std::string(kNameSpace) + "\\" + kEntry.title + m_classId; }
    std::string ClassKey() const { return test::kMachineClasses + m_classId; }

    // Wine's shell writes its own paths back into Shell Folders when a shortcut is saved.
    void PointShellFolders() {
        ASSERT_TRUE(SetText(HKEY_CURRENT_USER, kShellFolders, "Desktop", m_desktop));
        ASSERT_TRUE(SetText(HKEY_CURRENT_USER, kShellFolders, "AppData", m_appData));
    }

    std::vector<std::string> Scan() {
        PointShellFolders();
        test::RowView view(" | ");
        test::ScanRows(m_ports, view);
        return Sorted(view.rows);
    }

    std::string Arguments(const std::string& path) {
        std::string arguments;
        test::ReadArguments(m_platform, path, &arguments);
        return arguments;
    }

    ScratchFolder m_root;
    std::string m_desktop;
    std::string m_appData;
    std::string m_quickLaunch;
    std::string m_classId;
    std::unique_ptr<ScopedShellFolder> m_desktopValue;
    std::unique_ptr<ScopedShellFolder> m_appDataValue;
    Win32Platform m_platform;
    Ports m_ports = m_platform.ports();
};

TEST_F(UnicodeNamesWineTest, HijacksInAnyScriptAreListedWithTheirSitesAndRepairedByFix) {
    EXPECT_EQ(Scan(), Sorted({std::string("Desktop | ") + kCheck.site,
                              std::string("Desktop | ") + kGbk.site,
                              std::string("Desktop NameSpace | ") + kEntry.site,
                              std::string("Quick Launch | ") + kCyrillic.site}));

    PointShellFolders();
    test::Fix(m_ports);

    EXPECT_FALSE(FileExists(Desktop(kCheck.link)));
    EXPECT_FALSE(FileExists(Desktop(kGbk.link)));
    EXPECT_EQ(Arguments(Desktop(kNotesLink)), kCheck.site);
    EXPECT_TRUE(FileExists(QuickLaunch(kCyrillic.link)));
    EXPECT_EQ(Arguments(QuickLaunch(kCyrillic.link)), "");
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, Entry()));
    EXPECT_TRUE(
        KeyExists(HKEY_LOCAL_MACHINE, ClassKey() + "\\shell\\" + kEntry.verb + "\\Command"));
    EXPECT_EQ(Scan(), std::vector<std::string>{});
}

}  // namespace
}  // namespace brenvik
