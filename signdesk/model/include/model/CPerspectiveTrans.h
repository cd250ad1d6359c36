#pragma once
// The perspective mapping: a projective map of a box onto any quadrilateral. Sub-paths are
// mapped point by point without slicing, since lines stay lines.

#include "pathkit/NonLinearTrans.h"

class CPerspectiveTrans : public NonLinearTrans {
public:
    CPerspectiveTrans(float accuracy, int stepFactor, int fitA, int fitB);

    // The box (x0, y0)-(x1, y1); q0 receives its corner (x0, y0), q1 (x1, y0), q2 (x0, y1) and
    // q3 (x1, y1). 0, with nothing set, for a box narrower or lower than 0.0001 mm.
    int SetCorners(float x0, float x1, float y0, float y1, float q0x, float q0y, float q1x,
                   float q1y, float q2x, float q2y, float q3x, float q3y);

    // A point on (or within 0.0001 of) the vanishing line has no image and stays put.
    void TransformPoint(floatPoint& p) override;
    // Maps every member's points in place; consecutive members stay joined.
    void Transform(SubPath& sp) override;
    using NonLinearTrans::Transform;

    float m_x0 = 0, m_y0 = 0, m_x1 = 0, m_y1 = 0;
    double m_width = 0, m_height = 0;
    double m_dv = 0, m_du = 0, m_d1 = 1;
    double m_xv = 0, m_xu = 1, m_x1c = 0;
    double m_yv = 1, m_yu = 0, m_y1c = 0;
};
