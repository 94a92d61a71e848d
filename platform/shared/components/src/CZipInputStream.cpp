#include "CZipInputStream.h"

#include "CAssert.h"
#include "CMemory.h"

#include <cstring>

CZipInputStream::CZipInputStream() { Reset(); }

CZipInputStream::CZipInputStream(uint32_t swapFlag) : CInputStream(swapFlag) { Reset(); }

CZipInputStream::~CZipInputStream() { End(); }

bool CZipInputStream::Open(CInputStream* source, uint32_t packedSize, uint32_t unpackedSize) {
    Reset();
    SetSize(unpackedSize);
    m_source = source;
    m_packedSize = packedSize;
    m_unpackedSize = unpackedSize;
    InflateInit();
    return !HasError();
}

void CZipInputStream::InflateInit() {
    ASSERT(m_initialised == 0);
    MemSet(&m_inflater, 0, sizeof(m_inflater));
    m_inflater.zalloc = Z_NULL;
    m_inflater.zfree = Z_NULL;
    m_inflater.opaque = Z_NULL;
    m_inflater.next_in = Z_NULL;
    m_inflater.avail_in = 0;
    m_initialised = inflateInit(&m_inflater) == Z_OK ? 1 : 0;
    if (m_initialised == 0) {
        DebugPrintf("CZipInputStream: inflater could not start\n");
        SetError();
    } else {
        ClearError();
    }
}

void CZipInputStream::End() {
    if (m_initialised == 0) return;
    inflateEnd(&m_inflater);
    m_initialised = 0;
}

void CZipInputStream::Reset() {
    End();
    MemSet(&m_inflater, 0, sizeof(m_inflater));
    SetSize(0);
    ClearError();
    m_source = nullptr;
    m_packedSize = 0;
    m_packedRead = 0;
    m_windowAvail = 0;
    m_windowPos = 0;
    m_unpackedSize = 0;
    m_position = 0;
}

uint32_t CZipInputStream::Available() { return HasError() ? 0 : m_unpackedSize - m_position; }

void CZipInputStream::FillInput() {
    if (m_inflater.avail_in > 0 && m_inflater.next_in != m_input) {
        std::memmove(m_input, m_inflater.next_in, m_inflater.avail_in);
    }
    uint32_t fill = m_inflater.avail_in;
    if (fill < kInputBufferSize && m_packedRead < m_packedSize && m_source != nullptr) {
        const uint32_t room = kInputBufferSize - fill;
        const uint32_t left = m_packedSize - m_packedRead;
        const uint32_t n = room < left ? room : left;
        m_source->Read(m_input + fill, n);
        m_packedRead += n;
        fill += n;
        if (m_source->HasError()) {
            DebugPrintf("CZipInputStream: source failed after %u of %u packed bytes\n", m_packedRead, m_packedSize);
            SetError();
        }
    }
    m_inflater.next_in = m_input;
    m_inflater.avail_in = fill;
}

uint32_t CZipInputStream::InflateStep(uint8_t* out, uint32_t capacity) {
    if (m_initialised == 0) {
        DebugPrintf("CZipInputStream: deflate data ended after %u of %u bytes\n", m_position, m_unpackedSize);
        SetError();
        return 0;
    }
    FillInput();
    if (HasError()) return 0;
    const uint32_t inputBefore = m_inflater.avail_in;
    m_inflater.next_out = out;
    m_inflater.avail_out = capacity;
    const int result = inflate(&m_inflater, Z_NO_FLUSH);
    const uint32_t produced = capacity - m_inflater.avail_out;
    const bool moved = produced > 0 || m_inflater.avail_in < inputBefore;
    // zlib answers a call that can move nothing with Z_BUF_ERROR; the second
    // test keeps a read loop from spinning should that ever not hold.
    if ((result != Z_OK && result != Z_STREAM_END) || (result == Z_OK && !moved)) {
        DebugPrintf("CZipInputStream: inflate failed (%d) after %u of %u bytes\n", result, m_position,
                    m_unpackedSize);
        SetError();
    }
    if (result != Z_OK || HasError()) End();
    return HasError() ? 0 : produced;
}

void CZipInputStream::Refill() {
    m_windowPos = 0;
    m_windowAvail = 0;
    m_windowAvail = InflateStep(m_window, kWindowSize);
}

void CZipInputStream::Deliver(uint8_t* dst, uint32_t n) {
    while (!HasError() && n > 0) {
        if (m_windowPos < m_windowAvail) {
            const uint32_t windowLeft = m_windowAvail - m_windowPos;
            const uint32_t k = n < windowLeft ? n : windowLeft;
            if (dst != nullptr) {
                MemCopy(dst, m_window + m_windowPos, k);
                dst += k;
            }
            m_windowPos += k;
            m_position += k;
            n -= k;
        } else if (dst != nullptr && n >= kWindowSize) {
            // Large reads skip the window and its copy.
            const uint32_t produced = InflateStep(dst, n);
            dst += produced;
            m_position += produced;
            n -= produced;
        } else {
            Refill();
        }
    }
}

void CZipInputStream::Skip(uint32_t n) {
    if (n == 0) return;
    if (Available() < n) {
        SetError();
        return;
    }
    Deliver(nullptr, n);
}

void CZipInputStream::Read(void* dst, uint32_t n) {
    if (dst == nullptr || n == 0) return;
    if (Available() < n) {
        SetError();
    } else {
        Deliver(static_cast<uint8_t*>(dst), n);
    }
    if (HasError()) MemSet(dst, 0, n);
}
