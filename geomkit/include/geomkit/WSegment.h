#pragma once
// One piece of a sub-path between two nodes: a straight line P0–P3 or the cubic Bezier curve
// P0, C1 = P0 + V1, C2 = P3 + V2, P3. Evaluation is done in double and stored in float.

#include "geomkit/COXSPtr.h"
#include "geomkit/WBezierRef.h"
#include "geomkit/WBoundingBox.h"
#include "geomkit/WObject.h"
#include "geomkit/WPont.h"
#include "win32/base.h"

class WAbsPrimDrawingDevice;
class WInterval;
class WNode;
class WQuestionSegment;
class WTransMatrix;

class GEOMKIT_API WSegment : public WObject {
public:
    enum : BYTE { eCurve = 1, eVisible = 2 };

    WSegment() : m_flags(0) {}
    // The segment from node a to node b.
    WSegment(const WNode& a, const WNode& b) : m_flags(0) { Initialize(a, b); }
    WSegment(const WSegment& s);
    WSegment& operator=(const WSegment& s);
    ~WSegment() override;

    // Line; the visible bit is left as it is.
    void Initialize(const WPont<float>& p0, const WPont<float>& p3);
    // Curve when any vector component is non-zero, else line; visible.
    void Initialize(const WPont<float>& p0, const WVektor<float>& v1, const WVektor<float>& v2,
                    const WPont<float>& p3);
    void Initialize(const WPont<float>& p0, const WPont<float>& c1, const WPont<float>& c2,
                    const WPont<float>& p3);
    void Initialize(const WSegment& s) { *this = s; }
    void Initialize(const COXSPtr<WSegment>& s) { *this = *s; }
    // From a's anchor and second vector to b's first vector and anchor; a line when neither
    // vector is present.
    void Initialize(const WNode& a, const WNode& b);

    void Serialize(KArchive& ar) override;

    virtual COXSPtr<WSegment> Copy() const;
    // Drags the point at the reference's parameter by m's displacement of it; the end points
    // stay, except that a parameter of 0 or 1 moves that end point.
    virtual void AcceptLinearTrans(const WTransMatrix& m, const COXSPtr<WSegmentRef>& ref);
    virtual void AcceptLinearTrans(const WTransMatrix& m);
    virtual void AddVector(const WVektor<float>& d, const COXSPtr<WSegmentRef>& ref);
    // A reference at the clicked parameter, or an empty pointer.
    virtual COXSPtr<WBezierRef> IsPointNear(const WPont<float>& p, float tol) const;
    virtual int HitTest(const WPont<float>& p, float tol) const;
    virtual WPont<float> GetPointAt(const COXSPtr<WSegmentRef>& ref) const;
    // The gradient turned by +90°, not normalised.
    virtual WVektor<float> GetNormalVectorAt(const COXSPtr<WSegmentRef>& ref) const;
    virtual int Question(WQuestionSegment& q) const;

    void MakeVisible() { m_flags |= eVisible; }
    void MakeInvisible() { m_flags &= BYTE(~eVisible); }
    int IsCurve() const { return (m_flags & eCurve) != 0; }
    int IsVisible() const { return (m_flags & eVisible) != 0; }
    BYTE GetFlags() const { return m_flags; }

    WPont<float> CoordAtParam(double t) const;
    // Not normalised; never (0, 0).
    WVektor<float> GradientAtParam(double t) const;

    // Writes the two parts at t into first and second.
    void Division(float t, COXSPtr<WSegment>& first, COXSPtr<WSegment>& second) const;
    // The part [t0, t1] as a new segment.
    COXSPtr<WSegment> Cutoff(double t0, double t1) const;
    COXSPtr<WSegment> Cutoff(const WInterval& i) const;
    // Approximates the minor circular arc about centre from start to end.
    void MakeArcShape(const WPont<float>& centre, const WPont<float>& start,
                      const WPont<float>& end);
    void MakeQuarterEllipseShape(const WPont<float>& p0, const WPont<float>& p3, double rx,
                                 double ry, double angle);

    // Exact extremes of the curve and, when asked, their parameters.
    void ExactMinXMaxX(double& min, double& max, double* tmin = nullptr,
                       double* tmax = nullptr) const;
    void ExactMinYMaxY(double& min, double& max, double* tmin = nullptr,
                       double* tmax = nullptr) const;
    // Bounds of the control polygon.
    double MinX() const;
    double MaxX() const;
    double MinY() const;
    double MaxY() const;
    WBoundingBox GetControlBBox() const;
    // Convex hull of the control polygon; the number of points (2, 3 or 4).
    int ConvexShell(WPont<float> out[4]) const;

    double GetLength() const;
    // 1 and the parameter at arc length s; 0 (t = 0) when s lies beyond the segment.
    int GetTParamAtArcLength(double s, double& t) const;
    // Flattens the segment into the device; box is not used.
    void Draw(WAbsPrimDrawingDevice* device, const WBoundingBox& box) const;

    const WPont<float>& GetP0() const { return m_p0; }
    const WVektor<float>& GetV1() const { return m_v1; }
    const WVektor<float>& GetV2() const { return m_v2; }
    const WPont<float>& GetP3() const { return m_p3; }
    WPont<float> GetC1() const { return m_p0 + m_v1; }
    WPont<float> GetC2() const { return m_p3 + m_v2; }

protected:
    void Extremes(int axis, double& min, double& max, double* tmin, double* tmax) const;
    void FlattenPiece(WAbsPrimDrawingDevice* device, const WPont<double> p[4], double tol2,
                      int depth) const;

    WPont<float> m_p0;
    WVektor<float> m_v1;
    WVektor<float> m_v2;
    WPont<float> m_p3;
    BYTE m_flags;
};
