#include "CPalette.h"

#include "CAssert.h"
#include "CColor.h"
#include "CInputStream.h"
#include "CPixelChannels.h"

CPalette::CPalette() : CClass(kClassKey) {}

CPalette::~CPalette() { Clear(); }

void CPalette::Clear() {
    MemFree(m_colors);
    m_colors = nullptr;
    m_format = 0;
    m_count = 0;
}

bool CPalette::Load(CInputStream* stream, uint32_t typeKey) {
    Clear();
    if (stream == nullptr) return false;
    if (typeKey != kTypeRawColors) {
        ASSERT(false);
        DebugPrintf("CPalette: unsupported palette type 0x%08x\n", typeKey);
        return false;
    }
    if (!LoadRawColors(stream)) {
        Clear();
        return false;
    }
    return true;
}

bool CPalette::LoadRawColors(CInputStream* stream) {
    const uint32_t bytes = stream->Available();
    const uint32_t count = bytes / 4;
    // Room for every byte read (a trailing partial colour included).
    const size_t entries = count < kMinEntries ? kMinEntries : (static_cast<size_t>(bytes) + 3) / 4;
    const size_t blockBytes = ArrayBytes(entries, sizeof(uint32_t));
    if (blockBytes == 0) return false;
    m_colors = static_cast<uint32_t*>(MemAlloc(blockBytes));
    if (m_colors == nullptr) {
        DebugPrintf("CPalette: no memory for %u colours\n", count);
        return false;
    }
    MemSet(m_colors, 0, blockBytes);
    stream->Read(m_colors, bytes);
    if (stream->HasError()) return false;
    for (uint32_t i = 0; i < count; ++i) {
        // Stored little-endian; palette entries are always opaque.
        m_colors[i] = PixelChannels::Load32(&m_colors[i]) | 0xFF000000u;
    }
    m_format = RSBFormat_A8R8G8B8;
    m_count = count;
    return true;
}
