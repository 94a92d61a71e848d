#include <gtest/gtest.h>

#include "ClipStack.h"
#include "JSmartObject.h"
#include "JSmartPtr.h"
#include "JString.h"
#include "JSystem.h"
#include "RuntimeTestSupport.h"

namespace {

struct Counted {
    static int live;
    Counted() { ++live; }
    ~Counted() { --live; }
};
int Counted::live = 0;

JSmartObject<int32_t> IntArray(std::initializer_list<int32_t> values) {
    JSmartObject<int32_t> array(JNewArray<int32_t>(static_cast<int32_t>(values.size())),
                                static_cast<int32_t>(values.size()));
    int32_t i = 0;
    for (int32_t v : values) array[i++] = v;
    return array;
}

std::vector<int32_t> Contents(const JSmartObject<int32_t>& array) {
    return std::vector<int32_t>(array.getData(), array.getData() + array.length());
}

TEST(JSmartPtrTest, LastHolderDeletesTheObjectOnce) {
    {
        JSmartPtr<Counted> first(new Counted);
        {
            JSmartPtr<Counted> second(first);
            JSmartPtr<Counted> third;
            third = second;
            EXPECT_EQ(third.get(), first.get());
        }
        EXPECT_EQ(Counted::live, 1);
        first.release();
        EXPECT_EQ(Counted::live, 0);
        first.release();  // a second release drops nothing
    }
    EXPECT_EQ(Counted::live, 0);
}

TEST(JSmartPtrTest, AssigningTheHeldPointerKeepsIt) {
    Counted* object = new Counted;
    JSmartPtr<Counted> holder(object);
    JSmartPtr<Counted> other(holder);
    holder = object;
    other.release();
    EXPECT_EQ(Counted::live, 1);  // the count was not reset to 1 by the assignment
    holder = nullptr;
    EXPECT_EQ(Counted::live, 0);
}

TEST(JSmartObjectTest, SharedArrayOfStringsOutlivesTheFirstHolder) {
    const JString text(u"shared text");
    auto* strings = JNewArray<JString>(3);
    JSmartObject<JString> first(strings, 3);
    first[1] = text;
    {
        JSmartObject<JString> second(first);
        first.release();
        EXPECT_EQ(first.getData(), nullptr);
        EXPECT_EQ(second.length(), 3);
        EXPECT_TRUE(second[1].equals(text));
        EXPECT_EQ(second[1].getBuffer(), text.getBuffer());
    }
    // The array and its string references are gone (ASan checks the rest);
    // the original string is still whole.
    EXPECT_EQ(Units(text), u"shared text");
}

TEST(JSmartObjectTest, BadIndexesAndUnknownLengthAreReportedNotTouched) {
    AssertCounter counter;
    JSmartObject<int32_t> array = IntArray({1, 2, 3});
    array[3] = 99;
    array[-1] = 99;
    const JSmartObject<int32_t>& reading = array;
    EXPECT_EQ(reading[7], 0);
    EXPECT_EQ(Contents(array), (std::vector<int32_t>{1, 2, 3}));
    EXPECT_TRUE(counter.Logged(CheckSite("JSmartObject", 272)));
    EXPECT_TRUE(counter.Logged(CheckSite("JSmartObject", 278)));

    JSmartObject<int32_t> unsized;
    unsized = JNewArray<int32_t>(4);
    counter.Reset();
    EXPECT_EQ(unsized.length(), -1);
    EXPECT_TRUE(counter.Logged(CheckSite("JSmartObject", 283)));
    unsized.setLength(4);
    EXPECT_EQ(unsized.length(), 4);
}

TEST(JSystemTest, ArrayCopyDirectionsWithinOneArray) {
    struct Case {
        int32_t srcPos, dstPos, count;
        std::vector<int32_t> expected;
    };
    const Case cases[] = {
        {0, 1, 4, {1, 1, 2, 3, 4}},  // towards higher indexes: from the end
        {1, 0, 4, {2, 3, 4, 5, 5}},  // towards lower indexes: from the front
        {2, 2, 3, {1, 2, 3, 4, 5}},
        {5, 0, 0, {1, 2, 3, 4, 5}},
        {0, 5, 0, {1, 2, 3, 4, 5}},
    };
    for (const Case& c : cases) {
        JSmartObject<int32_t> array = IntArray({1, 2, 3, 4, 5});
        JSystem::arraycopy(array, c.srcPos, array, c.dstPos, c.count);
        EXPECT_EQ(Contents(array), c.expected) << c.srcPos << "->" << c.dstPos;
    }
}

TEST(JSystemTest, ArrayCopyOfStringsSharesBuffersAndShiftsSafely) {
    JSmartObject<JString> array(JNewArray<JString>(4), 4);
    array[0] = JString("a");
    array[1] = JString("b");
    array[2] = JString("c");
    JSystem::arraycopy(array, 0, array, 1, 3);
    EXPECT_EQ(Units(array[1]), u"a");
    EXPECT_EQ(Units(array[3]), u"c");
    EXPECT_EQ(array[0].getBuffer(), array[1].getBuffer());
}

TEST(JSystemTest, RangesOutsideEitherArrayCopyNothing) {
    AssertCounter counter;
    JSmartObject<int32_t> src = IntArray({1, 2, 3});
    JSmartObject<int32_t> dst = IntArray({0, 0});
    JSystem::arraycopy(src, 1, dst, 0, 3);
    EXPECT_TRUE(counter.Logged(CheckSite("JSystem", 13)));
    JSystem::arraycopy(src, 0, dst, 1, 2);
    EXPECT_TRUE(counter.Logged(CheckSite("JSystem", 14)));
    JSystem::arraycopy(src, -1, dst, 0, 1);
    JSystem::arraycopy(src, 0, dst, 0, INT32_MAX);
    EXPECT_EQ(Contents(dst), (std::vector<int32_t>{0, 0}));
    EXPECT_EQ(counter.Count(), 6);
}

TEST(ClipStackTest, PopsInReverseOrderAndRefusesWhenEmpty) {
    ClipStack stack;
    CRect a;
    a.Set(1, 2, 3, 4);
    CRect b;
    b.Set(5, 6, 7, 8);
    stack.push(a);
    stack.push(b).width = 70;
    EXPECT_EQ(stack.pop().width, 70);
    EXPECT_EQ(stack.peek().x, 1);
    EXPECT_EQ(stack.pop().height, 4);
    EXPECT_EQ(stack.size(), 0);

    AssertCounter counter;
    const CRect none = stack.pop();
    EXPECT_GT(counter.Count(), 0);
    EXPECT_EQ(none.x, 0);
    EXPECT_EQ(none.width, 0);
    EXPECT_EQ(stack.size(), 0);
}

}  // namespace
