#pragma once
// The sphere mapping: a bulge inside a circle; the centre and the rim stay where they are.

#include "pathkit/NonLinearTrans.h"

class CSphereTrans : public NonLinearTrans {
public:
    CSphereTrans(float accuracy, int stepFactor, int fitA, int fitB);

    // Centre (cx, cy), radius R (mm) and angle A (radians).
    int SetParams(float cx, float cy, double R, double A);

    // A point at distance r <= R from the centre moves to distance R sin(A r / R) / sin(A).
    // Without a usable sphere (sin A = 0, R <= 0) every point stays put.
    void TransformPoint(floatPoint& p) override;

    float m_cx = 0, m_cy = 0;
    double m_radius = 0;
    double m_angle = 0;
};
