// A stand-in program for the handset's game: the application shell with a
// small demo application, in a desktop window or headless on a virtual clock.

#include "CDemoApp.h"
#include "DemoOptions.h"
#include "HeadlessBackend.h"
#include "HostClock.h"
#include "HostWindowSystem.h"
#include "SdlBackend.h"
#include "WinMain.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Where a headless run's virtual clock starts: runs repeat exactly.
constexpr uint32_t kVirtualStartTicks = 1000;
constexpr uint64_t kVirtualUnixMs = 1700000000000ull;

int UsageError(const std::string& message) {
    std::fprintf(stderr, "shelldemo: %s\nTry 'shelldemo --help' for more information.\n", message.c_str());
    return DemoOptions::kExitUsage;
}

HostBackend* CreateHeadless(const DemoOptions& options, std::string* error) {
    HostClock::UseVirtual(kVirtualStartTicks, kVirtualUnixMs);
    HeadlessBackend* backend = HeadlessBackend::Create(options.GetScriptPath(), error);
    // Without a frame limit the run ends once the script has been played.
    if (backend != nullptr && options.GetFrameLimit() == 0) {
        CDemoApp::GetSettings().inputEnded = [backend]() { return backend->PendingEvents() == 0; };
    }
    return backend;
}

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

// SDL also starts without a desktop, on video drivers that show nothing: a
// desktop is there when the environment names one and SDL is not told to
// draw nowhere.
bool HasDesktop() {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver != nullptr && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0)) {
        return false;
    }
    return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
}

// Null, with the reason in `error`, when the asked backend cannot start.
HostBackend* CreateBackend(const DemoOptions& options, std::string* error) {
    const DemoOptions::Backend asked = options.GetBackend();
    if (asked == DemoOptions::Backend::Headless) return CreateHeadless(options, error);
    if (asked == DemoOptions::Backend::Automatic && !HasDesktop()) {
        std::fprintf(stderr, "shelldemo: no desktop display; running headless\n");
        return CreateHeadless(options, error);
    }
    HostBackend* window = SdlBackend::Create(error);
    if (window != nullptr || asked == DemoOptions::Backend::Sdl) return window;
    std::fprintf(stderr, "shelldemo: no display (%s); running headless\n", error->c_str());
    error->clear();
    return CreateHeadless(options, error);
}

std::string PointText(int32_t x, int32_t y) {
    if (x == DemoState::kNone) return "none";
    return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

std::string KeyText(int32_t key) { return key == DemoState::kNone ? "none" : std::to_string(key); }

// The program's exit status.
int Report(int32_t result) {
    const DemoState& state = CDemoApp::GetState();
    if (!state.started && result == 0) {
        // The shell only brought the other instance's window to the front.
        std::fprintf(stderr, "shelldemo: another instance is running from this program's folder\n");
        return DemoOptions::kExitFailure;
    }
    std::printf("shelldemo: frames painted %u, last surface %ux%u, last stylus point %s, last key %s\n",
                state.framesPainted, state.surfaceWidth, state.surfaceHeight,
                PointText(state.stylusX, state.stylusY).c_str(), KeyText(state.lastKey).c_str());
    return result == 0 ? DemoOptions::kExitOk : DemoOptions::kExitFailure;
}

// The X and D-Bus client libraries behind the desktop window keep memory
// to the end of the process, which a sanitizer build's leak check would
// report as the program's: a desktop run ends without the exit handlers.
// Headless runs, which the tests make, keep the check.
[[noreturn]] void EndDesktopRun(int exitCode) {
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(exitCode);
}

}  // namespace

int main(int argc, char** argv) {
    DemoOptions options;
    std::string error;
    if (!options.Parse(std::vector<std::string>(argv + 1, argv + argc), &error)) return UsageError(error);
    if (options.WantsHelp()) {
        std::fputs(DemoOptions::HelpText(), stdout);
        return DemoOptions::kExitOk;
    }
    HostBackend* backend = CreateBackend(options, &error);
    if (backend == nullptr) {
        std::fprintf(stderr, "shelldemo: %s\n", error.c_str());
        return DemoOptions::kExitFailure;
    }
    const bool desktop = dynamic_cast<SdlBackend*>(backend) != nullptr;
    HostWindowSystem::SetBackend(backend);
    CDemoApp::GetSettings().frameLimit = options.GetFrameLimit();
    const int32_t result = WinMain(nullptr, nullptr, nullptr, 0);
    // Closes the desktop window before the report.
    HostWindowSystem::SetBackend(nullptr);
    const int exitCode = Report(result);
    if (desktop) EndDesktopRun(exitCode);
    return exitCode;
}
