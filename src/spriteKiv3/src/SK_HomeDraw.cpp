// Modules as the presenters' walks see them: sizes, attributes, module-map
// steps, drawing, the hit test and the bounds. Nothing here allocates.

#include "CAssert.h"
#include "CRuntime.h"
#include "SK_Home.h"

namespace {

constexpr uint8_t kTransformMirrorVertical = 1;
constexpr uint8_t kTransformMirrorHorizontal = 2;
constexpr uint8_t kTransformSwapAxes = 4;
constexpr int16_t kBoundsStartMin = 32767;
constexpr int16_t kBoundsStartMax = -32768;

int16_t Narrow(int32_t value) { return static_cast<int16_t>(value); }

// The entry of `module` in a map sorted by module number, or null.
const SK_ModuleMapEntry* FindEntry(const SK_ModuleMap& map, uint16_t module) {
    int32_t low = 0;
    int32_t high = static_cast<int32_t>(map.entries.Count()) - 1;
    while (low <= high) {
        const int32_t middle = (low + high) / 2;
        const SK_ModuleMapEntry& entry = map.entries[static_cast<uint32_t>(middle)];
        if (entry.module == module) return &entry;
        if (module < entry.module) {
            high = middle - 1;
        } else {
            low = middle + 1;
        }
    }
    return nullptr;
}

}  // namespace

bool SK_Home::IsFilledRectModule(uint32_t module) const {
    const SK_RectModule* rect = GetRectModule(module);
    return rect != nullptr && rect->colour != SK_kBoxColour;
}

bool SK_Home::IsBoxModule(uint32_t module) const {
    const SK_RectModule* rect = GetRectModule(module);
    return rect != nullptr && rect->colour == SK_kBoxColour;
}

uint8_t SK_Home::GetModuleAttribute(uint32_t module) const {
    if (const SK_ImageModule* image = GetImageModule(module)) return image->attribute;
    const SK_RectModule* rect = GetRectModule(module);
    ASSERT(rect != nullptr);
    return rect != nullptr ? static_cast<uint8_t>(rect->attribute) : 0;
}

bool SK_Home::GetModuleSize(uint32_t module, int32_t* width, int32_t* height) const {
    *width = 0;
    *height = 0;
    if (const SK_ImageModule* image = GetImageModule(module)) {
        return m_slots[image->slotIndex].GetSize(image->variant, width, height);
    }
    const SK_RectModule* rect = GetRectModule(module);
    ASSERT(rect != nullptr);
    if (rect == nullptr) return false;
    *width = rect->width;
    *height = rect->height;
    return true;
}

void SK_Home::ResolveModule(uint32_t set, uint32_t sprite, uint16_t module, const SK_DrawStep** steps,
                            int32_t* count) {
    const SK_Sprite* record = GetSprite(set, sprite);
    ResolveModuleThrough(record != nullptr ? record->moduleMapIndex : SK_kNone, module, steps, count);
}

void SK_Home::ResolveModuleThrough(int8_t mapIndex, uint16_t module, const SK_DrawStep** steps, int32_t* count) {
    const SK_ModuleMap* map = mapIndex != SK_kNone ? GetModuleMap(static_cast<uint8_t>(mapIndex)) : nullptr;
    const SK_ModuleMapEntry* entry = map != nullptr ? FindEntry(*map, module) : nullptr;
    const SK_DrawStep stored = {module, 0, 0};
    if (entry == nullptr || entry->mode == SK_kMapReplace) {
        m_steps[0] = entry == nullptr ? stored : SK_DrawStep{entry->replacement, entry->dx, entry->dy};
        *steps = &m_steps[0];
        *count = 1;
        return;
    }
    const SK_DrawStep replacement = {entry->replacement, entry->dx, entry->dy};
    const bool storedFirst = entry->mode == SK_kMapOverlay;
    m_steps[1] = storedFirst ? stored : replacement;
    m_steps[2] = storedFirst ? replacement : stored;
    *steps = &m_steps[1];
    *count = kMaxSteps;
}

// A mirror applied after an axis exchange is the other mirror applied
// before it, so under a stored exchange the presenter's mirrors trade places.
uint8_t SK_Home::CombineTransform(uint8_t transform, uint8_t variant) {
    if ((variant & kTransformSwapAxes) == 0) return static_cast<uint8_t>(variant ^ transform);
    const uint8_t swapped = static_cast<uint8_t>((transform & kTransformSwapAxes) |
                                                 (transform & kTransformMirrorVertical) << 1 |
                                                 (transform & kTransformMirrorHorizontal) >> 1);
    return static_cast<uint8_t>(variant ^ swapped);
}

void SK_Home::SetDrawContext(int32_t x, int32_t y) { m_drawContext.SetOrigin(Narrow(x), Narrow(y)); }

void SK_Home::DrawModule(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t module, uint8_t transform) {
    if (const SK_ImageModule* image = GetImageModule(module)) {
        uint32_t flip = 0;
        const uint8_t variant = CombineTransform(transform, image->variant);
        CRenderSurface* surface = m_slots[image->slotIndex].GetImage(variant, &flip);
        if (surface != nullptr) {
            m_drawContext.DrawImage(surface, flip, x, y);
        } else {
            // Drawn before its images were decoded, or its image failed to decode.
            ASSERT(surface != nullptr);
        }
        return;
    }
    const SK_RectModule* rect = GetRectModule(module);
    if (rect == nullptr) return;
    if (rect->colour != SK_kBoxColour) {
        m_drawContext.FillRect(x, y, w, h, rect->colour);
    } else if (m_debugBoxes != 0) {
        m_drawContext.DrawCross(x, y, w, h, kDebugBoxColour);
    }
}

void SK_Home::SetHitRect(int32_t x, int32_t y, int32_t w, int32_t h) {
    m_hit = {Narrow(x), Narrow(y), Narrow(w), Narrow(h), kNoHit};
}

// Rectangles that only touch do not overlap.
void SK_Home::HitPart(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t module) {
    if (m_hit.x + m_hit.w > x && m_hit.x < x + w && m_hit.y + m_hit.h > y && m_hit.y < y + h) {
        m_hit.result = Narrow(static_cast<int32_t>(module));
    }
}

void SK_Home::ResetBounds() {
    m_bounds = {kBoundsStartMin, kBoundsStartMin, kBoundsStartMax, kBoundsStartMax};
}

void SK_Home::GrowBounds(int32_t x, int32_t y, int32_t w, int32_t h) {
    m_bounds.minX = Narrow(MinInt(m_bounds.minX, x));
    m_bounds.maxX = Narrow(MaxInt(m_bounds.maxX, x + w));
    m_bounds.minY = Narrow(MinInt(m_bounds.minY, y));
    m_bounds.maxY = Narrow(MaxInt(m_bounds.maxY, y + h));
}

// With nothing grown the size is -65535, which the 16-bit rectangle holds
// as 1; callers recognise the empty picture by its x and y of 32767.
void SK_Home::GetBoundsRect(CRect* rect, int32_t offsetX, int32_t offsetY) const {
    rect->Set(Narrow(offsetX + m_bounds.minX), Narrow(offsetY + m_bounds.minY), Narrow(m_bounds.maxX - m_bounds.minX),
              Narrow(m_bounds.maxY - m_bounds.minY));
}
