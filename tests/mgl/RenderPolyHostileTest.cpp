#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstddef>
#include <cstring>
#include <ostream>
#include <vector>

#include "AssertCounter.h"
#include "MGLBufferSlots.h"
#include "MGLBufferTable.h"
#include "MGLContextCore.h"
#include "MGLSpans.h"
#include "RenderPolyRig.h"
#include "ShaderStateBuilder.h"
#include "SpanAssembler.h"

using rig::Fixed;
using rig::ONE;

namespace rig {

bool operator==(const SpanCall& a, const SpanCall& b) {
    return a.row == b.row && a.r1 == b.r1 && a.r2 == b.r2 && a.intp == b.intp;
}

void PrintTo(const SpanCall& call, std::ostream* out) {
    *out << "row " << call.row << " from " << call.r1 << " to " << call.r2 << " interpolants";
    for (const int32_t value : call.intp) *out << " " << value;
}

}  // namespace rig

namespace {

std::vector<uint8_t> Bytes(const void* at, size_t count) {
    const uint8_t* p = static_cast<const uint8_t*>(at);
    return {p, p + count};
}

// A viewport is the caller's value: one reaching far above and below the
// target puts rows of its fill over the record, the lookup tables and a
// texture mapped after the planes. Only the target's own pixels change.
TEST(RenderPolyHostileTest, AViewportPastTheTargetDrawsOnlyItsInsidePart) {
    rig::Renderer r(64, 48);
    ASSERT_TRUE(r.ok);
    MGLContext& context = *r.context;
    const int32_t slot = context.Buffers()->AllocBuffer(16, 16, RSBFormat_R5G6B5, 0);
    const BufferRecord* texture = BufferSlots::Of(*context.Buffers()).UsedSlot(slot);
    std::memset(texture->levels[0], 0x5A, 16 * 16 * 2);
    context.BindBufferToUnit(1, slot, *context.Buffers());
    MGLRecord& s = context.Record();
    const int32_t pitch = s.deststride;
    const int32_t recordRow =
        static_cast<int32_t>(MGLContextCore::Of(context).RecordGuestAddress() - s.destbase) / pitch - 1;
    const int32_t textureRow = static_cast<int32_t>(s.texture_units[1].b.levels[0] - s.destbase) / pitch + 1;
    ASSERT_LT(recordRow, 0);
    ASSERT_GT(textureRow, 48);

    context.SetViewport(-8, recordRow, 80, textureRow - recordRow + 1, 0, ONE / 32);
    EXPECT_EQ(s.scissorx0, 0);
    EXPECT_EQ(s.scissory0, 0);
    EXPECT_EQ(s.scissorx1, 64);
    EXPECT_EQ(s.scissory1, 48);
    context.SetFrustum(-ONE, ONE, -ONE, ONE, ONE, 9 * ONE);
    context.UpdateProjection(1);
    s.drawColor[1] = 255;
    s.depthTest = 0;
    ASSERT_TRUE(r.poly->BindNativeSpan(SpanFlatDepth, MGLNativeSpanLayout{1, 0, 0, 0, 3}));
    // The rows after the scissor was set lie just as far outside.
    s.scissorx0 = -8;
    s.scissory0 = recordRow;
    s.scissorx1 = 72;
    s.scissory1 = textureRow + 1;
    const std::vector<uint8_t> units = Bytes(s.texture_units, sizeof s.texture_units);
    const int32_t limit = s.vertexPoolLimit;
    const std::vector<uint8_t> table = Bytes(context.Tables().RecipTable4(), 4096 * sizeof(int32_t));
    r.SetPositions({{-6, -6, -2}, {6, -6, -2}, {0, 6, -2}});
    r.poly->DrawPolygons(3, 3, 1);

    EXPECT_EQ(Bytes(s.texture_units, sizeof s.texture_units), units);
    EXPECT_EQ(s.vertexPoolLimit, limit);
    EXPECT_EQ(Bytes(context.Tables().RecipTable4(), 4096 * sizeof(int32_t)), table);
    EXPECT_EQ(Bytes(texture->levels[0], 16 * 16 * 2), std::vector<uint8_t>(16 * 16 * 2, 0x5A));
    for (int32_t y = 0; y < 48; ++y) {
        for (int32_t x = 0; x < 64; ++x) ASSERT_EQ(r.Pixel16(x, y), 0xF800) << x << "," << y;
    }
}

// A line starting right of the plane gets no pixel pointer, not one into
// the next row or the next plane, and every line steps rows by the plane's
// own pitch whatever the record holds.
TEST(RenderPolyHostileTest, LinesGetOnlyThePlanesPixelsAndPitch) {
    rig::Renderer r(64, 48);
    ASSERT_TRUE(r.ok);
    r.UseScreenBounds(4096, 4096);
    MGLRecord& s = r.context->Record();
    s.deststride = 4096;
    r.poly->SetScreenSpace(true);
    r.SetPositions({{70, 5}, {90, 5}, {3, 4000}, {5, 4000}, {10, 5}, {20, 5}});
    std::vector<uint8_t*> firstPixels;
    std::vector<int32_t> strides;
    auto recorder = [&](const MGLLineRecord& line, int32_t, int32_t) {
        firstPixels.push_back(line.firstPixel);
        strides.push_back(line.destStride);
    };
    r.poly->DrawLines2D(0, 6, recorder, 0);
    ASSERT_EQ(firstPixels.size(), 3u);
    EXPECT_EQ(firstPixels[0], nullptr);
    EXPECT_EQ(firstPixels[1], nullptr);
    EXPECT_EQ(firstPixels[2], r.Row(0, 4) + 20);
    EXPECT_EQ(strides, std::vector<int32_t>(3, 128));

    // A routine binding a target of another pitch and depth: the segments
    // after it are described in the new plane's terms.
    std::vector<int32_t> pixelBytes;
    auto rebinder = [&](const MGLLineRecord& line, int32_t, int32_t) {
        strides.push_back(line.destStride);
        pixelBytes.push_back(line.bytesPerPixel);
        firstPixels.push_back(line.firstPixel);
        if (strides.size() == 1) {
            ASSERT_TRUE(r.device.MakeSurface(24, 8, RSBFormat_X8R8G8B8));
            ASSERT_TRUE(r.context->BindRenderTarget());
        }
    };
    strides.clear();
    firstPixels.clear();
    r.SetPositions({{10, 5}, {20, 5}, {1, 4}, {5, 4}});
    r.poly->DrawLines2D(0, 4, rebinder, 0);
    EXPECT_EQ(strides, (std::vector<int32_t>{128, 96}));
    EXPECT_EQ(pixelBytes, (std::vector<int32_t>{2, 4}));
    ASSERT_EQ(firstPixels.size(), 2u);
    EXPECT_EQ(firstPixels[1], r.Row(0, 3) + 4);
}

// A line routine that draws exactly what its record says: a pixel for each
// step along the longer axis, from the first pixel to dx, dy. It writes the
// pixels of the colour plane bound when it is called, and counts, rather
// than writes, any other.
struct RecordLineDrawer {
    explicit RecordLineDrawer(rig::Renderer& renderer) : r(renderer) {}

    rig::Renderer& r;
    int32_t written = 0;
    int32_t outside = 0;
    std::vector<std::array<int32_t, 4>> lines;  // x, y, dx, dy

    void Draw(const MGLLineRecord& line, int32_t x, int32_t y) {
        lines.push_back({x, y, line.dx, line.dy});
        if (line.firstPixel == nullptr) return;
        const int32_t steps = std::max(std::abs(line.dx), std::abs(line.dy));
        for (int32_t i = 0; i <= steps; ++i) {
            const int32_t column = steps == 0 ? 0 : line.dx * i / steps;
            const int32_t row = steps == 0 ? 0 : line.dy * i / steps;
            uint8_t* pixel = line.firstPixel + ptrdiff_t{row} * line.destStride + ptrdiff_t{column} * line.bytesPerPixel;
            if (!InPlane(pixel, line.bytesPerPixel)) {
                ++outside;
                continue;
            }
            std::memcpy(pixel, &line.packedColor, static_cast<size_t>(line.bytesPerPixel));
            ++written;
        }
    }

    bool InPlane(const uint8_t* pixel, int32_t bytes) const {
        const CRenderSurfaceBuffer* plane = r.device.Plane(0);
        const intptr_t offset = reinterpret_cast<intptr_t>(pixel) - reinterpret_cast<intptr_t>(r.Row(0, 0));
        const intptr_t pitch = plane->GetPitch();
        return offset >= 0 && offset / pitch < plane->GetHeight() && offset % pitch + bytes <= plane->GetWidth() * bytes;
    }

    RenderPoly::LineRoutine Routine() {
        return [this](const MGLLineRecord& line, int32_t x, int32_t y) { Draw(line, x, y); };
    }
};

// Clip bounds wider than the colour plane, as a viewport past the target
// gives them: a segment starting inside the plane ends at its edge.
TEST(RenderPolyHostileTest, LinesOfBoundsPastThePlaneEndAtItsEdge) {
    rig::Renderer r(16, 16);
    ASSERT_TRUE(r.ok);
    r.UseScreenBounds(64, 64);
    MGLRecord& s = r.context->Record();
    s.drawColor[0] = s.drawColor[1] = s.drawColor[2] = s.drawColor[3] = 255;
    r.FillPlane(0, 0);
    r.poly->SetScreenSpace(true);
    r.SetPositions({{2, 3}, {40, 12}, {5, 2}, {9, 60}});
    RecordLineDrawer drawer(r);
    r.poly->DrawLines2D(0, 4, drawer.Routine(), 0);
    EXPECT_EQ(drawer.outside, 0);
    ASSERT_EQ(drawer.lines.size(), 2u);
    EXPECT_EQ(drawer.lines[0][0] + drawer.lines[0][2], 15);
    EXPECT_EQ(drawer.lines[1][1] + drawer.lines[1][3], 15);
    EXPECT_NE(r.Pixel16(15, drawer.lines[0][1] + drawer.lines[0][3]), 0) << "drawn up to the plane's last column";
}

// A routine that binds a smaller target: the segments after it keep to the
// new plane, under the old target's clip bounds.
TEST(RenderPolyHostileTest, LinesAfterARoutineBoundASmallerTargetKeepToIt) {
    rig::Renderer r(64, 48);
    ASSERT_TRUE(r.ok);
    r.UseScreenBounds();
    r.poly->SetScreenSpace(true);
    r.SetPositions({{10, 5}, {20, 5}, {1, 4}, {40, 30}});
    RecordLineDrawer drawer(r);
    auto rebinder = [&](const MGLLineRecord& line, int32_t x, int32_t y) {
        drawer.Draw(line, x, y);
        if (drawer.lines.size() == 1) {
            ASSERT_TRUE(r.device.MakeSurface(24, 8, RSBFormat_X8R8G8B8));
            ASSERT_TRUE(r.context->BindRenderTarget());
        }
    };
    r.poly->DrawLines2D(0, 4, rebinder, 0);
    EXPECT_EQ(drawer.outside, 0);
    ASSERT_EQ(drawer.lines.size(), 2u);
    EXPECT_EQ(drawer.lines[1][0] + drawer.lines[1][2], 23);
    EXPECT_EQ(drawer.lines[1][1] + drawer.lines[1][3], 7);
}

// Span code may write the scissor wider than the planes; a 3D segment
// under it still ends inside the colour plane.
TEST(RenderPolyHostileTest, LinesUnderAScissorWrittenWiderEndInsideThePlane) {
    rig::Renderer r(64, 48);
    ASSERT_TRUE(r.ok);
    MGLRecord& s = r.context->Record();
    r.context->SetViewport(0, 0, 128, 96, 0, ONE);
    r.context->UpdateProjection(1);
    s.scissorx1 = 128;
    s.scissory1 = 96;
    r.SetPositions({{-0.5, 0.5, -2}, {0.8, -0.8, -2}});
    RecordLineDrawer drawer(r);
    r.poly->DrawLines3D(1, drawer.Routine());
    EXPECT_EQ(drawer.outside, 0);
    ASSERT_EQ(drawer.lines.size(), 1u);
    EXPECT_GT(drawer.written, 0);
    EXPECT_EQ(drawer.lines[0][0] + drawer.lines[0][2], 63);
    EXPECT_EQ(drawer.lines[0][1] + drawer.lines[0][3], 47);
}

// Span code may write any record field. Raising the interpolant count and
// the pool limit in the middle of a draw changes neither the draw's vertex
// addressing nor how much of the pool the next draw may take; Reset gives
// the limit back.
TEST(RenderPolyHostileTest, RecordFieldsSpanCodeWritesDoNotSteerThePool) {
    rig::Renderer r(64, 48, RSBFormat_R5G6B5, RSBFormat_Z32, 5);
    ASSERT_TRUE(r.ok);
    MGLRecord& s = r.context->Record();
    ASSERT_EQ(s.vertexPoolLimit, 100);
    std::vector<int32_t> rows;
    r.poly->BindNativeSpan(
        [&rows](MGLContext& c, uint32_t, uint32_t) {
            MGLRecord& record = c.Record();
            rows.push_back(static_cast<int32_t>(record.destptr - record.destbase) / record.deststride);
            record.numInterpolants = 20;
            record.numExtraInterpolants = 20;
            record.depthInterpolant = 19;
            record.vertexPoolLimit = INT32_MAX;
        },
        MGLNativeSpanLayout{1, 0, 0, 0, 3});
    r.SetPositions({{-0.5, 0.5, -2}, {0.5, 0.5, -2}, {0, 0.2, -2}, {-0.5, -0.2, -2}, {0.5, -0.2, -2}, {0, -0.5, -2}});
    r.poly->DrawPolygons(3, 6, 2);
    ASSERT_FALSE(rows.empty());
    EXPECT_LT(rows.front(), 20);
    EXPECT_GT(rows.back(), 28) << "the second triangle is drawn from its own vertices";
    EXPECT_EQ(s.vertexPoolUsed, 6 * 15);

    // The pool has 100 words: no draw may take more, whatever the record says.
    s.vertexPoolUsed = 0;
    rows.clear();
    r.poly->DrawPolygons(3, 6, 2);
    EXPECT_TRUE(rows.empty());
    r.context->Reset();
    EXPECT_EQ(s.vertexPoolLimit, 100);
}

// The scaling projection of perspective texturing must not leak from one
// triangle of a strip into the next: a strip draws exactly what its
// triangles (quads) draw one by one, a strip of three elements included.
TEST(RenderPolyHostileTest, StripsDrawWhatTheirPolygonsDrawOneByOne) {
    rig::Renderer r(64, 48);
    ASSERT_TRUE(r.ok);
    r.context->Record().perspectiveGradients = 1;
    r.poly->SetVertexHook([](int32_t* v, int32_t) {
        v[RenderPoly::kWordInterpolants + 1] = v[0] * 4;
        v[RenderPoly::kWordInterpolants + 2] = v[1] * 4;
    });
    const std::vector<std::vector<double>> e = {{-0.8, -0.6, -2}, {-0.6, 0.7, -3}, {0.1, -0.5, -2.5},
                                                {0.3, 0.6, -4},   {0.8, -0.7, -2}, {0.9, 0.5, -5}};
    auto calls = [&r](const std::vector<std::vector<double>>& points, auto draw) {
        r.Reset();
        r.calls.clear();
        r.SetPositions(points);
        draw();
        return r.calls;
    };
    // Each row's ends and its interpolants at the first pixel, u and v
    // scaled by the depth offset.
    r.poly->BindNativeSpan(
        [&r](MGLContext& c, uint32_t r1, uint32_t r2) {
            const MGLRecord& s = c.Record();
            rig::SpanCall call{r.RowOf(s.destptr), static_cast<int32_t>(r1), static_cast<int32_t>(r2), s.destptr, {}};
            const uint32_t first = static_cast<uint32_t>(rig::FirstPixel(call.r1));
            for (int32_t i = 0; i < 3; ++i) {
                call.intp.push_back(static_cast<int32_t>(static_cast<uint32_t>(s.intp_y[i]) +
                                                         first * static_cast<uint32_t>(s.intp_dx[i])));
            }
            r.calls.push_back(call);
        },
        MGLNativeSpanLayout{3, 0, 0, 6, 3});

    const auto one = calls({e[0], e[1], e[2]}, [&] { r.poly->DrawTriangleStrip(3); });
    EXPECT_FALSE(one.empty());
    EXPECT_EQ(one, calls({e[0], e[1], e[2]}, [&] { r.poly->DrawPolygons(3, 3, 1); }));
    const auto strip = calls({e[0], e[1], e[2], e[3], e[4]}, [&] { r.poly->DrawTriangleStrip(5); });
    EXPECT_EQ(strip, calls({e[0], e[1], e[2], e[1], e[2], e[3], e[2], e[3], e[4]},
                           [&] { r.poly->DrawPolygons(3, 9, 3); }));
    const auto quads = calls(e, [&] { r.poly->DrawQuadStrip(6); });
    EXPECT_FALSE(quads.empty());
    EXPECT_EQ(quads, calls({e[0], e[1], e[3], e[2], e[2], e[3], e[5], e[4]}, [&] { r.poly->DrawPolygons(4, 8, 2); }));
}

// A polygon whose top vertex lies exactly on a row's centre covers that row,
// in both fills.
TEST(RenderPolyHostileTest, ATopVertexOnARowCentreKeepsItsRow) {
    rig::Renderer r(64, 48);
    ASSERT_TRUE(r.ok);
    r.UseScreenBounds();
    for (const int32_t fillMode : {1, 3}) {
        r.RecordSpans(fillMode);
        r.SetPositions({{20, 10.5}, {30, 30}, {10, 30}});
        r.poly->DrawPolygon2D(0, 3, 0);
        ASSERT_FALSE(r.calls.empty()) << fillMode;
        EXPECT_EQ(r.calls.front().row, 10) << fillMode;
        EXPECT_EQ(r.calls.back().row, 29) << fillMode;
    }
}

// Span code that never ends spends the call's budget on its first row: the
// rest of the call is not drawn and a debug line says why. The next call
// has a budget of its own.
TEST(RenderPolyHostileTest, LoopingSpanCodeEndsTheDrawCall) {
    using namespace SpanAsm;
    rig::Renderer r(64, 48);
    ASSERT_TRUE(r.ok);
    const uint32_t counter = offsetof(MGLRecord, spans_shaded);
    Program code;
    code << XferImm(true, false, PreIndex, true, 3, 0, counter) << DataImm(ADD, false, 3, 3, 1)
         << XferImm(false, false, PreIndex, true, 3, 0, counter);
    code.BranchTo(code.Here());
    const MGLShaderState state = ShaderStateBuilder()
                                     .Code(code.Words())
                                     .Keys({{MGLShaderState::kKeyInterpolants, 1},
                                            {MGLShaderState::kKeyHasDepthInterpolant, 0xFFFFFFFFu},
                                            {MGLShaderState::kKeyFillMode, 3}})
                                     .State();
    ASSERT_TRUE(r.context->BindShaderState(&state));
    r.SetPositions({{-0.2, -0.2, -2}, {0.2, -0.2, -2}, {0, 0.3, -2}});
    AssertCounter log;
    r.poly->DrawPolygons(3, 3, 1);
    EXPECT_EQ(r.context->Record().spans_shaded, 1);
    EXPECT_TRUE(log.Logged("budget"));
    r.poly->DrawPolygons(3, 3, 1);
    EXPECT_EQ(r.context->Record().spans_shaded, 2);
}

// The device's surface replaced after the bind, its planes freed: at once
// the context lets go of them, so nothing reaches them through its guest
// memory, a draw or a clear before the next bind included; the next bind
// draws into the new surface. The same from the vertex hook between a
// call's polygons: the next polygon tests no freed depth. A new surface is
// of another size: planes of the same size may be given the old ones'
// memory again, which is then live and laid out alike, and rightly still
// drawn into.
TEST(RenderPolyHostileTest, ADrawAfterTheTargetIsReplacedReachesNoFreedPlane) {
    rig::Renderer r(16, 16);
    ASSERT_TRUE(r.ok);
    MGLRecord& s = r.context->Record();
    s.drawColor[1] = 255;
    s.depthTest = 0;
    ASSERT_TRUE(r.poly->BindNativeSpan(SpanFlatDepth, MGLNativeSpanLayout{1, 0, 0, 0, 3}));
    r.SetPositions({{-1, -1, -2}, {1, -1, -2}, {0, 1, -2}, {-1, -1, -2}, {1, -1, -2}, {0, 1, -2}});
    const uint32_t oldDepth = s.zbase;
    ASSERT_TRUE(r.device.MakeSurface(16, 20, RSBFormat_R5G6B5, RSBFormat_Z32));
    EXPECT_EQ(r.context->PlanePixels(MGLContext::Plane::Colour), nullptr);
    EXPECT_EQ(MGLContextCore::Of(*r.context).GuestMemory().ToHost(oldDepth, 1), nullptr);
    r.FillPlane(0, 0);
    r.poly->DrawPolygons(3, 3, 1);
    r.context->ClearColorPlane(16, 16);
    r.context->ClearDepthPlane(16, 16);
    EXPECT_EQ(r.Pixel16(8, 8), 0) << "the new surface waits for its bind";
    r.Reset();
    r.poly->DrawPolygons(3, 3, 1);
    EXPECT_EQ(r.Pixel16(8, 8), 0xF800);

    s.depthTest = 1;
    r.poly->SetVertexHook([&r](int32_t*, int32_t n) {
        if (n != 3) return;
        ASSERT_TRUE(r.device.MakeSurface(16, 24, RSBFormat_R5G6B5, RSBFormat_Z32));
        r.FillPlane(0, 0);
    });
    r.poly->DrawPolygons(3, 6, 2);
    EXPECT_EQ(r.Pixel16(8, 8), 0);
}

// Host code called from inside a draw (the vertex hook, a native span) may
// call back in, but nothing the draw holds goes meanwhile: Init, even one
// that fails, keeps the pool the draw takes its vertices from, and the
// routines being called are not replaced under their own call. After the
// draw both are the host's again.
TEST(RenderPolyHostileTest, HostCallsFromInsideADrawFreeNothingItHolds) {
    rig::Renderer r(16, 16);
    ASSERT_TRUE(r.ok);
    r.SetPositions({{-1, -1, -2}, {1, -1, -2}, {0, 1, -2}, {-1, -1, -2}, {1, -1, -2}, {0, 1, -2}});
    int32_t* const pool = r.context->VertexPool();
    std::vector<int32_t*> inits;
    std::vector<bool> replaced;
    const std::vector<int32_t> hookNumbers(8, 0);  // big enough to live outside the hook's holder
    std::vector<int32_t> hooked;
    r.poly->SetVertexHook([&, hookNumbers](int32_t*, int32_t n) {
        if (n == 1) {
            inits.push_back(r.context->Init(0));
            inits.push_back(r.context->Init(64));
            replaced.push_back(r.poly->SetVertexHook(nullptr));
            replaced.push_back(r.poly->SetPolygonObserver([](const MGLVertexList&) {}));
        }
        hooked.push_back(n + hookNumbers[0]);
    });
    int32_t spans = 0;
    const auto span = [&r, &spans, &replaced, hookNumbers](MGLContext&, uint32_t, uint32_t) {
        spans += 1 + hookNumbers[0];
        replaced.push_back(r.poly->BindNativeSpan(SpanFlatDepth, MGLNativeSpanLayout{1, 0, 0, 0, 3}));
    };
    ASSERT_TRUE(r.poly->BindNativeSpan(span, MGLNativeSpanLayout{1, 0, 0, 0, 3}));
    r.poly->DrawPolygons(3, 6, 2);
    EXPECT_EQ(inits, (std::vector<int32_t*>{nullptr, nullptr}));
    EXPECT_EQ(r.context->VertexPool(), pool);
    EXPECT_TRUE(r.context->IsReady());
    EXPECT_EQ(hooked, (std::vector<int32_t>{0, 1, 2, 3, 4, 5}));
    EXPECT_GT(spans, 0);
    EXPECT_EQ(replaced, std::vector<bool>(2 + static_cast<size_t>(spans), false));
    EXPECT_TRUE(r.poly->SetVertexHook(nullptr));
    EXPECT_NE(r.context->Init(64), nullptr);
}

// Host code called from inside a draw may delete the RenderPoly drawing:
// the draw stops there, touching it no more, and its draw of the context
// closes, so the context may be started afresh.
TEST(RenderPolyHostileTest, ARenderPolyDeletedFromInsideItsDrawEndsTheDraw) {
    enum class From { VertexHook, PolygonObserver, SpanRow };
    for (const From from : {From::VertexHook, From::PolygonObserver, From::SpanRow}) {
        SCOPED_TRACE(static_cast<int>(from));
        rig::Renderer r(16, 16);
        ASSERT_TRUE(r.ok);
        r.SetPositions({{-1, -1, -2}, {1, -1, -2}, {0, 1, -2}, {-1, -1, -2}, {1, -1, -2}, {0, 1, -2}});
        int32_t calls = 0;
        // Whatever the routine deleting it holds goes with the RenderPoly:
        // it touches nothing of its own after the delete.
        const auto deleteFrom = [&calls, &r](From at, From here) {
            if (at != here) return;
            ++calls;
            r.poly.reset();
        };
        r.poly->SetVertexHook([&deleteFrom, from](int32_t*, int32_t) { deleteFrom(from, From::VertexHook); });
        r.poly->SetPolygonObserver([&deleteFrom, from](const MGLVertexList&) { deleteFrom(from, From::PolygonObserver); });
        const auto span = [&deleteFrom, from](MGLContext&, uint32_t, uint32_t) { deleteFrom(from, From::SpanRow); };
        ASSERT_TRUE(r.poly->BindNativeSpan(span, MGLNativeSpanLayout{1, 0, 0, 0, 3}));
        r.poly->DrawPolygons(3, 6, 2);
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(r.poly, nullptr);
        EXPECT_NE(r.context->Init(64), nullptr);
    }
}

// The context deleted from inside a draw of it (by the vertex hook) or
// between draws: the draw stops there, and the RenderPoly left over draws
// and binds nothing, touching nothing of what the context was, and hands
// out no context.
TEST(RenderPolyHostileTest, ARenderPolyOutlivingItsContextTouchesNothingOfIt) {
    for (const bool fromInside : {true, false}) {
        SCOPED_TRACE(fromInside);
        rig::Renderer r(16, 16);
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(r.poly->Context(), r.context.get());
        r.SetPositions({{-1, -1, -2}, {1, -1, -2}, {0, 1, -2}, {-1, -1, -2}, {1, -1, -2}, {0, 1, -2}});
        int32_t hooked = 0;
        r.poly->SetVertexHook([&hooked, &r, fromInside](int32_t*, int32_t) {
            ++hooked;
            if (fromInside) r.context.reset();
        });
        if (!fromInside) r.context.reset();
        r.poly->DrawPolygons(3, 6, 2);
        EXPECT_EQ(hooked, fromInside ? 1 : 0);
        r.poly->DrawTriangleStrip(3);
        int32_t lines = 0;
        r.poly->DrawLines2D(0, 2, [&lines](const MGLLineRecord&, int32_t, int32_t) { ++lines; }, 0);
        r.poly->SetScreenSpace(true);
        EXPECT_FALSE(r.poly->BindNativeSpan(SpanFlatDepth, MGLNativeSpanLayout{1, 0, 0, 0, 3}));
        EXPECT_EQ(hooked, fromInside ? 1 : 0);
        EXPECT_EQ(lines, 0);
        EXPECT_EQ(r.poly->Context(), nullptr);
    }
}

// A plane made anew through its own buffer, outside a draw or by the vertex
// hook between a call's polygons: at once the context lets go of the
// target, so its guest memory names none of the old pixels and nothing
// after (a clear, the rest of the call) reaches them, whichever plane it was.
TEST(RenderPolyHostileTest, APlaneMadeAnewThroughItsBufferIsNotReached) {
    rig::Renderer r(16, 16);
    ASSERT_TRUE(r.ok);
    MGLRecord& s = r.context->Record();
    const auto makeAnew = [&r](uint32_t plane, uint32_t format) {
        return r.device.Plane(plane)->Create(format, 16, 20, false, nullptr, nullptr,
                                             CRenderSurfaceBuffer::kPitchTopDown, 0, nullptr);
    };
    const uint32_t oldColour = s.destbase;
    ASSERT_TRUE(makeAnew(0, RSBFormat_R5G6B5));
    EXPECT_EQ(r.context->PlanePixels(MGLContext::Plane::Colour), nullptr);
    EXPECT_EQ(MGLContextCore::Of(*r.context).GuestMemory().ToHost(oldColour, 1), nullptr);
    r.context->ClearColorPlane(16, 16);

    r.Reset();
    s.depthTest = 1;
    ASSERT_TRUE(r.poly->BindNativeSpan(SpanFlatDepth, MGLNativeSpanLayout{1, 0, 0, 0, 3}));
    r.SetPositions({{-1, -1, -2}, {1, -1, -2}, {0, 1, -2}, {-1, -1, -2}, {1, -1, -2}, {0, 1, -2}});
    const uint32_t oldDepth = s.zbase;
    r.poly->SetVertexHook([&makeAnew](int32_t*, int32_t n) {
        if (n == 3) {
            ASSERT_TRUE(makeAnew(1, RSBFormat_Z32));
        }
    });
    r.poly->DrawPolygons(3, 6, 2);
    EXPECT_EQ(r.context->PlanePixels(MGLContext::Plane::Depth), nullptr);
    EXPECT_EQ(MGLContextCore::Of(*r.context).GuestMemory().ToHost(oldDepth, 1), nullptr);
}

// Span code that counts its rows in spans_shaded; on the rows from
// `spinFrom` on it spins, counting its rounds in pixels_shaded, until the
// budget ends the call. Before that, when regs[0] is not 0, it moves the
// edges of the polygon fill out to the whole target.
MGLShaderState CountingState(int32_t fillMode, uint32_t spinFrom) {
    using namespace SpanAsm;
    constexpr uint32_t rows = offsetof(MGLRecord, spans_shaded);
    constexpr uint32_t rounds = offsetof(MGLRecord, pixels_shaded);
    constexpr uint32_t flag = offsetof(MGLRecord, regs);
    constexpr uint32_t leftX = offsetof(MGLRecord, le) + 4 * RenderPoly::kWordPixelX;
    constexpr uint32_t rightX = offsetof(MGLRecord, re) + 4 * RenderPoly::kWordPixelX;
    Program code;
    code << XferImm(true, false, PreIndex, true, 3, 0, rows) << DataImm(ADD, false, 3, 3, 1)
         << XferImm(false, false, PreIndex, true, 3, 0, rows) << DataImm(CMP, S, 0, 3, spinFrom);
    const size_t toSpin = code.BranchForward(GE);
    code << XferImm(true, false, PreIndex, true, 4, 0, flag) << DataImm(CMP, S, 0, 4, 0)
         << DataImm(MOV, false, 5, 0, 0x81, 4, NE) << DataImm(MOV, false, 6, 0, 0x7F, 4, NE)
         << XferImm(false, false, PreIndex, true, 5, 0, leftX, NE) << XferImm(false, false, PreIndex, true, 6, 0, rightX, NE)
         << Bx(14);
    code.Bind(toSpin);
    const size_t spin = code.Here();
    code << XferImm(true, false, PreIndex, true, 3, 0, rounds) << DataImm(ADD, false, 3, 3, 1)
         << XferImm(false, false, PreIndex, true, 3, 0, rounds);
    code.BranchTo(spin);
    return ShaderStateBuilder()
        .Code(code.Words())
        .Keys({{MGLShaderState::kKeyInterpolants, 1},
               {MGLShaderState::kKeyHasDepthInterpolant, 0xFFFFFFFFu},
               {MGLShaderState::kKeyFillMode, static_cast<uint32_t>(fillMode)}})
        .State();
}

// Rounds the spinning rows of one 2D draw of a small triangle ran.
int32_t SpinRounds(rig::Renderer& r, int32_t fillMode, bool widen) {
    const MGLShaderState state = CountingState(fillMode, 2);
    r.Reset();
    r.UseScreenBounds();
    EXPECT_TRUE(r.context->BindShaderState(&state));
    r.context->SetRegister(0, widen ? 1 : 0);
    r.SetPositions({{10, 10}, {14, 10}, {12, 16}});
    r.poly->DrawPolygon2D(0, 3, 0);
    EXPECT_EQ(r.context->Record().spans_shaded, 2);
    return r.context->Record().pixels_shaded;
}

// A fill allows span code each row's share and each of its pixels' share,
// for the rows and pixels it covers: code spinning from its first row runs
// that many instructions, five before its first round and four a round,
// which counts itself with the third.
TEST(RenderPolyHostileTest, AFillAllowsEachRowAndEachPixelItsShare) {
    rig::Renderer r(64, 48);
    ASSERT_TRUE(r.ok);
    for (const int32_t fillMode : {1, 3}) {
        r.Reset();
        r.UseScreenBounds();
        r.RecordSpans(fillMode);
        r.SetPositions({{0, 0}, {9, 0}, {3, 7}});
        r.poly->DrawPolygon2D(0, 3, 0);
        ASSERT_EQ(r.calls.front().row, 0);
        int64_t allowed = 0;
        for (const rig::SpanCall& call : r.calls) {
            const int32_t pixels = rig::EndPixel(call.r2) - rig::FirstPixel(call.r1);
            allowed += RenderPoly::kSpanBudgetPerRow + RenderPoly::kSpanBudgetPerPixel * std::max(pixels, 0);
        }
        const MGLShaderState spinning = CountingState(fillMode, 1);
        ASSERT_TRUE(r.context->BindShaderState(&spinning));
        r.poly->DrawPolygon2D(0, 3, 0);
        EXPECT_EQ(r.context->Record().spans_shaded, 1);
        EXPECT_EQ(r.context->Record().pixels_shaded, (allowed - 4) / 4) << "fill mode " << fillMode;
    }

    // Two 4 x 4 rectangles of one call: the second, spinning, has what the
    // first's four rows of twelve instructions left on top of its own.
    const auto secondRectRounds = [&r](int32_t first, int32_t spinFrom) {
        const MGLShaderState state = CountingState(1, static_cast<uint32_t>(spinFrom));
        r.Reset();
        r.UseScreenBounds();
        EXPECT_TRUE(r.context->BindShaderState(&state));
        r.context->SetRegister(0, 0);
        r.SetPositions({{0, 0}, {4, 4}, {10, 0}, {14, 4}});
        r.poly->DrawRects2D(first, 4 - first, 0);
        return r.context->Record().pixels_shaded;
    };
    constexpr int64_t kCheapRow = 12;
    const int64_t firstLeft = 4 * (RenderPoly::kSpanBudgetPerRow + 4 * RenderPoly::kSpanBudgetPerPixel - kCheapRow);
    EXPECT_EQ(secondRectRounds(0, 5) - secondRectRounds(2, 1), firstLeft / 4);
}

// The polygon fill's budget follows its own row ends: span code moving the
// edges in the record out to the whole target buys no more instructions.
TEST(RenderPolyHostileTest, EdgesSpanCodeWidensBuyNoBudget) {
    rig::Renderer r(64, 48);
    ASSERT_TRUE(r.ok);
    const int32_t fair = SpinRounds(r, 1, false);
    EXPECT_GT(fair, 0);
    EXPECT_NEAR(SpinRounds(r, 1, true), fair, 1);
}

// Span code whose every row costs more than a narrow first row's share
// draws every row when the polygon as a whole pays for them.
TEST(RenderPolyHostileTest, SetUpHeavierThanTheFirstRowDrawsWhenThePolygonPaysForIt) {
    using namespace SpanAsm;
    rig::Renderer r(64, 48);
    ASSERT_TRUE(r.ok);
    Program code;
    code << DataImm(MOV, false, 4, 0, 0xA0, 14);  // 2560 rounds of two instructions
    const size_t loop = code.Here();
    code << DataImm(SUB, S, 4, 4, 1);
    code.BranchTo(loop, NE);
    code << XferImm(true, false, PreIndex, true, 3, 0, offsetof(MGLRecord, spans_shaded))
         << DataImm(ADD, false, 3, 3, 1)
         << XferImm(false, false, PreIndex, true, 3, 0, offsetof(MGLRecord, spans_shaded)) << Bx(14);
    for (const uint32_t fillMode : {1u, 3u}) {
        const MGLShaderState state =
            ShaderStateBuilder()
                .Code(code.Words())
                .Keys({{MGLShaderState::kKeyInterpolants, 1},
                       {MGLShaderState::kKeyHasDepthInterpolant, 0xFFFFFFFFu},
                       {MGLShaderState::kKeyFillMode, fillMode}})
                .State();
        r.Reset();
        r.UseScreenBounds();
        ASSERT_TRUE(r.context->BindShaderState(&state));
        r.SetPositions({{32, 5}, {54, 25}, {10, 25}});
        r.poly->DrawPolygon2D(0, 3, 0);
        EXPECT_EQ(r.context->Record().spans_shaded, 20) << "fill mode " << fillMode;
    }
}

// What one call leaves of its budget is not the next call's: a spinning
// draw runs as long after a cheap wide one as on its own.
TEST(RenderPolyHostileTest, BudgetLeftByACallIsNotTheNextOnes) {
    rig::Renderer r(64, 48);
    ASSERT_TRUE(r.ok);
    const int32_t alone = SpinRounds(r, 3, false);
    const MGLShaderState cheap = CountingState(3, 255);
    r.Reset();
    r.UseScreenBounds();
    ASSERT_TRUE(r.context->BindShaderState(&cheap));
    r.SetPositions({{0, 0}, {64, 0}, {64, 48}});
    r.poly->DrawPolygon2D(0, 3, 0);
    const MGLShaderState spinning = CountingState(3, 2);
    ASSERT_TRUE(r.context->BindShaderState(&spinning));
    r.context->Record().spans_shaded = 0;
    r.SetPositions({{10, 10}, {14, 10}, {12, 16}});
    r.poly->DrawPolygon2D(0, 3, 0);
    EXPECT_EQ(r.context->Record().pixels_shaded, alone);
}

// Rows above the planes are never handed to span code, whatever the
// record's scissor and clip bounds say.
TEST(RenderPolyHostileTest, NoRowAboveThePlanesReachesSpanCode) {
    rig::Renderer r(64, 48);
    ASSERT_TRUE(r.ok);
    r.UseScreenBounds();
    MGLRecord& s = r.context->Record();
    s.ccy0 = -10 * ONE;
    s.scissory0 = -10;
    for (const int32_t fillMode : {1, 3}) {
        r.RecordSpans(fillMode);
        r.SetPositions({{20, -6}, {30, 6}, {10, 6}});
        r.poly->DrawPolygon2D(0, 3, 0);
        ASSERT_FALSE(r.calls.empty()) << fillMode;
        EXPECT_EQ(r.calls.front().row, 0) << fillMode;
    }
}

}  // namespace

namespace {

// The record's bytes, then the colour and the depth plane's.
std::vector<std::vector<uint8_t>> RecordAndPlanes(const rig::Renderer& r) {
    const MGLRecord& s = r.context->Record();
    std::vector<std::vector<uint8_t>> bytes = {Bytes(&s, sizeof s), {}, {}};
    for (int32_t y = 0; y < r.Height(); ++y) {
        for (const uint32_t plane : {0u, 1u}) {
            const std::vector<uint8_t> row = Bytes(r.Row(plane, y), static_cast<size_t>(r.Width()) * (plane + 1) * 2);
            bytes[plane + 1].insert(bytes[plane + 1].end(), row.begin(), row.end());
        }
    }
    return bytes;
}

// The record, colour and depth bytes after a textured quad of a dozen
// rows drawn with SpanTexturedPerspective bound as it is (its rows handed
// over at once) or behind a wrapper (row by row). The texture's level lies
// over the record's plane terms and interpolants, which the rows step:
// each row's texels are what the rows before it left there. With
// `stride`, the colour rows step by it rather than by the plane's pitch.
std::vector<std::vector<uint8_t>> TexturedOverTheRecord(bool wrapped, int32_t stride) {
    rig::Renderer r(32, 24);
    EXPECT_TRUE(r.ok);
    MGLContext& context = *r.context;
    const int32_t slot = context.Buffers()->AllocBuffer(16, 24, RSBFormat_R5G6B5, 0);
    context.BindBufferToUnit(0, slot, *context.Buffers());
    MGLRecord& s = context.Record();
    s.texture_units[0].b.levels[0] =
        MGLContextCore::Of(context).RecordGuestAddress() + static_cast<uint32_t>(offsetof(MGLRecord, K2x));
    context.SetViewport(0, 0, r.Width(), r.Height(), 0, ONE / 16);
    context.UpdateProjection(1);
    const MGLNativeSpanLayout layout{3, 0, 0, 6, 3};
    if (wrapped) {
        r.poly->BindNativeSpan([](MGLContext& c, uint32_t x0, uint32_t x1) { SpanTexturedPerspective(c, x0, x1); },
                               layout);
    } else {
        r.poly->BindNativeSpan(SpanTexturedPerspective, layout);
    }
    s.perspectiveGradients = 1;
    if (stride != 0) s.deststride = stride;
    r.poly->SetVertexHook([](int32_t* vertex, int32_t n) {
        vertex[15] = n % 4 == 1 || n % 4 == 2 ? 16 * ONE : 0;
        vertex[16] = n % 4 >= 2 ? 24 * ONE : 0;
    });
    r.SetPositions({{-1, -1, -2}, {1, -1, -2.5}, {1, 1, -3}, {-1, 1, -2.5}});
    r.FillPlane(0, 0x55);
    r.poly->DrawPolygons(4, 4, 1);
    return RecordAndPlanes(r);
}

// The same for a flat quad drawn with SpanFlatDepth over a depth plane
// whose left half it passes, the rows' last one clipped off by the
// scissor: the rows at once step the record themselves and leave it, at
// their end, as the fill's steps and the last row drawn would have.
std::vector<std::vector<uint8_t>> FlatOverHalfTheDepths(bool wrapped) {
    rig::Renderer r(32, 24);
    EXPECT_TRUE(r.ok);
    const MGLNativeSpanLayout layout{1, 0, 0, 0, 3};
    if (wrapped) {
        r.poly->BindNativeSpan([](MGLContext& c, uint32_t x0, uint32_t x1) { SpanFlatDepth(c, x0, x1); }, layout);
    } else {
        r.poly->BindNativeSpan(SpanFlatDepth, layout);
    }
    MGLRecord& s = r.context->Record();
    s.drawColor[1] = 200;
    s.drawColor[2] = 100;
    s.drawColor[3] = 50;
    s.scissory1 = r.Height() - 8;
    r.SetPositions({{-1, -1, -2}, {1, -1, -2.5}, {1, 1, -3}, {-1, 1, -2.5}});
    r.FillPlane(0, 0x55);
    r.FillPlane(1, 0);
    for (int32_t y = 0; y < r.Height(); ++y) std::memset(r.Row(1, y) + r.Width() * 2, 0xFF, r.Width() * 2);
    r.poly->DrawPolygons(4, 4, 1);
    return RecordAndPlanes(r);
}

}  // namespace

// A triangle's rows handed to a portable span at once leave the record and
// the planes as its rows one by one do, whatever the rows read of what the
// rows before them wrote, and whether the colour rows are the plane's own
// in order or ones a stride of the caller's picks out (to past the plane).
TEST(RenderPolyHostileTest, RowsDrawnAtOnceLeaveWhatRowsOneByOneDo) {
    for (const int32_t stride : {0, 3 * 32 * 2}) {
        const auto byRow = TexturedOverTheRecord(true, stride);
        const auto atOnce = TexturedOverTheRecord(false, stride);
        EXPECT_NE(byRow[2], std::vector<uint8_t>(byRow[2].size(), 0)) << "stride " << stride;
        EXPECT_EQ(atOnce[0], byRow[0]) << "record, stride " << stride;
        EXPECT_EQ(atOnce[1], byRow[1]) << "colour, stride " << stride;
        EXPECT_EQ(atOnce[2], byRow[2]) << "depth, stride " << stride;
    }
    const auto flatByRow = FlatOverHalfTheDepths(true);
    const auto flatAtOnce = FlatOverHalfTheDepths(false);
    EXPECT_NE(flatByRow[1], std::vector<uint8_t>(flatByRow[1].size(), 0x55)) << "flat";
    EXPECT_EQ(flatAtOnce[0], flatByRow[0]) << "flat record";
    EXPECT_EQ(flatAtOnce[1], flatByRow[1]) << "flat colour";
    EXPECT_EQ(flatAtOnce[2], flatByRow[2]) << "flat depth";
}
