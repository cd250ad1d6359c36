#include "select/AlignMode.h"

#include <doc/CSignDoc.h>
#include <mfc/CCmdUI.h>
#include <model/CSign.h>
#include <sheet/SheetSettings.h>
#include <view/CSignView.h>

#include "select/Alignment.h"

IMPLEMENT_DYNCREATE(AlignMode, SelectMode)

BOOL AlignMode::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    int kind = -1;
    for (int k = 0; k < alignment::KindCount; ++k)
        if (AlignIds::Kinds[k] == nID) kind = k;
    if (kind >= 0 || nID == AlignIds::ToPage) {
        if (nCode == CN_COMMAND) {
            if (pHandlerInfo == nullptr) {
                if (kind >= 0) {
                    OnAlign(kind);
                } else {
                    OnToggleToPage();
                }
            }
            return TRUE;
        }
        if (nCode == CN_UPDATE_COMMAND_UI) {
            auto* ui = static_cast<CCmdUI*>(pExtra);
            ui->Enable(TRUE);
            ui->SetCheck(kind >= 0 ? activeAlignment == kind : toPage);
            return TRUE;
        }
    }
    return SelectMode::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void AlignMode::BuildToolBar() {
    if (auto* signView = dynamic_cast<CSignView*>(view))
        signView->LoadModeToolBar(AlignIds::ToolBar);
}

void AlignMode::UpdateSizeFields(const floatBBox*) {
    CSignDoc* doc = Doc();
    if (doc && doc->m_sheet.m_nSelected == 0) activeAlignment = -1;
}

floatBBox AlignMode::GetReferenceBox() {
    if (toPage) {
        const float w = SheetSettings::DocWidth, h = SheetSettings::DocHeight;
        return floatBBox(std::min(0.0f, w), std::min(0.0f, h), std::max(0.0f, w),
                         std::max(0.0f, h));
    }
    CSignDoc* doc = Doc();
    return doc ? doc->m_sheet.m_bbSelection : floatBBox();
}

void AlignMode::ApplyAlignment(int kind, const floatBBox& reference) {
    CSignDoc* doc = Doc();
    if (!doc || doc->m_sheet.UpdateSelection() == 0) return;
    doc->UpdateSelectedObjects();
    alignment::Apply(doc->m_sheet, kind, reference);
    Finish("Align");
}

void AlignMode::OnAlign(int kind) {
    CSignDoc* doc = Doc();
    if (!doc || doc->m_sheet.UpdateSelection() == 0) return;
    activeAlignment = kind;
    ApplyAlignment(kind, GetReferenceBox());
    if (toPage) activeAlignment = -1;
}

void AlignMode::OnToggleToPage() {
    toPage = !toPage;
    if (activeAlignment >= 0) ApplyAlignment(activeAlignment, GetReferenceBox());
    if (toPage) activeAlignment = -1;
}

BOOL AlignMode::OnLButtonDown(UINT flags, int x, int y) {
    const BOOL result = SelectMode::OnLButtonDown(flags, x, y);
    activeAlignment = -1;
    return result;
}
