// The game as it runs, headless, on its compiled content (the archive and
// configuration files in the build's game/ folder):
// - PlayFrame: one frame of play (update, paint, present) in the level with
//   the most spawns, the player walking right, with no dialogue or script
//   page over play (those are moved on outside the measured time), against
//   a reference frame on the same surface (clear, three full-screen image
//   blits, present).
// - NineLevelRun: the program replaying the run of all nine levels that the
//   level replay test plays (tests/app/replays), measured for its peak
//   resident memory, printed as a counter (kB).

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "AllocationCounter.h"
#include "AppServices.h"
#include "BenchRunFolder.h"
#include "BenchRunningGame.h"
#include "CGame.h"
#include "CGameWorld.h"
#include "CGraphics.h"
#include "CGraphics2d_Lite.h"
#include "CHud.h"
#include "CStates.h"
#include "EngineEvents.h"
#include "GameKeys.h"
#include "JImage.h"

namespace fs = std::filesystem;

namespace {

// The interlude picture: 240 x 320, the whole game screen.
constexpr uint32_t kFullScreenImage = 453;
constexpr int32_t kReferenceBlits = 3;
// Frames of play before the measurement, so that the level is under way.
constexpr int32_t kWarmUpFrames = 100;
constexpr uint32_t kClearColourPlane = 0x10000;
// More pages in a row than any level script shows.
constexpr int32_t kPageLimit = 100;

// The source tree the build was configured from, as its cache records it.
fs::path SourceDirectory() {
    std::ifstream cache(BenchRunFolder::GameDirectory().parent_path() / "CMakeCache.txt");
    const std::string key = "CMAKE_HOME_DIRECTORY:INTERNAL=";
    std::string line;
    while (std::getline(cache, line)) {
        if (line.rfind(key, 0) == 0) return line.substr(key.size());
    }
    return fs::path();
}

// A dialogue or a page of the level's script over play.
bool PageUp() {
    const CHud* hud = CGame::GetHud();
    return hud != nullptr && (hud->mode == CHud::kDialogue || hud->mode == CHud::kPlayText);
}

// Moves the pages over play on, as a player does, and walks on: a key held
// through a page is let go as it closes.
void MovePagesOn(BenchRunningGame& game) {
    if (!PageUp()) return;
    for (int32_t i = 0; i < kPageLimit && PageUp(); ++i) {
        game.Key(EngineEvent::kKeyPressed, EngineKey::kSoftLeft);
        game.Key(EngineEvent::kKeyReleased, EngineKey::kSoftLeft);
        game.Frame();
    }
    game.Key(EngineEvent::kKeyReleased, EngineKey::kRight);
    game.Key(EngineEvent::kKeyPressed, EngineKey::kRight);
}

// The frame measured is one of play alone: the player walking, no page up.
void BM_PlayFrame_Ours(benchmark::State& state) {
    BenchRunningGame game;
    if (!game.Ready()) {
        state.SkipWithError("the game did not reach its main menu (is the content built?)");
        return;
    }
    const int32_t level = game.BusiestLevel();
    if (!game.Play(level)) {
        state.SkipWithError("the level did not load");
        return;
    }
    game.Key(EngineEvent::kKeyPressed, EngineKey::kRight);
    for (int32_t i = 0; i < kWarmUpFrames; ++i) {
        MovePagesOn(game);
        game.Frame();
    }
    uint64_t allocations = 0;
    for (auto _ : state) {
        // A player who fell is brought back, and a page is moved on, outside
        // the measured time.
        if (game.State() != CStates::kPlay || PageUp()) {
            state.PauseTiming();
            if (game.State() != CStates::kPlay) {
                game.Key(EngineEvent::kKeyReleased, EngineKey::kRight);
                if (!game.Play(level)) state.SkipWithError("the level did not load again");
                game.Key(EngineEvent::kKeyPressed, EngineKey::kRight);
            }
            MovePagesOn(game);
            state.ResumeTiming();
        }
        const AllocationCounter frame;
        game.Frame();
        allocations += frame.Since();
    }
    state.SetLabel("play alone: walking, no page up");
    state.counters["level"] = level + 1;
    state.counters["allocs/frame"] = benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_PlayFrame_Ours)->Name("PlayFrame/ours")->Unit(benchmark::kMicrosecond);

void BM_PlayFrame_Reference(benchmark::State& state) {
    BenchRunningGame game;
    if (!game.Ready()) {
        state.SkipWithError("the game did not reach its main menu (is the content built?)");
        return;
    }
    CGraphics* graphics = GetGraphics();
    CGraphics2d_Lite* renderer = GetGraphics2d();
    JImage image(kFullScreenImage, JImage::kDefaultTransform);
    CRenderSurface* surface = image.getSurface();
    if (graphics == nullptr || renderer == nullptr || surface == nullptr) {
        state.SkipWithError("no graphics or no full-screen image");
        return;
    }
    for (auto _ : state) {
        graphics->BeginFrame();
        renderer->BeginFrame();
        graphics->Clear(kClearColourPlane);
        renderer->LoadIdentity();
        for (int32_t i = 0; i < kReferenceBlits; ++i) renderer->DrawImage(surface, 0, nullptr);
        renderer->EndFrame();
        graphics->EndFrame();
        graphics->Present();
    }
}
BENCHMARK(BM_PlayFrame_Reference)->Name("PlayFrame/reference")->Unit(benchmark::kMicrosecond);

// One replay by the program, in a child process of its own, in `data`. The
// peak resident memory the kernel counted, 0 when the run failed.
long PeakKbOfReplay(const fs::path& script, const fs::path& data) {
    const fs::path program = BenchRunFolder::GameDirectory() / "mchvx2";
    const pid_t child = ::fork();
    if (child == 0) {
        ::execl(program.c_str(), program.c_str(), "--backend", "headless", "--script", script.c_str(), "--data-dir",
                data.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage {};
    const bool waited = child > 0 && ::wait4(child, &status, 0, &usage) == child;
    if (!waited || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return 0;
    return usage.ru_maxrss;
}

// The run of all nine levels that the level replay test plays, for its peak
// resident memory: each level's script in turn in one data folder, each
// level picked from the list its predecessor's completion opened (the
// settings record goes between runs, as in the test).
void BM_NineLevelRun(benchmark::State& state) {
    const fs::path replays = SourceDirectory() / "tests" / "app" / "replays";
    std::vector<fs::path> scripts;
    for (int32_t level = 0; level < CGameWorld::kLevelCount; ++level) {
        scripts.push_back(replays / ("level" + std::to_string(level + 1) + ".txt"));
        if (!fs::exists(scripts.back())) {
            state.SkipWithError(("no replay " + scripts.back().filename().string()).c_str());
            return;
        }
    }
    long peakKb = 0;
    for (auto _ : state) {
        const BenchRunFolder folder;
        for (const fs::path& script : scripts) {
            fs::remove(folder.Path() / "mchvx2_save0.dat");
            const long kb = folder.Path().empty() ? 0 : PeakKbOfReplay(script, folder.Path());
            if (kb == 0) {
                state.SkipWithError(("the program failed on " + script.filename().string()).c_str());
                return;
            }
            peakKb = std::max(peakKb, kb);
        }
    }
    state.counters["peak_rss_kB"] = static_cast<double>(peakKb);
}
BENCHMARK(BM_NineLevelRun)->Name("NineLevelRun/memory")->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
