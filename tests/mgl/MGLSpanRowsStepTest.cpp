#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

#include "CPixelChannels.h"
#include "CRenderSurface.h"
#include "CRenderSurfaceAttribute.h"
#include "CRenderSurfaceBuffer.h"
#include "CTextureObject_MGL.h"
#include "MGLSpans.h"
#include "RenderPolyRig.h"

using rig::ONE;

namespace {

constexpr int32_t kWidth = 8;
constexpr int32_t kRows = 4;
constexpr int32_t kTextureSide = 4;
constexpr uint16_t kTexel = 0xF800;

using RowsSpan = void (*)(MGLContext& context, const MGLSpanRows& rows);

struct NamedSpan {
    const char* name;
    RowsSpan span;
};

constexpr NamedSpan kSpans[] = {{"flat", SpanRowsFlatDepth}, {"textured", SpanRowsTexturedPerspective}};

// The record at row y of the target: depth, u and v the same at every pixel,
// no depth test, a colour for the flat span.
void AtRow(MGLContext& context, int32_t y) {
    MGLRecord& s = context.Record();
    s.destptr = s.destbase + static_cast<uint32_t>(y * s.deststride);
    s.zptr = s.zbase + static_cast<uint32_t>(y * s.zstride);
    s.numInterpolants = 3;
    s.depthInterpolant = 0;
    s.depthTest = 0;
    s.depthWrite = 0;
    s.drawColor[1] = 255;
    for (int32_t i = 0; i < 3; ++i) {
        s.intp_y[i] = ONE;
        s.intp_dx[i] = 0;
    }
}

// A host's fill over every row of the target, handed to a span in one
// call: its step moves the record to the row below, having run `before`
// first as it comes to row `at`. What `before` does may delete the context.
class HostRows {
public:
    HostRows(rig::Renderer& r, int32_t at, std::function<void()> before)
        : m_r(r), m_at(at), m_before(std::move(before)) {
        for (int32_t y = 0; y < kRows; ++y) {
            m_left[y] = 0;
            m_right[y] = kWidth * ONE - 1;
        }
        AtRow(*m_r.context, 0);
    }

    MGLSpanRows Rows() { return MGLSpanRows{m_left, m_right, kRows, &HostRows::Next, this, nullptr}; }
    int32_t Steps() const { return m_row; }

private:
    static void Next(void* self) { static_cast<HostRows*>(self)->Step(); }
    void Step() {
        ++m_row;
        if (m_row == m_at) m_before();
        if (m_r.context != nullptr) AtRow(*m_r.context, m_row);
    }

    rig::Renderer& m_r;
    int32_t m_at;
    std::function<void()> m_before;
    int32_t m_row = 0;
    int32_t m_left[kRows];
    int32_t m_right[kRows];
};

// An r5g6b5 texture of one texel value, bound to unit 0 of the device's
// context.
std::unique_ptr<CTextureObject_MGL> BoundTexture() {
    auto texture = std::make_unique<CTextureObject_MGL>();
    CRenderSurface* surface = nullptr;
    texture->GetSurface(&surface);
    const CRenderSurfaceAttribute attributes[] = {{kSurfaceAttrWidth, kTextureSide},
                                                  {kSurfaceAttrHeight, kTextureSide},
                                                  {kSurfaceAttrColorFormat, RSBFormat_R5G6B5},
                                                  {kSurfaceAttrEnd, 0}};
    if (surface == nullptr || !surface->Create(attributes)) return nullptr;
    auto* texels = static_cast<uint8_t*>(surface->GetPlane(0)->GetPixels(0));
    for (int32_t i = 0; i < kTextureSide * kTextureSide; ++i) PixelChannels::Store16(texels + 2 * i, kTexel);
    texture->BindToUnit(0);
    return texture;
}

// A target of kRows rows with the texture bound to unit 0: where each
// test starts.
struct TexturedTarget {
    rig::Renderer r{kWidth, kRows};
    std::unique_ptr<CTextureObject_MGL> texture = r.ok ? BoundTexture() : nullptr;

    bool Ok() const { return texture != nullptr; }
};

// Whether every pixel of row y of the device's current surface is drawn
// (`drawn`), or none is.
bool RowIs(const rig::Renderer& r, int32_t y, bool drawn) {
    for (int32_t x = 0; x < kWidth; ++x) {
        if ((r.Pixel16(x, y) != 0) != drawn) return false;
    }
    return true;
}

// Whether the two rows before the step are drawn (`firstDrawn`) and the two
// after it blank, or the other way round.
bool HalvesAre(const rig::Renderer& r, bool firstDrawn) {
    return RowIs(r, 0, firstDrawn) && RowIs(r, 1, firstDrawn) && RowIs(r, 2, !firstDrawn) &&
           RowIs(r, 3, !firstDrawn);
}

// Whether the first `drawn` rows are drawn and the others blank.
bool FirstRowsDrawn(const rig::Renderer& r, int32_t drawn) {
    for (int32_t y = 0; y < kRows; ++y) {
        if (!RowIs(r, y, y < drawn)) return false;
    }
    return true;
}

// The step re-makes the target and binds it: the rows after it are drawn
// into the new planes, none into the old ones' freed memory.
TEST(MGLSpanRowsStepTest, RowsAfterAStepThatRemakesTheTargetAreDrawnIntoTheNewPlanes) {
    for (const NamedSpan& span : kSpans) {
        SCOPED_TRACE(span.name);
        TexturedTarget target;
        ASSERT_TRUE(target.Ok());
        rig::Renderer& r = target.r;
        HostRows rows(r, 2, [&r] {
            ASSERT_TRUE(r.device.MakeSurface(kWidth, kRows, RSBFormat_R5G6B5, RSBFormat_Z32));
            ASSERT_TRUE(r.context->BindRenderTarget());
        });
        span.span(*r.context, rows.Rows());
        EXPECT_EQ(rows.Steps(), kRows);
        EXPECT_TRUE(HalvesAre(r, false));
    }
}

// The step deletes the texture bound to unit 0: the rows after it sample
// the emptied unit, not the texture's freed texels.
TEST(MGLSpanRowsStepTest, RowsAfterAStepThatDeletesTheTextureSampleNone) {
    TexturedTarget target;
    ASSERT_TRUE(target.Ok());
    HostRows rows(target.r, 2, [&target] { target.texture.reset(); });
    SpanRowsTexturedPerspective(*target.r.context, rows.Rows());
    EXPECT_EQ(rows.Steps(), kRows);
    EXPECT_TRUE(HalvesAre(target.r, true));
}

// The step rewrites unit 0's filter: the rows after it are drawn as a
// call of their own would, which samples no texel in a mode without a
// filter rule.
TEST(MGLSpanRowsStepTest, RowsAfterAStepThatRewritesUnitZerosFilterSampleAsItSays) {
    TexturedTarget target;
    ASSERT_TRUE(target.Ok());
    MGLContext& context = *target.r.context;
    HostRows rows(target.r, 2, [&context] { context.Record().texture_units[0].filter_mode = 8; });
    SpanRowsTexturedPerspective(context, rows.Rows());
    EXPECT_EQ(rows.Steps(), kRows);
    EXPECT_TRUE(HalvesAre(target.r, true));
}

// The step deletes the context, at the call's first step or a later one:
// the call ends there, touching it no more and stepping no further.
TEST(MGLSpanRowsStepTest, AStepThatDeletesTheContextEndsTheCall) {
    for (const NamedSpan& span : kSpans) {
        for (const int32_t at : {1, 2}) {
            SCOPED_TRACE(testing::Message() << span.name << " at step " << at);
            TexturedTarget target;
            ASSERT_TRUE(target.Ok());
            rig::Renderer& r = target.r;
            HostRows rows(r, at, [&r] { r.context.reset(); });
            span.span(*r.context, rows.Rows());
            EXPECT_EQ(rows.Steps(), at);
            EXPECT_TRUE(FirstRowsDrawn(r, at));
        }
    }
}

}  // namespace
