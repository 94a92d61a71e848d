#include <gtest/gtest.h>

#include <functional>

#include "JString.h"
#include "JVector.h"
#include "RuntimeTestSupport.h"

namespace {

std::vector<int32_t> Contents(const JVector<int32_t>& vector) {
    std::vector<int32_t> out;
    for (int32_t i = 0; i < vector.size(); ++i) out.push_back(vector[i]);
    return out;
}

JVector<int32_t> Of(std::initializer_list<int32_t> values) {
    JVector<int32_t> vector;
    for (int32_t v : values) vector.addElement(v);
    return vector;
}

TEST(JVectorTest, CapacityGrowsByDoublingOrByTheIncrement) {
    struct Case {
        int32_t initial, increment;
        std::vector<int32_t> capacities;  // after 1, 11, 16, 21 appends
    };
    const Case cases[] = {
        {10, 0, {10, 20, 20, 40}},
        {10, 5, {10, 15, 20, 25}},
        {0, 0, {1, 16, 16, 32}},  // empty storage grows straight to the need
    };
    for (const Case& c : cases) {
        JVector<int32_t> vector(c.initial, c.increment);
        std::vector<int32_t> seen;
        for (int32_t n = 1; n <= 21; ++n) {
            vector.addElement(n);
            if (n == 1 || n == 11 || n == 16 || n == 21) seen.push_back(vector.capacity());
        }
        EXPECT_EQ(seen, c.capacities) << c.initial << "/" << c.increment;
        for (int32_t i = 0; i < 21; ++i) ASSERT_EQ(vector[i], i + 1);
    }
}

TEST(JVectorTest, InsertRemoveAndSearch) {
    JVector<int32_t> vector = Of({1, 2});
    vector.insertElementAt(9, 0);
    vector.insertElementAt(7, vector.size());
    EXPECT_EQ(Contents(vector), (std::vector<int32_t>{9, 1, 2, 7}));
    vector.removeElementAt(3);
    vector.removeElementAt(0);
    EXPECT_EQ(Contents(vector), (std::vector<int32_t>{1, 2}));

    vector = Of({4, 5, 4, 6});
    EXPECT_TRUE(vector.removeElement(4));
    EXPECT_EQ(Contents(vector), (std::vector<int32_t>{5, 4, 6}));
    EXPECT_FALSE(vector.removeElement(8));
    EXPECT_EQ(vector.indexOf(4, 2), -1);
    EXPECT_EQ(vector.indexOf(6, 99), -1);
    EXPECT_TRUE(vector.contains(6));
    EXPECT_EQ(vector.lastElement(), 6);
}

TEST(JVectorTest, CopiesOwnTheirStorageButShareStrings) {
    JVector<JString> words;
    words.addElement(JString("alpha"));
    words.addElement(JString("beta"));
    JVector<JString> copy(words);
    copy.elementAt(0) = JString("gamma");
    EXPECT_EQ(Units(words[0]), u"alpha");
    EXPECT_EQ(copy[1].getBuffer(), words[1].getBuffer());

    JVector<int32_t> wide(20, 0);
    wide.addElement(1);
    wide.addElement(2);
    JVector<int32_t> target = Of({9, 9, 9});
    target = wide;
    EXPECT_EQ(target.capacity(), 20);
    EXPECT_EQ(Contents(target), (std::vector<int32_t>{1, 2}));
    const JVector<int32_t>& itself = target;
    target = itself;
    EXPECT_EQ(Contents(target), (std::vector<int32_t>{1, 2}));
}

TEST(JVectorTest, NestedVectorsSurviveGrowth) {
    JVector<JVector<int32_t>> pages;
    for (int32_t i = 0; i < 25; ++i) pages.addElement(Of({i, i * 2}));
    EXPECT_EQ(pages.capacity(), 40);
    EXPECT_EQ(Contents(pages[24]), (std::vector<int32_t>{24, 48}));
    pages.removeElementAt(0);
    EXPECT_EQ(Contents(pages[0]), (std::vector<int32_t>{1, 2}));
}

TEST(JVectorTest, OwnElementsCanBeAddedAndInserted) {
    // Growing frees the storage such an element lies in; inserting shifts it.
    JVector<JString> words(1, 0);
    words.addElement(JString("a"));
    words.addElement(words[0]);
    words[1] = JString("b");
    words.insertElementAt(words[1], 0);
    words.insertElementAt(words[2], 1);
    std::vector<std::u16string> seen;
    for (int32_t i = 0; i < words.size(); ++i) seen.push_back(Units(words[i]));
    EXPECT_EQ(seen, (std::vector<std::u16string>{u"b", u"b", u"a", u"b"}));
}

TEST(JVectorTest, RemovedStringsStayReferencedUntilTheSlotIsReused) {
    const JString kept("kept");
    JVector<JString> vector;
    vector.addElement(kept);
    vector.removeAllElements();
    vector.setSize(1);
    EXPECT_EQ(vector[0].getBuffer(), kept.getBuffer());
    vector.setSize(3);
    EXPECT_EQ(vector[2].length(), 0);  // a default string in a fresh slot
}

TEST(JVectorTest, BadIndexesAreReportedAndChangeNothing) {
    AssertCounter counter;
    JVector<int32_t> vector = Of({1, 2, 3});
    struct Case {
        std::function<void()> call;
        int line;
    };
    const Case cases[] = {
        {[&] { vector.insertElementAt(5, 4); }, 162},
        {[&] { vector.insertElementAt(5, -1); }, 162},
        {[&] { vector.removeElementAt(3); }, 208},
        {[&] { vector.removeElementAt(-1); }, 208},
        {[&] { vector.elementAt(3) = 7; }, 315},
        {[&] { EXPECT_EQ(static_cast<const JVector<int32_t>&>(vector).elementAt(-2), 0); }, 321},
        {[&] { EXPECT_EQ(vector.indexOf(1, -4), 0); }, 152},
        {[&] { JVector<int32_t> bad(-3, 0); EXPECT_EQ(bad.capacity(), 0); }, 328},
        {[&] { vector.setSize(-1); }, 0},
    };
    for (const Case& c : cases) {
        counter.Reset();
        c.call();
        EXPECT_GT(counter.Count(), 0) << c.line;
        if (c.line != 0) {
            EXPECT_TRUE(counter.Logged(CheckSite("JVector", c.line))) << c.line;
        }
    }
    EXPECT_EQ(Contents(vector), (std::vector<int32_t>{1, 2, 3}));
}

TEST(JVectorTest, PointerElementsCompareByIdentity) {
    int32_t a = 1;
    int32_t b = 1;
    JVector<int32_t*> vector;
    vector.addElement(&a);
    EXPECT_FALSE(vector.contains(&b));
    EXPECT_TRUE(vector.removeElement(&a));
    EXPECT_EQ(vector.size(), 0);
}

}  // namespace
