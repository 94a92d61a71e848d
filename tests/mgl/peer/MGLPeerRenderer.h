#ifndef MGLPEERRENDERER_H
#define MGLPEERRENDERER_H

// Our renderer set up like the peer (OSMesaPeer.h): an r5g6b5 target with a
// 32-bit depth buffer, the same frustum and viewport, flat triangles through
// the portable flat span with each triangle's colour set by the vertex hook,
// textured ones through the portable textured span (perspective-correct,
// with the texture's format, filter and wrap mode).

#include <cstring>
#include <vector>

#include "MGLBufferOps.h"
#include "MGLBufferSlots.h"
#include "MGLBufferTable.h"
#include "MGLSpans.h"
#include "PeerScene.h"
#include "RenderPolyRig.h"

namespace peer {

class MGLPeerRenderer {
public:
    static constexpr int32_t kTextureSize = 64;
    static constexpr int32_t kPoolVertices = 16384;

    MGLPeerRenderer(int32_t width, int32_t height) : r(width, height, RSBFormat_R5G6B5, RSBFormat_Z32, kPoolVertices) {
        ok = r.ok;
    }

    // The scene's corners as the position stream (x, y, z, 1 in 16.16).
    void SetScene(const std::vector<SceneTriangle>& scene) {
        m_scene = &scene;
        r.positions.clear();
        for (const SceneTriangle& t : scene) {
            for (const auto& p : t.p) r.positions.insert(r.positions.end(), {rig::Fixed(p[0]), rig::Fixed(p[1]), rig::Fixed(p[2]), rig::ONE});
        }
        r.poly->PositionFetcher().Setup(r.positions.data(), 4, CInterpolantFetcher::kTypeInt32, 0, 0, 16);
    }

    // A size x size texture of `format` (texels as that format stores them)
    // with its box-filtered mip chain in unit 0, sampled with our filter mode
    // `filter` and wrap mode `wrap`; returns it, levels size x size down to
    // 1 x 1, for the peer.
    PeerTexture SetTexture(uint32_t (*texel)(int32_t x, int32_t y), uint32_t format = RSBFormat_R5G6B5,
                           TextureFilter filter = TextureFilter::NearestMip, TextureWrap wrap = TextureWrap::Repeat,
                           int32_t size = kTextureSize) {
        BufferTable& table = *r.context->Buffers();
        if (m_texture >= 0) table.FreeBuffer(m_texture);
        m_texture = table.AllocBuffer(size, size, format, 0);
        m_filter = filter;
        m_wrap = wrap;
        const BufferRecord* record = BufferSlots::Of(table).Slot(m_texture);
        const size_t bpp = format & 31u;
        for (int32_t y = 0; y < size; ++y) {
            for (int32_t x = 0; x < size; ++x) {
                const uint32_t value = texel(x, y);
                std::memcpy(record->levels[0] + bpp * (y * size + x), &value, bpp);
            }
        }
        BuildMipChain(table, m_texture);
        PeerTexture texture{format, filter, wrap, size, {}};
        for (int32_t level = 0, extent = size; level <= record->maxD; ++level, extent /= 2) {
            const uint8_t* pixels = record->levels[level];
            texture.levels.emplace_back(pixels, pixels + bpp * extent * extent);
        }
        return texture;
    }

    // Paints every level of the r5g6b5 texture SetTexture made in one
    // colour of its own; returns the texture, for the peer.
    PeerTexture PaintLevels(const std::vector<uint16_t>& colours) {
        const BufferRecord* record = BufferSlots::Of(*r.context->Buffers()).Slot(m_texture);
        PeerTexture texture{record->format, m_filter, m_wrap, kTextureSize, {}};
        for (int32_t level = 0, size = kTextureSize; level <= record->maxD; ++level, size /= 2) {
            const uint16_t colour = colours[level % colours.size()];
            std::vector<uint8_t>& pixels = texture.levels.emplace_back(static_cast<size_t>(size) * size * 2);
            for (size_t i = 0; i < pixels.size(); i += 2) std::memcpy(&pixels[i], &colour, 2);
            std::memcpy(record->levels[level], pixels.data(), pixels.size());
        }
        return texture;
    }

    // Target, matrices, pool, projection and clears for a new frame.
    void BeginFrame(bool textured) {
        r.context->Reset();
        // The textured span's perspective terms stay within 32 bits for a
        // depth range of 1/16 (see MGLSpans.h).
        r.context->SetViewport(0, 0, r.Width(), r.Height(), 0, textured ? rig::ONE / 16 : rig::ONE);
        r.context->SetFrustum(-rig::ONE, rig::ONE, -rig::ONE, rig::ONE, rig::ONE, 9 * rig::ONE);
        r.context->UpdateProjection(1);
        r.context->ClearColorPlane(r.Width(), r.Height());
        r.context->ClearDepthPlane(r.Width(), r.Height());
    }

    // Triangles first .. first + count - 1 of the scene.
    void Draw(bool textured, int32_t first, int32_t count) {
        MGLRecord& s = r.context->Record();
        const std::vector<SceneTriangle>& scene = *m_scene;
        if (textured) {
            r.poly->BindNativeSpan(SpanTexturedPerspective, MGLNativeSpanLayout{3, 0, 0, kScaledUV, 3});
            s.perspectiveGradients = 1;
            r.context->BindBufferToUnit(0, m_texture, *r.context->Buffers());
            s.texture_units[0].filter_mode = static_cast<int32_t>(m_filter);
            s.texture_units[0].texmode = static_cast<int32_t>(m_wrap);
            r.poly->SetVertexHook([&scene, first](int32_t* vertex, int32_t n) {
                const SceneTriangle& t = scene[first + n / 3];
                vertex[15] = rig::Fixed(t.uv[n % 3][0]);
                vertex[16] = rig::Fixed(t.uv[n % 3][1]);
            });
        } else {
            r.poly->BindNativeSpan(SpanFlatDepth, MGLNativeSpanLayout{1, 0, 0, 0, 3});
            s.perspectiveGradients = 0;
            r.poly->SetVertexHook([&scene, &s, first](int32_t*, int32_t n) {
                if (n % 3 != 0) return;
                uint8_t rgb[3];
                Channels(scene[first + n / 3].colour, rgb);
                s.drawColor[1] = rgb[0];
                s.drawColor[2] = rgb[1];
                s.drawColor[3] = rgb[2];
            });
        }
        r.poly->PositionFetcher().Setup(r.positions.data() + 12 * first, 4, CInterpolantFetcher::kTypeInt32, 0, 0, 16);
        r.poly->DrawPolygons(3, 3 * count, count);
    }

    uint16_t Pixel(int32_t x, int32_t y) const { return r.Pixel16(x, y); }

    rig::Renderer r;
    bool ok = false;

private:
    static constexpr uint32_t kScaledUV = 6;

    const std::vector<SceneTriangle>* m_scene = nullptr;
    int32_t m_texture = -1;
    TextureFilter m_filter = TextureFilter::NearestMip;
    TextureWrap m_wrap = TextureWrap::Repeat;
};

}  // namespace peer

#endif
