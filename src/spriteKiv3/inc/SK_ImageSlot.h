#ifndef SK_IMAGESLOT_H
#define SK_IMAGESLOT_H

#include "EngineTypes.h"

class CRenderSurface;

// The decoded images of one picture: the low image serves variants 0-3 as
// stored, the high image variants 4-7 with the axes exchanged. Bit v of the
// use bits is set while variant v is in use; an image lives while a bit of
// its half is set. Mirrors are applied when drawing.
class SK_ImageSlot {
public:
    static constexpr uint8_t kVariantCount = 8;
    static constexpr uint8_t kFirstHighVariant = 4;
    static constexpr uint8_t kLowBits = 0x0F;
    static constexpr uint8_t kHighBits = 0xF0;

    SK_ImageSlot() = default;
    ~SK_ImageSlot() { Clear(); }

    SK_ImageSlot(const SK_ImageSlot&) = delete;
    SK_ImageSlot& operator=(const SK_ImageSlot&) = delete;

    bool HasVariant(uint8_t variant) const;
    // True when no variant of v's half is in use, so its image must be decoded.
    bool NeedsImage(uint8_t variant) const;
    // Stores the image in v's half when the half has none (the slot then
    // owns it), and marks v in use; true when v was not in use before.
    bool Acquire(uint8_t variant, CRenderSurface* image);
    // Marks v unused; deletes the half's image when no variant of the half
    // remains. True while the half keeps its image.
    bool Release(uint8_t variant);
    // The half's image (null when not decoded) and the renderer's flip code
    // (1 mirror x, 2 mirror y) for the variant's mirror bits.
    CRenderSurface* GetImage(uint8_t variant, uint32_t* flip) const;
    // The half's image's own size, kept from when it was stored; false
    // (0 x 0) without an image.
    bool GetSize(uint8_t variant, int32_t* width, int32_t* height) const;
    void Clear();

    uint16_t imageIndex = 0;
    int8_t blockIndex = -1;
    uint8_t GetUseBits() const { return m_useBits; }

private:
    static bool IsHigh(uint8_t variant) { return variant >= kFirstHighVariant; }
    static uint8_t HalfBits(uint8_t variant) { return IsHigh(variant) ? kHighBits : kLowBits; }
    struct Image {
        CRenderSurface* surface = nullptr;
        int32_t width = 0;
        int32_t height = 0;
    };
    Image& Half(uint8_t variant) { return IsHigh(variant) ? m_high : m_low; }
    const Image& Half(uint8_t variant) const { return IsHigh(variant) ? m_high : m_low; }
    static void Free(Image* image);

    uint8_t m_useBits = 0;
    Image m_low;
    Image m_high;
};

#endif
