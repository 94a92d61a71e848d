// Presenting one frame on the stand-in display: the stretching blit of the
// 240 x 320 r5g6b5 back buffer onto the 480 x 640 primary surface, against
// a memcpy of the primary's bytes. No host backend is installed, so the
// blit alone is measured.

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "HostDisplay.h"
#include "HostSystemInfo.h"
#include "WinCeDDraw.h"

namespace {

constexpr int32_t kScreenWidth = 480;
constexpr int32_t kScreenHeight = 640;

DDSURFACEDESC Description(DWORD flags, DWORD caps) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(DDSURFACEDESC);
    desc.dwFlags = flags;
    desc.ddsCaps.dwCaps = caps;
    return desc;
}

// The driver with its primary surface and a half-size back buffer holding
// a frame of varied pixels.
class Display {
public:
    Display() {
        HostDisplay::Reset();
        HostSystemInfo::SetScreenSize(kScreenWidth, kScreenHeight);
        DirectDrawCreate(nullptr, &m_directDraw, nullptr);
        m_directDraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
        const DDSURFACEDESC primary = Description(DDSD_CAPS, DDSCAPS_PRIMARYSURFACE);
        m_directDraw->CreateSurface(&primary, &m_primary, nullptr);
        DDSURFACEDESC back = Description(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, DDSCAPS_OFFSCREENPLAIN);
        back.dwWidth = kScreenWidth / 2;
        back.dwHeight = kScreenHeight / 2;
        m_directDraw->CreateSurface(&back, &m_back, nullptr);
        FillBackBuffer();
    }

    ~Display() {
        m_back->Release();
        m_primary->Release();
        m_directDraw->Release();
    }

    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    void Present() { m_primary->Blt(nullptr, m_back, nullptr, DDBLT_WAITNOTBUSY, nullptr); }

    size_t PrimaryBytes() const { return static_cast<size_t>(kScreenWidth) * kScreenHeight * 2; }

private:
    void FillBackBuffer() {
        DDSURFACEDESC desc = Description(0, 0);
        m_back->Lock(nullptr, &desc, DDLOCK_WAITNOTBUSY, nullptr);
        for (DWORD y = 0; y < desc.dwHeight; ++y) {
            for (DWORD x = 0; x < desc.dwWidth; ++x) {
                const uint16_t pixel = static_cast<uint16_t>(x * 37 + y * 101);
                std::memcpy(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch + x * 2, &pixel, 2);
            }
        }
        m_back->Unlock(nullptr);
    }

    IDirectDraw* m_directDraw = nullptr;
    IDirectDrawSurface* m_primary = nullptr;
    IDirectDrawSurface* m_back = nullptr;
};

void BM_PresentOurs(benchmark::State& state) {
    Display display;
    for (auto _ : state) {
        display.Present();
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(display.PrimaryBytes()));
}
BENCHMARK(BM_PresentOurs)->Name("Present/ours");

void BM_PresentReference(benchmark::State& state) {
    const size_t bytes = static_cast<size_t>(kScreenWidth) * kScreenHeight * 2;
    std::vector<uint8_t> source(bytes);
    for (size_t i = 0; i < bytes; ++i) source[i] = static_cast<uint8_t>(i * 13);
    std::vector<uint8_t> screen(bytes);
    for (auto _ : state) {
        std::memcpy(screen.data(), source.data(), bytes);
        benchmark::DoNotOptimize(screen.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}
BENCHMARK(BM_PresentReference)->Name("Present/reference");

}  // namespace
