#include "CStrChar.h"

#include "CInputStream.h"

int8_t CStrChar::CharAt(int32_t i) const {
    const bool inside = i >= 0 && i < GetLength();
    ASSERT(inside);
    return inside ? static_cast<int8_t>(GetBuffer()[i]) : 0;
}

bool CStrChar::LoadFromStream(CInputStream& stream, uint32_t typeKey) {
    Release();
    const uint32_t size = stream.Available();
    if (size == 0 || typeKey != kClassKey) {
        return false;
    }
    // Bytes the stream could not deliver arrive as zeros: no text at all.
    if (!AppendWith(size, [&stream, size](char* dst) { stream.Read(dst, size); }) || stream.HasError()) {
        Release();
        return false;
    }
    return true;
}

CStrChar operator+(const CStrChar& left, const CStrChar& right) {
    return left + right.GetBuffer();
}

CStrChar operator+(const CStrChar& left, const char* right) {
    CStrChar sum(left);
    sum.Append(right);
    return sum;
}

CStrChar operator+(const char* left, const CStrChar& right) {
    CStrChar sum(left);
    sum.Append(right.GetBuffer());
    return sum;
}
