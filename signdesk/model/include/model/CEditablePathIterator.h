#pragma once
// Walkers over the path objects that node editing may change: editable, unlocked path
// objects (CEditablePathIterator), of which the selected ones on visible layers
// (CSelectedPathIterator).

#include "model/CObjIterator.h"

class CNodeEditor;
class CPathObj;

class CEditablePathIterator : public CObjIterator {
public:
    // Stands on the first qualifying object of the tree.
    explicit CEditablePathIterator(CObArray* pRoot);

    void Next() override;
    void Prev() override;
    CPathObj* CurrentPath() const;

    // A CPathObj (or subclass) whose IsEditable answers true and that is not locked.
    static BOOL IsEditablePath(CSignObj* pObj);
};

class CSelectedPathIterator : public CEditablePathIterator {
public:
    // Walks the editor's sheet.
    explicit CSelectedPathIterator(CNodeEditor* pEditor);

    void Next() override;
    void Prev() override;

protected:
    BOOL Qualifies(CSignObj* pObj) const;

    CNodeEditor* m_pEditor;
};
