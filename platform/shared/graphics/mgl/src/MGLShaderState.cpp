#include "MGLShaderState.h"

#include "CMemory.h"
#include "CPixelChannels.h"

uint32_t MGLShaderState::GetKey(int32_t n) const {
    if (n < 0 || n >= kKeyCount) return 0;
    return PixelChannels::Load32(bytes + kKeyOffset + 4 * static_cast<uint32_t>(n));
}

void* MGLShaderState::operator new(size_t size) noexcept { return MemAlloc(size); }

void MGLShaderState::operator delete(void* block) noexcept { MemFree(block); }
