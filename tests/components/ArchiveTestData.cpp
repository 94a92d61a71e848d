#include "ArchiveTestData.h"

#include "ArchiveEntryCodec.h"

#include <gtest/gtest.h>

namespace ArchiveTestData {

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes Mixed(uint32_t size, uint32_t seed) {
    Bytes bytes(size);
    for (uint32_t i = 0; i < size; ++i) {
        seed = seed * 1664525u + 1013904223u;
        bytes[i] = static_cast<uint8_t>((i / 64) + ((seed >> 28) == 0 ? seed >> 20 : 0));
    }
    return bytes;
}

Bytes Entry(const Bytes& payload, bool deflate, uint16_t headerSize) {
    Bytes entry;
    std::string error;
    EXPECT_TRUE(ArchiveEntryCodec::Encode(payload, deflate, headerSize, entry, error)) << error;
    return entry;
}

void PutU32(Bytes& bytes, size_t offset, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t U32At(const Bytes& bytes, size_t offset) {
    return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
           static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

}  // namespace ArchiveTestData
