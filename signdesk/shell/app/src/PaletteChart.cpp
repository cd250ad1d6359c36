#include "app/PaletteChart.h"

#include <algorithm>
#include <cmath>

#include <mfc/CDC.h>
#include <mfc/CGdiObject.h>
#include <mfc/CPrintDialog.h>
#include <mfc/CString.h>
#include <mfc/CWinApp.h>
#include <shell/DefaultPrinterPage.h>

#include "app/AppIds.h"
#include "app/CPaletteBar.h"
#include "app/PaletteFiles.h"

bool PaletteChartLayout::Compute(float printableWidth, float printableHeight, float paperWidth,
                                 float paperHeight, float offsetX, float offsetY) {
    if (!(printableWidth >= kCellWidth) || !(printableHeight >= kCellHeight)) return false;
    const int cols = int(printableWidth / kCellWidth);
    const int rws = int(printableHeight / kCellHeight);
    if (cols < 1 || rws < 1) return false;
    columns = cols;
    rows = rws;
    gapX = (printableWidth - float(cols) * kCellWidth) / float(cols + 1);
    gapY = (printableHeight - float(rws) * kCellHeight) / float(rws + 1);
    const float chartWidth = float(cols) * (kCellWidth + gapX) - gapX;
    const float chartHeight = float(rws) * (kCellHeight + gapY) - gapY;
    left = std::clamp((paperWidth - chartWidth) * 0.5f, offsetX,
                      std::max(offsetX, offsetX + printableWidth - chartWidth));
    top = std::clamp((paperHeight - chartHeight) * 0.5f, offsetY,
                     std::max(offsetY, offsetY + printableHeight - chartHeight));
    return true;
}

COLORREF CorrectPrintColor(COLORREF colour) {
    int c = 255 - GetRValue(colour), m = 255 - GetGValue(colour), y = 255 - GetBValue(colour);
    int k = std::min({c, m, y});
    c -= k;
    m -= k;
    y -= k;
    const BYTE* const* t = PaletteChartCorrection::tables;
    if (t[0] && t[1] && t[2] && t[3]) {
        c = t[0][c];
        m = t[1][m];
        y = t[2][y];
        k = t[3][k];
    }
    return RGB(255 - std::min(255, c + k), 255 - std::min(255, m + k), 255 - std::min(255, y + k));
}

namespace {
// One cell at (x, y) device pixels, scale in pixels per mm.
void drawSwatch(CDC& dc, COLORREF colour, int x, int y, double sx, double sy, int lineHeight) {
    const COLORREF corrected = CorrectPrintColor(colour);
    const int w = int(std::lround((PaletteChartLayout::kCellWidth - 4) * sx));
    const int h = int(std::lround((PaletteChartLayout::kCellHeight - 8) * sy));
    CBrush brush(corrected);
    CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
    CBrush* oldBrush = dc.SelectObject(&brush);
    CPen* oldPen = dc.SelectObject(&pen);
    dc.Rectangle(x, y, x + w, y + h);
    dc.SelectObject(oldBrush);
    dc.SelectObject(oldPen);
    CString name;
    const int entry = FindPaletteEntry(colour);
    if (entry >= 0) {
        const CString& e = PaletteEntries()[entry];
        if (e.GetLength() > 7) name = e.Right(e.GetLength() - 7);
    }
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(0, 0, 0));
    dc.TextOut(x, y + h, name, name.GetLength());
    CString values;
    values.Format("R=%d G=%d B=%d", GetRValue(corrected), GetGValue(corrected),
                  GetBValue(corrected));
    dc.TextOut(x, y + h + lineHeight, values, values.GetLength());
}
} // namespace

void CPaletteBar::PrintPalette() {
    if (colors.empty()) {
        ::MessageBeep(0xFFFFFFFF);
        return;
    }
    CPrintDialog dialog(FALSE,
                        PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIES | PD_HIDEPRINTTOFILE |
                            PD_RETURNDC,
                        this);
    if (dialog.DoModal() != IDOK) return;
    HDC printer = dialog.GetPrinterDC();
    if (printer == nullptr) printer = dialog.CreatePrinterDC();
    float pw = 0, ph = 0, paperW = 0, paperH = 0, ox = 0, oy = 0;
    std::uint8_t orientation = 0;
    std::uint16_t paper = 0;
    PaletteChartLayout layout;
    CDC dc;
    if (printer == nullptr || !dc.Attach(printer)) return;
    const int horzSize = dc.GetDeviceCaps(HORZSIZE), vertSize = dc.GetDeviceCaps(VERTSIZE);
    // A page too small for one cell would never take a colour: refused, not printed.
    if (GetDefaultPrinterPage(pw, ph, paperW, paperH, ox, oy, orientation, paper) != 0 ||
        !layout.Compute(pw, ph, paperW, paperH, ox, oy) || horzSize <= 0 || vertSize <= 0) {
        dc.DeleteDC();
        AfxMessageBox(IDS_CHART_PAGE_TOO_SMALL, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const double sx = double(dc.GetDeviceCaps(HORZRES)) / horzSize;
    const double sy = double(dc.GetDeviceCaps(VERTRES)) / vertSize;
    // Device pixels are measured from the printable area's corner.
    const double originX = -ox, originY = -oy;

    CFont font;
    font.CreateFont(-int(std::lround(2 * sy)), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                    FF_SWISS, "MS Sans Serif");
    CFont* oldFont = dc.SelectObject(&font);
    TEXTMETRICA metrics{};
    ::GetTextMetricsA(dc.m_hDC, &metrics);
    const int lineHeight = std::max(1, int(metrics.tmHeight));

    CString title;
    title.LoadString(IDS_CHART_DOCUMENT);
    DOCINFOA info{};
    info.cbSize = sizeof info;
    info.lpszDocName = title;
    if (dc.StartDoc(&info) <= 0) {
        dc.SelectObject(oldFont);
        dc.DeleteDC();
        return;
    }
    size_t index = 0;
    while (index < colors.size()) {
        dc.StartPage();
        double y = std::trunc(layout.top);
        for (int r = 0; r < layout.rows && index < colors.size(); ++r) {
            double x = std::trunc(layout.left);
            for (int c = 0; c < layout.columns && index < colors.size(); ++c, ++index) {
                drawSwatch(dc, colors[index], int(std::lround((x + originX) * sx)),
                           int(std::lround((y + originY) * sy)), sx, sy, lineHeight);
                x = std::trunc(x + PaletteChartLayout::kCellWidth + layout.gapX);
            }
            y = std::trunc(y + PaletteChartLayout::kCellHeight + layout.gapY);
        }
        dc.EndPage();
    }
    dc.EndDoc();
    dc.SelectObject(oldFont);
    dc.DeleteDC();
}
