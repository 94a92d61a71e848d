// The graphics context and images drawn through the real 2D renderer into an
// off-screen r5g6b5 frame, compared pixel for pixel with frames painted by
// the plain reference painter.

#include <gtest/gtest.h>

#include <string>

#include "../graphics2d/RendererFixture.h"
#include "AssertCounter.h"
#include "CResource.h"
#include "CResourceManager_v1.h"
#include "ClipStack.h"
#include "JGraphics.h"
#include "JImage.h"
#include "MountedArchive.h"
#include "Reference565.h"
#include "SceneData.h"
#include "SceneReference.h"

namespace {

constexpr int32_t kFrameWidth = 64;
constexpr int32_t kFrameHeight = 48;
constexpr int32_t kPictureWidth = 6;
constexpr int32_t kPictureHeight = 4;

class JGraphicsTest : public rendertest::RendererTest {
protected:
    JGraphicsTest() : RendererTest(kFrameWidth, kFrameHeight) {}

    void SetUp() override {
        rendertest::RendererTest::SetUp();
        std::string error;
        ASSERT_TRUE(scenetest::MountScene(&m_app, &m_archive, "jgraphics", &error)) << error;
        Clear();
    }

    void TearDown() override {
        m_archive.Unmount();
        rendertest::RendererTest::TearDown();
    }

    void Clear() {
        fillScreen(g, scenetest::kClearArgb);
        m_expected = SceneReference(kFrameWidth, kFrameHeight, false);
    }

    int32_t RefCount(uint32_t id) const {
        CResource* resource = nullptr;
        return m_archive.Manager()->GetResource(id, &resource) ? resource->GetRefCount() : 0;
    }

    // Fails with the first few differing pixels.
    void ExpectFrame(const std::string& what) {
        int mismatches = 0;
        for (int32_t y = 0; y < kFrameHeight; ++y) {
            for (int32_t x = 0; x < kFrameWidth; ++x) {
                if (Frame(x, y) != m_expected.Get(x, y) && ++mismatches <= 4) {
                    ADD_FAILURE() << what << ": pixel (" << x << ", " << y << ") 0x" << std::hex << Frame(x, y)
                                  << " expected 0x" << m_expected.Get(x, y);
                }
            }
        }
        EXPECT_EQ(mismatches, 0) << what;
    }

    MountedArchive m_archive;
    JGraphics g;
    SceneReference m_expected{kFrameWidth, kFrameHeight, false};
};

TEST_F(JGraphicsTest, TransformsAndAnchorsPlaceAndMirrorThePicture) {
    struct Case {
        int32_t transform, anchor, x, y;
        int32_t expectedX, expectedY;
        bool mirrorX, mirrorY;
    };
    // The picture is 6 x 4: transforms that turn it shift it by 4 along x or
    // 6 along y, as the renderer draws it unrotated.
    const Case cases[] = {
        {0, 20, 10, 10, 10, 10, false, false}, {1, 20, 10, 10, 10, 10, false, true},
        {2, 20, 10, 10, 10, 10, true, false},  {3, 20, 10, 10, 10, 10, true, true},
        {4, 20, 10, 10, 10, 16, true, false},  {5, 20, 10, 10, 14, 10, false, false},
        {6, 20, 10, 10, 10, 16, false, false}, {7, 20, 10, 10, 14, 10, true, false},
        {0, 1 | 2, 20, 20, 17, 18, false, false}, {0, 8 | 32, 20, 20, 14, 16, false, false},
        {0, 1 | 8, 20, 20, 11, 20, false, false}, {0, 20, -3, -2, -3, -2, false, false},
        {-1, 20, 30, 5, 30, 5, true, false},  // the image's default transform, 2
        {9, 20, 30, 5, 30, 5, false, false},  // unknown transforms draw plain
    };
    JImage picture(scenetest::kImageId, 2);
    ASSERT_EQ(picture.getWidth(), kPictureWidth);
    ASSERT_EQ(picture.getHeight(), kPictureHeight);
    for (const Case& c : cases) {
        Clear();
        picture.draw(g, c.x, c.y, c.anchor, c.transform);
        m_expected.Image(c.expectedX, c.expectedY, 0, 0, kPictureWidth, kPictureHeight, c.mirrorX, c.mirrorY,
                         SceneReference::Ink::Plain, 0);
        ExpectFrame("transform " + std::to_string(c.transform) + " anchor " + std::to_string(c.anchor));
    }
}

TEST_F(JGraphicsTest, RegionImagesShowTheirPartAndHoldTheResource) {
    auto* whole = new JImage(scenetest::kImageId, 0);
    EXPECT_EQ(RefCount(scenetest::kImageId), 1);
    JImage region(whole, 1, 1, 4, 2);
    JImage nested(&region, 2, 1, 2, 1);
    JImage mirrored(&region, 3);
    EXPECT_EQ(RefCount(scenetest::kImageId), 4);
    delete whole;
    EXPECT_EQ(RefCount(scenetest::kImageId), 3);

    region.draw(g, 5, 5, 20);
    m_expected.Image(5, 5, 1, 1, 4, 2, false, false, SceneReference::Ink::Plain, 0);
    nested.draw(g, 20, 5, 20);
    m_expected.Image(20, 5, 3, 2, 2, 1, false, false, SceneReference::Ink::Plain, 0);
    mirrored.draw(g, 30, 5, 20, JImage::kDefaultTransform);
    m_expected.Image(30, 5, 1, 1, 4, 2, true, true, SceneReference::Ink::Plain, 0);
    region.drawRegion(g, 1, 0, 2, 2, 0, 40, 40, 1 | 2);
    m_expected.Image(39, 39, 2, 1, 2, 2, false, false, SceneReference::Ink::Plain, 0);
    ExpectFrame("regions");
}

TEST_F(JGraphicsTest, FailedLoadsKeepWhatTheImageHeld) {
    JImage missing(scenetest::kMissingImageId, 0);
    EXPECT_EQ(missing.getWidth(), 0);
    EXPECT_EQ(missing.getSurface(), nullptr);
    missing.draw(g, 0, 0, 20);  // draws nothing

    {
        JImage image(scenetest::kImageId, 0);
        image.load(0, 2);  // no resource: picture and reference stay, the transform is taken
        EXPECT_EQ(image.getWidth(), kPictureWidth);
        EXPECT_EQ(RefCount(scenetest::kImageId), 1);
        image.draw(g, 8, 8, 20, JImage::kDefaultTransform);
        m_expected.Image(8, 8, 0, 0, kPictureWidth, kPictureHeight, true, false, SceneReference::Ink::Plain, 0);
        image.load(scenetest::kImageId, 0);  // reloading the same image holds it once
        EXPECT_EQ(RefCount(scenetest::kImageId), 1);
        image.clear();
        EXPECT_EQ(RefCount(scenetest::kImageId), 0);
        EXPECT_EQ(image.getWidth(), 0);
    }
    ExpectFrame("failed loads");
}

TEST_F(JGraphicsTest, LinesRectanglesAndColours) {
    g.setColor(0xFFFFFFFFu);
    g.drawRect(10, 10, 0, 0);
    m_expected.Fill(10, 10, 11, 11, 0xFFFFFF);
    g.setColorRGB(255 + 256, 0, 0);  // channels are masked to 8 bits
    g.drawRect(20, 4, 4, 2);
    m_expected.Fill(20, 4, 25, 5, 0xFF0000);
    m_expected.Fill(20, 6, 25, 7, 0xFF0000);
    m_expected.Fill(20, 4, 21, 7, 0xFF0000);
    m_expected.Fill(24, 4, 25, 7, 0xFF0000);
    g.setColor(0xFF00FF00u);
    g.fillRect(30, 10, 5, 3);
    m_expected.Fill(30, 10, 35, 13, 0x00FF00);
    g.fillRect(40, 10, 0, 5);
    g.fillRect(40, 10, 5, 0);
    g.drawLine(2, 40, 12, 40);
    m_expected.Fill(2, 40, 13, 41, 0x00FF00);
    ExpectFrame("primitives");
}

TEST_F(JGraphicsTest, BlendedFillMixesItsAlphaAndRestoresTheBlendState) {
    g.setColor(0xFFFFFFFFu);
    g.fillRect(0, 0, 20, 20);
    m_expected.Fill(0, 0, 20, 20, 0xFFFFFF);
    const uint32_t half = 0x800000FFu;
    g.fillRectBlended(half, 0, 0, 2, 2, 8, 6);
    const uint32_t white = ref565::FromRgb(0xFFFFFF);
    const uint32_t blue = ref565::FromRgb(0x0000FF);
    EXPECT_EQ(Frame(2, 2), ref565::Blend565(blue, white, 0x80));
    EXPECT_EQ(Frame(7, 5), ref565::Blend565(blue, white, 0x80));
    EXPECT_EQ(Frame(8, 6), white);  // the far corner is outside

    JSmartObject<int32_t> colours(JNewArray<int32_t>(1), 1);
    colours[0] = static_cast<int32_t>(0x40FF0000u);
    g.fillRectBlendedArray(colours, 0, 0, 10, 10, 12, 12);
    EXPECT_EQ(Frame(10, 10), ref565::Blend565(ref565::FromRgb(0xFF0000), white, 0x40));

    // Blending is off again: an opaque fill covers the frame.
    g.setColor(0x10000000u);
    g.fillRect(0, 0, 1, 1);
    EXPECT_EQ(Frame(0, 0), ref565::FromRgb(0));
}

TEST_F(JGraphicsTest, ClipsCutDrawingAndComeBackFromTheStack) {
    ClipStack stack;
    resetClip(g);
    pushClip(g, stack);
    g.setClip(10, 10, 8, 6);
    pushClip(g, stack);
    g.setClip(0, 0, 4, 4);
    popClip(g, stack);
    g.setColor(0xFFFFFF00u);
    g.fillRect(0, 0, kFrameWidth, kFrameHeight);
    m_expected.Fill(10, 10, 18, 16, 0xFFFF00);
    CRect clip;
    g.getClip(clip);
    EXPECT_EQ(clip.x, 10);
    EXPECT_EQ(clip.width, 8);

    JImage picture(scenetest::kImageId, 0);
    picture.draw(g, 15, 13, 20);
    m_expected.Clip(10, 10, 18, 16);
    m_expected.Image(15, 13, 0, 0, kPictureWidth, kPictureHeight, false, false, SceneReference::Ink::Plain, 0);
    m_expected.Clip(0, 0, kFrameWidth, kFrameHeight);

    popClip(g, stack);
    g.fillRect(40, 40, 2, 2);
    m_expected.Fill(40, 40, 42, 42, 0xFFFF00);
    AssertCounter counter;
    popClip(g, stack);  // empty: the clip stays the whole screen
    EXPECT_TRUE(counter.Logged("clip stack is empty"));
    g.fillRect(60, 0, 2, 2);
    m_expected.Fill(60, 0, 62, 2, 0xFFFF00);
    ExpectFrame("clips");
}

}  // namespace
