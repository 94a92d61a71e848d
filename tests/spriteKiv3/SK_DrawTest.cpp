// Pictures drawn into the frame against pictures the test paints itself,
// and the hit test, bounds and boxes of the same pictures.

#include <algorithm>

#include "CColor.h"
#include "ImageFileBuilder.h"
#include "SK_Presenter.h"
#include "SpriteFixture.h"

namespace spritetest {
namespace {

constexpr int32_t kOriginX = 20;
constexpr int32_t kOriginY = 16;
constexpr uint32_t kFilledRgb = kFilledArgb & 0xFFFFFF;
constexpr uint32_t kHalfRedRgb = kHalfRedArgb & 0xFFFFFF;

class SpriteDrawTest : public SpriteTest {
protected:
    void Show(uint8_t set, uint8_t sprite, uint32_t animation, uint8_t transform, uint32_t frame = 0,
              int32_t x = kOriginX, int32_t y = kOriginY) {
        ASSERT_TRUE(Prepare(set, sprite));
        m_presenter.SetSprite(set, sprite);
        m_presenter.SetAnimation(animation, transform, true);
        if (frame != 0) m_presenter.SeekFrame(frame);
        ASSERT_TRUE(m_presenter.IsReady());
        ClearFrame();
        m_presenter.Draw(x, y);
    }

    // The picture of variant v of the first picture, or of module 8.
    static Picture ModulePicture(uint16_t module) {
        return module == 8 ? SecondPictureRecoloured() : Transformed(FirstPicture(), static_cast<uint8_t>(module));
    }

    // A presenter transform that exchanges the axes shows an image from the
    // slot's other half, which exists only when the sprite holds a variant
    // of that half: module 8's slot has only its low half.
    static bool ShowsModule8(uint8_t transform) { return transform < 4; }

    // Set 0, frame f0 as stored under the presenter's transform: its parts
    // painted last to first, so that the first stored part lies on top.
    static void PaintFrame0(Canvas* canvas, uint8_t transform) {
        if (ShowsModule8(transform)) canvas->Paint(ModulePicture(8), 1, -5);
        canvas->Fill(-2, 1, 3, 2, kFilledRgb);
        canvas->Paint(ModulePicture(0), -6, -5);
    }

    SK_Presenter m_presenter;
};

TEST_P(SpriteDrawTest, AFrameIsItsPartsAtTheirOffsetsUnderEachTransform) {
    LoadStandard();
    for (uint8_t transform : {0, 2}) {
        SCOPED_TRACE(static_cast<int>(transform));
        Show(0, 0, 0, transform);
        Canvas canvas;
        PaintFrame0(&canvas, transform);
        ExpectFrame(canvas.Shown(transform, kOriginX, kOriginY));
    }
}

// Pose p1 puts frame f1 (variant 5 of the first picture, a box) at (2, 1)
// over f0: every presenter transform combines with the stored variant.
TEST_P(SpriteDrawTest, PosesLayFramesOverOneAnotherUnderAllTransforms) {
    LoadStandard();
    for (uint8_t transform = 0; transform < 8; ++transform) {
        SCOPED_TRACE(static_cast<int>(transform));
        Show(0, 0, 0, transform, 1);
        Canvas canvas;
        PaintFrame0(&canvas, transform);
        canvas.Paint(ModulePicture(5), 2, 1);
        ExpectFrame(canvas.Shown(transform, kOriginX, kOriginY));
    }
}

TEST_P(SpriteDrawTest, EveryStoredVariantUnderEveryTransform) {
    LoadStandard();
    for (uint8_t transform = 0; transform < 8; ++transform) {
        SCOPED_TRACE(static_cast<int>(transform));
        Canvas canvas;
        for (uint16_t module = 0; module <= 8; ++module) {
            if (module != 8 || ShowsModule8(transform)) canvas.Paint(ModulePicture(module), 5 * module, 0);
        }
        // An origin that keeps the whole row, turned, inside the frame.
        int32_t minX = 0;
        int32_t minY = 0;
        for (const auto& [point, rgb] : canvas.Shown(transform, 0, 0)) {
            minX = std::min(minX, point.first);
            minY = std::min(minY, point.second);
        }
        Show(1, 4, 0, transform, 0, 1 - minX, 1 - minY);
        ExpectFrame(canvas.Shown(transform, 1 - minX, 1 - minY));
    }
}

TEST_P(SpriteDrawTest, ModuleMapsReplaceOverlayAndUnderlay) {
    LoadStandard();
    // Map 0: module 0 becomes 8 at (1, 1); 8 is laid over 9 at (2, 0).
    Show(0, 1, 0, 0);
    Canvas replaced;
    replaced.Paint(ModulePicture(8), 1, -5);
    replaced.Fill(-2, 1, 3, 2, kFilledRgb);
    replaced.Paint(ModulePicture(8), 0, 1);
    replaced.Paint(ModulePicture(8), -5, -4);
    ExpectFrame(replaced.Shown(0, kOriginX, kOriginY));
    // Map 1: the half-transparent red is laid, opaque, under module 0.
    Show(0, 2, 0, 0);
    Canvas under;
    under.Paint(ModulePicture(8), 1, -5);
    under.Fill(-2, 1, 3, 2, kFilledRgb);
    under.Fill(-6, -5, 2, 1, kHalfRedRgb);
    under.Paint(ModulePicture(0), -6, -5);
    ExpectFrame(under.Shown(0, kOriginX, kOriginY));
}

TEST_P(SpriteDrawTest, InvisibleBoxesShowOnlyWhenAsked) {
    LoadStandard();
    // Box 10 lies at (-4, -6); its top-left corner is covered by nothing.
    Show(0, 0, 0, 0);
    EXPECT_EQ(Frame(kOriginX - 4, kOriginY - 6), imagetest::ExpectedPixel(Format(), kClearRgb, 0));
    Home()->SetDebugBoxes(true);
    ClearFrame();
    m_presenter.Draw(kOriginX, kOriginY);
    EXPECT_EQ(Frame(kOriginX - 4, kOriginY - 6), imagetest::ExpectedPixel(Format(), 0x00FF00, 0));
    EXPECT_EQ(Frame(kOriginX, kOriginY - 1), imagetest::ExpectedPixel(Format(), 0x00FF00, 0));
    Home()->SetDebugBoxes(false);
}

// The parts of frame f0 in picture coordinates: module 0 (4 x 3) at
// (-6, -5), the filled 3 x 2 at (-2, 1), the 5 x 6 body box at (-4, -6),
// module 8 (3 x 2, attribute 1) at (1, -5).
TEST_P(SpriteDrawTest, HitsAreTheFirstStoredPartOverlappedAndTouchingIsNoHit) {
    LoadStandard();
    Show(0, 0, 0, 0);
    struct HitCase {
        int16_t x, y, w, h;
        int32_t expected;
    };
    const HitCase cases[] = {
        {0, 0, 1, 1, -1},         // touches the box's bottom and the fill's top
        {0, -1, 1, 1, kRectBody},  // inside the box only
        {-3, -4, 2, 2, 0},         // module 0 and the box: the first stored wins
        {1, -5, 1, 1, 8},          // module 8, outside the box
        {-9, -9, 30, 30, 0},       // everything
        {4, -5, 3, 3, -1},         // right of module 8
    };
    for (const HitCase& c : cases) {
        CRect rect;
        rect.Set(c.x, c.y, c.w, c.h);
        EXPECT_EQ(m_presenter.HitTest(rect), c.expected) << c.x << ", " << c.y;
    }
    m_presenter.SetOffset(5, 5);
    CRect shifted;
    shifted.Set(5, 4, 1, 1);
    EXPECT_EQ(m_presenter.HitTest(shifted), kRectBody);
}

TEST_P(SpriteDrawTest, BoundsCoverEveryPartUnderTheTransform) {
    LoadStandard();
    struct BoundsCase {
        uint8_t transform;
        int16_t x, y, w, h;
    };
    const BoundsCase cases[] = {{0, -6, -6, 10, 9}, {2, -4, -6, 10, 9}, {1, -6, -3, 10, 9}, {4, -6, -6, 9, 10}};
    for (const BoundsCase& c : cases) {
        Show(0, 0, 0, c.transform);
        m_presenter.SetOffset(0, 0);
        CRect rect;
        m_presenter.GetFrameRect(&rect);
        EXPECT_EQ(rect.x, c.x) << static_cast<int>(c.transform);
        EXPECT_EQ(rect.y, c.y) << static_cast<int>(c.transform);
        EXPECT_EQ(rect.width, c.w) << static_cast<int>(c.transform);
        EXPECT_EQ(rect.height, c.h) << static_cast<int>(c.transform);
    }
    m_presenter.SetOffset(100, -50);
    CRect rect;
    m_presenter.GetFrameRect(&rect);
    EXPECT_EQ(rect.x, 100 - 6);
    EXPECT_EQ(rect.y, -50 - 6);
}

TEST_P(SpriteDrawTest, BoxesOfAttributesOneToFour) {
    LoadStandard();
    Show(0, 2, 0, 0);
    m_presenter.SetOffset(7, 7);
    ASSERT_TRUE(m_presenter.ComputeMainBox());
    EXPECT_EQ(std::vector<int32_t>(m_presenter.GetMainBox(), m_presenter.GetMainBox() + 4),
              (std::vector<int32_t>{-4, -6, 5, 6}));
    ASSERT_TRUE(m_presenter.ComputeBox(2));
    EXPECT_EQ(std::vector<int32_t>(m_presenter.GetBox(), m_presenter.GetBox() + 4),
              (std::vector<int32_t>{-2, 1, 3, 2}));
    EXPECT_FALSE(m_presenter.ComputeBox(3));
    ASSERT_TRUE(m_presenter.ComputeBox(4));
    EXPECT_EQ(std::vector<int32_t>(m_presenter.GetBox(), m_presenter.GetBox() + 4),
              (std::vector<int32_t>{-6, -5, 2, 1}));
    // Mirrored, and on the frame that holds the box of attribute 3.
    m_presenter.SetTransform(2);
    m_presenter.SeekFrame(1);
    ASSERT_TRUE(m_presenter.ComputeBox(3));
    EXPECT_EQ(std::vector<int32_t>(m_presenter.GetBox(), m_presenter.GetBox() + 4),
              (std::vector<int32_t>{-5, 2, 2, 2}));
    ASSERT_TRUE(m_presenter.ComputeMainBox());
    EXPECT_EQ(std::vector<int32_t>(m_presenter.GetMainBox(), m_presenter.GetMainBox() + 4),
              (std::vector<int32_t>{-1, -6, 5, 6}));
}

// Transforms as 2 x 2 matrices: mirrors first, then the exchange. Showing
// variant v under presenter transform t must equal showing the combined
// variant.
TEST(SpriteTransform, CombinationComposesTheTwoTransforms) {
    struct Matrix {
        int a, b, c, d;
    };
    auto matrixOf = [](uint8_t t) {
        const int mx = (t & 2) != 0 ? -1 : 1;
        const int my = (t & 1) != 0 ? -1 : 1;
        return (t & 4) != 0 ? Matrix{0, my, mx, 0} : Matrix{mx, 0, 0, my};
    };
    auto multiply = [](const Matrix& l, const Matrix& r) {
        return Matrix{l.a * r.a + l.b * r.c, l.a * r.b + l.b * r.d, l.c * r.a + l.d * r.c, l.c * r.b + l.d * r.d};
    };
    for (uint8_t t = 0; t < 8; ++t) {
        for (uint8_t v = 0; v < 8; ++v) {
            const Matrix product = multiply(matrixOf(t), matrixOf(v));
            const Matrix combined = matrixOf(SK_Home::CombineTransform(t, v));
            EXPECT_TRUE(product.a == combined.a && product.b == combined.b && product.c == combined.c &&
                        product.d == combined.d)
                << "t " << int(t) << " v " << int(v);
        }
    }
    EXPECT_EQ(SK_Home::CombineTransform(1, 5), 7);
    EXPECT_EQ(SK_Home::CombineTransform(2, 1), 3);
}

INSTANTIATE_TEST_SUITE_P(Formats, SpriteDrawTest, ::testing::Values(RSBFormat_R5G6B5, RSBFormat_X8R8G8B8),
                         FormatName);

}  // namespace
}  // namespace spritetest
