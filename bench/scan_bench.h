// Timing a full scan against the bare calls it cannot avoid, on any platform, and printing
// the figures.
#pragma once

#include <cstddef>
#include <cstdio>
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

// Measures one size, prints its line and keeps the result; false (said on stderr) when the
// scan did not report every finding the profile planted.
bool MeasureAndReport(Ports& ports, const Profile& profile, std::size_t scale, int repeats,
                      std::vector<SizeResult>& results);

}  // namespace brenvik::bench
