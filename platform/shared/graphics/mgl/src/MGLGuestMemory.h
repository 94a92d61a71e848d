#ifndef MGLGUESTMEMORY_H
#define MGLGUESTMEMORY_H

#include <cstddef>
#include <cstdint>
#include <vector>

// The 32-bit address space that span code and the renderer's pointer fields
// live in. Span code was written for a 32-bit handset: its registers and the
// record's pointer fields hold 32-bit addresses, which cannot carry a host
// pointer here. Each block of host memory the code may reach is given a
// guest base instead, and every guest access is translated and bounds-checked
// against the regions, so code from a stream can never touch anything else.
//
// Regions start on 64 KiB boundaries, the first at 0x10000 (0 stays the null
// address), and each is followed by at least 64 KiB that nothing maps, so a
// row or column just past the end of a plane faults instead of landing in
// the next region. A region may be read-only: the lookup for a write
// refuses it, so span code can read the renderer's lookup tables but never
// change what every later draw computes through.
class MGLGuestMemory {
public:
    static constexpr uint32_t kRegionAlignment = 0x10000;
    static constexpr uint32_t kFirstBase = 0x10000;

    MGLGuestMemory() = default;
    MGLGuestMemory(const MGLGuestMemory&) = delete;
    MGLGuestMemory& operator=(const MGLGuestMemory&) = delete;

    // Gives `bytes` bytes of host memory from `host` a guest base. Returns 0
    // (and logs) for a null block, an empty one, or when no room is left.
    uint32_t Map(void* host, size_t bytes);
    // The same for memory that guest writes must not change.
    uint32_t MapReadOnly(const void* host, size_t bytes);
    // Forgets the region that starts at `guestBase`; false when none does.
    bool Unmap(uint32_t guestBase);

    // The guest address of a host byte inside a region, 0 when outside all.
    uint32_t ToGuest(const void* host) const;
    // The host address of `length` bytes from `guest`, null unless the whole
    // range lies inside one region. Span code alternates between a few
    // regions (the record, a colour row, a depth row), so the two regions
    // hit last are tried first.
    uint8_t* ToHost(uint32_t guest, size_t length) const {
        const Region* region = Find(guest, length);
        return region != nullptr ? region->host + (guest - region->guestBase) : nullptr;
    }
    // As ToHost, for bytes about to be written: null for a read-only region too.
    uint8_t* ToHostWritable(uint32_t guest, size_t length) const {
        const Region* region = Find(guest, length);
        return region != nullptr && region->writable ? region->host + (guest - region->guestBase) : nullptr;
    }

    size_t RegionCount() const { return m_regions.size(); }
    // Counts the regions mapped and unmapped: a host address looked up for
    // a guest one stays right while the count stays the same.
    uint64_t Changes() const { return m_changes; }

private:
    struct Region {
        uint32_t guestBase = 0;
        uint32_t bytes = 0;
        uint8_t* host = nullptr;
        bool writable = true;

        bool Holds(uint32_t guest, size_t length) const {
            return guest >= guestBase && uint64_t{guest - guestBase} + length <= bytes;
        }
    };

    // Total guest span a region takes: its bytes rounded up to the alignment
    // plus the unmapped guard after it.
    static uint64_t Footprint(uint32_t bytes);
    uint64_t FindFreeBase(uint64_t footprint) const;
    uint32_t MapRegion(uint8_t* host, size_t bytes, bool writable);
    const Region* Find(uint32_t guest, size_t length) const {
        for (const Region& recent : m_recent) {
            if (recent.Holds(guest, length)) return &recent;
        }
        return FindSearch(guest, length);
    }
    const Region* FindSearch(uint32_t guest, size_t length) const;
    void ForgetRecent();

    std::vector<Region> m_regions;  // sorted by guestBase
    mutable Region m_recent[2];     // copies of the regions hit last, newest first
    uint64_t m_changes = 0;
};

#endif
