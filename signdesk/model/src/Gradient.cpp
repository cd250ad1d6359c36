#include "model/Gradient.h"

#include <algorithm>
#include <cmath>

#include <mfc/CDC.h>
#include <pathkit/NumericToolkit.h>
#include <pathkit/Path.h>
#include <shell/BoxTransforms.h>
#include <win32/wingdi.h>

#include "UnitCircle.h"
#include "model/ToolGeometry.h"

namespace {

constexpr double Pi = 3.14159265358979323846;
// Band constants: the least bands a short pair gets grow with sqrt(C * n).
constexpr double LinearC = 300;
constexpr double ConicalC = 600;
constexpr double ShapedC = 300;
// No pair is cut into more bands than this, whatever the scale.
constexpr double MaxBandsPerPair = 65536;

// The inverse in double precision; false when the matrix is singular or not finite.
bool Invert(const floatTMatrix& a, floatTMatrix& out) {
    const double det = double(a.m11) * a.m22 - double(a.m12) * a.m21;
    if (det == 0 || !std::isfinite(det)) return false;
    const double i11 = a.m22 / det, i12 = -a.m12 / det, i21 = -a.m21 / det, i22 = a.m11 / det;
    const double tx = -(a.dx * i11 + a.dy * i21), ty = -(a.dx * i12 + a.dy * i22);
    out.Init(float(i11), float(i12), float(i21), float(i22), float(tx), float(ty));
    return std::isfinite(out.m11) && std::isfinite(out.m12) && std::isfinite(out.m21) &&
           std::isfinite(out.m22) && std::isfinite(out.dx) && std::isfinite(out.dy);
}

double Length(const floatTMatrix& m, float x, float y) {
    m.dTransform(x, y);
    return std::hypot(double(x), double(y));
}

void AppendRect(Path& path, double u0, double u1, double v0, double v1) {
    path.Append(PC_MOVETO, float(u0), float(v0));
    path.Append(float(u1), float(v0));
    path.Append(float(u1), float(v1));
    path.Append(float(u0), float(v1));
    path.Close();
    path.ClosePath();
}

// The colour of band j of N between c0 and c1; e = 1 unless the pair ends at 1.0.
COLORREF BandColor(const floatColor& c0, const floatColor& c1, int j, int N, int e) {
    return (c0 + (c1 - c0) * double(j) / double(N + e)).ToCOLORREF();
}

// The wedge's box meets the area box (x and y ranges, closed).
bool Meets(const floatBBox& a, const floatBBox& b) {
    floatRange ax, ay, bx, by;
    ax.Set(a.left, a.right);
    ay.Set(a.bottom, a.top);
    bx.Set(b.left, b.right);
    by.Set(b.bottom, b.top);
    return RangesOverlap(ax, bx) && RangesOverlap(ay, by);
}

// floor(v) within [lo, hi]; lo for a value that is not a number.
int ClampedIndex(double v, int lo, int hi) {
    if (!(v >= lo)) return lo;
    return v > hi ? hi : int(v);
}

} // namespace

COLORREF floatColor::ToCOLORREF() const {
    auto channel = [](float v) -> COLORREF {
        const double x = std::floor(double(v) + 0.5);
        if (!std::isfinite(x)) return 0;
        return COLORREF(static_cast<long long>(std::clamp(x, -1e9, 1e9)) & 0xFF);
    };
    return channel(r) | (channel(g) << 8) | (channel(b) << 16);
}

int GradientBandCount(double l, double delta, double c, double divisor, int& n) {
    n = 0;
    const double estimate = std::floor(l * delta + 0.5);
    if (!(estimate >= 1)) return 0; // also NaN
    const double nd = std::min(estimate, 1e9);
    n = int(nd);
    if (!(divisor > 0)) return 0;
    const double q = std::max(1.0, std::sqrt(c / nd));
    const double bands = std::floor(nd * q / divisor + 0.5);
    if (!(bands >= 1)) return 0;
    return int(std::min(bands, MaxBandsPerPair));
}

Gradient::Gradient() = default;

Gradient::Gradient(COLORREF first, COLORREF last) {
    AddNode(0.0f, first);
    AddNode(1.0f, last);
}

Gradient::~Gradient() = default;

Gradient& Gradient::operator=(const Gradient& other) {
    if (&other == this) return *this;
    m_origin = other.m_origin;
    m_axis = other.m_axis;
    m_axis2 = other.m_axis2;
    m_nKind = other.m_nKind;
    m_nSides = other.m_nSides;
    m_fStarRatio = other.m_fStarRatio;
    m_nodes.Grow(other.m_nodes.Filled());
    for (const GradNode& node : other.m_nodes)
        m_nodes.Append(node);
    return *this;
}

void Gradient::PaintBand(COLORREF, Path&, const floatTMatrix&) {}

void Gradient::Transform(const floatTMatrix& m) {
    m.Transform(m_origin.x, m_origin.y);
    m.Transform(m_axis.x, m_axis.y);
    m.Transform(m_axis2.x, m_axis2.y);
}

void Gradient::AddNode(float position, COLORREF color) {
    GradNode node{position, color};
    m_nodes.Append(node);
    SortNodes();
}

void Gradient::SortNodes() {
    m_nodes.Sort([](const GradNode* a, const GradNode* b) {
        return a->position > b->position ? 1 : (a->position < b->position ? -1 : 0);
    });
}

BOOL Gradient::IsPostScriptDevice(CDC* pDC) {
    if (pDC == nullptr) return 0;
    int escape = POSTSCRIPT_PASSTHROUGH;
    return pDC->Escape(QUERYESCSUPPORT, sizeof(escape), reinterpret_cast<LPCSTR>(&escape),
                       nullptr) > 0;
}

floatTMatrix Gradient::FrameMatrix() const {
    const float ux = m_axis.x - m_origin.x, uy = m_axis.y - m_origin.y;
    if (m_nKind == Linear || m_nKind == Conical)
        return floatTMatrix(ux, uy, -uy, ux, m_origin.x, m_origin.y);
    return floatTMatrix(ux, uy, m_axis2.x - m_origin.x, m_axis2.y - m_origin.y, m_origin.x,
                        m_origin.y);
}

void Gradient::PaintBox(COLORREF color, const floatBBox& box, const floatTMatrix& toDevice) {
    Path band;
    AppendRect(band, box.left, box.right, box.bottom, box.top);
    PaintBand(color, band, toDevice);
}

void Gradient::Render(const floatTMatrix& m, const floatBBox& area, float divisor) {
    const int count = m_nodes.Filled();
    if (count == 0) return;
    if (count == 1) {
        if (m_nKind >= Linear && m_nKind <= Star) PaintBox(m_nodes[0].color, area, m);
        return;
    }
    switch (m_nKind) {
    case Linear: RenderLinear(m, area, divisor); break;
    case Conical: RenderConical(m, area, divisor); break;
    case Radial:
    case Polygon:
    case Star: RenderShaped(m, area, divisor); break;
    default: break;
    }
}

void Gradient::RenderLinear(const floatTMatrix& m, const floatBBox& area, float divisor) {
    floatTMatrix M = FrameMatrix(), inverse;
    if (!Invert(M, inverse)) return;
    floatBBox A = area;
    TransformBBox(inverse, A);
    M *= m;
    const double l = Length(M, 1, 0);
    const int count = m_nodes.Filled();
    const GradNode* nodes = m_nodes.first();

    if (A.left < 0) {
        Path band;
        AppendRect(band, A.left, std::min(0.0f, A.right), A.bottom, A.top);
        PaintBand(nodes[0].color, band, M);
    }
    for (int k = 1; k < count; ++k) {
        const double p0 = nodes[k - 1].position, delta = nodes[k].position - p0;
        int n = 0;
        const int N = GradientBandCount(l, delta, LinearC, divisor, n);
        if (N == 0) continue;
        const floatColor c0(nodes[k - 1].color), c1(nodes[k].color);
        const int e = nodes[k].position < 1.0f ? 1 : 0;
        const double step = delta / N, margin = 1.0 / n;
        // Only the bands that can meet the area: u_(j+1) >= u_min and u_j - margin <= u_max.
        const int j0 = ClampedIndex(std::floor((A.left - p0) / step) - 1, 0, N);
        int j1 = N - 1;
        const double jLast = std::ceil((A.right + margin - p0) / step) + 1;
        if (jLast < j1) j1 = jLast < -1 ? -1 : int(jLast);
        for (int j = j0; j <= j1; ++j) {
            const double u = p0 + j * step, uNext = p0 + (j + 1) * step;
            if (uNext < A.left || u - margin > A.right) continue;
            Path band;
            AppendRect(band, u - margin, uNext, A.bottom, A.top);
            PaintBand(BandColor(c0, c1, j, N, e), band, M);
        }
    }
    if (A.right > 1) {
        Path band;
        AppendRect(band, std::max(A.left, 1.0f), A.right, A.bottom, A.top);
        PaintBand(nodes[count - 1].color, band, M);
    }
}

// Each wedge is a fan from the centre whose outer edge runs outside the circle of radius R
// (chords of at most 45 degrees, every vertex at R / cos(half a chord's angle)), so that a
// coarse wedge still covers every point of the area in its angle range; a single triangle
// with its corners on the circle would leave the area beyond its chord unpainted.
void Gradient::RenderConical(const floatTMatrix& m, const floatBBox& area, float divisor) {
    floatTMatrix M = FrameMatrix(), inverse;
    if (!Invert(M, inverse)) return;
    floatBBox A = area;
    TransformBBox(inverse, A);
    double R2 = 0;
    for (const floatPoint& c : {A.LB(), A.LT(), A.RB(), A.RT()})
        R2 = std::max(R2, double(c.x) * c.x + double(c.y) * c.y);
    const double R = std::sqrt(R2);
    const floatBBox mirrored(A.left, -A.top, A.right, -A.bottom);
    const floatTMatrix mirror(1, 0, 0, -1, 0, 0);
    M *= m;
    const floatTMatrix mirroredM = mirror * M;
    const double axis = std::hypot(double(m_axis.x) - m_origin.x, double(m_axis.y) - m_origin.y);
    const double l = axis * R * Pi;
    const int count = m_nodes.Filled();
    const GradNode* nodes = m_nodes.first();

    for (int k = 1; k < count; ++k) {
        const double p0 = nodes[k - 1].position, delta = nodes[k].position - p0;
        int n = 0;
        const int N = GradientBandCount(l, delta, ConicalC, divisor, n);
        if (N == 0) continue;
        const floatColor c0(nodes[k - 1].color), c1(nodes[k].color);
        const int e = nodes[k].position < 1.0f ? 1 : 0;
        const double step = delta * Pi / N;
        for (int j = 0; j < N; ++j) {
            const double a0 = p0 * Pi + j * step;
            const double a1 = p0 * Pi + (j + 1) * step + 1.0 / n;
            const int pieces = std::max(1, int(std::ceil((a1 - a0) / (Pi / 4))));
            const double piece = (a1 - a0) / pieces;
            const double r = R / std::cos(piece / 2);
            Path wedge;
            wedge.Append(PC_MOVETO, 0, 0);
            floatBBox box(0, 0, 0, 0);
            for (int i = 0; i <= pieces; ++i) {
                const double a = a0 + i * piece;
                const floatPoint pt(float(r * std::cos(a)), float(r * std::sin(a)));
                wedge.Append(pt.x, pt.y);
                box += pt;
            }
            wedge.Close();
            wedge.ClosePath();
            const COLORREF color = BandColor(c0, c1, j, N, e);
            if (Meets(box, A)) PaintBand(color, wedge, M);
            if (Meets(box, mirrored)) PaintBand(color, wedge, mirroredM);
        }
    }
}

void Gradient::RenderShaped(const floatTMatrix& m, const floatBBox& area, float divisor) {
    floatTMatrix M = FrameMatrix();
    M *= m;
    float ax = 1, ay = 0, bx = 0, by = 1;
    M.dTransform(ax, ay);
    M.dTransform(bx, by);
    const floatPoint origin(0, 0), a(ax, ay), b(bx, by);
    const double h = std::sqrt(std::min(Dist2(origin, a, b), Dist2(origin, b, a)));
    const int count = m_nodes.Filled();
    const GradNode* nodes = m_nodes.first();

    PaintBox(nodes[count - 1].color, area, m);
    Path shape;
    BuildUnitShape(shape);
    if (shape.subPaths.Filled() == 0) return;
    const double l = h * (m_nKind == Star ? double(m_fStarRatio) : 1.0);

    for (int k = 1; k < count; ++k) {
        const double p0 = nodes[k - 1].position, delta = nodes[k].position - p0;
        int n = 0;
        const int N = GradientBandCount(l, delta, ShapedC, divisor, n);
        if (N == 0) continue;
        const floatColor c0(nodes[k - 1].color), c1(nodes[k].color);
        const int e = nodes[k].position < 1.0f ? 1 : 0;
        for (int j = 0; j < N; ++j) {
            const double r = p0 + j * delta / N, rNext = p0 + (j + 1) * delta / N;
            Path band(shape);
            band.Transform(floatTMatrix(float(rNext), 0, 0, float(rNext), 0, 0));
            if (r > 0) {
                const float s = float(r - 2.0 / n);
                Path inner(shape);
                inner.Transform(floatTMatrix(s, 0, 0, s, 0, 0));
                band.Concat(inner);
            }
            PaintBand(BandColor(c0, c1, j, N, e), band, M);
        }
    }
}

void Gradient::BuildUnitShape(Path& path) const {
    path = Path(path.accuracy);
    switch (m_nKind) {
    case Radial:
        AppendUnitCircle(path);
        break;
    case Polygon:
    case Star: {
        const int s = m_nSides;
        if (s < 3 || s > MaxSides) return;
        for (int i = 0; i < s; ++i) {
            const double t = Pi / s - Pi / 2 + i * 2 * Pi / s;
            const float x = float(std::cos(t)), y = float(std::sin(t));
            if (i == 0)
                path.Append(PC_MOVETO, x, y);
            else
                path.Append(x, y);
            if (m_nKind == Star) {
                const double ti = t + Pi / s;
                path.Append(float(m_fStarRatio * std::cos(ti)), float(m_fStarRatio * std::sin(ti)));
            }
        }
        path.Close();
        path.ClosePath();
        break;
    }
    default: break;
    }
}
