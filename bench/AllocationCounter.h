#ifndef ALLOCATIONCOUNTER_H
#define ALLOCATIONCOUNTER_H

#include <cstdint>

// Counts the heap allocations of the whole benchmark process: the program's
// malloc, calloc and realloc (and with them operator new, which allocates
// through malloc) are replaced by counting ones that hand the request on to
// the C library's allocator.
class AllocationCounter {
public:
    // Allocations since the process started.
    static uint64_t Count();

    // Starts a count at the current total.
    AllocationCounter() : m_start(Count()) {}
    // Allocations since this counter was made.
    uint64_t Since() const { return Count() - m_start; }

private:
    uint64_t m_start;
};

#endif
