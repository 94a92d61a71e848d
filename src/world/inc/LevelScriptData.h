#ifndef LEVELSCRIPTDATA_H
#define LEVELSCRIPTDATA_H

// Reads a level's script table from its stream into plain records:
//
//   if (!scripts.Read(stream)) ... the table is empty, the debug log says why
//
// The stream is read big-endian (Read sets its swap flag).
// Stream: u8 S; S x { s16 id; u8 loop; u8 P; P x s16 chained id; u8 K;
// K x { u8 L; L bytes: opcode, operands } }. K and L are stored in one byte
// each and read unsigned.
//
// The whole table is refused (false, empty table, a debug line) when the
// stream ends early, a command is shorter than its operands, or a script
// could run without end inside one call: a looping script none of whose
// commands waits, a cycle of such scripts through their chains, or a chain
// that would start more than kMaxStartsPerCall scripts at once.

#include <cstdint>
#include <vector>

#include "LevelMapData.h"
#include "LevelScriptRecords.h"

class CInputStream;

class LevelScriptData {
public:
    // Entries of the map's actor-reference table, which commands index.
    static constexpr uint32_t kActorRefCount = LevelMapData::kActorRefCount;
    // Scripts one start may run through without any of them waiting.
    static constexpr uint32_t kMaxStartsPerCall = 1024;

    void Clear() { m_scripts.clear(); }
    bool Read(CInputStream& in);

    uint32_t ScriptCount() const { return static_cast<uint32_t>(m_scripts.size()); }
    const std::vector<LevelScript>& Scripts() const { return m_scripts; }
    // Null, with a debug line, outside the table.
    const LevelScript* Script(int32_t index) const;
    const LevelScriptCommand* Command(int32_t scriptIndex, int32_t commandIndex) const;
    // The first script of that id, or kScriptNoIndex.
    int32_t FindScript(int32_t id) const;

private:
    bool ReadScript(CInputStream& in, uint32_t index);
    bool ReadCommand(CInputStream& in, uint32_t scriptIndex, LevelScriptCommand* command);
    void ResolveScriptIds();
    int16_t ResolvedIndex(int16_t id, uint32_t scriptIndex) const;
    bool Refuse();

    std::vector<LevelScript> m_scripts;
};

#endif
