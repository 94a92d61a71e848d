// The game program: the application shell with the game's application, on
// a desktop window or headless on a virtual clock.

#include "CApplet.h"
#include "CreateGameApp.h"
#include "DataDirectoryCheck.h"
#include "GameOptions.h"
#include "HeadlessBackend.h"
#include "HostClock.h"
#include "HostFile.h"
#include "HostInstanceLock.h"
#include "HostPath.h"
#include "HostRunRecorder.h"
#include "HostSaveTemporary.h"
#include "HostWindowSystem.h"
#include "RecordStore.h"
#include "SdlBackend.h"
#include "StartupStatus.h"
#include "WinCeFile.h"
#include "WinMain.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

// Where a headless run's virtual clock starts: runs repeat exactly.
constexpr uint32_t kVirtualStartTicks = 1000;
constexpr uint64_t kVirtualUnixMs = 1700000000000ull;

constexpr int kStandardStreams = 3;
constexpr char kAnotherInstance[] = "another instance is running from this data directory";

// A standard descriptor the program was started without would be the next
// file opened, the lock or a save's temporary, and each line for it would
// be written into that file: it gets /dev/null first, or, where that cannot
// be opened (an empty /dev), a descriptor of no file's contents, which
// refuses reads and writes as a closed one does. True when standard error
// was closed: no one was to read it.
bool OpenClosedStandardStreams() {
    bool errorClosed = false;
    for (int stream = 0; stream < kStandardStreams; ++stream) {
        if (fcntl(stream, F_GETFD) >= 0 || errno != EBADF) continue;
        if (stream == STDERR_FILENO) errorClosed = true;
        int opened = open("/dev/null", O_RDWR);
        if (opened < 0) opened = open("/", O_PATH);
        // Opened as the lowest free descriptor, `stream` itself.
        if (opened > stream) close(opened);
    }
    return errorClosed;
}

// Every line the program writes on standard error starts with its name.
void Say(const std::string& line) { std::fprintf(stderr, "mchvx2: %s\n", line.c_str()); }

int Fail(const std::string& reason) {
    Say(reason);
    return GameOptions::kExitFailure;
}

int UsageError(const std::string& message) {
    std::fprintf(stderr, "mchvx2: %s\nTry 'mchvx2 --help' for more information.\n", message.c_str());
    return GameOptions::kExitUsage;
}

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

// Why no desktop window could be seen; empty when one may be.
std::string MissingDesktop() {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (SdlBackend::ShowsNothing(driver)) return std::string("SDL_VIDEODRIVER=") + driver + " shows nothing";
    if (!IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY")) return "neither DISPLAY nor WAYLAND_DISPLAY is set";
    return std::string();
}

HostBackend* CreateHeadless(const GameOptions& options, std::string* error) {
    HostClock::UseVirtual(kVirtualStartTicks, kVirtualUnixMs);
    HeadlessBackend* backend = HeadlessBackend::Create(options.GetScriptPath(), error);
    // Only screenshots look at a headless run's frames.
    if (backend != nullptr) backend->KeepFrames(!options.GetScreenshotDirectory().empty());
    return backend;
}

// Null, with the reason in `error`, when the asked backend cannot start.
// When the program chose the headless backend for want of a display,
// `noDisplay` says why.
HostBackend* CreateBackend(const GameOptions& options, std::string* error, std::string* noDisplay) {
    const GameOptions::Backend asked = options.GetBackend();
    if (asked == GameOptions::Backend::Headless) return CreateHeadless(options, error);
    // Without a display to try, SDL is not started: it would only say why
    // in words of its own, and settle for a driver that shows nothing.
    std::string missing = MissingDesktop();
    HostBackend* window = missing.empty() ? SdlBackend::CreateOnDisplay(&missing) : nullptr;
    if (window != nullptr) return window;
    if (asked == GameOptions::Backend::Sdl) {
        *error = "no display for the sdl backend (" + missing + ")";
        return nullptr;
    }
    *noDisplay = missing;
    return CreateHeadless(options, error);
}

// A run that fell back on the headless backend by itself shows nothing and,
// without a script, ends at once: say so, and how to drive it.
void ReportHeadlessRun(const std::string& noDisplay, uint32_t frames) {
    std::fprintf(stderr,
                 "mchvx2: no display found (%s), so the run was headless: it presented %u frame%s and had no "
                 "input.\nGive it timed input with --script FILE, a length with --frames N and pictures with "
                 "--screenshot DIR (see --help).\n",
                 noDisplay.c_str(), frames, frames == 1 ? "" : "s");
}

// Makes the screenshot folder with its parents; false, with the reason in
// `error`, when it cannot be made.
bool MakeScreenshotDirectory(const std::string& directory, std::string* error) {
    std::error_code failure;
    std::filesystem::create_directories(directory, failure);
    if (!failure && std::filesystem::is_directory(directory, failure)) return true;
    *error = "the screenshot directory " + directory + " cannot be made" +
             (failure ? " (" + failure.message() + ")" : std::string(" (a file is in the way)"));
    return false;
}

// The folder of the program's path as the game is given it.
std::filesystem::path DataDirectory() { return std::filesystem::path(HostPath::ModulePath()).parent_path(); }

// The game finds its data directory in the program's path, which it keeps
// in MAX_PATH units, by cutting it at the last separator: with a longer
// path, or from the root folder (where nothing is left before the cut), it
// would look for its files somewhere else.
bool IsDataDirectoryNameable(std::string* error) {
    const std::filesystem::path directory = DataDirectory();
    if (directory == directory.root_path()) {
        *error = "the data directory " + directory.string() +
                 " is the root folder, which the game cannot keep its files in: give it a folder below it";
        return false;
    }
    char16_t modulePath[MAX_PATH];
    if (GetModuleFileNameW(nullptr, modulePath, MAX_PATH) != 0) return true;
    const size_t length = HostPath::ToWide(HostPath::ModulePath()).size();
    *error = "the data directory " + directory.string() +
             " has too long a path for the game: with the program's name it is " + std::to_string(length) +
             " characters long, and the game takes at most " + std::to_string(MAX_PATH - 1);
    return false;
}

// What runs that ended between a write and its rename, or during their
// start-up checks, left behind.
void RemoveLeftovers() {
    const std::string folder = DataDirectory().string();
    const std::vector<HostSaveTemporary::PrivateName> checks = {
        {DataDirectoryCheck::kProbeStem, DataDirectoryCheck::kProbeSuffix},
        {kRecordFilePrefix + std::to_string(RecordId::kStorageTest), kRecordFileSuffix}};
    int64_t folderNow = 0;
    if (HostSaveTemporary::FolderTime(folder, &folderNow)) HostSaveTemporary::RemoveLeftovers(folder, folderNow, checks);
}

HostRunRecorder::Settings RecorderSettings(const GameOptions& options, HostBackend* backend) {
    HostRunRecorder::Settings settings;
    settings.frameLimit = options.GetFrameLimit();
    settings.screenshotDirectory = options.GetScreenshotDirectory();
    settings.screenshotEvery = options.GetScreenshotEvery();
    HeadlessBackend* headless = dynamic_cast<HeadlessBackend*>(backend);
    // Without a frame limit a headless run ends once its script is played.
    if (headless != nullptr && options.GetFrameLimit() == 0) {
        settings.inputEnded = [headless]() { return headless->PendingEvents() == 0; };
    }
    return settings;
}

// The program's exit status from the shell's result.
int Outcome(int32_t result, const HostRunRecorder& recorder, bool screenshotsWritten, bool errorClosed) {
    if (StartupStatus::FailureReason() != nullptr) return Fail(StartupStatus::FailureReason());
    if (result != 0) return Fail("the game could not start");
    if (!StartupStatus::HasStarted()) return Fail(kAnotherInstance);
    if (!screenshotsWritten) return Fail(recorder.Error());
    // A line the player was to read (an unreadable record, a missing lock)
    // is lost: a full disk, a file-size limit. Standard error is unbuffered,
    // so every failed line has set its error flag.
    if (!errorClosed && std::ferror(stderr) != 0) return GameOptions::kExitFailure;
    return GameOptions::kExitOk;
}

// The X and D-Bus client libraries behind the desktop window keep memory to
// the end of the process, which a sanitizer build's leak check would report
// as the program's: a desktop run ends without the exit handlers.
[[noreturn]] void EndDesktopRun(int exitCode) {
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(exitCode);
}

}  // namespace

int main(int argc, char** argv) {
    const bool errorClosed = OpenClosedStandardStreams();
    // Standard error and the screenshots may be files too: under a file-size
    // limit what cannot be written there is lost, and the run goes on. So is
    // a line for a pipe whose reader has gone.
    HostFile::FailWritesBeyondTheSizeLimit();
    std::signal(SIGPIPE, SIG_IGN);
    GameOptions options;
    std::string error;
    if (!options.Parse(std::vector<std::string>(argv + 1, argv + argc), &error)) return UsageError(error);
    if (options.WantsHelp()) {
        const bool shown = std::fputs(GameOptions::HelpText(), stdout) >= 0 && std::fflush(stdout) == 0;
        return shown ? GameOptions::kExitOk : GameOptions::kExitFailure;
    }
    if (!options.GetDataDirectory().empty()) HostPath::SetAppDirectory(options.GetDataDirectory().c_str());
    if (!IsDataDirectoryNameable(&error)) return Fail(error);
    // Before anything is written in the folder: of two instances started at
    // the same moment, the second is refused for what it is.
    std::string unlocked;
    if (!HostInstanceLock::Claim(CApplet::kAppName, &unlocked)) return Fail(kAnotherInstance);
    if (!DataDirectoryCheck::Run(&error)) return Fail(error);
    if (!unlocked.empty()) Say(unlocked);
    RemoveLeftovers();
    if (!options.GetScreenshotDirectory().empty() && !MakeScreenshotDirectory(options.GetScreenshotDirectory(), &error)) {
        return Fail(error);
    }
    std::string noDisplay;
    HostBackend* backend = CreateBackend(options, &error, &noDisplay);
    if (backend == nullptr) {
        const int exitCode = Fail(error);
        // SDL may have been started, and with it the desktop's libraries.
        if (options.GetBackend() != GameOptions::Backend::Headless) EndDesktopRun(exitCode);
        return exitCode;
    }
    const bool desktop = dynamic_cast<SdlBackend*>(backend) != nullptr;
    HostRunRecorder* recorder = new HostRunRecorder(backend, RecorderSettings(options, backend));
    HostWindowSystem::SetBackend(recorder);
    CApplet::SetAppFactory(&CreateGameApp);
    const int32_t result = WinMain(nullptr, nullptr, nullptr, 0);
    const bool screenshotsWritten = recorder->Finish();
    if (!noDisplay.empty()) ReportHeadlessRun(noDisplay, recorder->FramesPresented());
    const int exitCode = Outcome(result, *recorder, screenshotsWritten, errorClosed);
    // Closes the desktop window; the window system owns the recorder.
    HostWindowSystem::SetBackend(nullptr);
    if (desktop) EndDesktopRun(exitCode);
    return exitCode;
}
