// The sign view's class, its message map and the duties of an OLE container's view.

#include "view/CSignView.h"

#include <mfc/CCmdUI.h>
#include <mfc/CPrintInfo.h>
#include <sheet/COleOperatingMode.h>
#include <shell/PrivateMessages.h>

#include <doc/CSignDoc.h>

#include "view/SignViewHooks.h"
#include "view/SignViewIds.h"

using namespace SignViewIds;

IMPLEMENT_DYNCREATE(CSignView, COleSheetView)

// The view's entries come first; the framework's map is searched after them.
BEGIN_MESSAGE_MAP(CSignView, COleSheetView)
ON_WM_SETFOCUS()
ON_WM_SIZE()
ON_COMMAND(InsertObject, OnInsertObject)
ON_COMMAND(CancelInPlace, OnCancelEditCntr)
ON_COMMAND(ZoomToSelection, OnZoomToSelection)
ON_UPDATE_COMMAND_UI(ZoomToSelection, OnUpdateZoomToSelection)
ON_MESSAGE(WM_EDITOLEOBJECT, OnEditOleObject)
ON_MESSAGE(WM_SELECTMODE, OnSelectModeMessage)
ON_MESSAGE(WM_DOCCHANGED, OnDocChanged)
ON_COMMAND(LayerDialog, OnLayerDialog)
ON_UPDATE_COMMAND_UI(LayerDialog, OnUpdateLayerDialog)
ON_COMMAND_EX(TransformTool, OnToolCommand)
ON_UPDATE_COMMAND_UI(TransformTool, OnUpdateToolCommand)
ON_COMMAND(EditCopy, OnEditCopy)
ON_UPDATE_COMMAND_UI(EditCopy, OnUpdateEditCopy)
ON_COMMAND(EditCut, OnEditCut)
ON_UPDATE_COMMAND_UI(EditCut, OnUpdateEditCut)
ON_COMMAND(EditPaste, OnEditPaste)
ON_UPDATE_COMMAND_UI(EditPaste, OnUpdateEditPaste)
ON_COMMAND(EditPasteSpecial, OnEditPasteSpecial)
ON_UPDATE_COMMAND_UI(EditPasteSpecial, OnUpdateEditPasteSpecial)
ON_COMMAND_EX(SelectTool, OnToolCommand)
ON_UPDATE_COMMAND_UI(SelectTool, OnUpdateToolCommand)
ON_COMMAND_EX(FreehandTool, OnToolCommand)
ON_UPDATE_COMMAND_UI(FreehandTool, OnUpdateToolCommand)
ON_COMMAND_EX(RegShapeTool, OnToolCommand)
ON_UPDATE_COMMAND_UI(RegShapeTool, OnUpdateToolCommand)
ON_COMMAND_EX(NodeEditTool, OnToolCommand)
ON_UPDATE_COMMAND_UI(NodeEditTool, OnUpdateToolCommand)
ON_MESSAGE(WM_QUERYNEWPALETTE, OnQueryNewPalette)
ON_MESSAGE(WM_PALETTECHANGED, OnPaletteChanged)
ON_COMMAND(CleanupSheet, OnCleanupSheet)
ON_UPDATE_COMMAND_UI(CleanupSheet, OnUpdateCleanupSheet)
ON_COMMAND(PageColor, OnPageColor)
ON_COMMAND_EX(TextTool, OnToolCommand)
ON_UPDATE_COMMAND_UI(TextTool, OnUpdateToolCommand)
ON_COMMAND_EX(ColoringTool, OnToolCommand)
ON_UPDATE_COMMAND_UI(ColoringTool, OnUpdateToolCommand)
ON_COMMAND(OutputSheet, OnOutputSheet)
ON_UPDATE_COMMAND_UI(OutputSheet, OnUpdatePrint)
ON_COMMAND_EX(DistortionTool, OnToolCommand)
ON_UPDATE_COMMAND_UI(DistortionTool, OnUpdateToolCommand)
ON_COMMAND_EX(PerspectiveTool, OnToolCommand)
ON_UPDATE_COMMAND_UI(PerspectiveTool, OnUpdateToolCommand)
ON_COMMAND_EX(EnvelopeTool, OnToolCommand)
ON_UPDATE_COMMAND_UI(EnvelopeTool, OnUpdateToolCommand)
ON_COMMAND_EX(SphereTool, OnToolCommand)
ON_UPDATE_COMMAND_UI(SphereTool, OnUpdateToolCommand)
ON_COMMAND_EX(FontEditTool, OnToolCommand)
ON_UPDATE_COMMAND_UI(FontEditTool, OnUpdateToolCommand)
ON_COMMAND_EX(AlignTool, OnToolCommand)
ON_UPDATE_COMMAND_UI(AlignTool, OnUpdateToolCommand)
ON_COMMAND_EX(EnvSphereTool, OnToolCommand)
ON_UPDATE_COMMAND_UI(EnvSphereTool, OnUpdateToolCommand)
ON_COMMAND_EX(FillTool, OnToolCommand)
ON_UPDATE_COMMAND_UI(FillTool, OnUpdateToolCommand)
ON_COMMAND_EX(ShadowTool, OnToolCommand)
ON_UPDATE_COMMAND_UI(ShadowTool, OnUpdateToolCommand)
ON_COMMAND_EX(StripeTool, OnToolCommand)
ON_UPDATE_COMMAND_UI(StripeTool, OnUpdateToolCommand)
ON_COMMAND_EX(TransparencyTool, OnToolCommand)
ON_UPDATE_COMMAND_UI(TransparencyTool, OnUpdateToolCommand)
ON_COMMAND(BitmapSheet, OnBitmapSheet)
ON_UPDATE_COMMAND_UI(BitmapSheet, OnUpdateBitmapSheet)
ON_COMMAND(DisplayDither, OnDisplayDither)
ON_UPDATE_COMMAND_UI(DisplayDither, OnUpdateDisplayDither)
ON_COMMAND(MarkedBox, OnMarkedBox)
ON_UPDATE_COMMAND_UI(MarkedBox, OnUpdateMarkedBox)
ON_COMMAND_EX(MeasureTool, OnToolCommand)
ON_UPDATE_COMMAND_UI(MeasureTool, OnUpdateToolCommand)
ON_COMMAND(GuideLines, OnGuideLines)
ON_UPDATE_COMMAND_UI(GuideLines, OnUpdateGuideLines)
ON_COMMAND(GuideLineLock, OnGuideLineLock)
ON_UPDATE_COMMAND_UI(GuideLineLock, OnUpdateGuideLineLock)
ON_COMMAND_EX(DimLineTool, OnToolCommand)
ON_UPDATE_COMMAND_UI(DimLineTool, OnUpdateToolCommand)
ON_COMMAND(Redraw, OnRedraw)
ON_COMMAND(ZoomIn, OnZoomIn)
ON_COMMAND(ZoomOut, OnZoomOut)
ON_UPDATE_COMMAND_UI(FilePrint, OnUpdateFilePrint)
ON_COMMAND(AlwaysDisabled, OnAlwaysDisabled)
ON_UPDATE_COMMAND_UI(AlwaysDisabled, OnUpdateAlwaysDisabled)
ON_COMMAND(CutJob, OnCutJob)
ON_UPDATE_COMMAND_UI(CutJob, OnUpdateCutJob)
ON_COMMAND(PlotJob, OnPlotJob)
ON_UPDATE_COMMAND_UI(PlotJob, OnUpdatePlotJob)
ON_COMMAND(OutputSheetPrint, OnOutputSheetPrint)
ON_UPDATE_COMMAND_UI(OutputSheetPrint, OnUpdatePrint)
ON_COMMAND(FilePrint, OnFilePrint)
ON_COMMAND(FilePrintDirect, OnFilePrint)
ON_COMMAND(FilePrintPreview, OnFilePrintPreview)
END_MESSAGE_MAP()

CSignView::CSignView() {
    SignViewHooks& hooks = ViewHooks();
    if (hooks.layerDialog) layerDialog = hooks.layerDialog(*this);
    if (hooks.cleanupSheet) cleanupSheet = hooks.cleanupSheet(*this);
    if (hooks.bitmapSheet) bitmapSheet = hooks.bitmapSheet(*this);
    guideLinesShown = TRUE;
}

CSignView::~CSignView() {
    delete mode;
    mode = nullptr;
    bitmapSheet.reset();
    cleanupSheet.reset();
    layerDialog.reset();
}

CSignDoc* CSignView::GetSignDoc() const {
    return DYNAMIC_DOWNCAST(CSignDoc, GetDocument());
}

BOOL CSignView::PreCreateWindow(CREATESTRUCT& cs) {
    return COleSheetView::PreCreateWindow(cs);
}

BOOL CSignView::IsSelected(const CObject* pDocItem) const {
    CSignDoc* doc = GetSignDoc();
    const SignViewHooks& hooks = ViewHooks();
    if (doc == nullptr || pDocItem == nullptr || !hooks.containerItem) return FALSE;
    CSign& sign = doc->m_sheet;
    if (sign.m_nSelected != 1 || sign.m_nFirstSelected < 0 ||
        sign.m_nFirstSelected >= sign.GetSize())
        return FALSE;
    return hooks.containerItem(sign.GetObj(sign.m_nFirstSelected)) == pDocItem;
}

void CSignView::OnInitialUpdate() {
    COleSheetView::OnInitialUpdate();
}

void CSignView::OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) {
    COleSheetView::OnActivateView(bActivate, pActivateView, pDeactiveView);
}

BOOL CSignView::RealizeAppPalette() {
    return FALSE;
}

void CSignView::OnSetFocus(CWnd* pOldWnd) {
    CWnd::OnSetFocus(pOldWnd);
}

void CSignView::OnSize(UINT nType, int cx, int cy) {
    CScrollView::OnSize(nType, cx, cy);
}

LRESULT CSignView::OnEditOleObject(WPARAM, LPARAM) {
    return 0;
}

LRESULT CSignView::OnSelectModeMessage(WPARAM, LPARAM) {
    StartSelectMode();
    return 1;
}

LRESULT CSignView::OnDocChanged(WPARAM wParam, LPARAM lParam) {
    return OnDocChangedMessage(wParam, lParam);
}

LRESULT CSignView::OnQueryNewPalette(WPARAM, LPARAM) {
    return Default();
}

LRESULT CSignView::OnPaletteChanged(WPARAM, LPARAM) {
    return Default();
}

void CSignView::OnInsertObject() {}

void CSignView::OnCancelEditCntr() {}

void CSignView::OnZoomToSelection() {}

void CSignView::OnUpdateZoomToSelection(CCmdUI* pCmdUI) {
    CSignDoc* doc = GetSignDoc();
    pCmdUI->Enable(doc != nullptr && doc->m_sheet.m_nFirstSelected != -1);
}

void CSignView::OnEditCopy() {}
void CSignView::OnUpdateEditCopy(CCmdUI* pCmdUI) {
    pCmdUI->Enable(FALSE);
}
void CSignView::OnEditCut() {}
void CSignView::OnUpdateEditCut(CCmdUI* pCmdUI) {
    pCmdUI->Enable(FALSE);
}
void CSignView::OnEditPaste() {}
void CSignView::OnUpdateEditPaste(CCmdUI* pCmdUI) {
    pCmdUI->Enable(FALSE);
}
void CSignView::OnEditPasteSpecial() {}
void CSignView::OnUpdateEditPasteSpecial(CCmdUI* pCmdUI) {
    pCmdUI->Enable(FALSE);
}

void CSignView::OnUpdateFilePrint(CCmdUI*) {}

void CSignView::OnUpdateAlwaysDisabled(CCmdUI* pCmdUI) {
    pCmdUI->Enable(FALSE);
}

void CSignView::OnCutJob() {
    if (ViewHooks().cutJob) ViewHooks().cutJob(*this);
}

void CSignView::OnUpdateCutJob(CCmdUI* pCmdUI) {
    CSignDoc* doc = GetSignDoc();
    pCmdUI->Enable(ViewHooks().cutJob && doc != nullptr && doc->m_sheet.GetSize() > 0);
}

void CSignView::OnPlotJob() {
    if (ViewHooks().plotJob) ViewHooks().plotJob(*this);
}

void CSignView::OnUpdatePlotJob(CCmdUI* pCmdUI) {
    CSignDoc* doc = GetSignDoc();
    pCmdUI->Enable(ViewHooks().plotJob && doc != nullptr && doc->m_sheet.m_nSelected != 0);
}

CToolBar* CSignView::GetModeToolBar() {
    return nullptr;
}

void CSignView::LoadModeToolBar(UINT) {}

BOOL CSignView::OnCtrlDragEnter(CWnd*, UINT, int, int) {
    return FALSE;
}
BOOL CSignView::OnCtrlDragLeave(CWnd*, UINT, int, int) {
    return FALSE;
}
BOOL CSignView::OnCtrlDragOver(CWnd*, UINT, int, int) {
    return FALSE;
}
BOOL CSignView::OnCtrlDrop(CWnd*, UINT, int, int) {
    return FALSE;
}
