#ifndef JINTEGER_H
#define JINTEGER_H

#include <cstdint>

#include "EngineTypes.h"
#include "JObject.h"
#include "JString.h"

// Lines under which the integer conversions report their checks.
namespace JIntegerCheck {
constexpr const char* kSource = "JInteger";
constexpr int kParseRadix = 36;
constexpr int kParseFirstDigit = 64;
constexpr int kParseDigitOrRange = 77;
constexpr int kParseOverflow = 83;
constexpr int kParseEmpty = 91;
constexpr int kParseLoneMinus = 103;
constexpr int kFormatRadix = 115;
}  // namespace JIntegerCheck

// A boxed 32-bit integer (the key type of the game's hash tables) and the
// runtime's integer text conversions. Parse failures are reported and give 0.
class JInteger : public JObject {
public:
    static constexpr int32_t kMinRadix = 2;
    static constexpr int32_t kMaxRadix = 36;

    explicit JInteger(int32_t v = 0) : value(v) {}

    int32_t intValue() const { return value; }
    int32_t hashCode() const { return value; }
    bool operator==(const JInteger& other) const { return value == other.value; }
    JString toString() const { return toString(value, 10, true); }

    // Digits and an optional leading '-' (no '+'), radix 2 to 36.
    static int32_t parseInt(const JString& text, int32_t radix);
    // 0-9 and the letters (Latin-1 letters by their low five bits plus 9);
    // -1 for anything else or a value not below the radix.
    static int32_t digit(WChar unit, int32_t radix);
    // Lower-case digits; unsigned takes the 32-bit pattern. A bad radix is
    // reported and taken as 10.
    static JString toString(int32_t value, int32_t radix, bool isSigned);
    static JString toBinaryString(int32_t value) { return toString(value, 2, false); }
    static JString toHexString(int32_t value);
    static JString toOctalString(int32_t value);
    static JInteger valueOf(const JString& text, int32_t radix) { return JInteger(parseInt(text, radix)); }

private:
    int32_t value;
};

#endif
