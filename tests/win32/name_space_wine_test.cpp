#include <gtest/gtest.h>

#include <objbase.h>

#include <algorithm>
#include <cstring>

#include "engine/change/access_broker.h"
#include "engine/change/journal.h"
#include "engine/commands/driver.h"
#include "engine/vectors/name_space_scanner.h"
#include "engine/vectors/vector_table.h"
#include "platform/win32/win32_platform.h"
#include "tests/support/registry_names.h"
#include "tests/support/win32_world.h"
#include "tests/support/bare_commands.h"

namespace brenvik {
namespace {

using test::DeleteKeyTreeForcibly;
using test::kMachineClasses;
using test::kNameSpace;
using test::ReadSddl;
using test::WriteSddl;

void SetText(HKEY root, const std::string& path, const char* name, const std::string& text) {
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_SUCCESS)
        << path;
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
}

bool KeyExists(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::vector<std::string> NameSpaceOrder() {
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kNameSpace, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, size);
    }
    RegCloseKey(key);
    return names;
}

// Two fake icons and a legitimate entry in the real per-machine name space.
class NameSpaceWineTest : public ::testing::Test {
protected:
    NameSpaceWineTest() {
        CoInitialize(nullptr);
        UseDeclaredPlaces(m_broker, m_ports);
        m_quoted = test::NewClassId();
        m_twoVerbs = test::NewClassId();
        m_legit = test::NewClassId();
        SetText(HKEY_LOCAL_MACHINE, Entry(m_quoted), "", "fake");
        SetText(HKEY_LOCAL_MACHINE, CommandKey(m_quoted, "open"), "",
                "\"C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE\" http://Fake.Example/One");
        SetText(HKEY_LOCAL_MACHINE, Entry(m_twoVerbs) + "\\Sub", "", "nested");
        SetText(HKEY_LOCAL_MACHINE, CommandKey(m_twoVerbs, "open"), "",
                "iexplore.exe\thttp://two.example/");
        SetText(HKEY_LOCAL_MACHINE, CommandKey(m_twoVerbs, "print"), "", "notepad.exe /p");
        SetText(HKEY_LOCAL_MACHINE, Entry(m_legit), "", "legit");
        SetText(HKEY_LOCAL_MACHINE, CommandKey(m_legit, "open"), "", "explorer.exe /e");
    }
    ~NameSpaceWineTest() override {
        for (const std::string* id : {&m_quoted, &m_twoVerbs, &m_legit}) {
            DeleteKeyTreeForcibly(HKEY_LOCAL_MACHINE, Entry(*id));
            DeleteKeyTreeForcibly(HKEY_LOCAL_MACHINE, kMachineClasses + *id);
        }
    }

    static std::string Entry(const std::string& id) { return std::string(kNameSpace) + "\\" + id; }
    static std::string CommandKey(const std::string& id, const char* verb) {
        return kMachineClasses + id + "\\shell\\" + verb + "\\Command";
    }
    std::vector<std::string> SeededKeys() const {
        std::vector<std::string> keys = {kNameSpace};
        for (const std::string* id : {&m_quoted, &m_twoVerbs, &m_legit}) {
            keys.push_back(Entry(*id));
            keys.push_back(kMachineClasses + *id + "\\shell");
            keys.push_back(CommandKey(*id, "open"));
        }
        return keys;
    }
    std::vector<std::string> Sddls() const {
        std::vector<std::string> sddls;
        for (const std::string& key : SeededKeys())
            sddls.push_back(ReadSddl("MACHINE\\" + key, SecurityObjectType::RegistryKey));
        return sddls;
    }
    // The scanner's findings for the seeded entries only.
    FindingList OwnFindings(const NameSpaceScanner& scanner) const {
        FindingList own;
        for (const Finding& f : scanner.findings()) {
            if (f.path == Entry(m_quoted) || f.path == Entry(m_twoVerbs) ||
                f.path == Entry(m_legit))
                own.push_back(f);
        }
        return own;
    }

    Win32Platform m_platform;
    Ports m_ports = m_platform.ports();
    Journal m_journal{m_platform};
    AccessBroker m_broker{m_ports, m_journal};
    std::string m_quoted, m_twoVerbs, m_legit;
};

TEST_F(NameSpaceWineTest, ScanFindsTheFakeIconsInEnumerationOrderAndChangesNoAccessList) {
    const auto before = Sddls();
    NameSpaceScanner scanner;
    EXPECT_TRUE(scanner.scan(m_broker));

    FindingList expected;
    for (const std::string& name : NameSpaceOrder()) {
        if (name == m_quoted)
            expected.push_back({Entry(name), "\" http://fake.example/one"});
        if (name == m_twoVerbs)
            expected.push_back({Entry(name), "http://two.example/"});
    }
    const FindingList own = OwnFindings(scanner);
    ASSERT_EQ(own.size(), expected.size());
    for (std::size_t i = 0; i < own.size(); ++i) {
        EXPECT_EQ(own[i].path, expected[i].path);
        EXPECT_EQ(own[i].site, expected[i].site);
    }
    EXPECT_EQ(Sddls(), before);
}

TEST_F(NameSpaceWineTest, RepairDeletesTheEntriesAndKeepsTheClasses) {
    NameSpaceScanner scanner;
    scanner.scan(m_broker);
    ASSERT_EQ(OwnFindings(scanner).size(), 2u);
    EXPECT_TRUE(scanner.repair(m_broker));

    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, Entry(m_quoted)));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, Entry(m_twoVerbs)));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, Entry(m_legit)));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, CommandKey(m_quoted, "open")));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, CommandKey(m_twoVerbs, "print")));
}

TEST_F(NameSpaceWineTest, LockedCommandKeyIsRefusedThenReadThenLockedAgain) {
    const std::string command = CommandKey(m_quoted, "open");
    const std::string name = "MACHINE\\" + command;
    // Everyone may not write: the scan opens command keys for reading and writing.
    ASSERT_EQ(
        WriteSddl(name, SecurityObjectType::RegistryKey, "D:(D;;KW;;;WD)(A;;KA;;;BA)(A;;KA;;;SY)"),
        0u);
    const std::string locked = ReadSddl(name, SecurityObjectType::RegistryKey);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, command.c_str(), 0, KEY_READ | KEY_WRITE, &key),
              ERROR_ACCESS_DENIED);

    NameSpaceScanner scanner;
    scanner.scan(m_broker);
    const FindingList own = OwnFindings(scanner);
    EXPECT_TRUE(std::any_of(own.begin(), own.end(),
                            [&](const Finding& f) { return f.path == Entry(m_quoted); }));
    EXPECT_EQ(ReadSddl(name, SecurityObjectType::RegistryKey), locked);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, command.c_str(), 0, KEY_READ | KEY_WRITE, &key),
              ERROR_ACCESS_DENIED);
}

std::vector<BYTE> ValueBytes(HKEY root, const std::string& path, const char* name, DWORD* type) {
    HKEY key = nullptr;
    std::vector<BYTE> data(4096);
    DWORD size = static_cast<DWORD>(data.size());
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return {};
    if (RegQueryValueExA(key, name, nullptr, type, data.data(), &size) != ERROR_SUCCESS)
        size = 0;
    RegCloseKey(key);
    data.resize(size);
    return data;
}

std::vector<BYTE> TextBytes(const char* text) {
    return std::vector<BYTE>(text, text + std::strlen(text) + 1);
}

TEST(FixDesktopWine, WritesTheVisibilityValuesAndTheRegistrationByteForByte) {
    const std::string hide =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\HideDesktopIcons\\";
    DeleteKeyTreeForcibly(HKEY_CURRENT_USER, hide + "ClassicStartMenu");
    SetText(HKEY_CURRENT_USER, hide + "NewStartPanel", "unrelated", "x");
    const std::string places = "CLSID\\{208D2C60-3AEA-1069-A2D7-08002B30309D}";
    SetText(HKEY_CLASSES_ROOT, places + "\\shell\\open\\command", "",
            "iexplore.exe http://hijack/");

    Win32Platform platform;
    Ports ports = platform.ports();
    test::FixDesktop(ports);
    test::FixDesktop(ports);  // twice is the same as once

    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, hide + "ClassicStartMenu"));
    DWORD type = 0;
    EXPECT_EQ(ValueBytes(HKEY_CURRENT_USER, hide + "NewStartPanel",
                         "{871C5380-42A0-1069-A2EA-08002B30309D}", &type),
              (std::vector<BYTE>{0, 0, 0, 0}));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(ValueBytes(HKEY_CURRENT_USER, hide + "NewStartPanel",
                         "{208D2C60-3AEA-1069-A2D7-08002B30309D}", &type),
              (std::vector<BYTE>{1, 0, 0, 0}));

    EXPECT_EQ(ValueBytes(HKEY_CLASSES_ROOT, places, "", &type),
              (std::vector<BYTE>{0xCD, 0xF8, 0xC9, 0xCF, 0xC1, 0xDA, 0xBE, 0xD3, 0x00}));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(ValueBytes(HKEY_CLASSES_ROOT, places + "\\shell\\find", "SuppressionPolicy", &type),
              (std::vector<BYTE>{0x80, 0, 0, 0}));
    EXPECT_EQ(ValueBytes(HKEY_CLASSES_ROOT, places + "\\shell\\find\\ddeexec", "", &type),
              TextBytes("[FindFolder(\"%l\", %I)]"));
    EXPECT_EQ(ValueBytes(HKEY_CLASSES_ROOT, places + "\\InProcServer32", "", &type),
              TextBytes("%SystemRoot%\\system32\\SHELL32.dll"));
    EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(
        ValueBytes(HKEY_CLASSES_ROOT, places + "\\ShellFolder", "HideOnDesktopPerUser", &type),
        (std::vector<BYTE>{0}));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, places + "\\shell\\open"));
}

}  // namespace
}  // namespace brenvik
