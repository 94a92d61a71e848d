// One frame of the main menu on the compiled content, headless: the game's
// update and paint of the menu page (frame, rows, selection bar, soft keys)
// and the present, against a frame that only clears the same surface and
// presents it; with the heap allocations per menu frame. Both again without
// the present.

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

// The frame brackets the game paints in, with or without the present.
template <typename Paint>
void InFrame(BenchRunningGame& game, Paint paint, bool present) {
    CGraphics* graphics = GetGraphics();
    CGraphics2d_Lite* renderer = GetGraphics2d();
    graphics->BeginFrame();
    renderer->BeginFrame();
    game.App().BeginFrame2d();
    paint();
    renderer->EndFrame();
    graphics->EndFrame();
    if (present) graphics->Present();
}

// The game's whole frame, or its update and paint alone.
void BM_MenuFrame(benchmark::State& state, bool present) {
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
        if (present) {
            game.App().Paint();
        } else {
            InFrame(game, [menu] { menu->Paint(); }, false);
        }
    }
    state.counters["allocs/frame"] = benchmark::Counter(static_cast<double>(frames.Since()), benchmark::Counter::kAvgIterations);
}

// The same surface cleared, with or without the present.
void BM_ClearFrame(benchmark::State& state, bool present) {
    BenchRunningGame game;
    if (!game.Ready()) {
        state.SkipWithError("the game did not reach its main menu");
        return;
    }
    JGraphics& g = game.App().GetGame()->GetGraphics();
    for (auto _ : state) {
        InFrame(
            game,
            [&g] {
                resetClip(g);
                fillScreen(g, kOpaqueBlack);
            },
            present);
    }
}

constexpr bool kPresent = true;

BENCHMARK_CAPTURE(BM_MenuFrame, present, kPresent)->Name("MenuFrame/ours")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ClearFrame, present, kPresent)->Name("MenuFrame/reference")->Unit(benchmark::kMicrosecond);
// Without the present, which is the same on both sides and most of the frame.
BENCHMARK_CAPTURE(BM_MenuFrame, work, !kPresent)->Name("MenuWork/ours")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ClearFrame, work, !kPresent)->Name("MenuWork/reference")->Unit(benchmark::kMicrosecond);

}  // namespace
