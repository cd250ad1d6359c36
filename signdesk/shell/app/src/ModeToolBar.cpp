#include "app/ModeToolBar.h"

#include <mfc/CControls.h>
#include <mfc/CFrameWnd.h>
#include <mfc/CToolBar.h>
#include <mfc/CWinApp.h>
#include <shell/CFilterEdit.h>
#include <win32/wingdi.h>

BOOL AddToolBarEdit(CToolBar* bar, int index, CFilterEdit* edit, UINT editId, int editWidth,
                    CStatic* label, UINT labelId, int labelWidth, UINT labelBitmap,
                    CSpinButtonCtrl* spin, UINT spinId, const char* allowed) {
    if (bar == nullptr || bar->m_hWnd == nullptr || edit == nullptr || index < 0) return FALSE;
    const int editIndex = label != nullptr ? index + 1 : index;
    if (editIndex >= bar->GetCount()) return FALSE;
    if (label != nullptr) {
        bar->SetButtonInfo(index, labelId, TBBS_SEPARATOR, labelWidth);
        bar->SetButtonInfo(editIndex, editId, TBBS_SEPARATOR, editWidth);
        CRect r;
        bar->GetItemRect(index, &r);
        if (!label->Create("", WS_CHILD | WS_VISIBLE | SS_BITMAP | SS_CENTERIMAGE, r, bar, labelId))
            return FALSE;
        if (labelBitmap != 0)
            label->SetBitmap(
                ::CreateMappedBitmap(AfxGetResourceHandle(), labelBitmap, 0, nullptr, 0));
    } else {
        bar->SetButtonInfo(editIndex, editId, TBBS_SEPARATOR, editWidth);
    }
    CRect r;
    bar->GetItemRect(editIndex, &r);
    // The field keeps a line's height in the middle of the button row.
    constexpr int FieldHeight = 20;
    if (r.Height() > FieldHeight) r.top += (r.Height() - FieldHeight) / 2;
    r.bottom = r.top + FieldHeight;
    if (!edit->Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, r, bar, editId))
        return FALSE;
    if (allowed != nullptr) edit->allowedChars = allowed;
    if (spin != nullptr) {
        if (!spin->Create(WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT | UDS_SETBUDDYINT | UDS_ARROWKEYS,
                          CRect(0, 0, 0, 0), bar, spinId))
            return FALSE;
        spin->SetBuddy(edit);
        spin->SetRange(1, 100);
    }
    return TRUE;
}

void RecalcModeToolBar(CToolBar* bar) {
    if (bar == nullptr || bar->m_hWnd == nullptr) return;
    bar->SendMessage(TB_AUTOSIZE);
    bar->Invalidate(TRUE);
    CFrameWnd* site = bar->GetDockingFrame();
    if (site != nullptr && bar->IsFloating()) {
        // The small window takes the bar's new size where it stands.
        CRect rect;
        bar->GetWindowRect(&rect);
        site->FloatControlBar(bar, rect.TopLeft(), CBRS_ALIGN_TOP);
    } else if (CFrameWnd* frame = site != nullptr ? site : bar->GetParentFrame()) {
        frame->RecalcLayout();
    }
}
