#include "engine/change/journal.h"

#include <gtest/gtest.h>

#include "engine/change/object_grant.h"
#include "engine/change/recovery.h"
#include "engine/commands/commands.h"
#include "engine/change/sddl.h"
#include "engine/change/work_places.h"
#include "tests/engine/browser_world.h"
#include "tests/engine/model_world.h"

namespace brenvik {
namespace {

using testing::DenyingAdministrators;
using testing::ModelWorld;

TEST(Sddl, ListsRoundTripAndUnwritableOnesAreRefused) {
    AccessList protectedList;
    protectedList.present = true;
    protectedList.isProtected = true;
    protectedList.entries = {SidEntry(kAccessDeniedAceType, 0, 0x10000, "S-1-5-21-1-2-3-1001"),
                             SidEntry(kAccessAllowedAceType, 0x1f, 0x1f01ff, "S-1-5-32-544"),
                             SidEntry(kAccessAllowedAceType, 0x10, 0x80000000, "S-1-1-0")};
    const AccessList lists[] = {AccessList{}, protectedList, model::DefaultAccessList()};
    for (const AccessList& list : lists) {
        const std::string text = AccessListToSddl(list);
        AccessList read;
        ASSERT_TRUE(AccessListFromSddl(text, &read)) << text;
        EXPECT_EQ(read, list) << text;
    }
    EXPECT_EQ(AccessListToSddl(protectedList),
              "D:P(D;;0x10000;;;S-1-5-21-1-2-3-1001)(A;OICINPIOID;0x1f01ff;;;S-1-5-32-544)"
              "(A;ID;0x80000000;;;S-1-1-0)");

    AccessList objectEntry = protectedList;
    objectEntry.entries.push_back(AccessEntry{5, 0, 0, "", {5, 0, 8, 0, 1, 2, 3, 4}});
    EXPECT_EQ(AccessListToSddl(objectEntry), "");

    AccessList read;
    for (const char* bad : {"", "D:(A;;0x1;;;S-1-1-0", "D:(A;;1;;;S-1-1-0)", "D:(X;;0x1;;;S-1-1-0)",
                            "D:(A;QQ;0x1;;;S-1-1-0)", "D:(A;;0x1;;;BA)", "D:(A;;0x1;a;;S-1-1-0)",
                            "O:BAD:(A;;0x1;;;S-1-1-0)"})
        EXPECT_FALSE(AccessListFromSddl(bad, &read)) << bad;
}

TEST(JournalEntry, RoundTripsAndATornWriteIsRefused) {
    const JournalEntry entry{SecurityObjectType::File, "C:\\Users\\u\\Desktop\\a b.lnk",
                             DenyingAdministrators(), 0x23};
    const std::string text = FormatJournalEntry(entry);
    JournalEntry read;
    ASSERT_TRUE(ParseJournalEntry(text, &read));
    EXPECT_EQ(read.type, entry.type);
    EXPECT_EQ(read.object, entry.object);
    EXPECT_EQ(read.list, entry.list);
    EXPECT_EQ(read.attributes, entry.attributes);
    for (std::size_t cut : {text.size() - 2, text.size() - 5, text.size() / 2, std::size_t{0}})
        EXPECT_FALSE(ParseJournalEntry(text.substr(0, cut), &read)) << cut;
    EXPECT_FALSE(ParseJournalEntry(text + "more\n", &read));
    EXPECT_EQ(FormatJournalEntry({SecurityObjectType::File, "C:\\a\nb.lnk", {}, 0}), "");
}

TEST(WorkPlaces, OnlyTheKeysAndFoldersTheProgramWorksOn) {
    ModelWorld world;
    WorkPlaces places = DeclaredPlaces(world.ports);
    places.folders = {"C:\\Users\\u\\Desktop\\"};
    places.walked.clear();
    const struct {
        SecurityObjectType type;
        const char* object;
        bool accepted;
    } cases[] = {
        {SecurityObjectType::File, "C:\\Users\\u\\Desktop\\Internet Explorer.lnk", true},
        {SecurityObjectType::File, "c:\\users\\U\\DESKTOP\\x.LNK", true},
        {SecurityObjectType::File, "C:\\Users\\u\\Desktop\\sub\\x.lnk", false},
        {SecurityObjectType::File, "C:\\Users\\u\\Desktop\\..\\x.lnk", false},
        {SecurityObjectType::File, "C:\\Users\\u\\Desktop\\x.exe", false},
        {SecurityObjectType::File, "C:\\Windows\\System32\\x.lnk", false},
        {SecurityObjectType::RegistryKey,
         "MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop\\NameSpace\\{x}",
         true},
        {SecurityObjectType::RegistryKey, "MACHINE\\SOFTWARE\\Classes\\CLSID\\{x}\\shell\\open",
         true},
        {SecurityObjectType::RegistryKey, "MACHINE\\SOFTWARE\\Classes\\CLSID\\{x}\\InProcServer32",
         false},
        {SecurityObjectType::RegistryKey, "MACHINE\\SOFTWARE\\Classes\\CLSID", false},
        {SecurityObjectType::RegistryKey,
         "MACHINE\\Software\\Classes\\CLSID\\{208D2C60-3AEA-1069-A2D7-08002B30309D}"
         "\\InProcServer32",
         true},
        {SecurityObjectType::RegistryKey,
         "USERS\\S-1-5-21-9-9-9-1001\\Software\\Classes\\CLSID\\{208D2C60-3AEA-1069-A2D7-"
         "08002B30309D}",
         true},
        {SecurityObjectType::RegistryKey,
         "USERS\\S-1-5-18\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\a.exe", true},
        {SecurityObjectType::RegistryKey,
         "USERS\\S-1-5-21-9-9-9-1001\\Software\\Classes\\CLSID\\{x}\\InProcServer32", false},
        // Names that say no one key to another account, or no account at all.
        {SecurityObjectType::RegistryKey,
         "CLASSES_ROOT\\CLSID\\{208D2C60-3AEA-1069-A2D7-08002B30309D}\\shell", false},
        {SecurityObjectType::RegistryKey,
         "CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\a.exe", false},
        {SecurityObjectType::RegistryKey,
         "USERS\\.DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\a.exe", false},
        {SecurityObjectType::RegistryKey,
         "USERS\\S-1-5-21-9-9-9-1001_Classes\\CLSID\\{x}\\shell\\open", false},
        {SecurityObjectType::RegistryKey,
         "MACHINE\\S-1-5-18\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths", false},
        {SecurityObjectType::RegistryKey,
         "MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\x", false},
        {SecurityObjectType::RegistryKey,
         "MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", true},
        {SecurityObjectType::RegistryKey,
         "MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop\\NameSpace\\..",
         false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsWorkPlace({c.type, c.object, {}, 0}, places), c.accepted) << c.object;
}

// A command that unlocked two objects and put both back leaves nothing; one whose list could
// not be put back keeps the file for the next start, entries in order.
TEST(Journal, OneFileACommandRemovedWhenEverythingIsBack) {
    ModelWorld world;
    const JournalEntry first{SecurityObjectType::File, ModelWorld::desktop("a.lnk"),
                             DenyingAdministrators(), 0x21};
    const JournalEntry second{SecurityObjectType::RegistryKey, "MACHINE\\Software\\x", {}, 0};
    {
        Journal journal(world.platform);
        std::string a;
        std::string b;
        ASSERT_EQ(journal.record(first, &a), kErrorSuccess);
        ASSERT_EQ(journal.record(second, &b), kErrorSuccess);
        ASSERT_EQ(world.platform.storeFiles().size(), 1u);
        const std::vector<JournalEntry> kept =
            ParseJournal(world.platform.storeFiles().begin()->second);
        ASSERT_EQ(kept.size(), 2u);
        EXPECT_EQ(kept[0].object, first.object);
        EXPECT_EQ(kept[1].list, second.list);
        journal.clear(a);
        journal.clear(b);
    }
    EXPECT_TRUE(world.platform.storeFiles().empty());
    {
        Journal journal(world.platform);
        std::string a;
        ASSERT_EQ(journal.record(first, &a), kErrorSuccess);
    }
    EXPECT_EQ(world.platform.storeFiles().size(), 1u);
}

// What a run leaves when it dies between granting and putting back.
void LeaveGranted(ModelWorld& world, Journal& journal, const std::string& path,
                  const AccessList& before) {
    std::string id;
    ASSERT_EQ(journal.record({SecurityObjectType::File, path, before, kFileAttributeReadOnly}, &id),
              kErrorSuccess);
    AccessList open = before;
    open.entries.push_back(SidEntry(kAccessAllowedAceType, 1, kGenericAll, kEveryoneSid));
    world.platform.setFileAccessList(path, open);
}

TEST(RecoverJournal, PutsBackWhatADeadRunLeftAndRefusesEntriesElsewhere) {
    ModelWorld world;
    const std::string link = ModelWorld::desktop("Internet Explorer.lnk");
    const std::string elsewhere = "C:\\Windows\\x.lnk";
    const std::string gone = ModelWorld::desktop("Gone.lnk");
    world.platform.addShortcut(link, "C:\\ie.exe", "http://x/");
    world.platform.addShortcut(elsewhere, "C:\\ie.exe", "");
    const AccessList before = DenyingAdministrators();
    {
        Journal dead(world.platform);  // never cleared: the run died
        LeaveGranted(world, dead, link, before);
        LeaveGranted(world, dead, elsewhere, before);
        std::string id;
        dead.record({SecurityObjectType::File, gone, before, 0}, &id);
    }
    // A write torn by the end of the process follows the last whole entry.
    const std::string path = world.platform.storeFiles().begin()->first;
    world.platform.putStoreFile(
        path, world.platform.storeFiles().begin()->second + "brenvik journal 1\ntype file\n");

    const RecoveryResult result = RecoverAtStart(world.ports);
    EXPECT_EQ(result.restored, 2);  // the link, and the one that is gone
    EXPECT_EQ(result.refused, 1);   // the one elsewhere
    EXPECT_EQ(world.platform.fileAccessList(link), before);
    EXPECT_EQ(world.platform.fileAttributes(link), kFileAttributeReadOnly);
    EXPECT_NE(world.platform.fileAccessList(elsewhere), before);
    // The entry elsewhere was never applied: its file stays, and is reported again.
    EXPECT_EQ(world.platform.storeFiles().size(), 1u);
    EXPECT_EQ(world.platform.openFileCount(), 0u);
    EXPECT_EQ(RecoverAtStart(world.ports).refused, 1);
    EXPECT_EQ(world.platform.storeFiles().size(), 1u);
}

// The grant journals the key by the name that reaches it from any account.
TEST(Journal, AUsersKeyIsJournaledByTheHivesSid) {
    ModelWorld world;
    const std::string path = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\a.exe";
    world.platform.addKey(kHKeyCurrentUser, path);
    const std::string name = KeyObjectName(world.platform, kHKeyCurrentUser, path);
    EXPECT_EQ(name, std::string("USERS\\") + model::kModelUserSid + "\\" + path);
    Journal journal(world.platform);
    KeyGrant grant(world.ports, journal, name);
    ASSERT_TRUE(grant.granted());
    const std::vector<JournalEntry> kept =
        ParseJournal(world.platform.storeFiles().begin()->second);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].object, name);
    EXPECT_EQ(kept[0].list, model::DefaultAccessList());
    // HKEY_CLASSES_ROOT names no one key: nothing is granted through it.
    EXPECT_EQ(KeyObjectName(world.platform, kHKeyClassesRoot, "CLSID"), "");
    KeyGrant none(world.ports, journal, "");
    EXPECT_FALSE(none.granted());
}

// What a run as the administrator left behind, recovered by SYSTEM (whose HKEY_CURRENT_USER is
// another hive): a shortcut deep in the walked Start Menu, one in the common Start Menu and a
// key of the administrator's hive are all put back, and the journal file goes.
TEST(RecoverJournal, PutsBackEveryWalkedPlaceAndTheUsersHiveAsAnotherAccount) {
    testing::BrowserWorld world;
    const std::string deep = std::string(test::kStartMenu) + "\\Programs\\Web\\Chrome.lnk";
    const std::string common = std::string(test::kCommonStartMenu) + "\\Programs\\Edge.lnk";
    const std::string key = std::string(test::kAppPaths) + "chrome.exe";
    world.platform.addShortcut(deep, "C:\\x.exe", "");
    world.platform.addShortcut(common, "C:\\x.exe", "");
    const AccessList before = DenyingAdministrators();
    world.platform.setKeyAccessList(kHKeyCurrentUser, key.substr(0, key.rfind('\\')), before);
    world.platform.addKey(kHKeyCurrentUser, key);
    const std::string keyName = KeyObjectName(world.platform, kHKeyCurrentUser, key);
    {
        Journal dead(world.platform);
        LeaveGranted(world, dead, deep, before);
        LeaveGranted(world, dead, common, before);
        std::string id;
        ASSERT_EQ(
            dead.record({SecurityObjectType::RegistryKey, keyName, before, kInvalidFileAttributes},
                        &id),
            kErrorSuccess);
    }
    world.platform.setTokenUserSid(model::kSystemSid);
    const RecoveryResult result = RecoverAtStart(world.ports);
    world.platform.setTokenUserSid(model::kModelUserSid);
    EXPECT_EQ(result.restored, 3);
    EXPECT_EQ(result.refused, 0);
    EXPECT_EQ(world.platform.fileAccessList(deep), before);
    EXPECT_EQ(world.platform.fileAccessList(common), before);
    EXPECT_EQ(world.platform.keyAccessList(kHKeyCurrentUser, key), before);
    EXPECT_TRUE(world.platform.storeFiles().empty());
}

// An entry named the old way, by the view of whoever ran ("CURRENT_USER", "CLASSES_ROOT"),
// could mean another key to the account that recovers: refused, and its file kept.
TEST(RecoverJournal, OldViewNamesAreRefusedAndTheirFileKept) {
    ModelWorld world;
    const std::string path = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\a.exe";
    world.platform.addKey(kHKeyCurrentUser, path);
    world.platform.addKey(kHKeyClassesRoot, "CLSID\\{208D2C60-3AEA-1069-A2D7-08002B30309D}");
    const std::string text =
        FormatJournalEntry({SecurityObjectType::RegistryKey, "CURRENT_USER\\" + path,
                            DenyingAdministrators(), kInvalidFileAttributes}) +
        FormatJournalEntry({SecurityObjectType::RegistryKey,
                            "CLASSES_ROOT\\CLSID\\{208D2C60-3AEA-1069-A2D7-08002B30309D}",
                            DenyingAdministrators(), kInvalidFileAttributes});
    bool trusted = false;
    ASSERT_EQ(world.platform.secureFolder("Journal", &trusted), kErrorSuccess);
    world.platform.putStoreFile("Journal\\0000000000000001.journal", text);
    const RecoveryResult result = RecoverAtStart(world.ports);
    EXPECT_EQ(result.refused, 2);
    EXPECT_EQ(result.restored, 0);
    EXPECT_EQ(world.platform.keyAccessList(kHKeyCurrentUser, path), model::DefaultAccessList());
    EXPECT_EQ(world.platform.storeFiles().size(), 1u);
}

TEST(RecoverJournal, EntriesInAFolderOthersCouldWriteAreNeverApplied) {
    ModelWorld world;
    const std::string link = ModelWorld::desktop("Internet Explorer.lnk");
    world.platform.addShortcut(link, "C:\\ie.exe", "http://x/");
    world.platform.putForeignStoreFolder("Journal");
    world.platform.putStoreFile(
        "Journal\\0000000000000001.journal",
        FormatJournalEntry({SecurityObjectType::File, link, AccessList{}, 0}));
    const RecoveryResult result = RecoverAtStart(world.ports);
    EXPECT_EQ(result.refused, 1);
    EXPECT_EQ(world.platform.fileAccessList(link), model::DefaultAccessList());
    // Moved aside with its folder, unread; the fresh folder holds nothing.
    EXPECT_EQ(world.platform.storeFiles().size(), 1u);
    EXPECT_EQ(world.platform.storeFiles().count("Journal.untrusted-1\\0000000000000001.journal"),
              1u);
}

// A journal file planted in the store's own folder, or changed by another account, is never
// applied and never deleted: it is refused by the store and counted. The one the program
// made (no flaw) shows the entry would otherwise open the key to everyone.
TEST(RecoverJournal, AStoreFileOthersShapedIsRefusedAndKept) {
    constexpr const char* kAppPaths = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";
    AccessList open;
    ASSERT_TRUE(AccessListFromSddl("D:(A;OICI;0xf003f;;;S-1-1-0)", &open));
    const struct {
        model::StoreFlaw flaw;
        bool applied;
    } cases[] = {
        {model::StoreFlaw::None, true},
        {model::StoreFlaw::ForeignOwner, false},
        {model::StoreFlaw::WritableByOthers, false},
        {model::StoreFlaw::ReadOnly, false},
        {model::StoreFlaw::HardLinked, false},
        {model::StoreFlaw::RefusesAdministrators, false},
    };
    for (const auto& c : cases) {
        ModelWorld world;
        world.platform.addKey(kHKeyLocalMachine, kAppPaths);
        const AccessList before = world.platform.keyAccessList(kHKeyLocalMachine, kAppPaths);
        bool trusted = false;
        ASSERT_EQ(world.platform.secureFolder("Journal", &trusted), kErrorSuccess);
        const std::string path = "Journal\\0000000000000001.journal";
        world.platform.putStoreFile(
            path,
            FormatJournalEntry(
                {SecurityObjectType::RegistryKey, std::string("MACHINE\\") + kAppPaths, open, 0}),
            c.flaw);
        for (int start = 0; start < 2; ++start) {  // the next start finds it again
            const RecoveryResult result = RecoverAtStart(world.ports);
            if (c.applied)
                break;
            EXPECT_EQ(result.refused, 1) << static_cast<int>(c.flaw);
            EXPECT_EQ(result.restored, 0) << static_cast<int>(c.flaw);
        }
        EXPECT_EQ(world.platform.keyAccessList(kHKeyLocalMachine, kAppPaths),
                  c.applied ? open : before)
            << static_cast<int>(c.flaw);
        EXPECT_EQ(world.platform.storeFiles().count(path), c.applied ? 0u : 1u)
            << static_cast<int>(c.flaw);
    }
}

}  // namespace
}  // namespace brenvik
