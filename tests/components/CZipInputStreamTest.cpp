#include "ArchiveTestData.h"
#include "AssertCounter.h"
#include "CArrayInputStream.h"
#include "CZipInputStream.h"

#include <gtest/gtest.h>

#include <zlib.h>

namespace {

using namespace ArchiveTestData;

Bytes Deflate(const Bytes& payload) {
    uLongf size = compressBound(static_cast<uLong>(payload.size()));
    Bytes packed(size);
    EXPECT_EQ(compress(packed.data(), &size, payload.data(), static_cast<uLong>(payload.size())), Z_OK);
    packed.resize(size);
    return packed;
}

class CZipInputStreamTest : public ::testing::Test {
protected:
    void Open(const Bytes& packed, uint32_t unpackedSize) {
        ASSERT_TRUE(m_source.Open(packed.data(), static_cast<uint32_t>(packed.size())));
        ASSERT_TRUE(m_zip.Open(&m_source, static_cast<uint32_t>(packed.size()), unpackedSize));
    }

    CArrayInputStream m_source;
    CZipInputStream m_zip;
};

TEST_F(CZipInputStreamTest, InflatesAcrossWindowsAndSkips) {
    const Bytes payload = Mixed(40000, 21);
    const Bytes packed = Deflate(payload);
    Open(packed, 40000);
    EXPECT_EQ(m_zip.Available(), 40000u);
    Bytes head(3);
    m_zip.Read(head.data(), 3);
    EXPECT_EQ(head, Bytes(payload.begin(), payload.begin() + 3));
    m_zip.Skip(CZipInputStream::kWindowSize * 3);
    const uint32_t at = 3 + CZipInputStream::kWindowSize * 3;
    Bytes rest(40000 - at);
    m_zip.Read(rest.data(), static_cast<uint32_t>(rest.size()));
    EXPECT_EQ(rest, Bytes(payload.begin() + at, payload.end()));
    EXPECT_FALSE(m_zip.HasError());
    EXPECT_EQ(m_zip.Available(), 0u);
}

TEST_F(CZipInputStreamTest, SkipsOverInputThatYieldsNothingForSeveralBuffers) {
    // A zlib stream that opens with more empty stored blocks than one input
    // buffer holds, then stores "payload" in a final block.
    Bytes packed = {0x78, 0x01};
    const uint32_t emptyBlocks = 3 * CZipInputStream::kInputBufferSize / 5;
    for (uint32_t i = 0; i < emptyBlocks; ++i) packed.insert(packed.end(), {0x00, 0x00, 0x00, 0xFF, 0xFF});
    const Bytes payload = Text("payload");
    packed.insert(packed.end(), {0x01, 7, 0, 0xF8, 0xFF});
    packed.insert(packed.end(), payload.begin(), payload.end());
    const uint32_t check = adler32(adler32(0, nullptr, 0), payload.data(), 7);
    packed.insert(packed.end(), {static_cast<uint8_t>(check >> 24), static_cast<uint8_t>(check >> 16),
                                 static_cast<uint8_t>(check >> 8), static_cast<uint8_t>(check)});
    Open(packed, 7);
    m_zip.Skip(3);
    EXPECT_FALSE(m_zip.HasError());
    uint8_t rest[4];
    m_zip.Read(rest, 4);
    EXPECT_EQ(Bytes(rest, rest + 4), Text("load"));
    EXPECT_FALSE(m_zip.HasError());
}

TEST_F(CZipInputStreamTest, ReadingPastTheEndDoesNotInflate) {
    const Bytes packed = Deflate(Text("twelve bytes"));
    Open(packed, 12);
    m_zip.Skip(10);
    const uint32_t consumedBefore = m_source.Available();
    uint8_t out[3] = {1, 2, 3};
    m_zip.Read(out, 3);
    EXPECT_TRUE(m_zip.HasError());
    EXPECT_EQ(out[0] | out[1] | out[2], 0);
    EXPECT_EQ(m_source.Available(), consumedBefore);
    EXPECT_EQ(m_zip.Available(), 0u);
}

TEST_F(CZipInputStreamTest, TruncatedOrGarbageDataSetsTheErrorFlag) {
    const Bytes payload = Mixed(20000, 4);
    Bytes packed = Deflate(payload);
    packed.resize(packed.size() / 2);
    Open(packed, 20000);
    AssertCounter counter;
    Bytes out(20000);
    m_zip.Read(out.data(), 20000);
    EXPECT_TRUE(m_zip.HasError());
    EXPECT_EQ(out, Bytes(20000, 0));

    const Bytes garbage(500, 0x77);
    Open(garbage, 100);
    m_zip.Skip(50);
    EXPECT_TRUE(m_zip.HasError());
    EXPECT_TRUE(counter.Logged("inflate failed"));
}

TEST_F(CZipInputStreamTest, DataEndingBeforeTheStatedSizeFails) {
    const Bytes packed = Deflate(Text("short"));
    Open(packed, 6);
    uint8_t out[6];
    AssertCounter counter;
    m_zip.Read(out, 6);
    EXPECT_TRUE(m_zip.HasError());
    EXPECT_TRUE(counter.Logged("ended after 5 of 6"));

    // Reset makes the object reusable.
    m_zip.Reset();
    EXPECT_FALSE(m_zip.HasError());
    EXPECT_EQ(m_zip.Available(), 0u);
    Open(packed, 5);
    m_zip.Read(out, 5);
    EXPECT_EQ(Bytes(out, out + 5), Text("short"));
}

}  // namespace
