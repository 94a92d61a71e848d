#ifndef CSCRIPTCOMMAND_H
#define CSCRIPTCOMMAND_H

#include <cstdint>

#include "LevelScriptRecords.h"

class CGameWorld;

// One running position of a level script: applies its command's effect when
// it starts and then tells, frame by frame, whether the command is done.
// It keeps a copy of the command's decoded operands, so a reloaded script
// table never leaves it reading freed records.
class CScriptCommand {
public:
    static constexpr int32_t kRunning = 0;
    static constexpr int32_t kDone = 1;
    // The script goes on at once; the command keeps running detached.
    static constexpr int32_t kNonBlocking = 2;
    static constexpr int32_t kNoOpcode = -1;
    static constexpr int32_t kDetached = -1;

    CScriptCommand(CGameWorld& world, const LevelScriptCommand& command, int32_t index);

    void Start(const LevelScriptCommand& command, int32_t index);
    void Update(int32_t dt);
    // A message stopped while its box is up closes the box and gives the
    // player back the controls it took; other commands hold nothing.
    void LetGo();
    // A dialogue box or a text page that the player has not closed yet.
    bool ShowsMessage() const;
    void AttachScript(int32_t newScriptIndex, int32_t newCommandCount);
    void Detach() { scriptIndex = kDetached; }
    bool IsDetached() const { return scriptIndex == kDetached; }
    bool IsLastCommand() const { return commandIndex >= commandCount - 1; }

    int32_t opcode = kNoOpcode;
    int32_t scriptIndex = kDetached;
    int32_t commandCount = 0;
    int32_t commandIndex = 0;
    int32_t done = kRunning;
    // The reference the script signalled last: a later wait is for it.
    int32_t signalledRef = kScriptNoRef;

private:
    // The effects of the opcodes when they start, and their frame tests.
    void StartCamera(const ScriptCameraOperands& op);
    void StartMessage(const ScriptMessageOperands& op);
    void StartPlayerMove(const ScriptPlayerMoveOperands& op);
    void StartPlayerControl(const ScriptPlayerControlOperands& op);
    void StartShake(const ScriptShakeOperands& op);
    void StartLevelEnd();
    void StartSignal(const ScriptActorOperands& op);
    void StartBounds(const ScriptBoundsOperands& op);
    void StartPlace(const ScriptPlaceOperands& op);
    void StartPartnerRun();
    void StartFullScreenPause();
    void StartSubState(const ScriptSubStateOperands& op);
    void StartOpcode();

    void UpdateWait();
    bool WaitAreaReached(const ScriptWaitOperands& op) const;
    bool WaitActorReached(const ScriptWaitOperands& op) const;
    void UpdateMessage();
    void EndMessage();
    void UpdatePlayerMove();
    void UpdateDelay(int32_t dt);
    void UpdateShake(int32_t dt);
    void UpdateScriptTimer(int32_t dt);
    // The spawn state of the reference's spawn; free for a reference that
    // names none.
    int32_t RefSpawnState(int32_t ref) const;
    int32_t HudMode() const;

    CGameWorld& m_world;
    ScriptOperands m_operands;
    // What the waiting opcodes count down or wait for.
    int32_t m_remainingMs = 0;
    bool m_waitForLanding = false;
};

#endif
