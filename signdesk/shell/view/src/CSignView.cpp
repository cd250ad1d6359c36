// The sign view's class, its message map and the duties of an OLE container's view.

#include "view/CSignView.h"

#include <cmath>
#include <optional>

#include <app/AppSettings.h>
#include <app/CPaletteBar.h>
#include <app/CSignFrame.h>
#include <content/CBitmapObj.h>
#include <content/PastedBitmap.h>
#include <doc/CSignDoc.h>
#include <doc/SignClipboard.h>
#include <mfc/CClientDC.h>
#include <mfc/CCmdUI.h>
#include <mfc/CException.h>
#include <mfc/COleInsertDialog.h>
#include <mfc/CPrintInfo.h>
#include <mfc/CWaitCursor.h>
#include <mfc/CWinApp.h>
#include <model/ViewHooks.h>
#include <sheet/COleOperatingMode.h>
#include <sheet/SheetSettings.h>
#include <shell/PrivateMessages.h>
#include <win32/clipboard.h>

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
    CSignObj* obj = SingleSelected();
    return obj != nullptr && hooks.containerItem(obj) == pDocItem;
}

CSignObj* CSignView::SingleSelected() const {
    CSignDoc* doc = GetSignDoc();
    if (doc == nullptr) return nullptr;
    CSign& sign = doc->m_sheet;
    if (sign.GetSize() == 0 || sign.m_nSelected != 1 || sign.m_nFirstSelected < 0 ||
        sign.m_nFirstSelected >= sign.GetSize())
        return nullptr;
    return sign.GetObj(sign.m_nFirstSelected);
}

void CSignView::OnInitialUpdate() {
    floatBBox e;
    if (COleSheetDoc* doc = GetSheetDoc()) doc->GetExtent(e);
    const float w = e.right - e.left, h = e.top - e.bottom;
    markedBox = floatBBox(e.left + w / 4, e.bottom + h / 4, e.right - w / 4, e.top - h / 4);
    markedBoxShown = 0;
    COleSheetView::OnInitialUpdate();
    StartSelectMode();
}

// ---- the program palette ----

BOOL CSignView::RealizeAppPalette() {
    CPalette* palette = GetAppPalette();
    if (palette == nullptr || m_hWnd == nullptr) return FALSE;
    CClientDC dc(this);
    CPalette* old = dc.SelectPalette(palette, FALSE);
    const UINT changed = dc.RealizePalette();
    if (old != nullptr) dc.SelectPalette(old, TRUE);
    if (changed == 0 || changed == GDI_ERROR) return FALSE;
    Invalidate(TRUE);
    return TRUE;
}

void CSignView::OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) {
    COleSheetView::OnActivateView(bActivate, pActivateView, pDeactiveView);
    if (bActivate) RealizeAppPalette();
}

LRESULT CSignView::OnQueryNewPalette(WPARAM, LPARAM) {
    if (RealizeAppPalette()) return TRUE;
    return Default();
}

LRESULT CSignView::OnPaletteChanged(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = Default();
    if (reinterpret_cast<HWND>(wParam) != m_hWnd) return OnQueryNewPalette(wParam, lParam);
    return result;
}

// ---- in-place items ----

InPlaceItem* CSignView::ActiveItem() {
    CSignDoc* doc = GetSignDoc();
    const SignViewHooks& hooks = ViewHooks();
    return doc != nullptr && hooks.inPlaceActiveItem ? hooks.inPlaceActiveItem(*doc, *this)
                                                     : nullptr;
}

void CSignView::OnSetFocus(CWnd* pOldWnd) {
    if (InPlaceItem* item = ActiveItem(); item != nullptr && item->IsUIActive()) {
        if (CWnd* wnd = item->GetInPlaceWindow()) {
            wnd->SetFocus();
            return;
        }
    }
    CScrollView::OnSetFocus(pOldWnd);
}

void CSignView::OnSize(UINT nType, int cx, int cy) {
    if (cx == 0 || cy == 0) return;
    CScrollView::OnSize(nType, cx, cy);
    if (InPlaceItem* item = ActiveItem()) item->SetItemRects();
}

void CSignView::OnCancelEditCntr() {
    ::MessageBeep(0);
    if (InPlaceItem* item = ActiveItem()) item->Close();
}

// ---- OLE objects ----

void CSignView::OnInsertObject() {
    CSignDoc* doc = GetSignDoc();
    if (doc == nullptr) return;
    COleInsertDialog dlg(IOF_SELECTCREATENEW, nullptr);
    if (dlg.DoModal() != IDOK) return;
    const SignViewHooks& hooks = ViewHooks();
    std::optional<CWaitCursor> wait(std::in_place);
    CObject* item = nullptr;
    CSignObj* obj = nullptr;
    COleOperatingMode* deactivated = nullptr;
    bool taken = false;
    bool failed = false;
    try {
        // Without an object server there is nothing to make.
        if (!hooks.insertObject) AfxThrowMemoryException();
        obj = hooks.insertObject(*doc, dlg, item);
        if (obj == nullptr) AfxThrowMemoryException();
        if (mode != nullptr) {
            mode->Deactivate(nullptr);
            deactivated = mode;
        }
        doc->AddObject(obj, TRUE, -1);
        taken = true;
        if (deactivated != nullptr) {
            deactivated = nullptr;
            mode->Activate();
        }
    } catch (CException* e) {
        e->Delete();
        failed = true;
    } catch (...) {
        failed = true;
    }
    if (!failed) {
        if (dlg.GetSelectionType() == COleInsertDialog::createNewItem)
            PostMessage(WM_EDITOLEOBJECT, 0, 0);
        return;
    }
    // The tool works again, and only what the document did not take is deleted.
    if (deactivated != nullptr && deactivated == mode) mode->Activate();
    if (!taken) {
        delete obj;
        if (item != nullptr && hooks.deleteItem) hooks.deleteItem(item);
    }
    wait.reset();
    AfxMessageBox(SignViewIds::InsertFailed, MB_OK);
}

LRESULT CSignView::OnEditOleObject(WPARAM, LPARAM) {
    const SignViewHooks& hooks = ViewHooks();
    CSignObj* obj = SingleSelected();
    CObject* item = obj != nullptr && hooks.containerItem ? hooks.containerItem(obj) : nullptr;
    if (item == nullptr) return 0;
    SetFocus();
    if (hooks.oleMode) SwitchMode(hooks.oleMode());
    if (hooks.doVerb) hooks.doVerb(item, -2, *this);
    return 1;
}

// ---- messages of the program ----

LRESULT CSignView::OnSelectModeMessage(WPARAM, LPARAM) {
    StartSelectMode();
    return 1;
}

void CSignView::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) {
    // An undo can free the sheet's picture; the posted WM_DOCCHANGED may come too late.
    if (bitmapSheet && bitmapSheet->IsOpen()) {
        if (lHint == HINT_DOCCHANGED && pHint == nullptr) {
            bitmapSheet->Refresh();
        } else {
            bitmapSheet->FollowSelectionLater();
        }
    }
    COleSheetView::OnUpdate(pSender, lHint, pHint);
}

LRESULT CSignView::OnDocChanged(WPARAM wParam, LPARAM lParam) {
    if (layerDialog && layerDialog->IsOpen()) layerDialog->Refresh();
    if (bitmapSheet && bitmapSheet->IsOpen()) bitmapSheet->Refresh();
    return OnDocChangedMessage(wParam, lParam);
}

// ---- commands ----

void CSignView::OnZoomToSelection() {
    CSignDoc* doc = GetSignDoc();
    if (doc != nullptr && doc->m_sheet.m_nFirstSelected != -1)
        ZoomToBox(doc->m_sheet.m_bbSelection);
}

void CSignView::OnUpdateZoomToSelection(CCmdUI* pCmdUI) {
    CSignDoc* doc = GetSignDoc();
    pCmdUI->Enable(doc != nullptr && doc->m_sheet.m_nFirstSelected != -1);
}

void CSignView::OnEditCopy() {
    if (CSignDoc* doc = GetSignDoc()) CopySelection(*doc, m_hWnd);
}

void CSignView::OnUpdateEditCopy(CCmdUI* pCmdUI) {
    CSignDoc* doc = GetSignDoc();
    pCmdUI->Enable(doc != nullptr && doc->m_sheet.m_nSelected != 0);
}

void CSignView::OnEditCut() {
    if (CSignDoc* doc = GetSignDoc()) CutSelection(*doc, m_hWnd);
}

void CSignView::OnUpdateEditCut(CCmdUI* pCmdUI) {
    OnUpdateEditCopy(pCmdUI);
}

void CSignView::OnEditPaste() {
    if (CSignDoc* doc = GetSignDoc())
        PasteFormat(*doc, 0,
                    [](UINT format) -> CSignObj* { return CreateBitmapFromClipboard(format); });
}

void CSignView::OnUpdateEditPaste(CCmdUI* pCmdUI) {
    pCmdUI->Enable(GetSignDoc() != nullptr && CanPaste(true));
}

void CSignView::OnEditPasteSpecial() {
    if (CSignDoc* doc = GetSignDoc()) PasteFormat(*doc, SignClipboardFormats::Wpf());
}

void CSignView::OnUpdateEditPasteSpecial(CCmdUI* pCmdUI) {
    pCmdUI->Enable(GetSignDoc() != nullptr &&
                   ::IsClipboardFormatAvailable(SignClipboardFormats::Wpf()));
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

// ---- the tool options bar ----

CToolBar* CSignView::GetModeToolBar() {
    auto* frame = dynamic_cast<CSignFrame*>(GetParentFrame());
    return frame != nullptr ? &frame->toolOptionsBar : nullptr;
}

void CSignView::LoadModeToolBar(UINT nIDResource) {
    CToolBar* bar = GetModeToolBar();
    if (bar == nullptr || bar->m_hWnd == nullptr) return;
    bar->LoadToolBar(nIDResource);
    if (CFrameWnd* frame = GetParentFrame()) frame->RecalcLayout();
}

// ---- palette colours dropped on objects ----

namespace {

bool FromPaletteBar(CWnd* sender) {
    return sender != nullptr && DYNAMIC_DOWNCAST(CPaletteBar, sender) != nullptr;
}

void ShowResourceCursor(UINT id) {
    ::SetCursor(::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id)));
}

bool ShiftHeld() {
    return (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
}

} // namespace

CSignObj* CSignView::HitObject(int x, int y, int hitMode) {
    CSignDoc* doc = GetSignDoc();
    if (doc == nullptr) return nullptr;
    floatPoint p;
    ClientToWorld(x, y, p);
    const float scale = std::fabs(worldToDevice.m11);
    const float tolerance = scale > 0 ? float(SheetSettings::UsableMouseSens()) / scale : 0;
    return doc->m_sheet.HitTest(p, tolerance, hitMode, Settings().Detail);
}

BOOL CSignView::OnCtrlDragEnter(CWnd* sender, UINT, int, int) {
    if (!FromPaletteBar(sender)) return FALSE;
    ShowResourceCursor(SignViewIds::DropCursor);
    return TRUE;
}

BOOL CSignView::OnCtrlDragLeave(CWnd* sender, UINT, int, int) {
    if (!FromPaletteBar(sender)) return FALSE;
    ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
    return TRUE;
}

BOOL CSignView::OnCtrlDragOver(CWnd* sender, UINT, int x, int y) {
    if (!FromPaletteBar(sender)) return FALSE;
    ShowKeyHints(0, 1, 0, 0);
    if (HitObject(x, y, 1) == nullptr)
        ShowResourceCursor(SignViewIds::DropCursor);
    else
        ShowResourceCursor(ShiftHeld() ? SignViewIds::DropOnObjectShiftCursor
                                       : SignViewIds::DropOnObjectCursor);
    return TRUE;
}

BOOL CSignView::OnCtrlDrop(CWnd* sender, UINT flags, int x, int y) {
    if (!FromPaletteBar(sender)) return FALSE;
    CSignObj* obj = HitObject(x, y, ShiftHeld() ? 2 : 1);
    if (obj == nullptr) return FALSE;
    const COLORREF colour = static_cast<CPaletteBar*>(sender)->draggedColor;
    if (flags & 1) obj->SetColor(colour);
    if (flags & 2) obj->SetOutlineColor(colour);
    CSignDoc* doc = GetSignDoc();
    obj->RefreshBBox();
    doc->UpdateAllViews(nullptr, 0, reinterpret_cast<CObject*>(obj->GetBBox()));
    doc->RecordStep("Color change");
    return TRUE;
}
