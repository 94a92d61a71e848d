#ifndef FUZZPROGRAM_H
#define FUZZPROGRAM_H

#include <cstddef>
#include <cstdint>

// A fuzz input read as a program: its bytes in order, then zeros once they
// run out, so that every input, however short, is a whole program.
class FuzzProgram {
public:
    FuzzProgram(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    uint8_t Byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    // Four bytes, the lowest first.
    int32_t Word() {
        uint32_t v = 0;
        for (int32_t i = 0; i < 4; ++i) v |= uint32_t{Byte()} << (8 * i);
        return static_cast<int32_t>(v);
    }
    // Two bytes, the lowest first, as a signed value. Read one statement
    // each: the operands of `|` may be evaluated in either order.
    int32_t Half() {
        const uint32_t low = Byte();
        const uint32_t high = Byte();
        return static_cast<int16_t>(low | high << 8);
    }
    int32_t Below(int32_t n) { return Byte() % n; }
    bool Done() const { return m_at >= m_size; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
};

#endif
