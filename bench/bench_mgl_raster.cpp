// The 3D renderer's rasteriser against Mesa's off-screen software renderer,
// both single-threaded into a 240 x 320 r5g6b5 target with a depth buffer
// (Mesa's rasteriser is told to use no threads of its own; its name is
// printed at the start). One of these scenes a frame, after the clears: 1,000
// tiny depth-tested triangles (about a dozen pixels each), and 1,000 small
// ones (edges of about 4.5 to 8.5 pixels, some 20 pixels each), where the
// set-up of each triangle and of each row costs most; 1,000 long thin flat
// ones (40 to 120 rows of 1 to 3 pixels), where the rows' own set-up costs
// most; and a pixel-heavy scene of a few large
// triangles (a receding floor, a billboard with coordinates past its
// texture's edges and a small far quad, about 50,000 pixels), where the
// spans and the sampler cost most; and a turned cube of twelve triangles
// whose far faces the near ones hide. Flat in their own colours, or textured
// perspective-correct from a 64 x 64 (or 256 x 256) texture with its mip
// chain: r5g6b5 in every filter mode and wrap mode, and the formats with
// alpha and of 32 bits (a quarter of their checker cells transparent where
// the format has alpha). Ours draws through the portable spans; the peer
// through its OpenGL interface from vertex arrays. The ratio is the peer's
// frame time over ours. Our side's label is the CRC of its last frame, so
// that a change to the spans can show it draws the same pictures.

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
    const uint32_t ramp = static_cast<uint32_t>(x % 64 * 255 / 63);
    const bool hole = holes && (x / kCell) % 2 == 0 && (y / kCell) % 2 == 0;
    return Texel8{hole ? 0u : 255u, odd ? 255u : ramp, odd ? ramp / 2 : 255u, odd ? 0u : 255u};
}

template <uint32_t Format>
uint32_t CheckerIn(int32_t x, int32_t y) {
    const Texel8 t =
        Checker(x, y, Format != RSBFormat_R5G6B5 && Format != RSBFormat_X8R8G8B8 && Format != RSBFormat_L8);
    switch (Format) {
        case RSBFormat_A1R5G5B5: return (t.a >> 7) << 15 | (t.r >> 3) << 10 | (t.g >> 3) << 5 | t.b >> 3;
        case RSBFormat_A4R4G4B4: return (t.a >> 4) << 12 | (t.r >> 4) << 8 | (t.g >> 4) << 4 | t.b >> 4;
        case RSBFormat_X8R8G8B8:
        case RSBFormat_A8R8G8B8: return t.a << 24 | t.r << 16 | t.g << 8 | t.b;
        case RSBFormat_L8: return (t.r * 77 + t.g * 150 + t.b * 29) >> 8;
        default: return PixelChannels::PackR5G6B5(t.r, t.g, t.b);
    }
}

struct TexturedCase {
    const char* name;
    uint32_t (*texel)(int32_t x, int32_t y);
    uint32_t format;
    TextureFilter filter;
    TextureWrap wrap = TextureWrap::Repeat;
    int32_t size = peer::MGLPeerRenderer::kTextureSize;
};

constexpr auto kR5G6B5 = CheckerIn<RSBFormat_R5G6B5>;
constexpr auto kX8R8G8B8 = CheckerIn<RSBFormat_X8R8G8B8>;
constexpr auto kA8R8G8B8 = CheckerIn<RSBFormat_A8R8G8B8>;

const TexturedCase kTexturedCases[] = {
    {"Textured", kR5G6B5, RSBFormat_R5G6B5, TextureFilter::NearestMip},
    {"TexturedBilinear", kR5G6B5, RSBFormat_R5G6B5, TextureFilter::Bilinear},
    {"TexturedTrilinear", kR5G6B5, RSBFormat_R5G6B5, TextureFilter::Trilinear},
    {"TexturedNearestBlend", kR5G6B5, RSBFormat_R5G6B5, TextureFilter::NearestBlend},
    {"TexturedA4R4G4B4", CheckerIn<RSBFormat_A4R4G4B4>, RSBFormat_A4R4G4B4, TextureFilter::NearestMip},
    {"TexturedA1R5G5B5", CheckerIn<RSBFormat_A1R5G5B5>, RSBFormat_A1R5G5B5, TextureFilter::NearestMip},
    {"TexturedX8R8G8B8", kX8R8G8B8, RSBFormat_X8R8G8B8, TextureFilter::NearestMip},
    {"TexturedA8R8G8B8", kA8R8G8B8, RSBFormat_A8R8G8B8, TextureFilter::NearestMip},
    {"TexturedA8R8G8B8Bilinear", kA8R8G8B8, RSBFormat_A8R8G8B8, TextureFilter::Bilinear},
};

const TexturedCase kPixelHeavyCases[] = {
    {"Nearest", kR5G6B5, RSBFormat_R5G6B5, TextureFilter::Nearest},
    {"NearestMip", kR5G6B5, RSBFormat_R5G6B5, TextureFilter::NearestMip},
    {"NearestMipMirror", kR5G6B5, RSBFormat_R5G6B5, TextureFilter::NearestMip, TextureWrap::Mirror},
    {"NearestMipClamp", kR5G6B5, RSBFormat_R5G6B5, TextureFilter::NearestMip, TextureWrap::Clamp},
    {"NearestMip256", kR5G6B5, RSBFormat_R5G6B5, TextureFilter::NearestMip, TextureWrap::Repeat, 256},
    {"NearestBlend", kR5G6B5, RSBFormat_R5G6B5, TextureFilter::NearestBlend},
    {"Bilinear", kR5G6B5, RSBFormat_R5G6B5, TextureFilter::Bilinear},
    {"BilinearMirror", kR5G6B5, RSBFormat_R5G6B5, TextureFilter::Bilinear, TextureWrap::Mirror},
    {"BilinearClamp", kR5G6B5, RSBFormat_R5G6B5, TextureFilter::Bilinear, TextureWrap::Clamp},
    {"BilinearMip", kR5G6B5, RSBFormat_R5G6B5, TextureFilter::BilinearMip},
    {"Trilinear", kR5G6B5, RSBFormat_R5G6B5, TextureFilter::Trilinear},
    {"TrilinearX8R8G8B8", kX8R8G8B8, RSBFormat_X8R8G8B8, TextureFilter::Trilinear},
    {"NearestMipA4R4G4B4", CheckerIn<RSBFormat_A4R4G4B4>, RSBFormat_A4R4G4B4, TextureFilter::NearestMip},
    {"NearestMipA1R5G5B5", CheckerIn<RSBFormat_A1R5G5B5>, RSBFormat_A1R5G5B5, TextureFilter::NearestMip},
    {"NearestMipX8R8G8B8", kX8R8G8B8, RSBFormat_X8R8G8B8, TextureFilter::NearestMip},
    {"BilinearA8R8G8B8", kA8R8G8B8, RSBFormat_A8R8G8B8, TextureFilter::Bilinear},
    {"BilinearOrMip", kR5G6B5, RSBFormat_R5G6B5, TextureFilter::BilinearOrMip},
    {"NearestMipL8", CheckerIn<RSBFormat_L8>, RSBFormat_L8, TextureFilter::NearestMip},
};

const TexturedCase kCubeCases[] = {
    {"Textured", kR5G6B5, RSBFormat_R5G6B5, TextureFilter::NearestMip},
    {"Trilinear", kR5G6B5, RSBFormat_R5G6B5, TextureFilter::Trilinear},
};

// Both renderers and the scenes, made once (the device is a singleton).
struct Setup {
    std::vector<peer::SceneTriangle> tiny = peer::MakeScene(27, kTriangles, kTriangleSize, false);
    std::vector<peer::SceneTriangle> small = peer::MakeSmallScene(28, kTriangles, kWidth, kHeight);
    std::vector<peer::SceneTriangle> thin = peer::MakeThinScene(29, kTriangles, kWidth, kHeight);
    std::vector<peer::SceneTriangle> heavy = peer::MakePixelHeavyScene();
    std::vector<peer::SceneTriangle> cube = peer::MakeCubeScene();
    peer::MGLPeerRenderer ours{kWidth, kHeight};
    peer::OSMesaPeer mesa{kWidth, kHeight};
    const std::vector<peer::SceneTriangle>* scene = nullptr;
    const TexturedCase* texture = nullptr;

    Setup() {
        if (mesa.ok) std::fprintf(stderr, "reference: %s\n", peer::OSMesaPeer::RendererName());
    }

    // Both sides take the case's scene and texture, unless they hold them
    // already.
    void Use(const std::vector<peer::SceneTriangle>& drawn, const TexturedCase* textured) {
        if (scene != &drawn) {
            scene = &drawn;
            ours.SetScene(drawn);
        }
        if (textured == nullptr || textured == texture) return;
        texture = textured;
        mesa.SetTexture(ours.SetTexture(textured->texel, textured->format, textured->filter, textured->wrap,
                                        textured->size));
    }
};

Setup& Shared() {
    static std::unique_ptr<Setup> setup = std::make_unique<Setup>();
    return *setup;
}

enum class SceneKind { Tiny, Small, Thin, Heavy, Cube };

// What one benchmark draws: one of the scenes, flat (no texture) or
// textured.
struct Case {
    SceneKind scene;
    const TexturedCase* textured;

    const std::vector<peer::SceneTriangle>& Scene(const Setup& setup) const {
        switch (scene) {
            case SceneKind::Tiny: return setup.tiny;
            case SceneKind::Small: return setup.small;
            case SceneKind::Thin: return setup.thin;
            case SceneKind::Cube: return setup.cube;
            default: return setup.heavy;
        }
    }
};

// The CRC of our target's colour buffer, row by row.
std::string PictureLabel(const peer::MGLPeerRenderer& ours) {
    std::vector<uint8_t> pixels;
    for (int32_t y = 0; y < kHeight; ++y) pixels.insert(pixels.end(), ours.r.Row(0, y), ours.r.Row(0, y) + 2 * kWidth);
    char label[32];
    std::snprintf(label, sizeof label, "picture %08X", CCrc32().Compute(pixels.data(), static_cast<uint32_t>(pixels.size())));
    return label;
}

void Ours(benchmark::State& state, Case drawn) {
    Setup& setup = Shared();
    if (!setup.ours.ok || !setup.mesa.ok) {
        state.SkipWithError("no renderer");
        return;
    }
    setup.Use(drawn.Scene(setup), drawn.textured);
    const bool textured = drawn.textured != nullptr;
    const int32_t triangles = static_cast<int32_t>(drawn.Scene(setup).size());
    for (auto _ : state) {
        setup.ours.BeginFrame(textured);
        setup.ours.Draw(textured, 0, triangles);
        benchmark::DoNotOptimize(setup.ours.Pixel(kWidth / 2, kHeight / 2));
    }
    state.SetLabel(PictureLabel(setup.ours));
}

void Reference(benchmark::State& state, Case drawn) {
    Setup& setup = Shared();
    if (!setup.ours.ok || !setup.mesa.ok) {
        state.SkipWithError("no off-screen renderer");
        return;
    }
    setup.Use(drawn.Scene(setup), drawn.textured);
    const bool textured = drawn.textured != nullptr;
    for (auto _ : state) {
        setup.mesa.Clear();
        setup.mesa.Draw(drawn.Scene(setup), textured);
        setup.mesa.Finish();
        benchmark::DoNotOptimize(setup.mesa.Pixel(kWidth / 2, kHeight / 2));
    }
}

void Register(const std::string& group, Case drawn) {
    benchmark::RegisterBenchmark((group + "/ours").c_str(), Ours, drawn)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((group + "/reference").c_str(), Reference, drawn)->Unit(benchmark::kMicrosecond);
}

const bool kRegistered = [] {
    Register("MglRaster1000FlatDepthTested", Case{SceneKind::Tiny, nullptr});
    for (const TexturedCase& textured : kTexturedCases) {
        Register(std::string("MglRaster1000") + textured.name, Case{SceneKind::Tiny, &textured});
    }
    Register("MglRasterSmallFlatDepthTested", Case{SceneKind::Small, nullptr});
    for (const TexturedCase& textured : kTexturedCases) {
        Register(std::string("MglRasterSmall") + textured.name, Case{SceneKind::Small, &textured});
    }
    Register("MglRasterThinFlatDepthTested", Case{SceneKind::Thin, nullptr});
    Register("MglRasterHeavyFlat", Case{SceneKind::Heavy, nullptr});
    for (const TexturedCase& textured : kPixelHeavyCases) {
        Register(std::string("MglRasterHeavy") + textured.name, Case{SceneKind::Heavy, &textured});
    }
    for (const TexturedCase& textured : kCubeCases) {
        Register(std::string("MglRasterCube") + textured.name, Case{SceneKind::Cube, &textured});
    }
    return true;
}();

}  // namespace
