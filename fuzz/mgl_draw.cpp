// Whole draws of the 3D renderer from hostile data: a pipeline state from
// the stream the state loader reads (its span code run by the interpreter)
// or a portable span, matrices, viewport and projection, textures of several
// formats and sizes bound to units, and a sequence of draw calls of every
// kind over vertices from the input, drawn on an off-screen target after a
// clear. Whatever the input, the draws end, touch no host memory outside
// what they were given (the sanitizers watch the heap), hand a line routine
// a first pixel inside the colour plane or none, and through the portable
// spans never change a texture's texels (span code may store wherever the
// guest map lets it, textures included).
//
// Input: when it holds at least 2960 bytes, the first 2960 are a state
// stream; what follows (or the whole input when shorter) is the draw
// program, read as FuzzProgram takes it (zeros past the end).

#include <array>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <vector>

#include "CArrayInputStream.h"
#include "CShader_MGL.h"
#include "FuzzCheck.h"
#include "FuzzProgram.h"
#include "MGLBufferSlots.h"
#include "MGLFuzzSurface.h"
#include "MGLBufferOps.h"
#include "MGLBufferTable.h"
#include "MGLSpans.h"
#include "MGLTexel.h"
#include "MGLTestDevice.h"
#include "RenderPoly.h"

namespace {

constexpr int32_t kMaxSide = 48;
constexpr int32_t kMaxVertices = 32;
constexpr int32_t kMaxTextures = 3;
constexpr int32_t kMaxLog2Side = 6;
constexpr int32_t kMaxDraws = 12;
constexpr int32_t kIndexBytes = 64;
constexpr int32_t kPoolCapacity = 512;
constexpr int32_t kPositionWords = 4;
constexpr int32_t kTexCoordWords = 2;
constexpr uint8_t kTexCoordSlot = 15;
constexpr int32_t kNativeTexturedInterpolants = 3;
constexpr uint32_t kScaledTexCoords = 6;
constexpr int32_t kTriangleFill = 3;
constexpr int32_t kIndexTypeByte = 9;
constexpr int32_t kFilterModes = 9;
constexpr int32_t kWrapModes = 4;

constexpr uint32_t kTextureFormats[] = {RSBFormat_R5G6B5,   RSBFormat_A1R5G5B5, RSBFormat_A4R4G4B4,
                                        RSBFormat_X8R8G8B8, RSBFormat_A8R8G8B8, RSBFormat_R8G8B8,
                                        RSBFormat_X14R6G6B6};
constexpr int32_t kTextureFormatCount = static_cast<int32_t>(std::size(kTextureFormats));

// Setup flags, above MGLFuzzSurface's.
constexpr uint8_t kFlagPerspective = 2;
constexpr uint8_t kFlagDepthTest = 4;
constexpr uint8_t kFlagDepthWrite = 8;
constexpr uint8_t kFlagOrtho = 16;
constexpr uint8_t kFlagScreenBounds = 128;
constexpr uint8_t kSpanShift = 5;  // two bits: the SpanKind
constexpr uint8_t kSpanMask = 3;
constexpr int32_t kOne = 0x10000;

enum class SpanKind : uint8_t { StateCode = 0, NativeFlat = 1, NativeTextured = 2 };

enum class DrawOp : uint8_t {
    Polygons,
    IndexedPolygons,
    TriangleStrip,
    QuadStrip,
    Lines3D,
    ScreenRect,
    Polygon2D,
    Rects2D,
    Lines2D,
    Clear,
    Count
};

// One texture in a buffer-table slot and what its texels were.
struct Texture {
    int32_t slot;
    std::vector<uint8_t> texels;  // every level, as made
};

class DrawRun {
public:
    DrawRun(FuzzProgram& program, const MGLShaderState* state) : m_program(program), m_state(state) {}

    void Run() {
        if (!SetUpTarget()) return;
        m_poly = std::make_unique<RenderPoly>(m_context);
        SetUpTransforms();
        SetUpTextures();
        SetUpVertices();
        BindSpan();
        m_context.Clear();
        for (int32_t i = 0; i < kMaxDraws && !m_program.Done(); ++i) Draw();
        if (m_context.SpanCode() == nullptr) CheckTextures();
    }

private:
    bool SetUpTarget() {
        return m_target.Make(m_program, m_device, kMaxSide, kMaxSide) && m_context.Init(kPoolCapacity) != nullptr;
    }

    void SetUpTransforms() {
        m_context.Reset();
        int32_t v[6];
        for (int32_t& word : v) word = m_program.Word();
        m_context.SetViewport(v[0], v[1], v[2], v[3], v[4], v[5]);
        for (int32_t& word : v) word = m_program.Word();
        if ((m_target.flags & kFlagOrtho) != 0) {
            m_context.SetOrtho(v[0], v[1], v[2], v[3], v[4], v[5]);
        } else {
            m_context.SetFrustum(v[0], v[1], v[2], v[3], v[4], v[5]);
        }
        m_context.UpdateProjection(1);
        MGLRecord& s = m_context.Record();
        if ((m_target.flags & kFlagScreenBounds) != 0) {
            // Clip bounds of the whole target, for screen-space draws.
            s.ccx0 = 0;
            s.ccx1 = m_target.width * kOne;
            s.ccy0 = 0;
            s.ccy1 = m_target.height * kOne;
        }
        Matrix3x4 modelview{};
        for (int32_t& word : modelview.r.m) word = m_program.Word();
        for (int32_t& word : modelview.t) word = m_program.Word();
        modelview.orthographic = m_program.Byte() & 1;
        m_context.ModelviewStack().SetTop(modelview);
        Matrix2x3 screen{m_program.Word(), m_program.Word(), m_program.Word(),
                         m_program.Word(), m_program.Word(), m_program.Word()};
        m_context.Stack2d().SetTop(screen);
        for (int32_t& channel : s.drawColor) channel = m_program.Byte();
        s.perspectiveGradients = (m_target.flags & kFlagPerspective) != 0 ? 1 : 0;
        s.depthTest = (m_target.flags & kFlagDepthTest) != 0 ? 1 : 0;
        s.depthWrite = (m_target.flags & kFlagDepthWrite) != 0 ? 1 : 0;
    }

    // Up to three textures, each a slot of the buffer table with texels
    // from a run of input bytes repeated, with or without its mip chain,
    // bound to a unit with a filter and wrap mode.
    void SetUpTextures() {
        BufferTable& table = *m_context.Buffers();
        const int32_t count = m_program.Below(kMaxTextures + 1);
        for (int32_t i = 0; i < count; ++i) {
            const uint32_t format = kTextureFormats[m_program.Below(kTextureFormatCount)];
            const int32_t width = 1 << m_program.Below(kMaxLog2Side + 1);
            const int32_t height = 1 << m_program.Below(kMaxLog2Side + 1);
            const uint8_t options = m_program.Byte();
            const int32_t slot = table.AllocBuffer(width, height, format, 0);
            if (slot < 0) continue;
            const BufferRecord* record = BufferSlots::Of(table).Slot(slot);
            uint8_t pattern[16];
            for (uint8_t& byte : pattern) byte = m_program.Byte();
            const size_t bytes = static_cast<size_t>(width) * height * (format & 31u);
            for (size_t k = 0; k < bytes; ++k) record->levels[0][k] = pattern[k % sizeof pattern];
            if ((options & 1) != 0) BuildMipChain(table, slot);
            const int32_t unit = (options >> 1) & 7;
            m_context.BindBufferToUnit(unit, slot, table);
            TextureUnit& bound = m_context.Record().texture_units[unit];
            bound.filter_mode = m_program.Below(kFilterModes);
            bound.texmode = m_program.Below(kWrapModes);
            m_textures.push_back(Texture{slot, Texels(*record)});
        }
    }

    // Every level's bytes of a slot.
    static std::vector<uint8_t> Texels(const BufferRecord& record) {
        std::vector<uint8_t> texels;
        const size_t bpp = record.format & 31u;
        const int32_t levels = record.maxD > 0 ? record.maxD + 1 : 1;
        for (int32_t level = 0; level < levels && level < BufferRecord::kMaxLevels; ++level) {
            if (record.levels[level] == nullptr) break;
            const size_t bytes = bpp * LevelExtent(record.width, level) * LevelExtent(record.height, level);
            texels.insert(texels.end(), record.levels[level], record.levels[level] + bytes);
        }
        return texels;
    }

    void CheckTextures() const {
        const BufferTable& table = *m_context.Buffers();
        for (const Texture& texture : m_textures) {
            const BufferRecord* record = BufferSlots::Of(table).UsedSlot(texture.slot);
            Check(record != nullptr && Texels(*record) == texture.texels);
        }
    }

    // Positions (x, y, z, w) and texture coordinates per vertex, and the
    // index bytes; the hook fetches a vertex's coordinates only while the
    // draw's element lies in the array.
    void SetUpVertices() {
        m_vertices = 1 + m_program.Below(kMaxVertices);
        for (int32_t i = 0; i < m_vertices; ++i) {
            for (int32_t k = 0; k < kPositionWords; ++k) m_positions[kPositionWords * i + k] = m_program.Word();
            for (int32_t k = 0; k < kTexCoordWords; ++k) m_texCoords[kTexCoordWords * i + k] = m_program.Word();
        }
        for (uint8_t& index : m_indices) index = m_program.Byte();
        m_poly->PositionFetcher().Setup(m_positions.data(), kPositionWords, CInterpolantFetcher::kTypeInt32, 0, 0,
                                        kPositionWords * sizeof(int32_t));
        m_poly->IndexFetcher().SetIndices(m_indices.data(), kIndexTypeByte);
        m_poly->AttribFetcher(0).Setup(m_texCoords.data(), kTexCoordWords, CInterpolantFetcher::kTypeInt32, 0,
                                       kTexCoordSlot, kTexCoordWords * sizeof(int32_t));
        m_poly->SetAttribFetcherCount(1);
        m_poly->SetVertexHook([this](int32_t* vertex, int32_t n) {
            if (n >= 0 && n < m_vertices) m_poly->FetchAttributes(vertex, static_cast<uint32_t>(n));
        });
    }

    void BindSpan() {
        switch (static_cast<SpanKind>((m_target.flags >> kSpanShift) & kSpanMask)) {
            case SpanKind::NativeFlat:
                m_poly->BindNativeSpan(SpanFlatDepth, MGLNativeSpanLayout{1, 0, 0, 0, kTriangleFill});
                break;
            case SpanKind::NativeTextured:
                m_poly->BindNativeSpan(SpanTexturedPerspective,
                                       MGLNativeSpanLayout{kNativeTexturedInterpolants, 0, 0, kScaledTexCoords,
                                                           kTriangleFill});
                break;
            default: m_context.BindShaderState(m_state); break;
        }
    }

    // A line routine that draws nothing and checks where it was sent.
    RenderPoly::LineRoutine Line() {
        return [this](const MGLLineRecord& line, int32_t, int32_t) {
            if (line.firstPixel == nullptr) return;
            const uint8_t* plane = m_context.PlanePixels(MGLContext::Plane::Colour);
            const size_t bytes = static_cast<size_t>(m_target.width) * m_target.height * (m_target.format & 31u);
            Check(plane != nullptr && line.firstPixel >= plane && line.firstPixel < plane + bytes);
        };
    }

    void Draw() {
        const auto op = static_cast<DrawOp>(m_program.Below(static_cast<int32_t>(DrawOp::Count)));
        const int32_t a = m_program.Byte();
        const int32_t b = m_program.Byte();
        const uint32_t flipY = b & 1;
        const int32_t first = a % m_vertices;
        const int32_t count = 1 + b % (m_vertices - first);
        switch (op) {
            case DrawOp::Polygons: {
                const int32_t n = 3 + a % (MGLVertexList::kCapacity - 2);
                const int32_t polygons = m_vertices / n;
                if (polygons > 0) m_poly->DrawPolygons(n, n * polygons, 1 + b % polygons);
                break;
            }
            case DrawOp::IndexedPolygons: {
                const int32_t n = 3 + a % (MGLVertexList::kCapacity - 2);
                m_poly->DrawIndexedPolygons(n, m_vertices, 1 + b % (kIndexBytes / n));
                break;
            }
            case DrawOp::TriangleStrip:
                m_context.Record().stripFan = a & 1;
                m_poly->DrawTriangleStrip(count);
                break;
            case DrawOp::QuadStrip: m_poly->DrawQuadStrip(count); break;
            case DrawOp::Lines3D: m_poly->DrawLines3D(count / 2, Line()); break;
            case DrawOp::ScreenRect: {
                // Size and the two corners' attributes from two vertices' words.
                const int32_t* from = &m_positions[kPositionWords * first];
                const int32_t* to = &m_positions[kPositionWords * ((first + 1) % m_vertices)];
                m_poly->DrawScreenRect(from[0], from[1], from, to, flipY != 0);
                break;
            }
            case DrawOp::Polygon2D: m_poly->DrawPolygon2D(first, count, flipY); break;
            case DrawOp::Rects2D: m_poly->DrawRects2D(first, count, flipY); break;
            case DrawOp::Lines2D: m_poly->DrawLines2D(first, count, Line(), flipY); break;
            default: m_context.Clear(); break;
        }
    }

    FuzzProgram& m_program;
    const MGLShaderState* m_state;
    MGLTestDevice m_device;
    MGLContext m_context;
    std::unique_ptr<RenderPoly> m_poly;
    MGLFuzzSurface m_target;
    int32_t m_vertices = 0;
    std::array<int32_t, kPositionWords * kMaxVertices> m_positions{};
    std::array<int32_t, kTexCoordWords * kMaxVertices> m_texCoords{};
    std::array<uint8_t, kIndexBytes> m_indices{};
    std::vector<Texture> m_textures;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CShader_MGL shader;
    const MGLShaderState* state = nullptr;
    if (size >= MGLShaderState::kBytes) {
        CArrayInputStream stream;
        stream.Open(data, MGLShaderState::kBytes);
        if (shader.Load(&stream, CShader_MGL::kStateTag)) state = shader.State(0);
        data += MGLShaderState::kBytes;
        size -= MGLShaderState::kBytes;
    }
    FuzzProgram program(data, size);
    DrawRun(program, state).Run();
    return 0;
}
