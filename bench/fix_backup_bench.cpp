// What keeping a backup set costs a Fix: the same profile repaired by Fix with its backup set
// (FixCommand) and by its repairs alone (FixPlaces through a door with no set), on the real
// platform in scratch folders and keys.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/win32_world.h"
#include "engine/commands/commands.h"
#include "engine/commands/driver.h"
#include "engine/vectors/vector_table.h"
#include "platform/win32/win32_platform.h"

namespace {

using brenvik::bench::MakeProfile;
using brenvik::bench::Profile;
using brenvik::bench::Win32World;

struct Timed {
    double ms = 0;
    std::size_t fixed = 0;  // records that say fixed; 0 for Fix alone, which reports nothing
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A fresh profile each time: Fix changes it.
bool RunOnce(const Profile& profile, bool backup, Timed* timed) {
    Win32World world(profile);
    if (!world.error().empty()) {
        std::fprintf(stderr, "%s\n", world.error().c_str());
        return false;
    }
    brenvik::Win32Platform platform;
    brenvik::Ports ports = platform.ports();
    brenvik::CommandHost commands{ports};
    const auto start = std::chrono::steady_clock::now();
    if (backup) {
        const brenvik::CommandReport report = brenvik::FixCommand(commands);
        timed->fixed = static_cast<std::size_t>(brenvik::Summarize(report.records).fixed);
    } else {
        // The same repairs through a door that keeps no set.
        brenvik::Journal journal(ports.store);
        brenvik::AccessBroker broker(ports, journal);
        brenvik::UseDeclaredPlaces(broker, ports);
        brenvik::FixPlaces(broker);
    }
    timed->ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return true;
}

}  // namespace

// Usage: brenvik_bench_fix [repeats] [scale ...]; defaults 3 and scales 1 and 10.
int main(int argc, char** argv) {
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    std::vector<std::size_t> scales;
    for (int i = 2; i < argc; ++i) scales.push_back(static_cast<std::size_t>(std::atoi(argv[i])));
    if (scales.empty())
        scales = {1, 10};
    std::printf("| scale | findings | fixed with backup | Fix ms | Fix with backup ms | ratio |\n");
    std::printf("|---:|---:|---:|---:|---:|---:|\n");
    for (std::size_t scale : scales) {
        const Profile profile = MakeProfile(scale);
        std::vector<double> plain;
        std::vector<double> kept;
        std::size_t fixed = 0;
        for (int r = 0; r < repeats; ++r) {
            // Alternating which goes first, so that neither always meets a warmer cache.
            for (bool backup : {r % 2 == 0, r % 2 != 0}) {
                Timed timed;
                if (!RunOnce(profile, backup, &timed))
                    return 1;
                (backup ? kept : plain).push_back(timed.ms);
                if (backup)
                    fixed = timed.fixed;
            }
        }
        std::printf("| %zu | %zu | %zu | %.0f | %.0f | %.2f |\n", scale, profile.expectedFindings,
                    fixed, Median(plain), Median(kept), Median(kept) / Median(plain));
        std::fflush(stdout);
    }
    return 0;
}
