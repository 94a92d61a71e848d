#ifndef GAMERECORDCODEC_H
#define GAMERECORDCODEC_H

#include <cstdint>

#include "RecordStore.h"

// The two records the game keeps between runs. Record 0 holds one byte:
// whether the touch-screen notice has been shown (0 or 1). Record 1 holds
// the highest level reached, 0 to 8, as an unsigned 32-bit little-endian
// number. Longer records are read for the bytes the game knows; a record
// too short for them or holding a value out of range is refused and the
// reader keeps its default.

constexpr int32_t kSettingsRecordBytes = 1;
constexpr int32_t kProgressRecordBytes = 4;
constexpr int32_t kHighestLevelMax = 8;

RecordBytes EncodeSettingsRecord(uint8_t touchNoticeShown);
// False (and a debug line for a record that is there) when it is refused.
bool DecodeSettingsRecord(const RecordBytes& record, uint8_t* touchNoticeShown);
RecordBytes EncodeProgressRecord(int32_t highestLevel);
bool DecodeProgressRecord(const RecordBytes& record, int32_t* highestLevel);

#endif
