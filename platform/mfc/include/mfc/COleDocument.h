#pragma once
// A container document: a document that holds embedded items besides its own data. Items
// are serialisable objects of CDocItem classes; the document owns them. Its message map
// carries the container commands (paste, paste link, links, convert, the object verbs),
// which stay disabled while no item can take them.

#include <vector>

#include "mfc/CDocument.h"

class COleDocument;

class MFC_API CDocItem : public CCmdTarget {
    DECLARE_SERIAL(CDocItem)
public:
    CDocItem() = default;
    ~CDocItem() override;
    COleDocument* GetDocument() const { return m_pDocument; }
    // A blank item holds nothing worth storing: the document does not store it.
    virtual BOOL IsBlank() const { return FALSE; }

    COleDocument* m_pDocument = nullptr;
};

class MFC_API COleDocument : public CDocument {
    DECLARE_DYNAMIC(COleDocument)
public:
    COleDocument() = default;
    ~COleDocument() override;

    // The document takes ownership.
    virtual void AddItem(CDocItem* pItem);
    // Gives the item up (not deleted).
    virtual void RemoveItem(CDocItem* pItem);
    int GetItemCount() const { return int(m_items.size()); }
    CDocItem* GetItem(int nIndex) const;
    // Deletes every item.
    void DeleteContents() override;

    // A DWORD count of the non-blank items, then each as an object record. Loading adds
    // what it reads; an item of an unknown class raises the archive's class error, a
    // record cut short its end-of-file error.
    void Serialize(CArchive& ar) override;

protected:
    void OnUpdatePasteMenu(CCmdUI* pCmdUI);
    void OnUpdatePasteLinkMenu(CCmdUI* pCmdUI);
    void OnUpdateEditLinksMenu(CCmdUI* pCmdUI);
    void OnEditLinks();
    void OnUpdateObjectVerbMenu(CCmdUI* pCmdUI);
    void OnEditConvert();
    DECLARE_MESSAGE_MAP()

private:
    std::vector<CDocItem*> m_items;
};
