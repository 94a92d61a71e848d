// The mchvx2 program run headless with a script from its start through
// every page and message box of the main menu and out through the quit
// question: checked by the states the game reports in its debug log, with
// a screenshot every few frames kept for people to look at. (Play, whose
// timing is the level's, is driven frame by frame in ScreensPlayTest.)

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "CStates.h"

#ifndef MCHVX2_PATH
#error "src/app/CMakeLists.txt gives the tests the program's path"
#endif

namespace fs = std::filesystem;

namespace {

// Times are ms of the script's clock; the splash is over well before 14 s.
constexpr char kScript[] =
    "1000 press RETURN\n"  // the sound question: no
    "14000 press DOWN\n"
    "14500 press RETURN\n"  // options
    "15000 press DOWN\n"
    "15500 press RETURN\n"  // reset progress?
    "16000 press RETURN\n"  // no
    "16500 press ESCAPE\n"  // back to the main menu
    "17000 press DOWN\n"
    "17500 press RETURN\n"  // help
    "18000 press ESCAPE\n"
    "18500 press DOWN\n"
    "19000 press RETURN\n"  // about
    "19500 press ESCAPE\n"
    "20000 press DOWN\n"
    "20500 press RETURN\n"  // quit?
    "21000 press RETURN\n"  // no
    "21500 press ESCAPE\n"  // quit? (back in the main menu)
    "22000 press DOWN\n"
    "22500 press RETURN\n"  // yes: goodbye
    "23000 press RETURN\n";

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// The states in the order the debug log names them.
std::vector<int32_t> StatesOf(const std::string& log) {
    std::vector<int32_t> states;
    std::istringstream lines(log);
    std::string line;
    const std::string prefix = "screen state ";
    while (std::getline(lines, line)) {
        if (line.rfind(prefix, 0) == 0) states.push_back(std::stoi(line.substr(prefix.size())));
    }
    return states;
}

}  // namespace

TEST(ScreensProgramTest, AScriptedRunPassesEveryMenuPageAndMessageBox) {
    const fs::path dir = fs::temp_directory_path() / ("mchvx2-screens-" + std::to_string(::getpid()));
    const fs::path shots = fs::current_path() / "screens" / "program";
    fs::create_directories(dir);
    fs::remove_all(shots);
    fs::create_directories(shots);
    const fs::path program = fs::path(MCHVX2_PATH).parent_path();
    for (const char* file : {"mchvx2.big", "properties.dat", "device.conf", "softkey.conf"}) {
        fs::copy_file(program / file, dir / file);
    }
    std::ofstream(dir / "script.txt") << kScript;
    const std::string command = "MCHVX_DEBUG_LOG=1 timeout 120 " + Quoted(MCHVX2_PATH) + " --script " +
                                Quoted((dir / "script.txt").string()) + " --data-dir " + Quoted(dir.string()) +
                                " --screenshot " + Quoted(shots.string()) + " --screenshot-every 10 2>&1";
    std::string log;
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char chunk[4096];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof(chunk), pipe)) > 0) log.append(chunk, got);
    const int status = ::pclose(pipe);
    fs::remove_all(dir);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << log.substr(log.size() > 2000 ? log.size() - 2000 : 0);

    const std::vector<int32_t> boot = {CStates::kStartupChecks, CStates::kInterfaceSetup, CStates::kMessageBox,
                                       CStates::kSoundNo,       CStates::kLogoSlide,      CStates::kLogoPieces,
                                       CStates::kLogoWhole,     CStates::kTitle,          CStates::kLogoWipe,
                                       CStates::kIntroImage,    CStates::kIntroImage,     CStates::kSplashEnd,
                                       CStates::kMainMenu};
    const std::vector<int32_t> menus = {
        CStates::kOptions,  CStates::kMessageBox, CStates::kOptions,    CStates::kMainMenu, CStates::kHelp,
        CStates::kMainMenu, CStates::kAbout,      CStates::kMainMenu,   CStates::kMessageBox, CStates::kMainMenu,
        CStates::kMessageBox, CStates::kGoodbye,  CStates::kQuit};
    std::vector<int32_t> expected = boot;
    expected.insert(expected.end(), menus.begin(), menus.end());
    EXPECT_EQ(StatesOf(log), expected);
    int32_t screenshots = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(shots)) screenshots += entry.path().extension() == ".png";
    EXPECT_GT(screenshots, 30);
}
