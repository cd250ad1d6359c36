#include "model/CFountainFill.h"

#include <algorithm>
#include <cmath>

#include <mfc/CArchive.h>
#include <mfc/CArchiveException.h>
#include <mfc/CDC.h>
#include <mfc/CGdiObject.h>
#include <pathkit/NumericToolkit.h>
#include <pathkit/PathDraw.h>
#include <shell/BoxTransforms.h>
#include <win32/wingdi.h>

#include "model/ToolGeometry.h"
#include "model/ViewHooks.h"

IMPLEMENT_SERIAL(CFountainFill, CFillObj, 0)

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr UINT KeyShift = 4;   // MK_SHIFT
constexpr UINT KeyControl = 8; // MK_CONTROL

floatPoint Sub(const floatPoint& a, const floatPoint& b) {
    return floatPoint(a.x - b.x, a.y - b.y);
}
floatPoint Add(const floatPoint& a, const floatPoint& b) {
    return floatPoint(a.x + b.x, a.y + b.y);
}
double Dot(const floatPoint& a, const floatPoint& b) {
    return double(a.x) * b.x + double(a.y) * b.y;
}
double Len(const floatPoint& a) {
    return std::hypot(double(a.x), double(a.y));
}
double SquaredDistance(const floatPoint& a, const floatPoint& b) {
    const double dx = double(a.x) - b.x, dy = double(a.y) - b.y;
    return dx * dx + dy * dy;
}
// The projection parameter of p on a -> b; 0 for a zero-length axis.
double Projection(const floatPoint& a, const floatPoint& b, const floatPoint& p) {
    const floatPoint d = Sub(b, a);
    const double l2 = Dot(d, d);
    return l2 > 0 ? Dot(Sub(p, a), d) / l2 : 0.0;
}

} // namespace

CFountainFill::CFountainFill() = default;

CFountainFill::CFountainFill(const floatBBox& box, COLORREF first, COLORREF last) {
    AddNode(0.0f, first);
    AddNode(1.0f, last);
    const float cx = (box.left + box.right) / 2, cy = (box.bottom + box.top) / 2;
    m_origin = floatPoint(cx, cy);
    m_axis = floatPoint(cx, box.bottom);
    m_axis2 = floatPoint(box.right, cy);
}

CFountainFill::~CFountainFill() = default;

void CFountainFill::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << Version;
        ar << m_origin.x << m_origin.y << m_axis.x << m_axis.y << m_axis2.x << m_axis2.y;
        ar << DWORD(m_nKind) << DWORD(m_nSides) << m_fStarRatio;
        ar << DWORD(m_nodes.Filled());
        for (const GradNode& node : m_nodes)
            ar << node.position << DWORD(node.color);
        return;
    }
    WORD version = 0;
    ar >> version;
    if (version > Version) AfxThrowArchiveException(CArchiveException::badSchema, ar.m_strFileName);
    DWORD kind = 0, sides = 0, count = 0;
    ar >> m_origin.x >> m_origin.y >> m_axis.x >> m_axis.y >> m_axis2.x >> m_axis2.y;
    ar >> kind >> sides >> m_fStarRatio >> count;
    m_nKind = int(kind);
    m_nSides = int(sides);
    if (count > MaxNodes) AfxThrowArchiveException(CArchiveException::badSchema, ar.m_strFileName);
    ar.RequireBytes(std::uint64_t(count) * 8);
    m_nodes.Reset();
    m_nodes.Grow(std::uint16_t(count));
    for (DWORD i = 0; i < count; ++i) {
        GradNode node{};
        DWORD color = 0;
        ar >> node.position >> color;
        node.color = color;
        // Stops lie on [0, 1]; a position that is not a number goes to the start.
        node.position = std::isnan(node.position) ? 0.0f : std::clamp(node.position, 0.0f, 1.0f);
        m_nodes.Append(node);
    }
    SortNodes();
}

DWORD CFountainFill::GetMemSize() {
    return m_nRefCount == 1 ? DWORD(8 * m_nodes.Filled() + 4) : 0;
}

CFillObj* CFountainFill::Clone() {
    auto* pCopy = new CFountainFill;
    pCopy->m_origin = m_origin;
    pCopy->m_axis = m_axis;
    pCopy->m_axis2 = m_axis2;
    pCopy->m_nKind = m_nKind;
    pCopy->m_nSides = m_nSides;
    pCopy->m_fStarRatio = m_fStarRatio;
    pCopy->m_nodes.Grow(m_nodes.Filled());
    for (const GradNode& node : m_nodes)
        pCopy->m_nodes.Append(node);
    pCopy->SortNodes();
    return pCopy;
}

BOOL CFountainFill::IsEqual(const CFillObj* pOther) {
    if (pOther == this) return 1;
    if (pOther == nullptr || pOther->GetRuntimeClass() != GetRuntimeClass()) return 0;
    const auto* o = static_cast<const CFountainFill*>(pOther);
    if (o->m_nodes.Filled() != m_nodes.Filled()) return 0;
    auto same = [](const floatPoint& a, const floatPoint& b) { return a.x == b.x && a.y == b.y; };
    if (!same(m_origin, o->m_origin) || !same(m_axis, o->m_axis) || !same(m_axis2, o->m_axis2))
        return 0;
    if (m_nKind != o->m_nKind || m_nSides != o->m_nSides || m_fStarRatio != o->m_fStarRatio)
        return 0;
    for (std::uint16_t i = 0; i < m_nodes.Filled(); ++i) {
        if (m_nodes[i].position != o->m_nodes[i].position || m_nodes[i].color != o->m_nodes[i].color)
            return 0;
    }
    return 1;
}

void CFountainFill::Transform(const floatTMatrix& m) {
    Gradient::Transform(m);
}

float CFountainFill::BandDivisor(int kind, int mode) {
    // One row per kind, one column per paint mode; every row is the same.
    static const int table[5][5] = {{50, 16, 8, 4, 4}, {50, 16, 8, 4, 4}, {50, 16, 8, 4, 4},
                                    {50, 16, 8, 4, 4}, {50, 16, 8, 4, 4}};
    const int row = std::clamp(kind, 0, 4);
    const int column = std::clamp(mode & 15, 0, 4);
    return float(table[row][column]);
}

void CFountainFill::PaintFill(CDC* pDC, const floatTMatrix& m, int mode, const floatBBox& area) {
    const float divisor = BandDivisor(m_nKind, mode);
    m_pDC = pDC;
    m_bDraft = (mode & 15) == 0 ? 1 : 0;
    Render(m, area, divisor);
    m_pDC = nullptr;
}

int CFountainFill::GetHandleCount() {
    return m_nodes.Filled() + (m_nKind != Linear ? 1 : 0);
}

BOOL CFountainFill::GetHandlePoint(int nHandle, floatPoint& p) {
    const int count = m_nodes.Filled();
    if (nHandle >= 0 && nHandle < count) {
        const double position = m_nodes[std::uint16_t(nHandle)].position;
        if (m_nKind == Conical) {
            float x = float(std::cos(position * Pi)), y = float(std::sin(position * Pi));
            FrameMatrix().Transform(x, y);
            p = floatPoint(x, y);
        } else {
            const floatPoint d = Sub(m_axis, m_origin);
            p = floatPoint(float(m_origin.x + position * d.x), float(m_origin.y + position * d.y));
        }
    } else if (m_nKind == Conical) {
        p = m_origin;
    } else if (m_nKind != Linear) {
        p = m_axis2;
    }
    return 1;
}

void CFountainFill::SetFrame(const floatBBox& box, BOOL bSquare) {
    const float cx = (box.left + box.right) / 2, cy = (box.bottom + box.top) / 2;
    if (m_nKind == Linear) {
        m_origin = floatPoint(cx, box.top);
        m_axis = floatPoint(cx, box.bottom);
        m_axis2 = floatPoint(box.right, box.top);
        return;
    }
    m_origin = floatPoint(cx, cy);
    m_axis = floatPoint(box.right, cy);
    m_axis2 = floatPoint(cx, box.top);
    if (bSquare) m_axis2 = floatPoint(cx, cy + (box.right - box.left) / 2);
}

void CFountainFill::DrawHandles(CDC* pDC, const floatTMatrix& m, int nSelected) {
    const int count = m_nodes.Filled();
    if (pDC == nullptr || count == 0) return;
    POINT first{}, last{};
    for (int i = 0; i < count; ++i) {
        floatPoint h;
        GetHandlePoint(i, h);
        const POINT d = TransformToPoint(m, h);
        if (i == 0) first = d;
        last = d;
        if (i == nSelected)
            DrawSquareMarker(pDC, d.x, d.y, 6);
        else
            DrawRoundMarker(pDC, d.x, d.y, 5);
    }
    CPen pen(PS_SOLID, 2, 0);
    CPen* pOldPen = pDC->SelectObject(&pen);
    if (m_nKind == Conical) {
        const float r = float(Len(Sub(m_axis, m_origin)));
        floatBBox box(m_origin.x - r, m_origin.y - r, m_origin.x + r, m_origin.y + r);
        CRect rect;
        ::Transform(m, box, rect);
        pDC->Arc(rect.left, rect.top, rect.right, rect.bottom, first.x, first.y, last.x, last.y);
        const POINT c = TransformToPoint(m, m_origin);
        DrawRoundMarker(pDC, c.x, c.y, 5);
    } else {
        pDC->MoveTo(first.x, first.y);
        pDC->LineTo(last.x, last.y);
    }
    if (m_nKind >= Radial) {
        pDC->SelectStockObject(BLACK_PEN);
        const POINT p2 = TransformToPoint(m, m_axis2);
        pDC->MoveTo(first.x, first.y);
        pDC->LineTo(p2.x, p2.y);
        DrawRoundMarker(pDC, p2.x, p2.y, 3);
    }
    pDC->SelectObject(pOldPen);
}

double CFountainFill::AxisParameter(const floatPoint& p) const {
    if (m_nKind == Conical) {
        const floatPoint a = Sub(m_axis, m_origin), b = Sub(p, m_origin);
        return VectAngle(a.x, a.y, b.x, b.y) / Pi;
    }
    return Projection(m_origin, m_axis, p);
}

void CFountainFill::MoveHandle(int nHandle, floatPoint& p, double angle, UINT nKeyFlags) {
    const int n = m_nodes.Filled();
    if (nHandle < 0 || nHandle >= GetHandleCount()) return;
    const bool shift = (nKeyFlags & KeyShift) != 0, ctrl = (nKeyFlags & KeyControl) != 0;
    auto constrain = [&](const floatPoint& about) { RotatePointAbout(about.x, about.y, p, angle); };

    if (nHandle > 0 && nHandle < n - 1) {
        // A middle stop: moved along the axis (copied with Shift), removed off it.
        ShowKeyHints(1, 0, 0, 0);
        const COLORREF color = m_nodes[std::uint16_t(nHandle)].color;
        const double t = AxisParameter(p);
        if (!shift) m_nodes.DeleteAt(std::uint16_t(nHandle), 1);
        if (t > 0 && t < 1) AddNode(float(t), color);
        return;
    }
    if (m_nKind == Linear) {
        ShowKeyHints(1, 1, 0, 0);
        floatPoint& moved = nHandle == 0 ? m_origin : m_axis;
        floatPoint& other = nHandle == 0 ? m_axis : m_origin;
        if (ctrl) constrain(moved);
        if (shift) other = Add(other, Sub(p, moved));
        moved = p;
        return;
    }
    if (m_nKind == Conical) {
        if (nHandle == n) {
            ShowKeyHints(0, 1, 0, 0);
            if (ctrl) constrain(m_origin);
            const floatPoint d = Sub(p, m_origin);
            m_axis = Add(m_axis, d);
            m_axis2 = Add(m_axis2, d);
            m_origin = p;
            return;
        }
        ShowKeyHints(1, 0, 0, 0);
        if (nHandle == n - 1 && nHandle != 0)
            p = floatPoint(2 * m_origin.x - p.x, 2 * m_origin.y - p.y);
        if (shift) m_origin = Add(m_origin, Sub(p, m_axis));
        m_axis = p;
        return;
    }
    // Radial, polygon, star.
    if (nHandle == 0) {
        ShowKeyHints(0, 1, 1, 0);
        if (shift && ctrl) {
            m_origin = p;
            return;
        }
        if (ctrl) constrain(m_origin);
        const floatPoint d = Sub(p, m_origin);
        m_axis = Add(m_axis, d);
        m_axis2 = Add(m_axis2, d);
        m_origin = p;
    } else if (nHandle == n - 1) {
        ShowKeyHints(1, 1, 1, 0);
        if (shift && ctrl) {
            m_axis = p;
            return;
        }
        const double axisLength = Len(Sub(m_axis, m_origin));
        const double secondLength = Len(Sub(m_axis2, m_origin));
        const double ratio = axisLength > 0 ? secondLength / axisLength : 0.0;
        m_axis = p;
        const floatPoint d = Sub(m_axis, m_origin);
        const floatPoint w(-d.y, d.x);
        const double wLength = Len(w);
        if (wLength > 0) {
            const double target = ctrl ? wLength : shift ? ratio * wLength : secondLength;
            const double s = target / wLength;
            m_axis2 = floatPoint(float(m_origin.x + w.x * s), float(m_origin.y + w.y * s));
        }
    } else {
        ShowKeyHints(0, 0, 1, 0);
        if (shift && ctrl) {
            m_axis2 = p;
            return;
        }
        const double s = Projection(m_origin, m_axis2, p);
        const floatPoint d = Sub(m_axis2, m_origin);
        m_axis2 = floatPoint(float(m_origin.x + s * d.x), float(m_origin.y + s * d.y));
    }
}

int CFountainFill::StopHandleAt(const floatPoint& p, float tolerance) {
    const double t2 = double(tolerance) * tolerance;
    for (int i = 0; i < m_nodes.Filled(); ++i) {
        floatPoint h;
        GetHandlePoint(i, h);
        if (SquaredDistance(h, p) < t2) return i;
    }
    return -1;
}

BOOL CFountainFill::OnAxis(const floatPoint& p, float tolerance) const {
    if (!(Dist2(m_origin, m_axis, p) < double(tolerance) * tolerance)) return 0;
    const double t = Projection(m_origin, m_axis, p);
    return t >= 0 && t <= 1;
}

BOOL CFountainFill::HitTest(const floatPoint& p, float tolerance) {
    if (StopHandleAt(p, tolerance) >= 0) return 1;
    if (m_nKind == Conical) {
        const floatPoint a = Sub(m_axis, m_origin), b = Sub(p, m_origin);
        const double cross = double(a.x) * b.y - double(a.y) * b.x;
        return std::fabs(Len(a) - Len(b)) < tolerance && cross > 0;
    }
    return OnAxis(p, tolerance);
}

void CFountainFill::DropColor(const floatPoint& p, float tolerance, COLORREF color) {
    const int stop = StopHandleAt(p, tolerance);
    if (stop >= 0) {
        m_nodes[std::uint16_t(stop)].color = color;
        return;
    }
    if (m_nKind != Conical && !OnAxis(p, tolerance)) return;
    const double t = AxisParameter(p);
    if (t >= 0 && t <= 1) AddNode(float(t), color);
}

COLORREF CFountainFill::GetColorAt(const floatPoint& p, float tolerance) {
    if (m_nKind != Conical && !(Dist2(m_origin, m_axis, p) < double(tolerance) * tolerance))
        return NO_FILL_COLOR;
    const double t = AxisParameter(p);
    if (!(t > 0 && t < 1) || m_nodes.Filled() < 2) return NO_FILL_COLOR;
    for (std::uint16_t k = 1; k < m_nodes.Filled(); ++k) {
        const double a = m_nodes[k - 1].position, b = m_nodes[k].position;
        if (!(a < t && t < b)) continue;
        const double f = (t - a) / (b - a);
        const COLORREF ca = m_nodes[k - 1].color, cb = m_nodes[k].color;
        COLORREF result = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            const double x = double((ca >> shift) & 0xFF), y = double((cb >> shift) & 0xFF);
            result |= COLORREF(int(x + (y - x) * f) & 0xFF) << shift;
        }
        return result;
    }
    return NO_FILL_COLOR;
}

COLORREF CFountainFill::GetStopColor(int nStop) {
    if (nStop < 0 || nStop >= m_nodes.Filled()) return NO_FILL_COLOR;
    return m_nodes[std::uint16_t(nStop)].color;
}
