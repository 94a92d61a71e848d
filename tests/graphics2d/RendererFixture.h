#ifndef RENDERERFIXTURE_H
#define RENDERERFIXTURE_H

// The 2D renderer open on an off-screen device, with helpers to make small
// images and to read the frame back.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "CGraphics2d_Lite.h"
#include "CRenderSurfaceBuffer.h"
#include "DrawingScope.h"
#include "OffScreenDevice.h"
#include "TestApplication.h"

namespace rendertest {

constexpr uint32_t k565 = 0x21302;
constexpr uint32_t kKey565 = 0xF81F;

class RendererTest : public ::testing::Test {
protected:
    RendererTest(uint32_t width = 40, uint32_t height = 32) : m_width(width), m_height(height) {}

    void SetUp() override {
        ASSERT_EQ(m_app.Init(), 0);
        m_drawing = std::make_unique<DrawingScope>(m_width, m_height, k565, DrawingScope::Singletons::kApplicationTable);
        m_device = m_drawing->Device();
        m_renderer = m_drawing->Renderer();
    }

    void TearDown() override { m_drawing.reset(); }

    // A 565 image whose pixels are given row by row, top row first.
    CRenderSurface* MakeImage(int32_t width, int32_t height, const std::vector<uint16_t>& pixels) {
        return m_drawing->MakeImage(static_cast<uint32_t>(width), static_cast<uint32_t>(height),
                                    [&pixels, width](int x, int y) { return pixels[static_cast<size_t>(y * width + x)]; });
    }

    static uint8_t* At(const CRenderSurface* surface, int32_t x, int32_t y) {
        const CRenderSurfaceBuffer* plane = surface->GetPlane(0);
        return static_cast<uint8_t*>(plane->GetPixels(0)) + y * plane->GetPitch() + x * 2;
    }
    static uint32_t Read(const CRenderSurface* surface, int32_t x, int32_t y) {
        const uint8_t* p = At(surface, x, y);
        return p[0] + p[1] * 256u;
    }
    static void Write(CRenderSurface* surface, int32_t x, int32_t y, uint32_t value) {
        uint8_t* p = At(surface, x, y);
        p[0] = static_cast<uint8_t>(value);
        p[1] = static_cast<uint8_t>(value >> 8);
    }

    uint32_t Frame(int32_t x, int32_t y) const { return Read(m_device->Surface(), x, y); }

    // Positions whose pixel is `value`, as y * width + x.
    std::vector<uint32_t> Where(uint32_t value) const {
        std::vector<uint32_t> found;
        const std::vector<uint32_t> pixels = m_drawing->ReadFrame();
        for (uint32_t i = 0; i < pixels.size(); ++i) {
            if (pixels[i] == value) found.push_back(i);
        }
        return found;
    }

    // The positions of a w × h rectangle at (x, y), as Where reports them.
    std::vector<uint32_t> RectPositions(int32_t x, int32_t y, int32_t w, int32_t h) const {
        std::vector<uint32_t> positions;
        for (int32_t row = y; row < y + h; ++row) {
            for (int32_t column = x; column < x + w; ++column) positions.push_back(row * m_width + column);
        }
        return positions;
    }

    uint32_t m_width;
    uint32_t m_height;
    TestApplication m_app;
    std::unique_ptr<DrawingScope> m_drawing;
    // The scope's, for the tests' brevity.
    OffScreenDevice* m_device = nullptr;
    CGraphics2d_Lite* m_renderer = nullptr;
};

}  // namespace rendertest

#endif
