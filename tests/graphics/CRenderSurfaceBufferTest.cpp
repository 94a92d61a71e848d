#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "AssertCounter.h"
#include "CColor.h"
#include "CRenderSurfaceBuffer.h"
#include "CRenderSurfaceBufferEx.h"
#include "CRenderSurfaceLoadParams.h"

namespace {

bool CreatePlain(CRenderSurfaceBuffer* plane, uint32_t format, uint16_t width, uint16_t height, int32_t mode,
                 int16_t pitch = 0, void* pixels = nullptr) {
    return plane->Create(format, width, height, false, nullptr, nullptr, mode, pitch, pixels);
}

const uint8_t* Row(const CRenderSurfaceBuffer& plane, int32_t y) {
    return static_cast<const uint8_t*>(plane.GetPixels(0)) + static_cast<intptr_t>(y) * plane.GetPitch();
}

}  // namespace

TEST(CRenderSurfaceBuffer, RoundUpPow2) {
    for (const auto& [in, out] : {std::pair<uint32_t, uint32_t>{0, 0}, {1, 1}, {3, 4}, {129, 256}, {4096, 4096}, {4097, 0}}) {
        EXPECT_EQ(CRenderSurfaceBuffer::RoundUpPow2(in), out) << in;
    }
}

TEST(CRenderSurfaceBuffer, TopDownPlaneIsZeroFilledAndOwned) {
    CRenderSurfaceBuffer plane;
    ASSERT_TRUE(CreatePlain(&plane, RSBFormat_R5G6B5, 5, 3, CRenderSurfaceBuffer::kPitchTopDown));
    EXPECT_EQ(plane.GetPitch(), 10);
    EXPECT_EQ(plane.GetFlags(), CRenderSurfaceBuffer::kFlagOwnsPixels);
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t i = 0; i < 10; ++i) ASSERT_EQ(Row(plane, y)[i], 0);
    }
    EXPECT_EQ(plane.GetPixels(1), nullptr);
}

TEST(CRenderSurfaceBuffer, BottomUpPlaneStartsAtTheLastRow) {
    CRenderSurfaceBuffer plane;
    ASSERT_TRUE(CreatePlain(&plane, RSBFormat_X8R8G8B8, 3, 4, CRenderSurfaceBuffer::kPitchBottomUp));
    EXPECT_EQ(plane.GetPitch(), -12);
    // Writing every row through the view touches exactly the block.
    for (int32_t y = 0; y < 4; ++y) std::memset(const_cast<uint8_t*>(Row(plane, y)), y + 1, 12);
    const uint8_t* bottom = Row(plane, 0);
    const uint8_t* top = Row(plane, 3);
    EXPECT_EQ(bottom - top, 36);
    plane.FlipToTop();
    EXPECT_EQ(plane.GetPitch(), 12);
    EXPECT_EQ(Row(plane, 0)[0], 4);  // the first row in memory
    plane.FlipToBottom();
    EXPECT_EQ(plane.GetPitch(), -12);
    EXPECT_EQ(Row(plane, 0)[0], 1);
    plane.Release();  // from the block's start, or ASan complains
}

TEST(CRenderSurfaceBuffer, ExplicitNegativePitchMakesABottomUpPlane) {
    CRenderSurfaceBuffer plane;
    ASSERT_TRUE(CreatePlain(&plane, RSBFormat_R5G6B5, 3, 2, CRenderSurfaceBuffer::kPitchExplicit, -8));
    EXPECT_EQ(plane.GetPitch(), -8);
    // A pitch shorter than a row is refused.
    EXPECT_FALSE(CreatePlain(&plane, RSBFormat_R5G6B5, 3, 2, CRenderSurfaceBuffer::kPitchExplicit, 4));
    EXPECT_EQ(plane.GetPixels(0), nullptr);
}

TEST(CRenderSurfaceBuffer, ExternalMemoryIsBorrowed) {
    std::vector<uint8_t> memory(4 * 8, 0);
    CRenderSurfaceBuffer plane;
    // Bottom-up: the caller passes the top row, which is last in memory.
    ASSERT_TRUE(
        CreatePlain(&plane, RSBFormat_R5G6B5, 4, 4, CRenderSurfaceBuffer::kPitchBottomUp, 0, memory.data() + 24));
    EXPECT_EQ(plane.GetFlags(), CRenderSurfaceBuffer::kFlagExternal);
    EXPECT_EQ(plane.GetPitch(), -8);
    EXPECT_EQ(Row(plane, 3), memory.data());
    plane.Release();  // must not free the caller's memory
}

TEST(CRenderSurfaceBuffer, RefusedCreationsLeaveThePlaneReleased) {
    CRenderSurfaceBuffer plane;
    ASSERT_TRUE(CreatePlain(&plane, RSBFormat_R5G6B5, 4, 4, CRenderSurfaceBuffer::kPitchTopDown));
    EXPECT_FALSE(CreatePlain(&plane, 0, 4, 4, CRenderSurfaceBuffer::kPitchTopDown));
    EXPECT_EQ(plane.GetPixels(0), nullptr);
    EXPECT_FALSE(CreatePlain(&plane, RSBFormat_R5G6B5, 0, 4, CRenderSurfaceBuffer::kPitchTopDown));
    // 9000 x8r8g8b8 pixels make a row no 16-bit pitch can step over.
    EXPECT_FALSE(CreatePlain(&plane, RSBFormat_X8R8G8B8, 9000, 2, CRenderSurfaceBuffer::kPitchTopDown));
    EXPECT_FALSE(CreatePlain(&plane, RSBFormat_R5G6B5, 20000, 2, CRenderSurfaceBuffer::kPitchBottomUp));
    EXPECT_TRUE(CreatePlain(&plane, RSBFormat_R5G6B5, 16383, 2, CRenderSurfaceBuffer::kPitchBottomUp));
    EXPECT_EQ(plane.GetPitch(), -32766);
}

TEST(CRenderSurfaceBuffer, PowerOfTwoRequestIsReportedButHonoured) {
    CRenderSurfaceBuffer plane;
    AssertCounter counter;
    ASSERT_TRUE(plane.Create(RSBFormat_R5G6B5, 5, 3, true, nullptr, nullptr, 0, 0, nullptr));
    EXPECT_EQ(counter.Count(), 1);
    EXPECT_EQ(plane.GetHeight(), 4);
    EXPECT_EQ(plane.GetPitch(), 16);
}

TEST(CRenderSurfaceBuffer, UnknownLoadTypeIsRefused) {
    CRenderSurfaceLoadParams params;
    params.Init();
    params.type = 0x12345678;
    CRenderSurfaceBuffer plane;
    AssertCounter counter;
    EXPECT_FALSE(plane.Create(0, 0, 0, false, nullptr, &params, 0, 0, nullptr));
    EXPECT_EQ(counter.Count(), 1);
}

TEST(CRenderSurfaceBuffer, ConvertColorCarriesDepthValuesAcrossUnconverted) {
    const uint8_t argb[4] = {0x40, 0x80, 0xFF, 0x80};  // 0x80FF8040
    uint8_t colour[2] = {};
    ASSERT_TRUE(CRenderSurfaceBuffer::ConvertColor(RSBFormat_A8R8G8B8, argb, RSBFormat_R5G6B5, colour));
    EXPECT_EQ(colour[0] | colour[1] << 8, 0xFC08);

    const uint8_t z[4] = {0x78, 0x56, 0x34, 0x12};
    uint8_t out[16] = {};
    ASSERT_TRUE(CRenderSurfaceBuffer::ConvertColor(RSBFormat_Z32, z, RSBFormat_R5G6B5, out));
    EXPECT_EQ(out[0] | out[1] << 8, 0x1234);
    ASSERT_TRUE(CRenderSurfaceBuffer::ConvertColor(RSBFormat_Z32, z, RSBFormat_X8R8G8B8, out));
    EXPECT_EQ(std::memcmp(out, z, 4), 0);
    ASSERT_TRUE(CRenderSurfaceBuffer::ConvertColor(RSBFormat_Z32, z, RSBFormat_ARGB_FIXED, out));
    RSBFormat_ARGB_fixed fixed;
    std::memcpy(&fixed, out, sizeof(fixed));
    EXPECT_EQ(fixed.a, 0x12345678);
    EXPECT_EQ(fixed.b, 0x12345678);
    EXPECT_FALSE(CRenderSurfaceBuffer::ConvertColor(RSBFormat_Z32, z, RSBFormat_Z32, out));
    EXPECT_EQ(CRenderSurfaceBuffer::ToZ32(RSBFormat_Z32, z), 0x12345678u);
    EXPECT_EQ(CRenderSurfaceBuffer::ToZ32(RSBFormat_X8R8G8B8, z), 0u);
    EXPECT_EQ(std::u16string(CRenderSurfaceBuffer::GetFormatName(RSBFormat_R5G6B5)), u"r5g6b5");
}

TEST(CRenderSurfaceBufferEx, PlaneTable) {
    CRenderSurfaceBufferEx plane;
    ASSERT_TRUE(plane.Create(RSBFormat_R5G6B5, 4, 4, false, nullptr, nullptr, 0, 0, nullptr));
    EXPECT_EQ(plane.GetPlaneCount(), 1u);
    CRenderSurfaceBuffer* base = &plane;
    EXPECT_EQ(base->GetPixels(0), plane.GetPlane(0));
    EXPECT_EQ(base->GetPixels(1), nullptr);
    EXPECT_EQ(plane.GetPlane(1), nullptr);
    EXPECT_EQ(base->GetPixels(10), nullptr);
    auto* top = static_cast<uint8_t*>(plane.GetPlane(0));
    // Entry 0 follows every change of the block, however it comes; a flip
    // is as sound as on a plain plane, and a release leaves what it is.
    AssertCounter counter;
    plane.FlipToBottom();
    EXPECT_EQ(plane.GetPitch(), -8);
    EXPECT_EQ(plane.GetPlane(0), top + 3 * 8);
    plane.FlipToTop();
    EXPECT_EQ(plane.GetPlane(0), top);
    EXPECT_EQ(counter.Count(), 0);
    plane.Release();
    EXPECT_EQ(plane.GetPlane(0), nullptr);
    EXPECT_EQ(plane.GetPlaneCount(), 0u);
    EXPECT_EQ(plane.GetFlags(), CRenderSurfaceBuffer::kFlagExtended);
}
