#include "engine/vectors/vector_table.h"

#include <gtest/gtest.h>

#include "engine/backup/backup_restore.h"
#include "engine/vectors/desktop_restore.h"
#include "tests/engine/browser_world.h"
#include "tests/support/bare_commands.h"
#include "tests/support/registry_names.h"

namespace brenvik {
namespace {

using testing::BrowserWorld;
using testing::ModelWorld;

// One hijack of every vector of the table.
void PlantEveryVector(BrowserWorld& world) {
    world.platform.addShortcut(ModelWorld::desktop("Internet Explorer.lnk"), "C:\\ie.exe",
                               "http://desktop.example/");
    world.platform.addShortcut(ModelWorld::quickLaunch("Internet Explorer.lnk"), "C:\\ie.exe",
                               "http://quick.example/");
    world.platform.addKey(kHKeyLocalMachine, std::string(test::kNameSpace) + "\\" + test::kClassA);
    world.platform.putString(
        kHKeyLocalMachine,
        std::string(test::kMachineClasses) + test::kClassA + "\\shell\\open\\Command", "",
        "iexplore.exe http://icon.example/");
    world.platform.addKey(kHKeyCurrentUser, std::string(test::kNameSpace) + "\\" + test::kClassB);
    world.platform.putString(
        kHKeyCurrentUser,
        std::string(test::kUserClasses) + test::kClassB + "\\shell\\open\\Command", "",
        std::string(testing::kChrome) + " http://user-icon.example/");
    const std::string programs = std::string(test::kStartMenu) + "\\Programs\\Browsers";
    world.platform.addFolder(programs);
    world.platform.addShortcut(programs + "\\Google Chrome.lnk", testing::kChrome,
                               "http://start.example/");
    world.platform.addKey(kHKeyCurrentUser, std::string(test::kHideIcons) + "\\ClassicStartMenu");
    world.platform.putTask("\\Vendor\\Start Page",
                           "<Task><Actions><Exec><Command>cmd</Command><Arguments>/c start "
                           "http://task.example/</Arguments></Exec></Actions></Task>");
}

// A place a vector changes but does not declare would be refused by recovery and restore; the
// objects every repair keeps must all lie in the declared places.
TEST(VectorTable, EveryObjectARepairKeepsIsInTheDeclaredPlaces) {
    BrowserWorld world;
    PlantEveryVector(world);
    const WorkPlaces places = DeclaredPlaces(world.ports);
    std::string sid;
    ASSERT_EQ(world.platform.tokenUserSid(&sid), kErrorSuccess);
    std::size_t kept = 0;
    for (const CommandReport& report : {test::Fix(world.ports), test::FixDesktop(world.ports)}) {
        StoredSet set;
        ASSERT_EQ(ReadBackupSet(world.platform, report.backup, &set), kErrorSuccess);
        for (const StoredObject& object : set.objects) {
            const ChangedObject& changed = object.record.object;
            ++kept;
            if (changed.kind == ChangedObject::Kind::Task) {
                EXPECT_TRUE(IsTaskPlace(changed.path, places)) << changed.path;
                continue;
            }
            const bool key = changed.kind == ChangedObject::Kind::Key;
            const JournalEntry entry{
                key ? SecurityObjectType::RegistryKey : SecurityObjectType::File,
                key ? KeyObjectName(changed.root, changed.path, sid) : changed.path,
                {},
                0};
            EXPECT_TRUE(IsWorkPlace(entry, places)) << entry.object;
        }
    }
    // Two shortcut folders, two name space entries, a Start Menu shortcut, a task, Fix
    // Desktop's keys.
    EXPECT_EQ(kept, 8u);
}

}  // namespace
}  // namespace brenvik
