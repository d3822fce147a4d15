#include "bench/scan_bench.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/bare_scan.h"
#include "engine/commands/driver.h"
#include "engine/views/report_view.h"
#include "tests/support/bare_commands.h"

namespace brenvik::bench {
namespace {

// Discards everything but the number of rows.
class RowCountingView final : public ReportView {
public:
    void SetRange(int, int) override {}
    void SetPos(int) override {}
    void SetStatusText(const std::string&) override {}
    void NotifyFinished() override {}
    void AddRow(const ResultRecord&) override { ++rows; }

    std::size_t rows = 0;
};

template <typename Work>
double Milliseconds(Work work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

double PerItemMicroseconds(double ms, std::size_t items) {
    return items ? ms * 1000.0 / static_cast<double>(items) : 0.0;
}

bool ParseScales(const char* text, std::vector<std::size_t>* scales) {
    scales->clear();
    std::string list(text);
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const std::string part = list.substr(start, comma - start);
        char* end = nullptr;
        const unsigned long value = std::strtoul(part.c_str(), &end, 10);
        if (part.empty() || *end != '\0' || value == 0)
            return false;
        scales->push_back(value);
        start = comma + 1;
    }
    return true;
}

// Measures one size, prints its line and keeps the result; false (said on stderr) when the
// scan did not report every finding the profile planted.
bool MeasureAndReport(Ports& ports, const Profile& profile, std::size_t scale, int repeats,
                      std::vector<SizeResult>& results) {
    results.push_back(MeasureScan(ports, profile, scale, repeats));
    PrintResult(stdout, results.back());
    if (results.back().rows == profile.expectedFindings)
        return true;
    std::fprintf(stderr, "scale %zu: the scan reported %zu rows, the profile holds %zu\n", scale,
                 results.back().rows, profile.expectedFindings);
    return false;
}

}  // namespace

bool ParseOptions(int argc, char** argv, BenchOptions* options) {
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (hasValue && std::strcmp(argv[i], "--scales") == 0 &&
            ParseScales(argv[i + 1], &options->scales)) {
            ++i;
            continue;
        }
        if (hasValue && std::strcmp(argv[i], "--repeats") == 0 &&
            (options->repeats = std::atoi(argv[i + 1])) > 0) {
            ++i;
            continue;
        }
        std::fprintf(stderr, "usage: %s [--scales 1,10,100] [--repeats 5]\n", argv[0]);
        return false;
    }
    return true;
}

double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    const std::size_t middle = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + middle, values.end());
    if (values.size() % 2)
        return values[middle];
    const double upper = values[middle];
    const double lower = *std::max_element(values.begin(), values.begin() + middle);
    return (lower + upper) / 2;
}

SizeResult MeasureScan(Ports& ports, const Profile& profile, std::size_t scale, int repeats) {
    SizeResult result;
    result.scale = scale;
    result.items = profile.items();
    result.expectedFindings = profile.expectedFindings;

    // A warm-up first, so that neither tallied run pays for caches the other filled.
    {
        RowCountingView view;
        test::ScanRows(ports, view);
    }
    {
        TallyingPorts tallying(ports);
        Ports tallied = tallying.ports();
        RowCountingView view;
        test::ScanRows(tallied, view);
        result.rows = view.rows;
        result.scanCalls = tallying.tally();
    }
    {
        TallyingPorts tallying(ports);
        Ports tallied = tallying.ports();
        BareScan(tallied);
        result.bareCalls = tallying.tally();
    }

    std::vector<double> scanTimes;
    std::vector<double> bareTimes;
    for (int i = 0; i < repeats; ++i) {
        scanTimes.push_back(Milliseconds([&] {
            RowCountingView view;
            test::ScanRows(ports, view);
        }));
        bareTimes.push_back(Milliseconds([&] { BareScan(ports); }));
    }
    result.scanMs = Median(scanTimes);
    result.bareMs = Median(bareTimes);
    return result;
}

void PrintHeader(std::FILE* out, const char* platform, int repeats) {
    std::fprintf(out, "platform: %s; medians of %d runs\n", platform, repeats);
    std::fprintf(out, "%6s %7s %8s %11s %11s %6s %13s %13s\n", "scale", "items", "findings",
                 "scan ms", "bare ms", "ratio", "scan us/item", "bare us/item");
}

void PrintResult(std::FILE* out, const SizeResult& r) {
    const double ratio = r.bareMs > 0 ? r.scanMs / r.bareMs : 0.0;
    std::fprintf(out, "%6zu %7zu %8zu %11.3f %11.3f %6.2f %13.3f %13.3f\n", r.scale, r.items,
                 r.rows, r.scanMs, r.bareMs, ratio, PerItemMicroseconds(r.scanMs, r.items),
                 PerItemMicroseconds(r.bareMs, r.items));
    std::fflush(out);
}

void PrintTally(std::FILE* out, const SizeResult& r) {
    std::fprintf(out, "  scale %zu, calls in one run:\n", r.scale);
    std::fprintf(out, "  %-28s %9s %9s %12s %12s\n", "operation", "scan", "bare", "scan ms",
                 "bare ms");
    for (std::size_t i = 0; i < r.scanCalls.size(); ++i) {
        const OpTally& scan = r.scanCalls[i];
        const OpTally& bare = r.bareCalls[i];
        if (scan.calls == 0 && bare.calls == 0)
            continue;
        std::fprintf(out, "  %-28s %9zu %9zu %12.3f %12.3f\n", PortOpName(static_cast<PortOp>(i)),
                     scan.calls, bare.calls,
                     std::chrono::duration<double, std::milli>(scan.time).count(),
                     std::chrono::duration<double, std::milli>(bare.time).count());
    }
    std::fflush(out);
}

int RunBench(int argc, char** argv, const char* platform, const ScaleWorld& world) {
    BenchOptions options;
    if (!ParseOptions(argc, argv, &options))
        return 2;

    std::vector<SizeResult> results;
    PrintHeader(stdout, platform, options.repeats);
    int status = 0;
    for (std::size_t scale : options.scales) {
        const Profile profile = MakeProfile(scale);
        bool complete = true;
        const bool made = world(scale, profile, [&](Ports& ports) {
            complete = MeasureAndReport(ports, profile, scale, options.repeats, results);
        });
        if (!made)
            return 1;
        if (!complete)
            status = 1;
    }
    for (const SizeResult& result : results) PrintTally(stdout, result);
    return status;
}

}  // namespace brenvik::bench
