#include "mfc/CStringArray.h"

#include "ArrayOps.h"
#include "mfc/CArchive.h"

IMPLEMENT_SERIAL(CStringArray, CObject, 0)

CStringArray::~CStringArray() = default;

void CStringArray::SetSize(int nNewSize, int) {
    arrayops::setSize(m_data, nNewSize);
}

const CString& CStringArray::GetAt(int nIndex) const {
    arrayops::checkIndex(m_data, nIndex);
    return m_data[std::size_t(nIndex)];
}

void CStringArray::SetAt(int nIndex, LPCSTR newElement) {
    SetAt(nIndex, CString(newElement));
}

void CStringArray::SetAt(int nIndex, const CString& newElement) {
    arrayops::checkIndex(m_data, nIndex);
    m_data[std::size_t(nIndex)] = newElement;
}

CString& CStringArray::ElementAt(int nIndex) {
    arrayops::checkIndex(m_data, nIndex);
    return m_data[std::size_t(nIndex)];
}

void CStringArray::SetAtGrow(int nIndex, const CString& newElement) {
    const CString copy(newElement); // may be an element of this array
    arrayops::setAtGrow(m_data, nIndex, copy);
}

int CStringArray::Add(const CString& newElement) {
    const CString copy(newElement);
    return arrayops::add(m_data, copy);
}

int CStringArray::Append(const CStringArray& src) {
    return arrayops::append(m_data, src.m_data);
}

void CStringArray::Copy(const CStringArray& src) {
    m_data = src.m_data;
}

void CStringArray::InsertAt(int nIndex, const CString& newElement, int nCount) {
    arrayops::insertAt(m_data, nIndex, newElement, nCount);
}

void CStringArray::InsertAt(int nStartIndex, const CStringArray* pNewArray) {
    if (pNewArray == nullptr) AfxThrowInvalidArgException();
    arrayops::insertAt(m_data, nStartIndex, pNewArray->m_data);
}

void CStringArray::RemoveAt(int nIndex, int nCount) {
    arrayops::removeAt(m_data, nIndex, nCount);
}

void CStringArray::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteCount(DWORD(m_data.size()));
        for (const CString& s : m_data)
            ar << s;
    } else {
        // Every string takes at least its one-byte length.
        const DWORD count = ar.ReadCount();
        ar.RequireBytes(count);
        m_data.assign(count, CString());
        for (CString& s : m_data)
            ar >> s;
    }
}
