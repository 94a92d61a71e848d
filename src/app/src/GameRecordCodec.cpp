#include "GameRecordCodec.h"

#include "CArrayInputStream.h"
#include "CArrayOutputStream.h"
#include "CAssert.h"

namespace {

int32_t LengthOf(const RecordBytes& record) { return record.getData() == nullptr ? 0 : record.length(); }

// A record too short for what the game stores in it is refused.
bool LongEnough(const RecordBytes& record, int32_t bytes, const char* what) {
    const int32_t length = LengthOf(record);
    if (length >= bytes) return true;
    if (length > 0) DebugPrintf("%s record of %d bytes is too short; refused", what, length);
    return false;
}

}  // namespace

RecordBytes EncodeSettingsRecord(uint8_t touchNoticeShown) {
    const uint8_t byte = touchNoticeShown != 0 ? 1 : 0;
    return MakeRecordBytes(&byte, kSettingsRecordBytes);
}

bool DecodeSettingsRecord(const RecordBytes& record, uint8_t* touchNoticeShown) {
    if (!LongEnough(record, kSettingsRecordBytes, "Settings")) return false;
    const uint8_t byte = record.getData()[0];
    if (byte > 1) {
        DebugPrintf("Settings record holds %u where 0 or 1 belongs; refused", byte);
        return false;
    }
    *touchNoticeShown = byte;
    return true;
}

RecordBytes EncodeProgressRecord(int32_t highestLevel) {
    uint8_t bytes[kProgressRecordBytes] = {};
    CArrayOutputStream out;
    out.Open(bytes, kProgressRecordBytes);
    out.WriteUInt32(static_cast<uint32_t>(highestLevel));
    return MakeRecordBytes(bytes, kProgressRecordBytes);
}

bool DecodeProgressRecord(const RecordBytes& record, int32_t* highestLevel) {
    if (!LongEnough(record, kProgressRecordBytes, "Progress")) return false;
    CArrayInputStream in;
    in.Open(record.getData(), kProgressRecordBytes);
    const uint32_t level = in.ReadUInt32();
    if (in.HasError() || level > kHighestLevelMax) {
        DebugPrintf("Progress record holds level %u beyond the last; refused", level);
        return false;
    }
    *highestLevel = static_cast<int32_t>(level);
    return true;
}
