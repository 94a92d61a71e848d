#ifndef GAMEAPPFIXTURE_H
#define GAMEAPPFIXTURE_H

#include <gtest/gtest.h>

#include "AppTestData.h"
#include "AssertCounter.h"
#include "CGameApp.h"
#include "HostTestEnvironment.h"

class CCore_Win32;
class HeadlessBackend;

// The game application on the handset stand-in (a 480 x 640 portrait
// screen, so a 240 x 320 window surface), started on data the test writes
// into the application directory, with the platform's core object.
class GameAppFixture : public ::testing::Test {
protected:
    void TearDown() override;

    // Writes the archive, then creates, publishes and starts the
    // application; Init's result.
    int32_t Start(const apptest::ArchiveSpec& spec = apptest::ArchiveSpec());
    // Start, then the AppStart event as the shell sends it.
    void StartRunning(const apptest::ArchiveSpec& spec = apptest::ArchiveSpec());
    void WriteFile(const std::string& name, const std::string& text) const {
        apptest::WriteText(m_environment.Directory(), name, text);
    }
    // Shuts down and deletes the application, as the shell does.
    void Stop();
    // One event handed to the application, then one frame.
    void Event(uint32_t id, uint32_t arg1 = 0, uint32_t arg2 = 0) { m_app->HandleEvent(id, arg1, arg2); }
    void Frame() { m_app->RunFrame(); }
    // The pixel (x, y) of the game's screen (the window surface, half the
    // display) in the last presented frame, as 0xRRGGBB.
    uint32_t ScreenRgb(int32_t x, int32_t y) const;
    // The display keeps 5 or 6 bits a channel: colours compare within 8.
    static bool NearRgb(uint32_t a, uint32_t b);

    HostTestEnvironment m_environment;
    AssertCounter m_asserts;
    CGameApp* m_app = nullptr;
    CCore_Win32* m_core = nullptr;
    // Start writes the archive unless told not to.
    bool m_writeArchive = true;
    // Keeps the presented frames; owned by the window system.
    HeadlessBackend* m_backend = nullptr;
};

#endif
