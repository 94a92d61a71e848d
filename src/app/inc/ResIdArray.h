#ifndef RESIDARRAY_H
#define RESIDARRAY_H

#include <cstdint>

// A plain list of resource ids that the play world reads and deletes.
class ResIdArray {
public:
    // A count this large or larger cannot be held.
    static constexpr int32_t kMaxCount = 0x40000000;

    ResIdArray() = default;
    virtual ~ResIdArray() { release(); }

    ResIdArray(const ResIdArray&) = delete;
    ResIdArray& operator=(const ResIdArray&) = delete;

    // Copies n ids, replacing the list; false (and an empty list) for a
    // negative or too large n or when memory runs out.
    bool set(const uint32_t* ids, int32_t n);
    int32_t size() const { return count; }
    // The id at i; null (after a failed check) outside the list.
    const uint32_t* at(int32_t i) const;
    void release();
    // Deletes the list (the play world's way to let it go).
    void destroy() { delete this; }

private:
    uint32_t* ids = nullptr;
    int32_t count = 0;
};

#endif
