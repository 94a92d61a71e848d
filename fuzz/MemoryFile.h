#ifndef MEMORYFILE_H
#define MEMORYFILE_H

#include <cstdint>
#include <cstring>

#include "ICFile.h"

// A read-only open file over bytes it does not own, so that a fuzz target
// can hand its input to code that reads through the file manager without a
// round trip through the host's file system. Positions follow the host
// file's rules: any position from 0 to just below 4 GiB may be reached, and
// reads past the end deliver nothing.
class MemoryFile : public ICFile {
public:
    MemoryFile(const uint8_t* bytes, uint32_t size) : m_bytes(bytes), m_size(size) {}

    bool IsOpen() override { return true; }

    bool Seek(int32_t offset, uint32_t origin) override {
        const int64_t base = origin == kFromStart ? 0 : origin == kFromCurrent ? m_position : m_size;
        const int64_t target = base + offset;
        if (origin > kFromEnd || target < 0 || target > kLargestPosition) return false;
        m_position = static_cast<uint32_t>(target);
        return true;
    }

    uint32_t Tell() override { return m_position; }

    uint32_t Read(void* dst, uint32_t n) override {
        const uint32_t left = m_position < m_size ? m_size - m_position : 0;
        const uint32_t count = n < left ? n : left;
        if (count > 0) std::memcpy(dst, m_bytes + m_position, count);
        m_position += count;
        return count;
    }

    uint32_t Write(const void*, uint32_t) override { return 0; }

private:
    static constexpr int64_t kLargestPosition = 0xFFFFFFFE;

    const uint8_t* m_bytes;
    uint32_t m_size;
    uint32_t m_position = 0;
};

#endif
