#include "MGLVectorUnit.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr const char* kOnePixelVariable = "MCHVX_MGL_ONE_PIXEL";

bool ProcessorHasEightLanes() {
#if MGL_VECTOR_UNIT(AVX2)
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

// Taken from the environment at the first question; a test may change it.
std::atomic<bool>& OnePixel() {
    static std::atomic<bool> forced{MGLVectorUnit::OnePixelAskedBy(std::getenv(kOnePixelVariable))};
    return forced;
}

}  // namespace

bool MGLVectorUnit::Decide() {
    static const bool supported = ProcessorHasEightLanes();
    const bool eightLanes = supported && !OnePixelForced();
    s_eightLanes.store(eightLanes ? 1 : 0, std::memory_order_relaxed);
    return eightLanes;
}

bool MGLVectorUnit::OnePixelAskedBy(const char* value) {
    return value != nullptr && value[0] != '\0' && std::strcmp(value, "0") != 0;
}

bool MGLVectorUnit::OnePixelForced() { return OnePixel().load(std::memory_order_relaxed); }

void MGLVectorUnit::ForceOnePixel(bool force) {
    OnePixel().store(force, std::memory_order_relaxed);
    Decide();
}

uint64_t MGLVectorUnit::PixelsFilled(Pass pass) {
    return s_filled[static_cast<int32_t>(pass)].load(std::memory_order_relaxed);
}
