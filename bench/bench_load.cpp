// Loading a level, headless, on the compiled content: for each of the nine
// levels, in a game just booted to its main menu (so that nothing a level
// needs is loaded yet, as when a player picks it), the frames from the
// request to the first frame of play. Counters per level: the host system calls of the
// file layer (reads, seeks and the rest: opens, size queries, closes), the
// CPU time of the whole load and of its longest frame, and the frame count.
// The game's frame is 40 ms; a loading frame longer than that stops the
// picture (and the loading bar) on the handset.

#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>

#include "BenchRunningGame.h"
#include "CGameWorld.h"
#include "CStates.h"
#include "HostFile.h"

namespace {

constexpr int32_t kLoadFrameLimit = 4000;
constexpr double kMsPerNs = 1e-6;

double ProcessCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) * kMsPerNs;
}

struct LoadCost {
    HostFile::CallCounts calls;
    double cpuMs = 0;
    double longestFrameMs = 0;
    int32_t frames = 0;
};

// Loads the level frame by frame until play starts; false when it did not.
bool LoadLevel(BenchRunningGame& game, int32_t level, LoadCost* cost) {
    const HostFile::CallCounts before = HostFile::Calls();
    const double start = ProcessCpuMs();
    game.StartLevel(level);
    do {
        const double frameStart = ProcessCpuMs();
        game.Frame();
        cost->longestFrameMs = std::max(cost->longestFrameMs, ProcessCpuMs() - frameStart);
        ++cost->frames;
    } while (game.State() != CStates::kPlay && cost->frames < kLoadFrameLimit);
    cost->cpuMs = ProcessCpuMs() - start;
    const HostFile::CallCounts after = HostFile::Calls();
    cost->calls.reads = after.reads - before.reads;
    cost->calls.seeks = after.seeks - before.seeks;
    cost->calls.others = after.others - before.others;
    return game.State() == CStates::kPlay;
}

void BM_LevelLoad(benchmark::State& state) {
    BenchRunningGame game;
    if (!game.Ready()) {
        state.SkipWithError("the game did not reach its main menu (is the content built?)");
        return;
    }
    const int32_t level = static_cast<int32_t>(state.range(0)) - 1;
    LoadCost cost;
    for (auto _ : state) {
        if (!LoadLevel(game, level, &cost)) state.SkipWithError("the level did not load");
    }
    const HostFile::CallCounts& calls = cost.calls;
    state.counters["syscalls"] = static_cast<double>(calls.reads + calls.seeks + calls.others);
    state.counters["reads"] = static_cast<double>(calls.reads);
    state.counters["seeks"] = static_cast<double>(calls.seeks);
    state.counters["cpu_ms"] = cost.cpuMs;
    state.counters["longest_frame_ms"] = cost.longestFrameMs;
    state.counters["frames"] = cost.frames;
}
BENCHMARK(BM_LevelLoad)
    ->Name("LevelLoad/level")
    ->DenseRange(1, CGameWorld::kLevelCount)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
