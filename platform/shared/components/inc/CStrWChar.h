#ifndef CSTRWCHAR_H
#define CSTRWCHAR_H

#include "TStrCore.h"

class CInputStream;

// Owned heap string of 16-bit UTF-16 units. Its class key is also the
// resource type key of raw wide text.
class CStrWChar : public TStrCore<WChar, CStrWChar> {
public:
    static constexpr uint32_t kClassKey = 0x43735EB4;
    // Resource type of wide text stored as UTF-8.
    static constexpr uint32_t kUtf8TypeKey = 0xF686AADC;
    static constexpr uint32_t kNotFound = 0xFFFFFFFF;

    CStrWChar() : TStrCore(kClassKey) {}
    CStrWChar(const WChar* text) : TStrCore(kClassKey) { Append(text); }
    CStrWChar(const char* text) : TStrCore(kClassKey) { AppendNarrow(text); }
    CStrWChar(const CStrWChar& other) = default;
    CStrWChar(CStrWChar&& other) noexcept = default;
    ~CStrWChar() override = default;

    CStrWChar& operator=(const CStrWChar& other) = default;
    CStrWChar& operator=(CStrWChar&& other) noexcept = default;
    using TStrCore::operator=;
    using TStrCore::operator+=;
    CStrWChar& operator=(const char* text);
    CStrWChar& operator+=(const char* text);

    // Appends an 8-bit text, each byte widened to one unit (Latin-1). A null
    // text changes nothing.
    void AppendNarrow(const char* text);

    // Index of the n-th occurrence (from 1, 0 for the last) or kNotFound.
    uint32_t FindChar(int32_t n, WChar ch) const { return static_cast<uint32_t>(FindIndexOfChar(n, ch)); }

    // Releases the text, then reads every available byte of the stream as
    // raw little-endian UTF-16 (the class key) or as UTF-8 (kUtf8TypeKey).
    // Malformed UTF-8 gives the empty text and true. False for an empty
    // stream, any other type, or a failed allocation; the string is then
    // empty.
    bool LoadFromStream(CInputStream& stream, uint32_t typeKey);

private:
    bool LoadRawUtf16(CInputStream& stream, uint32_t size);
    bool LoadUtf8(CInputStream& stream, uint32_t size);
};

CStrWChar operator+(const CStrWChar& left, const CStrWChar& right);
CStrWChar operator+(const CStrWChar& left, const WChar* right);
CStrWChar operator+(const WChar* left, const CStrWChar& right);
CStrWChar operator+(const CStrWChar& left, const char* right);
CStrWChar operator+(const char* left, const CStrWChar& right);

#endif
