#include "geomkit/WIntervalSet.h"

WIntervalSet::WIntervalSet() : m_list(new WKeyedList<COXSPtr<WInterval>>) {}

WIntervalSet::WIntervalSet(const WIntervalSet& s)
    : WObject(), m_list(new WKeyedList<COXSPtr<WInterval>>) {
    *this = s;
}

WIntervalSet& WIntervalSet::operator=(const WIntervalSet& s) {
    if (&s == this) return *this;
    Reset();
    for (int i = 0; i < s.GetCount(); ++i)
        m_list->Append(s.GetAt(i));
    return *this;
}

WIntervalSet::~WIntervalSet() {
    Reset();
}

int WIntervalSet::Fill(double a, double b, int outside) {
    COXSPtr<WInterval> i(new WInterval);
    i->Initialize(a, b, outside);
    m_list->Append(i);
    return 1;
}

int WIntervalSet::Fill(const COXSPtr<WInterval>& i) {
    m_list->Append(i);
    return 1;
}

int WIntervalSet::Add(const COXSPtr<WIntervalSet>& s) {
    const WIntervalSet& other = *s;
    int n = other.GetCount(); // fixed first: s may be this set
    for (int i = 0; i < n; ++i)
        m_list->Append(other.GetAt(i));
    return 1;
}

void WIntervalSet::Intersect(const COXSPtr<WInterval>& i, COXSPtr<WIntervalSet>& result) const {
    for (int k = 0; k < GetCount(); ++k)
        GetAt(k)->Intersect(i, result);
}

void WIntervalSet::Intersect(const COXSPtr<WIntervalSet>& other,
                             COXSPtr<WIntervalSet>& result) const {
    const WIntervalSet& b = *other;
    for (int i = 0; i < GetCount(); ++i)
        for (int j = 0; j < b.GetCount(); ++j)
            GetAt(i)->Intersect(b.GetAt(j), result);
}

void WIntervalSet::Intersect(const COXSPtr<WIntervalSet>& other) {
    COXSPtr<WIntervalSet> result(new WIntervalSet);
    Intersect(other, result);
    *this = *result;
}

void WIntervalSet::Norm() {
    int i = 0;
    while (i < GetCount()) {
        WInterval& e = *GetAt(i);
        double lo = e.Lower(), hi = e.Upper();
        if (e.IsEmpty() || lo != lo || hi != hi) { // NaN bounds count as empty
            m_list->RemoveAt(i);
            continue;
        }
        if (lo > 1 || hi < 0) {
            if (e.IsInside()) {
                m_list->RemoveAt(i);
                continue;
            }
            e.Initialize(0, 1, 0);
        } else if (e.IsInside()) {
            e.Initialize(lo > 0 ? lo : 0, hi < 1 ? hi : 1, 0);
        } else if (lo < 0) {
            if (hi > 1) {
                m_list->RemoveAt(i);
                continue;
            }
            e.Initialize(hi, 1, 0);
        } else if (hi <= 1) {
            Fill(0, lo, 0);
            e.Initialize(hi, 1, 0);
        } else {
            e.Initialize(0, lo, 0);
        }
        ++i;
    }
}

void WIntervalSet::Erase(int index) {
    m_list->RemoveAt(index); // ignores an index out of range
}

void WIntervalSet::Invert() {
    for (int i = 0; i < GetCount(); ++i)
        GetAt(i)->Invert();
}

void WIntervalSet::Reset() {
    m_list->Clear();
}
