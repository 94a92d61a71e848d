#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "AssertCounter.h"
#include "CArrayInputStream.h"
#include "FailingStream.h"
#include "CColor.h"
#include "CPalette.h"
#include "CPixelChannels.h"

namespace {

// ---- Test-side encoders, written from the layouts, not from the code ----

struct Rgba {
    uint32_t a, r, g, b;
};

void Put16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t Get32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }

std::u16string Name(uint32_t format) {
    const WChar* name = CColor::GetFormatName(format);
    return name == nullptr ? std::u16string(u"(null)") : std::u16string(name);
}

// A pixel in its format; with channels 0 or 255 every format holds it exactly.
struct Pixel {
    uint8_t bytes[16];
};

Pixel Encode(uint32_t format, Rgba c) {
    Pixel p{};
    const bool on[4] = {c.a != 0, c.r != 0, c.g != 0, c.b != 0};
    switch (format) {
        case RSBFormat_R5G6B5:
            Put16(p.bytes, (on[1] ? 0xF800 : 0) | (on[2] ? 0x07E0 : 0) | (on[3] ? 0x001F : 0));
            break;
        case RSBFormat_A1R5G5B5:
            Put16(p.bytes, (on[0] ? 0x8000 : 0) | (on[1] ? 0x7C00 : 0) | (on[2] ? 0x03E0 : 0) | (on[3] ? 0x1F : 0));
            break;
        case RSBFormat_A4R4G4B4:
            Put16(p.bytes, (on[0] ? 0xF000 : 0) | (on[1] ? 0x0F00 : 0) | (on[2] ? 0x00F0 : 0) | (on[3] ? 0x0F : 0));
            break;
        case RSBFormat_X14R6G6B6:
            // Junk in the upper 14 bits must not matter.
            Put32(p.bytes, 0xABCC0000u | (on[1] ? 0x3F000 : 0) | (on[2] ? 0xFC0 : 0) | (on[3] ? 0x3F : 0));
            break;
        case RSBFormat_R8G8B8:
            p.bytes[0] = static_cast<uint8_t>(c.b);
            p.bytes[1] = static_cast<uint8_t>(c.g);
            p.bytes[2] = static_cast<uint8_t>(c.r);
            break;
        case RSBFormat_X8R8G8B8: Put32(p.bytes, 0x5A000000u | c.r << 16 | c.g << 8 | c.b); break;
        case RSBFormat_A8R8G8B8: Put32(p.bytes, c.a << 24 | c.r << 16 | c.g << 8 | c.b); break;
        case RSBFormat_ARGB_FIXED: {
            const int32_t v[4] = {static_cast<int32_t>(c.a * 257), static_cast<int32_t>(c.r * 257),
                                  static_cast<int32_t>(c.g * 257), static_cast<int32_t>(c.b * 257)};
            std::memcpy(p.bytes, v, sizeof(v));
            break;
        }
        case RSBFormat_RGBA_FIXED: {
            const int32_t v[4] = {static_cast<int32_t>(c.r * 257), static_cast<int32_t>(c.g * 257),
                                  static_cast<int32_t>(c.b * 257), static_cast<int32_t>(c.a * 257)};
            std::memcpy(p.bytes, v, sizeof(v));
            break;
        }
        default: ADD_FAILURE() << "no encoder for " << format;
    }
    return p;
}

bool HasOwnAlpha(uint32_t format) {
    return format == RSBFormat_A1R5G5B5 || format == RSBFormat_A4R4G4B4 || format == RSBFormat_A8R8G8B8 ||
           format == RSBFormat_ARGB_FIXED || format == RSBFormat_RGBA_FIXED;
}

const uint32_t kSources[] = {RSBFormat_R5G6B5,    RSBFormat_A1R5G5B5,   RSBFormat_A4R4G4B4,
                             RSBFormat_X14R6G6B6, RSBFormat_R8G8B8,     RSBFormat_X8R8G8B8,
                             RSBFormat_A8R8G8B8,  RSBFormat_ARGB_FIXED, RSBFormat_RGBA_FIXED};

const Rgba kColours[] = {{255, 0, 0, 0},   {255, 255, 255, 255}, {0, 255, 0, 0},
                         {255, 0, 255, 0}, {0, 0, 0, 255},       {255, 255, 0, 255}};

}  // namespace

TEST(PixelChannels, X14ExpansionRepeatsTheLowBits) {
    uint8_t p[4];
    Put32(p, 0xFFFC0000u | 32u << 12 | 63u << 6 | 1u);
    EXPECT_EQ(GetRed_X14R6G6B6(p), 128);  // not 130
    EXPECT_EQ(GetGreen_X14R6G6B6(p), 255);
    EXPECT_EQ(GetBlue_X14R6G6B6(p), 5);
}

TEST(PixelChannels, PackingUndoesEveryExpansion) {
    uint8_t p[4] = {};
    for (uint32_t v = 0; v < 0x10000; ++v) {
        Put16(p, v);
        ASSERT_EQ(PixelChannels::PackR5G6B5(GetRed_R5G6B5(p), GetGreen_R5G6B5(p), GetBlue_R5G6B5(p)), v);
    }
    for (uint32_t v = 0; v < 0x40000; v += 7) {
        Put32(p, v | 0xFFFC0000u);
        ASSERT_EQ(PixelChannels::PackX14R6G6B6(GetRed_X14R6G6B6(p), GetGreen_X14R6G6B6(p), GetBlue_X14R6G6B6(p)), v);
    }
    EXPECT_EQ(PixelChannels::PackPixel32(0x12, 0x34, 0x56), 0xFF123456u);
}

TEST(CColor, FormatNames) {
    const struct {
        uint32_t format;
        const char16_t* name;
    } names[] = {{RSBFormat_R5G6B5, u"r5g6b5"},         {RSBFormat_A1R5G5B5, u"a1r5g5b5"},
                 {RSBFormat_A4R4G4B4, u"a4r4g4b4"},     {RSBFormat_X14R6G6B6, u"x14r6g6b6"},
                 {RSBFormat_R8G8B8, u"r8g8b8"},         {RSBFormat_X8R8G8B8, u"x8r8g8b8"},
                 {RSBFormat_A8R8G8B8, u"a8r8g8b8"},     {RSBFormat_ARGB_FIXED, u"argb_fixed"},
                 {RSBFormat_RGBA_FIXED, u"rgba_fixed"}, {RSBFormat_P16X8R8G8B8, u"p16x8r8g8b8"},
                 {RSBFormat_P16A8R8G8B8, u"p16a8r8g8b8"}, {RSBFormat_P256X8R8G8B8, u"p256x8r8g8b8"},
                 {RSBFormat_P256A8R8G8B8, u"p256a8r8g8b8"}, {RSBFormat_R4G4B4, u"(null)"}, {RSBFormat_Z32, u"(null)"}};
    for (const auto& entry : names) EXPECT_EQ(Name(entry.format), entry.name);
}

TEST(CColor, StatedExamples) {
    uint8_t p[4];
    Put32(p, 0x80FF8040u);
    EXPECT_EQ(CColor::ToR5G6B5(RSBFormat_A8R8G8B8, p), 0xFC08);
    Put16(p, 0xFFFF);
    EXPECT_EQ(CColor::ToX8R8G8B8(RSBFormat_R5G6B5, p), 0xFFFFFFFFu);
    Put32(p, 0x12345678u);
    EXPECT_EQ(CColor::ToX8R8G8B8(RSBFormat_X8R8G8B8, p), 0x12345678u);
    EXPECT_EQ(CColor::ToA8R8G8B8(RSBFormat_X8R8G8B8, p), 0xFF345678u);

    const RSBFormat_ARGB_fixed clamped = {0x8080, 0xFFFF, 0, 0x7FFFFFFF};
    EXPECT_EQ(CColor::ToA8R8G8B8(RSBFormat_ARGB_FIXED, &clamped), 0x80FF00FFu);
    const RSBFormat_ARGB_fixed negative = {-5, 0x1234, -0x10000, 0x100};
    EXPECT_EQ(CColor::ToA8R8G8B8(RSBFormat_ARGB_FIXED, &negative), 0x00120001u);

    RSBFormat_ARGB_fixed out = {};
    Put16(p, 0x8000);
    CColor::ConvertToFormat(&out, RSBFormat_A1R5G5B5, p);
    EXPECT_EQ(out.a, 0xFFFF);
    EXPECT_EQ(out.r | out.g | out.b, 0);
    Put16(p, 0x7FFF);
    CColor::ConvertToFormat(&out, RSBFormat_A1R5G5B5, p);
    EXPECT_EQ(out.a, 0);
    EXPECT_EQ(out.r, 0xFFFF);
    EXPECT_EQ(out.g, 0xFFFF);
    EXPECT_EQ(out.b, 0xFFFF);
}

TEST(CColor, MidToneChannelsGoThroughTheSharedExpansions) {
    uint8_t p[4];
    // r5g6b5 red 16, green 32, blue 1: 132, 130, 8.
    Put16(p, 16u << 11 | 32u << 5 | 1u);
    EXPECT_EQ(CColor::ToA8R8G8B8(RSBFormat_R5G6B5, p), 0xFF848208u);
    RSBFormat_ARGB_fixed out = {};
    Put16(p, 0x8F3C);
    CColor::ConvertToFormat(&out, RSBFormat_A4R4G4B4, p);
    EXPECT_EQ(out.a, 0x88 * 257);
    EXPECT_EQ(out.r, 0xFF * 257);
    EXPECT_EQ(out.g, 0x33 * 257);
    EXPECT_EQ(out.b, 0xCC * 257);
    const uint8_t rgb[3] = {0x10, 0x20, 0x30};
    EXPECT_EQ(CColor::ToX8R8G8B8(RSBFormat_R8G8B8, rgb), 0xFF302010u);
}

TEST(CColor, FixedRecordsCopyAndReorderWithoutScaling) {
    RSBFormat_ARGB_fixed out = {1, 2, 3, 4};
    const int32_t rgba[4] = {0x100, -7, 0x7FFFFFFF, 0x42};
    CColor::ConvertToFormat(&out, RSBFormat_RGBA_FIXED, rgba);
    EXPECT_EQ(out.a, 0x42);
    EXPECT_EQ(out.r, 0x100);
    EXPECT_EQ(out.g, -7);
    EXPECT_EQ(out.b, 0x7FFFFFFF);
    const RSBFormat_ARGB_fixed same = {-1, 0x12345, 0, 9};
    CColor::ConvertToFormat(&out, RSBFormat_ARGB_FIXED, &same);
    EXPECT_EQ(std::memcmp(&out, &same, sizeof(out)), 0);
    // An unknown source leaves the record as it was.
    const uint8_t l8 = 0x80;
    CColor::ConvertToFormat(&out, RSBFormat_L8, &l8);
    EXPECT_EQ(std::memcmp(&out, &same, sizeof(out)), 0);
}

// Every source format into every destination ConvertPixel serves, for colours
// each format holds exactly.
TEST(CColor, ConvertPixelBetweenAllNamedFormats) {
    for (uint32_t source : kSources) {
        for (const Rgba& colour : kColours) {
            SCOPED_TRACE(testing::Message() << std::hex << "source 0x" << source << " colour " << colour.a << ","
                                            << colour.r << "," << colour.g << "," << colour.b);
            const Pixel pixel = Encode(source, colour);
            const bool narrowAlpha = source == RSBFormat_A1R5G5B5 || source == RSBFormat_A4R4G4B4;
            const uint32_t alpha = HasOwnAlpha(source) ? colour.a : 255u;
            const uint32_t rgb = colour.r << 16 | colour.g << 8 | colour.b;

            uint8_t out[16];
            std::memset(out, 0xEE, sizeof(out));
            ASSERT_TRUE(CColor::ConvertPixel(source, pixel.bytes, RSBFormat_R5G6B5, out));
            const uint32_t r5 = ((colour.r >> 3) << 11) | ((colour.g >> 2) << 5) | (colour.b >> 3);
            EXPECT_EQ(out[0] | out[1] << 8, narrowAlpha ? 0u : r5);
            EXPECT_EQ(out[2], 0xEE);

            ASSERT_TRUE(CColor::ConvertPixel(source, pixel.bytes, RSBFormat_X8R8G8B8, out));
            const uint32_t x8 = source == RSBFormat_X8R8G8B8 ? Get32(pixel.bytes) : 0xFF000000u | rgb;
            EXPECT_EQ(Get32(out), narrowAlpha ? 0u : x8);

            ASSERT_TRUE(CColor::ConvertPixel(source, pixel.bytes, RSBFormat_A8R8G8B8, out));
            EXPECT_EQ(Get32(out), narrowAlpha ? 0u : (alpha << 24 | rgb));

            ASSERT_TRUE(CColor::ConvertPixel(source, pixel.bytes, RSBFormat_ARGB_FIXED, out));
            RSBFormat_ARGB_fixed fixed;
            std::memcpy(&fixed, out, sizeof(fixed));
            EXPECT_EQ(fixed.a, static_cast<int32_t>(alpha * 257));
            EXPECT_EQ(fixed.r, static_cast<int32_t>(colour.r * 257));
            EXPECT_EQ(fixed.g, static_cast<int32_t>(colour.g * 257));
            EXPECT_EQ(fixed.b, static_cast<int32_t>(colour.b * 257));
        }
    }
}

TEST(CColor, ConvertPixelRefusesOtherDestinations) {
    uint8_t p[4];
    Put32(p, 0xFF123456u);
    for (uint32_t destination : {RSBFormat_A1R5G5B5, RSBFormat_X14R6G6B6, RSBFormat_R8G8B8, RSBFormat_P256X8R8G8B8,
                                 RSBFormat_RGBA_FIXED, 0u}) {
        uint8_t out[16];
        std::memset(out, 0xEE, sizeof(out));
        EXPECT_FALSE(CColor::ConvertPixel(RSBFormat_A8R8G8B8, p, destination, out));
        for (uint8_t b : out) ASSERT_EQ(b, 0xEE);
    }
    // Unknown sources convert to 0.
    EXPECT_EQ(CColor::ToR5G6B5(RSBFormat_P256X8R8G8B8, p), 0);
    EXPECT_EQ(CColor::ToA8R8G8B8(RSBFormat_Z32, p), 0u);
}

// ---- CPalette ----

namespace {

// Reports bytes it never delivers.
}  // namespace

TEST(CPalette, LoadsOpaqueLittleEndianColours) {
    const uint8_t bytes[10] = {0x33, 0x22, 0x11, 0x00, 0xCC, 0xBB, 0xAA, 0x7F, 0x01, 0x02};
    CArrayInputStream stream;
    stream.Open(bytes, sizeof(bytes));
    CPalette palette;
    EXPECT_EQ(palette.GetClassKey(), 0xA6EFB9A2u);
    ASSERT_TRUE(palette.Load(&stream, CPalette::kTypeRawColors));
    EXPECT_EQ(palette.GetCount(), 2u);
    EXPECT_EQ(palette.GetFormat(), RSBFormat_A8R8G8B8);
    EXPECT_EQ(palette.GetColors()[0], 0xFF112233u);
    EXPECT_EQ(palette.GetColors()[1], 0xFFAABBCCu);
    EXPECT_EQ(stream.Available(), 0u);  // the trailing two bytes were read too
    // Surfaces index any palette with 8-bit pixels: the table holds 256 entries.
    EXPECT_EQ(palette.GetColors()[255], 0u);
    palette.Clear();
    EXPECT_EQ(palette.GetCount(), 0u);
    EXPECT_EQ(palette.GetColors(), nullptr);
}

TEST(CPalette, RefusesOtherTypesAndFailingStreams) {
    const uint8_t bytes[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    CArrayInputStream stream;
    stream.Open(bytes, sizeof(bytes));
    CPalette palette;
    ASSERT_TRUE(palette.Load(&stream, CPalette::kTypeRawColors));
    {
        AssertCounter counter;
        stream.Open(bytes, sizeof(bytes));
        EXPECT_FALSE(palette.Load(&stream, 0x12345678));
        EXPECT_EQ(counter.Count(), 1);
    }
    EXPECT_EQ(palette.GetCount(), 0u);
    EXPECT_EQ(palette.GetColors(), nullptr);

    FailingStream failing;
    EXPECT_FALSE(palette.Load(&failing, CPalette::kTypeRawColors));
    EXPECT_EQ(palette.GetCount(), 0u);
    EXPECT_EQ(palette.GetFormat(), 0u);
    EXPECT_EQ(palette.GetColors(), nullptr);
}

TEST(CPalette, LargePalettesKeepEveryColour) {
    std::vector<uint8_t> bytes(300 * 4);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7);
    CArrayInputStream stream;
    stream.Open(bytes.data(), static_cast<uint32_t>(bytes.size()));
    CPalette palette;
    ASSERT_TRUE(palette.Load(&stream, CPalette::kTypeRawColors));
    ASSERT_EQ(palette.GetCount(), 300u);
    EXPECT_EQ(palette.GetColors()[299], 0xFF000000u | Get32(&bytes[299 * 4]));
}
