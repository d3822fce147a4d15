// What the escalation ports must do: backup-intent calls, the file security handle, the store.
#include <vector>

#include "engine/change/access_broker.h"
#include "tests/support/shortcut_calls.h"
#include "engine/change/object_grant.h"
#include "tests/contract/contract_test_base.h"

namespace brenvik::test {
namespace {

using EscalationContract = ContractTest;

constexpr const char* kAdministrators = "S-1-5-32-544";

// Every right denied to the administrators (and so to this process), SYSTEM allowed.
AccessList RefusingAdministrators(std::uint32_t all) {
    AccessList list;
    list.present = true;
    AccessEntry deny;
    deny.type = kAccessDeniedAceType;
    deny.mask = all;
    deny.sid = kAdministrators;
    AccessEntry system;
    system.mask = all;
    system.sid = "S-1-5-18";
    list.entries = {deny, system};
    return list;
}

// A refusing key list stops a plain open but not the owner, who reads and rewrites the list,
// nor an open with backup intent once the privileges are enabled.
TEST_F(EscalationContract, RefusingKeyOpensWithBackupIntentAndItsOwnerKeepsTheList) {
    const std::string path = world().scratchKey(kHKeyLocalMachine);
    const std::string name = KeyObjectName(kHKeyLocalMachine, path);
    AccessList original;
    ASSERT_EQ(access().readAccessList(name, SecurityObjectType::RegistryKey, &original),
              kErrorSuccess);
    ASSERT_EQ(access().writeAccessList(name, SecurityObjectType::RegistryKey,
                                       RefusingAdministrators(kKeyAllAccess)),
              kErrorSuccess);

    ScopedKey key(registry());
    EXPECT_EQ(registry().openKey(kHKeyLocalMachine, path, kKeyRead, key.put()), kErrorAccessDenied);
    ASSERT_EQ(access().enableBackupPrivileges(), kErrorSuccess);
    // Wine ignores REG_OPTION_BACKUP_RESTORE: the list refuses the open there too, and the
    // engine goes on to the grant.
    const Status backup =
        registry().openKey(kHKeyLocalMachine, path, kKeyRead, key.put(), OpenMode::BackupIntent);
    if (!world().underWine()) {
        EXPECT_EQ(backup, kErrorSuccess);
        std::uint32_t count = 1;
        EXPECT_EQ(registry().querySubkeyCount(key.get(), &count), kErrorSuccess);
        EXPECT_EQ(count, 0u);
    }
    key.reset();

    AccessList read;
    EXPECT_EQ(access().readAccessList(name, SecurityObjectType::RegistryKey, &read), kErrorSuccess);
    EXPECT_EQ(access().writeAccessList(name, SecurityObjectType::RegistryKey, original),
              kErrorSuccess);
    EXPECT_EQ(registry().openKey(kHKeyLocalMachine, path, kKeyRead, key.put()), kErrorSuccess);
}

TEST_F(EscalationContract, BackupDeletionRemovesAKeyWithoutSubkeysOnly) {
    const std::string path = world().scratchKey(kHKeyLocalMachine);
    ScopedKey key(registry());
    ASSERT_EQ(registry().createKey(kHKeyLocalMachine, path + "\\A\\B", kKeyReadWrite, key.put()),
              kErrorSuccess);
    key.reset();
    ASSERT_EQ(access().enableBackupPrivileges(), kErrorSuccess);
    EXPECT_EQ(registry().deleteKey(kHKeyLocalMachine, path + "\\A", OpenMode::BackupIntent),
              kErrorAccessDenied);
    EXPECT_EQ(registry().deleteKey(kHKeyLocalMachine, path + "\\A\\B", OpenMode::BackupIntent),
              kErrorSuccess);
    EXPECT_EQ(registry().openKey(kHKeyLocalMachine, path + "\\A\\B", kKeyRead, key.put()),
              kErrorFileNotFound);
}

// One handle tells the attributes and link count, and changes the list and attributes.
TEST_F(EscalationContract, FileSecurityHandleReadsAndChangesListAndAttributes) {
    const std::string path = world().scratchFolder() + "\\locked.lnk";
    world().makeFile(path, kFileAttributeReadOnly | kFileAttributeHidden);
    ScopedFile file(fileSecurity());
    ASSERT_EQ(fileSecurity().openFileSecurity(path, file.put()), kErrorSuccess);
    FileIdentity identity;
    ASSERT_EQ(fileSecurity().queryFileIdentity(file.get(), &identity), kErrorSuccess);
    EXPECT_EQ(identity.links, 1u);
    EXPECT_EQ(identity.attributes & (kFileAttributeReadOnly | kFileAttributeHidden),
              kFileAttributeReadOnly | kFileAttributeHidden);

    AccessList list;
    ASSERT_EQ(fileSecurity().readFileAccessList(file.get(), &list), kErrorSuccess);
    EXPECT_TRUE(list.present);
    ASSERT_EQ(fileSecurity().setFileAttributes(file.get(), 0), kErrorSuccess);
    EXPECT_EQ(files().getAttributes(path) & (kFileAttributeReadOnly | kFileAttributeHidden), 0u);
    EXPECT_EQ(files().deleteFile(path), kErrorSuccess) << "deleted beside the open handle";
    file.reset();
    EXPECT_EQ(files().getAttributes(path), kInvalidFileAttributes);
    EXPECT_EQ(fileSecurity().openFileSecurity(path, file.put()), kErrorFileNotFound);
}

TEST_F(EscalationContract, BackupCallsReadRewriteAndDeleteShortcuts) {
    const std::string folder = world().scratchFolder();
    const std::string link = folder + "\\Internet Explorer.lnk";
    world().makeShortcut(link, world().existingProgram(), "http://a.example/ -k");
    ASSERT_EQ(access().enableBackupPrivileges(), kErrorSuccess);

    std::string arguments;
    ASSERT_EQ(ReadArguments(shortcuts(), link, &arguments, OpenMode::BackupIntent), kErrorSuccess);
    EXPECT_EQ(arguments, "http://a.example/ -k");
    ASSERT_EQ(shortcuts().writeShortcut(link, OpenMode::BackupIntent, ShortcutArguments("-k")),
              kErrorSuccess);
    EXPECT_EQ(Arguments(shortcuts(), link), "-k");
    EXPECT_FALSE(world().shortcutTarget(link).empty()) << "the target survives the rewrite";

    const std::string readOnly = folder + "\\ro.lnk";
    world().makeShortcut(readOnly, world().existingProgram(), "x");
    ASSERT_TRUE(files().setAttributes(readOnly, kFileAttributeReadOnly));
    // Wine running as root writes a read-only file (wine.md); Windows refuses it.
    if (!world().underWine()) {
        EXPECT_EQ(
            shortcuts().writeShortcut(readOnly, OpenMode::BackupIntent, ShortcutArguments("")),
            kErrorAccessDenied);
    }
    EXPECT_EQ(files().deleteFile(readOnly, OpenMode::BackupIntent), kErrorAccessDenied);
    EXPECT_EQ(files().deleteFile(link, OpenMode::BackupIntent), kErrorSuccess);
    EXPECT_EQ(files().getAttributes(link), kInvalidFileAttributes);
}

TEST_F(EscalationContract, StoreWritesNewFilesOnlyAndListsThemSorted) {
    const std::string folder = "ContractTest";
    bool trusted = false;
    ASSERT_EQ(store().secureFolder(folder, &trusted), kErrorSuccess);
    EXPECT_TRUE(trusted);
    std::vector<std::string> names;
    ASSERT_EQ(store().listFiles(folder, &names), kErrorSuccess);
    for (const std::string& name : names) store().removeFile(folder + "\\" + name);

    ASSERT_EQ(store().writeDurably(folder + "\\b.entry", "second"), kErrorSuccess);
    ASSERT_EQ(store().writeDurably(folder + "\\a.entry", std::string("fi\0rst", 6)), kErrorSuccess);
    EXPECT_EQ(store().writeDurably(folder + "\\a.entry", "again"), kErrorFileExists);
    ASSERT_EQ(store().listFiles(folder, &names), kErrorSuccess);
    EXPECT_EQ(names, (std::vector<std::string>{"a.entry", "b.entry"}));
    std::string bytes;
    ASSERT_EQ(store().readFile(folder + "\\a.entry", &bytes), kErrorSuccess);
    EXPECT_EQ(bytes, std::string("fi\0rst", 6));
    for (const std::string& name : names)
        EXPECT_EQ(store().removeFile(folder + "\\" + name), kErrorSuccess);
    EXPECT_NE(store().readFile(folder + "\\a.entry", &bytes), kErrorSuccess);
    EXPECT_NE(store().listFiles("NoSuchFolder", &names), kErrorSuccess);
}

// The real grant on a key of each hive: journaled under the name that reaches the key from any
// account, the administrators alone ahead of the refusing list, inherited by nothing, and the
// list back as it was afterwards.
TEST_F(EscalationContract, KeyGrantGivesTheAdministratorsAloneAndNothingBelow) {
    Ports ports = world().ports();
    for (RegKey root : {kHKeyLocalMachine, kHKeyCurrentUser}) {
        const std::string path = world().scratchKey(root);
        const std::string name = brenvik::KeyObjectName(access(), root, path);
        ASSERT_FALSE(name.empty());
        const AccessList refusing = RefusingAdministrators(kKeyAllAccess);
        ASSERT_EQ(access().writeAccessList(name, SecurityObjectType::RegistryKey, refusing),
                  kErrorSuccess);
        {
            Journal journal(store());
            KeyGrant grant(ports, journal, name);
            ASSERT_TRUE(grant.granted()) << name;
            AccessList granted;
            ASSERT_EQ(access().readAccessList(name, SecurityObjectType::RegistryKey, &granted),
                      kErrorSuccess);
            ASSERT_FALSE(granted.entries.empty());
            EXPECT_EQ(granted.entries.front().sid, kAdministrators);
            EXPECT_EQ(granted.entries.front().type, kAccessAllowedAceType);
            EXPECT_EQ(granted.entries.front().flags, 0) << "inherited by nothing below";
            for (const AccessEntry& e : granted.entries) EXPECT_NE(e.sid, kEveryoneSid);
            ScopedKey key(registry());
            EXPECT_EQ(registry().openKey(root, path, kKeyReadWrite, key.put()), kErrorSuccess);
        }
        AccessList after;
        ASSERT_EQ(access().readAccessList(name, SecurityObjectType::RegistryKey, &after),
                  kErrorSuccess);
        EXPECT_EQ(after.entries, refusing.entries) << name;
        std::vector<std::string> left;
        store().listFiles("Journal", &left);
        EXPECT_TRUE(left.empty()) << "the journal file goes once the list is back";
        // The scratch key is deleted by the world, which needs it open again.
        access().writeAccessList(name, SecurityObjectType::RegistryKey, AccessList{});
    }
}

}  // namespace
}  // namespace brenvik::test
