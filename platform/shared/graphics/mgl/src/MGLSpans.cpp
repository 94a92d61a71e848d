#include "MGLSpans.h"

#include <algorithm>
#include <cstring>
#include <type_traits>
#include <utility>

#include "CColor.h"
#include "CFixedWide.h"
#include "CMathFixed.h"
#include "MGLContext.h"
#include "MGLFixed.h"
#include "MGLPixelCoordinates.h"
#include "MGLPixelTexels.h"
#include "MGLTextureSampler.h"

namespace {

constexpr uint32_t kDepthBytes = 4;
constexpr int32_t kMaxInterpolants = static_cast<int32_t>(MGLRecord::kInterpolantWords);
constexpr int32_t kMinAlpha = 15;
constexpr int32_t kU = 1;
constexpr int32_t kV = 2;

// A rule's target: a format fixed for the row (r5g6b5, the common one,
// for the filtered rows), or the row's format looked at for each pixel.
constexpr uint32_t kAnyTarget = 0;

// The row segment a span writes, in host memory.
struct SpanRow {
    uint8_t* colour = nullptr;
    uint8_t* depth = nullptr;  // null: no depth work
    int32_t xs = 0;
    int32_t count = 0;
    uint32_t format = 0;
    int32_t bpp = 0;
    int32_t zbpp = 0;
    int32_t interpolants = 0;  // the record's count, bounded
};

uint32_t LoadWord(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

void StoreWord(uint8_t* p, uint32_t v) { std::memcpy(p, &v, sizeof v); }

void StoreHalf(uint8_t* p, uint32_t v) {
    const uint16_t h = static_cast<uint16_t>(v);
    std::memcpy(p, &h, sizeof h);
}

int32_t Interpolants(const MGLRecord& s) { return CMathFixed::Clamp(s.numInterpolants, 0, kMaxInterpolants); }

// How far the record's row values (row pointers, planes, perspective terms)
// stand behind the row a span is on: none while the fill steps the record
// between rows; `rows` of its steps while the span steps them itself. The
// steps of what a row reads (the planes of the first n interpolants, the
// terms of u and v) are taken once, as 0 where the fill's step leaves a
// value, so that a row adds them without asking which it steps.
//
// A textured row starts its walk from what the record holds for the depth,
// u and v, taken (TakeWalk) while the record stands: once a span call, or
// after each of the fill's steps. Each row would otherwise read it all
// again, and decide again which values the state steps, since its pixel
// stores may reach any memory as far as the compiler knows.
class RowLag {
public:
    int32_t rows = 0;

    // No steps, for n interpolants (and the walk's three, which the state
    // may lack).
    explicit RowLag(int32_t n) : m_n(n) {
        std::fill_n(m_planes, std::max(n, kTerms), 0);
        std::fill_n(m_terms, kTerms, 0);
    }
    void TakeSteps(const MGLRecord& s, const MGLRowStep& step) {
        const int32_t planes = std::min(step.planes, m_n);
        for (int32_t i = 0; i < planes; ++i) m_planes[i] = s.intp_dy[i];
        for (int32_t i = 0; i < kTerms; ++i) {
            const bool steps = (i < step.terms) & (i != step.depth);
            m_terms[i] = steps ? s.K1[i] : 0;
        }
    }
    uint32_t Pointer(uint32_t pointer, int32_t stride) const {
        return pointer + static_cast<uint32_t>(rows) * static_cast<uint32_t>(stride);
    }
    // Interpolant i's plane at column 0 of the row, for i below n.
    int32_t Plane(const MGLRecord& s, int32_t i) const { return WrapAdd(s.intp_y[i], WrapMul(rows, m_planes[i])); }

    // The walk of the record's row from column 0, with the steps taken so
    // far: interpolants the state lacks, and terms the span does not step,
    // keep the record's value along the row and from row to row.
    void TakeWalk(const MGLRecord& s, bool perspective) {
        const int32_t n = m_n;
        const int32_t depth = s.depthInterpolant;
        for (int32_t i = 0; i < kTerms; ++i) {
            const bool has = i < n;
            m_start[i] = has ? s.intp_y[i] : s.intp[i];
            m_columnSteps[i] = has ? s.intp_dx[i] : 0;
        }
        for (int32_t i = kU; i < kTerms; ++i) {
            const bool steps = i < n && i != depth;
            const bool stepsHere = perspective && steps;
            m_k2x[i] = s.K2x[i];
            m_k3[i] = stepsHere ? s.K3y[i] : s.K3ys[i];
            m_k3Steps[i] = stepsHere ? s.K1[i] : 0;
            m_k1[i] = steps ? s.K1[i] : 0;
        }
    }
    // The walk taken last, at column x of the row.
    TexturedWalk WalkAt(int32_t x) const {
        const int32_t termU = Magnitude(TermAt(kU));
        const int32_t termV = Magnitude(TermAt(kV));
        return TexturedWalk{ValueAt(0, x),
                            ValueAt(kU, x),
                            ValueAt(kV, x),
                            m_columnSteps[0],
                            m_columnSteps[kU],
                            m_columnSteps[kV],
                            termU > termV ? termU : termV,
                            WrapSub(m_k3[kU], WrapMul(x, m_k3Steps[kU])),
                            WrapSub(m_k3[kV], WrapMul(x, m_k3Steps[kV])),
                            m_k1[kU],
                            m_k1[kV]};
    }

private:
    static constexpr int32_t kTerms = kV + 1;

    int32_t ValueAt(int32_t i, int32_t x) const {
        return WrapAdd(WrapAdd(m_start[i], WrapMul(rows, m_planes[i])), WrapMul(x, m_columnSteps[i]));
    }
    // The perspective term K2x of u or v at the row.
    int32_t TermAt(int32_t i) const { return WrapAdd(m_k2x[i], WrapMul(rows, m_terms[i])); }

    int32_t m_n;
    int32_t m_planes[kMaxInterpolants];
    int32_t m_terms[kTerms];
    // The walk TakeWalk took: depth, u and v at column 0 and per column
    // (per row: the planes' steps); K2x, K3ys (with its step per column)
    // and K1 of u and v.
    int32_t m_start[kTerms] = {};
    int32_t m_columnSteps[kTerms] = {};
    int32_t m_k2x[kTerms] = {};
    int32_t m_k3[kTerms] = {};
    int32_t m_k3Steps[kTerms] = {};
    int32_t m_k1[kTerms] = {};
};

// What the rows of one span call share: the planes' formats and the
// columns the scissor and the target leave. Nothing a span or the fill
// writes between rows (pixels, the row pointers, the interpolants and
// their terms) changes them, so they are read once. Not drawable without
// a colour plane of known size, or with a depth plane of narrow words.
struct RowTarget {
    uint32_t format = 0;
    int32_t bpp = 0;
    int32_t zbpp = 0;
    bool depth = false;
    bool drawable = false;
    int32_t firstColumn = 0;
    int32_t endColumn = 0;
    int32_t interpolants = 0;

    explicit RowTarget(const MGLContext& context) {
        using Plane = MGLContext::Plane;
        const MGLRecord& s = context.Record();
        format = context.PlaneFormat(Plane::Colour);
        bpp = static_cast<int32_t>(CColor::BytesPerPixel(format));
        depth = context.PlanePixels(Plane::Depth) != nullptr;
        zbpp = depth ? static_cast<int32_t>(CColor::BytesPerPixel(context.PlaneFormat(Plane::Depth))) : 0;
        drawable = context.PlanePixels(Plane::Colour) != nullptr && bpp != 0 &&
                   (!depth || zbpp >= static_cast<int32_t>(kDepthBytes));
        firstColumn = std::max(s.scissorx0, 0);
        endColumn = std::min(s.scissorx1, context.TargetWidth());
        interpolants = Interpolants(s);
    }

    // The columns drawn of a row from x0 to x1 (16.16 pixels) start at the
    // first and end before the end.
    int32_t FirstColumnOf(int32_t x0) const { return std::max(WrapAdd(x0, 32767) >> 16, firstColumn); }
    int32_t EndColumnOf(int32_t x1) const { return std::min(WrapAdd(x1, 32768) >> 16, endColumn); }
};

// The rows of a plane a span call walks: those of the run its row pointer
// and stride start at the call, while the record's pointer is the run's
// row (the fill steps it by the stride), addressed directly; any other
// through RowSpan.
class PlaneRows {
public:
    PlaneRows(const MGLContext& context, MGLContext::Plane plane, uint32_t guest, int32_t stride)
        : m_plane(plane), m_run(context.RunFrom(plane, guest, stride)) {}

    // The pointers of the call's rows from row k on step by `stride` from
    // `guest` (the record's, which the rows then no longer step): while
    // that is the run's stride and row k's pointer the run's, every row of
    // the run after it is the run's too, known without its pointer.
    void Follow(int32_t k, uint32_t guest, int32_t stride) {
        // Tested together: they hold or not for a whole draw, and a branch
        // on each, taken once a call, is foretold no better than a guess.
        const bool followed = (k < m_run.rows) & (stride == m_run.stride) & (guest == RunGuest(k));
        m_followed = followed ? m_run.rows : 0;
    }
    // Columns [x, x + count) of the call's row k, whose pointer guest()
    // gives.
    template <class Guest>
    uint8_t* Row(MGLContext& context, int32_t k, const Guest& guest, int32_t x, int32_t count) const {
        if (k < m_followed) return m_run.Span(k, x, count);
        const uint32_t at = guest();
        if (k < m_run.rows && at == RunGuest(k)) return m_run.Span(k, x, count);
        return context.RowSpan(m_plane, at, x, count);
    }

private:
    uint32_t RunGuest(int32_t k) const {
        return m_run.guest + static_cast<uint32_t>(k) * static_cast<uint32_t>(m_run.stride);
    }

    MGLContext::Plane m_plane;
    MGLContext::PlaneRun m_run;
    int32_t m_followed = 0;  // rows below it are the run's
};

// The colour and depth rows of a span call.
struct CallRows {
    PlaneRows colour;
    PlaneRows depth;

    explicit CallRows(const MGLContext& context)
        : colour(context, MGLContext::Plane::Colour, context.Record().destptr, context.Record().deststride),
          depth(context, MGLContext::Plane::Depth, context.Record().zptr, context.Record().zstride) {}

    // The record at row k, and no longer stepped.
    void Follow(const MGLRecord& s, int32_t k) {
        colour.Follow(k, s.destptr, s.deststride);
        depth.Follow(k, s.zptr, s.zstride);
    }
};

// Columns and row pointers of the call's row k, the record `lag` behind it
// (the row's format and pixel sizes are the target's, set once). False
// when nothing of the row is drawn: no columns left, or row pointers that
// do not start a row of their planes. Whatever the record's scissor and
// pointers say, the pixels lie inside the bound planes.
// (Inline in every row loop, as a call it would read all it reads again.)
[[gnu::always_inline]] inline bool SetUpRow(MGLContext& context, const RowTarget& target, const CallRows& rows,
                                            const RowLag& lag, int32_t k, int32_t x0, int32_t x1, SpanRow& row) {
    const MGLRecord& s = context.Record();
    const int32_t xs = target.FirstColumnOf(x0);
    const int32_t xe = target.EndColumnOf(x1);
    if (!target.drawable || xs >= xe) return false;
    row.xs = xs;
    row.count = xe - xs;
    row.colour = rows.colour.Row(context, k, [&] { return lag.Pointer(s.destptr, s.deststride); }, xs, row.count);
    if (row.colour == nullptr) return false;
    if (target.depth) {
        row.depth = rows.depth.Row(context, k, [&] { return lag.Pointer(s.zptr, s.zstride); }, xs, row.count);
        if (row.depth == nullptr) return false;
    }
    return true;
}

// Interpolant i at column x of the row, for an interpolant the state has
// (i below n); the record's value for the others.
int32_t InterpolantAt(const MGLRecord& s, const RowLag& lag, int32_t i, int32_t n, int32_t x) {
    return i < n ? WrapAdd(lag.Plane(s, i), WrapMul(x, s.intp_dx[i])) : s.intp[i];
}

// The record's interpolants at column x.
void SetInterpolants(MGLRecord& s, const RowLag& lag, int32_t n, int32_t x) {
    for (int32_t i = 0; i < n; ++i) s.intp[i] = InterpolantAt(s, lag, i, n, x);
}

// The depth work of a row, decided once: a span's stores go through byte
// pointers, which the compiler must assume reach the record, so the record's
// switches are read before the pixels rather than again at each one.
struct DepthRule {
    bool test;
    bool write;

    DepthRule(const MGLRecord& s, const SpanRow& row)
        : test(row.depth != nullptr && s.depthTest != 0), write(row.depth != nullptr && s.depthWrite != 0) {}

    // Passes without a depth plane or test.
    bool Passes(const uint8_t* depth, int32_t value) const { return !test || Nearer(depth, value); }
    // Whether the value passes the test against the plane's word.
    static bool Nearer(const uint8_t* depth, int32_t value) { return static_cast<uint32_t>(value) > LoadWord(depth); }
    void Write(uint8_t* depth, int32_t value) const {
        if (write) StoreWord(depth, static_cast<uint32_t>(value));
    }
};

// The flat colour of the draw colour in the target format; false for a
// format without a flat rule.
bool FlatPixel(const MGLRecord& s, uint32_t format, uint32_t* pixel) {
    const uint32_t r = static_cast<uint32_t>(s.drawColor[1]);
    const uint32_t g = static_cast<uint32_t>(s.drawColor[2]);
    const uint32_t b = static_cast<uint32_t>(s.drawColor[3]);
    if (format == RSBFormat_R5G6B5) {
        *pixel = ((b & 0xFFu) >> 3) | ((g & 0xFCu) << 3) | ((r & 0xF8u) << 8);
        return true;
    }
    if (format == RSBFormat_X8R8G8B8) {
        *pixel = b | g << 8 | r << 16 | 0xFF000000u;
        return true;
    }
    return false;
}

#if MGL_VECTOR_UNIT(SSE2)
// PixelR5G6B5 worked in the vector the sampler's sums leave the colour
// in, rather than after taking its channels out one by one: red masked,
// green and blue moved down in their lanes (the high half of a product,
// whole for channels of 0..65535) and masked, then the lanes gathered.
uint32_t FilteredPixelR5G6B5(const RSBFormat_ARGB_fixed& c) {
    constexpr int32_t kGreenDown = 1 << 11;  // >> 5
    constexpr int32_t kBlueDown = 1 << 5;    // >> 11
    __m128i argb;
    std::memcpy(&argb, &c, sizeof argb);
    const __m128i moved = _mm_mulhi_epu16(argb, _mm_set_epi32(kBlueDown, kGreenDown, 0, 0));
    const __m128i fields = _mm_or_si128(_mm_and_si128(argb, _mm_set_epi32(0, 0, 0xF800, 0)),
                                        _mm_and_si128(moved, _mm_set_epi32(0x1F, 0x7E0, 0, 0)));
    const __m128i pairs = _mm_or_si128(fields, _mm_shuffle_epi32(fields, _MM_SHUFFLE(3, 2, 3, 2)));
    const __m128i gathered = _mm_or_si128(pairs, _mm_shuffle_epi32(pairs, _MM_SHUFFLE(1, 1, 1, 1)));
    return static_cast<uint32_t>(_mm_cvtsi128_si32(gathered));
}
#else
uint32_t FilteredPixelR5G6B5(const RSBFormat_ARGB_fixed& c) { return texel_format::PixelR5G6B5(c); }
#endif

// A fixed colour (channels 0..65535) stored in the target format; nothing
// for a format without a rule.
void StoreTexel(uint8_t* at, uint32_t format, const RSBFormat_ARGB_fixed& c) {
    const uint32_t r = static_cast<uint32_t>(c.r);
    const uint32_t g = static_cast<uint32_t>(c.g);
    const uint32_t b = static_cast<uint32_t>(c.b);
    switch (format) {
        case RSBFormat_R5G6B5: StoreHalf(at, texel_format::PixelR5G6B5(c)); break;
        case RSBFormat_X8R8G8B8: StoreWord(at, ((r >> 8) << 16) | (g & 0xFF00u) | (b >> 8)); break;
        case RSBFormat_X14R6G6B6: StoreWord(at, ((r >> 10) << 12) | ((g >> 10) << 6) | (b >> 10)); break;
        default: break;
    }
}

// Whether the span steps interpolant i's perspective term K3ys.
bool StepsTerm(const MGLRecord& s, int32_t i, int32_t n, bool perspective) {
    return perspective && i < n && i != s.depthInterpolant;
}

// K3ys of interpolant i at column x: K3y stepped by K1 from column 0 when
// the span steps it, else the record's.
int32_t TermAt(const MGLRecord& s, int32_t i, int32_t n, bool perspective, int32_t x) {
    return StepsTerm(s, i, n, perspective) ? WrapSub(s.K3y[i], WrapMul(x, s.K1[i])) : s.K3ys[i];
}

PerspectiveDivide DivideOf(const MGLContext& context) {
    const MGLRecord& s = context.Record();
    return PerspectiveDivide{
        context.Tables().RecipTable4(),
        static_cast<uint64_t>(s.recipTableSizeM1 > 0 ? s.recipTableSizeM1 : MGLLookupTables::kTableSizeM1), s.cfz0};
}

// The record's work values as the span leaves them: every interpolant
// stepped across the row, and the perspective terms with it (taken at the
// column past the row at once: the same wrapped sums as stepping them to
// the first column and then across).
void FinishWalk(MGLRecord& s, const RowLag& lag, int32_t n, int32_t end, bool perspective) {
    SetInterpolants(s, lag, n, end);
    for (int32_t j = 0; j < n; ++j) {
        if (StepsTerm(s, j, n, perspective)) s.K3ys[j] = TermAt(s, j, n, perspective, end);
    }
}

// Where a row's pixel loop is, in locals rather than the row's fields: the
// pixel stores go through byte pointers, after which anything in memory
// would be read again.
struct RowCursor {
    uint8_t* colour;
    uint8_t* depth;  // null: no depth plane
    const int32_t count;
    const int32_t bpp;
    const int32_t zbpp;

    explicit RowCursor(const SpanRow& row)
        : colour(row.colour), depth(row.depth), count(row.count), bpp(row.bpp), zbpp(row.zbpp) {}

    void Step() {
        colour += bpp;
        if (depth != nullptr) depth += zbpp;
    }
    // `pixels` pixels on, for a row with a depth plane.
    void StepWithDepth(int32_t pixels) {
        colour += static_cast<ptrdiff_t>(pixels) * bpp;
        depth += static_cast<ptrdiff_t>(pixels) * zbpp;
    }
};

// A textured row's pixels: the depth test, the texture coordinates and
// level of detail of each pixel, and its texel written by a texel rule
// chosen once for the row (a template argument, so that the rule's work
// per pixel is inline and the choice is not made again at each pixel). A
// rule's Passes(u, v, lod) reads the pixel's texels and gives whether the
// pixel is written, and its Store(colour) then stores what they were, after
// the depth has been written (a level may lie over the depth plane); its
// ReadsLod() whether its texels depend on the level of detail (when not,
// the span leaves it out), and its Finish() ends the row. Its kTarget is the format
// it stores, or kAnyTarget where it stores the row's.
class RowWalk;

struct TexturedRow {
    const MGLContext& context;
    const SpanRow& row;
    const RowLag& lag;
    int32_t n;
    bool perspective;

    // Perspective rows of this many pixels or more have their coordinates
    // worked out ahead of the pixels, a run at a time; shorter ones, and
    // affine rows, which have no divide to share out, take them pixel by
    // pixel, for the pixels that pass the depth test only. Trilinear rows
    // work their quads out ahead too, which repays itself sooner.
    static constexpr int32_t kAheadPixels = 8;
    static constexpr int32_t kQuadsAheadPixels = 4;

    // The rule is made from `made` in the loop's own function, where it
    // stays in registers, rather than copied there.
    template <class Rule, class... Made>
    void Run(Made&&... made) const {
        if (TakesAhead<Rule>()) {
            RunAhead<Rule>(std::forward<Made>(made)...);
        } else {
            RunEach<Rule>(std::forward<Made>(made)...);
        }
    }

    // Run for the walk's row and each drawable row after it, for a rule
    // that keeps nothing of the row it is on (its texels and levels are
    // the sampler's): rows taken pixel by pixel share one rule, and what
    // the rows read alike, made once. Where long rows take a rule of
    // their own (Long, which keeps the row's bytes), rows of its
    // kLongRowPixels or more are run with one made for them.
    template <class Rule, class Long = Rule, class... Made>
    [[gnu::flatten, gnu::noinline]] static void RunRows(RowWalk& rows, Made&... made);

    // The levels the pixels of a perspective row read, for a rule that reads
    // the nearest texel of one level: with `highest` above 0, the level of
    // each pixel's level of detail, at most `highest`; else `fixed`.
    struct NearestRowLevels {
        int32_t highest;
        int32_t fixed;
    };

private:
    // What a row's loop reads from the record, taken once.
    struct Start {
        MGLPixelCoordinates::Lod lod;
        TexturedWalk w;
        DepthRule depth;
        PerspectiveDivide divide;
    };

    template <class Rule>
    Start StartOf(const Rule& rule) const {
        const MGLRecord& s = context.Record();
        return Start{{rule.ReadsLod(), s.K1[kU] > s.K1[kV] ? s.K1[kU] : s.K1[kV],
                      WrapShiftLeft(WrapSub(s.texture_units[0].b.maxD, 1), 16)},
                     lag.WalkAt(row.xs),
                     DepthRule(s, row),
                     DivideOf(context)};
    }

    // The texel of a pixel that passed the depth test, and its depth.
    template <class Rule>
    static void Shade(Rule& rule, const DepthRule& depth, const RowCursor& at, int32_t z, int32_t u, int32_t v,
                      int32_t lod) {
        if (rule.Passes(u, v, lod)) Store(rule, depth, at, z);
    }
    template <class Rule>
    static void Store(Rule& rule, const DepthRule& depth, const RowCursor& at, int32_t z) {
        depth.Write(at.depth, z);
        rule.Store(at.colour);
    }

    // Whether the rule reads the level of detail's level alone, not its
    // fraction.
    template <class Rule>
    static constexpr bool kLevelOnly = requires { Rule::kReadsLevelOnly; };
    // Whether the rule reads trilinear quads worked out ahead with the
    // coordinates (by its FillQuads), taking its pixels by their place in
    // the run.
    template <class Rule>
    static constexpr bool kQuadsAhead =
        requires(Rule& rule, const MGLPixelCoordinates& ahead, const MGLPixelQuads& quads) {
            rule.PassesAhead(ahead, quads, 0);
        };
    // Whether the rule works out its texels ahead with the coordinates (its
    // FillAhead), taking its pixels by their place in the run.
    template <class Rule>
    static constexpr bool kTexelsAhead =
        requires(Rule& rule, const MGLPixelCoordinates& ahead, const MGLPixelTexels& texels) {
            rule.PassesAhead(ahead, texels, 0);
        };

    // What a run of pixels worked out ahead reads, the first pixel at depth z.
    struct AheadRun {
        const MGLPixelCoordinates& ahead;
        const MGLPixelQuads& quads;
        const MGLPixelTexels& texels;
        int32_t pixels;
        int32_t z;
        int32_t depthStep;
    };

    // Whether pixel i of a run worked out ahead is written.
    template <class Rule>
    static bool PassesAhead(Rule& rule, const AheadRun& run, int32_t i) {
        if constexpr (kQuadsAhead<Rule>) {
            return rule.PassesAhead(run.ahead, run.quads, i);
        } else if constexpr (kTexelsAhead<Rule>) {
            return rule.PassesAhead(run.ahead, run.texels, i);
        } else {
            return rule.Passes(run.ahead.u[i], run.ahead.v[i], run.ahead.lod[i]);
        }
    }

    // The bytes of the pixels a rule stores, where its target is fixed
    // for the row; 0 where it looks at the row's format.
    template <class Rule>
    static constexpr int32_t kPixelBytes = static_cast<int32_t>(CColor::BytesPerPixel(Rule::kTarget));

    // Whether a run can take ShadeTestedRun: rows that test and write depth,
    // in a plane of kDepthBytes, and whose rule fixes the pixels' size.
    template <class Rule>
    static bool TakesTested(const DepthRule& depth, const RowCursor& at) {
        return kPixelBytes<Rule> != 0 && at.bpp == kPixelBytes<Rule> && depth.test && depth.write &&
               at.zbpp == static_cast<int32_t>(kDepthBytes);
    }

    // Any run, its cursor left past it.
    template <class Rule>
    static void ShadeRun(Rule& rule, const DepthRule& depth, RowCursor& at, const AheadRun& run) {
        int32_t z = run.z;
        for (int32_t i = 0; i < run.pixels; ++i) {
            if (depth.Passes(at.depth, z) && PassesAhead(rule, run, i)) Store(rule, depth, at, z);
            at.Step();
            z = WrapAdd(z, run.depthStep);
        }
    }

    // A run of a row that TakesTested: the same pixels, with the strides
    // fixed and no depth switch or plane looked at per pixel. It is the
    // commonest run, and repays a loop of its own.
    template <class Rule>
    static void ShadeTestedRun(Rule& rule, RowCursor& at, const AheadRun& run) {
        constexpr ptrdiff_t kBytes = kPixelBytes<Rule>;
        int32_t z = run.z;
        for (int32_t i = 0; i < run.pixels; ++i) {
            uint8_t* depthAt = at.depth + i * static_cast<ptrdiff_t>(kDepthBytes);
            if (DepthRule::Nearer(depthAt, z) && PassesAhead(rule, run, i)) {
                StoreWord(depthAt, static_cast<uint32_t>(z));
                rule.Store(at.colour + i * kBytes);
            }
            z = WrapAdd(z, run.depthStep);
        }
        at.StepWithDepth(run.pixels);
    }

    // Whether the row's coordinates are worked out ahead.
    template <class Rule>
    bool TakesAhead() const {
        return perspective && row.count >= (kQuadsAhead<Rule> ? kQuadsAheadPixels : kAheadPixels);
    }

    // Whether RunRows leaves the row to a rule of its own for long rows.
    template <class Rule, class Long>
    bool TakesLong() const {
        if constexpr (std::is_same_v<Rule, Long>) {
            return false;
        } else {
            return row.count >= Long::kLongRowPixels;
        }
    }

    // Each loop a function of its own, its values in registers of its own:
    // the short rows' loop stays as lean as it would be alone.
    template <class Rule, class... Made>
    [[gnu::flatten, gnu::noinline]] void RunEach(Made&&... made) const {
        Rule rule{std::forward<Made>(made)...};
        const Start start = StartOf(rule);
        PixelReciprocals reciprocals(start.divide);
        EachPixel(rule, start, reciprocals);
        rule.Finish();
    }

    // What the rows of a call that take EachTestedPixel share: perspective
    // rows that TakesTested. The planes' sizes, the depth work, the levels
    // (for a rule that reads the nearest texel of one level) and the divide
    // are the call's. The reciprocals serve every row taken pixel by pixel:
    // a row's depths mostly fall in the band of the row's before it.
    struct TestedRows {
        bool taken;
        NearestRowLevels levels;
        PixelReciprocals reciprocals;
    };

    template <class Rule>
    TestedRows TestedRowsOf(const Rule& rule, const Start& start) const {
        const bool taken = perspective && TakesTested<Rule>(start.depth, RowCursor(row));
        if constexpr (kLevelOnly<Rule>) {
            return TestedRows{taken, rule.RowLevels(start.lod), PixelReciprocals(start.divide)};
        }
        return TestedRows{taken, NearestRowLevels{0, 0}, PixelReciprocals(start.divide)};
    }

    // The row's pixels, through EachTestedPixel where the call's rows take it.
    template <class Rule>
    [[gnu::always_inline]] void EachRowPixel(Rule& rule, const Start& start, TestedRows& tested) const {
        if (tested.taken) return EachTestedPixel(rule, start, tested);
        EachPixel(rule, start, tested.reciprocals);
    }

    // Whether the pixel of such a row at reciprocal q is written: for a rule
    // that reads the nearest texel of one level, that level taken within
    // the row's bounds; for the others, the level of detail as EachPixel
    // takes it.
    template <class Rule>
    static bool PassesTested(Rule& rule, const MGLPixelCoordinates::Lod& lodRule, const NearestRowLevels& levels,
                             const PixelReciprocal& q, const TexturedWalk& w, int32_t u, int32_t v) {
        if constexpr (kLevelOnly<Rule>) {
            const int32_t level = levels.highest > 0 ? PerspectiveLevel(q, w, levels.highest) : levels.fixed;
            return rule.PassesOn(level, u, v);
        } else {
            const int32_t lod = lodRule.perPixel ? PerspectiveLod(q, w) : lodRule.fixed;
            return rule.Passes(u, v, lod > lodRule.max ? lodRule.max : lod);
        }
    }

    // EachPixel for such rows: the strides and the depth work fixed.
    template <class Rule>
    [[gnu::always_inline]] void EachTestedPixel(Rule& rule, const Start& start, TestedRows& tested) const {
        constexpr ptrdiff_t kBytes = kPixelBytes<Rule>;
        TexturedWalk w = start.w;
        uint8_t* colour = row.colour;
        uint8_t* depth = row.depth;
        const int32_t count = row.count;
        for (int32_t i = 0; i < count; ++i) {
            if (DepthRule::Nearer(depth, w.depth)) {
                const PixelReciprocal q = tested.reciprocals.Of(w.depth);
                int32_t u, v;
                PerspectiveCoordinates(q, w, &u, &v);
                if (PassesTested(rule, start.lod, tested.levels, q, w, u, v)) {
                    StoreWord(depth, static_cast<uint32_t>(w.depth));
                    rule.Store(colour);
                }
            }
            colour += kBytes;
            depth += kDepthBytes;
            w.Advance(1);
        }
    }

    // The row's pixels one by one, with a rule made for it or kept, and
    // the reciprocals of the rows before it.
    template <class Rule>
    [[gnu::always_inline]] void EachPixel(Rule& rule, const Start& start, PixelReciprocals& reciprocals) const {
        const DepthRule& depth = start.depth;
        const MGLPixelCoordinates::Lod& lodRule = start.lod;
        TexturedWalk w = start.w;
        const bool divides = perspective;
        const bool readsLod = lodRule.perPixel;
        const int32_t maxLod = lodRule.max;
        RowCursor at(row);
        for (int32_t i = 0; i < at.count; ++i) {
            if (depth.Passes(at.depth, w.depth)) {
                int32_t u = w.u, v = w.v, lod = lodRule.fixed;
                if (divides) {
                    const PixelReciprocal q = reciprocals.Of(w.depth);
                    PerspectiveCoordinates(q, w, &u, &v);
                    if (readsLod) lod = kLevelOnly<Rule> ? PerspectiveLevelLod(q, w) : PerspectiveLod(q, w);
                }
                Shade(rule, depth, at, w.depth, u, v, lod > maxLod ? maxLod : lod);
            }
            at.Step();
            w.Advance(1);
        }
    }

    template <class Rule, class... Made>
    [[gnu::flatten, gnu::noinline]] void RunAhead(Made&&... made) const {
        Rule rule{std::forward<Made>(made)...};
        const Start start = StartOf(rule);
        const DepthRule& depth = start.depth;
        TexturedWalk w = start.w;
        RowCursor at(row);
        const bool tested = TakesTested<Rule>(depth, at);
        MGLPixelCoordinates ahead;
        // Apart from the rule, which then stays in registers.
        MGLPixelQuads quads;
        MGLPixelTexels texels;
        for (int32_t done = 0; done < at.count; done += MGLPixelCoordinates::kPixels) {
            const int32_t pixels = std::min(at.count - done, MGLPixelCoordinates::kPixels);
            ahead.Fill(w, start.divide, start.lod, pixels);
            if constexpr (kQuadsAhead<Rule>) rule.FillQuads(ahead, quads, pixels);
            if constexpr (kTexelsAhead<Rule>) rule.FillAhead(ahead, texels, pixels);
            const AheadRun run{ahead, quads, texels, pixels, w.depth, w.depthStep};
            if (tested) {
                ShadeTestedRun(rule, at, run);
            } else {
                ShadeRun(rule, depth, at, run);
            }
            w.Advance(pixels);
        }
        rule.Finish();
    }
};

// The rows of a span call, one drawable row at a time: after each row the
// fill's step, a textured row's end values written into the record first.
// Once told the rows can step themselves, the walk keeps the record where
// it stands and its rows lag it, until the last row: then the record takes
// the last drawn row's end values and every step at once.
class RowWalk {
public:
    RowWalk(MGLContext& context, const MGLSpanRows& rows, bool textured)
        : m_context(context),
          m_rows(rows),
          m_target(context),
          m_planes(context),
          m_textured(textured),
          m_lag(m_target.interpolants),
          m_walk{context, m_row, m_lag, m_target.interpolants, context.Record().perspectiveGradients != 0} {
        m_row.format = m_target.format;
        m_row.bpp = m_target.bpp;
        m_row.zbpp = m_target.zbpp;
        m_row.interpolants = m_target.interpolants;
    }
    RowWalk(const RowWalk&) = delete;
    RowWalk& operator=(const RowWalk&) = delete;

    // To the next row with pixels to draw; false past the last row.
    [[gnu::always_inline]] bool Next() {
        if (m_index >= m_rows.count) return false;
        if (m_index >= 0 && !m_selfStepped) {
            if (m_lastDrawn == m_index) Finish();
            Step();
        }
        while (++m_index < m_rows.count) {
            m_lag.rows = m_index - m_stepped;
            if (SetUpRow(m_context, m_target, m_planes, m_lag, m_index, m_rows.left[m_index], m_rows.right[m_index],
                         m_row)) {
                m_lastDrawn = m_index;
                return true;
            }
            Step();
        }
        if (m_selfStepped) CatchUp();
        return false;
    }
    // The rows step themselves where the fill says what its step does and
    // nothing they read lies in the record, which they then do not keep up
    // to date: no level the sampler may read, nor its palette (the planes
    // are memory of their own). Made before the first row, so that rows
    // with nothing to draw above it are not stepped either: the walk is
    // taken here, and after each of the fill's steps from then on.
    void StepSelfWhenApart(MGLTextureSampler& sampler) {
        const auto* record = reinterpret_cast<const uint8_t*>(&m_context.Record());
        if (m_rows.step != nullptr && sampler.ReadsApartFrom(record, record + sizeof(MGLRecord))) {
            m_selfStepped = true;
            m_step = MGLRowStep{CMathFixed::Clamp(m_rows.step->planes, 0, kMaxInterpolants),
                                CMathFixed::Clamp(m_rows.step->terms, 0, kMaxInterpolants), m_rows.step->depth};
            m_lag.TakeSteps(m_context.Record(), m_step);
            m_planes.Follow(m_context.Record(), m_stepped);
        }
        TakeWalk();
    }
    const SpanRow& Row() const { return m_row; }
    const RowLag& Lag() const { return m_lag; }
    const TexturedRow& Walk() const { return m_walk; }

private:
    // A textured row's end values, for the row the walk is on.
    void Finish() {
        if (m_textured) {
            FinishWalk(m_context.Record(), m_lag, m_target.interpolants, m_row.xs + m_row.count, m_walk.perspective);
        }
    }
    void Step() {
        if (m_selfStepped) return;
        m_rows.next(m_rows.fill);
        ++m_stepped;
        TakeWalk();
    }
    void TakeWalk() {
        if (m_textured) m_lag.TakeWalk(m_context.Record(), m_walk.perspective);
    }
    // The record as the fill's steps after each row would have left it.
    void CatchUp() {
        MGLRecord& s = m_context.Record();
        // The last row drawn, at its lag and end, if any was.
        if (m_textured && m_lastDrawn >= 0) {
            m_lag.rows = m_lastDrawn - m_stepped;
            const int32_t end = m_target.EndColumnOf(m_rows.right[m_lastDrawn]);
            FinishWalk(s, m_lag, m_target.interpolants, end, m_walk.perspective);
        }
        m_lag.rows = m_rows.count - m_stepped;
        s.destptr = m_lag.Pointer(s.destptr, s.deststride);
        s.zptr = m_lag.Pointer(s.zptr, s.zstride);
        // Locals: the record's words may lie over the walk's, as far as the
        // compiler knows.
        const int32_t rows = m_lag.rows;
        const MGLRowStep step = m_step;
        for (int32_t i = 0; i < step.planes; ++i) s.intp_y[i] = WrapAdd(s.intp_y[i], WrapMul(rows, s.intp_dy[i]));
        for (int32_t i = 0; i < step.terms; ++i) {
            if (i != step.depth) s.K2x[i] = WrapAdd(s.K2x[i], WrapMul(rows, s.K1[i]));
        }
    }

    MGLContext& m_context;
    const MGLSpanRows& m_rows;
    const RowTarget m_target;
    CallRows m_planes;
    const bool m_textured;
    bool m_selfStepped = false;
    MGLRowStep m_step{0, 0, -1};  // what the fill's step does, once the rows step themselves
    int32_t m_index = -1;
    int32_t m_stepped = 0;  // the fill's steps the record has had
    int32_t m_lastDrawn = -1;  // the last row drawn, -1 before any
    RowLag m_lag;
    SpanRow m_row;
    const TexturedRow m_walk;
};

template <class Rule, class Long, class... Made>
void TexturedRow::RunRows(RowWalk& rows, Made&... made) {
    Rule rule{made...};
    const TexturedRow& walk = rows.Walk();
    Start start = walk.StartOf(rule);
    TestedRows tested = walk.TestedRowsOf(rule, start);
    do {
        if (walk.TakesLong<Rule, Long>()) {
            walk.Run<Long>(made...);
            continue;
        }
        if (walk.TakesAhead<Rule>()) {
            walk.RunAhead<Rule>(made...);
            continue;
        }
        start.w = walk.lag.WalkAt(walk.row.xs);
        walk.EachRowPixel(rule, start, tested);
        rule.Finish();
    } while (rows.Next());
}

// Any filter: the sampler's colour, stored when its alpha is at least 15.
struct SampledTexel {
    static constexpr uint32_t kTarget = kAnyTarget;
    MGLTextureSampler& sampler;
    uint32_t format;
    RSBFormat_ARGB_fixed texel = {0, 0, 0, 0};

    bool Passes(int32_t u, int32_t v, int32_t lod) {
        texel = RSBFormat_ARGB_fixed{0, 0, 0, 0};
        sampler.Sample(u, v, lod, &texel);
        return texel.a >= kMinAlpha;
    }
    void Store(uint8_t* at) const { StoreTexel(at, format, texel); }
    bool ReadsLod() const { return sampler.ReadsLod(); }
    void Finish() const {}
};

// The bytes of a row's plane its pixels write, [start, end).
const uint8_t* PlaneEnd(const uint8_t* start, const SpanRow& row, int32_t bytes) {
    return start != nullptr ? start + static_cast<ptrdiff_t>(row.count) * bytes : nullptr;
}

// A memo of the quads a row reads, apart from the bytes it writes.
QuadMemo RowMemo(const SpanRow& row) {
    return QuadMemo(row.colour, PlaneEnd(row.colour, row, row.bpp), row.depth, PlaneEnd(row.depth, row, row.zbpp));
}

// Weighted texels stored in the row's target, Target or, for kAnyTarget,
// `format`.
template <uint32_t Target>
void StoreWeighted(uint8_t* at, uint32_t format, const texel_format::WeightedTexels& texel) {
    if constexpr (Target == RSBFormat_R5G6B5) {
        StoreHalf(at, texel.PixelR5G6B5());
    } else {
        StoreTexel(at, format, texel.Colour());
    }
}

// Rows of this many pixels or more keep their quads: trilinear rows, whose
// two quads a pixel cost more, from as few as work their quads out ahead.
constexpr int32_t kMemoPixels = 8;
constexpr int32_t kTrilinearMemoPixels = TexturedRow::kQuadsAheadPixels;

constexpr int32_t MemoPixels(int32_t mode) {
    return mode == sampler_detail::kFilterTrilinear ? kTrilinearMemoPixels : kMemoPixels;
}

// The sampler's colour for a texture of the decoder's format, wrap mode
// Wrap and filter mode Mode, its routine inline in the row loop; with
// Memo, the row's quads kept in a memo (which repays itself on rows of
// some length only).
template <class Decoder, int32_t Wrap, int32_t Mode, bool Memo, uint32_t Target>
struct FilteredTexel {
    static constexpr uint32_t kTarget = Target;
    static constexpr int32_t kLongRowPixels = MemoPixels(Mode);
    MGLTextureSampler& sampler;
    uint32_t format;
    QuadMemo memo;
    RSBFormat_ARGB_fixed texel = {0, 0, 0, 0};

    FilteredTexel(MGLTextureSampler& sampler, const SpanRow& row)
        : sampler(sampler), format(row.format), memo(RowMemo(row)) {}

    bool Passes(int32_t u, int32_t v, int32_t lod) {
        texel = RSBFormat_ARGB_fixed{0, 0, 0, 0};
        sampler.SampleIn<Wrap, Decoder, Mode>(Decoder{}, u, v, lod, &texel, Memo ? &memo : nullptr);
        return texel.a >= kMinAlpha;
    }
    void Store(uint8_t* at) const {
        if constexpr (Target == RSBFormat_R5G6B5) {
            // Short rows keep the scalar packing, with which their loop is
            // passed its rule more cheaply.
            StoreHalf(at, Memo ? FilteredPixelR5G6B5(texel) : texel_format::PixelR5G6B5(texel));
        } else {
            StoreTexel(at, format, texel);
        }
    }
    bool ReadsLod() const {
        if constexpr (Mode == MGLTextureSampler::kUnitFilter) return sampler.ReadsLod();
        return Mode != sampler_detail::kFilterBilinear;
    }
    void Finish() const {
        if constexpr (Memo) sampler.LeaveQuad<Wrap>(memo);
    }
};

#if MGL_VECTOR_UNIT(SSE2)
// Bilinear and trilinear filtering (modes 3 to 6), with Memo the row's
// quads kept in a memo: the sampler's channels kept as its vector sums
// leave them, 16 bits each,
// for the alpha test and the pixel, rather than set in a fixed colour's
// four 32-bit fields and read back from them. Where the row's coordinates
// are worked out ahead, a trilinear row's levels, quads and weights are as
// well, and a bilinear row's texels (mode 3's where a group is magnified).
template <class Decoder, int32_t Wrap, int32_t Mode, bool Memo, uint32_t Target>
struct QuadTexel {
    static constexpr uint32_t kTarget = Target;
    static constexpr bool kBilinear = Mode == sampler_detail::kFilterBilinear ||
                                      Mode == sampler_detail::kFilterBilinearMip ||
                                      Mode == sampler_detail::kFilterBilinearOrMip;
    // Whether the row's bilinear quads all lie on level 0.
    static constexpr bool kFirstLevel = Mode != sampler_detail::kFilterBilinearMip;
    static constexpr int32_t kLongRowPixels = MemoPixels(Mode);
    // Rows shorter than this read their trilinear quads afresh, at offsets
    // worked out ahead with their weights: in so few pixels, whose scale
    // changes from row to row, whether the last quad serves again is too
    // uneven to foretell, and the branch that asks costs more than the
    // reading it would save. Longer rows keep them.
    static constexpr int32_t kKeptQuadPixels = 8;
    MGLTextureSampler& sampler;
    uint32_t format;
    bool quadsAfresh;
    QuadMemo memo;
    texel_format::WeightedTexels texel;

    QuadTexel(MGLTextureSampler& sampler, const SpanRow& row)
        : sampler(sampler), format(row.format), quadsAfresh(row.count < kKeptQuadPixels), memo(RowMemo(row)) {}

    bool Passes(int32_t u, int32_t v, int32_t lod) {
        if constexpr (Mode == sampler_detail::kFilterBilinearOrMip) {
            if (lod > sampler_detail::kOne) return NearestTaken(u, v, lod);
            return Taken(sampler.QuadLanesIn<Wrap, Decoder, sampler_detail::kFilterBilinear>(u, v, lod, Kept()));
        } else {
            return Taken(sampler.QuadLanesIn<Wrap, Decoder, Mode>(u, v, lod, Kept()));
        }
    }
    // Trilinear rows work out their quads ahead: two quads of eight pixels
    // take fewer steps than one pixel's two. Rows that read them afresh
    // work out where their texels lie as well.
    void FillQuads(const MGLPixelCoordinates& ahead, MGLPixelQuads& quads, int32_t pixels) {
        quads.Fill(ahead, sampler.QuadLevels(), quadsAfresh, pixels);
    }
    bool PassesAhead(const MGLPixelCoordinates& ahead, const MGLPixelQuads& quads, int32_t i)
        requires(Memo && Mode == sampler_detail::kFilterTrilinear)
    {
        return Taken(sampler.TrilinearLanesAhead<Wrap, Decoder>(quads, i, ahead.u[i], ahead.v[i], quadsAfresh, memo));
    }
    // A bilinear row's texels, eight pixels at a time where the eight read
    // one level, which the row does not write: their texels are then what
    // the pixels would read in turn.
    void FillAhead(const MGLPixelCoordinates& ahead, MGLPixelTexels& out, int32_t pixels)
        requires(Memo && kBilinear)
    {
        const MGLPixelTexels::Routine bilinearAhead = MGLPixelTexels::BilinearRoutine(sampler.Format(), Wrap);
        out.FillGroups(bilinearAhead != nullptr ? pixels : 0, [&](int32_t first) {
            const int32_t level = GroupLevel(ahead, first);
            if (level < 0) return false;
            const TexelLevel& texels = sampler.Level(level);
            return texels.base != nullptr && memo.Apart(texels) && bilinearAhead(out, ahead, first, texels);
        });
    }
    // The pixel's texels from FillAhead; where it left them out, sampled.
    bool PassesAhead(const MGLPixelCoordinates& ahead, const MGLPixelTexels& texels, int32_t i)
        requires(Memo && kBilinear)
    {
        using sampler_detail::kHalfTexel;
        if ((texels.filtered >> i & 1u) == 0) return Passes(ahead.u[i], ahead.v[i], ahead.lod[i]);
        const int32_t level = kFirstLevel ? 0 : std::clamp(ahead.lod[i] >> 16, 0, sampler.LastLevel());
        memo.Read(WrapSub(ahead.u[i], kHalfTexel), WrapSub(ahead.v[i], kHalfTexel), level);
        texel = texel_format::WeightedTexels::OfLaneWord(texels.lanes[i]);
        return texel.Alpha() >= kMinAlpha;
    }
    bool Taken(__m128i channels) {
        texel = texel_format::WeightedTexels::OfLanes(channels);
        return texel.Alpha() >= kMinAlpha;
    }
    void Store(uint8_t* at) const { StoreWeighted<Target>(at, format, texel); }
    bool ReadsLod() const { return Mode != sampler_detail::kFilterBilinear; }
    void Finish() const {
        if constexpr (Memo) sampler.LeaveQuad<Wrap>(memo);
    }

private:
    QuadMemo* Kept() { return Memo ? &memo : nullptr; }
    // The level the bilinear quads of the group of pixels from `first` lie
    // on, -1 where they do not share one: for mode 3, level 0 where all the
    // group is magnified.
    int32_t GroupLevel(const MGLPixelCoordinates& ahead, int32_t first) const {
        if constexpr (Mode == sampler_detail::kFilterBilinearMip) {
            return MGLPixelTexels::GroupLevel(ahead, first, sampler.LastLevel());
        } else if constexpr (Mode == sampler_detail::kFilterBilinearOrMip) {
            const int32_t* lod = ahead.lod + first;
            return std::all_of(lod, lod + MGLPixelTexels::kGroup, [](int32_t l) { return l <= sampler_detail::kOne; })
                       ? 0
                       : -1;
        } else {
            return 0;
        }
    }
    // Mode 3 past a level of detail of 1: the nearest texel of the level,
    // as the sampler decodes it.
    bool NearestTaken(int32_t u, int32_t v, int32_t lod) {
        const TexelLevel& texels = sampler.Level(std::clamp(lod >> 16, 0, sampler.LastLevel()));
        if (texels.base == nullptr) return false;
        RSBFormat_ARGB_fixed colour;
        Decoder{}.Decode(texels.AtIn<Wrap>(u, v), &colour);
        texel = texel_format::WeightedTexels::OfColour(colour);
        return texel.Alpha() >= kMinAlpha;
    }
};

constexpr bool KeepsQuadLanes(int32_t mode) {
    using namespace sampler_detail;
    return mode == kFilterBilinearOrMip || mode == kFilterBilinear || mode == kFilterBilinearMip ||
           mode == kFilterTrilinear;
}

// The rule of a filtered row.
template <class Decoder, int32_t Wrap, int32_t Mode, bool Memo, uint32_t Target>
using FilteredRule = std::conditional_t<KeepsQuadLanes(Mode), QuadTexel<Decoder, Wrap, Mode, Memo, Target>,
                                        FilteredTexel<Decoder, Wrap, Mode, Memo, Target>>;
#else
template <class Decoder, int32_t Wrap, int32_t Mode, bool Memo, uint32_t Target>
using FilteredRule = FilteredTexel<Decoder, Wrap, Mode, Memo, Target>;
#endif

// A row loop chosen for a sampler and a target format (ChooseRow): the
// rule's type and its loop, which the rows of a fill then run directly.
using RowRoutine = void (*)(RowWalk& rows, MGLTextureSampler& sampler);

// The routine of Rows (whose Run<Wrap> runs a row) for the sampler's wrap mode.
template <class Rows>
RowRoutine ForWrap(const MGLTextureSampler& sampler) {
    switch (sampler.Wrap()) {
        case kTexModeClamp: return &Rows::template Run<kTexModeClamp>;
        case kTexModeMirror: return &Rows::template Run<kTexModeMirror>;
        default: return &Rows::template Run<kTexModeRepeat>;
    }
}

// Any filter, through the sampler's own routine.
void RunSampled(RowWalk& rows, MGLTextureSampler& sampler) {
    uint32_t format = rows.Row().format;
    TexturedRow::RunRows<SampledTexel>(rows, sampler, format);
}

// Whether a level or the palette the sampler may read lies in the record.
bool ReadsRecord(MGLTextureSampler& sampler, const MGLRecord& s) {
    const auto* record = reinterpret_cast<const uint8_t*>(&s);
    return !sampler.ReadsApartFrom(record, record + sizeof(MGLRecord));
}

// The short rows share one rule without a memo; each long row has its
// rule, and memo, made for it. A memo leaves the quads' addresses in the
// record at the row's end only, so where the sampler may read the record
// every row samples without one: each sample then reads the texels after
// its quad's addresses are in the record, as a row of one pixel does.
template <class Decoder, int32_t Mode, uint32_t Target>
struct FilteredRows {
    template <int32_t Wrap>
    static void Run(RowWalk& rows, MGLTextureSampler& sampler) {
        using Short = FilteredRule<Decoder, Wrap, Mode, false, Target>;
        const SpanRow& row = rows.Row();
        if (ReadsRecord(sampler, rows.Walk().context.Record())) {
            TexturedRow::RunRows<Short>(rows, sampler, row);
        } else {
            TexturedRow::RunRows<Short, FilteredRule<Decoder, Wrap, Mode, true, Target>>(rows, sampler, row);
        }
    }
};

template <class Decoder, int32_t Mode>
RowRoutine ChooseFilteredIn(const MGLTextureSampler& sampler, uint32_t target) {
    return target == RSBFormat_R5G6B5 ? ForWrap<FilteredRows<Decoder, Mode, RSBFormat_R5G6B5>>(sampler)
                                      : ForWrap<FilteredRows<Decoder, Mode, kAnyTarget>>(sampler);
}

// Filter mode 2: the nearest texels of the level of detail's level and
// the next, blended by its fraction. The rule holds the two levels'
// addressing while the row's pixels stay on one level (they change level
// a few times a row at most), and keeps the blend as its sums leave it.
// Where the row's coordinates are worked out ahead, so are its texels.
template <class Decoder, int32_t Wrap, uint32_t Target>
struct BlendedTexel {
    static constexpr uint32_t kTarget = Target;

    // The levels are held at the first pixel, none being held before.
    BlendedTexel(MGLTextureSampler& sampler, const SpanRow& row)
        : sampler(sampler), row(row), format(row.format), last(sampler.LastLevel()) {}

    MGLTextureSampler& sampler;
    const SpanRow& row;
    uint32_t format;
    int32_t last;
    int32_t held = -1;  // the level near and far are held for
    bool readable = false;  // both
    TexelLevel near;
    TexelLevel far;
    texel_format::WeightedTexels texel;

    bool Passes(int32_t u, int32_t v, int32_t lod) {
        const int32_t level = std::clamp(lod >> 16, 0, last);
        if (level != held) Hold(level);
        const int32_t blend = (lod >> 8) & sampler_detail::kFull;
        if (!readable) return SampledApart(u, v, lod);
        const uint8_t* first = near.AtIn<Wrap>(u, v);
        texel = blend != 0 ? texel_format::WeightedTexels::OfPair<Decoder>(first, far.AtIn<Wrap>(u, v), blend)
                           : texel_format::WeightedTexels::OfOne<Decoder>(first);
        return texel.Alpha() >= kMinAlpha;
    }
    // The texels of each eight pixels that share a level, where neither
    // of its two levels is one the row writes.
    void FillAhead(const MGLPixelCoordinates& ahead, MGLPixelTexels& out, int32_t pixels) {
        const MGLPixelTexels::BlendRoutine blendAhead = MGLPixelTexels::NearestBlendRoutine(sampler.Format(), Wrap);
        QuadMemo written = RowMemo(row);  // for the levels apart from the row's bytes
        out.FillGroups(blendAhead != nullptr ? pixels : 0, [&](int32_t first) {
            const int32_t level = MGLPixelTexels::GroupLevel(ahead, first, last);
            if (level < 0) return false;
            const TexelLevel& nearAhead = sampler.Level(level);
            const TexelLevel& farAhead = sampler.Level(level < last ? level + 1 : level);
            return nearAhead.base != nullptr && farAhead.base != nullptr && written.Apart(nearAhead) &&
                   written.Apart(farAhead) && blendAhead(out, ahead, first, nearAhead, farAhead);
        });
    }
    // The pixel's texels from FillAhead; where it left them out, sampled.
    bool PassesAhead(const MGLPixelCoordinates& ahead, const MGLPixelTexels& texels, int32_t i) {
        if ((texels.filtered >> i & 1u) == 0) return Passes(ahead.u[i], ahead.v[i], ahead.lod[i]);
        texel = texel_format::WeightedTexels::OfLaneWord(texels.lanes[i]);
        return texel.Alpha() >= kMinAlpha;
    }
    void Store(uint8_t* at) const { StoreWeighted<Target>(at, format, texel); }
    bool ReadsLod() const { return true; }
    void Finish() const {}

private:
    void Hold(int32_t level) {
        held = level;
        near = sampler.Level(level);
        far = sampler.Level(level < last ? level + 1 : level);
        readable = near.base != nullptr && far.base != nullptr;
    }
    // A level that cannot be read adds nothing to the blend: the sampler's
    // own routine weighs what is left.
    [[gnu::noinline]] bool SampledApart(int32_t u, int32_t v, int32_t lod) {
        RSBFormat_ARGB_fixed colour = {0, 0, 0, 0};
        sampler.SampleIn<Wrap, Decoder, sampler_detail::kFilterNearestBlend>(Decoder{}, u, v, lod, &colour);
        texel = texel_format::WeightedTexels::OfColour(colour);
        return colour.a >= kMinAlpha;
    }
};

// The rows share one rule: the levels it holds are the sampler's, and the
// row it reads the walk's current one.
template <class Decoder, uint32_t Target>
struct BlendedRows {
    template <int32_t Wrap>
    static void Run(RowWalk& rows, MGLTextureSampler& sampler) {
        const SpanRow& row = rows.Row();
        TexturedRow::RunRows<BlendedTexel<Decoder, Wrap, Target>>(rows, sampler, row);
    }
};

template <class Decoder>
RowRoutine ChooseBlended(const MGLTextureSampler& sampler, uint32_t target) {
    return target == RSBFormat_R5G6B5 ? ForWrap<BlendedRows<Decoder, RSBFormat_R5G6B5>>(sampler)
                                      : ForWrap<BlendedRows<Decoder, kAnyTarget>>(sampler);
}

// The blends of two levels, bilinear and trilinear filtering with their
// mode fixed for the row; the unit's mode read at each pixel for the others.
template <class Decoder>
RowRoutine ChooseFilteredAs(const MGLTextureSampler& sampler, uint32_t target) {
    using namespace sampler_detail;
    switch (sampler.FilterMode()) {
        case kFilterNearestBlend: return ChooseBlended<Decoder>(sampler, target);
        case kFilterBilinearOrMip: return ChooseFilteredIn<Decoder, kFilterBilinearOrMip>(sampler, target);
        case kFilterBilinear: return ChooseFilteredIn<Decoder, kFilterBilinear>(sampler, target);
        case kFilterBilinearMip: return ChooseFilteredIn<Decoder, kFilterBilinearMip>(sampler, target);
        case kFilterTrilinear: return ChooseFilteredIn<Decoder, kFilterTrilinear>(sampler, target);
        default: return ChooseFilteredIn<Decoder, MGLTextureSampler::kUnitFilter>(sampler, target);
    }
}

// The filtering modes for the formats with a decoder of their own; the
// sampler's own routine for the others.
RowRoutine ChooseFiltered(const MGLTextureSampler& sampler, uint32_t target) {
    RowRoutine routine = &RunSampled;
    texel_format::VisitDecoder(sampler.Format(), [&](auto texel) {
        routine = ChooseFilteredAs<decltype(texel)>(sampler, target);
    });
    return routine;
}

// The nearest texel of one level, as the sampler picks it for filter modes
// 0 and 1 and wrap mode Wrap, handed to a rule for the texture's format.
template <class Texel, int32_t Wrap>
struct NearestTexel {
    static constexpr uint32_t kTarget = Texel::kTarget;
    static constexpr bool kReadsLevelOnly = true;
    MGLTextureSampler& sampler;
    Texel texel;
    NearestLevels levels = sampler.NearestLevelRule();
    // The level the last texel came from, and that level where it can be
    // read (else none): a pixel on it is read without looking further.
    HeldTexelLevel texels{TexelLevel{nullptr, 0, 0, 0, 0, kNoLevel, 0, 0, 0}};
    int32_t readable = kNoLevel;

    bool Passes(int32_t u, int32_t v, int32_t lod) { return PassesOn(levels.At(lod), u, v); }
    bool PassesOn(int32_t level, int32_t u, int32_t v) {
        if (level != readable && !Hold(level)) return false;
        return texel.Take(texels.AtIn<Wrap>(u, v));
    }
    // The levels a perspective row's pixels read under the row's rule: a
    // level of detail held at most lod.max cannot pick a level past its
    // own, and one below 1 picks level 0.
    TexturedRow::NearestRowLevels RowLevels(const MGLPixelCoordinates::Lod& lod) const {
        if (!lod.perPixel) return {0, levels.At(std::min(lod.fixed, lod.max))};
        return {levels.firstOnly ? 0 : std::clamp(lod.max >> 16, 0, levels.last), 0};
    }
    void Store(uint8_t* at) const { texel.Store(at); }
    bool ReadsLod() const { return sampler.ReadsLod(); }
    void Finish() const {}

private:
    static constexpr int32_t kNoLevel = -1;

    // Whether the level can be read, its addressing held.
    bool Hold(int32_t level) {
        if (level != texels.level) texels = HeldTexelLevel(sampler.Level(level));
        readable = texels.base != nullptr ? texels.level : kNoLevel;
        return texels.base != nullptr;
    }
};

template <class Texel>
struct NearestRows {
    template <int32_t Wrap>
    static void Run(RowWalk& rows, MGLTextureSampler& sampler) {
        Texel texel;
        TexturedRow::RunRows<NearestTexel<Texel, Wrap>>(rows, sampler, texel);
    }
};

// An r5g6b5 texel decoded and stored again as r5g6b5 is the texel itself,
// read when it is taken, as every rule reads its texels.
struct CopiedTexel {
    static constexpr uint32_t kTarget = RSBFormat_R5G6B5;
    uint16_t texel = 0;

    bool Take(const uint8_t* at) {
        std::memcpy(&texel, at, sizeof texel);
        return true;
    }
    void Store(uint8_t* to) const { std::memcpy(to, &texel, sizeof texel); }
};

// A texel of the decoder's format stored in the target's: StoreTexel's
// rules applied to the 8-bit channels, which the fixed colour holds times
// 257 (so its top bits are the channel's own), and the alpha test likewise.
template <class Decoder, uint32_t Target>
struct DecodedTexel {
    // A target without a store rule stores nothing: no pixel size to fix.
    static constexpr uint32_t kTarget = Target;
    // Where the decoder packs its own texels as r5g6b5, the pixel of one.
    static constexpr bool kPacked =
        Target == RSBFormat_R5G6B5 && requires(const uint8_t* p) { Decoder::PixelR5G6B5(p); };
    texel_format::Channels colour = {0, 0, 0, 0};
    uint32_t pixel = 0;

    bool Take(const uint8_t* texel) {
        colour = Decoder::Read(texel);
        if constexpr (kPacked) pixel = Decoder::PixelR5G6B5(texel);
        // The fixed colour's alpha is a x 257: at least 15 for any a but 0.
        static_assert(kMinAlpha > 0 && kMinAlpha <= static_cast<int32_t>(texel_format::kChannelScale));
        return colour.a != 0;
    }
    void Store(uint8_t* at) const {
        const texel_format::Channels& c = colour;
        if constexpr (kPacked) {
            StoreHalf(at, pixel);
        } else if constexpr (Target == RSBFormat_R5G6B5) {
            StoreHalf(at, (c.r & 0xF8u) << 8 | (c.g >> 2) << 5 | c.b >> 3);
        }
        if constexpr (Target == RSBFormat_X8R8G8B8) StoreWord(at, c.r << 16 | c.g << 8 | c.b);
        if constexpr (Target == RSBFormat_X14R6G6B6) StoreWord(at, (c.r >> 2) << 12 | (c.g >> 2) << 6 | c.b >> 2);
    }
};

template <class Decoder, uint32_t Target>
RowRoutine ChooseDecoded(const MGLTextureSampler& sampler) {
    return ForWrap<NearestRows<DecodedTexel<Decoder, Target>>>(sampler);
}

// Targets without a store rule still take the depth of the texels that pass.
template <class Decoder>
RowRoutine ChooseNearestAs(const MGLTextureSampler& sampler, uint32_t target) {
    switch (target) {
        case RSBFormat_R5G6B5: return ChooseDecoded<Decoder, RSBFormat_R5G6B5>(sampler);
        case RSBFormat_X8R8G8B8: return ChooseDecoded<Decoder, RSBFormat_X8R8G8B8>(sampler);
        case RSBFormat_X14R6G6B6: return ChooseDecoded<Decoder, RSBFormat_X14R6G6B6>(sampler);
        default: return ChooseDecoded<Decoder, 0>(sampler);
    }
}

// The nearest texel for the formats with a decoder of their own, and L8;
// the sampler for the others.
RowRoutine ChooseNearest(const MGLTextureSampler& sampler, uint32_t target) {
    if (sampler.Format() == RSBFormat_L8) return ChooseNearestAs<texel_format::L8>(sampler, target);
    RowRoutine routine = &RunSampled;
    texel_format::VisitDecoder(sampler.Format(), [&](auto texel) {
        routine = ChooseNearestAs<decltype(texel)>(sampler, target);
    });
    return routine;
}

RowRoutine ChooseRow(const MGLTextureSampler& sampler, uint32_t target) {
    if (!sampler.SamplesOneTexel()) return ChooseFiltered(sampler, target);
    if (sampler.Format() == RSBFormat_R5G6B5 && target == RSBFormat_R5G6B5) {
        return ForWrap<NearestRows<CopiedTexel>>(sampler);
    }
    return ChooseNearest(sampler, target);
}

// The sampler's routine for the target, chosen at the fill's first row
// (or again for another target): the choice costs a short row as much as
// its set-up. The choice is kept as a plain function pointer, and cast
// back to its own type to be run.
RowRoutine RowRoutineOf(MGLTextureSampler& sampler, uint32_t target) {
    MGLTextureSampler::RowChoice& choice = sampler.SpanRowChoice();
    if (choice.routine == nullptr || choice.target != target) {
        choice = {target, reinterpret_cast<void (*)()>(ChooseRow(sampler, target))};
    }
    return reinterpret_cast<RowRoutine>(choice.routine);
}

// The flat colour of a row the record is at.
void FlatRow(MGLRecord& s, const RowLag& lag, const SpanRow& row) {
    SetInterpolants(s, lag, row.interpolants, row.xs);
    uint32_t pixel = 0;
    const bool hasColour = FlatPixel(s, row.format, &pixel);
    const DepthRule rule(s, row);
    int32_t depth = s.intp[0];
    const int32_t step = s.intp_dx[0];
    uint8_t* colourAt = row.colour;
    uint8_t* depthAt = row.depth;
    for (int32_t i = 0; i < row.count; ++i) {
        if (rule.Passes(depthAt, depth)) {
            rule.Write(depthAt, depth);
            if (hasColour && row.bpp == 2) StoreHalf(colourAt, pixel);
            if (hasColour && row.bpp == 4) StoreWord(colourAt, pixel);
        }
        colourAt += row.bpp;
        if (depthAt != nullptr) depthAt += row.zbpp;
        depth = WrapAdd(depth, step);
    }
}

void StayOnRow(void*) {}

// The one row of a span called for a row.
MGLSpanRows OneRow(const int32_t& x0, const int32_t& x1) {
    return MGLSpanRows{&x0, &x1, 1, StayOnRow, nullptr, nullptr};
}

}  // namespace

void SpanFlatDepth(MGLContext& context, uint32_t x0, uint32_t x1) {
    const int32_t left = static_cast<int32_t>(x0);
    const int32_t right = static_cast<int32_t>(x1);
    SpanRowsFlatDepth(context, OneRow(left, right));
}

void SpanTexturedPerspective(MGLContext& context, uint32_t x0, uint32_t x1) {
    const int32_t left = static_cast<int32_t>(x0);
    const int32_t right = static_cast<int32_t>(x1);
    SpanRowsTexturedPerspective(context, OneRow(left, right));
}

void SpanRowsFlatDepth(MGLContext& context, const MGLSpanRows& rows) {
    RowWalk walk(context, rows, false);
    while (walk.Next()) FlatRow(context.Record(), walk.Lag(), walk.Row());
}

// The sampler's row routine, chosen at the first row drawn, runs the rest.
void SpanRowsTexturedPerspective(MGLContext& context, const MGLSpanRows& rows) {
    RowWalk walk(context, rows, true);
    MGLTextureSampler& sampler = context.SpanSampler();
    walk.StepSelfWhenApart(sampler);
    if (!walk.Next()) return;
    RowRoutineOf(sampler, walk.Row().format)(walk, sampler);
}
