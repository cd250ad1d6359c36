// Path objects: record, stamp, transformation, export decisions and output.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "ModelTestSupport.h"
#include "ObjectArchive.h"
#include "RasterCanvas.h"
#include "SquarePath.h"
#include <algorithm>

#include "mfc/CDC.h"
#include "mfc/CMetaFileDC.h"
#include "model/CPathObj.h"
#include "model/CSign.h"
#include "model/ViewColors.h"
#include "pathkit/AIWriter.h"
#include "pathkit/ColorWPFWriter.h"
#include "pathkit/OutMemStream.h"
#include "testing/PlatformTest.h"
#include "testing/PostScriptPrinterTest.h"
#include "win32/GdiTesting.h"
#include "win32/SpoolerTesting.h"

namespace {

// A 10 mm square with a 4 mm hole.
void SquareWithHole(CPathObj& o) {
    AddSquare(o.m_path, 0, 0, 10);
    AddSquare(o.m_path, 3, 3, 4);
    o.m_path.Prepare();
    o.RefreshBBox();
    o.UpdateStamp();
}

ByteWriter& Box(ByteWriter& w, const floatBBox& b) {
    return w.f32(b.left).f32(b.right).f32(b.bottom).f32(b.top);
}

// The sub-path record as documents hold it.
void SubPathRecord(ByteWriter& w, const SubPath& sp) {
    w.u16(sp.members.Filled());
    for (std::uint16_t i = 0; i < sp.members.Filled(); ++i) {
        const PathMember& pm = sp.members[i];
        w.u16(pm.flags);
        if (i == 0) w.f32(pm.start.x).f32(pm.start.y);
        w.f32(pm.end.x).f32(pm.end.y);
    }
    w.f32(sp.accuracy).u16(sp.state | 0x0400);
    Box(w, sp.ctrlBox);
    Box(w, sp.accBox);
    w.u16(std::uint16_t(sp.depth)).u8(std::uint8_t(sp.rotation));
}

} // namespace

TEST(PathObjTest, RecordMatchesFixtureAndReloads) {
    CPathObj o;
    SquareWithHole(o);
    o.m_path.colour = RGB(255, 0, 0);
    o.m_path.pathFlags = 0;
    const Bytes got = StoreObj([&](CArchive& ar) { o.Serialize(ar); });
    ByteWriter w;
    w.append(StoreObj([&](CArchive& ar) { o.CSignObj::Serialize(ar); }));
    w.u16(1).u16(2);
    SubPathRecord(w, o.m_path.subPaths[0]);
    SubPathRecord(w, o.m_path.subPaths[1]);
    w.f32(o.m_path.accuracy);
    Box(w, o.m_path.ctrlBox);
    Box(w, o.m_path.accBox);
    w.u32(RGB(255, 0, 0)).u16(1).u16(0);
    EXPECT_EQ(got, w.bytes);

    CPathObj back;
    LoadObj(back, got);
    EXPECT_EQ(back.m_nStamp, o.m_nStamp); // loaded with the stamp of its geometry
    EXPECT_EQ(back.GetColor(), RGB(255, 0, 0));
    EXPECT_EQ(back.GetLayer(), 1);
    ASSERT_NE(back.GetBBox(), nullptr);
    EXPECT_EQ(back.GetBBox()->right, 10.f);

    // Version 2 is refused with cause 5.
    Bytes newer = got;
    const std::size_t at =
        w.bytes.size() -
        (got.size() - StoreObj([&](CArchive& ar) { o.CSignObj::Serialize(ar); }).size());
    newer[at] = 2;
    CPathObj refused;
    EXPECT_EQ(ArchiveCause([&] { LoadObj(refused, newer); }), 5);
}

// Boxes a record holds that do not fit its members (a damaged file) are worked out again.
TEST(PathObjTest, BoxesAreWorkedOutFromTheMembersOnLoading) {
    CPathObj o;
    SquareWithHole(o);
    auto boxes = [](CPathObj& p) {
        std::vector<floatBBox*> all{&p.m_path.ctrlBox, &p.m_path.accBox};
        for (SubPath& sp : p.m_path.subPaths) {
            all.push_back(&sp.ctrlBox);
            all.push_back(&sp.accBox);
        }
        return all;
    };
    std::vector<floatBBox> right;
    for (floatBBox* b : boxes(o)) {
        right.push_back(*b);
        *b = floatBBox(-50, -50, 70, 70);
    }
    CPathObj back;
    LoadObj(back, StoreObj([&](CArchive& ar) { o.Serialize(ar); }));
    const std::vector<floatBBox*> got = boxes(back);
    ASSERT_EQ(got.size(), right.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i]->left, right[i].left) << i;
        EXPECT_EQ(got[i]->right, right[i].right) << i;
        EXPECT_EQ(got[i]->bottom, right[i].bottom) << i;
        EXPECT_EQ(got[i]->top, right[i].top) << i;
    }
}

TEST(PathObjTest, StampFollowsGeometryAndSelectionNotTheChangedBit) {
    CPathObj o;
    SquareWithHole(o);
    const DWORD base = o.m_nStamp;
    o.m_path.subPaths[0].members[1].flags |= PM_CHANGED;
    o.UpdateStamp();
    EXPECT_EQ(o.m_nStamp, base);
    o.m_path.subPaths[0].members[1].flags |= PM_SELECTED;
    o.UpdateStamp();
    EXPECT_NE(o.m_nStamp, base);
    CPathObj empty;
    EXPECT_EQ(empty.GetBBox(), nullptr);
}

TEST(PathObjTest, MirrorKeepsContoursAndHolesOpposite) {
    struct Case {
        const char* what;
        float a, b, c, d;
    } cases[] = {{"mirror x", -1, 0, 0, 1}, {"rotate 90", 0, 1, -1, 0}, {"mirror y", 1, 0, 0, -1}};
    for (const Case& c : cases) {
        CPathObj o;
        SquareWithHole(o);
        const int outer = o.m_path.subPaths[0].depth == 0 ? 0 : 1;
        const int rotOuter = o.m_path.subPaths[std::uint16_t(outer)].rotation;
        floatTMatrix m(c.a, c.b, c.c, c.d, 0, 0);
        o.Transform(m);
        int depth0 = 0, depth1 = 0;
        for (const SubPath& sp : o.m_path.subPaths) {
            if (sp.depth == 0) depth0 = sp.rotation;
            if (sp.depth == 1) depth1 = sp.rotation;
        }
        EXPECT_EQ(depth0, rotOuter) << c.what;
        EXPECT_EQ(depth1, -rotOuter) << c.what;
    }
}

TEST(PathObjTest, CopiesAndExportDecisions) {
    CConstantPath k;
    SquareWithHole(k);
    k.m_path.colour = RGB(1, 2, 3);
    k.SetLayer(-5, 0);
    EXPECT_FALSE(k.IsEditable());
    for (CSignObj* copy : {k.Duplicate(), k.ConvertToPaths()}) {
        auto* p = dynamic_cast<CPathObj*>(copy);
        ASSERT_NE(p, nullptr);
        EXPECT_STREQ(p->GetRuntimeClass()->m_lpszClassName, "CPathObj");
        EXPECT_TRUE(p->IsEditable());
        EXPECT_EQ(p->GetColor(), RGB(1, 2, 3));
        EXPECT_EQ(p->GetLayer(), -5);
        EXPECT_EQ(p->m_path.subPaths.Filled(), 2);
        delete copy;
    }
    EXPECT_EQ(k.m_path.subPaths.Filled(), 0); // converted: the geometry moved

    CPathObj o;
    SquareWithHole(o);
    EXPECT_TRUE(o.CanExportTo("BEZ"));
    EXPECT_TRUE(o.CanExportTo("bez"));
    o.SetColor(RGB(0, 0, 0));
    EXPECT_FALSE(o.CanExportTo("BEZ"));
    EXPECT_FALSE(o.CanExportTo("bez"));
    EXPECT_TRUE(o.CanExportTo("PLT"));
}

TEST(PathObjTest, HitTestMovesThePointOntoThePath) {
    CPathObj o;
    SquareWithHole(o);
    floatPoint p(10.05f, 5);
    EXPECT_EQ(o.HitTest(p, 1, 0.1f, 0, 0), &o);
    EXPECT_NEAR(p.x, 10, 1e-4);
    floatPoint inside(1, 1);
    EXPECT_EQ(o.HitTest(inside, 1, 0.1f, 0, 0), nullptr);
    EXPECT_EQ(o.HitTest(inside, 1, 0.1f, 2, 0), &o);
    floatPoint hole(5, 5);
    EXPECT_EQ(o.HitTest(hole, 1, 0.1f, 2, 0), nullptr);
    EXPECT_EQ(o.HitTest(inside, 2, 0.1f, 2, 0), nullptr);
    o.m_bLocked = 1;
    EXPECT_EQ(o.HitTest(inside, 1, 0.1f, 2, 0), nullptr);
}

namespace {

// Captures the coloured paths a writer receives.
struct CapturingWriter : ColorWPFWriter {
    OutMemStream out;
    std::vector<ColorPath> paths;
    CapturingWriter() : ColorWPFWriter(out, 0.01f) {}
    void Write(Path& path) override { paths.push_back(ColorPath(static_cast<ColorPath&>(path))); }
};

} // namespace

TEST(PathObjTest, CuttingOutputDropsHolesAndKeepsTheObjectsFlags) {
    CPathObj o;
    SquareWithHole(o);
    o.m_path.colour = RGB(0, 0, 255);
    o.m_bFlag1 = 1;
    o.m_bFlag2 = 1;
    CapturingWriter w;
    EXPECT_TRUE(o.BuildColorPath(w, floatTMatrix(), 1, 1));
    ASSERT_EQ(w.paths.size(), 1u);
    EXPECT_EQ(w.paths[0].subPaths.Filled(), 1);
    EXPECT_TRUE(w.paths[0].pathFlags & CP_LINES_ONLY);
    EXPECT_EQ(o.m_path.pathFlags, 0);
    EXPECT_EQ(o.m_path.subPaths.Filled(), 2);

    // Without the outer-contour flag the holes stay; without the cut flag nothing goes.
    o.m_bFlag2 = 0;
    EXPECT_TRUE(o.BuildColorPath(w, floatTMatrix(), 1, 1));
    EXPECT_EQ(w.paths.back().subPaths.Filled(), 2);
    o.m_bFlag1 = 0;
    EXPECT_TRUE(o.BuildColorPath(w, floatTMatrix(), 1, 1));
    EXPECT_EQ(w.paths.size(), 2u);
    // Plain output: the geometry as it is.
    EXPECT_TRUE(o.BuildColorPath(w, floatTMatrix(), 1, 0));
    EXPECT_EQ(w.paths.back().colour, RGB(0, 0, 255));
    EXPECT_EQ(w.paths.back().pathFlags, 0);
}

TEST(PathObjTest, IllustratorTextOfAFilledOutlinedSquare) {
    CPathObj o;
    AddSquare(o.m_path, 0, 0, 10);
    o.m_path.Prepare();
    o.RefreshBBox();
    o.m_path.colour = RGB(255, 0, 0);
    o.m_fOutlineWidth = 0.5f;
    o.m_clrOutline = RGB(0, 0, 0);
    OutMemStream out;
    AIWriter ai(out, 1.0f);
    o.WriteIllustrator(ai, 1);
    const std::string text(out.GetBuffer(), std::size_t(out.TellP()));
    OutMemStream expectedOut;
    AIWriter expected(expectedOut, 1.0f);
    expectedOut << "*u\r\n";
    expected.SetStrokeColor(RGB(0, 0, 0));
    expected.SetLineWidth(0.5f);
    expected.SetFillColor(RGB(255, 0, 0));
    expected << o.m_path.subPaths[0];
    expected.Fill(0);
    expectedOut << "*U\r\n";
    EXPECT_EQ(text, std::string(expectedOut.GetBuffer(), std::size_t(expectedOut.TellP())));
    EXPECT_NE(text.find("1.41732 w\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\nb\r\n*U\r\n"), std::string::npos) << text;
}

namespace {

class PathObjPrinterTest : public PostScriptPrinterTest {};

} // namespace

TEST_F(PathObjPrinterTest, FilledOutlinedSquareAsPostScript) {
    CPathObj o;
    AddSquare(o.m_path, 0, 0, 10);
    o.m_path.MoveTo({20, 0});
    o.m_path.LineTo({30, 0});
    o.m_path.ClosePath();
    o.RefreshBBox();
    o.m_path.colour = RGB(255, 0, 0);
    o.m_fOutlineWidth = 0.5f;
    o.m_clrOutline = RGB(0, 0, 255);
    o.Paint(&dc, floatTMatrix(), 3, 1, 0);
    EXPECT_EQ(Captured(), "save\r\ngsave\r\nnewpath\r\n0 0 moveto\r\n10 0 lineto\r\n"
                          "10 10 lineto\r\n0 10 lineto\r\n0 0 lineto\r\neoclip\r\ngsave\r\n"
                          "1 0 0 setrgbcolor\r\neofill\r\ngrestore\r\n0 0 1 setrgbcolor\r\n"
                          "1 setlinewidth\r\nstroke\r\ngrestore\r\nnewpath\r\n20 0 moveto\r\n"
                          "30 0 lineto\r\n0 0 1 setrgbcolor\r\n0.5 setlinewidth\r\nstroke\r\n"
                          "restore\r\n");
}

namespace {

// Pixels of colour c in row y and in column x.
int InRow(const SdGdiImage& img, int y, COLORREF c) {
    int n = 0;
    for (int x = 0; x < img.width; ++x)
        n += img.at(x, y) == c;
    return n;
}
int Count(const SdGdiImage& img, COLORREF c) {
    int n = 0;
    for (COLORREF p : img.pixels)
        n += p == c;
    return n;
}

} // namespace

TEST(PathObjDrawTest, OpenSubPathWithAFillColourIsAOnePixelLine) {
    Canvas canvas(40, 20);
    CPathObj o;
    o.m_path.MoveTo({5, 10});
    o.m_path.LineTo({30, 10});
    o.m_path.ClosePath();
    o.RefreshBBox();
    o.m_path.colour = RGB(255, 0, 0);
    o.Paint(&canvas.dc, floatTMatrix(), 3, 1, 0);
    const SdGdiImage img = SdGdiReadDC(canvas.dc.m_hDC);
    EXPECT_GE(InRow(img, 10, RGB(255, 0, 0)), 25);
    EXPECT_EQ(Count(img, RGB(255, 0, 0)), InRow(img, 10, RGB(255, 0, 0)));
}

TEST(PathObjDrawTest, ThinOutlineStillDrawsOnePixel) {
    Canvas canvas(40, 40);
    CPathObj o;
    AddSquare(o.m_path, 2, 2, 10);
    o.m_path.Prepare();
    o.RefreshBBox();
    o.m_fOutlineWidth = 0.05f; // 0.3 pixels doubled at a scale of 3
    o.m_clrOutline = RGB(0, 0, 0);
    floatTMatrix m;
    m.Scale(3, 3);
    o.Paint(&canvas.dc, m, 3, 1, 0);
    const SdGdiImage img = SdGdiReadDC(canvas.dc.m_hDC);
    EXPECT_EQ(InRow(img, 20, RGB(0, 0, 0)), 2);
    EXPECT_GE(InRow(img, 6, RGB(0, 0, 0)), 30);

    // The outline view draws lines in the line colour without filling.
    Canvas outline(40, 40);
    o.m_path.colour = RGB(255, 0, 0);
    o.Paint(&outline.dc, m, 1, 1, 0);
    const SdGdiImage view = SdGdiReadDC(outline.dc.m_hDC);
    EXPECT_EQ(Count(view, RGB(255, 0, 0)), 0);
    EXPECT_EQ(InRow(view, 20, GetViewColors().LineColor), 2);
}

namespace {
int CollectType(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM data) {
    reinterpret_cast<std::vector<DWORD>*>(data)->push_back(record->iType);
    return 1;
}
} // namespace

TEST(PathObjDrawTest, GdiPathIntoAMetafile) {
    CPathObj o;
    o.m_path.MoveTo({0, 0});
    o.m_path.LineTo({10, 0});
    o.m_path.LineTo({0, 10});
    o.m_path.LineTo({0, 0});
    o.m_path.ClosePath();
    o.m_path.Prepare();
    o.RefreshBBox();
    o.m_path.colour = RGB(255, 0, 0);
    const floatBBox box(-5, -5, 15, 15);
    CMetaFileDC meta;
    ASSERT_TRUE(meta.CreateEnhanced(nullptr, nullptr, nullptr, nullptr));
    o.DrawGdiPath(&meta, &box, 1, 1, 1);
    HENHMETAFILE emf = meta.CloseEnhanced();
    ASSERT_NE(emf, nullptr);
    std::vector<DWORD> types;
    EnumEnhMetaFile(nullptr, emf, CollectType, &types, nullptr);
    auto index = [&](DWORD t) {
        auto it = std::find(types.begin(), types.end(), t);
        return it == types.end() ? -1 : int(it - types.begin());
    };
    // The closed contour becomes the clip path; a rectangle filled through it paints it.
    ASSERT_GE(index(EMR_BEGINPATH), 0);
    EXPECT_LT(index(EMR_BEGINPATH), index(EMR_SELECTCLIPPATH));
    EXPECT_LT(index(EMR_SAVEDC), index(EMR_SELECTCLIPPATH));
    EXPECT_LT(index(EMR_SELECTCLIPPATH), index(EMR_RECTANGLE));
    EXPECT_LT(index(EMR_RECTANGLE), index(EMR_RESTOREDC));
    EXPECT_EQ(index(EMR_STROKEPATH), -1);

    // Played back, the right angle sits bottom left: device y grows downwards.
    Canvas canvas(100, 100);
    RECT r{0, 0, 100, 100};
    PlayEnhMetaFile(canvas.dc.m_hDC, emf, &r);
    DeleteEnhMetaFile(emf);
    const SdGdiImage img = SdGdiReadDC(canvas.dc.m_hDC);
    EXPECT_EQ(img.at(30, 70), RGB(255, 0, 0));
    EXPECT_EQ(img.at(70, 30), RGB(255, 255, 255));
}

// The sheet drawn as GDI paths at a fractional scale: a 640 by 100 design at 0.5 records
// 32000 by 5000 units, not an empty picture; the whole scale is unchanged.
TEST(PathObjDrawTest, GdiPathsAtFractionalScales) {
    struct Case {
        float scale;
        int mode;
        LONG right, bottom;
    } cases[] = {{1.0f, 0, 64000, 10000},
                 {1.0f, 1, 64000, 10000},
                 {0.5f, 1, 32000, 5000},
                 {0.5f, 0, 32000, 5000},
                 {0.32f, 1, 20480, 3200}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.scale << " mode " << c.mode);
        CSign sign;
        auto* o = new CPathObj;
        o->m_path.MoveTo({0, 0});
        o->m_path.LineTo({640, 0});
        o->m_path.LineTo({640, 100});
        o->m_path.LineTo({0, 100});
        o->m_path.LineTo({0, 0});
        o->m_path.ClosePath();
        o->m_path.Prepare();
        o->m_path.colour = RGB(0, 0, 255);
        o->RefreshBBox();
        sign.Add(o);
        sign.CountLayerObjects();
        sign.RefreshBounds(1);
        CMetaFileDC meta;
        ASSERT_TRUE(meta.CreateEnhanced(nullptr, nullptr, nullptr, nullptr));
        sign.DrawGdiPaths(&meta, 0, c.mode, c.scale);
        HENHMETAFILE emf = meta.CloseEnhanced();
        ASSERT_NE(emf, nullptr);
        ENHMETAHEADER h{};
        ASSERT_NE(GetEnhMetaFileHeader(emf, sizeof h, &h), 0u);
        DeleteEnhMetaFile(emf);
        EXPECT_GT(h.nRecords, 2u);
        // Clipped through the contour, the fill's rectangle reaches 100 units past it.
        const LONG margin = c.mode == 1 ? 100 : 0;
        EXPECT_NEAR(h.rclBounds.left, -margin, 1);
        EXPECT_NEAR(h.rclBounds.top, -margin, 1);
        EXPECT_NEAR(h.rclBounds.right, c.right + margin, 1);
        EXPECT_NEAR(h.rclBounds.bottom, c.bottom + margin, 1);
    }
}

// A width past the device range strokes with a pen at the range's end: the outline, drawn
// inside the contour, covers the square. One that is not a number draws no outline, and a
// matrix that is not a number leaves the thinnest pen. None is turned into an int on the way.
TEST(PathObjDrawTest, OutlineWidthsBeyondTheDeviceRangeStillPaint) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        float width;
        floatTMatrix m;
        int black; // -1: not checked
    } cases[] = {
        {nan, floatTMatrix(), 0},
        {std::numeric_limits<float>::infinity(), floatTMatrix(), 100},
        {3e38f, floatTMatrix(), 100},
        {1.0f, floatTMatrix(nan, 0, 0, 1, 0, 0), -1},
    };
    for (const Case& c : cases) {
        Canvas canvas(40, 40);
        CPathObj o;
        AddSquare(o.m_path, 10, 10, 10);
        o.m_path.Prepare();
        o.RefreshBBox();
        o.m_fOutlineWidth = c.width;
        o.m_clrOutline = RGB(0, 0, 0);
        o.Paint(&canvas.dc, c.m, 3, 1, 0);
        if (c.black >= 0) {
            EXPECT_EQ(Count(SdGdiReadDC(canvas.dc.m_hDC), RGB(0, 0, 0)), c.black) << c.width;
        }
    }
}

// A transform never makes the width something the record could not load again.
TEST(PathObjTest, TransformKeepsTheOutlineWidthFinite) {
    CPathObj o;
    AddSquare(o.m_path, 0, 0, 10);
    o.RefreshBBox();
    o.m_fOutlineWidth = 1;
    o.Transform(floatTMatrix(1e30f, 0, 0, 1e30f, 0, 0));
    EXPECT_EQ(o.m_fOutlineWidth, 1e30f);
    o.Transform(floatTMatrix(1e30f, 0, 0, 1e30f, 0, 0));
    EXPECT_EQ(o.m_fOutlineWidth, std::numeric_limits<float>::max());
    o.Transform(floatTMatrix(std::numeric_limits<float>::quiet_NaN(), 0, 0, 1, 0, 0));
    EXPECT_EQ(o.m_fOutlineWidth, std::numeric_limits<float>::max());
    const Bytes stored = StoreObj([&](CArchive& ar) { o.Serialize(ar); });
    CPathObj back;
    EXPECT_EQ(ArchiveCause([&] { LoadObj(back, stored); }), -1);
    EXPECT_EQ(back.m_fOutlineWidth, std::numeric_limits<float>::max());
}
