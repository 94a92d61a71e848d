// Each level played from its start to its end by the mchvx2 program,
// headless (virtual clock, so the same input always plays the same game),
// from an input script in tests/app/replays; and the run of all nine levels
// from a new game through the ending back to the main menu.
//
// A level's script starts the program, answers the menus and picks the
// level from the level list, which the progress record (record 1, the
// highest level reached) opens up to it, so no earlier level is replayed.
// Lines "# shot NAME MS" in a script name moments whose screenshots the test
// keeps in replays/ of its build folder for people to look at (the level's
// start, a boss fight).

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#ifndef MCHVX2_PATH
#error "src/app/CMakeLists.txt gives the tests the program's path"
#endif

namespace fs = std::filesystem;

namespace {

constexpr int32_t kLevelCount = 9;
// The program's frame on the virtual clock.
constexpr int32_t kFrameMs = 40;
// Screenshots are taken this often while a replay runs (one a second); a
// named moment keeps the one nearest to it.
constexpr int32_t kShotEveryFrames = 25;
constexpr int32_t kRunTimeoutSeconds = 900;

fs::path ProgramDirectory() { return fs::path(MCHVX2_PATH).parent_path(); }
// The source tree the program's build was configured from, as its cache
// records it.
fs::path SourceDirectory() {
    std::ifstream cache(ProgramDirectory().parent_path() / "CMakeCache.txt");
    const std::string key = "CMAKE_HOME_DIRECTORY:INTERNAL=";
    std::string line;
    while (std::getline(cache, line)) {
        if (line.rfind(key, 0) == 0) return line.substr(key.size());
    }
    return fs::path();
}
fs::path ReplayDirectory() { return SourceDirectory() / "tests" / "app" / "replays"; }
// Level 0's script is level1.txt.
fs::path LevelScript(int32_t level) { return ReplayDirectory() / ("level" + std::to_string(level + 1) + ".txt"); }
fs::path ShotDirectory() { return fs::current_path() / "replays"; }

struct NamedShot {
    std::string name;
    int32_t ms = 0;
};

// The "# shot NAME MS" lines of a script.
std::vector<NamedShot> NamedShots(const fs::path& script) {
    std::vector<NamedShot> shots;
    std::ifstream in(script);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string hash, keyword;
        NamedShot shot;
        if (words >> hash >> keyword >> shot.name >> shot.ms && hash == "#" && keyword == "shot") shots.push_back(shot);
    }
    return shots;
}

std::vector<uint8_t> Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Outcome {
    int exitCode = -1;
    long peakKb = 0;
    std::string output;
};

class LevelReplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        m_dir = fs::temp_directory_path() / ("mchvx2-replay-" + name + "-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir / "data");
        fs::create_directories(m_dir / "shots");
        for (const char* file : {"mchvx2.big", "properties.dat", "device.conf", "softkey.conf"}) {
            fs::copy_file(ProgramDirectory() / file, m_dir / "data" / file);
        }
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path Data() const { return m_dir / "data"; }
    fs::path Shots() const { return m_dir / "shots"; }

    // The progress record as the game writes it: the highest level reached,
    // 0 for the first, as 4 little-endian bytes.
    void WriteHighestLevel(int32_t level) const {
        const uint8_t bytes[4] = {static_cast<uint8_t>(level), 0, 0, 0};
        std::ofstream(Data() / "mchvx2_save1.dat", std::ios::binary).write(reinterpret_cast<const char*>(bytes), 4);
    }
    // -1 without a record.
    int32_t HighestLevel() const {
        const std::vector<uint8_t> bytes = Bytes(Data() / "mchvx2_save1.dat");
        if (bytes.size() < 4) return -1;
        return static_cast<int32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24);
    }

    // The program replaying the script to its last line, with a screenshot
    // every second; the peak resident memory the kernel counted for it.
    Outcome Replay(const fs::path& script) const {
        const std::string log = (m_dir / "output.txt").string();
        const std::string every = std::to_string(kShotEveryFrames);
        const std::string timeout = std::to_string(kRunTimeoutSeconds);
        Outcome outcome;
        const pid_t child = ::fork();
        if (child == 0) {
            std::freopen(log.c_str(), "w", stdout);
            ::dup2(::fileno(stdout), STDERR_FILENO);
            ::alarm(kRunTimeoutSeconds);
            ::execl(MCHVX2_PATH, MCHVX2_PATH, "--backend", "headless", "--script", script.c_str(), "--data-dir",
                    Data().c_str(), "--screenshot", Shots().c_str(), "--screenshot-every", every.c_str(),
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        int status = 0;
        struct rusage usage {};
        if (child > 0 && ::wait4(child, &status, 0, &usage) == child) {
            outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            outcome.peakKb = usage.ru_maxrss;
        }
        std::ifstream in(log);
        outcome.output.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return outcome;
    }

    // The screenshot taken nearest to `ms`, or the last one.
    fs::path ShotAt(int32_t ms) const {
        const int32_t wanted = (ms / kFrameMs + kShotEveryFrames / 2) / kShotEveryFrames * kShotEveryFrames;
        char name[32];
        std::snprintf(name, sizeof(name), "frame-%06d.png", wanted);
        if (fs::exists(Shots() / name)) return Shots() / name;
        return LastShot();
    }
    fs::path LastShot() const {
        fs::path last;
        for (const auto& entry : fs::directory_iterator(Shots())) {
            if (last.empty() || entry.path().filename() > last.filename()) last = entry.path();
        }
        return last;
    }

    // Keeps the script's named moments, as PREFIX-NAME.png.
    void KeepNamedShots(const fs::path& script, const std::string& prefix) const {
        fs::create_directories(ShotDirectory());
        for (const NamedShot& shot : NamedShots(script)) {
            const fs::path from = ShotAt(shot.ms);
            ASSERT_FALSE(from.empty()) << "no screenshot for " << shot.name;
            fs::copy_file(from, ShotDirectory() / (prefix + "-" + shot.name + ".png"),
                          fs::copy_options::overwrite_existing);
        }
    }

    fs::path m_dir;
};

class LevelReplay : public LevelReplayTest, public ::testing::WithParamInterface<int32_t> {};

}  // namespace

// Level N's script begins with the progress record opening the list up to
// it and ends once the level is complete: the record then holds the next
// level. The last level's end leads to the ending and the main menu, and
// the record stays at the last level.
TEST_P(LevelReplay, TheLevelIsPlayedFromItsStartToItsEnd) {
    const int32_t level = GetParam();
    const fs::path script = LevelScript(level);
    ASSERT_TRUE(fs::exists(script)) << "the replay of level " << level + 1 << " is missing: " << script;
    if (level > 0) WriteHighestLevel(level);
    const Outcome run = Replay(script);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    KeepNamedShots(script, "level" + std::to_string(level + 1));
    EXPECT_EQ(HighestLevel(), std::min(level + 1, kLevelCount - 1));
    EXPECT_FALSE(NamedShots(script).empty()) << "the script names no moment to keep";
}

INSTANTIATE_TEST_SUITE_P(Levels, LevelReplay, ::testing::Range(0, kLevelCount),
                         [](const ::testing::TestParamInfo<int32_t>& info) {
                             return "Level" + std::to_string(info.param + 1);
                         });

// A new game through all nine levels and the ending, back at the main menu:
// each level's script is played in turn in one data folder, picking the
// level from the list that the previous level's completion opened (the
// settings record goes between runs, so every boot asks and shows what a
// first boot does, as when the scripts were written). The last frame is the
// main menu a new run shows after the same boot with the last level reached.
TEST_F(LevelReplayTest, AllNineLevelsAreCompletedAndTheEndingLeadsBackToTheMenu) {
    for (int32_t level = 0; level < kLevelCount; ++level) {
        ASSERT_TRUE(fs::exists(LevelScript(level)))
            << "the replay of level " << level + 1 << " is missing: " << LevelScript(level);
    }
    long peakKb = 0;
    for (int32_t level = 0; level < kLevelCount; ++level) {
        fs::remove(Data() / "mchvx2_save0.dat");
        fs::remove_all(Shots());
        fs::create_directories(Shots());
        const Outcome run = Replay(LevelScript(level));
        ASSERT_EQ(run.exitCode, 0) << "level " << level + 1 << ": " << run.output;
        ASSERT_EQ(HighestLevel(), std::min(level + 1, kLevelCount - 1)) << "after level " << level + 1;
        peakKb = std::max(peakKb, run.peakKb);
    }
    const std::vector<uint8_t> lastFrame = Bytes(LastShot());
    std::printf("the nine-level run's peak resident memory: %ld kB\n", peakKb);

    fs::remove(Data() / "mchvx2_save0.dat");
    fs::remove_all(Shots());
    fs::create_directories(Shots());
    const Outcome menu = Replay(ReplayDirectory() / "main-menu.txt");
    ASSERT_EQ(menu.exitCode, 0) << menu.output;
    EXPECT_EQ(lastFrame, Bytes(LastShot())) << "the run did not end at the main menu";
}
