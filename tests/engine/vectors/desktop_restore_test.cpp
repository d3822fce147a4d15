#include <gtest/gtest.h>

#include <cstring>

#include "engine/commands/driver.h"
#include "engine/vectors/desktop_restore.h"
#include "tests/engine/model_world.h"
#include "tests/support/bare_commands.h"
#include "tests/support/registry_names.h"

namespace brenvik {
namespace {

using test::kHideIcons;
using test::kPlacesKey;
using testing::ModelWorld;

std::vector<std::uint8_t> Text(const char* text) {
    return std::vector<std::uint8_t>(text, text + std::strlen(text) + 1);
}
std::vector<std::uint8_t> Dword(std::uint32_t v) {
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
            static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
}

struct ExpectedValue {
    std::string key;
    std::string name;
    std::uint32_t type;
    std::vector<std::uint8_t> data;
};

const std::vector<ExpectedValue>& Registration() {
    static const std::string k = kPlacesKey;
    static const std::vector<ExpectedValue> rows = {
        {k, "", kRegSz, {0xCD, 0xF8, 0xC9, 0xCF, 0xC1, 0xDA, 0xBE, 0xD3, 0x00}},
        {k, "InfoTip", kRegExpandSz, Text("@%SystemRoot%\\system32\\SHELL32.dll,-22912")},
        {k, "IntroText", kRegExpandSz, Text("@%SystemRoot%\\system32\\SHELL32.dll,-31749")},
        {k, "LocalizedString", kRegExpandSz, Text("@%SystemRoot%\\system32\\SHELL32.dll,-9217")},
        {k + "\\DefaultIcon", "", kRegExpandSz, Text("%SystemRoot%\\system32\\SHELL32.dll,17")},
        {k + "\\InProcServer32", "", kRegExpandSz, Text("%SystemRoot%\\system32\\SHELL32.dll")},
        {k + "\\InProcServer32", "ThreadingModel", kRegSz, Text("Apartment")},
        {k + "\\shell", "", kRegSz, Text("none")},
        {k + "\\shell\\find", "", kRegExpandSz,
         Text("@%SystemRoot%\\system32\\SHELL32.dll,-29188")},
        {k + "\\shell\\find", "SuppressionPolicy", kRegDword, Dword(128)},
        {k + "\\shell\\find\\command", "", kRegExpandSz, Text("%SystemRoot%\\Explorer.exe")},
        {k + "\\shell\\find\\ddeexec", "", kRegSz, Text("[FindFolder(\"%l\", %I)]")},
        {k + "\\shell\\find\\ddeexec\\application", "", kRegSz, Text("Folders")},
        {k + "\\shell\\find\\ddeexec\\topic", "", kRegSz, Text("AppProperties")},
        {k + "\\ShellFolder", "HideOnDesktopPerUser", kRegSz, {0x00}},
    };
    return rows;
}

// Every key below root\path (path itself included) with its values, for comparing states.
void CollectTree(const model::ModelPlatform& p, RegKey root, const std::string& path,
                 std::vector<std::string>& keys, std::size_t& values) {
    keys.push_back(path);
    values += p.valueNames(root, path).size();
    for (const std::string& sub : p.subkeyNames(root, path))
        CollectTree(p, root, path + "\\" + sub, keys, values);
}

TEST(ReregisterNetworkPlaces, OldRegistrationEndsAsExactlyTheTable) {
    ModelWorld world;
    world.platform.putString(kHKeyLocalMachine, std::string(kPlacesKey) + "\\shell\\open\\command",
                             "", "iexplore.exe http://hijack/");
    world.platform.putString(kHKeyLocalMachine, kPlacesKey, "Extra", "x");
    world.platform.putString(kHKeyLocalMachine, std::string(kPlacesKey) + "\\shell", "", "open");

    ReregisterNetworkPlaces(world.broker);

    for (const ExpectedValue& row : Registration()) {
        const auto value = world.platform.value(kHKeyLocalMachine, row.key, row.name);
        ASSERT_TRUE(value.has_value()) << row.key << " " << row.name;
        EXPECT_EQ(value->type, row.type) << row.key << " " << row.name;
        EXPECT_EQ(value->data, row.data) << row.key << " " << row.name;
    }
    std::vector<std::string> keys;
    std::size_t values = 0;
    CollectTree(world.platform, kHKeyLocalMachine, kPlacesKey, keys, values);
    EXPECT_EQ(keys.size(), 10u);
    EXPECT_EQ(values, 15u);
    EXPECT_EQ(world.platform.openKeyCount(), 0u);
}

TEST(ReregisterNetworkPlaces, NewKeysKeepTheirOwnListsAndTwiceEqualsOnce) {
    ModelWorld world;
    ReregisterNetworkPlaces(world.broker);
    std::vector<std::string> once;
    std::size_t valuesOnce = 0;
    CollectTree(world.platform, kHKeyLocalMachine, kPlacesKey, once, valuesOnce);
    ReregisterNetworkPlaces(world.broker);
    std::vector<std::string> twice;
    std::size_t valuesTwice = 0;
    CollectTree(world.platform, kHKeyLocalMachine, kPlacesKey, twice, valuesTwice);
    EXPECT_EQ(once, twice);
    EXPECT_EQ(valuesOnce, valuesTwice);
    for (const std::string& key : twice)
        EXPECT_EQ(world.platform.keyAccessList(kHKeyLocalMachine, key), model::DefaultAccessList())
            << key;
}

// The class key could be deleted only in part and its list grants the administrators
// nothing, and they do not hold the backup privileges here: the rows are still written over what
// remains, and the key's list is back as it was afterwards.
TEST(ReregisterNetworkPlaces, PartlyDeletedRefusingClassKeyStillGetsItsRows) {
    ModelWorld world;
    const std::string stuck = std::string(kPlacesKey) + "\\shell\\open";
    world.platform.addKey(kHKeyLocalMachine, stuck);
    for (const char* op : {"deleteKey", "deleteKeyForBackup"})
        world.platform.injectFailure(op, "MACHINE\\" + stuck, kErrorAccessDenied);
    AccessList refusing;  // SYSTEM alone
    refusing.present = true;
    refusing.entries = {model::DefaultAccessList().entries.back()};
    world.platform.setKeyAccessList(kHKeyLocalMachine, kPlacesKey, refusing);
    world.platform.setHoldsBackupPrivileges(false);

    {
        testing::Command command(world);
        ReregisterNetworkPlaces(command.broker);
    }
    for (const ExpectedValue& row : Registration())
        EXPECT_TRUE(world.platform.value(kHKeyLocalMachine, row.key, row.name)) << row.key;
    EXPECT_EQ(world.platform.keyAccessList(kHKeyLocalMachine, kPlacesKey), refusing);
    EXPECT_TRUE(world.platform.storeFiles().empty());
}

TEST(ReregisterNetworkPlaces, ValuesOfAKeyThatCannotBeCreatedAreSkipped) {
    ModelWorld world;
    world.platform.injectFailure("createKey",
                                 std::string("MACHINE\\") + kPlacesKey + "\\InProcServer32",
                                 kErrorAccessDenied);
    ReregisterNetworkPlaces(world.broker);
    EXPECT_FALSE(
        world.platform.value(kHKeyLocalMachine, std::string(kPlacesKey), "ThreadingModel"));
    EXPECT_FALSE(
        world.platform.hasKey(kHKeyLocalMachine, std::string(kPlacesKey) + "\\InProcServer32"));
    EXPECT_TRUE(world.platform.value(kHKeyLocalMachine, std::string(kPlacesKey) + "\\shell", ""));
}

TEST(ShowDesktopIcons, WritesOnlyIntoTheKeysThatExistAndRestoresTheirLists) {
    ModelWorld world;
    const std::string newStart = std::string(kHideIcons) + "\\NewStartPanel";
    world.platform.addKey(kHKeyCurrentUser, newStart);
    const AccessList before = world.platform.keyAccessList(kHKeyCurrentUser, newStart);

    ShowDesktopIcons(world.broker);
    EXPECT_FALSE(
        world.platform.hasKey(kHKeyCurrentUser, std::string(kHideIcons) + "\\ClassicStartMenu"));
    const auto ie = world.platform.value(kHKeyCurrentUser, newStart, test::kIeClass);
    const auto places = world.platform.value(kHKeyCurrentUser, newStart, test::kPlacesClass);
    ASSERT_TRUE(ie && places);
    EXPECT_EQ(ie->type, kRegDword);
    EXPECT_EQ(ie->data, Dword(0));
    EXPECT_EQ(places->data, Dword(1));
    EXPECT_EQ(world.platform.keyAccessList(kHKeyCurrentUser, newStart), before);
}

TEST(FixDesktop, UsesNoFindingsAndLeavesTheNameSpaceAlone) {
    ModelWorld world;
    const std::string entry = std::string(test::kNameSpace) + "\\" + test::kClassA;
    world.platform.addKey(kHKeyLocalMachine, entry);
    world.platform.putString(
        kHKeyLocalMachine,
        std::string(test::kMachineClasses) + test::kClassA + "\\shell\\o\\Command", "",
        "iexplore.exe http://x/");
    world.platform.addKey(kHKeyCurrentUser, std::string(kHideIcons) + "\\ClassicStartMenu");
    test::FixDesktop(world.ports);
    EXPECT_TRUE(world.platform.hasKey(kHKeyLocalMachine, entry));
    EXPECT_TRUE(world.platform.value(
        kHKeyCurrentUser, std::string(kHideIcons) + "\\ClassicStartMenu", test::kIeClass));
    EXPECT_TRUE(
        world.platform.hasKey(kHKeyLocalMachine, std::string(kPlacesKey) + "\\ShellFolder"));
}

}  // namespace
}  // namespace brenvik
