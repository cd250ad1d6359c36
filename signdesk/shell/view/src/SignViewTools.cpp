// The sign view's tool commands and display switches.

#include <mfc/CCmdUI.h>
#include <sheet/COleOperatingMode.h>

#include "view/CSignView.h"

void CSignView::SwitchMode(COleOperatingMode* newMode) {
    InstallMode(newMode);
}

void CSignView::StartSelectMode() {}

BOOL CSignView::OnToolCommand(UINT) {
    return TRUE;
}

void CSignView::OnUpdateToolCommand(CCmdUI* pCmdUI) {
    pCmdUI->Enable(FALSE);
}

void CSignView::OnLayerDialog() {}
void CSignView::OnUpdateLayerDialog(CCmdUI* pCmdUI) {
    pCmdUI->Enable(FALSE);
}
void CSignView::OnCleanupSheet() {}
void CSignView::OnUpdateCleanupSheet(CCmdUI* pCmdUI) {
    pCmdUI->Enable(FALSE);
}
void CSignView::OnBitmapSheet() {}
void CSignView::OnUpdateBitmapSheet(CCmdUI* pCmdUI) {
    pCmdUI->Enable(FALSE);
}
void CSignView::OnPageColor() {}
void CSignView::OnOutputSheet() {}
void CSignView::OnOutputSheetPrint() {}
void CSignView::OnUpdatePrint(CCmdUI* pCmdUI) {
    pCmdUI->Enable(FALSE);
}
void CSignView::OnDisplayDither() {}
void CSignView::OnUpdateDisplayDither(CCmdUI* pCmdUI) {
    pCmdUI->Enable(FALSE);
}
void CSignView::OnMarkedBox() {}
void CSignView::OnUpdateMarkedBox(CCmdUI* pCmdUI) {
    pCmdUI->Enable(FALSE);
}
void CSignView::OnGuideLines() {}
void CSignView::OnUpdateGuideLines(CCmdUI* pCmdUI) {
    pCmdUI->Enable(FALSE);
}
void CSignView::OnGuideLineLock() {}
void CSignView::OnUpdateGuideLineLock(CCmdUI* pCmdUI) {
    pCmdUI->Enable(FALSE);
}
void CSignView::OnRedraw() {}
void CSignView::OnZoomIn() {}
void CSignView::OnZoomOut() {}
