// What the access port must do, on the model and on Win32 alike.
#include <vector>

#include "engine/change/access_broker.h"
#include "tests/contract/contract_test_base.h"

namespace brenvik::test {
namespace {

using AccessContract = ContractTest;

constexpr std::uint32_t kKeySetValue = 0x2;

// Windows adds the parent's inheritable entries to an unprotected list; compare the rest.
std::vector<AccessEntry> Explicit(const AccessList& list) {
    std::vector<AccessEntry> entries;
    for (const AccessEntry& e : list.entries) {
        if (!(e.flags & kInheritedAce))
            entries.push_back(e);
    }
    return entries;
}

TEST_F(AccessContract, KeyListWrittenReadsBackInOrder) {
    const std::string name =
        KeyObjectName(kHKeyLocalMachine, world().scratchKey(kHKeyLocalMachine));
    AccessList list;
    list.present = true;
    list.entries = {
        SidEntry(kAccessDeniedAceType, 0, kKeySetValue, kEveryoneSid),
        SidEntry(kAccessAllowedAceType, kObjectInheritAce | kContainerInheritAce, kKeyAllAccess,
                 kEveryoneSid),
        SidEntry(kAccessAllowedAceType, 0, kKeyAllAccess, "S-1-5-32-544"),
    };
    ASSERT_EQ(kErrorSuccess, access().writeAccessList(name, SecurityObjectType::RegistryKey, list));
    AccessList read;
    ASSERT_EQ(kErrorSuccess, access().readAccessList(name, SecurityObjectType::RegistryKey, &read));
    EXPECT_TRUE(read.present);
    EXPECT_EQ(list.entries, Explicit(read));
}

TEST_F(AccessContract, ProtectedListReadsBackProtected) {
    const std::string name = KeyObjectName(kHKeyCurrentUser, world().scratchKey(kHKeyCurrentUser));
    AccessList list;
    list.present = true;
    list.isProtected = true;
    list.entries = {SidEntry(kAccessAllowedAceType, 0, kKeyAllAccess, "S-1-5-32-544")};
    ASSERT_EQ(kErrorSuccess, access().writeAccessList(name, SecurityObjectType::RegistryKey, list));
    AccessList read;
    ASSERT_EQ(kErrorSuccess, access().readAccessList(name, SecurityObjectType::RegistryKey, &read));
    EXPECT_EQ(list.entries, read.entries);
    // Wine keeps the entries of a key's list but drops SE_DACL_PROTECTED.
    if (!world().underWine()) {
        EXPECT_TRUE(read.isProtected);
    }
}

TEST_F(AccessContract, DenyEntryRefusesWritingUntilItIsRemoved) {
    const std::string path = world().scratchKey(kHKeyCurrentUser);
    const std::string name = KeyObjectName(kHKeyCurrentUser, path);
    AccessList open;
    ASSERT_EQ(kErrorSuccess, access().readAccessList(name, SecurityObjectType::RegistryKey, &open));
    AccessList locked = open;
    locked.present = true;
    locked.entries.insert(locked.entries.begin(),
                          SidEntry(kAccessDeniedAceType, 0, kKeySetValue, kEveryoneSid));
    ASSERT_EQ(kErrorSuccess,
              access().writeAccessList(name, SecurityObjectType::RegistryKey, locked));

    ScopedKey key(registry());
    EXPECT_EQ(kErrorAccessDenied, registry().openKey(kHKeyCurrentUser, path, kKeyWrite, key.put()));
    EXPECT_EQ(kErrorSuccess, registry().openKey(kHKeyCurrentUser, path, kKeyRead, key.put()));
    key.reset();

    ASSERT_EQ(kErrorSuccess, access().writeAccessList(name, SecurityObjectType::RegistryKey, open));
    EXPECT_EQ(kErrorSuccess, registry().openKey(kHKeyCurrentUser, path, kKeyWrite, key.put()));
}

TEST_F(AccessContract, NullListAdmitsEverybody) {
    const std::string path = world().scratchKey(kHKeyCurrentUser);
    const std::string name = KeyObjectName(kHKeyCurrentUser, path);
    AccessList none;
    ASSERT_EQ(kErrorSuccess, access().writeAccessList(name, SecurityObjectType::RegistryKey, none));
    AccessList read;
    ASSERT_EQ(kErrorSuccess, access().readAccessList(name, SecurityObjectType::RegistryKey, &read));
    EXPECT_FALSE(read.present);
    ScopedKey key(registry());
    EXPECT_EQ(kErrorSuccess, registry().openKey(kHKeyCurrentUser, path, kKeyAllAccess, key.put()));
}

TEST_F(AccessContract, MissingKeyAndUnknownRootAreRefused) {
    const std::string path = world().scratchKey(kHKeyCurrentUser);
    struct Case {
        std::string name;
        Status expected;
    };
    const Case cases[] = {{KeyObjectName(kHKeyCurrentUser, path + "\\missing"), kErrorFileNotFound},
                          {"MACHINE\\Software\\BrenvikTest\\no\\such\\key", kErrorFileNotFound},
                          {"NOWHERE\\" + path, kErrorInvalidParameter}};
    for (const Case& c : cases) {
        AccessList read;
        EXPECT_EQ(c.expected,
                  access().readAccessList(c.name, SecurityObjectType::RegistryKey, &read))
            << c.name;
    }
}

TEST_F(AccessContract, RootWordIgnoresLetterCase) {
    if (world().underWine())
        GTEST_SKIP() << "Wine matches the root word with its letter case";
    const std::string path = world().scratchKey(kHKeyCurrentUser);
    AccessList read;
    EXPECT_EQ(kErrorSuccess, access().readAccessList("current_user\\" + path,
                                                     SecurityObjectType::RegistryKey, &read));
}

TEST_F(AccessContract, FileGrantForEveryoneReadsBack) {
    const std::string path = world().scratchFolder() + "\\f.lnk";
    world().makeFile(path, kFileAttributeArchive);
    AccessList list;
    ASSERT_EQ(kErrorSuccess, access().readAccessList(path, SecurityObjectType::File, &list));
    list.present = true;
    list.entries.push_back(SidEntry(kAccessAllowedAceType, 0, 0x1F01FF, kEveryoneSid));
    ASSERT_EQ(kErrorSuccess, access().writeAccessList(path, SecurityObjectType::File, list));
    AccessList read;
    ASSERT_EQ(kErrorSuccess, access().readAccessList(path, SecurityObjectType::File, &read));
    bool granted = false;
    for (const AccessEntry& e : read.entries)
        granted |= e.type == kAccessAllowedAceType && e.sid == kEveryoneSid;
    EXPECT_TRUE(granted);
    EXPECT_EQ(kErrorFileNotFound,
              access().readAccessList(path + ".missing", SecurityObjectType::File, &read));
}

// The token user's hive by its SID is the key HKEY_CURRENT_USER opens: a list written through
// one name reads back through the other, and the engine's name for the key is that one.
TEST_F(AccessContract, UserHiveNamedBySidIsTheCurrentUsersKey) {
    std::string sid = "unset";
    ASSERT_EQ(access().tokenUserSid(&sid), kErrorSuccess);
    ASSERT_EQ(sid.compare(0, 4, "S-1-"), 0) << sid;
    const std::string path = world().scratchKey(kHKeyCurrentUser);
    const std::string bySid = "USERS\\" + sid + "\\" + path;
    EXPECT_EQ(brenvik::KeyObjectName(access(), kHKeyCurrentUser, path), bySid);

    AccessList list;
    list.present = true;
    list.entries = {SidEntry(kAccessDeniedAceType, 0, kKeySetValue, "S-1-5-32-545"),
                    SidEntry(kAccessAllowedAceType, 0, kKeyAllAccess, "S-1-5-32-544")};
    ASSERT_EQ(kErrorSuccess,
              access().writeAccessList(bySid, SecurityObjectType::RegistryKey, list));
    AccessList read;
    ASSERT_EQ(kErrorSuccess, access().readAccessList(KeyObjectName(kHKeyCurrentUser, path),
                                                     SecurityObjectType::RegistryKey, &read));
    EXPECT_EQ(list.entries, Explicit(read));
    EXPECT_EQ(kErrorFileNotFound,
              access().readAccessList("USERS\\" + sid + "\\" + path + "\\missing",
                                      SecurityObjectType::RegistryKey, &read));
}

}  // namespace
}  // namespace brenvik::test
