#include "engine/change/access_broker.h"
#include "tests/support/shortcut_calls.h"

#include <gtest/gtest.h>

#include <functional>

#include "engine/commands/driver.h"
#include "engine/vectors/link_scanners.h"
#include "tests/engine/model_world.h"
#include "tests/support/scan_alone.h"
#include "tests/support/bare_commands.h"

namespace brenvik {
namespace {

using testing::DenyingAdministrators;
using testing::ModelWorld;

constexpr const char* kKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop\\"
    "NameSpace\\{11111111-2222-3333-4444-555555555555}";
constexpr std::uint32_t kLockedAttributes = kFileAttributeReadOnly | kFileAttributeHidden;

// A list that grants the administrators nothing at all: the case the unlock exists for.
AccessList GrantingNothing() {
    AccessList list;
    list.present = true;
    AccessEntry user;
    user.mask = kGenericAll;
    user.sid = "S-1-5-21-1-2-3-1001";
    list.entries.push_back(user);
    return list;
}

struct Operation {
    const char* name;
    bool onKey;
    std::function<Status(AccessBroker&)> call;
    std::function<bool(const model::ModelPlatform&)> done;
};

std::vector<Operation> Operations() {
    const std::string link = ModelWorld::quickLaunch("Internet Explorer.lnk");
    return {
        {"read arguments", false,
         [=](AccessBroker& b) {
             std::string arguments;
             const Status s = test::ReadArguments(b, link, &arguments);
             return s == kErrorSuccess && arguments == "http://x/" ? s : kErrorInvalidData;
         },
         [](const model::ModelPlatform&) { return true; }},
        {"rewrite arguments", false,
         [=](AccessBroker& b) { return b.writeShortcut(link, ShortcutArguments("")); },
         [=](const model::ModelPlatform& p) { return p.shortcutArguments(link) == ""; }},
        {"delete file", false, [=](AccessBroker& b) { return b.deleteFile(link); },
         [=](const model::ModelPlatform& p) { return !p.hasFile(link); }},
        {"open key", true,
         [](AccessBroker& b) {
             ScopedKey key(b.reads().registry);
             return b.openKey(kHKeyLocalMachine, kKey, kKeyRead, &key);
         },
         [](const model::ModelPlatform&) { return true; }},
        // Below an open parent, as the scanners read command keys: a grant names the whole path.
        {"open key below", true,
         [](AccessBroker& b) {
             const std::string key = kKey;
             const std::string parentPath = key.substr(0, key.rfind('\\'));
             ScopedKey parent(b.reads().registry);
             ScopedKey child(b.reads().registry);
             const Status s = b.openKey(kHKeyLocalMachine, parentPath, kKeyRead, &parent);
             return s ? s
                      : b.openKeyBelow(parent.get(), kHKeyLocalMachine, parentPath,
                                       key.substr(parentPath.size() + 1), &child);
         },
         [](const model::ModelPlatform&) { return true; }},
        {"delete key", true, [](AccessBroker& b) { return b.deleteKey(kHKeyLocalMachine, kKey); },
         [](const model::ModelPlatform& p) { return !p.hasKey(kHKeyLocalMachine, kKey); }},
    };
}

// Each operation on an object that refuses nothing, one whose list refuses (the privileges
// get through), and one that the privileges do not get through either (a read-only file
// refuses rewriting and deleting whatever the privileges; a key, when they are not held):
// attributes are touched in the last case only, a list only for the key (the file's
// attributes are lifted through a backup-intent handle), and both are back as they were.
TEST(AccessBroker, EscalatesOnlyAsFarAsTheRefusalNeeds) {
    enum Lock { None, ListOnly, Everything };
    for (const Operation& op : Operations()) {
        for (Lock lock : {None, ListOnly, Everything}) {
            ModelWorld world;
            const std::string link = ModelWorld::quickLaunch("Internet Explorer.lnk");
            world.platform.addShortcut(link, "C:\\ie.exe", "http://x/",
                                       lock == Everything ? kLockedAttributes : 0);
            world.platform.addKey(kHKeyLocalMachine, kKey);
            if (lock != None) {
                world.platform.setFileAccessList(link, GrantingNothing());
                world.platform.setKeyAccessList(kHKeyLocalMachine, kKey, GrantingNothing());
            }
            // Without the privileges only the grant gets through a refusing key.
            world.platform.setHoldsBackupPrivileges(!(op.onKey && lock == Everything));
            const AccessList keyBefore = world.platform.keyAccessList(kHKeyLocalMachine, kKey);
            const AccessList fileBefore = world.platform.fileAccessList(link);

            const std::string what = std::string(op.name) + " lock " + std::to_string(lock);
            {
                testing::Command command(world);
                EXPECT_EQ(op.call(command.broker), kErrorSuccess) << what;
            }
            EXPECT_TRUE(op.done(world.platform)) << what;
            const bool grant = lock == Everything && op.onKey;
            EXPECT_EQ(world.platform.accessWrites().empty(), !grant) << what;
            // A change walks to its file and checks each handle's identity; nothing else of
            // the object's security is read or touched.
            if (lock == None) {
                for (const std::string& call : world.platform.securityCalls())
                    EXPECT_EQ(call.rfind("queryFileIdentity ", 0), 0u) << what << ": " << call;
            }
            if (world.platform.hasFile(link)) {
                EXPECT_EQ(world.platform.fileAccessList(link), fileBefore) << what;
                EXPECT_EQ(world.platform.fileAttributes(link) & kLockedAttributes,
                          lock == Everything ? kLockedAttributes : 0u)
                    << what;
            }
            if (world.platform.hasKey(kHKeyLocalMachine, kKey)) {
                EXPECT_EQ(world.platform.keyAccessList(kHKeyLocalMachine, kKey), keyBefore) << what;
            }
            EXPECT_TRUE(world.platform.storeFiles().empty()) << what;
            EXPECT_EQ(world.platform.openFileCount(), 0u) << what;
        }
    }
}

// The shortcut whose list grants the administrator nothing, read-only and hidden: found by
// the scan, stripped in Quick Launch and deleted on the Desktop by Fix, and the stripped one
// keeps its list and attributes.
// Values change only on a key the broker itself opened for changing (and so kept first), and
// only while that key is open: a key opened by reading, or closed since, is refused.
TEST(AccessBroker, SetsValuesOnlyOnKeysItOpenedForChanging) {
    ModelWorld world;
    world.platform.addKey(kHKeyLocalMachine, kKey);
    const std::uint8_t one[4] = {1, 0, 0, 0};
    struct Case {
        const char* name;
        std::function<Status(ScopedKey*)> open;
        bool closeFirst;
        Status expected;
    };
    const Case cases[] = {
        {"opened for changing",
         [&](ScopedKey* key) {
             return world.broker.openKey(kHKeyLocalMachine, kKey, kKeyWrite, key);
         },
         false, kErrorSuccess},
        {"created",
         [&](ScopedKey* key) {
             return world.broker.createKey(kHKeyLocalMachine, kKey, kKeyReadWrite, key);
         },
         false, kErrorSuccess},
        {"opened for reading by the broker",
         [&](ScopedKey* key) {
             return world.broker.openKey(kHKeyLocalMachine, kKey, kKeyRead, key);
         },
         false, kErrorAccessDenied},
        {"opened with write rights past the broker",
         [&](ScopedKey* key) {
             return world.broker.reads().registry.openKey(kHKeyLocalMachine, kKey, kKeyReadWrite,
                                                          key->put());
         },
         false, kErrorAccessDenied},
        {"closed since",
         [&](ScopedKey* key) {
             return world.broker.openKey(kHKeyLocalMachine, kKey, kKeyWrite, key);
         },
         true, kErrorAccessDenied},
    };
    for (const Case& c : cases) {
        world.platform.putDword(kHKeyLocalMachine, kKey, "v", 0);
        ScopedKey key(world.broker.reads().registry);
        ASSERT_EQ(c.open(&key), kErrorSuccess) << c.name;
        const RegKey handle = key.get();
        if (c.closeFirst)
            key.reset();
        EXPECT_EQ(world.broker.setValue(handle, "v", kRegDword, one, sizeof one), c.expected)
            << c.name;
        const std::uint8_t written = c.expected == kErrorSuccess ? 1 : 0;
        EXPECT_EQ(world.platform.value(kHKeyLocalMachine, kKey, "v")->data.at(0), written)
            << c.name;
    }
    EXPECT_EQ(world.platform.openKeyCount(), 0u);
}

TEST(AccessBroker, LockedShortcutsAreFoundAndRepaired) {
    ModelWorld world;
    const std::string desktop = ModelWorld::desktop("Internet Explorer.lnk");
    const std::string quickLaunch = ModelWorld::quickLaunch("Internet Explorer.lnk");
    for (const std::string& path : {desktop, quickLaunch}) {
        world.platform.addShortcut(path, "C:\\ie.exe", "http://x/", kLockedAttributes);
        world.platform.setFileAccessList(path, GrantingNothing());
    }
    DesktopLinkScanner desktopScan;
    QuickLaunchLinkScanner quickLaunchScan;
    test::ScanAlone(desktopScan, world.broker);
    test::ScanAlone(quickLaunchScan, world.broker);
    EXPECT_EQ(desktopScan.findings().size(), 1u);
    EXPECT_EQ(quickLaunchScan.findings().size(), 1u);

    test::Fix(world.ports);
    EXPECT_FALSE(world.platform.hasFile(desktop));
    EXPECT_EQ(world.platform.shortcutArguments(quickLaunch), "");
    EXPECT_EQ(world.platform.fileAccessList(quickLaunch), GrantingNothing());
    EXPECT_EQ(world.platform.fileAttributes(quickLaunch), kLockedAttributes);
    // Every grant put back: no journal file is left, only the backup set.
    for (const auto& file : world.platform.storeFiles())
        EXPECT_NE(file.first.rfind("Journal\\", 0), 0u) << file.first;
}

// A read-only name that is a link: the privileges open it to be checked, and it is neither
// rewritten, nor granted, nor deleted (the delete needs the grant for a read-only file).
TEST(AccessBroker, LinkedNamesAreNeitherGrantedNorRewritten) {
    ModelWorld world;
    const std::string hard = ModelWorld::quickLaunch("Internet Explorer.lnk");
    const std::string reparse = ModelWorld::quickLaunch("IExplorer.lnk");
    world.platform.addShortcut(hard, "C:\\ie.exe", "http://x/", kLockedAttributes);
    world.platform.setLinkCount(hard, 2);
    world.platform.addShortcut(reparse, "C:\\ie.exe", "http://y/", kLockedAttributes);
    world.platform.setReparsePoint(reparse);
    for (const std::string& path : {hard, reparse}) {
        world.platform.setFileAccessList(path, GrantingNothing());
        EXPECT_EQ(world.broker.writeShortcut(path, ShortcutArguments("")), kErrorCantAccessFile)
            << path;
        EXPECT_NE(world.broker.deleteFile(path), kErrorSuccess) << path;
        EXPECT_EQ(world.platform.fileAttributes(path) & kLockedAttributes, kLockedAttributes)
            << path;
        EXPECT_EQ(world.platform.fileAccessList(path), GrantingNothing()) << path;
    }
    EXPECT_TRUE(world.platform.accessWrites().empty());
}

TEST(AccessBroker, NothingIsUnlockedWhenTheJournalCannotBeWritten) {
    ModelWorld world;
    const std::string link = ModelWorld::desktop("Internet Explorer.lnk");
    world.platform.addShortcut(link, "C:\\ie.exe", "http://x/", kLockedAttributes);
    world.platform.setFileAccessList(link, DenyingAdministrators());
    world.platform.addKey(kHKeyLocalMachine, kKey);
    world.platform.setKeyAccessList(kHKeyLocalMachine, kKey, DenyingAdministrators());
    world.platform.setHoldsBackupPrivileges(false);
    world.platform.injectFailure("writeDurably", "*", kErrorAccessDenied);

    EXPECT_EQ(world.broker.deleteFile(link), kErrorAccessDenied);
    EXPECT_EQ(world.broker.deleteKey(kHKeyLocalMachine, kKey), kErrorAccessDenied);
    EXPECT_TRUE(world.platform.hasFile(link));
    EXPECT_TRUE(world.platform.accessWrites().empty());
    EXPECT_EQ(world.platform.fileAttributes(link), kLockedAttributes);
}

// A key created under one that refuses it gets a grant that no new key inherits.
TEST(AccessBroker, CreatingUnderARefusingKeyLeavesNoInheritableGrant) {
    ModelWorld world;
    const char* parent = "Software\\Classes\\CLSID\\{208D2C60-3AEA-1069-A2D7-08002B30309D}";
    world.platform.addKey(kHKeyLocalMachine, parent);
    world.platform.setKeyAccessList(kHKeyLocalMachine, parent, GrantingNothing());
    world.platform.setHoldsBackupPrivileges(false);

    ScopedKey key(world.platform);
    ASSERT_EQ(world.broker.createKey(kHKeyLocalMachine, std::string(parent) + "\\DefaultIcon",
                                     kKeyReadWrite, &key),
              kErrorSuccess);
    ASSERT_FALSE(world.platform.accessWrites().empty());
    for (const AccessEntry& e : world.platform.accessWrites().front().second.entries)
        EXPECT_EQ(e.flags & (kObjectInheritAce | kContainerInheritAce), 0);
    EXPECT_EQ(world.platform.keyAccessList(kHKeyLocalMachine, parent), GrantingNothing());
}

// Every grant, on a key of either hive and on a file when the privileges are not held: the
// administrators alone, ahead of the list that was, inherited by nothing; and a key of the
// user's hive named by the token user's SID.
TEST(AccessBroker, GrantsGiveTheAdministratorsAloneAndNothingBelow) {
    const std::string userKey = std::string("USERS\\") + model::kModelUserSid + "\\" + kKey;
    const struct {
        const char* name;
        RegKey root;  // kNoKey: the file
        std::function<Status(AccessBroker&)> call;
        std::string object;  // as the grant names it
    } cases[] = {
        {"open machine key", kHKeyLocalMachine,
         [](AccessBroker& b) {
             ScopedKey key(b.reads().registry);
             return b.openKey(kHKeyLocalMachine, kKey, kKeyRead, &key);
         },
         std::string("MACHINE\\") + kKey},
        {"open user key", kHKeyCurrentUser,
         [](AccessBroker& b) {
             ScopedKey key(b.reads().registry);
             return b.openKey(kHKeyCurrentUser, kKey, kKeyRead, &key);
         },
         userKey},
        {"delete user key", kHKeyCurrentUser,
         [](AccessBroker& b) { return b.deleteKey(kHKeyCurrentUser, kKey); }, userKey},
        {"rewrite file", kNoKey,
         [](AccessBroker& b) {
             return b.writeShortcut(ModelWorld::quickLaunch("Internet Explorer.lnk"),
                                    ShortcutArguments(""));
         },
         ModelWorld::quickLaunch("Internet Explorer.lnk")},
    };
    for (const auto& c : cases) {
        ModelWorld world;
        const std::string link = ModelWorld::quickLaunch("Internet Explorer.lnk");
        world.platform.addShortcut(link, "C:\\ie.exe", "http://x/");
        // Without the privileges the file's handle needs its attribute rights from the list.
        AccessList fileList = GrantingNothing();
        fileList.entries.push_back(
            SidEntry(kAccessAllowedAceType, 0, 0x180, kBuiltinAdministratorsSid));
        world.platform.setFileAccessList(link, fileList);
        for (RegKey root : {kHKeyLocalMachine, kHKeyCurrentUser}) {
            world.platform.addKey(root, kKey);
            world.platform.setKeyAccessList(root, kKey, GrantingNothing());
        }
        world.platform.setHoldsBackupPrivileges(false);
        {
            testing::Command command(world);
            EXPECT_EQ(c.call(command.broker), kErrorSuccess) << c.name;
        }
        ASSERT_FALSE(world.platform.accessWrites().empty()) << c.name;
        const auto& [object, granted] = world.platform.accessWrites().front();
        EXPECT_EQ(object, c.object) << c.name;
        const std::uint32_t all = c.root == kNoKey ? kFileAllAccess : kKeyAllAccess;
        std::vector<AccessEntry> expected = {
            SidEntry(kAccessAllowedAceType, 0, all, kBuiltinAdministratorsSid)};
        const AccessList before = c.root == kNoKey ? fileList : GrantingNothing();
        expected.insert(expected.end(), before.entries.begin(), before.entries.end());
        EXPECT_EQ(granted.entries, expected) << c.name;
        // Put back, unless the call deleted the key.
        if (world.platform.hasKey(kHKeyCurrentUser, kKey)) {
            EXPECT_EQ(world.platform.accessWrites().back().second, before) << c.name;
        }
        EXPECT_TRUE(world.platform.storeFiles().empty()) << c.name;
    }
}

// A read-only, hidden shortcut whose list grants nothing, with the privileges held: its
// attributes are lifted through the handle opened with backup semantics, the call goes through
// with backup intent, and no list is written at all.
TEST(AccessBroker, RefusingAttributesAreLiftedWithoutTouchingTheList) {
    const struct {
        const char* name;
        std::function<Status(AccessBroker&, const std::string&)> call;
        bool kept;
    } cases[] = {
        {"rewrite",
         [](AccessBroker& b, const std::string& p) {
             return b.writeShortcut(p, ShortcutArguments(""));
         },
         true},
        {"delete", [](AccessBroker& b, const std::string& p) { return b.deleteFile(p); }, false},
    };
    for (const auto& c : cases) {
        ModelWorld world;
        const std::string link = ModelWorld::quickLaunch("Internet Explorer.lnk");
        world.platform.addShortcut(link, "C:\\ie.exe", "http://x/", kLockedAttributes);
        world.platform.setFileAccessList(link, GrantingNothing());
        {
            testing::Command command(world);
            EXPECT_EQ(c.call(command.broker, link), kErrorSuccess) << c.name;
        }
        EXPECT_TRUE(world.platform.accessWrites().empty()) << c.name;
        for (const std::string& call : world.platform.securityCalls())
            EXPECT_EQ(call.find("writeFileAccessList"), std::string::npos) << c.name;
        EXPECT_EQ(world.platform.hasFile(link), c.kept) << c.name;
        if (c.kept) {
            EXPECT_EQ(world.platform.shortcutArguments(link), "") << c.name;
            EXPECT_EQ(world.platform.fileAttributes(link) & kLockedAttributes, kLockedAttributes);
            EXPECT_EQ(world.platform.fileAccessList(link), GrantingNothing());
        }
        EXPECT_TRUE(world.platform.storeFiles().empty()) << c.name;
    }
}

TEST(AccessBroker, AStopRequestEndsAScanAtTheNextObject) {
    ModelWorld world;
    for (int i = 0; i < 5; ++i)
        world.platform.addShortcut(
            ModelWorld::desktop("Internet Explorer " + std::to_string(i) + ".lnk"), "C:\\ie.exe",
            "http://x/");
    StopSignal stop;
    AccessBroker broker(world.ports, world.journal, &stop);
    stop.request();
    DesktopLinkScanner scanner;
    test::ScanAlone(scanner, broker);
    EXPECT_TRUE(scanner.findings().empty());
}

}  // namespace
}  // namespace brenvik

namespace brenvik {
namespace {

constexpr const char* kOutsideFolder = "C:\\Windows\\Important";

// The Quick Launch folder's "Pinned" holds a hijacked shortcut; between the read and the
// change, the folder is swapped for a junction to a folder outside every place that holds a
// shortcut of the same name. Nothing outside may change, and the change is refused.
struct SwapCase {
    const char* name;
    std::function<Status(AccessBroker&, const std::string&)> change;
};

TEST(AccessBrokerSwap, AFolderSwappedForAJunctionAfterTheReadStopsEveryChange) {
    const std::vector<SwapCase> cases = {
        {"delete", [](AccessBroker& b, const std::string& p) { return b.deleteFile(p); }},
        {"rewrite arguments",
         [](AccessBroker& b, const std::string& p) {
             return b.writeShortcut(p, ShortcutArguments(""));
         }},
        {"rewrite target",
         [](AccessBroker& b, const std::string& p) {
             return b.writeShortcut(p, ShortcutTarget("C:\\ie.exe", ""));
         }},
        {"capture",
         [](AccessBroker& b, const std::string& p) {
             std::string bytes;
             std::uint32_t attributes = 0;
             AccessList list;
             const Status s = b.captureFile(p, &bytes, &attributes, &list);
             return s == kErrorSuccess && !bytes.empty() ? kErrorSuccess : s;
         }},
    };
    for (const SwapCase& c : cases) {
        ModelWorld world;
        const std::string pinned = ModelWorld::quickLaunch("Pinned");
        const std::string link = pinned + "\\Internet Explorer.lnk";
        const std::string victim = std::string(kOutsideFolder) + "\\Internet Explorer.lnk";
        world.platform.addShortcut(link, "C:\\ie.exe", "http://x/");
        world.platform.addShortcut(victim, "C:\\victim.exe", "--keep");
        std::string arguments;
        ASSERT_EQ(test::ReadArguments(world.broker, link, &arguments), kErrorSuccess) << c.name;
        world.platform.setCallHook([&](const std::string&, const std::string&) {
            world.platform.addJunction(pinned, kOutsideFolder);
            world.platform.setCallHook(nullptr);
        });

        EXPECT_EQ(c.change(world.broker, link), kErrorCantAccessFile) << c.name;
        EXPECT_TRUE(world.platform.hasFile(victim)) << c.name;
        EXPECT_EQ(world.platform.shortcutArguments(victim), "--keep") << c.name;
        EXPECT_EQ(world.platform.shortcutTarget(victim), "C:\\victim.exe") << c.name;
        EXPECT_TRUE(world.platform.accessWrites().empty()) << c.name;
        EXPECT_EQ(world.platform.openFileCount(), 0u) << c.name;
    }
}

// Restores into a folder swapped for a junction write nothing there; an interrupted restore
// (the rename fails and the new file is left, as a crash would leave it) keeps the old bytes
// and the next restore replaces them.
TEST(AccessBrokerSwap, RestoreWritesOnlyThroughCheckedFoldersAndAtomically) {
    ModelWorld world;
    const std::string pinned = ModelWorld::quickLaunch("Pinned");
    const std::string link = pinned + "\\Internet Explorer.lnk";
    world.platform.addShortcut(link, "C:\\ie.exe", "http://x/");
    std::string bytes;
    std::uint32_t attributes = 0;
    AccessList list;
    ASSERT_EQ(world.broker.captureFile(link, &bytes, &attributes, &list), kErrorSuccess);
    ASSERT_EQ(world.broker.writeShortcut(link, ShortcutArguments("")), kErrorSuccess);

    world.platform.injectFailure("renameOpenFile", link, 112);
    world.platform.injectFailure("deleteOpenFile", link + ".brenvik-restore", 112);
    EXPECT_EQ(world.broker.putBackFile(link, bytes, list, attributes), 112);
    EXPECT_EQ(world.platform.shortcutArguments(link), "") << "the old bytes stay whole";
    world.platform.clearFailures();
    EXPECT_EQ(world.broker.putBackFile(link, bytes, list, attributes), kErrorSuccess);
    EXPECT_EQ(world.platform.shortcutArguments(link), "http://x/");
    EXPECT_EQ(world.platform.folderEntries(pinned),
              std::vector<std::string>{"Internet Explorer.lnk"});

    world.platform.addFolder(kOutsideFolder);
    world.platform.addJunction(pinned, kOutsideFolder);
    EXPECT_EQ(world.broker.putBackFile(link, bytes, list, attributes), kErrorCantAccessFile);
    EXPECT_TRUE(world.platform.folderEntries(kOutsideFolder).empty());
    EXPECT_EQ(world.broker.putBackFile("C:\\Windows\\x.lnk", bytes, list, attributes),
              kErrorNotBelowPlace);
    EXPECT_EQ(world.platform.openFileCount(), 0u);
}

}  // namespace
}  // namespace brenvik
