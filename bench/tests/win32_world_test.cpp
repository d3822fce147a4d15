// The Win32 world under Wine: the scan finds it, and it goes without a trace, leftovers of
// an interrupted run included, while keys that are not the benchmark's stay.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "bench/profile.h"
#include "bench/win32_world.h"
#include "engine/commands/driver.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_platform.h"
#include "tests/support/row_view.h"
#include "tests/support/bare_commands.h"
#include "tests/support/logon_task.h"
#include "tests/support/win32_world.h"

namespace brenvik::bench {
namespace {

struct RawValue {
    LONG status = ERROR_SUCCESS;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    bool operator==(const RawValue& o) const {
        return status == o.status && type == o.type && data == o.data;
    }
};

RawValue ReadShellFolder(const char* name) {
    RawValue value;
    BYTE data[1024];
    DWORD size = sizeof data;
    value.status = RegGetValueA(HKEY_CURRENT_USER, kShellFoldersKey, name,
                                RRF_RT_ANY | RRF_NOEXPAND, &value.type, data, &size);
    if (value.status == ERROR_SUCCESS)
        value.data.assign(data, data + size);
    return value;
}

bool MachineKeyExists(const std::string& path) {
    UniqueHkey key;
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

Profile SmallProfile() {
    Profile profile;
    profile.links = {
        {LinkFolder::Desktop, "Internet Explorer.lnk", kBrowserPath, "http://a.example/"},
        {LinkFolder::Desktop, "Notes.lnk", "C:\\windows\\notepad.exe", "http://a.example/"},
        {LinkFolder::Desktop, "Notes 2.lnk", "C:\\windows\\notepad.exe", "http://a.example/"},
        {LinkFolder::QuickLaunch, "IExplorer.lnk", kBrowserPath, "http://b.example/", true},
    };
    profile.entries = {
        {BenchClassId(1), {{"open", std::string(kBrowserPath) + " http://c.example/"}}},
        {BenchClassId(2), {{"open", "explorer.exe"}}},
        {BenchClassId(3), {}, true},
        {BenchClassId(4), {{"open", std::string(kBrowserPath) + " http://d.example/"}}, true},
    };
    profile.values = {
        {kHKeyCurrentUser, kBenchRunKey, "BrenvikBench1", "cmd /c start http://e.example/"},
        {kHKeyCurrentUser, kBenchRunKey, "BrenvikBench2", "C:\\tool.exe /background"},
    };
    profile.tasks = {
        {"\\BrenvikBench\\Shop", test::LogonTask("cmd.exe", "/c start http://f.example/")}};
    profile.expectedFindings = 6;
    return profile;
}

TEST(BenchWin32World, ScanFindsItAndItLeavesNoTrace) {
    const RawValue desktopBefore = ReadShellFolder("Desktop");
    const RawValue appDataBefore = ReadShellFolder("AppData");
    std::string scratch;
    {
        Win32World world(SmallProfile());
        ASSERT_EQ(world.error(), "");
        scratch = world.desktop();
        EXPECT_NE(GetFileAttributesA((world.desktop() + "\\Notes 2.lnk").c_str()),
                  INVALID_FILE_ATTRIBUTES);

        // The locked class refuses for real, and gets its list back after the scan.
        const std::string command =
            std::string(kClassesKey) + "\\" + BenchClassId(4) + "\\shell\\open\\Command";
        const std::string locked = test::RegistryObjectName(HKEY_LOCAL_MACHINE, command);
        const std::string lockedList = test::ReadSddl(locked, SecurityObjectType::RegistryKey);
        UniqueHkey refused;
        EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, command.c_str(), 0, KEY_READ, refused.put()),
                  ERROR_ACCESS_DENIED);

        Win32Platform platform;
        Ports ports = platform.ports();
        test::RowView view(" ");
        test::ScanRows(ports, view);
        EXPECT_EQ(
            view.rows,
            (std::vector<std::string>{
                "Quick Launch http://b.example/", "Desktop NameSpace http://c.example/",
                "Desktop NameSpace http://d.example/", "Desktop http://a.example/",
                "Run http://e.example/", "Scheduled Task cmd.exe /c start http://f.example/"}));
        EXPECT_EQ(test::ReadSddl(locked, SecurityObjectType::RegistryKey), lockedList);
    }
    EXPECT_EQ(GetFileAttributesA(scratch.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(RemoveBenchKeys(), 0u);
    EXPECT_FALSE(MachineKeyExists(std::string(kClassesKey) + "\\" + BenchClassId(1)));
    EXPECT_EQ(ReadShellFolder("Desktop"), desktopBefore);
    EXPECT_EQ(ReadShellFolder("AppData"), appDataBefore);
}

// Locked leftovers too: an interrupted run on Windows keeps its refusing lists.
TEST(BenchWin32World, SweepDeletesOnlyTheBenchmarksKeys) {
    const std::string nameSpace = std::string(kNameSpaceKey) + "\\";
    const std::string ours = nameSpace + BenchClassId(0xFFFF) + "\\leftover";
    const std::string foreign = nameSpace + "{B3E7A001-5EED-4B1C-9A7E-00000000FFFF}";
    for (const std::string& path : {ours, foreign}) {
        UniqueHkey key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_WRITE,
                                  nullptr, key.put(), nullptr),
                  ERROR_SUCCESS);
    }
    for (const std::string& path : {ours, nameSpace + BenchClassId(0xFFFF)}) {
        ASSERT_EQ(test::WriteSddl(test::RegistryObjectName(HKEY_LOCAL_MACHINE, path),
                                  SecurityObjectType::RegistryKey, "D:P(A;;KA;;;SY)"),
                  0u);
    }
    EXPECT_EQ(RemoveBenchKeys(), 1u);
    EXPECT_FALSE(MachineKeyExists(nameSpace + BenchClassId(0xFFFF)));
    EXPECT_TRUE(MachineKeyExists(foreign));
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, foreign.c_str());
}

// The previous value comes back with its type and bytes, or goes when there was none.
TEST(BenchWin32World, ShellFolderValueComesBackAsItWas) {
    const char* kProbe = "Brenvik Bench Probe";
    const std::string expandable = "%USERPROFILE%\\Desktop";
    const struct {
        bool present;
        DWORD type;
    } cases[] = {{false, REG_NONE}, {true, REG_EXPAND_SZ}, {true, REG_SZ}};
    for (const auto& c : cases) {
        UniqueHkey key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kShellFoldersKey, 0, nullptr, 0, KEY_SET_VALUE,
                                  nullptr, key.put(), nullptr),
                  ERROR_SUCCESS);
        if (c.present)
            RegSetValueExA(key.get(), kProbe, 0, c.type,
                           reinterpret_cast<const BYTE*>(expandable.c_str()),
                           static_cast<DWORD>(expandable.size() + 1));
        const RawValue before = ReadShellFolder(kProbe);
        {
            test::ScopedShellFolder override(kProbe, "C:\\elsewhere");
            ASSERT_TRUE(override.ok());
            EXPECT_EQ(ReadShellFolder(kProbe).type, static_cast<DWORD>(REG_SZ));
        }
        EXPECT_EQ(ReadShellFolder(kProbe), before) << c.type;
        RegDeleteValueA(key.get(), kProbe);
    }
}

}  // namespace
}  // namespace brenvik::bench
