// The fill model: handles, colour drops and picks, stop editing, records and their bad input,
// and texture sharing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>

#include "ModelTestSupport.h"
#include "model/CFountainFill.h"
#include "model/CTextureFill.h"
#include "model/ViewHooks.h"
#include "rasterkit/CDibDC.h"
#include "shared/CSharedBmp.h"
#include "testing/PlatformTest.h"
#include "win32/GdiTesting.h"
#include "win32/wingdi.h"

namespace {

constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Red = RGB(255, 0, 0);

// A linear black-to-white fill along (0, 0) -> (100, 0).
CFountainFill* NewLinear() {
    auto* fill = new CFountainFill(floatBBox(0, 0, 1, 1), Black, White);
    fill->m_origin = floatPoint(0, 0);
    fill->m_axis = floatPoint(100, 0);
    return fill;
}

Bytes StoreFill(CFillObj& fill) {
    CSharedObjTableScope scope;
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        fill.Serialize(ar);
        ar.Close();
    }
    Bytes out(std::size_t(file.GetLength()));
    file.SeekToBegin();
    if (!out.empty()) file.Read(out.data(), UINT(out.size()));
    return out;
}

void LoadFill(CFillObj& fill, const Bytes& bytes) {
    CSharedObjTableScope scope;
    Bytes copy = bytes;
    CMemFile file(copy.empty() ? nullptr : copy.data(), UINT(copy.size()));
    CArchive ar(&file, CArchive::load);
    fill.Serialize(ar);
    ar.Close();
}

// A fountain record with the given stops, linear along (0,0) -> (1,0).
Bytes FountainRecord(unsigned version, std::uint32_t count,
                     std::initializer_list<std::pair<float, std::uint32_t>> stops) {
    ByteWriter w;
    w.u16(version).f32(0).f32(0).f32(1).f32(0).f32(0).f32(1).u32(0).u32(4).f32(0.5f).u32(count);
    for (auto& s : stops)
        w.f32(s.first).u32(s.second);
    return w.bytes;
}

} // namespace

TEST(FountainFillTest, HandlesPerKind) {
    for (int kind = 0; kind <= 4; ++kind) {
        CFountainFill fill(floatBBox(0, 0, 10, 10), Black, White);
        fill.m_nKind = kind;
        fill.SetFrame(floatBBox(0, 0, 10, 10), 0);
        EXPECT_EQ(fill.GetHandleCount(), kind == 0 ? 2 : 3) << kind;
        floatPoint p;
        ASSERT_TRUE(fill.GetHandlePoint(0, p));
        // The first stop: P0 (linear at the top, shaped kinds at the centre), or conical's P1.
        EXPECT_FLOAT_EQ(p.x, kind == 1 ? 10 : 5) << kind;
        EXPECT_FLOAT_EQ(p.y, kind == 0 ? 10 : 5) << kind;
        fill.GetHandlePoint(1, p);
        if (kind == 1) { // conical: the opposite point of the circle
            EXPECT_NEAR(p.x, 0, 1e-5);
            EXPECT_NEAR(p.y, 5, 1e-5);
        }
        if (kind >= 1) {
            fill.GetHandlePoint(2, p);
            EXPECT_FLOAT_EQ(p.x, 5);
            EXPECT_FLOAT_EQ(p.y, kind == 1 ? 5 : 10);
        }
    }
}

TEST(FountainFillTest, DropsPicksAndStopDrags) {
    std::unique_ptr<CFountainFill> fill(NewLinear());
    // An end drop recolours; a middle drop inserts, kept sorted.
    fill->DropColor(floatPoint(0.5f, 0.5f), 1, Red);
    ASSERT_EQ(fill->m_nodes.Filled(), 2);
    EXPECT_EQ(fill->GetStopColor(0), Red);
    fill->DropColor(floatPoint(75, 0.5f), 1, RGB(0, 0, 200));
    fill->DropColor(floatPoint(25, -0.5f), 1, RGB(0, 100, 0));
    ASSERT_EQ(fill->m_nodes.Filled(), 4);
    EXPECT_FLOAT_EQ(fill->m_nodes[1].position, 0.25f);
    EXPECT_EQ(fill->GetStopColor(2), RGB(0, 0, 200));
    fill->DropColor(floatPoint(50, 5), 1, White); // off the axis: nothing
    EXPECT_EQ(fill->m_nodes.Filled(), 4);

    // Picking: -1 at a stop, off the axis, beyond the ends; interpolated (truncated) between.
    EXPECT_EQ(fill->GetColorAt(floatPoint(25, 0), 1), NO_FILL_COLOR);
    EXPECT_EQ(fill->GetColorAt(floatPoint(50, 3), 1), NO_FILL_COLOR);
    EXPECT_EQ(fill->GetColorAt(floatPoint(-5, 0), 1), NO_FILL_COLOR);
    EXPECT_EQ(fill->GetColorAt(floatPoint(50, 0), 1), RGB(0, 50, 100));
    EXPECT_TRUE(fill->HitTest(floatPoint(50, 0.9f), 1));
    EXPECT_FALSE(fill->HitTest(floatPoint(50, 1.1f), 1));
    EXPECT_FALSE(fill->HitTest(floatPoint(105, 0), 1));

    // A middle stop dragged along the axis moves, with Shift it is copied, off the axis it goes.
    floatPoint p(40, 0);
    fill->MoveHandle(1, p, 0, 0);
    ASSERT_EQ(fill->m_nodes.Filled(), 4);
    EXPECT_FLOAT_EQ(fill->m_nodes[1].position, 0.4f);
    EXPECT_TRUE(GetLastKeyHints().shift);
    p = floatPoint(60, 0);
    fill->MoveHandle(1, p, 0, 4);
    EXPECT_EQ(fill->m_nodes.Filled(), 5);
    p = floatPoint(50, 0);
    fill->MoveHandle(1, p, 0, 0); // position 0.4 -> 0.5
    EXPECT_EQ(fill->m_nodes.Filled(), 5);
    p = floatPoint(150, 0);
    fill->MoveHandle(2, p, 0, 0); // off the axis
    EXPECT_EQ(fill->m_nodes.Filled(), 4);
    p = floatPoint(150, 0);
    fill->MoveHandle(1, p, 0, 4); // Shift off the axis: nothing removed, nothing added
    EXPECT_EQ(fill->m_nodes.Filled(), 4);
}

TEST(FountainFillTest, EndHandlesWithKeys) {
    std::unique_ptr<CFountainFill> fill(NewLinear());
    floatPoint p(10, 3);
    fill->MoveHandle(0, p, 0, 8); // Ctrl: turned onto the nearest axis direction about P0
    EXPECT_FLOAT_EQ(fill->m_origin.x, float(std::hypot(10, 3)));
    EXPECT_FLOAT_EQ(fill->m_origin.y, 0);
    const KeyHints hints = GetLastKeyHints();
    EXPECT_TRUE(hints.shift && hints.ctrl && !hints.shiftCtrl && !hints.alt);
    fill.reset(NewLinear());
    p = floatPoint(110, 5);
    fill->MoveHandle(1, p, 0, 4); // Shift: P0 follows
    EXPECT_FLOAT_EQ(fill->m_origin.x, 10);
    EXPECT_FLOAT_EQ(fill->m_origin.y, 5);

    // Radial P1: P2 re-erected at +90 degrees, keeping its length (none), circle (Ctrl),
    // proportion (Shift).
    struct Case {
        UINT keys;
        float length;
    } cases[] = {{0, 20}, {8, 40}, {4, 80}};
    for (const Case& c : cases) {
        CFountainFill radial(floatBBox(0, 0, 1, 1), Black, White);
        radial.m_nKind = Gradient::Radial;
        radial.m_origin = floatPoint(0, 0);
        radial.m_axis = floatPoint(10, 0);
        radial.m_axis2 = floatPoint(0, 20);
        floatPoint q(40, 0);
        radial.MoveHandle(1, q, 0, c.keys);
        EXPECT_NEAR(radial.m_axis2.x, 0, 1e-5) << c.keys;
        EXPECT_NEAR(radial.m_axis2.y, c.length, 1e-4) << c.keys;
    }
}

TEST(FountainFillTest, RecordAndRoundTrip) {
    std::unique_ptr<CFountainFill> fill(NewLinear());
    fill->m_nKind = Gradient::Star;
    fill->m_nSides = 7;
    fill->m_fStarRatio = 0.25f;
    fill->AddNode(0.5f, Red);
    const Bytes bytes = StoreFill(*fill);
    ASSERT_EQ(bytes.size(), 66u);
    ByteWriter expected;
    expected.u16(1).f32(0).f32(0).f32(100).f32(0).f32(1).f32(0.5f).u32(4).u32(7).f32(0.25f).u32(3);
    expected.f32(0).u32(Black).f32(0.5f).u32(Red).f32(1).u32(White);
    EXPECT_EQ(bytes, expected.bytes);

    CFountainFill loaded;
    LoadFill(loaded, bytes);
    EXPECT_TRUE(loaded.IsEqual(fill.get()));
    std::unique_ptr<CFillObj> clone(fill->Clone());
    EXPECT_TRUE(clone->IsEqual(fill.get()));
    clone->Transform(floatTMatrix(1, 0, 0, 1, 5, 0));
    EXPECT_FALSE(clone->IsEqual(fill.get()));
    fill->m_nRefCount = 1;
    EXPECT_EQ(fill->GetMemSize(), 8u * 3 + 4);
    fill->m_nRefCount = 2;
    EXPECT_EQ(fill->GetMemSize(), 0u);
    fill->m_nRefCount = 0;
}

TEST(FountainFillTest, BadRecords) {
    // Stops out of order and out of range are clamped and sorted (stably) on load.
    CFountainFill fill;
    LoadFill(fill, FountainRecord(1, 4, {{1.5f, 1}, {0.5f, 2}, {-3, 3}, {0.5f, 4}}));
    ASSERT_EQ(fill.m_nodes.Filled(), 4);
    const float positions[4] = {0, 0.5f, 0.5f, 1};
    const COLORREF colors[4] = {3, 2, 4, 1};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(fill.m_nodes[std::uint16_t(i)].position, positions[i]) << i;
        EXPECT_EQ(fill.m_nodes[std::uint16_t(i)].color, colors[i]) << i;
    }
    // A too-new version, a count above the limit and one beyond the bytes left raise before
    // anything is allocated.
    EXPECT_EQ(ArchiveCause([] {
                  CFountainFill f;
                  LoadFill(f, FountainRecord(2, 0, {}));
              }),
              CArchiveException::badSchema);
    EXPECT_EQ(ArchiveCause([] {
                  CFountainFill f;
                  LoadFill(f, FountainRecord(1, 65535, {}));
              }),
              CArchiveException::badSchema);
    EXPECT_EQ(ArchiveCause([] {
                  CFountainFill f;
                  LoadFill(f, FountainRecord(1, 60000, {{0, 0}, {1, 0}}));
              }),
              CArchiveException::endOfFile);
}

class TextureFillTest : public PlatformTest {
protected:
    // A 2 x 2 checker of two table colours in a shared picture with no file.
    static CSharedBmp* Checker(COLORREF first, COLORREF last) {
        auto* bmp = new CSharedBmp;
        EXPECT_TRUE(bmp->image.Create(2, 2, 1));
        RGBQUAD* table = bmp->image.GetColorTab();
        table[0] = RGBQUAD{GetBValue(first), GetGValue(first), GetRValue(first), 0};
        table[1] = RGBQUAD{GetBValue(last), GetGValue(last), GetRValue(last), 0};
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x) {
                unsigned v = unsigned((x + y) & 1);
                bmp->image.SetPixel(x, y, v);
            }
        return bmp;
    }
    // A 24-bit BMP file of w x h pixels in the data folder.
    std::string WriteBmp(const char* name, int w, int h) {
        CDib dib(w, h, 24);
        const std::string path = (DataFolder() / name).string();
        CFile file;
        EXPECT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
        EXPECT_GT(dib.Save(file), 0);
        file.Close();
        return path;
    }
};

TEST_F(TextureFillTest, SharedByKeyAndMarker) {
    const std::string path = WriteBmp("wood.bmp", 3, 2);
    {
        CTextureFill a(path.c_str(), 0), b(path.c_str(), 0), grey(path.c_str(), 1);
        ASSERT_NE(a.m_pBitmap, nullptr);
        EXPECT_EQ(a.m_pBitmap, b.m_pBitmap);
        EXPECT_EQ(a.m_pBitmap->m_nRefCount, 2);
        EXPECT_NE(grey.m_pBitmap, a.m_pBitmap);
        EXPECT_EQ(std::string(LPCSTR(grey.m_pBitmap->fileName)), path + "[*]");
        EXPECT_EQ(a.m_pBitmap->image.GetWidth(), 3);
        EXPECT_TRUE(grey.m_pBitmap->image.IsGrayScale());
        // Already marked names are not marked twice.
        CTextureFill again((path + "[*]").c_str(), 1);
        EXPECT_EQ(again.m_pBitmap, grey.m_pBitmap);
        EXPECT_EQ(SharedBitmapList().GetSize(), 2);
        // A 24-bit picture has no colours: never hit, no colours to pick.
        a.SetFrame(floatBBox(0, 0, 10, 10), 0);
        EXPECT_FALSE(a.HitTest(floatPoint(0, 0), 1));
        EXPECT_EQ(a.GetColorAt(floatPoint(0, 0), 1), NO_FILL_COLOR);
        EXPECT_EQ(a.GetStopColor(0), NO_FILL_COLOR);
    }
    EXPECT_EQ(SharedBitmapList().GetSize(), 0);
}

TEST_F(TextureFillTest, HandlesAndColours) {
    CTextureFill fill;
    fill.SetBitmap(Checker(Black, White));
    fill.SetFrame(floatBBox(0, 0, 10, 4), 1);
    floatPoint p;
    ASSERT_TRUE(fill.GetHandlePoint(2, p));
    EXPECT_FLOAT_EQ(p.y, 10); // square: the height is the width
    EXPECT_FALSE(fill.GetHandlePoint(3, p));
    // The tolerance bounds the distance itself (0.4 < 0.5, though 0.4 > 0.5 squared).
    EXPECT_TRUE(fill.HitTest(floatPoint(0.4f, -0.4f), 0.5f));
    EXPECT_TRUE(fill.HitTest(floatPoint(10.4f, 0), 0.5f));
    EXPECT_FALSE(fill.HitTest(floatPoint(0.6f, 0), 0.5f));
    EXPECT_EQ(fill.GetColorAt(floatPoint(0, 0), 0.5f), Black);
    EXPECT_EQ(fill.GetColorAt(floatPoint(10, 0), 0.5f), White);
    fill.DropColor(floatPoint(0.3f, 0), 0.5f, Red);
    EXPECT_EQ(fill.GetStopColor(0), Red);
    EXPECT_EQ(fill.GetStopColor(1), White);

    CSharedObjTableScope scope;
    std::unique_ptr<CFillObj> clone(fill.Clone());
    EXPECT_TRUE(clone->IsEqual(&fill));
    EXPECT_EQ(fill.m_pBitmap->m_nRefCount, 2);
}

TEST_F(TextureFillTest, CheckerTiledOnABitmapContext) {
    CTextureFill fill;
    fill.SetBitmap(Checker(Black, White));
    fill.m_origin = floatPoint(0, 0);
    fill.m_xAxis = floatPoint(2, 0);
    fill.m_yAxis = floatPoint(0, 2);
    CDibDC dc(8, 6);
    ASSERT_TRUE(dc.IsValid());
    fill.PaintFill(&dc, floatTMatrix(), 0, floatBBox(0, 0, 8, 6));
    const SdGdiImage img = SdGdiReadDC(dc.m_hDC);
    const COLORREF corner = img.at(0, 0);
    ASSERT_TRUE(corner == Black || corner == White);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(img.at(x, y), ((x + y) & 1) ? (corner == Black ? White : Black) : corner)
                << x << "," << y;
}

TEST_F(TextureFillTest, Records) {
    CTextureFill fill;
    fill.SetBitmap(Checker(Black, White));
    fill.SetFrame(floatBBox(0, 0, 4, 4), 0);
    fill.m_nTileMode = 1;
    const Bytes bytes = StoreFill(fill);
    CTextureFill loaded;
    LoadFill(loaded, bytes);
    ASSERT_NE(loaded.m_pBitmap, nullptr);
    EXPECT_EQ(loaded.m_pBitmap->m_nRefCount, 1);
    EXPECT_EQ(loaded.m_nTileMode, 1u);
    EXPECT_EQ(loaded.GetStopColor(1), White);
    EXPECT_FLOAT_EQ(loaded.m_yAxis.y, 4);

    Bytes newer = bytes;
    newer[0] = 2;
    EXPECT_EQ(ArchiveCause([&] {
                  CTextureFill f;
                  LoadFill(f, newer);
              }),
              CArchiveException::badSchema);
}

TEST(FillExportTest, FountainFillsExportAsBands) {
    CSignObj obj;
    obj.SetFill(NewLinear());
    EXPECT_EQ(obj.CanExportTo("wpf"), 1);
    EXPECT_EQ(obj.CanExportTo("AI"), 1);
    obj.SetFill(new CTextureFill);
    EXPECT_EQ(obj.CanExportTo("wpf"), 0);
    EXPECT_EQ(obj.CanExportTo("ai"), 0);
    EXPECT_EQ(obj.CanExportTo("png"), 1);
}

TEST(FillHandlesTest, DrawnMarkersAndLines) {
    HDC hdc = SdCreateRecordingDC(200, 200);
    CDC dc;
    dc.Attach(hdc);
    std::unique_ptr<CFountainFill> fill(NewLinear());
    fill->DrawHandles(&dc, floatTMatrix(1, 0, 0, 1, 10, 20), 1);
    std::vector<std::string> calls;
    for (const std::string& line : SdGdiCallLog(hdc))
        if (line.rfind("Ellipse", 0) == 0 || line.rfind("Rectangle", 0) == 0 ||
            line.rfind("MoveTo", 0) == 0 || line.rfind("LineTo", 0) == 0)
            calls.push_back(line);
    const std::vector<std::string> expected = {"Ellipse(5,15,15,25)", "Rectangle(104,14,116,26)",
                                               "MoveToEx(10,20)", "LineTo(110,20)"};
    EXPECT_EQ(calls, expected);

    SdGdiClearCallLog(hdc);
    CTextureFill texture;
    texture.SetFrame(floatBBox(0, 0, 10, 10), 0);
    texture.DrawHandles(&dc, floatTMatrix(), 0);
    calls.clear();
    for (const std::string& line : SdGdiCallLog(hdc))
        if (line.rfind("Ellipse", 0) == 0 || line.rfind("Rectangle", 0) == 0 ||
            line.rfind("LineTo", 0) == 0)
            calls.push_back(line);
    const std::vector<std::string> texExpected = {"LineTo(10,0)", "Rectangle(-6,-6,6,6)",
                                                  "Ellipse(5,-5,15,5)", "LineTo(0,10)",
                                                  "LineTo(10,10)", "LineTo(10,0)",
                                                  "Ellipse(-3,7,3,13)"};
    EXPECT_EQ(calls, texExpected);
    dc.Detach();
    DeleteDC(hdc);
}

TEST(FillHandlesTest, TextureFrameDrags) {
    struct Case {
        int handle;
        floatPoint to;
        UINT keys;
        floatPoint p0, p1, p2;
    } cases[] = {
        {0, {2, 3}, 0, {2, 3}, {12, 3}, {2, 13}},          // the whole frame moves
        {0, {2, 3}, 12, {2, 3}, {10, 0}, {0, 10}},         // Shift+Ctrl: P0 alone
        {1, {0, 20}, 0, {0, 0}, {0, 20}, {-10, 0}},        // turned, height kept
        {1, {20, 0}, 8, {0, 0}, {20, 0}, {0, 20}},         // Ctrl: square tiles
        {2, {7, 5}, 0, {0, 0}, {10, 0}, {0, 5}},           // slides along its direction
        {2, {7, 5}, 12, {0, 0}, {10, 0}, {7, 5}},          // Shift+Ctrl: P2 alone
    };
    for (const Case& c : cases) {
        CTextureFill t;
        t.SetFrame(floatBBox(0, 0, 10, 10), 0);
        floatPoint p = c.to;
        t.MoveHandle(c.handle, p, 0, c.keys);
        EXPECT_NEAR(t.m_origin.x, c.p0.x, 1e-5) << c.handle << " " << c.keys;
        EXPECT_NEAR(t.m_origin.y, c.p0.y, 1e-5) << c.handle << " " << c.keys;
        EXPECT_NEAR(t.m_xAxis.x, c.p1.x, 1e-5) << c.handle << " " << c.keys;
        EXPECT_NEAR(t.m_xAxis.y, c.p1.y, 1e-5) << c.handle << " " << c.keys;
        EXPECT_NEAR(t.m_yAxis.x, c.p2.x, 1e-5) << c.handle << " " << c.keys;
        EXPECT_NEAR(t.m_yAxis.y, c.p2.y, 1e-5) << c.handle << " " << c.keys;
    }
}

TEST(FountainFillTest, ConicalAxisIsTheUpperHalfCircle) {
    CFountainFill fill(floatBBox(0, 0, 1, 1), Black, RGB(200, 100, 0));
    fill.m_nKind = Gradient::Conical;
    fill.m_origin = floatPoint(0, 0);
    fill.m_axis = floatPoint(10, 0);
    EXPECT_TRUE(fill.HitTest(floatPoint(0, 10.5f), 1));   // on the circle, left of P0 -> P1
    EXPECT_FALSE(fill.HitTest(floatPoint(0, -10), 1));    // the lower half has no handles
    EXPECT_FALSE(fill.HitTest(floatPoint(0, 12), 1));
    EXPECT_EQ(fill.GetColorAt(floatPoint(0, 3), 1), RGB(100, 50, 0)); // a quarter turn: t = 0.5
    EXPECT_EQ(fill.GetColorAt(floatPoint(0, -3), 1), NO_FILL_COLOR);
    fill.DropColor(floatPoint(-5, 5), 1, Red); // three eighths of a turn
    ASSERT_EQ(fill.m_nodes.Filled(), 3);
    EXPECT_FLOAT_EQ(fill.m_nodes[1].position, 0.75f);
    floatPoint h;
    fill.GetHandlePoint(1, h);
    EXPECT_NEAR(h.x, -7.0710678, 1e-4);
    EXPECT_NEAR(h.y, 7.0710678, 1e-4);
    // The opposite handle is mirrored through the centre; Ctrl on the centre moves the frame.
    floatPoint p(-20, 0);
    fill.MoveHandle(2, p, 0, 0);
    EXPECT_FLOAT_EQ(fill.m_axis.x, 20);
    p = floatPoint(5, 1);
    fill.MoveHandle(3, p, 0, 8);
    EXPECT_NEAR(fill.m_origin.x, std::hypot(5, 1), 1e-5);
    EXPECT_NEAR(fill.m_origin.y, 0, 1e-5);
    EXPECT_NEAR(fill.m_axis.x, 20 + std::hypot(5, 1), 1e-4);
}

TEST_F(TextureFillTest, OtherContextsGetAReducedImageStretched) {
    // A plain memory context (neither a bitmap context nor PostScript): a tenth of the
    // resolution, stretched over the area's rectangle.
    CTextureFill fill;
    fill.SetBitmap(Checker(Red, Red));
    fill.SetFrame(floatBBox(0, 0, 2, 2), 0);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateBitmap(60, 40, 1, 24, nullptr));
    CBitmap* old = dc.SelectObject(&bitmap);
    RECT all{0, 0, 60, 40};
    FillRect(dc.m_hDC, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    fill.PaintFill(&dc, floatTMatrix(), 3, floatBBox(10, 10, 50, 30));
    const SdGdiImage img = SdGdiReadDC(dc.m_hDC);
    EXPECT_EQ(img.at(30, 20), Red);
    EXPECT_EQ(img.at(11, 11), Red);
    EXPECT_EQ(img.at(5, 20), RGB(255, 255, 255));
    EXPECT_EQ(img.at(55, 20), RGB(255, 255, 255));
    dc.SelectObject(old);
}
