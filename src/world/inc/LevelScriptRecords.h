#ifndef LEVELSCRIPTRECORDS_H
#define LEVELSCRIPTRECORDS_H

// The records a level's script table is read into (LevelScriptData): per
// script its id, loop flag, chained scripts and commands, and per command
// its bytes and its decoded operands. References, speakers and script
// indexes in them have been checked against their tables.

#include <cstdint>
#include <variant>
#include <vector>

// Opcodes 0 .. kScriptOpcodeCount - 1 exist; any other never finishes.
constexpr int32_t kScriptOpcodeCount = 30;
// A reference or script index that names nothing.
constexpr int16_t kScriptNoRef = -1;
constexpr int16_t kScriptNoIndex = -1;
constexpr int8_t kScriptNoSpeaker = -1;
// Speakers the HUD has portraits and names for: 0 .. kScriptSpeakerCount - 1.
constexpr int8_t kScriptSpeakerCount = 11;
// Opcode 1 without its speed operand (an instant move).
constexpr int16_t kScriptNoSpeed = -1;

// Opcode 0: wait kinds.
constexpr int8_t kScriptWaitArea = 0;
constexpr int8_t kScriptWaitActor = 1;
constexpr int8_t kScriptWaitValues = 2;

// Opcode 1: what the camera goes to.
constexpr int8_t kScriptCameraPoint = 0;
constexpr int8_t kScriptCameraType = 1;
constexpr int8_t kScriptCameraReference = 2;

// Opcode 0. Kind 0: the rectangle; kind 1: ref, distance, gone; kind 2: the
// values; other kinds: nothing more.
struct ScriptWaitOperands {
    int8_t kind = 0;
    int16_t x = 0;
    int16_t y = 0;
    int16_t width = 0;
    int16_t height = 0;
    int16_t ref = kScriptNoRef;
    int16_t distance = 0;
    bool gone = false;
    std::vector<int16_t> values;
};

// Opcode 1. speed is kScriptNoSpeed for an instant move; x, y for mode 0,
// type for mode 1, ref for mode 2.
struct ScriptCameraOperands {
    bool instant = false;
    int16_t speed = kScriptNoSpeed;
    bool wait = false;
    int8_t mode = 0;
    int16_t x = 0;
    int16_t y = 0;
    int8_t type = 0;
    int16_t ref = kScriptNoRef;
};

// Opcodes 2 and 29. text indexes the dialogue key set.
struct ScriptMessageOperands {
    int8_t speaker = kScriptNoSpeaker;
    int16_t text = 0;
};

// Opcode 3, tile coordinates.
struct ScriptPlayerMoveOperands {
    bool teleport = false;
    int16_t tileX = 0;
    int16_t tileY = 0;
    int8_t facing = 0;
    bool noWait = false;
};

// Opcode 4.
struct ScriptPlayerControlOperands {
    int8_t mode = 0;
};

// Opcode 5.
struct ScriptDelayOperands {
    bool afterLanding = false;
    int16_t ms = 0;
};

// Opcode 6. ms -1 is endless.
struct ScriptShakeOperands {
    bool wait = false;
    int16_t ms = 0;
    int8_t amplitudeX = 0;
    int8_t amplitudeY = 0;
};

// Opcodes 8 and 16.
struct ScriptActorOperands {
    int16_t ref = kScriptNoRef;
};

// Opcode 13.
struct ScriptFlagOperands {
    bool value = false;
};

// Opcode 18, tiles; -1 for x2 or y2 is the map's last column or row.
struct ScriptBoundsOperands {
    int16_t x1 = 0;
    int16_t y1 = 0;
    int16_t x2 = 0;
    int16_t y2 = 0;
};

// Opcode 20, tiles.
struct ScriptPlaceOperands {
    int16_t tileX = 0;
    int16_t tileY = 0;
    int16_t ref = kScriptNoRef;
};

// Opcode 21. scriptIndex is the first script of that id, kScriptNoIndex
// when the table has none.
struct ScriptStopOperands {
    int16_t scriptId = 0;
    int16_t scriptIndex = kScriptNoIndex;
};

// Opcode 28.
struct ScriptSubStateOperands {
    int16_t value = 0;
};

// std::monostate for opcodes without operands (and for opcode 22, whose
// byte is ignored, and unknown opcodes).
using ScriptOperands =
    std::variant<std::monostate, ScriptWaitOperands, ScriptCameraOperands, ScriptMessageOperands,
                 ScriptPlayerMoveOperands, ScriptPlayerControlOperands, ScriptDelayOperands, ScriptShakeOperands,
                 ScriptActorOperands, ScriptFlagOperands, ScriptBoundsOperands, ScriptPlaceOperands,
                 ScriptStopOperands, ScriptSubStateOperands>;

struct LevelScriptCommand {
    int8_t opcode = -1;
    // The command as stored, opcode first.
    std::vector<uint8_t> bytes;
    ScriptOperands operands;
};

struct LevelScript {
    int16_t id = 0;
    bool loop = false;
    // Scripts started when this one ends without looping: the ids as
    // stored, and the first script of each id (kScriptNoIndex for none).
    std::vector<int16_t> chainIds;
    std::vector<int16_t> chainIndices;
    std::vector<LevelScriptCommand> commands;
};

#endif
