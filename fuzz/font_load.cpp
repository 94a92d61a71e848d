// Font data blocks through CGraphicFont::LoadFontData. An accepted font is
// measured, wrapped and drawn (onto a small off-screen surface, from a
// small glyph image), so that the sanitizer sees any record, code or glyph
// rectangle that reaches outside what the data or the image holds.

#include <cstdint>
#include <cstdlib>

#include "CBlitUtil.h"
#include "CColor.h"
#include "CGraphicFont.h"
#include "CGraphics.h"
#include "CGraphics2d_Lite.h"
#include "CHash.h"
#include "CRenderSurfaceAttribute.h"
#include "CRenderSurface_SW_OffScreen.h"
#include "CSingleton.h"
#include "CTextParser.h"
#include "FuzzCheck.h"

namespace {

CRenderSurface_SW_OffScreen* MakeSurface(uint32_t width, uint32_t height) {
    CRenderSurface_SW_OffScreen* surface = new CRenderSurface_SW_OffScreen();
    const CRenderSurfaceAttribute attributes[] = {{kSurfaceAttrWidth, width},
                                                  {kSurfaceAttrHeight, height},
                                                  {kSurfaceAttrColorFormat, RSBFormat_R5G6B5},
                                                  {0, 0}};
    Check(surface != nullptr && surface->Create(attributes));
    return surface;
}

// A graphics device whose current surface is an off-screen one.
class FuzzDevice : public CGraphics {
public:
    ~FuzzDevice() override { FuzzDevice::Close(); }

    bool Open() override {
        Init();
        SetDisplayFormat(RSBFormat_R5G6B5);
        m_surface = MakeSurface(48, 24);
        m_surface->MakeCurrent();
        SetOpen(true);
        return true;
    }
    void Close() override {
        delete m_surface;
        m_surface = nullptr;
        Shutdown();
        SetOpen(false);
    }
    void Present() override {}

private:
    CRenderSurface_SW_OffScreen* m_surface = nullptr;
};

// Device, renderer and glyph image for the whole run.
class DrawingSetup {
public:
    DrawingSetup() {
        m_singletons.Init(16, 16, true);
        CSingleton::SetTable(&m_singletons);
        m_device = new FuzzDevice();
        m_device->Open();
        m_renderer = new CGraphics2d_Lite();
        Check(m_renderer->Open());
        m_image = MakeSurface(64, 32);
    }
    ~DrawingSetup() {
        m_renderer->Close();
        delete m_renderer;
        delete m_image;
        delete m_device;
        delete CSingleton::GetInstance(CBlitUtil::kClassKey);
        CSingleton::SetTable(nullptr);
    }

    CGraphics2d_Lite* Renderer() const { return m_renderer; }
    CRenderSurface* Image() const { return m_image; }

private:
    CHash m_singletons;
    FuzzDevice* m_device = nullptr;
    CGraphics2d_Lite* m_renderer = nullptr;
    CRenderSurface_SW_OffScreen* m_image = nullptr;
};

DrawingSetup& Setup() {
    static DrawingSetup setup;
    return setup;
}

// Printable characters, the classes the wrap looks at, and codes on both
// sides of 0x8000.
const WChar kText[] = u"The quick brown fox\njumps over\n\nthe lazy dog. 0123456789 \t\u00e9\u7fff\u8000\uffff";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 16) return 0;
    DrawingSetup& setup = Setup();
    CGraphicFont font;
    font.SetImage(setup.Image());
    if (!font.LoadFontData(data, static_cast<uint32_t>(size))) {
        Check(!font.HasData());
        return 0;
    }
    int32_t fitting = 0;
    volatile int32_t sink = font.GetStringWidth(kText, -1, -1, &fitting) + font.GetHeight() + font.GetAscent();
    sink = sink + font.GetStringWidth(kText, -1, 40, &fitting);
    Check(fitting >= 0);

    CTextParser parser;
    parser.SetFont(&font);
    parser.SetText(kText);
    parser.SetWidth(40);
    parser.Wrap();
    for (int32_t i = 0; i < parser.GetLineCount(); ++i) {
        Check(parser.GetLineStart(i) + parser.GetLineLength(i) <= static_cast<int32_t>(sizeof(kText) / 2));
    }

    CGraphics2d_Lite* renderer = setup.Renderer();
    renderer->BeginFrame();
    font.DrawString(kText, -1, 2, 3, -1, -1);
    font.DrawString(kText, -1, -20, -5, 30, 6);
    renderer->EndFrame();
    return 0;
}
