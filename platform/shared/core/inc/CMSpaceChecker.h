#ifndef CMSPACECHECKER_H
#define CMSPACECHECKER_H

#include "CMSpaceBins.h"
#include "MSpace.h"

// What a consistency walk of a space counted.
struct MSpaceCensus {
    uint32_t inUseChunks = 0;  // the control chunk included
    uint32_t freeChunks = 0;   // the designated victim included, the top chunk not
    uint32_t freeBytes = 0;    // in those free chunks
    uint32_t topSize = 0;
};

// Checks a space from end to end: every chunk from the control chunk to the
// fence (sizes, in-use bits, footers, no two free chunks side by side, top
// and fence in place), every small bin list and every tree bin trie (links,
// sizes, bin membership, trie order), and that the bins hold exactly the
// free chunks of the walk. Each inconsistency is reported through the debug
// print; the answer is their count, 0 for a sound space.
class CMSpaceChecker {
public:
    static uint32_t Check(MSpace space, MSpaceCensus* census);
    static uint32_t CheckRegion(uint8_t* base, uint32_t end, MSpaceCensus* census);

private:
    // Order-independent summary of a set of chunk offsets.
    struct Fingerprint {
        uint32_t count = 0;
        uint64_t sum = 0;
        uint64_t squares = 0;
        void Add(uint32_t chunk);
        bool operator==(const Fingerprint&) const = default;
    };

    CMSpaceChecker(uint8_t* base, uint32_t end);
    uint32_t Run(MSpaceCensus* census);
    void CheckControl();
    void WalkChunks();
    void CheckWalkedFree(uint32_t chunk, uint32_t size, bool prevInUse);
    void CheckTop(bool prevInUse);
    void CheckSmallBin(uint32_t index);
    void CheckTreeBin(uint32_t index);
    void CheckTree(uint32_t node, uint32_t index, uint32_t depth, uint32_t path);
    void CheckSameSizeRing(uint32_t node, uint32_t index);
    void CheckBinned(uint32_t chunk, uint32_t size);
    bool IsChunkOffset(uint32_t offset) const;
    void Problem(const char* what, uint32_t offset);

    CMSpaceRegion m_region;
    CMSpaceBins m_bins;
    uint32_t m_top;
    uint32_t m_maxListLength;
    uint32_t m_problems = 0;
    bool m_victimSeen = false;
    MSpaceCensus m_census;
    Fingerprint m_walked;
    Fingerprint m_binned;
};

#endif
