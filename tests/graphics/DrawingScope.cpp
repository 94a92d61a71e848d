#include "DrawingScope.h"

#include <gtest/gtest.h>

#include "../graphics2d/OffScreenDevice.h"
#include "CBlitUtil.h"
#include "CGraphics2d_Lite.h"
#include "CSingleton.h"

DrawingScope::DrawingScope(uint32_t width, uint32_t height) {
    EXPECT_TRUE(m_singletons.Init(20, 20, true));
    CSingleton::SetTable(&m_singletons);
    m_device = new OffScreenDevice(width, height, kFormat);
    EXPECT_TRUE(m_device->Open());
    m_renderer = new CGraphics2d_Lite();
    EXPECT_TRUE(m_renderer->Open());
    m_renderer->BeginFrame();
}

DrawingScope::~DrawingScope() {
    m_renderer->EndFrame();
    m_renderer->Close();
    delete m_renderer;
    for (CRenderSurface_SW_OffScreen* image : m_images) delete image;
    delete m_device;
    // The device filled the blit registry, a singleton of the table.
    delete CSingleton::GetInstance(CBlitUtil::kClassKey);
    CSingleton::SetTable(nullptr);
}

CRenderSurface* DrawingScope::Target() const { return m_device->Surface(); }

std::vector<uint32_t> DrawingScope::ReadFrame() const {
    uint32_t width = 0;
    uint32_t height = 0;
    Target()->GetSize(&width, &height);
    uint8_t* pixels = nullptr;
    int32_t pitch = 0;
    Target()->Lock(&pixels, &pitch, 0, nullptr);
    std::vector<uint32_t> frame;
    for (uint32_t y = 0; y < height; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(pixels + static_cast<ptrdiff_t>(y) * pitch);
        frame.insert(frame.end(), row, row + width);
    }
    Target()->Unlock(0);
    return frame;
}

void DrawingScope::FillFrame(uint32_t value) const {
    uint32_t width = 0;
    uint32_t height = 0;
    Target()->GetSize(&width, &height);
    uint8_t* pixels = nullptr;
    int32_t pitch = 0;
    Target()->Lock(&pixels, &pitch, 0, nullptr);
    for (uint32_t y = 0; y < height; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(pixels + static_cast<ptrdiff_t>(y) * pitch);
        std::fill(row, row + width, value);
    }
    Target()->Unlock(0);
}

CRenderSurface* DrawingScope::MakeImage(uint32_t width, uint32_t height,
                                        const std::function<uint32_t(int, int)>& pixel) {
    CRenderSurface_SW_OffScreen* image = new CRenderSurface_SW_OffScreen();
    const CRenderSurfaceAttribute attributes[] = {
        {kSurfaceAttrWidth, width}, {kSurfaceAttrHeight, height}, {kSurfaceAttrColorFormat, kFormat}, {0, 0}};
    EXPECT_TRUE(image->Create(attributes));
    m_images.push_back(image);
    uint8_t* pixels = nullptr;
    int32_t pitch = 0;
    image->Lock(&pixels, &pitch, 0, nullptr);
    for (uint32_t y = 0; y < height; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(pixels + static_cast<ptrdiff_t>(y) * pitch);
        for (uint32_t x = 0; x < width; ++x) row[x] = pixel(static_cast<int>(x), static_cast<int>(y));
    }
    image->Unlock(0);
    return image;
}

void ExpectedFrame::Blit(const std::function<uint32_t(int, int)>& image, int sx, int sy, int w, int h, int dx,
                         int dy) {
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int fx = dx + x;
            const int fy = dy + y;
            if (fx < 0 || fy < 0 || fx >= width || fy >= height) continue;
            pixels[static_cast<size_t>(fy) * width + fx] = image(sx + x, sy + y);
        }
    }
}
