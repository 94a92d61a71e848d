#include "CDrawUtil.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "RendererFixture.h"

namespace {

constexpr uint32_t kWhite = 0xFFFF;

class DrawUtilTest : public rendertest::RendererTest {};

TEST_F(DrawUtilTest, FillRectCoversFromTheFirstCornerUpToTheSecond) {
    CDrawUtil::FillRect(2, 3, 7, 9, 0xFFFFFFFFu);
    EXPECT_EQ(Where(kWhite), RectPositions(2, 3, 5, 6));
    // The colour stays the renderer's.
    EXPECT_EQ(m_renderer->GetColor().packed, 0xFFFFFFFFu);

    m_device->Clear(CGraphics::kClearColor);
    CRect rect;
    rect.Set(10, 10, 4, 3);
    CDrawUtil::FillRect(rect, 0xFFFFFFFFu);
    EXPECT_EQ(Where(kWhite), RectPositions(10, 10, 4, 3));
}

TEST_F(DrawUtilTest, FrameEdgesCanBeSkipped) {
    CRect rect;
    rect.Set(1, 1, 8, 6);
    CDrawUtil::DrawRectFrame(rect, 0xFFFFFFFFu, 2, CDrawUtil::kEdgeTop | CDrawUtil::kEdgeBottom |
                                                       CDrawUtil::kEdgeLeft | CDrawUtil::kEdgeRight);
    EXPECT_TRUE(Where(kWhite).empty());

    CDrawUtil::DrawRectFrame(rect, 0xFFFFFFFFu, 2, CDrawUtil::kEdgeTop | CDrawUtil::kEdgeBottom);
    std::vector<uint32_t> expected = RectPositions(1, 1, 2, 6);
    const std::vector<uint32_t> right = RectPositions(7, 1, 2, 6);
    expected.insert(expected.end(), right.begin(), right.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Where(kWhite), expected);

    m_device->Clear(CGraphics::kClearColor);
    CDrawUtil::DrawRectFrame(rect, 0xFFFFFFFFu, 1, 0);
    EXPECT_EQ(Where(kWhite).size(), 2u * 8u + 2u * 4u);
    EXPECT_EQ(Frame(2, 2), 0u);
    EXPECT_EQ(Frame(8, 6), kWhite);
}

TEST_F(DrawUtilTest, LinesIncludeBothEndPoints) {
    CDrawUtil::DrawLine(1, 1, 6, 1, 0xFFFFFFFFu);
    EXPECT_EQ(Where(kWhite), RectPositions(1, 1, 6, 1));
    m_device->Clear(CGraphics::kClearColor);
    CDrawUtil::DrawLine(3, 9, 3, 4, 0xFFFFFFFFu);
    EXPECT_EQ(Where(kWhite), RectPositions(3, 4, 1, 6));
    m_device->Clear(CGraphics::kClearColor);
    CDrawUtil::DrawLine(0, 0, 4, 4, 0xFFFFFFFFu);
    EXPECT_EQ(Where(kWhite), (std::vector<uint32_t>{0, m_width + 1, 2 * m_width + 2, 3 * m_width + 3, 4 * m_width + 4}));
    m_device->Clear(CGraphics::kClearColor);
    CDrawUtil::DrawLine(5, 5, 5, 5, 0xFFFFFFFFu);
    EXPECT_EQ(Where(kWhite), RectPositions(5, 5, 1, 1));
    // Blended, each pixel is covered once.
    m_device->Clear(CGraphics::kClearColor);
    m_renderer->Enable(CGraphics2d_Lite::kCapBlend);
    CDrawUtil::DrawLine(1, 1, 4, 1, 0x80FFFFFFu);
    const uint32_t once = Frame(1, 1);
    EXPECT_NE(once, 0u);
    EXPECT_EQ(Frame(4, 1), once);
}

TEST_F(DrawUtilTest, PrimitivesIgnoreTheColourKeyAndLeaveItOn) {
    CRenderSurface* image = MakeImage(2, 1, {0x1234, rendertest::kKey565});
    m_renderer->Enable(CGraphics2d_Lite::kCapColorKey);
    CDrawUtil::FillRect(0, 0, 4, 4, 0xFFFFFFFFu);
    EXPECT_EQ(Where(kWhite).size(), 16u);
    m_renderer->DrawImage(image, 0, nullptr);
    EXPECT_EQ(Frame(0, 0), 0x1234u);
    EXPECT_EQ(Frame(1, 0), kWhite);
}

TEST_F(DrawUtilTest, TilesCoverTheAreaAndTheLastOnesAreCut) {
    CRenderSurface* tile = MakeImage(3, 2, {1, 2, 3, 4, 5, 6});
    m_renderer->Translate(0x20000, 0);
    CDrawUtil::DrawTiledImage(tile, 1, 1, 8, 6);
    // Tiles start at x = 1, 4, 7 and y = 1, 3, 5, moved right by 2.
    for (int32_t y = 0; y < 10; ++y) {
        for (int32_t x = 0; x < 14; ++x) {
            const bool inside = x >= 3 && x < 10 && y >= 1 && y < 6;
            const uint32_t expected = inside ? static_cast<uint32_t>((y - 1) % 2 * 3 + (x - 3) % 3 + 1) : 0u;
            ASSERT_EQ(Frame(x, y), expected) << x << "," << y;
        }
    }
    // The caller's translation is back.
    const CGraphics2d_Lite::Translation* top = nullptr;
    m_renderer->GetMatrixPointer(nullptr, &top);
    EXPECT_EQ(top->x, 0x20000);
    EXPECT_EQ(top->y, 0);
    CDrawUtil::DrawTiledImage(nullptr, 0, 0, 5, 5);
}

}  // namespace
