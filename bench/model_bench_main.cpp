// The scan benchmark on the in-memory platform: the engine's own cost.
#include <cstdio>

#include "bench/model_world.h"
#include "bench/scan_bench.h"

int main(int argc, char** argv) {
    using namespace brenvik::bench;
    BenchOptions options;
    if (!ParseOptions(argc, argv, &options))
        return 2;

    std::vector<SizeResult> results;
    PrintHeader(stdout, "in-memory model", options.repeats);
    int status = 0;
    for (std::size_t scale : options.scales) {
        const Profile profile = MakeProfile(scale);
        brenvik::model::ModelPlatform platform;
        BuildModelWorld(platform, profile);
        brenvik::Ports ports = platform.ports();
        if (!MeasureAndReport(ports, profile, scale, options.repeats, results))
            status = 1;
    }
    for (const SizeResult& result : results) PrintTally(stdout, result);
    return status;
}
