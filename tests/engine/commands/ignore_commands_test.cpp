// Scan, Fix, /ignore and /unignore with an ignore list, on the model.
#include <gtest/gtest.h>

#include "engine/commands/command_line.h"
#include "engine/commands/commands.h"
#include "tests/engine/model_world.h"

namespace brenvik {
namespace {

using testing::ModelWorld;

// Three hijacks, one in each shortcut vector and one name space icon.
struct World {
    World() {
        world.platform.addShortcut(desktopLink, "C:\\ie.exe", "http://d1/");
        world.platform.addShortcut(quickLink, "C:\\ie.exe", "http://q1/");
        world.platform.addShortcut(ModelWorld::desktop("iexplorer.lnk"), "C:\\ie.exe",
                                   "http://d2/");
    }
    CommandHost host() { return CommandHost{world.ports}; }
    CommandReport scan(bool all = false) {
        CommandHost h = host();
        IgnoreList list;
        EXPECT_EQ("", LoadIgnoreList(world.ports.store, &list));
        return ScanCommand(h, nullptr, &list, all);
    }
    std::string idOf(const std::string& site) {
        for (const ResultRecord& record : scan(true).records) {
            if (record.site == site)
                return record.id;
        }
        ADD_FAILURE() << site;
        return std::string();
    }

    ModelWorld world;
    const std::string desktopLink = ModelWorld::desktop("Internet Explorer.lnk");
    const std::string quickLink = world.quickLaunch("Internet Explorer.lnk");
};

std::vector<std::string> Rows(const CommandReport& report) {
    std::vector<std::string> rows;
    for (const ResultRecord& r : report.records)
        rows.push_back(std::string(OutcomeName(r.result)) + " " + r.site);
    return rows;
}

// Fix /only repairs exactly the chosen findings; the rest are listed "not selected", left
// as they were, and do not change the exit code's counts.
TEST(IgnoreCommands, FixOnlyRepairsJustTheChosen) {
    World w;
    const std::string d1 = w.idOf("http://d1/");
    FixSelection only;
    only.only = std::set<std::string>{d1};
    CommandHost host = w.host();
    IgnoreList none;
    const CommandReport fixed = FixCommand(host, &none, &only);
    // In Fix's order: the repaired first, then those left alone.
    EXPECT_EQ(Rows(fixed), (std::vector<std::string>{"fixed http://d1/", "not selected http://q1/",
                                                     "not selected http://d2/"}));
    const Summary summary = Summarize(fixed.records);
    EXPECT_EQ(1, summary.found);
    EXPECT_EQ(2, summary.notSelected);
    EXPECT_EQ(0, summary.skipped);
    EXPECT_EQ(Rows(w.scan()), (std::vector<std::string>{"found http://q1/", "found http://d2/"}));
    EXPECT_EQ(w.world.platform.shortcutArguments(w.quickLink), "http://q1/");
}

// The window's Fix: what the user unchecked is left alone and listed "not selected"; a finding
// that appeared since the last scan is not excluded, so it is repaired; ignored is never.
TEST(IgnoreCommands, FixExceptLeavesTheUncheckedAndRepairsWhatIsNew) {
    World w;
    const std::string q1 = w.idOf("http://q1/");
    CommandHost host = w.host();
    ASSERT_EQ("", IgnoreFindings(host, {w.idOf("http://d2/")}).error);
    const std::string newLink = ModelWorld::desktop("Internet Explorer (2).lnk");
    w.world.platform.addShortcut(newLink, "C:\\ie.exe", "http://n1/");
    IgnoreList list;
    ASSERT_EQ("", LoadIgnoreList(w.world.ports.store, &list));
    FixSelection unchecked;
    unchecked.except = {q1};

    const CommandReport fixed = FixCommand(host, &list, &unchecked);
    EXPECT_EQ(Rows(fixed), (std::vector<std::string>{"fixed http://d1/", "fixed http://n1/",
                                                     "not selected http://q1/"}));
    EXPECT_EQ(w.world.platform.shortcutArguments(w.quickLink), "http://q1/");
    EXPECT_EQ(Rows(w.scan(true)),
              (std::vector<std::string>{"found http://q1/", "ignored http://d2/"}));
}

TEST(IgnoreCommands, FixSelectionSelects) {
    const struct {
        const char* why;
        std::optional<std::set<std::string>> only;
        std::set<std::string> except;
        bool a, b;
    } cases[] = {
        {"none", std::nullopt, {}, true, true},
        {"only a", std::set<std::string>{"a"}, {}, true, false},
        {"except a", std::nullopt, {"a"}, false, true},
        {"only a except a", std::set<std::string>{"a"}, {"a"}, false, false},
        {"only nothing", std::set<std::string>{}, {}, false, false},
    };
    for (const auto& c : cases) {
        FixSelection selection;
        selection.only = c.only;
        selection.except = c.except;
        EXPECT_EQ(c.a, selection.selects("a")) << c.why;
        EXPECT_EQ(c.b, selection.selects("b")) << c.why;
    }
}

// Ignored: left out of Scan, listed "ignored" with /all, never repaired by Fix; unignored:
// back in the scan and repaired.
TEST(IgnoreCommands, IgnoreScanFixUnignore) {
    World w;
    const std::string q1 = w.idOf("http://q1/");
    CommandHost host = w.host();
    const ListChange added = IgnoreFindings(host, {q1});
    ASSERT_EQ("", added.refused);
    ASSERT_TRUE(added.unknown.empty());
    ASSERT_EQ("", added.error);
    ASSERT_EQ(1u, added.changed.size());
    EXPECT_EQ("Quick Launch", added.changed[0].location);
    EXPECT_EQ(w.quickLink, added.changed[0].path);
    EXPECT_EQ("http://q1/", added.changed[0].site);
    EXPECT_FALSE(added.changed[0].added.empty());

    EXPECT_EQ(Rows(w.scan()), (std::vector<std::string>{"found http://d1/", "found http://d2/"}));
    const CommandReport all = w.scan(true);
    EXPECT_EQ(Rows(all), (std::vector<std::string>{"ignored http://q1/", "found http://d1/",
                                                   "found http://d2/"}));
    EXPECT_EQ(1, Summarize(all.records).ignored);
    EXPECT_EQ(2, Summarize(all.records).found);

    IgnoreList list;
    ASSERT_EQ("", LoadIgnoreList(w.world.ports.store, &list));
    const CommandReport fixed = FixCommand(host, &list);
    EXPECT_EQ(Rows(fixed), (std::vector<std::string>{"fixed http://d1/", "fixed http://d2/"}));
    EXPECT_EQ(w.world.platform.shortcutArguments(w.quickLink), "http://q1/");
    // Only ignored findings left: a scan that finds nothing else exits 0.
    EXPECT_EQ(kExitNone, ExitCode(LineCommand::Scan, Summarize(w.scan(true).records)));

    const ListChange removed = UnignoreFindings(w.world.ports.store, {q1});
    ASSERT_EQ("", removed.error);
    ASSERT_EQ(1u, removed.changed.size());
    EXPECT_EQ(Rows(w.scan()), (std::vector<std::string>{"found http://q1/"}));
}

// An id that names nothing: the list and the machine are left exactly as they were.
TEST(IgnoreCommands, UnknownIdsChangeNothing) {
    World w;
    const std::string d1 = w.idOf("http://d1/");
    CommandHost host = w.host();
    ASSERT_EQ("", IgnoreFindings(host, {d1}).error);
    const auto before = w.world.platform.storeFiles();
    const struct {
        const char* why;
        ListChange change;
    } cases[] = {
        {"ignore unknown", IgnoreFindings(host, {w.idOf("http://q1/"), "000000000000"})},
        {"ignore already ignored", IgnoreFindings(host, {d1})},
        {"unignore unknown", UnignoreFindings(w.world.ports.store, {d1, "000000000000"})},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(c.change.unknown.empty()) << c.why;
        EXPECT_TRUE(c.change.changed.empty()) << c.why;
    }
    EXPECT_EQ(before, w.world.platform.storeFiles());
    IgnoreList list;
    ASSERT_EQ("", LoadIgnoreList(w.world.ports.store, &list));
    EXPECT_EQ((std::vector<std::string>{"000000000000", d1}),
              UnknownFindings(host, list, {"000000000000", d1, w.idOf("http://q1/")}));
}

// A list others could write, or a torn one, is refused whole: nothing ignored, and neither
// /ignore nor /unignore writes over it.
TEST(IgnoreCommands, ARefusedListIsNeitherAppliedNorOverwritten) {
    const struct {
        const char* why;
        bool torn;
        model::StoreFlaw flaw;
    } cases[] = {
        {"writable by others", false, model::StoreFlaw::WritableByOthers},
        {"foreign owner", false, model::StoreFlaw::ForeignOwner},
        {"torn", true, model::StoreFlaw::None},
    };
    for (const auto& c : cases) {
        World w;
        const std::string d1 = w.idOf("http://d1/");
        IgnoreList list;
        list.entries = {{w.idOf("http://q1/"), "Quick Launch", "", w.quickLink, "http://q1/", "u",
                         "2026-12-09T07:00:00Z"}};
        std::string text = FormatIgnoreList(list);
        if (c.torn)
            text.resize(text.size() - 5);
        bool trusted = false;
        ASSERT_EQ(kErrorSuccess, w.world.platform.secureFolder(kIgnoreFolder, &trusted));
        w.world.platform.putStoreFile(kIgnoreFile, text, c.flaw);

        IgnoreList loaded;
        EXPECT_NE("", LoadIgnoreList(w.world.ports.store, &loaded)) << c.why;
        CommandHost host = w.host();
        const CommandReport scan = ScanCommand(host, nullptr, &loaded, true);
        EXPECT_EQ(0, Summarize(scan.records).ignored) << c.why;
        EXPECT_EQ(3, Summarize(scan.records).found) << c.why;
        EXPECT_NE("", IgnoreFindings(host, {d1}).refused) << c.why;
        EXPECT_NE("", UnignoreFindings(w.world.ports.store, {list.entries[0].id}).refused) << c.why;
        EXPECT_EQ(text, w.world.platform.storeFiles().at(kIgnoreFile)) << c.why;
    }
}

}  // namespace
}  // namespace brenvik
