#include "LevelScriptFlow.h"

#include <cstddef>

#include "LevelScriptDecoder.h"

namespace {

// Stands for "without end" once a count passes the limit.
constexpr uint32_t kUnbounded = UINT32_MAX;

uint32_t SaturatingAdd(uint32_t a, uint32_t b) { return a > kUnbounded - b ? kUnbounded : a + b; }

}  // namespace

LevelScriptFlow::LevelScriptFlow(const std::vector<LevelScript>& scripts, uint32_t limit)
    : m_scripts(scripts), m_limit(limit), m_marks(scripts.size(), Mark::Unvisited), m_starts(scripts.size(), 0) {}

int32_t LevelScriptFlow::FindEndlessStart(const std::vector<LevelScript>& scripts, uint32_t limit) {
    LevelScriptFlow flow(scripts, limit);
    for (uint32_t index = 0; index < scripts.size(); ++index) {
        if (flow.NeverWaits(index) && flow.StartsFrom(index) > limit) return static_cast<int32_t>(index);
    }
    return kScriptNoIndex;
}

bool LevelScriptFlow::NeverWaits(uint32_t index) const {
    for (const LevelScriptCommand& command : m_scripts[index].commands) {
        if (!LevelScriptDecoder::MayPassAtStart(command)) return false;
    }
    return true;
}

// A looping script starts the first script of its own id again; any other
// starts its chain.
std::vector<int16_t> LevelScriptFlow::Successors(uint32_t index) const {
    const LevelScript& script = m_scripts[index];
    if (!script.loop) return script.chainIndices;
    for (uint32_t other = 0; other < m_scripts.size(); ++other) {
        if (m_scripts[other].id == script.id) return {static_cast<int16_t>(other)};
    }
    return {};
}

// Scripts one start of a never-waiting script runs through, itself
// included; a script that waits counts once and stops the count. A cycle
// back to a script still being counted is without end.
uint32_t LevelScriptFlow::StartsFrom(uint32_t index) {
    if (m_marks[index] == Mark::Done) return m_starts[index];
    if (m_marks[index] == Mark::Visiting) return kUnbounded;
    m_marks[index] = Mark::Visiting;
    uint32_t starts = 1;
    for (int16_t next : Successors(index)) {
        if (next < 0 || static_cast<size_t>(next) >= m_scripts.size()) continue;
        const uint32_t more = NeverWaits(next) ? StartsFrom(next) : 1;
        starts = SaturatingAdd(starts, more);
        if (starts > m_limit) starts = kUnbounded;
        if (starts == kUnbounded) break;
    }
    m_starts[index] = starts;
    m_marks[index] = Mark::Done;
    return starts;
}
