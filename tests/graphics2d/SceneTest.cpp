// A whole frame drawn through the 2D renderer into an off-screen surface and
// compared, pixel for pixel, with the frame painted by a plain reference.

#include <gtest/gtest.h>

#include <string>

#include "CResourceManager_v1.h"
#include "CResourceRenderSurface.h"
#include "MountedArchive.h"
#include "RendererFixture.h"
#include "SceneData.h"
#include "SceneReference.h"

namespace {

class SceneTest : public rendertest::RendererTest {
protected:
    SceneTest() : RendererTest(64, 48) {}

    void SetUp() override {
        rendertest::RendererTest::SetUp();
        std::string error;
        ASSERT_TRUE(scenetest::MountScene(&m_app, &m_archive, "scene", &error)) << error;
    }

    void TearDown() override {
        m_archive.Unmount();
        rendertest::RendererTest::TearDown();
    }

    CRenderSurface* LoadImage(uint32_t handle) {
        CResource* resource = nullptr;
        if (m_archive.Manager()->CreateByHandle(handle, &resource) == CResourceManager::kFailed) return nullptr;
        return static_cast<CResourceRenderSurface*>(resource)->GetSurface();
    }

    MountedArchive m_archive;
};

TEST_F(SceneTest, FrameMatchesTheReferencePixelForPixel) {
    CRenderSurface* picture = LoadImage(scenetest::kImageId);
    ASSERT_NE(picture, nullptr);
    CRenderSurface* missing = LoadImage(scenetest::kMissingImageId);
    EXPECT_EQ(missing, nullptr);
    SceneReference expected(64, 48, false);

    scenetest::PaintOpenScene(m_device, m_renderer, picture, &expected);
    // A missing image draws nothing and breaks nothing after it.
    m_renderer->DrawImage(missing, 0, nullptr);
    scenetest::PaintClippedScene(m_renderer, picture, &expected);
    m_renderer->EndFrame();
    m_device->Present();

    int mismatches = 0;
    for (int32_t y = 0; y < 48; ++y) {
        for (int32_t x = 0; x < 64; ++x) {
            if (Frame(x, y) != expected.Get(x, y) && ++mismatches <= 10) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << "): 0x" << std::hex << Frame(x, y) << " expected 0x"
                              << expected.Get(x, y);
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_FALSE(m_device->Surface()->IsLocked());
    EXPECT_EQ(m_device->presents, 1);
    m_renderer->BeginFrame();
}

}  // namespace
