// Text lines: the record, lengths and tabs, alignment, baselines open, closed and curved,
// transforms, duplicates, fitting and the one-walk layout of long lines.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "LetteringTestSupport.h"
#include "ObjectArchive.h"
#include "pathkit/PathMember.h"
#include "text/BaselineGeometry.h"
#include "text/FontCache.h"

namespace {

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
constexpr double Pi = 3.14159265358979323846;

// A character with a width and a gap of its own, no outline.
CCharacter* Sized(std::uint16_t code, float width, float gap = 0) {
    auto* ch = new CCharacter;
    ch->m_nCode = code;
    ch->m_fWidth = width;
    ch->m_style.size = 10;
    ch->m_style.charSpacing = gap / 10;
    return ch;
}

floatPoint Origin(CTextLine& line, int index, int caret) {
    floatTMatrix m;
    line.GetCharMatrix(index, caret ? nullptr : line.GetChar(index), m, caret);
    floatPoint p(0, 0);
    m.Transform(p.x, p.y);
    return p;
}

SubPath SubPathOf(Path& p) {
    p.ClosePath();
    return SubPath(p.subPaths[0]);
}

// An arc about the origin from angle a0 to a1 in cubics of 1/32 turn with the handles of
// least radial error (4/3 tan(sweep / 4) of the radius), at the program's accuracy of 0.01.
SubPath CircleArc(double r, double a0, double a1) {
    const int n = int(std::ceil(std::fabs(a1 - a0) / (Pi / 16) - 1e-9));
    const double t = (a1 - a0) / n, h = 4.0 / 3 * std::tan(t / 4) * r;
    Path p;
    p.MoveTo({float(r * std::cos(a0)), float(r * std::sin(a0))});
    for (int i = 0; i < n; ++i) {
        const double u = a0 + i * t, v = u + t;
        p.CurveTo(
            {float(r * std::cos(u) - h * std::sin(u)), float(r * std::sin(u) + h * std::cos(u))},
            {float(r * std::cos(v) + h * std::sin(v)), float(r * std::sin(v) - h * std::cos(v))},
            {float(r * std::cos(v)), float(r * std::sin(v))});
    }
    SubPath sp = SubPathOf(p);
    sp.SetAccuracy(0.01f);
    return sp;
}

class TextLineTest : public LetteringTest {
protected:
    CFontCache cache_;
};

TEST_F(TextLineTest, RecordOfAFreeLineAndOlderRecords) {
    CTextLine line(10, 20, nullptr, 0, 0);
    line.m_fPitch = 35;
    line.m_nAlign = 1;
    line.m_fAnchor = 5;
    line.m_fRadius = 60;
    line.m_nArcSide = -1;
    line.m_bAutoKerning = 0;
    line.m_bCustomKerning = 1;
    line.m_bMirrored = 1;
    line.m_bAutoBLShift = 1;
    const Bytes stored = StoreObj([&](CArchive& ar) { line.Serialize(ar); });
    ByteWriter baseline;
    FreeBaseline(baseline, 10, 20);
    ASSERT_EQ(61u, baseline.bytes.size());
    ByteWriter record;
    record.u16(0).u16(4).append(baseline.bytes); // no characters, schema 4
    const Bytes expected = LineFields(record, 1, 35, 5, 60, 0xFF, 0, 1, 1, 1).bytes;
    EXPECT_EQ(expected, stored);

    // Older records: what they lack takes the initial values, not the tool's.
    CTextLine::CurrentAutoBLShift = 1;
    const std::size_t schemaAt = 2;
    struct Case {
        WORD schema;
        std::size_t cut; // bytes the older record lacks at its end
        BYTE mirrored, autoShift;
        int leftAligned; // with auto kerning set
    };
    for (const Case& c :
         {Case{1, 2, 0, 0, 0}, Case{2, 1, 1, 0, 0}, Case{3, 1, 1, 0, 1}, Case{4, 0, 1, 1, 1}}) {
        Bytes old(expected.begin(), expected.end() - std::ptrdiff_t(c.cut));
        old[schemaAt] = BYTE(c.schema);
        old[schemaAt + 2 + 61 + 14] = 1; // auto kerning
        CTextLine loaded;
        LoadObj(loaded, old);
        EXPECT_EQ(c.schema, loaded.m_nSchema);
        EXPECT_EQ(c.mirrored, loaded.m_bMirrored) << c.schema;
        EXPECT_EQ(c.autoShift, loaded.m_bAutoBLShift) << c.schema;
        EXPECT_EQ(c.leftAligned, loaded.LeftAlignsGlyphs()) << c.schema;
        EXPECT_EQ(60, loaded.m_fRadius);
        // Stored again, the line reopens placed as it was: below 3 it stays below 3.
        const Bytes again = StoreObj([&](CArchive& ar) { loaded.Serialize(ar); });
        CTextLine reopened;
        LoadObj(reopened, again);
        EXPECT_EQ(c.leftAligned, reopened.LeftAlignsGlyphs()) << c.schema;
        EXPECT_EQ(c.schema < 3 ? 2 : 4, reopened.m_nSchema);
        EXPECT_EQ(again, StoreObj([&](CArchive& ar) { reopened.Serialize(ar); })) << c.schema;
    }
    Bytes newer = expected;
    newer[schemaAt] = 5;
    CTextLine refused;
    EXPECT_EQ(CArchiveException::badSchema, ArchiveCause([&] { LoadObj(refused, newer); }));

    // An empty baseline becomes a free line's segment at the origin.
    ByteWriter empty;
    empty.u16(0).u16(4).u16(0).f32(0.01f).u16(0); // no members
    for (int k = 0; k < 8; ++k)
        empty.f32(0); // two boxes
    empty.u16(0).u8(0);
    LineFields(empty, 0, 35, 0, 0, 0, 0, 0, 0, 0);
    CTextLine repaired;
    LoadObj(repaired, empty.bytes);
    ASSERT_EQ(1, repaired.m_baseline.members.Filled());
    EXPECT_FLOAT_EQ(0.1f, repaired.m_baseline.members[0].end.x);

    // A line holds characters only.
    const Bytes foreign = ByteWriter().u16(1).newClass("CPathObj", 0).bytes;
    CTextLine wrong;
    EXPECT_EQ(CArchiveException::badClass, ArchiveCause([&] { LoadObj(wrong, foreign); }));
}

TEST_F(TextLineTest, LengthsTabsAndAlignment) {
    CTextLine line(0, 0, nullptr, 0, 0);
    EXPECT_EQ(0, line.GetLength());
    line.m_children.Add(Sized('a', 10, 1));
    line.m_children.Add(Sized('b', 5, 1));
    EXPECT_FLOAT_EQ(16, line.GetLength()); // the last gap is not counted

    struct Tab {
        float before, tab;
        float length;
    };
    // A tab ends on a multiple of its own width; one without width snaps nothing.
    for (const Tab& t : {Tab{13, 8, 18}, Tab{16, 8, 26}, Tab{13, 0, 15}}) {
        CTextLine tabs(0, 0, nullptr, 0, 0);
        tabs.m_children.Add(Sized('a', t.before));
        tabs.m_children.Add(Sized('\t', t.tab));
        tabs.m_children.Add(Sized('b', 2));
        EXPECT_FLOAT_EQ(t.length, tabs.GetLength()) << t.before << " " << t.tab;
    }

    struct Align {
        BYTE align;
        float first, second; // glyph starts
    };
    for (const Align& a :
         {Align{0, 100, 120}, Align{1, 80, 100}, Align{2, 60, 80}, Align{7, 100, 100}}) {
        CTextLine two(0, 0, nullptr, 100, 0);
        two.m_fAnchor = 100;
        two.m_nAlign = a.align;
        two.m_children.Add(Sized('a', 20));
        two.m_children.Add(Sized('b', 20));
        EXPECT_FLOAT_EQ(a.first, Origin(two, 0, 0).x) << int(a.align);
        EXPECT_FLOAT_EQ(a.second, Origin(two, 1, 0).x) << int(a.align);
    }

    // The caret stands after a glyph, before its gap, whatever the alignment.
    for (BYTE align : {BYTE(0), BYTE(1), BYTE(2)}) {
        CTextLine gaps(0, 0, nullptr, 0, 0);
        gaps.m_fAnchor = 50;
        gaps.m_nAlign = align;
        for (float w : {10.0f, 6.0f, 4.0f})
            gaps.m_children.Add(Sized('x', w, 1));
        EXPECT_FLOAT_EQ(Origin(gaps, 0, 0).x, Origin(gaps, 0, 1).x) << int(align);
        for (int k = 1; k <= 3; ++k)
            EXPECT_FLOAT_EQ(Origin(gaps, k - 1, 0).x + gaps.GetChar(k - 1)->m_fWidth,
                            Origin(gaps, k, 1).x)
                << int(align) << " caret " << k;
    }
}

TEST_F(TextLineTest, PointsAlongOpenClosedAndEmptyBaselines) {
    Path square;
    square.MoveTo({0, 0});
    square.LineTo({10, 0});
    square.LineTo({10, 10});
    square.LineTo({0, 10});
    square.LineTo({0, 0});
    const SubPath closed = SubPathOf(square);
    Path open;
    open.MoveTo({0, 0});
    open.LineTo({10, 0});
    open.LineTo({10, 10});
    const SubPath path = SubPathOf(open);
    Path dot;
    dot.MoveTo({3, 4});
    dot.LineTo({3, 4});
    const SubPath point = SubPathOf(dot);
    const SubPath none;
    struct Case {
        const char* what;
        const SubPath& sp;
        float d;
        floatPoint at, tangent;
    };
    const Case cases[] = {
        {"closed wraps", closed, 45, {5, 0}, {1, 0}},
        {"closed backwards", closed, -5, {0, 5}, {0, -1}},
        {"open before its start", path, -3, {-3, 0}, {1, 0}},
        {"open on its second member", path, 14, {10, 4}, {0, 1}},
        {"open past its end", path, 25, {10, 15}, {0, 1}},
        {"closed of no length", point, 7, {3, 4}, {0, 0}},
        {"no members", none, 7, {0, 0}, {1, 0}},
    };
    for (const Case& c : cases) {
        floatPoint p, t;
        PointAtLength(c.sp, c.d, p, t);
        EXPECT_NEAR(c.at.x, p.x, 1e-5) << c.what;
        EXPECT_NEAR(c.at.y, p.y, 1e-5) << c.what;
        EXPECT_NEAR(c.tangent.x, t.x, 1e-5) << c.what;
        EXPECT_NEAR(c.tangent.y, t.y, 1e-5) << c.what;
    }
    floatPoint p, t;
    PointAtLength(path, NaN, p, t);
    EXPECT_TRUE(std::isnan(p.x));

    EXPECT_FLOAT_EQ(10, SubPathLengthTo(path, 1, 0));
    EXPECT_FLOAT_EQ(20, SubPathLengthTo(path, 1, PM_PARAM_ONE));
    EXPECT_FLOAT_EQ(15, SubPathLengthTo(path, 1, PM_PARAM_ONE / 2));
}

TEST_F(TextLineTest, TransformsScaleAnchorAndRadiusAndCountMirrors) {
    const double q = Pi / 2;
    floatTMatrix turn;
    turn.Rotate(float(q));
    floatTMatrix turnAndScale = turn;
    turnAndScale.Scale(3, 3);
    struct Case {
        const char* what;
        floatTMatrix m;
        float factor;
        BYTE mirrored;
    };
    const Case cases[] = {
        {"scale 2", floatTMatrix(2, 0, 0, 2, 1, 1), 2, 0},
        {"quarter turn", turn, 1, 0},
        {"turn and scale 3", turnAndScale, 3, 0},
        {"mirror in x", floatTMatrix(-1, 0, 0, 1, 0, 0), 1, 1},
        {"mirror in y, scale 2", floatTMatrix(2, 0, 0, -2, 0, 0), 2, 1},
        {"half turn", floatTMatrix(-1, 0, 0, -1, 0, 0), 1, 0},
    };
    for (const Case& c : cases) {
        CTextLine line(0, 0, nullptr, 0, 0);
        line.m_fAnchor = 30;
        line.m_fRadius = 60;
        line.Transform(c.m);
        EXPECT_NEAR(30 * c.factor, line.m_fAnchor, 1e-4) << c.what;
        EXPECT_NEAR(60 * c.factor, line.m_fRadius, 1e-4) << c.what;
        EXPECT_EQ(c.mirrored, line.m_bMirrored) << c.what;
        float x = 0.1f, y = 0;
        c.m.dTransform(x, y);
        const PathMember& b = line.m_baseline.members[0];
        EXPECT_NEAR(x, b.end.x - b.start.x, 1e-6) << c.what;
        EXPECT_NEAR(y, b.end.y - b.start.y, 1e-6) << c.what;
    }
}

TEST_F(TextLineTest, LinesFollowTheFirstAndMirroredGlyphsFlip) {
    CStringArray names;
    names.Add("Fixture Sans");
    // A vertical text: the next column lies one pitch to the left.
    CTextLine first(0, 0, nullptr, 0, 1), second(0, 0, nullptr, 0, 0);
    first.m_fPitch = second.m_fPitch = 30;
    second.m_children.Add(Fixture('M'));
    second.Layout(names, cache_, &first);
    EXPECT_FLOAT_EQ(-30, second.m_baseline.members[0].start.x);
    EXPECT_FLOAT_EQ(0, second.m_baseline.members[0].start.y);
    EXPECT_FLOAT_EQ(-0.1f, second.m_baseline.members[0].end.y);

    CTextLine plain(0, 0, nullptr, 0, 0), mirrored(0, 0, nullptr, 0, 0);
    plain.m_children.Add(Fixture('M'));
    mirrored.m_children.Add(Fixture('M'));
    mirrored.Transform(floatTMatrix(1, 0, 0, -1, 0, 0));
    plain.Layout(names, cache_, nullptr);
    mirrored.Layout(names, cache_, nullptr);
    const floatBBox up = BoxOf(plain.GetChar(0)->m_path);
    const floatBBox down = BoxOf(mirrored.GetChar(0)->m_path);
    EXPECT_NEAR(25, up.top, 1e-4);
    EXPECT_NEAR(0, up.bottom, 1e-4);
    EXPECT_NEAR(0, down.top, 1e-4);
    EXPECT_NEAR(-25, down.bottom, 1e-4);
    // The line below a mirrored line lies above it.
    CTextLine next(0, 0, nullptr, 0, 0);
    next.m_bMirrored = 1;
    next.m_fPitch = 30;
    next.Layout(names, cache_, &mirrored);
    EXPECT_FLOAT_EQ(30, next.m_baseline.members[0].start.y);
}

TEST_F(TextLineTest, DuplicatesCopyEveryFieldWhateverTheTool) {
    CTextLine line(0, 0, nullptr, 0, 0);
    line.m_fAnchor = 4;
    line.m_fRadius = 60;
    line.m_nArcSide = -1;
    line.m_bAutoKerning = 0;
    line.m_bCustomKerning = 0;
    line.m_bAutoBLShift = 1;
    line.m_bMirrored = 1;
    line.m_nSchema = 2;
    line.m_children.Add(Sized('a', 3));
    CTextLine::CurrentAutoKerning = 1;
    CTextLine::CurrentCustomKerning = 1;
    CTextLine::CurrentAutoBLShift = 0;
    std::unique_ptr<CTextLine> copy(static_cast<CTextLine*>(line.Duplicate()));
    EXPECT_EQ(Bytes(StoreObj([&](CArchive& ar) { line.Serialize(ar); })).size(),
              StoreObj([&](CArchive& ar) { copy->Serialize(ar); }).size());
    EXPECT_EQ(60, copy->m_fRadius);
    EXPECT_EQ(-1, copy->m_nArcSide);
    EXPECT_EQ(0, copy->m_bAutoKerning);
    EXPECT_EQ(0, copy->m_bCustomKerning);
    EXPECT_EQ(1, copy->m_bAutoBLShift);
    EXPECT_EQ(1, copy->m_bMirrored);
    EXPECT_EQ(2, copy->m_nSchema);
    EXPECT_EQ(4, copy->m_fAnchor);
    ASSERT_EQ(1, copy->GetCount());
    EXPECT_NE(line.GetChar(0), copy->GetChar(0));
}

TEST_F(TextLineTest, FittingToALength) {
    auto make = [](CTextLine& line) {
        line.m_children.Add(Sized('a', 10, 1));
        line.m_children.Add(Sized(' ', 4, 1));
        line.m_children.Add(Sized('b', 10, 1));
    }; // length 26
    for (float target : {0.0f, -5.0f, NaN}) {
        CTextLine line(0, 0, nullptr, 0, 0);
        make(line);
        for (int mode = 0; mode < 4; ++mode)
            line.FitToLength(mode, target);
        EXPECT_FLOAT_EQ(26, line.GetLength()) << target;
        EXPECT_EQ(25, CCharacter::DefaultStyle.size);
        EXPECT_EQ(10, line.GetChar(0)->m_style.size);
    }
    struct Case {
        int mode;
        float target;
    };
    for (const Case& c : {Case{0, 40}, Case{3, 40}, Case{3, 24}}) {
        CTextLine line(0, 0, nullptr, 0, 0);
        make(line);
        line.FitToLength(c.mode, c.target);
        EXPECT_NEAR(c.target, line.GetLength(), 1e-4) << c.mode << " " << c.target;
    }
    CTextLine scaled(0, 0, nullptr, 0, 0);
    make(scaled);
    scaled.m_fPitch = 30;
    scaled.FitToLength(1, 52);
    EXPECT_FLOAT_EQ(60, scaled.m_fPitch);
    EXPECT_FLOAT_EQ(50, CCharacter::DefaultStyle.size);
    EXPECT_FLOAT_EQ(20, scaled.GetChar(2)->m_style.size);
    CTextLine wide(0, 0, nullptr, 0, 0);
    make(wide);
    wide.FitToLength(2, 52);
    EXPECT_FLOAT_EQ(2, wide.GetChar(0)->m_style.aspect);

    // Stretching spaces: none to stretch, or spaces shrinking below 1 %.
    CTextLine solid(0, 0, nullptr, 0, 0);
    solid.m_children.Add(Sized('a', 10));
    PushMessageBoxAnswer(IDOK);
    solid.FitToLength(3, 40);
    CTextLine tight(0, 0, nullptr, 0, 0);
    make(tight);
    PushMessageBoxAnswer(IDOK);
    tight.FitToLength(3, 22);
    EXPECT_FLOAT_EQ(4, tight.GetChar(1)->m_fWidth);
    const auto log = MessageBoxLog();
    ASSERT_EQ(2u, log.size());
    EXPECT_EQ("The line has no spaces that could be stretched.", log[0].text);
    EXPECT_EQ("The word spacing would become too small.", log[1].text);
}

// "SIGNDESK" on arcs of radius 60 about the origin.
class ArcTextTest : public TextLineTest {
protected:
    void SetUp() override {
        TextLineTest::SetUp();
        names_.Add("DejaVu Sans Bold");
    }
    std::unique_ptr<CTextLine> OnArc(const SubPath& baseline, float anchor, BYTE align) {
        std::unique_ptr<CTextLine> line(new CTextLine(0, 0, &baseline, anchor, 0));
        line->m_nAlign = align;
        line->m_bAutoKerning = 0;
        line->m_bCustomKerning = 0;
        for (const char* c = "SIGNDESK"; *c; ++c) {
            CCharacter* ch = Fixture(std::uint16_t(*c));
            ch->m_style.size = 10;
            ch->m_style.charSpacing = 0.05f;
            line->m_children.Add(ch);
        }
        line->Layout(names_, cache_, nullptr);
        return line;
    }
    // Middle of glyph k on its baseline, its x axis and its y axis.
    static void Frame(CTextLine& line, int k, floatPoint& middle, floatPoint& x, floatPoint& y) {
        floatTMatrix m;
        line.GetCharMatrix(k, line.GetChar(k), m, 0);
        middle = floatPoint(line.GetChar(k)->m_fWidth / 2, 0);
        m.Transform(middle.x, middle.y);
        x = floatPoint(m.m11, m.m12);
        y = floatPoint(m.m21, m.m22);
    }
    CStringArray names_;
};

TEST_F(ArcTextTest, CentredOnAHalfCircleAndOnTheInside) {
    const SubPath baseline = CircleArc(60, Pi, 0); // over the top, left to right
    for (BYTE mirrored : {BYTE(0), BYTE(1)}) {
        auto line = OnArc(baseline, float(60 * Pi / 2), 1);
        if (mirrored) {
            line->m_bMirrored = 1;
            line->Layout(names_, cache_, nullptr);
        }
        double previous = 0;
        double first = 0, last = 0;
        for (int k = 0; k < line->GetCount(); ++k) {
            floatPoint middle, x, y;
            Frame(*line, k, middle, x, y);
            const double r = std::hypot(middle.x, middle.y);
            EXPECT_NEAR(60, r, 0.02) << k;
            // Tangent to the circle (clockwise), the glyphs upright outside, hanging inside.
            const double tangentAngle = std::atan2(-middle.x, middle.y);
            const double axisAngle = std::atan2(x.y, x.x);
            EXPECT_NEAR(0, std::remainder(axisAngle - tangentAngle, 2 * Pi) * 180 / Pi, 0.1) << k;
            const double outward = (double(y.x) * middle.x + double(y.y) * middle.y) / r;
            EXPECT_GT(mirrored ? -outward : outward, 0.99) << k;
            // One advance apart along the arc.
            const double angle = std::atan2(middle.y, middle.x);
            if (k > 0) {
                const CCharacter* a = line->GetChar(k - 1);
                const CCharacter* b = line->GetChar(k);
                const double advance = a->m_fWidth / 2 + a->Gap() + b->m_fWidth / 2;
                EXPECT_NEAR(advance, (previous - angle) * 60, 0.02) << k;
            }
            previous = angle;
            (k == 0 ? first : last) = angle;
        }
        // Centred: as far from the top on either side.
        const float firstHalf = line->GetChar(0)->m_fWidth / 2;
        const float lastHalf = line->GetChar(line->GetCount() - 1)->m_fWidth / 2;
        EXPECT_NEAR((first - Pi / 2) * 60 + firstHalf, (Pi / 2 - last) * 60 + lastHalf, 0.05);
    }
}

TEST_F(ArcTextTest, WrappingOnACircleAndLeavingAnOpenArcOnItsTangent) {
    SubPath ring = CircleArc(60, Pi / 2, Pi / 2 - 2 * Pi);
    // Closed exactly where it started.
    ring.members.last()->end = ring.members.first()->start;
    auto around = OnArc(ring, float(2 * Pi * 60 - 20), 0); // starts 20 mm before the top
    int past = 0;
    for (int k = 0; k < around->GetCount(); ++k) {
        floatPoint middle, x, y;
        Frame(*around, k, middle, x, y);
        EXPECT_NEAR(60, std::hypot(middle.x, middle.y), 0.02) << k;
        past += middle.x > 0 ? 1 : 0;
    }
    EXPECT_GT(past, 2); // beyond the top, round again

    auto beyond = OnArc(CircleArc(60, Pi, 0), float(60 * Pi + 5), 0);
    for (int k = 0; k < beyond->GetCount(); ++k) {
        floatPoint middle, x, y;
        Frame(*beyond, k, middle, x, y);
        EXPECT_NEAR(60, middle.x, 0.02) << k;
        EXPECT_LT(middle.y, -5) << k;
        EXPECT_NEAR(0, x.x, 1e-3) << k;
        EXPECT_NEAR(-1, x.y, 1e-3) << k;
    }
}

// Layout walks a long line once; every glyph lands exactly where the walk of its own index
// puts it.
TEST_F(TextLineTest, LongLinesLandWhereThePerIndexWalkPutsThem) {
    CStringArray names;
    names.Add("Fixture Sans");
    const char pattern[] = "MH.\tJo A";
    CTextLine line(0, 0, nullptr, 0, 0), unplaced(0, 0, nullptr, 0, 0);
    line.m_fAnchor = 1000;
    for (int k = 0; k < 10000; ++k) {
        for (CTextLine* l : {&line, &unplaced}) {
            CCharacter* ch = Fixture(std::uint16_t(pattern[k % 8]));
            ch->m_style.charSpacing = 0.03f * float(k % 5);
            ch->m_style.size = 5 + float(k % 3);
            if (ch->IsBlank()) ch->m_fWidth = 3.3f * ch->m_style.size;
            l->m_children.Add(ch);
        }
    }
    for (int k = 0; k < unplaced.GetCount(); ++k)
        unplaced.GetChar(k)->BuildGlyph(names, cache_, line.LeftAlignsGlyphs());
    for (BYTE align : {BYTE(0), BYTE(1), BYTE(2)}) {
        line.m_nAlign = align;
        line.Layout(names, cache_, nullptr);
        int compared = 0;
        // Every glyph near both ends and a spread of those between.
        for (int k = 0; k < line.GetCount(); k += k < 20 || k > 9980 ? 1 : 97) {
            CCharacter* placed = line.GetChar(k);
            if (placed->m_path.subPaths.Filled() == 0) continue;
            std::unique_ptr<CCharacter> glyph(
                static_cast<CCharacter*>(unplaced.GetChar(k)->Duplicate()));
            floatTMatrix m;
            line.GetCharMatrix(k, placed, m, 0);
            glyph->Transform(m);
            const floatPoint a = placed->m_path.subPaths[0].members[0].start;
            const floatPoint b = glyph->m_path.subPaths[0].members[0].start;
            ASSERT_EQ(a.x, b.x) << "align " << int(align) << " glyph " << k;
            ASSERT_EQ(a.y, b.y) << "align " << int(align) << " glyph " << k;
            ++compared;
        }
        EXPECT_GT(compared, 70);
    }
}

} // namespace
