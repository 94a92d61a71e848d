// The 3D renderer's rasteriser against Mesa's off-screen software renderer,
// both single-threaded into a 240 x 320 r5g6b5 target with a depth buffer:
// per frame, clears and 1,000 small depth-tested triangles (about a dozen
// pixels each), flat in their own colours, or textured perspective-correct
// from a 64 x 64 texture with its mip chain: r5g6b5 with the nearest texel
// of the nearest level, bilinear and trilinear filtering, and the nearest
// texel of textures in the formats with alpha and of 32 bits (a quarter of
// their checker cells transparent where the format has alpha). Ours draws
// through the portable spans; the peer through its OpenGL interface from
// vertex arrays. The ratio is the peer's frame time over ours. Our side's
// label is the CRC of its last frame, so that a change to the spans can show
// it draws the same pictures.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "CCrc32.h"
#include "CPixelChannels.h"
#include "MGLPeerRenderer.h"
#include "OSMesaPeer.h"

namespace {

constexpr int32_t kWidth = 240;
constexpr int32_t kHeight = 320;
constexpr int32_t kTriangles = 1000;
constexpr float kTriangleSize = 0.1f;
constexpr int32_t kCell = 8;

// Checker cells of two colours with a red ramp across, as 8-bit channels;
// with `holes`, every fourth cell is transparent.
struct Texel8 {
    uint32_t a, r, g, b;
};

Texel8 Checker(int32_t x, int32_t y, bool holes) {
    const bool odd = (x / kCell + y / kCell) % 2 != 0;
    const uint32_t ramp = static_cast<uint32_t>(x * 255 / 63);
    const bool hole = holes && (x / kCell) % 2 == 0 && (y / kCell) % 2 == 0;
    return Texel8{hole ? 0u : 255u, odd ? 255u : ramp, odd ? ramp / 2 : 255u, odd ? 0u : 255u};
}

template <uint32_t Format>
uint32_t CheckerIn(int32_t x, int32_t y) {
    const Texel8 t = Checker(x, y, Format != RSBFormat_R5G6B5 && Format != RSBFormat_X8R8G8B8);
    switch (Format) {
        case RSBFormat_A1R5G5B5: return (t.a >> 7) << 15 | (t.r >> 3) << 10 | (t.g >> 3) << 5 | t.b >> 3;
        case RSBFormat_A4R4G4B4: return (t.a >> 4) << 12 | (t.r >> 4) << 8 | (t.g >> 4) << 4 | t.b >> 4;
        case RSBFormat_X8R8G8B8:
        case RSBFormat_A8R8G8B8: return t.a << 24 | t.r << 16 | t.g << 8 | t.b;
        default: return PixelChannels::PackR5G6B5(t.r, t.g, t.b);
    }
}

struct TexturedCase {
    const char* name;
    uint32_t (*texel)(int32_t x, int32_t y);
    uint32_t format;
    int32_t filter;
};

const TexturedCase kTexturedCases[] = {
    {"MglRaster1000Textured", CheckerIn<RSBFormat_R5G6B5>, RSBFormat_R5G6B5, peer::kFilterNearestMip},
    {"MglRaster1000TexturedBilinear", CheckerIn<RSBFormat_R5G6B5>, RSBFormat_R5G6B5, peer::kFilterBilinear},
    {"MglRaster1000TexturedTrilinear", CheckerIn<RSBFormat_R5G6B5>, RSBFormat_R5G6B5, peer::kFilterTrilinear},
    {"MglRaster1000TexturedA4R4G4B4", CheckerIn<RSBFormat_A4R4G4B4>, RSBFormat_A4R4G4B4, peer::kFilterNearestMip},
    {"MglRaster1000TexturedA1R5G5B5", CheckerIn<RSBFormat_A1R5G5B5>, RSBFormat_A1R5G5B5, peer::kFilterNearestMip},
    {"MglRaster1000TexturedX8R8G8B8", CheckerIn<RSBFormat_X8R8G8B8>, RSBFormat_X8R8G8B8, peer::kFilterNearestMip},
    {"MglRaster1000TexturedA8R8G8B8", CheckerIn<RSBFormat_A8R8G8B8>, RSBFormat_A8R8G8B8, peer::kFilterNearestMip},
};

// Both renderers and the scene, made once (the device is a singleton).
struct Setup {
    std::vector<peer::SceneTriangle> scene = peer::MakeScene(27, kTriangles, kTriangleSize, false);
    peer::MGLPeerRenderer ours{kWidth, kHeight};
    peer::OSMesaPeer mesa{kWidth, kHeight};
    const TexturedCase* texture = nullptr;

    Setup() { ours.SetScene(scene); }

    // Both sides take the case's texture, unless they hold it already.
    void Use(const TexturedCase* textured) {
        if (textured == nullptr || textured == texture) return;
        texture = textured;
        mesa.SetTexture(ours.SetTexture(textured->texel, textured->format, textured->filter));
    }
};

Setup& Shared() {
    static std::unique_ptr<Setup> setup = std::make_unique<Setup>();
    return *setup;
}

// The CRC of our target's colour plane, row by row.
std::string PictureLabel(const peer::MGLPeerRenderer& ours) {
    std::vector<uint8_t> pixels;
    for (int32_t y = 0; y < kHeight; ++y) pixels.insert(pixels.end(), ours.r.Row(0, y), ours.r.Row(0, y) + 2 * kWidth);
    char label[32];
    std::snprintf(label, sizeof label, "picture %08X", CCrc32().Compute(pixels.data(), static_cast<uint32_t>(pixels.size())));
    return label;
}

void Ours(benchmark::State& state, const TexturedCase* textured) {
    Setup& setup = Shared();
    if (!setup.ours.ok || !setup.mesa.ok) {
        state.SkipWithError("no renderer");
        return;
    }
    setup.Use(textured);
    for (auto _ : state) {
        setup.ours.BeginFrame(textured != nullptr);
        setup.ours.Draw(textured != nullptr, 0, kTriangles);
        benchmark::DoNotOptimize(setup.ours.Pixel(kWidth / 2, kHeight / 2));
    }
    state.SetLabel(PictureLabel(setup.ours));
}

void Reference(benchmark::State& state, const TexturedCase* textured) {
    Setup& setup = Shared();
    if (!setup.ours.ok || !setup.mesa.ok) {
        state.SkipWithError("no off-screen renderer");
        return;
    }
    setup.Use(textured);
    for (auto _ : state) {
        setup.mesa.Clear();
        setup.mesa.Draw(setup.scene, textured != nullptr);
        setup.mesa.Finish();
        benchmark::DoNotOptimize(setup.mesa.Pixel(kWidth / 2, kHeight / 2));
    }
}

void Register(const std::string& group, const TexturedCase* textured) {
    benchmark::RegisterBenchmark((group + "/ours").c_str(), Ours, textured)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((group + "/reference").c_str(), Reference, textured)->Unit(benchmark::kMicrosecond);
}

const bool kRegistered = [] {
    Register("MglRaster1000FlatDepthTested", nullptr);
    for (const TexturedCase& textured : kTexturedCases) Register(textured.name, &textured);
    return true;
}();

}  // namespace
