#ifndef RENDERPOLYRIG_H
#define RENDERPOLYRIG_H

// A renderer ready to draw for the pipeline's tests: a test device whose
// current surface has an r5g6b5 (or other) colour buffer and a 32-bit depth
// plane, an initialised context bound to it with a perspective or
// orthographic projection over the whole target, a RenderPoly, vertex
// streams the tests fill, and a span routine that records every call.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "CColor.h"
#include "CRenderSurfaceBuffer.h"
#include "MGLContext.h"
#include "MGLContextCore.h"
#include "MGLTestDevice.h"
#include "MGLTexel.h"
#include "MGLTextureSampler.h"
#include "RenderPoly.h"

namespace rig {

constexpr int32_t ONE = 0x10000;

// A filter or wrap mode as the texture unit's field holds it.
inline int32_t UnitField(TextureFilter filter) { return static_cast<int32_t>(filter); }
inline int32_t UnitField(TextureWrap wrap) { return static_cast<int32_t>(wrap); }

inline int32_t Fixed(double v) { return static_cast<int32_t>(v * ONE + (v < 0 ? -0.5 : 0.5)); }
inline double ToDouble(int32_t v) { return v / 65536.0; }

// Pixels a span call covers: centres within [r1, r2].
inline int32_t FirstPixel(int32_t x0) { return static_cast<int32_t>((static_cast<int64_t>(x0) + 32767) >> 16); }
inline int32_t EndPixel(int32_t x1) { return static_cast<int32_t>((static_cast<int64_t>(x1) + 32768) >> 16); }

// One span call as the fill made it.
struct SpanCall {
    int32_t row;       // from destptr
    int32_t r1;        // left x (triangle fill) or left edge's x (polygon fill)
    int32_t r2;
    uint32_t destptr;
    std::vector<int32_t> intp;  // interpolants: at the first pixel (triangle fill) or of the left edge (polygon fill)
};

class Renderer {
public:
    explicit Renderer(int32_t width = 64, int32_t height = 48, uint32_t colour = RSBFormat_R5G6B5,
                      uint32_t depth = RSBFormat_Z32, int32_t poolVertices = 4096)
        : m_width(width), m_height(height) {
        ok = device.MakeSurface(static_cast<uint32_t>(width), static_cast<uint32_t>(height), colour, depth);
        ok = ok && context->Init(poolVertices) != nullptr;
        poly = std::make_unique<RenderPoly>(*context);
        Reset();
        poly->PositionFetcher().Setup(positions.data(), 4, CInterpolantFetcher::kTypeInt32, 0, 0, 16);
    }

    // Per frame: target, matrices, pool; viewport over the target, a
    // frustum from z = -1 to -9 (x and y within +-z) and its clip bounds.
    void Reset() {
        context->Reset();
        context->SetViewport(0, 0, m_width, m_height, 0, ONE);
        context->SetFrustum(-ONE, ONE, -ONE, ONE, ONE, 9 * ONE);
        context->UpdateProjection(1);
    }

    // Screen-space draws: clip bounds of the whole target in 16.16 pixels,
    // or of `width` x `height` pixels from its corner.
    void UseScreenBounds() { UseScreenBounds(m_width, m_height); }
    void UseScreenBounds(int32_t width, int32_t height) {
        MGLRecord& s = context->Record();
        s.ccx0 = 0;
        s.ccx1 = width * ONE;
        s.ccy0 = 0;
        s.ccy1 = height * ONE;
    }

    // Position stream: four 16.16 words per element (x, y, z, w).
    void SetPositions(const std::vector<std::vector<double>>& points) {
        positions.assign(points.size() * 4, 0);
        for (size_t i = 0; i < points.size(); ++i) {
            for (size_t c = 0; c < 4; ++c) positions[4 * i + c] = c < points[i].size() ? Fixed(points[i][c]) : (c == 3 ? ONE : 0);
        }
        poly->PositionFetcher().Setup(positions.data(), 4, CInterpolantFetcher::kTypeInt32, 0, 0, 16);
    }

    // Binds a span that records its calls and draws nothing.
    void RecordSpans(int32_t fillMode, int32_t interpolants = 1, int32_t depth = 0) {
        calls.clear();
        poly->BindNativeSpan(
            [this](MGLContext& c, uint32_t r1, uint32_t r2) { Record(c, r1, r2); },
            MGLNativeSpanLayout{interpolants, 0, depth, 0, fillMode});
    }

    int32_t RowOf(uint32_t destptr) const {
        const MGLRecord& s = context->Record();
        return static_cast<int32_t>(destptr - s.destbase) / s.deststride;
    }

    uint16_t Pixel16(int32_t x, int32_t y) const {
        uint16_t v;
        std::memcpy(&v, Row(0, y) + 2 * x, 2);
        return v;
    }
    uint32_t Pixel32(int32_t x, int32_t y) const {
        uint32_t v;
        std::memcpy(&v, Row(0, y) + 4 * x, 4);
        return v;
    }
    uint32_t Depth(int32_t x, int32_t y) const {
        uint32_t v;
        std::memcpy(&v, Row(1, y) + 4 * x, 4);
        return v;
    }
    uint8_t* Row(uint32_t plane, int32_t y) const {
        const CRenderSurfaceBuffer* p = device.Plane(plane);
        return static_cast<uint8_t*>(p->GetPixels(0)) + static_cast<ptrdiff_t>(y) * p->GetPitch();
    }
    void FillPlane(uint32_t plane, uint8_t value) {
        const CRenderSurfaceBuffer* p = device.Plane(plane);
        for (int32_t y = 0; y < m_height; ++y) std::memset(Row(plane, y), value, p->GetWidth() * (p->GetFormat() & 31u));
    }

    int32_t Width() const { return m_width; }
    int32_t Height() const { return m_height; }

    MGLTestDevice device;
    std::unique_ptr<MGLContext> context = std::make_unique<MGLContext>();
    std::unique_ptr<RenderPoly> poly;
    std::vector<int32_t> positions;
    std::vector<SpanCall> calls;
    bool ok = false;

private:
    void Record(MGLContext& c, uint32_t r1, uint32_t r2) {
        const MGLRecord& s = c.Record();
        SpanCall call{RowOf(s.destptr), static_cast<int32_t>(r1), static_cast<int32_t>(r2), s.destptr, {}};
        const bool polygonFill = s.fillMode <= MGLContext::kFillPolygonLast;
        if (polygonFill) {
            // r1 and r2 are the guest addresses of the two edge records.
            const int32_t* left = reinterpret_cast<const int32_t*>(MGLContextCore::Of(c).GuestMemory().ToHost(r1, 80));
            const int32_t* right = reinterpret_cast<const int32_t*>(MGLContextCore::Of(c).GuestMemory().ToHost(r2, 80));
            call.r1 = left[RenderPoly::kWordPixelX];
            call.r2 = right[RenderPoly::kWordPixelX];
            for (int32_t i = 0; i < s.numInterpolants; ++i) call.intp.push_back(left[14 + i]);
        } else {
            // At the first pixel the span covers.
            const int32_t first = FirstPixel(static_cast<int32_t>(r1));
            for (int32_t i = 0; i < s.numInterpolants; ++i) {
                call.intp.push_back(static_cast<int32_t>(static_cast<uint32_t>(s.intp_y[i]) +
                                                         static_cast<uint32_t>(first) * static_cast<uint32_t>(s.intp_dx[i])));
            }
        }
        calls.push_back(call);
    }

    int32_t m_width;
    int32_t m_height;
};


// A fixture over a renderer with a width x height r5g6b5 target, which
// every test starts with ready; a fixture sets up the rest in Prepare.
template <int32_t Width = 64, int32_t Height = 48>
class RenderPolyTest : public ::testing::Test {
protected:
    void SetUp() final {
        ASSERT_TRUE(r.ok);
        Prepare();
    }
    virtual void Prepare() {}

    Renderer r{Width, Height};
};

}  // namespace rig

#endif
