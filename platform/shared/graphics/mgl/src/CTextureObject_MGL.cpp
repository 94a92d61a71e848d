#include "CTextureObject_MGL.h"

#include "CAssert.h"
#include "CGraphics.h"
#include "CRenderSurface.h"
#include "CRenderSurfaceBuffer.h"
#include "CRenderSurfaceFactory.h"
#include "MGLBufferOps.h"
#include "MGLContext.h"
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
}

// The device keeps no keyed table of texture objects, so there is no keyed
// object to release; the mappings binds made go with the surface.
CTextureObject_MGL::~CTextureObject_MGL() {
    for (int32_t unit = 0; unit < MGLContext::kTextureUnits; ++unit) ReleaseMapping(unit);
    delete m_surface;
}

// A unit still showing the mapping is emptied, so nothing reads the texels
// after they are gone, in the context the bind went to whether or not the
// device still has it. A destroyed context took its guest memory with it.
void CTextureObject_MGL::ReleaseMapping(int32_t unit) {
    UnitMapping& mapping = m_mappings[unit];
    MGLContext* context = mapping.guest != 0 ? MGLContext::Live(mapping.contextSerial) : nullptr;
    if (context != nullptr) {
        TextureUnit& bound = context->Record().texture_units[unit];
        if (bound.b.levels[0] == mapping.guest) ResetTextureUnit(bound);
        context->GuestMemory().Unmap(mapping.guest);
    }
    mapping = UnitMapping();
}

void CTextureObject_MGL::BindToUnit(int32_t unit) {
    if (unit < 0 || unit >= MGLContext::kTextureUnits) return;
    MGLContext* context = CurrentContext();
    if (context == nullptr || m_surface == nullptr) return;
    if ((m_surface->GetFlags() & CRenderSurface::kFlagCreated) == 0) return;
    const CRenderSurfaceBuffer* plane = m_surface->GetPlane(CRenderSurface::BufferTypeToIndex(CRenderSurface::kPlaneColor));
    if (plane == nullptr || plane->GetPixels(0) == nullptr) return;
    const uint32_t format = plane->GetFormat();
    const int32_t width = plane->GetWidth() & kWordMask;
    const int32_t height = plane->GetHeight() & kWordMask;
    const int32_t bpp = static_cast<int32_t>(format & 31u);
    // Rows top-down; the sampler reads them as one block of width-long rows.
    const int64_t pitch = plane->GetPitch();
    const int64_t rowBytes = int64_t{width} * bpp;
    const int64_t bytes = pitch >= rowBytes && height > 0 ? pitch * (height - 1) + rowBytes : rowBytes;
    ReleaseMapping(unit);
    const uint32_t guest = bytes > 0 ? context->GuestMemory().Map(plane->GetPixels(0), static_cast<size_t>(bytes)) : 0;
    if (guest == 0) return;
    m_mappings[unit] = UnitMapping{context->Serial(), guest};
    TextureUnit& b = context->Record().texture_units[unit];
    b.b.format = format;
    b.b.width = width;
    b.b.height = height;
    b.b.miptype = 0;
    b.b.maxD = 1;
    b.b.levels[0] = guest;
    b.width_log2 = Log2OfPowerOfTwo(static_cast<uint32_t>(width));
    b.height_log2 = Log2OfPowerOfTwo(static_cast<uint32_t>(height));
    b.bpp = bpp;
    b.cpp = static_cast<int32_t>((format & 0x700u) >> 8);
    b.filter_mode = m_filter;
    b.texmode = m_wrap;
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
