// The sign view's tool commands and display switches.

#include <new>

#include <app/CSignFrame.h>
#include <doc/CSignDoc.h>
#include <mfc/CCmdUI.h>
#include <mfc/CDC.h>
#include <mfc/CException.h>
#include <mfc/CWinApp.h>
#include <sheet/COleOperatingMode.h>
#include <sheet/SheetSettings.h>
#include <win32/wingdi.h>

#include "view/AnswerYes.h"
#include "view/CSignView.h"
#include "view/FontEditLayout.h"
#include "view/SignViewHooks.h"
#include "view/SignViewIds.h"
#include "view/ToolTable.h"

using namespace SignViewIds;

namespace {

// Makes the tool of a command; a maker that fails is reported and gives no tool, so the
// current tool stays as it was.
template <class Make> COleOperatingMode* TryMakeTool(Make&& make) {
    try {
        return make();
    } catch (CException* e) {
        e->ReportError();
        e->Delete();
    } catch (const std::bad_alloc&) {
        CMemoryException memory;
        memory.ReportError();
    }
    return nullptr;
}

BOOL DocumentHasSelection(CSignDoc* doc) {
    return doc != nullptr && doc->m_sheet.m_nSelected != 0;
}

} // namespace

BOOL AnswerYes() {
    return 1;
}

void CSignView::SwitchMode(COleOperatingMode* newMode) {
    InstallMode(newMode);
}

void CSignView::StartSelectMode() {
    if (COleOperatingMode* tool = TryMakeTool([] { return ToolTable::NewSelectionTool(); }))
        SwitchMode(tool);
}

BOOL CSignView::OnToolCommand(UINT nID) {
    if (nID == FontEditTool) {
        StartFontEditing();
        return TRUE;
    }
    if (nID == MeasureTool && !markedBoxShown) {
        markedBoxShown = 1;
        Invalidate(TRUE);
    }
    const COleOperatingMode* current = mode;
    if (COleOperatingMode* tool = TryMakeTool([&] { return ToolTable::NewToolFor(nID, current); }))
        SwitchMode(tool);
    return TRUE;
}

void CSignView::OnUpdateToolCommand(CCmdUI* pCmdUI) {
    BOOL enabled = FALSE, checked = FALSE;
    ToolTable::GetState(pCmdUI->m_nID, mode, DocumentHasSelection(GetSignDoc()), enabled, checked);
    pCmdUI->Enable(enabled);
    pCmdUI->SetCheck(checked ? 1 : 0);
}

void CSignView::StartFontEditing() {
    if (ToolTable::IsCurrent(FontEditTool, mode)) return;
    CSignDoc* doc = GetSignDoc();
    if (doc == nullptr || !ToolTable::IsRegistered(FontEditTool)) return;
    const COleOperatingMode* current = mode;
    if (doc->m_bFontEditing) {
        if (COleOperatingMode* tool =
                TryMakeTool([&] { return ToolTable::NewToolFor(FontEditTool, current); }))
            SwitchMode(tool);
        return;
    }
    if (!doc->SaveModified()) return;
    COleOperatingMode* tool =
        TryMakeTool([&] { return ToolTable::NewToolFor(FontEditTool, current); });
    if (tool == nullptr) return;
    SwitchMode(tool);
    doc->DeleteContents();
    // The emptied design is the undo list's new baseline (no step: nothing changed yet); the
    // step below holds the switch to font editing and its page.
    doc->RecordStep("Font editing");
    doc->m_bFontEditing = 1;
    SheetSettings::DocWidth = 2 * FontEditLayout::D + float(FontEditLayout::N) * FontEditLayout::C;
    SheetSettings::DocHeight = FontEditLayout::A + FontEditLayout::B;
    Invalidate(TRUE);
    doc->RecordStep("Font editing");
}

// ---- the modeless tool windows ----

void CSignView::OnLayerDialog() {
    if (!layerDialog) return;
    if (layerDialog->IsOpen())
        layerDialog->Destroy();
    else
        layerDialog->Create(this);
}

void CSignView::OnUpdateLayerDialog(CCmdUI* pCmdUI) {
    pCmdUI->Enable(layerDialog != nullptr);
    pCmdUI->SetCheck(layerDialog && layerDialog->IsOpen() ? 1 : 0);
}

void CSignView::OnCleanupSheet() {
    if (cleanupSheet && !cleanupSheet->IsOpen()) cleanupSheet->Create(this);
}

void CSignView::OnUpdateCleanupSheet(CCmdUI* pCmdUI) {
    pCmdUI->Enable(cleanupSheet != nullptr);
    pCmdUI->SetCheck(cleanupSheet && cleanupSheet->IsOpen() ? 1 : 0);
}

void CSignView::OnBitmapSheet() {
    if (!bitmapSheet) return;
    if (!bitmapSheet->IsOpen() && !bitmapSheet->Create(this)) return;
    bitmapSheet->UpdateFromSelection();
}

void CSignView::OnUpdateBitmapSheet(CCmdUI* pCmdUI) {
    pCmdUI->Enable(bitmapSheet != nullptr);
    pCmdUI->SetCheck(bitmapSheet && bitmapSheet->IsOpen() ? 1 : 0);
}

// ---- page colour and output ----

void CSignView::OnPageColor() {
    auto* frame = dynamic_cast<CSignFrame*>(GetParentFrame());
    if (frame == nullptr) return;
    // Nothing picked yet: no colour, and the page keeps its own.
    const COLORREF picked = frame->paletteBar.lastPickedColor;
    if (picked == 0xFFFFFFFF) return;
    SheetSettings::BGColor = picked;
    Invalidate(TRUE);
}

void CSignView::OnOutputSheet() {
    if (ViewHooks().runPrintSheet) ViewHooks().runPrintSheet(AfxGetMainWnd(), *this);
}

void CSignView::OnOutputSheetPrint() {
    OnOutputSheet();
}

void CSignView::OnUpdatePrint(CCmdUI* pCmdUI) {
    CSignDoc* doc = GetSignDoc();
    pCmdUI->Enable(ViewHooks().runPrintSheet && doc != nullptr && doc->m_sheet.GetSize() > 0);
}

// ---- display switches ----

void CSignView::OnDisplayDither() {
    SmoothBitmapPaint = !SmoothBitmapPaint;
    Invalidate(TRUE);
}

void CSignView::OnUpdateDisplayDither(CCmdUI* pCmdUI) {
    HDC screen = ::GetDC(nullptr);
    const int bits = screen != nullptr ? ::GetDeviceCaps(screen, BITSPIXEL) : 32;
    if (screen != nullptr) ::ReleaseDC(nullptr, screen);
    pCmdUI->Enable(bits < 9);
    pCmdUI->SetCheck(SmoothBitmapPaint ? 1 : 0);
}

void CSignView::OnMarkedBox() {
    markedBoxShown = !markedBoxShown;
    Invalidate(TRUE);
}

void CSignView::OnUpdateMarkedBox(CCmdUI* pCmdUI) {
    pCmdUI->Enable(!ToolTable::IsCurrent(MeasureTool, mode));
    pCmdUI->SetCheck(markedBoxShown ? 1 : 0);
}

void CSignView::OnGuideLines() {
    guideLinesShown = !guideLinesShown;
    Invalidate(TRUE);
}

void CSignView::OnUpdateGuideLines(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(guideLinesShown ? 1 : 0);
}

void CSignView::OnGuideLineLock() {
    guideLinesLocked = !guideLinesLocked;
}

void CSignView::OnUpdateGuideLineLock(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(guideLinesLocked ? 1 : 0);
}

void CSignView::OnRedraw() {
    Invalidate(FALSE);
}

void CSignView::OnZoomIn() {
    CPoint p;
    ::GetCursorPos(&p);
    ScreenToClient(&p);
    ZoomAt(1.5f, &p);
}

void CSignView::OnZoomOut() {
    CPoint p;
    ::GetCursorPos(&p);
    ScreenToClient(&p);
    ZoomAt(0.6666667f, &p);
}
