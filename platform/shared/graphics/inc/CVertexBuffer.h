#ifndef CVERTEXBUFFER_H
#define CVERTEXBUFFER_H

#include "EngineTypes.h"

// A growable byte buffer of vertices appended at a write position. Resizing
// keeps what was written, as far as it fits, and never leaves the buffer
// completely full.
class CVertexBuffer {
public:
    explicit CVertexBuffer(int32_t elementSize) : m_elementSize(elementSize) {}
    ~CVertexBuffer();

    CVertexBuffer(const CVertexBuffer&) = delete;
    CVertexBuffer& operator=(const CVertexBuffer&) = delete;

    // Changes the capacity. When the kept bytes would fill the new block
    // the last element is dropped. A capacity of 0 frees the block; a
    // negative one, or a failed allocation, changes nothing.
    void Resize(int32_t capacity);
    // Copies one element at the write position; false when it does not fit.
    bool Append(const void* vertex);

    const uint8_t* GetStart() const { return m_start; }
    int32_t GetUsed() const { return static_cast<int32_t>(m_write - m_start); }
    int32_t GetCapacity() const { return m_capacity; }
    int32_t GetElementSize() const { return m_elementSize; }

private:
    uint8_t* m_start = nullptr;
    uint8_t* m_write = nullptr;
    int32_t m_capacity = 0;
    int32_t m_elementSize;
};

#endif
