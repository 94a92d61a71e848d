// The word splitter shared by the archive tool's scripts and the content
// compiler's sources: quotes, separators and the two comment rules.

#include "ToolText.h"

#include <gtest/gtest.h>

namespace {

struct SplitCase {
    const char* line;
    ToolText::Comments comments;
    bool closed;
    std::vector<std::string> words;
};

TEST(ToolTextTest, SplitWordsFollowsQuotesSeparatorsAndTheCommentRule) {
    using C = ToolText::Comments;
    const SplitCase cases[] = {
        {"add 0x10 file.bin", C::kAnywhere, true, {"add", "0x10", "file.bin"}},
        {"  a\t b\r", C::kAnywhere, true, {"a", "b"}},
        {"name \"two words\" x", C::kAnywhere, true, {"name", "two words", "x"}},
        {"\"#not a comment\" y", C::kAtWordStart, true, {"#not a comment", "y"}},
        {"a#b c", C::kAnywhere, true, {"a"}},
        {"a#b c", C::kAtWordStart, true, {"a#b", "c"}},
        {"a #b c", C::kAtWordStart, true, {"a"}},
        {"# all comment", C::kAnywhere, true, {}},
        {"\"\" x", C::kAnywhere, true, {"", "x"}},
        {"open \"quote", C::kAnywhere, false, {"open", "quote"}},
    };
    for (const SplitCase& c : cases) {
        std::vector<std::string> words = {"left over"};
        EXPECT_EQ(ToolText::SplitWords(c.line, words, c.comments), c.closed) << c.line;
        if (c.closed) {
            EXPECT_EQ(words, c.words) << c.line;
        }
    }
}

}  // namespace
