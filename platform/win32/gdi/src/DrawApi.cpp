// Lines, curves and shapes. Outlines run through the pixel centres of the device points;
// polygon fills take the points as pixel corners (see Raster.h). While a path is open the
// primitives add figures to it instead of drawing.

#include <algorithm>
#include <cmath>

#include "GdiPath.h"
#include "GdiSettings.h"
#include "MetaRecorder.h"
#include "Paint.h"
#include "win32/user.h"

using namespace sdgdi;

namespace {

using Line = std::vector<FixPoint>;

FixPoint centreFix(POINT p) {
    return FixPoint{std::int64_t(p.x) * kFix + kFix / 2, std::int64_t(p.y) * kFix + kFix / 2};
}
FixPoint cornerFix(POINT p) {
    return FixPoint{std::int64_t(p.x) * kFix, std::int64_t(p.y) * kFix};
}
// A point in pixel units (corner coordinates) as pixel-centre fixed point.
FixPoint fixAt(double x, double y) {
    auto r = [](double v) {
        v = std::floor(v * kFix + 0.5);
        const double lim = 4.0e18;
        return std::int64_t(!(v == v) ? 0 : v < -lim ? -lim : v > lim ? lim : v);
    };
    return FixPoint{r(x), r(y)};
}

void stroke(DeviceContext& dc, const Line& line, bool closed) {
    strokeWithPen(dc, {line}, {closed});
}

bool failArgs() {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
}

struct Box {
    double l, t, r, b; // device, normalised
};
Box deviceBox(DeviceContext& dc, int left, int top, int right, int bottom) {
    POINT a = dc.lpToDpPoint(left, top), c = dc.lpToDpPoint(right, bottom);
    return Box{double(std::min(a.x, c.x)), double(std::min(a.y, c.y)), double(std::max(a.x, c.x)),
               double(std::max(a.y, c.y))};
}

// Points of an elliptic arc inside box (pixel centres), from angle a0 sweeping `sweep`
// radians counter-clockwise on the screen (negative: clockwise).
void arcPoints(const Box& bx, double a0, double sweep, Line& out) {
    double cx = (bx.l + bx.r) / 2, cy = (bx.t + bx.b) / 2;
    double rx = std::max(0.0, (bx.r - bx.l - 1) / 2), ry = std::max(0.0, (bx.b - bx.t - 1) / 2);
    double r = std::max(rx, ry);
    int n = 4;
    if (r > 0.25) {
        double step = 2 * std::acos(std::max(0.0, 1 - 0.125 / r));
        n = std::clamp(int(std::ceil(std::fabs(sweep) / step)), 4, 8192);
    }
    for (int i = 0; i <= n; ++i) {
        double t = a0 + sweep * i / n;
        out.push_back(fixAt(cx + rx * std::cos(t), cy - ry * std::sin(t)));
    }
}

double angleOf(const Box& bx, POINT p) {
    double cx = (bx.l + bx.r) / 2, cy = (bx.t + bx.b) / 2;
    double rx = std::max(0.5, (bx.r - bx.l) / 2), ry = std::max(0.5, (bx.b - bx.t) / 2);
    return std::atan2(-(p.y + 0.5 - cy) / ry, (p.x + 0.5 - cx) / rx);
}

double sweepOf(DeviceContext& dc, double a0, double a1) {
    if (dc.st.arcDirection == AD_COUNTERCLOCKWISE) {
        double s = a1 - a0;
        while (s <= 0)
            s += 2 * M_PI;
        return s;
    }
    double s = a1 - a0;
    while (s >= 0)
        s -= 2 * M_PI;
    return s;
}

void fillOutline(DeviceContext& dc, const Line& line) {
    fillWithBrush(dc, {line}, false);
}

// Polygons in corner fixed point, filled with the fill mode, then outlined.
void polygons(DeviceContext& dc, const std::vector<std::vector<POINT>>& polys) {
    std::vector<FixPolygon> fill(polys.size());
    for (std::size_t i = 0; i < polys.size(); ++i) {
        fill[i].reserve(polys[i].size());
        for (POINT q : polys[i])
            fill[i].push_back(cornerFix(q));
    }
    fillWithBrush(dc, fill, dc.st.polyFillMode == WINDING);
    // Outlines only for a pen that draws.
    if (!dc.draws() || penDeviceWidth(dc) <= 0) return;
    std::vector<Line> outlines(polys.size());
    for (std::size_t i = 0; i < polys.size(); ++i) {
        outlines[i].reserve(polys[i].size());
        for (POINT q : polys[i])
            outlines[i].push_back(centreFix(q));
    }
    strokeWithPen(dc, outlines, std::vector<bool>(outlines.size(), true));
}

// The path form of a closed device polyline.
void toPath(DeviceContext& dc, const Line& line) {
    std::vector<std::pair<double, double>> pts;
    for (const FixPoint& p : line)
        pts.emplace_back(double(p.x - kFix / 2) / kFix, double(p.y - kFix / 2) / kFix);
    pathPolygon(dc, pts);
}

} // namespace

std::string sdgdi::pointList(const POINT* points, std::size_t count) {
    std::string s;
    for (std::size_t i = 0; i < count; ++i) {
        if (i) s += ' ';
        s += std::to_string(points[i].x) + ',' + std::to_string(points[i].y);
    }
    return s;
}

BOOL MoveToEx(HDC dc, int x, int y, LPPOINT old) {
    auto d = dcOf(dc);
    if (!d) return FALSE;
    if (d->logging) d->record(callLine("MoveToEx", x, y));
    if (d->meta && !metaInts(*d, EMR_MOVETOEX, {x, y})) return FALSE;
    if (old) *old = d->st.position;
    d->st.position = POINT{x, y};
    if (d->st.pathOpen) {
        POINT p = d->lpToDpPoint(x, y);
        pathMoveTo(*d, p.x, p.y);
    }
    return TRUE;
}

BOOL LineTo(HDC dc, int x, int y) {
    auto d = dcOf(dc);
    if (!d) return FALSE;
    if (d->logging) d->record(callLine("LineTo", x, y));
    if (d->meta && !metaInts(*d, EMR_LINETO, {x, y})) return FALSE;
    if (injectedFailure("LineTo")) return FALSE;
    POINT a = d->lpToDpPoint(d->st.position.x, d->st.position.y), b = d->lpToDpPoint(x, y);
    d->st.position = POINT{x, y};
    if (d->st.pathOpen) {
        pathLineTo(*d, b.x, b.y);
        return TRUE;
    }
    stroke(*d, Line{centreFix(a), centreFix(b)}, false);
    return TRUE;
}

BOOL Polyline(HDC dc, const POINT* points, int count) {
    auto d = dcOf(dc);
    if (!d) return FALSE;
    if (count < 2 || !points) return failArgs();
    if (d->logging) d->record(callLine("Polyline", count, pointList(points, std::size_t(count))));
    if (d->meta && !metaPoly(*d, EMR_POLYLINE, points, std::size_t(count))) return FALSE;
    if (injectedFailure("Polyline")) return FALSE;
    if (d->st.pathOpen) {
        POINT p = d->lpToDpPoint(points[0].x, points[0].y);
        pathMoveTo(*d, p.x, p.y);
        for (int i = 1; i < count; ++i) {
            p = d->lpToDpPoint(points[i].x, points[i].y);
            pathLineTo(*d, p.x, p.y);
        }
        return TRUE;
    }
    Line line;
    for (int i = 0; i < count; ++i)
        line.push_back(centreFix(d->lpToDpPoint(points[i].x, points[i].y)));
    stroke(*d, line, false);
    return TRUE;
}

BOOL PolylineTo(HDC dc, const POINT* points, DWORD count) {
    auto d = dcOf(dc);
    if (!d) return FALSE;
    if (count < 1 || count > 0x7FFFFFFF || !points) return failArgs();
    if (d->logging) d->record(callLine("PolylineTo", count, pointList(points, count)));
    if (d->meta && !metaPoly(*d, EMR_POLYLINETO, points, count)) return FALSE;
    if (injectedFailure("PolylineTo")) return FALSE;
    Line line{centreFix(d->lpToDpPoint(d->st.position.x, d->st.position.y))};
    for (DWORD i = 0; i < count; ++i) {
        POINT p = d->lpToDpPoint(points[i].x, points[i].y);
        if (d->st.pathOpen) pathLineTo(*d, p.x, p.y);
        line.push_back(centreFix(p));
    }
    d->st.position = points[count - 1];
    if (!d->st.pathOpen) stroke(*d, line, false);
    return TRUE;
}

BOOL PolyPolyline(HDC dc, const POINT* points, const DWORD* counts, DWORD polylines) {
    auto d = dcOf(dc);
    if (!d) return FALSE;
    if (!points || !counts || polylines == 0 || polylines > 0x7FFFFFFF) return failArgs();
    for (DWORD i = 0; i < polylines; ++i)
        if (counts[i] < 2 || counts[i] > 0x7FFFFFFF) return failArgs();
    if (d->logging) d->record(callLine("PolyPolyline", polylines));
    if (d->meta &&
        !metaPolyPoly(*d, EMR_POLYPOLYLINE, points, std::vector<DWORD>(counts, counts + polylines)))
        return FALSE;
    if (injectedFailure("PolyPolyline")) return FALSE;
    const POINT* p = points;
    auto meta = std::move(d->meta); // recorded as one record above
    for (DWORD i = 0; i < polylines; ++i) {
        Polyline(dc, p, int(counts[i]));
        p += counts[i];
    }
    d->meta = std::move(meta);
    return TRUE;
}

namespace {

BOOL bezier(HDC dc, const POINT* points, DWORD count, bool fromCurrent) {
    auto d = dcOf(dc);
    if (!d) return FALSE;
    const char* name = fromCurrent ? "PolyBezierTo" : "PolyBezier";
    if (!points || count > 0x7FFFFFFF) return failArgs();
    if (fromCurrent ? (count < 3 || count % 3 != 0) : (count < 4 || (count - 1) % 3 != 0))
        return failArgs();
    if (d->logging) d->record(callLine(name, count, pointList(points, count)));
    if (d->meta && !metaPoly(*d, fromCurrent ? EMR_POLYBEZIERTO : EMR_POLYBEZIER, points, count))
        return FALSE;
    if (injectedFailure(name)) return FALSE;
    POINT start = fromCurrent ? d->st.position : points[0];
    const POINT* rest = fromCurrent ? points : points + 1;
    DWORD n = fromCurrent ? count : count - 1;
    POINT s = d->lpToDpPoint(start.x, start.y);
    if (d->st.pathOpen) {
        if (!fromCurrent) pathMoveTo(*d, s.x, s.y);
        for (DWORD i = 0; i + 2 < n; i += 3) {
            POINT a = d->lpToDpPoint(rest[i].x, rest[i].y),
                  b = d->lpToDpPoint(rest[i + 1].x, rest[i + 1].y),
                  c = d->lpToDpPoint(rest[i + 2].x, rest[i + 2].y);
            const double pts[6] = {double(a.x), double(a.y), double(b.x),
                                   double(b.y), double(c.x), double(c.y)};
            pathBezierTo(*d, pts);
        }
    } else {
        Line line{centreFix(s)};
        for (DWORD i = 0; i + 2 < n; i += 3) {
            FixPoint p0 = line.back();
            flattenBezier(p0, centreFix(d->lpToDpPoint(rest[i].x, rest[i].y)),
                          centreFix(d->lpToDpPoint(rest[i + 1].x, rest[i + 1].y)),
                          centreFix(d->lpToDpPoint(rest[i + 2].x, rest[i + 2].y)), line);
        }
        stroke(*d, line, false);
    }
    if (fromCurrent) d->st.position = points[count - 1];
    return TRUE;
}

} // namespace

BOOL PolyBezier(HDC dc, const POINT* points, DWORD count) {
    return bezier(dc, points, count, false);
}

BOOL PolyBezierTo(HDC dc, const POINT* points, DWORD count) {
    return bezier(dc, points, count, true);
}

BOOL Polygon(HDC dc, const POINT* points, int count) {
    auto d = dcOf(dc);
    if (!d) return FALSE;
    if (count < 2 || !points) return failArgs();
    if (d->logging) d->record(callLine("Polygon", count, pointList(points, std::size_t(count))));
    if (d->meta && !metaPoly(*d, EMR_POLYGON, points, std::size_t(count))) return FALSE;
    if (injectedFailure("Polygon")) return FALSE;
    std::vector<POINT> dev;
    for (int i = 0; i < count; ++i)
        dev.push_back(d->lpToDpPoint(points[i].x, points[i].y));
    if (d->st.pathOpen) {
        std::vector<std::pair<double, double>> pts;
        for (POINT p : dev)
            pts.emplace_back(p.x, p.y);
        pathPolygon(*d, pts);
        return TRUE;
    }
    polygons(*d, {dev});
    return TRUE;
}

BOOL PolyPolygon(HDC dc, const POINT* points, const INT* counts, int count) {
    auto d = dcOf(dc);
    if (!d) return FALSE;
    if (count < 1 || !points || !counts) return failArgs();
    std::int64_t total = 0;
    for (int i = 0; i < count; ++i) {
        if (counts[i] < 2) return failArgs();
        total += counts[i];
    }
    if (total > 0x7FFFFFFF) return failArgs();
    if (d->logging) d->record(callLine("PolyPolygon", count, total));
    if (d->meta &&
        !metaPolyPoly(*d, EMR_POLYPOLYGON, points, std::vector<DWORD>(counts, counts + count)))
        return FALSE;
    if (injectedFailure("PolyPolygon")) return FALSE;
    std::vector<std::vector<POINT>> polys;
    polys.reserve(std::size_t(count));
    const Matrix toDev = d->toDevice();
    const POINT* p = points;
    for (int i = 0; i < count; ++i) {
        std::vector<POINT> dev;
        dev.reserve(std::size_t(counts[i]));
        for (int k = 0; k < counts[i]; ++k)
            dev.push_back(DeviceContext::lpToDpPoint(toDev, p[k].x, p[k].y));
        p += counts[i];
        polys.push_back(std::move(dev));
    }
    if (d->st.pathOpen) {
        for (const auto& poly : polys) {
            std::vector<std::pair<double, double>> pts;
            for (POINT q : poly)
                pts.emplace_back(q.x, q.y);
            pathPolygon(*d, pts);
        }
        return TRUE;
    }
    polygons(*d, polys);
    return TRUE;
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
    auto d = dcOf(dc);
    if (!d) return FALSE;
    if (d->logging) d->record(callLine("Rectangle", left, top, right, bottom));
    if (d->meta && !metaInts(*d, EMR_RECTANGLE, {left, top, right, bottom})) return FALSE;
    if (injectedFailure("Rectangle")) return FALSE;
    Box b = deviceBox(*d, left, top, right, bottom);
    if (d->st.pathOpen) {
        pathPolygon(*d, {{b.l, b.t}, {b.r - 1, b.t}, {b.r - 1, b.b - 1}, {b.l, b.b - 1}});
        return TRUE;
    }
    if (b.r - b.l < 1 || b.b - b.t < 1) return TRUE;
    double w = penDeviceWidth(*d);
    const PenObject* pen = d->st.pen.get();
    if (w > 1.5 && pen->dash() == PS_INSIDEFRAME) {
        double inset = std::floor(w / 2);
        b = Box{b.l + inset, b.t + inset, b.r - inset, b.b - inset};
        if (b.r - b.l < 1 || b.b - b.t < 1) return TRUE;
    }
    // One pixel in from each side under a thin pen; without a pen, one pixel smaller.
    double in = w > 0 && w <= 1.5 ? 1 : 0;
    FixPolygon fill{fixAt(b.l + in, b.t + in), fixAt(b.r - 1, b.t + in), fixAt(b.r - 1, b.b - 1),
                    fixAt(b.l + in, b.b - 1)};
    fillWithBrush(*d, {fill}, false);
    Line o{fixAt(b.l + 0.5, b.t + 0.5), fixAt(b.r - 0.5, b.t + 0.5), fixAt(b.r - 0.5, b.b - 0.5),
           fixAt(b.l + 0.5, b.b - 0.5)};
    stroke(*d, o, true);
    return TRUE;
}

namespace {

// Closed outline of a shape in box b, drawn or added to the path.
BOOL closedShape(DeviceContext& d, const Line& outline) {
    if (d.st.pathOpen) {
        toPath(d, outline);
        return TRUE;
    }
    fillOutline(d, outline);
    stroke(d, outline, true);
    return TRUE;
}

Box insideFrame(DeviceContext& d, Box b) {
    double w = penDeviceWidth(d);
    if (w > 1.5 && d.st.pen->dash() == PS_INSIDEFRAME) {
        double inset = std::floor(w / 2);
        b = Box{b.l + inset, b.t + inset, b.r - inset, b.b - inset};
    }
    return b;
}

} // namespace

BOOL Ellipse(HDC dc, int left, int top, int right, int bottom) {
    auto d = dcOf(dc);
    if (!d) return FALSE;
    if (d->logging) d->record(callLine("Ellipse", left, top, right, bottom));
    if (d->meta && !metaInts(*d, EMR_ELLIPSE, {left, top, right, bottom})) return FALSE;
    if (injectedFailure("Ellipse")) return FALSE;
    Box b = insideFrame(*d, deviceBox(*d, left, top, right, bottom));
    if (b.r - b.l < 1 || b.b - b.t < 1) return TRUE;
    Line o;
    arcPoints(b, 0, 2 * M_PI, o);
    o.pop_back();
    return closedShape(*d, o);
}

BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height) {
    auto d = dcOf(dc);
    if (!d) return FALSE;
    if (d->logging) d->record(callLine("RoundRect", left, top, right, bottom, width, height));
    if (d->meta && !metaInts(*d, EMR_ROUNDRECT, {left, top, right, bottom, width, height}))
        return FALSE;
    if (injectedFailure("RoundRect")) return FALSE;
    Box b = insideFrame(*d, deviceBox(*d, left, top, right, bottom));
    if (b.r - b.l < 1 || b.b - b.t < 1) return TRUE;
    Matrix m = d->toDevice();
    double ew = std::min(std::fabs(width * std::hypot(m.a, m.b)), b.r - b.l);
    double eh = std::min(std::fabs(height * std::hypot(m.c, m.d)), b.b - b.t);
    Line o;
    // Corner boxes of the ellipse quarters, counter-clockwise from the top right.
    arcPoints(Box{b.r - ew, b.t, b.r, b.t + eh}, 0, M_PI / 2, o);
    arcPoints(Box{b.l, b.t, b.l + ew, b.t + eh}, M_PI / 2, M_PI / 2, o);
    arcPoints(Box{b.l, b.b - eh, b.l + ew, b.b}, M_PI, M_PI / 2, o);
    arcPoints(Box{b.r - ew, b.b - eh, b.r, b.b}, 3 * M_PI / 2, M_PI / 2, o);
    return closedShape(*d, o);
}

namespace {

enum class ArcKind { Arc, ArcTo, Chord, Pie };

BOOL arcShape(HDC dc, ArcKind kind, const char* name, int left, int top, int right, int bottom,
              int xs, int ys, int xe, int ye) {
    auto d = dcOf(dc);
    if (!d) return FALSE;
    if (d->logging) d->record(callLine(name, left, top, right, bottom, xs, ys, xe, ye));
    if (d->meta) {
        const DWORD emr = kind == ArcKind::Arc     ? EMR_ARC
                          : kind == ArcKind::ArcTo ? EMR_ARCTO
                          : kind == ArcKind::Chord ? EMR_CHORD
                                                   : EMR_PIE;
        if (!metaInts(*d, emr, {left, top, right, bottom, xs, ys, xe, ye})) return FALSE;
    }
    if (injectedFailure(name)) return FALSE;
    Box b = insideFrame(*d, deviceBox(*d, left, top, right, bottom));
    POINT s = d->lpToDpPoint(xs, ys), e = d->lpToDpPoint(xe, ye);
    double a0 = angleOf(b, s), a1 = angleOf(b, e);
    double sweep = sweepOf(*d, a0, a1);
    Line o;
    if (b.r - b.l >= 1 && b.b - b.t >= 1) arcPoints(b, a0, sweep, o);
    if (kind == ArcKind::ArcTo) {
        Line line{centreFix(d->lpToDpPoint(d->st.position.x, d->st.position.y))};
        line.insert(line.end(), o.begin(), o.end());
        o = line;
        if (!o.empty()) {
            // The new position is the arc's end, in logical units.
            double lx = double(o.back().x - kFix / 2) / kFix,
                   ly = double(o.back().y - kFix / 2) / kFix;
            Matrix inv;
            if (d->toDevice().invert(inv)) {
                double x, y;
                inv.apply(lx, ly, x, y);
                d->st.position = POINT{SdDeviceCoord(std::round(x)), SdDeviceCoord(std::round(y))};
            }
        }
    }
    if (o.empty()) return TRUE;
    if (kind == ArcKind::Pie) o.push_back(fixAt((b.l + b.r) / 2, (b.t + b.b) / 2));
    if (kind == ArcKind::Arc || kind == ArcKind::ArcTo) {
        if (d->st.pathOpen) {
            pathMoveTo(*d, double(o[0].x - kFix / 2) / kFix, double(o[0].y - kFix / 2) / kFix);
            for (std::size_t i = 1; i < o.size(); ++i)
                pathLineTo(*d, double(o[i].x - kFix / 2) / kFix, double(o[i].y - kFix / 2) / kFix);
            return TRUE;
        }
        stroke(*d, o, false);
        return TRUE;
    }
    return closedShape(*d, o);
}

} // namespace

BOOL Arc(HDC dc, int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
    return arcShape(dc, ArcKind::Arc, "Arc", l, t, r, b, xs, ys, xe, ye);
}
BOOL ArcTo(HDC dc, int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
    return arcShape(dc, ArcKind::ArcTo, "ArcTo", l, t, r, b, xs, ys, xe, ye);
}
BOOL Chord(HDC dc, int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
    return arcShape(dc, ArcKind::Chord, "Chord", l, t, r, b, xs, ys, xe, ye);
}
BOOL Pie(HDC dc, int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
    return arcShape(dc, ArcKind::Pie, "Pie", l, t, r, b, xs, ys, xe, ye);
}

namespace {

// System colour brushes passed as COLOR_* + 1.
std::shared_ptr<BrushObject> brushArg(HBRUSH brush) {
    auto v = reinterpret_cast<std::uintptr_t>(brush);
    if (v >= 1 && v <= 31) {
        // COLOR_* + 1 stands for the system colour.
        auto b = std::make_shared<BrushObject>();
        b->color = GetSysColor(int(v) - 1);
        return b;
    }
    return findAs<BrushObject>(brush, OBJ_BRUSH);
}

void fillDeviceRect(DeviceContext& d, const BrushObject* brush, const Box& b, int rop2) {
    if (!d.draws()) return;
    int saved = d.st.rop2;
    d.st.rop2 = rop2;
    Ink ink = Ink::brush(d, brush);
    Painter painter(d, ink);
    painter.span(std::int64_t(b.t), std::int64_t(b.b), std::int64_t(b.l), std::int64_t(b.r));
    d.st.rop2 = saved;
}

} // namespace

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    auto d = dcOf(dc);
    if (!d) return 0;
    if (!rect) return failArgs();
    auto b = brushArg(brush);
    if (!b) return 0;
    if (d->logging)
        d->record(callLine("FillRect", rect->left, rect->top, rect->right, rect->bottom));
    if (d->meta && !metaBrushBlts(*d, brush, {*rect}, PATCOPY)) return 0;
    if (injectedFailure("FillRect")) return 0;
    fillDeviceRect(*d, b.get(), deviceBox(*d, rect->left, rect->top, rect->right, rect->bottom),
                   R2_COPYPEN);
    return 1;
}

int FrameRect(HDC dc, const RECT* rect, HBRUSH brush) {
    auto d = dcOf(dc);
    if (!d) return 0;
    if (!rect) return failArgs();
    auto br = brushArg(brush);
    if (!br) return 0;
    if (d->logging)
        d->record(callLine("FrameRect", rect->left, rect->top, rect->right, rect->bottom));
    if (d->meta) {
        // The four sides, one logical unit wide, as the pixels below draw them.
        const RECT& r = *rect;
        std::vector<RECT> sides;
        if (r.right > r.left && r.bottom > r.top) {
            sides.push_back(RECT{r.left, r.top, r.right, r.top + 1});
            if (r.bottom - r.top > 1)
                sides.push_back(RECT{r.left, r.bottom - 1, r.right, r.bottom});
            if (r.bottom - r.top > 2) {
                sides.push_back(RECT{r.left, r.top + 1, r.left + 1, r.bottom - 1});
                if (r.right - r.left > 1)
                    sides.push_back(RECT{r.right - 1, r.top + 1, r.right, r.bottom - 1});
            }
        }
        if (!metaBrushBlts(*d, brush, sides, PATCOPY)) return 0;
    }
    Box b = deviceBox(*d, rect->left, rect->top, rect->right, rect->bottom);
    if (b.r <= b.l || b.b <= b.t) return 1;
    fillDeviceRect(*d, br.get(), Box{b.l, b.t, b.r, b.t + 1}, R2_COPYPEN);
    if (b.b - b.t > 1) fillDeviceRect(*d, br.get(), Box{b.l, b.b - 1, b.r, b.b}, R2_COPYPEN);
    fillDeviceRect(*d, br.get(), Box{b.l, b.t + 1, b.l + 1, b.b - 1}, R2_COPYPEN);
    if (b.r - b.l > 1)
        fillDeviceRect(*d, br.get(), Box{b.r - 1, b.t + 1, b.r, b.b - 1}, R2_COPYPEN);
    return 1;
}

BOOL InvertRect(HDC dc, const RECT* rect) {
    auto d = dcOf(dc);
    if (!d) return FALSE;
    if (!rect) return failArgs();
    if (d->logging)
        d->record(callLine("InvertRect", rect->left, rect->top, rect->right, rect->bottom));
    if (d->meta && !metaBrushBlts(*d, nullptr, {*rect}, DSTINVERT)) return FALSE;
    BrushObject black;
    fillDeviceRect(*d, &black, deviceBox(*d, rect->left, rect->top, rect->right, rect->bottom),
                   R2_NOT);
    return TRUE;
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
    auto d = dcOf(dc);
    if (!d) return CLR_INVALID;
    if (d->logging) d->record(callLine("SetPixel", x, y, color));
    if (d->meta && !metaInts(*d, EMR_SETPIXELV, {x, y, LONG(color)})) return CLR_INVALID;
    Surface* s = d->surface();
    if (!s) return color;
    POINT p = d->lpToDpPoint(x, y);
    Ink ink = Ink::solid(*d, color);
    int saved = d->st.rop2;
    d->st.rop2 = R2_COPYPEN;
    Painter painter(*d, ink);
    painter.pixel(p.x, p.y);
    d->st.rop2 = saved;
    if (p.x < 0 || p.y < 0 || p.x >= s->width() || p.y >= s->height()) return CLR_INVALID;
    return s->colorFromRaw(s->get(p.x, p.y));
}

BOOL SetPixelV(HDC dc, int x, int y, COLORREF color) {
    return SetPixel(dc, x, y, color) != CLR_INVALID;
}

COLORREF GetPixel(HDC dc, int x, int y) {
    auto d = dcOf(dc);
    if (!d) return CLR_INVALID;
    Surface* s = d->surface();
    if (!s) return CLR_INVALID;
    POINT p = d->lpToDpPoint(x, y);
    for (const auto& r : d->clipRects())
        if (p.x >= r.x1 && p.x < r.x2 && p.y >= r.y1 && p.y < r.y2)
            return s->colorFromRaw(s->get(p.x, p.y));
    return CLR_INVALID;
}

COLORREF GetNearestColor(HDC dc, COLORREF color) {
    auto d = dcOf(dc);
    if (!d) return CLR_INVALID;
    Surface* s = d->surface();
    if (!s) return color & 0xFFFFFF;
    return s->colorFromRaw(s->rawFromColor(color));
}
