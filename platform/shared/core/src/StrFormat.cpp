#include "StrFormat.h"

#include <climits>

namespace {

enum FormatFlag : uint32_t {
    kZeroPad = 1u << 0,
    kSigned = 1u << 1,
    kPlus = 1u << 2,
    kSpace = 1u << 3,
    kLeft = 1u << 4,
    kSpecial = 1u << 5,
    kUpper = 1u << 6,
};

constexpr int32_t kUnset = -1;
// Octal digits of a 64-bit pointer are the longest rendering: 22.
constexpr int32_t kMaxDigits = 32;
// Index of the letter 'x' in the digit tables, for the "0x" / "0X" prefix.
constexpr int32_t kHexPrefixLetter = 33;

const char kLowerDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
const char kUpperDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

struct Conversion {
    uint32_t flags = 0;
    int32_t width = kUnset;
    int32_t precision = kUnset;
    int qualifier = 0;
};

template <typename Char>
struct NullText;
template <>
struct NullText<char> {
    static constexpr const char* kText = "<NULL>";
};
template <>
struct NullText<WChar> {
    static constexpr const WChar* kText = u"NULL";
};

template <typename Char>
bool IsDigit(Char c) {
    return c >= '0' && c <= '9';
}

// Decimal digits at p, saturating instead of overflowing on absurd widths.
template <typename Char>
int32_t ReadDecimal(const Char*& p) {
    int32_t value = 0;
    for (; IsDigit(*p); ++p) {
        const int32_t digit = static_cast<int32_t>(*p - '0');
        value = value > (INT32_MAX - digit) / 10 ? INT32_MAX : value * 10 + digit;
    }
    return value;
}

// Formats into a caller's buffer; the arguments are consumed in order from a
// private copy of the list.
template <typename Char>
class Formatter {
public:
    Formatter(Char* buffer, va_list args) : m_start(buffer), m_out(buffer) { va_copy(m_args, args); }
    ~Formatter() { va_end(m_args); }
    Formatter(const Formatter&) = delete;
    Formatter& operator=(const Formatter&) = delete;

    int32_t Run(const Char* format);

private:
    const Char* Directive(const Char* p);
    const Char* ReadFlags(const Char* p, Conversion& form);
    const Char* ReadWidth(const Char* p, Conversion& form);
    const Char* ReadPrecision(const Char* p, Conversion& form);
    bool Convert(Char conversion, Conversion& form);

    uint32_t NextWord(int qualifier);
    void PutCharacter(const Conversion& form);
    void PutText(const Conversion& form);
    void PutSigned(const Conversion& form);
    void PutNumber(uint64_t value, bool negative, uint32_t base, Conversion form);

    void Put(Char c) { *m_out++ = c; }
    void Pad(Char c, int32_t& count);
    int32_t Written() const { return static_cast<int32_t>(m_out - m_start); }

    Char* const m_start;
    Char* m_out;
    va_list m_args;
};

template <typename Char>
int32_t Formatter<Char>::Run(const Char* format) {
    const Char* p = format;
    while (*p != 0) {
        if (*p == '%') {
            p = Directive(p + 1);
        } else {
            Put(*p++);
        }
    }
    *m_out = 0;
    return Written();
}

// p follows a "%"; returns where the scan goes on.
template <typename Char>
const Char* Formatter<Char>::Directive(const Char* p) {
    Conversion form;
    p = ReadFlags(p, form);
    p = ReadWidth(p, form);
    p = ReadPrecision(p, form);
    if (*p == 'h' || *p == 'l' || *p == 'L') form.qualifier = *p++;
    if (*p == 0) {
        Put('%');
        return p;
    }
    if (!Convert(*p, form)) {
        Put('%');
        Put(*p);
    }
    return p + 1;
}

template <typename Char>
const Char* Formatter<Char>::ReadFlags(const Char* p, Conversion& form) {
    for (;; ++p) {
        switch (*p) {
            case '-': form.flags |= kLeft; break;
            case '+': form.flags |= kPlus; break;
            case ' ': form.flags |= kSpace; break;
            case '#': form.flags |= kSpecial; break;
            case '0': form.flags |= kZeroPad; break;
            default: return p;
        }
    }
}

template <typename Char>
const Char* Formatter<Char>::ReadWidth(const Char* p, Conversion& form) {
    if (IsDigit(*p)) {
        form.width = ReadDecimal(p);
    } else if (*p == '*') {
        ++p;
        const int32_t width = va_arg(m_args, int);
        if (width < 0) {
            form.flags |= kLeft;
            form.width = width == INT32_MIN ? INT32_MAX : -width;
        } else {
            form.width = width;
        }
    }
    return p;
}

template <typename Char>
const Char* Formatter<Char>::ReadPrecision(const Char* p, Conversion& form) {
    if (*p != '.') return p;
    ++p;
    form.precision = 0;
    if (IsDigit(*p)) {
        form.precision = ReadDecimal(p);
    } else if (*p == '*') {
        ++p;
        const int32_t precision = va_arg(m_args, int);
        form.precision = precision < 0 ? 0 : precision;
    }
    return p;
}

// False for a character that is no conversion; nothing was consumed then.
template <typename Char>
bool Formatter<Char>::Convert(Char conversion, Conversion& form) {
    switch (conversion) {
        case 'c': PutCharacter(form); return true;
        case 's':
        case 'U': PutText(form); return true;
        case 'p':
            if (form.width == kUnset) {
                form.width = 8;
                form.flags |= kZeroPad;
            }
            PutNumber(reinterpret_cast<uintptr_t>(va_arg(m_args, void*)), false, 16, form);
            return true;
        case 'n': *va_arg(m_args, int*) = Written(); return true;
        case 'o': PutNumber(NextWord(form.qualifier), false, 8, form); return true;
        case 'X': form.flags |= kUpper; [[fallthrough]];
        case 'x': PutNumber(NextWord(form.qualifier), false, 16, form); return true;
        case 'd':
        case 'i': PutSigned(form); return true;
        case 'u': PutNumber(NextWord(form.qualifier), false, 10, form); return true;
        case '%': Put('%'); return true;
        default: return false;
    }
}

// Every integer is one 32-bit word. A long is pointer-sized on this host, so
// it is read whole and cut to the 32 bits the handset's long had.
template <typename Char>
uint32_t Formatter<Char>::NextWord(int qualifier) {
    if (qualifier == 'l') return static_cast<uint32_t>(va_arg(m_args, long));
    return static_cast<uint32_t>(va_arg(m_args, int));
}

template <typename Char>
void Formatter<Char>::PutCharacter(const Conversion& form) {
    const Char c = static_cast<Char>(static_cast<uint8_t>(va_arg(m_args, int)));
    int32_t padding = form.width - 1;
    if ((form.flags & kLeft) == 0) Pad(' ', padding);
    Put(c);
    Pad(' ', padding);
}

template <typename Char>
void Formatter<Char>::PutText(const Conversion& form) {
    const Char* text = va_arg(m_args, const Char*);
    if (text == nullptr) text = NullText<Char>::kText;
    int32_t length = 0;
    while ((form.precision < 0 || length < form.precision) && text[length] != 0) ++length;
    int32_t padding = form.width - length;
    if ((form.flags & kLeft) == 0) Pad(' ', padding);
    for (int32_t i = 0; i < length; ++i) Put(text[i]);
    Pad(' ', padding);
}

template <typename Char>
void Formatter<Char>::PutSigned(const Conversion& form) {
    const int32_t value = static_cast<int32_t>(NextWord(form.qualifier));
    // Negated as unsigned so that the most negative value keeps its magnitude.
    const uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    Conversion signedForm = form;
    signedForm.flags |= kSigned;
    PutNumber(magnitude, value < 0, 10, signedForm);
}

template <typename Char>
void Formatter<Char>::PutNumber(uint64_t value, bool negative, uint32_t base, Conversion form) {
    const char* digits = (form.flags & kUpper) != 0 ? kUpperDigits : kLowerDigits;
    if ((form.flags & kLeft) != 0) form.flags &= ~kZeroPad;
    const Char pad = (form.flags & kZeroPad) != 0 ? '0' : ' ';
    int32_t width = form.width;

    Char sign = 0;
    if ((form.flags & kSigned) != 0) {
        if (negative) {
            sign = '-';
        } else if ((form.flags & kPlus) != 0) {
            sign = '+';
        } else if ((form.flags & kSpace) != 0) {
            sign = ' ';
        }
        if (sign != 0) --width;
    }
    const bool special = (form.flags & kSpecial) != 0;
    if (special) width -= base == 16 ? 2 : (base == 8 ? 1 : 0);

    char reversed[kMaxDigits];
    int32_t count = 0;
    do {
        reversed[count++] = digits[value % base];
        value /= base;
    } while (value != 0);

    const int32_t precision = form.precision > count ? form.precision : count;
    width -= precision;

    if ((form.flags & (kZeroPad | kLeft)) == 0) Pad(' ', width);
    if (sign != 0) Put(sign);
    if (special && base == 8) Put('0');
    if (special && base == 16) {
        Put('0');
        Put(static_cast<Char>(digits[kHexPrefixLetter]));
    }
    if ((form.flags & kLeft) == 0) Pad(pad, width);
    int32_t zeros = precision - count;
    Pad('0', zeros);
    while (count > 0) Put(static_cast<Char>(reversed[--count]));
    Pad(' ', width);
}

// Writes count characters when count is positive; count is used up.
template <typename Char>
void Formatter<Char>::Pad(Char c, int32_t& count) {
    for (; count > 0; --count) Put(c);
    count = 0;
}

}  // namespace

int32_t FormatStringA(char* buffer, const char* format, va_list args) {
    return Formatter<char>(buffer, args).Run(format);
}

int32_t FormatStringW(WChar* buffer, const WChar* format, va_list args) {
    return Formatter<WChar>(buffer, args).Run(format);
}

int32_t StrFormat(char* buffer, const char* format, va_list args) { return FormatStringA(buffer, format, args); }

int32_t WStrFormat(WChar* buffer, const WChar* format, va_list args) {
    return FormatStringW(buffer, format, args);
}

int32_t StrPrintf(char* buffer, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int32_t written = StrFormat(buffer, format, args);
    va_end(args);
    return written;
}

int32_t FormatWide(WChar* buffer, const WChar* format, ...) {
    va_list args;
    va_start(args, format);
    const int32_t written = WStrFormat(buffer, format, args);
    va_end(args);
    return written;
}
