#include "model/CFillObj.h"

#include "mfc/CArchiveException.h"
#include "shared/SharedObjRef.h"

IMPLEMENT_SERIAL(CFillObj, CSharedObj, VERSIONABLE_SCHEMA | 0)

CFillObj::CFillObj() = default;
CFillObj::~CFillObj() = default;

void CFillObj::Serialize(CArchive&) {}

CFillObj* ReadFillObjRef(CArchive& ar) {
    CSharedObj* pObj = ReadSharedObjRef(ar);
    if (pObj != nullptr && !pObj->IsKindOf(RUNTIME_CLASS(CFillObj))) {
        AfxThrowArchiveException(CArchiveException::badClass, ar.m_strFileName);
    }
    return static_cast<CFillObj*>(pObj);
}

CFillObj* CFillObj::Clone() {
    return nullptr;
}

BOOL CFillObj::IsEqual(const CFillObj*) {
    return 0;
}

void CFillObj::Transform(const floatTMatrix&) {}

void CFillObj::PaintFill(CDC*, const floatTMatrix&, int, const floatBBox&) {}

int CFillObj::GetHandleCount() {
    return 0;
}

BOOL CFillObj::GetHandlePoint(int, floatPoint&) {
    return 0;
}

void CFillObj::SetFrame(const floatBBox&, BOOL) {}

void CFillObj::DrawHandles(CDC*, const floatTMatrix&, int) {}

void CFillObj::MoveHandle(int, floatPoint&, double, UINT) {}

BOOL CFillObj::HitTest(const floatPoint&, float) {
    return 0;
}

void CFillObj::DropColor(const floatPoint&, float, COLORREF) {}

COLORREF CFillObj::GetColorAt(const floatPoint&, float) {
    return 0xFFFFFFFFu;
}

COLORREF CFillObj::GetStopColor(int) {
    return 0xFFFFFFFFu;
}
