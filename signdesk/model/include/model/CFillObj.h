#pragma once
// Base of the fills. The base answers every fill operation neutrally; the fill kinds
// override them.

#include "pathkit/BBox.h"
#include "pathkit/Point.h"
#include "pathkit/TMatrix.h"
#include "shared/CSharedObj.h"

class CDC;

// The answer of the colour queries where a fill has no colour.
inline constexpr COLORREF NO_FILL_COLOR = 0xFFFFFFFFu;

class CFillObj : public CSharedObj {
    DECLARE_SERIAL(CFillObj)
public:
    CFillObj();
    ~CFillObj() override;
    void Serialize(CArchive& ar) override;

    virtual CFillObj* Clone();
    virtual BOOL IsEqual(const CFillObj* pOther);
    virtual void Transform(const floatTMatrix& m);
    virtual void PaintFill(CDC* pDC, const floatTMatrix& m, int mode, const floatBBox& box);
    virtual int GetHandleCount();
    virtual BOOL GetHandlePoint(int nHandle, floatPoint& p);
    virtual void SetFrame(const floatBBox& box, BOOL bSquare);
    virtual void DrawHandles(CDC* pDC, const floatTMatrix& m, int nSelected);
    virtual void MoveHandle(int nHandle, floatPoint& p, double angleStep, UINT nKeyFlags);
    virtual BOOL HitTest(const floatPoint& p, float tolerance);
    virtual void DropColor(const floatPoint& p, float tolerance, COLORREF color);
    virtual COLORREF GetColorAt(const floatPoint& p, float tolerance);
    virtual COLORREF GetStopColor(int nStop);
};

// A fill slot of an archive (a shared reference, shared/SharedObjRef.h): a fill or null,
// anything else raises the class error.
CFillObj* ReadFillObjRef(CArchive& ar);
