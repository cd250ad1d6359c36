#pragma once
// An ordered set of shared intervals: adding an interval or another set's intervals shares the
// interval objects, so a change through one set is seen through every set holding them.

#include "geomkit/COXSPtr.h"
#include "geomkit/WInterval.h"
#include "geomkit/WKeyedList.h"

class GEOMKIT_API WIntervalSet : public WObject {
public:
    WIntervalSet();
    WIntervalSet(const WIntervalSet& s);
    WIntervalSet& operator=(const WIntervalSet& s);
    ~WIntervalSet() override;

    // Appends a new interval; 1.
    int Fill(double a, double b, int outside);
    // Appends the shared interval; 1.
    int Fill(const COXSPtr<WInterval>& i);
    // Appends all intervals of s in order; 1.
    int Add(const COXSPtr<WIntervalSet>& s);
    void Initialize(const WIntervalSet& s) { *this = s; }
    void Initialize(const COXSPtr<WIntervalSet>& s) { *this = *s; }

    void Intersect(const COXSPtr<WInterval>& i, COXSPtr<WIntervalSet>& result) const;
    void Intersect(const COXSPtr<WIntervalSet>& other, COXSPtr<WIntervalSet>& result) const;
    // Replaces this set by its intersection with other.
    void Intersect(const COXSPtr<WIntervalSet>& other);
    // Turns every entry into a non-empty inside interval within [0, 1]; neither sorts nor merges.
    void Norm();
    void Erase(int index);
    void Invert();
    void Reset();

    int GetCount() const { return m_list->GetSize(); }
    // The interval at index, or an empty pointer.
    COXSPtr<WInterval> GetAt(int index) const { return m_list->GetByIndex(index); }

private:
    COXSPtr<WKeyedList<COXSPtr<WInterval>>> m_list;
};
