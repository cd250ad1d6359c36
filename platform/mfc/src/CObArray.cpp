#include "mfc/CObArray.h"

#include "ArrayOps.h"
#include "mfc/CArchive.h"

IMPLEMENT_SERIAL(CObArray, CObject, 0)

CObArray::~CObArray() = default;

void CObArray::SetSize(int nNewSize, int) {
    arrayops::setSize(m_data, nNewSize);
}

CObject* CObArray::GetAt(int nIndex) const {
    arrayops::checkIndex(m_data, nIndex);
    return m_data[std::size_t(nIndex)];
}

void CObArray::SetAt(int nIndex, CObject* newElement) {
    arrayops::checkIndex(m_data, nIndex);
    m_data[std::size_t(nIndex)] = newElement;
}

CObject*& CObArray::ElementAt(int nIndex) {
    arrayops::checkIndex(m_data, nIndex);
    return m_data[std::size_t(nIndex)];
}

void CObArray::SetAtGrow(int nIndex, CObject* newElement) {
    arrayops::setAtGrow(m_data, nIndex, newElement);
}

int CObArray::Add(CObject* newElement) {
    return arrayops::add(m_data, newElement);
}

int CObArray::Append(const CObArray& src) {
    return arrayops::append(m_data, src.m_data);
}

void CObArray::Copy(const CObArray& src) {
    m_data = src.m_data;
}

void CObArray::InsertAt(int nIndex, CObject* newElement, int nCount) {
    arrayops::insertAt(m_data, nIndex, newElement, nCount);
}

void CObArray::InsertAt(int nStartIndex, const CObArray* pNewArray) {
    if (pNewArray == nullptr) AfxThrowInvalidArgException();
    arrayops::insertAt(m_data, nStartIndex, pNewArray->m_data);
}

void CObArray::RemoveAt(int nIndex, int nCount) {
    arrayops::removeAt(m_data, nIndex, nCount);
}

void CObArray::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteCount(DWORD(m_data.size()));
        for (CObject* p : m_data)
            ar << p;
    } else {
        // Every record takes at least two bytes: a count beyond the stream fails before the
        // array is sized for it.
        const DWORD count = ar.ReadCount();
        ar.RequireBytes(std::uint64_t(count) * 2);
        m_data.assign(count, nullptr);
        for (CObject*& p : m_data)
            ar >> p;
    }
}
