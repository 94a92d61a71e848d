#include "DrawingScope.h"

#include <gtest/gtest.h>

#include "../graphics2d/OffScreenDevice.h"
#include "CBlitUtil.h"
#include "CGraphics2d_Lite.h"
#include "CSingleton.h"

namespace {

// The surfaces store their pixels little-endian, a few bytes each.
uint32_t ReadPixel(const uint8_t* pixel, uint32_t bytes) {
    uint32_t value = 0;
    for (uint32_t i = 0; i < bytes; ++i) value |= static_cast<uint32_t>(pixel[i]) << (8 * i);
    return value;
}

void WritePixel(uint8_t* pixel, uint32_t bytes, uint32_t value) {
    for (uint32_t i = 0; i < bytes; ++i) pixel[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

DrawingScope::DrawingScope(uint32_t width, uint32_t height, uint32_t format, Singletons singletons)
    : m_format(format) {
    if (singletons == Singletons::kOwnTable) {
        m_singletons = std::make_unique<CHash>();
        EXPECT_TRUE(m_singletons->Init(20, 20, true));
        CSingleton::SetTable(m_singletons.get());
    }
    m_device = new OffScreenDevice(width, height, format);
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
    if (m_singletons == nullptr) return;
    // The device filled the blit registry, a singleton of the table.
    delete CSingleton::GetInstance(CBlitUtil::kClassKey);
    CSingleton::SetTable(nullptr);
}

CRenderSurface* DrawingScope::Target() const { return m_device->Surface(); }

std::vector<uint32_t> DrawingScope::ReadFrame() const {
    std::vector<uint32_t> frame;
    const uint32_t bytes = BytesPerPixel();
    ForEachPixel(Target(), ICRenderSurface::kLockRead,
                 [&frame, bytes](uint8_t* pixel, int, int) { frame.push_back(ReadPixel(pixel, bytes)); });
    return frame;
}

void DrawingScope::FillFrame(uint32_t value) const {
    const uint32_t bytes = BytesPerPixel();
    ForEachPixel(Target(), 0, [value, bytes](uint8_t* pixel, int, int) { WritePixel(pixel, bytes, value); });
}

CRenderSurface* DrawingScope::MakeImage(uint32_t width, uint32_t height,
                                        const std::function<uint32_t(int, int)>& pixel) {
    CRenderSurface_SW_OffScreen* image = new CRenderSurface_SW_OffScreen();
    const CRenderSurfaceAttribute attributes[] = {
        {kSurfaceAttrWidth, width}, {kSurfaceAttrHeight, height}, {kSurfaceAttrColorFormat, m_format}, {0, 0}};
    EXPECT_TRUE(image->Create(attributes));
    m_images.push_back(image);
    const uint32_t bytes = BytesPerPixel();
    ForEachPixel(image, 0, [&pixel, bytes](uint8_t* at, int x, int y) { WritePixel(at, bytes, pixel(x, y)); });
    return image;
}

uint32_t DrawingScope::BytesPerPixel() const { return m_format & 0x1F; }

void DrawingScope::ForEachPixel(CRenderSurface* surface, uint32_t lockFlags,
                                const std::function<void(uint8_t*, int, int)>& visit) const {
    uint32_t width = 0;
    uint32_t height = 0;
    surface->GetSize(&width, &height);
    uint8_t* pixels = nullptr;
    int32_t pitch = 0;
    surface->Lock(&pixels, &pitch, lockFlags, nullptr);
    const uint32_t bytes = BytesPerPixel();
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* row = pixels + static_cast<ptrdiff_t>(y) * pitch;
        for (uint32_t x = 0; x < width; ++x) visit(row + x * bytes, static_cast<int>(x), static_cast<int>(y));
    }
    surface->Unlock(0);
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
