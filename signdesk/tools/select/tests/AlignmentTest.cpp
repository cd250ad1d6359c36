// The alignment rules as a table: A [0, 10], B [15, 35], C [70, 100] across (and the same
// boxes up), aligned and distributed in the selection box [0, 100] or another reference.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <model/CPathObj.h>
#include <model/CSign.h>
#include <select/Alignment.h>

namespace {

floatBBox Across(float l, float r) {
    return floatBBox(l, 0, r, 10);
}
floatBBox Up(float b, float t) {
    return floatBBox(0, b, 10, t);
}

// The boxes moved, as "l-r" (or "b-t" for the vertical kinds).
std::string Result(int kind, const floatBBox& ref, const std::vector<floatBBox>& boxes) {
    const std::vector<floatPoint> moves = alignment::Moves(kind, ref, boxes);
    const bool up = kind == 1 || kind == 3 || kind == 5 || kind == 7 || kind == 9;
    std::string s;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const float lo = up ? boxes[i].bottom + moves[i].y : boxes[i].left + moves[i].x;
        const float hi = up ? boxes[i].top + moves[i].y : boxes[i].right + moves[i].x;
        const float other = up ? moves[i].x : moves[i].y;
        char b[64];
        std::snprintf(b, sizeof b, "%s%g-%g", s.empty() ? "" : " ", lo, hi);
        s += b;
        if (other != 0) s += "!"; // moved along the other axis
    }
    return s;
}

} // namespace

TEST(Alignment, KindsAsATable) {
    const std::vector<floatBBox> across = {Across(0, 10), Across(15, 35), Across(70, 100)};
    const std::vector<floatBBox> up = {Up(0, 10), Up(15, 35), Up(70, 100)};
    const floatBBox box(0, 0, 100, 100); // the selection box of either set
    struct Case {
        const char* name;
        int kind;
        floatBBox reference;
        bool vertical;
        const char* result;
    } cases[] = {
        {"left", 0, box, false, "0-10 0-20 0-30"},
        {"right", 2, box, false, "90-100 80-100 70-100"},
        {"centre", 4, box, false, "45-55 40-60 35-65"},
        {"equal gaps", 6, box, false, "0-10 30-50 70-100"},
        {"equal centres", 8, box, false, "0-10 35-55 70-100"},
        {"top", 1, box, true, "90-100 80-100 70-100"},
        {"bottom", 3, box, true, "0-10 0-20 0-30"},
        {"middle", 5, box, true, "45-55 40-60 35-65"},
        {"equal gaps up", 7, box, true, "0-10 30-50 70-100"},
        {"equal centres up", 9, box, true, "0-10 35-55 70-100"},
        // The page as reference.
        {"left on the page", 0, floatBBox(0, 0, 210, 297), false, "0-10 0-20 0-30"},
        {"gaps on the page", 6, floatBBox(0, 0, 210, 297), false, "0-10 85-105 180-210"},
        // Wider than the reference: the gap is negative, the objects overlap evenly.
        {"negative gap", 6, floatBBox(0, 0, 40, 10), false, "0-10 0-20 10-40"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.result, Result(c.kind, c.reference, c.vertical ? up : across));
    }
}

TEST(Alignment, DistributionOrdersByCentreAndKeepsTiesInListOrder) {
    // Listed right to left: the order is by centre.
    EXPECT_EQ("70-100 30-50 0-10", Result(6, floatBBox(0, 0, 100, 10),
                                          {Across(70, 100), Across(15, 35), Across(0, 10)}));
    // Centres of A and B equal (at 20): A stays first.
    EXPECT_EQ("0-20 40-50 70-100", Result(6, floatBBox(0, 0, 100, 10),
                                          {Across(10, 30), Across(15, 25), Across(70, 100)}));
    EXPECT_EQ("0-10 45-55 90-100", Result(8, floatBBox(0, 0, 100, 10),
                                          {Across(15, 25), Across(15, 25), Across(90, 100)}))
        << "equal boxes keep their order";
    // One object: distributions move nothing; alignments still do.
    EXPECT_EQ("15-35", Result(6, floatBBox(0, 0, 100, 10), {Across(15, 35)}));
    EXPECT_EQ("15-35", Result(8, floatBBox(0, 0, 100, 10), {Across(15, 35)}));
    EXPECT_EQ("0-20", Result(0, floatBBox(0, 0, 100, 10), {Across(15, 35)}));
}

// Only selected top-level objects that have a box take part: an empty path among them is
// neither read nor moved.
TEST(Alignment, ApplyMovesTheSelectedObjectsWithBoxes) {
    CSign sheet;
    auto square = [&](float x, float s, bool selected) {
        auto* o = new CPathObj;
        o->m_path.MoveTo({x, 0});
        o->m_path.LineTo({x + s, 0});
        o->m_path.LineTo({x + s, s});
        o->m_path.LineTo({x, s});
        o->m_path.LineTo({x, 0});
        o->m_path.ClosePath();
        o->RefreshBBox();
        if (selected) o->Select();
        sheet.Add(o);
        return o;
    };
    CPathObj* a = square(0, 10, true);
    auto* empty = new CPathObj; // no box
    empty->Select();
    sheet.Add(empty);
    CPathObj* b = square(40, 20, true);
    CPathObj* c = square(200, 10, false);
    EXPECT_TRUE(alignment::Apply(sheet, 6, floatBBox(0, 0, 100, 100)));
    EXPECT_FLOAT_EQ(0, a->GetBBox()->left);
    EXPECT_FLOAT_EQ(80, b->GetBBox()->left);
    EXPECT_FLOAT_EQ(200, c->GetBBox()->left);
    EXPECT_EQ(nullptr, empty->GetBBox());

    CSign none;
    none.Add(new CPathObj);
    none.GetObj(0)->Select();
    EXPECT_FALSE(alignment::Apply(none, 0, floatBBox(0, 0, 100, 100)));
}
