// One frame of the main menu on the compiled content, headless: the game's
// update and paint of the menu page (frame, rows, selection bar, soft keys)
// and the present, against a frame that only clears the same surface and
// presents it; with the heap allocations per menu frame.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "AllocationCounter.h"
#include "AppServices.h"
#include "CCore_Win32.h"
#include "CGame.h"
#include "CGameApp.h"
#include "CGraphics.h"
#include "CGraphics2d_Lite.h"
#include "CStates.h"
#include "EngineEvents.h"
#include "GameKeys.h"
#include "HeadlessBackend.h"
#include "HostClock.h"
#include "HostPath.h"
#include "HostWindowSystem.h"
#include "JGraphics.h"

namespace {

constexpr int32_t kBootFrameLimit = 2000;
constexpr uint32_t kOpaqueBlack = 0xFF000000;

// The content the build compiled for the program: build/game beside
// build/bench.
std::string ContentDirectory() {
    const std::filesystem::path bench = std::filesystem::path(HostPath::ModulePath()).parent_path();
    return (bench.parent_path() / "game").string();
}

// The game started on its content and brought to the main menu (answering
// the sound question with no).
class MenuGame {
public:
    MenuGame() {
        HostPath::SetAppDirectory(ContentDirectory().c_str());
        HostClock::UseVirtual(1000, 1700000000000ull);
        HostWindowSystem::SetBackend(new HeadlessBackend(HostInputScript()));
        m_core = CCore_Win32::Create();
        SetCore(m_core);
        m_app = new CGameApp();
        SetApplication(m_app);
        if (m_app->Init() != 0) return;
        m_app->HandleEvent(EngineEvent::kAppStart, 0, 0);
        for (int32_t i = 0; i < kBootFrameLimit && States()->state != CStates::kMainMenu; ++i) {
            if (States()->state == CStates::kMessageBox) Press(EngineKey::kSelect);
            m_app->RunFrame();
        }
        m_ready = States()->state == CStates::kMainMenu;
    }
    ~MenuGame() {
        m_app->Shutdown();
        delete m_app;
        SetApplication(nullptr);
        SetCore(nullptr);
        delete m_core;
        HostWindowSystem::SetBackend(nullptr);
        HostPath::SetAppDirectory(nullptr);
    }
    MenuGame(const MenuGame&) = delete;
    MenuGame& operator=(const MenuGame&) = delete;

    bool Ready() const { return m_ready; }
    CGameApp& App() { return *m_app; }

private:
    static CStates* States() { return CGame::GetStateMachine(); }
    void Press(int32_t key) {
        m_app->HandleEvent(EngineEvent::kKeyPressed, static_cast<uint32_t>(key), 0);
        m_app->HandleEvent(EngineEvent::kKeyReleased, static_cast<uint32_t>(key), 0);
    }

    CCore_Win32* m_core = nullptr;
    CGameApp* m_app = nullptr;
    bool m_ready = false;
};

void BM_MenuFrame(benchmark::State& state) {
    MenuGame game;
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
    MenuGame game;
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
