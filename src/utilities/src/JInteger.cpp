#include "JInteger.h"

#include "CAssert.h"
#include "JStringBuffer.h"
#include "StrFormat.h"

namespace {

constexpr int32_t kNumberUnits = 16;

// Parse failures and the bad format radix are reported here; the callers
// then give their failure result.
bool Check(bool condition, int line) {
    Assert(condition, JIntegerCheck::kSource, line);
    return condition;
}

bool IsLatin1Letter(WChar unit) {
    return (unit >= 0xC0 && unit <= 0xD6) || (unit >= 0xD8 && unit <= 0xF6) || (unit >= 0xF8 && unit <= 0xFF);
}

bool IsAsciiLetter(WChar unit) { return (unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z'); }

bool RadixValid(int32_t radix) { return radix >= JInteger::kMinRadix && radix <= JInteger::kMaxRadix; }

JString Formatted(const WChar* format, int32_t value) {
    WChar digits[kNumberUnits];
    FormatWide(digits, format, value);
    return JString(digits);
}

}  // namespace

int32_t JInteger::digit(WChar unit, int32_t radix) {
    if (!RadixValid(radix)) return -1;
    int32_t value = -1;
    if (unit >= u'0' && unit <= u'9') value = unit - u'0';
    if (IsAsciiLetter(unit) || IsLatin1Letter(unit)) value = (unit & 0x1F) + 9;
    return value < radix ? value : -1;
}

// The value is gathered as a negative number, so that the most negative
// value parses without overflow; limit is the most negative value allowed.
int32_t JInteger::parseInt(const JString& text, int32_t radix) {
    if (!Check(RadixValid(radix), JIntegerCheck::kParseRadix)) return 0;
    const int32_t length = text.length();
    if (!Check(length > 0, JIntegerCheck::kParseEmpty)) return 0;
    const bool negative = text.charAt(0) == u'-';
    const int32_t limit = negative ? INT32_MIN : -INT32_MAX;
    const int32_t multmin = limit / radix;
    int32_t index = negative ? 1 : 0;
    int32_t result = 0;
    if (index < length) {
        const int32_t first = digit(text.charAt(index++), radix);
        if (!Check(first >= 0, JIntegerCheck::kParseFirstDigit)) return 0;
        result = -first;
    }
    while (index < length) {
        const int32_t d = digit(text.charAt(index++), radix);
        if (!Check(d >= 0 && result >= multmin, JIntegerCheck::kParseDigitOrRange)) return 0;
        result *= radix;
        if (!Check(result >= limit + d, JIntegerCheck::kParseOverflow)) return 0;
        result -= d;
    }
    if (!negative) return -result;
    if (!Check(index > 1, JIntegerCheck::kParseLoneMinus)) return 0;
    return result;
}

JString JInteger::toString(int32_t value, int32_t radix, bool isSigned) {
    if (!Check(RadixValid(radix), JIntegerCheck::kFormatRadix)) radix = 10;
    const bool negative = isSigned && value < 0;
    // The magnitude in unsigned arithmetic: 2147483648 for the most negative.
    uint32_t rest = negative ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    const uint32_t base = static_cast<uint32_t>(radix);
    JStringBuffer digits;
    do {
        const uint32_t d = rest % base;
        digits.insert(0, static_cast<WChar>(d < 10 ? u'0' + d : u'a' + d - 10));
        rest /= base;
    } while (rest != 0);
    if (negative) digits.insert(0, u'-');
    return digits.toString();
}

JString JInteger::toHexString(int32_t value) { return Formatted(u"%x", value); }

JString JInteger::toOctalString(int32_t value) { return Formatted(u"%o", value); }
