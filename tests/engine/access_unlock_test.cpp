#include "engine/access_unlock.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/engine/model_world.h"

namespace brenvik {
namespace {

using testing::ModelWorld;

constexpr const char* kUserSid = "S-1-5-21-1-2-3-1001";

AccessEntry Entry(std::uint8_t type, std::uint8_t flags, std::uint32_t mask, const char* sid) {
    AccessEntry e;
    e.type = type;
    e.flags = flags;
    e.mask = mask;
    e.sid = sid;
    return e;
}

AccessEntry EveryoneKeyEntry() {
    return Entry(kAccessAllowedAceType, kObjectInheritAce | kContainerInheritAce, kKeyAllAccess,
                 kEveryoneSid);
}

AccessEntry EveryoneFileEntry() {
    return Entry(kAccessAllowedAceType, kObjectInheritAce, kGenericAll, kEveryoneSid);
}

AccessList ListOf(std::vector<AccessEntry> entries) {
    AccessList list;
    list.present = true;
    list.entries = std::move(entries);
    return list;
}

TEST(SetAccessRule, KeyWithoutListGetsTheEveryoneEntryAlone) {
    const AccessList result = WithSetAccess(AccessList{}, kEveryoneSid, kKeyAllAccess,
                                            kObjectInheritAce | kContainerInheritAce);
    EXPECT_TRUE(result.present);
    EXPECT_EQ(result.entries, std::vector<AccessEntry>{EveryoneKeyEntry()});
}

TEST(SetAccessRule, ReplacesTheTrusteesExplicitEntriesAndKeepsCanonicalOrder) {
    const AccessEntry inheritedUser =
        Entry(kAccessAllowedAceType, kInheritedAce, 0x20019, kUserSid);
    const AccessEntry inheritedEveryone =
        Entry(kAccessDeniedAceType, kInheritedAce, 0x2, kEveryoneSid);
    const AccessEntry denyUser = Entry(kAccessDeniedAceType, 0, 0x10000, kUserSid);
    const AccessList before = ListOf({
        Entry(kAccessDeniedAceType, 0, 0x2, kEveryoneSid),
        Entry(kAccessAllowedAceType, 0, 0x1, kEveryoneSid),
        inheritedUser,
        denyUser,
        inheritedEveryone,
    });
    const AccessList result = WithSetAccess(before, kEveryoneSid, kKeyAllAccess,
                                            kObjectInheritAce | kContainerInheritAce);
    // Inherited entries are not the trustee's explicit information: they stay, last.
    EXPECT_EQ(result.entries, (std::vector<AccessEntry>{denyUser, EveryoneKeyEntry(),
                                                        inheritedEveryone, inheritedUser}));
}

TEST(FileEntryRule, KeepsDenyAheadDropsOtherTypesAndPutsInheritedLast) {
    AccessEntry objectEntry;
    objectEntry.type = 5;  // ACCESS_ALLOWED_OBJECT_ACE_TYPE
    objectEntry.raw = {5, 0, 8, 0, 1, 2, 3, 4};
    const AccessEntry allowUser = Entry(kAccessAllowedAceType, 0, 0x1F01FF, kUserSid);
    const AccessEntry inherited = Entry(kAccessAllowedAceType, kInheritedAce, 0x1200A9, kUserSid);
    const AccessEntry deny = Entry(kAccessDeniedAceType, 0, 0x10000, kUserSid);
    const AccessEntry inheritedDeny = Entry(kAccessDeniedAceType, kInheritedAce, 0x2, kUserSid);
    const AccessList result =
        WithEveryoneFileEntry(ListOf({inherited, allowUser, objectEntry, inheritedDeny, deny}));
    EXPECT_EQ(result.entries, (std::vector<AccessEntry>{deny, allowUser, EveryoneFileEntry(),
                                                        inheritedDeny, inherited}));
}

TEST(UnlockRegistryKey, MissingKeyOrUnknownRootChangesNothing) {
    ModelWorld world;
    world.platform.addKey(kHKeyLocalMachine, "Software\\Present");
    EXPECT_FALSE(UnlockRegistryKey(world.platform, "MACHINE\\Software\\Absent"));
    EXPECT_FALSE(UnlockRegistryKey(world.platform, "NOWHERE\\Software\\Present"));
    EXPECT_TRUE(world.platform.accessWrites().empty());
}

TEST(UnlockRegistryKey, UnlockedKeyOpensForWriting) {
    ModelWorld world;
    const char* path = "Software\\Locked";
    AccessList locked = model::DefaultAccessList();
    locked.entries.insert(locked.entries.begin(),
                          Entry(kAccessDeniedAceType, 0, kKeyWrite, kEveryoneSid));
    world.platform.addKey(kHKeyLocalMachine, path);
    world.platform.setKeyAccessList(kHKeyLocalMachine, path, locked);

    ScopedKey key(world.platform);
    EXPECT_EQ(world.platform.openKey(kHKeyLocalMachine, path, kKeyWrite, key.put()),
              kErrorAccessDenied);
    EXPECT_TRUE(UnlockRegistryKey(world.platform, "MACHINE\\Software\\Locked"));
    EXPECT_EQ(world.platform.openKey(kHKeyLocalMachine, path, kKeyWrite, key.put()), kErrorSuccess);
}

TEST(ScopedKeyUnlock, GrantsForItsLifeThenPutsTheOldListBack) {
    ModelWorld world;
    const char* path = "Software\\Classes\\CLSID\\{x}";
    world.platform.addKey(kHKeyLocalMachine, path);
    const AccessList before = world.platform.keyAccessList(kHKeyLocalMachine, path);
    {
        ScopedKeyUnlock unlock(world.platform, "MACHINE\\Software\\Classes\\CLSID\\{x}");
        const AccessList during = world.platform.keyAccessList(kHKeyLocalMachine, path);
        EXPECT_NE(during, before);
        EXPECT_EQ(during.entries.back(), EveryoneKeyEntry());
    }
    EXPECT_EQ(world.platform.keyAccessList(kHKeyLocalMachine, path), before);
}

TEST(ScopedKeyUnlock, ADeletedKeyRecreatedLaterKeepsItsNewList) {
    ModelWorld world;
    const char* path = "Software\\Gone";
    world.platform.addKey(kHKeyLocalMachine, path);
    world.platform.setKeyAccessList(kHKeyLocalMachine, path, ListOf({EveryoneFileEntry()}));
    {
        ScopedKeyUnlock unlock(world.platform, "MACHINE\\Software\\Gone");
        ASSERT_EQ(world.platform.deleteKey(kHKeyLocalMachine, path), kErrorSuccess);
        unlock.keyDeleted();
        world.platform.addKey(kHKeyLocalMachine, path);
    }
    EXPECT_EQ(world.platform.keyAccessList(kHKeyLocalMachine, path), model::DefaultAccessList());
}

TEST(ScopedFileUnlock, ReadOnlyHiddenFileIsOpenedThenRestored) {
    ModelWorld world;
    const std::string path = ModelWorld::desktop("a.lnk");
    const std::uint32_t attributes =
        kFileAttributeReadOnly | kFileAttributeHidden | kFileAttributeArchive;
    world.platform.addShortcut(path, "C:\\x.exe", "", attributes);
    AccessList before = model::DefaultAccessList();
    before.entries.insert(before.entries.begin(),
                          Entry(kAccessDeniedAceType, 0, 0x10000, kUserSid));
    world.platform.setFileAccessList(path, before);
    {
        ScopedFileUnlock unlock(world.platform, world.platform, path);
        EXPECT_TRUE(unlock.unlocked());
        EXPECT_EQ(
            world.platform.fileAttributes(path) & (kFileAttributeReadOnly | kFileAttributeHidden),
            0u);
        const AccessList during = world.platform.fileAccessList(path);
        ASSERT_FALSE(during.entries.empty());
        EXPECT_EQ(during.entries.front().type, kAccessDeniedAceType);
        EXPECT_NE(std::find(during.entries.begin(), during.entries.end(), EveryoneFileEntry()),
                  during.entries.end());
    }
    EXPECT_EQ(world.platform.fileAttributes(path), attributes);
    EXPECT_EQ(world.platform.fileAccessList(path), before);
}

TEST(ScopedFileUnlock, RefusedFileCanBeDeletedOnlyWhileUnlocked) {
    ModelWorld world;
    const std::string path = ModelWorld::desktop("locked.lnk");
    world.platform.addShortcut(path, "C:\\x.exe", "", kFileAttributeReadOnly);
    world.platform.setFileAccessList(path,
                                     ListOf({Entry(kAccessAllowedAceType, 0, 0x1F01FF, kUserSid)}));
    EXPECT_FALSE(world.platform.deleteFile(path));
    {
        ScopedFileUnlock unlock(world.platform, world.platform, path);
        EXPECT_TRUE(world.platform.deleteFile(path));
    }
    EXPECT_FALSE(world.platform.hasFile(path));
}

TEST(ScopedFileUnlock, LinkedNamesAreNeverUnlocked) {
    ModelWorld world;
    const std::string hardLinked = ModelWorld::desktop("hard.lnk");
    const std::string reparse = ModelWorld::desktop("reparse.lnk");
    world.platform.addShortcut(hardLinked, "C:\\x.exe", "", kFileAttributeReadOnly);
    world.platform.setLinkCount(hardLinked, 2);
    world.platform.addShortcut(reparse, "C:\\x.exe", "", kFileAttributeReadOnly);
    world.platform.setReparsePoint(reparse);
    for (const std::string& path : {hardLinked, reparse}) {
        ScopedFileUnlock unlock(world.platform, world.platform, path);
        EXPECT_FALSE(unlock.unlocked()) << path;
        EXPECT_TRUE(world.platform.fileAttributes(path) & kFileAttributeReadOnly) << path;
    }
    EXPECT_TRUE(world.platform.accessWrites().empty());
}

TEST(UnlockFile, ClearsAttributesEvenWhenTheListCannotBeWritten) {
    ModelWorld world;
    const std::string path = ModelWorld::desktop("a.lnk");
    world.platform.addShortcut(path, "C:\\x.exe", "",
                               kFileAttributeReadOnly | kFileAttributeHidden);
    const AccessList before = world.platform.fileAccessList(path);
    world.platform.injectFailure("writeAccessList", path, kErrorAccessDenied);
    EXPECT_TRUE(UnlockFile(world.platform, world.platform, path));
    EXPECT_EQ(world.platform.fileAttributes(path) & (kFileAttributeReadOnly | kFileAttributeHidden),
              0u);
    EXPECT_EQ(world.platform.fileAccessList(path), before);
}

}  // namespace
}  // namespace brenvik
