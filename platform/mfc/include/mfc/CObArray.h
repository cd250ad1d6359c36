#pragma once
// Growable array of object pointers. The array does not own the objects. An index outside
// the array throws CInvalidArgException.

#include <vector>

#include "mfc/CObject.h"

class MFC_API CObArray : public CObject {
    DECLARE_SERIAL(CObArray)
public:
    CObArray() = default;
    ~CObArray() override;

    int GetSize() const { return int(m_data.size()); }
    int GetCount() const { return int(m_data.size()); }
    int GetUpperBound() const { return int(m_data.size()) - 1; }
    BOOL IsEmpty() const { return m_data.empty(); }
    // New elements are null. nGrowBy is kept for compatibility; growth is amortised anyway.
    void SetSize(int nNewSize, int nGrowBy = -1);
    void FreeExtra() { m_data.shrink_to_fit(); }
    void RemoveAll() { m_data.clear(); }

    CObject* GetAt(int nIndex) const;
    void SetAt(int nIndex, CObject* newElement);
    CObject*& ElementAt(int nIndex);
    CObject* operator[](int nIndex) const { return GetAt(nIndex); }
    CObject*& operator[](int nIndex) { return ElementAt(nIndex); }
    const CObject** GetData() const { return const_cast<const CObject**>(m_data.data()); }
    CObject** GetData() { return m_data.data(); }

    // Grows the array when nIndex is at or past the end.
    void SetAtGrow(int nIndex, CObject* newElement);
    int Add(CObject* newElement);
    // Returns the index of the first element appended.
    int Append(const CObArray& src);
    void Copy(const CObArray& src);
    // At or past the end the array grows first (new elements null).
    void InsertAt(int nIndex, CObject* newElement, int nCount = 1);
    void InsertAt(int nStartIndex, const CObArray* pNewArray);
    void RemoveAt(int nIndex, int nCount = 1);

    // The count, then every element as an object record.
    void Serialize(CArchive& ar) override;

private:
    std::vector<CObject*> m_data;
};
