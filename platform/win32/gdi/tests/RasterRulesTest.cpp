// The pixel rules of fills and lines, on 24-bit DIB sections.

#include <cmath>

#include "GdiFixture.h"

namespace {

constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF Red = RGB(255, 0, 0);

TEST(RasterRules, PolygonExcludesRightAndBottomEdges) {
    DibCanvas c(8, 6);
    c.Clear(White);
    SelectObject(c.dc, GetStockObject(NULL_PEN));
    SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
    POINT square[] = {{1, 1}, {5, 1}, {5, 4}, {1, 4}};
    ASSERT_TRUE(Polygon(c.dc, square, 4));
    std::vector<std::string> expected = {"........", ".####...", ".####...", ".####...",
                                         "........", "........"};
    EXPECT_EQ(mask(c.Read(), Black), expected);
}

TEST(RasterRules, CosmeticLineSkipsLastPixel) {
    DibCanvas c(8, 4);
    c.Clear(White);
    MoveToEx(c.dc, 1, 1, nullptr);
    LineTo(c.dc, 6, 3);
    // Slope 2/5: y steps at i where (2*i*2 + 5) / 10 grows: i = 0,1 → 1; 2,3 → 2; 4 → 3.
    std::vector<std::string> expected = {"........", ".##.....", "...##...", ".....#.."};
    EXPECT_EQ(mask(c.Read(), Black), expected);
}

TEST(RasterRules, RectangleWithAndWithoutPen) {
    DibCanvas c(6, 5);
    c.Clear(White);
    HBRUSH red = CreateSolidBrush(Red);
    SelectObject(c.dc, red);
    Rectangle(c.dc, 0, 0, 5, 4);
    std::vector<std::string> pen = {"#####.", "#...#.", "#...#.", "#####.", "......"};
    std::vector<std::string> fill = {"......", ".###..", ".###..", "......", "......"};
    EXPECT_EQ(mask(c.Read(), Black), pen);
    EXPECT_EQ(mask(c.Read(), Red), fill);
    c.Clear(White);
    SelectObject(c.dc, GetStockObject(NULL_PEN));
    Rectangle(c.dc, 0, 0, 5, 4);
    std::vector<std::string> nullPen = {"####..", "####..", "####..", "......", "......"};
    EXPECT_EQ(mask(c.Read(), Red), nullPen);
    SelectObject(c.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(red);
}

// A ring (outer square, inner square) filled ALTERNATE and WINDING.
TEST(RasterRules, AlternateLeavesHoleWindingFillsIt) {
    DibCanvas c(12, 12);
    POINT pts[] = {{1, 1}, {11, 1}, {11, 11}, {1, 11}, {4, 4}, {8, 4}, {8, 8}, {4, 8}};
    INT counts[] = {4, 4};
    SelectObject(c.dc, GetStockObject(NULL_PEN));
    SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
    c.Clear(White);
    SetPolyFillMode(c.dc, ALTERNATE);
    ASSERT_TRUE(PolyPolygon(c.dc, pts, counts, 2));
    EXPECT_EQ(countColor(c.Read(), Black), 100 - 16);
    c.Clear(White);
    SetPolyFillMode(c.dc, WINDING);
    ASSERT_TRUE(PolyPolygon(c.dc, pts, counts, 2));
    EXPECT_EQ(countColor(c.Read(), Black), 100);
}

TEST(RasterRules, FarOffPointsClipInsteadOfWrapping) {
    DibCanvas c(10, 10);
    c.Clear(White);
    SelectObject(c.dc, GetStockObject(NULL_PEN));
    SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
    const int big = 2000000000;
    POINT tri[] = {{-big, -10}, {big, -10}, {0, big}};
    ASSERT_TRUE(Polygon(c.dc, tri, 3));
    // The slanted edges pass far outside: everything is covered.
    EXPECT_EQ(countColor(c.Read(), Black), 100);
    c.Clear(White);
    SelectObject(c.dc, GetStockObject(BLACK_PEN));
    MoveToEx(c.dc, -big, 5, nullptr);
    LineTo(c.dc, big, 5);
    EXPECT_EQ(countColor(c.Read(), Black), 10);
}

TEST(RasterRules, WidePenCoversItsWidth) {
    DibCanvas c(20, 20);
    c.Clear(White);
    HPEN pen = CreatePen(PS_SOLID, 5, Black);
    SelectObject(c.dc, pen);
    MoveToEx(c.dc, 5, 10, nullptr);
    LineTo(c.dc, 15, 10);
    SdGdiImage img = c.Read();
    // Rows 8..12 along the segment, round ends beyond it.
    for (int y = 8; y <= 12; ++y) EXPECT_EQ(img.at(10, y), Black) << y;
    EXPECT_EQ(img.at(10, 7), White);
    EXPECT_EQ(img.at(10, 13), White);
    EXPECT_EQ(img.at(3, 10), Black);
    EXPECT_EQ(img.at(2, 10), White);
    SelectObject(c.dc, GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}

// A wide stroke seen through a small surface is the same pixels as on a large one, whether a
// piece covers the small surface wholly, misses it or crosses it.
TEST(RasterRules, WideStrokeSeenThroughASmallSurface) {
    auto stroke = [](HDC dc) {
        HPEN pen = CreatePen(PS_SOLID, 200, RGB(0, 0, 160));
        HGDIOBJ old = SelectObject(dc, pen);
        SelectObject(dc, GetStockObject(NULL_BRUSH));
        RoundRect(dc, 20, 20, 280, 280, 60, 60);
        SelectObject(dc, old);
        DeleteObject(pen);
    };
    DibCanvas big(300, 300);
    big.Clear(RGB(255, 255, 255));
    stroke(big.dc);
    SdGdiImage whole = big.Read();
    // Windows: inside a straight side's band, at a corner's joins, far off, across the edge.
    const POINT windows[] = {{10, 130}, {0, 0}, {420, 420}, {100, 100}, {135, 265}};
    for (POINT w : windows) {
        DibCanvas small(30, 30);
        small.Clear(RGB(255, 255, 255));
        SetViewportOrgEx(small.dc, -w.x, -w.y, nullptr);
        stroke(small.dc);
        SdGdiImage part = small.Read();
        int differ = 0, painted = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 30; ++x) {
                bool in = w.x + x < 300 && w.y + y < 300;
                COLORREF want = in ? whole.at(w.x + x, w.y + y) : RGB(255, 255, 255);
                differ += part.at(x, y) != want;
                painted += part.at(x, y) == RGB(0, 0, 160);
            }
        EXPECT_EQ(differ, 0) << w.x << "," << w.y;
        if (w.x == 10 || w.x == 0) {
            EXPECT_EQ(painted, 900) << w.x << "," << w.y;
        }
        if (w.x == 100) {
            EXPECT_GT(painted, 0);
            EXPECT_LT(painted, 900);
        }
    }
    // A pen far wider than the surface, under a strong scale, paints the surface at once.
    DibCanvas tiny(40, 40);
    tiny.Clear(RGB(255, 255, 255));
    SetMapMode(tiny.dc, MM_ANISOTROPIC);
    SetWindowExtEx(tiny.dc, 1, 1, nullptr);
    SetViewportExtEx(tiny.dc, 4000, 4000, nullptr);
    HPEN huge = CreatePen(PS_SOLID, 100000, RGB(0, 120, 0));
    SelectObject(tiny.dc, huge);
    RoundRect(tiny.dc, -30000, -30000, 30000, 30000, 20000, 20000);
    SelectObject(tiny.dc, GetStockObject(BLACK_PEN));
    DeleteObject(huge);
    EXPECT_EQ(countColor(tiny.Read(), RGB(0, 120, 0)), 1600);
}

TEST(RasterRules, EllipseIsSymmetricAndInsideItsBox) {
    DibCanvas c(21, 21);
    c.Clear(White);
    SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
    Ellipse(c.dc, 0, 0, 21, 21);
    SdGdiImage img = c.Read();
    // Steps of the outline round ties the way they run: a few pixels off the mirror image.
    int asymmetric = 0;
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 21; ++x)
            asymmetric += (img.at(x, y) != img.at(20 - x, y)) + (img.at(x, y) != img.at(x, 20 - y));
    EXPECT_LE(asymmetric, 32);
    EXPECT_EQ(img.at(10, 0), Black);
    EXPECT_EQ(img.at(0, 10), Black);
    EXPECT_EQ(img.at(0, 0), White);
    // Area within a pixel per row of pi * 10.5^2.
    double area = countColor(img, Black);
    EXPECT_NEAR(area, M_PI * 10.5 * 10.5, 21);
}

TEST(RasterRules, DashStylesAndBackgroundMode) {
    DibCanvas c(12, 1);
    c.Clear(White);
    HPEN dot = CreatePen(PS_DOT, 1, Black);
    SelectObject(c.dc, dot);
    SetBkColor(c.dc, Red);
    SetBkMode(c.dc, TRANSPARENT);
    MoveToEx(c.dc, 0, 0, nullptr);
    LineTo(c.dc, 12, 0);
    EXPECT_EQ(mask(c.Read(), Black)[0], "###...###...");
    EXPECT_EQ(countColor(c.Read(), Red), 0);
    SetBkMode(c.dc, OPAQUE);
    MoveToEx(c.dc, 0, 0, nullptr);
    LineTo(c.dc, 12, 0);
    EXPECT_EQ(mask(c.Read(), Red)[0], "...###...###");
    SelectObject(c.dc, GetStockObject(BLACK_PEN));
    DeleteObject(dot);
}

TEST(RasterRules, HatchAndPatternBrushes) {
    DibCanvas c(16, 16);
    c.Clear(White);
    HBRUSH cross = CreateHatchBrush(HS_CROSS, Black);
    SetBkMode(c.dc, TRANSPARENT);
    RECT r{0, 0, 16, 16};
    FillRect(c.dc, &r, cross);
    // Lines on column and row 7 of every 8 × 8 cell.
    EXPECT_EQ(countColor(c.Read(), Black), 16 * 16 - 14 * 14);
    EXPECT_EQ(c.Read().at(7, 3), Black);
    EXPECT_EQ(c.Read().at(3, 3), White);
    DeleteObject(cross);
    // A 2 × 2 monochrome pattern: 0 bits in the text colour, 1 bits in the background colour.
    const BYTE bits[2][2] = {{0x40, 0}, {0x80, 0}};
    HBITMAP pattern = CreateBitmap(2, 2, 1, 1, bits);
    HBRUSH checker = CreatePatternBrush(pattern);
    SetTextColor(c.dc, Red);
    SetBkColor(c.dc, Black);
    FillRect(c.dc, &r, checker);
    SdGdiImage img = c.Read();
    EXPECT_EQ(img.at(0, 0), Red);
    EXPECT_EQ(img.at(1, 0), Black);
    EXPECT_EQ(img.at(0, 1), Black);
    EXPECT_EQ(img.at(1, 1), Red);
    EXPECT_EQ(countColor(img, Red), 128);
    DeleteObject(checker);
    DeleteObject(pattern);
}

TEST(RasterRules, ArcsChordsAndPies) {
    DibCanvas c(21, 21);
    SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
    SelectObject(c.dc, GetStockObject(NULL_PEN));
    c.Clear(White);
    // Counter-clockwise from the right (3 o'clock) to the top (12 o'clock): the upper right quarter.
    Pie(c.dc, 0, 0, 21, 21, 20, 10, 10, 0);
    SdGdiImage img = c.Read();
    EXPECT_EQ(img.at(15, 5), Black);
    EXPECT_EQ(img.at(5, 5), White);
    EXPECT_EQ(img.at(15, 15), White);
    EXPECT_NEAR(countColor(img, Black), M_PI * 10 * 10 / 4, 15);
    c.Clear(White);
    SetArcDirection(c.dc, AD_CLOCKWISE);
    Pie(c.dc, 0, 0, 21, 21, 20, 10, 10, 0); // the other three quarters
    EXPECT_EQ(c.Read().at(15, 5), White);
    EXPECT_EQ(c.Read().at(5, 15), Black);
    SetArcDirection(c.dc, AD_COUNTERCLOCKWISE);
    c.Clear(White);
    Chord(c.dc, 0, 0, 21, 21, 20, 10, 0, 10); // upper half
    EXPECT_EQ(c.Read().at(10, 5), Black);
    EXPECT_EQ(c.Read().at(10, 15), White);
    c.Clear(White);
    SelectObject(c.dc, GetStockObject(BLACK_PEN));
    Arc(c.dc, 0, 0, 21, 21, 20, 10, 0, 10);
    EXPECT_EQ(c.Read().at(10, 0), Black);
    EXPECT_EQ(c.Read().at(10, 20), White);
    EXPECT_EQ(c.Read().at(10, 5), White);
}

} // namespace

