#include "dialogs/CGeneralPage.h"

#include <cmath>

#include <doc/CSignDoc.h>
#include <mfc/CDataExchange.h>
#include <mfc/CWinApp.h>
#include <model/CGroupObj.h>
#include <model/CObjIterator.h>
#include <model/CSign.h>
#include <settings/NumberFields.h>
#include <shell/MeasureFields.h>
#include <win32/user.h>

#include "dialogs/GeneralPageIds.h"

IMPLEMENT_DYNAMIC(CGeneralPage, CPropertyPage)

namespace {

float ToTenThousandths(float v) {
    return float(std::floor(double(v) * 10000 + 0.5) * 0.0001);
}

void Enable(CWnd* page, int id, bool on) {
    if (CWnd* w = page->GetDlgItem(id)) w->EnableWindow(on ? TRUE : FALSE);
}

// The selected leaves of the sheet, depth first.
template <class F> void ForEachSelectedLeaf(CSign& sheet, F&& f) {
    CObjIterator it(&sheet);
    for (it.First(); it.Current() != nullptr; it.Next())
        if (it.Current()->m_bSelected) f(it.Current());
}

// Scale and shift of one axis taking [a0, a1] onto [b0, b1]. An axis without extent (a line
// along the other axis) cannot be scaled: its scale stays 1 and it only moves; false then.
bool AxisMap(float a0, float a1, float b0, float b1, float& scale, float& shift) {
    const double from = double(a1) - a0, to = double(b1) - b0;
    if (from == 0 || to == 0) {
        scale = 1;
        shift = b0 - a0;
        return false;
    }
    scale = float(to / from);
    shift = float(b0 - a0 * (to / from));
    return true;
}

} // namespace

BEGIN_MESSAGE_MAP(CGeneralPage, CPropertyPage)
ON_CONTROL(EN_CHANGE, IDC_GP_SCALE, OnScaleChange)
ON_CONTROL(EN_CHANGE, IDC_GP_SIZE_X, OnSizeXChange)
ON_CONTROL(EN_CHANGE, IDC_GP_SIZE_Y, OnSizeYChange)
ON_CONTROL(BN_CLICKED, IDC_GP_SNAP, OnSnap)
ON_CONTROL(BN_CLICKED, IDC_GP_KEEP_PROPORTIONS, OnReadAndShow)
ON_CONTROL(BN_CLICKED, IDC_GP_APPLY_LAYER, OnApplyLayer)
ON_CONTROL(BN_CLICKED, IDC_GP_APPLY_WIDTH, OnReadAndShow)
ON_CONTROL(BN_CLICKED, IDC_GP_FLAG_B, OnReadAndShow)
ON_CONTROL(BN_CLICKED, IDC_GP_FLAG_C, OnReadAndShow)
ON_CONTROL(BN_CLICKED, IDC_GP_APPLY_FLAGS, OnReadAndShow)
ON_CONTROL(BN_CLICKED, IDC_GP_APPLY_TRANSPARENCY, OnReadAndShow)
END_MESSAGE_MAP()

CGeneralPage::CGeneralPage(CSignDoc* pDoc) : CPropertyPage(IDD_GENERAL_PAGE), doc(pDoc) {
    const floatBBox& box = SelectionBox();
    posX = ToTenThousandths(box.left);
    posY = ToTenThousandths(box.bottom);
    sizeX = ToTenThousandths(box.right - box.left);
    sizeY = ToTenThousandths(box.top - box.bottom);
}

const floatBBox& CGeneralPage::SelectionBox() const {
    return doc->m_sheet.m_bbSelection;
}

BOOL CGeneralPage::OnInitDialog() {
    applyTransparency = applyFlags = applyLayer = applyWidth = 0;
    objectCount = 0;
    CSign& sheet = doc->m_sheet;
    ForEachSelectedLeaf(sheet, [&](CSignObj* obj) {
        if (obj->IsKindOf(RUNTIME_CLASS(CGroupObj))) return;
        if (objectCount++ == 0) {
            applyTransparency = applyFlags = applyLayer = applyWidth = 1;
            layer = obj->GetLayer();
            outlineWidth = obj->m_fOutlineWidth;
            fixedWidth = obj->m_bFixedOutlineWidth != 0;
            flagB = obj->m_bFlag1 != 0;
            flagC = obj->m_bFlag2 != 0;
            return;
        }
        if (obj->GetLayer() != layer) applyLayer = 0;
        if (obj->m_fOutlineWidth != outlineWidth) applyWidth = 0;
        if ((obj->m_bFlag1 != 0) != (flagB != 0) || (obj->m_bFlag2 != 0) != (flagC != 0))
            applyFlags = 0;
    });
    // An object without a layer has none to show: the field starts at 0, its box clear.
    if (layer == -128) {
        layer = 0;
        applyLayer = 0;
    }
    bool first = true;
    for (int i = 0; i < sheet.GetSize(); ++i) {
        CSignObj* obj = sheet.GetObj(i);
        if (!obj->m_bSelected) continue;
        const float t = obj->m_fTransparency * 100;
        if (first) {
            transparency = t;
            first = false;
        } else if (t != transparency) {
            applyTransparency = 0;
        }
    }
    if (sizeX == 0 || sizeY == 0) keepProportions = 0;
    m_showing = true;
    const BOOL result = CPropertyPage::OnInitDialog();
    m_showing = false;
    return result;
}

void CGeneralPage::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    const bool loading = !pDX->m_bSaveAndValidate;
    auto skipped = [&](int id) { return loading && skipControl == id; };
    if (!skipped(IDC_GP_POS_X)) DDX_Measure(pDX, IDC_GP_POS_X, posX);
    if (!skipped(IDC_GP_POS_Y)) DDX_Measure(pDX, IDC_GP_POS_Y, posY);
    if (!skipped(IDC_GP_SIZE_X)) DDX_Measure(pDX, IDC_GP_SIZE_X, sizeX);
    if (!skipped(IDC_GP_SIZE_Y)) DDX_Measure(pDX, IDC_GP_SIZE_Y, sizeY);
    if (!skipped(IDC_GP_SCALE)) DDX_Float(pDX, IDC_GP_SCALE, scale);
    if (!applyLayer) layer = 0;
    DDX_Measure(pDX, IDC_GP_OUTLINE_WIDTH, outlineWidth);
    DDV_Measure(pDX, outlineWidth, 0, 100);
    DDX_Check(pDX, IDC_GP_KEEP_PROPORTIONS, keepProportions);
    DDX_Text(pDX, IDC_GP_LAYER, layer);
    DDV_MinMaxInt(pDX, layer, -127, 127);
    DDX_Check(pDX, IDC_GP_APPLY_LAYER, applyLayer);
    DDX_Check(pDX, IDC_GP_FIXED_WIDTH, fixedWidth);
    DDX_Check(pDX, IDC_GP_APPLY_WIDTH, applyWidth);
    DDX_Check(pDX, IDC_GP_FLAG_B, flagB);
    DDX_Check(pDX, IDC_GP_FLAG_C, flagC);
    DDX_Check(pDX, IDC_GP_APPLY_FLAGS, applyFlags);
    DDX_Float(pDX, IDC_GP_TRANSPARENCY, transparency);
    DDV_Float(pDX, transparency, 0, 100);
    DDX_Check(pDX, IDC_GP_APPLY_TRANSPARENCY, applyTransparency);

    const bool several = objectCount > 1;
    Enable(this, IDC_GP_SCALE, keepProportions);
    Enable(this, IDC_GP_LAYER, applyLayer);
    Enable(this, IDC_GP_OUTLINE_WIDTH, applyWidth);
    Enable(this, IDC_GP_FIXED_WIDTH, applyWidth);
    Enable(this, IDC_GP_FLAG_B, applyFlags);
    Enable(this, IDC_GP_FLAG_C, applyFlags && flagB);
    Enable(this, IDC_GP_TRANSPARENCY, applyTransparency);
    for (int id :
         {IDC_GP_APPLY_FLAGS, IDC_GP_APPLY_LAYER, IDC_GP_APPLY_WIDTH, IDC_GP_APPLY_TRANSPARENCY})
        Enable(this, id, several);
}

void CGeneralPage::Show(int skip) {
    const bool was = m_showing;
    m_showing = true;
    skipControl = skip;
    UpdateData(FALSE);
    skipControl = 0;
    m_showing = was;
}

BOOL CGeneralPage::Read() {
    const bool was = m_showing;
    m_showing = true;
    const BOOL ok = UpdateData(TRUE);
    m_showing = was;
    return ok;
}

void CGeneralPage::ReadBoxFields() {
    // Fields in the middle of being typed keep their last values.
    float v = 0;
    if (GetWindowMeasure(GetDlgItem(IDC_GP_POS_X), v)) posX = v;
    if (GetWindowMeasure(GetDlgItem(IDC_GP_POS_Y), v)) posY = v;
    if (GetWindowMeasure(GetDlgItem(IDC_GP_SIZE_X), v)) sizeX = v;
    if (GetWindowMeasure(GetDlgItem(IDC_GP_SIZE_Y), v)) sizeY = v;
    if (GetWindowFloat(GetDlgItem(IDC_GP_SCALE), v)) scale = v;
    keepProportions = IsDlgButtonChecked(IDC_GP_KEEP_PROPORTIONS) ? 1 : 0;
}

void CGeneralPage::OnScaleChange() {
    if (m_showing) return;
    ReadBoxFields();
    if (!keepProportions) return;
    float value = 0;
    if (!GetWindowFloat(GetDlgItem(IDC_GP_SCALE), value)) {
        // Half-typed text waits for the next key; anything else is not a number.
        if (GetDlgItem(IDC_GP_SCALE)->GetWindowTextLength() > 1) MessageBeep(0);
        return;
    }
    if (!(value >= 0 && value < 100)) {
        AfxMessageBox(IDS_GP_BAD_SCALE);
        scale = 0;
        Show(0);
        return;
    }
    scale = value;
    if (value > 0.001f) {
        const floatBBox& box = SelectionBox();
        sizeX = (box.right - box.left) * scale;
        sizeY = (box.top - box.bottom) * scale;
        Show(IDC_GP_SCALE);
    } else {
        MessageBeep(0);
    }
}

void CGeneralPage::OnSizeXChange() {
    if (m_showing) return;
    ReadBoxFields();
    float value = 0;
    if (!GetWindowMeasure(GetDlgItem(IDC_GP_SIZE_X), value)) {
        if (GetDlgItem(IDC_GP_SIZE_X)->GetWindowTextLength() > 1) MessageBeep(0);
        return;
    }
    if (!(value > 0.01f && value < 100000)) {
        AfxMessageBox(IDS_GP_BAD_SIZE);
        sizeX = 0;
        Show(0);
        return;
    }
    sizeX = value;
    const floatBBox& box = SelectionBox();
    const float w = box.right - box.left, h = box.top - box.bottom;
    if (keepProportions && w > 0) {
        sizeY = h * sizeX / w;
        scale = sizeX / w;
    }
    Show(IDC_GP_SIZE_X);
}

void CGeneralPage::OnSizeYChange() {
    if (m_showing) return;
    ReadBoxFields();
    float value = 0;
    if (!GetWindowMeasure(GetDlgItem(IDC_GP_SIZE_Y), value)) {
        if (GetDlgItem(IDC_GP_SIZE_Y)->GetWindowTextLength() > 1) MessageBeep(0);
        return;
    }
    if (!(value > 0.01f && value < 100000)) {
        AfxMessageBox(IDS_GP_BAD_SIZE);
        sizeY = 0;
        Show(0);
        return;
    }
    sizeY = value;
    const floatBBox& box = SelectionBox();
    const float w = box.right - box.left, h = box.top - box.bottom;
    if (keepProportions && h > 0) {
        sizeX = w * sizeY / h;
        scale = sizeY / h;
    }
    Show(IDC_GP_SIZE_Y);
}

void CGeneralPage::OnSnap() {
    if (m_showing || !Read()) return;
    floatPoint pos(posX, posY), size(sizeX, sizeY);
    doc->SnapPoint(&pos, 0, 0);
    doc->SnapPoint(&size, 0, 0);
    posX = pos.x;
    posY = pos.y;
    sizeX = size.x;
    sizeY = size.y;
    Show(0);
}

void CGeneralPage::OnApplyLayer() {
    if (m_showing || !Read()) return;
    CSign& sheet = doc->m_sheet;
    for (int i = 0; i < sheet.GetSize(); ++i)
        if (sheet.GetObj(i)->m_bSelected) {
            layer = sheet.GetObj(i)->GetLayer();
            break;
        }
    if (applyLayer && layer == -128) layer = 1;
    Show(0);
}

void CGeneralPage::OnReadAndShow() {
    if (m_showing || !Read()) return;
    Show(0);
}

void CGeneralPage::ApplyBox() {
    CSign& sheet = doc->m_sheet;
    const floatBBox old = SelectionBox();
    const float x0 = std::fmin(posX, posX + sizeX), x1 = std::fmax(posX, posX + sizeX);
    const float y0 = std::fmin(posY, posY + sizeY), y1 = std::fmax(posY, posY + sizeY);
    if (x0 == old.left && x1 == old.right && y0 == old.bottom && y1 == old.top) return;
    float sx = 1, dx = 0, sy = 1, dy = 0;
    const bool scalesX = AxisMap(old.left, old.right, x0, x1, sx, dx);
    const bool scalesY = AxisMap(old.bottom, old.top, y0, y1, sy, dy);
    // A size asked of an axis without extent cannot be given: said with a beep.
    if ((!scalesX && x1 - x0 != old.right - old.left) ||
        (!scalesY && y1 - y0 != old.top - old.bottom))
        MessageBeep(0);
    const floatTMatrix m(sx, 0, 0, sy, dx, dy);
    const bool finite =
        std::isfinite(sx) && std::isfinite(sy) && std::isfinite(dx) && std::isfinite(dy);
    if (!finite || !sheet.AcceptsTransform(m)) {
        MessageBeep(0);
        return;
    }
    doc->UpdateSelectedObjects();
    sheet.TransformObjects(m, 1);
    doc->RecalcBounds();
}

void CGeneralPage::OnOK() {
    if (!Read()) return;
    ApplyBox();
    CSign& sheet = doc->m_sheet;
    ForEachSelectedLeaf(sheet, [&](CSignObj* obj) {
        if (applyLayer) obj->SetLayer(char(layer), 0);
        if (applyWidth) {
            obj->m_fOutlineWidth = outlineWidth;
            obj->m_bFixedOutlineWidth = fixedWidth ? 1 : 0;
        }
        if (applyFlags) {
            obj->m_bFlag1 = flagB ? 1 : 0;
            obj->m_bFlag2 = flagC ? 1 : 0;
        }
        if (applyLayer || applyWidth || applyFlags) obj->UpdateStamp();
    });
    if (applyTransparency)
        for (int i = 0; i < sheet.GetSize(); ++i)
            if (sheet.GetObj(i)->m_bSelected)
                sheet.GetObj(i)->m_fTransparency = transparency * 0.01f;
    if (applyLayer) sheet.CountLayerObjects();
    doc->UpdateSelectedObjects();
    CPropertyPage::OnOK();
}
