#ifndef PEERSCENE_H
#define PEERSCENE_H

// Scenes drawn both by our renderer and by Mesa's off-screen renderer, for
// the comparison test and the raster benchmark: triangles in eye space in
// front of a camera looking down -z, inside (or, when asked, across) the
// frustum x, y in [-z, z], z in [-9, -1], each with its own flat colour and
// texture coordinates.

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "MGLTexel.h"
#include "MGLTextureSampler.h"

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

// The texture both peers draw with: its format, our filter and wrap modes,
// its size and its mip levels from size x size down to 1 x 1 as the format
// stores texels.
struct PeerTexture {
    uint32_t format;
    TextureFilter filter;
    TextureWrap wrap;
    int32_t size;
    std::vector<std::vector<uint8_t>> levels;
};

// The uniform values of a seeded scene, in the order they are asked for.
class SceneRandom {
public:
    explicit SceneRandom(uint32_t seed) : m_random(seed) {}
    float Unit() { return m_unit(m_random); }
    float Within(float lo, float hi) { return lo + (hi - lo) * Unit(); }

private:
    std::mt19937 m_random;
    std::uniform_real_distribution<float> m_unit{0.0f, 1.0f};
};

// `count` triangles of about `size` units across at depths 1.5 to 8.5; with
// `across`, corners may lie outside the frustum on any side.
inline std::vector<SceneTriangle> MakeScene(uint32_t seed, int32_t count, float size, bool across) {
    SceneRandom random(seed);
    std::vector<SceneTriangle> scene;
    for (int32_t i = 0; i < count; ++i) {
        SceneTriangle t{};
        const float depth = 1.5f + 7.0f * random.Unit();
        const float reach = across ? 1.6f : 0.9f;
        const float cx = (2 * random.Unit() - 1) * reach * depth;
        const float cy = (2 * random.Unit() - 1) * reach * depth;
        for (int32_t k = 0; k < 3; ++k) {
            t.p[k][0] = cx + (random.Unit() - 0.5f) * size * depth;
            t.p[k][1] = cy + (random.Unit() - 0.5f) * size * depth;
            t.p[k][2] = -(depth + (random.Unit() - 0.5f) * (across ? 12.0f : 0.5f));
            t.uv[k][0] = 64 * random.Unit();
            t.uv[k][1] = 64 * random.Unit();
        }
        t.colour = static_cast<uint16_t>(1 + (i * 2654435761u >> 16) % 0xFFFE);
        scene.push_back(t);
    }
    return scene;
}

// `count` triangles of a few pixels on a width x height target: corners
// about 3.4 to 4.6 pixels from a centre and about a third of a turn apart
// (edges of about 4.5 to 8.5 pixels, some 20 pixels a triangle), at depths
// 1.5 to 8.5, and textures from magnified twice to minified some six times.
inline std::vector<SceneTriangle> MakeSmallScene(uint32_t seed, int32_t count, int32_t width, int32_t height) {
    constexpr float kTurn = 6.2831853f;
    constexpr float kMargin = 6;
    SceneRandom random(seed);
    std::vector<SceneTriangle> scene;
    for (int32_t i = 0; i < count; ++i) {
        SceneTriangle t{};
        const float depth = random.Within(1.5f, 8.5f);
        const float cx = random.Within(kMargin, static_cast<float>(width) - kMargin);
        const float cy = random.Within(kMargin, static_cast<float>(height) - kMargin);
        const float turn = random.Within(0, kTurn);
        const float texelsPerPixel = std::exp2(random.Within(-1.0f, 2.5f));
        const float u0 = random.Within(0, 64);
        const float v0 = random.Within(0, 64);
        for (int32_t k = 0; k < 3; ++k) {
            const float angle = turn + static_cast<float>(k) * kTurn / 3 + random.Within(-0.3f, 0.3f);
            const float radius = random.Within(3.4f, 4.6f);
            const float dx = radius * std::cos(angle);
            const float dy = radius * std::sin(angle);
            const float z = depth + random.Within(-0.25f, 0.25f);
            t.p[k][0] = (2 * (cx + dx) / static_cast<float>(width) - 1) * z;
            t.p[k][1] = (2 * (cy + dy) / static_cast<float>(height) - 1) * z;
            t.p[k][2] = -z;
            t.uv[k][0] = u0 + dx * texelsPerPixel;
            t.uv[k][1] = v0 + dy * texelsPerPixel;
        }
        t.colour = static_cast<uint16_t>(1 + (i * 2654435761u >> 16) % 0xFFFE);
        scene.push_back(t);
    }
    return scene;
}

// `count` long thin triangles on a width x height target, where the set-up
// of each row costs most: 40 to 120 pixels long, within 30 degrees of
// upright, narrowing from a base 1 to 3 pixels wide to a point, at depths
// 1.5 to 8.5.
inline std::vector<SceneTriangle> MakeThinScene(uint32_t seed, int32_t count, int32_t width, int32_t height) {
    constexpr float kUpright = 1.5707963f;
    constexpr float kLean = 0.5235988f;
    SceneRandom random(seed);
    std::vector<SceneTriangle> scene;
    for (int32_t i = 0; i < count; ++i) {
        SceneTriangle t{};
        const float length = random.Within(40, 120);
        const float angle = kUpright + random.Within(-kLean, kLean);
        const float along[2] = {std::cos(angle) * length, std::sin(angle) * length};
        const float base = random.Within(1, 3);
        const float across[2] = {-std::sin(angle) * base, std::cos(angle) * base};
        const float x0 = random.Within(0, static_cast<float>(width) - along[0]);
        const float y0 = random.Within(0, static_cast<float>(height) - along[1]);
        const float corners[3][2] = {{x0, y0}, {x0 + across[0], y0 + across[1]}, {x0 + along[0], y0 + along[1]}};
        const float depth = random.Within(1.5f, 8.5f);
        for (int32_t k = 0; k < 3; ++k) {
            t.p[k][0] = (2 * corners[k][0] / static_cast<float>(width) - 1) * depth;
            t.p[k][1] = (2 * corners[k][1] / static_cast<float>(height) - 1) * depth;
            t.p[k][2] = -depth;
        }
        t.colour = static_cast<uint16_t>(1 + (i * 2654435761u >> 16) % 0xFFFE);
        scene.push_back(t);
    }
    return scene;
}

// Two triangles of the quad a, b, c, d (in order round it) and its
// corners' texture coordinates.
inline void AddQuad(std::vector<SceneTriangle>& scene, const float p[4][3], const float uv[4][2]) {
    for (const int32_t third : {2, 3}) {
        SceneTriangle t{};
        const int32_t corners[3] = {0, third - 1, third};
        for (int32_t k = 0; k < 3; ++k) {
            for (int32_t i = 0; i < 3; ++i) t.p[k][i] = p[corners[k]][i];
            t.uv[k][0] = uv[corners[k]][0];
            t.uv[k][1] = uv[corners[k]][1];
        }
        t.colour = static_cast<uint16_t>(0x39E7u * static_cast<uint32_t>(scene.size() + 1));
        scene.push_back(t);
    }
}

// A scene of many pixels a triangle: a floor under the whole width of the
// frustum receding from depth 1.05 to 8.5 (16 texels a unit, magnified at
// the front and minified at the back), an upright billboard at depth 2.5
// with texture coordinates past 0..64 on every side (about two pixels a
// texel), and a small quad at depth 8 with the whole of 0..64.
inline std::vector<SceneTriangle> MakePixelHeavyScene() {
    constexpr float kNear = 1.05f;
    constexpr float kFar = 8.5f;
    constexpr float kTexelsPerUnit = 16;
    std::vector<SceneTriangle> scene;
    const float floor[4][3] = {{-kNear, -1, -kNear}, {kNear, -1, -kNear}, {kFar, -1, -kFar}, {-kFar, -1, -kFar}};
    float floorUV[4][2];
    for (int32_t k = 0; k < 4; ++k) {
        floorUV[k][0] = floor[k][0] * kTexelsPerUnit;
        floorUV[k][1] = -floor[k][2] * kTexelsPerUnit;
    }
    AddQuad(scene, floor, floorUV);
    const float board[4][3] = {{-1.6f, -0.9f, -2.5f}, {0.9f, -0.9f, -2.5f}, {0.9f, 1.6f, -2.5f}, {-1.6f, 1.6f, -2.5f}};
    const float boardUV[4][2] = {{-12, 56}, {44, 56}, {44, -20}, {-12, -20}};
    AddQuad(scene, board, boardUV);
    const float far[4][3] = {{2, 0.5f, -8}, {3.2f, 0.5f, -8}, {3.2f, 1.7f, -8}, {2, 1.7f, -8}};
    const float farUV[4][2] = {{0, 64}, {64, 64}, {64, 0}, {0, 0}};
    AddQuad(scene, far, farUV);
    return scene;
}

// A cube of side 2 turned about the vertical and the horizontal axis, its
// centre at depth 3, the whole texture 0..64 on each face: twelve
// triangles over about a third of the target, the far faces drawn first
// and hidden by the depth test.
inline std::vector<SceneTriangle> MakeCubeScene() {
    constexpr float kDepth = 3;
    constexpr float kYaw = 0.6f;
    constexpr float kPitch = 0.45f;
    constexpr int32_t kFaces[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1},
                                      {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
    constexpr float kFaceUV[4][2] = {{0, 0}, {64, 0}, {64, 64}, {0, 64}};
    float corners[8][3];
    for (int32_t c = 0; c < 8; ++c) {
        const float x = c & 4 ? 1.0f : -1.0f, y = c & 2 ? 1.0f : -1.0f, z = c & 1 ? 1.0f : -1.0f;
        const float turnedX = x * std::cos(kYaw) + z * std::sin(kYaw);
        const float turnedZ = -x * std::sin(kYaw) + z * std::cos(kYaw);
        corners[c][0] = turnedX;
        corners[c][1] = y * std::cos(kPitch) - turnedZ * std::sin(kPitch);
        corners[c][2] = y * std::sin(kPitch) + turnedZ * std::cos(kPitch) - kDepth;
    }
    std::vector<SceneTriangle> scene;
    for (const auto& face : kFaces) {
        float p[4][3];
        for (int32_t k = 0; k < 4; ++k) {
            for (int32_t i = 0; i < 3; ++i) p[k][i] = corners[face[k]][i];
        }
        AddQuad(scene, p, kFaceUV);
    }
    return scene;
}

}  // namespace peer

#endif
