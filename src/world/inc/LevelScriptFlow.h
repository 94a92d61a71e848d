#ifndef LEVELSCRIPTFLOW_H
#define LEVELSCRIPTFLOW_H

// Finds scripts that would keep the runner busy without end: a script none
// of whose commands waits ends in the call that starts it and at once starts
// its successors (itself again when it loops, else its chain). Following
// those starts through scripts that never wait must come to an end, and
// soon.

#include <cstdint>
#include <vector>

#include "LevelScriptRecords.h"

class LevelScriptFlow {
public:
    // Index of the first script from which one start runs through more than
    // `limit` scripts, or without end; kScriptNoIndex when there is none.
    // Chain indices must be resolved.
    static int32_t FindEndlessStart(const std::vector<LevelScript>& scripts, uint32_t limit);

private:
    explicit LevelScriptFlow(const std::vector<LevelScript>& scripts, uint32_t limit);
    uint32_t StartsFrom(uint32_t index);
    std::vector<int16_t> Successors(uint32_t index) const;
    bool NeverWaits(uint32_t index) const;

    enum class Mark : uint8_t { Unvisited, Visiting, Done };

    const std::vector<LevelScript>& m_scripts;
    uint32_t m_limit;
    std::vector<Mark> m_marks;
    std::vector<uint32_t> m_starts;
};

#endif
