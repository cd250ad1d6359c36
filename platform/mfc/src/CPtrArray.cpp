#include "mfc/CPtrArray.h"

#include "ArrayOps.h"

IMPLEMENT_DYNAMIC(CPtrArray, CObject)

CPtrArray::~CPtrArray() = default;

void CPtrArray::SetSize(int nNewSize, int) {
    arrayops::setSize(m_data, nNewSize);
}

void* CPtrArray::GetAt(int nIndex) const {
    arrayops::checkIndex(m_data, nIndex);
    return m_data[std::size_t(nIndex)];
}

void CPtrArray::SetAt(int nIndex, void* newElement) {
    arrayops::checkIndex(m_data, nIndex);
    m_data[std::size_t(nIndex)] = newElement;
}

void*& CPtrArray::ElementAt(int nIndex) {
    arrayops::checkIndex(m_data, nIndex);
    return m_data[std::size_t(nIndex)];
}

void CPtrArray::SetAtGrow(int nIndex, void* newElement) {
    arrayops::setAtGrow(m_data, nIndex, newElement);
}

int CPtrArray::Add(void* newElement) {
    return arrayops::add(m_data, newElement);
}

int CPtrArray::Append(const CPtrArray& src) {
    return arrayops::append(m_data, src.m_data);
}

void CPtrArray::Copy(const CPtrArray& src) {
    m_data = src.m_data;
}

void CPtrArray::InsertAt(int nIndex, void* newElement, int nCount) {
    arrayops::insertAt(m_data, nIndex, newElement, nCount);
}

void CPtrArray::InsertAt(int nStartIndex, const CPtrArray* pNewArray) {
    if (pNewArray == nullptr) AfxThrowInvalidArgException();
    arrayops::insertAt(m_data, nStartIndex, pNewArray->m_data);
}

void CPtrArray::RemoveAt(int nIndex, int nCount) {
    arrayops::removeAt(m_data, nIndex, nCount);
}
