#include "CResourceRenderSurface.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AssertCounter.h"
#include "BigArchiveWriter.h"
#include "CArrayInputStream.h"
#include "CDIB.h"
#include "CRenderSurfaceBuffer.h"
#include "CRenderSurface_SW_OffScreen.h"
#include "CResourceDIB.h"
#include "CResourceManager_v1.h"
#include "ImageFileBuilder.h"
#include "MountedArchive.h"
#include "SurfaceProbe.h"
#include "TestApplication.h"
#include "../graphics2d/OffScreenDevice.h"

namespace {

using surfacetest::Pixel16;

constexpr uint32_t k565 = 0x21302;
constexpr uint32_t kBmpType = 0xB717945F;
constexpr uint32_t kOffScreenType = 0xE179EFBE;
constexpr uint32_t kOffScreenType2 = 0x59EFBC42;
constexpr uint32_t kWindowType = 0x59F4BC59;

constexpr uint32_t kTrueColorImage = 0x10;
constexpr uint32_t kPaletteImage = 0x11;
constexpr uint32_t kMissingImage = 0x99;

class ImageApplication : public TestApplication {
public:
    CResource* CreateResource(uint32_t typeKey) override {
        if (typeKey == kBmpType) return new CResourceDIB();
        if (typeKey == kOffScreenType || typeKey == kOffScreenType2 || typeKey == kWindowType) {
            return new CResourceRenderSurface();
        }
        return nullptr;
    }
};

using imagetest::AttributePairs;
using imagetest::BuildAttributePairs;

imagetest::BmpSpec TrueColorSpec() {
    imagetest::BmpSpec spec;
    spec.width = 3;
    spec.height = 2;
    spec.bitCount = 24;
    spec.rows = {{0xFF0000, 0x00FF00, 0x0000FF}, {0xFFFFFF, 0x000000, 0x808080}};
    return spec;
}

imagetest::BmpSpec PaletteSpec() { return imagetest::IndexedBmp(4, 2, 8, 4); }

class ResourceRenderSurfaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(m_app.Init(), 0);
        m_device = new OffScreenDevice(16, 8, k565);
        ASSERT_TRUE(m_device->Open());
        BigArchiveWriter writer(IdTableForm::List);
        WriteArchive(writer);
        std::string error;
        ASSERT_TRUE(m_archive.Mount(&m_app, writer, "surfaces", 50, 16, &error)) << error;
    }

    void TearDown() override {
        m_archive.Unmount();
        m_device->Close();
        delete m_device;
    }

    void Add(BigArchiveWriter& writer, uint32_t id, uint32_t type, const std::vector<uint8_t>& payload) {
        std::string error;
        ASSERT_TRUE(writer.AddPayload(id, type, payload, false, 4, error)) << error;
    }

    void WriteArchive(BigArchiveWriter& writer) {
        Add(writer, 271, 0, std::vector<uint8_t>(20, 0));  // empty directory
        Add(writer, kTrueColorImage, kBmpType, imagetest::BuildBmp(TrueColorSpec()));
        Add(writer, kPaletteImage, kBmpType, imagetest::BuildBmp(PaletteSpec()));
        const AttributePairs image = {{6, 0xFFFFFFFF}, {14, kTrueColorImage}};
        Add(writer, 0x20, kOffScreenType, BuildAttributePairs(image));
        AttributePairs twelve = {{6, 0xFFFFFFFF}};
        while (twelve.size() < 11) twelve.push_back({4, 0});
        twelve.push_back({14, kTrueColorImage});
        Add(writer, 0x21, kOffScreenType, BuildAttributePairs(twelve));
        AttributePairs thirteen = twelve;
        thirteen.insert(thirteen.begin(), {4, 0});
        Add(writer, 0x22, kOffScreenType, BuildAttributePairs(thirteen));
        std::vector<uint8_t> ragged = BuildAttributePairs(image);
        ragged.push_back(0);
        Add(writer, 0x23, kOffScreenType, ragged);
        Add(writer, 0x24, kOffScreenType, BuildAttributePairs({{16, 7}, {14, kTrueColorImage}}));
        Add(writer, 0x25, kOffScreenType, BuildAttributePairs({{6, 0xFFFFFFFF}, {14, kMissingImage}}));
        Add(writer, 0x26, kWindowType, BuildAttributePairs(image));
        Add(writer, 0x27, kOffScreenType, BuildAttributePairs({{6, 0}, {14, kPaletteImage}}));
        Add(writer, 0x28, kOffScreenType, BuildAttributePairs({{14, kTrueColorImage}, {6, 0xFFFFFFFF}, {4, 1}}));
        Add(writer, 0x29, kOffScreenType, BuildAttributePairs({{14, kMissingImage}, {14, kTrueColorImage}}));
        Add(writer, 0x2A, kOffScreenType2, BuildAttributePairs({{1, 5}, {2, 3}}));
        Add(writer, 0x2B, kOffScreenType, BuildAttributePairs({{12, 0x2A}}));
        Add(writer, 0x2C, kOffScreenType, BuildAttributePairs({{12, 0x2A}, {14, kTrueColorImage}}));
    }

    CRenderSurface* Load(uint32_t handle) {
        CResource* resource = nullptr;
        const int32_t created = m_archive.Manager()->CreateByHandle(handle, &resource);
        if (created == CResourceManager::kFailed || resource == nullptr) return nullptr;
        return static_cast<CResourceRenderSurface*>(resource)->GetSurface();
    }

    ImageApplication m_app;
    OffScreenDevice* m_device = nullptr;
    MountedArchive m_archive;
};

TEST_F(ResourceRenderSurfaceTest, ImageResourceDecodesTheArchivedBitmap) {
    const CRenderSurface* surface = Load(0x20);
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->GetFormat(), k565);
    EXPECT_NE(surface->GetFlags() & CRenderSurface::kFlagColorRequested, 0u);
    EXPECT_EQ(Pixel16(surface, 1, 0), 0x07E0u);
    EXPECT_EQ(Pixel16(surface, 2, 1), (16u << 11) | (32u << 5) | 16u);
    CResource* resource = nullptr;
    ASSERT_TRUE(m_archive.Manager()->GetResource(0x20, &resource));
    EXPECT_EQ(resource->GetSize(), 8u);
}

TEST_F(ResourceRenderSurfaceTest, TwelvePairsCreateAndThirteenAreRefused) {
    EXPECT_NE(Load(0x21), nullptr);
    AssertCounter asserts;
    EXPECT_EQ(Load(0x22), nullptr);
    EXPECT_TRUE(asserts.Logged("refused an attribute block of 104 bytes"));
    EXPECT_TRUE(asserts.Logged("Unable to create CResourceRenderSurface hnd:0x00000022"));
    EXPECT_EQ(Load(0x23), nullptr);  // a pair cut short
}

TEST_F(ResourceRenderSurfaceTest, MalformedOrUnservedDescriptorsAreRefused) {
    AssertCounter asserts;
    EXPECT_EQ(Load(0x24), nullptr);  // orientation 7
    EXPECT_EQ(Load(0x25), nullptr);  // no such image entry
    EXPECT_EQ(Load(0x26), nullptr);  // a window kind: no surface on this platform
    ASSERT_NE(Load(0x2A), nullptr);
    EXPECT_EQ(Load(0x2C), nullptr);  // both an image and a forward target
    CResource* resource = nullptr;
    EXPECT_FALSE(m_archive.Manager()->GetResource(0x24, &resource));
    // A later image pair that opens makes up for an earlier one that did not.
    EXPECT_NE(Load(0x29), nullptr);
}

TEST_F(ResourceRenderSurfaceTest, PairsAfterTheImageIdAreReadIntact) {
    const CRenderSurface* surface = Load(0x28);
    ASSERT_NE(surface, nullptr);
    EXPECT_NE(surface->GetFlags() & CRenderSurface::kFlagCapability, 0u);
    EXPECT_EQ(Pixel16(surface, 0, 0), 0xF800u);
}

TEST_F(ResourceRenderSurfaceTest, ColourFormatZeroKeepsPalettes) {
    const CRenderSurface* surface = Load(0x27);
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->GetFormat(), 0x348301u);
    ASSERT_NE(surface->GetPalette(), nullptr);
    EXPECT_NE(surface->GetFlags() & CRenderSurface::kFlagOwnsPalette, 0u);
    const imagetest::BmpSpec spec = PaletteSpec();
    EXPECT_EQ(surface->GetPalette()[1] & 0xFFFFFF, spec.palette[1]);
    const uint8_t* first = static_cast<const uint8_t*>(surface->GetPlane(0)->GetPixels(0));
    EXPECT_EQ(first[1], spec.rows[0][1]);
}

TEST_F(ResourceRenderSurfaceTest, SizedSurfaceAndSurfaceForwardingToAnotherResource) {
    CRenderSurface* sized = Load(0x2A);
    ASSERT_NE(sized, nullptr);
    EXPECT_EQ(sized->GetFormat(), k565);
    CRenderSurface* forwarder = Load(0x2B);
    ASSERT_NE(forwarder, nullptr);
    EXPECT_EQ(forwarder->GetForwardTarget(), sized);
    uint32_t width = 0;
    uint32_t height = 0;
    ASSERT_TRUE(forwarder->GetSize(&width, &height));
    EXPECT_EQ(width, 5u);
    EXPECT_EQ(height, 3u);
}

TEST_F(ResourceRenderSurfaceTest, ConfigureRefusesWhatIsNoSurfaceResource) {
    CRenderSurface_SW_OffScreen surface;
    const std::vector<uint8_t> pairs = BuildAttributePairs({{1, 2}, {2, 2}});
    CArrayInputStream stream;
    ASSERT_TRUE(stream.Open(pairs.data(), static_cast<uint32_t>(pairs.size())));
    EXPECT_FALSE(surface.Configure(&stream, kBmpType));
    ASSERT_TRUE(stream.Open(pairs.data(), 0));
    EXPECT_FALSE(surface.Configure(&stream, kOffScreenType));
    ASSERT_TRUE(stream.Open(pairs.data(), static_cast<uint32_t>(pairs.size())));
    EXPECT_TRUE(surface.Configure(&stream, kOffScreenType));
    EXPECT_NE(surface.GetFlags() & CRenderSurface::kFlagCreated, 0u);
}

TEST_F(ResourceRenderSurfaceTest, ImageResourceHoldsTheWholeBitmap) {
    CResource* resource = nullptr;
    ASSERT_EQ(m_archive.Manager()->CreateByHandle(kTrueColorImage, &resource), CResourceManager::kLoaded);
    const CDIB* dib = static_cast<CResourceDIB*>(resource)->GetDIB();
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(dib->GetWidth(), 3);
    EXPECT_EQ(dib->GetHeight(), 2);
    EXPECT_EQ(resource->GetSize(), 88u);
    EXPECT_TRUE(m_archive.Manager()->ReleaseResource(&resource));

    CResourceDIB broken;
    const uint8_t junk[8] = {'B', 'M', 1, 2, 3, 4, 5, 6};
    CArrayInputStream stream;
    ASSERT_TRUE(stream.Open(junk, sizeof(junk)));
    AssertCounter asserts;
    EXPECT_EQ(broken.Create(7, &stream, kBmpType), 0);
    EXPECT_EQ(broken.GetObject(), nullptr);
    EXPECT_EQ(broken.GetSize(), 0u);
}

}  // namespace
