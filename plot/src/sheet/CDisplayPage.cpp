#include "CDisplayPage.h"

#include <algorithm>
#include <cstdio>

#include <mfc/CDC.h>
#include <mfc/CGdiObject.h>
#include <win32/controls.h>
#include <win32/user.h>
#include <win32/wingdi.h>

#include "../PlotFields.h"
#include "../PlotJob.h"
#include "../PlotUnit.h"
#include "SheetIds.h"

namespace plotsheet {

BEGIN_MESSAGE_MAP(CPreviewButton, CButton)
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_RBUTTONDOWN()
ON_WM_RBUTTONUP()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDBLCLK()
END_MESSAGE_MAP()

void CPreviewButton::Tell(int k, UINT flags, CPoint p, WORD code) {
    point = p;
    kind = k;
    held = (flags & (MK_LBUTTON | MK_RBUTTON)) != 0 || ::GetCapture() == m_hWnd;
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), code), LPARAM(m_hWnd));
}

void CPreviewButton::OnLButtonDown(UINT flags, CPoint p) {
    SetCapture();
    Tell(LeftDown, flags, p);
}
void CPreviewButton::OnLButtonUp(UINT flags, CPoint p) {
    ::ReleaseCapture();
    Tell(LeftUp, flags, p);
}
void CPreviewButton::OnRButtonDown(UINT flags, CPoint p) {
    SetCapture();
    Tell(RightDown, flags, p);
}
void CPreviewButton::OnRButtonUp(UINT flags, CPoint p) {
    ::ReleaseCapture();
    Tell(RightUp, flags, p);
}
void CPreviewButton::OnMouseMove(UINT flags, CPoint p) {
    Tell(Move, flags, p);
}
void CPreviewButton::OnLButtonDblClk(UINT flags, CPoint p) {
    Tell(Move, flags, p, BN_DOUBLECLICKED);
}

BEGIN_MESSAGE_MAP(CDisplayPage, CPropertyPage)
ON_COMMAND(IDC_PREVIEW, OnPreview)
ON_CONTROL(BN_DOUBLECLICKED, IDC_PREVIEW, OnPreviewDblClk)
ON_COMMAND(IDC_ZOOM_IN, OnZoomIn)
ON_COMMAND(IDC_ZOOM_OUT, OnZoomOut)
ON_COMMAND(IDC_ZOOM_RESET, OnZoomReset)
ON_WM_DRAWITEM()
ON_WM_HSCROLL()
ON_WM_VSCROLL()
ON_WM_SETCURSOR()
END_MESSAGE_MAP()

CDisplayPage::CDisplayPage(UINT templateId) : CPropertyPage(templateId) {}

BOOL CDisplayPage::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    preview_.SubclassDlgItem(IDC_PREVIEW, this);
    return TRUE;
}

BOOL CDisplayPage::OnSetActive() {
    if (CWnd* p = GetDlgItem(IDC_PREVIEW)) {
        CRect r;
        p->GetClientRect(&r);
        Job.setDisplayRect(r);
    }
    BOOL active = CPropertyPage::OnSetActive();
    UpdateScrollBars();
    return active;
}

void CDisplayPage::Refresh(bool now) {
    CWnd* p = GetDlgItem(IDC_PREVIEW);
    if (!p) return;
    p->Invalidate(TRUE);
    if (now) p->UpdateWindow();
}

void CDisplayPage::DrawPreview(CDC& dc) {
    Job.DrawLayout(dc, CanEditLayout());
}

void CDisplayPage::OnDrawItem(int id, LPDRAWITEMSTRUCT item) {
    if (id != IDC_PREVIEW) {
        CPropertyPage::OnDrawItem(id, item);
        return;
    }
    CRect r = item->rcItem;
    // The picture is drawn into a DIB of the control's size, then shown at once.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = std::max(r.Width(), 1);
    info.bmiHeader.biHeight = -std::max(r.Height(), 1);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(item->hDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib) return;
    HDC memory = CreateCompatibleDC(item->hDC);
    HGDIOBJ old = SelectObject(memory, dib);
    CDC dc;
    dc.Attach(memory);
    dc.FillSolidRect(0, 0, r.Width(), r.Height(), RGB(128, 128, 128));
    Job.setDisplayRect(r);
    DrawPreview(dc);
    BitBlt(item->hDC, r.left, r.top, r.Width(), r.Height(), memory, 0, 0, SRCCOPY);
    dc.Detach();
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(dib);
}

void CDisplayPage::UpdateScrollBars() {
    const int w = Job.drawingRect.Width() + 2 * Layout::margin - int(Job.displayMatrix.dx) -
                  Job.displayRect.Width();
    const int h = Job.drawingRect.Height() + 2 * Layout::margin - int(Job.displayMatrix.dy) -
                  Job.displayRect.Height();
    if (auto* bar = static_cast<CScrollBar*>(GetDlgItem(IDC_HSCROLL))) {
        bar->SetScrollRange(0, std::max(w, 0));
        bar->SetScrollPos(Job.scrollX);
    }
    if (auto* bar = static_cast<CScrollBar*>(GetDlgItem(IDC_VSCROLL))) {
        bar->SetScrollRange(0, std::max(h, 0));
        bar->SetScrollPos(Job.scrollY);
    }
}

void CDisplayPage::Scroll(bool horizontal, UINT code, UINT pos) {
    const int end = horizontal ? Job.drawingRect.Width() + 2 * Layout::margin -
                                     int(Job.displayMatrix.dx) - Job.displayRect.Width()
                               : Job.drawingRect.Height() + 2 * Layout::margin -
                                     int(Job.displayMatrix.dy) - Job.displayRect.Height();
    const int page = horizontal ? Job.displayRect.Width() : Job.displayRect.Height();
    int& offset = horizontal ? Job.scrollX : Job.scrollY;
    const int top = std::max(end, 0);
    switch (code) {
    case SB_LINELEFT:
        offset = std::max(offset - 40, 0);
        break;
    case SB_LINERIGHT:
        offset = std::min(offset + 40, top);
        break;
    case SB_PAGELEFT:
        offset = std::max(offset - page, 0);
        break;
    case SB_PAGERIGHT:
        offset = std::min(offset + page, top);
        break;
    case SB_THUMBTRACK:
        offset = std::clamp(int(pos), 0, top);
        break;
    case SB_LEFT:
        offset = 0;
        break;
    case SB_RIGHT:
        offset = top;
        break;
    default:
        break;
    }
    Refresh();
    UpdateScrollBars();
}

void CDisplayPage::OnHScroll(UINT code, UINT pos, CScrollBar* bar) {
    Scroll(true, code, pos);
    CPropertyPage::OnHScroll(code, pos, bar);
}

void CDisplayPage::OnVScroll(UINT code, UINT pos, CScrollBar* bar) {
    Scroll(false, code, pos);
    CPropertyPage::OnVScroll(code, pos, bar);
}

void CDisplayPage::OnZoomIn() {
    Job.zoom *= 1.2f;
    Job.scrollX = int(Job.scrollX * 1.2f);
    Job.scrollY = int(Job.scrollY * 1.2f);
    Refresh();
    UpdateScrollBars();
}

void CDisplayPage::OnZoomOut() {
    Job.zoom /= 1.2f;
    Job.scrollX = int(Job.scrollX / 1.2f);
    Job.scrollY = int(Job.scrollY / 1.2f);
    Refresh();
    UpdateScrollBars();
}

void CDisplayPage::OnZoomReset() {
    Job.zoom = 1;
    Job.scrollX = Job.scrollY = 0;
    Refresh();
    UpdateScrollBars();
}

BOOL CDisplayPage::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
    if (wnd && wnd->m_hWnd == preview_.m_hWnd && preview_.cursor) {
        ::SetCursor(preview_.cursor);
        return TRUE;
    }
    return CPropertyPage::OnSetCursor(wnd, hitTest, message);
}

void CDisplayPage::UpdateReadout() {
    CPoint p = preview_.point;
    floatPoint mm = Job.DisplayToMM(p);
    if (Job.IsTiled()) {
        mm.x += Job.leftMargin;
        mm.y += Job.bottomMargin;
    }
    char text[64];
    std::snprintf(text, sizeof text, "x=%g", PlotUnit.FromMM(mm.x));
    SetDlgItemText(IDC_POS_X, text);
    std::snprintf(text, sizeof text, "y=%g", PlotUnit.FromMM(mm.y));
    SetDlgItemText(IDC_POS_Y, text);
}

void CDisplayPage::LayoutChanged() {
    UpdateData(FALSE);
    Refresh();
    UpdateScrollBars();
}

void CDisplayPage::OnPreview() {
    OnPreviewEvent();
}

void CDisplayPage::OnPreviewDblClk() {
    OnPreviewDoubleClick();
}

void CDisplayPage::OnPreviewEvent() {
    MouseTracker t;
    t.point = preview_.point;
    t.captured = ::GetCapture() == preview_.m_hWnd;
    t.cursor = preview_.cursor;
    t.hwnd = preview_.m_hWnd;
    const float x = Job.contentX, y = Job.contentY, w = Job.contentW, h = Job.contentH;
    const int kind = preview_.kind;
    if (CanEditLayout()) {
        switch (kind) {
        case CPreviewButton::LeftDown:
            Job.LeftButtonDown(t);
            break;
        case CPreviewButton::LeftUp:
            Job.LeftButtonUp(t);
            break;
        case CPreviewButton::RightDown:
            Job.RightButtonDown(t);
            break;
        case CPreviewButton::RightUp:
            Job.RightButtonUp(t);
            break;
        default:
            Job.MouseMove(t);
            break;
        }
    } else if (kind == CPreviewButton::RightDown) {
        Job.RightButtonDown(t);
    } else if (kind == CPreviewButton::RightUp) {
        Job.RightButtonUp(t);
    } else if (kind == CPreviewButton::Move) {
        if (!preview_.held)
            t.cursor = LoadCursorA(nullptr, IDC_ARROW);
        else
            Job.MouseMove(t);
    }
    preview_.cursor = t.cursor;
    if (kind == CPreviewButton::Move &&
        (x != Job.contentX || y != Job.contentY || w != Job.contentW || h != Job.contentH))
        LayoutChanged();
    UpdateReadout();
}

} // namespace plotsheet
