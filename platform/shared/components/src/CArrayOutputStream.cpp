#include "CArrayOutputStream.h"

#include "CAssert.h"
#include "Utf8.h"

namespace {
constexpr uint32_t kUtfLengthFieldBytes = 2;
constexpr uint32_t kUtfMaxBytes = 0xFFFF;
constexpr uint32_t kUtf8MaxCharBytes = 3;
}  // namespace

bool CArrayOutputStream::Open(void* data, uint32_t capacity) {
    if (data == nullptr && capacity != 0) {
        SetError();
        return false;
    }
    m_data = static_cast<uint8_t*>(data);
    m_capacity = capacity;
    m_position = 0;
    ClearError();
    return true;
}

void CArrayOutputStream::Close() {
    m_data = nullptr;
    m_capacity = 0;
    m_position = 0;
}

void CArrayOutputStream::Write(const void* src, uint32_t n) {
    if (m_data == nullptr || src == nullptr) {
        SetError();
    } else {
        // The flag is sticky: a write that fits does not hide an earlier
        // one that did not.
        if (n > m_capacity - m_position) {
            SetError();
        }
        const uint8_t* bytes = static_cast<const uint8_t*>(src);
        for (uint32_t i = 0; i < n && m_position < m_capacity; ++i) {
            m_data[m_position++] = bytes[i];
        }
    }
    ASSERT(!HasError());
}

uint32_t CArrayOutputStream::EncodeFitting(const WChar* text, uint32_t count, uint32_t room) {
    uint32_t written = 0;
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t encoded[kUtf8MaxCharBytes + 1];
        const uint32_t n = static_cast<uint32_t>(WideToUtf8(&text[i], 1, encoded, sizeof(encoded)));
        if (n == 0 || n > room - written) {
            break;
        }
        for (uint32_t b = 0; b < n; ++b) {
            m_data[m_position++] = encoded[b];
        }
        written += n;
    }
    return written;
}

int32_t CArrayOutputStream::WriteUTF(const WChar* text, uint32_t count) {
    if (m_data == nullptr || m_capacity - m_position < kUtfLengthFieldBytes) {
        // No room for the length field: Write stores what fits and sets the
        // error flag.
        const uint8_t emptyField[kUtfLengthFieldBytes] = {0, 0};
        Write(emptyField, kUtfLengthFieldBytes);
        return 0;
    }
    // The length field says how many bytes were really encoded, so a reader
    // never decodes past the text into stale bytes.
    const uint32_t fieldPosition = m_position;
    m_position += kUtfLengthFieldBytes;
    uint32_t room = m_capacity - m_position;
    if (room > kUtfMaxBytes) {
        room = kUtfMaxBytes;
    }
    const uint32_t written = text == nullptr ? 0 : EncodeFitting(text, count, room);
    m_data[fieldPosition] = static_cast<uint8_t>(written >> 8);
    m_data[fieldPosition + 1] = static_cast<uint8_t>(written);
    const uint32_t needed = text == nullptr ? 0 : static_cast<uint32_t>(Utf8LengthOfWide(text, count));
    if (written < needed) {
        SetError();
    }
    ASSERT(!HasError());
    return static_cast<int32_t>(written);
}
