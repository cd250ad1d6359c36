#include <cstdint>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "MemoryFailure.h"
#include "pathkit/DynArr.h"

namespace {

// An element that owns a heap block from its constructor on; copies are deep.
class Owned {
public:
    Owned() : value(new int(0)) { ++live; }
    explicit Owned(int v) : value(new int(v)) { ++live; }
    Owned(const Owned& other) : value(new int(*other.value)) {
        if (failCopiesAfter >= 0 && failCopiesAfter-- == 0) {
            delete value;
            throw NoMemory();
        }
        ++live;
    }
    Owned(Owned&& other) noexcept : value(std::exchange(other.value, nullptr)) { ++live; }
    Owned& operator=(Owned&& other) noexcept {
        delete value;
        value = std::exchange(other.value, nullptr);
        return *this;
    }
    ~Owned() {
        delete value;
        --live;
    }

    int Value() const { return value ? *value : -1; }
    const int* Block() const { return value; }

    static int live;            // constructed and not yet destroyed
    static int failCopiesAfter; // copies left before one throws; -1: never

private:
    int* value;
};

int Owned::live = 0;
int Owned::failCopiesAfter = -1;

using OwnedArr = EClassDynArr<Owned>;

int CompareOwned(const Owned* a, const Owned* b) {
    return a->Value() - b->Value();
}

std::vector<int> Values(const OwnedArr& a) {
    std::vector<int> v;
    for (const Owned& e : a)
        v.push_back(e.Value());
    return v;
}

void Fill(OwnedArr& a, std::initializer_list<int> values) {
    for (int v : values)
        *a.Append() = Owned(v);
}

class EClassDynArrTest : public testing::Test {
protected:
    void SetUp() override {
        Owned::live = 0;
        Owned::failCopiesAfter = -1;
    }
    // Every element constructed was destroyed exactly once (ASan reports the rest).
    void TearDown() override { EXPECT_EQ(Owned::live, 0); }
};

} // namespace

TEST_F(EClassDynArrTest, ConstructsOnAppendAndDestroysOnDeletion) {
    {
        OwnedArr a(2, 0xFFFE);
        Owned* slot = a.Append();
        EXPECT_EQ(slot->Value(), 0);
        EXPECT_EQ(Owned::live, 1);
        Fill(a, {1, 2, 3, 4, 5}); // grows several times: elements move as raw bytes
        EXPECT_EQ(Values(a), (std::vector<int>{0, 1, 2, 3, 4, 5}));
        EXPECT_EQ(Owned::live, 6);

        a.DeleteAt(1, 2);
        EXPECT_EQ(Values(a), (std::vector<int>{0, 3, 4, 5}));
        EXPECT_EQ(Owned::live, 4);
        EXPECT_THROW(a.DeleteAt(2, 3), OwnedArr::RangeCheck);
        EXPECT_EQ(Owned::live, 4);

        a.ResetTo(3);
        EXPECT_EQ(Owned::live, 3);
        a.Compact();
        EXPECT_EQ(Values(a), (std::vector<int>{0, 3, 4}));
        a.Reset();
        EXPECT_EQ(Owned::live, 0);
        Fill(a, {7, 8});
        a.Destroy();
        EXPECT_EQ(Owned::live, 0);
        Fill(a, {9});
    } // the destructor destroys what is left
}

TEST_F(EClassDynArrTest, CopiesInAreDeep) {
    OwnedArr a;
    Owned seven(7);
    a.Append(seven);
    EXPECT_NE(a[0].Block(), seven.Block());
    Owned pair[] = {Owned(1), Owned(2)};
    a.InsertAt(0, pair, 2);
    a.Append(a[0]); // from its own buffer, across a reallocation when full
    a.InsertAt(1, a.first() + 2, 2);
    EXPECT_EQ(Values(a), (std::vector<int>{1, 7, 1, 2, 7, 1}));
    OwnedArr b;
    b += a;
    b += b;
    EXPECT_EQ(b.Filled(), 12);
    EXPECT_NE(b[0].Block(), a[0].Block());
    EXPECT_NE(b[6].Block(), b[0].Block());
}

TEST_F(EClassDynArrTest, FailedCopyLeavesTheArrayUnchanged) {
    OwnedArr a;
    Fill(a, {1, 2, 3});
    Owned source[] = {Owned(8), Owned(9), Owned(10)};
    int before = Owned::live;
    Owned::failCopiesAfter = 1; // the second copy throws
    EXPECT_THROW(a.InsertAt(1, source, 3), NoMemory);
    EXPECT_EQ(Values(a), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(Owned::live, before);

    Owned::failCopiesAfter = 1;
    EXPECT_THROW(a.InsertAt(1, a.first(), 3), NoMemory); // staged copy
    Owned::failCopiesAfter = 2;
    EXPECT_THROW(a += a, NoMemory);
    EXPECT_EQ(Values(a), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(Owned::live, before);
}

TEST_F(EClassDynArrTest, FailedAllocationLeavesTheArrayUnchanged) {
    MemoryFailureScope refusals;
    OwnedArr a(3, 0xFFFE);
    Fill(a, {1, 2, 3});
    refusals.Refuse(1);
    EXPECT_THROW(a.Append(), NoMemory);
    refusals.Refuse(1);
    EXPECT_THROW(a.InsertAt(0, a.first(), 2), NoMemory);
    refusals.Refuse(1, 1);
    EXPECT_THROW(a.InsertAt(0, a.first(), 2), NoMemory); // staged, then growth refused
    EXPECT_EQ(Values(a), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(Owned::live, 3);
}

TEST_F(EClassDynArrTest, ReorderingMovesOwnersWithoutCopying) {
    OwnedArr a;
    Fill(a, {3, 1, 3, 2, 1, 5, 4});
    const int* blockOfFive = a[5].Block();
    a.Rotate(2);
    EXPECT_EQ(Values(a), (std::vector<int>{3, 2, 1, 5, 4, 3, 1}));
    a.Reverse(0, 6);
    a.Sort(CompareOwned);
    EXPECT_EQ(Values(a), (std::vector<int>{1, 1, 2, 3, 3, 4, 5}));
    EXPECT_EQ(a[6].Block(), blockOfFive);
    EXPECT_EQ(Owned::live, 7);
    a.Unique(CompareOwned); // drops the duplicates' blocks
    EXPECT_EQ(Values(a), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(Owned::live, 5);
}

TEST_F(EClassDynArrTest, ReleaseEmptiesElementsButKeepsTheCount) {
    OwnedArr a;
    Fill(a, {1, 2, 3});
    a.release(1, 10);
    EXPECT_EQ(a.Filled(), 3);
    EXPECT_EQ(Values(a), (std::vector<int>{1, 0, 0}));
    EXPECT_EQ(Owned::live, 3);
}

TEST_F(EClassDynArrTest, UnAppendHandsTheElementOver) {
    OwnedArr a;
    Fill(a, {1, 2});
    Owned* last = a.UnAppend();
    ASSERT_NE(last, nullptr);
    Owned taken(std::move(*last));
    EXPECT_EQ(taken.Value(), 2);
    EXPECT_EQ(a.Filled(), 1);
    // The slot's moved-from element is never destroyed; it owns nothing.
    --Owned::live;
}

TEST_F(EClassDynArrTest, TransferThenDestroyBothFreesEachBlockOnce) {
    OwnedArr target, source;
    Fill(target, {9, 9, 9});
    Fill(source, {1, 2, 3});
    target = source; // the target's own elements are destroyed first
    EXPECT_EQ(Values(target), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(source.Filled(), 0);
    EXPECT_EQ(source.Allocated(), 0);
    EXPECT_EQ(Owned::live, 3);
    source.Destroy();
    Fill(source, {4});

    OwnedArr moved(std::move(target));
    EXPECT_EQ(Values(moved), (std::vector<int>{1, 2, 3}));
    target.Destroy();
    source.Transfer(moved);
    EXPECT_EQ(Values(source), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(Owned::live, 3);
}

TEST_F(EClassDynArrTest, ArraysOfArraysTransferWholesale) {
    // Elements that are arrays themselves, as sub-paths hold member arrays.
    {
        EClassDynArr<OwnedArr> outer(1, 0xFFFE);
        for (int i = 0; i < 4; ++i)
            Fill(*outer.Append(), {i, i + 10});
        EXPECT_EQ(Owned::live, 8);
        EClassDynArr<OwnedArr> other;
        other = outer;
        EXPECT_EQ(outer.Filled(), 0);
        EXPECT_EQ(Values(other[3]), (std::vector<int>{3, 13}));
        other.DeleteAt(0, 1);
        other.Rotate(1);
        EXPECT_EQ(Values(other[2]), (std::vector<int>{1, 11}));
        EXPECT_EQ(Owned::live, 6);
        *outer.Append() = std::move(other[0]);
        EXPECT_EQ(other[0].Filled(), 0);
    }
    EXPECT_EQ(Owned::live, 0);
}
