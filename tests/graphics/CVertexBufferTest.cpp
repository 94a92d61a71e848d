#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "AssertCounter.h"
#include "CVertexBuffer.h"

namespace {

// Five 8-byte vertices, bytes 0..39.
void FillForty(CVertexBuffer* buffer) {
    buffer->Resize(100);
    for (uint8_t v = 0; v < 5; ++v) {
        uint8_t vertex[8];
        for (uint8_t i = 0; i < 8; ++i) vertex[i] = static_cast<uint8_t>(v * 8 + i);
        ASSERT_TRUE(buffer->Append(vertex));
    }
    ASSERT_EQ(buffer->GetUsed(), 40);
}

std::vector<uint8_t> Bytes(uint8_t count) {
    std::vector<uint8_t> out(count);
    for (uint8_t i = 0; i < count; ++i) out[i] = i;
    return out;
}

std::vector<uint8_t> Held(const CVertexBuffer& buffer) {
    return std::vector<uint8_t>(buffer.GetStart(), buffer.GetStart() + buffer.GetUsed());
}

}  // namespace

TEST(CVertexBuffer, ResizeKeepsWhatFitsAndNeverEndsFull) {
    struct Case {
        int32_t capacity;
        int32_t used;
    };
    // Room to spare; exactly full (last vertex dropped); cut (then one more dropped).
    for (const Case c : {Case{100, 40}, Case{40, 32}, Case{24, 16}}) {
        SCOPED_TRACE(c.capacity);
        CVertexBuffer buffer(8);
        FillForty(&buffer);
        buffer.Resize(c.capacity);
        EXPECT_EQ(buffer.GetCapacity(), c.capacity);
        EXPECT_EQ(buffer.GetUsed(), c.used);
        EXPECT_EQ(Held(buffer), Bytes(static_cast<uint8_t>(c.used)));
    }
}

TEST(CVertexBuffer, EmptyBuffersAndZeroCapacity) {
    CVertexBuffer buffer(8);
    EXPECT_EQ(buffer.GetStart(), nullptr);
    buffer.Resize(64);
    EXPECT_NE(buffer.GetStart(), nullptr);
    EXPECT_EQ(buffer.GetUsed(), 0);

    const uint8_t vertex[8] = {};
    for (int i = 0; i < 8; ++i) EXPECT_TRUE(buffer.Append(vertex));
    EXPECT_FALSE(buffer.Append(vertex));

    AssertCounter checks;
    buffer.Resize(0);
    EXPECT_EQ(buffer.GetStart(), nullptr);
    EXPECT_EQ(buffer.GetUsed(), 0);
    EXPECT_EQ(buffer.GetCapacity(), 0);
    buffer.Resize(-5);
    EXPECT_EQ(buffer.GetCapacity(), 0);
    EXPECT_EQ(checks.Count(), 1);
}
