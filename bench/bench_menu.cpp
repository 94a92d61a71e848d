// One frame of the main menu on the compiled content, headless: the game's
// update and paint of the menu page (frame, rows, selection bar, soft keys)
// and the present, against a frame that only clears the same surface and
// presents it; with the heap allocations per menu frame.

#include <benchmark/benchmark.h>

#include "AllocationCounter.h"
#include "AppServices.h"
#include "BenchRunningGame.h"
#include "CGame.h"
#include "CGameApp.h"
#include "CGraphics.h"
#include "CGraphics2d_Lite.h"
#include "JGraphics.h"

namespace {

constexpr uint32_t kOpaqueBlack = 0xFF000000;

void BM_MenuFrame(benchmark::State& state) {
    BenchRunningGame game;
    if (!game.Ready()) {
        state.SkipWithError("the game did not reach its main menu");
        return;
    }
    CGame* menu = game.App().GetGame();
    const AllocationCounter frames;
    for (auto _ : state) {
        menu->Update(CGame::kStepMs);
        // The whole page is painted every frame, as after a key.
        menu->repaintPending = 1;
        game.App().Paint();
    }
    state.counters["allocs/frame"] = benchmark::Counter(static_cast<double>(frames.Since()), benchmark::Counter::kAvgIterations);
}

// The same surface cleared and presented, in the same frame brackets.
void BM_ClearFrame(benchmark::State& state) {
    BenchRunningGame game;
    if (!game.Ready()) {
        state.SkipWithError("the game did not reach its main menu");
        return;
    }
    JGraphics& g = game.App().GetGame()->GetGraphics();
    CGraphics* graphics = GetGraphics();
    CGraphics2d_Lite* renderer = GetGraphics2d();
    for (auto _ : state) {
        graphics->BeginFrame();
        renderer->BeginFrame();
        game.App().BeginFrame2d();
        resetClip(g);
        fillScreen(g, kOpaqueBlack);
        renderer->EndFrame();
        graphics->EndFrame();
        graphics->Present();
    }
}

BENCHMARK(BM_MenuFrame)->Name("MenuFrame/ours")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClearFrame)->Name("MenuFrame/reference")->Unit(benchmark::kMicrosecond);

}  // namespace
