#pragma once
// A range of a segment's curve parameter. An inside interval stands for lower ≤ t ≤ upper,
// an outside one for t < lower or t > upper; an empty one for nothing.

#include "geomkit/COXSPtr.h"
#include "geomkit/WObject.h"
#include "win32/base.h"

class WIntervalSet;

class GEOMKIT_API WInterval : public WObject {
public:
    enum : BYTE { eEmpty = 1, eInside = 2 };

    // Not empty, outside.
    WInterval() : m_lower(0), m_upper(0), m_flags(0) {}
    WInterval(double a, double b) : m_lower(a < b ? a : b), m_upper(a < b ? b : a), m_flags(0) {}
    WInterval(const WInterval& i)
        : WObject(), m_lower(i.m_lower), m_upper(i.m_upper), m_flags(i.m_flags) {}
    WInterval& operator=(const WInterval& i);
    ~WInterval() override;

    void Initialize(const WInterval& i) { *this = i; }
    void Initialize(const COXSPtr<WInterval>& i) { *this = *i; }
    // Orders the bounds, clears empty; inside when outside is 0.
    void Initialize(double a, double b, int outside);

    // Appends the pieces of this ∩ other to result.
    void Intersect(const COXSPtr<WInterval>& other, COXSPtr<WIntervalSet>& result) const;
    // Clamps to [0, 1]; 1 (and empty) when nothing is left, else 0.
    int Norm();
    void Invert() { m_flags ^= eInside; }

    int IsEmpty() const { return (m_flags & eEmpty) != 0; }
    int IsInside() const { return (m_flags & eInside) != 0; }
    double Dist() const { return m_upper - m_lower; }
    double Middle() const { return (m_upper + m_lower) * 0.5; }
    double Lower() const { return m_lower; }
    double Upper() const { return m_upper; }
    BYTE GetFlags() const { return m_flags; }

private:
    double m_lower;
    double m_upper;
    BYTE m_flags;
};
