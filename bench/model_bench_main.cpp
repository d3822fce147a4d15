// The scan benchmark on the in-memory platform: the engine's own cost.
#include "bench/model_world.h"
#include "bench/scan_bench.h"

namespace {

bool InModelWorld(std::size_t, const brenvik::bench::Profile& profile,
                  const brenvik::bench::MeasureIn& measure) {
    brenvik::model::ModelPlatform platform;
    brenvik::bench::BuildModelWorld(platform, profile);
    brenvik::Ports ports = platform.ports();
    measure(ports);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    return brenvik::bench::RunBench(argc, argv, "in-memory model", InModelWorld);
}
