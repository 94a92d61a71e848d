#ifndef LEVELSCRIPTDECODER_H
#define LEVELSCRIPTDECODER_H

// Decodes one script command's bytes (big-endian, opcode first) into its
// operands, and tells what a command does to its script when it starts.

#include <cstdint>

#include "LevelScriptRecords.h"

class LevelScriptDecoder {
public:
    // False, with a debug line, when the bytes end before the operands
    // their opcode needs; bytes after them are kept but not read. A
    // reference outside 0..refCount - 1 becomes kScriptNoRef and a speaker
    // outside -1..10 kScriptNoSpeaker, each with a debug line.
    static bool Decode(const uint8_t* bytes, uint32_t length, uint32_t refCount, LevelScriptCommand* out);

    // True when the script may go past the command in the call that starts
    // it: the command finishes at once, or does not make its script wait,
    // or (opcode 23) may do either, depending on the world.
    static bool MayPassAtStart(const LevelScriptCommand& command);
};

#endif
