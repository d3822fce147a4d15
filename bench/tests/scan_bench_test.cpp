// The measurement itself: the bare loop is a fair lower bound of the scan, repeated runs see
// the same world, and the helpers around the timing.
#include <gtest/gtest.h>

#include <vector>

#include "bench/bare_scan.h"
#include "bench/call_tally.h"
#include "bench/model_world.h"
#include "bench/paths.h"
#include "bench/scan_bench.h"
#include "engine/driver.h"

namespace brenvik::bench {
namespace {

class ScanBenchOnModel : public ::testing::Test {
protected:
    void build(std::size_t scale) {
        profile = MakeProfile(scale);
        BuildModelWorld(platform, profile);
    }

    Profile profile;
    model::ModelPlatform platform;
};

TEST_F(ScanBenchOnModel, ScanReportsEveryPlantedItemAndBareLoopReadsThem) {
    build(2);
    Ports ports = platform.ports();
    const SizeResult result = MeasureScan(ports, profile, 2, 1);
    EXPECT_EQ(result.rows, 66u);

    const BareScanCounts counts = BareScan(ports);
    EXPECT_EQ(counts.linksRead, 46u);      // suspect Desktop and Quick Launch shortcuts
    EXPECT_EQ(counts.commandsRead, 100u);  // 20 classes with two verbs, 60 with one
}

// A bare loop making more calls of any kind than the scan would hide the scan's excess.
TEST_F(ScanBenchOnModel, BareLoopNeverCallsMoreThanTheScan) {
    build(1);
    Ports ports = platform.ports();
    const SizeResult result = MeasureScan(ports, profile, 1, 1);
    for (std::size_t op = 0; op < result.scanCalls.size(); ++op) {
        EXPECT_LE(result.bareCalls[op].calls, result.scanCalls[op].calls)
            << PortOpName(static_cast<PortOp>(op));
    }
    // Both do the work that matters: every suspect loaded, every unlock undone.
    const auto calls = [](const CallTally& tally, PortOp op) {
        return tally[static_cast<std::size_t>(op)].calls;
    };
    EXPECT_EQ(calls(result.bareCalls, PortOp::ReadLinkArguments), 23u);
    EXPECT_EQ(calls(result.bareCalls, PortOp::WriteAccessList),
              calls(result.scanCalls, PortOp::WriteAccessList));
}

TEST_F(ScanBenchOnModel, RunsLeaveTheWorldAsTheyFoundIt) {
    build(1);
    const std::string desktop = "C:\\Users\\bench\\Desktop";
    const std::string suspect = desktop + "\\internet explorer 00000.lnk";
    const std::string shell =
        std::string(kClassesKey) + "\\" + profile.entries.front().classId + "\\shell";
    model::ModelPlatform pristine;
    BuildModelWorld(pristine, profile);

    Ports ports = platform.ports();
    MeasureScan(ports, profile, 1, 2);
    BareScan(ports);

    EXPECT_EQ(platform.fileAccessList(suspect), pristine.fileAccessList(suspect));
    EXPECT_EQ(platform.fileAttributes(suspect), pristine.fileAttributes(suspect));
    for (const std::string& key : {std::string(kNameSpaceKey), shell, shell + "\\open\\Command"}) {
        EXPECT_EQ(platform.keyAccessList(kHKeyLocalMachine, key),
                  pristine.keyAccessList(kHKeyLocalMachine, key))
            << key;
    }
    EXPECT_EQ(platform.folderEntries(desktop).size(), 200u);
    EXPECT_EQ(platform.openKeyCount(), 0u);
    EXPECT_EQ(platform.openFindCount(), 0u);
}

TEST(BenchMedian, MiddleValueOrMeanOfTheTwoMiddleOnes) {
    const struct {
        std::vector<double> values;
        double median;
    } cases[] = {
        {{}, 0}, {{3}, 3}, {{5, 1, 3}, 3}, {{4, 1, 3, 2}, 2.5}, {{9, 9, 1, 1}, 5},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(Median(c.values), c.median);
}

TEST(BenchOptions, AcceptsScalesAndRepeatsRefusesAnythingElse) {
    const struct {
        std::vector<const char*> args;
        bool accepted;
        std::vector<std::size_t> scales;
        int repeats;
    } cases[] = {
        {{}, true, {1, 10, 100}, 5},
        {{"--scales", "2,20"}, true, {2, 20}, 5},
        {{"--repeats", "3", "--scales", "7"}, true, {7}, 3},
        {{"--scales", "0"}, false, {}, 0},
        {{"--scales", "1,,2"}, false, {}, 0},
        {{"--scales", "1,"}, false, {}, 0},
        {{"--scales", "x"}, false, {}, 0},
        {{"--repeats", "0"}, false, {}, 0},
        {{"--repeats"}, false, {}, 0},
        {{"--fast"}, false, {}, 0},
    };
    for (const auto& c : cases) {
        std::vector<char*> argv{const_cast<char*>("bench")};
        for (const char* arg : c.args) argv.push_back(const_cast<char*>(arg));
        BenchOptions options;
        const bool accepted = ParseOptions(static_cast<int>(argv.size()), argv.data(), &options);
        EXPECT_EQ(accepted, c.accepted) << (c.args.empty() ? "" : c.args.front());
        if (!accepted || !c.accepted)
            continue;
        EXPECT_EQ(options.scales, c.scales);
        EXPECT_EQ(options.repeats, c.repeats);
    }
}

}  // namespace
}  // namespace brenvik::bench
