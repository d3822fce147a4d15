// The window's Restore puts back the set its question named, even when a command line Fix
// writes a newer set between the question and the worker's start.
#include <gtest/gtest.h>

#include "app/restore_menu.h"
#include "app/scan_thread.h"
#include "engine/commands/ignore_list.h"
#include "platform/model/model_host.h"
#include "tests/engine/model_world.h"

namespace brenvik {
namespace {

using testing::ModelWorld;

TEST(RestoreRequest, TheConfirmedSetIsTheOneRestored) {
    ModelWorld world;
    model::ModelHost& host = world.platform.host();
    CommandHost commands{world.ports};
    const std::string first = ModelWorld::desktop("Internet Explorer.lnk");
    const std::string second = ModelWorld::quickLaunch("Internet Explorer.lnk");
    world.platform.addShortcut(first, "C:\\ie.exe", "http://first/");
    ASSERT_FALSE(FixCommand(commands).backup.empty());

    // The question names the newest set, the first Fix's.
    std::string confirmed;
    ASSERT_TRUE(NewestSetId(world.platform, &confirmed));

    // Meanwhile another Fix writes a newer set.
    host.setNow(UtcTime{2026, 12, 8, 19, 30, 0});
    world.platform.addShortcut(second, "C:\\ie.exe", "http://second/");
    const std::string newer = FixCommand(commands).backup;
    ASSERT_FALSE(newer.empty());
    ASSERT_NE(newer, confirmed);

    const CommandReport restored = RunCommand(
        commands, CommandRequest{CommandKind::Restore, nullptr, nullptr, nullptr, confirmed});
    EXPECT_EQ(restored.backup, confirmed);
    EXPECT_EQ(world.platform.shortcutArguments(first), "http://first/");
    EXPECT_EQ(world.platform.shortcutArguments(second), "");

    // No set of that id (removed meanwhile): nothing is put back in its place.
    const CommandReport none = RunCommand(
        commands,
        CommandRequest{CommandKind::Restore, nullptr, nullptr, nullptr, "19991231T000000Z"});
    EXPECT_TRUE(none.backup.empty());
    EXPECT_TRUE(none.records.empty());
}

// Two hijacked shortcuts: the one a test keeps from the repair, and the one Fix repairs.
class FixRequest : public ::testing::Test {
protected:
    FixRequest() {
        world.platform.addShortcut(kept, "C:\\ie.exe", "http://kept/");
        world.platform.addShortcut(fixed, "C:\\ie.exe", "http://fixed/");
    }

    ModelWorld world;
    CommandHost commands{world.ports};
    const std::string kept = ModelWorld::desktop("Internet Explorer.lnk");
    const std::string fixed = ModelWorld::quickLaunch("Internet Explorer.lnk");
};

// The window's Fix leaves alone what the command line was told to ignore.
TEST_F(FixRequest, AnIgnoredFindingIsNeitherRepairedNorListed) {
    IgnoreList ignored;
    for (const ResultRecord& record : ScanCommand(commands).records) {
        if (record.path == kept)
            ignored.entries.push_back(IgnoreEntry{record.id, record.location, record.rule,
                                                  record.path, record.site, "tester", ""});
    }
    ASSERT_EQ(ignored.entries.size(), 1u);

    const CommandReport report = RunCommand(
        commands, CommandRequest{CommandKind::Fix, nullptr, nullptr, nullptr, ""}, &ignored);
    EXPECT_TRUE(world.platform.hasFile(kept));
    EXPECT_EQ(world.platform.shortcutArguments(fixed), "");
    ASSERT_EQ(report.records.size(), 1u);
    EXPECT_EQ(report.records[0].path, fixed);
}

// The window's Fix repairs what stayed checked and lists the unchecked "not selected".
TEST_F(FixRequest, TheUncheckedAreLeftAloneAndListedNotSelected) {
    CommandRequest request{CommandKind::Fix, nullptr, nullptr, nullptr};
    for (const ResultRecord& record : ScanCommand(commands).records) {
        if (record.path == kept)
            request.unchecked.insert(record.id);
    }

    const CommandReport report = RunCommand(commands, request);
    EXPECT_EQ(world.platform.shortcutArguments(kept), "http://kept/");
    EXPECT_EQ(world.platform.shortcutArguments(fixed), "");
    ASSERT_EQ(report.records.size(), 2u);
    EXPECT_EQ(report.records[0].result, Outcome::Fixed);
    EXPECT_EQ(report.records[1].path, kept);
    EXPECT_EQ(report.records[1].result, Outcome::NotSelected);
}

// Ignore and Stop ignoring write the list the command line reads, with who and when.
TEST(ListRequest, IgnoreThenStopIgnoring) {
    ModelWorld world;
    CommandHost commands{world.ports};
    const std::string link = ModelWorld::desktop("Internet Explorer.lnk");
    world.platform.addShortcut(link, "C:\\ie.exe", "http://site/");
    const std::string id = ScanCommand(commands).records.at(0).id;
    CommandRequest request{CommandKind::Ignore, nullptr, nullptr, nullptr};
    request.ids = {id};

    const ListChange added = RunListChange(commands, request);
    ASSERT_EQ(added.changed.size(), 1u);
    EXPECT_EQ(added.changed[0].user, world.platform.host().userName());
    EXPECT_FALSE(added.changed[0].added.empty());
    IgnoreList list;
    ASSERT_EQ(LoadIgnoreList(world.ports.store, &list), "");
    EXPECT_TRUE(list.contains(id));
    EXPECT_FALSE(RunListChange(commands, request).unknown.empty()) << "ignored twice";

    request.kind = CommandKind::Unignore;
    EXPECT_EQ(RunListChange(commands, request).changed.size(), 1u);
    ASSERT_EQ(LoadIgnoreList(world.ports.store, &list), "");
    EXPECT_TRUE(list.entries.empty());
}

}  // namespace
}  // namespace brenvik
