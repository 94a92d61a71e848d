#include "LevelScriptDecoder.h"

#include "CArrayInputStream.h"
#include "CAssert.h"
#include "LevelMapData.h"

namespace {

// Opcodes whose operands or start matter here.
constexpr int8_t kOpWait = 0;
constexpr int8_t kOpCamera = 1;
constexpr int8_t kOpDialogue = 2;
constexpr int8_t kOpPlayerMove = 3;
constexpr int8_t kOpPlayerControl = 4;
constexpr int8_t kOpDelay = 5;
constexpr int8_t kOpShake = 6;
constexpr int8_t kOpLevelComplete = 7;
constexpr int8_t kOpSignalActor = 8;
constexpr int8_t kOpScriptFlag = 13;
constexpr int8_t kOpTouchActor = 16;
constexpr int8_t kOpNothing = 17;
constexpr int8_t kOpCameraBounds = 18;
constexpr int8_t kOpPlaceActor = 20;
constexpr int8_t kOpStopScript = 21;
constexpr int8_t kOpIgnoredByte = 22;
constexpr int8_t kOpPartnerRun = 23;
constexpr int8_t kOpSetSubState = 28;
constexpr int8_t kOpTextPage = 29;
// Opcode 6's endless duration.
constexpr int16_t kEndlessMs = -1;

bool ReadBool(CInputStream& in) { return in.ReadUInt8() != 0; }

int16_t CheckedRef(int32_t ref, uint32_t refCount, int8_t opcode) {
    if (ref >= 0 && static_cast<uint32_t>(ref) < refCount) return static_cast<int16_t>(ref);
    DebugPrintf("LevelScriptData: opcode %d names reference %d, outside 0..%u", opcode, ref, refCount - 1);
    return kScriptNoRef;
}

int8_t CheckedSpeaker(int8_t speaker, int8_t opcode) {
    if (speaker >= kScriptNoSpeaker && speaker < kScriptSpeakerCount) return speaker;
    DebugPrintf("LevelScriptData: opcode %d names speaker %d, outside -1..%d: none", opcode, speaker,
                kScriptSpeakerCount - 1);
    return kScriptNoSpeaker;
}

ScriptWaitOperands ReadWait(CInputStream& in, uint32_t refCount) {
    ScriptWaitOperands wait;
    wait.kind = in.ReadInt8();
    if (wait.kind == kScriptWaitArea) {
        wait.x = in.ReadInt16();
        wait.y = in.ReadInt16();
        wait.width = in.ReadInt16();
        wait.height = in.ReadInt16();
    } else if (wait.kind == kScriptWaitActor) {
        const int8_t ref = in.ReadInt8();
        wait.distance = in.ReadInt16();
        wait.gone = ReadBool(in);
        wait.ref = CheckedRef(ref, refCount, kOpWait);
    } else if (wait.kind == kScriptWaitValues) {
        const int8_t count = in.ReadInt8();
        for (int8_t i = 0; i < count && !in.HasError(); ++i) wait.values.push_back(in.ReadInt16());
    }
    return wait;
}

ScriptCameraOperands ReadCamera(CInputStream& in, uint32_t refCount) {
    ScriptCameraOperands camera;
    camera.instant = ReadBool(in);
    if (!camera.instant) camera.speed = in.ReadInt16();
    camera.wait = ReadBool(in);
    camera.mode = in.ReadInt8();
    if (camera.mode == kScriptCameraPoint) {
        camera.x = in.ReadInt16();
        camera.y = in.ReadInt16();
    } else if (camera.mode == kScriptCameraType) {
        camera.type = in.ReadInt8();
        if (camera.type < kNoActorType || camera.type >= LevelMapData::kActorTypeCount) {
            DebugPrintf("LevelScriptData: opcode 1 follows actor type %d, which no actor has", camera.type);
        }
    } else if (camera.mode == kScriptCameraReference) {
        camera.ref = CheckedRef(in.ReadInt16(), refCount, kOpCamera);
    }
    return camera;
}

ScriptMessageOperands ReadMessage(CInputStream& in, int8_t opcode) {
    ScriptMessageOperands message;
    message.speaker = CheckedSpeaker(in.ReadInt8(), opcode);
    message.text = in.ReadInt16();
    return message;
}

ScriptPlayerMoveOperands ReadPlayerMove(CInputStream& in) {
    ScriptPlayerMoveOperands move;
    move.teleport = ReadBool(in);
    move.tileX = in.ReadInt16();
    move.tileY = in.ReadInt16();
    move.facing = in.ReadInt8();
    move.noWait = ReadBool(in);
    return move;
}

ScriptDelayOperands ReadDelay(CInputStream& in) {
    ScriptDelayOperands delay;
    delay.afterLanding = ReadBool(in);
    delay.ms = in.ReadInt16();
    return delay;
}

ScriptShakeOperands ReadShake(CInputStream& in) {
    ScriptShakeOperands shake;
    shake.wait = ReadBool(in);
    shake.ms = in.ReadInt16();
    shake.amplitudeX = in.ReadInt8();
    shake.amplitudeY = in.ReadInt8();
    return shake;
}

ScriptBoundsOperands ReadBounds(CInputStream& in) {
    ScriptBoundsOperands bounds;
    bounds.x1 = in.ReadInt16();
    bounds.y1 = in.ReadInt16();
    bounds.x2 = in.ReadInt16();
    bounds.y2 = in.ReadInt16();
    return bounds;
}

ScriptPlaceOperands ReadPlace(CInputStream& in, uint32_t refCount) {
    ScriptPlaceOperands place;
    place.tileX = in.ReadInt16();
    place.tileY = in.ReadInt16();
    place.ref = CheckedRef(in.ReadInt16(), refCount, kOpPlaceActor);
    return place;
}

ScriptOperands ReadOperands(CInputStream& in, int8_t opcode, uint32_t refCount) {
    switch (opcode) {
    case kOpWait: return ReadWait(in, refCount);
    case kOpCamera: return ReadCamera(in, refCount);
    case kOpDialogue:
    case kOpTextPage: return ReadMessage(in, opcode);
    case kOpPlayerMove: return ReadPlayerMove(in);
    case kOpPlayerControl: return ScriptPlayerControlOperands{in.ReadInt8()};
    case kOpDelay: return ReadDelay(in);
    case kOpShake: return ReadShake(in);
    case kOpSignalActor:
    case kOpTouchActor: return ScriptActorOperands{CheckedRef(in.ReadInt16(), refCount, opcode)};
    case kOpScriptFlag: return ScriptFlagOperands{ReadBool(in)};
    case kOpCameraBounds: return ReadBounds(in);
    case kOpPlaceActor: return ReadPlace(in, refCount);
    case kOpStopScript: return ScriptStopOperands{in.ReadInt16(), kScriptNoIndex};
    case kOpIgnoredByte: in.ReadInt8(); return std::monostate();
    case kOpSetSubState: return ScriptSubStateOperands{in.ReadInt16()};
    default: return std::monostate();
    }
}

bool ShakePasses(const ScriptShakeOperands& shake) {
    if (shake.amplitudeX == 0 && shake.amplitudeY == 0) return true;
    return shake.ms == kEndlessMs || !shake.wait;
}

}  // namespace

bool LevelScriptDecoder::Decode(const uint8_t* bytes, uint32_t length, uint32_t refCount, LevelScriptCommand* out) {
    CArrayInputStream in(1);
    in.Open(bytes, length);
    out->bytes.assign(bytes, bytes + length);
    out->opcode = in.ReadInt8();
    out->operands = ReadOperands(in, out->opcode, refCount);
    if (in.HasError()) {
        DebugPrintf("LevelScriptData: a command of opcode %d has %u bytes, too few for its operands", out->opcode,
                    length);
        return false;
    }
    if (out->opcode < 0 || out->opcode >= kScriptOpcodeCount) {
        DebugPrintf("LevelScriptData: unknown opcode %d never finishes", out->opcode);
    }
    return true;
}

bool LevelScriptDecoder::MayPassAtStart(const LevelScriptCommand& command) {
    switch (command.opcode) {
    case kOpCamera: {
        const auto* camera = std::get_if<ScriptCameraOperands>(&command.operands);
        return camera != nullptr && (camera->instant || !camera->wait);
    }
    case kOpPlayerMove: {
        const auto* move = std::get_if<ScriptPlayerMoveOperands>(&command.operands);
        return move != nullptr && (move->teleport || move->noWait);
    }
    case kOpShake: {
        const auto* shake = std::get_if<ScriptShakeOperands>(&command.operands);
        return shake != nullptr && ShakePasses(*shake);
    }
    case kOpPlayerControl:
    case kOpLevelComplete:
    case kOpSignalActor:
    case kOpScriptFlag:
    case kOpTouchActor:
    case kOpNothing:
    case kOpCameraBounds:
    case kOpPlaceActor:
    case kOpStopScript:
    case kOpPartnerRun:
    case kOpSetSubState: return true;
    default: return false;
    }
}
