#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "AssertCounter.h"
#include "CArrayInputStream.h"
#include "CTarga.h"
#include "TargaFileBuilder.h"
#include "TempAppDirectory.h"

using targatest::AppendLiterals;
using targatest::AppendRun;
using targatest::BuildTarga;
using targatest::PatternPixels;
using targatest::TargaSpec;

namespace {

bool Load(CTarga* image, const std::vector<uint8_t>& bytes) {
    CArrayInputStream stream;
    stream.Open(bytes.data(), static_cast<uint32_t>(bytes.size()));
    return image->Load(stream);
}

TargaSpec Plain(uint8_t type, uint16_t width, uint16_t height, uint8_t depth) {
    TargaSpec spec;
    spec.imageType = type;
    spec.width = width;
    spec.height = height;
    spec.depth = depth;
    spec.data = PatternPixels(width, height, depth >> 3);
    return spec;
}

std::vector<uint8_t> PixelsOf(const CTarga& image, size_t count) {
    return std::vector<uint8_t>(image.GetPixels(), image.GetPixels() + count);
}

void ExpectEmpty(const CTarga& image) {
    EXPECT_EQ(image.GetHeader(), nullptr);
    EXPECT_EQ(image.GetPixels(), nullptr);
    EXPECT_EQ(image.GetBlockSize(), 0u);
}

}  // namespace

TEST(CTarga, DescriptorFollowsTypeAndDepth) {
    struct Case {
        uint8_t type;
        uint8_t depth;
        uint32_t format;
        uint32_t pixelType;
        uint32_t bits;
    };
    const Case cases[] = {
        {2, 16, 0x1907, 0x8363, 16}, {2, 24, 0x1907, 0x1401, 24}, {2, 32, 0x1908, 0x1401, 32},
        {2, 40, 0x1908, 0x1401, 32}, {3, 16, 0x1909, 0x1401, 8},  {3, 24, 0x1909, 0x1401, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << int(c.type) << " depth " << int(c.depth));
        CTarga image;
        ASSERT_TRUE(Load(&image, BuildTarga(Plain(c.type, 3, 2, c.depth))));
        const CTexture::Header* header = image.GetHeader();
        ASSERT_NE(header, nullptr);
        EXPECT_EQ(header->format, c.format);
        EXPECT_EQ(header->internalFormat, c.format);
        EXPECT_EQ(header->type, c.pixelType);
        EXPECT_EQ(header->bitsPerPixel, c.bits);
        EXPECT_EQ(header->size, 3u * 2u * (c.depth >> 3));
    }
}

TEST(CTarga, BlockHoldsHeaderCopyThenEveryByteAfterIt) {
    TargaSpec spec = Plain(2, 4, 3, 24);
    spec.id = {0xA1, 0xA2, 0xA3};
    const std::vector<uint8_t> file = BuildTarga(spec);
    CTarga image;
    ASSERT_TRUE(Load(&image, file));
    EXPECT_EQ(image.GetBlockSize(), file.size() + 2);
    ASSERT_NE(image.GetTargaHeader(), nullptr);
    EXPECT_EQ(0, std::memcmp(image.GetTargaHeader(), file.data(), 18));
    EXPECT_EQ(image.GetPixels(), image.GetTargaHeader() + 20);
    // The image ID is not skipped: its bytes open the pixel data.
    const std::vector<uint8_t> expected(file.begin() + 18, file.end());
    EXPECT_EQ(PixelsOf(image, expected.size()), expected);
    EXPECT_EQ(image.GetHeader()->size, 4u * 3u * 3u);
}

TEST(CTarga, RefusesUnsupportedAndShortImages) {
    AssertCounter checks;
    std::vector<std::vector<uint8_t>> refused;
    refused.push_back(BuildTarga(Plain(2, 2, 2, 8)));
    refused.push_back(BuildTarga(Plain(3, 2, 2, 8)));
    refused.push_back(BuildTarga(Plain(1, 2, 2, 16)));
    refused.push_back(BuildTarga(Plain(9, 2, 2, 16)));
    TargaSpec mapped = Plain(2, 2, 2, 24);
    mapped.colorMapType = 1;
    refused.push_back(BuildTarga(mapped));
    // A header that claims more pixels than the file carries.
    std::vector<uint8_t> truncated = BuildTarga(Plain(2, 4, 4, 32));
    truncated.resize(truncated.size() - 1);
    refused.push_back(truncated);
    truncated.resize(17);  // not even a whole header
    refused.push_back(truncated);
    // A huge image with a few bytes of data is refused before any allocation.
    TargaSpec huge = Plain(2, 1, 1, 32);
    huge.width = 65535;
    huge.height = 65535;
    refused.push_back(BuildTarga(huge));
    huge.imageType = 10;
    refused.push_back(BuildTarga(huge));
    refused.push_back({});

    for (size_t i = 0; i < refused.size(); ++i) {
        SCOPED_TRACE(i);
        CTarga image;
        ASSERT_TRUE(Load(&image, BuildTarga(Plain(2, 1, 1, 16))));
        EXPECT_FALSE(Load(&image, refused[i]));
        ExpectEmpty(image);
    }
    EXPECT_EQ(checks.Count(), 0);
}

TEST(CTarga, RunLengthImagesAreDecodedAndHeldAsPlainOnes) {
    const std::vector<uint8_t> red = {0x00, 0x00, 0xFF};
    const std::vector<uint8_t> literals = {1, 2, 3, 4, 5, 6};
    TargaSpec spec;
    spec.imageType = 10;
    spec.width = 3;
    spec.height = 2;
    spec.depth = 24;
    spec.id = {0xEE, 0xEE};
    AppendRun(&spec.data, 4, red);
    AppendLiterals(&spec.data, literals, 3);

    CTarga image;
    ASSERT_TRUE(Load(&image, BuildTarga(spec)));
    const std::vector<uint8_t> expected = {0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 1, 2, 3, 4, 5, 6};
    EXPECT_EQ(PixelsOf(image, expected.size()), expected);
    EXPECT_EQ(image.GetBlockSize(), 20u + expected.size());
    EXPECT_EQ(image.GetHeader()->format, 0x1907u);
    EXPECT_EQ(image.GetTargaHeader()[2], 2);  // now a plain true-colour image
    EXPECT_EQ(image.GetTargaHeader()[0], 0);  // without its ID

    TargaSpec grey = spec;
    grey.imageType = 11;
    grey.depth = 16;
    grey.data.clear();
    AppendRun(&grey.data, 6, {0x34, 0x12});
    ASSERT_TRUE(Load(&image, BuildTarga(grey)));
    EXPECT_EQ(image.GetHeader()->format, 0x1909u);
    EXPECT_EQ(PixelsOf(image, 12), std::vector<uint8_t>({0x34, 0x12, 0x34, 0x12, 0x34, 0x12, 0x34, 0x12, 0x34, 0x12,
                                                         0x34, 0x12}));
    EXPECT_EQ(image.GetTargaHeader()[2], 3);
}

TEST(CTarga, BrokenRunsAreRefused) {
    AssertCounter checks;
    TargaSpec spec;
    spec.imageType = 10;
    spec.width = 2;
    spec.height = 2;
    spec.depth = 16;
    AppendRun(&spec.data, 5, {1, 2});  // one pixel more than the image has
    std::vector<std::vector<uint8_t>> streams = {spec.data, {}, {}};
    AppendLiterals(&streams[1], {1, 2, 3, 4, 5, 6, 7, 8}, 2);
    streams[1].pop_back();  // the last literal is cut short
    AppendRun(&streams[2], 2, {1, 2});  // the stream ends after half the image
    for (const std::vector<uint8_t>& data : streams) {
        spec.data = data;
        CTarga image;
        EXPECT_FALSE(Load(&image, BuildTarga(spec)));
        ExpectEmpty(image);
    }
    EXPECT_EQ(checks.Count(), 0);
}

TEST(CTarga, CreateFromMemoryCopiesOrZeroFills) {
    TargaSpec spec = Plain(2, 3, 2, 16);
    const std::vector<uint8_t> header = targatest::TargaHeaderBytes(spec);
    CTarga image;
    ASSERT_TRUE(image.CreateFromMemory(header.data(), nullptr, 0));
    EXPECT_EQ(PixelsOf(image, 12), std::vector<uint8_t>(12, 0));
    EXPECT_EQ(image.GetBlockSize(), 32u);
    EXPECT_EQ(image.GetHeader()->type, 0x8363u);

    // Rows 8 bytes apart in the source, 6 bytes in the image.
    const std::vector<uint8_t> source = {1, 2, 3, 4, 5, 6, 0xFF, 0xFF, 7, 8, 9, 10, 11, 12, 0xFF, 0xFF};
    ASSERT_TRUE(image.CreateFromMemory(header.data(), source.data(), 8));
    EXPECT_EQ(PixelsOf(image, 12), std::vector<uint8_t>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));

    EXPECT_EQ(0, std::memcmp(image.GetTargaHeader(), header.data(), 18));

    // An 8-bit header would get a 32-bit description over one byte a pixel.
    const std::vector<uint8_t> eightBit = targatest::TargaHeaderBytes(Plain(2, 3, 2, 8));
    EXPECT_FALSE(image.CreateFromMemory(eightBit.data(), nullptr, 0));
    ExpectEmpty(image);
}

TEST(CTarga, SaveThenLoadGivesTheSameImage) {
    TempAppDirectory directory;
    TargaSpec spec = Plain(2, 5, 3, 32);
    spec.data.push_back(0x77);  // a trailing byte the image does not cover
    CTarga image;
    ASSERT_TRUE(Load(&image, BuildTarga(spec)));
    ASSERT_TRUE(image.Save(directory.EnginePathOf("out.tga").c_str()));

    TargaSpec written = spec;
    written.data.pop_back();
    EXPECT_EQ(directory.ReadFile("out.tga"), BuildTarga(written));

    CTarga again;
    ASSERT_TRUE(Load(&again, directory.ReadFile("out.tga")));
    EXPECT_EQ(PixelsOf(again, 60), PixelsOf(image, 60));
    EXPECT_EQ(0, std::memcmp(again.GetHeader(), image.GetHeader(), sizeof(CTexture::Header)));

    // A decoded run-length image saves as the plain image it became.
    TargaSpec runs;
    runs.imageType = 10;
    runs.width = 2;
    runs.height = 2;
    runs.depth = 16;
    AppendRun(&runs.data, 4, {0x21, 0x43});
    ASSERT_TRUE(Load(&image, BuildTarga(runs)));
    ASSERT_TRUE(image.Save(directory.EnginePathOf("runs.tga").c_str()));
    ASSERT_TRUE(Load(&again, directory.ReadFile("runs.tga")));
    EXPECT_EQ(again.GetTargaHeader()[2], 2);
    EXPECT_EQ(PixelsOf(again, 8), std::vector<uint8_t>({0x21, 0x43, 0x21, 0x43, 0x21, 0x43, 0x21, 0x43}));
}

TEST(CTarga, SaveFailsWithoutAFileOrAnImage) {
    TempAppDirectory directory;
    CTarga image;
    ASSERT_TRUE(Load(&image, BuildTarga(Plain(2, 2, 2, 24))));
    EXPECT_FALSE(image.Save(directory.EnginePathOf("missing/dir/out.tga").c_str()));

    AssertCounter checks;
    CTarga empty;
    EXPECT_FALSE(empty.Save(directory.EnginePathOf("empty.tga").c_str()));
    EXPECT_EQ(checks.Count(), 1);
    EXPECT_FALSE(directory.Exists("empty.tga"));
}

TEST(CTarga, ConversionKeepsTheImageButNotItsTargaHeader) {
    TempAppDirectory directory;
    CTarga image;
    ASSERT_TRUE(Load(&image, BuildTarga(Plain(2, 2, 1, 24))));
    ASSERT_TRUE(image.ConvertTo565());
    EXPECT_EQ(image.GetHeader()->bitsPerPixel, 16u);
    EXPECT_EQ(image.GetTargaHeader(), nullptr);
    EXPECT_FALSE(image.Save(directory.EnginePathOf("converted.tga").c_str()));
    image.Release();
    ExpectEmpty(image);
}
