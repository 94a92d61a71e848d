#ifndef PIXELREFERENCE_H
#define PIXELREFERENCE_H

// Reference pixel arithmetic for the blit tests, written from the format
// definitions with plain integer arithmetic rather than the engine's bit
// tricks, so that the two can disagree.

#include <cstdint>
#include <random>
#include <vector>

namespace pixref {

inline uint32_t Read16(const uint8_t* p) { return p[0] + p[1] * 256u; }
inline uint32_t Read32(const uint8_t* p) { return p[0] + p[1] * 256u + p[2] * 65536u + p[3] * 16777216u; }
inline void Write16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v % 256);
    p[1] = static_cast<uint8_t>(v / 256 % 256);
}
inline void Write32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i, v /= 256) p[i] = static_cast<uint8_t>(v % 256);
}
inline uint32_t ReadN(const uint8_t* p, int bytes) { return bytes == 2 ? Read16(p) : bytes == 4 ? Read32(p) : p[0]; }
inline void WriteN(uint8_t* p, int bytes, uint32_t v) {
    if (bytes == 2) {
        Write16(p, v);
    } else if (bytes == 4) {
        Write32(p, v);
    } else {
        p[0] = static_cast<uint8_t>(v);
    }
}

struct Rgb {
    uint32_t r;
    uint32_t g;
    uint32_t b;
    bool operator==(const Rgb&) const = default;
};

// n-bit channel at bit `shift` of v.
inline uint32_t Field(uint32_t v, int shift, int bits) { return v / (1u << shift) % (1u << bits); }

// Bit replication: the channel's top bits fill the new low bits.
inline uint32_t Widen5(uint32_t c) { return c * 8 + c / 4; }
inline uint32_t Widen6(uint32_t c) { return c * 4 + c / 16; }
inline uint32_t Widen4(uint32_t c) { return c * 17; }
// The 18-bit format repeats its two low bits instead.
inline uint32_t Widen6Low(uint32_t c) { return c * 4 + c % 4; }

inline Rgb From565(uint32_t v) { return {Widen5(Field(v, 11, 5)), Widen6(Field(v, 5, 6)), Widen5(Field(v, 0, 5))}; }
inline Rgb FromX14(uint32_t v) {
    return {Widen6Low(Field(v, 12, 6)), Widen6Low(Field(v, 6, 6)), Widen6Low(Field(v, 0, 6))};
}
inline Rgb From8888(uint32_t v) { return {Field(v, 16, 8), Field(v, 8, 8), Field(v, 0, 8)}; }
inline Rgb From1555(uint32_t v) { return {Widen5(Field(v, 10, 5)), Widen5(Field(v, 5, 5)), Widen5(Field(v, 0, 5))}; }
inline Rgb From4444(uint32_t v) { return {Widen4(Field(v, 8, 4)), Widen4(Field(v, 4, 4)), Widen4(Field(v, 0, 4))}; }

inline uint32_t To565(Rgb c) { return c.r / 8 * 2048 + c.g / 4 * 32 + c.b / 8; }
inline uint32_t ToX14(Rgb c) { return c.r / 4 * 4096 + c.g / 4 * 64 + c.b / 4; }
inline uint32_t ToX8(Rgb c) { return 0xFF000000u + c.r * 65536 + c.g * 256 + c.b; }

inline uint32_t Blend(uint32_t s, uint32_t d, uint32_t a) { return (s * a + d * (255 - a)) / 256; }
inline Rgb Blend(Rgb s, Rgb d, uint32_t a) { return {Blend(s.r, d.r, a), Blend(s.g, d.g, a), Blend(s.b, d.b, a)}; }

// The three display formats the routines write.
enum class Target { R565, X14, X8 };

inline int BytesOf(Target t) { return t == Target::R565 ? 2 : 4; }
inline Rgb FromTarget(Target t, uint32_t v) {
    return t == Target::R565 ? From565(v) : t == Target::X14 ? FromX14(v) : From8888(v);
}
inline uint32_t ToTarget(Target t, Rgb c) {
    return t == Target::R565 ? To565(c) : t == Target::X14 ? ToX14(c) : ToX8(c);
}

// A pixel block of whole rows with a frame of `margin` pixels around the
// area under test, so that a write outside the area shows.
class Canvas {
public:
    Canvas(int width, int height, int bytes, int margin, std::mt19937& random)
        : m_width(width), m_height(height), m_bytes(bytes), m_margin(margin),
          m_stride((width + 2 * margin) * bytes), m_data(static_cast<size_t>(m_stride) * (height + 2 * margin)) {
        for (uint8_t& b : m_data) b = static_cast<uint8_t>(random());
        m_original = m_data;
    }

    // Pixel (x, y) of the area; x and y may reach into the frame.
    uint8_t* At(int x, int y) {
        return m_data.data() + static_cast<ptrdiff_t>(y + m_margin) * m_stride + (x + m_margin) * m_bytes;
    }
    uint32_t Get(int x, int y) { return ReadN(At(x, y), m_bytes); }
    uint32_t Original(int x, int y) {
        return ReadN(m_original.data() + static_cast<ptrdiff_t>(y + m_margin) * m_stride + (x + m_margin) * m_bytes,
                     m_bytes);
    }
    bool InArea(int x, int y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }
    // True when every pixel outside the area still holds its first value.
    bool FrameIntact() {
        for (int y = -m_margin; y < m_height + m_margin; ++y) {
            for (int x = -m_margin; x < m_width + m_margin; ++x) {
                if (!InArea(x, y) && Get(x, y) != Original(x, y)) return false;
            }
        }
        return true;
    }
    int Stride() const { return m_stride; }

private:
    int m_width;
    int m_height;
    int m_bytes;
    int m_margin;
    int m_stride;
    std::vector<uint8_t> m_data;
    std::vector<uint8_t> m_original;
};

}  // namespace pixref

#endif
