#include "shared/CSharedObj.h"

#include "SharedObjTable.h"
#include "mfc/CArchive.h"

// The class writes schema 0 and reads any.
IMPLEMENT_SERIAL(CSharedObj, CObject, VERSIONABLE_SCHEMA | 0)

CSharedObj::CSharedObj() = default;

CSharedObj::~CSharedObj() {
    ForgetSharedObj(this);
}

void CSharedObj::Serialize(CArchive&) {}

DWORD CSharedObj::GetMemSize() {
    return m_nRefCount == 1 ? 4 : 0;
}

void AcquireShared(CSharedObj* pObj) {
    if (pObj != nullptr) ++pObj->m_nRefCount;
}

void ReleaseShared(CSharedObj* pObj) {
    if (pObj == nullptr) return;
    if (--pObj->m_nRefCount < 1) delete pObj;
}
