// The game as it runs, headless, on its compiled content (the archive and
// configuration files in the build's game/ folder):
// - PlayFrame: one frame of play (update, paint, present) in the level with
//   the most spawns, the player walking right, against a reference frame on
//   the same surface (clear, three full-screen image blits, present).
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
#include <utility>
#include <vector>

#include "AppServices.h"
#include "CCore_Win32.h"
#include "CGame.h"
#include "CGameApp.h"
#include "CGameProgress.h"
#include "CGameWorld.h"
#include "CGraphics.h"
#include "CGraphics2d_Lite.h"
#include "CStates.h"
#include "EngineEvents.h"
#include "GameKeys.h"
#include "HeadlessBackend.h"
#include "HostClock.h"
#include "HostDisplay.h"
#include "HostInstanceLock.h"
#include "HostPath.h"
#include "HostSystemInfo.h"
#include "HostWindowSystem.h"
#include "JImage.h"

namespace fs = std::filesystem;

namespace {

constexpr int32_t kScreenWidth = 480;
constexpr int32_t kScreenHeight = 640;
// The interlude picture: 240 x 320, the whole game screen.
constexpr uint32_t kFullScreenImage = 453;
constexpr int32_t kReferenceBlits = 3;
constexpr uint32_t kFrameMs = 40;
constexpr int32_t kBootFrameLimit = 2000;
constexpr int32_t kLoadFrameLimit = 4000;
// Frames of play before the measurement, so that the level is under way.
constexpr int32_t kWarmUpFrames = 100;
constexpr uint32_t kClearColourPlane = 0x10000;

fs::path ExecutableDirectory() { return fs::read_symlink("/proc/self/exe").parent_path(); }

// The build's game folder, beside bench/.
fs::path GameDirectory() { return ExecutableDirectory().parent_path() / "game"; }

// The source tree the build was configured from, as its cache records it.
fs::path SourceDirectory() {
    std::ifstream cache(ExecutableDirectory().parent_path() / "CMakeCache.txt");
    const std::string key = "CMAKE_HOME_DIRECTORY:INTERNAL=";
    std::string line;
    while (std::getline(cache, line)) {
        if (line.rfind(key, 0) == 0) return line.substr(key.size());
    }
    return fs::path();
}

// A data folder of its own for the program: a fresh copy of the compiled
// content, removed with the object. No path when it cannot be made.
class RunFolder {
public:
    RunFolder() {
        std::string pattern = (fs::temp_directory_path() / "mchvx2-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) return;
        m_path = pattern;
        for (const char* file : {"mchvx2.big", "properties.dat", "device.conf", "softkey.conf"}) {
            std::error_code error;
            fs::copy_file(GameDirectory() / file, m_path / file, error);
            if (error) {
                Remove();
                return;
            }
        }
    }
    ~RunFolder() { Remove(); }

    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;

    const fs::path& Path() const { return m_path; }

private:
    void Remove() {
        std::error_code ignored;
        if (!m_path.empty()) fs::remove_all(m_path, ignored);
        m_path.clear();
    }

    fs::path m_path;
};

// The game application on the stand-in handset, on a copy of the content
// in a temporary data folder, with the virtual clock.
class RunningGame {
public:
    RunningGame() {
        if (m_folder.Path().empty()) return;
        HostPath::SetAppDirectory(m_folder.Path().c_str());
        HostClock::UseVirtual(1000, 1700000000000ull);
        HostSystemInfo::SetScreenSize(kScreenWidth, kScreenHeight);
        HostWindowSystem::SetBackend(new HeadlessBackend(HostInputScript()));
        m_core = CCore_Win32::Create();
        SetCore(m_core);
        m_app = new CGameApp();
        SetApplication(m_app);
        if (m_app->Init() != 0) return;
        m_app->HandleEvent(EngineEvent::kAppStart, 0, 0);
        m_ready = BootToMainMenu();
    }

    ~RunningGame() {
        if (m_app != nullptr) {
            m_app->Shutdown();
            delete m_app;
        }
        SetApplication(nullptr);
        delete m_core;
        SetCore(nullptr);
        HostWindowSystem::Reset();
        HostInstanceLock::ReleaseAll();
        HostDisplay::Reset();
        HostClock::UseMonotonic();
        HostPath::SetAppDirectory(nullptr);
    }

    RunningGame(const RunningGame&) = delete;
    RunningGame& operator=(const RunningGame&) = delete;

    bool Ready() const { return m_ready; }
    // One frame, and the frame's time on the virtual clock.
    void Frame() {
        HostClock::Advance(kFrameMs);
        m_app->RunFrame();
    }
    int32_t State() const { return CGame::GetStateMachine()->state; }
    void Key(uint32_t event, int32_t engineKey) { m_app->HandleEvent(event, static_cast<uint32_t>(engineKey), 0); }

    // Loads the level and plays until it is on screen.
    bool Play(int32_t level) {
        CGame::GetProgress()->level = level;
        CGame::GetStateMachine()->SetState(CStates::kLoadLevel);
        Frame();
        return RunUntil(CStates::kPlay, kLoadFrameLimit) && CGame::GetWorld()->level == level;
    }

    // The level with the most spawn points.
    int32_t BusiestLevel() {
        int32_t busiest = 0;
        size_t most = 0;
        for (int32_t level = 0; level < CGameWorld::kLevelCount; ++level) {
            if (!Play(level)) continue;
            const size_t spawns = CGame::GetWorld()->spawnActors.size();
            if (spawns > most) {
                most = spawns;
                busiest = level;
            }
        }
        return busiest;
    }

private:
    bool RunUntil(int32_t state, int32_t limit) {
        for (int32_t i = 0; i < limit && State() != state; ++i) Frame();
        return State() == state;
    }

    // Answers the first message box (the sound question) with its first row.
    bool BootToMainMenu() {
        if (!RunUntil(CStates::kMessageBox, kBootFrameLimit)) return false;
        Key(EngineEvent::kKeyPressed, EngineKey::kSelect);
        Key(EngineEvent::kKeyReleased, EngineKey::kSelect);
        return RunUntil(CStates::kMainMenu, kBootFrameLimit);
    }

    RunFolder m_folder;
    CCore_Win32* m_core = nullptr;
    CGameApp* m_app = nullptr;
    bool m_ready = false;
};

void BM_PlayFrame_Ours(benchmark::State& state) {
    RunningGame game;
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
    for (int32_t i = 0; i < kWarmUpFrames; ++i) game.Frame();
    for (auto _ : state) {
        // A player who fell is brought back outside the measured time.
        if (game.State() != CStates::kPlay) {
            state.PauseTiming();
            game.Key(EngineEvent::kKeyReleased, EngineKey::kRight);
            if (!game.Play(level)) state.SkipWithError("the level did not load again");
            game.Key(EngineEvent::kKeyPressed, EngineKey::kRight);
            state.ResumeTiming();
        }
        game.Frame();
    }
    state.counters["level"] = level + 1;
}
BENCHMARK(BM_PlayFrame_Ours)->Name("PlayFrame/ours")->Unit(benchmark::kMicrosecond);

void BM_PlayFrame_Reference(benchmark::State& state) {
    RunningGame game;
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
    const fs::path program = GameDirectory() / "mchvx2";
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
        const RunFolder folder;
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
