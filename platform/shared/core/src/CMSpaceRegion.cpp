#include "CMSpaceRegion.h"

void CMSpaceRegion::Format(uint32_t capacity) {
    std::memset(m_base, 0, kControlChunkSize);
    SetHead(0, kControlChunkSize | kInUseBits);
    Store(kMagic, kMagicValue);
    Store(kTrimCheck, kNever);
    Store(kLeastAddress, 0);
    Store(kFootprint, capacity);
    Store(kMaxFootprint, capacity);
    Store(kFlags, kNonContiguous);
    Store(kSegmentBase, 0);
    Store(kSegmentSize, m_end);
    Store(kSegmentFlags, kExternalSegment);
    // Empty small bins point at themselves.
    for (uint32_t link = kSmallBins; link < kTreeBins; link += 8) {
        Store(link, link - kForward);
        Store(link + 4, link - kForward);
    }
    const uint32_t topSize = FenceOffset() - kFirstChunk;
    Store(kTop, kFirstChunk);
    Store(kTopSize, topSize);
    SetHead(kFirstChunk, topSize | kPrevInUse);
    SetHead(FenceOffset(), kFenceSize);
}
