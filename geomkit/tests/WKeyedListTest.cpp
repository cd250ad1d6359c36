#include <gtest/gtest.h>

#include <climits>

#include "geomkit/WKeyedList.h"
#include "geomkit/WKeyedListIterator.h"

namespace {

struct Item {
    static int alive;
    explicit Item(int v) : value(v) { ++alive; }
    ~Item() { --alive; }
    int value;
};
int Item::alive = 0;

using Ptr = COXSPtr<Item>;
using List = WKeyedList<Ptr>;

Ptr Make(int v) {
    return Ptr(new Item(v));
}

// The values in list order.
std::vector<int> Values(const List& l) {
    std::vector<int> v;
    for (int i = 0; i < l.GetSize(); ++i)
        v.push_back(l.GetByIndex(i)->value);
    return v;
}

} // namespace

TEST(WKeyedList, KeysInUseAndTheFreeKeySearch) {
    List l;
    EXPECT_EQ(l.Add(Make(0), 5), 0);
    EXPECT_EQ(l.Add(Make(1), 5), -2); // in use, no search
    EXPECT_EQ(l.GetSize(), 1);
    EXPECT_EQ(l.Add(Make(1), 5, -1, 1), 1); // search: 6
    long key = 0;
    ASSERT_EQ(l.GetKeyAt(1, key), 1);
    EXPECT_EQ(key, 6);

    // The search wraps from the largest 32-bit key to the smallest.
    EXPECT_EQ(l.Add(Make(2), INT_MAX), 2);
    EXPECT_EQ(l.Add(Make(3), INT_MAX, -1, 1), 3);
    ASSERT_EQ(l.GetKeyAt(3, key), 1);
    EXPECT_EQ(key, INT_MIN);
    EXPECT_EQ(List::NextKey(INT_MAX), INT_MIN);
    EXPECT_EQ(l.GetByKey(INT_MIN)->value, 3);
    EXPECT_EQ(l.GetKeyAt(4, key), 0);
}

TEST(WKeyedList, PositionsAndTheStaleIndexCache) {
    List l;
    EXPECT_EQ(l.Add(Make(10), 1), 0);
    EXPECT_EQ(l.Add(Make(11), 2, 1), 1);  // position == size appends
    EXPECT_EQ(l.Add(Make(12), 3, 3), -1); // size + 1
    EXPECT_EQ(l.Add(Make(12), 3, -2), -1);
    EXPECT_FALSE(l.ExistKey(3));         // a refused insertion leaves no key behind
    EXPECT_EQ(l.Add(Make(12), 3, 0), 0); // insert in front
    EXPECT_EQ(Values(l), (std::vector<int>{12, 10, 11}));
    EXPECT_EQ(l.GetIndex(1), 1); // cache repaired
    EXPECT_EQ(l.GetIndex(2), 2);
    EXPECT_EQ(l.GetIndex(99), -1);
    EXPECT_TRUE(l.GetByKey(99).IsEmpty());
    EXPECT_TRUE(l.GetByIndex(3).IsEmpty());
    EXPECT_TRUE(l.GetByIndex(-1).IsEmpty());
}

TEST(WKeyedList, MoveClampsToTheList) {
    List l;
    for (int i = 0; i < 3; ++i)
        l.Add(Make(i), i);
    EXPECT_EQ(l.Move(0, -5), 1);
    EXPECT_EQ(Values(l), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(l.Move(1, 100), 1);
    EXPECT_EQ(Values(l), (std::vector<int>{0, 2, 1}));
    EXPECT_EQ(l.GetIndex(1), 2);
    EXPECT_EQ(l.GetIndex(2), 1);
    EXPECT_EQ(l.Move(3, 1), 0);
    EXPECT_EQ(l.Move(0, INT_MAX), 1); // no overflow
    EXPECT_EQ(Values(l), (std::vector<int>{2, 1, 0}));
}

TEST(WKeyedList, RemovalReleasesAndKeepsBucketNeighbours) {
    Item::alive = 0;
    {
        List l;
        // 0 and 272 share a bucket ((272 >> 4) % 17 == 0).
        l.Add(Make(0), 0);
        l.Add(Make(1), 272);
        l.Add(Make(2), -16);
        EXPECT_EQ(l.RemoveAt(3), 0);
        EXPECT_EQ(l.RemoveAt(0), 1);
        EXPECT_EQ(Item::alive, 2);
        EXPECT_FALSE(l.ExistKey(0));
        EXPECT_EQ(l.GetByKey(272)->value, 1);
        EXPECT_EQ(l.GetIndex(272), 0);
        l.RemoveByKey(12345); // absent: nothing
        l.RemoveByKey(-16);
        EXPECT_EQ(Values(l), (std::vector<int>{1}));
        EXPECT_EQ(l.Add(Make(3), 0), 1); // the removed key is free again

        l.Clear();
        EXPECT_TRUE(l.IsEmpty());
        EXPECT_EQ(Item::alive, 0);
        EXPECT_EQ(l.Add(Make(4), 272), 0); // the index is made again
        EXPECT_EQ(l.GetByKey(272)->value, 4);
        EXPECT_EQ(l.Append(Make(5)), 1);
        long key;
        EXPECT_EQ(l.GetKeyAt(1, key), 0); // appended without a key
    }
    EXPECT_EQ(Item::alive, 0);
}

TEST(WKeyedListIterator, WalksValuesAndKeys) {
    COXSPtr<List> list(new List);
    WKeyedListIterator<Ptr> empty(list);
    EXPECT_TRUE(empty.IsDone());

    for (int i = 0; i < 4; ++i)
        list->Add(Make(i * 10), 100 + i);
    WKeyedListIterator<Ptr> it(list);
    std::vector<int> seen;
    for (it.SetToFirst(); !it.IsDone(); it.Next())
        seen.push_back(it.GetCurrent()->value);
    EXPECT_EQ(seen, (std::vector<int>{0, 10, 20, 30}));
    EXPECT_TRUE(it.GetCurrent().IsEmpty());

    WKeyedListKeyIterator<Ptr, long> keys(list);
    keys.SetToLast();
    EXPECT_EQ(keys.GetCurrent(), 103);
    keys.Prev();
    EXPECT_EQ(keys.GetCurrent(), 102);

    // Removals during a walk: the walk ends when the position leaves the list.
    it.SetToFirst();
    it.Next();
    it.Next();
    list->RemoveAt(0);
    list->RemoveAt(0);
    EXPECT_TRUE(it.IsDone());
    it.Prev();
    EXPECT_EQ(it.GetCurrent()->value, 30);
    keys.SetToFirst();
    EXPECT_EQ(keys.GetCurrent(), 102);
}

TEST(WKeyedListIterator, KeepsTheListAlive) {
    Item::alive = 0;
    COXSPtr<WIterator<Ptr>> it;
    {
        COXSPtr<List> list(new List);
        list->Add(Make(1), 0);
        it = COXSPtr<WIterator<Ptr>>(new WKeyedListIterator<Ptr>(list));
    }
    EXPECT_EQ(Item::alive, 1);
    it->SetToFirst();
    EXPECT_EQ(it->GetCurrent()->value, 1);
    it.Release();
    EXPECT_EQ(Item::alive, 0);
}
