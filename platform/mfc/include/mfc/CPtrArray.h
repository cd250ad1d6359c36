#pragma once
// Growable array of untyped pointers. The array does not own what they point to. An index outside
// the array throws CInvalidArgException.

#include <vector>

#include "mfc/CObject.h"

class MFC_API CPtrArray : public CObject {
    DECLARE_DYNAMIC(CPtrArray)
public:
    CPtrArray() = default;
    ~CPtrArray() override;

    int GetSize() const { return int(m_data.size()); }
    int GetCount() const { return int(m_data.size()); }
    int GetUpperBound() const { return int(m_data.size()) - 1; }
    BOOL IsEmpty() const { return m_data.empty(); }
    // New elements are null. nGrowBy is kept for compatibility; growth is amortised anyway.
    void SetSize(int nNewSize, int nGrowBy = -1);
    void FreeExtra() { m_data.shrink_to_fit(); }
    void RemoveAll() { m_data.clear(); }

    void* GetAt(int nIndex) const;
    void SetAt(int nIndex, void* newElement);
    void*& ElementAt(int nIndex);
    void* operator[](int nIndex) const { return GetAt(nIndex); }
    void*& operator[](int nIndex) { return ElementAt(nIndex); }
    const void** GetData() const { return const_cast<const void**>(m_data.data()); }
    void** GetData() { return m_data.data(); }

    // Grows the array when nIndex is at or past the end.
    void SetAtGrow(int nIndex, void* newElement);
    int Add(void* newElement);
    // Returns the index of the first element appended.
    int Append(const CPtrArray& src);
    void Copy(const CPtrArray& src);
    // At or past the end the array grows first (new elements null).
    void InsertAt(int nIndex, void* newElement, int nCount = 1);
    void InsertAt(int nStartIndex, const CPtrArray* pNewArray);
    void RemoveAt(int nIndex, int nCount = 1);

private:
    std::vector<void*> m_data;
};
