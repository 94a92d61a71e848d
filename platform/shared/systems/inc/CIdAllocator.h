#ifndef CIDALLOCATOR_H
#define CIDALLOCATOR_H

#include "CSingleton.h"

// Hands out run-time keys (bit 30 set, bit 31 clear) for posted messages,
// key mappings and listener names made at run time.
class CIdAllocator : public CSingleton {
public:
    static constexpr uint32_t kClassKey = 0x1A0A5073;

    CIdAllocator() : CSingleton(kClassKey) {}
    ~CIdAllocator() override;

    // Only the low 30 bits of the counter reach the key, so keys repeat
    // after 2^30 allocations.
    uint32_t NextId();

private:
    uint32_t m_counter = 0;
};

// The application's allocator: null without an application object;
// otherwise the cached one, else the registered one, else a new one.
CIdAllocator* GetIdAllocator();

#endif
