#include "CTextureObject_MGL.h"

#include <algorithm>

#include "CAssert.h"
#include "CGraphics.h"
#include "CRenderSurface.h"
#include "CRenderSurfaceBuffer.h"
#include "CRenderSurfaceFactory.h"
#include "MGLBufferOps.h"
#include "MGLContextCore.h"
#include "MGLHost.h"
#include "MGLTextureUnit.h"

namespace {

const char* const kSource = "CTextureObject_MGL";
constexpr int kLineSurface = 33;
constexpr int kLineGetSurface = 100;
constexpr int kLineParameterList = 229;
constexpr int kLineNearestPair = 276;
constexpr int kLineNearestMipPair = 293;
constexpr int kLineMinFilter = 307;
constexpr int kLineWrapValue = 323;
constexpr int kLineName = 328;
constexpr int kLineParameters = 336;

constexpr uint32_t kSurfaceCapabilities = 1;
constexpr uint32_t kWordMask = 0xFFFF;
constexpr uint32_t kBytesPerPixelMask = 31;

constexpr uint32_t kFormatList[CTextureObject_MGL::kFormatCount] = {
    0x21302, 0x45402, 0x65402, 0x81304, 0x90303, 0xB0304, 0xC4404,
    0x348301, 0x35C401, 0x1E4410, 0x280101, 0x2B4202, 0x520104};
// The renderer's number of each list entry (4 and 11 are not used).
constexpr int32_t kFormatNumbers[CTextureObject_MGL::kFormatCount] = {0, 1, 2, 3, 5, 6, 7, 8, 9, 10, 12, 13, 14};

MGLContext* CurrentContext() {
    CGraphics* graphics = MGLHost::Graphics();
    return graphics != nullptr ? static_cast<MGLContext*>(graphics->GetRendererContext()) : nullptr;
}

}  // namespace

CTextureObject_MGL::CTextureObject_MGL() {
    m_surface = CreateRenderSurface(kRenderSurfaceKindOffScreen, 0, kSurfaceCapabilities);
    Assert(m_surface != nullptr, kSource, kLineSurface);
    if (m_surface != nullptr) m_surface->AddWatcher(this);
}

// The device keeps no keyed table of texture objects, so there is no keyed
// object to release; the mappings binds made go with the surface.
CTextureObject_MGL::~CTextureObject_MGL() {
    while (!m_mappings.empty()) {
        const UnitMapping mapping = m_mappings.back();
        m_mappings.pop_back();
        ReleaseMapping(mapping);
    }
    if (m_surface != nullptr) m_surface->RemoveWatcher(this);
    delete m_surface;
}

// A unit still showing the mapping is emptied, so nothing reads the texels
// after they are gone, in the context the bind went to whether or not the
// device still has it. A destroyed context took its guest memory with it.
// The mapping is no longer in the list: the context forgets the texture
// when no other mapping is left there.
void CTextureObject_MGL::ReleaseMapping(const UnitMapping& mapping) {
    MGLContext* context = MGLContextCore::Live(mapping.contextSerial);
    if (context == nullptr) return;
    TextureUnit& bound = context->Record().texture_units[mapping.unit];
    if (bound.b.levels[0] == mapping.guest) ResetTextureUnit(bound);
    MGLContextCore::Of(*context).Mappings().Unmap(mapping.guest);
    const auto inContext = [&mapping](const UnitMapping& m) { return m.contextSerial == mapping.contextSerial; };
    if (std::none_of(m_mappings.begin(), m_mappings.end(), inContext)) MGLContextCore::Of(*context).DetachTexture(this);
}

CTextureObject_MGL::PlaneShape CTextureObject_MGL::CurrentPlane() const {
    if (m_surface == nullptr || (m_surface->GetFlags() & CRenderSurface::kFlagCreated) == 0) return PlaneShape();
    const CRenderSurfaceBuffer* plane = m_surface->GetPlane(CRenderSurface::BufferTypeToIndex(CRenderSurface::kPlaneColor));
    if (plane == nullptr || plane->GetPixels(0) == nullptr) return PlaneShape();
    PlaneShape shape;
    shape.pixels = static_cast<uint8_t*>(plane->GetPixels(0));
    shape.format = plane->GetFormat();
    shape.width = plane->GetWidth() & kWordMask;
    shape.height = plane->GetHeight() & kWordMask;
    // The sampler reads the rows as one block of width-long rows, top-down:
    // rows laid out otherwise (padded, bottom-up) have no bytes it may map.
    shape.pitch = plane->GetPitch();
    const int64_t rowBytes = int64_t{shape.width} * static_cast<int32_t>(shape.format & kBytesPerPixelMask);
    const int64_t bytes = shape.pitch == rowBytes ? rowBytes * shape.height : 0;
    shape.bytes = static_cast<size_t>(bytes);
    return shape;
}

bool CTextureObject_MGL::MapIntoUnit(MGLContext& context, UnitMapping& mapping, const PlaneShape& plane) {
    if (plane.bytes == 0) {
        DebugPrintf("CTextureObject_MGL: a %dx%d plane of format 0x%X with rows %d bytes apart cannot be sampled",
                    plane.width, plane.height, plane.format, plane.pitch);
        return false;
    }
    mapping.guest = MGLContextCore::Of(context).Mappings().Map(plane.pixels, plane.bytes);
    if (mapping.guest == 0) return false;
    mapping.plane = plane;
    TextureUnit& b = context.Record().texture_units[mapping.unit];
    b.b.format = plane.format;
    b.b.width = plane.width;
    b.b.height = plane.height;
    b.b.miptype = 0;
    b.b.maxD = 1;
    b.b.levels[0] = mapping.guest;
    DeriveTextureUnitSizes(b);
    return true;
}

void CTextureObject_MGL::BindToUnit(int32_t unit) {
    if (unit < 0 || unit >= MGLContext::kTextureUnits) return;
    MGLContext* context = CurrentContext();
    if (context == nullptr) return;
    const PlaneShape plane = CurrentPlane();
    if (plane.pixels == nullptr) return;
    const uint64_t serial = MGLContextCore::Of(*context).Serial();
    const auto sameUnit = [serial, unit](const UnitMapping& m) { return m.contextSerial == serial && m.unit == unit; };
    const auto old = std::find_if(m_mappings.begin(), m_mappings.end(), sameUnit);
    if (old != m_mappings.end()) {
        const UnitMapping released = *old;
        m_mappings.erase(old);
        ReleaseMapping(released);
    }
    UnitMapping mapping{serial, unit, 0, PlaneShape()};
    if (!MapIntoUnit(*context, mapping, plane)) {
        DebugPrintf("CTextureObject_MGL: texture unit %d emptied", unit);
        ResetTextureUnit(context->Record().texture_units[unit]);
        return;
    }
    m_mappings.push_back(mapping);
    MGLContextCore::Of(*context).AttachTexture(this);
    TextureUnit& b = context->Record().texture_units[unit];
    b.filter_mode = m_filter;
    b.texmode = m_wrap;
}

bool CTextureObject_MGL::FollowSurface(MGLContext& context) {
    const PlaneShape plane = CurrentPlane();
    const uint64_t serial = MGLContextCore::Of(context).Serial();
    bool kept = false;
    for (UnitMapping& mapping : m_mappings) {
        if (mapping.contextSerial != serial) continue;
        if (mapping.plane == plane) {
            kept = true;
            continue;
        }
        TextureUnit& unit = context.Record().texture_units[mapping.unit];
        const bool shown = unit.b.levels[0] == mapping.guest;
        MGLContextCore::Of(context).Mappings().Unmap(mapping.guest);
        if (shown && MapIntoUnit(context, mapping, plane)) {
            kept = true;
            continue;
        }
        if (shown) ResetTextureUnit(unit);
        mapping.guest = 0;
    }
    std::erase_if(m_mappings, [serial](const UnitMapping& m) { return m.contextSerial == serial && m.guest == 0; });
    return kept;
}

// Every live context a mapping went to follows the new plane now: the old
// pixels may already be freed.
void CTextureObject_MGL::PlanesChanged(CRenderSurface&) {
    std::vector<uint64_t> serials;
    for (const UnitMapping& mapping : m_mappings) {
        if (std::find(serials.begin(), serials.end(), mapping.contextSerial) == serials.end()) {
            serials.push_back(mapping.contextSerial);
        }
    }
    for (const uint64_t serial : serials) {
        MGLContext* context = MGLContextCore::Live(serial);
        if (context != nullptr && !FollowSurface(*context)) MGLContextCore::Of(*context).DetachTexture(this);
    }
}

// The surface is handed out by GetSurface, so a host may delete it: it
// answers no planes from its end on, so the mappings follow them to none,
// and nothing reaches the surface after.
void CTextureObject_MGL::SurfaceEnding(CRenderSurface& surface) {
    if (&surface != m_surface) return;
    PlanesChanged(surface);
    m_surface = nullptr;
}

void CTextureObject_MGL::GetSurface(CRenderSurface** out) const {
    Assert(out != nullptr, kSource, kLineGetSurface);
    if (out != nullptr) *out = m_surface;
}

void CTextureObject_MGL::SetParameterList(const uint32_t* list) {
    Assert(list != nullptr, kSource, kLineParameterList);
    if (list == nullptr) return;
    for (; list[0] != 0; list += 2) SetListParameter(list[0], list[1]);
}

bool CTextureObject_MGL::SetParameter(uint32_t name, uint32_t value) {
    switch (name) {
        case kMagFilter:
            m_magFilter = value;
            return DeriveFilter();
        case kMinFilter:
            m_minFilter = value;
            return DeriveFilter();
        case kWrapS:
        case kWrapT:
            if (value == kRepeat || value == kClampToEdge) {
                m_wrap = value == kRepeat ? kWrapRepeat : kWrapClamp;
                return true;
            }
            Assert(false, kSource, kLineWrapValue);
            return false;
        default:
            Assert(false, kSource, kLineName);
            return false;
    }
}

bool CTextureObject_MGL::DeriveFilter() {
    int32_t filter = -1;
    int line = 0;
    switch (m_minFilter) {
        case kNearest:
            filter = m_magFilter == kNearest ? 0 : (m_magFilter == kLinear ? 4 : -1);
            line = kLineNearestPair;
            break;
        case kLinear: filter = 4; break;
        case kNearestMipmapNearest:
            filter = m_magFilter == kNearest ? 1 : (m_magFilter == kLinear ? 3 : -1);
            line = kLineNearestMipPair;
            break;
        case kLinearMipmapNearest: filter = 5; break;
        case kNearestMipmapLinear: filter = 2; break;
        case kLinearMipmapLinear: filter = 6; break;
        default: line = kLineMinFilter; break;
    }
    if (filter < 0) {
        Assert(false, kSource, line);
        return false;
    }
    m_filter = filter;
    return true;
}

void CTextureObject_MGL::SetParameters(int32_t count, const uint32_t* names, const uint32_t* values) {
    Assert(names != nullptr && values != nullptr, kSource, kLineParameters);
    if (names == nullptr || values == nullptr) return;
    for (int32_t i = 0; i < count; ++i) SetParameter(names[i], values[i]);
}

int32_t CTextureObject_MGL::Log2OfPowerOfTwo(uint32_t n) { return Log2Exact(n); }

int32_t CTextureObject_MGL::TextureFormatIndex(uint32_t format) {
    const uint32_t i = FindTextureFormat(format);
    return i == kNoFormat ? -1 : kFormatNumbers[i];
}

uint32_t CTextureObject_MGL::FindTextureFormat(uint32_t format) {
    for (uint32_t i = 0; i < kFormatCount; ++i) {
        if (kFormatList[i] == format) return i;
    }
    return kNoFormat;
}

uint32_t CTextureObject_MGL::GetTextureFormat(uint32_t i) { return i < kFormatCount ? kFormatList[i] : kNoFormat; }

void CTextureObject_MGL::PrintName(const char* name) { DebugPrintf("%s", name); }

void CTextureObject_MGL::PrintNameInt(const char* name, int32_t value) { DebugPrintf("%s %d", name, value); }

void CTextureObject_MGL::PrintNameFixed(const char* name, int32_t value) {
    DebugPrintf("%s %x %d.%03d", name, static_cast<uint32_t>(value), value >> 16,
                static_cast<int32_t>(((static_cast<uint32_t>(value) & 0xFFFFu) * 1000u) >> 16));
}
