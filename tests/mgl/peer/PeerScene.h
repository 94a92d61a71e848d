#ifndef PEERSCENE_H
#define PEERSCENE_H

// Scenes drawn both by our renderer and by Mesa's off-screen renderer, for
// the comparison test and the raster benchmark: triangles in eye space in
// front of a camera looking down -z, inside (or, when asked, across) the
// frustum x, y in [-z, z], z in [-9, -1], each with its own flat colour and
// texture coordinates.

#include <cstdint>
#include <random>
#include <vector>

namespace peer {

struct SceneTriangle {
    float p[3][3];
    float uv[3][2];
    uint16_t colour;  // r5g6b5, exactly representable through 8-bit channels
};

// 8-bit channels whose r5g6b5 packing, by truncation (ours) or by rounding
// (OpenGL's), is exactly `colour`.
inline void Channels(uint16_t colour, uint8_t rgb[3]) {
    const int r5 = colour >> 11, g6 = colour >> 5 & 63, b5 = colour & 31;
    rgb[0] = static_cast<uint8_t>((r5 * 255 + 15) / 31);
    rgb[1] = static_cast<uint8_t>((g6 * 255 + 31) / 63);
    rgb[2] = static_cast<uint8_t>((b5 * 255 + 15) / 31);
}

// Our sampler's filter modes the peers are compared in, and the texture
// both draw with: its format, our filter mode, and its mip levels from 64 x
// 64 down to 1 x 1 as the format stores texels.
constexpr int32_t kFilterNearestMip = 1;
constexpr int32_t kFilterBilinear = 4;
constexpr int32_t kFilterTrilinear = 6;

struct PeerTexture {
    uint32_t format;
    int32_t filter;
    std::vector<std::vector<uint8_t>> levels;
};

// `count` triangles of about `size` units across at depths 1.5 to 8.5; with
// `across`, corners may lie outside the frustum on any side.
inline std::vector<SceneTriangle> MakeScene(uint32_t seed, int32_t count, float size, bool across) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::vector<SceneTriangle> scene;
    for (int32_t i = 0; i < count; ++i) {
        SceneTriangle t{};
        const float depth = 1.5f + 7.0f * unit(random);
        const float reach = across ? 1.6f : 0.9f;
        const float cx = (2 * unit(random) - 1) * reach * depth;
        const float cy = (2 * unit(random) - 1) * reach * depth;
        for (int32_t k = 0; k < 3; ++k) {
            t.p[k][0] = cx + (unit(random) - 0.5f) * size * depth;
            t.p[k][1] = cy + (unit(random) - 0.5f) * size * depth;
            t.p[k][2] = -(depth + (unit(random) - 0.5f) * (across ? 12.0f : 0.5f));
            t.uv[k][0] = 64 * unit(random);
            t.uv[k][1] = 64 * unit(random);
        }
        t.colour = static_cast<uint16_t>(1 + (i * 2654435761u >> 16) % 0xFFFE);
        scene.push_back(t);
    }
    return scene;
}

}  // namespace peer

#endif
