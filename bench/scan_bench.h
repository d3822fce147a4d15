// Timing a full scan against the bare calls it cannot avoid, on any platform, and printing
// the figures.
#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <vector>

#include "bench/call_tally.h"
#include "bench/profile.h"
#include "engine/ports/ports.h"

namespace brenvik::bench {

struct BenchOptions {
    std::vector<std::size_t> scales{1, 10, 100};
    int repeats = 5;
};

// "--scales 1,10,100" and "--repeats N"; false (after printing the usage) on anything else.
bool ParseOptions(int argc, char** argv, BenchOptions* options);

struct SizeResult {
    std::size_t scale = 0;
    std::size_t items = 0;
    std::size_t expectedFindings = 0;
    std::size_t rows = 0;  // rows the scan reported
    double scanMs = 0;     // medians
    double bareMs = 0;
    CallTally scanCalls{};  // one scan and one bare loop, tallied apart from the timed runs
    CallTally bareCalls{};
};

// The median of the values; 0 for none.
double Median(std::vector<double> values);

// A warm-up scan, one untimed run of each through tallying ports, then repeats timed runs of
// the scan (RunScan into a view that counts rows) and of the bare loop, interleaved.
SizeResult MeasureScan(Ports& ports, const Profile& profile, std::size_t scale, int repeats);

void PrintHeader(std::FILE* out, const char* platform, int repeats);
void PrintResult(std::FILE* out, const SizeResult& result);
// Calls per operation in one scan and one bare loop, and the scan's time in each.
void PrintTally(std::FILE* out, const SizeResult& result);

// Measures the scan over the ports of a world made for one scale.
using MeasureIn = std::function<void(Ports& ports)>;
// Makes the world of one scale from its profile, calls measure with ports onto it, and takes
// it down again; false (said on stderr) when it cannot be made.
using ScaleWorld =
    std::function<bool(std::size_t scale, const Profile& profile, const MeasureIn& measure)>;

// A benchmark program's main: the options, then each scale measured in the world made for it,
// then the tallies. 2 on bad options; 1 when a world cannot be made (at once) or a scan did
// not report every finding its profile planted; 0 otherwise.
int RunBench(int argc, char** argv, const char* platform, const ScaleWorld& world);

}  // namespace brenvik::bench
