#ifndef MGLCONTEXTCORE_H
#define MGLCONTEXTCORE_H

#include <algorithm>
#include <bit>
#include <cstdint>
#include <optional>
#include <vector>

#include "MGLContext.h"
#include "MGLFixed.h"
#include "MGLGuestMemory.h"
#include "MGLLookupTables.h"
#include "MGLTextureSampler.h"

class CRenderSurface;
class CRenderSurfaceBuffer;
class CTextureObject_MGL;

// The implementation part of a renderer context: what the stages keep of
// it and call on it to draw, sample and map textures. A host's translation
// unit never sees it (MGLContext.h only names it), so none of this is a
// host's to call: each step relies on what the others did before it.
//
// What a host asks of the context (its bound planes, its tables) is the
// context's to answer (MGLContext.h); the stages ask it there too. The row
// routines and the vertex stages reach the runs of the bound planes and the
// outcodes here at every row and vertex: those are inline.
class MGLContextCore {
public:
    using Plane = MGLContext::Plane;
    static constexpr int32_t kPlaneCount = MGLContext::kPlaneCount;

    // The context is live (Live finds it) while its part is.
    explicit MGLContextCore(MGLContext& context);
    ~MGLContextCore();
    MGLContextCore(const MGLContextCore&) = delete;
    MGLContextCore& operator=(const MGLContextCore&) = delete;

    static MGLContextCore& Of(MGLContext& context) { return *context.m_core; }
    static const MGLContextCore& Of(const MGLContext& context) { return *context.m_core; }

    // --- Guest memory, tables, lifetime ---

    // The guest memory to map and unmap in: whatever is mapped there must
    // stay alive until it is unmapped, which only the renderer's own
    // mappings (planes, textures, tables) keep to.
    MGLGuestMemory& Mappings() { return m_memory; }
    // What span code may reach, to look up.
    const MGLGuestMemory& GuestMemory() const { return m_memory; }
    MGLReciprocal Reciprocal(int32_t v) const { return m_tables.Reciprocal(v); }
    // x / d in 16.16 through the table reciprocal; 0 for d = 0.
    int32_t Divide(int32_t x, int32_t d) const { return ApplyReciprocal(x, m_tables.Reciprocal(d)); }
    uint32_t RecordGuestAddress() const { return m_context.m_recordGuest; }
    // A number no other context of the process has had: what outlives a
    // context (a texture's mapping) keeps it rather than the address.
    uint64_t Serial() const { return m_context.m_serial; }
    // The live context of that number, null once it is destroyed.
    static MGLContext* Live(uint64_t serial);
    // Before a draw: the context forgets a target that vanished, and every
    // texture mapped in it is brought to its surface's plane as it is now.
    void FollowSurfaces();
    // Textures with a mapping in the context, which FollowSurfaces visits.
    void AttachTexture(CTextureObject_MGL* texture);
    void DetachTexture(CTextureObject_MGL* texture);

    // The sampler of texture unit 0 a portable span reads. Rows of a fill
    // are short, and looking the unit and its levels up again for each one
    // cost as much as the texels; so while a fill keeps it (KeepSpanSampler,
    // for routines known to leave the unit, its buffer and the guest regions
    // alone) one sampler serves every row. Otherwise there is none (null):
    // each call makes one of its own, which sees the unit as it stands.
    // Fills are short too: a fill that keeps the sampler takes the one an
    // earlier fill left, when host code in between (a vertex hook) changed
    // nothing it was made from.
    MGLTextureSampler* KeptSpanSampler() {
        if (!m_keepSpanSampler) return nullptr;
        if (!m_spanSampler) m_spanSampler.emplace(m_context, 0);
        return &*m_spanSampler;
    }
    void KeepSpanSampler(bool keep) {
        m_keepSpanSampler = keep;
        if (keep && m_spanSampler && !m_spanSampler->StillCurrent()) m_spanSampler.reset();
    }

    // --- Outcodes and level of detail ---

    // Outcode of a transformed pipeline vertex (its words) against the
    // record's clip bounds, into its outcode word: all six planes, or x and
    // y only. Of the record alone, which the vertex stages hold already.
    static void ComputeOutcode(const MGLRecord& s, int32_t* vertex);
    static void ComputeOutcodeXY(const MGLRecord& s, int32_t* vertex) {
        vertex[MGLContext::kVertexOutcode] = OutcodeXY(s, vertex, s.screenSpace == 0);
    }
    // Level of detail in 16.16 of a texture-coordinate step d >= 0 (16.16):
    // a piecewise-linear log2(d) + 1, -1.0 below 0.5. The textured span
    // takes one per pixel.
    static int32_t ComputeLod(int32_t d) {
        constexpr int32_t kOne = 0x10000;
        constexpr int32_t kFraction = 0xFFFF;
        if (d < kOne / 2) return -kOne;
        if (d < kOne) return (2 * d) & kFraction;
        // Halvings that bring d below 2.0: its bits above the 17 of 1.x.
        const int32_t halvings = static_cast<int32_t>(std::bit_width(static_cast<uint32_t>(d))) - 17;
        return (halvings + 1) * kOne + ((d >> halvings) & kFraction);
    }

    // --- The bound planes ---

    // A plane of the bound render target, as the C++ side reaches it.
    struct BoundPlane {
        uint8_t* pixels = nullptr;  // row 0
        int32_t pitch = 0;
        int32_t width = 0;
        int32_t height = 0;
        uint32_t format = 0;
        uint32_t mapping = 0;  // guest base of the mapped rows, 0 when unmapped
        uint32_t guestRow0 = 0;
        // The row RowSpan found last, and its offset from row 0.
        int32_t lastRow = 0;
        int64_t lastRowOffset = 0;

        // The same pixels laid out the same way.
        bool SameMemory(const BoundPlane& other) const {
            return pixels == other.pixels && pitch == other.pitch && width == other.width &&
                   height == other.height && format == other.format;
        }
    };

    const BoundPlane& PlaneOf(Plane which) const { return m_planes[static_cast<int32_t>(which)]; }
    // Rows RowSpan would find one after another, from the row at guest
    // address `guest`, each `stride` bytes after the last: while the stride
    // is the plane's pitch, the first `rows` of them are the plane's rows
    // from the one at `guest` on, known without a look-up each: the run
    // keeps where that row's pixels lie and how the plane lays out the rows
    // and columns after it. No rows when the first is not a row of the
    // plane, or the stride is another.
    struct PlaneRun {
        uint32_t guest = 0;
        int32_t stride = 0;
        int32_t rows = 0;
        uint8_t* first = nullptr;
        int64_t pitch = 0;
        int64_t bytes = 0;
        int32_t width = 0;

        // RowSpan of the run's row k; null for a k outside its rows.
        uint8_t* Span(int32_t k, int32_t x, int32_t count) const {
            return k >= 0 && k < rows ? SpanInside(k, x, count) : nullptr;
        }
        // Span of a row k the caller has found inside the run (0 <= k <
        // rows): a walk of the run's rows asks at every row, and knows.
        uint8_t* SpanInside(int32_t k, int32_t x, int32_t count) const {
            return ColumnsOf(first + int64_t{k} * pitch, width, bytes, x, count);
        }
    };
    PlaneRun RunFrom(Plane which, uint32_t guest, int32_t stride) const {
        const BoundPlane& plane = PlaneOf(which);
        const int32_t row = stride == plane.pitch ? m_context.PlaneRowOf(which, guest) : -1;
        if (row < 0) return PlaneRun{};
        return PlaneRun{guest, stride, plane.height - row, RowPixels(plane, row), plane.pitch, PixelBytes(plane),
                        plane.width};
    }

    // The device's current surface and its planes; null when there are
    // none to take.
    static CRenderSurface* CurrentTargetPlanes(BoundPlane planes[kPlaneCount]);
    // Maps the plane's rows and makes it the bound one; the record names it.
    void BindPlane(Plane which, const BoundPlane& plane);
    // Unmaps and forgets every bound plane.
    void UnbindPlanes();

private:
    // The context answers a host's questions about its planes and tables
    // from what is kept here.
    friend class MGLContext;

    // A plane format's low bits: its bytes per pixel.
    static constexpr uint32_t kBytesPerPixelMask = 31;

    static int64_t PixelBytes(const BoundPlane& plane) { return plane.format & kBytesPerPixelMask; }
    // Row y of the plane's pixels.
    static uint8_t* RowPixels(const BoundPlane& plane, int32_t y) { return plane.pixels + int64_t{y} * plane.pitch; }
    // Columns [x, x + count) of a row of `width` pixels of `bytes` each,
    // null unless all of them lie inside it.
    static uint8_t* ColumnsOf(uint8_t* row, int32_t width, int64_t bytes, int32_t x, int32_t count) {
        if (x < 0 || count < 0 || count > width - x) return nullptr;
        return row + int64_t{x} * bytes;
    }
    // PlaneSpan for a row y of the plane's pixels.
    static uint8_t* ColumnsOfRow(const BoundPlane& plane, int32_t x, int32_t y, int32_t count) {
        return ColumnsOf(RowPixels(plane, y), plane.width, PixelBytes(plane), x, count);
    }
    static BoundPlane PlaneOfBuffer(const CRenderSurfaceBuffer* buffer);
    static int32_t OutcodeXY(const MGLRecord& s, const int32_t* vertex, bool scaleByW);

    MGLContext& m_context;
    MGLGuestMemory m_memory;
    MGLLookupTables m_tables;
    BoundPlane m_planes[kPlaneCount];
    std::optional<MGLTextureSampler> m_spanSampler;
    bool m_keepSpanSampler = false;
    std::vector<CTextureObject_MGL*> m_textures;
};

// Inline: every vertex of a 3D draw is outcoded.
inline void MGLContextCore::ComputeOutcode(const MGLRecord& s, int32_t* vertex) {
    const int32_t z = vertex[MGLContext::kVertexEyeZ];
    const int32_t w3 = vertex[MGLContext::kVertexInputW];
    int32_t code = OutcodeXY(s, vertex, true);
    if (z > FixedMul16(w3, s.ccz1)) code |= MGLContext::kOutNear;
    if (z < FixedMul16(w3, s.ccz0)) code |= MGLContext::kOutFar;
    vertex[MGLContext::kVertexOutcode] = code;
}

inline int32_t MGLContextCore::OutcodeXY(const MGLRecord& s, const int32_t* vertex, bool scaleByW) {
    const int32_t x = vertex[MGLContext::kVertexEyeX];
    const int32_t y = vertex[MGLContext::kVertexEyeY];
    const int32_t w = vertex[MGLContext::kVertexW];
    auto bound = [&](int32_t clip) { return scaleByW ? FixedMul16(w, clip) : clip; };
    int32_t code = 0;
    if (x > bound(s.ccx1)) code |= MGLContext::kOutRight;
    if (x < bound(s.ccx0)) code |= MGLContext::kOutLeft;
    if (y > bound(s.ccy1)) code |= MGLContext::kOutTop;
    if (y < bound(s.ccy0)) code |= MGLContext::kOutBottom;
    return code;
}

#endif
