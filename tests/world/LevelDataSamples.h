#ifndef LEVELDATASAMPLES_H
#define LEVELDATASAMPLES_H

// Synthetic levels for the level-data tests (and the seeds of the level
// fuzz targets): every record kind of the map and every opcode of the
// scripts, written by the level writers.

#include <cstdint>
#include <vector>

#include "LevelMap.h"
#include "LevelScript.h"

class LevelMapData;
class LevelScriptData;

namespace levelsamples {

// Background, four tile types of 6, 8 and 2 flag bytes, a 4 x 3 map, eight
// templates (empty, typeless, shared sprites, a sprite-less one), four
// spawns and references of every kind.
leveldata::LevelMap EveryRecordMap();
// The smallest map the game can start: one tile type, a start record.
leveldata::LevelMap MinimalMap();
// Script 1 runs one command of every opcode, 0 to 29 and 30, in turn;
// script 2 loops on a wait; script 3 chains 1 and 2.
std::vector<leveldata::Script> EveryOpcodeScripts();

std::vector<uint8_t> Encode(const leveldata::LevelMap& map);
std::vector<uint8_t> Encode(const std::vector<leveldata::Script>& scripts);

// Reads the bytes as the game does (big-endian stream).
bool ReadMap(const std::vector<uint8_t>& bytes, LevelMapData* map);
bool ReadScripts(const std::vector<uint8_t>& bytes, LevelScriptData* scripts);

}  // namespace levelsamples

#endif
