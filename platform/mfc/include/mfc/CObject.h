#pragma once
// Root of the framework's class tree: run-time class information and serialisation.

#include "mfc/CRuntimeClass.h"

class CDumpContext;

class MFC_API CObject {
public:
    static CRuntimeClass classCObject;
    virtual CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject();
    virtual void Serialize(CArchive& ar);
    // Diagnostics hooks; they do nothing here.
    virtual void AssertValid() const;
    virtual void Dump(CDumpContext& dc) const;

    // Kind test: the object's class is pClass or derived from it.
    BOOL IsKindOf(const CRuntimeClass* pClass) const;
    BOOL IsSerializable() const;

protected:
    CObject() = default;

public:
    // Objects of the tree are not copied through their base.
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
};

// Checked casts: null when the object is not of the class (DYNAMIC_DOWNCAST); STATIC_DOWNCAST
// does no check, as in release builds of the framework.
MFC_API CObject* AfxDynamicDownCast(CRuntimeClass* pClass, CObject* pObject);
#define DYNAMIC_DOWNCAST(class_name, object)                                                       \
    (static_cast<class_name*>(AfxDynamicDownCast(RUNTIME_CLASS(class_name), object)))
#define STATIC_DOWNCAST(class_name, object) (static_cast<class_name*>(object))
