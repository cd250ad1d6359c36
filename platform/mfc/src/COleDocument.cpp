#include "mfc/COleDocument.h"

#include <algorithm>

#include "mfc/CArchive.h"
#include "mfc/CCmdUI.h"
#include "mfc/FrameworkIds.h"

IMPLEMENT_SERIAL(CDocItem, CCmdTarget, 1)
IMPLEMENT_DYNAMIC(COleDocument, CDocument)

BEGIN_MESSAGE_MAP(COleDocument, CDocument)
    ON_UPDATE_COMMAND_UI(ID_EDIT_PASTE, OnUpdatePasteMenu)
    ON_UPDATE_COMMAND_UI(ID_EDIT_PASTE_LINK, OnUpdatePasteLinkMenu)
    ON_UPDATE_COMMAND_UI(ID_OLE_EDIT_LINKS, OnUpdateEditLinksMenu)
    ON_COMMAND(ID_OLE_EDIT_LINKS, OnEditLinks)
    ON_UPDATE_COMMAND_UI(ID_OLE_EDIT_CONVERT, OnUpdateObjectVerbMenu)
    ON_COMMAND(ID_OLE_EDIT_CONVERT, OnEditConvert)
    ON_UPDATE_COMMAND_UI_RANGE(ID_OLE_VERB_FIRST, ID_OLE_VERB_LAST, OnUpdateObjectVerbMenu)
END_MESSAGE_MAP()

CDocItem::~CDocItem() {
    if (m_pDocument != nullptr) m_pDocument->RemoveItem(this);
}

COleDocument::~COleDocument() {
    COleDocument::DeleteContents();
}

void COleDocument::AddItem(CDocItem* pItem) {
    if (pItem == nullptr || std::find(m_items.begin(), m_items.end(), pItem) != m_items.end()) return;
    m_items.push_back(pItem);
    pItem->m_pDocument = this;
}

void COleDocument::RemoveItem(CDocItem* pItem) {
    auto it = std::find(m_items.begin(), m_items.end(), pItem);
    if (it == m_items.end()) return;
    m_items.erase(it);
    pItem->m_pDocument = nullptr;
}

CDocItem* COleDocument::GetItem(int nIndex) const {
    return nIndex >= 0 && nIndex < GetItemCount() ? m_items[std::size_t(nIndex)] : nullptr;
}

void COleDocument::DeleteContents() {
    while (!m_items.empty()) {
        CDocItem* item = m_items.back();
        m_items.pop_back();
        item->m_pDocument = nullptr;
        delete item;
    }
}

void COleDocument::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        DWORD count = 0;
        for (CDocItem* item : m_items)
            if (!item->IsBlank()) ++count;
        ar << count;
        for (CDocItem* item : m_items)
            if (!item->IsBlank()) ar.WriteObject(item);
        return;
    }
    DWORD count = 0;
    ar >> count;
    // Nothing is reserved for the count: a wrong one ends at the archive's end.
    for (DWORD i = 0; i < count; ++i) {
        CObject* object = ar.ReadObject(RUNTIME_CLASS(CDocItem));
        if (auto* item = static_cast<CDocItem*>(object)) AddItem(item);
    }
}

void COleDocument::OnUpdatePasteMenu(CCmdUI* pCmdUI) {
    // No item format is offered on the clipboard.
    pCmdUI->Enable(FALSE);
}

void COleDocument::OnUpdatePasteLinkMenu(CCmdUI* pCmdUI) {
    pCmdUI->Enable(FALSE);
}

void COleDocument::OnUpdateEditLinksMenu(CCmdUI* pCmdUI) {
    pCmdUI->Enable(FALSE); // no linked items
}

void COleDocument::OnEditLinks() {}

void COleDocument::OnUpdateObjectVerbMenu(CCmdUI* pCmdUI) {
    pCmdUI->Enable(FALSE); // no item selected
}

void COleDocument::OnEditConvert() {}
