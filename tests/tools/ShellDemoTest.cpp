// The shell demo as a person runs it, headless: the built program with an
// input script on the virtual clock, its exit status and its closing report.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#ifndef SHELLDEMO_PATH
#error "tools/shelldemo/CMakeLists.txt gives the tests the program's path"
#endif

namespace {

struct RunResult {
    int exitCode = -1;
    // Standard output and standard error together.
    std::string output;
};

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

class ShellDemoTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        m_dir = std::filesystem::temp_directory_path() / ("shelldemo-" + name + "-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::string WriteScript(const std::string& text) const {
        const std::string path = (m_dir / "input.txt").string();
        std::ofstream(path) << text;
        return path;
    }

    // A run that does not end within a minute is stopped and fails.
    static RunResult Run(const std::vector<std::string>& args) {
        std::string command = "timeout 60 " + Quoted(SHELLDEMO_PATH);
        for (const std::string& arg : args) command += " " + Quoted(arg);
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

    std::filesystem::path m_dir;
};

// The handset stand-in is a 480 x 640 portrait screen; the window surface
// and the stylus points the application receives are at half that.
TEST_F(ShellDemoTest, TapKeyAndTurnReachTheApplication) {
    const std::string script = WriteScript(
        "# a tap, a key and a turn of the device\n"
        "100 tap 81 121\n"
        "200 press return\n"
        "300 rotate\n");
    const RunResult run = Run({"--backend", "headless", "--script", script, "--frames", "12"});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("frames painted 12,"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("last stylus point (40, 60)"), std::string::npos) << run.output;
    // Return is the select key, engine code 11.
    EXPECT_NE(run.output.find("last key 11"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("last surface 320x240"), std::string::npos) << run.output;
}

// Without a frame limit a headless run ends once its script has been
// played; the script implies the headless backend.
TEST_F(ShellDemoTest, HeadlessRunEndsAfterItsScript) {
    const RunResult run = Run({"--script", WriteScript("400 press 7\n")});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("last key 55\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("last stylus point none"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("last surface 240x320"), std::string::npos) << run.output;
}

TEST_F(ShellDemoTest, HelpAndBadUsage) {
    const RunResult help = Run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.output.find("Usage: shelldemo"), std::string::npos);

    const std::vector<std::vector<std::string>> badUsages = {
        {"--backend", "window"}, {"--frames", "0"},      {"--frames", "12x"},
        {"--frames"},            {"--unknown"},          {"stray"},
        {"--frames=2147483648"}, {"--backend=sdl", "--script", "input.txt"},
    };
    for (const std::vector<std::string>& args : badUsages) {
        const RunResult run = Run(args);
        EXPECT_EQ(run.exitCode, 2) << args[0] << ": " << run.output;
        EXPECT_NE(run.output.find("Try 'shelldemo --help'"), std::string::npos) << run.output;
    }
}

TEST_F(ShellDemoTest, UnreadableOrMalformedScriptFails) {
    for (const std::string& path : {(m_dir / "missing.txt").string(), m_dir.string()}) {
        const RunResult unreadable = Run({"--script", path});
        EXPECT_EQ(unreadable.exitCode, 1) << path;
        EXPECT_NE(unreadable.output.find("cannot be read"), std::string::npos) << unreadable.output;
    }

    const RunResult malformed = Run({"--script", WriteScript("100 tap 1 2\n50 press 1\n"), "--frames", "3"});
    EXPECT_EQ(malformed.exitCode, 1);
    EXPECT_NE(malformed.output.find("input script line 2"), std::string::npos) << malformed.output;
}

}  // namespace
