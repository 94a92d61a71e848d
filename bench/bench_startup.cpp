// The game's start-up on its compiled content, headless: from creating the
// application to the first presented frame (Init, the AppStart event and
// one frame). Prints the time and, as counters, each start-up step's share
// of it in percent. There is no reference to compare with.

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "CCore_Win32.h"
#include "CGameApp.h"
#include "EngineEvents.h"
#include "HeadlessBackend.h"
#include "HostClock.h"
#include "HostPath.h"
#include "HostWindowSystem.h"
#include "StartupStatus.h"

namespace {

using Clock = std::chrono::steady_clock;

// Step name -> nanoseconds, summed over the iterations.
struct StepClock {
    Clock::time_point last;
    std::vector<std::string> order;
    std::map<std::string, double> total;

    void Mark(const char* step) {
        const Clock::time_point now = Clock::now();
        if (total.find(step) == total.end()) order.emplace_back(step);
        total[step] += std::chrono::duration<double, std::nano>(now - last).count();
        last = now;
    }
};

StepClock g_steps;

void OnStep(const char* step) { g_steps.Mark(step); }

// The content the build compiled for the program: build/game beside
// build/bench.
std::string ContentDirectory() {
    const std::filesystem::path bench = std::filesystem::path(HostPath::ModulePath()).parent_path();
    return (bench.parent_path() / "game").string();
}

void BM_StartupToFirstFrame(benchmark::State& state) {
    const std::string content = ContentDirectory();
    if (!std::filesystem::exists(content + "/mchvx2.big")) {
        state.SkipWithError(("no compiled content in " + content).c_str());
        return;
    }
    HostPath::SetAppDirectory(content.c_str());
    HostClock::UseVirtual(1000, 1700000000000ull);
    HeadlessBackend* backend = new HeadlessBackend(HostInputScript());
    HostWindowSystem::SetBackend(backend);
    StartupStatus::SetStepObserver(OnStep);
    CCore_Win32* core = CCore_Win32::Create();
    SetCore(core);
    bool started = true;
    for (auto _ : state) {
        g_steps.last = Clock::now();
        CGameApp* app = new CGameApp();
        SetApplication(app);
        started = app->Init() == 0 && started;
        app->HandleEvent(EngineEvent::kAppStart, 0, 0);
        const uint32_t presented = backend->FramesPresented();
        g_steps.last = Clock::now();
        app->RunFrame();
        g_steps.Mark("first frame");
        started = backend->FramesPresented() == presented + 1 && started;
        state.PauseTiming();
        app->Shutdown();
        delete app;
        SetApplication(nullptr);
        state.ResumeTiming();
    }
    if (!started) state.SkipWithError("the game did not start or present");
    double sum = 0;
    for (const auto& [step, ns] : g_steps.total) sum += ns;
    for (const std::string& step : g_steps.order) {
        state.counters[step + " %"] = sum > 0 ? 100.0 * g_steps.total[step] / sum : 0;
    }
    StartupStatus::SetStepObserver(nullptr);
    SetCore(nullptr);
    delete core;
    HostWindowSystem::SetBackend(nullptr);
    HostPath::SetAppDirectory(nullptr);
}

BENCHMARK(BM_StartupToFirstFrame)->Name("Startup/first_frame")->Unit(benchmark::kMillisecond);

}  // namespace
