#ifndef LEVELSCRIPTWRITER_H
#define LEVELSCRIPTWRITER_H

// Encodes a level's scripts into the big-endian stream the game's script
// reader takes (LevelScriptData):
//
//   std::vector<leveldata::Script> scripts = ...;   // see LevelScript.h
//   scripts[0].commands.push_back(ScriptCommands::Dialogue(-1, 5));
//   std::vector<uint8_t> bytes;
//   std::string error;
//   if (!LevelScriptWriter::Encode(scripts, &bytes, &error)) ... error says why
//
// Layout, no padding:
//   u8 S; S x { s16 id; u8 loop; u8 P; P x s16 chained id; s8 K;
//               K x { s8 L; L bytes: the opcode, then its operands } }
//
// The writer checks only that every count fits its field (K and L at most
// 127) and refuses with a reason otherwise.

#include <cstdint>
#include <string>
#include <vector>

#include "LevelScript.h"

class LevelScriptWriter {
public:
    static constexpr uint32_t kMaxScripts = 255;
    static constexpr uint32_t kMaxChain = 255;
    static constexpr uint32_t kMaxCommands = 127;
    static constexpr uint32_t kMaxCommandBytes = 127;

    static bool Encode(const std::vector<leveldata::Script>& scripts, std::vector<uint8_t>* out,
                       std::string* error);
};

#endif
