// 500 colour-keyed 32 x 32 images drawn into a 240 x 320 r5g6b5 surface
// through the 2D renderer (translation, state check, cached routine lookup,
// clipping, surface locks) against calling the same keyed copy routine
// directly for the same rectangles. A quarter of the image's pixels carry
// the colour key.

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "BlitCopy.h"
#include "CGraphics2d_Lite.h"
#include "CHash.h"
#include "CRenderSurfaceBuffer.h"
#include "../tests/graphics2d/OffScreenDevice.h"

namespace {

constexpr uint32_t k565 = 0x21302;
constexpr int32_t kFrameWidth = 240;
constexpr int32_t kFrameHeight = 320;
constexpr int32_t kSide = 32;
constexpr int kDraws = 500;
constexpr uint16_t kKey = 0xF81F;

struct Position {
    int32_t x;
    int32_t y;
};

// The singleton table, the device with its off-screen frame, the renderer
// open in a frame with the colour key on, and one image.
class Scene {
public:
    Scene() {
        m_singletons.Init(20, 20, true);
        CSingleton::SetTable(&m_singletons);
        m_device = new OffScreenDevice(kFrameWidth, kFrameHeight, k565);
        m_device->Open();
        m_renderer = new CGraphics2d_Lite();
        m_renderer->Open();
        m_renderer->BeginFrame();
        m_renderer->Enable(CGraphics2d_Lite::kCapColorKey);
        MakeImage();
        std::mt19937 random(11);
        for (int i = 0; i < kDraws; ++i) {
            m_positions.push_back({static_cast<int32_t>(random() % (kFrameWidth - kSide + 1)),
                                   static_cast<int32_t>(random() % (kFrameHeight - kSide + 1))});
        }
    }
    ~Scene() {
        m_renderer->EndFrame();
        m_renderer->Close();
        delete m_renderer;
        delete m_image;
        m_device->Close();
        delete m_device;
        delete CBlitUtil::GetInstance();
        CSingleton::SetTable(nullptr);
    }
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    void DrawThroughRenderer() {
        for (const Position& p : m_positions) {
            m_renderer->LoadIdentity();
            m_renderer->Translate(p.x << 16, p.y << 16);
            m_renderer->DrawImage(m_image, 0, nullptr);
        }
    }

    void DrawDirectly() {
        const CRenderSurfaceBuffer* source = m_image->GetPlane(0);
        const CRenderSurfaceBuffer* dest = m_device->Surface()->GetPlane(0);
        const auto* sourcePixels = static_cast<const uint8_t*>(source->GetPixels(0));
        auto* destPixels = static_cast<uint8_t*>(dest->GetPixels(0));
        for (const Position& p : m_positions) {
            const BlitCopyDesc copy = {source->GetPitch(), sourcePixels, nullptr, dest->GetPitch(),
                                       destPixels + p.y * dest->GetPitch() + p.x * 2, kSide, kSide, 0, 0, 255};
            Blit_R5G6B5_ColorKey(&copy);
        }
    }

    const uint8_t* Frame() const { return static_cast<const uint8_t*>(m_device->Surface()->GetPlane(0)->GetPixels(0)); }

private:
    void MakeImage() {
        m_image = new CRenderSurface_SW_OffScreen();
        const CRenderSurfaceAttribute attributes[] = {
            {kSurfaceAttrWidth, kSide}, {kSurfaceAttrHeight, kSide}, {kSurfaceAttrColorFormat, k565}, {0, 0}};
        m_image->Create(attributes);
        const CRenderSurfaceBuffer* plane = m_image->GetPlane(0);
        std::mt19937 random(5);
        for (int32_t y = 0; y < kSide; ++y) {
            auto* row = static_cast<uint8_t*>(plane->GetPixels(0)) + y * plane->GetPitch();
            for (int32_t x = 0; x < kSide; ++x) {
                const uint16_t pixel = random() % 4 == 0 ? kKey : static_cast<uint16_t>(random());
                row[2 * x] = static_cast<uint8_t>(pixel);
                row[2 * x + 1] = static_cast<uint8_t>(pixel >> 8);
            }
        }
    }

    CHash m_singletons;
    OffScreenDevice* m_device = nullptr;
    CGraphics2d_Lite* m_renderer = nullptr;
    CRenderSurface_SW_OffScreen* m_image = nullptr;
    std::vector<Position> m_positions;
};

void BM_RendererKeyedOurs(benchmark::State& state) {
    Scene scene;
    for (auto _ : state) {
        scene.DrawThroughRenderer();
        benchmark::DoNotOptimize(scene.Frame());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kDraws);
}

void BM_RendererKeyedReference(benchmark::State& state) {
    Scene scene;
    for (auto _ : state) {
        scene.DrawDirectly();
        benchmark::DoNotOptimize(scene.Frame());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kDraws);
}

}  // namespace

BENCHMARK(BM_RendererKeyedOurs)->Name("Renderer500Keyed/ours")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RendererKeyedReference)->Name("Renderer500Keyed/reference")->Unit(benchmark::kMicrosecond);
