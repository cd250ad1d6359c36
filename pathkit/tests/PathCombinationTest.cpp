#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

#include "PathTestUtil.h"
#include "pathkit/AbortHandler.h"
#include "pathkit/Fragment.h"
#include "pathkit/FragmentArray.h"
#include "pathkit/Path.h"
#include "pathkit/PathBreak.h"
#include "pathkit/PathCombination.h"

namespace {

using pathtest::Polygon;
using pathtest::Square;
constexpr double Pi = std::numbers::pi;
// A power of two: crossings of edges with whole coordinates come out exact in the integer units
// of the crossing search (4 / accuracy per millimetre).
constexpr float Acc = 1.0f / 256;
// Where curves cross, the cut points lie within the accuracy of the true crossings; the area
// then differs by less than the accuracy times the radius of the circles used here (10).
constexpr double CurveAreaTol = Acc * 10;

// ---- builders

void Rect(Path& path, float x0, float y0, float x1, float y1) {
    Polygon(path, {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
}

// A full circle of four cubics per quadrant half (eight in all), counter-clockwise unless
// clockwise; the handle length 4/3 tan(pi/16) keeps the radius within 5e-6 of r.
void Circle(Path& path, double cx, double cy, double r, bool clockwise = false) {
    const int n = 8;
    double k = 4.0 / 3.0 * std::tan(Pi / (2 * n)) * r;
    double s = clockwise ? -1 : 1;
    auto at = [&](int i, double& x, double& y) {
        double t = s * 2 * Pi * i / n;
        x = cx + r * std::cos(t);
        y = cy + r * std::sin(t);
    };
    double x0, y0;
    at(0, x0, y0);
    path.MoveTo(floatPoint(float(x0), float(y0)));
    for (int i = 0; i < n; ++i) {
        double t0 = s * 2 * Pi * i / n, t1 = s * 2 * Pi * (i + 1) / n;
        double ax, ay, bx, by;
        at(i, ax, ay);
        at(i + 1, bx, by);
        if (i + 1 == n) bx = x0, by = y0;
        path.Append(float(ax - s * k * std::sin(t0)), float(ay + s * k * std::cos(t0)),
                    float(bx + s * k * std::sin(t1)), float(by - s * k * std::cos(t1)), float(bx),
                    float(by));
    }
    path.ClosePath();
}

// ---- measuring

struct P2 {
    double x, y;
};

P2 CubicAt(const PathMember& m, double t) {
    double u = 1 - t;
    double w0 = u * u * u, w1 = 3 * t * u * u, w2 = 3 * t * t * u, w3 = t * t * t;
    return {w0 * m.start.x + w1 * m.ctrl1.x + w2 * m.ctrl2.x + w3 * m.end.x,
            w0 * m.start.y + w1 * m.ctrl1.y + w2 * m.ctrl2.y + w3 * m.end.y};
}

// Signed area of one contour, curves flattened finely: positive counter-clockwise (y up).
double Area(const SubPath& sp) {
    std::vector<P2> pts;
    for (const PathMember& m : sp.members) {
        if (pts.empty()) pts.push_back({m.start.x, m.start.y});
        if (!m.IsCurve()) {
            pts.push_back({m.end.x, m.end.y});
            continue;
        }
        for (int i = 1; i <= 256; ++i)
            pts.push_back(CubicAt(m, i / 256.0));
    }
    double a = 0;
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const P2 &p = pts[i], &q = pts[(i + 1) % pts.size()];
        a += p.x * q.y - q.x * p.y;
    }
    return a / 2;
}

// Net area of a prepared path: outer contours count positive, holes negative.
double Area(const Path& path) {
    double a = 0;
    for (const SubPath& sp : path.subPaths)
        a += Area(sp);
    return a;
}

// Every contour closed, outer ones counter-clockwise and holes clockwise.
::testing::AssertionResult WellOriented(const Path& path) {
    for (const SubPath& sp : path.subPaths) {
        if (!sp.IsClosed())
            return ::testing::AssertionFailure() << "open contour " << pathtest::Describe(sp);
        double a = Area(sp);
        bool hole = sp.depth & 1;
        if (hole ? a >= 0 : a <= 0)
            return ::testing::AssertionFailure()
                   << (hole ? "hole" : "outer") << " of area " << a << " at depth " << sp.depth;
    }
    return ::testing::AssertionSuccess();
}

int Holes(const Path& path) {
    int n = 0;
    for (const SubPath& sp : path.subPaths)
        n += sp.IsHole();
    return n;
}

// Area of the part of a disc of radius r within |y| <= h (h <= r).
double DiscStrip(double r, double h) {
    return 2 * (h * std::sqrt(r * r - h * h) + r * r * std::asin(h / r));
}

// Area common to two discs of radius r whose centres lie d apart (d < 2r).
double Lens(double r, double d) {
    return 2 * r * r * std::acos(d / (2 * r)) - d / 2 * std::sqrt(4 * r * r - d * d);
}

struct Disc {
    double x, y, r;
};

// Area of a union of discs by exact chord lengths on fine scan lines (midpoint rule).
double UnionOfDiscs(const std::vector<Disc>& discs) {
    double lo = 1e300, hi = -1e300;
    for (const Disc& d : discs)
        lo = std::min(lo, d.y - d.r), hi = std::max(hi, d.y + d.r);
    const int rows = 40000;
    double dy = (hi - lo) / rows, area = 0;
    for (int i = 0; i < rows; ++i) {
        double y = lo + (i + 0.5) * dy;
        std::vector<std::pair<double, double>> spans;
        for (const Disc& d : discs) {
            double h = d.r * d.r - (y - d.y) * (y - d.y);
            if (h > 0) spans.push_back({d.x - std::sqrt(h), d.x + std::sqrt(h)});
        }
        std::sort(spans.begin(), spans.end());
        double end = -1e300;
        for (auto [a, b] : spans) {
            if (a > end) {
                area += (b - a) * dy;
                end = b;
            } else if (b > end) {
                area += (b - end) * dy;
                end = b;
            }
        }
    }
    return area;
}

// Installs itself as DefAbortHandler for its lifetime; throws from the poll numbered throwAt on.
class CountingHandler : public AbortHandler {
public:
    explicit CountingHandler(int throwAt = 0) : previous(DefAbortHandler), throwAt(throwAt) {
        DefAbortHandler = this;
    }
    ~CountingHandler() override { DefAbortHandler = previous; }
    void SetStage(const char*, float, float) override {}
    void SetProgress(float) override {}
    void CheckAbort() override {
        if (++polls >= throwAt && throwAt > 0) throw std::runtime_error("cancelled");
    }
    int polls = 0;

private:
    AbortHandler* previous;
    int throwAt;
};

// ---- two squares sharing an edge

TEST(PathCombination, SquaresSharingAnEdgeMergeIntoOneRectangle) {
    // The second square in both orientations and with another first point: the shared edge
    // runs against the first square's either way once the inputs are prepared.
    struct Case {
        const char* name;
        bool clockwise;
        bool rotated;
    } cases[] = {{"ccw", false, false}, {"cw", true, false}, {"ccw rotated", false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Path a(Acc), b(Acc), out(Acc);
        Square(a, 0, 0, 10, false);
        if (c.rotated) {
            Polygon(b, {{20, 10}, {10, 10}, {10, 0}, {20, 0}});
        } else {
            Square(b, 10, 0, 10, c.clockwise);
        }
        EXPECT_EQ(SafeMerge(a, b, out), 0);
        ASSERT_EQ(out.subPaths.Filled(), 1) << pathtest::Describe(out);
        EXPECT_NEAR(Area(out), 200, 1e-4);
        EXPECT_TRUE(WellOriented(out));
        // No member runs along the dropped edge x = 10.
        for (const PathMember& m : out.subPaths[0].members)
            EXPECT_FALSE(m.start.x == 10 && m.end.x == 10) << pathtest::Describe(out);
        floatBBox box = out.subPaths[0].ctrlBox;
        EXPECT_EQ(box.left, 0);
        EXPECT_EQ(box.right, 20);
        EXPECT_EQ(box.bottom, 0);
        EXPECT_EQ(box.top, 10);
    }
}

TEST(PathCombination, PlainOperationsOnSquaresSharingAnEdge) {
    Path a(Acc), b(Acc), out(Acc);
    Square(a, 0, 0, 10, false);
    Square(b, 10, 0, 10, false);
    EXPECT_EQ(Merge(a, b, &out), 0);
    ASSERT_EQ(out.subPaths.Filled(), 1);
    EXPECT_NEAR(std::fabs(Area(out)), 200, 1e-4);

    // Sharing only an edge, the squares have no area in common, and neither covers the other.
    Path s(Acc);
    EXPECT_EQ(Section(a, b, &s), 0);
    EXPECT_NEAR(Area(s), 0, 1e-6);
    Path d(Acc);
    EXPECT_EQ(Subtract(a, b, &d), 0);
    d.Prepare();
    ASSERT_EQ(d.subPaths.Filled(), 1);
    EXPECT_NEAR(Area(d), 100, 1e-4);
    EXPECT_EQ(d.subPaths[0].ctrlBox.left, 10);
}

// ---- letter O and a bar

TEST(PathCombination, LetterOMinusBar) {
    const double R = 10, r = 6, h = 2;
    const double ring = Pi * (R * R - r * r);
    const double stripOfRing = DiscStrip(R, h) - DiscStrip(r, h);
    struct Case {
        const char* name;
        float barLeft, barRight;
        double area;
        int contours;
        int holes;
    } cases[] = {
        // Across both sides: the ring falls into an upper and a lower half.
        {"through", -12, 12, ring - stripOfRing, 2, 0},
        // Through the right side only: the hole opens into the outside, a letter C.
        {"right side", 0, 12, ring - stripOfRing / 2, 1, 0},
        // Only inside the hole: the letter stays as it is.
        {"in the hole", -1, 1, ring, 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Path o(Acc), bar(Acc), out(Acc);
        Circle(o, 0, 0, R);
        Circle(o, 0, 0, r, true);
        Rect(bar, c.barLeft, float(-h), c.barRight, float(h));
        EXPECT_EQ(SafeSubtract(bar, o, out), 0);
        EXPECT_EQ(out.subPaths.Filled(), c.contours) << pathtest::Describe(out);
        EXPECT_EQ(Holes(out), c.holes);
        EXPECT_NEAR(Area(out), c.area, CurveAreaTol);
        EXPECT_TRUE(WellOriented(out));
    }
}

TEST(PathCombination, LetterOMergedWithBarKeepsTheHolesOutsideTheBar) {
    const double R = 10, r = 6, h = 2;
    Path o(Acc), bar(Acc), out(Acc);
    Circle(o, 0, 0, R);
    Circle(o, 0, 0, r, true);
    Rect(bar, -12, float(-h), 12, float(h));
    EXPECT_EQ(SafeMerge(o, bar, out), 0);
    // The bar splits the hole into two.
    EXPECT_EQ(out.subPaths.Filled(), 3) << pathtest::Describe(out);
    EXPECT_EQ(Holes(out), 2);
    // The ring, plus the bar (24 x 4) less the part of it on the ring.
    double expected = Pi * (R * R - r * r) + 24 * 2 * h - (DiscStrip(R, h) - DiscStrip(r, h));
    EXPECT_NEAR(Area(out), expected, CurveAreaTol);
    EXPECT_TRUE(WellOriented(out));
}

// ---- circles

TEST(PathCombination, SectionOfOverlappingCirclesIsTheLens) {
    // At the usual and at an eight times finer accuracy, the error following it.
    for (float accuracy : {Acc, Acc / 8}) {
        for (double d : {4.0, 12.0, 19.0}) {
            SCOPED_TRACE(testing::Message() << "accuracy " << accuracy << ", d " << d);
            Path a(accuracy), b(accuracy), out(accuracy);
            Circle(a, 0, 0, 10);
            Circle(b, d, 0, 10);
            EXPECT_EQ(SafeSection(a, b, out), 0);
            ASSERT_EQ(out.subPaths.Filled(), 1) << pathtest::Describe(out);
            EXPECT_NEAR(Area(out), Lens(10, d), accuracy * 10);
            EXPECT_TRUE(WellOriented(out));
            // The lens is as wide as the overlap.
            EXPECT_NEAR(out.subPaths[0].accBox.left, d - 10, accuracy);
            EXPECT_NEAR(out.subPaths[0].accBox.right, 10, accuracy);
        }
    }
}

TEST(PathCombination, MergeAndSubtractOfOverlappingCircles) {
    const double d = 12, lens = Lens(10, d), disc = Pi * 100;
    Path a(Acc), b(Acc);
    Circle(a, 0, 0, 10);
    Circle(b, d, 0, 10);
    Path m(Acc), s(Acc);
    EXPECT_EQ(SafeMerge(a, b, m), 0);
    ASSERT_EQ(m.subPaths.Filled(), 1);
    EXPECT_NEAR(Area(m), 2 * disc - lens, CurveAreaTol);
    EXPECT_TRUE(WellOriented(m));
    EXPECT_EQ(SafeSubtract(a, b, s), 0);
    ASSERT_EQ(s.subPaths.Filled(), 1);
    EXPECT_NEAR(Area(s), disc - lens, CurveAreaTol);
    EXPECT_TRUE(WellOriented(s));
    // What a takes away from b lies on b's right.
    EXPECT_NEAR(s.subPaths[0].accBox.right, d + 10, Acc);
}

TEST(PathCombination, SumToOfThreeOverlappingCirclesGivesOneOutline) {
    std::vector<Disc> discs = {{0, 0, 10}, {12, 0, 10}, {6, 9, 10}};
    Path source(Acc), out(Acc);
    for (const Disc& d : discs)
        Circle(source, d.x, d.y, d.r, &d == &discs[1]);
    EXPECT_EQ(SumTo(source, out), 0);
    EXPECT_EQ(source.subPaths.Filled(), 0);
    ASSERT_EQ(out.subPaths.Filled(), 1) << pathtest::Describe(out);
    EXPECT_NEAR(Area(out), UnionOfDiscs(discs), CurveAreaTol);
    EXPECT_TRUE(WellOriented(out));
    EXPECT_EQ(out.Count(PM_OVERLAYED | PM_SELECTED | PM_CONTAINED | PM_INSERTED, 0),
              out.subPaths[0].members.Filled());
}

TEST(PathCombination, SumToKeepsEveryContourWhenAMergeKeepsFailing) {
    // An open line apart from the circles never closes into a contour, so every merge of its
    // group fails, down to the finest accuracy; the circles merged after it must still be
    // there.
    std::vector<Disc> discs = {{0, 0, 10}, {12, 0, 10}, {6, 9, 10}};
    Path source(Acc), out(Acc);
    Circle(source, 0, 0, 10);
    Circle(source, 12, 0, 10);
    source.MoveTo(floatPoint(-15, 25));
    source.LineTo(floatPoint(-12, 30));
    source.ClosePath();
    Circle(source, 6, 9, 10);
    EXPECT_EQ(SumTo(source, out), -1);
    double closedArea = 0;
    int open = 0;
    for (const SubPath& sp : out.subPaths) {
        if (sp.IsClosed()) {
            closedArea += Area(sp);
        } else {
            ++open;
        }
    }
    EXPECT_EQ(open, 1);
    EXPECT_NEAR(closedArea, UnionOfDiscs(discs), CurveAreaTol);
}

TEST(PathCombination, SumToFillsEveryContour) {
    // A ring and a separate square: the hole is taken as an area of its own and filled.
    Path source(Acc), out(Acc);
    Circle(source, 0, 0, 10);
    Circle(source, 0, 0, 6, true);
    Square(source, 30, 0, 5, true);
    EXPECT_EQ(SumTo(source, out), 0);
    EXPECT_EQ(out.subPaths.Filled(), 2);
    EXPECT_EQ(Holes(out), 0);
    EXPECT_NEAR(Area(out), Pi * 100 + 25, CurveAreaTol);
    EXPECT_TRUE(WellOriented(out));

    Path empty(Acc);
    EXPECT_EQ(SumTo(empty, out), 0);
    EXPECT_EQ(out.subPaths.Filled(), 2); // left alone
}

// ---- covering, touching and coincident boundaries

TEST(PathCombination, SubtractingACoveringPathEmptiesTheTarget) {
    struct Case {
        const char* name;
        void (*cover)(Path&);
    } cases[] = {
        {"larger", [](Path& p) { Rect(p, -5, -5, 15, 15); }},
        {"sharing three edges", [](Path& p) { Rect(p, 0, 0, 10, 15); }},
        {"identical", [](Path& p) { Square(p, 0, 0, 10, true); }},
        {"disc around", [](Path& p) { Circle(p, 5, 5, 8); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Path cover(Acc), target(Acc), out(Acc);
        c.cover(cover);
        Square(target, 0, 0, 10, false);
        EXPECT_EQ(SafeSubtract(cover, target, out), 0);
        EXPECT_EQ(out.subPaths.Filled(), 0) << pathtest::Describe(out);
        Path plain(Acc);
        EXPECT_EQ(Subtract(cover, target, &plain), 0);
        EXPECT_NEAR(Area(plain), 0, 1e-6) << pathtest::Describe(plain);
    }
}

TEST(PathCombination, SquaresTouchingAtACorner) {
    Path a(Acc), b(Acc);
    Square(a, 0, 0, 10, false);
    Square(b, 10, 10, 10, false);
    Path m(Acc), s(Acc), d(Acc);
    EXPECT_EQ(SafeMerge(a, b, m), 0);
    EXPECT_EQ(m.subPaths.Filled(), 2);
    EXPECT_NEAR(Area(m), 200, 1e-4);
    EXPECT_TRUE(WellOriented(m));
    EXPECT_EQ(SafeSection(a, b, s), 0);
    EXPECT_NEAR(Area(s), 0, 1e-6);
    EXPECT_EQ(SafeSubtract(a, b, d), 0);
    ASSERT_EQ(d.subPaths.Filled(), 1);
    EXPECT_NEAR(Area(d), 100, 1e-4);
    EXPECT_EQ(d.subPaths[0].ctrlBox.left, 10);
}

TEST(PathCombination, InnerContourTouchingTheOuterAtOnePoint) {
    // A diamond inside the square whose right corner lies on the square's right edge.
    Path square(Acc), diamond(Acc);
    Square(square, 0, 0, 10, false);
    Polygon(diamond, {{10, 5}, {6, 9}, {2, 5}, {6, 1}});
    Path m(Acc), s(Acc), d(Acc);
    EXPECT_EQ(SafeMerge(diamond, square, m), 0);
    EXPECT_NEAR(Area(m), 100, 1e-4);
    EXPECT_EQ(SafeSection(diamond, square, s), 0);
    EXPECT_NEAR(Area(s), 32, 1e-4);
    EXPECT_EQ(SafeSubtract(diamond, square, d), 0);
    EXPECT_NEAR(Area(d), 68, 1e-4);
    EXPECT_EQ(Holes(d), 1) << pathtest::Describe(d);
    for (Path* p : {&m, &s, &d})
        EXPECT_TRUE(WellOriented(*p));
}

TEST(PathCombination, PartlyCoincidentEdges) {
    // Overlapping squares whose top and bottom edges lie partly on each other.
    Path a(Acc), b(Acc);
    Square(a, 0, 0, 10, false);
    Rect(b, 5, 0, 15, 10);
    Path m(Acc), s(Acc), d(Acc);
    EXPECT_EQ(SafeMerge(a, b, m), 0);
    ASSERT_EQ(m.subPaths.Filled(), 1);
    EXPECT_NEAR(Area(m), 150, 1e-4);
    EXPECT_EQ(SafeSection(a, b, s), 0);
    ASSERT_EQ(s.subPaths.Filled(), 1);
    EXPECT_NEAR(Area(s), 50, 1e-4);
    EXPECT_EQ(s.subPaths[0].ctrlBox.left, 5);
    EXPECT_EQ(s.subPaths[0].ctrlBox.right, 10);
    EXPECT_EQ(SafeSubtract(a, b, d), 0);
    ASSERT_EQ(d.subPaths.Filled(), 1);
    EXPECT_NEAR(Area(d), 50, 1e-4);
    EXPECT_EQ(d.subPaths[0].ctrlBox.left, 10);
    for (Path* p : {&m, &s, &d})
        EXPECT_TRUE(WellOriented(*p));
}

TEST(PathCombination, IdenticalOperands) {
    // Two equal paths, and one path given as both operands.
    for (bool same : {false, true}) {
        SCOPED_TRACE(same ? "same object" : "equal copies");
        Path a(Acc), other(Acc);
        Circle(a, 0, 0, 10);
        Circle(other, 0, 0, 10);
        Path& b = same ? a : other;
        Path m(Acc), s(Acc), d(Acc);
        EXPECT_EQ(SafeMerge(a, b, m), 0);
        EXPECT_EQ(m.subPaths.Filled(), 1);
        EXPECT_NEAR(Area(m), Pi * 100, CurveAreaTol);
        EXPECT_EQ(SafeSection(a, b, s), 0);
        EXPECT_EQ(s.subPaths.Filled(), 1);
        EXPECT_NEAR(Area(s), Pi * 100, CurveAreaTol);
        EXPECT_EQ(SafeSubtract(a, b, d), 0);
        EXPECT_EQ(d.subPaths.Filled(), 0);
    }
}

TEST(PathCombination, ResultIntoAnOperand) {
    Path a(Acc), b(Acc);
    Square(a, 0, 0, 10, false);
    Rect(b, 5, 5, 15, 15);
    EXPECT_EQ(SafeMerge(a, b, a), 0);
    ASSERT_EQ(a.subPaths.Filled(), 1);
    EXPECT_NEAR(Area(a), 175, 1e-4);

    Path c(Acc), e(Acc);
    Square(c, 0, 0, 10, false);
    Rect(e, 5, 5, 15, 15);
    EXPECT_EQ(Subtract(c, e, &e), 0);
    e.Prepare();
    ASSERT_EQ(e.subPaths.Filled(), 1);
    EXPECT_NEAR(Area(e), 75, 1e-4);

    // Disjoint inputs take the shortcut; out being the subtrahend still ends as b.
    Path f(Acc), g(Acc);
    Square(f, 0, 0, 10, false);
    Square(g, 20, 0, 10, false);
    EXPECT_EQ(SafeSubtract(f, g, f), 0);
    ASSERT_EQ(f.subPaths.Filled(), 1);
    EXPECT_EQ(f.subPaths[0].ctrlBox.left, 20);
    Path h(Acc);
    Square(h, 40, 0, 10, false);
    EXPECT_EQ(SafeMerge(h, g, g), 0);
    EXPECT_EQ(g.subPaths.Filled(), 2);
    EXPECT_NEAR(Area(g), 200, 1e-4);
}

// ---- disjoint and empty inputs

TEST(PathCombination, DisjointInputs) {
    Path a(Acc), b(Acc);
    Square(a, 0, 0, 10, false);
    Square(b, 20, 0, 10, true);
    std::string da = pathtest::Describe(a);

    Path m(Acc);
    EXPECT_EQ(SafeMerge(a, b, m), 0);
    ASSERT_EQ(m.subPaths.Filled(), 2);
    EXPECT_NEAR(Area(m), 200, 1e-4);
    EXPECT_TRUE(WellOriented(m));
    EXPECT_EQ(pathtest::Describe(a), da); // copied, not combined

    Path plain(Acc);
    EXPECT_EQ(Merge(a, b, &plain), 0);
    EXPECT_EQ(plain.subPaths.Filled(), 2);

    Path s(Acc);
    Square(s, 100, 100, 1, false);
    std::string before = pathtest::Describe(s);
    EXPECT_EQ(SafeSection(a, b, s), 0);
    EXPECT_EQ(pathtest::Describe(s), before); // left alone

    Path d(Acc);
    EXPECT_EQ(SafeSubtract(a, b, d), 0);
    ASSERT_EQ(d.subPaths.Filled(), 1);
    EXPECT_NEAR(Area(d), 100, 1e-4);
    EXPECT_EQ(d.subPaths[0].ctrlBox.left, 20);
}

TEST(PathCombination, EmptyOperands) {
    Path empty(Acc), sq(Acc);
    Square(sq, 0, 0, 10, true);

    Path s(Acc);
    Square(s, 50, 50, 1, false);
    EXPECT_EQ(Section(empty, sq, &s), 0);
    EXPECT_EQ(Section(sq, empty, &s), 0);
    EXPECT_EQ(s.subPaths.Filled(), 1); // nothing built
    EXPECT_EQ(SafeSection(empty, sq, s), 0);
    EXPECT_EQ(s.subPaths.Filled(), 0);

    // a empty: a closed copy of b; b empty: out emptied.
    Path d(Acc);
    sq.MoveTo(floatPoint(20, 0)); // an unfinished contour is finished first
    sq.LineTo(floatPoint(25, 0));
    sq.LineTo(floatPoint(25, 5));
    sq.LineTo(floatPoint(20, 0));
    EXPECT_EQ(Subtract(empty, sq, &d), 0);
    EXPECT_EQ(d.subPaths.Filled(), 2);
    EXPECT_EQ(Subtract(sq, empty, &d), 0);
    EXPECT_EQ(d.subPaths.Filled(), 0);

    // Stale marks on the one path there do not drop any of it.
    sq.SetPMState(PM_OVERLAYED | PM_CONTAINED, 0x11, 0, 0);
    Path m(Acc);
    EXPECT_EQ(Merge(sq, empty, &m), 0);
    m.Prepare();
    EXPECT_EQ(m.subPaths.Filled(), 2);
    EXPECT_NEAR(Area(m), 100 + 12.5, 1e-4);

    Path both(Acc);
    EXPECT_EQ(SafeMerge(empty, both, both), 0);
    EXPECT_EQ(both.subPaths.Filled(), 0);
}

// ---- containment

TEST(PathCombination, MarkContainmentOfFragments) {
    Path a(Acc), b(Acc);
    Square(a, 0, 0, 10, false);
    Rect(b, 5, -5, 15, 5);
    a.Prepare();
    b.Prepare();
    BreakAtIntersections(a, b, 1);
    EXPECT_EQ(MarkContainment(a, b), 0);
    EXPECT_EQ(MarkContainment(b, a), 0);
    // a's boundary inside b: from (5, 0) over (10, 0) to (10, 5), length 10; b's inside a:
    // (10, 5) over (5, 5) to (5, 0), length 10.
    auto containedLength = [](Path& p) {
        double len = 0;
        for (const SubPath& sp : p.subPaths)
            for (const PathMember& m : sp.members)
                if (m.IsContained()) len += std::hypot(m.end.x - m.start.x, m.end.y - m.start.y);
        return len;
    };
    EXPECT_NEAR(containedLength(a), 10, 1e-5);
    EXPECT_NEAR(containedLength(b), 10, 1e-5);

    // A run lying on the other path at every sample point is decided member by member.
    Path c(Acc);
    Polygon(c, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    FragmentArray runs;
    runs.FillByInsertions(c);
    ASSERT_EQ(runs.Filled(), 1);
    Path square(Acc);
    Square(square, 0, 0, 10, false);
    square.Prepare();
    EXPECT_EQ(MarkContainment(runs[0], square, 0.04f), -1);
    // Once known to lie on the other path, the run needs no decision (and no finer accuracy).
    runs[0].SetPMState(PM_OVERLAYED, 0x1);
    EXPECT_EQ(MarkContainment(runs[0], square, 0.04f), 0);
    float before = square.accuracy;
    EXPECT_EQ(MarkContainment(c, square), 0);
    EXPECT_EQ(square.accuracy, before);
    // Without the overlay marks the run stays undecided down to the finest accuracy; the other
    // path gets its own accuracy back.
    c.SetPMState(PM_OVERLAYED, 0, 0, 0);
    EXPECT_EQ(MarkContainment(c, square), -1);
    EXPECT_EQ(square.accuracy, before);
    EXPECT_EQ(square.subPaths[0].accuracy, before);
}

// ---- accuracy retry

// Two triangles on either side of a common edge whose far corners lie 0.03 apart: closer than
// the first working accuracy (0.05, from the extent of 100), so one path is cut at the other's
// corner while the other snaps to the first's, and the pieces do not close; at 0.005 they do.
void NearCorners(Path& a, Path& b) {
    Polygon(a, {{0, 0}, {100.03f, 0}, {50, 80}});
    Polygon(b, {{0, 0}, {50, -60}, {100, 0}});
}

TEST(PathCombination, AssemblyFailingAtTheFirstAccuracyIsRetriedFiner) {
    {
        Path a(0.05f), b(0.05f), out(0.05f);
        NearCorners(a, b);
        EXPECT_NE(Merge(a, b, &out), 0);
    }
    const double areaA = 0.5 * 100.03 * 80, areaB = 0.5 * 100 * 60;
    using Op = int (*)(Path&, Path&, Path&);
    struct Case {
        const char* name;
        Op op;
        int contours;
        double area;
    } cases[] = {
        {"merge", SafeMerge, 1, areaA + areaB},
        {"section", SafeSection, 0, 0},
        {"subtract", SafeSubtract, 1, areaB},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Path a(0.05f), b(0.05f), out(0.05f);
        NearCorners(a, b);
        CountingHandler handler;
        EXPECT_EQ(c.op(a, b, out), 0);
        EXPECT_EQ(handler.polls, 2); // one poll per attempt
        EXPECT_EQ(out.subPaths.Filled(), c.contours) << pathtest::Describe(out);
        EXPECT_NEAR(Area(out), c.area, 1e-2);
        EXPECT_TRUE(WellOriented(out));
        EXPECT_EQ(out.subPaths.Filled() ? out.subPaths[0].accuracy : 0.05f, 0.05f);
    }

    // SumTo retries the merge the same way.
    Path source(0.05f), out(0.05f);
    NearCorners(source, source);
    CountingHandler handler;
    EXPECT_EQ(SumTo(source, out), 0);
    EXPECT_EQ(handler.polls, 2);
    ASSERT_EQ(out.subPaths.Filled(), 1) << pathtest::Describe(out);
    EXPECT_NEAR(Area(out), areaA + areaB, 1e-2);
}

// ---- abort handler

TEST(PathCombination, AbortLeavesBothPathsUsable) {
    Path a(Acc), b(Acc), out(Acc);
    Circle(a, 0, 0, 10);
    Circle(b, 12, 0, 10);
    Square(out, 50, 0, 1, false);
    {
        CountingHandler handler(1);
        EXPECT_THROW(SafeMerge(a, b, out), std::runtime_error);
        EXPECT_THROW(Subtract(a, b, &out), std::runtime_error);
    }
    EXPECT_EQ(out.subPaths.Filled(), 1);
    EXPECT_EQ(a.subPaths.Filled(), 1);
    EXPECT_EQ(b.subPaths.Filled(), 1);
    Path again(Acc);
    EXPECT_EQ(SafeSection(a, b, again), 0);
    EXPECT_NEAR(Area(again), Lens(10, 12), CurveAreaTol);
}

TEST(PathCombination, AbortDuringSumToGivesTheSourceBack) {
    Path source(Acc), out(Acc);
    Circle(source, 0, 0, 10);
    Circle(source, 12, 0, 10);
    Circle(source, 6, 9, 10);
    {
        CountingHandler handler(2);
        EXPECT_THROW(SumTo(source, out), std::runtime_error);
        EXPECT_EQ(handler.polls, 2);
    }
    EXPECT_EQ(source.subPaths.Filled(), 3);
    EXPECT_EQ(out.subPaths.Filled(), 0);
    EXPECT_EQ(SumTo(source, out), 0);
    EXPECT_EQ(out.subPaths.Filled(), 1);
}

// ---- bad input

TEST(PathCombination, BadInputNeitherCrashesNorHangs) {
    static constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    static constexpr float inf = std::numeric_limits<float>::infinity();
    struct Case {
        const char* name;
        void (*build)(Path&);
    } cases[] = {
        {"NaN corner",
         [](Path& p) {
             Polygon(p, {{0, 0}, {10, 0}, {nan, 10}, {0, 10}});
         }},
        {"all NaN",
         [](Path& p) {
             Polygon(p, {{nan, nan}, {nan, nan}, {nan, nan}});
         }},
        {"infinite",
         [](Path& p) {
             Polygon(p, {{0, 0}, {inf, 0}, {inf, inf}, {0, 10}});
         }},
        {"open",
         [](Path& p) {
             p.MoveTo(floatPoint(2, 2));
             p.LineTo(floatPoint(8, 8));
             p.LineTo(floatPoint(8, 2));
             p.ClosePath();
         }},
        {"point",
         [](Path& p) {
             Polygon(p, {{5, 5}, {5, 5}});
         }},
        {"self-crossing",
         [](Path& p) {
             Polygon(p, {{0, 0}, {10, 10}, {10, 0}, {0, 10}});
         }},
        {"huge", [](Path& p) { Square(p, -1e30f, -1e30f, 2e30f, false); }},
        {"tiny", [](Path& p) { Square(p, 1, 1, 1e-30f, false); }},
    };
    using Op = int (*)(Path&, Path&, Path&);
    for (const Case& c : cases) {
        for (Op op : {Op(SafeMerge), Op(SafeSection), Op(SafeSubtract)}) {
            SCOPED_TRACE(c.name);
            Path a(Acc), b(Acc), out(Acc);
            c.build(a);
            Square(b, 0, 0, 10, false);
            op(a, b, out);
            op(b, a, out);
        }
        Path source(Acc), out(Acc);
        c.build(source);
        Square(source, 5, 5, 10, false);
        SumTo(source, out);
    }
}

} // namespace

// Many runs crossing one contour of b inside another contour of b that overlaps it: the
// inside test does not simply change where they cross, so neither may their states (b is not
// normalised: every member keeps the state the inside test gives its middle). Also run with
// every carried state checked (ctest PathCombination.CarriedStatesChecked).
TEST(PathCombination, CrossingsInsideOverlappingContoursKeepTheirState) {
    Path b(Acc);
    Polygon(b, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    Polygon(b, {{5, 0}, {15, 0}, {15, 10}, {5, 10}});
    // A zigzag across x = 5 between y = 1 and 9, closed to the left of b.
    Path a(Acc);
    a.MoveTo({3, 1});
    for (int i = 1; i <= 40; ++i)
        a.LineTo({i % 2 ? 7.f : 3.f, 1 + 0.2f * float(i)});
    a.LineTo({-5, 9});
    a.LineTo({-5, 1});
    a.LineTo({3, 1});
    a.ClosePath();
    Path out(Acc);
    Section(a, b, &out);
    int members = 0;
    for (SubPath& sp : a.subPaths)
        for (PathMember& m : sp.members) {
            floatPoint mid;
            m.GetPointAt(0x40000000u, mid);
            EXPECT_EQ(m.IsContained(), bool(b.QuickInside(mid) & 1)) << mid.x << ", " << mid.y;
            ++members;
        }
    EXPECT_GE(members, 84); // every zigzag member cut at x = 5
}
