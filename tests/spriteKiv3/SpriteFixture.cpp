#include "SpriteFixture.h"

#include <algorithm>

#include "AppServices.h"
#include "BigArchiveWriter.h"
#include "CColor.h"
#include "CRenderSurfaceBuffer.h"
#include "CResourceBinary.h"
#include "CResourceFactory.h"
#include "CResourceKeyset.h"
#include "ImageFileBuilder.h"
#include "SpriteBitmapWriter.h"
#include "SpriteDataWriter.h"

namespace spritetest {

namespace {

constexpr int32_t kManagerBuckets = 20;
constexpr uint32_t kManagerBlocks = 8;
constexpr uint32_t kBudgetMs = 1000;
constexpr int32_t kReportedMismatches = 8;

// Serves the resource types of the sprite data as the game does.
class SpriteResourceFactory : public CResourceFactory {
public:
    bool Create(uint32_t typeKey, CResource** outResource) override {
        if (typeKey == SpriteDataWriter::kKeysetType) {
            *outResource = new CResourceKeyset();
        } else if (typeKey == SpriteDataWriter::kBinaryType) {
            *outResource = new CResourceBinary();
        } else {
            *outResource = nullptr;
        }
        return *outResource != nullptr;
    }
};

}  // namespace

Picture Transformed(const Picture& picture, uint8_t transform) {
    const bool swap = (transform & 4) != 0;
    Picture shown{swap ? picture.height : picture.width, swap ? picture.width : picture.height, {}};
    for (int32_t j = 0; j < shown.height; ++j) {
        for (int32_t i = 0; i < shown.width; ++i) {
            int32_t x = swap ? j : i;
            int32_t y = swap ? i : j;
            if ((transform & 2) != 0) x = picture.width - 1 - x;
            if ((transform & 1) != 0) y = picture.height - 1 - y;
            shown.rgb.push_back(picture.At(x, y));
        }
    }
    return shown;
}

std::vector<uint8_t> BitmapOf(const Picture& picture, const std::vector<uint32_t>& palette) {
    imagetest::BmpSpec spec;
    spec.width = picture.width;
    spec.height = picture.height;
    spec.bitCount = 8;
    spec.palette = palette;
    for (uint32_t rgb : picture.rgb) {
        if (palette.empty() && std::find(spec.palette.begin(), spec.palette.end(), rgb) == spec.palette.end()) {
            spec.palette.push_back(rgb);
        }
    }
    const std::vector<uint32_t> ownPalette = palette.empty() ? spec.palette : std::vector<uint32_t>();
    for (int32_t y = 0; y < picture.height; ++y) {
        std::vector<uint32_t> row;
        for (int32_t x = 0; x < picture.width; ++x) {
            const std::vector<uint32_t>& lookup = palette.empty() ? ownPalette : palette;
            const auto found = std::find(lookup.begin(), lookup.end(), picture.At(x, y));
            row.push_back(static_cast<uint32_t>(found - lookup.begin()));
        }
        spec.rows.push_back(row);
    }
    return imagetest::BuildBmp(spec);
}

Picture FirstPicture() {
    return {4, 3, {0xF80000, 0x07E000, 0x0000F8, kTransparent,  //
                   0xF8F800, 0x00FCF8, 0x800080, 0x408000,      //
                   kTransparent, 0xC0C0C0, 0x203040, 0xF88000}};
}

Picture SecondPicture() { return {3, 2, {0x104080, 0x80A0C0, kTransparent, 0xE0E0E0, 0x600000, 0x006000}}; }

std::vector<uint8_t> PaletteBlock(const std::vector<uint32_t>& rgb) {
    std::vector<uint8_t> block(1024, 0);
    for (size_t i = 0; i < rgb.size() && i < 256; ++i) {
        block[i * 4] = static_cast<uint8_t>(rgb[i]);
        block[i * 4 + 1] = static_cast<uint8_t>(rgb[i] >> 8);
        block[i * 4 + 2] = static_cast<uint8_t>(rgb[i] >> 16);
    }
    return block;
}

namespace {

// The second picture's palette in the order BitmapOf writes it, and the
// palette block that replaces it.
const std::vector<uint32_t> kSecondPalette = {0x104080, 0x80A0C0, kTransparent, 0xE0E0E0, 0x600000, 0x006000};
const std::vector<uint32_t> kBlockPalette = {0x0C0C0C, 0x3050F8, kTransparent, 0xA0F800, 0x00F8F8, 0xF800F0};

}  // namespace

Picture SecondPictureRecoloured() {
    Picture picture = SecondPicture();
    for (uint32_t& rgb : picture.rgb) {
        const auto found = std::find(kSecondPalette.begin(), kSecondPalette.end(), rgb);
        rgb = kBlockPalette[static_cast<size_t>(found - kSecondPalette.begin())];
    }
    return picture;
}

spritedata::Definition StandardDefinition() {
    using namespace spritedata;
    Definition definition;
    definition.blocks = {PaletteBlock(kBlockPalette)};
    definition.reserved = 0x1234;
    definition.slots = {{0, kNone}, {1, 0}};
    for (uint8_t v = 0; v < 8; ++v) definition.imageModules.push_back({0, v, 0});
    definition.imageModules.push_back({1, 0, 1});
    definition.rectModules = {{kFilledArgb, 3, 2, 2}, {kBoxColour, 5, 6, 1}, {kBoxColour, 2, 2, 3},
                              {kHalfRedArgb, 2, 1, 4}};
    definition.maps = {{{0, 8, kMapReplace, 1, 1}, {kRectFilled, 8, kMapOverlay, 2, 0}},
                       {{0, kRectHalfRed, kMapUnderlay, 0, 0}}};
    definition.setCount = 3;
    return definition;
}

std::vector<spritedata::SpriteSet> StandardSets() {
    using namespace spritedata;
    SpriteSet first;
    first.frames = {{{0, -6, -5}, {kRectFilled, -2, 1}, {kRectBody, -4, -6}, {8, 1, -5}},
                    {{5, 0, 0}, {kRectBox3, 1, 1}},
                    {}};
    first.poses = {{{0, 0, 0}}, {{1, 2, 1}, {0, 0, 0}}, {{2, 0, 0}}};
    first.animations = {{kAllTransforms, {{0, 10}, {1, 20}}},
                        {0x05, {{0, 6554}}},
                        {kAllTransforms, {{2, 10}}},
                        {kAllTransforms, {{0, 0}}}};
    first.sprites = {{{0, 5, 8}, kNone}, {{5, 8}, 0}, {{0, 5, 8}, 1}};
    SpriteSet second;
    Frame row;
    for (uint16_t m = 0; m <= 8; ++m) row.push_back({m, static_cast<int16_t>(5 * m), 0});
    second.frames = {row};
    second.poses = {{{0, 0, 0}}};
    second.animations = {{kAllTransforms, {{0, 10}}}};
    second.sprites = {{{1, 2}, kNone}, {{0, 5}, kNone}, {{1}, kNone}, {{8}, kNone}, {{0, 1, 2, 3, 4, 5, 6, 7, 8}, kNone}};
    return {first, second};
}

// The first picture through the writer the content compiler uses, the
// second through the test's own bitmap builder.
std::vector<uint8_t> WrittenBitmapOf(const Picture& picture) {
    std::vector<uint32_t> palette;
    std::vector<uint8_t> indices;
    for (uint32_t rgb : picture.rgb) {
        auto found = std::find(palette.begin(), palette.end(), rgb);
        if (found == palette.end()) found = palette.insert(palette.end(), rgb);
        indices.push_back(static_cast<uint8_t>(found - palette.begin()));
    }
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(SpriteBitmapWriter::EncodeIndexed(picture.width, picture.height, palette, indices, &bytes, &error))
        << error;
    return bytes;
}

std::vector<std::vector<uint8_t>> StandardImages() {
    return {WrittenBitmapOf(FirstPicture()), BitmapOf(SecondPicture(), kSecondPalette)};
}

void Canvas::Paint(const Picture& picture, int32_t x, int32_t y) {
    for (int32_t j = 0; j < picture.height; ++j) {
        for (int32_t i = 0; i < picture.width; ++i) {
            if (picture.At(i, j) != kTransparent) m_pixels[{x + i, y + j}] = picture.At(i, j);
        }
    }
}

void Canvas::Fill(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t rgb) {
    for (int32_t j = 0; j < h; ++j) {
        for (int32_t i = 0; i < w; ++i) m_pixels[{x + i, y + j}] = rgb;
    }
}

std::map<std::pair<int32_t, int32_t>, uint32_t> Canvas::Shown(uint8_t transform, int32_t originX,
                                                               int32_t originY) const {
    std::map<std::pair<int32_t, int32_t>, uint32_t> shown;
    for (const auto& [point, rgb] : m_pixels) {
        int32_t x = point.first;
        int32_t y = point.second;
        if ((transform & 2) != 0) x = -1 - x;
        if ((transform & 1) != 0) y = -1 - y;
        if ((transform & 4) != 0) std::swap(x, y);
        shown[{originX + x, originY + y}] = rgb;
    }
    return shown;
}

void SpriteTest::SetUp() {
    ASSERT_EQ(m_app.Init(), 0);
    new SpriteResourceFactory();
    m_drawing = std::make_unique<DrawingScope>(kWidth, kHeight, Format(), DrawingScope::Singletons::kApplicationTable);
    m_device = m_drawing->Device();
    m_renderer = m_drawing->Renderer();
    m_renderer->Enable(CGraphics2d_Lite::kCapColorKey);
    ClearFrame();
}

void SpriteTest::TearDown() {
    // The home's images go before the device and renderer they belong to.
    delete static_cast<SK_Home*>(CSingleton::GetInstance(SK_Home::kClassKey));
    m_archive.Unmount();
    m_drawing.reset();
    m_app.Shutdown();
}

void SpriteTest::Mount(const spritedata::Definition& definition, const std::vector<spritedata::SpriteSet>& sets,
                       const std::vector<std::vector<uint8_t>>& images) {
    std::string error;
    BigArchiveWriter writer(IdTableForm::List);
    ASSERT_TRUE(SpriteDataWriter::AddEmptyDirectory(writer, &error)) << error;
    ASSERT_TRUE(SpriteDataWriter::AddToArchive(writer, spritedata::Ids(), definition, sets, images, true, &error))
        << error;
    ASSERT_TRUE(m_archive.Mount(&m_app, writer, "sprites", kManagerBuckets, kManagerBlocks, &error)) << error;
}

void SpriteTest::LoadStandard() { MountAndLoad(StandardDefinition(), StandardSets(), StandardImages()); }

void SpriteTest::MountAndLoad(const spritedata::Definition& definition,
                              const std::vector<spritedata::SpriteSet>& sets,
                              const std::vector<std::vector<uint8_t>>& images) {
    Mount(definition, sets, images);
    ASSERT_NE(Home(), nullptr);
    Home()->Load();
    ASSERT_TRUE(Home()->IsLoaded());
}

SK_Home* SpriteTest::Home() const { return GetSpriteHome(); }

bool SpriteTest::Prepare(uint8_t set, uint8_t sprite) {
    bool allOk = true;
    Home()->RequestSprite(set, sprite);
    while (Home()->GetQueueProgress() != 0) {
        bool ok = false;
        Home()->UpdatePreparation(kBudgetMs, &ok);
        allOk = allOk && ok;
    }
    return allOk && Home()->IsSpritePrepared(set, sprite);
}

void SpriteTest::ClearFrame() {
    m_device->SetClearColor(0xFF000000u | kClearRgb);
    m_device->Clear(CGraphics::kClearColor);
}

uint32_t SpriteTest::Frame(int32_t x, int32_t y) const {
    return imagetest::PlanePixel(*m_device->Surface()->GetPlane(0), x, y);
}

void SpriteTest::ExpectFrame(const std::map<std::pair<int32_t, int32_t>, uint32_t>& expected) const {
    int32_t mismatches = 0;
    for (int32_t y = 0; y < static_cast<int32_t>(kHeight); ++y) {
        for (int32_t x = 0; x < static_cast<int32_t>(kWidth); ++x) {
            const auto found = expected.find({x, y});
            const uint32_t rgb = found != expected.end() ? found->second : kClearRgb;
            const uint32_t want = imagetest::ExpectedPixel(Format(), rgb, 0);
            if (Frame(x, y) != want && ++mismatches <= kReportedMismatches) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << Frame(x, y) << ", expected "
                              << want;
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

std::string FormatName(const ::testing::TestParamInfo<uint32_t>& info) {
    return info.param == RSBFormat_R5G6B5 ? "r5g6b5" : "x8r8g8b8";
}

}  // namespace spritetest
