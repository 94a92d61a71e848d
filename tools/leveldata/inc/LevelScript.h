#ifndef LEVELSCRIPT_H
#define LEVELSCRIPT_H

// A level's scripts as plain values, the input of LevelScriptWriter.
// ScriptCommands.h builds the commands with their operands. The rules the
// game relies on are the content's to keep: script 1 exists, ids are
// unique, a looping script waits somewhere, and commands that do not wait
// (camera without wait, walk without wait, shake without wait) come last.

#include <cstdint>
#include <vector>

namespace leveldata {

// One command: the opcode, then its operand bytes, big-endian.
struct Command {
    int8_t opcode = 0;
    std::vector<uint8_t> operands;
};

struct Script {
    int16_t id = 0;
    // Non-zero: the script starts again when its last command finishes.
    uint8_t loop = 0;
    // Ids of the scripts started, in order, when it ends without looping.
    std::vector<int16_t> chain;
    std::vector<Command> commands;
};

}  // namespace leveldata

#endif
