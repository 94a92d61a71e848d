#include "CCrc32.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

uint32_t BigEndianWord(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) << 24 | static_cast<uint32_t>(bytes[1]) << 16 |
           static_cast<uint32_t>(bytes[2]) << 8 | bytes[3];
}

// x^n modulo the polynomial: the factor that moves a remainder n bits on.
uint32_t XPowerModPolynomial(uint32_t n) {
    uint32_t r = 1;
    for (uint32_t i = 0; i < n; ++i) r = (r & 0x80000000u) != 0 ? (r << 1) ^ CCrc32::kPolynomial : r << 1;
    return r;
}

#if defined(__x86_64__)

bool HasCarrylessMultiply() {
    static const bool supported = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("ssse3");
    return supported;
}

// 16 message bytes as one 128-bit polynomial: the first byte's top bit is
// the x^127 coefficient.
__attribute__((target("pclmul,ssse3"))) __m128i LoadBlock(const uint8_t* bytes) {
    const __m128i reverse = _mm_setr_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
    return _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)), reverse);
}

// (acc * x^distance) + next, reduced to 128 bits: the high half times
// x^(distance + 64) mod P, the low half times x^distance mod P.
__attribute__((target("pclmul,ssse3"))) __m128i Fold(__m128i acc, __m128i factors, __m128i next) {
    const __m128i high = _mm_clmulepi64_si128(acc, factors, 0x11);
    const __m128i low = _mm_clmulepi64_si128(acc, factors, 0x00);
    return _mm_xor_si128(_mm_xor_si128(high, low), next);
}

// Folds `blocks` (4 or more) 16-byte blocks, the first 32 bits inverted
// for the initial value, into one block congruent to them modulo the
// polynomial; writes it out in message byte order.
__attribute__((target("pclmul,ssse3"))) void FoldBlocks(const uint8_t* bytes, uint32_t blocks,
                                                        const uint32_t fold512[2], const uint32_t fold128[2],
                                                        uint8_t out[16]) {
    const __m128i by512 = _mm_set_epi64x(fold512[0], fold512[1]);
    const __m128i by128 = _mm_set_epi64x(fold128[0], fold128[1]);
    __m128i acc[4];
    for (uint32_t i = 0; i < 4; ++i) acc[i] = LoadBlock(bytes + 16 * i);
    acc[0] = _mm_xor_si128(acc[0], _mm_set_epi32(-1, 0, 0, 0));
    uint32_t block = 4;
    for (; block + 4 <= blocks; block += 4) {
        for (uint32_t i = 0; i < 4; ++i) acc[i] = Fold(acc[i], by512, LoadBlock(bytes + 16 * (block + i)));
    }
    __m128i last = Fold(Fold(Fold(acc[0], by128, acc[1]), by128, acc[2]), by128, acc[3]);
    for (; block < blocks; ++block) last = Fold(last, by128, LoadBlock(bytes + 16 * block));
    const __m128i reverse = _mm_setr_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(last, reverse));
}

#endif

}  // namespace

CCrc32::CCrc32() : CSingleton(kClassKey) { m_table[0][1] = 0; }

void CCrc32::BuildTable() {
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i << 24;
        for (int bit = 0; bit < 8; ++bit) {
            c = (c & 0x80000000u) != 0 ? (c << 1) ^ kPolynomial : c << 1;
        }
        m_table[0][i] = c;
    }
    for (uint32_t slice = 1; slice < kSlices; ++slice) {
        for (uint32_t i = 0; i < 256; ++i) {
            const uint32_t previous = m_table[slice - 1][i];
            m_table[slice][i] = (previous << 8) ^ m_table[0][previous >> 24];
        }
    }
    m_fold512[0] = XPowerModPolynomial(512 + 64);
    m_fold512[1] = XPowerModPolynomial(512);
    m_fold128[0] = XPowerModPolynomial(128 + 64);
    m_fold128[1] = XPowerModPolynomial(128);
}

uint32_t CCrc32::UpdateBytewise(uint32_t crc, const uint8_t* bytes, uint32_t length) const {
    for (uint32_t i = 0; i < length; ++i) {
        crc = (crc << 8) ^ m_table[0][(crc >> 24) ^ bytes[i]];
    }
    return crc;
}

uint32_t CCrc32::UpdateSliced(uint32_t crc, const uint8_t* bytes, uint32_t blocks) const {
    const uint32_t (*t)[256] = m_table;
    for (uint32_t block = 0; block < blocks; ++block, bytes += kSlices) {
        const uint32_t a = crc ^ BigEndianWord(bytes);
        const uint32_t b = BigEndianWord(bytes + 4);
        const uint32_t c = BigEndianWord(bytes + 8);
        const uint32_t d = BigEndianWord(bytes + 12);
        crc = t[15][a >> 24] ^ t[14][(a >> 16) & 0xFF] ^ t[13][(a >> 8) & 0xFF] ^ t[12][a & 0xFF] ^
              t[11][b >> 24] ^ t[10][(b >> 16) & 0xFF] ^ t[9][(b >> 8) & 0xFF] ^ t[8][b & 0xFF] ^
              t[7][c >> 24] ^ t[6][(c >> 16) & 0xFF] ^ t[5][(c >> 8) & 0xFF] ^ t[4][c & 0xFF] ^
              t[3][d >> 24] ^ t[2][(d >> 16) & 0xFF] ^ t[1][(d >> 8) & 0xFF] ^ t[0][d & 0xFF];
    }
    return crc;
}

uint32_t CCrc32::Compute(const void* bytes, uint32_t length) {
    if (m_table[0][1] == 0) BuildTable();
    if (bytes == nullptr) return 0;
    const uint8_t* data = static_cast<const uint8_t*>(bytes);
    const uint32_t blocks = length / kSlices;
    uint32_t crc = 0xFFFFFFFFu;
#if defined(__x86_64__)
    if (blocks >= kMinFoldedBlocks && HasCarrylessMultiply()) {
        // The folded block has the same remainder as everything before the
        // tail, with the initial value already applied.
        uint8_t folded[kSlices];
        FoldBlocks(data, blocks, m_fold512, m_fold128, folded);
        crc = UpdateSliced(0, folded, 1);
        return ~UpdateBytewise(crc, data + blocks * kSlices, length % kSlices);
    }
#endif
    crc = UpdateSliced(crc, data, blocks);
    return ~UpdateBytewise(crc, data + blocks * kSlices, length % kSlices);
}
