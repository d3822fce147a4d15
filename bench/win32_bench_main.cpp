// The scan benchmark on the real platform, in scratch folders and scratch keys.
#include <chrono>
#include <cstdio>

#include "bench/scan_bench.h"
#include "bench/win32_world.h"
#include "platform/win32/win32_platform.h"

namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    using namespace brenvik::bench;
    BenchOptions options;
    if (!ParseOptions(argc, argv, &options))
        return 2;

    std::vector<SizeResult> results;
    PrintHeader(stdout, "Win32", options.repeats);
    int status = 0;
    for (std::size_t scale : options.scales) {
        const Profile profile = MakeProfile(scale);
        const auto start = std::chrono::steady_clock::now();
        Win32World world(profile);
        if (!world.error().empty()) {
            std::fprintf(stderr, "scale %zu: %s\n", scale, world.error().c_str());
            return 1;
        }
        std::fprintf(stderr, "scale %zu: profile made in %.1f s\n", scale, SecondsSince(start));
        brenvik::Win32Platform platform;
        brenvik::Ports ports = platform.ports();
        if (!MeasureAndReport(ports, profile, scale, options.repeats, results))
            status = 1;
    }
    for (const SizeResult& result : results) PrintTally(stdout, result);
    return status;
}
