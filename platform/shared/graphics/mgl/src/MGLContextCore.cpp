#include "MGLContextCore.h"

#include <algorithm>

#include "CAssert.h"
#include "CGraphics.h"
#include "CRenderSurface.h"
#include "CRenderSurfaceBuffer.h"
#include "CTextureObject_MGL.h"
#include "MGLHost.h"

namespace {

// An unlocked window surface's colour plane holds this stand-in address.
constexpr uintptr_t kPlaceholderPixels = 1;

std::vector<MGLContext*>& LiveContexts() {
    static std::vector<MGLContext*> live;
    return live;
}

}  // namespace

MGLContextCore::MGLContextCore(MGLContext& context) : m_context(context) { LiveContexts().push_back(&context); }

MGLContextCore::~MGLContextCore() {
    std::vector<MGLContext*>& live = LiveContexts();
    live.erase(std::find(live.begin(), live.end(), &m_context));
}

MGLContext* MGLContextCore::Live(uint64_t serial) {
    for (MGLContext* context : LiveContexts()) {
        if (context->m_serial == serial) return context;
    }
    return nullptr;
}

void MGLContextCore::FollowSurfaces() {
    m_context.ForgetVanishedTarget();
    std::erase_if(m_textures, [this](CTextureObject_MGL* texture) { return !texture->FollowSurface(m_context); });
}

void MGLContextCore::AttachTexture(CTextureObject_MGL* texture) {
    if (std::find(m_textures.begin(), m_textures.end(), texture) == m_textures.end()) m_textures.push_back(texture);
}

void MGLContextCore::DetachTexture(CTextureObject_MGL* texture) { std::erase(m_textures, texture); }

MGLContextCore::BoundPlane MGLContextCore::PlaneOfBuffer(const CRenderSurfaceBuffer* buffer) {
    BoundPlane plane;
    if (buffer == nullptr) return plane;
    uint8_t* pixels = static_cast<uint8_t*>(buffer->GetPixels(0));
    if (pixels == nullptr || reinterpret_cast<uintptr_t>(pixels) == kPlaceholderPixels) return plane;
    if (buffer->GetWidth() == 0 || buffer->GetHeight() == 0) return plane;
    plane.pixels = pixels;
    plane.pitch = buffer->GetPitch();
    plane.width = buffer->GetWidth();
    plane.height = buffer->GetHeight();
    plane.format = buffer->GetFormat();
    return plane;
}

CRenderSurface* MGLContextCore::CurrentTargetPlanes(BoundPlane planes[kPlaneCount]) {
    CGraphics* graphics = MGLHost::Graphics();
    CRenderSurface* surface = graphics != nullptr ? graphics->GetCurrentSurface() : nullptr;
    if (surface == nullptr) return nullptr;
    const uint32_t flags = surface->GetFlags();
    if ((flags & MGLContext::kRenderTargetFlag) == 0) return nullptr;
    auto planeOfType = [surface, flags](uint32_t requested, uint32_t type) {
        return (flags & requested) != 0 ? PlaneOfBuffer(surface->GetPlane(CRenderSurface::BufferTypeToIndex(type)))
                                        : BoundPlane();
    };
    planes[static_cast<int32_t>(Plane::Colour)] =
        planeOfType(CRenderSurface::kFlagColorRequested, CRenderSurface::kPlaneColor);
    planes[static_cast<int32_t>(Plane::Depth)] =
        planeOfType(CRenderSurface::kFlagDepthRequested, CRenderSurface::kPlaneDepth);
    const BoundPlane& stencil = planes[static_cast<int32_t>(Plane::Stencil)] =
        planeOfType(CRenderSurface::kFlagStencilRequested, CRenderSurface::kPlaneStencil);
    if (stencil.pixels != nullptr && stencil.format != MGLContext::kSurfaceStencilFormat) {
        DebugPrintf("MGLContext: a stencil plane of format 0x%X cannot be a render target", stencil.format);
        return nullptr;
    }
    return surface;
}

// Maps the rows of the plane, lowest address first whichever way its pitch
// runs, and stores row 0's guest address and the pitch in the record.
void MGLContextCore::BindPlane(Plane which, const BoundPlane& plane) {
    BoundPlane bound = plane;
    bound.lastRow = 0;
    bound.lastRowOffset = 0;
    if (bound.pixels != nullptr) {
        const int64_t pitch = bound.pitch;
        const int64_t lastRow = static_cast<int64_t>(bound.height - 1) * pitch;
        uint8_t* lowest = lastRow < 0 ? bound.pixels + lastRow : bound.pixels;
        const uint64_t rowBytes = static_cast<uint64_t>(bound.width) * (bound.format & kBytesPerPixelMask);
        const uint64_t span = static_cast<uint64_t>(lastRow < 0 ? -lastRow : lastRow) + rowBytes;
        bound.mapping = span > 0 ? m_memory.Map(lowest, static_cast<size_t>(span)) : 0;
        bound.guestRow0 = bound.mapping != 0 ? bound.mapping + static_cast<uint32_t>(bound.pixels - lowest) : 0;
    }
    m_planes[static_cast<int32_t>(which)] = bound;
    MGLRecord& record = m_context.m_record;
    switch (which) {
        case Plane::Colour:
            record.destbase = bound.guestRow0;
            record.deststride = bound.pitch;
            break;
        case Plane::Depth:
            record.zbase = bound.guestRow0;
            record.zstride = bound.pitch;
            break;
        case Plane::Stencil:
            record.stencilbase = bound.guestRow0;
            record.stencilstride = bound.pitch;
            break;
    }
}

void MGLContextCore::UnbindPlanes() {
    for (int32_t i = 0; i < kPlaneCount; ++i) {
        if (m_planes[i].mapping != 0) m_memory.Unmap(m_planes[i].mapping);
        BindPlane(static_cast<Plane>(i), BoundPlane());
    }
}
