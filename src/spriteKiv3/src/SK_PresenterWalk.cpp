// The walk over the current picture that drawing, the hit test, the bounds
// and the boxes share.

#include "CAssert.h"
#include "SK_Home.h"
#include "SK_Presenter.h"

void SK_Presenter::ApplyTransform(uint8_t transform, int32_t* x, int32_t* y, int32_t* w, int32_t* h) {
    if ((transform & kMirrorHorizontal) != 0) *x = -(*x + *w);
    if ((transform & kMirrorVertical) != 0) *y = -(*y + *h);
    if ((transform & kSwapAxes) != 0) {
        const int32_t x0 = *x;
        const int32_t w0 = *w;
        *x = *y;
        *y = x0;
        *w = *h;
        *h = w0;
    }
}

void SK_Presenter::SetBox(int32_t* box, int32_t x, int32_t y, int32_t w, int32_t h) {
    box[0] = x;
    box[1] = y;
    box[2] = w;
    box[3] = h;
}

// Pose entries and their frames' parts are walked from the last to the
// first, so the first part stored is drawn on top and its hit and boxes are
// the ones that remain.
void SK_Presenter::WalkFrame(WalkMode mode, SK_Home* home, const SK_Animation* animation) {
    const SK_SpriteSet* set = home->GetSpriteSet(m_set);
    const int8_t map = set->sprites[m_sprite].moduleMapIndex;
    const SK_Pose& pose = set->poses[animation->poseIndices[m_frame]];
    for (uint32_t e = pose.entries.Count(); e-- > 0;) {
        const SK_PoseEntry& entry = pose.entries[e];
        const SK_Frame& frame = set->frames[entry.frame];
        for (uint32_t p = frame.parts.Count(); p-- > 0;) {
            const SK_Part& part = frame.parts[p];
            if (map == SK_kNone) {
                WalkStep(home, mode, part.module, entry.dx + part.dx, entry.dy + part.dy);
                continue;
            }
            const SK_DrawStep* steps = nullptr;
            int32_t count = 0;
            home->ResolveModuleThrough(map, part.module, &steps, &count);
            for (int32_t s = 0; s < count; ++s) {
                const int32_t x = entry.dx + part.dx + steps[s].dx;
                const int32_t y = entry.dy + part.dy + steps[s].dy;
                if (!WalkStep(home, mode, steps[s].module, x, y)) break;
            }
        }
    }
}

// False when the part's remaining steps are to be skipped.
bool SK_Presenter::WalkStep(SK_Home* home, WalkMode mode, uint16_t module, int32_t x, int32_t y) {
    int32_t w = 0;
    int32_t h = 0;
    // An image is drawn whole from its place: only a mirror needs its size.
    const bool sizeUnused = mode == kWalkDraw && (m_transform & (kMirrorVertical | kMirrorHorizontal)) == 0 &&
                            home->IsImageModule(module);
    if (!sizeUnused) home->GetModuleSize(module, &w, &h);
    ApplyTransform(m_transform, &x, &y, &w, &h);
    switch (mode) {
        case kWalkDraw:
            home->DrawModule(x, y, w, h, module, m_transform);
            return true;
        case kWalkHit:
            home->HitPart(x, y, w, h, module);
            if (home->GetModuleAttribute(module) == kMainBoxAttribute) SetBox(m_mainBox, x, y, w, h);
            return true;
        case kWalkBounds:
            home->GrowBounds(x, y, w, h);
            return true;
        case kWalkBox:
            if (home->GetModuleAttribute(module) != m_boxAttribute) return true;
            SetBox(m_box, x, y, w, h);
            return false;
    }
    return true;
}

void SK_Presenter::Draw(int32_t x, int32_t y) {
    SK_Home* home = nullptr;
    const SK_Animation* animation = FindAnimation(&home);
    if (animation == nullptr) return;
    home->SetDrawContext(x + m_offsetX, y + m_offsetY);
    WalkFrame(kWalkDraw, home, animation);
}

void SK_Presenter::GetFrameRect(CRect* rect) {
    SK_Home* home = nullptr;
    const SK_Animation* animation = FindAnimation(&home);
    if (home == nullptr) {
        rect->Set(0, 0, 0, 0);
        return;
    }
    home->ResetBounds();
    if (animation != nullptr) WalkFrame(kWalkBounds, home, animation);
    home->GetBoundsRect(rect, m_offsetX, m_offsetY);
}

int32_t SK_Presenter::HitTest(const CRect& rect) {
    SK_Home* home = nullptr;
    const SK_Animation* animation = FindAnimation(&home);
    if (animation == nullptr) return SK_Home::kNoHit;
    home->SetHitRect(rect.x - m_offsetX, rect.y - m_offsetY, rect.width, rect.height);
    WalkFrame(kWalkHit, home, animation);
    return home->GetHitResult();
}

bool SK_Presenter::ComputeMainBox() {
    SetBox(m_mainBox, kBoxUnset, kBoxUnset, kBoxUnset, kBoxUnset);
    SK_Home* home = nullptr;
    const SK_Animation* animation = FindAnimation(&home);
    if (animation == nullptr) return false;
    WalkFrame(kWalkHit, home, animation);
    return m_mainBox[3] != kBoxUnset;
}

bool SK_Presenter::ComputeBox(int32_t attribute) {
    m_boxAttribute = attribute;
    SetBox(m_box, kBoxUnset, kBoxUnset, kBoxUnset, kBoxUnset);
    SK_Home* home = nullptr;
    const SK_Animation* animation = FindAnimation(&home);
    if (animation == nullptr) return false;
    WalkFrame(kWalkBox, home, animation);
    return m_box[3] != kBoxUnset;
}
