// Host lifetimes under the 3D renderer: from each input, a sequence of host
// operations on what the renderer maps into its guest memory, each run
// between draws or from inside one, and after each a check that the
// renderer names only live pixels.
//
// The operations, the whole host surface that makes, changes, binds or ends
// anything the renderer may map:
// - surfaces: made plain or with sub-planes, with depth and stencil planes,
//   owning their pixels or over one of two caller blocks at any pitch
//   (padded, overlapping, bottom-up), as twins of another slot's surface
//   (its layout and memory), or forwarding to another surface or a
//   texture's; queried (size, format, description, lock and unlock, clear,
//   opacity), destroyed, deleted and made the device's current surface;
//   their planes released, made again without Destroy and given depth and
//   stencil planes; made and released as current;
// - planes of surfaces and textures: made anew owning or adopting caller
//   memory at any pitch, loaded from a PNG, released and flipped;
// - textures: given planes (plain, with sub-planes or forwarding), bound to
//   units with their filters and wraps, deleted, their own surface deleted;
// - contexts: Init with a pool of any size, none (Init(0)) included (refused
//   while a draw of the context is open), and
//   Reset or a bind of the target alone, pipeline states bound, viewport,
//   projection, registers and matrix stacks set, of the first context or of
//   a second one, which is made and ended; the first context deleted, from
//   inside its own draw too, after which its RenderPolys are drawn, fetched
//   through and set up once more before a new context and RenderPoly take
//   over;
// - RenderPolys: the drawing one deleted, from inside its own draw too; a
//   draw of it, or of another RenderPoly of either context, run from inside
//   a draw with an operation of its own at one of its hooks; the drawing
//   one's fetches, transform, fetcher set-ups and setters;
// - the buffer table: slots allocated (CreateBuffers too), freed, resized,
//   reformatted and given a new block, mirrored into units (slots of the
//   other context's table too, refused) or units emptied (UnbindShader),
//   the context's Clear over them, their pixel operations (mip chain, wide
//   rows, flatten, compact, fill, copy, line, pixel) and the debug text
//   drawn into them from its font sheets;
// - the pipeline's host routines: the vertex hook, the polygon observer and
//   the native span replaced (refused during a draw);
// - the portable spans handed rows by the host, as a fill of its own would
//   hand them, whose step between rows runs an operation at one of them
//   (which may re-make the target, delete unit 0's texture or the context);
// - a sample of any unit of either context (one past either end of the
//   eight too) at any coordinates and level of detail, as a native span
//   of the host's samples, and any span-code word printed by a tool into
//   buffers of any capacity;
// - draws: polygons, indexed polygons, triangle and quad strips, a 2D
//   polygon, 2D rectangles, a screen rectangle, and 3D and 2D lines, whose
//   routine must be told each segment in the terms of the colour plane
//   bound as it is called;
// - watchers of the host's own (two), each set on a surface slot's or a
//   texture's surface or taken off, which when told of a change of the
//   planes or of the end draw with both portable spans into each context's
//   planes and read them through what the contexts hand out (told before
//   the contexts, as a watcher set before a Reset is), and then react once
//   as their input chose: not at all,
//   taking themselves off, deleting the surface they watch, or running any
//   operation here (one that would delete or remake a surface on its way
//   out is given none: that surface is the renderer's to let go of);
// - the graphics device: a second one made (the old one deleted) with a
//   surface slot's surface current, installed, the registered one put
//   back, and deleted, installed or not, at any moment, draws included;
//   the renderer must answer the second one while it is installed and
//   lives, else the registered one. Surfaces are made current, contexts
//   made and textures bound on whichever device the renderer answers, so
//   a context may be made, and its target surface deleted, while the
//   second device is installed.
// An operation runs between draws, during one from the vertex hook, the
// polygon observer (the line routine for lines) or a native span row, from
// a host watcher while a surface tells it, or from the step between the
// rows the host hands a portable span. A run starts with a target,
// current and bound, in slot 0, on the registered device.
// A hook that deletes the RenderPoly holding it touches none of its
// captures afterwards: they went with it.
// MGLContext's Release is private (Init and the destructor run it).
//
// A step closes, as its first byte says, with a small textured draw, a
// sample of every bound unit and a clear, which bring every texture the
// context lists to its surface; a step that does not leaves whatever it
// made stale for the next one to meet. After a closing one every unit a
// texture was bound to must, while it names anything, name the live pixels
// of a texture's plane, and where the sampler can read its whole level, the
// plane's rows as they lie (padding read as texels is a failure); and every
// bound target plane must be the current surface's of the device the
// renderer answers then. A unit mirroring a buffer-table slot holds a copy
// of the slot as it was bound, and must, while it names anything, name that
// slot's live block in its context's table: the table empties it when it
// frees, moves or ends the block. The sanitizers watch the rest.
//
// Input: read as FuzzProgram takes it, a step at a time: whether it closes,
// an operation, where it runs (and for one run during a draw, which draw and
// at which vertex, polygon or row), then its operands. A watcher's
// reactions are read as it is set; the operands of an operation it runs, as
// it runs it.
//
// With MCHVX_MGL_LIFETIME_STATS set, the program prints at exit how often
// each operation ran, between draws, from each hook and from a watcher told.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "CArrayInputStream.h"
#include "CColor.h"
#include "CGraphics.h"
#include "CRenderSurfaceAttribute.h"
#include "CRenderSurfaceBuffer.h"
#include "CRenderSurfaceLoadParams.h"
#include "CRenderSurfaceWatcher.h"
#include "CRenderSurface_SW_OffScreen.h"
#include "CTextureObject_MGL.h"
#include "FuzzCheck.h"
#include "FuzzProgram.h"
#include "MGLBufferOps.h"
#include "MGLBufferSlots.h"
#include "MGLBufferTable.h"
#include "MGLContext.h"
#include "MGLContextCore.h"
#include "MGLDebugFont.h"
#include "MGLDebugText.h"
#include "MGLDisassembler.h"
#include "MGLHost.h"
#include "MGLShaderState.h"
#include "MGLSpans.h"
#include "MGLTestDevice.h"
#include "PlaneLoadFuzz.h"
#include "RenderPoly.h"

namespace {

constexpr int32_t kMaxSteps = 40;
constexpr int32_t kSurfaceSlots = 3;
constexpr int32_t kTextureSlots = 3;
constexpr int32_t kCallerBlocks = 2;
constexpr int32_t kMaxSide = 16;
// Room for the widest rows at the largest padding, bottom-up or not.
constexpr size_t kCallerBlockBytes = 4096;
constexpr int32_t kPoolCapacity = 256;
constexpr int32_t kOne = 0x10000;
constexpr int32_t kPositionWords = 4;  // x, y, z, w
constexpr int32_t kFarPlane = 9;
constexpr int32_t kQuadDepth = -2;
constexpr int32_t kQuadCorners = 4;
constexpr int32_t kQuads = 2;
constexpr int32_t kElements = kQuads * kQuadCorners;
constexpr int32_t kLinePairs = kElements / 2;
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
// Bytes a caller's rows lie apart beyond their pixels: packed, padded, or
// one byte short (each row overlapping the next).
constexpr int32_t kRowPaddings[] = {0, 0, 1, 2, 4, 8, 16, 64, -1};
constexpr int32_t kPaddingChoices = static_cast<int32_t>(sizeof kRowPaddings / sizeof kRowPaddings[0]);
// Vertex pools an Init asks for: none (refused: the context goes inert),
// too small for a draw, and enough.
constexpr int32_t kPoolCapacities[] = {0, 1, 4, kPoolCapacity};

enum class Op : uint8_t {
    MakeSurface,
    MakeForwarding,
    MakeTexturePlanes,
    RemakePlane,
    LoadPng,
    ReleasePlane,
    FlipPlane,
    QuerySurface,
    DestroySurface,
    DeleteSurface,
    DeleteTexture,
    BindTexture,
    SwitchCurrent,
    ResetContext,
    InitContext,
    MakeSecondContext,
    EndSecondContext,
    MakeBuffer,
    FreeBuffer,
    RemakeBuffer,
    BindBuffer,
    ClearBuffers,
    ReplaceHook,
    DeletePoly,
    DeleteContext,
    NestedDraw,
    DeleteOwnSurface,
    BufferOp,
    DebugText,
    BindState,
    SetTransforms,
    RemakePlanes,
    Watch,
    SwitchDevice,
    PolyCalls,
    HostRows,
    SampleUnit,
    PrintSpanCode,
    Count
};
constexpr int32_t kOpCount = static_cast<int32_t>(Op::Count);

constexpr const char* kOpNames[kOpCount] = {
    "make surface",   "make forwarding",     "make texture planes", "remake plane",  "load PNG",
    "release plane",  "flip plane",          "query surface",       "destroy surface", "delete surface",
    "delete texture", "bind texture",        "switch current",      "reset context", "init context",
    "make second context", "end second context", "make buffer",     "free buffer",   "remake buffer",
    "bind buffer",    "clear buffers",       "replace hook",        "delete poly",   "delete context",
    "nested draw",    "delete own surface",  "buffer operation",    "debug text",    "bind state",
    "set transforms", "remake planes",       "watch",               "switch device", "poly calls",
    "host rows",      "sample unit",         "print span code"};

// A step whose first byte has this bit set closes without a draw.
constexpr uint8_t kOpenStepBit = 1;
// Buffer coordinates run a few pixels past either side of the largest slot.
constexpr int32_t kCoordinateMargin = 4;
constexpr int32_t kCoordinateRange = kMaxSide + 2 * kCoordinateMargin;
constexpr int32_t kDebugTextLength = 6;
// Debug-text sizes: the small font, the large one, and one neither names.
constexpr int32_t kDebugTextSizes[] = {0, 1, 7};
// Span code of one instruction, a return (branch-and-exchange to the link
// register): what it reaches is the interpreter's own fuzzer's business.
constexpr uint32_t kSpanReturn = 0xE12FFF1Eu;
// Room for the longest text the disassembler prints, and more.
constexpr int32_t kTextCapacity = 64;
// A sampled channel's largest value, 255 times 257.
constexpr int32_t kFullChannel = 0xFFFF;
// Fill modes a state may ask for, one past either end of the range included.
constexpr int32_t kFillModeChoices = MGLContext::kFillTriangleLast + 2;
constexpr int32_t kInterpolantChoices = 24;
constexpr int32_t kExtraInterpolantChoices = 8;
constexpr uint32_t kDepthFormats[] = {0, RSBFormat_Z32, MGLContext::kSurfaceStencilFormat};

// Where an operation runs: between draws, during one from a hook, from a
// host watcher while a surface tells it of a change or its end, or from the
// step between rows the host hands a portable span.
enum class Place : uint8_t { BetweenDraws, VertexHook, PolygonHook, SpanRow, Told, RowStep, Count };
constexpr int32_t kPlaceCount = static_cast<int32_t>(Place::Count);
constexpr int32_t kHookPlaces = static_cast<int32_t>(Place::Told) - 1;
// One value of a step's place byte in this many runs its operation between draws.
constexpr int32_t kPlaceChoices = 3;
constexpr const char* kPlaceNames[kPlaceCount] = {"between draws", "vertex hook", "polygon hook", "span row",
                                                  "told",          "row step"};

// Host watchers, each on one surface at a time.
constexpr int32_t kWatchers = 2;
// What a host watcher does when told: nothing, take itself off, delete the
// surface it watches, or run an operation.
enum class Response : uint8_t { Nothing, RemoveSelf, DeleteWatched, RunOp, Count };
constexpr int32_t kResponses = static_cast<int32_t>(Response::Count);

// A response and the operation it runs, if it runs one. It is given once:
// an operation that changes the planes again tells the watcher again.
struct Reaction {
    Response response = Response::Nothing;
    Op op = Op::Count;
};

// Choices of the device operation: a second device made anew, installed,
// the registered one put back, the second one deleted.
constexpr int32_t kDeviceChoices = 4;

enum class DrawKind : uint8_t {
    Polygons,
    Indexed,
    TriangleStrip,
    QuadStrip,
    Polygon2D,
    Rects2D,
    ScreenRect,
    Lines,
    Lines2D,
    Count
};
constexpr int32_t kDrawKinds = static_cast<int32_t>(DrawKind::Count);
// The kinds before Polygon2D.
constexpr int32_t kVertexHookedKinds = static_cast<int32_t>(DrawKind::Polygon2D);

// How often each operation did something, at each place.
struct OpStats {
    std::array<std::array<uint64_t, kPlaceCount>, kOpCount> counts{};

    void Note(Op op, Place place) { ++counts[static_cast<int32_t>(op)][static_cast<int32_t>(place)]; }

    ~OpStats() {
        if (std::getenv("MCHVX_MGL_LIFETIME_STATS") == nullptr) return;
        std::fprintf(stderr, "%-20s", "");
        for (const char* place : kPlaceNames) std::fprintf(stderr, " %14s", place);
        std::fprintf(stderr, "\n");
        for (int32_t i = 0; i < kOpCount; ++i) {
            std::fprintf(stderr, "%-20s", kOpNames[i]);
            for (const uint64_t count : counts[i]) {
                std::fprintf(stderr, " %14llu", static_cast<unsigned long long>(count));
            }
            std::fprintf(stderr, "\n");
        }
    }
} g_opStats;

// What the queries answer, kept so that no call is left out as unused.
volatile uint64_t g_answers = 0;
void Keep(uint64_t answer) { g_answers = g_answers + answer; }

template <typename T, size_t N>
T Pick(FuzzProgram& program, const T (&values)[N]) {
    return values[program.Below(static_cast<int32_t>(N))];
}

int32_t RowBytes(uint32_t format, int32_t width) { return width * static_cast<int32_t>(format & kBytesPerPixelMask); }

// The pixels a plane has now, from the buffer itself rather than through
// any table a subclass answers from.
const uint8_t* LivePixels(const CRenderSurfaceBuffer* plane) {
    return plane != nullptr ? static_cast<const uint8_t*>(plane->CRenderSurfaceBuffer::GetPixels(0)) : nullptr;
}

// Rows laid over a caller block: row 0 and the signed pitch.
struct CallerRows {
    void* row0 = nullptr;
    int16_t pitch = 0;
};

// `height` rows of `rowBytes`, padded as the choice says and bottom-up
// (row 0 last in memory) for its upper half, all inside the block.
CallerRows PlaceRows(std::vector<uint8_t>& block, int32_t rowBytes, int32_t height, uint8_t choice) {
    const int32_t magnitude = rowBytes + kRowPaddings[choice % kPaddingChoices];
    const bool bottomUp = choice / kPaddingChoices % 2 != 0;
    const size_t offset = bottomUp ? static_cast<size_t>(magnitude) * static_cast<size_t>(height - 1) : 0;
    return CallerRows{block.data() + offset, static_cast<int16_t>(bottomUp ? -magnitude : magnitude)};
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
// over caller rows, with sub-planes or without, with depth and stencil
// planes of the given formats (0 for none).
class HostSurface : public CRenderSurface_SW_OffScreen {
public:
    bool Make(const uint32_t (&formats)[CRenderSurface::kPlaneCount], uint16_t width, uint16_t height, bool extended,
              int32_t pitchMode, const CallerRows& rows) {
        const PlaneChange change(this);
        Destroy();
        if (extended) AddFlags(kFlagExtendedColor);
        AddFlags(kFlagColorRequested | (formats[kPlaneDepth] != 0 ? kFlagDepthRequested : 0) |
                 (formats[kPlaneStencil] != 0 ? kFlagStencilRequested : 0));
        const bool made = CreatePlanes(formats, width, height, nullptr, nullptr,
                                       rows.row0 != nullptr ? CRenderSurfaceBuffer::kPitchExplicit : pitchMode,
                                       rows.pitch, rows.row0);
        if (made) AddFlags(kFlagCreated);
        return made;
    }
};

// A graphics device of the host's besides the registered one, which the
// renderer uses only while it is installed.
class SecondDevice final : public CGraphics {
public:
    bool Open() override { return true; }
    void Close() override {}
    void Present() override {}
};

// How a surface slot's last surface was asked for: its colour format and
// size, and the caller block it lies over (-1 for its own memory) with the
// rows' padding choice.
struct SurfaceLayout {
    uint32_t format = RSBFormat_R5G6B5;
    int32_t width = 1;
    int32_t height = 1;
    int32_t callerBlock = -1;
    uint8_t rowChoice = 0;
};

// Where one operation runs during a draw: its place, and the vertex,
// polygon or row (counted from 0 in the draw) it runs at.
struct HookedOp {
    Place place = Place::BetweenDraws;
    Op op = Op::Count;
    int32_t at = -1;
};

// A draw with an operation at one of its hooks.
struct HookedDraw {
    DrawKind kind = DrawKind::Polygons;
    HookedOp hooked;
};

// Draws run from inside draws, one in another, at most.
constexpr int32_t kMaxNestedDraws = 4;
// Rows the host hands a portable span in one call, at most; and such calls
// run from the steps of others, one in another, at most.
constexpr int32_t kMaxHostRows = 4;
constexpr int32_t kMaxHostRowCalls = 2;
// Room for a vertex of the widest layout, its extra interpolants included.
constexpr int32_t kVertexWords = 64;

class LifetimeRun {
public:
    explicit LifetimeRun(FuzzProgram& program) : m_program(program) {
        for (std::vector<uint8_t>& block : m_callerBlocks) block.assign(kCallerBlockBytes, 0);
    }

    // The host's watchers are taken off first, so that the end of the run
    // runs none of their operations; the textures and surfaces go next,
    // while the contexts still watch.
    ~LifetimeRun() {
        for (HostWatcher& watcher : m_watchers) watcher.StopWatching();
        for (auto& texture : m_textures) texture.reset();
        m_device.SetCurrentSurface(nullptr);
        for (auto& surface : m_surfaces) surface.reset();
        m_second.reset();
    }

    void Run() {
        MakeStartTarget();
        SetQuads();
        if (!StartContext()) return;
        for (int32_t step = 0; step < kMaxSteps && !m_program.Done() && m_poly != nullptr; ++step) {
            if (!RunStep()) continue;
            CheckContext(*m_context);
            if (m_second != nullptr) CheckContext(*m_second);
        }
    }

private:
    // A watcher of the host's own on one surface: told of a change or of the
    // end, it reacts as its input chose when it began watching. A surface
    // ends its watchers' list with itself, so a watcher told of the end
    // watches nothing from then on.
    class HostWatcher final : public CRenderSurfaceWatcher {
    public:
        void Watch(LifetimeRun& run, CRenderSurface* surface, const Reaction& onChange, const Reaction& onEnd) {
            StopWatching();
            m_run = &run;
            m_watched = surface;
            m_onChange = onChange;
            m_onEnd = onEnd;
            if (surface != nullptr) surface->AddWatcher(this);
        }

        void StopWatching() {
            if (m_watched != nullptr) m_watched->RemoveWatcher(this);
            m_watched = nullptr;
        }

        void PlanesChanged(CRenderSurface& surface) override { m_run->Told(*this, surface, m_onChange); }

        void SurfaceEnding(CRenderSurface& surface) override {
            m_watched = nullptr;
            m_run->ToldOfEnd(*this, surface, m_onEnd);
        }

    private:
        LifetimeRun* m_run = nullptr;
        CRenderSurface* m_watched = nullptr;
        Reaction m_onChange;
        Reaction m_onEnd;
    };

    // A watcher's reaction to a tell, given once, after its spans. What it
    // runs may delete the surface that tells, or the watcher's own surface
    // by another way; nothing here reaches the surface after the reaction.
    void Told(HostWatcher& watcher, CRenderSurface& surface, Reaction& reaction) {
        DrawFromTell();
        const Reaction now = std::exchange(reaction, Reaction{});
        switch (now.response) {
            case Response::Nothing: return;
            case Response::RemoveSelf: watcher.StopWatching(); break;
            case Response::DeleteWatched:
                if (!DeleteHeld(&surface)) return;
                break;
            default: RunOp(now.op, Place::Told); return;
        }
        g_opStats.Note(Op::Watch, Place::Told);
    }

    // The surface is on its way out while the watcher is told: no
    // operation may reach it to delete it a second time or make it anew.
    void ToldOfEnd(HostWatcher& watcher, CRenderSurface& surface, Reaction& reaction) {
        m_going.push_back(&surface);
        Told(watcher, surface, reaction);
        m_going.pop_back();
    }

    // Whatever a watcher is told, it may be told before the contexts that
    // have the surface's planes bound: it reads the planes through what
    // they hand out, as a native span would, draws row 0 of them with both
    // spans and reads them again, all of which must reach only live pixels.
    // The rows' starts are put back: the tell may come between a fill's rows.
    void DrawFromTell() {
        for (MGLContext* context : {m_context.get(), m_second.get()}) {
            if (context == nullptr) continue;
            MGLRecord& s = context->Record();
            const uint32_t rows[] = {s.destptr, s.zptr};
            ReadPlanes(*context);
            s.destptr = s.destbase;
            s.zptr = s.zbase;
            SpanFlatDepth(*context, 0, kMaxSide * kOne);
            SpanTexturedPerspective(*context, 0, kMaxSide * kOne);
            ReadPlanes(*context);
            s.destptr = rows[0];
            s.zptr = rows[1];
        }
    }

    static void ReadPlanes(MGLContext& context) {
        const MGLRecord& s = context.Record();
        for (const MGLContext::Plane plane :
             {MGLContext::Plane::Colour, MGLContext::Plane::Depth, MGLContext::Plane::Stencil}) {
            KeepFirstByte(context.PlanePixels(plane));
            KeepFirstByte(context.PlaneSpan(plane, 0, 0, 1));
        }
        KeepFirstByte(context.RowSpan(MGLContext::Plane::Colour, s.destbase, 0, 1));
        KeepFirstByte(context.RowSpan(MGLContext::Plane::Depth, s.zbase, 0, 1));
    }

    static void KeepFirstByte(const uint8_t* pixels) {
        if (pixels != nullptr) Keep(pixels[0]);
    }

    bool Going(const CRenderSurface* surface) const {
        return std::find(m_going.begin(), m_going.end(), surface) != m_going.end();
    }

    // A surface deleted by whoever holds it: its slot, or for a texture's
    // own surface, the host at hand. False when nothing here holds it (a
    // surface on its way out included).
    bool DeleteHeld(CRenderSurface* surface) {
        if (Going(surface)) return false;
        for (auto& slot : m_surfaces) {
            if (slot.get() != surface) continue;
            slot.reset();
            return true;
        }
        for (const auto& texture : m_textures) {
            if (TextureSurface(texture.get()) != surface) continue;
            DeleteTextureSurface(surface);
            return true;
        }
        return false;
    }

    // A texture's own surface deleted by the host: the texture hands it out
    // until it is told of the end, so no operation run while it is told
    // may reach it again.
    void DeleteTextureSurface(CRenderSurface* surface) {
        m_going.push_back(surface);
        delete surface;
        m_going.pop_back();
    }

    bool OwnSurfaceGoing(const CTextureObject_MGL& texture) const {
        CRenderSurface* surface = nullptr;
        texture.GetSurface(&surface);
        return Going(surface);
    }

    // A texture's own surface, null for none or one on its way out.
    CRenderSurface* TextureSurface(const CTextureObject_MGL* texture) const {
        CRenderSurface* surface = nullptr;
        if (texture != nullptr) texture->GetSurface(&surface);
        return Going(surface) ? nullptr : surface;
    }

    // The device the renderer draws with: the registered one, or the second
    // one while it is installed.
    static CGraphics& Device() {
        CGraphics* device = MGLHost::Graphics();
        Check(device != nullptr);
        return *device;
    }

    // The first context, bound to the current surface and looking down at
    // the quads, and a RenderPoly of it.
    bool StartContext() {
        m_context = std::make_unique<MGLContext>();
        m_mirrors[0] = 0;
        if (m_context->Init(kPoolCapacity) == nullptr) return false;
        m_context->Reset();
        m_context->SetViewport(0, 0, kMaxSide, kMaxSide, 0, kOne);
        m_context->SetFrustum(-kOne, kOne, -kOne, kOne, kOne, kFarPlane * kOne);
        m_context->UpdateProjection(1);
        m_context->Record().depthTest = 0;
        m_poly = MakePoly(*m_context);
        return true;
    }

    std::unique_ptr<RenderPoly> MakePoly(MGLContext& context) {
        auto poly = std::make_unique<RenderPoly>(context);
        poly->PositionFetcher().Setup(m_positions.data(), kPositionWords, CInterpolantFetcher::kTypeInt32, 0, 0,
                                      kPositionWords * sizeof(int32_t));
        return poly;
    }

    // What an operation ended, once no draw is open: RenderPolys that
    // outlived their context are driven once more, then a new context or
    // RenderPoly takes over from the one that ended.
    bool TakeOverEnded() {
        if (m_endings == m_endingsSeen) return true;
        m_endingsSeen = m_endings;
        if (m_otherPoly != nullptr && m_otherLife->Ended()) DriveOrphan(*m_otherPoly);
        if (m_context == nullptr) {
            if (m_poly != nullptr) DriveOrphan(*m_poly);
            m_poly.reset();
            return StartContext();
        }
        if (m_poly == nullptr) m_poly = MakePoly(*m_context);
        return true;
    }

    // A RenderPoly whose context ended draws nothing (its hooks would
    // fail the run) and binds no native span.
    void DriveOrphan(RenderPoly& poly) {
        Check(poly.SetVertexHook([](int32_t*, int32_t) { Check(false); }) &&
              poly.SetPolygonObserver([](const MGLVertexList&) { Check(false); }));
        Check(!poly.BindNativeSpan(SpanTexturedPerspective, kTexturedLayout));
        const RenderPoly::LineRoutine line = [](const MGLLineRecord&, int32_t, int32_t) { Check(false); };
        for (int32_t kind = 0; kind < kDrawKinds; ++kind) Draw(poly, static_cast<DrawKind>(kind), line);
        std::array<int32_t, kVertexWords> vertex{};
        poly.FetchVertex(poly.PositionFetcher(), vertex.data(), 0);
        poly.FetchAttributes(vertex.data(), 0);
        poly.TransformVertexArray(vertex.data(), 1);
        poly.SetAttribFetcherCount(1);
        poly.SetScreenSpace(true);
        poly.SetWholePolygons(true);
    }

    // Slot 0's surface made current: what a host draws into from its first
    // frame on.
    void MakeStartTarget() {
        const uint32_t formats[CRenderSurface::kPlaneCount] = {RSBFormat_R5G6B5, RSBFormat_Z32, 0};
        m_surfaces[0] = std::make_unique<HostSurface>();
        m_layouts[0] = SurfaceLayout{formats[CRenderSurface::kPlaneColor], kMaxSide, kMaxSide, -1, 0};
        Check(m_surfaces[0]->Make(formats, kMaxSide, kMaxSide, false, CRenderSurfaceBuffer::kPitchTopDown,
                                  CallerRows{}));
        m_device.SetCurrentSurface(m_surfaces[0].get());
    }

    // A step closes with a draw and a sample of every unit, which bring
    // every texture the context lists to its surface, only when its input
    // says so: what one step leaves stale must be met by the next one as
    // it is. True when the step closed so, and its context is to be checked.
    bool RunStep() {
        const bool closing = (m_program.Byte() & kOpenStepBit) == 0;
        const HookedDraw draw = ReadHookedDraw(static_cast<Op>(m_program.Below(kOpCount)));
        if (draw.hooked.place == Place::BetweenDraws) {
            RunOp(draw.hooked.op, Place::BetweenDraws);
            if (!TakeOverEnded() || !closing) return false;
        }
        return DrawAndClear(draw, closing);
    }

    // A third of the steps run their operation between draws, the others
    // from a hook, which some draws never come to.
    HookedDraw ReadHookedDraw(Op op) {
        const uint8_t where = m_program.Byte();
        if (where % kPlaceChoices == 0) return HookedDraw{DrawKind::Polygons, HookedOp{Place::BetweenDraws, op, -1}};
        // Only the 3D polygon draws call the vertex hook; the other hooks
        // come to a draw's first polygons or rows.
        const auto place = static_cast<Place>(1 + where / kPlaceChoices % kHookPlaces);
        const bool vertex = place == Place::VertexHook;
        const auto kind = static_cast<DrawKind>(m_program.Below(vertex ? kVertexHookedKinds : kDrawKinds));
        return HookedDraw{kind, HookedOp{place, op, m_program.Below(vertex ? kElements : kQuads)}};
    }

    void RunOp(Op op, Place place) {
        if (Perform(op)) g_opStats.Note(op, place);
    }

    bool Perform(Op op) {
        switch (op) {
            case Op::MakeSurface: return MakeSurface();
            case Op::MakeForwarding: return MakeForwarding();
            case Op::MakeTexturePlanes: return MakeTexturePlanes();
            case Op::RemakePlane: return RemakePlane();
            case Op::LoadPng: return LoadPng();
            case Op::ReleasePlane: return ReleasePlane();
            case Op::FlipPlane: return FlipPlane();
            case Op::QuerySurface: return QuerySurface();
            case Op::DestroySurface: return DestroySurface();
            case Op::DeleteSurface: return DeleteSurface();
            case Op::DeleteTexture: return DeleteTexture();
            case Op::BindTexture: return BindTexture();
            case Op::SwitchCurrent: return SwitchCurrent();
            case Op::ResetContext: return ResetContext();
            case Op::InitContext: return InitContext();
            case Op::MakeSecondContext: return MakeSecondContext();
            case Op::EndSecondContext: return EndSecondContext();
            case Op::MakeBuffer: return MakeBuffer();
            case Op::FreeBuffer: return FreeBuffer();
            case Op::RemakeBuffer: return RemakeBuffer();
            case Op::BindBuffer: return BindBuffer();
            case Op::ClearBuffers: return ClearBuffers();
            case Op::ReplaceHook: return ReplaceHook();
            case Op::DeletePoly: return DeletePoly();
            case Op::DeleteContext: return DeleteContext();
            case Op::NestedDraw: return NestedDraw();
            case Op::DeleteOwnSurface: return DeleteOwnSurface();
            case Op::BufferOp: return BufferOp();
            case Op::DebugText: return DebugText();
            case Op::BindState: return BindState();
            case Op::SetTransforms: return SetTransforms();
            case Op::RemakePlanes: return RemakePlanes();
            case Op::Watch: return Watch();
            case Op::SwitchDevice: return SwitchDevice();
            case Op::HostRows: return HostRows();
            case Op::SampleUnit: return SampleUnit();
            case Op::PrintSpanCode: return PrintSpanCode();
            default: return PolyCalls();
        }
    }

    std::vector<uint8_t>& CallerBlock() { return m_callerBlocks[m_program.Below(kCallerBlocks)]; }

    // Options: 1 a new surface object, 2 over a caller block, 4 with
    // sub-planes, 8 with a depth plane, 16 bottom-up, 32 made current, 64 a
    // twin of another slot's last surface (its colour layout and memory),
    // 128 with a stencil plane.
    bool MakeSurface() {
        const int32_t index = m_program.Below(kSurfaceSlots);
        const uint8_t options = m_program.Byte();
        SurfaceLayout layout{Pick(m_program, kTargetFormats), Pick(m_program, kSides), Pick(m_program, kSides), -1,
                             m_program.Byte()};
        if ((options & 2) != 0) layout.callerBlock = m_program.Below(kCallerBlocks);
        if ((options & 64) != 0) layout = m_layouts[m_program.Below(kSurfaceSlots)];
        m_layouts[index] = layout;
        auto& slot = m_surfaces[index];
        if (slot == nullptr || (options & 1) != 0) slot = std::make_unique<HostSurface>();
        CallerRows rows;
        if (layout.callerBlock >= 0) {
            rows = PlaceRows(m_callerBlocks[layout.callerBlock], RowBytes(layout.format, layout.width), layout.height,
                             layout.rowChoice);
        }
        const int32_t pitchMode = (options & 16) != 0 ? CRenderSurfaceBuffer::kPitchBottomUp
                                                      : CRenderSurfaceBuffer::kPitchTopDown;
        const uint32_t formats[CRenderSurface::kPlaneCount] = {
            layout.format, (options & 8) != 0 ? RSBFormat_Z32 : 0,
            (options & 128) != 0 ? MGLContext::kSurfaceStencilFormat : 0};
        const bool made = slot->Make(formats, static_cast<uint16_t>(layout.width),
                                     static_cast<uint16_t>(layout.height), (options & 4) != 0, pitchMode, rows);
        if (made && (options & 32) != 0) Device().SetCurrentSurface(slot.get());
        return made;
    }

    // A slot's surface made to stand for another surface or a texture's
    // (itself included, which it refuses). Options: 1 a new surface object,
    // 2 with a depth plane of its own, 4 made current.
    bool MakeForwarding() {
        const int32_t index = m_program.Below(kSurfaceSlots);
        const uint8_t options = m_program.Byte();
        auto& slot = m_surfaces[index];
        if (slot == nullptr || (options & 1) != 0) slot = std::make_unique<HostSurface>();
        CRenderSurface* target = PickSurface();
        const bool made = (options & 8) != 0 ? ForwardDirectly(*slot, target) : Forward(*slot, target, (options & 2) != 0);
        if (made && (options & 4) != 0) Device().SetCurrentSurface(slot.get());
        return made;
    }

    // Without a depth plane the list ends at its third pair.
    static bool Forward(CRenderSurface& surface, CRenderSurface* target, bool depth) {
        const CRenderSurfaceAttribute attributes[] = {
            {kSurfaceAttrForwardTarget, reinterpret_cast<uintptr_t>(static_cast<CClass*>(target))},
            {kSurfaceAttrForwardClassKey, ICRenderSurface::kClassKey},
            {depth ? kSurfaceAttrDepthFormat : kSurfaceAttrEnd, RSBFormat_Z32},
            {kSurfaceAttrEnd, 0}};
        return target != nullptr && surface.Create(attributes);
    }

    // Forwarding made without the attribute list, with a depth plane.
    static bool ForwardDirectly(CRenderSurface& surface, CRenderSurface* target) {
        const uint32_t formats[CRenderSurface::kPlaneCount] = {0, RSBFormat_Z32, 0};
        return target != nullptr &&
               surface.CreateForwarding(formats, static_cast<CClass*>(target), ICRenderSurface::kClassKey, nullptr);
    }

    // Options: 1 with sub-planes, 2 forwarding to another surface instead.
    bool MakeTexturePlanes() {
        auto& slot = m_textures[m_program.Below(kTextureSlots)];
        const uint8_t options = m_program.Byte();
        if (slot == nullptr) slot = std::make_unique<CTextureObject_MGL>();
        CRenderSurface* surface = TextureSurface(slot.get());
        if (surface == nullptr) return false;
        if ((options & 2) != 0) return Forward(*surface, PickSurface(), false);
        const CRenderSurfaceAttribute attributes[] = {
            {kSurfaceAttrWidth, static_cast<uintptr_t>(Pick(m_program, kSides))},
            {kSurfaceAttrHeight, static_cast<uintptr_t>(Pick(m_program, kSides))},
            {kSurfaceAttrColorFormat, Pick(m_program, kTextureFormats)},
            {kSurfaceAttrExtendedColor, options & 1u},
            {kSurfaceAttrEnd, 0}};
        return surface->Create(attributes);
    }

    // A surface slot's or a texture's surface, null for an empty slot.
    CRenderSurface* PickSurface() {
        const int32_t index = m_program.Below(kSurfaceSlots + kTextureSlots);
        if (index < kSurfaceSlots) return m_surfaces[index].get();
        return TextureSurface(m_textures[index - kSurfaceSlots].get());
    }

    // A surface slot's surface, null for an empty slot or one past the last.
    CRenderSurface* SlotSurface(int32_t index) const {
        return index < kSurfaceSlots ? m_surfaces[index].get() : nullptr;
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

    // Options: 1 adopts caller rows, 2 bottom-up (owned pixels).
    bool RemakePlane() {
        CRenderSurfaceBuffer* plane = PickPlane();
        const uint8_t options = m_program.Byte();
        const uint32_t format = Pick(m_program, kTextureFormats);
        const uint16_t width = static_cast<uint16_t>(Pick(m_program, kSides));
        const uint16_t height = static_cast<uint16_t>(Pick(m_program, kSides));
        std::vector<uint8_t>& block = CallerBlock();
        const uint8_t rowChoice = m_program.Byte();
        if (plane == nullptr) return false;
        const uint32_t made = FormatFor(*plane, format);
        if ((options & 1) != 0) {
            const CallerRows rows = PlaceRows(block, RowBytes(made, width), height, rowChoice);
            return plane->Create(made, width, height, false, nullptr, nullptr, CRenderSurfaceBuffer::kPitchExplicit,
                                 rows.pitch, rows.row0);
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
        void* pixels = (options & 2) != 0 ? CallerBlock().data() : nullptr;
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

    // Everything a host asks of a surface, a forwarding one passing it on:
    // what it is, its locked pixels (read and written), a clear of its
    // colour and depth planes, its opacity and change number.
    bool QuerySurface() {
        CRenderSurface* surface = PickSurface();
        const uint32_t lockFlags = m_program.Below(ICRenderSurface::kLockNotedWrites + 1);
        if (surface == nullptr) return false;
        uint32_t width = 0;
        uint32_t height = 0;
        CRenderSurfaceDesc desc{};
        Keep(surface->GetFormat() + surface->GetSize(&width, &height) + surface->GetDesc(&desc));
        uint8_t* pixels = nullptr;
        int32_t pitch = 0;
        if (surface->Lock(&pixels, &pitch, lockFlags, nullptr) && pixels != nullptr) {
            Keep(pixels[0]);
            if (lockFlags != ICRenderSurface::kLockRead) ++pixels[0];
        }
        surface->Unlock(lockFlags);
        const RSBFormat_ARGB_fixed colour{};
        surface->Clear(CRenderSurface::kClearColor | CRenderSurface::kClearDepth, &colour, 0, 0);
        Keep(surface->IsOpaque() + surface->GetChangeSerial() + surface->GetFlags() + surface->IsLocked() +
             (surface->GetPalette() != nullptr) + (surface->GetForwardTarget() != nullptr));
        surface->NoteChange();
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

    // A texture whose own surface the host is deleting is left alone: it
    // would delete that surface again.
    bool DeleteTexture() {
        auto& slot = m_textures[m_program.Below(kTextureSlots)];
        if (slot == nullptr || OwnSurfaceGoing(*slot)) return false;
        slot.reset();
        return true;
    }

    bool BindTexture() {
        CTextureObject_MGL* texture = m_textures[m_program.Below(kTextureSlots)].get();
        const int32_t unit = m_program.Below(MGLContext::kTextureUnits);
        const uint32_t filter = Pick(m_program, kFilters);
        const uint32_t wrap = Pick(m_program, kWraps);
        const bool asList = (m_program.Byte() & 1) != 0;
        if (texture == nullptr) return false;
        SetTextureModes(*texture, filter, wrap, asList);
        auto* context = static_cast<MGLContext*>(Device().GetRendererContext());
        const uint32_t shown = context != nullptr ? context->Record().texture_units[unit].b.levels[0] : 0;
        texture->BindToUnit(unit);
        if (context != nullptr && context->Record().texture_units[unit].b.levels[0] != shown) {
            MirrorsOf(*context) &= static_cast<uint8_t>(~(1u << unit));
        }
        return true;
    }

    // Filters and wrap one at a time, or as arrays and a list.
    static void SetTextureModes(CTextureObject_MGL& texture, uint32_t filter, uint32_t wrap, bool asList) {
        if (asList) {
            const uint32_t names[] = {CTextureObject_MGL::kMinFilter, CTextureObject_MGL::kMagFilter};
            const uint32_t values[] = {filter, filter};
            texture.SetParameters(2, names, values);
            const uint32_t list[] = {CTextureObject_MGL::kWrapS, wrap, 0};
            texture.SetParameterList(list);
        } else {
            texture.SetParameter(CTextureObject_MGL::kMinFilter, filter);
            texture.SetParameter(CTextureObject_MGL::kMagFilter, filter);
            texture.SetParameter(CTextureObject_MGL::kWrapS, wrap);
        }
        Keep(static_cast<uint32_t>(texture.GetFilter() + texture.GetWrap()) + texture.GetMinFilter() +
             texture.GetMagFilter());
    }

    // One of the surface slots, or none.
    bool SwitchCurrent() {
        const int32_t index = m_program.Below(kSurfaceSlots + 1);
        Device().SetCurrentSurface(SlotSurface(index));
        return true;
    }

    // The first context, or the second while it lives.
    MGLContext& PickContext() { return (m_program.Byte() & 1) != 0 && m_second != nullptr ? *m_second : *m_context; }

    // Reset, or the current surface's planes bound alone.
    bool ResetContext() {
        MGLContext& context = PickContext();
        if ((m_program.Byte() & 1) != 0) return context.BindRenderTarget();
        context.Reset();
        return true;
    }

    // Init releases the pool and the buffer table first, whatever is
    // drawing, and becomes the device's renderer context: texture binds go
    // to it.
    bool InitContext() {
        MGLContext& context = PickContext();
        const int32_t capacity = Pick(m_program, kPoolCapacities);
        return context.Init(capacity) != nullptr;
    }

    bool MakeSecondContext() {
        if (m_second != nullptr) return false;
        m_second = std::make_unique<MGLContext>();
        MirrorsOf(*m_second) = 0;
        if (m_second->Init(kPoolCapacity) == nullptr) return false;
        m_second->Reset();
        return true;
    }

    bool EndSecondContext() {
        if (m_second == nullptr) return false;
        m_second.reset();
        ++m_endings;
        Device().SetRendererContext(m_context.get());
        return true;
    }

    // The drawing RenderPoly or the other one, from inside its own draw too:
    // the draw then ends at once.
    bool DeletePoly() {
        auto& slot = (m_program.Byte() & 1) != 0 ? m_otherPoly : m_poly;
        if (slot == nullptr) return false;
        slot.reset();
        ++m_endings;
        return true;
    }

    // The first context, from inside its own draw too: its draws end at once
    // and its RenderPolys outlive it.
    bool DeleteContext() {
        m_context.reset();
        ++m_endings;
        return true;
    }

    // From inside a draw, a draw of the drawing RenderPoly or of the other
    // one with an operation of its own at one of its hooks; between draws,
    // such a draw alone. Options: 1 the other RenderPoly, 2 made anew, of
    // either context.
    bool NestedDraw() {
        const uint8_t options = m_program.Byte();
        const bool other = (options & 1) != 0;
        if (other && ((options & 2) != 0 || m_otherPoly == nullptr)) MakeOtherPoly(PickContext());
        const HookedDraw draw = ReadHookedDraw(static_cast<Op>(m_program.Below(kOpCount)));
        RenderPoly* poly = other ? m_otherPoly.get() : m_poly.get();
        if (poly == nullptr || m_nestedDraws == kMaxNestedDraws) return false;
        ++m_nestedDraws;
        if (draw.hooked.place != Place::BetweenDraws) Await(draw.hooked);
        MGLContext* drawing = other ? m_otherPoly->Context() : m_context.get();
        Draw(*poly, draw.kind, HookedLine(drawing));
        --m_nestedDraws;
        return true;
    }

    // Replacing the other RenderPoly from inside its own draw ends that draw.
    void MakeOtherPoly(MGLContext& context) {
        if (m_otherPoly != nullptr) ++m_endings;
        m_otherPoly = MakePoly(context);
        m_otherLife = context.LifeOf();
        InstallHooks(*m_otherPoly);
    }

    // A texture's own surface, handed out by GetSurface, deleted by the
    // host: the texture lets go of it.
    bool DeleteOwnSurface() {
        CRenderSurface* surface = TextureSurface(m_textures[m_program.Below(kTextureSlots)].get());
        if (surface == nullptr) return false;
        DeleteTextureSurface(surface);
        return true;
    }

    int32_t Coordinate() { return m_program.Below(kCoordinateRange) - kCoordinateMargin; }

    // One of the table's pixel operations on a slot (a free one, a font
    // sheet or one mirrored into a unit too), the mirrored block relaid
    // included. Choices: 0 mip chain, 1 wide rows, 2 flatten, 3 compact,
    // 4 fill, 5 copy from another slot, 6 line, 7 a pixel written and read.
    bool BufferOp() {
        BufferTable* table = PickContext().Buffers();
        const int32_t choice = m_program.Below(8);
        if (table == nullptr) return false;
        const int32_t slot = PickSlot(*table);
        const int32_t x0 = Coordinate();
        const int32_t y0 = Coordinate();
        const int32_t x1 = Coordinate();
        const int32_t y1 = Coordinate();
        const ArgbPixel colour{m_program.Byte(), m_program.Byte(), m_program.Byte(), m_program.Byte()};
        switch (choice) {
            case 0: BuildMipChain(*table, slot); break;
            case 1: SetBufferWideLayout(*table, slot); break;
            case 2: FlattenBuffer(*table, slot); break;
            case 3: CompactWideBuffer(*table, slot); break;
            case 4: FillBufferRect(*table, slot, x0, y0, x1, y1, colour.a, colour.r, colour.g, colour.b); break;
            case 5: CopyFromSlot(*table, slot, x0, y0, x1, y1); break;
            case 6: DrawBufferLine(*table, slot, x0, y0, x1, y1, colour.a, colour.r, colour.g, colour.b); break;
            default: {
                PutBufferPixel(*table, slot, x0, y0, colour);
                ArgbPixel read{};
                Keep(GetBufferPixel(*table, slot, x1, y1, &read) + read.a);
                Keep(static_cast<uint32_t>(Log2Exact(static_cast<uint32_t>(table->GetBufferWidth(slot)))));
            }
        }
        return true;
    }

    // A copy into `slot` from a slot the input picks, to a point it picks.
    // The reads are statements of their own: a call's arguments may be
    // evaluated in any order, and each compiler would decode the input
    // otherwise.
    void CopyFromSlot(BufferTable& table, int32_t slot, int32_t srcX, int32_t srcY, int32_t w, int32_t h) {
        const int32_t from = PickSlot(table);
        const int32_t dstX = Coordinate();
        const int32_t dstY = Coordinate();
        CopyBufferRect(table, slot, from, srcX, srcY, w, h, dstX, dstY);
    }

    // Text drawn into a slot (the font sheets installed first, or a sheet
    // pointed at another slot), its measures and the fonts' tables asked.
    bool DebugText() {
        BufferTable* table = PickContext().Buffers();
        const uint8_t options = m_program.Byte();
        const int32_t size = Pick(m_program, kDebugTextSizes);
        std::array<char, kDebugTextLength + 1> text{};
        for (int32_t i = 0; i < kDebugTextLength; ++i) text[i] = static_cast<char>(m_program.Byte());
        const int32_t x = Coordinate();
        const int32_t y = Coordinate();
        const int32_t clipLeft = Coordinate();
        const int32_t clipRight = Coordinate();
        if (table == nullptr) return false;
        if ((options & 1) != 0) InstallDebugFontSheets(*table);
        if ((options & 2) != 0) table->SetFontSheet(DebugFontSheetIndex(size), PickSlot(*table));
        const DebugFont& font = DebugFontOfSize(size);
        Keep(static_cast<uint32_t>(DebugTextHeight(size) + DebugTextWidth(size, text.data()) + font.lineHeight +
                                   table->FontSheet(DebugFontSheetIndex(size))));
        Keep(DebugFontInkColour(options >> 2) + (PixelFormatName(Pick(m_program, kTextureFormats)) != nullptr));
        DrawDebugText(*table, PickSlot(*table), size, text.data(), x, y, clipLeft, clipRight);
        return true;
    }

    // A pipeline state bound (one the record cannot hold is refused), or
    // the binding cleared. Its span code returns at once.
    bool BindState() {
        MGLContext& context = PickContext();
        const bool clear = m_program.Below(4) == 0;
        MGLShaderState state;
        const auto key = [&state](int32_t n, uint32_t value) {
            for (int32_t i = 0; i < 4; ++i) {
                state.bytes[MGLShaderState::kKeyOffset + 4 * n + i] = static_cast<uint8_t>(value >> (8 * i));
            }
        };
        for (int32_t i = 0; i < 4; ++i) state.bytes[MGLShaderState::kCodeOffset + i] = static_cast<uint8_t>(kSpanReturn >> (8 * i));
        key(MGLShaderState::kKeyInterpolants, m_program.Below(kInterpolantChoices));
        key(MGLShaderState::kKeyExtraInterpolants, m_program.Below(kExtraInterpolantChoices));
        key(MGLShaderState::kKeyHasDepthInterpolant, static_cast<uint32_t>(m_program.Below(3) - 1));
        key(MGLShaderState::kKeyDepthInterpolant, MGLShaderState::kDepthInterpolantBias + m_program.Below(4));
        key(MGLShaderState::kKeyFillMode, m_program.Below(kFillModeChoices));
        context.BindShaderState(clear ? nullptr : &state);
        return true;
    }

    // Viewport, projection, registers and the matrix stacks, of either
    // context. Choices: 0 viewport, 1 ortho, 2 frustum, 3 the stacks
    // pushed, 4 popped, 5 reset, 6 a transform pushed, 7 registers.
    bool SetTransforms() {
        MGLContext& context = PickContext();
        const int32_t choice = m_program.Below(8);
        const int32_t a = m_program.Half();
        const int32_t b = m_program.Half();
        const int32_t c = m_program.Half() * kOne / kMaxSide;
        const uint32_t clipBounds = m_program.Byte() & 1;
        Matrix3x3 rotation{};
        for (int32_t& entry : rotation.m) entry = (a ^ entry) * b;
        Matrix3x4 rigid;
        rigid.Identity();
        const int32_t translation[3] = {a, b, c};
        switch (choice) {
            case 0: context.SetViewport(a % kCoordinateRange, b % kCoordinateRange, a >> 8, b >> 8, c, a * b); break;
            case 1: context.SetOrtho(-c, c, -a, b, kOne, c); break;
            case 2: context.SetFrustum(-c, c, -a, b, a, c); break;
            case 3:
                Keep(context.PushModelview() + context.PushTexture() + context.PushAux() + context.Stack2d().Push() +
                     context.ModelviewStack().Push() + context.TextureStack().Push() + context.AuxStack().Push());
                break;
            case 4:
                Keep(context.PopModelview() + context.PopTexture() + context.PopAux() + context.Stack2d().Pop() +
                     context.ModelviewStack().Pop() + context.TextureStack().Pop() + context.AuxStack().Pop());
                break;
            case 5: context.ResetMatrixStacks(); break;
            case 6: {
                Keep(context.PushTransform(&rotation, translation) + context.PushInverseTransform(rigid));
                MatrixStack stack = context.ModelviewStack();
                stack.Translate(translation);
                stack.Rotate(rotation);
                stack.SetTop(stack.Top());
                break;
            }
            default:
                context.SetRegister(b, a);
                context.SetRegister3(c, a, b, c);
                context.SetRegister4(a % MGLContext::kRegisterCount, a, b, c, context.GetRegister(b));
        }
        context.UpdateProjection(clipBounds);
        return true;
    }

    // What a surface's planes go through short of Destroy: released,
    // made again over the old ones, depth and stencil planes added, and
    // the surface made and released as the device's current one.
    // Choices: 0 ReleasePlanes, 1 CreatePlanes, 2 CreateAuxPlanes,
    // 3 MakeCurrent, 4 ReleaseCurrent.
    bool RemakePlanes() {
        CRenderSurface* surface = PickSurface();
        const int32_t choice = m_program.Below(5);
        const uint32_t formats[CRenderSurface::kPlaneCount] = {Pick(m_program, kTargetFormats),
                                                               Pick(m_program, kDepthFormats),
                                                               Pick(m_program, kDepthFormats)};
        const uint16_t width = static_cast<uint16_t>(Pick(m_program, kSides));
        const uint16_t height = static_cast<uint16_t>(Pick(m_program, kSides));
        const uint8_t rowChoice = m_program.Byte();
        std::vector<uint8_t>& block = CallerBlock();
        if (surface == nullptr) return false;
        switch (choice) {
            case 0: surface->ReleasePlanes(); break;
            case 1: {
                const CallerRows rows = PlaceRows(block, RowBytes(formats[0], width), height, rowChoice);
                return surface->CreatePlanes(formats, width, height, nullptr, nullptr,
                                             CRenderSurfaceBuffer::kPitchExplicit, rows.pitch, rows.row0);
            }
            case 2: surface->CreateAuxPlanes(formats, width, height); break;
            case 3: surface->MakeCurrent(); break;
            default: surface->ReleaseCurrent();
        }
        return true;
    }

    // A host watcher set on a surface (none takes it off), with how it
    // reacts when told of a change and when told of the end.
    bool Watch() {
        HostWatcher& watcher = m_watchers[m_program.Below(kWatchers)];
        CRenderSurface* surface = PickSurface();
        const Reaction onChange = ReadReaction();
        const Reaction onEnd = ReadReaction();
        watcher.Watch(*this, surface, onChange, onEnd);
        return true;
    }

    Reaction ReadReaction() {
        Reaction reaction;
        reaction.response = static_cast<Response>(m_program.Below(kResponses));
        reaction.op = static_cast<Op>(m_program.Below(kOpCount));
        return reaction;
    }

    // The device the renderer draws with changed at any moment, during a
    // draw too: a second device made anew (the old one deleted, installed
    // or not) with a surface slot's surface current, installed, the
    // registered device put back, or the second one deleted while it may be
    // installed. The renderer then answers the second device while it is
    // installed and lives, else the registered one.
    bool SwitchDevice() {
        const int32_t choice = m_program.Below(kDeviceChoices);
        const int32_t index = m_program.Below(kSurfaceSlots + 1);
        if (choice != 0 && choice != 2 && m_secondDevice == nullptr) return false;
        switch (choice) {
            case 0: {
                // Made before the old one goes, so that it cannot take the
                // old one's place in memory.
                auto made = std::make_unique<SecondDevice>();
                made->SetCurrentSurface(SlotSurface(index));
                m_secondDevice = std::move(made);
                break;
            }
            case 1: MGLHost::InstallGraphics(m_secondDevice.get()); break;
            case 2: MGLHost::InstallGraphics(nullptr); break;
            default: m_secondDevice.reset();
        }
        m_secondInstalled = choice == 1;
        Check(MGLHost::Graphics() == (m_secondInstalled ? static_cast<CGraphics*>(m_secondDevice.get()) : &m_device));
        return true;
    }

    // The drawing RenderPoly's own calls, from inside its draw too: a
    // vertex fetched, its attributes and a transform, the index and
    // attribute fetchers set up over the quads, and its setters.
    bool PolyCalls() {
        const int32_t choice = m_program.Below(4);
        const int32_t count = m_program.Below(RenderPoly::kAttribFetcherCount + 2);
        const uint32_t element = static_cast<uint32_t>(m_program.Below(kElements + 1));
        if (m_poly == nullptr) return false;
        RenderPoly& poly = *m_poly;
        std::array<int32_t, kVertexWords> vertex{};
        switch (choice) {
            case 0:
                poly.FetchVertex(poly.PositionFetcher(), vertex.data(), element);
                poly.FetchAttributes(vertex.data(), element);
                poly.TransformVertexArray(vertex.data(), 1);
                break;
            case 1:
                poly.IndexFetcher().Setup(m_indices.data(), 1, CInterpolantFetcher::kTypeInt32, 0, 0, sizeof(int32_t));
                poly.AttribFetcher(count).Setup(m_positions.data(), 2, CInterpolantFetcher::kTypeInt32, 0, 0,
                                                kPositionWords * sizeof(int32_t));
                break;
            case 2: poly.SetAttribFetcherCount(count); break;
            default:
                poly.SetScreenSpace((count & 1) != 0);
                poly.SetWholePolygons((count & 2) != 0);
        }
        return true;
    }

    // Rows handed to a portable span, flat or textured, by the host as a
    // fill of its own would hand them: from row 0 of the bound planes, over
    // the viewport's width, the step between rows running an operation (its
    // operands read as it runs) as it comes to one of them.
    bool HostRows() {
        MGLContext& context = PickContext();
        const bool textured = (m_program.Byte() & 1) != 0;
        const int32_t count = 1 + m_program.Below(kMaxHostRows);
        const int32_t at = 1 + m_program.Below(count);
        const auto op = static_cast<Op>(m_program.Below(kOpCount));
        if (m_hostRowCalls == kMaxHostRowCalls) return false;
        std::array<int32_t, kMaxHostRows> left{};
        std::array<int32_t, kMaxHostRows> right{};
        right.fill(kMaxSide * kOne - 1);
        HostRowStep step(*this, context, op, at);
        const MGLSpanRows rows{left.data(), right.data(), count, &HostRowStep::Next, &step, nullptr};
        ++m_hostRowCalls;
        if (textured) {
            SpanRowsTexturedPerspective(context, rows);
        } else {
            SpanRowsFlatDepth(context, rows);
        }
        --m_hostRowCalls;
        return true;
    }

    // The step between the host's rows: the record to the next row, the
    // operation run first as the step comes to its row. The rows' addresses
    // are those of the planes bound at the start, as a host that laid its
    // rows out once has them: an operation may have let go of those planes,
    // or bound others over the same addresses. One that ends the context
    // leaves nothing to step.
    class HostRowStep {
    public:
        HostRowStep(LifetimeRun& run, MGLContext& context, Op op, int32_t at)
            : m_run(run),
              m_context(context),
              m_life(context.LifeOf()),
              m_op(op),
              m_at(at),
              m_colour{context.Record().destbase, context.Record().deststride},
              m_depth{context.Record().zbase, context.Record().zstride} {
            ToRow();
        }
        HostRowStep(const HostRowStep&) = delete;
        HostRowStep& operator=(const HostRowStep&) = delete;

        static void Next(void* step) { static_cast<HostRowStep*>(step)->Step(); }

    private:
        void Step() {
            ++m_row;
            if (m_row == m_at) m_run.RunOp(m_op, Place::RowStep);
            if (!m_life->Ended()) ToRow();
        }
        void ToRow() {
            MGLRecord& s = m_context.Record();
            s.destptr = m_colour.Row(m_row);
            s.zptr = m_depth.Row(m_row);
        }

        // A plane's row 0 and stride, as guest values.
        struct Rows {
            uint32_t base;
            int32_t stride;

            uint32_t Row(int32_t y) const { return base + static_cast<uint32_t>(y) * static_cast<uint32_t>(stride); }
        };

        LifetimeRun& m_run;
        MGLContext& m_context;
        std::shared_ptr<MGLContext::Life> m_life;
        Op m_op;
        int32_t m_at;
        Rows m_colour;
        Rows m_depth;
        int32_t m_row = 0;
    };

    // A host's sample of any unit of either context, one past either end
    // of the eight included, at coordinates and a level of detail of the
    // input's: the unit is looked up as it is now, whatever texture was
    // deleted, replaced or remade since, and a number outside the eight
    // leaves the colour as it was.
    bool SampleUnit() {
        MGLContext& context = PickContext();
        const int32_t unit = m_program.Below(MGLContext::kTextureUnits + 2) - 1;
        const int32_t u = m_program.Word();
        const int32_t v = m_program.Word();
        const int32_t lod = m_program.Word();
        RSBFormat_ARGB_fixed colour{0, 0, 0, 0};
        SampleTexture(context, unit, u, v, lod, &colour);
        const bool sampled = unit >= 0 && unit < MGLContext::kTextureUnits;
        for (const int32_t channel : {colour.a, colour.r, colour.g, colour.b}) {
            Check(channel >= 0 && channel <= kFullChannel && (sampled || channel == 0));
        }
        return true;
    }

    // A tool's print of any span-code word, each text in a buffer of a
    // capacity of the input's (none included) and exactly that long; the
    // operand text then appended to, left unterminated first when the input
    // says so, and the name tables asked at any index.
    bool PrintSpanCode() {
        const auto word = static_cast<uint32_t>(m_program.Word());
        const int32_t label = m_program.Half();
        const uint8_t options = m_program.Byte();
        std::vector<char> mnemonic(static_cast<size_t>(m_program.Below(kTextCapacity + 1)), '?');
        std::vector<char> operands(static_cast<size_t>(m_program.Below(kTextCapacity + 1)), '?');
        const int32_t index = static_cast<int8_t>(m_program.Byte());
        const bool polygonNames = (options & 1) != 0;
        DisassembleSpanCode(word, label, mnemonic.data(), mnemonic.size(), operands.data(), operands.size(),
                            polygonNames);
        Check(Terminated(mnemonic) && Terminated(operands));
        if ((options & 2) != 0 && !operands.empty()) operands.back() = '?';
        const std::vector<char> before = operands;
        DescribeStateOperand(word, operands.data(), operands.size(), polygonNames);
        // A text whose end is not within its buffer is full: it stays so.
        Check(Terminated(before) ? Terminated(operands) : operands == before);
        Check(ConditionName(index) != nullptr && OpcodeName(index) != nullptr && ShiftName(index) != nullptr &&
              BlockModeName(index) != nullptr);
        return true;
    }

    // Whether a text ends within its buffer; an empty buffer holds no text.
    static bool Terminated(const std::vector<char>& text) {
        return text.empty() || std::memchr(text.data(), '\0', text.size()) != nullptr;
    }

    // The units a buffer-table slot was mirrored into last, rather than a
    // texture: a bit per unit, per context.
    uint8_t& MirrorsOf(const MGLContext& context) { return m_mirrors[&context == m_context.get() ? 0 : 1]; }

    // A slot of the table, the debug-font sheets' and free ones included.
    int32_t PickSlot(const BufferTable& table) { return m_program.Byte() % (table.Count() + 1); }

    // What a buffer operation reads first: a context, one of three choices
    // and the slot's shape.
    struct BufferRequest {
        MGLContext* context;
        int32_t choice;
        int32_t width;
        int32_t height;
        uint32_t format;
    };

    BufferRequest ReadBufferRequest() {
        BufferRequest r{};
        r.context = &PickContext();
        r.choice = m_program.Below(3);
        r.width = Pick(m_program, kSides);
        r.height = Pick(m_program, kSides);
        r.format = Pick(m_program, kTextureFormats);
        return r;
    }

    // Choices: 0 AllocBuffer, 1 TryAllocBuffer, 2 CreateBuffers (the
    // context's colour, depth and stencil slots).
    bool MakeBuffer() {
        const BufferRequest r = ReadBufferRequest();
        BufferTable* table = r.context->Buffers();
        if (table == nullptr) return false;
        if (r.choice == 2) return r.context->CreateBuffers(r.width, r.height, r.format) >= 0;
        const int32_t slot = r.choice == 0 ? table->AllocBuffer(r.width, r.height, r.format, 0)
                                           : table->TryAllocBuffer(r.width, r.height, r.format, 0);
        return slot >= 0;
    }

    bool FreeBuffer() {
        MGLContext& context = PickContext();
        BufferTable* table = context.Buffers();
        if (table == nullptr) return false;
        table->FreeBuffer(PickSlot(*table));
        return true;
    }

    // Choices: 0 ResizeBuffer, 1 ReformatBuffer, 2 a new block adopted.
    bool RemakeBuffer() {
        const BufferRequest r = ReadBufferRequest();
        BufferTable* table = r.context->Buffers();
        if (table == nullptr) return false;
        const int32_t slot = PickSlot(*table);
        if (r.choice == 0) return table->ResizeBuffer(slot, r.width, r.height) != nullptr;
        if (r.choice == 1) return table->ReformatBuffer(slot, r.format, r.width, r.height) != nullptr;
        BufferSlots& slots = BufferSlots::Of(*table);
        const BufferRecord* record = slots.UsedSlot(slot);
        if (record == nullptr) return false;
        const PixelBlock block = BufferSlots::NewPixelBlock(record->blockBytes);
        if (block.data == nullptr) return false;
        slots.AdoptBlock(slot, block);
        return true;
    }

    // The table of the context that is not this one, null without one.
    BufferTable* OtherTable(const MGLContext& context) {
        MGLContext* other = &context == m_context.get() ? m_second.get() : m_context.get();
        return other != nullptr ? other->Buffers() : nullptr;
    }

    // A slot of the other context's table names a region of another guest
    // address space: the bind is refused, the unit left as it was.
    static void BindForeignSlot(MGLContext& context, int32_t unit, int32_t slot, const BufferTable& table) {
        std::array<uint8_t, sizeof(TextureUnit)> before{};
        std::memcpy(before.data(), &context.Record().texture_units[unit], before.size());
        context.BindBufferToUnit(unit, slot, table);
        Check(std::memcmp(before.data(), &context.Record().texture_units[unit], before.size()) == 0);
    }

    // A slot mirrored into a unit, or (choice 0) the unit emptied. Option 1
    // takes the slot from the other context's table.
    bool BindBuffer() {
        MGLContext& context = PickContext();
        const int32_t unit = m_program.Below(MGLContext::kTextureUnits);
        const bool empty = m_program.Below(4) == 0;
        const bool foreign = (m_program.Byte() & 1) != 0;
        BufferTable* table = foreign ? OtherTable(context) : context.Buffers();
        if (empty) {
            context.UnbindShader(unit);
            MirrorsOf(context) &= static_cast<uint8_t>(~(1u << unit));
            return true;
        }
        if (table == nullptr) return false;
        const int32_t slot = PickSlot(*table);
        if (foreign) {
            BindForeignSlot(context, unit, slot, *table);
            return true;
        }
        // A free slot leaves the unit as it was.
        const bool mirrored = BufferSlots::Of(*table).UsedSlot(slot) != nullptr;
        context.BindBufferToUnit(unit, slot, *table);
        if (mirrored) MirrorsOf(context) |= static_cast<uint8_t>(1u << unit);
        return true;
    }

    bool ClearBuffers() {
        PickContext().Clear();
        return true;
    }

    // The vertex hook or the polygon observer let go of, or the native span
    // bound anew: taken between draws (the next draw sets its own), refused
    // while a draw runs, which may be inside the very routine.
    bool ReplaceHook() {
        const int32_t which = m_program.Below(3);
        bool taken = false;
        if (which == 0) taken = m_poly->SetVertexHook(nullptr);
        if (which == 1) taken = m_poly->SetPolygonObserver(nullptr);
        if (which == 2) taken = m_poly->BindNativeSpan(SpanTexturedPerspective, kTexturedLayout);
        Check(taken != (m_polyDraws > 0));
        return taken;
    }

    void SetQuads() {
        const int32_t corners[kQuadCorners][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
        for (int32_t i = 0; i < kElements; ++i) {
            const int32_t* corner = corners[i % kQuadCorners];
            int32_t* position = &m_positions[static_cast<size_t>(kPositionWords * i)];
            position[0] = corner[0] * kOne;
            position[1] = corner[1] * kOne;
            position[2] = kQuadDepth * kOne;
            position[3] = kOne;
        }
    }

    // Coordinates over the whole texture unit 0 shows, by the quad corner
    // of the element. A RenderPoly of the second context may draw after
    // the first context ended: its vertices keep their coordinates.
    void SetTexCoords(int32_t* vertex, int32_t n) {
        if (m_context == nullptr) return;
        const TextureUnit& unit = m_context->Record().texture_units[0];
        const int32_t corner = n % kQuadCorners;
        vertex[kTexCoordS] = (corner == 1 || corner == 2) ? unit.b.width * kOne : 0;
        vertex[kTexCoordT] = corner >= 2 ? unit.b.height * kOne : 0;
    }

    // The operation the hooks run once its place and count come, counted
    // from the next draw on.
    void Await(const HookedOp& hooked) {
        m_hooked = hooked;
        m_polygons = 0;
        m_rows = 0;
    }

    // Runs the awaited operation if this is its place and count. False when
    // it ended a RenderPoly or a context, which may be the drawing ones.
    bool HookReached(Place place, int32_t count) {
        if (place != m_hooked.place || count != m_hooked.at) return true;
        const Op op = m_hooked.op;
        m_hooked = HookedOp{};
        const uint32_t endings = m_endings;
        RunOp(op, place);
        return m_endings == endings;
    }

    // The hooks live in the RenderPoly, which the operation they run may
    // delete: after it they touch none of their captures. The vertex is the
    // draw's: written before the operation, which may end the pool it lies
    // in.
    void InstallHooks(RenderPoly& poly) {
        Check(poly.SetVertexHook([this](int32_t* vertex, int32_t n) {
            SetTexCoords(vertex, n);
            HookReached(Place::VertexHook, n);
        }));
        Check(poly.SetPolygonObserver([this](const MGLVertexList&) { HookReached(Place::PolygonHook, m_polygons++); }));
        Check(poly.BindNativeSpan(
            [this](MGLContext& context, uint32_t r1, uint32_t r2) {
                if (HookReached(Place::SpanRow, m_rows++)) SpanTexturedPerspective(context, r1, r2);
            },
            kTexturedLayout));
    }

    // The line routine is the draw's argument, not the RenderPoly's. Each
    // segment is described in the terms of the colour plane the drawing
    // context has bound as the routine is called (an operation before it may
    // have bound another or let go of it), its first pixel that plane's
    // pixel at (x, y) where it has one. A context that ended has no draws
    // that reach the routine.
    RenderPoly::LineRoutine HookedLine(MGLContext* drawing) {
        return [this, drawing](const MGLLineRecord& record, int32_t x, int32_t y) {
            Check(drawing != nullptr);
            CheckLineRecord(*drawing, record, x, y);
            HookReached(Place::PolygonHook, m_polygons++);
        };
    }

    // A segment from a first pixel inside the plane ends inside it too.
    static void CheckLineRecord(const MGLContext& context, const MGLLineRecord& record, int32_t x, int32_t y) {
        constexpr auto colour = MGLContext::Plane::Colour;
        Check(context.PlanePixels(colour) != nullptr);
        Check(record.destStride == context.PlanePitch(colour));
        Check(static_cast<uint32_t>(record.bytesPerPixel) == (context.PlaneFormat(colour) & kBytesPerPixelMask));
        Check(record.firstPixel == context.PlaneSpan(colour, x, y, 1));
        if (record.firstPixel == nullptr) return;
        const int64_t endX = int64_t{x} + record.dx;
        const int64_t endY = int64_t{y} + record.dy;
        Check(endX >= INT32_MIN && endX <= INT32_MAX && endY >= INT32_MIN && endY <= INT32_MAX);
        Check(context.PlaneSpan(colour, static_cast<int32_t>(endX), static_cast<int32_t>(endY), 1) != nullptr);
    }

    // A draw of the kind over the whole viewport, textured from unit 0, the
    // hooked operation run at its place once its count comes; then what the
    // operation ended is taken over, every bound unit sampled and the
    // targets cleared.
    bool DrawAndClear(const HookedDraw& draw, bool closing) {
        InstallHooks(*m_poly);
        Await(draw.hooked);
        // Each draw has the whole pool, as a frame's first would.
        m_context->Record().vertexPoolUsed = 0;
        Draw(*m_poly, draw.kind, HookedLine(m_context.get()));
        m_hooked = HookedOp{};
        if (!TakeOverEnded()) return false;
        m_poly->SetScreenSpace(false);
        Check(m_poly->SetVertexHook(nullptr) && m_poly->SetPolygonObserver(nullptr) &&
              m_poly->BindNativeSpan(SpanTexturedPerspective, kTexturedLayout));
        if (!closing) return false;
        SampleUnits(*m_context);
        m_context->ClearColorPlane(kMaxSide, kMaxSide);
        m_context->ClearDepthPlane(kMaxSide, kMaxSide);
        m_context->ClearStencilPlane(kMaxSide, kMaxSide);
        if (m_second != nullptr) {
            SampleUnits(*m_second);
            m_second->ClearColorPlane(kMaxSide, kMaxSide);
        }
        return true;
    }

    // The draw may end the RenderPoly: it is not touched afterwards.
    void Draw(RenderPoly& poly, DrawKind kind, const RenderPoly::LineRoutine& line) {
        const bool drawing = &poly == m_poly.get();
        m_polyDraws += drawing ? 1 : 0;
        switch (kind) {
            case DrawKind::Polygons: poly.DrawPolygons(kQuadCorners, kElements, kQuads); break;
            case DrawKind::Indexed: poly.DrawIndexedPolygons(kQuadCorners, kElements, kQuads); break;
            case DrawKind::TriangleStrip: poly.DrawTriangleStrip(kElements); break;
            case DrawKind::QuadStrip: poly.DrawQuadStrip(kElements); break;
            case DrawKind::Polygon2D: poly.DrawPolygon2D(0, kQuadCorners, 0); break;
            case DrawKind::Rects2D: poly.DrawRects2D(0, kElements, 0); break;
            case DrawKind::ScreenRect: poly.DrawScreenRect(kMaxSide, kMaxSide, nullptr, nullptr, false); break;
            case DrawKind::Lines: poly.DrawLines3D(kLinePairs, line); break;
            default: poly.DrawLines2D(0, kElements, line, 0); break;
        }
        m_polyDraws -= drawing ? 1 : 0;
    }

    static void SampleUnits(MGLContext& context) {
        for (int32_t unit = 0; unit < MGLContext::kTextureUnits; ++unit) {
            if (context.Record().texture_units[unit].b.levels[0] == 0) continue;
            RSBFormat_ARGB_fixed colour;
            SampleTexture(context, unit, kOne / 2, kOne / 2, 0, &colour);
        }
    }

    // Every unit a texture was bound to shows its live plane as it is now,
    // every unit a slot was mirrored into the slot's live block, and every
    // bound target plane is the current surface's.
    void CheckContext(MGLContext& context) const {
        for (int32_t unit = 0; unit < MGLContext::kTextureUnits; ++unit) CheckUnit(context, unit);
        const CRenderSurface* current = Device().GetCurrentSurface();
        const MGLRecord& record = context.Record();
        CheckTargetPlane(context, MGLContext::Plane::Colour, current, CRenderSurface::kPlaneColor, record.destbase);
        CheckTargetPlane(context, MGLContext::Plane::Depth, current, CRenderSurface::kPlaneDepth, record.zbase);
        CheckTargetPlane(context, MGLContext::Plane::Stencil, current, CRenderSurface::kPlaneStencil,
                         record.stencilbase);
    }

    // A unit a texture was bound to (a slot last: CheckMirror) names, while
    // it names anything, row 0 of a live texture plane of its shape. Where
    // its whole level resolves, the sampler reads it as packed rows: they
    // must then be the plane's.
    void CheckUnit(MGLContext& context, int32_t index) const {
        const TextureUnit& unit = context.Record().texture_units[index];
        const TextureUnitBuffer& b = unit.b;
        if (b.levels[0] == 0) return;
        if ((m_mirrors[&context == m_context.get() ? 0 : 1] & (1u << index)) != 0) {
            CheckMirror(context, unit);
            return;
        }
        const int32_t rowBytes = RowBytes(b.format, b.width);
        Check(rowBytes > 0 && b.height > 0);
        const uint8_t* row0 =
            MGLContextCore::Of(context).GuestMemory().ToHost(b.levels[0], static_cast<size_t>(rowBytes));
        const CRenderSurfaceBuffer* plane = LiveTexturePlane(b, row0);
        Check(row0 != nullptr && plane != nullptr);
        const size_t levelBytes = static_cast<size_t>(rowBytes) * static_cast<size_t>(b.height);
        if (MGLContextCore::Of(context).GuestMemory().ToHost(b.levels[0], levelBytes) != nullptr) {
            Check(b.height == 1 || plane->GetPitch() == rowBytes);
        }
    }

    // A unit naming anything after a slot was mirrored into it names the
    // block that slot of the context's table has now, all of it.
    static void CheckMirror(MGLContext& context, const TextureUnit& unit) {
        const BufferTable* table = context.Buffers();
        const BufferRecord* record = table != nullptr ? BufferSlots::Of(*table).UsedSlot(unit.id) : nullptr;
        Check(record != nullptr && record->guestBase == unit.b.levels[0]);
        Check(MGLContextCore::Of(context).GuestMemory().ToHost(unit.b.levels[0], record->blockBytes) ==
              record->levels[0]);
    }

    // The colour plane of a live texture of the unit's shape whose row 0 is
    // at `row0`, null when there is none.
    const CRenderSurfaceBuffer* LiveTexturePlane(const TextureUnitBuffer& b, const uint8_t* row0) const {
        for (const auto& texture : m_textures) {
            if (texture == nullptr) continue;
            CRenderSurface* surface = nullptr;
            texture->GetSurface(&surface);
            const CRenderSurfaceBuffer* plane = surface != nullptr ? surface->GetPlane(0) : nullptr;
            if (LivePixels(plane) == row0 && b.width == plane->GetWidth() && b.height == plane->GetHeight() &&
                b.format == plane->GetFormat()) {
                return plane;
            }
        }
        return nullptr;
    }

    static void CheckTargetPlane(MGLContext& context, MGLContext::Plane which, const CRenderSurface* current,
                                 uint32_t index, uint32_t guestRow0) {
        const uint8_t* bound = context.PlanePixels(which);
        if (bound == nullptr) return;
        const CRenderSurfaceBuffer* plane = current != nullptr ? current->GetPlane(index) : nullptr;
        Check(plane != nullptr && LivePixels(plane) == bound);
        const size_t rowBytes = static_cast<size_t>(RowBytes(plane->GetFormat(), plane->GetWidth()));
        Check(MGLContextCore::Of(context).GuestMemory().ToHost(guestRow0, rowBytes) == bound);
    }

    FuzzProgram& m_program;
    // Registered and installed; the second device goes before it.
    MGLTestDevice m_device;
    std::unique_ptr<SecondDevice> m_secondDevice;
    bool m_secondInstalled = false;
    // Held so that an operation can end them, from inside their draws too.
    std::unique_ptr<MGLContext> m_context;
    std::unique_ptr<RenderPoly> m_poly;
    // Drawn only from inside draws; its context may end before it.
    std::unique_ptr<RenderPoly> m_otherPoly;
    std::shared_ptr<MGLContext::Life> m_otherLife;
    int32_t m_polyDraws = 0;  // open draws of m_poly
    int32_t m_nestedDraws = 0;
    int32_t m_hostRowCalls = 0;  // portable span calls of the host's open
    HookedOp m_hooked;
    int32_t m_polygons = 0;  // polygons and lines the hooks saw since Await
    int32_t m_rows = 0;
    // RenderPolys and contexts deleted, all told and as last taken over.
    uint32_t m_endings = 0;
    uint32_t m_endingsSeen = 0;
    std::unique_ptr<MGLContext> m_second;
    std::array<std::vector<uint8_t>, kCallerBlocks> m_callerBlocks;
    std::array<std::unique_ptr<HostSurface>, kSurfaceSlots> m_surfaces;
    std::array<SurfaceLayout, kSurfaceSlots> m_layouts{};
    std::array<std::unique_ptr<CTextureObject_MGL>, kTextureSlots> m_textures;
    std::array<uint8_t, 2> m_mirrors{};
    std::array<HostWatcher, kWatchers> m_watchers;
    // Surfaces being deleted while their watchers are told.
    std::vector<const CRenderSurface*> m_going;
    std::array<int32_t, kPositionWords * kElements> m_positions{};
    // The quads' elements in order, for indexed draws.
    std::array<int32_t, kElements> m_indices{0, 1, 2, 3, 4, 5, 6, 7};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzBlitRegistry::Publish();
    FuzzProgram program(data, size);
    LifetimeRun(program).Run();
    return 0;
}
