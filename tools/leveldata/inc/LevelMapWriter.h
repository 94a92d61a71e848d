#ifndef LEVELMAPWRITER_H
#define LEVELMAPWRITER_H

// Encodes a level map into the big-endian stream the game's map reader
// takes (LevelMapData):
//
//   leveldata::LevelMap map = ...;   // see LevelMap.h
//   std::vector<uint8_t> bytes;
//   std::string error;
//   if (!LevelMapWriter::Encode(map, &bytes, &error)) ... error says why
//
// Layout, in order, no padding:
//   u8 background present; when present u16 w, u16 h, w*h u8 tiles
//   u8 n; n x { u8 L; L flag bytes }
//   u16 w, u16 h, w*h s8 collision codes
//   u16 w, u16 h, w*h u8 main-layer tiles
//   u8 m; m x template { u8 type (0x80 empty: nothing more), u8 sprite,
//       s8 anchor, u8 data length + 3, u8 flag, s8 h-range, s8 v-range,
//       data bytes }
//   s16 N; N x { s8 template, s16 x, s16 y }
//   s16 K; K x { u8 kind; kind 1: u8 index, s16 spawn; kinds 0, 2, 3, 4:
//       s16 x, s16 y; others: nothing }
//
// The writer checks only that every count and size fits its field and
// that each layer holds width x height cells; it refuses with a reason
// otherwise.

#include <cstdint>
#include <string>
#include <vector>

#include "LevelMap.h"

class LevelMapWriter {
public:
    static constexpr uint32_t kMaxTileTypes = 255;
    static constexpr uint32_t kMaxFlagBytes = 255;
    static constexpr uint32_t kMaxTemplates = 255;
    static constexpr uint32_t kMaxTemplateData = 252;
    static constexpr uint32_t kMaxRecords = 32767;

    static bool Encode(const leveldata::LevelMap& map, std::vector<uint8_t>* out, std::string* error);
};

#endif
