#include "CVertexBuffer.h"

#include "CAssert.h"
#include "CMemory.h"

CVertexBuffer::~CVertexBuffer() { FreeMemory(m_start); }

void CVertexBuffer::Resize(int32_t capacity) {
    ASSERT(capacity >= 0);
    if (capacity < 0) return;
    uint8_t* block = nullptr;
    if (capacity > 0) {
        block = static_cast<uint8_t*>(MemAllocRaw(static_cast<size_t>(capacity)));
        ASSERT(block != nullptr);
        if (block == nullptr) return;
    }
    const int32_t used = GetUsed();
    int32_t keep = used < capacity ? used : capacity;
    if (keep != 0) MemCopy(block, m_start, static_cast<size_t>(keep));
    FreeMemory(m_start);
    // A buffer that ends full has no room for the next element.
    if (keep == capacity && capacity > 0) {
        keep -= m_elementSize;
        ASSERT(keep >= 0);
        if (keep < 0) keep = 0;
    }
    m_start = block;
    m_write = block + keep;
    m_capacity = capacity;
}

bool CVertexBuffer::Append(const void* vertex) {
    if (m_elementSize <= 0 || m_elementSize > m_capacity - GetUsed()) return false;
    MemCopy(m_write, vertex, static_cast<size_t>(m_elementSize));
    m_write += m_elementSize;
    return true;
}
