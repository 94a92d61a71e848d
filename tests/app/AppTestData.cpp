#include "AppTestData.h"

#include <gtest/gtest.h>

#include <fstream>

#include "BigArchiveWriter.h"
#include "ImageFileBuilder.h"

namespace apptest {

namespace {

constexpr uint32_t kDirectoryId = 271;
constexpr uint32_t kFontDataId = 0x286;
constexpr uint32_t kFontImageId = 0x23F;
constexpr uint32_t kFontBitmapId = 0x240;
constexpr uint32_t kPropertiesId = 0x1B7;
constexpr uint32_t kFirstImageBitmapId = 0x700;
constexpr uint32_t kBinaryType = 0x374F8659;
constexpr uint32_t kImageType = 0xE179EFBE;
constexpr uint32_t kBmpType = 0xB717945F;
constexpr uint32_t kPcmType = 0xFD94B3C1;
constexpr uint32_t kAttrColorFormat = 6;
constexpr uint32_t kAttrImage = 14;
constexpr uint16_t kFirstGlyph = 0x21;
constexpr uint16_t kLastGlyph = 0x7E;
constexpr int8_t kAdvance = 5;
constexpr int8_t kSpaceAdvance = 3;
constexpr int8_t kAscent = 6;
constexpr int8_t kDescent = 2;
constexpr int8_t kSpacing = 1;

void AddImage(BigArchiveWriter& writer, uint32_t id, uint32_t bitmapId, const std::vector<uint8_t>& bitmap) {
    std::string error;
    const std::vector<uint8_t> image =
        imagetest::BuildAttributePairs({{kAttrColorFormat, 0xFFFFFFFF}, {kAttrImage, bitmapId}});
    EXPECT_TRUE(writer.AddPayload(bitmapId, kBmpType, bitmap, true, 4, error)) << error;
    EXPECT_TRUE(writer.AddPayload(id, kImageType, image, false, 4, error)) << error;
}

void Put16(std::vector<uint8_t>* out, uint16_t value) {
    out->push_back(static_cast<uint8_t>(value));
    out->push_back(static_cast<uint8_t>(value >> 8));
}

// Version-1 data: every glyph the same block at the image's top left; the
// space only moves the pen.
std::vector<uint8_t> FontData() {
    const uint16_t glyphs = kLastGlyph - kFirstGlyph + 1;
    std::vector<uint8_t> out = {1, 0, 0, 0, 0, static_cast<uint8_t>(kDescent), static_cast<uint8_t>(kSpacing),
                                static_cast<uint8_t>(kAscent)};
    Put16(&out, glyphs);
    Put16(&out, 1);
    for (uint16_t code = kFirstGlyph; code <= kLastGlyph; ++code) {
        Put16(&out, code);
        Put16(&out, 0);
        Put16(&out, 0);
        for (int8_t v : {int8_t{kGlyphWidth}, int8_t{kGlyphHeight}, int8_t{0}, int8_t{0}, kAdvance, int8_t{0}}) {
            out.push_back(static_cast<uint8_t>(v));
        }
    }
    Put16(&out, ' ');
    out.push_back(0);
    out.push_back(static_cast<uint8_t>(kSpaceAdvance));
    return out;
}

uint32_t InkAt(int32_t, int32_t) { return kInkRgb; }

std::vector<uint8_t> PcmSamples(uint32_t samples) {
    std::vector<uint8_t> out;
    for (uint32_t i = 0; i < samples; ++i) Put16(&out, static_cast<uint16_t>(i % 2 == 0 ? 1000 : -1000));
    return out;
}

}  // namespace

std::vector<uint8_t> BuildArchive(const ArchiveSpec& spec) {
    BigArchiveWriter writer(IdTableForm::List);
    std::string error;
    if (spec.directory) {
        EXPECT_TRUE(writer.AddPayload(kDirectoryId, 0, std::vector<uint8_t>(20, 0), false, 4, error)) << error;
    }
    if (spec.font) {
        AddImage(writer, kFontImageId, kFontBitmapId,
                 imagetest::BuildBmp(imagetest::TrueColourBmp(kGlyphWidth, kGlyphHeight, InkAt)));
        EXPECT_TRUE(writer.AddPayload(kFontDataId, kBinaryType, FontData(), false, 4, error)) << error;
    }
    if (!spec.properties.empty()) {
        const std::vector<uint8_t> text(spec.properties.begin(), spec.properties.end());
        EXPECT_TRUE(writer.AddPayload(kPropertiesId, kBinaryType, text, false, 4, error)) << error;
    }
    for (const Sound& sound : spec.sounds) {
        EXPECT_TRUE(writer.AddPayload(sound.id & 0x7FFF, kPcmType, PcmSamples(sound.samples), false, 4, error))
            << error;
    }
    for (const Entry& entry : spec.entries) {
        EXPECT_TRUE(writer.AddPayload(entry.id & 0x7FFF, entry.type, entry.bytes, false, 4, error)) << error;
    }
    for (size_t i = 0; i < spec.images.size(); ++i) {
        const Image& image = spec.images[i];
        AddImage(writer, image.id, kFirstImageBitmapId + static_cast<uint32_t>(i),
                 imagetest::BuildBmp(imagetest::TrueColourBmp(image.width, image.height, image.rgbAt)));
    }
    std::vector<uint8_t> out;
    EXPECT_TRUE(writer.Build(out, error)) << error;
    return out;
}

std::vector<uint8_t> WideText(const std::u16string& text) {
    std::vector<uint8_t> out;
    for (char16_t unit : text) Put16(&out, static_cast<uint16_t>(unit));
    return out;
}

std::vector<uint8_t> KeySet(const std::vector<uint32_t>& ids) {
    std::vector<uint8_t> out;
    Put16(&out, static_cast<uint16_t>(ids.size()));
    for (uint32_t id : ids) {
        Put16(&out, static_cast<uint16_t>(id));
        Put16(&out, static_cast<uint16_t>(id >> 16));
    }
    return out;
}

void WriteArchive(const std::string& directory, const ArchiveSpec& spec) {
    const std::vector<uint8_t> bytes = BuildArchive(spec);
    std::ofstream out(directory + "/mchvx2.big", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void WriteText(const std::string& directory, const std::string& name, const std::string& text) {
    std::ofstream(directory + "/" + name, std::ios::binary | std::ios::trunc) << text;
}

}  // namespace apptest
