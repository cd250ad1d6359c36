#pragma once
// Whether a point lies inside a closed sub-path, by counting the crossings of axis-parallel
// rays. Nodes on a ray are nudged off it; when the +x and +y counts disagree the −x and −y rays
// decide, and failing that the point itself retreats a little (for good) and the test starts
// again.

#include "geomkit/WPont.h"
#include "geomkit/WQuestionSubPath.h"

class GEOMKIT_API WQInsideSubPath : public WQuestionSubPath {
public:
    WQInsideSubPath();
    ~WQInsideSubPath() override;

    void Initialize(const WPont<float>& p);
    using WQuestionSubPath::Answer;
    // 1 when the point is inside; an open sub-path contains nothing.
    int Answer(WSubPath<WNode, WSegment>* subPath) override;

    WPont<float> GetPoint() const { return WPont<float>(m_x, m_y); }

protected:
    int IsPointInside(WSubPath<WNode, WSegment>* subPath);

private:
    // Crossings counted along the rays of one pass: +x and +y, or −x and −y.
    void CountCrossings(WSubPath<WNode, WSegment>& subPath, bool forward, int& alongX,
                        int& alongY) const;

    float m_x;
    float m_y;
    float m_closeness; // 0.00001
    int m_shiftFactor; // 10
    float m_retreatX;  // 0.0001
    float m_retreatY;  // 0.0001
    int m_recursion;
};
