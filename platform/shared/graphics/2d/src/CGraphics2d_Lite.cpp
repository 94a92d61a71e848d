#include "CGraphics2d_Lite.h"

#include <cstddef>
#include <cstring>
#include <type_traits>

#include "BlitClip.h"
#include "BlitCopy.h"
#include "BlitLineFill.h"
#include "CAssert.h"
#include "CColor.h"
#include "CGraphics.h"
#include "CInterpolantFetcher.h"
#include "CRenderSurface.h"

namespace {

// Fetch type and conversion shift of a vertex element type key: 8- and
// 16-bit coordinates are whole pixels, 32-bit ones 16.16. Type 0: none.
struct VertexFormat {
    uint8_t type;
    int8_t shift;
};

VertexFormat VertexFormatOf(uint32_t typeKey) {
    switch (typeKey) {
        case CGraphics2d_Lite::kVertexInt8: return {CInterpolantFetcher::kTypeInt8, 16};
        case CGraphics2d_Lite::kVertexInt16: return {CInterpolantFetcher::kTypeInt16, 16};
        case CGraphics2d_Lite::kVertexFixed: return {CInterpolantFetcher::kTypeInt32, 0};
        default: return {0, 0};
    }
}

// Option 2 of a blit request: the blend code.
uint32_t BlendCode(const uint8_t blend, uint32_t blendMode) {
    if (blend == 0) return 0;
    if (blendMode == CGraphics2d_Lite::kBlendConstant) return 1;
    return blendMode == CGraphics2d_Lite::kBlendChannels ? 3 : 0;
}

int32_t WholePixels(int32_t fixed) { return fixed >> 16; }

// Every field that picks a routine, compared at once: the fields lie before
// the routine without padding.
bool SameRequest(const BlitEntry& a, const BlitEntry& b) {
    static_assert(offsetof(BlitEntry, routine) == 6 * sizeof(uint32_t));
    return std::memcmp(&a, &b, offsetof(BlitEntry, routine)) == 0;
}

// The calls the call hash tells apart.
constexpr uint64_t kCallImage = 1;
constexpr uint64_t kCallPieces = 2;
constexpr uint64_t kCallLines = 3;
constexpr uint64_t kCallRectangles = 4;
constexpr uint64_t kCallRestore = 5;
constexpr uint64_t kCallText = 6;

// Rectangles and pieces are hashed as their bytes: no padding may hide in them.
static_assert(std::has_unique_object_representations_v<CRect> && sizeof(CRect) == sizeof(uint64_t));
static_assert(std::has_unique_object_representations_v<CGraphics2d_Lite::ImagePiece>);

uint64_t TwoWords(int32_t low, int32_t high) {
    return static_cast<uint32_t>(low) | static_cast<uint64_t>(static_cast<uint32_t>(high)) << 32;
}

CRenderSurface* CurrentSurface() {
    const CGraphics* device = CGraphics::GetInstance();
    return device != nullptr ? device->GetCurrentSurface() : nullptr;
}

}  // namespace

CGraphics2d_Lite::CGraphics2d_Lite() : CSingleton(kClassKey) {}

CGraphics2d_Lite::~CGraphics2d_Lite() {
    ASSERT(m_initialised == 0);
    ASSERT(m_open == 0);
}

CGraphics2d_Lite* CGraphics2d_Lite::GetInstance() {
    CSingleton* registered = CSingleton::GetInstance(kClassKey);
    return registered != nullptr ? static_cast<CGraphics2d_Lite*>(registered) : nullptr;
}

bool CGraphics2d_Lite::Open() {
    if (m_open != 0) Close();
    m_open = Initialise() ? 1 : 0;
    return m_open != 0;
}

void CGraphics2d_Lite::Close() {
    Reset();
    m_open = 0;
}

void CGraphics2d_Lite::SetMode(uint32_t mode) { ASSERT(mode == kMode); }

void CGraphics2d_Lite::SetOrigin(uint32_t origin) {
    ASSERT(origin == kOriginTopLeft);
    m_origin = origin;
}

void CGraphics2d_Lite::SetTarget(CRenderSurface* surface) {
    ASSERT(surface != nullptr && surface->GetType() == 2);
    m_target = surface;
}

bool CGraphics2d_Lite::InitStacks() {
    return m_alphaStack.Init(kStateDepth) && m_blendStack.Init(kStateDepth) && m_blendModeStack.Init(kStateDepth) &&
           m_colorStack.Init(kStateDepth) && m_colorKeyStack.Init(kStateDepth) && m_matrixStack.Init(kMatrixDepth);
}

void CGraphics2d_Lite::ReleaseStacks() {
    m_alphaStack.Release();
    m_blendStack.Release();
    m_blendModeStack.Release();
    m_colorStack.Release();
    m_colorKeyStack.Release();
    m_matrixStack.Release();
}

bool CGraphics2d_Lite::Initialise() {
    if (!DropBlitCache()) return false;
    if (!InitStacks()) {
        ReleaseStacks();
        return false;
    }
    SetMode(kMode);
    SetOrigin(kOriginTopLeft);
    Disable(kCapColorKey);
    Disable(kCapAlpha);
    Disable(kCapBlend);
    SetBlendMode(kBlendChannels);
    const CRenderSurface* surface = CurrentSurface();
    ASSERT(surface != nullptr);
    uint32_t width = 0;
    uint32_t height = 0;
    if (surface != nullptr && surface->GetSize(&width, &height)) {
        SetClip(0, 0, static_cast<int16_t>(width), static_cast<int16_t>(height));
    }
    m_matrixStack.Top() = {0, 0};
    m_initialised = 1;
    return true;
}

void CGraphics2d_Lite::Reset() {
    m_imageSuppress = 0;
    m_frameTarget.surface = nullptr;
    m_target = nullptr;
    ReleaseStacks();
    m_initialised = 0;
    m_frameOpen = 0;
    m_clip.SetEmpty();
    ClearVertexPointer();
    m_callHash.Stop();
}

bool CGraphics2d_Lite::DropBlitCache() {
    for (BlitEntry& request : m_requests) request = {0, 0, 0, 0, 0, 0, nullptr};
    m_nextRequest = 0;
    m_lastRequest = 0;
    return true;
}

void CGraphics2d_Lite::BeginFrame() {
    CRenderSurface* surface = CurrentSurface();
    ASSERT(surface != nullptr);
    if (surface == nullptr) return;
    uint8_t* pixels = nullptr;
    int32_t pitch = 0;
    // Each draw call notes its own change: a frame that draws nothing leaves
    // the surface's change serial as it was.
    surface->Lock(&pixels, &pitch, ICRenderSurface::kLockNotedWrites, nullptr);
    uint32_t width = 0;
    uint32_t height = 0;
    surface->GetSize(&width, &height);
    m_clip.Set(0, 0, static_cast<int16_t>(width), static_cast<int16_t>(height));
    m_effectiveClip = m_clip;
    m_frameOpen = 1;
    // The frame's lock holds until EndFrame: draw calls need not lock again.
    m_frameTarget = {pixels != nullptr ? surface : nullptr, pixels, pitch, width, height, surface->GetFormat(), 0, 0};
}

void CGraphics2d_Lite::EndFrame() {
    CRenderSurface* surface = CurrentSurface();
    if (surface != nullptr) surface->Unlock(0);
    m_frameOpen = 0;
    m_frameTarget.surface = nullptr;
}

// ---- State ----

void CGraphics2d_Lite::SetColor(uint32_t packedArgb) { m_colorStack.Top().SetPacked(packedArgb); }

void CGraphics2d_Lite::SetColor(const RSBFormat_ARGB_fixed& color) { m_colorStack.Top().SetFixed(color); }

void CGraphics2d_Lite::SetColor(int32_t a, int32_t r, int32_t g, int32_t b) {
    m_colorStack.Top().SetChannels(a, r, g, b);
}

void CGraphics2d_Lite::Enable(uint32_t capability) {
    if (capability == kCapAlpha) m_alphaStack.Top() = 1;
    if (capability == kCapBlend) m_blendStack.Top() = 1;
    if (capability == kCapColorKey) m_colorKeyStack.Top() = 1;
}

void CGraphics2d_Lite::Disable(uint32_t capability) {
    if (capability == kCapAlpha) m_alphaStack.Top() = 0;
    if (capability == kCapBlend) m_blendStack.Top() = 0;
    if (capability == kCapColorKey) m_colorKeyStack.Top() = 0;
}

void CGraphics2d_Lite::PushState(uint32_t group) {
    if (group == kGroupAlpha) m_alphaStack.Push();
    if (group == kGroupBlend && m_blendStack.Push()) m_blendModeStack.Push();
    if (group == kGroupColor) m_colorStack.Push();
    if (group == kGroupColorKey) m_colorKeyStack.Push();
}

void CGraphics2d_Lite::PopState(uint32_t group) {
    if (group == kGroupAlpha) m_alphaStack.Pop();
    if (group == kGroupBlend && m_blendStack.Pop()) m_blendModeStack.Pop();
    if (group == kGroupColor) m_colorStack.Pop();
    if (group == kGroupColorKey) m_colorKeyStack.Pop();
}

void CGraphics2d_Lite::SetBlendMode(uint32_t mode) { m_blendModeStack.Top() = mode; }

// ---- Translation ----

void CGraphics2d_Lite::SetMatrix(uint32_t kind, const Translation* matrix) {
    ASSERT(kind != 0 && matrix != nullptr);
    if (matrix != nullptr) m_matrixStack.Top() = *matrix;
}

void CGraphics2d_Lite::MultMatrix(uint32_t kind, const Translation* matrix) {
    ASSERT(kind != 0 && matrix != nullptr);
    if (matrix != nullptr) Translate(matrix->x, matrix->y);
}

void CGraphics2d_Lite::PushMatrix() { m_matrixStack.Push(); }

void CGraphics2d_Lite::PopMatrix() { m_matrixStack.Pop(); }

void CGraphics2d_Lite::GetMatrixPointer(uint32_t* kind, const Translation** matrix) const {
    if (kind != nullptr) *kind = 0;
    if (matrix != nullptr) *matrix = &m_matrixStack.Top();
}

void CGraphics2d_Lite::VertexPointer(int32_t components, uint32_t typeKey, int32_t stride, const void* data) {
    m_vertexComponents = components;
    m_vertexType = typeKey;
    m_vertexStride = stride;
    m_vertexData = data;
}

void CGraphics2d_Lite::ClearVertexPointer() { VertexPointer(0, 0, 0, nullptr); }

// ---- Clipping ----

void CGraphics2d_Lite::SetClip(const CRect& clip) {
    m_clip = clip;
    if (m_frameOpen != 0) RecomputeEffectiveClip();
}

void CGraphics2d_Lite::SetClip(int16_t x, int16_t y, int16_t width, int16_t height) {
    CRect clip;
    clip.Set(x, y, width, height);
    SetClip(clip);
}

void CGraphics2d_Lite::RecomputeEffectiveClip() {
    const CRenderSurface* surface = CurrentSurface();
    uint32_t width = 0;
    uint32_t height = 0;
    if (surface == nullptr || !surface->GetSize(&width, &height)) return;
    m_effectiveClip.Set(0, 0, static_cast<int16_t>(width), static_cast<int16_t>(height));
    CRect::ClipSpan(m_effectiveClip, m_clip);
}

// ---- Drawing ----

bool CGraphics2d_Lite::LockTarget(Target* target) const {
    const Translation& translation = m_matrixStack.Top();
    CRenderSurface* surface = CurrentSurface();
    if (m_frameOpen != 0 && surface != nullptr && surface == m_frameTarget.surface) {
        *target = m_frameTarget;
        target->tx = WholePixels(translation.x);
        target->ty = WholePixels(translation.y);
        return true;
    }
    target->surface = surface;
    if (target->surface == nullptr) return false;
    target->pixels = nullptr;
    target->pitch = 0;
    target->surface->Lock(&target->pixels, &target->pitch, 0, nullptr);
    if (target->pixels == nullptr) return false;
    target->width = 0;
    target->height = 0;
    target->surface->GetSize(&target->width, &target->height);
    target->format = target->surface->GetFormat();
    target->tx = WholePixels(translation.x);
    target->ty = WholePixels(translation.y);
    return true;
}

void CGraphics2d_Lite::UnlockTarget(const Target& target) const {
    if (target.pixels != m_frameTarget.pixels || target.surface != m_frameTarget.surface) target.surface->Unlock(0);
}

uint8_t* CGraphics2d_Lite::PixelAt(const Target& target, int32_t x, int32_t y) const {
    return target.pixels + static_cast<intptr_t>(y) * target.pitch +
           static_cast<intptr_t>(x) * CColor::BytesPerPixel(target.format);
}

bool CGraphics2d_Lite::CheckState(uint32_t colorFormat, bool primitive, DrawState* state) const {
    state->colorKey = m_colorKeyStack.Top();
    state->alpha = m_alphaStack.Top();
    state->blend = m_blendStack.Top();
    state->blendMode = m_blendModeStack.Top();
    const bool supported = !(state->colorKey != 0 && state->alpha != 0) &&
                           !(state->blend != 0 && state->colorKey != 0 && state->blendMode == kBlendChannels);
    if (!supported) {
        DebugPrintf("Warning: Graphics2d's state is configured to an unsupported arrangement.");
        return false;
    }
    if (state->blend == 0) return true;
    if (primitive) {
        if (state->blendMode == kBlendConstant) state->blendMode = kBlendChannels;
    } else if (state->blendMode == kBlendChannels && (colorFormat & kFormatHasAlpha) == 0) {
        state->blend = 0;
    }
    if (state->blendMode == kBlendChannels) state->alpha = 1;
    if (state->blendMode == kBlendConstant) state->alpha = 0;
    return true;
}

// The last requests are remembered with their answers, misses included, so
// that draws in states seen shortly before skip the registry; a new request
// takes the place of the oldest.
BlitRoutine CGraphics2d_Lite::FindRoutine(uint32_t sourceFormat, uint32_t destFormat, const DrawState& state,
                                          uint32_t kind) {
    const BlitEntry request = {sourceFormat,
                               destFormat,
                               state.colorKey != 0 ? kBlitModeColorKey : kBlitModePlain,
                               state.alpha != 0 ? 1u : 0u,
                               BlendCode(state.blend, state.blendMode),
                               kind,
                               nullptr};
    // Runs of calls (tiles, a sprite's parts) ask for the same routine: the
    // last one found is tried first.
    if (SameRequest(request, m_requests[m_lastRequest])) return m_requests[m_lastRequest].routine;
    for (uint32_t i = 0; i < kRoutineCacheSize; ++i) {
        if (!SameRequest(request, m_requests[i])) continue;
        m_lastRequest = i;
        return m_requests[i].routine;
    }
    m_lastRequest = m_nextRequest;
    BlitEntry& slot = m_requests[m_nextRequest];
    m_nextRequest = (m_nextRequest + 1) % kRoutineCacheSize;
    slot = request;
    CBlitUtil::FindBlitter(&slot);
    return slot.routine;
}

void CGraphics2d_Lite::DrawImage(CRenderSurface* image, uint32_t flip, const CRect* source) {
    Target target;
    if (!LockTarget(&target)) return;
    const bool draws = TakeCall(kCallImage, target);
    if (m_callHash.IsOn()) HashImage(image, flip, source, source != nullptr ? sizeof(CRect) : 0);
    if (draws && image != nullptr) DrawImageOnTarget(target, image, flip, source);
    UnlockTarget(target);
}

void CGraphics2d_Lite::DrawImagePieces(CRenderSurface* image, uint32_t flip, const ImagePiece* pieces, int32_t count) {
    Target target;
    if (!LockTarget(&target)) return;
    const bool draws = TakeCall(kCallPieces, target);
    if (m_callHash.IsOn()) {
        const size_t bytes = pieces != nullptr && count > 0 ? sizeof(ImagePiece) * static_cast<size_t>(count) : 0;
        HashImage(image, flip, pieces, bytes);
    }
    ImageDraw draw{};
    if (draws && image != nullptr && pieces != nullptr && PrepareImage(target, image, &draw)) {
        const Translation& translation = m_matrixStack.Top();
        for (int32_t i = 0; i < count; ++i) {
            // As Translate would move the translation, in 16.16 with wrapping sums.
            target.tx = WholePixels(static_cast<int32_t>(static_cast<uint32_t>(translation.x) +
                                                         (static_cast<uint32_t>(pieces[i].x) << 16)));
            target.ty = WholePixels(static_cast<int32_t>(static_cast<uint32_t>(translation.y) +
                                                         (static_cast<uint32_t>(pieces[i].y) << 16)));
            DrawImagePiece(target, image, draw, flip, &pieces[i].source);
        }
        image->Unlock(ICRenderSurface::kLockRead);
    }
    UnlockTarget(target);
}

bool CGraphics2d_Lite::TakeText(CRenderSurface* image, const TextRun& run) {
    Target target;
    if (!LockTarget(&target)) return false;
    const bool draws = TakeCall(kCallText, target);
    HashImage(image, 0, run.text, run.bytes);
    m_callHash.Fold(run.layout);
    m_callHash.Fold(TwoWords(run.x, run.y));
    m_callHash.Fold(TwoWords(run.maxWidth, run.maxHeight));
    UnlockTarget(target);
    return draws;
}

bool CGraphics2d_Lite::PrepareImage(const Target& target, CRenderSurface* image, ImageDraw* draw) {
    draw->width = 0;
    draw->height = 0;
    if (!image->GetSize(&draw->width, &draw->height)) return false;
    // Indexed pixels mean nothing without their colours.
    if ((image->GetFormat() & kFormatPaletted) != 0 && image->GetPalette() == nullptr) {
        DebugPrintf("CGraphics2d_Lite: paletted image has no palette; not drawn\n");
        return false;
    }
    DrawState state;
    if (!CheckState(RSBFormat_A8R8G8B8, false, &state) || m_imageSuppress != 0) return false;
    draw->routine = FindRoutine(image->GetFormat(), target.format, state, kBlitKindCopy);
    draw->bytesPerPixel = CColor::BytesPerPixel(image->GetFormat());
    return image->Lock(&draw->pixels, &draw->pitch, ICRenderSurface::kLockRead, nullptr);
}

void CGraphics2d_Lite::DrawImageOnTarget(const Target& target, CRenderSurface* image, uint32_t flip,
                                         const CRect* source) {
    ImageDraw draw{};
    if (!PrepareImage(target, image, &draw)) return;
    DrawImagePiece(target, image, draw, flip, source);
    image->Unlock(ICRenderSurface::kLockRead);
}

void CGraphics2d_Lite::DrawImagePiece(const Target& target, CRenderSurface* image, const ImageDraw& draw,
                                      uint32_t flip, const CRect* source) {
    const uint32_t imageWidth = draw.width;
    const uint32_t imageHeight = draw.height;
    CRect rect;
    if (source != nullptr) {
        rect = *source;
    } else {
        rect.width = static_cast<int16_t>(imageWidth);
        rect.height = static_cast<int16_t>(imageHeight);
    }
    int32_t x = target.tx;
    int32_t y = target.ty;
    if (m_origin == kOriginBottomLeft) {
        y = static_cast<int32_t>(target.height) - (y + rect.height);
        rect.y = static_cast<int16_t>(static_cast<int32_t>(imageHeight) - (rect.y + rect.height));
    }
    const uint8_t flipX = (flip & kFlipX) != 0 ? 1 : 0;
    const uint8_t flipY = (flip & kFlipY) != 0 ? 1 : 0;
    const CRect& clip = m_effectiveClip;
    const uint32_t sides =
        BlitRectInsideClip(x, y, rect.width, rect.height, clip.x, clip.y, clip.width, clip.height)
            ? kClipVisible
            : BlitClipRect(&x, &y, clip.x, clip.y, clip.width, clip.height, &rect.x, &rect.y, &rect.width,
                           &rect.height, flipX, flipY);
    // As a lock of the rectangle alone would, a source reaching past the
    // image draws nothing.
    const bool inside = rect.x >= 0 && rect.y >= 0 && rect.width >= 0 && rect.height >= 0 &&
                        static_cast<uint32_t>(rect.x + rect.width) <= imageWidth &&
                        static_cast<uint32_t>(rect.y + rect.height) <= imageHeight;
    if ((sides & kClipVisible) == 0 || !inside) return;
    const uint8_t* sourcePixels = draw.pixels + static_cast<intptr_t>(rect.y) * draw.pitch +
                                  static_cast<intptr_t>(rect.x) * draw.bytesPerPixel;
    const BlitCopyDesc copy = {static_cast<int16_t>(draw.pitch), sourcePixels, image->GetPalette(),
                               static_cast<int16_t>(target.pitch), PixelAt(target, x, y), rect.width, rect.height,
                               flipX, flipY,
                               static_cast<uint8_t>(CColorEntry::ChannelToByte(m_colorStack.Top().fixed.a))};
    if (draw.routine != nullptr) draw.routine(&copy);
}

bool CGraphics2d_Lite::SaveTarget(CRenderSurface* copy) { return CopyWithTarget(copy, true); }

bool CGraphics2d_Lite::RestoreTarget(CRenderSurface* copy) { return CopyWithTarget(copy, false); }

bool CGraphics2d_Lite::CopyWithTarget(CRenderSurface* copy, bool intoCopy) {
    Target target;
    if (copy == nullptr || !LockTarget(&target)) return false;
    uint32_t width = 0;
    uint32_t height = 0;
    uint8_t* pixels = nullptr;
    int32_t pitch = 0;
    const uint32_t copyLock = intoCopy ? 0 : ICRenderSurface::kLockRead;
    const bool fits = copy->GetSize(&width, &height) && width == target.width && height == target.height &&
                      copy->GetFormat() == target.format && copy->Lock(&pixels, &pitch, copyLock, nullptr);
    if (fits) {
        const bool draws = intoCopy || TakeCall(kCallRestore, target);
        if (!intoCopy && m_callHash.IsOn()) HashImage(copy, 0, nullptr, 0);
        if (draws) CopyRows(target, pixels, pitch, intoCopy);
        copy->Unlock(copyLock);
    }
    UnlockTarget(target);
    return fits;
}

void CGraphics2d_Lite::CopyRows(const Target& target, uint8_t* pixels, int32_t pitch, bool intoCopy) {
    const size_t rowBytes = static_cast<size_t>(target.width) * CColor::BytesPerPixel(target.format);
    for (uint32_t y = 0; y < target.height; ++y) {
        uint8_t* own = target.pixels + static_cast<intptr_t>(y) * target.pitch;
        uint8_t* kept = pixels + static_cast<intptr_t>(y) * pitch;
        std::memcpy(intoCopy ? kept : own, intoCopy ? own : kept, rowBytes);
    }
}

// What decides the pixels of every call besides its own arguments: the
// target, the capabilities, the colour, the translation and the clip.
bool CGraphics2d_Lite::TakeCall(uint64_t call, const Target& target) {
    if (m_callHash.IsOn()) {
        m_callHash.Fold(call);
        // The first word's low byte stays 0 (see CDrawCallHash::FoldState).
        const uint64_t switches = static_cast<uint64_t>(m_colorKeyStack.Top()) << 8 |
                                  static_cast<uint64_t>(m_alphaStack.Top()) << 16 |
                                  static_cast<uint64_t>(m_blendStack.Top()) << 24 |
                                  static_cast<uint64_t>(m_imageSuppress != 0 ? 1 : 0) << 32 |
                                  static_cast<uint64_t>(m_origin) << 40;
        const Translation& translation = m_matrixStack.Top();
        const RSBFormat_ARGB_fixed& colour = m_colorStack.Top().fixed;
        uint64_t clip = 0;
        std::memcpy(&clip, &m_effectiveClip, sizeof clip);
        const uint64_t state[CDrawCallHash::kStateWords] = {
            switches,
            TwoWords(static_cast<int32_t>(m_blendModeStack.Top()), static_cast<int32_t>(target.format)),
            reinterpret_cast<uintptr_t>(target.surface),
            TwoWords(translation.x, translation.y),
            clip,
            TwoWords(colour.a, colour.r),
            TwoWords(colour.g, colour.b),
            0};
        m_callHash.FoldState(state);
    }
    if (m_callHash.IsRehearsing()) return false;
    target.surface->NoteChange();
    return true;
}

// The image is known by its address and its change serial together: an
// address alone may come back as another image.
void CGraphics2d_Lite::HashImage(const CRenderSurface* image, uint32_t flip, const void* sources, size_t bytes) {
    m_callHash.Fold(reinterpret_cast<uintptr_t>(image));
    m_callHash.Fold(image != nullptr ? image->GetChangeSerial() : 0);
    m_callHash.Fold(flip);
    m_callHash.FoldBytes(sources, bytes);
}

// The vertices as the primitives read them: whole pairs from `first`.
void CGraphics2d_Lite::HashVertices(int32_t first, int32_t count) {
    m_callHash.Fold(TwoWords(first, count));
    CInterpolantFetcher fetcher;
    if (!SetupFetcher(&fetcher) || first < 0) return;
    const int64_t end = static_cast<int64_t>(first) + (count > 0 ? count / 2 * 2 : 0);
    for (int64_t i = first; i < end; ++i) {
        int32_t vertex[CInterpolantFetcher::kMaxComponents] = {0, 0, 0, 0};
        fetcher.FetchVertex(vertex, static_cast<uint32_t>(i), nullptr);
        m_callHash.FoldBytes(vertex, sizeof vertex);
    }
}

void CGraphics2d_Lite::DrawArrays(uint32_t mode, int32_t first, int32_t count) {
    Target target;
    if (!LockTarget(&target)) return;
    DrawState state;
    if (mode == kDrawNothing) {
        CheckState(RSBFormat_A8R8G8B8, true, &state);
    } else if (mode == kDrawLines || mode == kDrawRectangles) {
        const bool draws = TakeCall(mode == kDrawLines ? kCallLines : kCallRectangles, target);
        if (m_callHash.IsOn()) HashVertices(first, count);
        if (draws) DrawPrimitives(target, mode, first, count);
    }
    UnlockTarget(target);
}

bool CGraphics2d_Lite::SetupFetcher(CInterpolantFetcher* fetcher) const {
    const VertexFormat format = VertexFormatOf(m_vertexType);
    if (format.type == 0 || m_vertexData == nullptr || m_vertexComponents < 1 ||
        m_vertexComponents > static_cast<int32_t>(CInterpolantFetcher::kMaxComponents)) {
        return false;
    }
    const int32_t stride = m_vertexStride != 0 ? m_vertexStride : (format.type & 7) * m_vertexComponents;
    fetcher->Setup(m_vertexData, static_cast<uint8_t>(m_vertexComponents), format.type, format.shift, 0,
                   static_cast<uint8_t>(stride));
    return true;
}

void CGraphics2d_Lite::DrawPrimitives(const Target& target, uint32_t mode, int32_t first, int32_t count) {
    CInterpolantFetcher fetcher;
    const bool haveVertices = SetupFetcher(&fetcher);
    DrawState state;
    if (!CheckState(RSBFormat_A8R8G8B8, true, &state)) return;
    const uint32_t kind = mode == kDrawLines ? kBlitKindLine : kBlitKindFill;
    const BlitRoutine routine = FindRoutine(RSBFormat_A8R8G8B8, target.format, state, kind);
    if (routine == nullptr || !haveVertices || first < 0) return;
    // Whole pairs only: a lone last vertex has no partner to draw to.
    const int64_t end = static_cast<int64_t>(first) + count;
    for (int64_t i = first; i + 1 < end; i += 2) {
        int32_t from[CInterpolantFetcher::kMaxComponents] = {0, 0, 0, 0};
        int32_t to[CInterpolantFetcher::kMaxComponents] = {0, 0, 0, 0};
        fetcher.FetchVertex(from, static_cast<uint32_t>(i), nullptr);
        fetcher.FetchVertex(to, static_cast<uint32_t>(i + 1), nullptr);
        if (mode == kDrawLines) {
            DrawLine(target, routine, from, to);
        } else {
            DrawRectangle(target, routine, from, to);
        }
    }
}

void CGraphics2d_Lite::DrawLine(const Target& target, BlitRoutine routine, const int32_t* from, const int32_t* to) {
    int32_t x = target.tx + WholePixels(from[0]);
    int32_t y = target.ty + WholePixels(from[1]);
    int16_t dx = static_cast<int16_t>(target.tx + WholePixels(to[0]) - x);
    int16_t dy = static_cast<int16_t>(target.ty + WholePixels(to[1]) - y);
    if (m_origin == kOriginBottomLeft) {
        y = static_cast<int32_t>(target.height) - 1 - y;
        dy = static_cast<int16_t>(-dy);
    }
    const CRect& clip = m_effectiveClip;
    if ((BlitClipTransformed(&x, &y, clip.x, clip.y, clip.width, clip.height, &dx, &dy) & kClipVisible) == 0) return;
    const BlitSolidDesc line = {static_cast<int16_t>(target.pitch), PixelAt(target, x, y), RSBFormat_A8R8G8B8,
                                &m_colorStack.Top(), dx, dy};
    routine(&line);
}

void CGraphics2d_Lite::DrawRectangle(const Target& target, BlitRoutine routine, const int32_t* from,
                                     const int32_t* to) {
    int16_t width = static_cast<int16_t>(WholePixels(to[0]) - WholePixels(from[0]));
    int16_t height = static_cast<int16_t>(WholePixels(to[1]) - WholePixels(from[1]));
    int32_t x = target.tx + WholePixels(from[0]);
    int32_t y = target.ty + WholePixels(from[1]);
    if (m_origin == kOriginBottomLeft) y = static_cast<int32_t>(target.height) - (y + height);
    int16_t sourceX = 0;
    int16_t sourceY = 0;
    const CRect& clip = m_effectiveClip;
    const uint32_t sides =
        BlitClipRect(&x, &y, clip.x, clip.y, clip.width, clip.height, &sourceX, &sourceY, &width, &height, 0, 0);
    if ((sides & kClipVisible) == 0) return;
    const BlitSolidDesc fill = {static_cast<int16_t>(target.pitch), PixelAt(target, x, y), RSBFormat_A8R8G8B8,
                                &m_colorStack.Top(), width, height};
    routine(&fill);
}
