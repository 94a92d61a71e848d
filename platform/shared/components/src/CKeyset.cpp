#include "CKeyset.h"

#include "CAssert.h"
#include "CInputStream.h"
#include "CMemory.h"

CKeyset::~CKeyset() { Release(); }

void CKeyset::Release() {
    MemFreeArray(m_keys);
    m_keys = nullptr;
    m_count = 0;
}

bool CKeyset::Load(CInputStream& stream) {
    Release();
    const uint16_t count = stream.ReadUInt16();
    if (stream.HasError()) return false;
    if (count == 0) return true;
    m_keys = static_cast<uint32_t*>(MemAllocArrayOf(count, sizeof(uint32_t)));
    if (m_keys == nullptr) return false;
    m_count = count;
    for (uint32_t i = 0; i < count; ++i) m_keys[i] = stream.ReadUInt32();
    if (!stream.HasError()) return true;
    DebugPrintf("CKeyset: stream ended inside a set of %u keys\n", count);
    Release();
    return false;
}

uint32_t CKeyset::Get(uint32_t i) const { return i < m_count ? m_keys[i] : 0; }
