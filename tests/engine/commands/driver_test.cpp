#include "engine/commands/driver.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "engine/commands/command_line.h"
#include "engine/vectors/vector_table.h"
#include "tests/engine/browser_world.h"
#include "tests/engine/model_world.h"
#include "tests/support/bare_commands.h"
#include "tests/support/registry_names.h"

namespace brenvik {
namespace {

using testing::ModelWorld;

// Records every view call as one line, in order.
class RecordingView : public ReportView {
public:
    void SetRange(int lower, int upper) override {
        calls.push_back("SetRange " + std::to_string(lower) + " " + std::to_string(upper));
    }
    void SetPos(int position) override { calls.push_back("SetPos " + std::to_string(position)); }
    void SetStatusText(const std::string& text) override {
        calls.push_back("SetStatusText '" + text + "'");
    }
    void NotifyFinished() override { calls.push_back("NotifyFinished"); }
    void AddRow(const ResultRecord& record) override {
        calls.push_back("AddRow " + record.location + "|" + SiteCell(record) + "|" +
                        StatusCell(record));
    }
    std::vector<std::string> calls;
};

void AddIcon(ModelWorld& world, const char* classId, const char* command) {
    world.platform.addKey(kHKeyLocalMachine, std::string(test::kNameSpace) + "\\" + classId);
    world.platform.putString(
        kHKeyLocalMachine, std::string(test::kMachineClasses) + classId + "\\shell\\open\\Command",
        "", command);
}

// Hijacks in all three places, listed in an order that differs from the report's.
void AddHijacks(ModelWorld& world) {
    world.platform.addShortcut(ModelWorld::desktop("Internet Explorer.lnk"), "C:\\ie.exe",
                               "http://d1/");
    world.platform.addShortcut(ModelWorld::desktop("iexplorer.lnk"), "C:\\ie.exe", "http://d2/");
    AddIcon(world, test::kClassA, "iexplore.exe http://N1/");
    AddIcon(world, test::kClassB, "iexplore.exe");
    world.platform.addShortcut(world.quickLaunch("Internet Explorer.lnk"), "C:\\ie.exe",
                               "http://q1/");
}

TEST(ScanIntoView, RowsGroupedByPlaceBetweenTheFixedOpeningAndEnding) {
    ModelWorld world;
    AddHijacks(world);
    RecordingView view;
    test::ScanRows(world.ports, view);
    EXPECT_EQ(view.calls, (std::vector<std::string>{
                              "SetPos 0",
                              "SetRange 0 4",
                              "AddRow Quick Launch|http://q1/|",
                              "AddRow Desktop NameSpace|http://n1/|",
                              "AddRow Desktop NameSpace||",
                              "AddRow Desktop|http://d1/|",
                              "AddRow Desktop|http://d2/|",
                              "SetPos 100",
                              "NotifyFinished",
                              "SetStatusText ''",
                          }));
}

TEST(ScanIntoView, NothingFoundEndsTheSameWay) {
    ModelWorld world;
    RecordingView view;
    test::ScanRows(world.ports, view);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"SetPos 0", "SetRange 0 4", "SetPos 100",
                                                    "NotifyFinished", "SetStatusText ''"}));
}

TEST(FixCommand, RepairsEveryPlaceWithoutAScanAndAddsNoRows) {
    ModelWorld world;
    AddHijacks(world);
    world.platform.addShortcut(ModelWorld::desktop("Word.lnk"), "C:\\w.exe", "http://keep/");
    RecordingView view;
    test::ScanRows(world.ports, view);
    const std::size_t callsAfterScan = view.calls.size();

    test::Fix(world.ports);
    EXPECT_EQ(view.calls.size(), callsAfterScan);
    EXPECT_EQ(world.platform.folderEntries(testing::kDesktop),
              std::vector<std::string>{"Word.lnk"});
    EXPECT_EQ(world.platform.shortcutArguments(world.quickLaunch("Internet Explorer.lnk")), "");
    EXPECT_TRUE(world.platform.subkeyNames(kHKeyLocalMachine, test::kNameSpace).empty());

    RecordingView after;
    test::ScanRows(world.ports, after);
    EXPECT_EQ(after.calls.size(), 5u);  // no rows
}

TEST(FixCommand, RepairsTheNameSpaceFirstThenQuickLaunchThenDesktop) {
    ModelWorld world;
    AddHijacks(world);
    // Every repair refused as is and without privileges: the grants show the order.
    world.platform.setHoldsBackupPrivileges(false);
    for (const char* op : {"deleteKey", "deleteFile", "writeShortcut"})
        world.platform.injectFailure(op, "*", kErrorAccessDenied);
    test::Fix(world.ports);
    // The first change of each place shows the order of the repairs.
    std::vector<std::string> places;
    for (const auto& write : world.platform.accessWrites()) {
        const std::string& name = write.first;
        const char* place = name.rfind("MACHINE\\", 0) == 0                  ? "NameSpace"
                            : name.find("Quick Launch") != std::string::npos ? "Quick Launch"
                                                                             : "Desktop";
        if (places.empty() || places.back() != place)
            places.push_back(place);
    }
    EXPECT_EQ(places, (std::vector<std::string>{"NameSpace", "Quick Launch", "Desktop"}));
}

// A guardian that puts repaired hijacks back while Fix waits before its last look: that look
// finds them, and their records say so and name the startup entry the same Fix found and, for
// a replaced target, the running script host; the other repairs stand.
TEST(FixCommand, AHijackPutBackBeforeTheFixEndsCameBack) {
    testing::BrowserWorld world;
    const std::string guarded = ModelWorld::desktop("Internet Explorer.lnk");
    const std::string replaced = ModelWorld::desktop("Google Chrome.lnk");
    const auto hijack = [&world, &guarded, &replaced] {
        world.platform.addShortcut(guarded, "C:\\ie.exe", "http://guarded/");
        world.platform.addShortcut(replaced, "C:\\Users\\Public\\open.vbs", "");
    };
    hijack();
    world.platform.addShortcut(world.quickLaunch("Internet Explorer.lnk"), "C:\\ie.exe",
                               "http://q1/");
    world.platform.putString(kHKeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                             "Guard", "cmd /c start http://guard.example/");
    world.platform.host().setRunningPrograms(
        {{7, "C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe"},
         {4242, "C:\\Windows\\System32\\WScript.exe"}});
    world.platform.host().onPause(hijack);
    const CommandReport report = test::Fix(world.ports);
    std::vector<std::string> results;
    for (const ResultRecord& record : report.records)
        results.push_back(record.location + " " + OutcomeName(record.result) + " " + record.error);
    const std::string startup = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Guard";
    EXPECT_EQ(results,
              (std::vector<std::string>{"Quick Launch fixed ",
                                        "Desktop came back perhaps put back by " + startup,
                                        "Desktop came back perhaps put back by " + startup +
                                            " or the running wscript.exe (process 4242)",
                                        "Run fixed "}));
    EXPECT_EQ(ExitCode(LineCommand::Fix, Summarize(report.records)), kExitPartly);
}

// Fix waits for guardians only when it repaired something.
TEST(FixCommand, WaitsForGuardiansOnlyAfterRepairs) {
    ModelWorld world;
    int pauses = 0;
    world.platform.host().onPause([&pauses] { ++pauses; });
    test::Fix(world.ports);
    EXPECT_EQ(pauses, 0);
    world.platform.addShortcut(ModelWorld::desktop("Internet Explorer.lnk"), "C:\\ie.exe",
                               "http://a/");
    test::Fix(world.ports);
    EXPECT_EQ(pauses, 10);
}

// Fix runs every vector of the table once: a vector left out of its order would be scanned
// and never repaired.
TEST(VectorTable, FixRunsEveryVectorOnce) {
    std::vector<std::size_t> order = FixOrder();
    std::sort(order.begin(), order.end());
    std::vector<std::size_t> all(MakeVectors().size());
    for (std::size_t i = 0; i < all.size(); ++i) all[i] = i;
    EXPECT_EQ(order, all);
}

}  // namespace
}  // namespace brenvik
