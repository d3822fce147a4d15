#include "engine/commands/ignore_list.h"

#include <gtest/gtest.h>

#include "tests/engine/model_world.h"

namespace brenvik {
namespace {

using testing::ModelWorld;

IgnoreList TwoEntries() {
    IgnoreList list;
    list.entries = {
        {"0123456789ab", "Desktop", "", "C:\\d\\a.lnk", "http://a/", "u", "2026-12-09T07:00:00Z"},
        {"ba9876543210", "Quick Launch", "arguments", "C:\\q\\\xE7\x8E\x8B.lnk", "http://b/",
         "\xE7\x8E\x8B", "2026-12-09T07:01:00Z"},
    };
    return list;
}

bool SameEntries(const IgnoreList& a, const IgnoreList& b) {
    if (a.entries.size() != b.entries.size())
        return false;
    for (std::size_t i = 0; i < a.entries.size(); ++i) {
        const IgnoreEntry& x = a.entries[i];
        const IgnoreEntry& y = b.entries[i];
        if (x.id != y.id || x.location != y.location || x.rule != y.rule || x.path != y.path ||
            x.site != y.site || x.user != y.user || x.added != y.added)
            return false;
    }
    return true;
}

// Saved and loaded back whole, again after a second save over it, and the next file gone.
TEST(IgnoreList, RoundTripThroughTheStore) {
    ModelWorld world;
    IgnoreList loaded;
    EXPECT_EQ("", LoadIgnoreList(world.ports.store, &loaded));
    EXPECT_TRUE(loaded.entries.empty());

    IgnoreList list = TwoEntries();
    ASSERT_EQ("", SaveIgnoreList(world.ports.store, list));
    ASSERT_EQ("", LoadIgnoreList(world.ports.store, &loaded));
    EXPECT_TRUE(SameEntries(list, loaded));
    EXPECT_TRUE(loaded.contains("ba9876543210"));
    EXPECT_FALSE(loaded.contains("000000000000"));

    list.entries.pop_back();
    ASSERT_EQ("", SaveIgnoreList(world.ports.store, list));
    ASSERT_EQ("", LoadIgnoreList(world.ports.store, &loaded));
    EXPECT_TRUE(SameEntries(list, loaded));
    EXPECT_EQ(world.platform.storeFiles().count(kIgnoreNextFile), 0u);
}

// A crash after the old list was removed and before the new one was written.
TEST(IgnoreList, TheNextListStandsInForAMissingOne) {
    ModelWorld world;
    bool trusted = false;
    ASSERT_EQ(world.platform.secureFolder(kIgnoreFolder, &trusted), kErrorSuccess);
    world.platform.putStoreFile(kIgnoreNextFile, FormatIgnoreList(TwoEntries()));
    IgnoreList loaded;
    EXPECT_EQ("", LoadIgnoreList(world.ports.store, &loaded));
    EXPECT_TRUE(SameEntries(TwoEntries(), loaded));
}

// A list that others shaped, or that is torn or edited, is refused whole: nothing ignored.
TEST(IgnoreList, ARefusedFileIgnoresNothing) {
    const std::string whole = FormatIgnoreList(TwoEntries());
    const struct {
        const char* why;
        std::string text;
        model::StoreFlaw flaw;
    } cases[] = {
        {"foreign owner", whole, model::StoreFlaw::ForeignOwner},
        {"writable by others", whole, model::StoreFlaw::WritableByOthers},
        {"hard linked", whole, model::StoreFlaw::HardLinked},
        {"torn", whole.substr(0, whole.size() / 2), model::StoreFlaw::None},
        {"empty", "", model::StoreFlaw::None},
        {"not a list", "[1,2]", model::StoreFlaw::None},
        {"entry without its site",
         R"({"entries":[{"id":"0123456789ab","location":"Desktop","rule":"","path":"p",)"
         R"("user":"u","added":"t"}]})",
         model::StoreFlaw::None},
        {"malformed id",
         R"({"entries":[{"id":"0123456789AB","location":"Desktop","rule":"","path":"p",)"
         R"("site":"s","user":"u","added":"t"}]})",
         model::StoreFlaw::None},
        {"a number for a name",
         R"({"entries":[{"id":"0123456789ab","location":1,"rule":"","path":"p",)"
         R"("site":"s","user":"u","added":"t"}]})",
         model::StoreFlaw::None},
    };
    for (const auto& c : cases) {
        ModelWorld world;
        bool trusted = false;
        ASSERT_EQ(world.platform.secureFolder(kIgnoreFolder, &trusted), kErrorSuccess);
        world.platform.putStoreFile(kIgnoreFile, c.text, c.flaw);
        // A whole next list does not stand in for a refused one.
        world.platform.putStoreFile(kIgnoreNextFile, whole);
        IgnoreList loaded = TwoEntries();
        const std::string error = LoadIgnoreList(world.ports.store, &loaded);
        EXPECT_NE("", error) << c.why;
        EXPECT_NE(std::string::npos, error.find(kIgnoreFile)) << c.why << ": " << error;
        EXPECT_TRUE(loaded.entries.empty()) << c.why;
        EXPECT_EQ(world.platform.storeFiles().at(kIgnoreFile), c.text) << c.why;
    }
}

}  // namespace
}  // namespace brenvik
