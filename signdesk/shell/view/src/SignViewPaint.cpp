// The sign view's painting: page, objects layer by layer, guide lines, marked box and
// font-editing guides, through off-screen 24-bit bands.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include <app/AppSettings.h>
#include <doc/CSignDoc.h>
#include <mfc/CDC.h>
#include <mfc/CGdiObject.h>
#include <mfc/CWaitCursor.h>
#include <model/ViewHooks.h>
#include <output/CPrinterStream.h>
#include <pathkit/PathDraw.h>
#include <rasterkit/CDibDC.h>
#include <sheet/COleOperatingMode.h>
#include <sheet/SheetSettings.h>
#include <shell/PSWriter.h>

#include "view/CSignView.h"
#include "view/FontEditLayout.h"
#include "view/PrintColorCorrection.h"
#include "view/SignViewHooks.h"

namespace {

// The largest off-screen band, bytes (3 a pixel).
constexpr long long kBandBytes = 0x100000;

int Truncate(double v) {
    if (!(v > -1e9)) return -1000000000;
    if (!(v < 1e9)) return 1000000000;
    return int(v);
}

CPoint Mapped(const floatTMatrix& m, float x, float y) {
    m.Transform(x, y);
    return CPoint(Truncate(std::floor(x + 0.5f)), Truncate(std::floor(y + 0.5f)));
}

// The band's pixels, blue-green-red, for the PostScript image writer.
class BandImage : public PSImageSource {
public:
    explicit BandImage(DIBInterface& dib) : dib_(dib) {}
    int BitmapWidth() override { return dib_.GetWidth(); }
    int BitmapHeight() override { return dib_.GetHeight(); }
    int SourceWidth() override { return dib_.GetWidth(); }
    int SourceHeight() override { return dib_.GetHeight(); }
    void GetPixel(int x, int y, BYTE out[4]) override {
        int rgb[3] = {255, 255, 255};
        dib_.GetPixel(x, y, rgb);
        out[0] = BYTE(rgb[2]);
        out[1] = BYTE(rgb[1]);
        out[2] = BYTE(rgb[0]);
        out[3] = 0;
    }

private:
    DIBInterface& dib_;
};

// The program palette: the built-in 256-colour table; null where none can be made.
CPalette* AppPalette() {
    static CPalette palette;
    static const bool made = DIBInterface::GetHalfTonePalette(&palette) != 0;
    return made ? &palette : nullptr;
}

bool IsPostScriptPrinter(CDC* pDC) {
    int escape = POSTSCRIPT_PASSTHROUGH;
    return pDC->Escape(QUERYESCSUPPORT, sizeof escape, reinterpret_cast<LPCSTR>(&escape), nullptr) >
           0;
}

} // namespace

long CSignView::SkippedBands = 0;

CPalette* CSignView::GetAppPalette() {
    return AppPalette();
}

void CSignView::OnDraw(CDC* pDC) {
    if (!initialised) return;
    std::optional<CWaitCursor> wait;
    if (GetCapture() != this) wait.emplace();
    const BOOL printing = pDC->IsPrinting();
    if (!printing) EraseCrossHair();

    const int saved = pDC->SaveDC();
    CPalette* oldPalette = nullptr;
    if (CPalette* palette = GetAppPalette()) {
        oldPalette = pDC->SelectPalette(palette, TRUE);
        pDC->RealizePalette();
    }
    if (!printing) {
        DrawSheetBackground(pDC, &worldToDevice);
        PaintBanded(pDC);
        if (mode) mode->DrawFeedback(pDC, &worldToDevice);
        ShowCrossHair();
        if (dragGuideDrawn) {
            // Put back where the repaint covered it; it stays drawn elsewhere.
            CPoint p;
            WorldToClient(dragGuidePoint.x, dragGuidePoint.y, p);
            const CPoint scroll = GetDeviceScrollPosition();
            CRect client;
            GetClientRect(&client);
            p.Offset(scroll);
            client.OffsetRect(scroll);
            DrawGuideLine(pDC, p, dragGuideAngle, client);
        }
        if (SheetSettings::Grid) DrawGrid(pDC);
        if (guideLinesShown) DrawGuideLines(pDC);
        if (markedBoxShown) DrawMarkedBox(pDC, worldToDevice);
    } else {
        PrintPaint(pDC);
    }
    pDC->RestoreDC(saved);
    if (oldPalette != nullptr) pDC->SelectPalette(oldPalette, TRUE);
}

int CSignView::BandRows(int w, int h) {
    if (w <= 0 || h <= 0) return 0;
    if (3LL * w * h <= kBandBytes) return h;
    // A clip box wider than a band's bytes still gets one row at a time.
    return int(std::max(1LL, kBandBytes / (3LL * w)));
}

void CSignView::PaintBanded(CDC* pDC) {
    CRect clip;
    pDC->GetClipBox(&clip);
    if (clip.IsRectEmpty()) return;
    const BOOL printing = pDC->IsPrinting();
    const floatTMatrix& m = printing ? printMatrix : worldToDevice;
    const int rows = BandRows(clip.Width(), clip.Height());
    for (int top = clip.top; top < clip.bottom; top += rows) {
        const CRect band(clip.left, top, clip.right, std::min(clip.bottom, top + rows));
        PaintBand(pDC, band, m, printing, PrintPreviewFlag);
    }
}

void CSignView::PaintBand(CDC* pDC, const CRect& band, const floatTMatrix& m, BOOL printing,
                          BOOL preview) {
    const bool postScript = printing && !preview && IsPostScriptPrinter(pDC);
    CDibDC image(pDC, band);
    if (!image.IsValid()) {
        // No memory for this band: it stays unpainted, the others are still drawn.
        if (SkippedBands++ == 0)
            std::fprintf(stderr, "signdesk: a band of the view could not be rendered\n");
        return;
    }
    if (printing)
        image.FillSolidRect(&band, RGB(255, 255, 255));
    else
        DrawSheetBackground(&image, &m);
    if (mode)
        mode->OnDrawContent(&image, &m);
    else
        DrawContent(&image, &m);

    DIBInterface& dib = image.m_DIB;
    const bool white = printing && dib.IsFilledWith(255, 255, 255, 0, 0, 0, 0);
    if (postScript) {
        if (white) return;
        PrintColorCorrection::Apply(dib);
        floatTMatrix inverse = m.Inv();
        float x0 = float(band.left), y0 = float(band.top), x1 = float(band.right),
              y1 = float(band.bottom);
        inverse.Transform(x0, y0);
        inverse.Transform(x1, y1);
        floatBBox world(x0, y0, x1, y1);
        BandImage source(dib);
        CPrinterStream stream(pDC, 16382);
        PSWriter ps(stream, m);
        ps.WritePSImage(source, world);
        stream.Flush();
        return;
    }
    if (white) return;
    if (printing && !preview) PrintColorCorrection::Apply(dib);
    const CRect source(0, 0, dib.GetWidth(), dib.GetHeight());
    dib.Paint(pDC, source, band, SmoothBitmapPaint ? 2 : 1);
}

void CSignView::DrawSheetBackground(CDC* pDC, const floatTMatrix* matrix) {
    if (!CSignDoc::OwnPage) {
        COleSheetView::DrawSheetBackground(pDC, matrix);
        return;
    }
    CPoint a = Mapped(*matrix, 0, 0),
           b = Mapped(*matrix, SheetSettings::DocWidth, SheetSettings::DocHeight);
    CRect page(a, b);
    page.NormalizeRect();
    CRect clip;
    pDC->GetClipBox(&clip);
    clip.right += 1;
    clip.bottom += 1;
    CGdiObject* oldPen = pDC->SelectStockObject(NULL_PEN);
    CBrush workspace(::GetSysColor(COLOR_APPWORKSPACE));
    CBrush* oldBrush = pDC->SelectObject(&workspace);
    pDC->Rectangle(&clip);
    CBrush paper(SheetSettings::BGColor);
    pDC->SelectObject(&paper);
    pDC->Rectangle(&page);
    pDC->SelectObject(oldBrush);
    CPen shadow(PS_SOLID, 2, RGB(0, 0, 0));
    pDC->SelectObject(&shadow);
    pDC->MoveTo(page.right + 2, page.top + 2);
    pDC->LineTo(page.right + 2, page.bottom + 2);
    pDC->LineTo(page.left + 2, page.bottom + 2);
    pDC->SelectObject(oldPen);
}

void CSignView::DrawContent(CDC* pDC, const floatTMatrix* matrix) {
    DrawSheetObjects(pDC, *matrix, 0);
    if (pDC->IsPrinting()) return;
    CSignDoc* doc = GetSignDoc();
    if (doc != nullptr && doc->m_bFontEditing) DrawFontEditGuides(pDC, *matrix);
}

void CSignView::DrawSheetObjects(CDC* pDC, const floatTMatrix& m, int detail) {
    CSignDoc* doc = GetSignDoc();
    if (doc == nullptr) return;
    if (detail <= 0) detail = Settings().Detail;
    const BOOL printing = pDC->IsPrinting();
    const BOOL outline = printing && CSignDoc::OutlinePrint;
    CSign& sign = doc->m_sheet;
    for (int layer = -127; layer <= 127; ++layer) {
        if (sign.GetLayerCount(layer) == 0 || !sign.IsLayerVisible(layer)) continue;
        for (int i = 0; i < sign.GetSize(); ++i) {
            CSignObj* obj = sign.GetObj(i);
            const signed char own = obj->GetLayer();
            if (own != layer && own != NO_LAYER) continue;
            if (outline) {
                OutlinePrint(pDC, m, obj, layer, CSignDoc::OutlineDistance);
            } else {
                const int saved = pDC->SaveDC();
                obj->Paint(pDC, m, detail, layer, 0);
                pDC->RestoreDC(saved);
            }
        }
    }
    if (printing || CSignDoc::OwnPage || !cleanupSheet || !cleanupSheet->IsOpen()) return;
    BOOL horizontal = FALSE;
    float value = 0;
    if (!cleanupSheet->GetAlignmentLine(horizontal, value)) return;
    floatBBox extent;
    doc->GetExtent(extent);
    PathMember line = horizontal ? PathMember({extent.left, value}, {extent.right, value})
                                 : PathMember({value, extent.bottom}, {value, extent.top});
    CPen pen(PS_SOLID, 1, RGB(255, 255, 0));
    CPen* oldPen = pDC->SelectObject(&pen);
    const int oldRop = pDC->SetROP2(R2_XORPEN);
    Draw(pDC, m, line, 2);
    pDC->SetROP2(oldRop);
    pDC->SelectObject(oldPen);
}

void CSignView::DrawGuideLines(CDC* pDC) {
    CSignDoc* doc = GetSignDoc();
    if (doc == nullptr || m_hWnd == nullptr) return;
    // DrawWorldGuideLine works in client pixels: take the scroll out of the paint DC.
    const int saved = pDC->SaveDC();
    const CPoint scroll = GetDeviceScrollPosition();
    pDC->OffsetViewportOrg(scroll.x, scroll.y);
    CRect client;
    GetClientRect(&client);
    int index = 0;
    for (const GuideLine& g : doc->m_guideLines) {
        if (index++ == editedGuideLine) continue;
        DrawWorldGuideLine(pDC, floatPoint(g.x, g.y), g.angle, client);
    }
    pDC->RestoreDC(saved);
}

void CSignView::DrawMarkedBox(CDC* pDC, const floatTMatrix& m) {
    const int r = SheetSettings::MouseSens;
    const int oldRop = pDC->SetROP2(R2_NOTXORPEN);
    const CPoint lb = Mapped(m, markedBox.left, markedBox.bottom);
    const CPoint rb = Mapped(m, markedBox.right, markedBox.bottom);
    const CPoint rt = Mapped(m, markedBox.right, markedBox.top);
    const CPoint lt = Mapped(m, markedBox.left, markedBox.top);
    const POINT outline[5] = {lb, rb, rt, lt, lb};
    pDC->Polyline(outline, 5);
    const POINT diagonal1[2] = {lb, rt};
    const POINT diagonal2[2] = {rb, lt};
    pDC->Polyline(diagonal1, 2);
    pDC->Polyline(diagonal2, 2);
    const CPoint centre((lb.x + rt.x) / 2, (lb.y + rt.y) / 2);
    CGdiObject* oldBrush = pDC->SelectStockObject(NULL_BRUSH);
    for (const CPoint& c : {lb, rb, rt, lt, centre})
        pDC->Ellipse(c.x - r, c.y - r, c.x + r, c.y + r);
    pDC->SelectObject(oldBrush);
    pDC->SetROP2(oldRop);
}

void CSignView::DrawFontEditGuides(CDC* pDC, const floatTMatrix& m) {
    const float a = FontEditLayout::A, b = FontEditLayout::B, c = FontEditLayout::C,
                d = FontEditLayout::D;
    const int n = FontEditLayout::N;
    const float width = SheetSettings::DocWidth;
    const int oldRop = pDC->SetROP2(R2_NOTXORPEN);
    CPen base(PS_SOLID, 3, SheetSettings::GridColor);
    CPen* oldPen = pDC->SelectObject(&base);
    CPoint p = Mapped(m, 0, a), q = Mapped(m, width, a);
    pDC->MoveTo(p);
    pDC->LineTo(q);
    CPen cap(PS_SOLID, 1, SheetSettings::GridColor);
    pDC->SelectObject(&cap);
    p = Mapped(m, 0, b);
    q = Mapped(m, width, b);
    pDC->MoveTo(p);
    pDC->LineTo(q);
    CPen cells(PS_DOT, 1, SheetSettings::GridColor);
    pDC->SelectObject(&cells);
    for (int i = 0; i <= n; ++i) {
        const float x = d + float(i) * c;
        pDC->MoveTo(Mapped(m, x, b));
        pDC->LineTo(Mapped(m, x, a));
    }
    pDC->SelectObject(oldPen);
    pDC->SetROP2(oldRop);
}
