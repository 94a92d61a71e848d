// The mchvx2 program as a person runs it: options, exit statuses, a
// headless run with a script and screenshots, and the same first frame on
// a desktop window (a virtual X display) as headless.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifndef MCHVX2_PATH
#error "src/app/CMakeLists.txt gives the tests the program's path"
#endif

namespace fs = std::filesystem;

namespace {

struct RunResult {
    int exitCode = -1;
    std::string output;
};

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::vector<uint8_t> Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The program's content, compiled beside it.
fs::path ProgramDirectory() { return fs::path(MCHVX2_PATH).parent_path(); }

class GameProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        m_dir = fs::temp_directory_path() / ("mchvx2-" + name + "-" + std::to_string(::getpid()));
        fs::create_directories(m_dir / "data");
        for (const char* file : {"mchvx2.big", "properties.dat", "device.conf", "softkey.conf"}) {
            fs::copy_file(ProgramDirectory() / file, m_dir / "data" / file);
        }
    }
    void TearDown() override {
        fs::permissions(m_dir / "data", fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(m_dir);
    }

    std::string Data() const { return (m_dir / "data").string(); }
    // Made by the program, with its parents.
    fs::path ShotsPath() const { return m_dir / "out" / "shots"; }
    std::string Shots() const { return ShotsPath().string(); }
    void WriteData(const std::string& name, const std::string& text) const {
        std::ofstream(m_dir / "data" / name, std::ios::binary | std::ios::trunc) << text;
    }

    // A run that does not end within two minutes is stopped and fails.
    static RunResult Run(const std::vector<std::string>& args, const std::string& prefix = "") {
        std::string command = prefix + "timeout 120 " + Quoted(MCHVX2_PATH);
        for (const std::string& arg : args) command += " " + Quoted(arg);
        return RunCommand(command);
    }

    // A shell command line, its output and exit status.
    static RunResult RunCommand(std::string command) {
        command += " 2>&1";
        RunResult result;
        FILE* pipe = ::popen(command.c_str(), "r");
        if (pipe == nullptr) return result;
        char chunk[512];
        size_t got = 0;
        while ((got = std::fread(chunk, 1, sizeof(chunk), pipe)) > 0) result.output.append(chunk, got);
        const int status = ::pclose(pipe);
        if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
        return result;
    }

    // A short headless run that has a line to say on standard error: a
    // record that cannot be read.
    std::string ClosedStreamsRun() const {
        fs::create_directories(m_dir / "data" / "mchvx2_save1.dat");
        return Quoted(MCHVX2_PATH) + " --backend headless --frames 3 --data-dir " + Quoted(Data());
    }
    // That run through `shell`, after `setup`, with some or all of its
    // standard streams closed, ends well, and its line lands in no file of
    // its own: the lock file it keeps open may take a closed stream's number.
    void ExpectRunsWithClosedStreamsToEndWell(const std::string& shell, const std::string& setup) const {
        const std::string status = (m_dir / "status").string();
        for (const char* closed : {" 2>&-", " 0<&- 1>&- 2>&-"}) {
            fs::remove(status);
            RunCommand(shell + Quoted(setup + ClosedStreamsRun() + closed + "; echo $? >" + Quoted(status)));
            EXPECT_EQ(Bytes(status), std::vector<uint8_t>({'0', '\n'})) << closed;
            EXPECT_EQ(fs::file_size(m_dir / "data" / "mchvx2.lock"), 0u) << closed;
        }
    }

    std::vector<std::string> ShotNames() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(ShotsPath())) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path m_dir;
};

}  // namespace

TEST_F(GameProgramTest, AHeadlessRunWithAScriptEndsWellAndKeepsItsScreenshots) {
    std::ofstream(m_dir / "input.txt") << "# keys, a tap, a turn and back\n"
                                          "100 press return\n"
                                          "200 tap 100 100\n"
                                          "300 rotate\n"
                                          "600 rotate\n"
                                          "700 power 0x400000\n"
                                          "900 press 5\n";
    const RunResult run = Run({"--data-dir", Data(), "--script", (m_dir / "input.txt").string(), "--screenshot",
                               Shots(), "--screenshot-every", "10"});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    const std::vector<std::string> shots = ShotNames();
    ASSERT_GE(shots.size(), 2u);
    EXPECT_EQ(shots.front(), "frame-000010.png");
    const std::vector<uint8_t> png = Bytes(ShotsPath() / shots.back());
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
}

TEST_F(GameProgramTest, OptionsAreCheckedAndHelpIsShown) {
    const RunResult help = Run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.output.find("--data-dir DIR"), std::string::npos);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--frames", "0"}, {"--backend", "tv"}, {"--what"}, {"stray"},
          {"--backend", "sdl", "--script", "x"}, {"--screenshot-every", "3"}, {"--frames"}}) {
        const RunResult run = Run(args);
        EXPECT_EQ(run.exitCode, 2) << args[0] << ": " << run.output;
    }
}

TEST_F(GameProgramTest, AnUnreadableOrMalformedScriptFails) {
    for (const std::string& path : {(m_dir / "missing.txt").string(), m_dir.string()}) {
        const RunResult unreadable = Run({"--data-dir", Data(), "--script", path});
        EXPECT_EQ(unreadable.exitCode, 1) << path;
        EXPECT_NE(unreadable.output.find("cannot be read"), std::string::npos) << unreadable.output;
    }
    std::ofstream(m_dir / "input.txt") << "100 tap 1 2\n50 press 1\n";
    const RunResult malformed =
        Run({"--data-dir", Data(), "--script", (m_dir / "input.txt").string(), "--frames", "3"});
    EXPECT_EQ(malformed.exitCode, 1);
    EXPECT_NE(malformed.output.find("input script line 2"), std::string::npos) << malformed.output;
}

TEST_F(GameProgramTest, StartUpFailuresGiveStatusOneAndTheirReason) {
    // A screenshot beyond the file-size limit, the run's first write, is
    // one that cannot be written, not the end of the process; none is tried
    // after it, and what could not be written is not left.
    const RunResult limited = Run({"--backend", "headless", "--frames", "3", "--screenshot-every", "1", "--data-dir",
                                   Data(), "--screenshot", (m_dir / "limited").string()},
                                  "ulimit -f 0; ");
    EXPECT_EQ(limited.exitCode, 1) << limited.output;
    EXPECT_NE(limited.output.find("cannot write " + (m_dir / "limited" / "frame-000001.png").string()),
              std::string::npos)
        << limited.output;
    EXPECT_TRUE(fs::is_empty(m_dir / "limited"));
    // So is a reason written to standard error in a file at that limit.
    const RunResult unsaid = RunCommand("ulimit -f 0; sh -c " +
                                        Quoted(Quoted(MCHVX2_PATH) + " --data-dir " + Quoted((m_dir / "absent").string()) +
                                               " 2>" + Quoted((m_dir / "errors.txt").string())));
    EXPECT_EQ(unsaid.exitCode, 1) << unsaid.output;
    const struct {
        const char* file;
        const char* content;
        const char* reason;
    } cases[] = {{"mchvx2.big", nullptr, "missing"}, {"mchvx2.big", "garbage", "corrupt"}};
    for (const auto& c : cases) {
        fs::remove(m_dir / "data" / c.file);
        if (c.content != nullptr) WriteData(c.file, c.content);
        const RunResult run = Run({"--backend", "headless", "--frames", "3", "--data-dir", Data()});
        EXPECT_EQ(run.exitCode, 1) << run.output;
        EXPECT_NE(run.output.find(c.reason), std::string::npos) << run.output;
    }
    std::ofstream(m_dir / "out") << "a file in the way";
    const RunResult blocked = Run({"--backend", "headless", "--data-dir", Data(), "--screenshot", Shots()});
    EXPECT_EQ(blocked.exitCode, 1) << blocked.output;
    EXPECT_NE(blocked.output.find("cannot be made"), std::string::npos) << blocked.output;
    // Refused in one line, as every refusal: no instance runs, so no word
    // of the instance lock that could not be held there.
    const RunResult nowhere = Run({"--backend", "headless", "--data-dir", (m_dir / "absent").string()});
    EXPECT_EQ(nowhere.exitCode, 1);
    EXPECT_EQ(nowhere.output, "mchvx2: the data directory " + (m_dir / "absent").string() + " is missing\n");
    fs::remove(m_dir / "data" / "mchvx2.big");
    ASSERT_EQ(::mkfifo((m_dir / "data" / "mchvx2.big").c_str(), 0644), 0);
    const RunResult pipedArchive = Run({"--backend", "headless", "--frames", "1", "--data-dir", Data()});
    EXPECT_EQ(pipedArchive.exitCode, 1);
    EXPECT_NE(pipedArchive.output.find("mchvx2.big cannot be read (not a regular file)"), std::string::npos)
        << pipedArchive.output;
}

// An archive cut short, as an interrupted copy leaves it, opens, but its
// entries run past its end: the start refuses it in one line.
TEST_F(GameProgramTest, AnArchiveCutShortIsRefused) {
    const fs::path archive = m_dir / "data" / "mchvx2.big";
    fs::resize_file(archive, fs::file_size(archive) / 2);
    const RunResult run = Run({"--backend", "headless", "--frames", "3", "--data-dir", Data()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output, "mchvx2: the archive mchvx2.big is corrupt (its entries run past its end: cut short?)\n");
}

// The superuser writes anywhere: started as root, the run is made as the
// unprivileged user "nobody", to whom the folder is as read-only as to its
// owner.
TEST_F(GameProgramTest, AReadOnlyDataDirectoryIsRefused) {
    std::string asUser;
    if (::geteuid() == 0) {
        if (::system("command -v setpriv >/dev/null 2>&1") != 0) GTEST_SKIP() << "setpriv is not installed";
        asUser = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    }
    fs::permissions(m_dir / "data", fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const RunResult run = Run({"--backend", "headless", "--frames", "1", "--data-dir", Data()}, asUser);
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_EQ(run.output, "mchvx2: the data directory " + Data() + " is not writable (permission denied)\n");
}

// A start removes what saves and start-up checks of ended runs left behind,
// once it is old, and leaves a young file (another host's save, or one not
// locked yet) and the temporary of a save still being written (one whose
// writer holds its lock), however old.
TEST_F(GameProgramTest, AStartRemovesTheLeftoversOfEndedSavesAndChecksOnly) {
    const std::string ended[] = {"temp-0123abcd.dat", "mchvx2_save9-0123abcd.dat", "mchvx2-write-check-0123abcd.tmp"};
    const std::string kept[] = {"temp-live.dat", "temp-young.dat", "mchvx2_save9-fedc.dat"};
    for (const std::string& name : ended) WriteData(name, "ended");
    for (const std::string& name : kept) WriteData(name, "maybe live");
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(2);
    for (const std::string& name : ended) fs::last_write_time(m_dir / "data" / name, old);
    fs::last_write_time(m_dir / "data" / "temp-live.dat", old);
    const int live = ::open((m_dir / "data" / "temp-live.dat").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(live, LOCK_EX | LOCK_NB), 0);
    const RunResult run = Run({"--backend", "headless", "--frames", "1", "--data-dir", Data()});
    ::close(live);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    for (const std::string& name : ended) EXPECT_FALSE(fs::exists(m_dir / "data" / name)) << name;
    for (const std::string& name : kept) EXPECT_TRUE(fs::exists(m_dir / "data" / name)) << name;
}

// Where the instance lock cannot be held (a folder in its place), the run
// says so in one line under the program's name, as every other line, and
// plays on.
TEST_F(GameProgramTest, ALockThatCannotBeHeldIsSaidAndTheRunGoesOn) {
    const fs::path lock = m_dir / "data" / "mchvx2.lock";
    fs::create_directory(lock);
    const RunResult run = Run({"--backend", "headless", "--frames", "3", "--data-dir", Data()});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output.rfind("mchvx2: Instance lock " + lock.string() + " cannot be held (", 0), 0u) << run.output;
    EXPECT_NE(run.output.find("a second instance will not be refused"), std::string::npos) << run.output;
    EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
}

// A screenshot of play, larger than the C library's buffer, written to a
// full disk fails inside the picture library: the run says why in one line
// of its own, the library's words in it.
TEST_F(GameProgramTest, AScreenshotOnAFullDiskFailsInOneLine) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    constexpr int kFrames = 200;
    std::ofstream script(m_dir / "input.txt");
    for (int ms = 500; ms <= 5500; ms += 1000) script << ms << " press return\n";
    script.close();
    char name[32];
    std::snprintf(name, sizeof(name), "frame-%06d.png", kFrames);
    fs::create_directories(ShotsPath());
    fs::create_symlink("/dev/full", ShotsPath() / name);
    const RunResult run = Run({"--data-dir", Data(), "--script", (m_dir / "input.txt").string(), "--frames",
                               std::to_string(kFrames), "--screenshot", Shots()});
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_EQ(run.output.rfind("mchvx2: cannot write " + (ShotsPath() / name).string() + " (", 0), 0u) << run.output;
    EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
}

// A run started without its standard descriptors writes no line into a
// file of its own; a line for a pipe whose reader has gone is one that
// could not be written.
TEST_F(GameProgramTest, StandardStreamsClosedOrBrokenReachNoFileAndFailCleanly) {
    ExpectRunsWithClosedStreamsToEndWell("sh -c ", "");
    const std::string status = (m_dir / "status").string();
    for (const std::string& broken : {ClosedStreamsRun(), Quoted(MCHVX2_PATH) + " --help"}) {
        fs::remove(status);
        RunCommand("sh -c " + Quoted("{ sleep 0.5; " + broken + " 2>&1; echo $? >" + Quoted(status) + "; } | true"));
        EXPECT_EQ(Bytes(status), std::vector<uint8_t>({'1', '\n'})) << broken;
    }
}

// So where /dev/null cannot be opened (an empty /dev, in a mount namespace
// of the test's own), with the debug log on.
TEST_F(GameProgramTest, StandardStreamsClosedWhereNoDevNullOpensReachNoFile) {
    if (::system("unshare -Urm true 2>/dev/null") != 0) {
        GTEST_SKIP() << "no user and mount namespace of the test's own can be made (unshare -Urm)";
    }
    ExpectRunsWithClosedStreamsToEndWell("MCHVX_DEBUG_LOG=1 unshare -Urm sh -c ", "mount -t tmpfs none /dev && ");
}

// A folder's name is bytes to the host. One that is not UTF-8, or holds a
// backslash beside a "back/slash" that differs from it in that byte only,
// is the one folder the run reads, writes and locks; a name too long for
// the game is refused for what it is.
TEST_F(GameProgramTest, TheDataDirectoryIsTheFolderNamedByteForByte) {
    fs::create_directories(m_dir / "back" / "slash");
    // A record that cannot be read: the run names it once it looks for it.
    fs::create_directory(m_dir / "data" / "mchvx2_save1.dat");
    for (const char* name : {"Spiele-\xE4", "back\\slash"}) {
        const fs::path data = m_dir / name;
        fs::rename(m_dir / "data", data);
        const RunResult run = Run({"--backend", "headless", "--frames", "3", "--data-dir", data.string()});
        EXPECT_EQ(run.exitCode, 0) << run.output;
        EXPECT_NE(run.output.find("mchvx2_save1.dat"), std::string::npos) << run.output;
        EXPECT_TRUE(fs::exists(data / "mchvx2.lock")) << name;
        EXPECT_TRUE(fs::is_empty(m_dir / "back" / "slash")) << name;
        const int held = ::open((data / "mchvx2.lock").c_str(), O_RDWR | O_CLOEXEC);
        ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
        const RunResult second = Run({"--backend", "headless", "--frames", "3", "--data-dir", data.string()});
        ::close(held);
        EXPECT_EQ(second.exitCode, 1) << second.output;
        EXPECT_EQ(second.output, "mchvx2: another instance is running from this data directory\n");
        fs::rename(data, m_dir / "data");
    }
    // Standard error on a full disk loses the line that names it: a failure.
    const RunResult unsaid = RunCommand("sh -c " + Quoted(Quoted(MCHVX2_PATH) + " --backend headless --frames 3 --data-dir " +
                                                          Quoted(Data()) + " 2>/dev/full"));
    EXPECT_EQ(unsaid.exitCode, 1) << unsaid.output;
    const fs::path deep = m_dir / std::string(200, 'd') / std::string(60, 'e');
    fs::create_directories(deep);
    const RunResult tooLong = Run({"--backend", "headless", "--frames", "1", "--data-dir", deep.string()});
    EXPECT_EQ(tooLong.exitCode, 1);
    EXPECT_NE(tooLong.output.find("has too long a path for the game"), std::string::npos) << tooLong.output;
    const RunResult root = Run({"--backend", "headless", "--frames", "1", "--data-dir", "/"});
    EXPECT_EQ(root.exitCode, 1);
    EXPECT_NE(root.output.find("is the root folder"), std::string::npos) << root.output;
}

// SDL falls back by itself on video drivers that show nothing, and some it
// tries say why they fail in words of their own: the program says in one
// line why no window could be opened, naming no driver the player did not
// choose.
TEST_F(GameProgramTest, TheSdlBackendWithoutADisplayFails) {
    for (const char* environment : {"env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER ",
                                    "env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11 ",
                                    "env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER -u XDG_RUNTIME_DIR DISPLAY=:97 ",
                                    "env -u DISPLAY -u SDL_VIDEODRIVER -u XDG_RUNTIME_DIR WAYLAND_DISPLAY=wayland-97 ",
                                    "env SDL_VIDEODRIVER=offscreen "}) {
        const RunResult run = Run({"--backend", "sdl", "--frames", "1", "--data-dir", Data()}, environment);
        EXPECT_EQ(run.exitCode, 1) << environment << run.output;
        EXPECT_EQ(run.output.rfind("mchvx2: no display for the sdl backend (", 0), 0u) << run.output;
        EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
        const bool chosen = std::string(environment).find("offscreen") != std::string::npos;
        EXPECT_EQ(run.output.find("offscreen") != std::string::npos, chosen) << run.output;
    }
}

// Without a display the program runs headless by itself; it says so, and
// how to drive such a run.
TEST_F(GameProgramTest, AHeadlessRunForWantOfADisplaySaysSo) {
    const RunResult run = Run({"--data-dir", Data()}, "env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER ");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    for (const char* said : {"no display found", "headless", "presented 1 frame ", "--script", "--frames",
                             "--screenshot"}) {
        EXPECT_NE(run.output.find(said), std::string::npos) << said << ": " << run.output;
    }
    const RunResult asked = Run({"--backend", "headless", "--data-dir", Data()});
    EXPECT_EQ(asked.exitCode, 0) << asked.output;
    EXPECT_EQ(asked.output.find("no display"), std::string::npos) << asked.output;
}

// The orientation screen makes a first frame with text in the game's font.
TEST_F(GameProgramTest, ADesktopWindowShowsTheSameFirstFrameAsAHeadlessRun) {
    if (::system("command -v xvfb-run >/dev/null 2>&1") != 0) GTEST_SKIP() << "xvfb-run is not installed";
    WriteData("device.conf", "KEYS=0\nORIENTATION_SUPPORT=LANDSCAPE_ONLY\nORIENTATION_MESSAGE=Please turn the "
                             "device to play\n");
    const RunResult headless =
        Run({"--backend", "headless", "--frames", "1", "--data-dir", Data(), "--screenshot", Shots()});
    ASSERT_EQ(headless.exitCode, 0) << headless.output;
    fs::rename(ShotsPath() / "frame-000001.png", m_dir / "headless.png");
    const RunResult desktop = Run({"--backend", "sdl", "--frames", "1", "--data-dir", Data(), "--screenshot", Shots()},
                                  "env -u SDL_VIDEODRIVER xvfb-run -a -s '-screen 0 1024x768x24' ");
    ASSERT_EQ(desktop.exitCode, 0) << desktop.output;
    const std::vector<uint8_t> expected = Bytes(m_dir / "headless.png");
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(Bytes(ShotsPath() / "frame-000001.png"), expected);
}

namespace {

// Presses Return on the X display once the program has presented each of
// the given frames (it writes a screenshot of every frame into SHOTS), so
// the presses meet the same screens as in a headless run whatever the
// machine's speed. Uses the X test extension through ctypes, so nothing but
// the libraries is needed.
constexpr const char* kReturnPresser =
    "import ctypes,os,sys,time\n"
    "x=ctypes.CDLL('libX11.so.6');t=ctypes.CDLL('libXtst.so.6')\n"
    "x.XOpenDisplay.restype=ctypes.c_void_p\n"
    "x.XKeysymToKeycode.argtypes=[ctypes.c_void_p,ctypes.c_ulong]\n"
    "t.XTestFakeKeyEvent.argtypes=[ctypes.c_void_p,ctypes.c_uint,ctypes.c_int,ctypes.c_ulong]\n"
    "x.XFlush.argtypes=[ctypes.c_void_p]\n"
    "d=x.XOpenDisplay(None)\n"
    "k=x.XKeysymToKeycode(d,0xff0d)\n"
    "end=time.time()+240\n"
    "for frame in sys.argv[2:]:\n"
    " shot=os.path.join(sys.argv[1],'frame-%06d.png'%int(frame))\n"
    " while not os.path.exists(shot) and time.time()<end: time.sleep(0.01)\n"
    " t.XTestFakeKeyEvent(d,k,1,0);x.XFlush(d);time.sleep(0.05)\n"
    " t.XTestFakeKeyEvent(d,k,0,0);x.XFlush(d)\n";

// The screenshots of a run in frame order, each kept once where the next
// frames repeat it: the pictures a person saw, whatever the frame timing.
std::vector<std::vector<uint8_t>> DistinctFrames(const fs::path& directory, size_t fromFrame) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(directory)) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    std::vector<std::vector<uint8_t>> frames;
    for (size_t i = fromFrame > 0 ? fromFrame - 1 : 0; i < files.size(); ++i) {
        std::vector<uint8_t> frame = Bytes(files[i]);
        if (frames.empty() || frames.back() != frame) frames.push_back(std::move(frame));
    }
    return frames;
}

}  // namespace

// Five presses of Return lead from the start into the first level. On the
// desktop they come from the X server once the frames the headless run
// pressed at have been presented, and the frame time follows the wall
// clock, so the two runs are compared by what they show: from the first
// level's loading on, the pictures follow each other the same way.
TEST_F(GameProgramTest, TheFirstLevelOnADesktopWindowShowsWhatAHeadlessRunShows) {
    if (::system("command -v xvfb-run >/dev/null 2>&1 && command -v python3 >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "xvfb-run or python3 is not installed";
    }
    // The headless run's fifth press (at 5000 ms) starts the level's loading.
    constexpr size_t kLoadingFrame = 5000 / 40 + 1;
    constexpr size_t kComparedPictures = 60;
    // Every frame is kept as a picture, the run's main cost. The compared
    // pictures end by frame 186 headless; the rest leaves room for a desktop
    // whose presses arrive frames late on a busy machine.
    constexpr int kFrames = 250;
    std::ofstream(m_dir / "input.txt") << "1000 press return\n2000 press return\n3000 press return\n"
                                          "4000 press return\n5000 press return\n";
    const RunResult headless = Run({"--backend", "headless", "--script", (m_dir / "input.txt").string(), "--frames",
                                    std::to_string(kFrames), "--data-dir", Data(), "--screenshot", Shots(),
                                    "--screenshot-every", "1"});
    ASSERT_EQ(headless.exitCode, 0) << headless.output;
    fs::rename(ShotsPath(), m_dir / "headless");
    fs::remove(m_dir / "data" / "mchvx2_save0.dat");
    std::ofstream(m_dir / "presser.py") << kReturnPresser;
    const std::string program = Quoted(MCHVX2_PATH) + " --backend sdl --frames " + std::to_string(kFrames) +
                                " --data-dir " + Quoted(Data()) + " --screenshot " + Quoted(Shots()) +
                                " --screenshot-every 1";
    // The headless presses fall at 1000 to 5000 ms: frames 25, 50, 75, 100 and 125.
    const std::string both = program + " & python3 " + Quoted((m_dir / "presser.py").string()) + " " +
                             Quoted(Shots()) + " 25 50 75 100 125; wait $!";
    const RunResult desktop = RunCommand("env -u SDL_VIDEODRIVER timeout 300 xvfb-run -a -s '-screen 0 1024x768x24' sh -c " +
                                         Quoted(both));
    ASSERT_EQ(desktop.exitCode, 0) << desktop.output;

    const std::vector<std::vector<uint8_t>> expected = DistinctFrames(m_dir / "headless", kLoadingFrame);
    const std::vector<std::vector<uint8_t>> shown = DistinctFrames(ShotsPath(), 0);
    ASSERT_GE(expected.size(), kComparedPictures);
    const auto start = std::find(shown.begin(), shown.end(), expected.front());
    ASSERT_NE(start, shown.end()) << "the desktop run never showed the first level's loading";
    const size_t available = static_cast<size_t>(shown.end() - start);
    ASSERT_GE(available, kComparedPictures) << "the desktop run ended too soon after the level's loading";
    for (size_t i = 0; i < kComparedPictures; ++i) {
        EXPECT_TRUE(start[static_cast<std::ptrdiff_t>(i)] == expected[i]) << "picture " << i << " of the level differs";
    }
}
