#ifndef CPREFSRECORD_H
#define CPREFSRECORD_H

#include "CChecksummedRecord.h"

// prefs.dat: twelve bytes of preferences: four reserved, then the sound
// switch, the core's second flag and its level setting. Part of the
// engine's API: the game keeps its settings elsewhere and never uses it.
class CPrefsRecord : public CChecksummedRecord {
public:
    static constexpr uint32_t kClassKey = 0x2F998C85;
    static constexpr WChar kFileName[] = u"prefs.dat";
    static constexpr uint32_t kDataBytes = 12;
    static constexpr int32_t kSoundEnabled = 4;
    static constexpr int32_t kSecondFlag = 5;
    static constexpr int32_t kLevelSetting = 6;
    static constexpr int32_t kDefaultsFrom = 4;

    CPrefsRecord() : CChecksummedRecord(kClassKey, kFileName, kDataBytes) { Reset(); }

    // The switches back to the core's defaults; the reserved bytes stay.
    void Reset() override;
    uint8_t GetByte(int32_t i) const { return i >= 0 && i < static_cast<int32_t>(kDataBytes) ? m_data[i] : 0; }
    void SetByte(int32_t i, uint8_t value);

protected:
    void WriteData(COutputStream& out) const override;
    void ReadData(CInputStream& in) override;
    // The sound switch follows the core whatever the file said.
    void AfterLoad() override;

private:
    uint8_t m_data[kDataBytes] = {};
};

#endif
