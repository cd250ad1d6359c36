#include "shell/CBmpComboBox.h"

#include <algorithm>

#include <mfc/CDC.h>
#include <mfc/CWinApp.h>
#include <win32/resource.h>
#include <win32/userdraw.h>
#include <win32/wingdi.h>

IMPLEMENT_DYNCREATE(CBmpComboBox, CComboBox)

BEGIN_MESSAGE_MAP(CBmpComboBox, CComboBox)
ON_WM_DESTROY()
END_MESSAGE_MAP()

CBmpComboBox::CBmpComboBox(UINT nBitmapID) {
    if (HBITMAP strip = ::LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nBitmapID)))
        m_strip.Attach(strip);
}

CBmpComboBox::~CBmpComboBox() {
    m_items.clear();
    m_strip.DeleteObject();
}

int CBmpComboBox::AddItem(LPCSTR text, DWORD imageIndex) {
    m_items.push_back(std::make_unique<Item>(Item{imageIndex, text ? text : ""}));
    const int index = AddString(text ? text : "");
    if (index < 0) return index;
    // The index, not CB_SETITEMDATA's own answer: callers select the entry they added.
    const int stored = SetItemData(index, reinterpret_cast<DWORD_PTR>(m_items.back().get()));
    return stored < 0 ? stored : index;
}

void CBmpComboBox::GetItemText(int index, CString& text) const {
    text.Empty();
    if (index == -1) return;
    const auto* item = reinterpret_cast<const Item*>(GetItemData(index));
    const bool own = std::any_of(m_items.begin(), m_items.end(),
                                 [item](const auto& p) { return p.get() == item; });
    if (own)
        text = item->text;
    else
        GetLBText(index, text);
}

BOOL CBmpComboBox::PreCreateWindow(CREATESTRUCT& cs) {
    cs.style |= CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
    return CComboBox::PreCreateWindow(cs);
}

void CBmpComboBox::MeasureItem(LPMEASUREITEMSTRUCT mis) {
    CRect window;
    GetWindowRect(&window);
    mis->itemWidth = UINT(window.Width());
    mis->itemHeight = PictureHeight;
}

void CBmpComboBox::DrawItem(LPDRAWITEMSTRUCT dis) {
    CDC* dc = CDC::FromHandle(dis->hDC);
    const RECT& r = dis->rcItem;
    if (dis->itemState & ODS_FOCUS) ::DrawFocusRect(dis->hDC, &r);
    const int saved = dc->SaveDC();
    CBrush brush;
    if (dis->itemState & ODS_SELECTED) {
        brush.CreateSolidBrush(::GetSysColor(COLOR_HIGHLIGHT));
        dc->SetTextColor(::GetSysColor(COLOR_HIGHLIGHTTEXT));
        const int index = int(dis->itemID);
        if (index != m_nLastNotified) {
            if (CWnd* parent = GetParent())
                parent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), CBN_SELCHANGE),
                                    reinterpret_cast<LPARAM>(m_hWnd));
            m_nLastNotified = index;
        }
    } else {
        brush.CreateSolidBrush(dc->GetBkColor());
    }
    dc->SetBkMode(TRANSPARENT);
    dc->FillRect(&r, &brush);
    const int index = int(dis->itemID);
    if (index >= 0) {
        const auto* item = reinterpret_cast<const Item*>(dis->itemData);
        const bool own = std::any_of(m_items.begin(), m_items.end(),
                                     [item](const auto& p) { return p.get() == item; });
        if (own && m_strip.m_hObject != nullptr) {
            CDC memory;
            if (memory.CreateCompatibleDC(dc)) {
                CBitmap* old = memory.SelectObject(&m_strip);
                // AND: white picture pixels keep the background.
                dc->BitBlt(r.left, r.top, PictureWidth, PictureHeight, &memory,
                           int(PictureWidth * item->imageIndex), 0, SRCAND);
                memory.SelectObject(old);
            }
        }
        CString text;
        GetLBText(index, text);
        dc->TextOut(r.left + TextIndent, r.top, text, text.GetLength());
    }
    dc->RestoreDC(saved);
}

void CBmpComboBox::OnDestroy() {
    m_items.clear();
    CComboBox::OnDestroy();
}
