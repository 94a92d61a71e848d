#include "ScreensFixture.h"

#include <filesystem>
#include <fstream>

#include "CHud.h"
#include "EngineEvents.h"
#include "GameKeys.h"
#include "HeadlessBackend.h"
#include "HostPngWriter.h"

#ifndef MCHVX2_PATH
#error "src/app/CMakeLists.txt gives the tests the program's path"
#endif

namespace fs = std::filesystem;

void ScreensFixture::SetUp() { UseProgramContent(); }

void ScreensFixture::UseProgramContent(const std::string& deviceConf) {
    const fs::path program = fs::path(MCHVX2_PATH).parent_path();
    for (const char* file : {"mchvx2.big", "properties.dat", "device.conf", "softkey.conf"}) {
        fs::copy_file(program / file, fs::path(m_environment.Directory()) / file, fs::copy_options::overwrite_existing);
    }
    if (!deviceConf.empty()) WriteFile("device.conf", deviceConf);
    m_writeArchive = false;
}

void ScreensFixture::Press(int32_t engineKey) {
    Event(EngineEvent::kKeyPressed, static_cast<uint32_t>(engineKey));
    Event(EngineEvent::kKeyReleased, static_cast<uint32_t>(engineKey));
    Frame();
}

void ScreensFixture::Frames(int32_t count) {
    for (int32_t i = 0; i < count; ++i) Frame();
}

bool ScreensFixture::RunUntil(int32_t state, int32_t limit) {
    for (int32_t i = 0; i < limit && State() != state; ++i) Frame();
    return State() == state;
}

void ScreensFixture::Choose(int32_t row) {
    CHud* hud = CGame::GetHud();
    for (int32_t i = 0; i < 40 && hud->selected != row; ++i) Press(hud->selected < row ? EngineKey::kDown : EngineKey::kUp);
    // The page takes the HUD's row at the end of the frame that moved it.
    Frame();
    Press(EngineKey::kSelect);
}

void ScreensFixture::BootToMainMenu(int32_t soundAnswerRow) {
    StartRunning();
    ASSERT_TRUE(RunUntil(CStates::kMessageBox));
    Choose(soundAnswerRow);
    ASSERT_TRUE(RunUntil(CStates::kMainMenu, 1000));
    Frame();
}

std::vector<int32_t> ScreensFixture::StatesSinceMark() const {
    const JVector<int32_t>& history = States().GetHistory();
    std::vector<int32_t> states;
    for (int32_t i = m_mark; i < history.size(); ++i) states.push_back(history.elementAt(i));
    return states;
}

void ScreensFixture::SaveScreenshot(const std::string& name) const {
    const fs::path directory = fs::current_path() / "screens";
    fs::create_directories(directory);
    std::string error;
    EXPECT_TRUE(HostPngWriter::Write(m_backend->LastFrame(), (directory / (name + ".png")).string(), &error)) << error;
}
