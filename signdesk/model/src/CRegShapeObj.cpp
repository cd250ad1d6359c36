#include "model/CShapeObj.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "UnitCircle.h"
#include "mfc/CArchive.h"
#include "mfc/CArchiveException.h"
#include "mfc/CMenu.h"
#include "mfc/CWnd.h"
#include "model/HashBytes.h"
#include "model/ViewHooks.h"
#include "pathkit/NumericToolkit.h"
#include "win32/user.h"

IMPLEMENT_SERIAL(CRegShapeObj, CShapeObj, VERSIONABLE_SCHEMA | 0)

namespace {

constexpr double Pi = std::numbers::pi;
constexpr double Degree = Pi / 180;

floatPoint Polar(double r, double a) {
    return floatPoint(float(r * std::cos(a)), float(r * std::sin(a)));
}

floatPoint Mapped(const floatTMatrix& m, floatPoint p) {
    m.Transform(p.x, p.y);
    return p;
}

double Length(const floatPoint& v) {
    return std::hypot(double(v.x), double(v.y));
}

floatTMatrix Translation(double x, double y) {
    return floatTMatrix(1, 0, 0, 1, float(x), float(y));
}

} // namespace

CRegShapeObj::CRegShapeObj() : m_fInnerRadius(float(std::cos(Pi / 4) * 0.5)) {}
CRegShapeObj::~CRegShapeObj() = default;

void CRegShapeObj::Serialize(CArchive& ar) {
    SerializeShapeRecord(ar);
    if (ar.IsStoring()) {
        ar << WORD(Version) << BYTE(m_nShapeKind) << m_bRounded << m_nCorners << m_fInnerRadius
           << m_fInnerAngle << m_bCustomized << m_fRounding;
        return;
    }
    WORD version;
    ar >> version;
    if (version > Version) AfxThrowArchiveException(CArchiveException::badSchema, ar.m_strFileName);
    BYTE kind, rounded, corners, customized;
    float innerRadius, innerAngle, rounding;
    ar >> kind >> rounded >> corners >> innerRadius >> innerAngle >> customized >> rounding;
    // No shape has fewer than three corners; a kind unknown here cannot be regenerated.
    if (kind > Star || corners < 3)
        AfxThrowArchiveException(CArchiveException::badSchema, ar.m_strFileName);
    m_nShapeKind = ShapeKind(kind);
    m_bRounded = rounded;
    m_nCorners = corners;
    m_fInnerRadius = innerRadius;
    m_fInnerAngle = innerAngle;
    m_bCustomized = customized;
    m_fRounding = rounding;
    RebuildShape();
}

void CRegShapeObj::SerializeState(CArchive& ar, CSignDoc* pDoc) {
    SerializeShapeState(ar, pDoc);
    if (ar.IsStoring()) {
        ar << BYTE(m_nShapeKind) << m_bRounded << m_nCorners << m_fInnerRadius << m_fInnerAngle
           << m_bCustomized << m_fRounding;
        return;
    }
    BYTE kind;
    ar >> kind >> m_bRounded >> m_nCorners >> m_fInnerRadius >> m_fInnerAngle >> m_bCustomized >>
        m_fRounding;
    m_nShapeKind = ShapeKind(kind);
    RebuildShape();
}

// With rounded corners only matrices that keep the shape similar: the images of the unit
// axes equally long and at a right angle.
BOOL CRegShapeObj::AcceptsTransform(const floatTMatrix& m) {
    if (!m_bRounded) return 1;
    const floatPoint o = Mapped(m, {0, 0}), x = Mapped(m, {1, 0}), y = Mapped(m, {0, 1});
    const double ly = Length(y - o);
    if (!(ly > 0)) return 0;
    return std::fabs(Length(x - o) / ly - 1) <= 0.001 &&
                   std::fabs(Length(x - y) / ly - std::numbers::sqrt2) <= 0.001
               ? 1
               : 0;
}

CSignObj* CRegShapeObj::Duplicate() {
    auto* pCopy = new CRegShapeObj;
    pCopy->m_nShapeKind = m_nShapeKind;
    pCopy->m_bRounded = m_bRounded;
    pCopy->m_nCorners = m_nCorners;
    pCopy->m_fInnerRadius = m_fInnerRadius;
    pCopy->m_fInnerAngle = m_fInnerAngle;
    pCopy->m_bCustomized = m_bCustomized;
    pCopy->m_fRounding = m_fRounding;
    pCopy->m_matrix = m_matrix;
    pCopy->SetColor(GetColor());
    pCopy->SetLayer(char(GetLayer()), 0);
    pCopy->RebuildShape();
    pCopy->CopyAttributes(this);
    return pCopy;
}

void CRegShapeObj::ExtendContextMenu(CMenu* pMenu) {
    if (pMenu == nullptr) return;
    pMenu->AppendMenu(MF_SEPARATOR);
    CMenu menu;
    CString text;
    if (menu.LoadMenu(IDR_REGSHAPE_MENU) &&
        menu.GetMenuString(ID_REGSHAPE_MENU_ITEM, text, MF_BYCOMMAND) > 0) {
        const UINT state = menu.GetMenuState(ID_REGSHAPE_MENU_ITEM, MF_BYCOMMAND) &
                           (MF_GRAYED | MF_DISABLED | MF_CHECKED);
        pMenu->AppendMenu(MF_STRING | state, ID_REGSHAPE_MENU_ITEM, text);
    }
}

void CRegShapeObj::Edit(CWnd* pWnd) {
    if (pWnd != nullptr) PostMessageA(pWnd->GetSafeHwnd(), WM_COMMAND, ID_TOOL_REGSHAPE, 0);
}

// Even polygons stand on an edge, odd ones on a vertex at the top.
double CRegShapeObj::GetStartAngle() {
    const int n = m_nCorners;
    if (m_nShapeKind == Polygon && n > 0 && n % 2 == 0) return Pi / 2 - (180 / n) * Degree;
    return Pi / 2;
}

int CRegShapeObj::GetHandleCount() {
    switch (m_nShapeKind) {
    case Polygon:
        return m_bRounded ? 4 : 2;
    case Ellipse:
        return 2;
    case Star:
        return m_bRounded ? 4 : 3;
    }
    return 0;
}

double CRegShapeObj::InnerStep() const {
    return m_nCorners > 0 ? (360 / m_nCorners) * Degree : 0;
}

bool CRegShapeObj::RoundingEdge(floatPoint& from, floatPoint& to) {
    const int n = m_nCorners;
    if (n == 0 || m_nShapeKind == Ellipse) return false;
    const double a0 = GetStartAngle(), step = 2 * Pi / n;
    int j = m_nRoundCorner;
    if (m_nShapeKind == Star) {
        // The edge from a point to the inner vertex after it.
        j = ((j + 1) / 2) % n;
        from = Polar(1, a0 + j * step);
        to = Polar(m_fInnerRadius, a0 + j * step + InnerStep() * m_fInnerAngle);
    } else {
        j %= n;
        from = Polar(1, a0 + j * step);
        to = Polar(1, a0 + (j + 1) * step);
    }
    return true;
}

BOOL CRegShapeObj::GetHandlePoint(int i, floatPoint& out) {
    const double a0 = GetStartAngle();
    floatPoint p;
    switch (i) {
    case 0:
        p = floatPoint(0, 0);
        break;
    case 1:
        p = Polar(1, a0);
        break;
    case 2:
        if (m_nShapeKind != Star || m_nCorners == 0) return 0;
        p = Polar(m_fInnerRadius, a0 + m_fInnerAngle * InnerStep());
        break;
    case 3: {
        floatPoint from, to;
        if (!RoundingEdge(from, to)) return 0;
        p = from + (to - from) * double(m_fRounding);
        break;
    }
    default:
        return 0;
    }
    out = Mapped(m_matrix, p);
    return 1;
}

void CRegShapeObj::MoveHandle(int i, floatPoint p, UINT keys) {
    const bool ctrl = (keys & MK_CONTROL) != 0;
    switch (i) {
    case 0:
        m_matrix.dx = p.x;
        m_matrix.dy = p.y;
        break;
    case 1: {
        ShowKeyHints(0, 1, 0, 0);
        floatPoint c, v;
        GetHandlePoint(0, c);
        GetHandlePoint(1, v);
        floatTMatrix m = m_matrix * Translation(-c.x, -c.y);
        if (!ctrl) {
            floatTMatrix turn;
            turn.Rotate(float(VectAngle(v.x - c.x, v.y - c.y, p.x - c.x, p.y - c.y)));
            m *= turn;
        }
        // A drag onto the centre would collapse the shape for good: the size then stays.
        const double s = Length(p - c) / Length(v - c);
        if (s > 0 && std::isfinite(s)) m *= floatTMatrix(float(s), 0, 0, float(s), 0, 0);
        m_matrix = m * Translation(c.x, c.y);
        break;
    }
    case 2: {
        const double delta = InnerStep();
        if (m_nShapeKind != Star || delta == 0) break;
        floatPoint q = Mapped(m_matrix.Inv(), p);
        m_fInnerRadius = float(std::min(Length(q), std::cos(delta / 2)));
        if (ctrl) {
            m_fInnerAngle = 0.5f;
        } else {
            const floatPoint first = Polar(1, GetStartAngle());
            m_fInnerAngle = float(VectAngle(first.x, first.y, q.x, q.y) / delta);
        }
        m_bCustomized = 1;
        break;
    }
    case 3: {
        floatPoint from, to;
        if (!RoundingEdge(from, to)) break;
        const floatPoint P = Mapped(m_matrix, from), Q = Mapped(m_matrix, to);
        const double ex = double(Q.x) - P.x, ey = double(Q.y) - P.y;
        const double len2 = ex * ex + ey * ey;
        if (!(len2 > 0)) break;
        const double f = ((double(p.x) - P.x) * ex + (double(p.y) - P.y) * ey) / len2;
        m_fRounding = float(std::clamp(f, 0.01, 0.5));
        m_bCustomized = 1;
        break;
    }
    default:
        return;
    }
    RebuildShape();
}

void CRegShapeObj::RebuildShape() {
    m_path.subPaths.Destroy();
    const int n = m_nCorners;
    double a = GetStartAngle();
    switch (m_nShapeKind) {
    case Polygon:
    case Star: {
        // Fewer than three corners make no contour.
        if (n < 3) break;
        const double step = 2 * Pi / n;
        const double inner = InnerStep() * m_fInnerAngle;
        for (int i = 0; i < n; ++i, a += step) {
            const floatPoint p = Polar(1, a);
            if (i == 0)
                m_path.MoveTo(p);
            else
                m_path.LineTo(p);
            if (m_nShapeKind == Star) m_path.LineTo(Polar(m_fInnerRadius, a + inner));
        }
        m_path.Close();
        break;
    }
    case Ellipse:
        AppendUnitCircle(m_path);
        break;
    }
    m_path.ClosePath();
    m_path.Transform(m_matrix);
    if (m_nShapeKind != Ellipse && m_path.subPaths.Filled() != 0) {
        ChooseRoundCorner();
        if (m_bRounded) RoundCorners();
    }
    m_path.Invalidate(SP_ALL_INVALID);
    m_path.Prepare();
    UpdateStamp();
}

void CRegShapeObj::UpdateStamp() {
    CShapeObj::UpdateStamp();
    const BYTE flags[4] = {BYTE(m_nShapeKind), m_bRounded, m_nCorners, m_bCustomized};
    const float values[3] = {m_fInnerRadius, m_fInnerAngle, m_fRounding};
    HashBytes(flags, sizeof flags, &m_nStamp);
    HashBytes(values, sizeof values, &m_nStamp);
}

// The longest edge; a later edge wins only when clearly (1 %) longer.
void CRegShapeObj::ChooseRoundCorner() {
    const SubPath& sp = m_path.subPaths[0];
    double longest = 0;
    m_nRoundCorner = 0;
    for (std::uint16_t k = 0; k < sp.members.Filled(); ++k) {
        const double len = Length(sp.members[k].end - sp.members[k].start);
        if (longest < 0.99 * len) {
            longest = len;
            m_nRoundCorner = k;
        }
    }
}

// Every corner becomes the quadratic curve (as a cubic) with the corner as its control point,
// cut back along both edges by the rounding times the longest edge, at most half an edge.
void CRegShapeObj::RoundCorners() {
    SubPath& sp = m_path.subPaths[0];
    const int count = sp.members.Filled();
    if (count < 2) return;
    const double longest = Length(sp.members[std::uint16_t(m_nRoundCorner)].end -
                                  sp.members[std::uint16_t(m_nRoundCorner)].start);
    const auto cut = [&](int k, floatPoint& a, floatPoint& b) {
        const PathMember& pm = sp.members[std::uint16_t(k)];
        const floatPoint edge = pm.end - pm.start;
        const double len = Length(edge);
        const double r = std::min(double(m_fRounding) * longest, len / 2);
        const floatPoint along = len > 0 ? edge * (r / len) : edge;
        a = pm.start + along;
        b = pm.end - along;
    };
    SubPath rounded(sp.accuracy);
    for (int k = 0; k < count; ++k) {
        floatPoint a, b, nextA, nextB;
        cut(k, a, b);
        cut((k + 1) % count, nextA, nextB);
        if (a != b) rounded.members.Append(PathMember(a, b));
        const floatPoint corner = sp.members[std::uint16_t(k)].end;
        PathMember curve(b, nextA);
        curve.flags = PM_CURVE;
        curve.ctrl1 = b + (corner - b) * 0.666666;
        curve.ctrl2 = corner + (nextA - corner) * 0.333333;
        rounded.members.Append(curve);
    }
    rounded.members.first()->start = rounded.members.last()->end;
    sp = rounded;
}
