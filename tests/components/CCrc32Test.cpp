#include "CCrc32.h"
#include "CHash.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Bit by bit, straight from the definition: polynomial 0x04C11DB7, most
// significant bit first, all-ones start and final complement.
uint32_t BitwiseCrc(const std::vector<uint8_t>& bytes) {
    uint32_t crc = 0xFFFFFFFF;
    for (const uint8_t byte : bytes) {
        crc ^= static_cast<uint32_t>(byte) << 24;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    }
    return ~crc;
}

class CCrc32Test : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_table.Init(20, 20, true));
        CSingleton::SetTable(&m_table);
        m_crc = new CCrc32();
        ASSERT_NE(m_crc, nullptr);
    }
    void TearDown() override {
        delete m_crc;
        CSingleton::SetTable(nullptr);
    }

    uint32_t Crc(const std::string& text) { return m_crc->Compute(text.data(), static_cast<uint32_t>(text.size())); }

    CHash m_table;
    CCrc32* m_crc = nullptr;
};

TEST_F(CCrc32Test, PublishedCheckValues) {
    EXPECT_EQ(Crc("123456789"), 0xFC891918u);
    EXPECT_EQ(Crc("abc"), 0x648CBB73u);
    EXPECT_EQ(Crc(""), 0u);
    EXPECT_EQ(Crc("The quick brown fox jumps over the lazy dog"), 0x459DEE61u);
    EXPECT_EQ(CSingleton::GetInstance(CCrc32::kClassKey), m_crc);
}

TEST_F(CCrc32Test, EveryLengthAndAlignmentMatchesTheDefinition) {
    std::vector<uint8_t> buffer(100000);
    uint32_t seed = 12345;
    for (uint8_t& byte : buffer) {
        seed = seed * 1103515245u + 12345u;
        byte = static_cast<uint8_t>(seed >> 16);
    }
    for (uint32_t start = 0; start < 4; ++start) {
        for (uint32_t length = 0; length <= 300; ++length) {
            const std::vector<uint8_t> part(buffer.begin() + start, buffer.begin() + start + length);
            ASSERT_EQ(m_crc->Compute(buffer.data() + start, length), BitwiseCrc(part))
                << "start " << start << " length " << length;
        }
    }
    EXPECT_EQ(m_crc->Compute(buffer.data(), 100000), BitwiseCrc(buffer));
}

}  // namespace
