#include "StrFormat.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

constexpr size_t kBufferSize = 128;
constexpr char kUntouched = 0x7E;

// Formats through the va_list entry point (some formats here are not printf's,
// so the compiler's format check stays out) and checks that the result counts
// exactly what was written and that nothing lands past the terminator.
std::string Narrow(const char* format, ...) {
    char buffer[kBufferSize];
    std::fill(buffer, buffer + kBufferSize, kUntouched);
    va_list args;
    va_start(args, format);
    const int32_t written = StrFormat(buffer, format, args);
    va_end(args);
    const std::string text(buffer);
    EXPECT_EQ(written, static_cast<int32_t>(text.size())) << format;
    EXPECT_EQ(buffer[text.size() + 1], kUntouched) << format;
    return text;
}

std::u16string Wide(const char16_t* format, ...) {
    WChar buffer[kBufferSize];
    std::fill(buffer, buffer + kBufferSize, WChar(kUntouched));
    va_list args;
    va_start(args, format);
    const int32_t written = WStrFormat(buffer, format, args);
    va_end(args);
    const std::u16string text(buffer);
    EXPECT_EQ(written, static_cast<int32_t>(text.size()));
    EXPECT_EQ(buffer[text.size() + 1], WChar(kUntouched));
    return text;
}

TEST(StrFormat, SignsPaddingAndPrecision) {
    EXPECT_EQ(Narrow("%05d", -42), "-0042");
    EXPECT_EQ(Narrow("%+d", 5), "+5");
    EXPECT_EQ(Narrow("% d", 5), " 5");
    EXPECT_EQ(Narrow("%+u", 5), "5");
    EXPECT_EQ(Narrow("%-05d|", 7), "7    |");  // left-justify wins over zero pad
    EXPECT_EQ(Narrow("%6d|%-6i|", -12, -12), "   -12|-12   |");
    EXPECT_EQ(Narrow("%5.3d", 7), "  007");
    EXPECT_EQ(Narrow("%-6.3d|", -7), "-007  |");
    EXPECT_EQ(Narrow("%.0d", 0), "0");
    EXPECT_EQ(Narrow("%*d|", -4, 7), "7   |");
    EXPECT_EQ(Narrow("%*.*d", 5, 3, 7), "  007");
    EXPECT_EQ(Narrow("%c|%3c", 321, 65), "A|  A");
}

TEST(StrFormat, BasesAndPrefixes) {
    EXPECT_EQ(Narrow("%#x", 255), "0xff");
    EXPECT_EQ(Narrow("%#X", 255), "0XFF");
    EXPECT_EQ(Narrow("%#o|%#o", 8, 0), "010|00");
    EXPECT_EQ(Narrow("%#06x", 255), "0x00ff");
    EXPECT_EQ(Narrow("%#6x|", 255), "  0xff|");
    EXPECT_EQ(Narrow("%X %o", 0xDEADBEEFu, 0xFFFFFFFFu), "DEADBEEF 37777777777");
}

TEST(StrFormat, IntegersAreThirtyTwoBits) {
    EXPECT_EQ(Narrow("%d", INT_MIN), "-2147483648");
    EXPECT_EQ(Narrow("%u", 0xFFFFFFFFu), "4294967295");
    EXPECT_EQ(Narrow("%hd", 65535), "65535");
    EXPECT_EQ(Narrow("%lx|%Lx", 255L, 16), "ff|10");
}

TEST(StrFormat, PointersUseTheirWholeWidth) {
    EXPECT_EQ(Narrow("%p", reinterpret_cast<void*>(0x1234)), "00001234");
    EXPECT_EQ(Narrow("%10p", reinterpret_cast<void*>(0x1234)), "      1234");
    if constexpr (sizeof(uintptr_t) >= 8) {
        // Above 4 GiB; the argument after the pointer must still be read whole.
        const uintptr_t high = static_cast<uintptr_t>(0x12345678ABull);
        EXPECT_EQ(Narrow("%p %d", reinterpret_cast<void*>(high), 9), "12345678ab 9");
    }
}

TEST(StrFormat, Strings) {
    EXPECT_EQ(Narrow("%5.2s|", "abc"), "   ab|");
    EXPECT_EQ(Narrow("%-4s|", "ab"), "ab  |");
    EXPECT_EQ(Narrow("%05s", "ab"), "   ab");
    EXPECT_EQ(Narrow("%U", "text"), "text");
    EXPECT_EQ(Narrow("%s", static_cast<const char*>(nullptr)), "<NULL>");
    EXPECT_EQ(Narrow("[%.*s]", -1, "abc"), "[]");
    EXPECT_EQ(Narrow("[%.s]", "abc"), "[]");
    // The precision bounds the read: the text need not be terminated.
    const char unterminated[3] = {'x', 'y', 'z'};
    EXPECT_EQ(Narrow("%.3s", unterminated), "xyz");
}

TEST(StrFormat, UnknownConversionsAreEchoed) {
    EXPECT_EQ(Narrow("%%"), "%");
    EXPECT_EQ(Narrow("%y"), "%y");
    EXPECT_EQ(Narrow("%-5y"), "%y");
    // "%f" consumes nothing, so the 5 goes to the "%d".
    EXPECT_EQ(Narrow("%f%d", 5), "%f5");
    EXPECT_EQ(Narrow("abc%"), "abc%");
    EXPECT_EQ(Narrow("abc%-08.2l"), "abc%");
}

TEST(StrFormat, HighBytesAreCopiedNotInterpreted) {
    // 0xA5 has the low seven bits of "%".
    EXPECT_EQ(Narrow("\xA5" "d\xE9%d", 3), "\xA5" "d\xE9" "3");
}

TEST(StrFormat, CountStoredByN) {
    int count = -1;
    EXPECT_EQ(Narrow("ab%ncd%d", &count, 1), "abcd1");
    EXPECT_EQ(count, 2);
}

TEST(StrFormat, StrPrintfReturnsLength) {
    char buffer[32];
    EXPECT_EQ(StrPrintf(buffer, "%s-%03d", "id", 5), 6);
    EXPECT_STREQ(buffer, "id-005");
}

TEST(WStrFormat, FollowsTheSameRules) {
    EXPECT_EQ(Wide(u"%05d|%-5d|%+d", -42, 7, 5), u"-0042|7    |+5");
    EXPECT_EQ(Wide(u"%#x %#X %#o %04x", 255, 255, 8, 255), u"0xff 0XFF 010 00ff");
    EXPECT_EQ(Wide(u"%d", INT_MIN), u"-2147483648");
    EXPECT_EQ(Wide(u"%p", reinterpret_cast<void*>(0x1234)), u"00001234");
    EXPECT_EQ(Wide(u"%*d|%%|%y|%f", -4, 7), u"7   |%|%y|%f");
}

TEST(WStrFormat, WideTextsZeroExtendedCharactersAndUnitsAboveAscii) {
    EXPECT_EQ(Wide(u"%5.2s|", u"\u20ACbc"), u"   \u20ACb|");
    EXPECT_EQ(Wide(u"%-4U|", u"ab"), u"ab  |");
    EXPECT_EQ(Wide(u"%s", static_cast<const WChar*>(nullptr)), u"NULL");
    EXPECT_EQ(Wide(u"%c", 0x1E9), u"\u00E9");
    // 0x0125 would read as "%" if units were cut to bytes.
    EXPECT_EQ(Wide(u"\u0125d\u20AC%d", 4), u"\u0125d\u20AC4");
}

TEST(FormatWide, FormatsPlaceholderHandle) {
    WChar buffer[24];
    EXPECT_EQ(FormatWide(buffer, u"0x%8.8x", 0x20001234), 10);
    EXPECT_EQ(std::u16string(buffer), u"0x20001234");
}

}  // namespace
