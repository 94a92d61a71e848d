// The readers of the game's records on arbitrary bytes: the three
// checksummed files and the two raw records. A reader either refuses the
// bytes, changing nothing, or takes values it can write back unchanged.
// The checksummed records see each input twice: as it stands, and with its
// leading CRC-32 set to match the bytes behind it, since a mutation almost
// never keeps the CRC right and the readers behind the check would
// otherwise stay out of reach.

#include <cstdint>
#include <cstring>
#include <vector>

#include "CArrayOutputStream.h"
#include "CCrc32.h"
#include "CHash.h"
#include "CHighScoreTable.h"
#include "CPrefsRecord.h"
#include "CSaveGameRecord.h"
#include "FuzzCheck.h"
#include "GameRecordCodec.h"
#include "WideStr.h"

namespace {

// What the record holds must survive a write and a read.
void CheckRoundTrip(CChecksummedRecord& record) {
    uint8_t first[CChecksummedRecord::kMaxFileBytes] = {};
    uint8_t second[CChecksummedRecord::kMaxFileBytes] = {};
    record.Serialize(first);
    Check(record.Deserialize(first, record.GetFileBytes()));
    record.Serialize(second);
    Check(std::memcmp(first, second, record.GetFileBytes()) == 0);
}

void CheckChecksummed(CChecksummedRecord& record, const uint8_t* data, uint32_t size) {
    uint8_t before[CChecksummedRecord::kMaxFileBytes] = {};
    record.Serialize(before);
    if (record.Deserialize(data, size)) {
        Check(size == record.GetFileBytes());
        CheckRoundTrip(record);
        return;
    }
    uint8_t after[CChecksummedRecord::kMaxFileBytes] = {};
    record.Serialize(after);
    Check(std::memcmp(before, after, record.GetFileBytes()) == 0);
}

void CheckNames(const CHighScoreTable& table) {
    Check(WideStrLen(table.GetPlayerName()) < CHighScoreTable::kNameUnits);
    for (int32_t i = 0; i < CHighScoreTable::kEntries; ++i) {
        Check(WideStrLen(table.GetName(0, i)) < CHighScoreTable::kNameUnits);
    }
}

void CheckRawRecords(const uint8_t* data, uint32_t size) {
    const int32_t length = size > 64 ? 64 : static_cast<int32_t>(size);
    const RecordBytes record = MakeRecordBytes(data, length);
    uint8_t shown = 7;
    if (DecodeSettingsRecord(record, &shown)) {
        Check(shown <= 1);
    } else {
        Check(shown == 7);
    }
    int32_t level = -5;
    if (DecodeProgressRecord(record, &level)) {
        Check(level >= 0 && level <= kHighestLevelMax);
        int32_t again = -5;
        Check(DecodeProgressRecord(EncodeProgressRecord(level), &again) && again == level);
    } else {
        Check(level == -5);
    }
}

// The input with its first four bytes replaced by the CRC-32 of the rest,
// stored as the records store it.
std::vector<uint8_t> WithMatchingCrc(CCrc32& crc, const uint8_t* data, uint32_t size) {
    std::vector<uint8_t> image(data, data + size);
    if (size < CChecksummedRecord::kCrcBytes) return image;
    const uint32_t checksum =
        crc.Compute(image.data() + CChecksummedRecord::kCrcBytes, size - CChecksummedRecord::kCrcBytes);
    CArrayOutputStream out;
    out.Open(image.data(), CChecksummedRecord::kCrcBytes);
    out.WriteUInt32(checksum);
    return image;
}

void CheckChecksummedRecords(const uint8_t* data, uint32_t size) {
    CHighScoreTable scores;
    CPrefsRecord prefs;
    CSaveGameRecord saved;
    CheckChecksummed(scores, data, size);
    CheckNames(scores);
    CheckChecksummed(prefs, data, size);
    CheckChecksummed(saved, data, size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const uint32_t length = size > 0xFFFF ? 0xFFFF : static_cast<uint32_t>(size);
    CHash table;
    Check(table.Init(8, 8, true));
    CSingleton::SetTable(&table);
    {
        CCrc32 crc;
        CheckChecksummedRecords(data, length);
        const std::vector<uint8_t> matching = WithMatchingCrc(crc, data, length);
        CheckChecksummedRecords(matching.data(), length);
        CheckRawRecords(data, length);
    }
    CSingleton::SetTable(nullptr);
    return 0;
}
