#include "CBinary.h"

#include "CInputStream.h"

CBinary::~CBinary() { Clear(); }

void CBinary::Clear() {
    FreeMemory(m_data);
    m_data = nullptr;
    m_size = 0;
    m_typeKey = 0;
}

void CBinary::Adopt(uint8_t* data, uint32_t size, uint32_t typeKey) {
    Clear();
    m_data = data;
    m_size = size;
    m_typeKey = typeKey;
}

bool CBinary::Load(CInputStream& stream, uint32_t typeKey) {
    const uint32_t size = stream.Available();
    Clear();
    if (size == 0) return false;
    uint8_t* data = static_cast<uint8_t*>(MemAllocRaw(size));
    if (data == nullptr) return false;
    stream.Read(data, size);
    if (stream.HasError()) {
        FreeMemory(data);
        return false;
    }
    Adopt(data, size, typeKey);
    return true;
}
