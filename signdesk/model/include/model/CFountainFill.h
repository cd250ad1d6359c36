#pragma once
// A colour gradient fill of five shapes with any number of stops, edited through handles on
// its axis: the stops, plus P2 (the second axis) or the centre for kinds other than linear.

#include "model/CFillObj.h"
#include "model/Gradient.h"

class CFountainFill : public CFillObj, public GradientPainter {
    DECLARE_SERIAL(CFountainFill)
public:
    static constexpr WORD Version = 1;

    // No stops (for loading).
    CFountainFill();
    // Stops (0.0, first) and (1.0, last); P0 the box's centre, P1 (centre x, bottom),
    // P2 (right, centre y).
    CFountainFill(const floatBBox& box, COLORREF first, COLORREF last);
    ~CFountainFill() override;
    void Serialize(CArchive& ar) override;

    DWORD GetMemSize() override;
    CFillObj* Clone() override;
    BOOL IsEqual(const CFillObj* pOther) override;
    void Transform(const floatTMatrix& m) override;
    void PaintFill(CDC* pDC, const floatTMatrix& m, int mode, const floatBBox& area) override;
    int GetHandleCount() override;
    BOOL GetHandlePoint(int nHandle, floatPoint& p) override;
    void SetFrame(const floatBBox& box, BOOL bSquare) override;
    void DrawHandles(CDC* pDC, const floatTMatrix& m, int nSelected) override;
    void MoveHandle(int nHandle, floatPoint& p, double angle, UINT nKeyFlags) override;
    BOOL HitTest(const floatPoint& p, float tolerance) override;
    void DropColor(const floatPoint& p, float tolerance, COLORREF color) override;
    COLORREF GetColorAt(const floatPoint& p, float tolerance) override;
    COLORREF GetStopColor(int nStop) override;

    // The band divisor of a paint mode (modes above 4 take mode 4's).
    static float BandDivisor(int kind, int mode);

private:
    // The parameter of p along the axis: the angle / pi for conical, else the projection.
    double AxisParameter(const floatPoint& p) const;
    // Index of the first stop handle within the tolerance, or -1.
    int StopHandleAt(const floatPoint& p, float tolerance);
    // The axis test of HitTest for kinds other than conical.
    BOOL OnAxis(const floatPoint& p, float tolerance) const;
};
