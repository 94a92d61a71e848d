#include "CScriptCommand.h"

#include <cstdlib>

#include "CActor.h"
#include "CAssert.h"
#include "CGameInput.h"
#include "CGameWorld.h"
#include "CHud.h"
#include "CSpriteInstance.h"

namespace {

enum Opcode : int32_t {
    kWait = 0,
    kCamera = 1,
    kDialogue = 2,
    kPlayerMove = 3,
    kPlayerControl = 4,
    kDelay = 5,
    kShake = 6,
    kLevelEnd = 7,
    kSignal = 8,
    kTimerA = 11,
    kTimerB = 12,
    kScriptFlag = 13,
    kFind = 16,
    kNothing = 17,
    kBounds = 18,
    kPlace = 20,
    kStop = 21,
    kPartnerRun = 23,
    kWaitForActor = 26,
    kFullScreenPause = 27,
    kSubState = 28,
    kTextPage = 29,
};

constexpr int32_t kTimerMs = 1200;
constexpr int32_t kEndlessShake = -1;
// Player words of the scripted walk: the target tile, -1 once there.
constexpr int32_t kWalkTargetX = 12;
constexpr int32_t kWalkTargetY = 13;
constexpr int32_t kWalkArrived = -1;
constexpr uint32_t kWalkKeys = 16 | 256;
constexpr int32_t kControlLock = 0;
constexpr int32_t kControlRelease = 1;
constexpr int32_t kAnchorBoxTop = 16;

}  // namespace

CScriptCommand::CScriptCommand(CGameWorld& world, const LevelScriptCommand& command, int32_t index) : m_world(world) {
    Start(command, index);
}

void CScriptCommand::AttachScript(int32_t newScriptIndex, int32_t newCommandCount) {
    scriptIndex = newScriptIndex;
    commandCount = newCommandCount;
}

void CScriptCommand::Start(const LevelScriptCommand& command, int32_t index) {
    done = kRunning;
    commandIndex = index;
    opcode = command.opcode;
    m_operands = command.operands;
    m_remainingMs = 0;
    m_waitForLanding = false;
    if (opcode < 0 || opcode >= kScriptOpcodeCount) return;
    StartOpcode();
}

void CScriptCommand::StartOpcode() {
    switch (opcode) {
        case kWait: return;  // its operands are kept; Update tests them
        case kCamera: StartCamera(std::get<ScriptCameraOperands>(m_operands)); return;
        case kDialogue:
        case kTextPage: StartMessage(std::get<ScriptMessageOperands>(m_operands)); return;
        case kPlayerMove: StartPlayerMove(std::get<ScriptPlayerMoveOperands>(m_operands)); return;
        case kPlayerControl: StartPlayerControl(std::get<ScriptPlayerControlOperands>(m_operands)); return;
        case kDelay: {
            const auto& op = std::get<ScriptDelayOperands>(m_operands);
            m_waitForLanding = op.afterLanding;
            m_remainingMs = op.ms;
            return;
        }
        case kShake: StartShake(std::get<ScriptShakeOperands>(m_operands)); return;
        case kLevelEnd: StartLevelEnd(); return;
        case kSignal: StartSignal(std::get<ScriptActorOperands>(m_operands)); return;
        case kTimerA:
        case kTimerB: m_world.scriptTimer = 0; return;
        case kScriptFlag:
            m_world.scriptFlag = std::get<ScriptFlagOperands>(m_operands).value ? 1 : 0;
            done = kDone;
            return;
        case kFind:
        case kNothing: done = kDone; return;
        case kBounds: StartBounds(std::get<ScriptBoundsOperands>(m_operands)); return;
        case kPlace: StartPlace(std::get<ScriptPlaceOperands>(m_operands)); return;
        case kStop:
            m_world.StopScript(std::get<ScriptStopOperands>(m_operands).scriptIndex);
            done = kDone;
            return;
        case kPartnerRun: StartPartnerRun(); return;
        case kFullScreenPause: StartFullScreenPause(); return;
        case kSubState: StartSubState(std::get<ScriptSubStateOperands>(m_operands)); return;
        default: return;  // waits for good, or (26) for an actor to release it
    }
}

void CScriptCommand::Update(int32_t dt) {
    switch (opcode) {
        case kWait: UpdateWait(); return;
        case kCamera:
            if (m_world.cameraArrived != 0) {
                m_world.cameraSpeed = CGameWorld::kNoCameraSpeed;
                done = kDone;
            }
            return;
        case kDialogue:
        case kTextPage: UpdateMessage(); return;
        case kPlayerMove: UpdatePlayerMove(); return;
        case kDelay: UpdateDelay(dt); return;
        case kShake: UpdateShake(dt); return;
        case kTimerA:
        case kTimerB: UpdateScriptTimer(dt); return;
        case kFullScreenPause: done = kDone; return;
        default: return;
    }
}

void CScriptCommand::UpdateWait() {
    const auto& op = std::get<ScriptWaitOperands>(m_operands);
    if ((op.kind == kScriptWaitArea && WaitAreaReached(op)) || (op.kind == kScriptWaitActor && WaitActorReached(op))) {
        done = kDone;
    }
}

bool CScriptCommand::WaitAreaReached(const ScriptWaitOperands& op) const {
    const CActor* target = m_world.cameraTarget;
    if (target == nullptr || !target->sprite) return false;
    const CSpriteInstance& s = *target->sprite;
    const int32_t left = s.GetX() + s.GetBoxX();
    const int32_t top = s.GetY() + s.GetBoxY();
    const int32_t right = left + s.GetBoxWidth();
    const int32_t bottom = top + s.GetBoxHeight();
    return left < op.x + op.width && right >= op.x && top < op.y + op.height && bottom >= op.y;
}

// The actor of the reference, once near enough to the player, takes the
// camera; or, with `gone`, that actor has been destroyed.
bool CScriptCommand::WaitActorReached(const ScriptWaitOperands& op) const {
    const CActor* p = m_world.player;
    CActor* a = m_world.FindActorById(op.ref);
    if (op.distance > 0 && p != nullptr && p->sprite && a != nullptr && a != p && a->sprite &&
        std::abs(a->sprite->GetX() - p->sprite->GetX()) < op.distance &&
        std::abs(a->sprite->GetY() - p->sprite->GetY()) < op.distance) {
        m_world.cameraTarget = a;
        return true;
    }
    return op.gone && a == nullptr && RefSpawnState(op.ref) == CGameWorld::kSpawnDestroyed;
}

void CScriptCommand::StartCamera(const ScriptCameraOperands& op) {
    m_world.cameraArrived = 0;
    m_world.cameraSpeed = op.speed;
    if (!op.wait) done = kNonBlocking;
    if (op.mode == kScriptCameraPoint) {
        m_world.fixedTargetX = op.x;
        m_world.fixedTargetY = op.y;
    } else if (op.mode == kScriptCameraType && m_world.spawnedList) {
        for (int32_t i = 0; i < m_world.spawnedList->size(); ++i) {
            CActor* a = m_world.spawnedList->elementAt(i);
            if (a->type != op.type) continue;
            m_world.cameraTarget = a;
            m_world.fixedTargetX = CGameWorld::kNoFixedTarget;
            m_world.fixedTargetY = CGameWorld::kNoFixedTarget;
            break;
        }
    } else if (op.mode == kScriptCameraReference) {
        const LevelSpawn* spawn = m_world.SpawnOfReference(op.ref);
        if (spawn != nullptr) {
            m_world.fixedTargetX = spawn->x;
            m_world.fixedTargetY = spawn->y;
        }
    }
    if (op.instant) {
        m_world.UpdateCamera(0, true);
        done = kDone;
    }
}

void CScriptCommand::StartPlayerMove(const ScriptPlayerMoveOperands& op) {
    CActor* p = m_world.player;
    if (p == nullptr) {
        done = kDone;
        return;
    }
    if (op.teleport) {
        p->SetPositionAnchored(op.tileX * CGameWorld::kTileSize, (op.tileY + 1) * CGameWorld::kTileSize, 0);
        p->facing = op.facing;
        p->vx = 0;
        p->vy = 0;
        done = kDone;
        return;
    }
    p->SetStateWord(kWalkTargetX, op.tileX);
    p->SetStateWord(kWalkTargetY, op.tileY);
    p->collisionFlags &= ~CActor::kCollideHorizontal;
    if (op.noWait) done = kNonBlocking;
}

void CScriptCommand::UpdatePlayerMove() {
    CActor* p = m_world.player;
    if (p == nullptr) {
        done = kDone;
        return;
    }
    if (p->StateWord(kWalkTargetX) != kWalkArrived || p->StateWord(kWalkTargetY) != kWalkArrived) return;
    p->collisionFlags |= CActor::kCollideHorizontal;
    if (CGameInput* input = m_world.GetInput()) input->Release(kWalkKeys);
    done = kDone;
}

void CScriptCommand::StartPlayerControl(const ScriptPlayerControlOperands& op) {
    if (op.mode == kControlLock) {
        m_world.playerControl = 0;
        m_world.cameraFollow = 0;
        if (CActor* p = m_world.player) {
            p->vx = 0;
            p->ax = 0;
        }
    } else if (op.mode == kControlRelease) {
        m_world.playerControl = 1;
        m_world.cameraFollow = 1;
    }
    done = kDone;
}

// Without a player nothing can land: the countdown runs at once.
void CScriptCommand::UpdateDelay(int32_t dt) {
    const CActor* p = m_world.player;
    if (m_waitForLanding && HudMode() != CHud::kFullScreenSprite) {
        if (p == nullptr || p->onGround != 0) m_waitForLanding = false;
        return;
    }
    m_remainingMs -= dt;
    if (m_remainingMs <= 0) done = kDone;
}

void CScriptCommand::StartShake(const ScriptShakeOperands& op) {
    m_world.shakeAmplitudeX = op.amplitudeX;
    m_world.shakeAmplitudeY = op.amplitudeY;
    m_remainingMs = op.ms;
    if (op.amplitudeX != 0 || op.amplitudeY != 0) {
        if (op.ms == kEndlessShake) {
            done = kDone;
        } else if (!op.wait) {
            done = kNonBlocking;
        }
        return;
    }
    m_world.shakeOffsetX = 0;
    m_world.shakeOffsetY = 0;
    done = kDone;
}

void CScriptCommand::UpdateShake(int32_t dt) {
    m_remainingMs -= dt;
    if (m_remainingMs > 0) return;
    m_world.shakeOffsetX = 0;
    m_world.shakeOffsetY = 0;
    m_world.shakeAmplitudeX = 0;
    m_world.shakeAmplitudeY = 0;
    done = kDone;
}

void CScriptCommand::StartLevelEnd() {
    m_world.SetSubState(CGameWorld::kSubStateComplete);
    CHud* hud = m_world.GetHud();
    if (hud != nullptr) hud->modal = 1;
    if (CGameInput* input = m_world.GetInput()) input->skipSoftKeyPaint = true;
    if (hud != nullptr && m_world.level + 1 < CGameWorld::kLevelCount) hud->Clear();
    done = kDone;
}

void CScriptCommand::StartSignal(const ScriptActorOperands& op) {
    signalledRef = op.ref;
    if (RefSpawnState(op.ref) != CGameWorld::kSpawnDestroyed) {
        if (CActor* a = m_world.FindActorById(op.ref)) a->OnScriptSignal();
    }
    done = kDone;
}

void CScriptCommand::UpdateScriptTimer(int32_t dt) {
    m_world.scriptTimer += dt;
    if (m_world.scriptTimer >= kTimerMs) done = kDone;
}

void CScriptCommand::StartBounds(const ScriptBoundsOperands& op) {
    const int32_t x2 = op.x2 == -1 ? m_world.mapWidth - 1 : op.x2;
    const int32_t y2 = op.y2 == -1 ? m_world.mapHeight - 1 : op.y2;
    m_world.SetCameraBounds(op.x1, op.y1, x2 + 1, y2 + 1);
    done = kDone;
}

void CScriptCommand::StartPlace(const ScriptPlaceOperands& op) {
    if (CActor* a = m_world.FindActorById(op.ref)) {
        a->SetPositionAnchored(op.tileX * CGameWorld::kTileSize, (op.tileY + 1) * CGameWorld::kTileSize,
                               kAnchorBoxTop);
    }
    done = kDone;
}

void CScriptCommand::StartPartnerRun() {
    if (m_world.partnerAvailable == 0) return;
    CActor* p = m_world.player;
    if (p != nullptr && p->vx == 0) {
        m_world.autoRun = 1;
    } else if (p != nullptr) {
        p->vx = 0;
        p->ax = 0;
        m_world.autoRun = 0;
    }
    done = kDone;
}

// A sub-state the world has no frame for would stop play on a black
// screen: such an operand is ignored.
void CScriptCommand::StartSubState(const ScriptSubStateOperands& op) {
    if (CGameWorld::IsScriptSubState(op.value)) {
        m_world.SetSubState(op.value);
    } else {
        DebugPrintf("script: sub-state %d is not one of play's: ignored", op.value);
    }
    done = kDone;
}

void CScriptCommand::StartFullScreenPause() {
    m_world.playerControl = 0;
    if (CHud* hud = m_world.GetHud()) {
        hud->ShowFullScreenSprite();
        hud->modal = 1;
    }
    if (CGameInput* input = m_world.GetInput()) input->SetSoftKeys(static_cast<uint32_t>(-1));
}

int32_t CScriptCommand::RefSpawnState(int32_t ref) const {
    const int32_t spawn = m_world.SpawnIndexOfReference(ref);
    if (spawn < 0 || spawn >= static_cast<int32_t>(m_world.spawns.size())) return CGameWorld::kSpawnFree;
    return m_world.spawns[static_cast<size_t>(spawn)].state;
}

int32_t CScriptCommand::HudMode() const {
    const CHud* hud = m_world.GetHud();
    return hud != nullptr ? hud->mode : CHud::kClosed;
}
