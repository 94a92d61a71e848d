// Rows of the 3D renderer's textured span, or triangles filled with it,
// drawn three ways from the same hostile state: each row whole, with the
// eight-at-a-time routines where the processor has them; whole, with the
// one-pixel routines forced; and one pixel per call. Built with
// ENGINE_SCALAR (MGL_SCALAR), the first two are both the scalar row
// routines, which one pixel per call still checks. The colour plane, the
// depth plane and the whole state record must come out byte for byte the
// same each way, and no way may read or write outside what it was given
// (the sanitizers watch).
//
// The state is as hostile as a host or span code could make it: the
// texture unit's bytes per texel, format, size, level count, filter and
// wrap modes, and its levels put anywhere, across or beside the rows'
// colour and depth bytes or in the texture's own block; the rows'
// interpolants, perspective terms, depth switches and row pointers.
//
// Input (read as FuzzProgram takes it, zeros past the end): the target,
// the texture, the unit's hostile fields, the levels placed, then rows
// until the input ends, or, where the target's flags ask for triangles,
// their corners and texture coordinates.
//
// With MCHVX_MGL_LANE_STATS set, the program prints at exit how many
// pixels each eight-at-a-time pass filled, which shows a run reached them.
// With MCHVX_MGL_OUTCOMES naming a file, it writes there a line for each
// input drawn: a hash of the input, and one of what the rows left. A build
// has the scalar routines or the vector units' ones, never both, so no
// run of one program compares them: scripts/test.sh compares these lines
// of its two builds.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <utility>
#include <vector>

#include "FuzzCheck.h"
#include "FuzzProgram.h"
#include "MGLBufferOps.h"
#include "MGLBufferSlots.h"
#include "MGLBufferTable.h"
#include "MGLContext.h"
#include "MGLContextCore.h"
#include "MGLFuzzSurface.h"
#include "MGLSpans.h"
#include "MGLTexel.h"
#include "MGLTestDevice.h"
#include "MGLTextureSampler.h"
#include "MGLVectorUnit.h"
#include "RenderPoly.h"

namespace {

constexpr int32_t kMaxWidth = 96;  // past one run of pixels worked out ahead
constexpr int32_t kMaxHeight = 4;
constexpr int32_t kMaxLog2Side = 6;
constexpr int32_t kMaxRows = 8;
constexpr int32_t kPoolVertices = 512;
constexpr int32_t kPatternBytes = 16;
constexpr int32_t kOne = 0x10000;
constexpr int32_t kHalf = 0x8000;
constexpr int32_t kInterpolants = 3;  // depth, u, v
constexpr int32_t kU = 1;
constexpr int32_t kFilterModes = 9;
constexpr int32_t kWrapModes = 4;
constexpr int32_t kPixelMargin = 4;  // rows may start and end this far off the target
constexpr size_t kPaletteEntryBytes = 4;

constexpr uint32_t kTextureFormats[] = {RSBFormat_R5G6B5,   RSBFormat_A1R5G5B5, RSBFormat_A4R4G4B4,
                                        RSBFormat_X8R8G8B8, RSBFormat_A8R8G8B8, RSBFormat_R8G8B8,
                                        RSBFormat_X14R6G6B6, RSBFormat_L8,      RSBFormat_A8L8};
// What a unit's format may be set to: every format, and one no decoder knows.
constexpr uint32_t kAnyFormats[] = {RSBFormat_R4G4B4,      RSBFormat_R5G6B5,      RSBFormat_A1R5G5B5,
                                    RSBFormat_A4R4G4B4,    RSBFormat_X14R6G6B6,   RSBFormat_R8G8B8,
                                    RSBFormat_X8R8G8B8,    RSBFormat_A8R8G8B8,    RSBFormat_L8,
                                    RSBFormat_A8,          RSBFormat_I8,          RSBFormat_A8L8,
                                    RSBFormat_P16X8R8G8B8, RSBFormat_P16A8R8G8B8, RSBFormat_P256X8R8G8B8,
                                    RSBFormat_P256A8R8G8B8, RSBFormat_Z32,        0x7F0302};

// Target flags, above MGLFuzzSurface's.
constexpr uint8_t kFlagMipChain = 2;
constexpr uint8_t kFlagTriangles = 4;
constexpr uint8_t kFlagPerspective = 8;

constexpr int32_t kMaxTriangles = 4;
constexpr int32_t kPositionWords = 4;
constexpr int32_t kPositionShift = 4;   // corners within +-8.0
constexpr int32_t kTexCoordShift = 8;   // coordinates within +-128 texels
constexpr int32_t kTexCoordWord = 15;   // the vertex words the span's u and v come from
constexpr uint32_t kScaledTexCoords = 6;
constexpr int32_t kTriangleFill = 3;

// The unit's fields the input sets, a bit each.
enum UnitField : uint16_t {
    kFieldBpp = 1 << 0,
    kFieldFormat = 1 << 1,
    kFieldWidth = 1 << 2,
    kFieldHeight = 1 << 3,
    kFieldMaxD = 1 << 4,
    kFieldLog2 = 1 << 5,
    kFieldCpp = 1 << 6,
    kFieldId = 1 << 7,
    kFieldPalette = 1 << 8,
    kFieldStrides = 1 << 9,
    kFieldRecipLimit = 1 << 10,
    kFieldScissor = 1 << 11,
};

// Where a level is put.
enum class Place : uint8_t { Colour, Depth, Block, Raw, Count };

// Row flags.
constexpr uint8_t kRowPerspective = 1;
constexpr uint8_t kRowDepthTest = 2;
constexpr uint8_t kRowDepthWrite = 4;
constexpr uint8_t kRowOffPointer = 8;    // row pointers off a row's start
constexpr uint8_t kRowInterpolants = 16;  // the interpolant count from the input

// The values one row sets in the record before its span call.
struct RowState {
    int32_t y;
    int32_t x0, x1;
    uint8_t flags;
    int32_t pointerOffset;
    int32_t interpolants;
    int32_t filterMode, wrapMode;
    int32_t start[kInterpolants];
    int32_t step[kInterpolants];
    int32_t cfz0;
    int32_t k1[2], k2x[2], k3y[2];
};

// What the rows leave: the planes and the record, byte for byte.
struct Outcome {
    std::vector<uint8_t> colour;
    std::vector<uint8_t> depth;
    std::vector<uint8_t> record;

    bool operator==(const Outcome&) const = default;
};

// How the rows are drawn.
enum class Way { Fast, OnePixelRoutines, OnePixelPerCall };

uint64_t LanePixels() {
    uint64_t pixels = 0;
    for (int32_t pass = 0; pass < static_cast<int32_t>(MGLVectorUnit::Pass::Count); ++pass) {
        pixels += MGLVectorUnit::PixelsFilled(static_cast<MGLVectorUnit::Pass>(pass));
    }
    return pixels;
}

// Prints the passes' pixel counts at exit, where the environment asks.
struct LaneStats {
    ~LaneStats() {
        if (std::getenv("MCHVX_MGL_LANE_STATS") == nullptr) return;
        using Pass = MGLVectorUnit::Pass;
        std::fprintf(stderr, "eight-at-a-time pixels: coordinates %llu, quads %llu, texels %llu\n",
                     static_cast<unsigned long long>(MGLVectorUnit::PixelsFilled(Pass::Coordinates)),
                     static_cast<unsigned long long>(MGLVectorUnit::PixelsFilled(Pass::Quads)),
                     static_cast<unsigned long long>(MGLVectorUnit::PixelsFilled(Pass::Texels)));
    }
} g_laneStats;

// The outcomes' lines, where the environment asks for them.
class OutcomeLog {
public:
    OutcomeLog() {
        if (const char* path = std::getenv("MCHVX_MGL_OUTCOMES")) m_file.open(path, std::ios::trunc);
    }

    void Write(const uint8_t* input, size_t size, const Outcome& outcome) {
        if (!m_file.is_open()) return;
        uint64_t drawn = kFnvOffset;
        for (const std::vector<uint8_t>* bytes : {&outcome.colour, &outcome.depth, &outcome.record}) {
            drawn = Hashed(drawn, bytes->data(), bytes->size());
        }
        m_file << std::hex << Hashed(kFnvOffset, input, size) << ' ' << drawn << std::endl;
        Check(m_file.good());
    }

private:
    static constexpr uint64_t kFnvOffset = 0xCBF29CE484222325u;
    static constexpr uint64_t kFnvPrime = 0x100000001B3u;

    // FNV-1a.
    static uint64_t Hashed(uint64_t hash, const uint8_t* bytes, size_t size) {
        for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * kFnvPrime;
        return hash;
    }

    std::ofstream m_file;
} g_outcomes;

class DifferentialRun {
public:
    explicit DifferentialRun(FuzzProgram& program) : m_program(program) {}

    // What the rows left, drawn each way alike; nothing where no target
    // could be made.
    std::optional<Outcome> Run() {
        if (!SetUpTarget()) return std::nullopt;
        SetUpTexture();
        SetUnitFields();
        PlaceLevels();
        if ((m_target.flags & kFlagTriangles) != 0) {
            ReadTriangles();
        } else {
            for (int32_t i = 0; i < kMaxRows && !m_program.Done(); ++i) m_rows.push_back(ReadRow());
        }
        const Outcome start = Current();
        const Outcome fast = Drawn(Way::Fast, start);
        Check(Drawn(Way::OnePixelRoutines, start) == fast);
        if (!SamplerReadsRecord()) Check(Drawn(Way::OnePixelPerCall, start) == fast);
        return fast;
    }

private:
    // Whether the sampler reads bytes of the record: a level it uses (0 up
    // to its last) or its palette mapped over them. A span call leaves the
    // record's work values (interpolants and perspective terms) once, at
    // its end, so a call per pixel leaves them after every pixel: texels or
    // palette entries read there differ then, and one call per pixel may
    // rightly draw otherwise. The sampler reads only what lies wholly in one
    // mapped region, so a level that starts below the record, which nothing
    // maps, reads none of it.
    bool SamplerReadsRecord() {
        const auto* record = reinterpret_cast<const uint8_t*>(&m_context.Record());
        const uintptr_t recordStart = reinterpret_cast<uintptr_t>(record);
        const auto overRecord = [recordStart](const uint8_t* host, size_t bytes) {
            const uintptr_t start = reinterpret_cast<uintptr_t>(host);
            return host != nullptr && start < recordStart + sizeof(MGLRecord) && start + bytes > recordStart;
        };
        MGLTextureSampler sampler(m_context, 0);
        for (int32_t level = 0; level <= sampler.LastLevel(); ++level) {
            const TexelLevel& texels = sampler.Level(level);
            if (overRecord(texels.base, texels.bytes)) return true;
        }
        const TextureUnit& unit = m_context.Record().texture_units[0];
        const size_t paletteBytes = kPaletteEntryBytes * static_cast<size_t>(PaletteEntries(unit.b.format));
        return unit.b.palette != 0 && paletteBytes != 0 &&
               overRecord(MGLContextCore::Of(m_context).GuestMemory().ToHost(unit.b.palette, paletteBytes),
                          paletteBytes);
    }

    bool SetUpTarget() {
        if (!m_target.Make(m_program, m_device, kMaxWidth, kMaxHeight)) return false;
        if (m_context.Init(kPoolVertices) == nullptr) return false;
        m_context.Reset();
        // The scissor the whole target; a depth range of 1/16 keeps the
        // triangles' perspective terms within 32 bits.
        m_context.SetViewport(0, 0, m_target.width, m_target.height, 0, kOne / 16);
        m_context.SetFrustum(-kOne, kOne, -kOne, kOne, kOne, 9 * kOne);
        m_context.UpdateProjection(1);
        m_context.Record().perspectiveGradients = (m_target.flags & kFlagPerspective) != 0 ? 1 : 0;
        return true;
    }

    // A texture of texels from a run of input bytes repeated, with or
    // without its mip chain, in unit 0.
    void SetUpTexture() {
        BufferTable& table = *m_context.Buffers();
        const uint32_t format = kTextureFormats[m_program.Below(std::size(kTextureFormats))];
        const int32_t width = 1 << m_program.Below(kMaxLog2Side + 1);
        const int32_t height = 1 << m_program.Below(kMaxLog2Side + 1);
        uint8_t pattern[kPatternBytes];
        for (uint8_t& byte : pattern) byte = m_program.Byte();
        const int32_t slot = table.AllocBuffer(width, height, format, 0);
        if (slot < 0) return;
        const BufferRecord* record = BufferSlots::Of(table).Slot(slot);
        for (size_t k = 0; k < record->blockBytes; ++k) record->levels[0][k] = pattern[k % kPatternBytes];
        if ((m_target.flags & kFlagMipChain) != 0) BuildMipChain(table, slot);
        m_context.BindBufferToUnit(0, slot, table);
    }

    void SetUnitFields() {
        TextureUnit& unit = m_context.Record().texture_units[0];
        MGLRecord& s = m_context.Record();
        const uint32_t fields = static_cast<uint32_t>(m_program.Half());
        if ((fields & kFieldBpp) != 0) unit.bpp = static_cast<int8_t>(m_program.Byte());
        if ((fields & kFieldFormat) != 0) unit.b.format = kAnyFormats[m_program.Below(std::size(kAnyFormats))];
        if ((fields & kFieldWidth) != 0) unit.b.width = m_program.Half();
        if ((fields & kFieldHeight) != 0) unit.b.height = m_program.Half();
        if ((fields & kFieldMaxD) != 0) unit.b.maxD = static_cast<int8_t>(m_program.Byte());
        if ((fields & kFieldLog2) != 0) {
            unit.width_log2 = static_cast<int8_t>(m_program.Byte());
            unit.height_log2 = static_cast<int8_t>(m_program.Byte());
        }
        if ((fields & kFieldCpp) != 0) unit.cpp = static_cast<int8_t>(m_program.Byte());
        if ((fields & kFieldId) != 0) unit.id = static_cast<int8_t>(m_program.Byte());
        if ((fields & kFieldPalette) != 0) unit.b.palette = static_cast<uint32_t>(m_program.Word());
        if ((fields & kFieldStrides) != 0) {
            s.deststride = m_program.Word();
            s.zstride = m_program.Word();
        }
        if ((fields & kFieldRecipLimit) != 0) s.recipTableSizeM1 = m_program.Word();
        if ((fields & kFieldScissor) != 0) {
            s.scissorx0 = static_cast<int8_t>(m_program.Byte());
            s.scissorx1 = m_program.Byte();
        }
    }

    // Levels put in the colour or depth plane, in the texture's block or at
    // any address, each at an offset from the input.
    void PlaceLevels() {
        MGLRecord& s = m_context.Record();
        TextureUnit& unit = s.texture_units[0];
        const uint32_t block = unit.b.levels[0];
        const int32_t count = m_program.Below(kTexelLevels + 1);
        for (int32_t i = 0; i < count; ++i) {
            const int32_t level = m_program.Below(kTexelLevels);
            const auto place = static_cast<Place>(m_program.Below(static_cast<int32_t>(Place::Count)));
            const uint32_t offset = static_cast<uint32_t>(m_program.Half());
            switch (place) {
                case Place::Colour: unit.b.levels[level] = s.destbase + offset; break;
                case Place::Depth: unit.b.levels[level] = s.zbase + offset; break;
                case Place::Block: unit.b.levels[level] = block + offset; break;
                default: unit.b.levels[level] = offset << 16 | static_cast<uint32_t>(m_program.Half() & 0xFFFF); break;
            }
        }
    }

    RowState ReadRow() {
        RowState row{};
        row.y = m_program.Below(m_target.height);
        const int32_t first = m_program.Below(m_target.width + 2 * kPixelMargin) - kPixelMargin;
        const int32_t length = m_program.Below(m_target.width + 2 * kPixelMargin);
        row.x0 = first * kOne + m_program.Half();
        row.x1 = row.x0 + length * kOne + m_program.Half();
        row.flags = m_program.Byte();
        row.pointerOffset = (row.flags & kRowOffPointer) != 0 ? m_program.Half() : 0;
        row.interpolants = (row.flags & kRowInterpolants) != 0 ? m_program.Below(kInterpolants + 2) : kInterpolants;
        row.filterMode = m_program.Below(kFilterModes);
        row.wrapMode = m_program.Below(kWrapModes);
        for (int32_t i = 0; i < kInterpolants; ++i) {
            row.start[i] = m_program.Word();
            row.step[i] = m_program.Word();
        }
        row.cfz0 = m_program.Word();
        for (int32_t i = 0; i < 2; ++i) {
            row.k1[i] = m_program.Word();
            row.k2x[i] = m_program.Word();
            row.k3y[i] = m_program.Word();
        }
        return row;
    }

    void ReadTriangles() {
        TextureUnit& unit = m_context.Record().texture_units[0];
        unit.filter_mode = m_program.Below(kFilterModes);
        unit.texmode = m_program.Below(kWrapModes);
        const int32_t corners = 3 * (1 + m_program.Below(kMaxTriangles));
        for (int32_t i = 0; i < corners; ++i) {
            for (int32_t k = 0; k < kPositionWords - 1; ++k) m_positions.push_back(m_program.Half() << kPositionShift);
            m_positions.push_back(kOne);
            m_texCoords.push_back(m_program.Half() << kTexCoordShift);
            m_texCoords.push_back(m_program.Half() << kTexCoordShift);
        }
    }

    // The record as the row's span call finds it.
    void SetRow(const RowState& row) {
        MGLRecord& s = m_context.Record();
        const uint32_t offset = static_cast<uint32_t>(row.pointerOffset);
        s.destptr = s.destbase + static_cast<uint32_t>(row.y) * static_cast<uint32_t>(Pitch(0)) + offset;
        s.zptr = s.zbase + static_cast<uint32_t>(row.y) * static_cast<uint32_t>(Pitch(1)) + offset;
        s.numInterpolants = row.interpolants;
        s.depthInterpolant = 0;
        s.perspectiveGradients = (row.flags & kRowPerspective) != 0 ? 1 : 0;
        s.depthTest = (row.flags & kRowDepthTest) != 0 ? 1 : 0;
        s.depthWrite = (row.flags & kRowDepthWrite) != 0 ? 1 : 0;
        s.texture_units[0].filter_mode = row.filterMode;
        s.texture_units[0].texmode = row.wrapMode;
        for (int32_t i = 0; i < kInterpolants; ++i) {
            s.intp_y[i] = row.start[i];
            s.intp_dx[i] = row.step[i];
        }
        s.cfz0 = row.cfz0;
        for (int32_t i = 0; i < 2; ++i) {
            s.K1[kU + i] = row.k1[i];
            s.K2x[kU + i] = row.k2x[i];
            s.K3y[kU + i] = row.k3y[i];
        }
    }

    void DrawRow(const RowState& row, Way way) {
        SetRow(row);
        if (way == Way::OnePixelPerCall) {
            DrawPixelByPixel(m_context, static_cast<uint32_t>(row.x0), static_cast<uint32_t>(row.x1));
        } else {
            SpanTexturedPerspective(m_context, static_cast<uint32_t>(row.x0), static_cast<uint32_t>(row.x1));
        }
    }

    // The pixels a span call from x0 to x1 covers, each a call of its own:
    // columns outside the target draw nothing either way.
    void DrawPixelByPixel(MGLContext& context, uint32_t x0, uint32_t x1) const {
        const int32_t first = static_cast<int32_t>(x0 + (kHalf - 1)) >> 16;
        const int32_t end = static_cast<int32_t>(x1 + kHalf) >> 16;
        for (int32_t x = first < 0 ? 0 : first; x < end && x < m_target.width; ++x) {
            const uint32_t left = static_cast<uint32_t>(x) << 16;
            SpanTexturedPerspective(context, left, left + kHalf);
        }
    }

    void DrawTriangles(Way way) {
        RenderPoly poly(m_context);
        poly.PositionFetcher().Setup(m_positions.data(), kPositionWords, CInterpolantFetcher::kTypeInt32, 0, 0,
                                     kPositionWords * sizeof(int32_t));
        poly.SetVertexHook([this](int32_t* vertex, int32_t n) {
            if (n < 0 || 2 * static_cast<size_t>(n) >= m_texCoords.size()) return;
            vertex[kTexCoordWord] = m_texCoords[2 * n];
            vertex[kTexCoordWord + 1] = m_texCoords[2 * n + 1];
        });
        RenderPoly::NativeSpan span = SpanTexturedPerspective;
        if (way == Way::OnePixelPerCall) {
            span = [this](MGLContext& context, uint32_t x0, uint32_t x1) { DrawPixelByPixel(context, x0, x1); };
        }
        poly.BindNativeSpan(std::move(span),
                            MGLNativeSpanLayout{kInterpolants, 0, 0, kScaledTexCoords, kTriangleFill});
        const int32_t corners = static_cast<int32_t>(m_texCoords.size() / 2);
        poly.DrawPolygons(3, corners, corners / 3);
    }

    Outcome Drawn(Way way, const Outcome& start) {
        Restore(start);
        const bool forced = MGLVectorUnit::OnePixelForced();
        const uint64_t lanePixels = LanePixels();
        if (way == Way::OnePixelRoutines) MGLVectorUnit::ForceOnePixel(true);
        for (const RowState& row : m_rows) DrawRow(row, way);
        if (!m_positions.empty()) DrawTriangles(way);
        MGLVectorUnit::ForceOnePixel(forced);
        // Forced, by the environment or here, no pixel is filled eight at a time.
        if (forced || way == Way::OnePixelRoutines) Check(LanePixels() == lanePixels);
        return Current();
    }

    CRenderSurfaceBuffer* Plane(uint32_t index) const { return m_device.Plane(index); }
    int32_t Pitch(uint32_t index) const { return Plane(index) != nullptr ? Plane(index)->GetPitch() : 0; }

    // A plane's rows, pitch by height.
    uint8_t* PlaneBytes(uint32_t index, size_t* bytes) const {
        const CRenderSurfaceBuffer* plane = Plane(index);
        *bytes = plane != nullptr ? static_cast<size_t>(plane->GetPitch()) * plane->GetHeight() : 0;
        return plane != nullptr ? static_cast<uint8_t*>(plane->GetPixels(0)) : nullptr;
    }

    std::vector<uint8_t> PlaneCopy(uint32_t index) const {
        size_t bytes = 0;
        const uint8_t* pixels = PlaneBytes(index, &bytes);
        return pixels != nullptr ? std::vector<uint8_t>(pixels, pixels + bytes) : std::vector<uint8_t>{};
    }

    void RestorePlane(uint32_t index, const std::vector<uint8_t>& copy) {
        size_t bytes = 0;
        uint8_t* pixels = PlaneBytes(index, &bytes);
        if (pixels != nullptr) std::memcpy(pixels, copy.data(), bytes);
    }

    Outcome Current() const {
        const auto* record = reinterpret_cast<const uint8_t*>(&m_context.Record());
        return Outcome{PlaneCopy(0), PlaneCopy(1), std::vector<uint8_t>(record, record + sizeof(MGLRecord))};
    }

    void Restore(const Outcome& outcome) {
        RestorePlane(0, outcome.colour);
        RestorePlane(1, outcome.depth);
        std::memcpy(&m_context.Record(), outcome.record.data(), sizeof(MGLRecord));
    }

    FuzzProgram& m_program;
    MGLTestDevice m_device;
    MGLContext m_context;
    MGLFuzzSurface m_target;
    std::vector<RowState> m_rows;
    std::vector<int32_t> m_positions;  // x, y, z, w of each corner
    std::vector<int32_t> m_texCoords;  // u, v of each corner
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzProgram program(data, size);
    if (const std::optional<Outcome> drawn = DifferentialRun(program).Run()) g_outcomes.Write(data, size, *drawn);
    return 0;
}
