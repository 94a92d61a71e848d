#include "CStrWChar.h"

#include "CInputStream.h"
#include "Utf8.h"

CStrWChar& CStrWChar::operator=(const char* text) {
    CStrWChar replacement(text);
    *this = static_cast<CStrWChar&&>(replacement);
    return *this;
}

CStrWChar& CStrWChar::operator+=(const char* text) {
    AppendNarrow(text);
    return *this;
}

void CStrWChar::AppendNarrow(const char* text) {
    if (text == nullptr) {
        return;
    }
    AppendWith(StrLen(text), [text](WChar* dst) { WideFromAscii(dst, text); });
}

bool CStrWChar::LoadFromStream(CInputStream& stream, uint32_t typeKey) {
    Release();
    const uint32_t size = stream.Available();
    if (size == 0) {
        return false;
    }
    bool loaded = false;
    if (typeKey == kClassKey) {
        loaded = LoadRawUtf16(stream, size);
    } else if (typeKey == kUtf8TypeKey) {
        loaded = LoadUtf8(stream, size);
    }
    // Bytes the stream could not deliver arrive as zeros: no text at all.
    if (loaded && !stream.HasError()) {
        return true;
    }
    Release();
    return false;
}

bool CStrWChar::LoadRawUtf16(CInputStream& stream, uint32_t size) {
    const uint32_t units = size / 2;
    // An odd last byte lands in the terminator's slot, which is written
    // after the fill.
    return AppendWith(units, [&stream, size, units](WChar* dst) {
        uint8_t* bytes = reinterpret_cast<uint8_t*>(dst);
        stream.Read(bytes, size);
        // Stored little-endian, whatever the host order.
        for (uint32_t i = 0; i < units; ++i) {
            dst[i] = static_cast<WChar>(bytes[2 * i] | bytes[2 * i + 1] << 8);
        }
    });
}

bool CStrWChar::LoadUtf8(CInputStream& stream, uint32_t size) {
    // The decoded text is the larger block: when it cannot exist, the bytes
    // are not worth reading.
    WChar* decoded = static_cast<WChar*>(MemAllocArrayOf(static_cast<size_t>(size) + 1, sizeof(WChar)));
    uint8_t* bytes = decoded != nullptr ? static_cast<uint8_t*>(MemAllocArray(size)) : nullptr;
    bool loaded = false;
    if (bytes != nullptr && decoded != nullptr) {
        stream.Read(bytes, size);
        Utf8ToWide(bytes, size, decoded, size + 1);
        // Malformed text decodes as empty, which is still a loaded text.
        Append(decoded);
        loaded = GetBuffer() != nullptr;
    }
    MemFreeArray(decoded);
    MemFreeArray(bytes);
    return loaded;
}

CStrWChar operator+(const CStrWChar& left, const CStrWChar& right) {
    return left + right.GetBuffer();
}

CStrWChar operator+(const CStrWChar& left, const WChar* right) {
    CStrWChar sum(left);
    sum.Append(right);
    return sum;
}

CStrWChar operator+(const WChar* left, const CStrWChar& right) {
    CStrWChar sum(left);
    sum.Append(right.GetBuffer());
    return sum;
}

CStrWChar operator+(const CStrWChar& left, const char* right) {
    CStrWChar sum(left);
    sum.AppendNarrow(right);
    return sum;
}

CStrWChar operator+(const char* left, const CStrWChar& right) {
    CStrWChar sum(left);
    sum.Append(right.GetBuffer());
    return sum;
}
