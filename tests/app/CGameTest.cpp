// The game object inside the running application: keys and taps from the
// engine's events to the game's masks, the fixed step, pause and resume,
// and the records it keeps.

#include "GameAppFixture.h"

#include "AppWorld.h"
#include "CGame.h"
#include "CGameInput.h"
#include "CGameProgress.h"
#include "CGameTimers.h"
#include "CGameWorld.h"
#include "CHud.h"
#include "CSoundManager.h"
#include "CStates.h"
#include "CTouchButtonLayout.h"
#include "CTouchButtonManager.h"
#include "EngineEvents.h"
#include "HostFile.h"
#include "HostSaveTemporary.h"
#include "JFont.h"
#include "RecordStore.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace GameKey;

// The window surface of the stand-in's portrait handset.
constexpr int32_t kScreenW = 240;
constexpr int32_t kScreenH = 320;

uint32_t Point(int32_t x, int32_t y) { return static_cast<uint32_t>(x) | static_cast<uint32_t>(y) << 16; }

bool FailTempWrites(HostFile::Op op, const std::string& path) {
    return op == HostFile::Op::Write && HostSaveTemporary::IsTemporaryName(std::filesystem::path(path).filename());
}

bool FailRecordDeletes(HostFile::Op op, const std::string& path) {
    return op == HostFile::Op::Delete && path.find("mchvx2_save") != std::string::npos;
}

// As records without read permission: what is there cannot be opened.
bool FailRecordOpens(HostFile::Op op, const std::string& path) {
    return op == HostFile::Op::Open && path.find("mchvx2_save") != std::string::npos &&
           std::filesystem::exists(path);
}

}  // namespace

class GameTest : public GameAppFixture {
protected:
    void SetUp() override {
        StartRunning();
        // These tests drive the HUD and the input themselves: the screens
        // stand still in a state without a step.
        CGame::GetStateMachine()->state = 0;
        // The first frame after the start.
        Frame();
    }
    void TearDown() override {
        HostFile::SetFaultHook(nullptr);
        GameAppFixture::TearDown();
    }

    CGame& Game() const { return *m_app->GetGame(); }
    CGameInput& Input() const { return *CGame::GetInput(); }
    void Key(uint32_t code, bool down) {
        Event(down ? EngineEvent::kKeyPressed : EngineEvent::kKeyReleased, code);
    }
    void Tap(uint32_t id, int32_t x, int32_t y) { Event(id, 0, Point(x, y)); }

    std::string Path(const std::string& name) const { return m_environment.Directory() + "/" + name; }
    std::vector<uint8_t> FileBytes(const std::string& name) const {
        std::ifstream in(Path(name), std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes) const {
        std::ofstream out(Path(name), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(Path(name)); }
    // Whether a file whose name starts with `stem`, or a save's temporary,
    // is left in the folder.
    bool LeftBehind(const std::string& stem) const {
        for (const auto& entry : std::filesystem::directory_iterator(m_environment.Directory())) {
            const std::string name = entry.path().filename();
            if (name.rfind(stem, 0) == 0 || HostSaveTemporary::IsTemporaryName(name)) return true;
        }
        return false;
    }
};

TEST_F(GameTest, PartsAreReachedThroughTheGame) {
    EXPECT_EQ(CGame::Get(), m_app->GetGame());
    for (const void* part : {static_cast<const void*>(CGame::GetInput()), static_cast<const void*>(CGame::GetHud()),
                             static_cast<const void*>(CGame::GetTimers()), static_cast<const void*>(CGame::GetProgress()),
                             static_cast<const void*>(CGame::GetWorld()), static_cast<const void*>(CGame::GetSound()),
                             static_cast<const void*>(CGame::GetStateMachine()),
                             static_cast<const void*>(CGame::GetTouchButtons())}) {
        EXPECT_NE(part, nullptr);
    }
    EXPECT_EQ(GetAppWorld(), CGame::GetWorld());
    CGameWorld other;
    CGameWorld* own = GetAppWorld();
    SetAppWorld(&other);
    EXPECT_EQ(GetAppWorld(), &other);
    SetAppWorld(own);
    EXPECT_EQ(Game().GetScreenWidth(), kScreenW);
    EXPECT_EQ(Game().GetHalfHeight(), kScreenH / 2);
    EXPECT_TRUE(CGame::GetTouchButtons()->IsEnabled(CTouchButtonLayout::kGroupSoftKeys));
    EXPECT_FALSE(CGame::GetTouchButtons()->IsEnabled(CTouchButtonLayout::kGroupPad));
}

TEST_F(GameTest, KeysReachTheMasksAtTheNextUpdate) {
    Key(EngineKey::kRight, true);
    EXPECT_FALSE(Input().AnyPressed());
    Frame();
    EXPECT_EQ(Input().pressed, kRight);
    EXPECT_TRUE(Input().IsHeld(kRight));
    Frame();
    EXPECT_FALSE(Input().AnyPressed());
    EXPECT_TRUE(Input().IsHeld(kRight));
    Key(EngineKey::kRight, false);
    Key('5', true);
    Key('5', false);
    Frame();
    EXPECT_EQ(Input().released, kRight | kOpenOrConfirm);
    EXPECT_EQ(Input().pressed, kOpenOrConfirm);
    EXPECT_EQ(Input().held, 0u);
    // A soft key comes only as a press.
    Key(EngineKey::kSoftRight, true);
    Frame();
    EXPECT_TRUE(Input().IsPressed(kSoftRight));
}

TEST_F(GameTest, TapsPressTheTopmostEnabledButton) {
    // The left soft key at the bottom-left corner.
    Tap(EngineEvent::kMouseButtonDown, 3, kScreenH - 2);
    Frame();
    EXPECT_EQ(Input().pressed, kConfirm);
    Tap(EngineEvent::kMouseButtonUp, 3, kScreenH - 2);
    Frame();
    EXPECT_EQ(Input().held, 0u);

    // The pad's up key answers once its group is on. Pad origin (3, 153).
    const int32_t upX = 3 + 35 + 5;
    const int32_t upY = 153 + 5 + 5;
    Tap(EngineEvent::kMouseButtonDown, upX, upY);
    Frame();
    EXPECT_FALSE(Input().AnyPressed());
    Tap(EngineEvent::kMouseButtonUp, upX, upY);
    Frame();
    CGame::GetTouchButtons()->Enable(CTouchButtonLayout::kGroupPad);
    Tap(EngineEvent::kMouseButtonDown, upX, upY);
    Frame();
    EXPECT_EQ(Input().pressed, kUp);
    Frame();
    EXPECT_TRUE(Input().IsHeld(kUp));
    EXPECT_FALSE(Input().AnyPressed());
    Tap(EngineEvent::kMouseButtonUp, upX, upY);
    Frame();
    EXPECT_FALSE(Input().IsHeld(kUp));
}

TEST_F(GameTest, TheGameWithdrawsItsWorldWhenItGoes) {
    ASSERT_NE(GetAppWorld(), nullptr);
    Stop();
    EXPECT_EQ(GetAppWorld(), nullptr);
}

TEST_F(GameTest, PointerCoordinatesAreTheHalvesOfTheSecondArgument) {
    Event(EngineEvent::kMouseButtonDown, 0, (240u << 16) | 120u);
    Frame();
    EXPECT_EQ(CGame::GetTouchButtons()->GetX(), 120);
    EXPECT_EQ(CGame::GetTouchButtons()->GetY(), 240);
    // Moves and double clicks are not the game's.
    Event(EngineEvent::kMouseMove, 0, Point(7, 7));
    Frame();
    EXPECT_EQ(CGame::GetTouchButtons()->GetX(), 120);
}

TEST_F(GameTest, OrientationChangeLetsGoOfEveryKeyAndThePointer) {
    Key(EngineKey::kLeft, true);
    Tap(EngineEvent::kMouseButtonDown, 3, kScreenH - 2);
    Event(EngineEvent::kOrientationFollowUp);
    Frame();
    EXPECT_FALSE(Input().AnyPressed());
    EXPECT_EQ(Input().held, 0u);
    EXPECT_FALSE(CGame::GetTouchButtons()->IsDown());
}

// A held key repeats in the HUD's menu after 500 ms of game time and then
// every 150 ms.
TEST_F(GameTest, HeldKeyRepeatsInAMenu) {
    CHud& hud = *CGame::GetHud();
    JVector<JString> labels;
    for (int32_t i = 0; i < 20; ++i) labels.addElement(JString("ITEM") + i);
    hud.ShowMenu(labels, 0xFFFFF, JString(), JString());
    Key(EngineKey::kDown, true);
    std::vector<int32_t> selections;
    for (int32_t frame = 0; frame < 13; ++frame) {
        Frame();
        selections.push_back(hud.selected);
    }
    const std::vector<int32_t> expected = {1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 3};
    EXPECT_EQ(selections, expected);
    Key(EngineKey::kDown, false);
    Frame();
    Frame();
    Frame();
    EXPECT_EQ(hud.selected, 3);
}

// Timers count game steps of 60 ms, whatever time the frames take.
TEST_F(GameTest, GameTimeMovesInFixedSteps) {
    CHud& hud = *CGame::GetHud();
    hud.ShowImage(nullptr, 300);
    const uint32_t start = Game().GetElapsedMs();
    int32_t frames = 0;
    while (hud.mode == CHud::kImage && frames < 100) {
        Frame();
        ++frames;
    }
    // One frame starts the timer, five run it out.
    EXPECT_EQ(frames, 6);
    EXPECT_EQ(Game().GetElapsedMs() - start, 6u * CGame::kStepMs);
    EXPECT_TRUE(hud.imageDone);
    EXPECT_FALSE(CGame::GetTimers()->IsRunning(0));
}

TEST_F(GameTest, PauseFreezesTheGameAndKeepsWhatArrives) {
    Key(EngineKey::kDown, true);
    Frame();
    EXPECT_TRUE(Input().IsHeld(kDown));
    Event(EngineEvent::kAppSuspend);
    EXPECT_TRUE(Game().IsPaused());
    EXPECT_EQ(Input().held, 0u);
    EXPECT_EQ(CGame::GetProgress()->pauseRequested, 1);
    EXPECT_TRUE(CGame::GetHud()->visible);
    const uint32_t elapsed = Game().GetElapsedMs();
    Game().repaintPending = 0;
    Event(EngineEvent::kAppSuspend);
    EXPECT_EQ(Game().repaintPending, 0);
    Game().Update(250);
    EXPECT_EQ(Game().GetElapsedMs(), elapsed);
    // Events while paused are kept for later.
    Key(EngineKey::kUp, true);
    Game().Update(5);
    EXPECT_FALSE(Input().IsPressed(kUp));
    EXPECT_EQ(Input().pendingPressed, kUp);
    Event(EngineEvent::kAppResume);
    EXPECT_FALSE(Game().IsPaused());
    EXPECT_FALSE(CGame::GetSound()->IsPlaying());
    Game().Update(5);
    EXPECT_EQ(Game().GetElapsedMs(), elapsed + CGame::kStepMs);
    EXPECT_EQ(Input().pressed, kUp);
}

// A message box closed by its key keeps its layout, and is no page up.
TEST_F(GameTest, PauseAsksThePausePageOnlyWithNoPageUp) {
    CHud& hud = *CGame::GetHud();
    hud.ShowList(JString("x"), JString(), JString());
    hud.mode = CHud::kPlayText;
    Event(EngineEvent::kAppSuspend);
    EXPECT_EQ(CGame::GetProgress()->pauseRequested, 0);
    Event(EngineEvent::kAppResume);
    // The ticker starts again with the frame after the resume.
    Frame();
    Key(EngineKey::kSelect, true);
    Frame();
    ASSERT_EQ(hud.mode, CHud::kClosed);
    Event(EngineEvent::kAppSuspend);
    EXPECT_EQ(CGame::GetProgress()->pauseRequested, 1);
}

TEST_F(GameTest, StorageTestWritesAndDeletesRecordNine) {
    Game().CheckStorage(false);
    EXPECT_EQ(CGame::GetStateMachine()->storageOk, 1);
    EXPECT_FALSE(LeftBehind("mchvx2_save9"));
    EXPECT_GT(Game().versionText.length(), 0);
    EXPECT_LE(Game().versionText.length(), 9);
    // Storage whose records cannot be deleted fails a progress reset.
    HostFile::SetFaultHook(&FailRecordDeletes);
    Game().CheckStorage(false);
    HostFile::SetFaultHook(nullptr);
    EXPECT_EQ(CGame::GetStateMachine()->storageOk, 0);
}

TEST_F(GameTest, FailedStorageTestClearsTheFlagAndLosesNoRecord) {
    Game().SetTouchNoticeShown(true);
    ASSERT_TRUE(Game().SaveSettings());
    HostFile::SetFaultHook(&FailTempWrites);
    Game().CheckStorage(false);
    EXPECT_EQ(CGame::GetStateMachine()->storageOk, 0);
    CGame::GetProgress()->highestLevel = 4;
    EXPECT_FALSE(Game().SaveProgress());
    Game().SetTouchNoticeShown(false);
    EXPECT_FALSE(Game().SaveSettings());
    HostFile::SetFaultHook(nullptr);
    EXPECT_EQ(FileBytes("mchvx2_save0.dat"), std::vector<uint8_t>({1}));
    EXPECT_FALSE(Exists("mchvx2_save1.dat"));
    EXPECT_FALSE(LeftBehind("mchvx2_save9"));
    Game().LoadSettings();
    EXPECT_TRUE(Game().IsTouchNoticeShown());
}

// Records there that cannot be read are no records to the game, and stay
// as they were: no save touches them, and the storage notice is due. A
// progress reset the player confirms deletes them all the same (deleting
// reads nothing of a file), after which saves work again; a record the
// folder keeps (a folder in its place) is said to stay.
TEST_F(GameTest, UnreadableRecordsAreNeverWrittenOverButAResetDeletesThem) {
    WriteBytes("mchvx2_save0.dat", {1});
    WriteBytes("mchvx2_save1.dat", {5, 0, 0, 0});
    HostFile::SetFaultHook(&FailRecordOpens);
    Game().LoadSettings();
    Game().LoadProgress();
    EXPECT_EQ(CGame::GetStateMachine()->recordUnreadable, 1);
    EXPECT_EQ(CGame::GetStateMachine()->storageOk, 1);
    EXPECT_EQ(CGame::GetProgress()->highestLevel, 0);
    EXPECT_FALSE(Game().SaveSettings());
    EXPECT_FALSE(Game().SaveProgress());
    EXPECT_EQ(FileBytes("mchvx2_save0.dat"), std::vector<uint8_t>({1}));
    EXPECT_EQ(FileBytes("mchvx2_save1.dat"), std::vector<uint8_t>({5, 0, 0, 0}));
    EXPECT_EQ(Game().DeleteRecords(), CGame::ResetOutcome::kDone);
    HostFile::SetFaultHook(nullptr);
    EXPECT_FALSE(Exists("mchvx2_save0.dat"));
    EXPECT_FALSE(Exists("mchvx2_save1.dat"));
    CGame::GetProgress()->highestLevel = 2;
    EXPECT_TRUE(Game().SaveProgress());
    EXPECT_EQ(FileBytes("mchvx2_save1.dat"), std::vector<uint8_t>({2, 0, 0, 0}));

    std::filesystem::remove(Path("mchvx2_save1.dat"));
    std::filesystem::create_directory(Path("mchvx2_save1.dat"));
    Game().LoadProgress();
    EXPECT_FALSE(Game().SaveProgress());
    EXPECT_EQ(Game().DeleteRecords(), CGame::ResetOutcome::kProgressKept);
    EXPECT_TRUE(std::filesystem::is_directory(Path("mchvx2_save1.dat")));
}

TEST_F(GameTest, RecordsAreWrittenAndReadBack) {
    Game().LoadSettings();
    EXPECT_FALSE(Game().IsTouchNoticeShown());
    Game().SetTouchNoticeShown(true);
    ASSERT_TRUE(Game().SaveSettings());
    EXPECT_EQ(FileBytes("mchvx2_save0.dat"), std::vector<uint8_t>({1}));
    Game().SetTouchNoticeShown(false);
    Game().LoadSettings();
    EXPECT_TRUE(Game().IsTouchNoticeShown());

    CGameProgress& progress = *CGame::GetProgress();
    Game().LoadProgress();
    EXPECT_EQ(progress.highestLevel, 0);
    progress.highestLevel = 7;
    ASSERT_TRUE(Game().SaveProgress());
    EXPECT_EQ(FileBytes("mchvx2_save1.dat"), std::vector<uint8_t>({7, 0, 0, 0}));
    WriteBytes("mchvx2_save1.dat", {5, 0, 0, 0});
    Game().LoadProgress();
    EXPECT_EQ(progress.highestLevel, 5);
}

TEST_F(GameTest, ShortOrCorruptRecordsAreRefusedForTheDefaults) {
    CGameProgress& progress = *CGame::GetProgress();
    struct Case {
        std::vector<uint8_t> bytes;
        int32_t level;
    };
    const Case cases[] = {
        {{5, 0}, 0}, {{9, 0, 0, 0}, 0}, {{0, 0, 0, 1}, 0}, {{0xFF, 0xFF, 0xFF, 0xFF}, 0}, {{3, 0, 0, 0, 0x55}, 3}, {{}, 0},
    };
    for (const Case& c : cases) {
        progress.highestLevel = 0;
        WriteBytes("mchvx2_save1.dat", c.bytes);
        Game().LoadProgress();
        EXPECT_EQ(progress.highestLevel, c.level) << c.bytes.size();
    }
    EXPECT_TRUE(m_asserts.Logged("Progress record"));
    WriteBytes("mchvx2_save0.dat", {2});
    Game().LoadSettings();
    EXPECT_FALSE(Game().IsTouchNoticeShown());
    EXPECT_TRUE(m_asserts.Logged("Settings record"));
}

// The content's font measures the HUD's pages: 6 pixels a character, 8 a
// line.
TEST_F(GameTest, HudLaysOutPagesWithTheContentFont) {
    JFont font(0);
    ASSERT_EQ(font.getHeight(), apptest::kLineHeight);
    CHud& hud = *CGame::GetHud();
    hud.font = &font;
    hud.ShowPopup(kScreenW / 2, kScreenH / 2, 0, 0, 0xF0);
    hud.ShowList(JString("ABCD EFGH"), JString(), JString());
    EXPECT_EQ(hud.lineCount, 1);
    EXPECT_EQ(hud.boxWidth, font.stringWidth(JString("ABCD EFGH")));
    EXPECT_EQ(hud.boxHeight, apptest::kLineHeight);
    hud.ShowPopup(0, 0, 4 * apptest::kGlyphStep, 2 * apptest::kLineHeight, 0);
    hud.ShowMenu(JVector<JString>(), 0, JString(), JString());
    JVector<JString> labels;
    for (const char* label : {"PLAY", "OPTIONS", "HELP", "QUIT"}) labels.addElement(JString(label));
    hud.ShowPopup(0, 0, kScreenW, 2 * apptest::kLineHeight, 0);
    hud.ShowMenu(labels, 0xF, JString(), JString());
    EXPECT_EQ(hud.visibleLines, 2);
    Key(EngineKey::kUp, true);
    Frame();
    EXPECT_EQ(hud.selected, 3);
    EXPECT_EQ(hud.scroll, 2 * apptest::kLineHeight);
    // The row images are not in this archive: image rows are 0 high and
    // nothing fits, without a division by zero.
    hud.SetFrameStyle(false, true, false, false);
    hud.ShowMenu(labels, 0xF, JString(), JString());
    EXPECT_EQ(hud.visibleLines, 0);
    Key(EngineKey::kUp, false);
    Key(EngineKey::kDown, true);
    Frame();
    EXPECT_EQ(hud.selected, 1);
    hud.font = nullptr;
}
