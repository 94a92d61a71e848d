#include "CAssert.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AssertCounter.h"

namespace {

TEST(DebugHexDump, ShortLastLineIsPaddedAndLabelCut) {
    const uint8_t bytes[] = {'H', 'i', 0x00, 0x1F, ' ', '~', 0x7F, 0xFF, 'z', 0x0A};
    AssertCounter capture;
    DebugHexDump("ABCDEFGHIJKL", bytes, sizeof bytes);
    const std::vector<std::string> expected = {
        "ABCDEFGHI: 0000: 48 69 00 1f 20 7e 7f ff   Hi.. ~..",
        "ABCDEFGHI: 0008: 7a 0a " + std::string(18, ' ') + "  z.",
    };
    EXPECT_EQ(capture.DebugLines(), expected);
    EXPECT_EQ(capture.Count(), 0);
}

TEST(DebugHexDump, FullLinesAndOffsets) {
    std::vector<uint8_t> bytes(17, 'A');
    AssertCounter capture;
    DebugHexDump("x", bytes.data(), static_cast<uint32_t>(bytes.size()));
    const std::string fullFields = "41 41 41 41 41 41 41 41 ";
    const std::vector<std::string> expected = {
        "x: 0000: " + fullFields + "  AAAAAAAA",
        "x: 0008: " + fullFields + "  AAAAAAAA",
        "x: 0010: 41 " + std::string(21, ' ') + "  A",
    };
    EXPECT_EQ(capture.DebugLines(), expected);
}

TEST(DebugHexDump, PercentInDataOrLabelIsPrintedLiterally) {
    const uint8_t bytes[] = {'%', 's', '%', 'n'};
    AssertCounter capture;
    DebugHexDump("%d%s", bytes, sizeof bytes);
    ASSERT_EQ(capture.DebugLines().size(), 1u);
    EXPECT_EQ(capture.DebugLines()[0], "%d%s: 0000: 25 73 25 6e " + std::string(12, ' ') + "  %s%n");
}

TEST(DebugHexDump, ZeroCountPrintsNothingAndReadsNothing) {
    AssertCounter capture;
    DebugHexDump("empty", nullptr, 0);
    EXPECT_TRUE(capture.DebugLines().empty());
}

// The debug log is off unless asked for: "0", empty or unset mean off.
TEST(DebugLog, OnlyAValueOtherThanZeroOrEmptyTurnsItOn) {
    EXPECT_FALSE(DebugLogAskedBy(nullptr));
    EXPECT_FALSE(DebugLogAskedBy(""));
    EXPECT_FALSE(DebugLogAskedBy("0"));
    EXPECT_TRUE(DebugLogAskedBy("1"));
    EXPECT_TRUE(DebugLogAskedBy("00"));
}

}  // namespace
