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

uint32_t MGLGuestMemory::Map(void* host, size_t bytes) { return MapRegion(static_cast<uint8_t*>(host), bytes, true); }

// The host block stays const: only lookups for reading hand it out.
uint32_t MGLGuestMemory::MapReadOnly(const void* host, size_t bytes) {
    return MapRegion(static_cast<uint8_t*>(const_cast<void*>(host)), bytes, false);
}

uint32_t MGLGuestMemory::MapRegion(uint8_t* host, size_t bytes, bool writable) {
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
    const Region region{static_cast<uint32_t>(base), size, host, writable};
    const auto position = std::lower_bound(m_regions.begin(), m_regions.end(), region.guestBase,
                                           [](const Region& r, uint32_t b) { return r.guestBase < b; });
    m_regions.insert(position, region);
    ForgetRecent();
    ++m_changes;
    return region.guestBase;
}

bool MGLGuestMemory::Unmap(uint32_t guestBase) {
    const auto found = std::find_if(m_regions.begin(), m_regions.end(),
                                    [guestBase](const Region& r) { return r.guestBase == guestBase; });
    if (found == m_regions.end()) return false;
    m_regions.erase(found);
    ForgetRecent();
    ++m_changes;
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

const MGLGuestMemory::Region* MGLGuestMemory::FindSearch(uint32_t guest, size_t length) const {
    // Last region whose base is not above the address.
    const auto after = std::upper_bound(m_regions.begin(), m_regions.end(), guest,
                                        [](uint32_t g, const Region& r) { return g < r.guestBase; });
    if (after == m_regions.begin()) return nullptr;
    const Region& region = *(after - 1);
    if (!region.Holds(guest, length)) return nullptr;
    m_recent[1] = m_recent[0];
    m_recent[0] = region;
    return &m_recent[0];
}

void MGLGuestMemory::ForgetRecent() {
    m_recent[0] = Region();
    m_recent[1] = Region();
}
