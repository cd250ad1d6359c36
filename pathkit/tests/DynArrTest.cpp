#include <algorithm>
#include <cstdint>
#include <random>
#include <type_traits>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "MemoryFailure.h"
#include "pathkit/DynArr.h"
#include "pathkit/ValueArrays.h"

namespace {

using IntEArr = EDynArr<int>;

int CompareInts(const int* a, const int* b) {
    return *a < *b ? -1 : *a > *b ? 1 : 0;
}

template <class Arr> std::vector<int> Contents(const Arr& a) {
    return std::vector<int>(a.begin(), a.end());
}

template <class Arr> void Fill(Arr& a, std::initializer_list<int> values) {
    for (int v : values)
        a.Append(v);
}

} // namespace

// Each element type has its own errors, shared by its array kinds; Eof is no RuntimeError.
static_assert(!std::is_same_v<intDynArr::LimitCheck, PTDynArr::LimitCheck>);
static_assert(std::is_same_v<IntEArr::LimitCheck, intDynArr::LimitCheck>);
static_assert(std::is_same_v<EClassDynArr<int>::RangeCheck, IntEArr::RangeCheck>);
static_assert(std::is_base_of_v<LimitCheckError, BBLDynArr::LimitCheck>);
static_assert(std::is_base_of_v<RangeCheckError, IntEArr::RangeCheck>);
static_assert(std::is_base_of_v<RuntimeError, NoMemory>);
static_assert(!std::is_base_of_v<RuntimeError, Eof>);
// No two arrays can own one buffer.
static_assert(!std::is_copy_constructible_v<intDynArr>);
static_assert(!std::is_assignable_v<intDynArr&, const intDynArr&>);

TEST(DynArr, StartsEmptyWithoutBuffer) {
    intDynArr a;
    EXPECT_EQ(a.Filled(), 0);
    EXPECT_EQ(a.Allocated(), 0);
    EXPECT_EQ(a.first(), nullptr);
    EXPECT_EQ(a.last(), nullptr);
    EXPECT_EQ(a.UnAppend(), nullptr);
    EXPECT_EQ(a.Prev(a.first()), nullptr);
    EXPECT_EQ(a.Next(a.first()), nullptr);
    EXPECT_EQ(&a.This(), &a);
}

TEST(DynArr, AppendGrowsByTheStep) {
    intDynArr a;
    a.Append(1);
    EXPECT_EQ(a.Allocated(), 50);
    intDynArr b(20, 0xFFFE);
    for (int i = 0; i < 21; ++i)
        b.Append(i);
    EXPECT_EQ(b.Allocated(), 40);
    EXPECT_EQ(*b.last(), 20);
    // A zero step still grows, one slot at a time.
    intDynArr c(0, 100);
    Fill(c, {1, 2, 3});
    EXPECT_EQ(Contents(c), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(c.Allocated(), 3);
    // Append() gives a zeroed slot.
    *a.Append() = 5;
    EXPECT_EQ(*a.Append(), 0);
    EXPECT_EQ(Contents(a), (std::vector<int>{1, 5, 0}));
}

TEST(DynArr, GrowReportsSlotsAddedAndStopsAtTheLimit) {
    intDynArr a(10, 25);
    EXPECT_EQ(a.Grow(8), 8);
    EXPECT_EQ(a.Grow(8), 0); // room already
    Fill(a, {1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_EQ(a.Grow(30), 17); // capped at the limit
    EXPECT_EQ(a.Allocated(), 25);
    EXPECT_EQ(a.Grow(17), 0);
    EXPECT_EQ(Contents(a), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(DynArr, LibraryLimitIs65534) {
    intDynArr a;
    for (int i = 0; i < 65534; ++i)
        a.Append(i);
    EXPECT_EQ(a.Filled(), 65534);
    EXPECT_TRUE(a.IsFull());
    std::uint16_t capacity = a.Allocated();
    EXPECT_THROW(a.Append(-1), intDynArr::LimitCheck);
    EXPECT_THROW(a.Append(), intDynArr::LimitCheck);
    EXPECT_THROW(a.Grow(1), intDynArr::LimitCheck);
    EXPECT_EQ(a.Filled(), 65534);
    EXPECT_EQ(a.Allocated(), capacity);
    EXPECT_EQ(*a.last(), 65533);
}

TEST(DynArr, LimitCheckIsCaughtThroughItsBases) {
    PTDynArr a(1, 1);
    a.Append();
    try {
        a.Append();
        FAIL() << "no exception";
    } catch (const LimitCheckError&) {
    }
    try {
        a.Append();
        FAIL() << "no exception";
    } catch (const RuntimeError&) {
    }
    EXPECT_EQ(a.Filled(), 1);
}

TEST(DynArr, AppendingAnArrayCopiesAllAndRespectsTheLimit) {
    intDynArr a(5, 10), b;
    Fill(a, {1, 2, 3});
    Fill(b, {4, 5});
    a += b;
    EXPECT_EQ(Contents(a), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(Contents(b), (std::vector<int>{4, 5}));
    a += a; // from its own buffer, which may move while growing
    EXPECT_EQ(Contents(a), (std::vector<int>{1, 2, 3, 4, 5, 1, 2, 3, 4, 5}));
    intDynArr one;
    one.Append(9);
    EXPECT_THROW(a += one, intDynArr::LimitCheck);
    EXPECT_EQ(a.Filled(), 10);
    intDynArr empty;
    a += empty;
    EXPECT_EQ(a.Filled(), 10);
}

TEST(DynArr, UnAppendResetAndResetToKeepTheBuffer) {
    intDynArr a;
    Fill(a, {1, 2, 3, 4});
    int* last = a.UnAppend();
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(*last, 4);
    EXPECT_EQ(a.Filled(), 3);
    a.ResetTo(10);
    EXPECT_EQ(a.Filled(), 3);
    a.ResetTo(1);
    EXPECT_EQ(Contents(a), std::vector<int>{1});
    a.Reset();
    EXPECT_EQ(a.Filled(), 0);
    EXPECT_EQ(a.Allocated(), 50);
}

TEST(DynArr, PrevAndNextWrapAround) {
    intDynArr a;
    Fill(a, {10, 20, 30});
    EXPECT_EQ(a.Prev(a.first()), a.last());
    EXPECT_EQ(a.Next(a.last()), a.first());
    EXPECT_EQ(*a.Next(a.first()), 20);
    EXPECT_EQ(*a.Prev(a.last()), 20);
    EXPECT_EQ(a.Prev(0), 2);
    EXPECT_EQ(a.Next(2), 0);
    EXPECT_EQ(a.Next(0), 1);
    EXPECT_EQ(a.Prev(2), 1);
    const intDynArr& c = a;
    EXPECT_EQ(c.Prev(c.first()), c.last());
    EXPECT_EQ(c.Prev(0), 2);
}

TEST(DynArr, CompactTrimsAndFreesWhenEmpty) {
    intDynArr a;
    Fill(a, {1, 2, 3});
    a.Compact();
    EXPECT_EQ(a.Allocated(), 3);
    EXPECT_EQ(Contents(a), (std::vector<int>{1, 2, 3}));
    a.Reset();
    a.Compact();
    EXPECT_EQ(a.Allocated(), 0);
    EXPECT_EQ(a.first(), nullptr);
    intDynArr never;
    never.Compact();
    EXPECT_EQ(never.Allocated(), 0);
}

TEST(DynArr, DestroyFreesEmptyForgets) {
    intDynArr a;
    Fill(a, {1, 2});
    a.Destroy();
    EXPECT_EQ(a.Filled(), 0);
    EXPECT_EQ(a.Allocated(), 0);
    EXPECT_EQ(a.first(), nullptr);
    a.Append(3); // usable again

    int* kept = a.first();
    a.Empty();
    EXPECT_EQ(a.first(), nullptr);
    EXPECT_EQ(a.Filled(), 0);
    EXPECT_EQ(kept[0], 3); // not freed: its owner frees it
    SafeFree(kept);
}

TEST(DynArr, SortIsStable) {
    struct Keyed {
        int key, order;
    };
    DynArr<Keyed> a;
    std::vector<Keyed> expected;
    std::mt19937 random(7);
    for (int i = 0; i < 5000; ++i) {
        Keyed k{int(random() % 40), i};
        a.Append(k);
        expected.push_back(k);
    }
    auto byKey = [](const Keyed* x, const Keyed* y) { return x->key - y->key; };
    a.Sort(byKey);
    std::stable_sort(expected.begin(), expected.end(),
                     [](const Keyed& x, const Keyed& y) { return x.key < y.key; });
    ASSERT_EQ(a.Filled(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(a[std::uint16_t(i)].key, expected[i].key) << i;
        ASSERT_EQ(a[std::uint16_t(i)].order, expected[i].order) << i;
    }
}

TEST(DynArr, SortOrdersEveryShape) {
    std::vector<std::vector<int>> inputs = {{}, {1}, {2, 1}, {1, 2, 3}, {3, 2, 1}, {5, 5, 5}};
    std::vector<int> big;
    for (int i = 0; i < 1000; ++i)
        big.push_back(1000 - i);
    inputs.push_back(big);
    for (int i = 0; i < 1000; ++i)
        big[i] = (i * 7919) % 1001;
    inputs.push_back(big);
    for (const auto& input : inputs) {
        intDynArr a;
        for (int v : input)
            a.Append(v);
        a.Sort(CompareInts);
        std::vector<int> sorted = input;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(Contents(a), sorted);
    }
}

TEST(DynArr, SearchFollowsTheBinarySteps) {
    struct Case {
        std::vector<int> values;
        int key;
        std::uint32_t result;
        std::uint16_t pos;
    } cases[] = {
        {{}, 5, 0xFFFFFFFF, 0},
        {{10}, 10, 0, 0},
        {{10}, 5, 0xFFFFFFFF, 0},
        {{10}, 15, 0xFFFFFFFF, 0},
        {{10, 20}, 10, 0, 0},
        {{10, 20}, 20, 1, 1},
        {{10, 20}, 15, 0xFFFFFFFF, 0},
        {{10, 20}, 25, 0xFFFFFFFF, 0},
        {{10, 20, 30}, 10, 0, 0},
        {{10, 20, 30}, 20, 1, 1},
        {{10, 20, 30}, 30, 2, 2},
        {{10, 20, 30}, 25, 0xFFFFFFFF, 1},
        {{10, 20, 30}, 5, 0xFFFFFFFF, 0},
        {{10, 20, 30}, 35, 0xFFFFFFFF, 1},
        {{10, 20, 30, 40, 50, 60, 70}, 70, 6, 6},
        {{10, 20, 30, 40, 50, 60, 70}, 45, 0xFFFFFFFF, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "key " << c.key << " in " << c.values.size());
        intDynArr a;
        for (int v : c.values)
            a.Append(v);
        std::uint16_t pos = 0xBEEF;
        EXPECT_EQ(a.Search(&c.key, CompareInts, &pos), c.result);
        EXPECT_EQ(pos, c.pos);
    }
}

TEST(EDynArr, InsertAtRange) {
    IntEArr a;
    int one = 1, values[] = {7, 8};
    a.InsertAt(0, &one, 1);
    a.InsertAt(1, values, 2); // at count: appends
    EXPECT_EQ(Contents(a), (std::vector<int>{1, 7, 8}));
    a.InsertAt(1, values + 1, 1);
    EXPECT_EQ(Contents(a), (std::vector<int>{1, 8, 7, 8}));
    EXPECT_THROW(a.InsertAt(5, values, 1), IntEArr::RangeCheck);
    a.InsertAt(9, values, 0); // nothing to insert
    a.Add(values, 2);
    EXPECT_EQ(Contents(a), (std::vector<int>{1, 8, 7, 8, 7, 8}));
}

TEST(EDynArr, InsertAtFromTheArraysOwnElements) {
    IntEArr a(2, 0xFFFE);
    Fill(a, {1, 2});             // full: the insertion reallocates
    a.InsertAt(0, a.first(), 2); // source moves with the tail
    EXPECT_EQ(Contents(a), (std::vector<int>{1, 2, 1, 2}));
    a.InsertAt(1, a.first() + 2, 2); // source lies behind the gap
    EXPECT_EQ(Contents(a), (std::vector<int>{1, 1, 2, 2, 1, 2}));
    a.Append(a[5]);
    EXPECT_EQ(*a.last(), 2);
}

TEST(EDynArr, InsertAtBeyondTheLimitChangesNothing) {
    IntEArr a(4, 4);
    Fill(a, {1, 2, 3});
    int values[] = {8, 9};
    EXPECT_THROW(a.InsertAt(1, values, 2), IntEArr::LimitCheck);
    EXPECT_EQ(Contents(a), (std::vector<int>{1, 2, 3}));
    a.InsertAt(1, values, 1);
    EXPECT_EQ(Contents(a), (std::vector<int>{1, 8, 2, 3}));
}

TEST(EDynArr, DeleteAtRange) {
    IntEArr empty;
    empty.DeleteAt(0, 0);
    EXPECT_THROW(empty.DeleteAt(0, 1), IntEArr::RangeCheck);

    IntEArr a;
    Fill(a, {1, 2, 3, 4, 5});
    EXPECT_THROW(a.DeleteAt(3, 3), IntEArr::RangeCheck);
    EXPECT_THROW(a.DeleteAt(0xFFFF, 2), IntEArr::RangeCheck);
    EXPECT_EQ(a.Filled(), 5);
    a.DeleteAt(1, 2);
    EXPECT_EQ(Contents(a), (std::vector<int>{1, 4, 5}));
    a.DeleteAt(1, 2);
    EXPECT_EQ(Contents(a), std::vector<int>{1});
}

TEST(EDynArr, ReverseAndRotate) {
    IntEArr a;
    Fill(a, {1, 2, 3, 4, 5});
    a.Reverse(1, 3);
    EXPECT_EQ(Contents(a), (std::vector<int>{1, 4, 3, 2, 5}));
    a.Reverse(3, 3);
    a.Reverse(4, 0);
    EXPECT_EQ(Contents(a), (std::vector<int>{1, 4, 3, 2, 5}));
    EXPECT_THROW(a.Reverse(2, 5), IntEArr::RangeCheck);

    struct Case {
        int n;
        std::vector<int> expected;
    } cases[] = {
        {0, {1, 2, 3}}, {1, {2, 3, 1}},  {2, {3, 1, 2}},  {3, {1, 2, 3}},
        {4, {2, 3, 1}}, {-1, {3, 1, 2}}, {-3, {1, 2, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.n);
        IntEArr r;
        Fill(r, {1, 2, 3});
        r.Rotate(c.n);
        EXPECT_EQ(Contents(r), c.expected);
    }
    IntEArr none;
    none.Rotate(3);
    EXPECT_EQ(none.Filled(), 0);
}

TEST(EDynArr, UniqueSortsAndKeepsTheFirstOfEachRun) {
    IntEArr a;
    Fill(a, {3, 1, 3, 2, 1});
    a.Unique(CompareInts);
    EXPECT_EQ(Contents(a), (std::vector<int>{1, 2, 3}));

    // Equal keys: the first in the (stable) order survives.
    struct Keyed {
        int key, tag;
    };
    EDynArr<Keyed> k;
    for (Keyed e : {Keyed{2, 0}, Keyed{1, 1}, Keyed{2, 2}, Keyed{1, 3}, Keyed{3, 4}})
        k.Append(e);
    k.Unique([](const Keyed* x, const Keyed* y) { return x->key - y->key; });
    ASSERT_EQ(k.Filled(), 3);
    EXPECT_EQ(k[0].tag, 1);
    EXPECT_EQ(k[1].tag, 0);
    EXPECT_EQ(k[2].tag, 4);

    IntEArr one;
    one.Append(4);
    one.Unique(CompareInts);
    EXPECT_EQ(Contents(one), std::vector<int>{4});
}

TEST(DynArrTransfer, AssignmentMovesTheBufferAndEmptiesTheSource) {
    intDynArr target(5, 100), source;
    Fill(target, {9, 9});
    Fill(source, {1, 2, 3});
    target = source; // target's old buffer is freed
    EXPECT_EQ(Contents(target), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(target.Allocated(), 50);
    EXPECT_EQ(source.Filled(), 0);
    EXPECT_EQ(source.Allocated(), 0);
    EXPECT_EQ(source.first(), nullptr);
    source.Append(4); // both remain usable and are freed once each
    target.Append(5);

    target.Transfer(target);
    EXPECT_EQ(target.Filled(), 4);

    intDynArr moved(std::move(target));
    EXPECT_EQ(Contents(moved), (std::vector<int>{1, 2, 3, 5}));
    EXPECT_EQ(target.first(), nullptr);
    IntEArr e, f;
    Fill(f, {6});
    e = std::move(f);
    EXPECT_EQ(Contents(e), std::vector<int>{6});
    EXPECT_EQ(f.Allocated(), 0);
}

class DynArrNoMemory : public testing::Test {
protected:
    MemoryFailureScope refusals;
};

TEST_F(DynArrNoMemory, FirstAllocationLeavesTheArrayEmpty) {
    intDynArr a;
    refusals.Refuse(1);
    EXPECT_THROW(a.Append(1), NoMemory);
    EXPECT_EQ(a.Filled(), 0);
    EXPECT_EQ(a.Allocated(), 0);
    a.Append(1);
    EXPECT_EQ(Contents(a), std::vector<int>{1});
}

TEST_F(DynArrNoMemory, FailedGrowthKeepsTheElements) {
    IntEArr a(2, 0xFFFE);
    Fill(a, {1, 2});
    int* before = a.first();
    int more[] = {3, 4};
    refusals.Refuse(1);
    EXPECT_THROW(a.Append(3), NoMemory);
    refusals.Refuse(1);
    EXPECT_THROW(a.InsertAt(0, more, 2), NoMemory);
    refusals.Refuse(1);
    EXPECT_THROW(a.InsertAt(0, a.first(), 1), NoMemory);
    refusals.Refuse(1);
    EXPECT_THROW(a += a, NoMemory);
    EXPECT_EQ(a.first(), before);
    EXPECT_EQ(a.Allocated(), 2);
    EXPECT_EQ(Contents(a), (std::vector<int>{1, 2}));
}

TEST_F(DynArrNoMemory, FailedCompactKeepsTheBuffer) {
    intDynArr a;
    Fill(a, {1, 2, 3});
    refusals.Refuse(1);
    EXPECT_THROW(a.Compact(), NoMemory);
    EXPECT_EQ(a.Allocated(), 50);
    EXPECT_EQ(Contents(a), (std::vector<int>{1, 2, 3}));
}
