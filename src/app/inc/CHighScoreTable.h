#ifndef CHIGHSCORETABLE_H
#define CHIGHSCORETABLE_H

#include "CChecksummedRecord.h"

// hs.dat: the last player's name and one table of five scores, highest
// first, each with a name of at most five UTF-16 units. Part of the
// engine's API: the game never uses this table.
class CHighScoreTable : public CChecksummedRecord {
public:
    static constexpr uint32_t kClassKey = 0x5513F41D;
    static constexpr WChar kFileName[] = u"hs.dat";
    static constexpr int32_t kEntries = 5;
    // Five units and a terminator.
    static constexpr int32_t kNameUnits = 6;
    static constexpr uint32_t kDataBytes = kNameUnits * 2 * (1 + kEntries) + 4 * kEntries;

    CHighScoreTable() : CChecksummedRecord(kClassKey, kFileName, kDataBytes) { Reset(); }

    void Reset() override;
    // Keeps at most five units (none for null), then saves.
    void SetPlayerName(const WChar* name);
    // Null outside table 0 or its entries.
    const WChar* GetName(int32_t table, int32_t i) const;
    int32_t GetScore(int32_t table, int32_t i) const;
    bool IsHighScore(int32_t table, int32_t score) const;
    // Sets the player's name, then puts the score in its place (above equal
    // ones); the result of the write, or 1 when the score is too low.
    int32_t AddScore(const WChar* name, int32_t table, int32_t score);
    const WChar* GetPlayerName() const { return m_lastName; }

protected:
    void WriteData(COutputStream& out) const override;
    void ReadData(CInputStream& in) override;

private:
    static bool IsEntry(int32_t table, int32_t i) { return table == 0 && i >= 0 && i < kEntries; }
    static void CopyName(WChar* out, const WChar* name);

    WChar m_lastName[kNameUnits] = {};
    WChar m_names[kEntries][kNameUnits] = {};
    int32_t m_scores[kEntries] = {};
};

#endif
