#include "view/SignViewOutput.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <app/AppSettings.h>
#include <doc/CSignDoc.h>
#include <doc/Snapping.h>
#include <mfc/CDC.h>
#include <mfc/CWinApp.h>
#include <model/CObjTreeIterator.h>
#include <model/CPathObj.h>
#include <output/CPrintEngine.h>
#include <output/CPrintSheet.h>
#include <output/ViewOutput.h>
#include <pathkit/Exceptions.h>
#include <pathkit/PathCombination.h>
#include <plot/Plot.h>
#include <settings/CUnit.h>
#include <shell/GeometryRecords.h>

#include "view/CSignView.h"
#include "view/SignViewHooks.h"
#include "view/SignViewIds.h"

PlotPathTable& ThePlotPathTable() {
    static PlotPathTable table;
    return table;
}

namespace {

CPathObj* CuttablePath(CSignObj* obj, bool selectionOnly) {
    auto* path = dynamic_cast<CPathObj*>(obj);
    if (!path || path->m_path.subPaths.Filled() == 0) return nullptr;
    if (selectionOnly && !path->m_bSelected) return nullptr;
    return path;
}

// The table's memory for one call of Plot; it is emptied when this goes.
class TableFill {
public:
    ~TableFill() {
        PlotPathTable& t = ThePlotPathTable();
        t.paths = nullptr;
        t.count = 0;
    }
    void Add(CPathObj* obj) {
        // The path carries its object's colour and layer: the plot library keys its output by
        // them.
        obj->m_path.colour = obj->GetColor();
        obj->m_path.layer = obj->GetLayer();
        entries.push_back(&obj->m_path);
    }
    void Publish() {
        PlotPathTable& t = ThePlotPathTable();
        t.paths = entries.empty() ? nullptr : entries.data();
        t.count = int(entries.size());
    }
    std::vector<ColorPath*> entries;
};

} // namespace

void CutDesign(CSignView& view, bool selectionOnly) {
    CSignDoc* doc = view.GetSignDoc();
    if (!doc) return;
    TableFill table;
    CObjTreeIterator walk(&doc->m_sheet);
    if (selectionOnly) {
        for (walk.First(); !walk.IsDone(); walk.Next())
            if (CPathObj* p = CuttablePath(walk.Current(), true)) table.Add(p);
    } else {
        for (int layer = -127; layer <= 127; ++layer) {
            if (doc->m_sheet.GetLayerCount(layer) == 0) continue;
            for (walk.First(); !walk.IsDone(); walk.Next()) {
                CPathObj* p = CuttablePath(walk.Current(), false);
                if (p && p->GetLayer() == layer) table.Add(p);
            }
        }
    }
    table.Publish();
    // The user's current unit as Plot's own unit: its millimetres per unit and its name.
    CUnit unit = AppUnit;
    unit.unit = CUnit::CUSTOM;
    unit.mmPerUnit = float(CurrentUnitToMm(1.0f));
    unit.customName = AppUnit.GetName();
    Plot(AfxGetMainWnd(), static_cast<Plottable*>(&view), &unit);
}

void BindOutputHooks() {
    SignViewHooks& hooks = ViewHooks();
    hooks.runPrintSheet = [](CWnd* parent, CSignView& view) {
        ThePrintEngine().documentPath =
            view.GetSignDoc() ? view.GetSignDoc()->m_strFilePath : CString();
        RunPrintSheet(parent, static_cast<PrintSource*>(&view));
    };
    hooks.cutJob = [](CSignView& view) { CutDesign(view, false); };
    hooks.plotJob = [](CSignView& view) { CutDesign(view, true); };
}

// ---- the print source ----

namespace {
bool NeedsPicture(CSignDoc* doc, CDC* pDC) {
    const AppSettings& s = Settings();
    const bool calibrated = s.EnableWCL && !s.WCLProfile.IsEmpty();
    return calibrated || (doc != nullptr && doc->m_sheet.NeedsRasterPrinting(pDC, s.Detail));
}
} // namespace

BOOL CSignView::BeginPrinting(CDC* pDC) {
    // A flag an earlier printer left set never reaches this one.
    PostScriptFlag = FALSE;
    PostScriptFlag =
        DecidePassThrough(pDC, false) && DecidePassThrough(pDC, NeedsPicture(GetSignDoc(), pDC));
    return TRUE;
}

void CSignView::EndPrinting(CDC*) {
    PostScriptFlag = FALSE;
}

BOOL CSignView::NeedsRasterOutput(CDC* pDC) {
    if (PostScriptFlag) return FALSE;
    if (Settings().EnableWCL) return TRUE;
    CSignDoc* doc = GetSignDoc();
    return doc != nullptr && doc->m_sheet.NeedsRasterPrinting(pDC, Settings().Detail);
}

void CSignView::DrawDocument(CDC* pDC, const floatTMatrix& m, int detail) {
    const floatTMatrix savedWorld = worldToDevice;
    const floatTMatrix savedPrint = printMatrix;
    worldToDevice = m;
    if (!pDC->IsPrinting()) {
        DrawSheetObjects(pDC, m, detail);
    } else {
        AppSettings& s = Settings();
        const BYTE savedDetail = s.Detail;
        if (detail > 0) s.Detail = BYTE(detail);
        const int savedState = CSignDoc::PrintDrawingState;
        CSignDoc::PrintDrawingState = 0;
        const BOOL savedEngine = EngineDrawing;
        EngineDrawing = TRUE;
        printMatrix = m;
        const int state = pDC->SaveDC();
        OnDraw(pDC);
        pDC->RestoreDC(state);
        EngineDrawing = savedEngine;
        CSignDoc::PrintDrawingState = savedState;
        s.Detail = savedDetail;
    }
    printMatrix = savedPrint;
    worldToDevice = savedWorld;
}

void CSignView::GetPageExtent(floatBBox& box) {
    if (CSignDoc* doc = GetSignDoc()) doc->GetExtent(box);
}

void CSignView::GetDesignBox(floatBBox& box) {
    if (CSignDoc* doc = GetSignDoc()) box = doc->m_sheet.m_bbExtent;
}

void CSignView::GetCutContours(Path& outlines, Path& lines) {
    CSignDoc* doc = GetSignDoc();
    if (!doc) return;
    Path working(outlines.accuracy > 0 ? outlines.accuracy : Path::DefAccuracy);
    CObjTreeIterator walk(&doc->m_sheet);
    for (walk.First(); !walk.IsDone(); walk.Next()) {
        CSignObj* obj = walk.Current();
        Path* path = obj ? obj->GetPath() : nullptr;
        if (!path || !obj->m_bFlag1 || !obj->m_bFlag2) continue;
        Path copy(*path);
        Path outer(copy.accuracy);
        FilterSubPaths(copy, outer, TRUE);
        working.Concat(outer);
    }
    if (working.subPaths.Filled()) SumTo(working, outlines);
    for (walk.First(); !walk.IsDone(); walk.Next()) {
        CSignObj* obj = walk.Current();
        Path* path = obj ? obj->GetPath() : nullptr;
        if (!path || !obj->m_bFlag1 || obj->m_bFlag2) continue;
        Path copy(*path);
        lines.Concat(copy);
    }
    lines.Validate(0x700);
}

BOOL CSignView::SnapToNode(floatPoint& point, float tolerance) {
    CSignDoc* doc = GetSignDoc();
    return doc != nullptr && SnapToNearestNode(doc->m_sheet, point, tolerance, 0);
}

void CSignView::DrawOutlines(CDC* pDC, const floatTMatrix& m) {
    CSignDoc* doc = GetSignDoc();
    if (!doc) return;
    try {
        for (int i = 0; i < doc->m_sheet.GetSize(); ++i)
            if (CSignObj* obj = doc->m_sheet.GetObj(i)) obj->PaintOutline(pDC, m, 0);
    } catch (NoMemory&) {
        // Out of memory ends the outlines quietly; the page goes on.
    }
}

namespace {
float AsFloat(DWORD bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}
DWORD Bits(float f) {
    DWORD d;
    std::memcpy(&d, &f, sizeof d);
    return d;
}
} // namespace

void CSignView::GetPrintSettings(float& x, float& y, float& scale, float& gap, int& copies,
                                 int& mirror, int& rotation) {
    CSignDoc* doc = GetSignDoc();
    if (!doc) return;
    if (doc->m_bHasPlotLayout) {
        x = AsFloat(doc->m_plotLayout[0]);
        y = AsFloat(doc->m_plotLayout[1]);
        scale = AsFloat(doc->m_plotLayout[2]);
        gap = AsFloat(doc->m_plotLayout[3]);
        copies = int(doc->m_plotLayout[4]);
        mirror = int(doc->m_plotLayout[5]);
        rotation = int(doc->m_plotLayout[6]);
        return;
    }
    x = AsFloat(doc->m_outputLayout[2]);
    y = AsFloat(doc->m_outputLayout[3]);
    gap = std::max(0.0f, AsFloat(doc->m_outputLayout[0]));
    copies = std::max(1, int(doc->m_outputLayout[7]));
}

void CSignView::SetPrintSettings(float x, float y, float scale, float gap, int copies, int mirror,
                                 int rotation) {
    CSignDoc* doc = GetSignDoc();
    if (!doc) return;
    doc->m_plotLayout[0] = Bits(x);
    doc->m_plotLayout[1] = Bits(y);
    doc->m_plotLayout[2] = Bits(scale);
    doc->m_plotLayout[3] = Bits(gap);
    doc->m_plotLayout[4] = DWORD(copies);
    doc->m_plotLayout[5] = DWORD(mirror);
    doc->m_plotLayout[6] = DWORD(rotation);
    doc->m_bHasPlotLayout = 1;
    doc->SetModifiedFlag();
}

// ---- the plottable ----

void CSignView::getPlottingPaths(ColorPath*** out, int& count) {
    PlotPathTable& t = ThePlotPathTable();
    *out = t.paths;
    count = t.count;
}

const char* CSignView::getJobName() {
    // Taken afresh at every request, so that one document's name never sticks to the next.
    static CString held;
    CSignDoc* doc = GetSignDoc();
    held = JobNameFromPath(doc ? static_cast<const char*>(doc->m_strFilePath) : "");
    return held;
}

void CSignView::getLayerName(CString& out, int) {
    out.Empty();
}
