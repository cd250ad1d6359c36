// GDI paths: figures recorded in device units between BeginPath and EndPath, then filled,
// stroked, or turned into a region or the clip. Filling, stroking and selecting a path
// discard it.

#include <cmath>

#include "GdiPath.h"
#include "GdiSettings.h"
#include "Paint.h"
#include "MetaRecorder.h"

using namespace sdgdi;

namespace {

bool figureOpen(const DeviceContext& dc) {
    for (auto it = dc.st.path.rbegin(); it != dc.st.path.rend(); ++it) {
        if (it->type & PT_CLOSEFIGURE) return false;
        if (it->type == PT_MOVETO) return true;
    }
    return false;
}

} // namespace

void sdgdi::pathMoveTo(DeviceContext& dc, double x, double y) {
    auto& p = dc.st.path;
    if (!p.empty() && p.back().type == PT_MOVETO) p.pop_back();
    p.push_back(GdiPathPoint{x, y, PT_MOVETO});
}

void sdgdi::pathLineTo(DeviceContext& dc, double x, double y) {
    if (!figureOpen(dc)) {
        POINT s = dc.lpToDpPoint(dc.st.position.x, dc.st.position.y);
        // After a closed figure the new one starts where that one ended.
        if (!dc.st.path.empty() && (dc.st.path.back().type & PT_CLOSEFIGURE)) {
            dc.st.path.push_back(GdiPathPoint{dc.st.path.back().x, dc.st.path.back().y, PT_MOVETO});
        } else {
            dc.st.path.push_back(GdiPathPoint{double(s.x), double(s.y), PT_MOVETO});
        }
    }
    dc.st.path.push_back(GdiPathPoint{x, y, PT_LINETO});
}

void sdgdi::pathBezierTo(DeviceContext& dc, const double (&pts)[6]) {
    if (!figureOpen(dc)) {
        POINT s = dc.lpToDpPoint(dc.st.position.x, dc.st.position.y);
        dc.st.path.push_back(GdiPathPoint{double(s.x), double(s.y), PT_MOVETO});
    }
    for (int i = 0; i < 3; ++i) dc.st.path.push_back(GdiPathPoint{pts[2 * i], pts[2 * i + 1], PT_BEZIERTO});
}

void sdgdi::pathClose(DeviceContext& dc) {
    if (figureOpen(dc) && dc.st.path.back().type != PT_MOVETO) dc.st.path.back().type |= PT_CLOSEFIGURE;
}

void sdgdi::pathPolygon(DeviceContext& dc, const std::vector<std::pair<double, double>>& pts) {
    if (pts.empty()) return;
    pathMoveTo(dc, pts[0].first, pts[0].second);
    for (std::size_t i = 1; i < pts.size(); ++i)
        dc.st.path.push_back(GdiPathPoint{pts[i].first, pts[i].second, PT_LINETO});
    pathClose(dc);
}

std::vector<Figure> sdgdi::pathFigures(const std::vector<GdiPathPoint>& path) {
    std::vector<Figure> figures;
    auto fix = [](double x, double y) {
        return FixPoint{std::int64_t(std::floor(x * kFix + 0.5)), std::int64_t(std::floor(y * kFix + 0.5))};
    };
    for (std::size_t i = 0; i < path.size();) {
        BYTE t = path[i].type & ~PT_CLOSEFIGURE;
        if (t == PT_MOVETO || figures.empty()) {
            figures.push_back(Figure{});
            figures.back().points.push_back(fix(path[i].x, path[i].y));
            if (t == PT_MOVETO) {
                ++i;
                continue;
            }
        }
        Figure& f = figures.back();
        if (t == PT_BEZIERTO && i + 2 < path.size()) {
            FixPoint p0 = f.points.back();
            flattenBezier(p0, fix(path[i].x, path[i].y), fix(path[i + 1].x, path[i + 1].y),
                          fix(path[i + 2].x, path[i + 2].y), f.points);
            if (path[i + 2].type & PT_CLOSEFIGURE) f.closed = true;
            i += 3;
            continue;
        }
        f.points.push_back(fix(path[i].x, path[i].y));
        if (path[i].type & PT_CLOSEFIGURE) f.closed = true;
        ++i;
    }
    return figures;
}

namespace {

std::shared_ptr<DeviceContext> withPath(HDC dc, const char* name) {
    auto d = dcOf(dc);
    if (!d) return nullptr;
    if (d->logging) d->record(callLine(name));
    if (!d->st.pathDone) {
        SetLastError(ERROR_CAN_NOT_COMPLETE);
        return nullptr;
    }
    if (d->meta && !metaPathCall(*d, name)) return nullptr;
    if (injectedFailure(name)) return nullptr;
    return d;
}

std::vector<FixPolygon> fillPolys(const std::vector<Figure>& figures) {
    std::vector<FixPolygon> polys;
    for (const Figure& f : figures)
        if (f.points.size() >= 2) polys.push_back(f.points);
    return polys;
}

void strokeFigures(DeviceContext& d, const std::vector<Figure>& figures) {
    std::vector<std::vector<FixPoint>> lines;
    std::vector<bool> closed;
    for (const Figure& f : figures) {
        std::vector<FixPoint> l;
        for (const FixPoint& p : f.points) l.push_back(FixPoint{p.x + kFix / 2, p.y + kFix / 2});
        lines.push_back(std::move(l));
        closed.push_back(f.closed);
    }
    strokeWithPen(d, lines, closed);
}

void discard(DeviceContext& d) {
    d.st.path.clear();
    d.st.pathDone = false;
    d.st.pathOpen = false;
}

} // namespace

BOOL BeginPath(HDC dc) {
    auto d = dcOf(dc);
    if (!d) return FALSE;
    if (d->logging) d->record(callLine("BeginPath"));
    if (d->meta && !metaInts(*d, EMR_BEGINPATH, {})) return FALSE;
    if (injectedFailure("BeginPath")) return FALSE;
    d->st.path.clear();
    d->st.pathOpen = true;
    d->st.pathDone = false;
    return TRUE;
}

BOOL EndPath(HDC dc) {
    auto d = dcOf(dc);
    if (!d) return FALSE;
    if (d->logging) d->record(callLine("EndPath"));
    if (!d->st.pathOpen) return failWith(ERROR_CAN_NOT_COMPLETE);
    if (d->meta && !metaInts(*d, EMR_ENDPATH, {})) return FALSE;
    if (!d->st.path.empty() && d->st.path.back().type == PT_MOVETO) d->st.path.pop_back();
    d->st.pathOpen = false;
    d->st.pathDone = true;
    return TRUE;
}

BOOL AbortPath(HDC dc) {
    auto d = dcOf(dc);
    if (!d) return FALSE;
    if (d->logging) d->record(callLine("AbortPath"));
    if (d->meta && !metaInts(*d, EMR_ABORTPATH, {})) return FALSE;
    discard(*d);
    return TRUE;
}

BOOL CloseFigure(HDC dc) {
    auto d = dcOf(dc);
    if (!d) return FALSE;
    if (d->logging) d->record(callLine("CloseFigure"));
    if (!d->st.pathOpen) return failWith(ERROR_CAN_NOT_COMPLETE);
    if (d->meta && !metaInts(*d, EMR_CLOSEFIGURE, {})) return FALSE;
    pathClose(*d);
    return TRUE;
}

BOOL FillPath(HDC dc) {
    auto d = withPath(dc, "FillPath");
    if (!d) return FALSE;
    auto figures = pathFigures(d->st.path);
    fillWithBrush(*d, fillPolys(figures), d->st.polyFillMode == WINDING);
    discard(*d);
    return TRUE;
}

BOOL StrokePath(HDC dc) {
    auto d = withPath(dc, "StrokePath");
    if (!d) return FALSE;
    strokeFigures(*d, pathFigures(d->st.path));
    discard(*d);
    return TRUE;
}

BOOL StrokeAndFillPath(HDC dc) {
    auto d = withPath(dc, "StrokeAndFillPath");
    if (!d) return FALSE;
    auto figures = pathFigures(d->st.path);
    fillWithBrush(*d, fillPolys(figures), d->st.polyFillMode == WINDING);
    strokeFigures(*d, figures);
    discard(*d);
    return TRUE;
}

BOOL FlattenPath(HDC dc) {
    auto d = withPath(dc, "FlattenPath");
    if (!d) return FALSE;
    auto figures = pathFigures(d->st.path);
    d->st.path.clear();
    for (const Figure& f : figures) {
        for (std::size_t i = 0; i < f.points.size(); ++i)
            d->st.path.push_back(GdiPathPoint{double(f.points[i].x) / kFix, double(f.points[i].y) / kFix,
                                              BYTE(i == 0 ? PT_MOVETO : PT_LINETO)});
        if (f.closed && f.points.size() > 1) d->st.path.back().type |= PT_CLOSEFIGURE;
    }
    return TRUE;
}

HRGN PathToRegion(HDC dc) {
    auto d = withPath(dc, "PathToRegion");
    if (!d) return nullptr;
    auto r = std::make_shared<RegionObject>();
    bool ok = regionFromPolygons(fillPolys(pathFigures(d->st.path)), d->st.polyFillMode == WINDING,
                                 &r->region);
    discard(*d);
    if (!ok) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return static_cast<HRGN>(registerObject(r));
}

BOOL SelectClipPath(HDC dc, int mode) {
    auto d = dcOf(dc);
    if (!d) return FALSE;
    if (mode < RGN_AND || mode > RGN_COPY) return failWith(ERROR_INVALID_PARAMETER);
    bool logging = d->logging;
    if (d->logging) d->record(callLine("SelectClipPath", mode));
    if (d->meta && (!d->st.pathDone || !metaInts(*d, EMR_SELECTCLIPPATH, {mode}))) return FALSE;
    d->logging = false;
    HRGN rgn = PathToRegion(dc);
    d->logging = logging;
    if (!rgn) return FALSE;
    d->logging = false;
    int r = ExtSelectClipRgn(dc, rgn, mode);
    d->logging = logging;
    DeleteObject(rgn);
    return r != ERROR;
}

int GetPath(HDC dc, LPPOINT points, LPBYTE types, int count) {
    auto d = dcOf(dc);
    if (!d) return -1;
    if (!d->st.pathDone) {
        SetLastError(ERROR_CAN_NOT_COMPLETE);
        return -1;
    }
    int n = int(d->st.path.size());
    if (count == 0) return n;
    if (count < n || !points || !types) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    Matrix inv;
    if (!d->toDevice().invert(inv)) return -1;
    for (int i = 0; i < n; ++i) {
        double x, y;
        inv.apply(d->st.path[std::size_t(i)].x, d->st.path[std::size_t(i)].y, x, y);
        points[i] = POINT{SdDeviceCoord(std::round(x)), SdDeviceCoord(std::round(y))};
        types[i] = d->st.path[std::size_t(i)].type;
    }
    return n;
}
