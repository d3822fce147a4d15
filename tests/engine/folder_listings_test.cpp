#include "engine/folder_listings.h"

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

}  // namespace
}  // namespace brenvik
