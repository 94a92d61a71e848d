#include "CRenderSurface_SW_OffScreen.h"

#include "CAssert.h"
#include "CColor.h"
#include "CGraphics.h"
#include "CRenderSurfaceLoadParams.h"

namespace {

// Swap axes, mirror x, mirror y of orientations 0 to 6.
constexpr uint8_t kOrientations[CRenderSurface_SW_OffScreen::kMaxOrientation + 1][3] = {
    {0, 1, 0}, {0, 0, 1}, {0, 1, 1}, {1, 0, 0}, {1, 1, 0}, {1, 0, 1}, {1, 1, 1}};

constexpr uint32_t kMaxSide = 0xFFFF;

bool IsTrue(uintptr_t value) { return (value & 0xFFu) != 0; }

uint32_t DisplayFormat() {
    const CGraphics* device = CGraphics::GetInstance();
    return device != nullptr ? device->GetDisplayFormat() : 0;
}

}  // namespace

bool CRenderSurface_SW_OffScreen::Create(const CRenderSurfaceAttribute* attributes) {
    const PlaneChange change(this);
    Destroy();
    Request request;
    if (attributes == nullptr || !ReadAttributes(attributes, &request) || !CreateFromRequest(&request)) {
        Destroy();
        return false;
    }
    AddFlags(kFlagCreated);
    return true;
}

bool CRenderSurface_SW_OffScreen::ReadAttributes(const CRenderSurfaceAttribute* attributes, Request* request) {
    for (const CRenderSurfaceAttribute* pair = attributes; pair->key != kSurfaceAttrEnd; ++pair) {
        if (!TakeAttribute(*pair, request)) return false;
    }
    return true;
}

bool CRenderSurface_SW_OffScreen::TakeAttribute(const CRenderSurfaceAttribute& attribute, Request* request) {
    const uintptr_t value = attribute.value;
    switch (attribute.key) {
        case kSurfaceAttrWidth:
            request->width = static_cast<uint32_t>(value);
            return value <= kMaxSide;
        case kSurfaceAttrHeight:
            request->height = static_cast<uint32_t>(value);
            return value <= kMaxSide;
        case kSurfaceAttrDoubleBuffered:
            return !IsTrue(value);
        case kSurfaceAttrCapability:
            if (IsTrue(value)) AddFlags(kFlagCapability);
            return true;
        case kSurfaceAttrExtendedColor:
            if (IsTrue(value)) AddFlags(kFlagExtendedColor);
            return true;
        case kSurfaceAttrColorFormat:
        case kSurfaceAttrDepthFormat:
        case kSurfaceAttrStencilFormat:
            return TakeFormat(attribute.key, static_cast<uint32_t>(value), request);
        case kSurfaceAttrKeepPalettes:
            request->keepPalettes = IsTrue(value);
            return true;
        case kSurfaceAttrPalette:
            request->palette = reinterpret_cast<uint32_t*>(value);
            return true;
        case kSurfaceAttrOrientation:
            return TakeOrientation(value, request);
        default:
            return TakeLinkAttribute(attribute, request);
    }
}

bool CRenderSurface_SW_OffScreen::TakeFormat(uint32_t key, uint32_t format, Request* request) {
    if (key == kSurfaceAttrColorFormat) {
        AddFlags(kFlagColorRequested);
        request->formats[kPlaneColor] = format;
    } else if (key == kSurfaceAttrDepthFormat) {
        AddFlags(kFlagDepthRequested);
        request->formats[kPlaneDepth] = format;
    } else {
        AddFlags(kFlagStencilRequested);
        request->formats[kPlaneStencil] = format;
    }
    return true;
}

// The keys that tie the surface to another object or to an image, and whose
// order matters: a colour key or a type cannot follow a forward target.
bool CRenderSurface_SW_OffScreen::TakeLinkAttribute(const CRenderSurfaceAttribute& attribute, Request* request) {
    const uintptr_t value = attribute.value;
    switch (attribute.key) {
        case kSurfaceAttrColorKey:
            if (request->forwardGiven || request->classKeyGiven) return false;
            request->colorKeyGiven = true;
            request->colorKey = static_cast<uint32_t>(value);
            return true;
        case kSurfaceAttrForwardTarget:
            request->forwardGiven = true;
            request->forwardTarget = reinterpret_cast<CClass*>(value);
            return true;
        case kSurfaceAttrForwardClassKey:
            if (request->classKeyGiven || request->streamGiven || request->typeGiven) return false;
            request->classKeyGiven = true;
            request->forwardClassKey = static_cast<uint32_t>(value);
            return true;
        case kSurfaceAttrImageStream:
            request->streamGiven = true;
            request->stream = reinterpret_cast<CInputStream*>(value);
            return true;
        case kSurfaceAttrImageType:
            if (request->typeGiven || request->forwardGiven || request->classKeyGiven) return false;
            request->typeGiven = true;
            request->streamType = static_cast<uint32_t>(value);
            return true;
        default:
            return true;
    }
}

bool CRenderSurface_SW_OffScreen::TakeOrientation(uintptr_t value, Request* request) {
    if (value > kMaxOrientation) return false;
    request->swapAxes = kOrientations[value][0];
    request->mirrorX = kOrientations[value][1];
    request->mirrorY = kOrientations[value][2];
    return true;
}

bool CRenderSurface_SW_OffScreen::CreateFromRequest(Request* request) {
    if (request->forwardGiven) {
        return CreateForwarding(request->formats, request->forwardTarget, request->forwardClassKey,
                                request->palette);
    }
    CRenderSurfaceLoadParams params;
    params.Init();
    if (request->streamGiven) {
        if (!PrepareImageLoad(*request, &params)) return false;
    } else if (request->formats[kPlaneColor] == 0) {
        const uint32_t display = DisplayFormat();
        ASSERT(display != 0);
        if (display == 0) return false;
        request->formats[kPlaneColor] = display;
    }
    if (!request->streamGiven && !FitsInMemory(*request)) return false;
    return CreatePlanes(request->formats, static_cast<uint16_t>(request->width),
                        static_cast<uint16_t>(request->height), request->palette,
                        request->streamGiven ? &params : nullptr, 0, 0, nullptr);
}

bool CRenderSurface_SW_OffScreen::FitsInMemory(const Request& request) {
    for (uint32_t format : request.formats) {
        const uint64_t bytes = static_cast<uint64_t>(request.width) * request.height * CColor::BytesPerPixel(format);
        if (bytes > kMaxPlaneBytes) {
            DebugPrintf("CRenderSurface: a %u x %u plane is too large\n", request.width, request.height);
            return false;
        }
    }
    return true;
}

bool CRenderSurface_SW_OffScreen::PrepareImageLoad(const Request& request, CRenderSurfaceLoadParams* params) const {
    if (request.stream == nullptr) return false;
    params->stream = request.stream;
    params->type = request.streamType;
    params->colorKeyPresent = request.colorKeyGiven ? 1 : 0;
    params->colorKey = request.colorKey;
    params->swapAxes = request.swapAxes;
    params->mirrorX = request.mirrorX;
    params->mirrorY = request.mirrorY;
    if (request.formats[kPlaneColor] != 0) return true;
    return FillFormatMap(DisplayFormat(), request.keepPalettes, request.colorKeyGiven, params);
}

bool CRenderSurface_SW_OffScreen::FillFormatMap(uint32_t displayFormat, bool keepPalettes, bool colorKey,
                                                CRenderSurfaceLoadParams* params) {
    uint32_t plain = 0;
    uint32_t keyed = 0;
    if (displayFormat == RSBFormat_R5G6B5 || displayFormat == RSBFormat_X14R6G6B6) {
        plain = displayFormat;
        keyed = RSBFormat_A1R5G5B5;
    } else if (displayFormat == RSBFormat_X8R8G8B8 || displayFormat == RSBFormat_A8R8G8B8) {
        plain = RSBFormat_X8R8G8B8;
        keyed = RSBFormat_A8R8G8B8;
    } else {
        return false;
    }
    const uint32_t direct = colorKey ? keyed : plain;
    // Kept palettes stay indexed; a colour key makes them carry alpha.
    const CRenderSurfaceLoadParams::FormatPair pairs[] = {
        {RSBFormat_R5G6B5, direct},
        {RSBFormat_R8G8B8, direct},
        {RSBFormat_P16X8R8G8B8, keepPalettes ? (colorKey ? RSBFormat_P16A8R8G8B8 : RSBFormat_P16X8R8G8B8) : direct},
        {RSBFormat_P16A8R8G8B8, keepPalettes ? RSBFormat_P16A8R8G8B8 : direct},
        {RSBFormat_P256X8R8G8B8, keepPalettes ? (colorKey ? RSBFormat_P256A8R8G8B8 : RSBFormat_P256X8R8G8B8) : direct},
        {RSBFormat_P256A8R8G8B8, keepPalettes ? RSBFormat_P256A8R8G8B8 : direct},
    };
    int32_t index = 0;
    for (const CRenderSurfaceLoadParams::FormatPair& pair : pairs) params->formatMap[index++] = pair;
    return true;
}

bool CRenderSurface_SW_OffScreen::Lock(uint8_t** pixels, int32_t* pitch, uint32_t lockFlags, const CRect* rect) {
    ICRenderSurface* target = GetForwardTarget();
    if (target != nullptr) return target->Lock(pixels, pitch, lockFlags, rect);
    NoteWriteLock(lockFlags);
    if (pixels != nullptr && GetPlane(kPlaneColor) != nullptr) {
        AddFlags(kLockBits);
        if (GetPlanePointer(kPlaneColor, pixels, pitch, rect) && *pixels != nullptr) return true;
        RemoveFlags(kLockBits);
    }
    if (pixels != nullptr) *pixels = nullptr;
    if (pitch != nullptr) *pitch = 0;
    return false;
}

void CRenderSurface_SW_OffScreen::Unlock(uint32_t lockFlags) {
    ICRenderSurface* target = GetForwardTarget();
    if (target != nullptr) {
        target->Unlock(lockFlags);
        return;
    }
    RemoveFlags(kLockBits);
}
