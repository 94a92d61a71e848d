#include "SK_ImageSlot.h"

#include "CAssert.h"
#include "CGraphics2d_Lite.h"
#include "CRenderSurface.h"

namespace {

constexpr uint8_t kVariantMirrorVertical = 1;
constexpr uint8_t kVariantMirrorHorizontal = 2;

uint8_t VariantBit(uint8_t variant) { return static_cast<uint8_t>(1u << (variant & 7u)); }

}  // namespace

bool SK_ImageSlot::HasVariant(uint8_t variant) const { return (m_useBits & VariantBit(variant)) != 0; }

bool SK_ImageSlot::NeedsImage(uint8_t variant) const { return (m_useBits & HalfBits(variant)) == 0; }

bool SK_ImageSlot::Acquire(uint8_t variant, CRenderSurface* image) {
    CRenderSurface*& half = Half(variant);
    if (half == nullptr) {
        half = image;
    } else if (image != nullptr && image != half) {
        // The half has its image already: a second one would be lost.
        delete image;
    }
    if (HasVariant(variant)) return false;
    m_useBits = static_cast<uint8_t>(m_useBits | VariantBit(variant));
    return true;
}

bool SK_ImageSlot::Release(uint8_t variant) {
    m_useBits = static_cast<uint8_t>(m_useBits & ~VariantBit(variant));
    if ((m_useBits & HalfBits(variant)) != 0) return true;
    CRenderSurface*& half = Half(variant);
    delete half;
    half = nullptr;
    return false;
}

CRenderSurface* SK_ImageSlot::GetImage(uint8_t variant, uint32_t* flip) const {
    const bool high = IsHigh(variant);
    // In the transposed image the stored picture's vertical axis runs
    // horizontally, so the mirror bits trade places.
    const uint32_t vertical = high ? CGraphics2d_Lite::kFlipX : CGraphics2d_Lite::kFlipY;
    const uint32_t horizontal = high ? CGraphics2d_Lite::kFlipY : CGraphics2d_Lite::kFlipX;
    *flip = ((variant & kVariantMirrorVertical) != 0 ? vertical : 0) |
            ((variant & kVariantMirrorHorizontal) != 0 ? horizontal : 0);
    return high ? m_high : m_low;
}

bool SK_ImageSlot::GetSize(uint8_t variant, int32_t* width, int32_t* height) const {
    *width = 0;
    *height = 0;
    const CRenderSurface* image = IsHigh(variant) ? m_high : m_low;
    ASSERT(image != nullptr);
    uint32_t w = 0;
    uint32_t h = 0;
    if (image == nullptr || !image->GetSize(&w, &h)) return false;
    *width = static_cast<int32_t>(w);
    *height = static_cast<int32_t>(h);
    return true;
}

void SK_ImageSlot::Clear() {
    m_useBits = 0;
    delete m_low;
    delete m_high;
    m_low = nullptr;
    m_high = nullptr;
}
