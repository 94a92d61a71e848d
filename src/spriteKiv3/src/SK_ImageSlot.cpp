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
    Image& half = Half(variant);
    uint32_t width = 0;
    uint32_t height = 0;
    if (half.surface == nullptr && image != nullptr && image->GetSize(&width, &height)) {
        half = {image, static_cast<int32_t>(width), static_cast<int32_t>(height)};
    } else if (image != nullptr && image != half.surface) {
        // The half has its image already (or this one has no size): a
        // second one would be lost.
        delete image;
    }
    if (HasVariant(variant)) return false;
    m_useBits = static_cast<uint8_t>(m_useBits | VariantBit(variant));
    return true;
}

bool SK_ImageSlot::Release(uint8_t variant) {
    m_useBits = static_cast<uint8_t>(m_useBits & ~VariantBit(variant));
    if ((m_useBits & HalfBits(variant)) != 0) return true;
    Free(&Half(variant));
    return false;
}

void SK_ImageSlot::Free(Image* image) {
    delete image->surface;
    *image = Image();
}

CRenderSurface* SK_ImageSlot::GetImage(uint8_t variant, uint32_t* flip) const {
    const bool high = IsHigh(variant);
    // In the transposed image the stored picture's vertical axis runs
    // horizontally, so the mirror bits trade places.
    const uint32_t vertical = high ? CGraphics2d_Lite::kFlipX : CGraphics2d_Lite::kFlipY;
    const uint32_t horizontal = high ? CGraphics2d_Lite::kFlipY : CGraphics2d_Lite::kFlipX;
    *flip = ((variant & kVariantMirrorVertical) != 0 ? vertical : 0) |
            ((variant & kVariantMirrorHorizontal) != 0 ? horizontal : 0);
    return high ? m_high.surface : m_low.surface;
}

bool SK_ImageSlot::GetSize(uint8_t variant, int32_t* width, int32_t* height) const {
    const Image& image = Half(variant);
    *width = image.width;
    *height = image.height;
    if (image.surface != nullptr) return true;
    ASSERT(image.surface != nullptr);
    return false;
}

void SK_ImageSlot::Clear() {
    m_useBits = 0;
    Free(&m_low);
    Free(&m_high);
}
