#pragma once
// Framework device context. Output goes to m_hDC; attribute queries go to m_hAttribDC, and
// attribute changes to both. A CDC deletes a context it created (CreateDC, CreateIC,
// CreateCompatibleDC) or was attached to when it is destroyed; FromHandle gives a temporary
// wrapper that owns nothing. The text, visibility and escape operations are virtual so that
// special contexts (bitmap contexts, print preview) can redirect them.

#include "mfc/CGdiObject.h"
#include "mfc/CRect.h"
#include "win32/wingdi.h"

class CWnd;

class MFC_API CDC : public CObject {
    DECLARE_DYNCREATE(CDC)
public:
    CDC() = default;
    ~CDC() override;

    HDC m_hDC = nullptr;
    HDC m_hAttribDC = nullptr;
    BOOL m_bPrinting = FALSE;

    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const;
    static CDC* FromHandle(HDC dc);
    static void DeleteTempMap();

    BOOL Attach(HDC dc);
    HDC Detach();
    virtual void SetAttribDC(HDC dc);
    virtual void SetOutputDC(HDC dc);
    virtual void ReleaseAttribDC();
    virtual void ReleaseOutputDC();
    BOOL IsPrinting() const { return m_bPrinting; }

    BOOL CreateDC(LPCSTR driver, LPCSTR device, LPCSTR output, const void* init);
    BOOL CreateIC(LPCSTR driver, LPCSTR device, LPCSTR output, const void* init);
    BOOL CreateCompatibleDC(CDC* dc);
    BOOL DeleteDC();

    virtual int SaveDC();
    virtual BOOL RestoreDC(int savedDc);
    int GetDeviceCaps(int index) const;

    // Objects
    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    CBitmap* SelectObject(CBitmap* bitmap);
    CFont* SelectObject(CFont* font);
    CGdiObject* SelectObject(CGdiObject* object);
    int SelectObject(CRgn* region);
    HGDIOBJ SelectObject(HGDIOBJ object);
    virtual CGdiObject* SelectStockObject(int index);
    CPalette* SelectPalette(CPalette* palette, BOOL forceBackground);
    UINT RealizePalette();
    CPen* GetCurrentPen() const;
    CBrush* GetCurrentBrush() const;
    CBitmap* GetCurrentBitmap() const;
    CPalette* GetCurrentPalette() const;

    // Attributes
    virtual COLORREF SetBkColor(COLORREF color);
    COLORREF GetBkColor() const;
    int SetBkMode(int mode);
    int GetBkMode() const;
    virtual COLORREF SetTextColor(COLORREF color);
    COLORREF GetTextColor() const;
    int SetROP2(int rop2);
    int GetROP2() const;
    int SetPolyFillMode(int mode);
    int GetPolyFillMode() const;
    int SetStretchBltMode(int mode);
    int GetStretchBltMode() const;
    UINT SetTextAlign(UINT align);
    UINT GetTextAlign() const;
    CPoint SetBrushOrg(int x, int y);
    CPoint SetBrushOrg(POINT p) { return SetBrushOrg(p.x, p.y); }
    COLORREF GetNearestColor(COLORREF color) const;

    // Mapping
    virtual int SetMapMode(int mode);
    int GetMapMode() const;
    virtual CPoint SetViewportOrg(int x, int y);
    CPoint SetViewportOrg(POINT p) { return SetViewportOrg(p.x, p.y); }
    virtual CPoint OffsetViewportOrg(int dx, int dy);
    CPoint GetViewportOrg() const;
    virtual CSize SetViewportExt(int x, int y);
    CSize SetViewportExt(SIZE s) { return SetViewportExt(s.cx, s.cy); }
    virtual CSize ScaleViewportExt(int xn, int xd, int yn, int yd);
    CSize GetViewportExt() const;
    virtual CPoint SetWindowOrg(int x, int y);
    CPoint SetWindowOrg(POINT p) { return SetWindowOrg(p.x, p.y); }
    CPoint OffsetWindowOrg(int dx, int dy);
    CPoint GetWindowOrg() const;
    virtual CSize SetWindowExt(int x, int y);
    CSize SetWindowExt(SIZE s) { return SetWindowExt(s.cx, s.cy); }
    virtual CSize ScaleWindowExt(int xn, int xd, int yn, int yd);
    CSize GetWindowExt() const;
    void LPtoDP(LPPOINT points, int count = 1) const;
    void LPtoDP(LPRECT rect) const { LPtoDP(reinterpret_cast<LPPOINT>(rect), 2); }
    void LPtoDP(LPSIZE size) const;
    void DPtoLP(LPPOINT points, int count = 1) const;
    void DPtoLP(LPRECT rect) const { DPtoLP(reinterpret_cast<LPPOINT>(rect), 2); }
    void DPtoLP(LPSIZE size) const;

    // Clipping
    virtual int GetClipBox(LPRECT rect) const;
    virtual int SelectClipRgn(CRgn* region);
    virtual int SelectClipRgn(CRgn* region, int mode);
    virtual int ExcludeClipRect(int l, int t, int r, int b);
    int ExcludeClipRect(const RECT* rect) {
        return ExcludeClipRect(rect->left, rect->top, rect->right, rect->bottom);
    }
    virtual int IntersectClipRect(int l, int t, int r, int b);
    int IntersectClipRect(const RECT* rect) {
        return IntersectClipRect(rect->left, rect->top, rect->right, rect->bottom);
    }
    virtual int OffsetClipRgn(int dx, int dy);
    virtual BOOL PtVisible(int x, int y) const;
    BOOL PtVisible(POINT p) const { return PtVisible(p.x, p.y); }
    virtual BOOL RectVisible(const RECT* rect) const;

    // Drawing
    CPoint MoveTo(int x, int y);
    CPoint MoveTo(POINT p) { return MoveTo(p.x, p.y); }
    CPoint GetCurrentPosition() const;
    BOOL LineTo(int x, int y);
    BOOL LineTo(POINT p) { return LineTo(p.x, p.y); }
    BOOL Polyline(const POINT* points, int count);
    BOOL PolylineTo(const POINT* points, int count);
    BOOL PolyBezier(const POINT* points, int count);
    BOOL PolyBezierTo(const POINT* points, int count);
    BOOL Polygon(const POINT* points, int count);
    BOOL PolyPolygon(const POINT* points, const INT* counts, int polygons);
    BOOL Rectangle(int l, int t, int r, int b);
    BOOL Rectangle(const RECT* rect) {
        return Rectangle(rect->left, rect->top, rect->right, rect->bottom);
    }
    BOOL RoundRect(int l, int t, int r, int b, int w, int h);
    BOOL Ellipse(int l, int t, int r, int b);
    BOOL Ellipse(const RECT* rect) {
        return Ellipse(rect->left, rect->top, rect->right, rect->bottom);
    }
    BOOL Arc(int l, int t, int r, int b, int x1, int y1, int x2, int y2);
    BOOL Chord(int l, int t, int r, int b, int x1, int y1, int x2, int y2);
    BOOL Pie(int l, int t, int r, int b, int x1, int y1, int x2, int y2);
    void FillRect(const RECT* rect, CBrush* brush);
    void FillSolidRect(const RECT* rect, COLORREF color);
    void FillSolidRect(int x, int y, int w, int h, COLORREF color);
    void FrameRect(const RECT* rect, CBrush* brush);
    // The icon at its size, top left at (x, y); its transparent pixels keep the background.
    BOOL DrawIcon(int x, int y, HICON icon);
    BOOL DrawIcon(POINT p, HICON icon) { return DrawIcon(p.x, p.y, icon); }
    void InvertRect(const RECT* rect);
    BOOL FillRgn(CRgn* region, CBrush* brush);
    BOOL FrameRgn(CRgn* region, CBrush* brush, int w, int h);
    BOOL PaintRgn(CRgn* region);
    BOOL InvertRgn(CRgn* region);
    BOOL PatBlt(int x, int y, int w, int h, DWORD rop);
    BOOL BitBlt(int x, int y, int w, int h, CDC* src, int xs, int ys, DWORD rop);
    BOOL StretchBlt(int x, int y, int w, int h, CDC* src, int xs, int ys, int ws, int hs,
                    DWORD rop);
    COLORREF SetPixel(int x, int y, COLORREF color);
    COLORREF SetPixel(POINT p, COLORREF color) { return SetPixel(p.x, p.y, color); }
    BOOL SetPixelV(int x, int y, COLORREF color);
    COLORREF GetPixel(int x, int y) const;
    COLORREF GetPixel(POINT p) const { return GetPixel(p.x, p.y); }

    // Text (the text layer draws it)
    virtual BOOL TextOut(int x, int y, LPCSTR text, int length);
    virtual BOOL ExtTextOut(int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT length,
                            const INT* dx);

    // Paths
    BOOL BeginPath();
    BOOL EndPath();
    BOOL AbortPath();
    BOOL CloseFigure();
    BOOL FillPath();
    BOOL StrokePath();
    BOOL StrokeAndFillPath();
    BOOL FlattenPath();
    BOOL SelectClipPath(int mode);

    // Printing
    virtual int Escape(int escape, int inSize, LPCSTR in, LPVOID out);
    int StartDoc(const DOCINFOA* info);
    int StartDoc(LPCSTR documentName);
    int EndDoc();
    int AbortDoc();
    int StartPage();
    int EndPage();

private:
    bool owns_ = false;
};
