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

bool InScratchWorld(std::size_t scale, const brenvik::bench::Profile& profile,
                    const brenvik::bench::MeasureIn& measure) {
    const auto start = std::chrono::steady_clock::now();
    brenvik::bench::Win32World world(profile);
    if (!world.error().empty()) {
        std::fprintf(stderr, "scale %zu: %s\n", scale, world.error().c_str());
        return false;
    }
    std::fprintf(stderr, "scale %zu: profile made in %.1f s\n", scale, SecondsSince(start));
    brenvik::Win32Platform platform;
    brenvik::Ports ports = platform.ports();
    measure(ports);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    return brenvik::bench::RunBench(argc, argv, "Win32", InScratchWorld);
}
