#include "ScriptCommands.h"

#include "BigEndianWriter.h"

using leveldata::Command;

namespace {

// Camera modes and wait kinds as stored.
constexpr int8_t kCameraPoint = 0;
constexpr int8_t kCameraType = 1;
constexpr int8_t kCameraReference = 2;
constexpr int8_t kWaitArea = 0;
constexpr int8_t kWaitActor = 1;
constexpr int8_t kWaitValues = 2;

uint8_t Bool(bool value) { return value ? 1 : 0; }

}  // namespace

Command ScriptCommands::Bare(int8_t opcode) {
    Command command;
    command.opcode = opcode;
    return command;
}

Command ScriptCommands::WaitForArea(int16_t x, int16_t y, int16_t w, int16_t h) {
    Command command = Bare(kWait);
    BigEndianWriter out(command.operands);
    out.I8(kWaitArea);
    out.I16(x);
    out.I16(y);
    out.I16(w);
    out.I16(h);
    return command;
}

Command ScriptCommands::WaitForActorNear(int8_t ref, int16_t distance, bool gone) {
    Command command = Bare(kWait);
    BigEndianWriter out(command.operands);
    out.I8(kWaitActor);
    out.I8(ref);
    out.I16(distance);
    out.U8(Bool(gone));
    return command;
}

Command ScriptCommands::WaitWithValues(const std::vector<int16_t>& values) {
    Command command = Bare(kWait);
    BigEndianWriter out(command.operands);
    out.I8(kWaitValues);
    out.I8(static_cast<int8_t>(values.size()));
    for (int16_t value : values) out.I16(value);
    return command;
}

Command ScriptCommands::Camera(bool instant, int16_t speed, bool wait, int8_t mode) {
    Command command = Bare(kCamera);
    BigEndianWriter out(command.operands);
    out.U8(Bool(instant));
    if (!instant) out.I16(speed);
    out.U8(Bool(wait));
    out.I8(mode);
    return command;
}

Command ScriptCommands::CameraToPoint(bool instant, int16_t speed, bool wait, int16_t x, int16_t y) {
    Command command = Camera(instant, speed, wait, kCameraPoint);
    BigEndianWriter out(command.operands);
    out.I16(x);
    out.I16(y);
    return command;
}

Command ScriptCommands::CameraToType(bool instant, int16_t speed, bool wait, int8_t type) {
    Command command = Camera(instant, speed, wait, kCameraType);
    BigEndianWriter(command.operands).I8(type);
    return command;
}

Command ScriptCommands::CameraToReference(bool instant, int16_t speed, bool wait, int16_t ref) {
    Command command = Camera(instant, speed, wait, kCameraReference);
    BigEndianWriter(command.operands).I16(ref);
    return command;
}

Command ScriptCommands::Message(int8_t opcode, int8_t speaker, int16_t text) {
    Command command = Bare(opcode);
    BigEndianWriter out(command.operands);
    out.I8(speaker);
    out.I16(text);
    return command;
}

Command ScriptCommands::Dialogue(int8_t speaker, int16_t text) { return Message(kDialogue, speaker, text); }

Command ScriptCommands::TextPage(int8_t speaker, int16_t text) { return Message(kTextPage, speaker, text); }

Command ScriptCommands::PlayerMove(bool teleport, int16_t tx, int16_t ty, int8_t facing, bool noWait) {
    Command command = Bare(kPlayerMove);
    BigEndianWriter out(command.operands);
    out.U8(Bool(teleport));
    out.I16(tx);
    out.I16(ty);
    out.I8(facing);
    out.U8(Bool(noWait));
    return command;
}

Command ScriptCommands::PlayerControl(int8_t mode) {
    Command command = Bare(kPlayerControl);
    BigEndianWriter(command.operands).I8(mode);
    return command;
}

Command ScriptCommands::Delay(bool afterLanding, int16_t ms) {
    Command command = Bare(kDelay);
    BigEndianWriter out(command.operands);
    out.U8(Bool(afterLanding));
    out.I16(ms);
    return command;
}

Command ScriptCommands::Shake(bool wait, int16_t ms, int8_t ax, int8_t ay) {
    Command command = Bare(kShake);
    BigEndianWriter out(command.operands);
    out.U8(Bool(wait));
    out.I16(ms);
    out.I8(ax);
    out.I8(ay);
    return command;
}

Command ScriptCommands::Reference(int8_t opcode, int16_t ref) {
    Command command = Bare(opcode);
    BigEndianWriter(command.operands).I16(ref);
    return command;
}

Command ScriptCommands::SignalActor(int16_t ref) { return Reference(kSignalActor, ref); }

Command ScriptCommands::TouchActor(int16_t ref) { return Reference(kTouchActor, ref); }

Command ScriptCommands::ScriptFlag(bool value) {
    Command command = Bare(kScriptFlag);
    BigEndianWriter(command.operands).U8(Bool(value));
    return command;
}

Command ScriptCommands::CameraBounds(int16_t x1, int16_t y1, int16_t x2, int16_t y2) {
    Command command = Bare(kCameraBounds);
    BigEndianWriter out(command.operands);
    out.I16(x1);
    out.I16(y1);
    out.I16(x2);
    out.I16(y2);
    return command;
}

Command ScriptCommands::PlaceActor(int16_t tx, int16_t ty, int16_t ref) {
    Command command = Bare(kPlaceActor);
    BigEndianWriter out(command.operands);
    out.I16(tx);
    out.I16(ty);
    out.I16(ref);
    return command;
}

Command ScriptCommands::StopScript(int16_t scriptId) { return Reference(kStopScript, scriptId); }

Command ScriptCommands::IgnoredByte(int8_t value) {
    Command command = Bare(kIgnoredByte);
    BigEndianWriter(command.operands).I8(value);
    return command;
}

Command ScriptCommands::SetSubState(int16_t value) { return Reference(kSetSubState, value); }
