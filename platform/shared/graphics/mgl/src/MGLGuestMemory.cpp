#include "MGLGuestMemory.h"

#include <algorithm>

#include "CAssert.h"

namespace {

constexpr uint64_t kAddressSpaceEnd = uint64_t{1} << 32;

}  // namespace

uint64_t MGLGuestMemory::Footprint(uint32_t bytes) {
    const uint64_t rounded = (uint64_t{bytes} + kRegionAlignment - 1) / kRegionAlignment * kRegionAlignment;
    return rounded + kRegionAlignment;
}

uint64_t MGLGuestMemory::FindFreeBase(uint64_t footprint) const {
    // First fit between the sorted regions; the footprints are aligned, so
    // every candidate base stays aligned too.
    uint64_t candidate = kFirstBase;
    for (const Region& region : m_regions) {
        if (candidate + footprint <= region.guestBase) return candidate;
        candidate = std::max(candidate, region.guestBase + Footprint(region.bytes));
    }
    return candidate + footprint <= kAddressSpaceEnd ? candidate : 0;
}

uint32_t MGLGuestMemory::Map(void* host, size_t bytes) {
    if (host == nullptr || bytes == 0 || bytes > kAddressSpaceEnd - 2 * kRegionAlignment) {
        DebugPrintf("MGLGuestMemory: refused to map %zu bytes at %p", bytes, host);
        return 0;
    }
    const uint32_t size = static_cast<uint32_t>(bytes);
    const uint64_t base = FindFreeBase(Footprint(size));
    if (base == 0) {
        DebugPrintf("MGLGuestMemory: no guest room left for %zu bytes", bytes);
        return 0;
    }
    const Region region{static_cast<uint32_t>(base), size, static_cast<uint8_t*>(host)};
    const auto position = std::lower_bound(m_regions.begin(), m_regions.end(), region.guestBase,
                                           [](const Region& r, uint32_t b) { return r.guestBase < b; });
    m_regions.insert(position, region);
    m_lastHit = 0;
    return region.guestBase;
}

bool MGLGuestMemory::Unmap(uint32_t guestBase) {
    const auto found = std::find_if(m_regions.begin(), m_regions.end(),
                                    [guestBase](const Region& r) { return r.guestBase == guestBase; });
    if (found == m_regions.end()) return false;
    m_regions.erase(found);
    m_lastHit = 0;
    return true;
}

uint32_t MGLGuestMemory::ToGuest(const void* host) const {
    const uint8_t* byte = static_cast<const uint8_t*>(host);
    for (const Region& region : m_regions) {
        // Compare as integers: the host blocks are unrelated objects.
        const uintptr_t start = reinterpret_cast<uintptr_t>(region.host);
        const uintptr_t at = reinterpret_cast<uintptr_t>(byte);
        if (at >= start && at - start < region.bytes) return region.guestBase + static_cast<uint32_t>(at - start);
    }
    return 0;
}

const MGLGuestMemory::Region* MGLGuestMemory::FindGuest(uint32_t guest) const {
    if (m_lastHit < m_regions.size()) {
        const Region& cached = m_regions[m_lastHit];
        if (guest >= cached.guestBase && guest - cached.guestBase < cached.bytes) return &cached;
    }
    // Last region whose base is not above the address.
    const auto after = std::upper_bound(m_regions.begin(), m_regions.end(), guest,
                                        [](uint32_t g, const Region& r) { return g < r.guestBase; });
    if (after == m_regions.begin()) return nullptr;
    const auto candidate = after - 1;
    if (guest - candidate->guestBase >= candidate->bytes) return nullptr;
    m_lastHit = static_cast<size_t>(candidate - m_regions.begin());
    return &*candidate;
}

uint8_t* MGLGuestMemory::ToHost(uint32_t guest, size_t length) const {
    const Region* region = FindGuest(guest);
    if (region == nullptr) return nullptr;
    const uint64_t offset = guest - region->guestBase;
    if (offset + length > region->bytes) return nullptr;
    return region->host + offset;
}
