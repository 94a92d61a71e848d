#include "CHighScoreTable.h"

#include "CInputStream.h"
#include "CMemory.h"
#include "COutputStream.h"

namespace {

constexpr WChar kNoName[] = u"xxx";

void WriteName(COutputStream& out, const WChar* name) {
    for (int32_t i = 0; i < CHighScoreTable::kNameUnits; ++i) out.WriteUInt16(name[i]);
}

// The last unit always ends the name, whatever the file held there.
void ReadName(CInputStream& in, WChar* name) {
    for (int32_t i = 0; i < CHighScoreTable::kNameUnits; ++i) name[i] = in.ReadUInt16();
    name[CHighScoreTable::kNameUnits - 1] = 0;
}

}  // namespace

void CHighScoreTable::Reset() {
    MemSet(m_lastName, 0, sizeof(m_lastName));
    MemSet(m_names, 0, sizeof(m_names));
    MemSet(m_scores, 0, sizeof(m_scores));
}

void CHighScoreTable::CopyName(WChar* out, const WChar* name) {
    int32_t i = 0;
    for (; name != nullptr && i < kNameUnits - 1 && name[i] != 0; ++i) out[i] = name[i];
    for (; i < kNameUnits; ++i) out[i] = 0;
}

void CHighScoreTable::SetPlayerName(const WChar* name) {
    CopyName(m_lastName, name);
    Save();
}

const WChar* CHighScoreTable::GetName(int32_t table, int32_t i) const { return IsEntry(table, i) ? m_names[i] : nullptr; }

int32_t CHighScoreTable::GetScore(int32_t table, int32_t i) const { return IsEntry(table, i) ? m_scores[i] : 0; }

bool CHighScoreTable::IsHighScore(int32_t table, int32_t score) const {
    return table == 0 && score >= m_scores[kEntries - 1];
}

int32_t CHighScoreTable::AddScore(const WChar* name, int32_t table, int32_t score) {
    SetPlayerName(name);
    if (table != 0) return 0;
    int32_t place = 0;
    while (place < kEntries && m_scores[place] > score) ++place;
    if (place == kEntries) return 1;
    for (int32_t i = kEntries - 1; i > place; --i) {
        m_scores[i] = m_scores[i - 1];
        CopyName(m_names[i], m_names[i - 1]);
    }
    m_scores[place] = score;
    // The name may have been one of the entries just moved: the player's
    // name holds it as it was.
    CopyName(m_names[place], m_lastName[0] == 0 ? kNoName : m_lastName);
    return Save() ? 1 : 0;
}

void CHighScoreTable::WriteData(COutputStream& out) const {
    WriteName(out, m_lastName);
    for (const WChar* name : m_names) WriteName(out, name);
    for (int32_t score : m_scores) out.WriteInt32(score);
}

void CHighScoreTable::ReadData(CInputStream& in) {
    ReadName(in, m_lastName);
    for (WChar* name : m_names) ReadName(in, name);
    for (int32_t& score : m_scores) score = in.ReadInt32();
}
