// The sign view's printing: the print matrix, PostScript or raster bands, the print preview,
// the outline print and the cut lines over a printed page.

#include <memory>

#include <app/AppSettings.h>
#include <app/CSignFrame.h>
#include <doc/CSignDoc.h>
#include <mfc/CDC.h>
#include <mfc/CGdiObject.h>
#include <mfc/CPreviewDC.h>
#include <mfc/CPrintInfo.h>
#include <mfc/CWinApp.h>
#include <model/CGroupObj.h>
#include <model/CPathObj.h>
#include <model/PathConnections.h>
#include <model/ViewHooks.h>
#include <pathkit/ParalelPath.h>
#include <pathkit/PathCombination.h>
#include <pathkit/PathDraw.h>
#include <shell/GeometryRecords.h>

#include "view/CSignView.h"
#include "view/SignViewHooks.h"
#include "view/SignViewIds.h"

namespace {

// Keeps a program-wide value for the time of a scope.
template <class T> class ScopedValue {
public:
    ScopedValue(T& value, T during) : value_(value), saved_(value) { value_ = during; }
    ~ScopedValue() { value_ = saved_; }
    ScopedValue(const ScopedValue&) = delete;
    ScopedValue& operator=(const ScopedValue&) = delete;

private:
    T& value_;
    T saved_;
};

class ScopedPrintPreview {
public:
    ScopedPrintPreview() : saved_(IsPrintPreview()) { SetPrintPreview(TRUE); }
    ~ScopedPrintPreview() { SetPrintPreview(saved_); }

private:
    BOOL saved_;
};

bool IsPostScriptPrinter(CDC* pDC) {
    int escape = POSTSCRIPT_PASSTHROUGH;
    return pDC->Escape(QUERYESCSUPPORT, sizeof escape, reinterpret_cast<LPCSTR>(&escape), nullptr) >
           0;
}

bool IsPreviewDC(CDC* pDC) {
    return pDC->IsKindOf(RUNTIME_CLASS(CPreviewDC));
}

// Whether two device rectangles share any pixel.
bool Meets(const CRect& a, const CRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool IsOpen(const SubPath& sp) {
    if (sp.members.Filled() == 0) return false;
    const floatPoint& s = sp.members.first()->start;
    const floatPoint& e = sp.members.last()->end;
    return s.x != e.x || s.y != e.y;
}

bool Inside(const CRect& inner, const CRect& outer) {
    return inner.left > outer.left && inner.right < outer.right && inner.top > outer.top &&
           inner.bottom < outer.bottom;
}

} // namespace

// ---- the print matrix ----

void CSignView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo) {
    ScopedValue<BOOL> preparing(preparingDC, TRUE);
    bool unusable = false;
    if (pInfo != nullptr && pDC->IsPrinting()) {
        const int hr = pDC->GetDeviceCaps(HORZRES), vr = pDC->GetDeviceCaps(VERTRES);
        const int hs = pDC->GetDeviceCaps(HORZSIZE), vs = pDC->GetDeviceCaps(VERTSIZE);
        if (hr <= 1 || vr <= 1 || hs <= 0 || vs <= 0) {
            unusable = true;
        } else {
            floatBBox b;
            CSignDoc* doc = GetSignDoc();
            if (doc != nullptr && doc->m_sheet.GetSize() > 0)
                b = doc->m_sheet.m_bbExtent;
            else if (COleSheetDoc* sheetDoc = GetSheetDoc())
                sheetDoc->GetExtent(b);
            floatTMatrix flip;
            flip.BoxTransformation(b.left, b.top, b.right, b.bottom, b.left, b.bottom, b.right,
                                   b.top);
            floatTMatrix fit;
            TransferBBox(b, floatBBox(0, 0, float(hr - 1), float(vr - 1)), fit, 0, 1, 0, 0, 0.0f);
            // Square pixels in millimetres, whatever the printer's two densities.
            floatTMatrix square;
            square.Scale(1, float((double(vr - 1) / vs) / (double(hr - 1) / hs)));
            printMatrix = flip * (fit * square);
        }
    } else if (zoomKind == ZOOM_FIT_PAGE || zoomKind == ZOOM_REAL_SIZE) {
        RefitMatrix(pDC);
    }
    CScrollView::OnPrepareDC(pDC, pInfo);
    if (unusable) {
        // No page to fit the design on: the job ends here; a preview tells it once.
        if (!printerUnusableTold) AfxMessageBox(SignViewIds::PrinterUnusable, MB_OK);
        printerUnusableTold = TRUE;
        pInfo->m_bContinuePrinting = FALSE;
    }
}

// ---- the job ----

BOOL CSignView::OnPreparePrinting(CPrintInfo* pInfo) {
    return DoPreparePrinting(pInfo);
}

void CSignView::OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo) {
    printerUnusableTold = FALSE;
    PrintPreviewFlag = pInfo->m_bPreview;
    if (!PrintPreviewFlag && IsPostScriptPrinter(pDC)) {
        PostScriptFlag = TRUE;
        const AppSettings& s = Settings();
        CSignDoc* doc = GetSignDoc();
        const bool calibrated = s.EnableWCL && !s.WCLProfile.IsEmpty();
        if (calibrated || (doc != nullptr && doc->m_sheet.NeedsRasterPrinting(pDC, s.Detail))) {
            if (AfxMessageBox(SignViewIds::PrintAsImageQuestion, MB_YESNO) != IDNO)
                PostScriptFlag = FALSE;
        }
    }
    pInfo->SetMaxPage(1);
}

void CSignView::OnPrint(CDC* pDC, CPrintInfo* pInfo) {
    // The frame counts the print while it runs (its autosave waits), whatever way it ends.
    auto* frame = dynamic_cast<CSignFrame*>(AfxGetMainWnd());
    int idle = 0;
    ScopedValue<int> counting(frame != nullptr ? frame->printing : idle,
                              frame != nullptr ? frame->printing + 1 : 0);
    COleSheetView::OnPrint(pDC, pInfo);
}

void CSignView::OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) {
    COleSheetView::OnEndPrinting(pDC, pInfo);
    PostScriptFlag = FALSE;
    PrintPreviewFlag = FALSE;
}

void CSignView::PrintPaint(CDC* pDC) {
    ScopedValue<int> drawingState(CSignDoc::PrintDrawingState, 0);
    if (!IsPreviewDC(pDC)) {
        const AppSettings& s = Settings();
        CSignDoc* doc = GetSignDoc();
        const bool raster =
            s.EnableWCL != 0 || (doc != nullptr && doc->m_sheet.NeedsRasterPrinting(pDC, s.Detail));
        if (PostScriptFlag || !raster)
            COleSheetView::OnDraw(pDC);
        else
            PaintBanded(pDC);
    } else {
        // The preview's screen pixels: the print matrix followed by the preview's mapping of
        // printer pixels, drawn in MM_TEXT on the screen context itself.
        auto* preview = static_cast<CPreviewDC*>(pDC);
        ScopedPrintPreview previewing;
        const floatTMatrix saved = printMatrix;
        POINT a{0, 0}, b{1000, 1000};
        preview->PrinterDPtoScreenDP(&a);
        preview->PrinterDPtoScreenDP(&b);
        floatTMatrix toScreen;
        toScreen.BoxTransformation(0, 0, 1000, 1000, float(a.x), float(a.y), float(b.x),
                                   float(b.y));
        printMatrix = printMatrix * toScreen;
        const int state = ::SaveDC(pDC->m_hDC);
        ::SetMapMode(pDC->m_hDC, MM_TEXT);
        ::SetWindowOrgEx(pDC->m_hDC, 0, 0, nullptr);
        ::SetViewportOrgEx(pDC->m_hDC, 0, 0, nullptr);
        CDC screen;
        screen.Attach(pDC->m_hDC);
        screen.m_bPrinting = TRUE;
        ScopedValue<BOOL> previewFlag(PrintPreviewFlag, TRUE);
        PaintBanded(&screen);
        screen.Detach();
        ::RestoreDC(pDC->m_hDC, state);
        printMatrix = saved;
    }
    // Driven by the print engine, which draws the cut contour itself.
    if (!EngineDrawing) DrawCutLines(pDC, printMatrix);
}

// ---- the outline print ----

void CSignView::PaintOutlineCopy(CDC* pDC, const floatTMatrix& m, CSignObj* source, Path& path,
                                 int layer, BOOL filled) {
    CPathObj copy;
    static_cast<Path&>(copy.m_path) = Path(path);
    copy.SetColor(filled ? RGB(255, 255, 255) : NO_COLOR);
    copy.m_fOutlineWidth = source->m_fOutlineWidth;
    copy.SetOutlineColor(RGB(255, 255, 255));
    copy.SetLayer(char(layer), 1);
    copy.RefreshBBox();
    const int saved = pDC->SaveDC();
    copy.Paint(pDC, m, Settings().Detail, layer, 0);
    pDC->RestoreDC(saved);
}

void CSignView::OutlinePrint(CDC* pDC, const floatTMatrix& m, CSignObj* obj, int layer,
                             float distance) {
    if (obj == nullptr) return;
    const SignViewHooks& hooks = ViewHooks();
    OutlineObjects replacement;
    // Foreign objects print through what their hooks make of them; none of it is theirs.
    if ((hooks.oleOutline && hooks.oleOutline(obj, replacement)) ||
        (hooks.metafileOutline && hooks.metafileOutline(obj, replacement)) ||
        (hooks.illustratorOutline && hooks.illustratorOutline(obj, replacement)) ||
        (hooks.bitmapOutline && hooks.bitmapOutline(obj, replacement))) {
        for (auto& part : replacement)
            OutlinePrint(pDC, m, part.get(), layer, distance);
        return;
    }
    if (auto* pathObj = DYNAMIC_DOWNCAST(CPathObj, obj)) {
        if (distance == 0) {
            PaintOutlineCopy(pDC, m, obj, pathObj->m_path, layer, TRUE);
            return;
        }
        // The document's path stays as it is: connections and offset work on a copy.
        Path source(pathObj->m_path);
        DetectPathConnections(source);
        Path grown;
        ParalelPath(source, distance, 0.0f, 0, grown, 0);
        PaintOutlineCopy(pDC, m, obj, grown, layer, TRUE);
        return;
    }
    if (auto* group = DYNAMIC_DOWNCAST(CGroupObj, obj)) {
        for (int i = 0; i < group->m_children.GetSize(); ++i)
            OutlinePrint(pDC, m, static_cast<CSignObj*>(group->m_children[i]), layer, distance);
    }
}

// ---- cut lines ----

void CSignView::DrawCutLines(CDC* pDC, const floatTMatrix& m) {
    CSignDoc* doc = GetSignDoc();
    if (doc == nullptr) return;
    const AppSettings& s = Settings();
    CPen pen(s.CutPenStyle, 1, s.CutPenColor);
    CPen* oldPen = pDC->SelectObject(&pen);
    CGdiObject* oldBrush = pDC->SelectStockObject(NULL_BRUSH);
    CSign& sign = doc->m_sheet;
    Path common;
    for (int i = 0; i < sign.GetSize(); ++i) {
        CSignObj* obj = sign.GetObj(i);
        Path* path = obj->GetPath();
        if (!obj->m_bFlag1 || !obj->m_bFlag2 || path == nullptr) continue;
        // The document's path is only read: the filter prepares its source.
        Path source(*path);
        Path outer(path->accuracy > 0 ? path->accuracy : Path::DefAccuracy);
        FilterSubPaths(source, outer, 0);
        if (common.subPaths.Filled() == 0) {
            common = outer;
            continue;
        }
        Path merged;
        SafeMerge(outer, common, merged);
        common = merged;
    }
    DrawCutPath(pDC, &common, m);
    for (int i = 0; i < sign.GetSize(); ++i) {
        CSignObj* obj = sign.GetObj(i);
        Path* path = obj->GetPath();
        if (obj->m_bFlag1 && !obj->m_bFlag2 && path != nullptr) DrawCutPath(pDC, path, m);
    }
    pDC->SelectObject(oldBrush);
    pDC->SelectObject(oldPen);
}

void CSignView::DrawCutPath(CDC* pDC, Path* path, const floatTMatrix& m) {
    if (path == nullptr || path->subPaths.Filled() == 0) return;
    if (IsPreviewDC(pDC)) {
        Paint(pDC, m, *path, PP_STROKE);
        return;
    }
    const CRect area(1, 1, pDC->GetDeviceCaps(HORZRES) - 1, pDC->GetDeviceCaps(VERTRES) - 1);
    CRect box;
    ::Transform(m, path->ctrlBox, box);
    box.NormalizeRect();
    if (!Meets(box, area)) return;
    Path frame;
    frame.MoveTo({float(area.left), float(area.top)});
    frame.LineTo({float(area.right), float(area.top)});
    frame.LineTo({float(area.right), float(area.bottom)});
    frame.LineTo({float(area.left), float(area.bottom)});
    frame.LineTo({float(area.left), float(area.top)});
    frame.ClosePath();
    frame.Transform(m.Inv());
    frame.Prepare();
    for (SubPath& sp : path->subPaths) {
        CRect r;
        ::Transform(m, sp.ctrlBox, r);
        r.NormalizeRect();
        if (!Meets(r, area)) continue;
        if (Inside(r, area)) {
            Paint(pDC, m, sp, PP_STROKE);
            continue;
        }
        if (IsOpen(sp)) {
            // An area's intersection keeps nothing of a line: the device clips it instead.
            const int saved = pDC->SaveDC();
            pDC->IntersectClipRect(&area);
            Paint(pDC, m, sp, PP_STROKE);
            pDC->RestoreDC(saved);
            continue;
        }
        Path piece;
        piece.subPaths.Append(sp);
        piece.Prepare();
        Path inside;
        Section(piece, frame, &inside);
        Paint(pDC, m, inside, PP_STROKE);
    }
}
