// The 3D renderer's rasteriser against Mesa's off-screen software renderer,
// both single-threaded into a 240 x 320 r5g6b5 target with a depth buffer:
// per frame, clears and 1,000 small depth-tested triangles (about a dozen
// pixels each), flat in their own colours, or textured (64 x 64 r5g6b5 with
// its mip chain, nearest texel of the nearest level, perspective-correct).
// Ours draws through the portable spans; the peer through its OpenGL
// interface from vertex arrays. The ratio is the peer's frame time over ours.

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "MGLPeerRenderer.h"
#include "OSMesaPeer.h"

namespace {

constexpr int32_t kWidth = 240;
constexpr int32_t kHeight = 320;
constexpr int32_t kTriangles = 1000;
constexpr float kTriangleSize = 0.1f;

uint16_t Checker(int32_t x, int32_t y) {
    return static_cast<uint16_t>(((x / 8 + y / 8) % 2 != 0 ? 0xF800 : 0x07FF) | (x * 31 / 63));
}

// Both renderers and the scene, made once (the device is a singleton).
struct Setup {
    std::vector<peer::SceneTriangle> scene = peer::MakeScene(27, kTriangles, kTriangleSize, false);
    peer::MGLPeerRenderer ours{kWidth, kHeight};
    peer::OSMesaPeer mesa{kWidth, kHeight};

    Setup() {
        ours.SetScene(scene);
        mesa.SetTexture(ours.SetTexture(Checker));
    }
};

Setup& Shared() {
    static std::unique_ptr<Setup> setup = std::make_unique<Setup>();
    return *setup;
}

void Ours(benchmark::State& state, bool textured) {
    Setup& setup = Shared();
    if (!setup.ours.ok) {
        state.SkipWithError("no renderer");
        return;
    }
    for (auto _ : state) {
        setup.ours.BeginFrame(textured);
        setup.ours.Draw(textured, 0, kTriangles);
        benchmark::DoNotOptimize(setup.ours.Pixel(kWidth / 2, kHeight / 2));
    }
}

void Reference(benchmark::State& state, bool textured) {
    Setup& setup = Shared();
    if (!setup.mesa.ok) {
        state.SkipWithError("no off-screen renderer");
        return;
    }
    for (auto _ : state) {
        setup.mesa.Clear();
        setup.mesa.Draw(setup.scene, textured);
        setup.mesa.Finish();
        benchmark::DoNotOptimize(setup.mesa.Pixel(kWidth / 2, kHeight / 2));
    }
}

void FlatOurs(benchmark::State& state) { Ours(state, false); }
void FlatReference(benchmark::State& state) { Reference(state, false); }
void TexturedOurs(benchmark::State& state) { Ours(state, true); }
void TexturedReference(benchmark::State& state) { Reference(state, true); }

BENCHMARK(FlatOurs)->Name("MglRaster1000FlatDepthTested/ours")->Unit(benchmark::kMicrosecond);
BENCHMARK(FlatReference)->Name("MglRaster1000FlatDepthTested/reference")->Unit(benchmark::kMicrosecond);
BENCHMARK(TexturedOurs)->Name("MglRaster1000Textured/ours")->Unit(benchmark::kMicrosecond);
BENCHMARK(TexturedReference)->Name("MglRaster1000Textured/reference")->Unit(benchmark::kMicrosecond);

}  // namespace
