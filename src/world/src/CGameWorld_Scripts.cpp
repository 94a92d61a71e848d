#include <algorithm>

#include "AppServices.h"
#include "CAssert.h"
#include "CGameWorld.h"
#include "CHud.h"
#include "CResource.h"
#include "CResourceManager.h"
#include "CResourceStream.h"
#include "CScriptCommand.h"
#include "ResIdArray.h"
#include "ResourceText.h"

namespace {

constexpr int32_t kScriptGroup = 0x5000109;
constexpr int32_t kWaitForActorOpcode = 26;

void EraseFirst(std::vector<CScriptCommand*>& list, const CScriptCommand* cmd) {
    auto it = std::find(list.begin(), list.end(), cmd);
    if (it != list.end()) list.erase(it);
}

void EraseAll(std::vector<CScriptCommand*>& list, const CScriptCommand* cmd) {
    list.erase(std::remove(list.begin(), list.end(), cmd), list.end());
}

}  // namespace

void CGameWorld::ReleaseWaitingCommand() {
    if (waitingCommand == nullptr) return;
    waitingCommand->done = CScriptCommand::kDone;
    ForgetWait();
}

// A wait names the actor its script signalled last, if any.
void CGameWorld::AwaitActor(CScriptCommand* cmd) {
    waitingCommand = cmd;
    const int32_t ref = cmd->signalledRef;
    waitingActor = ref >= 0 && ref < kActorRefCount ? FindActorById(ref) : nullptr;
}

void CGameWorld::ForgetWait() {
    waitingCommand = nullptr;
    waitingActor = nullptr;
}

// A level past the group, or a table that cannot be read, leaves the level
// without scripts rather than with the previous level's.
void CGameWorld::LoadLevelScripts(int32_t levelIndex) {
    levelScripts.Clear();
    CResource* group = nullptr;
    ResIdArray* ids = CollectResourceIds(kScriptGroup, &group);
    if (ids != nullptr && levelIndex >= 0 && levelIndex < ids->size()) {
        CResourceStream stream(*ids->at(levelIndex));
        if (!levelScripts.Read(stream)) DebugPrintf("world: the scripts of level %d are not used", levelIndex);
        stream.ReleaseResource();
    } else {
        DebugPrintf("world: no scripts for level %d", levelIndex);
    }
    if (ids != nullptr) ids->destroy();
    CResourceManager* manager = GetAppResourceManager();
    if (group != nullptr && manager != nullptr) manager->ReleaseByHandle(static_cast<uint32_t>(kScriptGroup));
}

int32_t CGameWorld::FindScript(int32_t id) const { return levelScripts.FindScript(id); }

CScriptCommand* CGameWorld::MakeCommand(int32_t scriptIndex, int32_t commandIndex) {
    const LevelScriptCommand* record = levelScripts.Command(scriptIndex, commandIndex);
    const LevelScript* script = levelScripts.Script(scriptIndex);
    if (record == nullptr || script == nullptr) return nullptr;
    auto* cmd = new CScriptCommand(*this, *record, commandIndex);
    cmd->AttachScript(scriptIndex, static_cast<int32_t>(script->commands.size()));
    return cmd;
}

void CGameWorld::StartScript(int32_t id) {
    PushScriptStep(ScriptStep::Kind::Start, id, nullptr);
    RunScriptSteps();
}

void CGameWorld::AddRunningCommand(CScriptCommand* cmd) {
    PushScriptStep(ScriptStep::Kind::Run, 0, cmd);
    RunScriptSteps();
}

void CGameWorld::AdvanceScript(CScriptCommand* cmd) {
    PushScriptStep(ScriptStep::Kind::Advance, 0, cmd);
    RunScriptSteps();
}

void CGameWorld::PushScriptStep(ScriptStep::Kind kind, int32_t id, CScriptCommand* cmd) {
    m_scriptSteps.push_back({kind, id, cmd});
}

// Pushed last first, so that they start in list order.
void CGameWorld::PushScriptStarts(const std::vector<int16_t>& ids) {
    for (auto it = ids.rbegin(); it != ids.rend(); ++it) PushScriptStep(ScriptStep::Kind::Start, *it, nullptr);
}

// Steps pushed while a step runs are taken before older ones, so the order
// is that of calls nested one in another; a call made inside the loop only
// pushes its step and leaves it to the loop.
void CGameWorld::RunScriptSteps() {
    if (m_runningSteps) return;
    m_runningSteps = true;
    BeginRunnerCall();
    while (!m_scriptSteps.empty()) {
        const ScriptStep step = m_scriptSteps.back();
        m_scriptSteps.pop_back();
        switch (step.kind) {
            case ScriptStep::Kind::Start: BeginScript(step.id); break;
            case ScriptStep::Kind::Run: RunCommand(step.cmd); break;
            case ScriptStep::Kind::Advance: AdvanceCommand(step.cmd); break;
            case ScriptStep::Kind::Append: runningCommands.push_back(step.cmd); break;
        }
    }
    EndRunnerCall();
    m_runningSteps = false;
}

void CGameWorld::BeginRunnerCall() {
    if (m_runnerCalls++ == 0) m_endedScripts.clear();
}

void CGameWorld::EndRunnerCall() { --m_runnerCalls; }

// Detached commands still waiting for their append count as running. A
// script can be dropped hundreds of times a frame: the log says it once.
bool CGameWorld::RoomForStart(int32_t id) {
    const auto appends = std::count_if(m_scriptSteps.begin(), m_scriptSteps.end(),
                                       [](const ScriptStep& step) { return step.kind == ScriptStep::Kind::Append; });
    if (runningCommands.size() + deferredStarts.size() + static_cast<size_t>(appends) < kMaxRunningCommands) {
        return true;
    }
    if (std::find(m_droppedLogged.begin(), m_droppedLogged.end(), id) == m_droppedLogged.end()) {
        m_droppedLogged.push_back(id);
        DebugPrintf("script: %u commands running or due; the start of script %d is dropped", kMaxRunningCommands, id);
    }
    return false;
}

void CGameWorld::BeginScript(int32_t id) {
    if (!RoomForStart(id)) return;
    const int32_t index = FindScript(id);
    if (index == kScriptNoIndex) return;
    const LevelScript* script = levelScripts.Script(index);
    if (script == nullptr) return;
    if (script->commands.empty()) {
        // Nothing to run: the script ends at once and never loops.
        PushScriptStarts(script->chainIds);
        return;
    }
    if (CScriptCommand* cmd = MakeCommand(index, 0)) PushScriptStep(ScriptStep::Kind::Run, 0, cmd);
}

// A script whose commands all finish at once at run time (a walk without a
// player, say) would otherwise restart itself, or go round its chain, for
// ever inside one call: its second end in a call waits for the next frame.
void CGameWorld::EndScript(int32_t scriptIndex) {
    const LevelScript* script = levelScripts.Script(scriptIndex);
    if (script == nullptr) return;
    const std::vector<int16_t> next = script->loop ? std::vector<int16_t>{script->id} : script->chainIds;
    if (std::find(m_endedScripts.begin(), m_endedScripts.end(), scriptIndex) != m_endedScripts.end()) {
        for (int16_t id : next) {
            if (RoomForStart(id)) deferredStarts.push_back(id);
        }
        return;
    }
    m_endedScripts.push_back(scriptIndex);
    PushScriptStarts(next);
}

// A command that does not hold its script up runs on detached from it,
// and the script goes on at once with a command object of its own; the
// detached one joins the running list after what the script goes on with.
void CGameWorld::RunCommand(CScriptCommand* cmd) {
    if (cmd->done == CScriptCommand::kDone) {
        PushScriptStep(ScriptStep::Kind::Advance, 0, cmd);
        return;
    }
    if (cmd->done == CScriptCommand::kNonBlocking && !cmd->IsDetached()) {
        const int32_t scriptIndex = cmd->scriptIndex;
        const int32_t next = cmd->commandIndex + 1;
        const bool last = cmd->IsLastCommand();
        cmd->Detach();
        PushScriptStep(ScriptStep::Kind::Append, 0, cmd);
        if (last) {
            EndScript(scriptIndex);
        } else if (CScriptCommand* following = MakeCommand(scriptIndex, next)) {
            following->signalledRef = cmd->signalledRef;
            PushScriptStep(ScriptStep::Kind::Run, 0, following);
        }
        return;
    }
    if (cmd->opcode == kWaitForActorOpcode) AwaitActor(cmd);
    runningCommands.push_back(cmd);
}

void CGameWorld::AdvanceCommand(CScriptCommand* cmd) {
    EraseFirst(runningCommands, cmd);
    if (cmd->IsDetached()) {
        DestroyCommand(cmd);
        return;
    }
    if (!cmd->IsLastCommand()) {
        const LevelScriptCommand* record = levelScripts.Command(cmd->scriptIndex, cmd->commandIndex + 1);
        if (record != nullptr) {
            if (waitingCommand == cmd) ForgetWait();
            cmd->Start(*record, cmd->commandIndex + 1);
            PushScriptStep(ScriptStep::Kind::Run, 0, cmd);
            return;
        }
    }
    const int32_t scriptIndex = cmd->scriptIndex;
    DestroyCommand(cmd);
    EndScript(scriptIndex);
}

// The scripts put off by the last call start before this frame's commands
// are updated.
void CGameWorld::StartDeferredScripts() {
    std::vector<int16_t> ids;
    ids.swap(deferredStarts);
    PushScriptStarts(ids);
    RunScriptSteps();
}

void CGameWorld::UpdateScripts(int32_t dt) {
    inputBlocked = 0;
    m_droppedLogged.clear();
    BeginRunnerCall();
    StartDeferredScripts();
    const CHud* hud = GetHud();
    for (int32_t i = static_cast<int32_t>(runningCommands.size()) - 1; i >= 0; --i) {
        if (i >= static_cast<int32_t>(runningCommands.size())) continue;
        CScriptCommand* cmd = runningCommands[static_cast<size_t>(i)];
        cmd->Update(dt);
        // A box that closed this frame no longer holds the player: a press
        // made as it closes acts in the next frame.
        if (cmd->ShowsMessage() || (hud != nullptr && hud->mode == CHud::kFullScreenSprite)) inputBlocked = 1;
        if (cmd->done == CScriptCommand::kDone) AdvanceScript(cmd);
    }
    EndRunnerCall();
    DestroyStoppedCommands();
    // A box opened by this frame's advances holds the player from now on.
    for (const CScriptCommand* cmd : runningCommands) {
        if (cmd->ShowsMessage()) inputBlocked = 1;
    }
}

// The last stopped message that showed a box lets go of it, unless a
// message still running shows one.
void CGameWorld::DestroyStoppedCommands() {
    std::vector<CScriptCommand*> stopped;
    stopped.swap(removalCommands);
    for (CScriptCommand* cmd : stopped) {
        const bool otherMessage = std::any_of(runningCommands.begin(), runningCommands.end(), [cmd](const auto* other) {
            return other != cmd && other->ShowsMessage();
        });
        if (!otherMessage) cmd->LetGo();
        DestroyCommand(cmd);
    }
}

void CGameWorld::StopScript(int32_t scriptIndex) {
    for (CScriptCommand* cmd : runningCommands) {
        if (cmd->scriptIndex != scriptIndex) continue;
        if (std::find(removalCommands.begin(), removalCommands.end(), cmd) == removalCommands.end()) {
            removalCommands.push_back(cmd);
        }
    }
}

// Every path that deletes a command comes here, so no list and no waiting
// pointer keeps it.
void CGameWorld::DestroyCommand(CScriptCommand* cmd) {
    EraseAll(runningCommands, cmd);
    EraseAll(removalCommands, cmd);
    if (waitingCommand == cmd) ForgetWait();
    delete cmd;
}

void CGameWorld::DeleteRunningCommands() {
    while (!runningCommands.empty()) DestroyCommand(runningCommands.back());
    while (!removalCommands.empty()) DestroyCommand(removalCommands.back());
    ForgetWait();
    deferredStarts.clear();
}

int32_t CGameWorld::SpawnIndexOfReference(int32_t ref) const {
    if (ref < 0 || ref >= kActorRefCount) return LevelMapData::kNoSpawn;
    return actorRefs[static_cast<size_t>(ref)];
}

const LevelSpawn* CGameWorld::SpawnOfReference(int32_t ref) const {
    const int32_t spawn = SpawnIndexOfReference(ref);
    if (spawn < 0 || spawn >= static_cast<int32_t>(spawnPoints.size())) return nullptr;
    return &spawnPoints[static_cast<size_t>(spawn)];
}
