#ifndef CSTRCHAR_H
#define CSTRCHAR_H

#include "TStrCore.h"

class CInputStream;

// Owned heap string of 8-bit characters. Its class key is also the resource
// type key of narrow text.
class CStrChar : public TStrCore<char, CStrChar> {
public:
    static constexpr uint32_t kClassKey = 0x64365E6E;

    CStrChar() : TStrCore(kClassKey) {}
    CStrChar(const char* text) : TStrCore(kClassKey) { Append(text); }
    CStrChar(const CStrChar& other) = default;
    CStrChar(CStrChar&& other) noexcept = default;
    ~CStrChar() override = default;

    CStrChar& operator=(const CStrChar& other) = default;
    CStrChar& operator=(CStrChar&& other) noexcept = default;
    using TStrCore::operator=;

    // The character at i, or 0 (after a failed check) outside the text.
    int8_t CharAt(int32_t i) const;
    int32_t FindChar(int32_t n, char ch) const { return FindIndexOfChar(n, ch); }

    // Releases the text, then takes every available byte of the stream as
    // the text when the type is narrow text. False for an empty stream, any
    // other type, or a failed allocation; the string is then empty.
    bool LoadFromStream(CInputStream& stream, uint32_t typeKey);
};

CStrChar operator+(const CStrChar& left, const CStrChar& right);
CStrChar operator+(const CStrChar& left, const char* right);
CStrChar operator+(const char* left, const CStrChar& right);

#endif
