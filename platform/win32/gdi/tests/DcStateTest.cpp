// Attribute state, coordinate mapping, clipping, regions and GDI paths.

#include <cmath>

#include "GdiFixture.h"

namespace {

constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Black = RGB(0, 0, 0);

TEST(Mapping, ModesOriginsAndWorldTransform) {
    DibCanvas c(300, 300);
    SetMapMode(c.dc, MM_LOMETRIC); // 0.1 mm; the memory context is 96 dpi
    POINT p[] = {{254, -254}};
    LPtoDP(c.dc, p, 1);
    EXPECT_EQ(p[0].x, 96);
    EXPECT_EQ(p[0].y, 96);
    SetMapMode(c.dc, MM_ANISOTROPIC);
    SetWindowExtEx(c.dc, 100, 100, nullptr);
    SetViewportExtEx(c.dc, 200, -50, nullptr);
    SetWindowOrgEx(c.dc, 10, 10, nullptr);
    SetViewportOrgEx(c.dc, 5, 7, nullptr);
    POINT q[] = {{20, 30}};
    LPtoDP(c.dc, q, 1);
    EXPECT_EQ(q[0].x, 5 + 20);
    EXPECT_EQ(q[0].y, 7 - 10);
    DPtoLP(c.dc, q, 1);
    EXPECT_EQ(q[0].x, 20);
    EXPECT_EQ(q[0].y, 30);
    SetMapMode(c.dc, MM_ISOTROPIC);
    SetWindowExtEx(c.dc, 100, 100, nullptr);
    SetViewportExtEx(c.dc, 200, -50, nullptr);
    SIZE v;
    GetViewportExtEx(c.dc, &v);
    EXPECT_EQ(v.cx, 50); // both axes take the smaller scale
    EXPECT_EQ(v.cy, -50);
    SetMapMode(c.dc, MM_TEXT);
    SetViewportOrgEx(c.dc, 0, 0, nullptr);
    SetWindowOrgEx(c.dc, 0, 0, nullptr);
    XFORM rot{0, 1, -1, 0, 100, 0}; // 90 degrees
    EXPECT_FALSE(SetWorldTransform(c.dc, &rot));
    SetGraphicsMode(c.dc, GM_ADVANCED);
    ASSERT_TRUE(SetWorldTransform(c.dc, &rot));
    POINT r[] = {{10, 0}};
    LPtoDP(c.dc, r, 1);
    EXPECT_EQ(r[0].x, 100);
    EXPECT_EQ(r[0].y, 10);
}

TEST(SavedState, RestoreBringsBackPenBrushRopClipAndMapping) {
    DibCanvas c(20, 20);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    HBRUSH brush = CreateSolidBrush(RGB(0, 255, 0));
    int level = SaveDC(c.dc);
    EXPECT_EQ(level, 1);
    SelectObject(c.dc, pen);
    SelectObject(c.dc, brush);
    SetROP2(c.dc, R2_XORPEN);
    IntersectClipRect(c.dc, 0, 0, 5, 5);
    SetMapMode(c.dc, MM_HIMETRIC);
    SetViewportOrgEx(c.dc, 3, 4, nullptr);
    EXPECT_EQ(SaveDC(c.dc), 2);
    SetROP2(c.dc, R2_NOT);
    ASSERT_TRUE(RestoreDC(c.dc, -1));
    EXPECT_EQ(GetROP2(c.dc), R2_XORPEN);
    ASSERT_TRUE(RestoreDC(c.dc, level));
    EXPECT_EQ(GetCurrentObject(c.dc, OBJ_PEN), GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetCurrentObject(c.dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetROP2(c.dc), R2_COPYPEN);
    EXPECT_EQ(GetMapMode(c.dc), MM_TEXT);
    RECT box;
    EXPECT_EQ(GetClipBox(c.dc, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 20);
    POINT o;
    GetViewportOrgEx(c.dc, &o);
    EXPECT_EQ(o.x, 0);
    EXPECT_FALSE(RestoreDC(c.dc, 1)); // nothing saved any more
    DeleteObject(pen);
    DeleteObject(brush);
}

TEST(Regions, CombineComplexityAndData) {
    HRGN a = CreateRectRgn(0, 0, 10, 10), b = CreateRectRgn(5, 5, 15, 15), r = CreateRectRgn(0, 0, 0, 0);
    struct Case {
        int mode;
        int result;
        int area;
    };
    const Case cases[] = {{RGN_AND, SIMPLEREGION, 25},
                          {RGN_OR, COMPLEXREGION, 175},
                          {RGN_XOR, COMPLEXREGION, 150},
                          {RGN_DIFF, COMPLEXREGION, 75},
                          {RGN_COPY, SIMPLEREGION, 100}};
    for (const Case& k : cases) {
        EXPECT_EQ(CombineRgn(r, a, b, k.mode), k.result) << k.mode;
        DWORD size = GetRegionData(r, 0, nullptr);
        std::vector<char> buf(size);
        auto* data = reinterpret_cast<RGNDATA*>(buf.data());
        ASSERT_EQ(GetRegionData(r, size, data), size);
        int area = 0;
        for (DWORD i = 0; i < data->rdh.nCount; ++i) {
            RECT rc;
            std::memcpy(&rc, data->Buffer + i * sizeof(RECT), sizeof rc);
            area += (rc.right - rc.left) * (rc.bottom - rc.top);
        }
        EXPECT_EQ(area, k.area) << k.mode;
        HRGN back = ExtCreateRegion(nullptr, size, data);
        EXPECT_TRUE(EqualRgn(back, r));
        DeleteObject(back);
    }
    HRGN far = CreateRectRgn(100, 100, 110, 110);
    EXPECT_EQ(CombineRgn(r, a, far, RGN_AND), NULLREGION);
    DeleteObject(far);
    EXPECT_EQ(CombineRgn(r, a, far, RGN_AND), ERROR); // stale
    for (HRGN h : {a, b, r}) DeleteObject(h);
}

TEST(Regions, PolygonRegionMatchesThePolygonFill) {
    POINT tri[] = {{1, 1}, {17, 3}, {6, 15}};
    HRGN rgn = CreatePolygonRgn(tri, 3, ALTERNATE);
    DibCanvas fill(20, 20), paint(20, 20);
    fill.Clear(White);
    paint.Clear(White);
    SelectObject(fill.dc, GetStockObject(NULL_PEN));
    SelectObject(fill.dc, GetStockObject(BLACK_BRUSH));
    Polygon(fill.dc, tri, 3);
    FillRgn(paint.dc, rgn, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(mask(fill.Read(), Black), mask(paint.Read(), Black));
    EXPECT_TRUE(PtInRegion(rgn, 6, 8));
    EXPECT_FALSE(PtInRegion(rgn, 17, 14));
    // Counts below the minimum fail before anything is made.
    SetLastError(0);
    EXPECT_EQ(CreatePolygonRgn(tri, 1, ALTERNATE), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    INT counts[] = {3, 1};
    EXPECT_EQ(CreatePolyPolygonRgn(tri, counts, 2, WINDING), nullptr);
    // Far-off slanted edges: converted within the scan range, in bounded time.
    const int big = 2000000000;
    POINT huge[] = {{-big, -big}, {big, -big + 7}, {3, big}};
    HRGN far = CreatePolygonRgn(huge, 3, ALTERNATE);
    ASSERT_NE(far, nullptr);
    EXPECT_TRUE(PtInRegion(far, 0, 0));
    EXPECT_FALSE(PtInRegion(far, 0, -(1 << 21)));
    DeleteObject(far);
    EXPECT_EQ(CreatePolygonRgn(tri, 3, 7), nullptr);
    DeleteObject(rgn);
}

TEST(Clipping, DeviceUnitsLogicalBoxAndNullRegion) {
    DibCanvas c(20, 20);
    c.Clear(White);
    SetViewportOrgEx(c.dc, 5, 5, nullptr);
    HRGN r = CreateRectRgn(0, 0, 10, 10); // device pixels
    EXPECT_EQ(ExtSelectClipRgn(c.dc, r, RGN_COPY), SIMPLEREGION);
    RECT box;
    EXPECT_EQ(GetClipBox(c.dc, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, -5); // logical
    EXPECT_EQ(box.right, 5);
    HRGN away = CreateRectRgn(15, 15, 18, 18);
    EXPECT_EQ(ExtSelectClipRgn(c.dc, away, RGN_AND), NULLREGION);
    EXPECT_EQ(GetClipBox(c.dc, &box), NULLREGION);
    RECT all{-100, -100, 100, 100};
    FillRect(c.dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(countColor(c.Read(), Black), 0);
    EXPECT_EQ(ExtSelectClipRgn(c.dc, nullptr, RGN_COPY), SIMPLEREGION);
    FillRect(c.dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(countColor(c.Read(), Black), 400);
    DeleteObject(r);
    DeleteObject(away);
}

TEST(GdiPaths, FillStrokeAndClip) {
    DibCanvas c(20, 20);
    c.Clear(White);
    EXPECT_FALSE(FillPath(c.dc)); // no path
    ASSERT_TRUE(BeginPath(c.dc));
    MoveToEx(c.dc, 2, 2, nullptr);
    LineTo(c.dc, 12, 2);
    LineTo(c.dc, 12, 12);
    LineTo(c.dc, 2, 12);
    CloseFigure(c.dc);
    ASSERT_TRUE(EndPath(c.dc));
    EXPECT_EQ(countColor(c.Read(), Black), 0); // nothing drawn while recording
    EXPECT_EQ(GetPath(c.dc, nullptr, nullptr, 0), 4);
    SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
    ASSERT_TRUE(FillPath(c.dc));
    EXPECT_EQ(countColor(c.Read(), Black), 100);
    c.Clear(White);
    BeginPath(c.dc);
    Rectangle(c.dc, 2, 2, 12, 12);
    EndPath(c.dc);
    ASSERT_TRUE(StrokePath(c.dc));
    EXPECT_EQ(countColor(c.Read(), Black), 36); // the 10 × 10 outline
    // A clip path: later fills stay inside it.
    c.Clear(White);
    BeginPath(c.dc);
    Ellipse(c.dc, 0, 0, 20, 20);
    EndPath(c.dc);
    ASSERT_TRUE(SelectClipPath(c.dc, RGN_AND));
    RECT all{0, 0, 20, 20};
    FillRect(c.dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SdGdiImage img = c.Read();
    EXPECT_EQ(img.at(0, 0), White);
    EXPECT_EQ(img.at(10, 10), Black);
    // The path runs through the outline pixels' centres 0..19: radius 9.5.
    EXPECT_NEAR(countColor(img, Black), M_PI * 9.5 * 9.5, 10);
}

TEST(BadInput, CountsHandlesAndInjectedFailures) {
    DibCanvas c(8, 8);
    POINT p[] = {{0, 0}, {4, 4}, {0, 4}};
    SetLastError(0);
    EXPECT_FALSE(Polygon(c.dc, p, 1));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(Polyline(c.dc, p, 1));
    EXPECT_FALSE(PolyBezier(c.dc, p, 3));
    INT counts[] = {3, 0};
    EXPECT_FALSE(PolyPolygon(c.dc, p, counts, 2));
    EXPECT_FALSE(PolyPolygon(c.dc, p, counts, 0));
    EXPECT_FALSE(Polygon(reinterpret_cast<HDC>(0x12345), p, 3));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    SdGdiFailCall("PolyPolygon", 2);
    INT good[] = {3};
    EXPECT_FALSE(PolyPolygon(c.dc, p, good, 1));
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_FALSE(PolyPolygon(c.dc, p, good, 1));
    EXPECT_TRUE(PolyPolygon(c.dc, p, good, 1));
    SdGdiClearFailures();
}

} // namespace
