#pragma once
// The program's one view: the sheet view of the framework showing a design. It paints the
// page, the objects layer by layer, guide lines, the marked box and the font-editing guides
// through 24-bit bands; prints in raster bands or, on PostScript printers, as the objects'
// PostScript or image bands with the cut lines over them; previews; starts the tools; takes
// palette colours dropped on objects; and is the OLE container's view.

#include <memory>

#include <output/PrintSource.h>
#include <pathkit/BBox.h>
#include <pathkit/TMatrix.h>
#include <plot/Plottable.h>
#include <sheet/COleSheetView.h>

class CCmdUI;
class CPalette;
class CPrintInfo;
class CToolBar;
class CSignDoc;
class CSignObj;
class Path;
class ViewToolWindow;
class InPlaceItem;

// Two distinct output interfaces: the print source that the output sheet reads and the
// plottable that the cut commands hand to Plot; a caller never gets one for the other.
class CSignView : public COleSheetView, public PrintSource, public Plottable {
    DECLARE_DYNCREATE(CSignView)
public:
    CSignView();
    // Deletes the current mode, then the bitmap sheet, the clean-up sheet and the layer
    // dialog.
    ~CSignView() override;

    // The view's document when it is the program's document, else null.
    CSignDoc* GetSignDoc() const;

    // ---- program-wide painting state ----
    // Paint mode of off-screen images: 2 (smoothed) when set, 1 otherwise.
    static inline BOOL SmoothBitmapPaint = FALSE;
    // From a print job's start to its end: the job is a preview; it goes out as PostScript.
    static inline BOOL PrintPreviewFlag = FALSE;
    static inline BOOL PostScriptFlag = FALSE;
    // Bands left unpainted because their off-screen image could not be made.
    static long SkippedBands;
    // The program palette, selected into every paint; null where none can be made.
    static CPalette* GetAppPalette();

    // ---- fields ----
    std::unique_ptr<ViewToolWindow> layerDialog;
    std::unique_ptr<ViewToolWindow> cleanupSheet;
    // World units; shown while markedBoxShown is set.
    floatBBox markedBox{0, 0, 0, 0};
    int markedBoxShown = 0;
    // The guide line being edited, which the view does not paint; -1 when none.
    int editedGuideLine = -1;
    std::unique_ptr<ViewToolWindow> bitmapSheet;
    // The current print job was told that its printer has no usable page.
    BOOL printerUnusableTold = FALSE;

    // ---- framework overrides ----
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    // One selected object, an OLE object whose container item is pDocItem.
    BOOL IsSelected(const CObject* pDocItem) const override;
    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr) override;
    void OnInitialUpdate() override;
    void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) override;
    void OnDraw(CDC* pDC) override;
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override;
    void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo) override;
    void OnPrint(CDC* pDC, CPrintInfo* pInfo) override;
    void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) override;
    // The page (the document's own page, or the framework's).
    void DrawSheetBackground(CDC* pDC, const floatTMatrix* matrix) override;
    void DrawContent(CDC* pDC, const floatTMatrix* matrix) override;
    BOOL OnCtrlDragEnter(CWnd* sender, UINT flags, int x, int y) override;
    BOOL OnCtrlDragLeave(CWnd* sender, UINT flags, int x, int y) override;
    BOOL OnCtrlDragOver(CWnd* sender, UINT flags, int x, int y) override;
    BOOL OnCtrlDrop(CWnd* sender, UINT flags, int x, int y) override;

    // ---- painting ----
    // Every shown layer's objects; detail 0 or less: the Detail setting.
    void DrawSheetObjects(CDC* pDC, const floatTMatrix& m, int detail);
    void DrawMarkedBox(CDC* pDC, const floatTMatrix& m);
    void DrawCutLines(CDC* pDC, const floatTMatrix& m);
    void DrawCutPath(CDC* pDC, Path* path, const floatTMatrix& m);
    void DrawFontEditGuides(CDC* pDC, const floatTMatrix& m);
    void DrawGuideLines(CDC* pDC);
    // The content of the DC's clip box through off-screen 24-bit bands.
    void PaintBanded(CDC* pDC);
    // Rows of one band for a clip box w pixels wide and h high: a band never exceeds
    // 1048576 bytes and has at least one row.
    static int BandRows(int w, int h);

    // ---- output (the print source and the plottable) ----
    // Set while the print engine has the view draw a copy: the engine draws the cut contour.
    static inline BOOL EngineDrawing = FALSE;
    int GetFirstPage() override { return 1; }
    int GetPageCount() override { return 1; }
    BOOL BeginPrinting(CDC* pDC) override;
    void EndPrinting(CDC* pDC) override;
    BOOL NeedsRasterOutput(CDC* pDC) override;
    void DrawDocument(CDC* pDC, const floatTMatrix& m, int detail) override;
    int CanPreview() override { return 1; }
    void GetPageExtent(floatBBox& box) override;
    void GetDesignBox(floatBBox& box) override;
    void GetCutContours(Path& outlines, Path& lines) override;
    BOOL SnapToNode(floatPoint& point, float tolerance) override;
    void DrawOutlines(CDC* pDC, const floatTMatrix& m) override;
    void GetPrintSettings(float& x, float& y, float& scale, float& gap, int& copies, int& mirror,
                          int& rotation) override;
    void SetPrintSettings(float x, float y, float scale, float gap, int copies, int mirror,
                          int rotation) override;
    void getPlottingPaths(ColorPath*** out, int& count) override;
    const char* getJobName() override;
    void getLayerName(CString& out, int layer) override;
    const char* getPlottableName() override { return "MERIDO"; }

    // ---- tool options bar ----
    CToolBar* GetModeToolBar();
    void LoadModeToolBar(UINT nIDResource);

    // ---- tools ----
    // The one way a tool becomes current: newMode is made by the caller, then the framework's
    // install steps run.
    void SwitchMode(COleOperatingMode* newMode);
    void StartSelectMode();
    // Command 32964: the font-editing tool, after the document's save question the first time.
    void StartFontEditing();

protected:
    // The document's one selected object, or null.
    CSignObj* SingleSelected() const;
    InPlaceItem* ActiveItem();
    // The object under the client point, with the pick distance as tolerance.
    CSignObj* HitObject(int x, int y, int hitMode);
    // Outline print of one object on a layer.
    void OutlinePrint(CDC* pDC, const floatTMatrix& m, CSignObj* obj, int layer, float distance);
    void PaintOutlineCopy(CDC* pDC, const floatTMatrix& m, CSignObj* source, Path& path, int layer,
                          BOOL filled);
    // The print and preview paint of OnDraw.
    void PrintPaint(CDC* pDC);
    void PaintBand(CDC* pDC, const CRect& band, const floatTMatrix& m, BOOL printing, BOOL preview);
    // Realises the program palette in a window DC; TRUE when entries changed (the view is
    // invalidated then).
    BOOL RealizeAppPalette();
    // HINT_DOCCHANGED: the bitmap sheet takes its picture again before anything can act on it.
    // Any other update may come with a change of the selection, which the open sheet follows
    // once the change is done.
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;

    // ---- messages ----
    void OnSetFocus(CWnd* pOldWnd);
    void OnSize(UINT nType, int cx, int cy);
    LRESULT OnEditOleObject(WPARAM, LPARAM);
    LRESULT OnSelectModeMessage(WPARAM, LPARAM);
    LRESULT OnDocChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnQueryNewPalette(WPARAM, LPARAM);
    LRESULT OnPaletteChanged(WPARAM wParam, LPARAM lParam);

    // ---- the view's own commands ----
    void OnInsertObject();
    void OnCancelEditCntr();
    void OnZoomToSelection();
    void OnUpdateZoomToSelection(CCmdUI* pCmdUI);
    void OnEditCopy();
    void OnUpdateEditCopy(CCmdUI* pCmdUI);
    void OnEditCut();
    void OnUpdateEditCut(CCmdUI* pCmdUI);
    void OnEditPaste();
    void OnUpdateEditPaste(CCmdUI* pCmdUI);
    void OnEditPasteSpecial();
    void OnUpdateEditPasteSpecial(CCmdUI* pCmdUI);
    void OnUpdateFilePrint(CCmdUI* pCmdUI);
    void OnAlwaysDisabled() {}
    void OnUpdateAlwaysDisabled(CCmdUI* pCmdUI);
    void OnCutJob();
    void OnUpdateCutJob(CCmdUI* pCmdUI);
    void OnPlotJob();
    void OnUpdatePlotJob(CCmdUI* pCmdUI);

    // ---- tool commands and display switches ----
    // Every tool command: the tool table decides.
    BOOL OnToolCommand(UINT nID);
    void OnUpdateToolCommand(CCmdUI* pCmdUI);
    void OnLayerDialog();
    void OnUpdateLayerDialog(CCmdUI* pCmdUI);
    void OnCleanupSheet();
    void OnUpdateCleanupSheet(CCmdUI* pCmdUI);
    void OnBitmapSheet();
    void OnUpdateBitmapSheet(CCmdUI* pCmdUI);
    void OnPageColor();
    void OnOutputSheet();
    void OnOutputSheetPrint();
    // 32940, 33140 (and 33138): while the document holds an object.
    void OnUpdatePrint(CCmdUI* pCmdUI);
    void OnDisplayDither();
    void OnUpdateDisplayDither(CCmdUI* pCmdUI);
    void OnMarkedBox();
    void OnUpdateMarkedBox(CCmdUI* pCmdUI);
    void OnGuideLines();
    void OnUpdateGuideLines(CCmdUI* pCmdUI);
    void OnGuideLineLock();
    void OnUpdateGuideLineLock(CCmdUI* pCmdUI);
    void OnRedraw();
    void OnZoomIn();
    void OnZoomOut();

    DECLARE_MESSAGE_MAP()
};
