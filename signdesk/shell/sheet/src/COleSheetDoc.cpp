#include "sheet/COleSheetDoc.h"

#include <climits>
#include <cmath>

#include <mfc/CArchive.h>
#include <mfc/CCmdUI.h>
#include <mfc/CView.h>
#include <shell/DefaultPrinterPage.h>
#include <shell/PrivateMessages.h>
#include <shell/ProfileSettings.h>

#include "sheet/SheetIds.h"
#include "sheet/SheetSettings.h"

IMPLEMENT_DYNCREATE(COleSheetDoc, COleDocument)

BEGIN_MESSAGE_MAP(COleSheetDoc, COleDocument)
ON_COMMAND(ID_SNAP_TO_GRID, OnSnapToGrid)
ON_UPDATE_COMMAND_UI(ID_SNAP_TO_GRID, OnUpdateSnapToGrid)
END_MESSAGE_MAP()

namespace {

// Sheet documents alive; only the first resets the class-wide grid and sheet size.
int liveDocuments = 0;

// A stored sheet size that is no positive number gives the default.
float SizeOr(float v, float def) {
    return std::isfinite(v) && v > 0 ? v : def;
}

} // namespace

float SnapToGridLine(float v, float origin, float spacing) {
    spacing = SheetSettings::UsableSpacing(spacing);
    double n = std::floor((double(v) - origin) / spacing + 0.5);
    // The index is a 32-bit integer: far-off points snap to the last line it reaches.
    if (!(n >= double(INT_MIN))) n = INT_MIN;
    if (!(n <= double(INT_MAX))) n = INT_MAX;
    return float(double(std::int32_t(n)) * spacing + origin);
}

COleSheetDoc::COleSheetDoc() {
    if (liveDocuments++ > 0) return;
    SheetSettings::GridOffs = floatPoint(0, 0);
    SheetSettings::GridDens = floatPoint(1, 1);
    float width = 0, height = 0;
    GetDefaultPaperSize(width, height);
    SheetSettings::DocWidth = SizeOr(GetProfileFloat("Settings", "DocWidth", width), width);
    SheetSettings::DocHeight = SizeOr(GetProfileFloat("Settings", "DocHeight", height), height);
}

COleSheetDoc::~COleSheetDoc() {
    --liveDocuments;
}

BOOL COleSheetDoc::OnNewDocument() {
    return COleDocument::OnNewDocument();
}

void COleSheetDoc::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << SheetSettings::DocWidth << SheetSettings::DocHeight;
    } else {
        float width = 0, height = 0;
        ar >> width >> height;
        SheetSettings::DocWidth = width;
        SheetSettings::DocHeight = height;
    }
    COleDocument::Serialize(ar);
}

floatBBox& COleSheetDoc::GetExtent(floatBBox& out) {
    const float w = SheetSettings::DocWidth, h = SheetSettings::DocHeight;
    out.left = std::min(0.0f, w);
    out.right = std::max(0.0f, w);
    out.bottom = std::min(0.0f, h);
    out.top = std::max(0.0f, h);
    return out;
}

BOOL COleSheetDoc::SnapX(floatPoint* p, float, INT_PTR) {
    if (!SheetSettings::SnapToGrid || p == nullptr) return FALSE;
    p->x = SnapToGridLine(p->x, SheetSettings::GridOffs.x, SheetSettings::GridDens.x);
    return TRUE;
}

BOOL COleSheetDoc::SnapY(floatPoint* p, float, INT_PTR) {
    if (!SheetSettings::SnapToGrid || p == nullptr) return FALSE;
    p->y = SnapToGridLine(p->y, SheetSettings::GridOffs.y, SheetSettings::GridDens.y);
    return TRUE;
}

BOOL COleSheetDoc::SnapPoint(floatPoint* p, float tolerance, INT_PTR flags) {
    const BOOL x = SnapX(p, tolerance, flags);
    const BOOL y = SnapY(p, tolerance, flags);
    return x || y;
}

void COleSheetDoc::SnapBox(floatBBox* box, float tolerance, INT_PTR flags) {
    if (box == nullptr) return;
    floatPoint c1(box->left, box->bottom), c2(box->right, box->top);
    SnapPoint(&c1, tolerance, flags);
    SnapPoint(&c2, tolerance, flags);
    float dx = c1.x - box->left, dy = c1.y - box->bottom;
    if (std::fabs(c2.x - box->right) < std::fabs(dx)) dx = c2.x - box->right;
    if (std::fabs(c2.y - box->top) < std::fabs(dy)) dy = c2.y - box->top;
    box->left += dx;
    box->right += dx;
    box->bottom += dy;
    box->top += dy;
}

BOOL COleSheetDoc::AddGuideLine(const floatPoint*, double) {
    ::MessageBeep(0);
    return FALSE;
}

void COleSheetDoc::PostChangedToViews() {
    UpdateAllViews(nullptr, HINT_DOCCHANGED, nullptr);
    POSITION pos = GetFirstViewPosition();
    while (pos != nullptr) {
        CView* view = GetNextView(pos);
        if (view && view->m_hWnd) view->PostMessage(WM_DOCCHANGED);
    }
}

void COleSheetDoc::OnSnapToGrid() {
    SheetSettings::SnapToGrid = !SheetSettings::SnapToGrid;
    UpdateAllViews(nullptr);
}

void COleSheetDoc::OnUpdateSnapToGrid(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(SheetSettings::SnapToGrid);
}
