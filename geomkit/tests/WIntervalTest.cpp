#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "GeomTestUtil.h"
#include "geomkit/WIntervalSet.h"

namespace {

struct Piece {
    double lo, hi;
    bool inside;
    bool operator==(const Piece& p) const { return lo == p.lo && hi == p.hi && inside == p.inside; }
};

std::ostream& operator<<(std::ostream& os, const Piece& p) {
    return os << (p.inside ? "in[" : "out[") << p.lo << ", " << p.hi << "]";
}

std::vector<Piece> Pieces(const WIntervalSet& s) {
    std::vector<Piece> v;
    for (int i = 0; i < s.GetCount(); ++i) {
        COXSPtr<WInterval> iv = s.GetAt(i);
        v.push_back({iv->Lower(), iv->Upper(), iv->IsInside() != 0});
    }
    return v;
}

COXSPtr<WInterval> Make(double a, double b, int outside) {
    COXSPtr<WInterval> i(new WInterval);
    i->Initialize(a, b, outside);
    return i;
}

std::vector<Piece> Intersect(const COXSPtr<WInterval>& a, const COXSPtr<WInterval>& b) {
    COXSPtr<WIntervalSet> out(new WIntervalSet);
    a->Intersect(b, out);
    return Pieces(*out);
}

} // namespace

TEST(WInterval, ConstructionOrdersTheBounds) {
    WInterval i(0.7, 0.2);
    EXPECT_EQ(i.Lower(), 0.2);
    EXPECT_EQ(i.Upper(), 0.7);
    EXPECT_EQ(i.GetFlags(), 0); // not empty, outside
    i.Initialize(0.7, 0.2, 0);
    EXPECT_EQ(i.Lower(), 0.2);
    EXPECT_TRUE(i.IsInside());
    EXPECT_DOUBLE_EQ(i.Dist(), 0.5);
    EXPECT_DOUBLE_EQ(i.Middle(), 0.45);
    i.Invert();
    EXPECT_FALSE(i.IsInside());
}

TEST(WInterval, Norm) {
    WInterval i;
    i.Initialize(-0.5, 0.5, 0);
    EXPECT_EQ(i.Norm(), 0);
    EXPECT_EQ(i.Lower(), 0);
    i.Initialize(1.5, 2, 0);
    EXPECT_EQ(i.Norm(), 1);
    EXPECT_TRUE(i.IsEmpty());
    i.Initialize(std::nan(""), 0.5, 0);
    EXPECT_EQ(i.Norm(), 1);
    EXPECT_TRUE(i.IsEmpty());
}

TEST(WInterval, IntersectionTable) {
    struct Case {
        double a0, a1;
        int aOut;
        double b0, b1;
        int bOut;
        std::vector<Piece> expected;
    } cases[] = {
        {0.2, 0.5, 0, 0.5, 0.9, 0, {{0.5, 0.5, true}}}, // a single point is kept
        {0.2, 0.4, 0, 0.5, 0.9, 0, {}},
        {0.2, 0.8, 0, 0.4, 0.6, 1, {{0.2, 0.4, true}, {0.6, 0.8, true}}},
        {0.4, 0.6, 1, 0.2, 0.8, 0, {{0.2, 0.4, true}, {0.6, 0.8, true}}},
        {0.2, 0.4, 1, 0.6, 0.8, 1, {{0.2, 0.8, false}, {0.4, 0.6, true}}},
        {0.6, 0.8, 1, 0.2, 0.4, 1, {{0.2, 0.8, false}, {0.4, 0.6, true}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Intersect(Make(c.a0, c.a1, c.aOut), Make(c.b0, c.b1, c.bOut)), c.expected)
            << c.a0 << ".." << c.a1 << " with " << c.b0 << ".." << c.b1;
}

TEST(WInterval, IntersectionWithEmptyOrNull) {
    COXSPtr<WInterval> a = Make(0, 1, 0), empty = Make(0, 1, 0);
    empty->Initialize(2, 3, 0);
    empty->Norm();
    EXPECT_TRUE(Intersect(a, empty).empty());
    COXSPtr<WIntervalSet> none;
    EXPECT_TRUE(ThrowsMemoryException([&] { a->Intersect(COXSPtr<WInterval>(), none); }));
    EXPECT_FALSE(ThrowsMemoryException([&] { empty->Intersect(COXSPtr<WInterval>(), none); }));
}

TEST(WIntervalSet, NormTurnsEntriesIntoInsidePiecesOfTheUnitRange) {
    struct Case {
        double lo, hi;
        int outside;
        std::vector<Piece> expected;
    } cases[] = {
        {0.3, 0.6, 1, {{0.6, 1, true}, {0, 0.3, true}}}, // second piece appended
        {-1, 2, 1, {}},
        {1.5, 2, 1, {{0, 1, true}}},
        {1.5, 2, 0, {}},
        {-0.5, 0.3, 1, {{0.3, 1, true}}},
        {0.4, 1.5, 1, {{0, 0.4, true}}},
        {-0.5, 0.5, 0, {{0, 0.5, true}}},
    };
    for (const Case& c : cases) {
        WIntervalSet s;
        s.Fill(c.lo, c.hi, c.outside);
        s.Norm();
        EXPECT_EQ(Pieces(s), c.expected) << c.lo << ".." << c.hi << " outside " << c.outside;
    }
}

TEST(WIntervalSet, SharedIntervalsAndErase) {
    COXSPtr<WIntervalSet> a(new WIntervalSet), b(new WIntervalSet);
    a->Fill(0.3, 0.6, 1);
    a->Fill(0.1, 0.2, 0);
    b->Add(a);
    a->Norm(); // changes the shared object seen through b
    EXPECT_EQ(b->GetAt(0)->Lower(), 0.6);
    EXPECT_TRUE(b->GetAt(0)->IsInside());
    EXPECT_EQ(b->GetCount(), 2);

    a->Erase(-1);
    a->Erase(a->GetCount());
    EXPECT_EQ(a->GetCount(), 3);
    a->Erase(0);
    EXPECT_EQ(Pieces(*a), (std::vector<Piece>{{0.1, 0.2, true}, {0, 0.3, true}}));
    a->Invert();
    EXPECT_FALSE(a->GetAt(0)->IsInside());
    a->Reset();
    EXPECT_EQ(a->GetCount(), 0);
    b->Add(b); // adding itself appends its own entries once
    EXPECT_EQ(b->GetCount(), 4);
}

TEST(WIntervalSet, SetIntersections) {
    COXSPtr<WIntervalSet> a(new WIntervalSet), b(new WIntervalSet);
    a->Fill(0, 0.5, 0);
    a->Fill(0.6, 1, 0);
    b->Fill(0.4, 0.7, 0);
    a->Intersect(b);
    EXPECT_EQ(Pieces(*a), (std::vector<Piece>{{0.4, 0.5, true}, {0.6, 0.7, true}}));

    COXSPtr<WIntervalSet> out(new WIntervalSet);
    b->Intersect(Make(0.5, 0.6, 1), out);
    EXPECT_EQ(Pieces(*out), (std::vector<Piece>{{0.4, 0.5, true}, {0.6, 0.7, true}}));

    WIntervalSet copy(*a);
    EXPECT_EQ(copy.GetAt(0), a->GetAt(0)); // the copy shares the intervals
}
