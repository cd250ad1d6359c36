// Regular shapes: generated contours, handles, the transforms they take, records and copies.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>

#include "ObjectArchive.h"
#include "mfc/CMenu.h"
#include "mfc/CWnd.h"
#include "model/CShapeObj.h"
#include "model/ViewHooks.h"
#include "pathkit/NumericToolkit.h"
#include "win32/user.h"

namespace {

constexpr double Pi = std::numbers::pi;
constexpr float Tol = 1e-5f;

double Angle(const floatPoint& p) {
    return std::atan2(double(p.y), double(p.x));
}

double Radius(const floatPoint& p) {
    return std::hypot(double(p.x), double(p.y));
}

void ExpectNear(const floatPoint& p, double x, double y, double tol = Tol) {
    EXPECT_NEAR(p.x, x, tol);
    EXPECT_NEAR(p.y, y, tol);
}

// The ends of every member of the shape's contour.
std::vector<floatPoint> Vertices(CShapeObj& s) {
    std::vector<floatPoint> out;
    for (const SubPath& sp : s.m_path.subPaths)
        for (const PathMember& pm : sp.members)
            out.push_back(pm.end);
    return out;
}

void MakeShape(CRegShapeObj& s, CRegShapeObj::ShapeKind kind, int corners, BOOL rounded = 0) {
    s.m_nShapeKind = kind;
    s.m_nCorners = BYTE(corners);
    s.m_bRounded = BYTE(rounded);
    s.RebuildShape();
}

ByteWriter& Matrix(ByteWriter& w, const floatTMatrix& m) {
    return w.f32(m.m11).f32(m.m12).f32(m.m21).f32(m.m22).f32(m.dx).f32(m.dy);
}

// Equal paths: the same members in the same order.
void ExpectSamePath(const Path& a, const Path& b) {
    ASSERT_EQ(a.subPaths.Filled(), b.subPaths.Filled());
    for (std::uint16_t i = 0; i < a.subPaths.Filled(); ++i) {
        const SubPath& sa = a.subPaths[i];
        const SubPath& sb = b.subPaths[i];
        ASSERT_EQ(sa.members.Filled(), sb.members.Filled());
        for (std::uint16_t k = 0; k < sa.members.Filled(); ++k) {
            EXPECT_EQ(sa.members[k].flags, sb.members[k].flags);
            EXPECT_EQ(sa.members[k].start, sb.members[k].start);
            EXPECT_EQ(sa.members[k].end, sb.members[k].end);
        }
    }
}

} // namespace

TEST(ShapeObjTest, NewShapeIsASquareStandingOnAnEdge) {
    CRegShapeObj s;
    EXPECT_EQ(s.m_nShapeKind, CRegShapeObj::Polygon);
    EXPECT_EQ(s.m_nCorners, 4);
    EXPECT_FLOAT_EQ(s.m_fInnerRadius, 0.35355339f);
    EXPECT_EQ(s.GetColor(), NO_COLOR);
    EXPECT_EQ(s.GetLayer(), 1);
    EXPECT_EQ(s.IsEditable(), 0);
    s.RebuildShape();
    EXPECT_DOUBLE_EQ(s.GetStartAngle(), Pi / 4);
    floatPoint v;
    ASSERT_TRUE(s.GetHandlePoint(1, v));
    ExpectNear(v, std::sqrt(0.5), std::sqrt(0.5));
    // Four corners at ±45° and ±135°: a box of ±√½, one closed contour.
    ASSERT_EQ(s.m_path.subPaths.Filled(), 1);
    EXPECT_TRUE(s.m_path.subPaths[0].IsClosed());
    const auto corners = Vertices(s);
    ASSERT_EQ(corners.size(), 4u);
    for (const floatPoint& p : corners) {
        EXPECT_NEAR(Radius(p), 1, Tol);
        EXPECT_NEAR(std::fabs(std::remainder(Angle(p) - Pi / 4, Pi / 2)), 0, 1e-6);
    }
    const floatBBox& box = *s.GetBBox();
    EXPECT_NEAR(box.left, -std::sqrt(0.5), Tol);
    EXPECT_NEAR(box.top, std::sqrt(0.5), Tol);
}

TEST(ShapeObjTest, StartAngles) {
    const struct {
        CRegShapeObj::ShapeKind kind;
        int corners;
        double degrees;
    } cases[] = {
        {CRegShapeObj::Polygon, 3, 90},  {CRegShapeObj::Polygon, 5, 90},
        {CRegShapeObj::Polygon, 4, 45},  {CRegShapeObj::Polygon, 6, 60},
        {CRegShapeObj::Polygon, 14, 78}, // 180 / 14 is 12 whole degrees
        {CRegShapeObj::Star, 6, 90},     {CRegShapeObj::Ellipse, 4, 90},
    };
    for (const auto& c : cases) {
        CRegShapeObj s;
        MakeShape(s, c.kind, c.corners);
        EXPECT_NEAR(s.GetStartAngle(), c.degrees * Pi / 180, 1e-12) << c.corners;
    }
    // A pentagon points up.
    CRegShapeObj pentagon;
    MakeShape(pentagon, CRegShapeObj::Polygon, 5);
    floatPoint v;
    ASSERT_TRUE(pentagon.GetHandlePoint(1, v));
    ExpectNear(v, 0, 1);
    EXPECT_NEAR(pentagon.GetBBox()->top, 1, Tol);
    EXPECT_EQ(Vertices(pentagon).size(), 5u);
}

TEST(ShapeObjTest, EllipseIsTheUnitCircleInFourCubics) {
    CRegShapeObj s;
    MakeShape(s, CRegShapeObj::Ellipse, 4);
    s.m_matrix = floatTMatrix(2, 0, 0, 1, 10, 20);
    s.RebuildShape();
    ASSERT_EQ(s.m_path.subPaths.Filled(), 1);
    const SubPath& sp = s.m_path.subPaths[0];
    ASSERT_EQ(sp.members.Filled(), 4);
    for (const PathMember& pm : sp.members) {
        EXPECT_TRUE(pm.IsCurve());
        floatPoint mid;
        pm.GetPointAt(PM_PARAM_ONE / 2, mid);
        // On the ellipse x²/4 + y² = 1 about (10, 20), within the cubic's error.
        const double x = (mid.x - 10) / 2, y = mid.y - 20;
        EXPECT_NEAR(std::hypot(x, y), 1, 3e-4);
    }
    ExpectNear(s.GetBBox()->LB(), 8, 19);
    ExpectNear(s.GetBBox()->RT(), 12, 21);
    EXPECT_EQ(s.GetHandleCount(), 2);
}

TEST(ShapeObjTest, StarInnerVerticesAndTheInnerHandle) {
    CRegShapeObj s;
    MakeShape(s, CRegShapeObj::Star, 5);
    EXPECT_EQ(s.GetHandleCount(), 3);
    // Inner vertices midway between the points, at the inner radius.
    const auto v = Vertices(s);
    ASSERT_EQ(v.size(), 10u);
    int inner = 0;
    for (const floatPoint& p : v) {
        if (std::fabs(Radius(p) - 1) < Tol) continue;
        ++inner;
        EXPECT_NEAR(Radius(p), s.m_fInnerRadius, Tol);
        EXPECT_NEAR(std::fabs(std::remainder(Angle(p) - Pi / 2 - Pi / 5, 2 * Pi / 5)), 0, 1e-5);
    }
    EXPECT_EQ(inner, 5);

    floatPoint h;
    ASSERT_TRUE(s.GetHandlePoint(2, h));
    EXPECT_NEAR(Radius(h), s.m_fInnerRadius, Tol);
    EXPECT_NEAR(Angle(h), Pi / 2 + Pi / 5, 1e-6);

    // Dragged outwards the inner vertex stops at cos(δ/2), δ = 72°.
    s.MoveHandle(2, floatPoint(0, 3), 0);
    EXPECT_FLOAT_EQ(s.m_fInnerRadius, float(std::cos(36 * Pi / 180)));
    EXPECT_NEAR(s.m_fInnerAngle, 0, 1e-6);
    EXPECT_EQ(s.m_bCustomized, 1);
    // A quarter of the way to the next point, at radius 0.3.
    const double a = Pi / 2 + 0.25 * 72 * Pi / 180;
    s.MoveHandle(2, floatPoint(float(0.3 * std::cos(a)), float(0.3 * std::sin(a))), 0);
    EXPECT_NEAR(s.m_fInnerRadius, 0.3, Tol);
    EXPECT_NEAR(s.m_fInnerAngle, 0.25, Tol);
    ASSERT_TRUE(s.GetHandlePoint(2, h));
    EXPECT_NEAR(Angle(h), a, 1e-5);
    // Ctrl puts it midway again.
    s.MoveHandle(2, floatPoint(0.1f, 0.1f), MK_CONTROL);
    EXPECT_FLOAT_EQ(s.m_fInnerAngle, 0.5f);

    // The inner handle goes through the placement both ways.
    s.m_matrix = floatTMatrix(0, 2, -2, 0, 5, 5); // quarter turn, twice the size
    s.RebuildShape();
    s.MoveHandle(2, floatPoint(5 - 2 * 5, 5), 0); // unit point (0, 5): straight up
    EXPECT_FLOAT_EQ(s.m_fInnerRadius, float(std::cos(36 * Pi / 180)));
    EXPECT_NEAR(s.m_fInnerAngle, 0, 1e-6);

    // Polygons have no inner handle.
    CRegShapeObj polygon;
    MakeShape(polygon, CRegShapeObj::Polygon, 5);
    EXPECT_FALSE(polygon.GetHandlePoint(2, h));
}

TEST(ShapeObjTest, CentreAndVertexHandles) {
    CRegShapeObj s;
    MakeShape(s, CRegShapeObj::Polygon, 5);
    s.MoveHandle(0, floatPoint(10, 20), 0);
    floatPoint c, v;
    ASSERT_TRUE(s.GetHandlePoint(0, c));
    ExpectNear(c, 10, 20);
    ExpectNear(s.GetBBox()->LT(), 10 - std::sin(72 * Pi / 180), 21);

    // Turned onto the x axis and stretched to radius 3.
    s.MoveHandle(1, floatPoint(13, 20), 0);
    ASSERT_TRUE(s.GetHandlePoint(1, v));
    ExpectNear(v, 13, 20, 1e-4);
    ASSERT_TRUE(s.GetHandlePoint(0, c));
    ExpectNear(c, 10, 20, 1e-4);
    EXPECT_TRUE(GetLastKeyHints().ctrl);
    EXPECT_FALSE(GetLastKeyHints().shift);

    // Ctrl scales without turning: the vertex stays on the x axis.
    s.MoveHandle(1, floatPoint(10, 21), MK_CONTROL);
    ASSERT_TRUE(s.GetHandlePoint(1, v));
    ExpectNear(v, 11, 20, 1e-4);

    // A drag onto the centre keeps the size.
    s.MoveHandle(1, floatPoint(10, 20), MK_CONTROL);
    ASSERT_TRUE(s.GetHandlePoint(1, v));
    ExpectNear(v, 11, 20, 1e-4);
}

TEST(ShapeObjTest, RoundedCorners) {
    CRegShapeObj s;
    MakeShape(s, CRegShapeObj::Polygon, 4, 1);
    EXPECT_EQ(s.GetHandleCount(), 4);
    ASSERT_EQ(s.m_path.subPaths.Filled(), 1);
    const SubPath& sp = s.m_path.subPaths[0];
    ASSERT_EQ(sp.members.Filled(), 8);
    EXPECT_TRUE(sp.IsClosed());
    // Edges √2 long, cut back by 0.1 × √2: a corner's middle lies at (h − r/4)·√2 = 0.95
    // from the centre.
    int curves = 0;
    for (const PathMember& pm : sp.members) {
        if (!pm.IsCurve()) {
            EXPECT_NEAR(std::hypot(pm.end.x - pm.start.x, pm.end.y - pm.start.y),
                        std::sqrt(2) * 0.8, Tol);
            continue;
        }
        ++curves;
        floatPoint mid;
        pm.GetPointAt(PM_PARAM_ONE / 2, mid);
        EXPECT_NEAR(Radius(mid), 0.95, Tol);
    }
    EXPECT_EQ(curves, 4);
    ExpectNear(s.GetBBox()->RT(), std::sqrt(0.5), std::sqrt(0.5));

    // The rounding handle sits 0.1 along the top edge from its right end.
    const double h = std::sqrt(0.5);
    floatPoint r;
    ASSERT_TRUE(s.GetHandlePoint(3, r));
    ExpectNear(r, h - 0.2 * h, h);
    s.MoveHandle(3, floatPoint(0, float(h)), 0);
    EXPECT_FLOAT_EQ(s.m_fRounding, 0.5f);
    s.MoveHandle(3, floatPoint(5, float(h)), 0);
    EXPECT_FLOAT_EQ(s.m_fRounding, 0.01f);
    s.MoveHandle(3, floatPoint(float(h - 0.3 * 2 * h), -7), 0);
    EXPECT_NEAR(s.m_fRounding, 0.3, Tol);
    EXPECT_EQ(s.m_bCustomized, 1);

    // A rounded star carries its handle on a point's outgoing edge.
    CRegShapeObj star;
    MakeShape(star, CRegShapeObj::Star, 5, 1);
    EXPECT_EQ(star.GetHandleCount(), 4);
    EXPECT_EQ(star.m_path.subPaths[0].members.Filled(), 20);
    ASSERT_TRUE(star.GetHandlePoint(3, r));
    const floatPoint tip(0, 1);
    floatPoint in;
    ASSERT_TRUE(star.GetHandlePoint(2, in));
    ExpectNear(r, tip.x + 0.1 * (in.x - tip.x), tip.y + 0.1 * (in.y - tip.y));

    // Ellipses are never rounded.
    CRegShapeObj ellipse;
    MakeShape(ellipse, CRegShapeObj::Ellipse, 4, 1);
    EXPECT_EQ(ellipse.m_path.subPaths[0].members.Filled(), 4);
    EXPECT_FALSE(ellipse.GetHandlePoint(3, r));
}

TEST(ShapeObjTest, RoundedShapesTakeOnlySimilarities) {
    const struct {
        const char* name;
        floatTMatrix m;
        BOOL sharp, rounded;
    } cases[] = {
        {"uniform scale", floatTMatrix(3, 0, 0, 3, 1, 1), 1, 1},
        {"turn and scale", floatTMatrix(0.6f, 0.8f, -0.8f, 0.6f, 0, 0), 1, 1},
        {"mirror", floatTMatrix(-1, 0, 0, 1, 0, 0), 1, 1},
        {"stretch", floatTMatrix(2, 0, 0, 1, 0, 0), 1, 0},
        {"slight stretch", floatTMatrix(1.01f, 0, 0, 1, 0, 0), 1, 0},
        {"shear", floatTMatrix(1, 0, 0.5f, 1, 0, 0), 1, 0},
        {"collapsed", floatTMatrix(0, 0, 0, 0, 0, 0), 1, 0},
    };
    CRegShapeObj sharp;
    MakeShape(sharp, CRegShapeObj::Polygon, 6);
    CRegShapeObj rounded;
    MakeShape(rounded, CRegShapeObj::Polygon, 6, 1);
    for (const auto& c : cases) {
        EXPECT_EQ(sharp.AcceptsTransform(c.m), c.sharp) << c.name;
        EXPECT_EQ(rounded.AcceptsTransform(c.m), c.rounded) << c.name;
    }
}

TEST(ShapeObjTest, TransformMovesThePlacementWithThePath) {
    CRegShapeObj s;
    MakeShape(s, CRegShapeObj::Star, 6);
    s.Transform(floatTMatrix(2, 0, 0, 3, 5, -5));
    EXPECT_EQ(s.m_matrix, floatTMatrix(2, 0, 0, 3, 5, -5));
    const floatBBox moved = *s.GetBBox();
    s.RebuildShape();
    ExpectNear(s.GetBBox()->LB(), moved.left, moved.bottom);
    ExpectNear(s.GetBBox()->RT(), moved.right, moved.top);
    ExpectNear(s.GetBBox()->LT(), 5 - 2 * std::cos(Pi / 6), 3 - 5);

    floatBBox handles;
    s.GetHandlesBox(handles);
    EXPECT_EQ(handles.left, moved.left);
    EXPECT_EQ(handles.top, moved.top);
}

TEST(ShapeObjTest, RecordMatchesFixtureAndRebuildsThePath) {
    CRegShapeObj s;
    MakeShape(s, CRegShapeObj::Star, 7, 1);
    s.m_matrix = floatTMatrix(0, 4, -4, 0, 20, 30);
    s.m_fInnerRadius = 0.4f;
    s.m_fInnerAngle = 0.3f;
    s.m_bCustomized = 1;
    s.m_fRounding = 0.2f;
    s.SetColor(RGB(1, 2, 3));
    s.SetLayer(-5, 0);
    s.m_path.pathFlags = CP_LINES_ONLY;
    s.RebuildShape();
    s.UpdateStamp();

    const Bytes got = StoreObj([&](CArchive& ar) { s.Serialize(ar); });
    ByteWriter w;
    w.append(StoreObj([&](CArchive& ar) { s.CSignObj::Serialize(ar); }));
    w.u16(1).u32(RGB(1, 2, 3)).u16(0xFFFB).u16(1);
    Matrix(w, s.m_matrix);
    w.u16(1).u8(2).u8(1).u8(7).f32(0.4f).f32(0.3f).u8(1).f32(0.2f);
    EXPECT_EQ(got, w.bytes);

    // Two loads give the same path as the original.
    CRegShapeObj a, b;
    LoadObj(a, got);
    LoadObj(b, got);
    ExpectSamePath(a.m_path, s.m_path);
    ExpectSamePath(b.m_path, a.m_path);
    a.UpdateStamp();
    EXPECT_EQ(a.m_nStamp, s.m_nStamp);
    EXPECT_EQ(a.GetColor(), RGB(1, 2, 3));
    EXPECT_EQ(a.GetLayer(), -5);
    EXPECT_TRUE(a.IsLinesOnly());
    EXPECT_EQ(a.m_nRoundCorner, s.m_nRoundCorner);

    // Bad records: newer versions, unknown kinds, too few corners (0 included).
    const std::size_t regVersion = got.size() - 18;
    const std::size_t shapeVersion = regVersion - 24 - 10;
    const struct {
        const char* name;
        std::size_t at;
        std::uint8_t value;
    } bad[] = {
        {"shape version 2", shapeVersion, 2}, {"regular shape version 2", regVersion, 2},
        {"kind 3", regVersion + 2, 3},        {"2 corners", regVersion + 4, 2},
        {"no corners", regVersion + 4, 0},
    };
    for (const auto& c : bad) {
        Bytes bytes = got;
        bytes[c.at] = c.value;
        CRegShapeObj refused;
        std::string file;
        EXPECT_EQ(ArchiveCause([&] { LoadObj(refused, bytes); }, &file), 5) << c.name;
        EXPECT_EQ(file, "design.wtp") << c.name;
    }
    // Three corners are the least.
    Bytes three = got;
    three[regVersion + 4] = 3;
    CRegShapeObj triangle;
    LoadObj(triangle, three);
    // Six edges, each a line and a rounded corner.
    EXPECT_EQ(triangle.m_path.subPaths[0].members.Filled(), 12);

    // Values no editor makes still load into some contour, or none.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        const char* name;
        std::size_t at;
        float value;
    } odd[] = {
        {"matrix not a number", regVersion - 24, nan},
        {"matrix infinite", regVersion - 24, inf},
        {"matrix huge", regVersion - 8, 3e38f},
        {"matrix collapsed", regVersion - 24, 0},
        {"inner radius not a number", regVersion + 5, nan},
        {"inner radius huge", regVersion + 5, -3e38f},
        {"inner angle infinite", regVersion + 9, -inf},
        {"rounding not a number", regVersion + 14, nan},
        {"rounding huge", regVersion + 14, 1e30f},
    };
    KeepSerials keep;
    for (const auto& c : odd) {
        Bytes bytes = got;
        std::memcpy(&bytes[c.at], &c.value, 4);
        if (c.at == regVersion - 24) std::memcpy(&bytes[c.at + 12], &c.value, 4);
        CRegShapeObj loaded;
        EXPECT_EQ(ArchiveCause([&] { LoadObj(loaded, bytes); }), -1) << c.name;
        EXPECT_EQ(StoreObj([&](CArchive& ar) { loaded.Serialize(ar); }), bytes) << c.name;
    }
}

TEST(ShapeObjTest, SnapshotRestoresParametersAndPath) {
    CRegShapeObj s;
    MakeShape(s, CRegShapeObj::Star, 5);
    s.m_matrix = floatTMatrix(3, 0, 0, 3, 1, 2);
    s.m_fInnerRadius = 0.25f;
    s.RebuildShape();
    s.UpdateStamp();
    const Bytes state = StoreState(s);
    // The stamp, colour, layer, flags, matrix and the parameters, no versions.
    EXPECT_EQ(state.size(), 4u + 8 + 24 + 3 + 12 + 1);

    CRegShapeObj back;
    LoadState(back, state);
    EXPECT_EQ(back.m_nStamp, s.m_nStamp);
    EXPECT_EQ(back.m_nShapeKind, CRegShapeObj::Star);
    EXPECT_EQ(back.m_fInnerRadius, 0.25f);
    ExpectSamePath(back.m_path, s.m_path);
}

TEST(ShapeObjTest, CopiesAndEditablePaths) {
    CRegShapeObj s;
    MakeShape(s, CRegShapeObj::Star, 8, 1);
    s.m_matrix = floatTMatrix(2, 0, 0, 2, 3, 3);
    s.m_fRounding = 0.2f;
    s.SetColor(RGB(9, 9, 9));
    s.SetLayer(4, 0);
    s.m_fOutlineWidth = 0.5f;
    s.RebuildShape();

    std::unique_ptr<CSignObj> copy(s.Duplicate());
    auto* pShape = dynamic_cast<CRegShapeObj*>(copy.get());
    ASSERT_NE(pShape, nullptr);
    EXPECT_EQ(pShape->m_nCorners, 8);
    EXPECT_EQ(pShape->m_fRounding, 0.2f);
    EXPECT_EQ(pShape->m_matrix, s.m_matrix);
    EXPECT_EQ(pShape->GetColor(), RGB(9, 9, 9));
    EXPECT_EQ(pShape->GetLayer(), 4);
    EXPECT_EQ(pShape->m_fOutlineWidth, 0.5f);
    ExpectSamePath(pShape->m_path, s.m_path);

    // Node editing works on a plain path object copied from the shape.
    std::unique_ptr<CSignObj> editable(s.GetEditablePath());
    ASSERT_NE(editable.get(), &s);
    auto* pPath = dynamic_cast<CPathObj*>(editable.get());
    ASSERT_NE(pPath, nullptr);
    EXPECT_EQ(pPath->GetRuntimeClass(), RUNTIME_CLASS(CPathObj));
    EXPECT_EQ(pPath->IsEditable(), 1);
    EXPECT_EQ(pPath->GetColor(), RGB(9, 9, 9));
    ExpectSamePath(pPath->m_path, s.m_path);
}

TEST(ShapeObjTest, EditStartsTheShapeToolAndTheMenuGetsItsSeparator) {
    CRegShapeObj s;
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "view", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr));
    MSG msg;
    while (PeekMessageA(&msg, wnd.GetSafeHwnd(), 0, 0, PM_REMOVE)) {
    }
    s.Edit(&wnd);
    ASSERT_TRUE(PeekMessageA(&msg, wnd.GetSafeHwnd(), WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(msg.wParam, WPARAM(ID_TOOL_REGSHAPE));
    EXPECT_EQ(msg.lParam, 0);
    wnd.DestroyWindow();

    // Without the menu resource only the separator comes.
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    s.ExtendContextMenu(&menu);
    ASSERT_EQ(menu.GetMenuItemCount(), 1);
    EXPECT_TRUE(menu.GetMenuState(0, MF_BYPOSITION) & MF_SEPARATOR);
}
