#ifndef SPRITEFIXTURE_H
#define SPRITEFIXTURE_H

// The sprite module on an off-screen device of either display format, with
// its data written by the sprite-data writer into a mounted archive, and a
// reference painter for the frames it draws.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "../graphics2d/OffScreenDevice.h"
#include "AssertCounter.h"
#include "CGraphics2d_Lite.h"
#include "DrawingScope.h"
#include "HostTestEnvironment.h"
#include "MountedArchive.h"
#include "SK_Home.h"
#include "SpriteData.h"
#include "TestApplication.h"

namespace spritetest {

constexpr uint32_t kTransparent = 0xFF00FF;
constexpr uint32_t kClearRgb = 0x000000;

// A picture as stored: colours 0xRRGGBB, top row first.
struct Picture {
    int32_t width;
    int32_t height;
    std::vector<uint32_t> rgb;
    uint32_t At(int32_t x, int32_t y) const { return rgb[static_cast<size_t>(y * width + x)]; }
};

// The picture shown under a transform (bit 0 mirrors vertically, bit 1
// horizontally, bit 2 exchanges the axes after the mirrors), pixel by pixel.
Picture Transformed(const Picture& picture, uint8_t transform);
// An 8-bit bitmap of the picture; its palette holds its colours in order of
// first appearance (or `palette` when given).
std::vector<uint8_t> BitmapOf(const Picture& picture, const std::vector<uint32_t>& palette = {});
// The first picture of the fixtures (4 x 3, a transparent corner) and a
// second one (3 x 2).
Picture FirstPicture();
Picture SecondPicture();

// A palette data block: 256 entries of blue, green, red, 0.
std::vector<uint8_t> PaletteBlock(const std::vector<uint32_t>& rgb);

// The fixtures' data. Image modules 0-7 show the first picture (slot 0) in
// variants 0-7, image module 8 the second picture (slot 1) through palette
// block 0, which recolours it (SecondPictureRecoloured). Rectangle modules:
// 9 filled 3 x 2 (attribute 2), 10 a 5 x 6 box (attribute 1), 11 a 2 x 2
// box (attribute 3), 12 a filled 2 x 1 half-transparent red (attribute 4).
// Map 0 replaces module 0 by 8 at (1, 1) and lays 8 over 9 at (2, 0); map 1
// lays 12 under module 0. Three sets, of which set 2 is not stored.
// Set 0: frames f0 {0 (-6,-5), 9 (-2,1), 10 (-4,-6), 8 (1,-5)}, f1 {5 (0,0),
// 11 (1,1)}, f2 {}; poses p0 {f0}, p1 {f1 (2,1), f0 (0,0)}, p2 {f2};
// animations a0 {p0 100 ms, p1 200 ms}, a1 (transforms 0 and 2 only)
// {p0 stored 6554: 4 ms}, a2 {p2 100 ms}, a3 {p0 0 ms}; sprites s0 {0, 5, 8}
// without map, s1 {5, 8} with map 0, s2 {0, 5, 8} with map 1.
// Set 1: one frame of modules 0-8 side by side, one pose, one animation;
// sprites s0 {1, 2}, s1 {0, 5}, s2 {1}, s3 {8}, s4 {0-8}.
enum FixtureModules : uint16_t { kRectFilled = 9, kRectBody = 10, kRectBox3 = 11, kRectHalfRed = 12 };
constexpr uint32_t kFilledArgb = 0xFF20C040;
constexpr uint32_t kHalfRedArgb = 0x80FF0000;
spritedata::Definition StandardDefinition();
std::vector<spritedata::SpriteSet> StandardSets();
std::vector<std::vector<uint8_t>> StandardImages();
Picture SecondPictureRecoloured();

// Colours keyed by picture coordinates, painted in order; transparent
// pixels leave what is below.
class Canvas {
public:
    void Paint(const Picture& picture, int32_t x, int32_t y);
    void Fill(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t rgb);
    // Where each pixel goes when the whole canvas is shown under the
    // transform with its origin at (originX, originY).
    std::map<std::pair<int32_t, int32_t>, uint32_t> Shown(uint8_t transform, int32_t originX, int32_t originY) const;

private:
    std::map<std::pair<int32_t, int32_t>, uint32_t> m_pixels;
};

class SpriteTest : public ::testing::TestWithParam<uint32_t> {
protected:
    static constexpr uint32_t kWidth = 48;
    static constexpr uint32_t kHeight = 48;

    void SetUp() override;
    void TearDown() override;

    uint32_t Format() const { return GetParam(); }
    // Writes the data into an archive and mounts it; images[k] is the
    // bitmap of image index k (empty: no such entry).
    void Mount(const spritedata::Definition& definition, const std::vector<spritedata::SpriteSet>& sets,
               const std::vector<std::vector<uint8_t>>& images);
    // The standard data, loaded.
    void LoadStandard();
    // Mounts and loads the definition.
    void MountAndLoad(const spritedata::Definition& definition, const std::vector<spritedata::SpriteSet>& sets,
                      const std::vector<std::vector<uint8_t>>& images);
    SK_Home* Home() const;
    // Requests the sprite and runs the queue until it is empty, as the game
    // does; false when a step reported a failure.
    bool Prepare(uint8_t set, uint8_t sprite);

    void ClearFrame();
    uint32_t Frame(int32_t x, int32_t y) const;
    // The frame against the expected pixels, the clear colour elsewhere;
    // the first few mismatches are reported.
    void ExpectFrame(const std::map<std::pair<int32_t, int32_t>, uint32_t>& expected) const;

    HostTestEnvironment m_environment;
    TestApplication m_app;
    std::unique_ptr<DrawingScope> m_drawing;
    // The scope's, for the tests' brevity.
    OffScreenDevice* m_device = nullptr;
    CGraphics2d_Lite* m_renderer = nullptr;
    MountedArchive m_archive;
    AssertCounter m_asserts;
};

std::string FormatName(const ::testing::TestParamInfo<uint32_t>& info);

}  // namespace spritetest

#endif
