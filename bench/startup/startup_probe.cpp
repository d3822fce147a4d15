// The startup benchmark under Wine: how long a program takes from CreateProcess until its
// window shows and until its thread answers, against a floor program, as the median of runs.
// Usage: brenvik_startup_probe [--runs N] [--network LABEL] [--header] PROGRAM FLOOR
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/scan_bench.h"
#include "bench/startup/started_program.h"

namespace {

using brenvik::bench::Median;
using brenvik::bench::StartedProgram;

constexpr DWORD kStartTimeoutMs = 60000;
constexpr DWORD kCloseTimeoutMs = 30000;
constexpr double kTargetRatio = 1.5;

struct Options {
    int runs = 10;
    std::string network = "-";
    bool header = false;
    std::string program;
    std::string floor;
};

struct Timings {
    std::vector<double> visible;
    std::vector<double> answered;
    std::vector<double> closed;
};

bool ParseOptions(int argc, char** argv, Options* options) {
    std::vector<std::string> programs;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--runs") == 0 && hasValue) {
            options->runs = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--network") == 0 && hasValue) {
            options->network = argv[++i];
        } else if (std::strcmp(argv[i], "--header") == 0) {
            options->header = true;
        } else {
            programs.push_back(brenvik::bench::WindowsPath(argv[i]));
        }
    }
    if (programs.size() != 2 || options->runs < 1) {
        std::fprintf(stderr,
                     "usage: brenvik_startup_probe [--runs N] [--network LABEL] [--header] "
                     "PROGRAM FLOOR\n");
        return false;
    }
    options->program = programs[0];
    options->floor = programs[1];
    return true;
}

// One start: visible and answering measured from CreateProcess, closing from WM_CLOSE.
bool TimeOneStart(const std::string& path, Timings* timings) {
    StartedProgram program(path);
    const HWND hWindow = program.WaitVisible(kStartTimeoutMs);
    if (hWindow == nullptr) {
        std::fprintf(stderr, "%s: no window\n", path.c_str());
        return false;
    }
    const double visible = program.ElapsedMs();
    if (!program.WaitAnswered(hWindow, kStartTimeoutMs)) {
        std::fprintf(stderr, "%s: the window does not answer\n", path.c_str());
        return false;
    }
    const double answered = program.ElapsedMs();
    const DWORD exitCode = program.Close(hWindow, kCloseTimeoutMs);
    const double closed = program.ElapsedMs() - answered;
    if (exitCode != 0) {
        std::fprintf(stderr, "%s: ended with %lu after WM_CLOSE\n", path.c_str(), exitCode);
        return false;
    }
    timings->visible.push_back(visible);
    timings->answered.push_back(answered);
    timings->closed.push_back(closed);
    return true;
}

void PrintHeader() {
    std::printf(
        "| network | brenvik visible ms | brenvik answers ms | brenvik closes ms "
        "| trivial visible ms | trivial answers ms | visible ratio |\n"
        "|---|---:|---:|---:|---:|---:|---:|\n");
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        return 2;
    }
    // One untimed start each: the first start in a prefix pays for caches the others reuse.
    Timings warmUp;
    if (!TimeOneStart(options.program, &warmUp) || !TimeOneStart(options.floor, &warmUp)) {
        return 1;
    }
    Timings program;
    Timings floor;
    for (int run = 0; run < options.runs; ++run) {
        if (!TimeOneStart(options.program, &program) || !TimeOneStart(options.floor, &floor)) {
            return 1;
        }
    }
    if (options.header) {
        PrintHeader();
    }
    const double ratio = Median(program.visible) / Median(floor.visible);
    std::printf("| %s | %.0f | %.0f | %.0f | %.0f | %.0f | %.2f |\n", options.network.c_str(),
                Median(program.visible), Median(program.answered), Median(program.closed),
                Median(floor.visible), Median(floor.answered), ratio);
    std::fflush(stdout);
    if (ratio > kTargetRatio) {
        std::fprintf(stderr, "%s: visible ratio %.2f is above the target %.2f\n",
                     options.network.c_str(), ratio, kTargetRatio);
    }
    return 0;
}
