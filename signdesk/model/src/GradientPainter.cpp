#include "model/Gradient.h"

#include <mfc/CDC.h>
#include <mfc/CGdiObject.h>
#include <pathkit/Path.h>
#include <pathkit/PathDraw.h>
#include <output/CPrinterStream.h>
#include <pathkit/StreamArgs.h>
#include <win32/wingdi.h>

#include "PostScriptText.h"

void GradientPainter::PaintBand(COLORREF color, Path& band, const floatTMatrix& toDevice) {
    if (m_pDC == nullptr) return;
    if (IsPostScriptDevice(m_pDC)) {
        PaintPostScriptBand(color, band, toDevice);
        return;
    }
    CBrush brush(color);
    CPen pen(PS_NULL, 1, 0);
    CBrush* pOldBrush = m_pDC->SelectObject(&brush);
    CPen* pOldPen = m_pDC->SelectObject(&pen);
    ::Paint(m_pDC, toDevice, band, PP_FILL | (m_bDraft ? PP_NO_CLIP_TEST : 0));
    m_pDC->SelectObject(pOldBrush);
    m_pDC->SelectObject(pOldPen);
}

void GradientPainter::PaintPostScriptBand(COLORREF color, Path& band, const floatTMatrix& toDevice) {
    CPrinterStream out(m_pDC, 16382);
    out << "save" << EndLine();
    if (WritePSPath(out, toDevice, band)) {
        out << "eoclip" << EndLine() << "gsave" << EndLine();
        WritePSColor(out, color);
        out << "eofill" << EndLine() << "grestore" << EndLine();
    }
    out << "restore" << EndLine();
    out.Flush();
}
