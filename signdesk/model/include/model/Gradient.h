#pragma once
// A colour gradient over a three-point frame, and the engine that cuts an area into solid
// bands of it. Receivers of the bands derive from Gradient and override PaintBand.
//
// Frame per kind: the gradient's (u, v) map onto the object by (0,0) -> P0, (1,0) -> P1 and
// (0,1) -> P0 + (P1 - P0) turned by +90 degrees (linear, conical) or P2 (radial, polygon,
// star). The colour position is u (linear), the polar angle / pi on both sides of the axis
// (conical) or the scale of the unit shape (the others).

#include <pathkit/BBox.h>
#include <pathkit/DynArr.h>
#include <pathkit/Point.h>
#include <pathkit/TMatrix.h>
#include <win32/base.h>

class CDC;
class Path;

// A colour stop: position 0.0 at the start of the gradient, 1.0 at its end.
struct GradNode {
    float position;
    COLORREF color;
};

using GradNodeDynArr = EDynArr<GradNode>;

// Red, green, blue on the 0-255 scale.
struct floatColor {
    floatColor() = default;
    explicit floatColor(COLORREF c)
        : r(float(c & 0xFF)), g(float((c >> 8) & 0xFF)), b(float((c >> 16) & 0xFF)) {}
    floatColor(float r, float g, float b) : r(r), g(g), b(b) {}

    floatColor operator-(const floatColor& o) const { return {r - o.r, g - o.g, b - o.b}; }
    floatColor operator+(const floatColor& o) const { return {r + o.r, g + o.g, b + o.b}; }
    floatColor operator*(double s) const { return {float(r * s), float(g * s), float(b * s)}; }
    floatColor operator/(double s) const { return {float(r / s), float(g / s), float(b / s)}; }
    // Each component rounded by floor(x + 0.5) and kept to its low 8 bits.
    COLORREF ToCOLORREF() const;

    float r = 0;
    float g = 0;
    float b = 0;
};

class Gradient {
public:
    enum Kind { Linear = 0, Conical = 1, Radial = 2, Polygon = 3, Star = 4 };
    static constexpr std::uint16_t MaxNodes = 0xFFFE;

    // No stops.
    Gradient();
    // Stops (0.0, first) and (1.0, last).
    Gradient(COLORREF first, COLORREF last);
    Gradient(const Gradient&) = delete;
    virtual ~Gradient();
    // Points, kind, sides, ratio and every stop of other (the stops are appended to this
    // gradient's own, as band receivers start empty).
    Gradient& operator=(const Gradient& other);

    // Receives one band: its path and the matrix from the path's coordinates to the device.
    virtual void PaintBand(COLORREF color, Path& band, const floatTMatrix& toDevice);
    // P0, P1 and P2.
    virtual void Transform(const floatTMatrix& m);

    // Cuts the area (object coordinates) into bands and hands them to PaintBand; m maps object
    // coordinates to the device, divisor thins the bands (paint modes 0-4: 50, 16, 8, 4, 4).
    // With one stop the area gets its colour; without stops nothing is painted.
    void Render(const floatTMatrix& m, const floatBBox& area, float divisor);
    // The shape of the kind at unit size around (0, 0); empty for linear and conical, and for
    // a polygon or star of fewer than 3 or more than MaxSides corners.
    void BuildUnitShape(Path& path) const;
    static constexpr int MaxSides = 16000;

    // Adds a stop and keeps the list sorted (stably: equal positions keep their order).
    void AddNode(float position, COLORREF color);
    void SortNodes();

    // QUERYESCSUPPORT for POSTSCRIPT_PASSTHROUGH answers above 0.
    static BOOL IsPostScriptDevice(CDC* pDC);

    // The frame map of the kind: (0,0), (1,0), (0,1) onto P0, P1 and the third point.
    floatTMatrix FrameMatrix() const;

    GradNodeDynArr m_nodes{2, MaxNodes};
    floatPoint m_origin;
    floatPoint m_axis;
    floatPoint m_axis2;
    int m_nKind = Linear;
    int m_nSides = 4;
    float m_fStarRatio = 0.5f;

private:
    void RenderLinear(const floatTMatrix& m, const floatBBox& area, float divisor);
    void RenderConical(const floatTMatrix& m, const floatBBox& area, float divisor);
    void RenderShaped(const floatTMatrix& m, const floatBBox& area, float divisor);
    void PaintBox(COLORREF color, const floatBBox& box, const floatTMatrix& toDevice);
};

// Band count of a stop pair spanning delta of a gradient l device units long: n =
// floor(l * delta + 0.5), N = floor(n * max(1, sqrt(c / n)) / divisor + 0.5). Returns N and
// sets n; 0 means the pair paints nothing (n or N not above 0).
int GradientBandCount(double l, double delta, double c, double divisor, int& n);

// Paints bands on a device context: GDI fills, or PostScript through the pass-through escape.
class GradientPainter : public Gradient {
public:
    using Gradient::Gradient;
    void PaintBand(COLORREF color, Path& band, const floatTMatrix& toDevice) override;

    CDC* m_pDC = nullptr; // the target during a paint, else null
    BOOL m_bDraft = 0;    // pathkit's draft fill (no clip test)

private:
    // "save", the band as a path, "eoclip", "gsave", the colour, "eofill", "grestore",
    // "restore", each line ended by CR LF.
    void PaintPostScriptBand(COLORREF color, Path& band, const floatTMatrix& toDevice);
};
