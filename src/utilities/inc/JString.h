#ifndef JSTRING_H
#define JSTRING_H

#include <cstdint>

#include "EngineTypes.h"
#include "JObject.h"

class JStringBuffer;

// Lines under which the string reports its checks.
namespace JStringCheck {
constexpr const char* kSource = "JString";
constexpr int kWideOffset = 37;
constexpr int kNarrowOffset = 66;
constexpr int kSubstringBegin = 210;
constexpr int kSubstringRange = 213;
constexpr int kCharAtIndex = 444;
}  // namespace JStringCheck

// The game's immutable UTF-16 text. Copies share one reference-counted
// buffer (a 32-bit count followed by the units and a terminating 0); a buffer
// is never written once shared. Every empty string holds no buffer, and an
// operation whose result equals its receiver hands back the receiver's
// buffer instead of allocating.
class JString : public JObject {
public:
    JString() = default;
    JString(const JString& other);
    // count -1 takes the text up to its end; a count beyond the end is cut
    // to it. A null or empty text, or a count of 0 or less, gives the empty
    // string; an offset outside the text is reported and gives it too.
    JString(const WChar* text, int32_t offset = 0, int32_t count = -1);
    // The same over bytes, each widened to the unit of the same value.
    JString(const char* text, int32_t offset = 0, int32_t count = -1);
    explicit JString(const JStringBuffer& buffer);
    ~JString();

    // Assigning equal text keeps the receiver's own buffer.
    JString& operator=(const JString& other);

    int32_t length() const { return m_length; }
    // A bad index is reported and gives 0.
    WChar charAt(int32_t index) const;
    // Null for the empty string.
    const WChar* getBuffer() const { return m_data; }
    JString toString() const { return *this; }

    // By unsigned unit value; the empty string sorts before every other.
    int32_t compareTo(const JString& other) const;
    bool equals(const JString& other) const;
    bool operator==(const JString& other) const { return equals(other); }
    bool equalsIgnoreCase(const JString& other) const;
    bool regionMatches(bool ignoreCase, int32_t offset, const JString& other, int32_t otherOffset, int32_t count) const;
    // True only for an offset inside the string where prefix occurs.
    bool startsWith(const JString& prefix, int32_t offset = 0) const;
    bool endsWith(const JString& suffix) const;
    // h = h * 31 + unit over the units, wrapping in 32 bits.
    int32_t hashCode() const;

    int32_t indexOf(int32_t unit, int32_t from = 0) const;
    int32_t indexOf(const JString& text, int32_t from = 0) const;
    int32_t lastIndexOf(int32_t unit, int32_t from = INT32_MAX) const;

    // end -1 means the length. A bad range is reported and gives the empty
    // string.
    JString substring(int32_t begin, int32_t end = -1) const;
    JString concat(const JString& other) const;
    JString operator+(const JString& other) const { return concat(other); }
    JString operator+(int32_t value) const { return concat(valueOf(value)); }
    JString& operator+=(const JString& other);
    JString& operator+=(int32_t value);
    JString replace(WChar oldUnit, WChar newUnit) const;
    JString toLowerCase() const;
    JString toUpperCase() const;
    // Drops units up to 0x20 at both ends.
    JString trim() const;

    static JString valueOf(bool value);
    static JString valueOf(WChar unit);
    static JString valueOf(int32_t value);
    static JString valueOf(int64_t value);

private:
    // Room for `room` units (terminator included) with a count of 0, or
    // null when room < 1 or the heap refuses.
    static WChar* allocate(int32_t room);
    static uint32_t& CountOf(WChar* data);
    // A string of a copy of the units.
    static JString FromUnits(const WChar* units, int32_t count);
    // Makes the (empty) receiver a new string of a copy of the units.
    void fill(const WChar* units, int32_t count);
    template <typename MapUnit>
    JString mapUnits(MapUnit map) const;

    void adopt(WChar* data, int32_t length);
    void addRef();
    void release();

    WChar* m_data = nullptr;
    int32_t m_length = 0;
};

#endif
