// Render-surface resources: the attribute pairs that Configure turns into an
// off-screen surface. The first input byte chooses the resource type and the
// display format; the rest is the stored pairs. Whatever is created is then
// read in full, so that the sanitizer sees any plane smaller than it claims.

#include <cstdint>
#include <cstdlib>

#include "../tests/graphics2d/OffScreenDevice.h"
#include "CArrayInputStream.h"
#include "CBlitUtil.h"
#include "CColor.h"
#include "CHash.h"
#include "CRenderSurfaceBuffer.h"
#include "CRenderSurface_SW_OffScreen.h"
#include "CSingleton.h"
#include "FuzzCheck.h"

namespace {

const uint32_t kTypes[] = {0x59EFBC42, 0x59F4BC42, 0x59F4BC59, 0x9F4BC472, 0xE179EFBE, 0xE179F4BE};
const uint32_t kDisplayFormats[] = {RSBFormat_R5G6B5, RSBFormat_X14R6G6B6, RSBFormat_X8R8G8B8, RSBFormat_A8R8G8B8};

// The singleton table and an open device (which fills the blit registry),
// for the whole run.
class DeviceScope {
public:
    DeviceScope() {
        m_singletons.Init(8, 8, true);
        CSingleton::SetTable(&m_singletons);
        m_device = new OffScreenDevice(4, 4, RSBFormat_R5G6B5);
        m_device->Open();
    }
    ~DeviceScope() {
        m_device->Close();
        delete m_device;
        delete CBlitUtil::GetInstance();
        CSingleton::SetTable(nullptr);
    }
    DeviceScope(const DeviceScope&) = delete;
    DeviceScope& operator=(const DeviceScope&) = delete;

    OffScreenDevice* Device() { return m_device; }

private:
    CHash m_singletons;
    OffScreenDevice* m_device = nullptr;
};

OffScreenDevice* Device() {
    static DeviceScope scope;
    return scope.Device();
}

uint32_t ReadAllPlanes(const CRenderSurface& surface) {
    uint32_t sum = 0;
    for (uint32_t index = 0; index < CRenderSurface::kPlaneCount; ++index) {
        const CRenderSurfaceBuffer* plane = surface.GetPlane(index);
        if (plane == nullptr || plane->GetPixels(0) == nullptr) continue;
        const uint32_t rowBytes = plane->GetWidth() * CColor::BytesPerPixel(plane->GetFormat());
        for (uint32_t y = 0; y < plane->GetHeight(); ++y) {
            const uint8_t* row = static_cast<const uint8_t*>(plane->GetPixels(0)) + static_cast<intptr_t>(y) * plane->GetPitch();
            for (uint32_t x = 0; x < rowBytes; ++x) sum += row[x];
        }
    }
    return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    OffScreenDevice* device = Device();
    device->SetDisplayFormat(kDisplayFormats[data[0] / 8 % 4]);
    CArrayInputStream stream;
    stream.Open(data + 1, static_cast<uint32_t>(size - 1));
    CRenderSurface_SW_OffScreen surface;
    if (surface.Configure(&stream, kTypes[data[0] % 6])) {
        // A depth or stencil plane asked for with format 0 is never made, and
        // the description then fails; the size is known either way.
        CRenderSurfaceDesc desc = {};
        const bool described = surface.GetDesc(&desc);
        uint32_t width = 0;
        uint32_t height = 0;
        Check(surface.GetSize(&width, &height));
        Check(!described || (width == desc.width && height == desc.height));
        volatile uint32_t sink = ReadAllPlanes(surface);
        (void)sink;
    } else {
        Check((surface.GetFlags() & CRenderSurface::kFlagCreated) == 0);
    }
    return 0;
}
