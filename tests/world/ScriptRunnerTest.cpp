#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "CGameInput.h"
#include "CHud.h"
#include "CScriptCommand.h"
#include "CStates.h"
#include "JFont.h"
#include "AssertCounter.h"
#include "LevelFixture.h"

namespace {

using namespace leveltest;
using SC = ScriptCommands;
using leveldata::Command;

constexpr int32_t kNever = -1;
constexpr int32_t kLimit = 40;

// The marker command: its window bottom (row 14) tells that the script got
// past the command before it.
Command Marker() { return SC::CameraBounds(0, 0, 19, 13); }
constexpr int32_t kMarkedWindowY2 = 14;

leveldata::Script Script(int16_t id, std::vector<Command> commands, std::vector<int16_t> chain = {}) {
    leveldata::Script s;
    s.id = id;
    s.commands = std::move(commands);
    s.chain = std::move(chain);
    return s;
}

Level FloorLevel() {
    Level level;
    level.map = FloorMap(20, 15, 48);
    return level;
}

class ScriptRunnerTest : public LevelFixture {
protected:
    void LoadScripts(std::vector<leveldata::Script> scripts, Level level = FloorLevel()) {
        level.scripts = std::move(scripts);
        MountAndLoad(level);
    }

    bool Marked() const { return world->windowY2 == kMarkedWindowY2; }

    // A still actor on the floor at each x, named by references from 4 on.
    static Level LevelWithActors(const std::vector<int16_t>& xs) {
        Level level = FloorLevel();
        leveldata::Template deco;
        deco.type = 33;
        deco.sprite = kSpriteBody;
        level.map.templates = {deco};
        for (size_t i = 0; i < xs.size(); ++i) {
            level.map.spawns.push_back({0, xs[i], 14 * 24});
            leveldata::Reference ref;
            ref.index = static_cast<uint8_t>(4 + i);
            ref.spawn = static_cast<int16_t>(i);
            level.map.references.push_back(ref);
        }
        return level;
    }

    // Frames until the command before the marker finishes: 0 when it
    // finishes while starting. It starts in the first frame, after a zero
    // delay, so that nothing of the loader's own start-up covers it.
    int32_t FramesUntilDone(const Command& command) {
        LoadScripts(OneScript({SC::Delay(false, 0), command, Marker()}));
        int32_t frames = 0;
        while (!Marked() && frames < kLimit) {
            Frame();
            ++frames;
        }
        const int32_t result = Marked() ? frames - 1 : kNever;
        Dismount();
        return result;
    }
};

TEST_F(ScriptRunnerTest, EveryOpcodeFinishesWhenItShould) {
    struct Case {
        const char* what;
        Command command;
        int32_t frames;
    };
    const Case cases[] = {
        {"area wait on a far rectangle", SC::WaitForArea(400, 0, 10, 10), kNever},
        {"area wait on the player", SC::WaitForArea(40, 300, 40, 40), 1},
        {"actor wait without actors", SC::WaitForActorNear(0, 50, false), kNever},
        {"actor wait for a destroyed actor that never was", SC::WaitForActorNear(0, 0, true), kNever},
        {"value list", SC::WaitWithValues({1, 2, 3}), kNever},
        {"instant camera", SC::CameraToPoint(true, 0, true, 100, 100), 0},
        {"camera without wait", SC::CameraToPoint(false, 100, false, 100, 100), 0},
        {"dialogue without a HUD", SC::Dialogue(0, 0), 1},
        {"text page without a HUD", SC::TextPage(-1, 0), 1},
        {"teleport", SC::PlayerMove(true, 3, 5, 1, false), 0},
        {"walk without wait", SC::PlayerMove(false, 3, 5, 1, true), 0},
        {"walk", SC::PlayerMove(false, 3, 5, 1, false), kNever},
        {"control", SC::PlayerControl(0), 0},
        {"delay", SC::Delay(false, 120), 2},
        {"zero delay", SC::Delay(false, 0), 1},
        {"shake stop", SC::Shake(true, -1, 0, 0), 0},
        {"endless shake", SC::Shake(true, -1, 2, 2), 0},
        {"timed shake", SC::Shake(true, 120, 2, 2), 2},
        {"timed shake without wait", SC::Shake(false, 120, 2, 2), 0},
        {"signal", SC::SignalActor(3), 0},
        {"timer a", SC::Bare(SC::kTimerA), 20},
        {"timer b", SC::Bare(SC::kTimerB), 20},
        {"flag", SC::ScriptFlag(true), 0},
        {"touch", SC::TouchActor(3), 0},
        {"nothing", SC::Bare(SC::kNothing), 0},
        {"place", SC::PlaceActor(2, 2, 0), 0},
        {"stop", SC::StopScript(7), 0},
        {"ignored byte", SC::IgnoredByte(5), kNever},
        {"partner run without the partner", SC::Bare(SC::kPartnerRun), kNever},
        {"waiting for an actor", SC::Bare(SC::kWaitForActor), kNever},
        {"scripted pause", SC::Bare(SC::kScriptedPause), 1},
        {"sub-state", SC::SetSubState(0), 0},
        {"opcode 9", SC::Bare(9), kNever},
        {"opcode 10", SC::Bare(10), kNever},
        {"opcode 14", SC::Bare(14), kNever},
        {"opcode 15", SC::Bare(15), kNever},
        {"opcode 19", SC::Bare(19), kNever},
        {"opcode 24", SC::Bare(24), kNever},
        {"opcode 25", SC::Bare(25), kNever},
        {"unknown opcode", SC::Bare(30), kNever},
    };
    for (const Case& c : cases) EXPECT_EQ(FramesUntilDone(c.command), c.frames) << c.what;
}

TEST_F(ScriptRunnerTest, CommandsApplyTheirOperands) {
    LoadScripts(OneScript({SC::Delay(false, 0), SC::PlayerMove(true, 3, 5, 0, false), SC::PlayerControl(0),
                           SC::Shake(true, -1, 3, -2), SC::CameraBounds(2, 1, -1, -1),
                           SC::CameraToPoint(false, 90, true, 111, 122)}));
    Frame();
    CActor* p = world->player;
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->sprite->GetX(), 3 * 24);
    EXPECT_EQ(p->sprite->GetY(), 6 * 24);
    EXPECT_EQ(p->facing, 0);
    EXPECT_EQ(world->cameraFollow, 0);
    EXPECT_EQ(world->shakeAmplitudeX, 3);
    EXPECT_EQ(world->shakeAmplitudeY, -2);
    // -1 is the last column and row: the window ends at the map's edge.
    EXPECT_EQ(world->windowX2, 20);
    EXPECT_EQ(world->windowY2, 15);
    EXPECT_EQ(world->cameraMinX, std::min(2 * 24, 20 * 24 - 240 - 1));
    EXPECT_EQ(world->fixedTargetX, 111);
    EXPECT_EQ(world->fixedTargetY, 122);
    EXPECT_EQ(world->cameraSpeed, 90);
    EXPECT_EQ(world->playerControl, 0);
}

// A window the script draws above the floor's row reads that row as the
// passable border below: the player falls out of the arena there.
TEST_F(ScriptRunnerTest, BelowAScriptedWindowTheBorderIsPassable) {
    LoadScripts(OneScript({Marker()}));
    Frame();
    ASSERT_TRUE(Marked());
    const int32_t floorRow = 14;
    EXPECT_NE(world->GetTile(5, floorRow - 1), world->borderBelow);
    EXPECT_EQ(world->GetTile(5, floorRow), world->borderBelow);
    EXPECT_TRUE(world->TileHasFlag(world->GetTile(5, floorRow), CGameWorld::kTilePassable));
}

TEST_F(ScriptRunnerTest, AnInstantChainRunsToItsEndWithinTheStartingCallInListOrder) {
    leveldata::Script first;
    first.id = 1;
    first.chain = {5, 9, 6};
    first.commands = {SC::Bare(SC::kNothing), SC::ScriptFlag(true)};
    leveldata::Script second;
    second.id = 5;
    second.commands = {Marker(), SC::Bare(9)};
    leveldata::Script third;
    third.id = 6;
    third.commands = {SC::Delay(false, 60)};
    LoadScripts({first, second, third});
    EXPECT_TRUE(Marked());
    ASSERT_EQ(world->runningCommands.size(), 2u);
    EXPECT_EQ(world->runningCommands[0]->opcode, 9);
    EXPECT_EQ(world->runningCommands[1]->opcode, SC::kDelay);
    Frame();
    ASSERT_EQ(world->runningCommands.size(), 1u);
    EXPECT_EQ(world->runningCommands[0]->opcode, 9);
}

TEST_F(ScriptRunnerTest, ALoopRestartsAndTheNewestCommandRunsFirst) {
    leveldata::Script loop;
    loop.id = 1;
    loop.loop = 1;
    loop.chain = {2};
    loop.commands = {SC::Delay(false, 60), SC::ScriptFlag(true)};
    LoadScripts({loop});
    for (int i = 0; i < 5; ++i) {
        Frame();
        ASSERT_EQ(world->runningCommands.size(), 1u);
        EXPECT_EQ(world->runningCommands[0]->opcode, SC::kDelay);
        EXPECT_EQ(world->runningCommands[0]->commandIndex, 0);
        EXPECT_EQ(world->scriptFlag, 1);
    }
}

TEST_F(ScriptRunnerTest, StopEndsANamedScriptAndAMissingIdStopsTheDetached) {
    LoadScripts({Script(1, {SC::Bare(SC::kNothing)}, {2, 3}), Script(2, {SC::Bare(9)}),
                 Script(3, {SC::Shake(false, 5000, 1, 1), SC::Delay(false, 60), SC::StopScript(2),
                            SC::Delay(false, 60), SC::StopScript(99)})});
    // Script 2 waits for good; the shake runs detached; script 3 delays.
    ASSERT_EQ(world->runningCommands.size(), 3u);
    Frame();
    ASSERT_EQ(world->runningCommands.size(), 2u);
    for (const CScriptCommand* cmd : world->runningCommands) EXPECT_NE(cmd->opcode, 9);
    Frame();
    // Stopping id 99 (no script) stops the detached shake.
    ASSERT_EQ(world->runningCommands.size(), 0u);
}

TEST_F(ScriptRunnerTest, ANonBlockingCommandRunsDetachedUntilItEnds) {
    LoadScripts(OneScript({SC::Shake(false, 120, 1, 1), Marker(), SC::Bare(9)}));
    EXPECT_TRUE(Marked());
    ASSERT_EQ(world->runningCommands.size(), 2u);
    const CScriptCommand* shake = world->runningCommands[1];
    EXPECT_EQ(shake->opcode, SC::kShake);
    EXPECT_TRUE(shake->IsDetached());
    Frame();
    Frame();
    ASSERT_EQ(world->runningCommands.size(), 1u);
    EXPECT_EQ(world->runningCommands[0]->opcode, 9);
    EXPECT_EQ(world->shakeAmplitudeX, 0);
}

TEST_F(ScriptRunnerTest, AWaitingCommandIsReleasedByATrigger) {
    Level level = FloorLevel();
    leveldata::Template trigger;
    trigger.type = ActorType::kStopTrigger;
    trigger.sprite = kSpriteBody;
    level.map.templates = {trigger};
    level.map.spawns = {{0, 56, 14 * 24}};
    level.scripts = OneScript({SC::Bare(SC::kWaitForActor), Marker()});
    MountAndLoad(level);
    ASSERT_NE(world->waitingCommand, nullptr);
    int32_t frames = 0;
    while (!Marked() && frames < kLimit) {
        Frame();
        ++frames;
    }
    EXPECT_TRUE(Marked());
    EXPECT_EQ(world->waitingCommand, nullptr);
    EXPECT_EQ(world->spawns[0].state, CGameWorld::kSpawnDestroyed);
}

TEST_F(ScriptRunnerTest, ActorWaitsByDistanceAndByDestruction) {
    Level level = LevelWithActors({200, 90});
    level.scripts = OneScript({SC::WaitForActorNear(4, 0, true), Marker(), SC::WaitForActorNear(5, 50, false),
                               SC::CameraBounds(0, 0, 18, 13)});
    MountAndLoad(level);
    Frame();
    EXPECT_FALSE(Marked());
    CActor* named = world->FindActorById(4);
    ASSERT_NE(named, nullptr);
    named->Remove(true);
    Frame();  // the actor leaves play at the end of this frame
    EXPECT_FALSE(Marked());
    Frame();
    EXPECT_TRUE(Marked());
    // The actor 42 px from the player is near: it takes the camera.
    Frame();
    EXPECT_EQ(world->windowX2, 19);
    ASSERT_NE(world->cameraTarget, nullptr);
    EXPECT_EQ(world->cameraTarget->spawnId, 1);
}

// A wait is for the actor its script signalled last, also past a command
// that does not hold the script up.
TEST_F(ScriptRunnerTest, AWaitNamesTheActorItsScriptSignalledLast) {
    Level level = LevelWithActors({200});
    level.scripts = OneScript({SC::Delay(false, 100), SC::SignalActor(4), SC::Shake(false, 120, 1, 1),
                               SC::Bare(SC::kWaitForActor)});
    MountAndLoad(level);
    Frame();
    Frame();
    ASSERT_NE(world->waitingCommand, nullptr);
    EXPECT_NE(world->waitingActor, nullptr);
    EXPECT_EQ(world->waitingActor, world->FindActorById(4));
}

TEST_F(ScriptRunnerTest, LevelEndCompletesTheLevel) {
    Level level = FloorLevel();
    level.scripts = OneScript({SC::Delay(false, 0), SC::Bare(SC::kLevelComplete)});
    Mount({level, level});
    Load(0);
    Frame();
    EXPECT_EQ(world->subState, CGameWorld::kSubStateComplete);
    Frame();
    EXPECT_EQ(progress.level, 1);
    EXPECT_EQ(progress.highestLevel, 1);
    EXPECT_FALSE(world->loaded);
}

}  // namespace

namespace {

class ScriptMessageTest : public leveltest::LevelFixture {
protected:
    void Play(std::vector<leveldata::Script> scripts) {
        leveltest::Level level;
        level.map = leveltest::FloorMap(20, 15, 48);
        level.scripts = std::move(scripts);
        Mount({level});
        hud.SetScreenSize(playtest::kScreenWidth, playtest::kScreenHeight);
        world->Attach({&input, &progress, nullptr, &hud, &states, nullptr});
        Load(0);
    }

    CHud hud;
    CStates states;
};

TEST_F(ScriptMessageTest, AMessageHoldsThePlayUntilTheHudClosesIt) {
    // The menus left the alternative font and a framed, clearing box.
    JFont altFont(0);
    states.altFont = &altFont;
    states.SelectFont(1);
    hud.SetBoxFlags(true, true);
    Play(leveltest::OneScript(
        {SC::Delay(false, 0), SC::Dialogue(1, 0), SC::TextPage(-1, 0), SC::Bare(SC::kScriptedPause), SC::Bare(9)}));
    Frame();
    EXPECT_EQ(hud.mode, CHud::kDialogue);
    EXPECT_EQ(states.font, states.defaultFont);
    EXPECT_FALSE(hud.clearScreen);
    EXPECT_FALSE(hud.drawFrame);
    EXPECT_EQ(hud.modal, 1);
    EXPECT_EQ(hud.speaker, 1);
    EXPECT_EQ(world->playerControl, 0);
    EXPECT_EQ(world->inputBlocked, 1);
    Frame();
    EXPECT_EQ(world->inputBlocked, 1);
    // The HUD closes the box: the next command, a centred page, opens.
    hud.mode = CHud::kClosed;
    Frame();
    EXPECT_EQ(hud.mode, CHud::kPlayText);
    EXPECT_EQ(hud.speaker, -1);
    EXPECT_EQ(world->inputBlocked, 1);
    hud.mode = CHud::kClosed;
    hud.SetBoxFlags(true, true);
    // As play resumed from the pause page leaves the HUD: nothing laid out.
    hud.laidOut = false;
    Frame();
    // The scripted pause holds the HUD in its full-screen state, over play,
    // and blocks input; it ends itself in its first update.
    EXPECT_EQ(hud.mode, CHud::kFullScreenSprite);
    EXPECT_TRUE(hud.ShowsPage());
    EXPECT_FALSE(hud.clearScreen);
    EXPECT_FALSE(hud.drawFrame);
    Frame();
    EXPECT_EQ(world->inputBlocked, 1);
    ASSERT_EQ(world->runningCommands.size(), 1u);
    EXPECT_EQ(world->runningCommands[0]->opcode, 9);
}

// The script that would give the controls back after its box is stopped
// while the box is up: the box goes, and the player plays on.
TEST_F(ScriptMessageTest, AMessageStoppedWhileItsBoxIsUpLetsGoOfTheBoxAndTheControls) {
    Play({Script(1, {SC::Bare(SC::kNothing)}, {2, 3}),
          Script(2, {SC::Delay(false, 0), SC::Dialogue(1, 0), SC::PlayerControl(1)}),
          Script(3, {SC::Delay(false, 100), SC::StopScript(2)})});
    Frame();
    EXPECT_EQ(hud.mode, CHud::kDialogue);
    EXPECT_EQ(world->playerControl, 0);
    Frame();
    EXPECT_TRUE(world->runningCommands.empty());
    EXPECT_EQ(hud.mode, CHud::kClosed);
    EXPECT_EQ(hud.modal, 0);
    EXPECT_EQ(input.GetLeftSoftKeyIcon(), CGameInput::kNoIcon);
    EXPECT_EQ(world->playerControl, 1);
}

// Two scripts speak at once and one of them is stopped: the other's box
// stays up, and the controls stay with it until it is read.
TEST_F(ScriptMessageTest, AStoppedMessageLeavesTheBoxAndTheControlsToAMessageStillUp) {
    Play({Script(1, {SC::Bare(SC::kNothing)}, {2, 3, 4}),
          Script(2, {SC::Delay(false, 0), SC::Dialogue(1, 0), SC::PlayerControl(1)}),
          Script(3, {SC::Delay(false, 0), SC::Dialogue(2, 0), SC::PlayerControl(1)}),
          Script(4, {SC::Delay(false, 100), SC::StopScript(2)})});
    Frame();
    Frame();
    ASSERT_EQ(world->runningCommands.size(), 1u);
    EXPECT_TRUE(world->runningCommands[0]->ShowsMessage());
    EXPECT_EQ(hud.mode, CHud::kDialogue);
    EXPECT_EQ(hud.modal, 1);
    EXPECT_EQ(world->playerControl, 0);
}

// Only a message holds the controls: a stopped script that took them
// with `control off` leaves them taken.
TEST_F(ScriptMessageTest, AStoppedCommandThatShowsNoMessageGivesNoControlsBack) {
    Play({Script(1, {SC::Bare(SC::kNothing)}, {2, 3}),
          Script(2, {SC::Delay(false, 0), SC::PlayerControl(0), SC::Delay(false, 1000)}),
          Script(3, {SC::Delay(false, 100), SC::StopScript(2)})});
    Frame();
    Frame();
    EXPECT_TRUE(world->runningCommands.empty());
    EXPECT_EQ(world->playerControl, 0);
}

}  // namespace

namespace {

class ScriptEdgeTest : public ScriptRunnerTest {
protected:
    void Run(std::vector<leveldata::Script> scripts) { LoadScripts(std::move(scripts)); }
};

TEST_F(ScriptEdgeTest, AScriptWithoutCommandsEndsAtOnceAndStartsItsChain) {
    Run({Script(1, {}, {2}), Script(2, {SC::Bare(9)})});
    ASSERT_EQ(world->runningCommands.size(), 1u);
    EXPECT_EQ(world->runningCommands[0]->opcode, 9);
}

TEST_F(ScriptEdgeTest, ACommandStoppedAsItFinishesIsDeletedOnce) {
    // Script 2 stops script 3 in the frame in which script 3's delay ends
    // too; script 3's end starts script 4.
    Run({Script(1, {SC::Bare(SC::kNothing)}, {3, 2}), Script(2, {SC::Delay(false, 60), SC::StopScript(3)}),
         Script(3, {SC::Delay(false, 60)}, {4}), Script(4, {SC::Bare(9)})});
    ASSERT_EQ(world->runningCommands.size(), 2u);
    Frame();
    ASSERT_EQ(world->runningCommands.size(), 1u);
    EXPECT_EQ(world->runningCommands[0]->opcode, 9);
    EXPECT_TRUE(world->removalCommands.empty());
}

TEST_F(ScriptEdgeTest, AStartedScriptWaitsForTheNextFrame) {
    Run({Script(1, {SC::Delay(false, 0)}, {2}), Script(2, {SC::Delay(false, 0), Marker()})});
    Frame();  // script 1 ends, script 2 starts but is not updated yet
    EXPECT_FALSE(Marked());
    ASSERT_EQ(world->runningCommands.size(), 1u);
    Frame();
    EXPECT_TRUE(Marked());
}

// A frame's update is one call of the runner: a script that ends twice in
// it has its second successors started in the next frame.
TEST_F(ScriptEdgeTest, TwoEndsOfAScriptInAFrameStartItsChainOnceThenOnceMore) {
    Run({Script(1, {SC::Bare(SC::kNothing)}, {2, 2}), Script(2, {SC::Delay(false, 60)}, {3}),
         Script(3, {SC::Bare(9)})});
    ASSERT_EQ(world->runningCommands.size(), 2u);
    Frame();
    ASSERT_EQ(world->runningCommands.size(), 1u);
    EXPECT_EQ(world->runningCommands[0]->opcode, 9);
    EXPECT_EQ(world->deferredStarts, std::vector<int16_t>{3});
    Frame();
    EXPECT_EQ(world->runningCommands.size(), 2u);
    EXPECT_TRUE(world->deferredStarts.empty());
}

TEST_F(ScriptEdgeTest, ASubStatePlayHasNoStepForIsIgnored) {
    Run({Script(1, {SC::Delay(false, 0), SC::SetSubState(4), SC::Delay(false, 0), SC::SetSubState(1)})});
    for (int frame = 0; frame < 2; ++frame) {
        Frame();
        EXPECT_EQ(world->subState, CGameWorld::kSubStateNormal) << frame;
    }
}

}  // namespace

namespace {

class ScriptHangTest : public ScriptEdgeTest {
protected:
    // A level without a player start: every walk ends as it starts.
    void RunWithoutPlayer(std::vector<leveldata::Script> scripts) {
        Level level = FloorLevel();
        level.map.references.clear();
        LoadScripts(std::move(scripts), level);
    }
};

TEST_F(ScriptHangTest, ALevelWithoutAStartReachesTheMenuWithoutRunningItsLoop) {
    leveldata::Script loop = Script(1, {SC::PlayerMove(false, 3, 5, 1, false)});
    loop.loop = 1;
    RunWithoutPlayer({loop});
    EXPECT_TRUE(world->runningCommands.empty());
    EXPECT_EQ(Frame(), CStates::kMainMenu);
}

// Walks that end at once send a loop, or a cycle of chains, round again:
// each script ends at most twice in a call, the rest waits for a frame.
TEST_F(ScriptHangTest, ScriptsThatNeverWaitAtRunTimeGoRoundOnceMoreAFrame) {
    leveldata::Script loop = Script(1, {SC::PlayerMove(false, 3, 5, 1, false), SC::ScriptFlag(true)});
    loop.loop = 1;
    const leveldata::Script cycleA = Script(2, {SC::PlayerMove(false, 3, 5, 1, false)}, {3});
    const leveldata::Script cycleB = Script(3, {SC::PlayerMove(false, 3, 5, 1, false)}, {2});
    RunWithoutPlayer({loop, cycleA, cycleB});
    world->StartScript(1);
    EXPECT_EQ(world->deferredStarts, std::vector<int16_t>{1});
    EXPECT_EQ(world->scriptFlag, 1);
    world->StartScript(2);
    EXPECT_EQ(world->deferredStarts, (std::vector<int16_t>{1, 3}));
    for (int frame = 0; frame < 3; ++frame) {
        world->UpdateScripts(60);
        ASSERT_EQ(world->deferredStarts.size(), 2u) << frame;
        EXPECT_EQ(world->deferredStarts[0], 1) << frame;
        EXPECT_TRUE(world->runningCommands.empty());
    }
    // Loading the level again forgets what the last play put off.
    Load(0);
    world->scriptFlag = 0;
    world->UpdateScripts(60);
    EXPECT_EQ(world->scriptFlag, 0);
}

// A script that chains to itself twice doubles at each end, and leaves a
// camera move that does not wait running each time: past the bound its
// starts are dropped, and the log says so once a frame.
TEST_F(ScriptHangTest, AScriptThatChainsToItselfTwiceStaysWithinTheBound) {
    AssertCounter log;
    Run({Script(1, {SC::Delay(false, 0), SC::CameraToPoint(false, 100, false, 100, 100)}, {1, 1})});
    size_t most = 0;
    int32_t framesDropping = 0;
    for (int frame = 0; frame < 40 && most <= CGameWorld::kMaxRunningCommands; ++frame) {
        log.Reset();
        Frame();
        most = std::max(most, world->runningCommands.size() + world->deferredStarts.size());
        const auto& lines = log.DebugLines();
        const auto dropped = std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
            return line.find("is dropped") != std::string::npos;
        });
        EXPECT_LE(dropped, 1) << frame;
        framesDropping += dropped > 0 ? 1 : 0;
    }
    EXPECT_EQ(most, CGameWorld::kMaxRunningCommands);
    EXPECT_GT(framesDropping, 0);
}

// 255 scripts of 255 commands that finish as they start, each chaining to
// the next (more commands than the writer puts in a script; the reader
// takes them): the runner's depth must not grow with them.
TEST_F(ScriptHangTest, ALongInstantChainRunsWithoutDeepening) {
    constexpr uint8_t kMost = 255;
    const Command marker = Marker();
    std::vector<uint8_t> stream = {kMost};
    for (int16_t id = 1; id <= kMost; ++id) {
        const int16_t next = static_cast<int16_t>(id + 1);
        stream.insert(stream.end(), {static_cast<uint8_t>(id >> 8), static_cast<uint8_t>(id), 0, 1,
                                     static_cast<uint8_t>(next >> 8), static_cast<uint8_t>(next), kMost});
        for (int32_t c = 1; c < kMost; ++c) stream.insert(stream.end(), {1, SC::kNothing});
        const std::vector<uint8_t>& last = id == kMost ? marker.operands : std::vector<uint8_t>{};
        stream.push_back(static_cast<uint8_t>(1 + last.size()));
        stream.push_back(static_cast<uint8_t>(id == kMost ? marker.opcode : SC::kNothing));
        stream.insert(stream.end(), last.begin(), last.end());
    }
    Level level = FloorLevel();
    level.rawScripts = stream;
    MountAndLoad(level);
    ASSERT_EQ(world->levelScripts.ScriptCount(), kMost);
    EXPECT_TRUE(Marked());
    EXPECT_TRUE(world->runningCommands.empty());
}

}  // namespace
