#include "CPngRowStream.h"

#include "CAssert.h"
#include "CMemory.h"

namespace {

enum PngFilter : uint8_t { kFilterNone = 0, kFilterSub = 1, kFilterUp = 2, kFilterAverage = 3, kFilterPaeth = 4 };

uint8_t Paeth(uint8_t left, uint8_t above, uint8_t upperLeft) {
    const int32_t estimate = left + above - upperLeft;
    const int32_t toLeft = estimate > left ? estimate - left : left - estimate;
    const int32_t toAbove = estimate > above ? estimate - above : above - estimate;
    const int32_t toUpperLeft = estimate > upperLeft ? estimate - upperLeft : upperLeft - estimate;
    if (toLeft <= toAbove && toLeft <= toUpperLeft) return left;
    return toAbove <= toUpperLeft ? above : upperLeft;
}

}  // namespace

CPngRowStream::~CPngRowStream() { MemFree(m_rows); }

bool CPngRowStream::Open(CInputStream* scanlines, uint32_t rowBytes, uint32_t rows) {
    MemFree(m_rows);
    m_rows = nullptr;
    m_source = scanlines;
    m_rowBytes = rowBytes;
    m_rowsLeft = rows;
    m_position = rowBytes;
    ClearError();
    const size_t bytes = ArrayBytes(rowBytes, 2);
    if (scanlines == nullptr || bytes == 0) return false;
    m_rows = static_cast<uint8_t*>(MemAlloc(bytes));
    if (m_rows == nullptr) return false;
    // The row above the first one reads as zeros.
    MemSet(m_rows, 0, bytes);
    SetSize(static_cast<uint32_t>(ArrayBytes(rowBytes, rows)));
    return true;
}

uint32_t CPngRowStream::Available() {
    if (HasError() || m_rows == nullptr) return 0;
    const uint64_t left = static_cast<uint64_t>(m_rowsLeft) * m_rowBytes + (m_rowBytes - m_position);
    return left > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(left);
}

bool CPngRowStream::NextRow() {
    if (m_rowsLeft == 0) {
        SetError();
        return false;
    }
    --m_rowsLeft;
    uint8_t* current = m_rows + m_rowBytes;
    MemCopy(m_rows, current, m_rowBytes);
    const uint8_t filter = m_source->ReadUInt8();
    m_source->Read(current, m_rowBytes);
    if (m_source->HasError() || filter > kFilterPaeth) {
        DebugPrintf("CPngRowStream: bad scanline (filter %u)\n", filter);
        SetError();
        return false;
    }
    Unfilter(filter);
    m_position = 0;
    return true;
}

// Indexed pixels take one byte or less, so "the pixel to the left" is the
// byte before.
void CPngRowStream::Unfilter(uint8_t filter) {
    const uint8_t* above = m_rows;
    uint8_t* row = m_rows + m_rowBytes;
    for (uint32_t i = 0; i < m_rowBytes; ++i) {
        const uint8_t left = i > 0 ? row[i - 1] : 0;
        const uint8_t upperLeft = i > 0 ? above[i - 1] : 0;
        uint32_t predictor = 0;
        switch (filter) {
            case kFilterSub: predictor = left; break;
            case kFilterUp: predictor = above[i]; break;
            case kFilterAverage: predictor = (static_cast<uint32_t>(left) + above[i]) >> 1; break;
            case kFilterPaeth: predictor = Paeth(left, above[i], upperLeft); break;
            default: break;
        }
        row[i] = static_cast<uint8_t>(row[i] + predictor);
    }
}

void CPngRowStream::Deliver(uint8_t* dst, uint32_t n) {
    if (m_rows == nullptr && n > 0) SetError();
    while (n > 0 && !HasError()) {
        if (m_position == m_rowBytes && !NextRow()) return;
        const uint32_t rowLeft = m_rowBytes - m_position;
        const uint32_t k = n < rowLeft ? n : rowLeft;
        if (dst != nullptr) {
            MemCopy(dst, m_rows + m_rowBytes + m_position, k);
            dst += k;
        }
        m_position += k;
        n -= k;
    }
}

void CPngRowStream::Skip(uint32_t n) { Deliver(nullptr, n); }

void CPngRowStream::Read(void* dst, uint32_t n) {
    if (dst == nullptr || n == 0) return;
    Deliver(static_cast<uint8_t*>(dst), n);
    if (HasError()) MemSet(dst, 0, n);
}
