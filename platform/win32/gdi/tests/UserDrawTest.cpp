// The window layer's drawing helpers read back by pixels: formatted text against its own
// DT_CALCRECT sizes, tabbed and grayed text, edges, frame controls, focus rectangles, and
// the user-interface font.

#include <cstring>
#include <string>

#include "GdiFixture.h"
#include "win32/userdraw.h"

// Named, so that its helpers stay apart when test sources compile in batches.
namespace user_draw_test {

constexpr COLORREF black = RGB(0, 0, 0);
constexpr COLORREF white = RGB(255, 255, 255);

// The bounding box of every pixel that is not white; empty when there is none.
RECT inkBox(const SdGdiImage& img, COLORREF background = white) {
    RECT r{img.width, img.height, 0, 0};
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x)
            if (img.at(x, y) != background) {
                r.left = std::min<LONG>(r.left, x);
                r.top = std::min<LONG>(r.top, y);
                r.right = std::max<LONG>(r.right, x + 1);
                r.bottom = std::max<LONG>(r.bottom, y + 1);
            }
    return r.right > r.left ? r : RECT{0, 0, 0, 0};
}

class UserDrawTest : public ::testing::Test {
protected:
    UserDrawTest() : canvas(200, 120) {
        canvas.Clear(white);
        SelectObject(canvas.dc, GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(canvas.dc, TRANSPARENT);
        SetTextColor(canvas.dc, black);
    }
    int Width(const char* text) {
        SIZE s{};
        GetTextExtentPoint32A(canvas.dc, text, int(std::strlen(text)), &s);
        return int(s.cx);
    }
    DibCanvas canvas;
};

TEST_F(UserDrawTest, TheInterfaceFontHasTheDialogBaseUnits) {
    TEXTMETRICA tm{};
    ASSERT_TRUE(GetTextMetricsA(canvas.dc, &tm));
    EXPECT_EQ(tm.tmHeight, 13);
    const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    EXPECT_EQ((Width(alphabet) / 26 + 1) / 2, 6);
    // The other stock user-interface fonts and a new context's font are the same face.
    for (int stock : {ANSI_VAR_FONT, SYSTEM_FONT}) {
        SelectObject(canvas.dc, GetStockObject(stock));
        TEXTMETRICA other{};
        ASSERT_TRUE(GetTextMetricsA(canvas.dc, &other));
        EXPECT_EQ(other.tmHeight, tm.tmHeight);
        EXPECT_EQ(other.tmAveCharWidth, tm.tmAveCharWidth);
    }
}

struct TextCase {
    const char* name;
    const char* text;
    UINT format;
    RECT rect;
    // Where the ink must lie (-1: not checked): its left, centre (x2), right edges.
    int inkLeftAtMost, inkCentreX2, inkRightAtLeast;
    int lines; // lines DT_CALCRECT counts
};

TEST_F(UserDrawTest, DrawTextPlacesTheInkInsideItsOwnCalculatedRectangle) {
    const TextCase cases[] = {
        {"left", "Apply", DT_LEFT | DT_SINGLELINE, {10, 10, 190, 30}, 12, -1, -1, 1},
        {"centre", "Apply", DT_CENTER | DT_SINGLELINE, {10, 10, 190, 30}, -1, 200, -1, 1},
        {"right", "Apply", DT_RIGHT | DT_SINGLELINE, {10, 10, 190, 30}, -1, -1, 187, 1},
        {"word break", "one two three four", DT_WORDBREAK, {10, 10, 45, 110}, 12, -1, -1, 4},
        {"line breaks", "one\r\ntwo\nthree\r", DT_LEFT, {10, 10, 190, 110}, 12, -1, -1, 3},
        {"prefix", "&File", DT_LEFT | DT_SINGLELINE, {10, 10, 190, 30}, 12, -1, -1, 1},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.name);
        RECT calc = c.rect;
        const int calcHeight = DrawTextA(canvas.dc, c.text, -1, &calc, c.format | DT_CALCRECT);
        EXPECT_EQ(calcHeight, 13 * c.lines);
        EXPECT_EQ(calc.bottom - calc.top, 13 * c.lines);
        canvas.Clear(white);
        RECT r = c.rect;
        EXPECT_EQ(DrawTextA(canvas.dc, c.text, -1, &r, c.format), 13 * c.lines);
        RECT ink = inkBox(canvas.Read());
        ASSERT_GT(ink.right, ink.left);
        const int width = int(calc.right - calc.left);
        // The ink of the left-aligned text lies in the calculated box (a pixel of side bearing).
        if (!(c.format & (DT_CENTER | DT_RIGHT))) {
            EXPECT_GE(ink.left, calc.left);
            EXPECT_LE(ink.right, calc.right + 1);
        }
        EXPECT_GE(ink.top, calc.top);
        EXPECT_LE(ink.bottom, calc.bottom + 1);
        if (c.inkLeftAtMost >= 0) {
            EXPECT_LE(ink.left, c.inkLeftAtMost);
        }
        if (c.inkCentreX2 >= 0) {
            EXPECT_NEAR(ink.left + ink.right, c.inkCentreX2, 3);
        }
        if (c.inkRightAtLeast >= 0) {
            EXPECT_GE(ink.right, c.inkRightAtLeast);
        }
        if (c.format & DT_CENTER) {
            EXPECT_NEAR(ink.right - ink.left, width, 3);
        }
    }
}

TEST_F(UserDrawTest, VerticalPlacementOfOneLine) {
    RECT r{0, 0, 200, 100};
    EXPECT_EQ(DrawTextA(canvas.dc, "Ok", -1, &r, DT_SINGLELINE | DT_VCENTER), (100 - 13) / 2 + 13);
    RECT ink = inkBox(canvas.Read());
    EXPECT_NEAR(ink.top + ink.bottom, 100, 6); // cap height centred within the cell's leading
    canvas.Clear(white);
    EXPECT_EQ(DrawTextA(canvas.dc, "Ok", -1, &r, DT_SINGLELINE | DT_BOTTOM), 100);
    ink = inkBox(canvas.Read());
    EXPECT_LE(ink.bottom, 100);
    EXPECT_GE(ink.top, 100 - 13);
}

TEST_F(UserDrawTest, PrefixesAndTabs) {
    // "&&" is one ampersand; "&F" underlines F under the baseline; DT_NOPREFIX keeps both.
    RECT r{0, 0, 200, 20};
    DrawTextA(canvas.dc, "a&&b", -1, &r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(r.right, Width("a&b"));
    r = RECT{0, 0, 200, 20};
    DrawTextA(canvas.dc, "a&&b", -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(r.right, Width("a&&b"));
    r = RECT{0, 0, 200, 20};
    DrawTextA(canvas.dc, "&F", -1, &r, DT_SINGLELINE);
    TEXTMETRICA tm{};
    GetTextMetricsA(canvas.dc, &tm);
    const int underline = int(tm.tmAscent) + 1;
    SdGdiImage img = canvas.Read();
    int marked = 0;
    for (int x = 0; x < Width("F"); ++x)
        marked += img.at(x, underline) == black;
    EXPECT_EQ(marked, Width("F"));
    canvas.Clear(white);
    DrawTextA(canvas.dc, "&F", -1, &r, DT_SINGLELINE | DT_HIDEPREFIX);
    EXPECT_EQ(countColor(canvas.Read(), black) > 0, true);
    EXPECT_EQ(canvas.Read().at(1, underline), white);

    // Tabs: every 8 average characters with DT_EXPANDTABS, DT_TABSTOP sets the count.
    TEXTMETRICA m{};
    GetTextMetricsA(canvas.dc, &m);
    r = RECT{0, 0, 200, 20};
    DrawTextA(canvas.dc, "a\tb", -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
    EXPECT_EQ(r.right, 8 * m.tmAveCharWidth + Width("b"));
    r = RECT{0, 0, 200, 20};
    DrawTextA(canvas.dc, "a\tb", -1, &r,
              DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS | DT_TABSTOP | (4 << 8));
    EXPECT_EQ(r.right, 4 * m.tmAveCharWidth + Width("b"));

    // TabbedTextOut: one stop every 30 pixels; several stops at their offsets.
    const INT every30[] = {30};
    EXPECT_EQ(LOWORD(GetTabbedTextExtentA(canvas.dc, "a\tb", 3, 1, every30)), 30 + Width("b"));
    const INT stops[] = {50, 70};
    EXPECT_EQ(LOWORD(GetTabbedTextExtentA(canvas.dc, "a\tb\tc\td", 7, 2, stops)), 90 + Width("d"));
    canvas.Clear(white);
    LONG drawn = TabbedTextOutA(canvas.dc, 10, 0, "a\tb", 3, 2, stops, 10);
    EXPECT_EQ(LOWORD(drawn), 50 + Width("b"));
    EXPECT_EQ(HIWORD(drawn), 13);
    RECT ink = inkBox(canvas.Read());
    EXPECT_GE(ink.right, 60); // b starts at 10 + 50
}

TEST_F(UserDrawTest, EllipsesFitTheRectangle) {
    char text[64] = "The quick brown fox jumps";
    RECT r{0, 0, 60, 20};
    DrawTextExA(canvas.dc, text, -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING,
                nullptr);
    std::string shown = text;
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(shown.substr(shown.size() - 3), "...");
    EXPECT_EQ(shown.substr(0, 3), "The");
    EXPECT_LE(Width(text), 60);
    EXPECT_LE(inkBox(canvas.Read()).right, 60);

    char path[64] = "C:\\Signs\\Customers\\Shop front.sgn";
    r = RECT{0, 0, 110, 20};
    DrawTextExA(canvas.dc, path, -1, &r, DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_MODIFYSTRING,
                nullptr);
    std::string p = path;
    EXPECT_EQ(p.substr(0, 2), "C:");
    EXPECT_NE(p.find("...\\Shop front.sgn"), std::string::npos);
    EXPECT_LE(Width(path), 110);
    // Text that fits is left as it is.
    char fits[16] = "Ok";
    DrawTextExA(canvas.dc, fits, -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING,
                nullptr);
    EXPECT_STREQ(fits, "Ok");
}

TEST_F(UserDrawTest, BadTextInputIsClippedOrIgnored) {
    std::string huge(100000, 'W');
    RECT r{0, 0, 200, 20};
    EXPECT_EQ(DrawTextA(canvas.dc, huge.c_str(), -1, &r, DT_SINGLELINE), 13);
    EXPECT_LE(inkBox(canvas.Read()).bottom, 20);
    std::string words;
    for (int i = 0; i < 20000; ++i)
        words += "word ";
    r = RECT{0, 0, 200, 100};
    EXPECT_GT(DrawTextA(canvas.dc, words.c_str(), -1, &r, DT_WORDBREAK), 100);
    RECT empty{5, 5, 5, 5};
    EXPECT_EQ(DrawTextA(canvas.dc, "a b", -1, &empty, DT_CALCRECT | DT_WORDBREAK), 26);
    EXPECT_EQ(empty.left, 5);
    RECT none{5, 5, 50, 50};
    EXPECT_EQ(DrawTextA(canvas.dc, "", -1, &none, DT_CALCRECT), 0);
    EXPECT_EQ(none.right, 5);
    EXPECT_EQ(none.bottom, 5);
    EXPECT_EQ(DrawTextA(canvas.dc, "x", -1, nullptr, 0), 0);
    EXPECT_EQ(DrawTextA(nullptr, "x", -1, &r, 0), 0);
    DRAWTEXTPARAMS wrongSize{};
    EXPECT_EQ(DrawTextExA(canvas.dc, nullptr, 0, &r, 0, &wrongSize), 0);
}

TEST_F(UserDrawTest, GrayStringInksEveryOtherPixel) {
    RECT r{0, 0, 100, 20};
    DrawTextA(canvas.dc, "MMMM", -1, &r, DT_SINGLELINE);
    const int full = countColor(canvas.Read(), black);
    canvas.Clear(white);
    HBRUSH grey = CreateSolidBrush(RGB(128, 128, 128));
    ASSERT_TRUE(
        GrayStringA(canvas.dc, grey, nullptr, reinterpret_cast<LPARAM>("MMMM"), 0, 0, 0, 0, 0));
    DeleteObject(grey);
    SdGdiImage img = canvas.Read();
    const int grayed = countColor(img, RGB(128, 128, 128));
    EXPECT_EQ(countColor(img, black), 0);
    EXPECT_NEAR(grayed, full / 2, full / 8);
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x)
            if (img.at(x, y) != white) {
                EXPECT_EQ((x + y) % 2, 0);
            }
    EXPECT_FALSE(GrayStringA(canvas.dc, nullptr, nullptr, 0, 0, 0, 0, 0, 0));
}

// ---- edges and frames

COLORREF sys(int index) {
    return GetSysColor(index);
}

TEST_F(UserDrawTest, EdgesPaintTheirRingsInTheClassicColours) {
    struct EdgeCase {
        UINT edge, flags;
        int outerTopLeft, outerBottomRight, innerTopLeft, innerBottomRight;
    } cases[] = {
        {EDGE_RAISED, BF_RECT, COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_3DHILIGHT, COLOR_3DSHADOW},
        {EDGE_RAISED, BF_RECT | BF_SOFT, COLOR_3DHILIGHT, COLOR_3DDKSHADOW, COLOR_3DLIGHT,
         COLOR_3DSHADOW},
        {EDGE_SUNKEN, BF_RECT, COLOR_3DSHADOW, COLOR_3DHILIGHT, COLOR_3DDKSHADOW, COLOR_3DLIGHT},
        {EDGE_ETCHED, BF_RECT, COLOR_3DSHADOW, COLOR_3DHILIGHT, COLOR_3DHILIGHT, COLOR_3DSHADOW},
        {EDGE_BUMP, BF_RECT, COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_3DDKSHADOW, COLOR_3DLIGHT},
        {EDGE_SUNKEN, BF_RECT | BF_FLAT, COLOR_3DSHADOW, COLOR_3DSHADOW, COLOR_3DFACE,
         COLOR_3DFACE},
        {EDGE_SUNKEN, BF_RECT | BF_MONO, COLOR_WINDOWFRAME, COLOR_WINDOWFRAME, COLOR_WINDOW,
         COLOR_WINDOW},
    };
    for (const EdgeCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "edge " << c.edge << " flags " << c.flags);
        canvas.Clear(RGB(1, 2, 3));
        RECT r{10, 10, 30, 25};
        ASSERT_TRUE(DrawEdge(canvas.dc, &r, c.edge, c.flags | BF_ADJUST));
        EXPECT_EQ(r.left, 12);
        EXPECT_EQ(r.top, 12);
        EXPECT_EQ(r.right, 28);
        EXPECT_EQ(r.bottom, 23);
        SdGdiImage img = canvas.Read();
        EXPECT_EQ(img.at(10, 10), sys(c.outerTopLeft));
        EXPECT_EQ(img.at(15, 10), sys(c.outerTopLeft));
        EXPECT_EQ(img.at(10, 20), sys(c.outerTopLeft));
        EXPECT_EQ(img.at(29, 24), sys(c.outerBottomRight));
        EXPECT_EQ(img.at(29, 10), sys(c.outerBottomRight)); // the dark side takes the far corners
        EXPECT_EQ(img.at(10, 24), sys(c.outerBottomRight));
        EXPECT_EQ(img.at(11, 11), sys(c.innerTopLeft));
        EXPECT_EQ(img.at(28, 23), sys(c.innerBottomRight));
        EXPECT_EQ(img.at(20, 17), RGB(1, 2, 3)); // no BF_MIDDLE: the inside is left alone
    }
    // Only the named sides; BF_MIDDLE fills the inside with the face colour.
    canvas.Clear(RGB(1, 2, 3));
    RECT r{10, 10, 30, 25};
    DrawEdge(canvas.dc, &r, BDR_RAISEDOUTER, BF_LEFT | BF_MIDDLE);
    SdGdiImage img = canvas.Read();
    EXPECT_EQ(img.at(10, 15), sys(COLOR_3DLIGHT));
    EXPECT_EQ(img.at(20, 10), sys(COLOR_3DFACE));
    EXPECT_EQ(img.at(29, 24), sys(COLOR_3DFACE));
    EXPECT_FALSE(DrawEdge(canvas.dc, nullptr, EDGE_RAISED, BF_RECT));
}

TEST_F(UserDrawTest, FrameControlsShowTheirState) {
    // A push button: white outside top-left, dark shadow outside bottom-right, the face inside.
    RECT push{0, 0, 60, 24};
    ASSERT_TRUE(DrawFrameControl(canvas.dc, &push, DFC_BUTTON, DFCS_BUTTONPUSH));
    SdGdiImage img = canvas.Read();
    EXPECT_EQ(img.at(0, 0), sys(COLOR_3DHILIGHT));
    EXPECT_EQ(img.at(59, 23), sys(COLOR_3DDKSHADOW));
    EXPECT_EQ(img.at(58, 22), sys(COLOR_3DSHADOW));
    EXPECT_EQ(img.at(30, 12), sys(COLOR_3DFACE));
    RECT pushed{0, 0, 60, 24};
    DrawFrameControl(canvas.dc, &pushed, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
    EXPECT_EQ(canvas.Read().at(0, 0), sys(COLOR_3DDKSHADOW));

    // A check box: its mark in the window-text colour inside the white square.
    canvas.Clear(RGB(1, 2, 3));
    RECT box{100, 10, 113, 23};
    DrawFrameControl(canvas.dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
    img = canvas.Read();
    RECT mark = inkBox(img, RGB(1, 2, 3));
    EXPECT_EQ(mark.left, 100);
    EXPECT_EQ(mark.bottom, 23);
    int inked = 0;
    for (int y = 12; y < 21; ++y)
        for (int x = 102; x < 111; ++x) {
            EXPECT_TRUE(img.at(x, y) == sys(COLOR_WINDOW) || img.at(x, y) == sys(COLOR_WINDOWTEXT));
            inked += img.at(x, y) == sys(COLOR_WINDOWTEXT);
        }
    EXPECT_EQ(inked, 21);
    RECT unchecked{100, 40, 113, 53};
    DrawFrameControl(canvas.dc, &unchecked, DFC_BUTTON, DFCS_BUTTONCHECK);
    img = canvas.Read();
    EXPECT_EQ(img.at(106, 46), sys(COLOR_WINDOW));
    EXPECT_EQ(img.at(100, 40), sys(COLOR_3DSHADOW));
    EXPECT_EQ(img.at(101, 41), sys(COLOR_3DDKSHADOW));

    // A radio button: the dot in its middle only when checked.
    RECT radio{140, 10, 152, 22};
    DrawFrameControl(canvas.dc, &radio, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED);
    EXPECT_EQ(canvas.Read().at(146, 16), sys(COLOR_WINDOWTEXT));
    EXPECT_EQ(canvas.Read().at(143, 16), sys(COLOR_WINDOW));
    DrawFrameControl(canvas.dc, &radio, DFC_BUTTON, DFCS_BUTTONRADIO);
    EXPECT_EQ(canvas.Read().at(146, 16), sys(COLOR_WINDOW));

    // A scroll arrow: black triangle pointing down; inactive it is etched.
    canvas.Clear(white);
    RECT arrow{0, 50, 16, 66};
    DrawFrameControl(canvas.dc, &arrow, DFC_SCROLL, DFCS_SCROLLDOWN);
    img = canvas.Read();
    auto rows = mask(img, black);
    EXPECT_EQ(rows[56].substr(0, 16), "....#######....#"); // the last column is the dark edge
    EXPECT_EQ(rows[59].substr(0, 16), ".......#.......#");
    canvas.Clear(white);
    DrawFrameControl(canvas.dc, &arrow, DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_INACTIVE);
    img = canvas.Read();
    EXPECT_EQ(mask(img, black)[56].substr(0, 15), "...............");
    EXPECT_EQ(img.at(7, 59), sys(COLOR_3DSHADOW));
    EXPECT_EQ(img.at(8, 60), sys(COLOR_3DHILIGHT));
    RECT bad{10, 10, 5, 5};
    EXPECT_TRUE(DrawFrameControl(canvas.dc, &bad, DFC_BUTTON, DFCS_BUTTONPUSH));
    EXPECT_FALSE(DrawFrameControl(canvas.dc, &bad, 99, 0));
}

TEST_F(UserDrawTest, FocusRectangleIsDottedAndUndoneByASecondCall) {
    RECT r{10, 10, 20, 16};
    ASSERT_TRUE(DrawFocusRect(canvas.dc, &r));
    auto rows = mask(canvas.Read(), black);
    EXPECT_EQ(rows[10].substr(10, 10), "#.#.#.#.#.");
    EXPECT_EQ(rows[11].substr(10, 10), ".........#");
    EXPECT_EQ(rows[12].substr(10, 10), "#.........");
    EXPECT_EQ(rows[15].substr(10, 10), ".#.#.#.#.#");
    DrawFocusRect(canvas.dc, &r);
    EXPECT_EQ(countColor(canvas.Read(), white), 200 * 120);
}

TEST_F(UserDrawTest, SystemColourBrushes) {
    HBRUSH b = GetSysColorBrush(COLOR_HIGHLIGHT);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b, GetSysColorBrush(COLOR_HIGHLIGHT));
    DeleteObject(b); // a system brush stays
    RECT r{0, 0, 5, 5};
    EXPECT_TRUE(FillRect(canvas.dc, &r, b));
    EXPECT_EQ(canvas.Read().at(2, 2), sys(COLOR_HIGHLIGHT));
    RECT s{5, 0, 10, 5};
    FillRect(canvas.dc, &s, reinterpret_cast<HBRUSH>(COLOR_INFOBK + 1));
    EXPECT_EQ(canvas.Read().at(7, 2), sys(COLOR_INFOBK));
    EXPECT_EQ(GetSysColorBrush(-1), nullptr);
    EXPECT_EQ(GetSysColorBrush(400), nullptr);
}

TEST_F(UserDrawTest, UnclippedTextWiderThanItsRectangleStartsLeftOfIt) {
    // Centred in a rectangle narrower than the text, without clipping: the line starts at a
    // negative x and is drawn whole (its width was once measured against INT32_MAX - x).
    RECT r{0, 0, 8, 20};
    EXPECT_EQ(DrawTextA(canvas.dc, "Wide text", -1, &r, DT_SINGLELINE | DT_CENTER | DT_NOCLIP),
              13);
    const RECT ink = inkBox(canvas.Read());
    EXPECT_GT(ink.right, 8);
}

} // namespace user_draw_test
