#pragma once
// Where a segment crosses a line: the infinite line through A and B, or the bounded line from
// A to B.

#include "geomkit/WPont.h"
#include "geomkit/WQuestionSegment.h"

class GEOMKIT_API WQSegmentCrossing : public WQuestionSegment {
public:
    enum eCrossesType { eBounded = 0, eInfinite = 1 };

    WQSegmentCrossing() = default;
    ~WQSegmentCrossing() override;

    // type 1: the infinite line; any other value: the line from a to b.
    void Initialize(const WPont<float>& a, const WPont<float>& b, int type);
    // Number of crossings (0 to 3); their parameters are then readable in ascending order.
    int Answer(const WSegment* segment) override;

    int GetCount() const { return m_count; }
    double GetParam(int i) const { return m_params[i]; }

    // Intersection of the infinite lines p1p2 and p3p4; 0 when they are parallel.
    static int IntersectionPoint(const WPont<float>& p1, const WPont<float>& p2,
                                 const WPont<float>& p3, const WPont<float>& p4, WPont<float>& out);

private:
    // The point lies between A and B along AB's dominant axis.
    bool WithinBounds(const WPont<float>& p) const;

    WPont<float> m_a;
    WPont<float> m_b;
    int m_count = 0;
    double m_params[3] = {0, 0, 0};
    int m_type = eInfinite;
};
