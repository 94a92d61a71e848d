#include "CRenderSurface.h"

#include <algorithm>
#include <utility>

#include "BlitCopy.h"
#include "BlitLineFill.h"
#include "CAssert.h"
#include "CBlitUtil.h"
#include "CColor.h"
#include "CGraphics.h"
#include "CRenderSurfaceBuffer.h"
#include "CRenderSurfaceBufferEx.h"
#include "CRenderSurfaceWatcher.h"

namespace {

// Value formats of the three planes' clears.
constexpr uint32_t kStencilValueFormat = 0x570104;

uint8_t FlagByte(uint32_t flags, uint32_t bit) { return (flags & bit) != 0 ? 1 : 0; }

uint32_t BufferingCode(uint32_t flags) {
    const bool first = (flags & CRenderSurface::kFlagBuffering1) != 0;
    const bool second = (flags & CRenderSurface::kFlagBuffering2) != 0;
    if (first && second) return 3;
    if (first) return 1;
    return second ? 2 : 0;
}

// Codes 1 and 2 for the first presentation group, 3 and 4 for the second;
// a group without a variant bit leaves the code as it was.
void SetPresentationCode(uint32_t flags, uint32_t* code) {
    uint32_t base = 0;
    if ((flags & CRenderSurface::kFlagPresentGroupA) != 0) {
        base = 1;
    } else if ((flags & CRenderSurface::kFlagPresentGroupB) != 0) {
        base = 3;
    } else {
        *code = 0;
        return;
    }
    if ((flags & CRenderSurface::kFlagPresentVariant1) != 0) {
        *code = base;
    } else if ((flags & CRenderSurface::kFlagPresentVariant2) != 0) {
        *code = base + 1;
    }
}

}  // namespace

// A watcher may have deleted the surface while it was being told: the tells
// under way stop at once. The watchers are told of the end while the planes
// still stand (the surface answers none from then on), so that whatever a
// watcher told first runs reaches no freed pixels through one told later;
// the planes then go, told as the end alone, so that no watcher deletes the
// surface a second time.
CRenderSurface::~CRenderSurface() {
    for (Telling* telling = m_telling; telling != nullptr; telling = telling->outer) telling->ended = true;
    m_telling = nullptr;
    m_ending = true;
    TellWatchers(&CRenderSurfaceWatcher::SurfaceEnding);
    CRenderSurface::Destroy();
}

uint32_t CRenderSurface::BufferTypeToIndex(uint32_t type) {
    ASSERT(type < kPlaneCount);
    return type < kPlaneCount ? type : kPlaneColor;
}

void CRenderSurface::MakeCurrent() {
    CGraphics* device = CGraphics::GetInstance();
    if (device != nullptr) device->SetCurrentSurface(this);
}

void CRenderSurface::ReleaseCurrent() { CGraphics::ReleaseSurface(this); }

void CRenderSurface::Destroy() {
    const PlaneChange change(this);
    NoteChange();
    ReleaseCurrent();
    if ((m_flags & kFlagOwnsPalette) != 0) MemFree(m_palette);
    m_palette = nullptr;
    ReleasePlanes();
    m_flags &= kFlagsKeptByDestroy;
}

void CRenderSurface::ReleasePlanes() {
    const PlaneChange change(this);
    // A forward target stands where the colour plane would be; it is not ours.
    StopForwarding();
    for (CRenderSurfaceBuffer*& plane : m_planes) {
        delete plane;
        plane = nullptr;
    }
}

void CRenderSurface::StopForwarding() {
    if (m_forwardTarget != nullptr) m_forwardTarget->RemoveWatcher(this);
    m_forwardTarget = nullptr;
}

// The target goes: what the forwarder answered from it is gone too.
void CRenderSurface::SurfaceEnding(CRenderSurface& surface) {
    if (&surface != m_forwardTarget) return;
    const PlaneChange change(this);
    StopForwarding();
}

void CRenderSurface::AddWatcher(CRenderSurfaceWatcher* watcher) {
    if (std::find(m_watchers.begin(), m_watchers.end(), watcher) == m_watchers.end()) m_watchers.push_back(watcher);
}

void CRenderSurface::RemoveWatcher(CRenderSurfaceWatcher* watcher) { std::erase(m_watchers, watcher); }

// Outside a change (nothing lets go of pixels so) it is a change of its own.
void CRenderSurface::RetirePixels(void* block) {
    const PlaneChange change(this);
    m_retired.push_back(block);
}

// A change made by a watcher while it is told is told to every watcher in
// turn, but the tell around it may still be running code that reaches the
// pixels through a watcher it has not told yet: the outermost tell frees.
void CRenderSurface::CloseChange() {
    if (!m_ending && !TellWatchers(&CRenderSurfaceWatcher::PlanesChanged)) return;
    if (m_telling == nullptr) FreeRetired();
}

void CRenderSurface::FreeRetired() {
    for (void* block : std::exchange(m_retired, {})) MemFree(block);
}

// A watcher may take itself or another off while it is told: each one still
// on the list is told once. One may delete the surface: the tell then reads
// nothing of it again.
bool CRenderSurface::TellWatchers(void (CRenderSurfaceWatcher::*tell)(CRenderSurface&)) {
    Telling telling{false, m_telling};
    m_telling = &telling;
    const std::vector<CRenderSurfaceWatcher*> told = m_watchers;
    for (CRenderSurfaceWatcher* watcher : told) {
        if (std::find(m_watchers.begin(), m_watchers.end(), watcher) != m_watchers.end()) (watcher->*tell)(*this);
        if (telling.ended) return false;
    }
    m_telling = telling.outer;
    return true;
}

uint32_t CRenderSurface::GetFormat() const {
    if (IsForwarding()) return m_forwardTarget != nullptr ? m_forwardTarget->GetFormat() : 0;
    return m_planes[kPlaneColor] != nullptr ? m_planes[kPlaneColor]->GetFormat() : 0;
}

bool CRenderSurface::GetSize(uint32_t* width, uint32_t* height) const {
    if (IsForwarding()) return m_forwardTarget != nullptr && m_forwardTarget->GetSize(width, height);
    for (const CRenderSurfaceBuffer* plane : m_planes) {
        if (plane == nullptr) continue;
        *width = plane->GetWidth();
        *height = plane->GetHeight();
        return true;
    }
    return false;
}

bool CRenderSurface::GetDesc(CRenderSurfaceDesc* desc) const {
    if (!FillDescFlags(desc)) return false;
    uint32_t width = 0;
    uint32_t height = 0;
    if (!GetSize(&width, &height)) return false;
    desc->width = static_cast<uint16_t>(width);
    desc->height = static_cast<uint16_t>(height);
    desc->doubleBuffered = FlagByte(m_flags, kFlagDoubleBuffered);
    desc->capability = FlagByte(m_flags, kFlagCapability);
    desc->locked = IsLocked() ? 1 : 0;
    desc->extendedColor = FlagByte(m_flags, kFlagExtendedColor);
    desc->colorRequested = FlagByte(m_flags, kFlagColorRequested);
    desc->depthRequested = FlagByte(m_flags, kFlagDepthRequested);
    desc->stencilRequested = FlagByte(m_flags, kFlagStencilRequested);
    desc->ownsPalette = FlagByte(m_flags, kFlagOwnsPalette);
    return FillDescPlanes(desc);
}

bool CRenderSurface::FillDescFlags(CRenderSurfaceDesc* desc) const {
    if ((m_flags & kFlagSoftware) != 0) {
        desc->kind = 2;
    } else if ((m_flags & kFlagWindow) != 0) {
        desc->kind = 1;
    } else {
        return false;
    }
    if ((m_flags & kFlagOffScreen) != 0) {
        desc->screen = 0;
    } else if ((m_flags & kFlagOnScreen) != 0) {
        desc->screen = 1;
    } else {
        return false;
    }
    desc->buffering = BufferingCode(m_flags);
    SetPresentationCode(m_flags, &desc->presentation);
    return true;
}

bool CRenderSurface::FillDescPlanes(CRenderSurfaceDesc* desc) const {
    desc->colorFormat = GetFormat();
    const CRenderSurfaceBuffer* depth = IsForwarding() ? nullptr : m_planes[kPlaneDepth];
    const CRenderSurfaceBuffer* stencil = IsForwarding() ? nullptr : m_planes[kPlaneStencil];
    if ((m_flags & kFlagDepthRequested) != 0 && depth == nullptr) return false;
    desc->depthFormat = depth != nullptr ? depth->GetFormat() : 0;
    if ((m_flags & kFlagStencilRequested) != 0 && stencil == nullptr) return false;
    desc->stencilFormat = stencil != nullptr ? stencil->GetFormat() : 0;
    desc->palette = m_palette;
    desc->forwardTarget = GetForwardTarget();
    return true;
}

bool CRenderSurface::IsOpaque() {
    if (m_opacity == kOpacityUnknown) m_opacity = ScanOpacity();
    return m_opacity == kOpacityOpaque;
}

CRenderSurface::Opacity CRenderSurface::ScanOpacity() {
    uint32_t width = 0;
    uint32_t height = 0;
    uint8_t* pixels = nullptr;
    int32_t pitch = 0;
    if ((m_flags & kFlagOffScreen) == 0 || IsForwarding() || !GetSize(&width, &height) ||
        !Lock(&pixels, &pitch, kLockRead, nullptr)) {
        return kOpacityKeyed;
    }
    const bool keyed = BlitBlockMayHoldKey(GetFormat(), pixels, pitch, width, height, m_palette);
    Unlock(kLockRead);
    return keyed ? kOpacityKeyed : kOpacityOpaque;
}

void CRenderSurface::Clear(uint32_t mask, const RSBFormat_ARGB_fixed* color, uint32_t depth, uint32_t stencil) {
    if ((mask & kClearColor) != 0) {
        uint8_t* pixels = nullptr;
        int32_t pitch = 0;
        Lock(&pixels, &pitch, 0, nullptr);
        if (color != nullptr) FillPlane(m_planes[kPlaneColor], pixels, pitch, RSBFormat_ARGB_FIXED, color);
        Unlock(0);
    }
    const CRenderSurfaceBuffer* depthPlane = m_planes[kPlaneDepth];
    if ((mask & kClearDepth) != 0 && depthPlane != nullptr) {
        FillPlane(depthPlane, static_cast<uint8_t*>(depthPlane->GetPixels(0)), depthPlane->GetPitch(), RSBFormat_Z32,
                  &depth);
    }
    const CRenderSurfaceBuffer* stencilPlane = m_planes[kPlaneStencil];
    if ((mask & kClearStencil) != 0 && stencilPlane != nullptr) {
        FillPlane(stencilPlane, static_cast<uint8_t*>(stencilPlane->GetPixels(0)), stencilPlane->GetPitch(),
                  kStencilValueFormat, &stencil);
    }
}

void CRenderSurface::FillPlane(const CRenderSurfaceBuffer* plane, uint8_t* pixels, int32_t pitch,
                               uint32_t valueFormat, const void* value) const {
    if (plane == nullptr || pixels == nullptr) return;
    BlitEntry request = {valueFormat, plane->GetFormat(), kBlitModePlain, 0, 0, kBlitKindFill, nullptr};
    if (!CBlitUtil::FindBlitter(&request)) return;
    uint32_t width = 0;
    uint32_t height = 0;
    if (!GetSize(&width, &height)) return;
    const BlitSolidDesc fill = {static_cast<int16_t>(pitch), pixels, valueFormat, value, static_cast<int32_t>(width),
                                static_cast<int32_t>(height)};
    request.routine(&fill);
}

bool CRenderSurface::CreatePlanes(const uint32_t formats[kPlaneCount], uint16_t width, uint16_t height,
                                  uint32_t* palette, const CRenderSurfaceLoadParams* loadParams, int32_t pitchMode,
                                  int16_t pitch, void* pixels) {
    if ((pixels != nullptr || pitch != 0) && loadParams != nullptr) return false;
    const PlaneChange change(this);
    NoteChange();
    m_palette = palette;
    if (palette == nullptr) {
        m_flags |= kFlagOwnsPalette;
    } else {
        m_flags &= ~kFlagOwnsPalette;
    }
    delete m_planes[kPlaneColor];
    CRenderSurfaceBuffer* color = (m_flags & kFlagExtendedColor) != 0 ? new CRenderSurfaceBufferEx(this)
                                                                      : new CRenderSurfaceBuffer(this);
    m_planes[kPlaneColor] = color;
    ASSERT(color != nullptr);
    if (color == nullptr) return false;
    if (!color->Create(formats[kPlaneColor], width, height, (m_flags & kFlagPowerOfTwo) != 0, &m_palette, loadParams,
                       pitchMode, pitch, pixels)) {
        return false;
    }
    // A loaded image decides the size.
    CreateAuxPlanes(formats, color->GetWidth(), color->GetHeight());
    return true;
}

void CRenderSurface::CreateAuxPlanes(const uint32_t formats[kPlaneCount], uint16_t width, uint16_t height) {
    const PlaneChange change(this);
    for (uint32_t index = kPlaneDepth; index < kPlaneCount; ++index) {
        if (formats[index] == 0) continue;
        delete m_planes[index];
        m_planes[index] = new CRenderSurfaceBuffer(this);
        if (m_planes[index] == nullptr) continue;
        m_planes[index]->Create(formats[index], width, height, false, nullptr, nullptr,
                                CRenderSurfaceBuffer::kPitchTopDown, 0, nullptr);
    }
}

bool CRenderSurface::CreateForwarding(const uint32_t formats[kPlaneCount], CClass* target, uint32_t targetClassKey,
                                      uint32_t* palette) {
    const PlaneChange change(this);
    Destroy();
    if (targetClassKey != ICRenderSurface::kClassKey || target == nullptr) return false;
    // Only a surface that tells of its end can be forwarded to.
    CRenderSurface* surface = dynamic_cast<CRenderSurface*>(target);
    if (surface == nullptr) return false;
    CRenderSurfaceDesc desc = {};
    if (!surface->GetDesc(&desc)) return false;
    if (formats[kPlaneColor] != 0 && formats[kPlaneColor] != desc.colorFormat) return false;
    if (palette != nullptr && (desc.colorFormat & kFormatPaletted) == 0) return false;
    if ((m_flags & kFlagBuffering1) != 0 && desc.buffering != 1 && desc.buffering != 3) return false;
    if ((m_flags & kFlagBuffering2) != 0 && desc.buffering != 2 && desc.buffering != 3) return false;
    m_palette = palette;
    m_forwardTarget = surface;
    surface->AddWatcher(this);
    m_flags |= kFlagForwarding;
    CreateAuxPlanes(formats, desc.width, desc.height);
    return true;
}
