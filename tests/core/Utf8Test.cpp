#include "Utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr WChar kUntouchedUnit = 0x7E7E;
constexpr uint8_t kUntouchedByte = 0x7E;

struct Decoded {
    int32_t result;
    std::u16string text;
};

// Decodes from a heap copy of exactly the given bytes, so that the sanitizer
// sees any read past the input, into a buffer of exactly cap units.
Decoded Decode(const std::vector<uint8_t>& bytes, uint32_t cap) {
    std::vector<uint8_t> input(bytes);
    std::vector<WChar> output(cap, kUntouchedUnit);
    const int32_t result = Utf8ToWide(input.data(), static_cast<uint32_t>(input.size()), output.data(), cap);
    EXPECT_LT(static_cast<uint32_t>(result), cap);
    EXPECT_EQ(output[result], 0);
    return {result, std::u16string(output.data(), output.data() + result)};
}

std::vector<uint8_t> Encode(const std::u16string& text, uint32_t n, uint32_t cap, int32_t& result) {
    std::vector<uint8_t> output(cap, kUntouchedByte);
    result = WideToUtf8(text.data(), n, output.data(), cap);
    EXPECT_LT(static_cast<uint32_t>(result), cap);
    EXPECT_EQ(output[result], 0);
    return std::vector<uint8_t>(output.begin(), output.begin() + result);
}

TEST(Utf8ToWide, DecodesMixedFormsAndCopiesZeroBytes) {
    const Decoded mixed = Decode({'a', 0xDF, 0xBF, 0xE0, 0xA0, 0x80, 0xEF, 0xBF, 0xBF}, 8);
    EXPECT_EQ(mixed.result, 4);
    EXPECT_EQ(mixed.text, u"a\u07FF\u0800\uFFFF");
    // A zero byte does not end the input.
    EXPECT_EQ(Decode({'a', 0x00, 'b'}, 8).text, std::u16string(u"a\0b", 3));
}

TEST(Utf8ToWide, MalformedInputGivesAnEmptyText) {
    const std::vector<std::vector<uint8_t>> malformed = {
        {0xC3},                          // cut off after the lead byte
        {0xE2, 0x82},                    // cut off inside a 3-byte form
        {'a', 'b', 0x80, 'c'},           // stray continuation byte after good text
        {0xC3, 0x41},                    // second byte is no continuation
        {0xE2, 0x41, 0x82},              // second of three is no continuation
        {0xE2, 0x82, 0xC3},              // third of three is no continuation
        {0xF0, 0x9F, 0x98, 0x80},        // 4-byte form
        {'x', 0xF8, 0x80, 0x80, 0x80},   // lead bytes beyond the 4-byte form
        {'x', 0xFF},
    };
    for (const std::vector<uint8_t>& bytes : malformed) {
        const Decoded decoded = Decode(bytes, 16);
        EXPECT_EQ(decoded.result, 0) << "first byte " << int(bytes[0]) << ", size " << bytes.size();
        EXPECT_EQ(Utf8CharCount(bytes.data(), static_cast<uint32_t>(bytes.size())), 0);
    }
}

TEST(Utf8ToWide, OverlongFormsAndSurrogatesDecodeAsTheyStand) {
    // The two-byte zero and one-by-one surrogate halves of stored texts.
    EXPECT_EQ(Decode({'a', 0xC0, 0x80, 'b'}, 8).text, std::u16string(u"a\0b", 3));
    EXPECT_EQ(Decode({0xE0, 0x80, 0xAF}, 8).text, u"/");
    const Decoded surrogates = Decode({0xED, 0xA0, 0xBD, 0xED, 0xB8, 0x80}, 8);
    ASSERT_EQ(surrogates.result, 2);
    EXPECT_EQ(surrogates.text[0], 0xD83D);
    EXPECT_EQ(surrogates.text[1], 0xDE00);
}

TEST(Utf8ToWide, FullBufferEndsTheTextEarly) {
    const Decoded abcd = Decode({'a', 'b', 'c', 'd'}, 3);
    EXPECT_EQ(abcd.result, 2);
    EXPECT_EQ(abcd.text, u"ab");
    EXPECT_EQ(Decode({0xC3, 0xA9, 0xC3, 0xA9}, 2).text, u"\u00E9");
    // What lies beyond the room is never looked at.
    EXPECT_EQ(Decode({'a', 0x80}, 2).text, u"a");
    EXPECT_EQ(Decode({'a', 'b'}, 1).result, 0);
}

TEST(Utf8ToWide, NullPointersAndZeroCapacityWriteNothing) {
    const uint8_t bytes[] = {'a'};
    WChar unit = kUntouchedUnit;
    EXPECT_EQ(Utf8ToWide(bytes, 1, &unit, 0), 0);
    EXPECT_EQ(unit, kUntouchedUnit);
    EXPECT_EQ(Utf8ToWide(nullptr, 1, &unit, 1), 0);
    EXPECT_EQ(unit, kUntouchedUnit);
    EXPECT_EQ(Utf8ToWide(bytes, 1, nullptr, 4), 0);
    // No input but a buffer: an empty, terminated text.
    EXPECT_EQ(Utf8ToWide(bytes, 0, &unit, 1), 0);
    EXPECT_EQ(unit, 0);
}

TEST(WideToUtf8, EncodesAtTheFormBoundariesAndStopsAtZeroUnit) {
    int32_t result = 0;
    const std::vector<uint8_t> bytes = Encode(u"\u007F\u0080\u07FF\u0800\uFFFF", 5, 32, result);
    const std::vector<uint8_t> expected = {0x7F, 0xC2, 0x80, 0xDF, 0xBF, 0xE0, 0xA0, 0x80, 0xEF, 0xBF, 0xBF};
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(result, 11);
    EXPECT_EQ(Encode(std::u16string(u"ab\0cd", 5), 5, 16, result), (std::vector<uint8_t>{'a', 'b'}));
}

TEST(WideToUtf8, CharacterThatDoesNotFitWholeIsLeftOut) {
    int32_t result = -1;
    EXPECT_TRUE(Encode(u"\u20AC", 1, 3, result).empty());
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Encode(u"\u20AC", 1, 4, result), (std::vector<uint8_t>{0xE2, 0x82, 0xAC}));
    // Everything after the first character that does not fit is left out too.
    EXPECT_EQ(Encode(u"a\u00E9b", 3, 3, result), (std::vector<uint8_t>{'a'}));
    EXPECT_EQ(Encode(u"abc", 3, 1, result), std::vector<uint8_t>{});
}

TEST(WideToUtf8, NullPointersAndZeroCapacityWriteNothing) {
    const WChar text[] = {'a', 0};
    uint8_t byte = kUntouchedByte;
    EXPECT_EQ(WideToUtf8(text, 1, &byte, 0), 0);
    EXPECT_EQ(byte, kUntouchedByte);
    EXPECT_EQ(WideToUtf8(nullptr, 1, &byte, 1), 0);
    EXPECT_EQ(WideToUtf8(text, 1, nullptr, 1), 0);
}

TEST(Utf8, EveryUnitSurvivesTheRoundTrip) {
    for (uint32_t code = 1; code <= 0xFFFF; ++code) {
        const WChar unit[1] = {static_cast<WChar>(code)};
        uint8_t bytes[4];
        const int32_t length = WideToUtf8(unit, 1, bytes, sizeof bytes);
        ASSERT_EQ(length, code < 0x80 ? 1 : code < 0x800 ? 2 : 3) << code;
        ASSERT_EQ(Utf8LengthOfWide(unit, 1), length);
        ASSERT_EQ(Utf8CharCount(bytes, static_cast<uint32_t>(length)), 1);
        WChar back[2];
        ASSERT_EQ(Utf8ToWide(bytes, static_cast<uint32_t>(length), back, 2), 1);
        ASSERT_EQ(back[0], unit[0]) << code;
    }
}

TEST(Utf8, CountsStopAtTheLimitAndLengthsAtZeroUnit) {
    EXPECT_EQ(Utf8LengthOfWide(u"a\u00E9\u20AC", 2), 3);
    EXPECT_EQ(Utf8LengthOfWide(std::u16string(u"\u20AC\0\u20AC", 3).data(), 3), 3);
    EXPECT_EQ(Utf8LengthOfWide(nullptr, 4), 0);
    const uint8_t text[] = {'a', 0xC3, 0xA9, 0xE2, 0x82, 0xAC, 0x00};
    EXPECT_EQ(Utf8CharCount(text, sizeof text), 4);
    EXPECT_EQ(Utf8CharCount(text, 3), 2);
    EXPECT_EQ(Utf8CharCount(text, 2), 0);  // the limit cuts the second character
    EXPECT_EQ(Utf8CharCount(nullptr, 3), 0);
}

}  // namespace
