#include "engine/vectors/name_space_scanner.h"

#include <gtest/gtest.h>

#include "engine/backup/key_tree.h"
#include "tests/engine/model_world.h"
#include "tests/support/registry_names.h"
#include "tests/support/case_table.h"

namespace brenvik {
namespace {

using test::kClassA;
using test::kClassB;
using test::kMachineClasses;
using test::kNameSpace;
using testing::ModelWorld;

std::string Entry(const std::string& name) {
    return std::string(kNameSpace) + "\\" + name;
}
std::string Verb(const std::string& classId, const std::string& verb) {
    return kMachineClasses + classId + "\\shell\\" + verb;
}

// A fake icon: a name space entry and a class whose verb runs the command.
void AddIcon(ModelWorld& world, const std::string& entryName, const std::string& classId,
             const std::string& verb, const std::string& command) {
    world.platform.addKey(kHKeyLocalMachine, Entry(entryName));
    world.platform.putString(kHKeyLocalMachine, Verb(classId, verb) + "\\Command", "", command);
}

TEST(ClassIdentifierRule, TakesThe38CharactersFromTheFirstBrace) {
    const test::TextCase cases[] = {
        {"{11111111-2222-3333-4444-555555555555}", "{11111111-2222-3333-4444-555555555555}"},
        {"x{11111111-2222-3333-4444-555555555555}tail", "{11111111-2222-3333-4444-555555555555}"},
        {"{zzzzzzzz zzzz zzzz zzzz zzzzzzzzzzzz}", "{zzzzzzzz zzzz zzzz zzzz zzzzzzzzzzzz}"},
        {"11111111-2222-3333-4444-555555555555", ""},
        {"{11111111-2222-3333-4444-55555555555}", ""},      // 37 characters
        {"{11111111-2222-3333-4444-5555555555555}", ""},    // 38th is not '}'
        {"{a}{11111111-2222-3333-4444-555555555555}", ""},  // only the first brace counts
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ClassIdentifierOf(c.text), c.expected) << c.text;
}

TEST(SiteRule, TextAfterTheProgramNameLowercasedWithBlanksSkipped) {
    const struct {
        const char* command;
        bool runs;
        const char* site;
    } cases[] = {
        {"\"C:\\Program Files\\Internet Explorer\\iexplore.exe\" http://Hijack.Example/", true,
         "\" http://hijack.example/"},
        {"C:\\Program Files\\Internet Explorer\\iexplore.exe http://Hijack.Example/", true,
         "http://hijack.example/"},
        {"C:\\IE\\IEXPLORE.EXE", true, ""},
        {"iExplore.Exe \t \twww.a.example", true, "www.a.example"},
        {"iexplore.exe\r\nx", true, "\r\nx"},
        {"iexplore.exe a iexplore.exe b", true, "a iexplore.exe b"},
        {"C:\\Windows\\explorer.exe http://x/", false, ""},
        {"iexplore.ex", false, ""},
    };
    for (const auto& c : cases) {
        std::string site = "unchanged";
        EXPECT_EQ(SiteFromCommand(c.command, site), c.runs) << c.command;
        if (c.runs) {
            EXPECT_EQ(site, c.site) << c.command;
        }
    }
}

TEST(NameSpaceScanner, NoNameSpaceKeyGivesNoFindings) {
    ModelWorld world;
    NameSpaceScanner scanner;
    EXPECT_TRUE(scanner.scan(world.broker));
    EXPECT_TRUE(scanner.findings().empty());
}

TEST(NameSpaceScanner, OneFindingPerMatchingVerbInEnumerationOrder) {
    ModelWorld world;
    AddIcon(world, std::string(kClassB) + " trailing", kClassB, "open", "iexplore.exe http://b/");
    world.platform.putString(kHKeyLocalMachine, Verb(kClassB, "edit") + "\\Command", "",
                             "notepad.exe");
    world.platform.putString(kHKeyLocalMachine, Verb(kClassB, "go") + "\\Command", "",
                             "C:\\IE\\IExplore.exe");
    AddIcon(world, "no identifier", kClassA, "open", "iexplore.exe http://never/");
    AddIcon(world, kClassA, kClassA, "open", "iexplore.exe\thttp://a/");
    world.platform.addKey(kHKeyLocalMachine, Entry("{CCCCCCCC-0000-0000-0000-000000000000}"));

    NameSpaceScanner scanner;
    EXPECT_TRUE(scanner.scan(world.broker));
    // Windows enumerates subkeys in sorted order, whatever the order of creation.
    const std::vector<std::pair<std::string, std::string>> expected = {
        {Entry(kClassA), "http://a/"},
        {Entry(std::string(kClassB) + " trailing"), ""},           // verb "go"
        {Entry(std::string(kClassB) + " trailing"), "http://b/"},  // verb "open"
    };
    ASSERT_EQ(scanner.findings().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(scanner.findings()[i].path, expected[i].first);
        EXPECT_EQ(scanner.findings()[i].site, expected[i].second);
    }
    EXPECT_EQ(world.platform.openKeyCount(), 0u);
}

TEST(NameSpaceScanner, CommandValueSizeLimits) {
    ModelWorld world;
    world.platform.addKey(kHKeyLocalMachine, Entry(kClassA));
    std::string exact = "iexplore.exe " + std::string(4096 - 13, 'u');
    world.platform.putValue(kHKeyLocalMachine, Verb(kClassA, "a") + "\\Command", "", kRegSz,
                            std::vector<std::uint8_t>(exact.begin(), exact.end()));
    std::string tooLong = exact + "u";
    world.platform.putValue(kHKeyLocalMachine, Verb(kClassA, "b") + "\\Command", "", kRegSz,
                            std::vector<std::uint8_t>(tooLong.begin(), tooLong.end()));
    NameSpaceScanner scanner;
    scanner.scan(world.broker);
    ASSERT_EQ(scanner.findings().size(), 1u);
    EXPECT_EQ(scanner.findings()[0].site, std::string(4096 - 13, 'u'));
}

// A name of 130 Chinese characters (390 bytes of UTF-8) listed first hides no later entry.
TEST(NameSpaceScanner, ALongNameHidesNoLaterEntry) {
    ModelWorld world;
    std::string longName = "{00000000-0000-0000-0000-000000000000}";
    for (int i = 0; i < 130; ++i) longName += "\xE4\xB8\xAD";  // U+4E2D
    world.platform.addKey(kHKeyLocalMachine, Entry(longName));
    AddIcon(world, kClassA, kClassA, "open", "iexplore.exe http://after/");
    ASSERT_EQ(world.platform.subkeyNames(kHKeyLocalMachine, kNameSpace).front(), longName);

    NameSpaceScanner scanner;
    scanner.scan(world.broker);
    ASSERT_EQ(scanner.findings().size(), 1u);
    EXPECT_EQ(scanner.findings()[0].site, "http://after/");
}

TEST(NameSpaceScanner, ScanOfKeysThatRefuseNothingTouchesNoAccessList) {
    ModelWorld world;
    AddIcon(world, kClassA, kClassA, "open", "iexplore.exe http://a/");
    const std::vector<std::string> keys = {kNameSpace, Entry(kClassA),
                                           std::string(kMachineClasses) + kClassA + "\\shell",
                                           Verb(kClassA, "open") + "\\Command"};
    std::vector<AccessList> before;
    for (const std::string& key : keys)
        before.push_back(world.platform.keyAccessList(kHKeyLocalMachine, key));

    NameSpaceScanner scanner;
    scanner.scan(world.broker);
    EXPECT_EQ(scanner.findings().size(), 1u);
    // Nothing refused, so nothing was unlocked.
    EXPECT_EQ(world.platform.securityCalls(), std::vector<std::string>{});
    for (std::size_t i = 0; i < keys.size(); ++i)
        EXPECT_EQ(world.platform.keyAccessList(kHKeyLocalMachine, keys[i]), before[i]) << keys[i];
}

TEST(NameSpaceScanner, CommandKeyThatRefusesWritingIsReadOnceUnlocked) {
    ModelWorld world;
    AddIcon(world, kClassA, kClassA, "open", "iexplore.exe http://a/");
    AccessList locked = model::DefaultAccessList();
    AccessEntry deny;
    deny.type = kAccessDeniedAceType;
    deny.mask = kKeyWrite;
    deny.sid = kEveryoneSid;
    locked.entries.insert(locked.entries.begin(), deny);
    const std::string command = Verb(kClassA, "open") + "\\Command";
    world.platform.setKeyAccessList(kHKeyLocalMachine, command, locked);

    NameSpaceScanner scanner;
    scanner.scan(world.broker);
    EXPECT_EQ(scanner.findings().size(), 1u);
    EXPECT_EQ(world.platform.keyAccessList(kHKeyLocalMachine, command), locked);
}

TEST(NameSpaceScanner, RepairDeletesTheEntriesOnlyAndOncePerPath) {
    ModelWorld world;
    AddIcon(world, kClassA, kClassA, "open", "iexplore.exe http://a/");
    world.platform.putString(kHKeyLocalMachine, Verb(kClassA, "go") + "\\Command", "",
                             "iexplore.exe");
    world.platform.addKey(kHKeyLocalMachine, Entry(kClassA) + "\\Sub\\Deeper");
    world.platform.addKey(kHKeyLocalMachine, Entry(kClassB));
    NameSpaceScanner scanner;
    scanner.scan(world.broker);
    ASSERT_EQ(scanner.findings().size(), 2u);

    EXPECT_TRUE(scanner.repair(world.broker));
    EXPECT_EQ(world.platform.subkeyNames(kHKeyLocalMachine, kNameSpace),
              std::vector<std::string>{kClassB});
    EXPECT_TRUE(world.platform.hasKey(kHKeyLocalMachine, Verb(kClassA, "open") + "\\Command"));
    EXPECT_EQ(world.platform.openKeyCount(), 0u);
}

TEST(NameSpaceScanner, PartlyDeletedEntryGetsItsAccessListBack) {
    ModelWorld world;
    AddIcon(world, kClassA, kClassA, "open", "iexplore.exe http://a/");
    world.platform.addKey(kHKeyLocalMachine, Entry(kClassA) + "\\Stuck");
    const AccessList before = world.platform.keyAccessList(kHKeyLocalMachine, Entry(kClassA));
    for (const char* op : {"deleteKey", "deleteKeyForBackup"})
        world.platform.injectFailure(op, "MACHINE\\" + Entry(kClassA) + "\\Stuck",
                                     kErrorAccessDenied);

    NameSpaceScanner scanner;
    scanner.scan(world.broker);
    {
        testing::Command command(world);
        scanner.repair(command.broker);
    }
    EXPECT_TRUE(world.platform.hasKey(kHKeyLocalMachine, Entry(kClassA) + "\\Stuck"));
    EXPECT_EQ(world.platform.keyAccessList(kHKeyLocalMachine, Entry(kClassA)), before);
    EXPECT_EQ(world.platform.keyAccessList(kHKeyLocalMachine, Entry(kClassA) + "\\Stuck"), before);
    EXPECT_TRUE(world.platform.storeFiles().empty());  // every grant put back and cleared
}

TEST(DeleteKeyTree, RemovesThreeNestedLevels) {
    ModelWorld world;
    world.platform.addKey(kHKeyLocalMachine, "Software\\T\\A\\B\\C");
    world.platform.addKey(kHKeyLocalMachine, "Software\\T\\A\\B2");
    world.platform.putString(kHKeyLocalMachine, "Software\\T\\A\\B\\C", "v", "x");
    world.platform.addKey(kHKeyLocalMachine, "Software\\T\\Keep");
    EXPECT_EQ(DeleteKeyTree(world.broker, kHKeyLocalMachine, "Software\\T\\A"), kErrorSuccess);
    EXPECT_EQ(world.platform.subkeyNames(kHKeyLocalMachine, "Software\\T"),
              std::vector<std::string>{"Keep"});
    EXPECT_EQ(world.platform.openKeyCount(), 0u);
}

TEST(DeleteKeyTree, StopsAtAnUndeletableSubkeyAndReturnsItsError) {
    ModelWorld world;
    world.platform.addKey(kHKeyLocalMachine, "Software\\T\\A\\B\\Stuck");
    world.platform.addKey(kHKeyLocalMachine, "Software\\T\\A\\B\\UnreachedLater");
    world.platform.addKey(kHKeyLocalMachine, "Software\\T\\A\\Z");
    for (const char* op : {"deleteKey", "deleteKeyForBackup"})
        world.platform.injectFailure(op, "MACHINE\\Software\\T\\A\\B\\Stuck", kErrorAccessDenied);
    EXPECT_EQ(DeleteKeyTree(world.broker, kHKeyLocalMachine, "Software\\T\\A"), kErrorAccessDenied);
    EXPECT_TRUE(world.platform.hasKey(kHKeyLocalMachine, "Software\\T\\A\\B\\Stuck"));
    EXPECT_TRUE(world.platform.hasKey(kHKeyLocalMachine, "Software\\T\\A\\B\\UnreachedLater"));
    EXPECT_TRUE(world.platform.hasKey(kHKeyLocalMachine, "Software\\T\\A\\Z"));
    EXPECT_EQ(DeleteKeyTree(world.broker, kHKeyLocalMachine, "Software\\Absent"),
              kErrorFileNotFound);
    EXPECT_EQ(world.platform.openKeyCount(), 0u);
}

}  // namespace
}  // namespace brenvik
