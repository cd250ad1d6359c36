#include "doc/CLayerDialog.h"

#include <cstdio>
#include <cstring>

#include <shell/ProfileSettings.h>

#include "doc/CSignDoc.h"
#include "doc/DocResourceIds.h"

BEGIN_MESSAGE_MAP(CLayerDialog, CDialog)
ON_COMMAND(IDC_LAYER_APPLY, Apply)
ON_COMMAND(IDC_LAYER_SHOW_ALL, OnShowAll)
ON_CONTROL(LBN_DBLCLK, IDC_LAYER_LIST, OnListDblClk)
ON_WM_DESTROY()
ON_WM_CLOSE()
END_MESSAGE_MAP()

namespace {

constexpr const char* PlacementName = "LayerDisplay";

} // namespace

CLayerDialog::CLayerDialog(CWnd* pParent) : CDialog(IDD_LAYER_DIALOG, pParent) {}

CLayerDialog::~CLayerDialog() {
    if (m_hWnd) DestroyWindow();
}

BOOL CLayerDialog::CreateFor(CSignDoc* pDoc, CWnd* pParent) {
    m_pDoc = pDoc;
    if (!Create(IDD_LAYER_DIALOG, pParent)) return FALSE;
    Fill();
    return TRUE;
}

BOOL CLayerDialog::OnInitDialog() {
    RestoreWindowPlacement(PlacementName, this);
    m_list.SubclassDlgItem(IDC_LAYER_LIST, this);
    m_bOpen = TRUE;
    return CDialog::OnInitDialog();
}

void CLayerDialog::Fill() {
    if (!m_list.m_hWnd) return;
    m_list.ResetContent();
    if (m_pDoc == nullptr || m_pDoc->m_sheet.GetSize() == 0) return;
    for (int layer = -127; layer <= 127; ++layer) {
        if (m_pDoc->m_sheet.GetLayerCount(layer) == 0) continue;
        char text[32];
        std::snprintf(text, sizeof text, "Layer: %d", layer);
        const int index = m_list.AddString(text);
        if (index >= 0) m_list.SetCheck(index, m_pDoc->m_sheet.IsLayerVisible(layer) ? 1 : 0);
    }
}

void CLayerDialog::Apply() {
    if (!m_list.m_hWnd || m_pDoc == nullptr) return;
    const int count = m_list.GetCount();
    for (int i = 0; i < count; ++i) {
        CString text;
        m_list.GetText(i, text);
        const char* colon = std::strchr(LPCSTR(text), ':');
        int layer = 0;
        if (colon == nullptr || std::sscanf(colon + 1, "%d", &layer) != 1 || layer < -127 ||
            layer > 127)
            continue;
        const BOOL visible = m_list.GetCheck(i) != 0;
        if (bool(m_pDoc->m_sheet.IsLayerVisible(layer)) == bool(visible)) continue;
        m_pDoc->m_sheet.SetLayerVisible(layer, visible);
        m_pDoc->RedrawLayer(static_cast<signed char>(layer));
    }
}

void CLayerDialog::OnShowAll() {
    for (int i = 0; i < m_list.GetCount(); ++i)
        m_list.SetCheck(i, 1);
    Apply();
}

void CLayerDialog::OnListDblClk() {
    const int index = m_list.GetCurSel();
    if (index < 0) return;
    m_list.SetCheck(index, m_list.GetCheck(index) ? 0 : 1);
    Apply();
}

void CLayerDialog::OnCancel() {
    DestroyWindow();
}

void CLayerDialog::OnClose() {
    DestroyWindow();
}

void CLayerDialog::OnDestroy() {
    m_bOpen = FALSE;
    if (m_hWnd) SaveWindowPlacement(PlacementName, this);
    CDialog::OnDestroy();
}
