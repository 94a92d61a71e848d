#include "CDIBCursor.h"

#include "CAssert.h"
#include "CDIB.h"
#include "CMemory.h"

CDIBCursor::CDIBCursor(const CDIB* dib, int32_t x, int32_t y) : m_dib(dib) { SetPosition(x, y); }

bool CDIBCursor::SetPosition(int32_t x, int32_t y) {
    const bool valid = m_dib != nullptr && x >= 0 && y >= 0 && x <= m_dib->GetWidth() && y <= m_dib->GetHeight();
    ASSERT(valid);
    if (!valid) return false;
    m_x = x;
    m_y = y;
    // Row `height` is one past the end: its address is never formed.
    m_row = y < m_dib->GetHeight() ? m_dib->GetPixels() + static_cast<intptr_t>(y) * m_dib->GetStride() : nullptr;
    return true;
}

bool CDIBCursor::MoveRows(int32_t n) {
    const int64_t y = static_cast<int64_t>(m_y) + n;
    const bool valid = m_dib != nullptr && y >= 0 && y <= m_dib->GetHeight();
    ASSERT(valid);
    if (!valid) return false;
    return SetPosition(m_x, static_cast<int32_t>(y));
}

bool CDIBCursor::InsideImage(int32_t x) const { return m_row != nullptr && x >= 0 && x < m_dib->GetWidth(); }

bool CDIBCursor::HasPalette() const { return m_dib->GetPalette() != nullptr && m_dib->GetBitCount() <= 8; }

uint32_t CDIBCursor::IndexInRow(int32_t x) const {
    if (m_dib->GetBitCount() == 8) return m_row[x];
    const uint8_t byte = m_row[x / 2];
    return (x & 1) == 0 ? static_cast<uint32_t>(byte >> 4) : static_cast<uint32_t>(byte & 0x0F);
}

int32_t CDIBCursor::IndexAt(int32_t x) const {
    if (m_dib == nullptr || !HasPalette()) return -1;
    const uint32_t bits = m_dib->GetBitCount();
    ASSERT(bits == 4 || bits == 8);
    if ((bits != 4 && bits != 8) || !InsideImage(x)) return -1;
    return static_cast<int32_t>(IndexInRow(x));
}

uint32_t CDIBCursor::ColorAt(int32_t x) const {
    if (m_dib == nullptr || !InsideImage(x)) return 0;
    if (HasPalette()) {
        const int32_t index = IndexAt(x);
        // An index past the file's colours reads as black.
        if (index < 0 || static_cast<uint32_t>(index) >= m_dib->GetPaletteSize() / 4) return 0;
        const uint8_t* entry = m_dib->GetPalette() + index * 4;
        return entry[0] | entry[1] << 8 | entry[2] << 16 | static_cast<uint32_t>(entry[3]) << 24;
    }
    ASSERT(m_dib->GetBitCount() == 24);
    if (m_dib->GetBitCount() != 24) return 0;
    const uint8_t* pixel = m_row + x * 3;
    return pixel[0] | pixel[1] << 8 | static_cast<uint32_t>(pixel[2]) << 16;
}

bool CDIBCursor::ReadIndicesAlong(int32_t x, int32_t n, uint8_t* out) const {
    const bool valid = m_dib != nullptr && n >= 0 && x >= 0 && static_cast<int64_t>(x) + n <= m_dib->GetWidth() &&
                       (n == 0 || m_row != nullptr);
    ASSERT(valid);
    if (!valid) return false;
    if (!HasPalette()) {
        MemSet(out, 255, static_cast<size_t>(n));
        return true;
    }
    const uint32_t bits = m_dib->GetBitCount();
    ASSERT(bits == 4 || bits == 8);
    if (bits != 4 && bits != 8) return false;
    for (int32_t i = 0; i < n; ++i) out[i] = static_cast<uint8_t>(IndexInRow(x + i));
    return true;
}

bool CDIBCursor::ReadIndicesDown(int32_t n, uint8_t* out) {
    const bool valid = m_dib != nullptr && n >= 0 && static_cast<int64_t>(m_y) + n <= m_dib->GetHeight() &&
                       (n == 0 || m_x < m_dib->GetWidth());
    ASSERT(valid);
    if (!valid) return false;
    if (!HasPalette()) {
        MemSet(out, 255, static_cast<size_t>(n));
        return true;
    }
    const int32_t startY = m_y;
    for (int32_t i = 0; i < n; ++i) {
        const int32_t index = IndexAt(m_x);
        out[i] = static_cast<uint8_t>(index < 0 ? 0 : index);
        SetPosition(m_x, m_y + 1);
    }
    SetPosition(m_x, startY);
    return true;
}

bool CDIBCursor::operator==(const CDIBCursor& other) const {
    return m_dib == other.m_dib && m_row == other.m_row && m_x == other.m_x && m_y == other.m_y;
}
