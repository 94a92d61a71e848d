// Host lifetimes under the 3D renderer: from each input, a sequence of host
// operations on what the renderer maps into its guest memory. Surfaces are
// made plain or with sub-planes, owning their pixels or over one of two
// caller blocks (two surfaces may share one); textures get planes of
// several sizes and formats and are bound to units; planes are made anew,
// loaded from a PNG, released and flipped through their own buffers;
// surfaces are destroyed and deleted, textures deleted, the device's current
// surface switched and the target bound again, and a second context made
// and ended. An operation runs between draws or from the vertex hook in the
// middle of one; each step is followed by a small textured draw, a sample of
// every bound unit and a clear, and then every unit showing texels and every
// bound target plane must name, through the guest map, the live pixels of a
// texture or of the device's current surface. The sanitizers watch the rest.
//
// Input: read as FuzzProgram takes it, a step at a time: an operation, then
// its operands.
//
// With MCHVX_MGL_LIFETIME_STATS set, the program prints at exit how often
// each operation ran, between draws and from the vertex hook.

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "CArrayInputStream.h"
#include "CColor.h"
#include "CRenderSurfaceAttribute.h"
#include "CRenderSurfaceBuffer.h"
#include "CRenderSurfaceLoadParams.h"
#include "CRenderSurface_SW_OffScreen.h"
#include "CTextureObject_MGL.h"
#include "FuzzCheck.h"
#include "FuzzProgram.h"
#include "MGLContext.h"
#include "MGLSpans.h"
#include "MGLTestDevice.h"
#include "MGLTextureSampler.h"
#include "PlaneLoadFuzz.h"
#include "RenderPoly.h"

namespace {

constexpr int32_t kMaxSteps = 40;
constexpr int32_t kSurfaceSlots = 3;
constexpr int32_t kTextureSlots = 3;
constexpr int32_t kCallerBlocks = 2;
constexpr int32_t kMaxSide = 16;
constexpr int32_t kMaxPixelBytes = 4;
constexpr size_t kCallerBlockBytes = size_t{kMaxSide} * kMaxSide * kMaxPixelBytes;
constexpr int32_t kPoolCapacity = 256;
constexpr int32_t kOne = 0x10000;
constexpr int32_t kPositionWords = 4;  // x, y, z, w
constexpr int32_t kFarPlane = 9;
constexpr int32_t kQuadDepth = -2;
constexpr int32_t kQuadCorners = 4;
constexpr int32_t kHookedQuads = 2;
constexpr uint8_t kTexCoordS = 15;
constexpr uint8_t kTexCoordT = 16;
constexpr uint32_t kBytesPerPixelMask = 31;
constexpr uint32_t kAdlerModulus = 65521;
// Depth and the two texture coordinates, the coordinates scaled, filled as triangles.
constexpr MGLNativeSpanLayout kTexturedLayout{3, 0, 0, 6, 3};

constexpr int32_t kSides[] = {1, 2, 3, 4, 8, 12, 16};
constexpr uint32_t kTargetFormats[] = {RSBFormat_R5G6B5, RSBFormat_X8R8G8B8, RSBFormat_X14R6G6B6};
constexpr uint32_t kTextureFormats[] = {RSBFormat_R5G6B5,   RSBFormat_A1R5G5B5, RSBFormat_A4R4G4B4,
                                        RSBFormat_X8R8G8B8, RSBFormat_A8R8G8B8, RSBFormat_X14R6G6B6};
constexpr uint32_t kFilters[] = {CTextureObject_MGL::kNearest, CTextureObject_MGL::kLinear};
constexpr uint32_t kWraps[] = {CTextureObject_MGL::kRepeat, CTextureObject_MGL::kClampToEdge};

enum class Op : uint8_t {
    MakeSurface,
    MakeTexturePlanes,
    RemakePlane,
    LoadPng,
    ReleasePlane,
    FlipPlane,
    DestroySurface,
    DeleteSurface,
    DeleteTexture,
    BindTexture,
    SwitchCurrent,
    BindTarget,
    MakeSecondContext,
    EndSecondContext,
    DrawWithHook,
    Count
};
constexpr int32_t kOpCount = static_cast<int32_t>(Op::Count);
// Everything but a draw may run from the vertex hook.
constexpr int32_t kHookableOps = static_cast<int32_t>(Op::DrawWithHook);

constexpr const char* kOpNames[kOpCount] = {
    "make surface",   "make texture planes", "remake plane",        "load PNG",           "release plane",
    "flip plane",     "destroy surface",     "delete surface",      "delete texture",     "bind texture",
    "switch current", "bind target",         "make second context", "end second context", "draw with hook"};

// How often each operation did something, between draws and from the hook.
struct OpStats {
    std::array<uint64_t, kOpCount> between{};
    std::array<uint64_t, kOpCount> hooked{};

    void Note(Op op, bool fromHook) { ++(fromHook ? hooked : between)[static_cast<int32_t>(op)]; }

    ~OpStats() {
        if (std::getenv("MCHVX_MGL_LIFETIME_STATS") == nullptr) return;
        for (int32_t i = 0; i < kOpCount; ++i) {
            std::fprintf(stderr, "%-20s between draws %10llu  from the hook %10llu\n", kOpNames[i],
                         static_cast<unsigned long long>(between[i]), static_cast<unsigned long long>(hooked[i]));
        }
    }
} g_opStats;

template <typename T, size_t N>
T Pick(FuzzProgram& program, const T (&values)[N]) {
    return values[program.Below(static_cast<int32_t>(N))];
}

// The bytes a texture maps of a plane: `height` rows `pitch` apart from row
// 0, or one row when its rows do not run forward one after the other.
size_t MappedBytes(int32_t pitch, int32_t width, int32_t height, uint32_t format) {
    const int64_t rowBytes = int64_t{width} * static_cast<int32_t>(format & kBytesPerPixelMask);
    const int64_t bytes = pitch >= rowBytes && height > 0 ? int64_t{pitch} * (height - 1) + rowBytes : rowBytes;
    return bytes > 0 ? static_cast<size_t>(bytes) : 0;
}

// The pixels a plane has now, from the buffer itself rather than through
// any table a subclass answers from.
const uint8_t* LivePixels(const CRenderSurfaceBuffer* plane) {
    return plane != nullptr ? static_cast<const uint8_t*>(plane->CRenderSurfaceBuffer::GetPixels(0)) : nullptr;
}

void AppendBigEndian(std::vector<uint8_t>& out, uint32_t value) {
    for (int32_t shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void AppendChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& body) {
    AppendBigEndian(out, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    AppendBigEndian(out, 0);  // the reader does not check the CRC
}

// A zlib stream of one stored block.
std::vector<uint8_t> StoredZlib(const std::vector<uint8_t>& data) {
    std::vector<uint8_t> out = {0x78, 0x01, 0x01};
    const uint16_t length = static_cast<uint16_t>(data.size());
    for (const uint16_t half : {length, static_cast<uint16_t>(~length)}) {
        out.push_back(static_cast<uint8_t>(half));
        out.push_back(static_cast<uint8_t>(half >> 8));
    }
    out.insert(out.end(), data.begin(), data.end());
    uint32_t a = 1;
    uint32_t b = 0;
    for (const uint8_t byte : data) {
        a = (a + byte) % kAdlerModulus;
        b = (b + a) % kAdlerModulus;
    }
    AppendBigEndian(out, b << 16 | a);
    return out;
}

// What an image is painted with: four palette colours and where the
// index pattern starts.
struct PngPaint {
    std::array<uint8_t, 4 * 3> palette{};
    uint8_t seed = 0;

    void Read(FuzzProgram& program) {
        for (uint8_t& channel : palette) channel = program.Byte();
        seed = program.Byte();
    }
};

// An 8-bit palette image of the paint's colours.
std::vector<uint8_t> MakePng(const PngPaint& paint, int32_t width, int32_t height) {
    std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<uint8_t> header;
    AppendBigEndian(header, static_cast<uint32_t>(width));
    AppendBigEndian(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 3, 0, 0, 0});
    AppendChunk(file, "IHDR", header);
    AppendChunk(file, "PLTE", std::vector<uint8_t>(paint.palette.begin(), paint.palette.end()));
    std::vector<uint8_t> scanlines;
    for (int32_t y = 0; y < height; ++y) {
        scanlines.push_back(0);
        for (int32_t x = 0; x < width; ++x) scanlines.push_back(static_cast<uint8_t>((paint.seed + x * 3 + y) & 3));
    }
    AppendChunk(file, "IDAT", StoredZlib(scanlines));
    AppendChunk(file, "IEND", {});
    return file;
}

// An off-screen surface whose planes the harness lays out itself: owned or
// over caller memory, with sub-planes or without.
class HostSurface : public CRenderSurface_SW_OffScreen {
public:
    bool Make(uint32_t format, uint16_t width, uint16_t height, bool extended, bool depth, int32_t pitchMode,
              void* pixels) {
        const PlaneChange change(this);
        Destroy();
        if (extended) AddFlags(kFlagExtendedColor);
        AddFlags(kFlagColorRequested | (depth ? kFlagDepthRequested : 0));
        const uint32_t formats[kPlaneCount] = {format, depth ? RSBFormat_Z32 : 0, 0};
        const int16_t pitch = pixels != nullptr ? static_cast<int16_t>(width * (format & kBytesPerPixelMask)) : 0;
        const bool made = CreatePlanes(formats, width, height, nullptr, nullptr,
                                       pixels != nullptr ? CRenderSurfaceBuffer::kPitchExplicit : pitchMode, pitch,
                                       pixels);
        if (made) AddFlags(kFlagCreated);
        return made;
    }
};

// How a surface slot's last surface was asked for: its colour format and
// size, and the caller block it lies over (-1 for its own memory).
struct SurfaceLayout {
    uint32_t format = RSBFormat_R5G6B5;
    int32_t width = 1;
    int32_t height = 1;
    int32_t callerBlock = -1;
};

class LifetimeRun {
public:
    explicit LifetimeRun(FuzzProgram& program) : m_program(program) {
        for (std::vector<uint8_t>& block : m_callerBlocks) block.assign(kCallerBlockBytes, 0);
    }

    // The textures and surfaces go first, while the contexts still watch.
    ~LifetimeRun() {
        for (auto& texture : m_textures) texture.reset();
        m_device.SetCurrentSurface(nullptr);
        for (auto& surface : m_surfaces) surface.reset();
        m_second.reset();
    }

    void Run() {
        if (m_context.Init(kPoolCapacity) == nullptr) return;
        m_poly = std::make_unique<RenderPoly>(m_context);
        m_context.Reset();
        m_context.SetViewport(0, 0, kMaxSide, kMaxSide, 0, kOne);
        m_context.SetFrustum(-kOne, kOne, -kOne, kOne, kOne, kFarPlane * kOne);
        m_context.UpdateProjection(1);
        m_context.Record().depthTest = 0;
        m_poly->BindNativeSpan(SpanTexturedPerspective, kTexturedLayout);
        m_poly->PositionFetcher().Setup(m_positions.data(), kPositionWords, CInterpolantFetcher::kTypeInt32, 0, 0,
                                        kPositionWords * sizeof(int32_t));
        SetQuads();
        for (int32_t step = 0; step < kMaxSteps && !m_program.Done(); ++step) {
            RunOp(static_cast<Op>(m_program.Below(kOpCount)), false);
            DrawAndClear(-1);
            CheckContext(m_context);
            if (m_second != nullptr) CheckContext(*m_second);
        }
    }

private:
    void RunOp(Op op, bool fromHook) {
        const bool done = Perform(op);
        if (done) g_opStats.Note(op, fromHook);
    }

    bool Perform(Op op) {
        switch (op) {
            case Op::MakeSurface: return MakeSurface();
            case Op::MakeTexturePlanes: return MakeTexturePlanes();
            case Op::RemakePlane: return RemakePlane();
            case Op::LoadPng: return LoadPng();
            case Op::ReleasePlane: return ReleasePlane();
            case Op::FlipPlane: return FlipPlane();
            case Op::DestroySurface: return DestroySurface();
            case Op::DeleteSurface: return DeleteSurface();
            case Op::DeleteTexture: return DeleteTexture();
            case Op::BindTexture: return BindTexture();
            case Op::SwitchCurrent: return SwitchCurrent();
            case Op::BindTarget: return BindTarget();
            case Op::MakeSecondContext: return MakeSecondContext();
            case Op::EndSecondContext: return EndSecondContext();
            default: return DrawWithHook();
        }
    }

    void* CallerBlock() { return m_callerBlocks[m_program.Below(kCallerBlocks)].data(); }

    // Options: 1 a new surface object, 2 over a caller block, 4 with
    // sub-planes, 8 with a depth plane, 16 bottom-up, 32 made current, 64 a
    // twin of another slot's last surface (its colour layout and memory).
    bool MakeSurface() {
        const int32_t index = m_program.Below(kSurfaceSlots);
        const uint8_t options = m_program.Byte();
        SurfaceLayout layout{Pick(m_program, kTargetFormats), Pick(m_program, kSides), Pick(m_program, kSides), -1};
        if ((options & 2) != 0) layout.callerBlock = m_program.Below(kCallerBlocks);
        if ((options & 64) != 0) layout = m_layouts[m_program.Below(kSurfaceSlots)];
        m_layouts[index] = layout;
        auto& slot = m_surfaces[index];
        if (slot == nullptr || (options & 1) != 0) slot = std::make_unique<HostSurface>();
        void* pixels = layout.callerBlock >= 0 ? m_callerBlocks[layout.callerBlock].data() : nullptr;
        const int32_t pitchMode = (options & 16) != 0 ? CRenderSurfaceBuffer::kPitchBottomUp
                                                      : CRenderSurfaceBuffer::kPitchTopDown;
        const bool made = slot->Make(layout.format, static_cast<uint16_t>(layout.width),
                                     static_cast<uint16_t>(layout.height), (options & 4) != 0, (options & 8) != 0,
                                     pitchMode, pixels);
        if (made && (options & 32) != 0) m_device.SetCurrentSurface(slot.get());
        return made;
    }

    bool MakeTexturePlanes() {
        auto& slot = m_textures[m_program.Below(kTextureSlots)];
        if (slot == nullptr) slot = std::make_unique<CTextureObject_MGL>();
        CRenderSurface* surface = nullptr;
        slot->GetSurface(&surface);
        const CRenderSurfaceAttribute attributes[] = {
            {kSurfaceAttrWidth, static_cast<uintptr_t>(Pick(m_program, kSides))},
            {kSurfaceAttrHeight, static_cast<uintptr_t>(Pick(m_program, kSides))},
            {kSurfaceAttrColorFormat, Pick(m_program, kTextureFormats)},
            {kSurfaceAttrExtendedColor, m_program.Byte() & 1u},
            {kSurfaceAttrEnd, 0}};
        return surface != nullptr && surface->Create(attributes);
    }

    // A surface slot's or a texture's surface, null for an empty slot.
    CRenderSurface* PickSurface() {
        const int32_t index = m_program.Below(kSurfaceSlots + kTextureSlots);
        if (index < kSurfaceSlots) return m_surfaces[index].get();
        CTextureObject_MGL* texture = m_textures[index - kSurfaceSlots].get();
        CRenderSurface* surface = nullptr;
        if (texture != nullptr) texture->GetSurface(&surface);
        return surface;
    }

    // The colour or depth plane of such a surface.
    CRenderSurfaceBuffer* PickPlane() {
        CRenderSurface* surface = PickSurface();
        const uint32_t index = m_program.Below(2);
        return surface != nullptr ? surface->GetPlane(index) : nullptr;
    }

    static uint32_t FormatFor(const CRenderSurfaceBuffer& plane, uint32_t colour) {
        return plane.GetFormat() == RSBFormat_Z32 ? RSBFormat_Z32 : colour;
    }

    bool RemakePlane() {
        CRenderSurfaceBuffer* plane = PickPlane();
        const uint8_t options = m_program.Byte();
        const uint32_t format = Pick(m_program, kTextureFormats);
        const uint16_t width = static_cast<uint16_t>(Pick(m_program, kSides));
        const uint16_t height = static_cast<uint16_t>(Pick(m_program, kSides));
        void* pixels = (options & 1) != 0 ? CallerBlock() : nullptr;
        if (plane == nullptr) return false;
        const uint32_t made = FormatFor(*plane, format);
        if (pixels != nullptr) {
            const int16_t pitch = static_cast<int16_t>(width * (made & kBytesPerPixelMask));
            return plane->Create(made, width, height, false, nullptr, nullptr, CRenderSurfaceBuffer::kPitchExplicit,
                                 pitch, pixels);
        }
        const int32_t pitchMode = (options & 2) != 0 ? CRenderSurfaceBuffer::kPitchBottomUp
                                                     : CRenderSurfaceBuffer::kPitchTopDown;
        return plane->Create(made, width, height, false, nullptr, nullptr, pitchMode, 0, nullptr);
    }

    // An image of the plane's size (of any size once it is released) into
    // owned or caller memory; one of another size is refused.
    bool LoadPng() {
        CRenderSurfaceBuffer* plane = PickPlane();
        const uint8_t options = m_program.Byte();
        int32_t width = Pick(m_program, kSides);
        int32_t height = Pick(m_program, kSides);
        PngPaint paint;
        paint.Read(m_program);
        CRenderSurfaceLoadParams params;
        params.Init();
        params.formatMap[0] = {RSBFormat_P256X8R8G8B8, Pick(m_program, kTextureFormats)};
        // Caller memory is handed over from its start, so its rows run top-down.
        void* pixels = (options & 2) != 0 ? CallerBlock() : nullptr;
        const int32_t pitchMode = (options & 4) != 0 && pixels == nullptr ? CRenderSurfaceBuffer::kPitchBottomUp
                                                                          : CRenderSurfaceBuffer::kPitchTopDown;
        if (plane == nullptr) return false;
        if ((options & 1) == 0 && plane->GetWidth() != 0) {
            width = plane->GetWidth();
            height = plane->GetHeight();
        }
        const std::vector<uint8_t> file = MakePng(paint, width, height);
        CArrayInputStream stream;
        stream.Open(file.data(), static_cast<uint32_t>(file.size()));
        params.stream = &stream;
        uint32_t scratch[CRenderSurfaceBuffer::kPaletteEntries];
        return plane->LoadPNG(scratch, nullptr, &params, pitchMode, 0, pixels);
    }

    bool ReleasePlane() {
        CRenderSurfaceBuffer* plane = PickPlane();
        if (plane == nullptr) return false;
        plane->Release();
        return true;
    }

    bool FlipPlane() {
        CRenderSurfaceBuffer* plane = PickPlane();
        const bool toBottom = (m_program.Byte() & 1) != 0;
        if (plane == nullptr) return false;
        if (toBottom) {
            plane->FlipToBottom();
        } else {
            plane->FlipToTop();
        }
        return true;
    }

    bool DestroySurface() {
        CRenderSurface* surface = PickSurface();
        if (surface == nullptr) return false;
        surface->Destroy();
        return true;
    }

    bool DeleteSurface() {
        auto& slot = m_surfaces[m_program.Below(kSurfaceSlots)];
        if (slot == nullptr) return false;
        slot.reset();
        return true;
    }

    bool DeleteTexture() {
        auto& slot = m_textures[m_program.Below(kTextureSlots)];
        if (slot == nullptr) return false;
        slot.reset();
        return true;
    }

    bool BindTexture() {
        CTextureObject_MGL* texture = m_textures[m_program.Below(kTextureSlots)].get();
        const int32_t unit = m_program.Below(MGLContext::kTextureUnits);
        const uint32_t filter = Pick(m_program, kFilters);
        const uint32_t wrap = Pick(m_program, kWraps);
        if (texture == nullptr) return false;
        texture->SetParameter(CTextureObject_MGL::kMinFilter, filter);
        texture->SetParameter(CTextureObject_MGL::kMagFilter, filter);
        texture->SetParameter(CTextureObject_MGL::kWrapS, wrap);
        texture->BindToUnit(unit);
        return true;
    }

    // One of the surface slots, or none.
    bool SwitchCurrent() {
        const int32_t index = m_program.Below(kSurfaceSlots + 1);
        m_device.SetCurrentSurface(index < kSurfaceSlots ? m_surfaces[index].get() : nullptr);
        return true;
    }

    bool BindTarget() {
        MGLContext& context = (m_program.Byte() & 1) != 0 && m_second != nullptr ? *m_second : m_context;
        context.Reset();
        return true;
    }

    // The device's renderer context is the second while it lives: texture
    // binds go to it.
    bool MakeSecondContext() {
        if (m_second != nullptr) return false;
        m_second = std::make_unique<MGLContext>();
        if (m_second->Init(kPoolCapacity) == nullptr) return false;
        m_second->Reset();
        return true;
    }

    bool EndSecondContext() {
        if (m_second == nullptr) return false;
        m_second.reset();
        m_device.SetRendererContext(&m_context);
        return true;
    }

    // Two quads, one more operation run from the vertex hook at one of
    // their vertices.
    bool DrawWithHook() {
        const auto op = static_cast<Op>(m_program.Below(kHookableOps));
        const int32_t at = m_program.Below(kHookedQuads * kQuadCorners);
        DrawAndClear(at, op);
        return true;
    }

    void SetQuads() {
        const int32_t corners[kQuadCorners][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
        for (int32_t i = 0; i < kHookedQuads * kQuadCorners; ++i) {
            const int32_t* corner = corners[i % kQuadCorners];
            int32_t* position = &m_positions[static_cast<size_t>(kPositionWords * i)];
            position[0] = corner[0] * kOne;
            position[1] = corner[1] * kOne;
            position[2] = kQuadDepth * kOne;
            position[3] = kOne;
        }
    }

    // Quads over the whole viewport, textured from unit 0 with coordinates
    // over the whole texture it shows at each vertex; the operation runs at
    // vertex `at` (none when negative). Then every bound unit is sampled and
    // the target cleared.
    void DrawAndClear(int32_t at, Op op = Op::Count) {
        m_poly->SetVertexHook([this, at, op](int32_t* vertex, int32_t n) {
            if (n == at) RunOp(op, true);
            const TextureUnit& unit = m_context.Record().texture_units[0];
            const int32_t corner = n % kQuadCorners;
            vertex[kTexCoordS] = (corner == 1 || corner == 2) ? unit.b.width * kOne : 0;
            vertex[kTexCoordT] = corner >= 2 ? unit.b.height * kOne : 0;
        });
        const int32_t quads = at < 0 ? 1 : kHookedQuads;
        m_poly->DrawPolygons(kQuadCorners, kQuadCorners * quads, quads);
        m_poly->SetVertexHook(nullptr);
        SampleUnits(m_context);
        m_context.ClearColorPlane(kMaxSide, kMaxSide);
        m_context.ClearDepthPlane(kMaxSide, kMaxSide);
        if (m_second != nullptr) {
            SampleUnits(*m_second);
            m_second->ClearColorPlane(kMaxSide, kMaxSide);
        }
    }

    static void SampleUnits(MGLContext& context) {
        for (int32_t unit = 0; unit < MGLContext::kTextureUnits; ++unit) {
            if (context.Record().texture_units[unit].b.levels[0] == 0) continue;
            RSBFormat_ARGB_fixed colour;
            SampleTexture(context, unit, kOne / 2, kOne / 2, 0, &colour);
        }
    }

    // Every unit showing texels shows a live texture's plane as it is now,
    // and every bound target plane is the current surface's.
    void CheckContext(MGLContext& context) const {
        for (const TextureUnit& unit : context.Record().texture_units) {
            if (unit.b.levels[0] != 0) Check(ShowsLiveTexels(context, unit));
        }
        const CRenderSurface* current = m_device.GetCurrentSurface();
        const MGLRecord& record = context.Record();
        CheckTargetPlane(context, MGLContext::Plane::Colour, current, CRenderSurface::kPlaneColor, record.destbase);
        CheckTargetPlane(context, MGLContext::Plane::Depth, current, CRenderSurface::kPlaneDepth, record.zbase);
    }

    bool ShowsLiveTexels(MGLContext& context, const TextureUnit& unit) const {
        for (const auto& texture : m_textures) {
            if (texture == nullptr) continue;
            CRenderSurface* surface = nullptr;
            texture->GetSurface(&surface);
            const CRenderSurfaceBuffer* plane = surface != nullptr ? surface->GetPlane(0) : nullptr;
            const uint8_t* live = LivePixels(plane);
            if (live == nullptr || unit.b.width != plane->GetWidth() || unit.b.height != plane->GetHeight() ||
                unit.b.format != plane->GetFormat()) {
                continue;
            }
            const size_t bytes = MappedBytes(plane->GetPitch(), plane->GetWidth(), plane->GetHeight(),
                                             plane->GetFormat());
            if (context.GuestMemory().ToHost(unit.b.levels[0], bytes) == live) return true;
        }
        return false;
    }

    static void CheckTargetPlane(MGLContext& context, MGLContext::Plane which, const CRenderSurface* current,
                                 uint32_t index, uint32_t guestRow0) {
        const uint8_t* bound = context.PlanePixels(which);
        if (bound == nullptr) return;
        const CRenderSurfaceBuffer* plane = current != nullptr ? current->GetPlane(index) : nullptr;
        Check(plane != nullptr && LivePixels(plane) == bound);
        const size_t rowBytes = size_t{plane->GetWidth()} * (plane->GetFormat() & kBytesPerPixelMask);
        Check(context.GuestMemory().ToHost(guestRow0, rowBytes) == bound);
    }

    FuzzProgram& m_program;
    MGLTestDevice m_device;
    MGLContext m_context;
    std::unique_ptr<RenderPoly> m_poly;
    std::unique_ptr<MGLContext> m_second;
    std::array<std::vector<uint8_t>, kCallerBlocks> m_callerBlocks;
    std::array<std::unique_ptr<HostSurface>, kSurfaceSlots> m_surfaces;
    std::array<SurfaceLayout, kSurfaceSlots> m_layouts{};
    std::array<std::unique_ptr<CTextureObject_MGL>, kTextureSlots> m_textures;
    std::array<int32_t, kPositionWords * kHookedQuads * kQuadCorners> m_positions{};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzBlitRegistry::Publish();
    FuzzProgram program(data, size);
    LifetimeRun(program).Run();
    return 0;
}
