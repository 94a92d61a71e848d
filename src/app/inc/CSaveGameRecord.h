#ifndef CSAVEGAMERECORD_H
#define CSAVEGAMERECORD_H

#include "CChecksummedRecord.h"

// savegame.dat: one saved 32-bit value. Part of the engine's API: the game
// saves its progress elsewhere and never uses this record.
class CSaveGameRecord : public CChecksummedRecord {
public:
    static constexpr uint32_t kClassKey = 0x11737E62;
    static constexpr WChar kFileName[] = u"savegame.dat";
    static constexpr uint32_t kDataBytes = 4;

    CSaveGameRecord() : CChecksummedRecord(kClassKey, kFileName, kDataBytes) {}

    void Reset() override { m_value = 0; }
    uint32_t GetValue() const { return m_value; }
    void SetValue(uint32_t value) { m_value = value; }

protected:
    void WriteData(COutputStream& out) const override;
    void ReadData(CInputStream& in) override;

private:
    uint32_t m_value = 0;
};

#endif
