#include "shared/SharedObjRef.h"

#include <algorithm>
#include <vector>

#include "SharedObjTable.h"
#include "mfc/CArchiveException.h"
#include "shared/CSharedObj.h"

namespace {

constexpr DWORD NewObjectRef = 0xFFFFFFFFu;

// Objects that entered the table by being read: deleted at the end of the scope unless a
// holder acquired them.
std::vector<CSharedObj*>& ReadEntries() {
    static std::vector<CSharedObj*> entries;
    return entries;
}

// The first index of a shared object in the table; -1 for none and for null.
int IndexInTable(CSharedObj* pObj, CObArray& table) {
    if (pObj == nullptr) return -1;
    for (int i = 0; i < table.GetSize(); ++i) {
        if (table.GetAt(i) == pObj) return i;
    }
    return -1;
}

void EmptyTable() {
    // The table is emptied first: the destructors below look themselves up in it.
    GetSharedObjTable().RemoveAll();
    // Deleting an object can release shared objects it holds (a texture fill its picture);
    // their destructors take them out of the entries, so the walk starts again after every
    // deletion.
    std::vector<CSharedObj*>& entries = ReadEntries();
    for (bool deleted = true; deleted;) {
        deleted = false;
        for (CSharedObj* p : entries) {
            if (p->m_nRefCount < 1) {
                delete p;
                deleted = true;
                break;
            }
        }
    }
    entries.clear();
}

} // namespace

void ForgetSharedObj(CSharedObj* pObj) {
    // A table entry must never outlive its object: an index read later finds nothing.
    CObArray& table = GetSharedObjTable();
    for (int i = 0; i < table.GetSize(); ++i) {
        if (table.GetAt(i) == pObj) table.SetAt(i, nullptr);
    }
    std::vector<CSharedObj*>& read = ReadEntries();
    read.erase(std::remove(read.begin(), read.end(), pObj), read.end());
}

CObArray& GetSharedObjTable() {
    static CObArray table;
    return table;
}

void WriteSharedObjRef(CArchive& ar, CSharedObj* pObj) {
    CObArray& table = GetSharedObjTable();
    const int index = IndexInTable(pObj, table);
    if (index >= 0) {
        ar << DWORD(index);
        return;
    }
    ar << NewObjectRef;
    ar.WriteObject(pObj);
    table.Add(pObj);
}

CSharedObj* ReadSharedObjRef(CArchive& ar) {
    CObArray& table = GetSharedObjTable();
    DWORD ref;
    ar >> ref;
    if (ref != NewObjectRef) {
        if (ref >= DWORD(table.GetSize())) {
            AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName);
        }
        return static_cast<CSharedObj*>(table.GetAt(int(ref)));
    }
    auto* pObj = static_cast<CSharedObj*>(ar.ReadObject(RUNTIME_CLASS(CSharedObj)));
    table.Add(pObj);
    if (pObj != nullptr) {
        ReadEntries().push_back(pObj);
    }
    return pObj;
}

CSharedObjTableScope::CSharedObjTableScope() {
    EmptyTable();
}

CSharedObjTableScope::~CSharedObjTableScope() {
    EmptyTable();
}
