#include "AssertCounter.h"
#include "CArrayInputStream.h"
#include "CBinary.h"
#include "CMedia.h"
#include "CMemory.h"
#include "CVorbisDecoder.h"
#include "OggFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t U32At(const uint8_t* bytes) {
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

uint16_t U16At(const uint8_t* bytes) { return static_cast<uint16_t>(bytes[0] | bytes[1] << 8); }

// Correlation of the decoded little-endian samples with the tone: a lossy
// codec keeps the shape, a wrong sample format or byte order does not.
double Correlation(const std::vector<int16_t>& tone, const uint8_t* pcm) {
    double dot = 0, toneEnergy = 0, pcmEnergy = 0;
    for (size_t i = 0; i < tone.size(); ++i) {
        const double decoded = static_cast<int16_t>(U16At(pcm + 2 * i));
        dot += tone[i] * decoded;
        toneEnergy += static_cast<double>(tone[i]) * tone[i];
        pcmEnergy += decoded * decoded;
    }
    return dot / std::sqrt(toneEnergy * pcmEnergy + 1);
}

class CVorbisDecoderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_tone = OggFixture::Tone(8000, 1);
        s_image = OggFixture::Encode(s_tone, 1, 8000);
    }
    void SetUp() override { ASSERT_FALSE(s_image.empty()) << "oggenc (vorbis-tools) must be on PATH"; }

    struct Decoded {
        bool ok = false;
        uint8_t* buffer = reinterpret_cast<uint8_t*>(1);
        uint32_t size = 1;
        ~Decoded() { MemFreeArray(ok ? buffer : nullptr); }
    };

    static void Decode(const Bytes& image, bool raw, Decoded& out) {
        out.ok = CVorbisDecoder::DecodeToPcm(image.data(), static_cast<uint32_t>(image.size()), &out.buffer,
                                             &out.size, raw);
    }

    // A refused stream hands back neither a buffer nor a size.
    static void ExpectRefused(const Bytes& image) {
        Decoded decoded;
        Decode(image, true, decoded);
        EXPECT_FALSE(decoded.ok);
        EXPECT_EQ(decoded.buffer, nullptr);
        EXPECT_EQ(decoded.size, 0u);
    }

    static std::vector<int16_t> s_tone;
    static Bytes s_image;
};

std::vector<int16_t> CVorbisDecoderTest::s_tone;
Bytes CVorbisDecoderTest::s_image;

TEST_F(CVorbisDecoderTest, DecodesMonoToExactlySizedPcm) {
    Decoded raw;
    Decode(s_image, true, raw);
    ASSERT_TRUE(raw.ok);
    ASSERT_EQ(raw.size, 16000u);
    EXPECT_GT(Correlation(s_tone, raw.buffer), 0.9);

    Decoded wav;
    Decode(s_image, false, wav);
    ASSERT_TRUE(wav.ok);
    ASSERT_EQ(wav.size, 16044u);
    const uint8_t* h = wav.buffer;
    EXPECT_EQ(std::string(h, h + 4), "RIFF");
    EXPECT_EQ(U32At(h + 4), 16036u);
    EXPECT_EQ(std::string(h + 8, h + 16), "WAVEfmt ");
    EXPECT_EQ(U32At(h + 16), 16u);
    EXPECT_EQ(U16At(h + 20), 1);
    EXPECT_EQ(U16At(h + 22), 1);
    EXPECT_EQ(U32At(h + 24), 8000u);
    EXPECT_EQ(U32At(h + 28), 16000u);
    EXPECT_EQ(U16At(h + 32), 2);
    EXPECT_EQ(U16At(h + 34), 16);
    EXPECT_EQ(std::string(h + 36, h + 40), "data");
    EXPECT_EQ(U32At(h + 40), 16000u);
    EXPECT_EQ(Bytes(h + 44, h + 16044), Bytes(raw.buffer, raw.buffer + 16000));
}

TEST_F(CVorbisDecoderTest, BrokenOrUnsupportedStreamsFailWithNoOutput) {
    AssertCounter counter;
    // A flipped byte in the audio fails its page checksum, so fewer samples
    // arrive than the last page announces.
    Bytes damaged = s_image;
    damaged[damaged.size() * 2 / 3] ^= 0xFF;
    const Bytes stereo = OggFixture::Encode(OggFixture::Tone(2000, 2), 2, 8000);
    const Bytes fast = OggFixture::Encode(OggFixture::Tone(2000, 1), 1, 22050);
    ASSERT_FALSE(stereo.empty());
    const Bytes images[] = {Bytes(4000, 0x5A), Bytes(), Bytes(s_image.begin(), s_image.begin() + 200), damaged,
                            stereo, fast};
    for (size_t i = 0; i < std::size(images); ++i) {
        SCOPED_TRACE(i);
        ExpectRefused(images[i]);
    }
    EXPECT_TRUE(counter.Logged("only mono 8000 Hz"));
}

// Bytes of the first `count` Ogg pages: 27-byte page header, segment table,
// then the segments.
size_t PagesLength(const Bytes& image, size_t count) {
    size_t position = 0;
    for (size_t page = 0; page < count && position + 27 <= image.size(); ++page) {
        const size_t segments = image[position + 26];
        size_t body = 0;
        for (size_t i = 0; i < segments; ++i) body += image[position + 27 + i];
        position += 27 + segments + body;
    }
    return position;
}

TEST_F(CVorbisDecoderTest, HeadersWithoutAudioAnnounceNoSamplesAndFail) {
    // The encoder puts the identification header on the first page and the
    // comment and setup headers on the second.
    const Bytes headers(s_image.begin(), s_image.begin() + PagesLength(s_image, 2));
    ASSERT_LT(headers.size(), s_image.size());
    AssertCounter counter;
    ExpectRefused(headers);
    EXPECT_TRUE(counter.Logged("announces 0 samples"));
}

// The container's page checksum, bit by bit: CRC-32 with polynomial
// 0x04C11DB7, not reflected, initial value 0 and no final XOR.
uint32_t PageChecksum(const uint8_t* bytes, size_t n) {
    uint32_t crc = 0;
    for (size_t i = 0; i < n; ++i) {
        crc ^= static_cast<uint32_t>(bytes[i]) << 24;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    }
    return crc;
}

// The image with its last page's granule position (the sample count the
// stream announces) replaced and that page's checksum mended, as a corrupt
// file that still passes the container's check would carry it.
Bytes WithLastGranule(Bytes image, uint64_t granule) {
    size_t pages = 1;
    while (PagesLength(image, pages) < image.size()) ++pages;
    const size_t last = PagesLength(image, pages - 1);
    for (int i = 0; i < 8; ++i) image[last + 6 + i] = static_cast<uint8_t>(granule >> (8 * i));
    for (int i = 0; i < 4; ++i) image[last + 22 + i] = 0;
    const uint32_t crc = PageChecksum(&image[last], image.size() - last);
    for (int i = 0; i < 4; ++i) image[last + 22 + i] = static_cast<uint8_t>(crc >> (8 * i));
    return image;
}

TEST_F(CVorbisDecoderTest, AnnouncementBeyondWhatTheImageCanHoldIsRefusedBeforeAllocating) {
    // Mended with the true count, the image still decodes: the mending is sound.
    Decoded same;
    Decode(WithLastGranule(s_image, 8000), true, same);
    ASSERT_TRUE(same.ok);
    EXPECT_EQ(same.size, 16000u);
    // The headers alone, their page announcing 2^30 samples: 2 GiB of PCM
    // from under 3 kilobytes, refused when announced, not after a 2 GiB block
    // was taken and decoding ran dry.
    const Bytes headers(s_image.begin(), s_image.begin() + PagesLength(s_image, 2));
    AssertCounter counter;
    ExpectRefused(WithLastGranule(headers, 1ull << 30));
    EXPECT_TRUE(counter.Logged("announces 1073741824 samples"));
    EXPECT_FALSE(counter.Logged("stream ended after"));
}

TEST(CVorbisDecoderSource, ReadSeekAndTellStayInsideTheImage) {
    const uint8_t data[] = {1, 2, 3, 4, 5};
    VorbisMemorySource source = {data, sizeof(data), 0};
    uint8_t out[8] = {};
    EXPECT_EQ(CVorbisDecoder::MemRead(out, 1, 3, &source), 3u);
    EXPECT_EQ(CVorbisDecoder::MemRead(out, 1, 8, &source), 2u);
    EXPECT_EQ(out[1], 5);
    EXPECT_EQ(CVorbisDecoder::MemRead(out, 1, 8, &source), 0u);
    EXPECT_EQ(CVorbisDecoder::MemSeek(&source, -2, 2), 0);
    EXPECT_EQ(CVorbisDecoder::MemTell(&source), 3);
    EXPECT_EQ(CVorbisDecoder::MemSeek(&source, 1, 1), 0);
    EXPECT_EQ(CVorbisDecoder::MemRead(out, 1, 8, &source), 1u);
    EXPECT_EQ(out[0], 5);
    EXPECT_EQ(CVorbisDecoder::MemSeek(&source, 100, 0), 0);  // beyond the end: reads give nothing
    EXPECT_EQ(CVorbisDecoder::MemRead(out, 1, 8, &source), 0u);
    EXPECT_EQ(CVorbisDecoder::MemRead(out, SIZE_MAX, 2, &source), 0u);
    AssertCounter counter;
    EXPECT_EQ(CVorbisDecoder::MemSeek(&source, 0, 7), 0);
    EXPECT_EQ(counter.Count(), 1);
    EXPECT_EQ(CVorbisDecoder::MemTell(&source), 100);
}

TEST_F(CVorbisDecoderTest, MediaLoaderStoresOggSoundsAsRawPcm) {
    CArrayInputStream stream;
    ASSERT_TRUE(stream.Open(s_image.data(), static_cast<uint32_t>(s_image.size())));
    CBinary binary;
    ASSERT_TRUE(CMedia::Load(binary, stream, CMedia::kOggVorbisType));
    EXPECT_EQ(binary.GetSize(), 16000u);
    EXPECT_EQ(binary.GetTypeKey(), CMedia::kRawPcmType);
    EXPECT_GT(Correlation(s_tone, binary.GetData()), 0.9);

    const Bytes garbage(500, 0x33);
    ASSERT_TRUE(stream.Open(garbage.data(), static_cast<uint32_t>(garbage.size())));
    AssertCounter counter;
    EXPECT_FALSE(CMedia::Load(binary, stream, CMedia::kOggVorbisType));
    EXPECT_EQ(binary.GetData(), nullptr);
    EXPECT_EQ(binary.GetSize(), 0u);
    EXPECT_EQ(binary.GetTypeKey(), 0u);
}

}  // namespace
