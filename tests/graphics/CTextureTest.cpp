#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "AssertCounter.h"
#include "CArrayInputStream.h"
#include "CTexture.h"
#include "HostFile.h"
#include "TargaFileBuilder.h"
#include "TempAppDirectory.h"

using targatest::BuildTarga;
using targatest::PatternPixels;
using targatest::TargaSpec;

namespace {

constexpr uint32_t kTargaKey = 0xB71782EE;
constexpr uint32_t kBlockKey = 0x660AB014;  // any key but the Targa one

bool Load(CTexture* texture, const std::vector<uint8_t>& bytes, uint32_t type) {
    CArrayInputStream stream;
    stream.Open(bytes.data(), static_cast<uint32_t>(bytes.size()));
    return texture->LoadTGA(stream, type);
}

void PutWord(std::vector<uint8_t>* out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out->push_back(static_cast<uint8_t>(value >> (8 * i)));
}

CTexture::Header MakeHeader(uint32_t width, uint32_t height, uint32_t bits, uint32_t format = 0x1908,
                            uint32_t type = 0x1401) {
    CTexture::Header header{};
    header.format = format;
    header.type = type;
    header.bitsPerPixel = bits;
    header.internalFormat = format;
    header.reserved0 = 0x11111111;
    header.reserved1 = 0x22222222;
    header.width = width;
    header.height = height;
    header.size = width * height * (bits / 8);
    return header;
}

// A stored texture block: the header's nine words, then the pixels.
std::vector<uint8_t> Block(const CTexture::Header& header, const std::vector<uint8_t>& pixels) {
    std::vector<uint8_t> out;
    PutWord(&out, header.format);
    PutWord(&out, header.type);
    PutWord(&out, header.bitsPerPixel);
    PutWord(&out, header.internalFormat);
    PutWord(&out, header.reserved0);
    PutWord(&out, header.reserved1);
    PutWord(&out, header.width);
    PutWord(&out, header.height);
    PutWord(&out, header.size);
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

std::vector<uint8_t> PixelsOf(const CTexture& texture) {
    return std::vector<uint8_t>(texture.GetPixels(), texture.GetPixels() + texture.GetDataSize());
}

CTexture MakeTexture(uint32_t width, uint32_t height, uint32_t bits, const std::vector<uint8_t>& pixels) {
    return CTexture(MakeHeader(width, height, bits), pixels.data(), 0);
}

void ExpectEmpty(const CTexture& texture) {
    EXPECT_EQ(texture.GetHeader(), nullptr);
    EXPECT_EQ(texture.GetPixels(), nullptr);
}

}  // namespace

TEST(CTexture, LoadsTargaImagesWithASeparateHeader) {
    TargaSpec spec;
    spec.width = 3;
    spec.height = 2;
    spec.depth = 16;
    spec.imageType = 3;
    spec.data = PatternPixels(3, 2, 2);
    CTexture texture;
    ASSERT_TRUE(Load(&texture, BuildTarga(spec), kTargaKey));
    EXPECT_TRUE(texture.HasSeparateHeader());
    // A 16-bit grey image is described as 8 bits, while its size counts 2 bytes a pixel.
    EXPECT_EQ(texture.GetHeader()->format, 0x1909u);
    EXPECT_EQ(texture.GetHeader()->bitsPerPixel, 8u);
    EXPECT_EQ(texture.GetDataSize(), 12u);
    EXPECT_EQ(PixelsOf(texture), spec.data);

    spec.imageType = 2;
    spec.depth = 32;
    spec.data = PatternPixels(3, 2, 4);
    ASSERT_TRUE(Load(&texture, BuildTarga(spec), kTargaKey));
    EXPECT_EQ(PixelsOf(texture), spec.data);
}

TEST(CTexture, RefusesTargaImagesTheHeaderCheckRejects) {
    TargaSpec eightBit;
    eightBit.width = 2;
    eightBit.height = 2;
    eightBit.depth = 8;
    eightBit.data = PatternPixels(2, 2, 1);
    CTexture texture;
    EXPECT_FALSE(Load(&texture, BuildTarga(eightBit), kTargaKey));
    ExpectEmpty(texture);
}

TEST(CTexture, LoadsStoredBlocks) {
    const CTexture::Header header = MakeHeader(2, 3, 24, 0x1907);
    const std::vector<uint8_t> pixels = PatternPixels(2, 3, 3);
    CTexture texture;
    ASSERT_TRUE(Load(&texture, Block(header, pixels), kBlockKey));
    EXPECT_FALSE(texture.HasSeparateHeader());
    EXPECT_EQ(0, std::memcmp(texture.GetHeader(), &header, sizeof(header)));
    EXPECT_EQ(texture.GetPixels(), reinterpret_cast<const uint8_t*>(texture.GetHeader()) + 36);
    EXPECT_EQ(PixelsOf(texture), pixels);

    // Size 0: a header and no pixel bytes.
    CTexture::Header empty = MakeHeader(0, 5, 32);
    ASSERT_TRUE(Load(&texture, Block(empty, {}), kBlockKey));
    EXPECT_EQ(texture.GetDataSize(), 0u);
    EXPECT_EQ(texture.GetHeight(), 5u);
}

TEST(CTexture, RefusesBlocksThatDoNotHoldWhatTheirHeaderSays) {
    AssertCounter checks;
    const CTexture::Header header = MakeHeader(4, 4, 32);
    const std::vector<uint8_t> pixels = PatternPixels(4, 4, 4);

    std::vector<uint8_t> shortBlock = Block(header, pixels);
    shortBlock.pop_back();
    CTexture::Header oversize = header;
    oversize.size = 0xFFFFFFF0u;
    CTexture::Header tooSmall = header;
    tooSmall.size = 63;
    CTexture::Header oddDepth = header;
    oddDepth.bitsPerPixel = 12;
    // Its pixel bytes wrap to 0 in 64 bits.
    CTexture::Header wrapping = header;
    wrapping.width = 0x80000000u;
    wrapping.height = 0x80000000u;
    std::vector<uint8_t> noHeader = Block(header, {});
    noHeader.resize(35);

    for (const std::vector<uint8_t>& bytes : {shortBlock, Block(oversize, pixels), Block(tooSmall, pixels),
                                              Block(oddDepth, pixels), Block(wrapping, pixels), noHeader,
                                              std::vector<uint8_t>()}) {
        CTexture texture(header, pixels.data(), 0);
        EXPECT_FALSE(Load(&texture, bytes, kBlockKey));
        ExpectEmpty(texture);
    }
    EXPECT_EQ(checks.Count(), 0);
}

TEST(CTexture, CreateCopiesRowsZeroFillsAndChecksTheHeader) {
    const std::vector<uint8_t> source = {1, 2, 3, 4, 9, 9, 5, 6, 7, 8, 9, 9};
    CTexture texture(MakeHeader(2, 2, 16), source.data(), 6);
    EXPECT_EQ(PixelsOf(texture), std::vector<uint8_t>({1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(texture.GetHeader()->reserved1, 0x22222222u);

    ASSERT_TRUE(texture.Create(MakeHeader(3, 1, 24), nullptr, 0));
    EXPECT_EQ(PixelsOf(texture), std::vector<uint8_t>(9, 0));

    CTexture::Header lying = MakeHeader(8, 8, 32);
    lying.size = 4;
    EXPECT_FALSE(texture.Create(lying, source.data(), 0));
    ExpectEmpty(texture);
    lying.width = 0x80000000u;
    lying.height = 0x80000000u;
    EXPECT_FALSE(texture.Create(lying, source.data(), 0));
    ExpectEmpty(texture);

    const CTexture original = MakeTexture(2, 1, 32, {1, 2, 3, 4, 5, 6, 7, 8});
    CTexture copy(original);
    EXPECT_NE(copy.GetPixels(), original.GetPixels());
    EXPECT_EQ(PixelsOf(copy), PixelsOf(original));
    EXPECT_EQ(0, std::memcmp(copy.GetHeader(), original.GetHeader(), 36));
}

TEST(CTexture, SaveWritesABlockThatLoadsBack) {
    TempAppDirectory directory;
    const CTexture::Header header = MakeHeader(3, 2, 32);
    const std::vector<uint8_t> pixels = PatternPixels(3, 2, 4);
    const CTexture texture(header, pixels.data(), 0);
    ASSERT_TRUE(texture.Save(directory.EnginePathOf("tex.bin").c_str()));
    EXPECT_EQ(directory.ReadFile("tex.bin"), Block(header, pixels));

    CTexture again;
    ASSERT_TRUE(Load(&again, directory.ReadFile("tex.bin"), kBlockKey));
    EXPECT_EQ(PixelsOf(again), pixels);
    EXPECT_EQ(0, std::memcmp(again.GetHeader(), &header, sizeof(header)));

    EXPECT_FALSE(texture.Save(directory.EnginePathOf("no/such/dir.bin").c_str()));
    // A close that reports an error may have lost the last bytes.
    HostFile::SetFaultHook([](HostFile::Op op, const std::string&) { return op == HostFile::Op::Close; });
    EXPECT_FALSE(texture.Save(directory.EnginePathOf("tex.bin").c_str()));
    HostFile::SetFaultHook(nullptr);
}

TEST(CTexture, SubImagesCopyInsideTheImageOnly) {
    CTexture texture = MakeTexture(4, 3, 16, std::vector<uint8_t>(24, 0));
    // A 2x2 patch at (1, 1), source rows 6 bytes apart.
    const std::vector<uint8_t> patch = {1, 2, 3, 4, 0, 0, 5, 6, 7, 8, 0, 0};
    ASSERT_TRUE(texture.SetSubImage(1, 1, 2, 2, patch.data(), 6));
    std::vector<uint8_t> expected(24, 0);
    const uint8_t row1[] = {1, 2, 3, 4};
    const uint8_t row2[] = {5, 6, 7, 8};
    std::memcpy(&expected[8 + 2], row1, 4);
    std::memcpy(&expected[16 + 2], row2, 4);
    EXPECT_EQ(PixelsOf(texture), expected);

    std::vector<uint8_t> out(8, 0xCC);
    ASSERT_TRUE(texture.GetSubImage(1, 1, 2, 2, out.data(), 0));
    EXPECT_EQ(out, std::vector<uint8_t>({1, 2, 3, 4, 5, 6, 7, 8}));

    // The whole image at once.
    const std::vector<uint8_t> whole = PatternPixels(4, 3, 2);
    ASSERT_TRUE(texture.SetSubImage(0, 0, 4, 3, whole.data(), 0));
    EXPECT_EQ(PixelsOf(texture), whole);

    EXPECT_FALSE(texture.SetSubImage(3, 0, 2, 1, patch.data(), 0));
    EXPECT_FALSE(texture.SetSubImage(0, 2, 1, 2, patch.data(), 0));
    EXPECT_FALSE(texture.GetSubImage(-1, 0, 1, 1, out.data(), 0));
    EXPECT_FALSE(texture.GetSubImage(0, 0, 1, -1, out.data(), 0));
    EXPECT_FALSE(texture.SetSubImage(0, 0, 0, 3, patch.data(), 0));
    EXPECT_EQ(PixelsOf(texture), whole);
}

TEST(CTexture, ChannelReordersByDepth) {
    CTexture rgb = MakeTexture(2, 1, 24, {1, 2, 3, 4, 5, 6});
    ASSERT_TRUE(rgb.SwapRedBlue());
    EXPECT_EQ(PixelsOf(rgb), std::vector<uint8_t>({3, 2, 1, 6, 5, 4}));
    ASSERT_TRUE(rgb.SwapBytes01());
    EXPECT_EQ(PixelsOf(rgb), std::vector<uint8_t>({2, 3, 1, 5, 6, 4}));
    ASSERT_TRUE(rgb.SwapBytes12());
    EXPECT_EQ(PixelsOf(rgb), std::vector<uint8_t>({2, 1, 3, 5, 4, 6}));
    ASSERT_TRUE(rgb.RotateBytes());
    EXPECT_EQ(PixelsOf(rgb), std::vector<uint8_t>({3, 2, 1, 6, 5, 4}));

    CTexture rgba = MakeTexture(1, 2, 32, {1, 2, 3, 4, 5, 6, 7, 8});
    ASSERT_TRUE(rgba.RotateBytes());
    EXPECT_EQ(PixelsOf(rgba), std::vector<uint8_t>({3, 1, 2, 4, 7, 5, 6, 8}));

    const std::vector<uint8_t> sixteen = {1, 2, 3, 4};
    CTexture packed = MakeTexture(2, 1, 16, sixteen);
    EXPECT_FALSE(packed.SwapRedBlue());
    EXPECT_FALSE(packed.SwapBytes01());
    EXPECT_TRUE(packed.SwapBytes12());
    EXPECT_TRUE(packed.RotateBytes());
    EXPECT_EQ(PixelsOf(packed), sixteen);

    CTexture empty;
    EXPECT_FALSE(empty.SwapBytes12());
    EXPECT_FALSE(empty.RotateBytes());
}

TEST(CTexture, ConvertsByteImagesTo16Bits) {
    // Pixel bytes are blue, green, red, alpha.
    const uint8_t b = 0x1F, g = 0xA6, r = 0xF0, a = 0x80;
    const uint32_t r5 = r >> 3, g6 = g >> 2, g5 = g >> 3, b5 = b >> 3;
    const uint32_t r4 = r >> 4, g4 = g >> 4, b4 = b >> 4, a4 = a >> 4;
    struct Case {
        bool (CTexture::*convert)();
        uint32_t format;
        uint32_t type;
        uint32_t value;
    };
    const Case cases[] = {
        {&CTexture::ConvertTo565, 0x1907, 0x8363, r5 << 11 | g6 << 5 | b5},
        {&CTexture::ConvertToA1R5G5B5, 0x1908, 0x8024, 1u << 15 | r5 << 10 | g5 << 5 | b5},
        {&CTexture::ConvertToR5G5B5A1, 0x1908, 0x8034, r5 << 11 | g5 << 6 | b5 << 1 | 1u},
        {&CTexture::ConvertToR4G4B4A4, 0x1908, 0x8033, r4 << 12 | g4 << 8 | b4 << 4 | a4},
        {&CTexture::ConvertToA4R4G4B4, 0x1908, 0x8023, a4 << 12 | r4 << 8 | g4 << 4 | b4},
    };
    for (const Case& c : cases) {
        CTexture texture = MakeTexture(2, 1, 32, {b, g, r, a, b, g, r, 0});
        ASSERT_TRUE((texture.*c.convert)());
        const CTexture::Header* header = texture.GetHeader();
        EXPECT_EQ(header->internalFormat, c.format);
        EXPECT_EQ(header->type, c.type);
        EXPECT_EQ(header->size, 4u);
        const std::vector<uint8_t> pixels = PixelsOf(texture);
        EXPECT_EQ(static_cast<uint32_t>(pixels[0] | pixels[1] << 8), c.value);
    }

    // A transparent pixel clears the 1-bit alpha; 24-bit pixels are opaque.
    CTexture clear = MakeTexture(1, 1, 32, {0, 0, 0, 0});
    ASSERT_TRUE(clear.ConvertToA1R5G5B5());
    EXPECT_EQ(PixelsOf(clear), std::vector<uint8_t>({0, 0}));
    CTexture opaque = MakeTexture(1, 1, 24, {0, 0, 0});
    ASSERT_TRUE(opaque.ConvertToA4R4G4B4());
    EXPECT_EQ(PixelsOf(opaque), std::vector<uint8_t>({0x00, 0xF0}));
}

TEST(CTexture, ConversionsRefuseOtherImages) {
    const std::vector<uint8_t> pixels = {1, 2, 3, 4};
    CTexture sixteen = MakeTexture(2, 1, 16, pixels);
    EXPECT_FALSE(sixteen.ConvertTo565());
    EXPECT_EQ(PixelsOf(sixteen), pixels);

    CTexture grey(MakeHeader(1, 1, 32, 0x1909), pixels.data(), 0);
    EXPECT_FALSE(grey.ConvertTo565());
    CTexture packed(MakeHeader(1, 1, 32, 0x1908, 0x8033), pixels.data(), 0);
    EXPECT_FALSE(packed.ConvertToA4R4G4B4());
    CTexture empty;
    EXPECT_FALSE(empty.ConvertTo565());
}
