#pragma once
// Growable array of strings. An index outside the array throws CInvalidArgException.

#include <vector>

#include "mfc/CObject.h"
#include "mfc/CString.h"

class MFC_API CStringArray : public CObject {
    DECLARE_SERIAL(CStringArray)
public:
    CStringArray() = default;
    ~CStringArray() override;

    int GetSize() const { return int(m_data.size()); }
    int GetCount() const { return int(m_data.size()); }
    int GetUpperBound() const { return int(m_data.size()) - 1; }
    BOOL IsEmpty() const { return m_data.empty(); }
    // New elements are empty. nGrowBy is kept for compatibility; growth is amortised anyway.
    void SetSize(int nNewSize, int nGrowBy = -1);
    void FreeExtra() { m_data.shrink_to_fit(); }
    void RemoveAll() { m_data.clear(); }

    const CString& GetAt(int nIndex) const;
    void SetAt(int nIndex, LPCSTR newElement);
    void SetAt(int nIndex, const CString& newElement);
    CString& ElementAt(int nIndex);
    const CString& operator[](int nIndex) const { return GetAt(nIndex); }
    CString& operator[](int nIndex) { return ElementAt(nIndex); }
    const CString* GetData() const { return m_data.data(); }
    CString* GetData() { return m_data.data(); }

    // Grows the array when nIndex is at or past the end.
    void SetAtGrow(int nIndex, const CString& newElement);
    int Add(LPCSTR newElement) { return Add(CString(newElement)); }
    int Add(const CString& newElement);
    // Returns the index of the first element appended.
    int Append(const CStringArray& src);
    void Copy(const CStringArray& src);
    // At or past the end the array grows first (new elements empty).
    void InsertAt(int nIndex, const CString& newElement, int nCount = 1);
    void InsertAt(int nStartIndex, const CStringArray* pNewArray);
    void RemoveAt(int nIndex, int nCount = 1);

    // The count, then every string.
    void Serialize(CArchive& ar) override;

private:
    std::vector<CString> m_data;
};
