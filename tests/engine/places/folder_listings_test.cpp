#include "engine/places/folder_listings.h"

#include <gtest/gtest.h>

#include "tests/engine/model_world.h"

namespace brenvik {
namespace {

using testing::ModelWorld;

std::vector<std::string> Names(const std::vector<FindEntry>* entries) {
    std::vector<std::string> names;
    for (const FindEntry& entry : *entries) names.push_back(entry.name);
    return names;
}

// A folder is listed once per command, whatever spelling asks for it again; the scanners
// that share a listing see the folder as it was when it was first listed.
TEST(FolderListings, OneListingPerFolderWhateverItsSpelling) {
    ModelWorld world;
    world.platform.addFile(ModelWorld::desktop("a.txt"));
    world.platform.addFolder(ModelWorld::desktop("Sub"));
    FolderListings listings(world.platform);

    const std::vector<FindEntry>* first = listings.entries(std::string(testing::kDesktop) + "\\");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Names(first), (std::vector<std::string>{"a.txt", "Sub"}));
    world.platform.addFile(ModelWorld::desktop("b.txt"));
    world.platform.injectFailure("findFirst", "*", kErrorAccessDenied);
    EXPECT_EQ(listings.entries("\"c:/users/U/DESKTOP\\\""), first);
    EXPECT_EQ(world.platform.openFindCount(), 0u);

    EXPECT_EQ(listings.entries(std::string(testing::kQuickLaunch) + "\\"), nullptr);
    world.platform.clearFailures();
    EXPECT_EQ(listings.entries("C:\\Nowhere\\"), nullptr);
}

// Why a listing failed decides whether it is said: a place's own folder may be missing, a
// folder its parent listed may not; each folder is said once, whoever asks again.
TEST(FolderListings, WhatCannotBeListedIsSkippedOnceAMissingPlaceIsNot) {
    const std::string refusing = ModelWorld::desktop("Refusing");
    const std::string missing = ModelWorld::desktop("Missing");
    const struct {
        std::string folder;
        ListedAs as;
        const char* reason;  // null: nothing said
    } cases[] = {
        {refusing, ListedAs::Subfolder, "cannot be listed: access denied"},
        {refusing, ListedAs::Place, "cannot be listed: access denied"},
        {missing, ListedAs::Place, nullptr},
        {missing, ListedAs::Subfolder, "cannot be listed: path not found"},
        {ModelWorld::desktop(std::string(250, 'x')), ListedAs::Subfolder, "path too long"},
    };
    for (const auto& c : cases) {
        ModelWorld world;
        world.platform.addFolder(refusing);
        world.platform.setFileAccessList(refusing, testing::DenyingAdministrators());
        FolderListings listings(world.platform);
        for (int ask = 0; ask < 2; ++ask)
            EXPECT_EQ(listings.entries(c.folder + "\\", "Desktop", c.as), nullptr) << c.folder;
        if (c.reason == nullptr) {
            EXPECT_TRUE(listings.skipped().empty()) << c.folder;
            continue;
        }
        ASSERT_EQ(listings.skipped().size(), 1u) << c.folder;
        EXPECT_EQ(listings.skipped()[0].path, c.folder);
        EXPECT_EQ(listings.skipped()[0].location, "Desktop");
        EXPECT_EQ(listings.skipped()[0].reason, c.reason);
    }
}

}  // namespace
}  // namespace brenvik
