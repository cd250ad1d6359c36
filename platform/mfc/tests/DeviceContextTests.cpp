// The framework's device context and drawing objects over the drawing layer.

#include <gtest/gtest.h>

#include "mfc/afx.h"
#include "testing/PlatformTest.h"
#include "win32/GdiTesting.h"
#include "win32/icon.h"
#include "win32/user.h"

namespace {

constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Blue = RGB(0, 0, 255);

struct Canvas {
    CDC dc;
    CBitmap bitmap;
    CBitmap* old = nullptr;
    Canvas(int w, int h) {
        dc.CreateCompatibleDC(nullptr);
        CClientDC screen(nullptr);
        bitmap.CreateCompatibleBitmap(&screen, w, h);
        old = dc.SelectObject(&bitmap);
        CRect r(0, 0, w, h);
        dc.FillSolidRect(&r, White);
    }
    ~Canvas() { dc.SelectObject(old); }
};

TEST(CRectTest, Arithmetic) {
    CRect r(10, 20, 30, 60);
    EXPECT_EQ(r.Width(), 20);
    EXPECT_EQ(r.Height(), 40);
    EXPECT_EQ(r.CenterPoint(), CPoint(20, 40));
    r.OffsetRect(5, -5);
    EXPECT_EQ(r, CRect(15, 15, 35, 55));
    r.InflateRect(1, 2);
    EXPECT_EQ(r, CRect(14, 13, 36, 57));
    CRect a(0, 0, 10, 10), b(5, 5, 20, 20);
    EXPECT_EQ(a & b, CRect(5, 5, 10, 10));
    EXPECT_EQ(a | b, CRect(0, 0, 20, 20));
    EXPECT_TRUE((a & CRect(20, 20, 30, 30)).IsRectNull());
    CRect flipped(10, 10, 0, 0);
    flipped.NormalizeRect();
    EXPECT_EQ(flipped, a);
    EXPECT_TRUE(a.PtInRect(CPoint(0, 0)));
    EXPECT_FALSE(a.PtInRect(CPoint(10, 5)));
    EXPECT_EQ(CPoint(3, 4) - CPoint(1, 1), CSize(2, 3));
}

TEST(CDCTest, DrawsOnSelectedBitmapAndRestoresState) {
    Canvas c(20, 20);
    CPen pen(PS_SOLID, 1, Blue);
    CBrush brush(Blue);
    CPen* oldPen = c.dc.SelectObject(&pen);
    ASSERT_NE(oldPen, nullptr);
    EXPECT_EQ(oldPen->m_hObject, GetStockObject(BLACK_PEN));
    int saved = c.dc.SaveDC();
    c.dc.SetROP2(R2_XORPEN);
    c.dc.SetMapMode(MM_ANISOTROPIC);
    c.dc.SetViewportOrg(5, 5);
    EXPECT_TRUE(c.dc.RestoreDC(saved));
    EXPECT_EQ(c.dc.GetROP2(), R2_COPYPEN);
    EXPECT_EQ(c.dc.GetMapMode(), MM_TEXT);
    EXPECT_EQ(c.dc.GetViewportOrg(), CPoint(0, 0));
    EXPECT_EQ(c.dc.GetCurrentPen()->m_hObject, pen.m_hObject);
    c.dc.MoveTo(0, 5);
    c.dc.LineTo(10, 5);
    EXPECT_EQ(c.dc.GetPixel(0, 5), Blue);
    EXPECT_EQ(c.dc.GetPixel(9, 5), Blue);
    EXPECT_EQ(c.dc.GetPixel(10, 5), White);
    c.dc.SelectObject(oldPen);
}

TEST(CDCTest, DrawsTheApplicationsIconsOverTheBackground) {
    CWinApp app("signdesk");
    HICON stop = app.LoadStandardIcon(IDI_HAND);
    ASSERT_NE(stop, nullptr);
    EXPECT_EQ(stop, ::LoadIconA(nullptr, IDI_HAND));
    EXPECT_EQ(app.LoadIcon(UINT(0x7FFF)), nullptr); // no such resource
    Canvas c(40, 40);
    EXPECT_TRUE(c.dc.DrawIcon(CPoint(4, 4), stop));
    EXPECT_EQ(c.dc.GetPixel(4, 4), White);           // a corner: transparent
    EXPECT_EQ(c.dc.GetPixel(20, 9), RGB(255, 0, 0)); // the disc
    EXPECT_EQ(c.dc.GetPixel(20, 5), RGB(0, 0, 0));   // its rim
    EXPECT_EQ(c.dc.GetPixel(36, 20), White);         // past its 32 pixels
    EXPECT_FALSE(c.dc.DrawIcon(0, 0, nullptr));
}

TEST(CDCTest, FromHandleWrapsWithoutOwning) {
    HDC raw = CreateCompatibleDC(nullptr);
    {
        CDC* temp = CDC::FromHandle(raw);
        ASSERT_NE(temp, nullptr);
        EXPECT_EQ(temp->m_hDC, raw);
        EXPECT_EQ(CDC::FromHandle(raw), temp);
        CDC::DeleteTempMap();
    }
    // Still alive: the wrapper did not delete it.
    EXPECT_EQ(GetDeviceCaps(raw, PLANES), 1);
    CDC owner;
    ASSERT_TRUE(owner.Attach(raw));
    EXPECT_EQ(CDC::FromHandle(raw), &owner);
}

TEST(CDCTest, OwnedContextIsDeletedWithTheObject) {
    HDC raw;
    {
        CDC dc;
        ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
        raw = dc.m_hDC;
        EXPECT_FALSE(dc.IsPrinting());
    }
    EXPECT_EQ(GetDeviceCaps(raw, PLANES), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(CGdiObjectTest, OwnsAndDeletesItsHandle) {
    HGDIOBJ h;
    {
        CBrush b(Blue);
        h = b.m_hObject;
        LOGBRUSH lb{};
        ASSERT_EQ(b.GetLogBrush(&lb), int(sizeof lb));
        EXPECT_EQ(lb.lbColor, Blue);
        EXPECT_EQ(CBrush::FromHandle(static_cast<HBRUSH>(h)), &b);
    }
    EXPECT_EQ(GetObjectType(h), 0u);
    CPen stock;
    ASSERT_TRUE(stock.CreateStockObject(BLACK_PEN));
    EXPECT_TRUE(stock.DeleteObject());
    EXPECT_EQ(GetObjectType(GetStockObject(BLACK_PEN)), OBJ_PEN);
}

TEST(CRgnTest, CombinesAndSelectsAsClip) {
    Canvas c(20, 20);
    CRgn a, b, both;
    a.CreateRectRgn(0, 0, 10, 10);
    b.CreateRectRgn(5, 5, 15, 15);
    both.CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(both.CombineRgn(&a, &b, RGN_OR), COMPLEXREGION);
    EXPECT_TRUE(both.PtInRegion(12, 12));
    EXPECT_FALSE(both.PtInRegion(12, 2));
    EXPECT_EQ(c.dc.SelectClipRgn(&both), COMPLEXREGION);
    CRect box;
    EXPECT_EQ(c.dc.GetClipBox(&box), COMPLEXREGION);
    EXPECT_EQ(box, CRect(0, 0, 15, 15));
    CBrush blue(Blue);
    CRect all(0, 0, 20, 20);
    c.dc.FillRect(&all, &blue);
    EXPECT_EQ(c.dc.GetPixel(12, 12), Blue);
    c.dc.SelectClipRgn(nullptr);
    EXPECT_EQ(c.dc.GetPixel(12, 2), White);
}

class WindowDcTest : public PlatformTest {
protected:
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == WM_PAINT) {
            CWnd wnd;
            wnd.m_hWnd = h;
            {
                CPaintDC dc(&wnd);
                CBrush blue(Blue);
                dc.FillRect(&dc.m_ps.rcPaint, &blue);
            }
            wnd.m_hWnd = nullptr;
            return 0;
        }
        return DefWindowProcA(h, m, w, l);
    }
};

TEST_F(WindowDcTest, PaintDcDrawsIntoTheClientSurface) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &WindowDcTest::Proc;
    wc.lpszClassName = "SdPaintTest";
    ASSERT_NE(RegisterClassA(&wc), 0);
    HWND h = CreateWindowExA(0, "SdPaintTest", "paint", WS_VISIBLE, 0, 0, 40, 30, nullptr, nullptr,
                             nullptr, nullptr);
    ASSERT_NE(h, nullptr);
    UpdateWindow(h);
    SdGdiImage img = SdGdiReadWindow(h);
    RECT client;
    GetClientRect(h, &client);
    ASSERT_EQ(img.width, client.right);
    EXPECT_EQ(img.at(0, 0), Blue);
    EXPECT_EQ(img.at(img.width - 1, img.height - 1), Blue);
    CWnd wnd;
    wnd.m_hWnd = h;
    {
        CClientDC dc(&wnd);
        EXPECT_EQ(dc.GetDeviceCaps(BITSPIXEL), 24);
        dc.SetPixel(1, 1, White);
    }
    wnd.m_hWnd = nullptr;
    EXPECT_EQ(SdGdiReadWindow(h).at(1, 1), White);
}

TEST(CPreviewDCTest, MapsPrinterPointsToTheScreen) {
    CPreviewDC dc;
    dc.SetScaleRatio(1, 4);
    dc.SetTopLeftOffset(CSize(10, 20));
    POINT p{400, 800};
    dc.PrinterDPtoScreenDP(&p);
    EXPECT_EQ(p.x, 110);
    EXPECT_EQ(p.y, 220);
    EXPECT_TRUE(dc.IsKindOf(RUNTIME_CLASS(CDC)));
}

} // namespace
