#include "mfc/CRuntimeClass.h"

#include <cstring>
#include <mutex>

#include "mfc/CArchive.h"
#include "mfc/CObject.h"

namespace {

// Registered classes form a list through m_pNextClass, newest first, so that a class of a
// module loaded later hides an older one of the same name.
struct ClassRegistry {
    std::mutex mutex;
    CRuntimeClass* first = nullptr;
};

ClassRegistry& registry() {
    static ClassRegistry* instance = new ClassRegistry; // outlives every module's static objects
    return *instance;
}

// Class names longer than this are not read from archives.
constexpr WORD kMaxClassNameLength = 63;

} // namespace

CObject* CRuntimeClass::CreateObject() const {
    return m_pfnCreateObject != nullptr ? m_pfnCreateObject() : nullptr;
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const {
    if (pBaseClass == nullptr) return FALSE;
    for (const CRuntimeClass* c = this; c != nullptr; c = c->m_pBaseClass) {
        if (c == pBaseClass) return TRUE;
    }
    return FALSE;
}

CRuntimeClass* CRuntimeClass::FromName(LPCSTR lpszClassName) {
    if (lpszClassName == nullptr) return nullptr;
    ClassRegistry& r = registry();
    std::lock_guard lock(r.mutex);
    for (CRuntimeClass* c = r.first; c != nullptr; c = c->m_pNextClass) {
        if (std::strcmp(c->m_lpszClassName, lpszClassName) == 0) return c;
    }
    return nullptr;
}

void CRuntimeClass::Store(CArchive& ar) const {
    const WORD nameLength = WORD(std::strlen(m_lpszClassName));
    ar << WORD(m_wSchema) << nameLength;
    ar.Write(m_lpszClassName, nameLength);
}

CRuntimeClass* CRuntimeClass::Load(CArchive& ar, UINT* pwSchemaNum) {
    WORD schema = 0;
    WORD nameLength = 0;
    ar >> schema >> nameLength;
    *pwSchemaNum = schema;
    if (nameLength > kMaxClassNameLength) return nullptr;
    char name[kMaxClassNameLength + 1];
    ar.RequireBytes(nameLength);
    if (ar.Read(name, nameLength) != nameLength) return nullptr;
    name[nameLength] = '\0';
    // A name with a NUL inside is not the name of any class.
    if (std::strlen(name) != nameLength) return nullptr;
    return FromName(name);
}

void AfxClassInit(CRuntimeClass* pNewClass) {
    ClassRegistry& r = registry();
    std::lock_guard lock(r.mutex);
    // Registering a class twice would make the list a cycle.
    for (CRuntimeClass* c = r.first; c != nullptr; c = c->m_pNextClass) {
        if (c == pNewClass) return;
    }
    pNewClass->m_pNextClass = r.first;
    r.first = pNewClass;
}

void AfxClassTerm(CRuntimeClass* pClass) {
    ClassRegistry& r = registry();
    std::lock_guard lock(r.mutex);
    for (CRuntimeClass** link = &r.first; *link != nullptr; link = &(*link)->m_pNextClass) {
        if (*link == pClass) {
            *link = pClass->m_pNextClass;
            pClass->m_pNextClass = nullptr;
            return;
        }
    }
}

AFX_CLASSINIT::AFX_CLASSINIT(CRuntimeClass* pNewClass) : m_pClass(pNewClass) {
    AfxClassInit(pNewClass);
}

AFX_CLASSINIT::~AFX_CLASSINIT() {
    AfxClassTerm(m_pClass);
}
