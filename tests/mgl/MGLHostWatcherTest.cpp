// A host's own watcher of the render target, told before the contexts that
// draw into it, as a host sees the renderer: through its public headers.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "CColor.h"
#include "CRenderSurface.h"
#include "CRenderSurfaceBuffer.h"
#include "CRenderSurfaceWatcher.h"
#include "MGLContext.h"
#include "MGLSpans.h"
#include "MGLTestDevice.h"

namespace {

constexpr int32_t ONE = 0x10000;
constexpr int32_t kSide = 8;

// The record set for a flat span along row 0 of the bound planes.
void AtRowZero(MGLContext& context) {
    MGLRecord& s = context.Record();
    s.destptr = s.destbase;
    s.zptr = s.zbase;
    s.numInterpolants = 1;
    s.depthInterpolant = 0;
    s.depthTest = 0;
    s.depthWrite = 1;
    for (int32_t& channel : s.drawColor) channel = 255;
    s.intp_y[0] = ONE;
    s.intp_dx[0] = 0;
}

// The first pixel of each plane the context hands out, summed.
uint32_t ReadPlanes(const MGLContext& context) {
    uint32_t sum = 0;
    for (const MGLContext::Plane plane : {MGLContext::Plane::Colour, MGLContext::Plane::Depth}) {
        const uint8_t* pixels = context.PlanePixels(plane);
        const uint8_t* span = context.PlaneSpan(plane, 0, 0, 1);
        if (pixels != nullptr) sum += pixels[0];
        if (span != nullptr) sum += span[0];
    }
    return sum;
}

// Whenever it is told, it reads the planes each context hands out, as a
// native span would, draws row 0 through the context with a span and reads
// them again.
class DrawingWatcher final : public CRenderSurfaceWatcher {
public:
    explicit DrawingWatcher(std::array<MGLContext*, 2> contexts) : m_contexts(contexts) {}
    ~DrawingWatcher() {
        if (m_watched != nullptr) m_watched->RemoveWatcher(this);
    }
    DrawingWatcher(const DrawingWatcher&) = delete;
    DrawingWatcher& operator=(const DrawingWatcher&) = delete;

    void Watch(CRenderSurface* surface) {
        m_watched = surface;
        surface->AddWatcher(this);
    }
    void Draw() {
        for (MGLContext* context : m_contexts) {
            m_readFirst += ReadPlanes(*context);
            AtRowZero(*context);
            SpanFlatDepth(*context, 0, kSide * ONE);
            m_read += ReadPlanes(*context);
        }
    }

    void PlanesChanged(CRenderSurface&) override {
        ++m_told;
        Draw();
    }
    void SurfaceEnding(CRenderSurface&) override {
        ++m_told;
        m_watched = nullptr;
        Draw();
    }

    int32_t Told() const { return m_told; }
    // What was read after the spans.
    uint32_t Read() const { return m_read; }

private:
    std::array<MGLContext*, 2> m_contexts;
    CRenderSurface* m_watched = nullptr;
    int32_t m_told = 0;
    uint32_t m_readFirst = 0;
    uint32_t m_read = 0;
};

// Two contexts bound to an 8x8 r5g6b5 target with a z32 plane, and the
// host's watcher added after their first bind: each bind after it puts the
// contexts behind it, so the host's watcher is told first.
struct WatchedTarget {
    MGLTestDevice device;
    MGLContext first;
    MGLContext second;
    DrawingWatcher watcher{{&first, &second}};

    bool Start() {
        if (!device.MakeSurface(kSide, kSide, RSBFormat_R5G6B5, RSBFormat_Z32)) return false;
        for (MGLContext* context : {&first, &second}) {
            if (context->Init(16) == nullptr) return false;
            context->SetViewport(0, 0, kSide, kSide, 0, ONE);
            context->Reset();
        }
        CRenderSurface* surface = device.GetCurrentSurface();
        if (surface == nullptr) return false;
        watcher.Watch(surface);
        first.Reset();
        second.Reset();
        return true;
    }
};

struct PlaneChangeCase {
    const char* name;
    std::function<void(MGLTestDevice&)> change;
};

// Whatever the surface does to its planes, the host's watcher, told before
// the contexts, reaches none of the pixels it lets go of freed: the planes
// the contexts hand out still stand until every watcher is told, and the
// spans find the contexts' target gone, let go of it and draw nothing.
TEST(MGLHostWatcherTest, AWatcherToldBeforeTheContextsReachesNoFreedPixels) {
    const PlaneChangeCase cases[] = {
        {"colour plane released", [](MGLTestDevice& d) { d.Plane(CRenderSurface::kPlaneColor)->Release(); }},
        {"depth plane made anew",
         [](MGLTestDevice& d) {
             d.Plane(CRenderSurface::kPlaneDepth)
                 ->Create(RSBFormat_Z32, kSide, kSide, false, nullptr, nullptr, CRenderSurfaceBuffer::kPitchTopDown,
                          0, nullptr);
         }},
        {"surface deleted", [](MGLTestDevice& d) { d.DropSurface(); }},
    };
    for (const PlaneChangeCase& c : cases) {
        SCOPED_TRACE(c.name);
        WatchedTarget target;
        ASSERT_TRUE(target.Start());
        // Bound and drawn into while nothing changed.
        target.watcher.Draw();
        ASSERT_NE(target.first.PlanePixels(MGLContext::Plane::Colour), nullptr);
        const uint32_t readBefore = target.watcher.Read();
        EXPECT_NE(readBefore, 0u);
        const void* oldDepth = target.device.Plane(CRenderSurface::kPlaneDepth)->GetPixels(0);

        c.change(target.device);
        EXPECT_EQ(target.watcher.Told(), 1);
        EXPECT_EQ(target.watcher.Read(), readBefore) << "the spans let go of the planes before they were read";
        for (const MGLContext* context : {&target.first, &target.second}) {
            EXPECT_EQ(context->PlanePixels(MGLContext::Plane::Colour), nullptr);
            EXPECT_EQ(context->PlanePixels(MGLContext::Plane::Depth), nullptr);
        }
        CRenderSurfaceBuffer* depth = target.device.Plane(CRenderSurface::kPlaneDepth);
        if (depth != nullptr && depth->GetPixels(0) != nullptr && depth->GetPixels(0) != oldDepth) {
            EXPECT_EQ(*static_cast<const uint32_t*>(depth->GetPixels(0)), 0u) << "no span drew into the new plane";
        }
    }
}

}  // namespace
