// The pixel rules of fills and lines, on 24-bit DIB sections.

#include <cmath>

#include "GdiFixture.h"

namespace {

constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF Red = RGB(255, 0, 0);

TEST(RasterRules, PolygonExcludesRightAndBottomEdges) {
    DibCanvas c(8, 6);
    c.clear(White);
    SelectObject(c.dc, GetStockObject(NULL_PEN));
    SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
    POINT square[] = {{1, 1}, {5, 1}, {5, 4}, {1, 4}};
    ASSERT_TRUE(Polygon(c.dc, square, 4));
    std::vector<std::string> expected = {"........", ".####...", ".####...", ".####...",
                                         "........", "........"};
    EXPECT_EQ(mask(c.read(), Black), expected);
}

TEST(RasterRules, CosmeticLineSkipsLastPixel) {
    DibCanvas c(8, 4);
    c.clear(White);
    MoveToEx(c.dc, 1, 1, nullptr);
    LineTo(c.dc, 6, 3);
    // Slope 2/5: y steps at i where (2*i*2 + 5) / 10 grows: i = 0,1 → 1; 2,3 → 2; 4 → 3.
    std::vector<std::string> expected = {"........", ".##.....", "...##...", ".....#.."};
    EXPECT_EQ(mask(c.read(), Black), expected);
}

TEST(RasterRules, RectangleWithAndWithoutPen) {
    DibCanvas c(6, 5);
    c.clear(White);
    HBRUSH red = CreateSolidBrush(Red);
    SelectObject(c.dc, red);
    Rectangle(c.dc, 0, 0, 5, 4);
    std::vector<std::string> pen = {"#####.", "#...#.", "#...#.", "#####.", "......"};
    std::vector<std::string> fill = {"......", ".###..", ".###..", "......", "......"};
    EXPECT_EQ(mask(c.read(), Black), pen);
    EXPECT_EQ(mask(c.read(), Red), fill);
    c.clear(White);
    SelectObject(c.dc, GetStockObject(NULL_PEN));
    Rectangle(c.dc, 0, 0, 5, 4);
    std::vector<std::string> nullPen = {"####..", "####..", "####..", "......", "......"};
    EXPECT_EQ(mask(c.read(), Red), nullPen);
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
    c.clear(White);
    SetPolyFillMode(c.dc, ALTERNATE);
    ASSERT_TRUE(PolyPolygon(c.dc, pts, counts, 2));
    EXPECT_EQ(countColor(c.read(), Black), 100 - 16);
    c.clear(White);
    SetPolyFillMode(c.dc, WINDING);
    ASSERT_TRUE(PolyPolygon(c.dc, pts, counts, 2));
    EXPECT_EQ(countColor(c.read(), Black), 100);
}

TEST(RasterRules, FarOffPointsClipInsteadOfWrapping) {
    DibCanvas c(10, 10);
    c.clear(White);
    SelectObject(c.dc, GetStockObject(NULL_PEN));
    SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
    const int big = 2000000000;
    POINT tri[] = {{-big, -10}, {big, -10}, {0, big}};
    ASSERT_TRUE(Polygon(c.dc, tri, 3));
    // The slanted edges pass far outside: everything is covered.
    EXPECT_EQ(countColor(c.read(), Black), 100);
    c.clear(White);
    SelectObject(c.dc, GetStockObject(BLACK_PEN));
    MoveToEx(c.dc, -big, 5, nullptr);
    LineTo(c.dc, big, 5);
    EXPECT_EQ(countColor(c.read(), Black), 10);
}

TEST(RasterRules, WidePenCoversItsWidth) {
    DibCanvas c(20, 20);
    c.clear(White);
    HPEN pen = CreatePen(PS_SOLID, 5, Black);
    SelectObject(c.dc, pen);
    MoveToEx(c.dc, 5, 10, nullptr);
    LineTo(c.dc, 15, 10);
    SdGdiImage img = c.read();
    // Rows 8..12 along the segment, round ends beyond it.
    for (int y = 8; y <= 12; ++y) EXPECT_EQ(img.at(10, y), Black) << y;
    EXPECT_EQ(img.at(10, 7), White);
    EXPECT_EQ(img.at(10, 13), White);
    EXPECT_EQ(img.at(3, 10), Black);
    EXPECT_EQ(img.at(2, 10), White);
    SelectObject(c.dc, GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}

TEST(RasterRules, EllipseIsSymmetricAndInsideItsBox) {
    DibCanvas c(21, 21);
    c.clear(White);
    SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
    Ellipse(c.dc, 0, 0, 21, 21);
    SdGdiImage img = c.read();
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

} // namespace
