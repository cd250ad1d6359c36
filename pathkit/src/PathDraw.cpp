// Drawing paths on a device context. The band painter flattens sub-paths into device points
// and hands them to GDI in calls of at most kPointLimit points; a fill whose call fails or
// whose points reach the limit is split into two horizontal bands, each clipped to its rows,
// down to bands of one row, which are given up (and reported) when GDI still fails there.

#include "pathkit/PathDraw.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "mfc/CDC.h"
#include "mfc/CPreviewDC.h"
#include "pathkit/IntBez3Base.h"
#include "pathkit/NodeEdit.h"
#include "win32/DeviceRange.h"

namespace {

constexpr int kPointLimit = 8125;

// Halves round up; the device range clamps.
int Round(float v) {
    return SdDeviceCoord(std::floor(double(v) + 0.5));
}

POINT Dev(const floatTMatrix& m, const floatPoint& p) {
    float x = p.x, y = p.y;
    m.Transform(x, y);
    return POINT{Round(x), Round(y)};
}

// Dev with the matrix's kind worked out once, for the many points of a flattening: the same
// arithmetic as floatTMatrix::Transform.
class DevMap {
public:
    explicit DevMap(const floatTMatrix& m)
        : translate_(m.IsTranslateOnly(0)), m11_(m.m11), m12_(m.m12), m21_(m.m21), m22_(m.m22),
          dx_(m.dx), dy_(m.dy) {}
    POINT operator()(const floatPoint& p) const {
        float x = p.x, y = p.y;
        if (translate_) {
            x += dx_;
            y += dy_;
        } else {
            float nx = float(double(x) * m11_ + double(y) * m21_ + dx_);
            y = float(double(x) * m12_ + double(y) * m22_ + dy_);
            x = nx;
        }
        return POINT{Round(x), Round(y)};
    }

private:
    bool translate_;
    float m11_, m12_, m21_, m22_, dx_, dy_;
};

bool Same(POINT a, POINT b) {
    return a.x == b.x && a.y == b.y;
}

// x of the crossing of (a, b) with row y, rounded as MulDiv rounds (half away from zero).
long CrossX(POINT a, POINT b, long y) {
    __int128 num = __int128(std::int64_t(b.x) - a.x) * (std::int64_t(y) - a.y);
    __int128 den = std::int64_t(b.y) - a.y;
    bool neg = (num < 0) != (den < 0);
    __int128 an = num < 0 ? -num : num, ad = den < 0 ? -den : den;
    __int128 q = (an + ad / 2) / ad;
    return long(a.x + (neg ? -q : q));
}

bool Disjoint(const CRect& a, const CRect& b) {
    return a.right < b.left || a.left > b.right || a.bottom < b.top || a.top > b.bottom;
}
bool Degenerate(const CRect& r) {
    return r.right == r.left || r.bottom == r.top;
}
bool Inside(const CRect& a, const CRect& clip) {
    return a.left >= clip.left && a.right <= clip.right && a.top >= clip.top &&
           a.bottom <= clip.bottom;
}

void Mark(CDC* dc, POINT p, int h) {
    dc->MoveTo(p.x - h, p.y - h);
    dc->LineTo(p.x + h, p.y - h);
    dc->LineTo(p.x + h, p.y + h);
    dc->LineTo(p.x - h, p.y + h);
    dc->LineTo(p.x - h, p.y - h);
    dc->MoveTo(p.x, p.y);
}

int StartMarkSize(const PathMember& pm) {
    bool smooth = pm.flags & (PM_SMOOTH | PM_SYMMETRIC);
    if (!pm.IsCurve()) return smooth ? 1 : 2;
    if (pm.IsSymmetric()) return 3;
    return smooth ? 1 : 2;
}

// Flattens members into device points.
class Flattener : public IntBez3Base {
public:
    Flattener(std::vector<POINT>& out, const floatTMatrix& m) : IntBez3Base(), out_(out), dev_(m) {}
    void Output(intPoint& p) override { Add(POINT{p.x, p.y}); }
    void Add(POINT p) {
        if (out_.empty() || !Same(out_.back(), p)) out_.push_back(p);
    }
    void Member(const PathMember& pm, bool first) {
        POINT s = dev_(pm.start), e = dev_(pm.end);
        if (first) Add(s);
        if (pm.IsCurve()) {
            POINT c1 = dev_(pm.ctrl1), c2 = dev_(pm.ctrl2);
            intPoint a, b, c, d;
            a.Fill(s.x, s.y);
            b.Fill(c1.x, c1.y);
            c.Fill(c2.x, c2.y);
            d.Fill(e.x, e.y);
            CalcCurve(a, b, c, d);
        }
        Add(e);
    }

private:
    std::vector<POINT>& out_;
    DevMap dev_;
};

void SubPathPoints(const floatTMatrix& m, const SubPath& sp, std::vector<POINT>& out) {
    Flattener f(out, m);
    for (std::uint16_t i = 0; i < sp.members.Filled(); ++i)
        f.Member(sp.members[i], i == 0);
}

// Keeps the part of a closed polygon between rows top and bottom; crossings on those rows.
std::vector<POINT> ClipToBand(const std::vector<POINT>& in, long top, long bottom) {
    auto clipEdge = [](const std::vector<POINT>& pts, long y, bool keepBelow) {
        std::vector<POINT> out;
        auto inside = [&](POINT p) { return keepBelow ? p.y >= y : p.y <= y; };
        for (std::size_t i = 0; i < pts.size(); ++i) {
            POINT a = pts[i], b = pts[(i + 1) % pts.size()];
            bool ia = inside(a), ib = inside(b);
            if (ia) out.push_back(a);
            if (ia != ib) out.push_back(POINT{LONG(CrossX(a, b, y)), LONG(y)});
        }
        return out;
    };
    std::vector<POINT> r = clipEdge(in, top, true);
    if (!r.empty()) r = clipEdge(r, bottom, false);
    std::vector<POINT> dedup;
    for (POINT p : r)
        if (dedup.empty() || !Same(dedup.back(), p)) dedup.push_back(p);
    while (dedup.size() > 1 && Same(dedup.front(), dedup.back()))
        dedup.pop_back();
    return dedup;
}

void Contour(ContourProcessor* proc, CDC* dc, const std::vector<POINT>& pts, bool closed) {
    if (!proc || pts.size() < 2) return;
    for (std::size_t i = 0; i + 1 < pts.size(); ++i)
        proc->Output(dc, pts[i].x, pts[i].y, pts[i + 1].x, pts[i + 1].y);
    if (closed) proc->Output(dc, pts.back().x, pts.back().y, pts.front().x, pts.front().y);
}

// Fill and region building in bands.
class BandPainter {
public:
    BandPainter(const floatTMatrix& m, Path& path) : m_(m), path_(path) {}

    // Polygons of the closed sub-paths meeting the band; false when they reach the limit.
    bool Collect(long top, long bottom, bool banded, std::vector<POINT>& points,
                 std::vector<INT>& counts) {
        points.clear();
        counts.clear();
        std::vector<POINT> one;
        for (std::uint16_t i = 0; i < path_.subPaths.Filled(); ++i) {
            const SubPath& sp = path_.subPaths[i];
            if (!sp.IsClosed()) continue;
            CRect box;
            floatBBox b = sp.ctrlBox;
            Transform(m_, b, box);
            if (box.bottom < top || box.top > bottom) continue;
            one.clear();
            SubPathPoints(m_, sp, one);
            while (one.size() > 1 && Same(one.front(), one.back()))
                one.pop_back();
            if (banded) one = ClipToBand(one, top, bottom);
            if (one.size() < 3) continue;
            if (points.size() + one.size() >= std::size_t(limit)) return false;
            points.insert(points.end(), one.begin(), one.end());
            counts.push_back(INT(one.size()));
        }
        return true;
    }

    // Paints band [top, bottom]; false when some part had to be given up.
    bool Fill(CDC* dc, ContourProcessor* proc, long top, long bottom, bool banded) {
        std::vector<POINT> points;
        std::vector<INT> counts;
        bool fits = Collect(top, bottom, banded, points, counts);
        if (fits) {
            if (counts.empty()) return true;
            BOOL ok = counts.size() == 1
                          ? dc->Polygon(points.data(), counts[0])
                          : dc->PolyPolygon(points.data(), counts.data(), int(counts.size()));
            if (ok) {
                std::size_t at = 0;
                for (INT n : counts) {
                    std::vector<POINT> poly(points.begin() + long(at),
                                            points.begin() + long(at + std::size_t(n)));
                    Contour(proc, dc, poly, true);
                    at += std::size_t(n);
                }
                return true;
            }
            limit = std::max(limit / 2, 1);
        }
        // Split; a band of one row cannot be split further.
        if (bottom - top <= 1) return false;
        long mid = top + (bottom - top) / 2;
        bool a = Fill(dc, proc, top, mid, true);
        bool b = Fill(dc, proc, mid, bottom, true);
        return a && b;
    }

    // Region of band [top, bottom], OR-combined from halves where one call cannot take it.
    bool Region(CRgn& out, long top, long bottom, bool banded, int depth) {
        std::vector<POINT> points;
        std::vector<INT> counts;
        if (Collect(top, bottom, banded, points, counts)) {
            if (counts.empty()) return out.CreateRectRgn(0, 0, 0, 0);
            return counts.size() == 1 ? out.CreatePolygonRgn(points.data(), counts[0], ALTERNATE)
                                      : out.CreatePolyPolygonRgn(points.data(), counts.data(),
                                                                 int(counts.size()), ALTERNATE);
        }
        if (bottom - top <= 1 || depth > 40) return false;
        long mid = top + (bottom - top) / 2;
        CRgn upper, lower;
        if (!Region(upper, top, mid, true, depth + 1) ||
            !Region(lower, mid, bottom, true, depth + 1))
            return false;
        if (!out.CreateRectRgn(0, 0, 0, 0)) return false;
        return out.CombineRgn(&upper, &lower, RGN_OR) != ERROR;
    }

    int limit = kPointLimit;

private:
    const floatTMatrix& m_;
    Path& path_;
};

bool PathBox(const floatTMatrix& m, Path& path, CRect& box) {
    path.RefreshBBoxes();
    floatBBox b = path.ctrlBox;
    Transform(m, b, box);
    return true;
}

} // namespace

ContourProcessor::~ContourProcessor() = default;

void ContourProcessor::Output(CDC*, int, int) {}

void ContourProcessor::Output(CDC* dc, int x1, int y1, int x2, int y2) {
    std::int64_t dx = std::int64_t(x2) - x1, dy = std::int64_t(y2) - y1;
    std::int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    std::int64_t x = x1, y = y1;
    if (adx >= ady) {
        std::int64_t err = adx / 2;
        for (std::int64_t i = 0; i < adx; ++i) {
            Output(dc, int(x), int(y));
            x += sx;
            err -= ady;
            if (err < 0) {
                y += sy;
                err += adx;
            }
        }
    } else {
        std::int64_t err = ady / 2;
        for (std::int64_t i = 0; i < ady; ++i) {
            Output(dc, int(x), int(y));
            y += sy;
            err -= adx;
            if (err < 0) {
                x += sx;
                err += ady;
            }
        }
    }
}

void Transform(const floatTMatrix& m, floatBBox& box, CRect& rect) {
    POINT c[4] = {Dev(m, box.LB()), Dev(m, box.LT()), Dev(m, box.RB()), Dev(m, box.RT())};
    rect.SetRect(c[0].x, c[0].y, c[0].x, c[0].y);
    for (POINT p : c) {
        rect.left = std::min(rect.left, p.x);
        rect.top = std::min(rect.top, p.y);
        rect.right = std::max(rect.right, p.x);
        rect.bottom = std::max(rect.bottom, p.y);
    }
}

void Draw(CDC* dc, const floatTMatrix& m, PathMember& pm, unsigned flags) {
    POINT s = Dev(m, pm.start), e = Dev(m, pm.end);
    bool aware = flags & PD_SELECTION_AWARE;
    if (!pm.IsCurve()) {
        if (Same(s, e)) return;
        dc->MoveTo(s.x, s.y);
        if (aware ? (pm.flags & PM_START_SEL) : (flags & PD_NODES)) Mark(dc, s, StartMarkSize(pm));
        dc->LineTo(e.x, e.y);
        if (aware ? (pm.flags & PM_END_SEL) : (flags & PD_NODES)) Mark(dc, e, 2);
        return;
    }
    POINT c1 = Dev(m, pm.ctrl1), c2 = Dev(m, pm.ctrl2);
    dc->MoveTo(s.x, s.y);
    if (flags & PD_CURVE) {
        std::vector<POINT> pts;
        Flattener f(pts, m);
        f.Member(pm, true);
        for (std::size_t i = 1; i < pts.size(); ++i)
            dc->LineTo(pts[i].x, pts[i].y);
    }
    if (aware) {
        if (pm.flags & PM_START_SEL) Mark(dc, s, StartMarkSize(pm));
        if (pm.flags & PM_CTRL1_SEL) {
            dc->MoveTo(s.x, s.y);
            dc->LineTo(c1.x, c1.y);
            Mark(dc, c1, 2);
        }
        if (pm.flags & PM_CTRL2_SEL) {
            Mark(dc, c2, 2);
            dc->LineTo(e.x, e.y);
        }
        if (pm.flags & PM_END_SEL) Mark(dc, e, 2);
        return;
    }
    if (flags & PD_NODES) Mark(dc, s, StartMarkSize(pm));
    if (flags & PD_HANDLES) {
        dc->MoveTo(s.x, s.y);
        dc->LineTo(c1.x, c1.y);
        Mark(dc, c1, 2);
        Mark(dc, c2, 2);
        dc->LineTo(e.x, e.y);
    }
    if (flags & PD_NODES) Mark(dc, e, 2);
}

void Paint(CDC* dc, const floatTMatrix& m, SubPath& sp, unsigned flags) {
    std::uint16_t n = sp.members.Filled();
    if (n == 0) return;
    CRect clip;
    if (!(flags & PD_ALL_VISIBLE)) {
        sp.CtrlBBox();
        CRect box;
        floatBBox b = sp.ctrlBox;
        Transform(m, b, box);
        dc->GetClipBox(&clip);
        if (!(flags & PD_NO_VISIBILITY) && !Degenerate(box) && Disjoint(box, clip)) return;
        if (Inside(box, clip)) flags |= PD_ALL_VISIBLE;
    }
    for (std::uint16_t i = 0; i < n; ++i) {
        PathMember& pm = sp.members[i];
        bool pass = true;
        if ((flags & PD_ONLY_SELECTED) && !pm.IsPMSelected()) pass = false;
        if ((flags & PD_ONLY_UNSELECTED) && pm.IsPMSelected()) pass = false;
        if ((flags & PD_ONLY_CURVES) && !pm.IsCurve()) pass = false;
        if ((flags & PD_ONLY_LINES) && pm.IsCurve()) pass = false;
        if (pass && pm.IsCurve() && !(flags & (PD_NO_VISIBILITY | PD_ALL_VISIBLE))) {
            floatBBox cb;
            pm.CtrlBBox(cb);
            CRect box;
            Transform(m, cb, box);
            if (!Degenerate(box) && Disjoint(box, clip)) pass = false;
        }
        if (!pass) continue;
        Draw(dc, m, pm, flags);
        if (flags & PD_NODES) {
            const PathMember& next = sp.members[sp.members.Next(int(i))];
            POINT e = Dev(m, pm.end), s = Dev(m, next.start);
            if (!Same(e, s)) {
                Mark(dc, e, 5);
                Mark(dc, s, 4);
            }
        }
    }
}

int Paint(CDC* dc, const floatTMatrix& m, Path& path, ContourProcessor* proc, unsigned flags) {
    if (!dc || path.subPaths.Filled() == 0) return 0;
    CRect box, clip;
    PathBox(m, path, box);
    dc->GetClipBox(&clip);
    if (!(flags & PP_NO_CLIP_TEST) && !Degenerate(box) && Disjoint(box, clip)) return 0;
    if (flags & PP_BOX_ONLY) {
        if (flags & PP_FILL) return dc->Rectangle(box.left, box.top, box.right, box.bottom);
        dc->MoveTo(box.left, box.top);
        dc->LineTo(box.right, box.top);
        dc->LineTo(box.right, box.bottom);
        dc->LineTo(box.left, box.bottom);
        dc->LineTo(box.left, box.top);
        return 1;
    }
    int result = 1;
    if (flags & PP_FILL) {
        CGdiObject* oldPen = dc->SelectStockObject(NULL_PEN);
        dc->SetPolyFillMode(ALTERNATE);
        BandPainter bands(m, path);
        long top = std::max(box.top, clip.top), bottom = std::min(box.bottom, clip.bottom);
        if (flags & PP_NO_CLIP_TEST) top = box.top, bottom = box.bottom;
        if (!bands.Fill(dc, proc, top, bottom, false)) {
            SetLastError(ERROR_CAN_NOT_COMPLETE);
            result = 0;
        }
        if (oldPen) dc->SelectObject(oldPen);
    }
    if (flags & PP_STROKE) {
        if (flags & PP_NODE_DISPLAY) {
            unsigned spFlags = flags & ~unsigned(PP_FILL | PP_BOX_ONLY);
            if (Inside(box, clip)) spFlags |= PD_ALL_VISIBLE;
            for (std::uint16_t i = 0; i < path.subPaths.Filled(); ++i)
                Paint(dc, m, path.subPaths[i], spFlags);
        } else {
            std::vector<POINT> pts;
            for (std::uint16_t i = 0; i < path.subPaths.Filled(); ++i) {
                SubPath& sp = path.subPaths[i];
                pts.clear();
                SubPathPoints(m, sp, pts);
                if (pts.size() < 2) continue;
                if (pts.size() <= std::size_t(kPointLimit) &&
                    dc->Polyline(pts.data(), int(pts.size()))) {
                    Contour(proc, dc, pts, false);
                    continue;
                }
                Paint(dc, m, sp, PD_CURVE | (flags & PP_NO_CLIP_TEST));
            }
        }
    }
    return result;
}

int Paint(CDC* dc, const floatTMatrix& m, Path& path, unsigned flags) {
    return Paint(dc, m, path, nullptr, flags);
}

int PathRegion(CRgn* rgn, const floatTMatrix& m, Path& path) {
    if (!rgn) return 0;
    CRect box;
    PathBox(m, path, box);
    bool anyClosed = false;
    for (std::uint16_t i = 0; i < path.subPaths.Filled(); ++i)
        anyClosed = anyClosed || path.subPaths[i].IsClosed();
    if (!anyClosed) return 0;
    BandPainter bands(m, path);
    std::vector<POINT> points;
    std::vector<INT> counts;
    if (bands.Collect(box.top, box.bottom, false, points, counts)) {
        if (counts.empty()) return 0;
        HRGN h = counts.size() == 1 ? CreatePolygonRgn(points.data(), counts[0], ALTERNATE)
                                    : CreatePolyPolygonRgn(points.data(), counts.data(),
                                                           int(counts.size()), ALTERNATE);
        return rgn->Attach(h);
    }
    // Too many points for one call: bands of fewer, OR-combined.
    CRgn built;
    if (!bands.Region(built, box.top, box.bottom, false, 0)) return 0;
    return rgn->Attach(built.Detach());
}

int Clip(CDC* dc, floatTMatrix m, Path& path) {
    if (!dc) return 0;
    if (path.subPaths.Filled() == 0) return 1;
    POINT org{0, 0};
    GetViewportOrgEx(dc->m_hDC, &org);
    if (auto* preview = dynamic_cast<CPreviewDC*>(dc)) {
        CRect printer;
        PathBox(m, path, printer);
        POINT a{printer.left, printer.top}, b{printer.right, printer.bottom};
        preview->PrinterDPtoScreenDP(&a);
        preview->PrinterDPtoScreenDP(&b);
        floatTMatrix toScreen;
        toScreen.BoxTransformation(float(printer.left), float(printer.top), float(printer.right),
                                   float(printer.bottom), float(a.x), float(a.y), float(b.x),
                                   float(b.y));
        m *= toScreen;
    }
    m.Translate(float(org.x), float(org.y));
    CRgn rgn;
    if (!PathRegion(&rgn, m, path)) return 0;
    int r = dc->SelectClipRgn(&rgn, RGN_AND);
    return r == NULLREGION || r == ERROR ? 0 : 1;
}

int MakePath(CDC* dc, const floatTMatrix& m, Path& path, int closedOnly, int openOnly) {
    if (!dc) return 0;
    auto qualifies = [&](const SubPath& sp) {
        if (closedOnly) return sp.IsClosed();
        if (openOnly) return !sp.IsClosed(); // an empty sub-path counts as open
        return true;
    };
    bool any = false;
    for (std::uint16_t i = 0; i < path.subPaths.Filled(); ++i)
        any = any || qualifies(path.subPaths[i]);
    if (!any) return 0;
    dc->BeginPath();
    for (std::uint16_t i = 0; i < path.subPaths.Filled(); ++i) {
        const SubPath& sp = path.subPaths[i];
        if (!qualifies(sp) || sp.members.Filled() == 0) continue;
        POINT s = Dev(m, sp.members[0].start);
        dc->MoveTo(s.x, s.y);
        for (std::uint16_t k = 0; k < sp.members.Filled(); ++k) {
            const PathMember& pm = sp.members[k];
            if (pm.IsCurve()) {
                POINT pts[3] = {Dev(m, pm.ctrl1), Dev(m, pm.ctrl2), Dev(m, pm.end)};
                dc->PolyBezierTo(pts, 3);
            } else {
                POINT e = Dev(m, pm.end);
                dc->LineTo(e.x, e.y);
            }
        }
    }
    dc->EndPath();
    return 1;
}
