#include "doc/Snapping.h"

#include <cmath>
#include <set>

#include <model/CObjIterator.h>
#include <model/CPathObj.h>
#include <model/CSign.h>
#include <pathkit/NumericToolkit.h>
#include <pathkit/Path.h>

namespace {

// The leaves that must not be snapped to.
std::set<CSignObj*> ExcludedLeaves(CSign& sheet, INT_PTR exclude) {
    std::set<CSignObj*> out;
    if (exclude == 0) return out;
    CObArray roots;
    auto* obj = exclude == ExcludeSelection ? nullptr : reinterpret_cast<CSignObj*>(exclude);
    if (obj != nullptr) roots.Add(obj);
    if (obj == nullptr || obj->m_bSelected)
        for (int i = 0; i < sheet.GetSize(); ++i)
            if (CSignObj* top = sheet.GetObj(i); top && top->m_bSelected) roots.Add(top);
    CObjIterator it(&roots);
    for (it.First(); CSignObj* leaf = it.Current(); it.Next())
        out.insert(leaf);
    for (int i = 0; i < roots.GetSize(); ++i)
        out.insert(static_cast<CSignObj*>(roots.GetAt(i)));
    roots.RemoveAll();
    return out;
}

// Every path object of the drawn layers, from layer 127 down and the last leaf first.
template <class F> bool WalkPathObjects(CSign& sheet, INT_PTR exclude, F&& visit) {
    const std::set<CSignObj*> excluded = ExcludedLeaves(sheet, exclude);
    for (int layer = 127; layer >= -127; --layer) {
        if (sheet.GetLayerCount(layer) == 0 || !sheet.IsLayerVisible(layer)) continue;
        CObjIterator it(&sheet);
        for (it.Last(); CSignObj* leaf = it.Current(); it.Prev()) {
            auto* obj = dynamic_cast<CPathObj*>(leaf);
            if (obj == nullptr || excluded.count(leaf) || obj->GetLayer() != layer) continue;
            if (visit(*obj)) return true;
        }
    }
    return false;
}

double DistanceToGuide(const GuideLine& g, const floatPoint& p, floatPoint& a, floatPoint& b) {
    a = floatPoint(g.x, g.y);
    b = floatPoint(float(g.x + 10000 * std::cos(g.angle)), float(g.y + 10000 * std::sin(g.angle)));
    return std::sqrt(Dist2(a, b, p));
}

} // namespace

BOOL SnapToNearestNode(CSign& sheet, floatPoint& p, float tolerance, INT_PTR exclude) {
    double best = 2.0 * tolerance;
    bool found = false;
    floatPoint bestPoint = p;
    auto consider = [&](const floatPoint& q) {
        const double d = std::hypot(double(q.x) - p.x, double(q.y) - p.y);
        if (d < best) {
            best = d;
            bestPoint = q;
            found = true;
        }
    };
    WalkPathObjects(sheet, exclude, [&](CPathObj& obj) {
        const floatBBox* box = obj.GetBBox();
        if (box == nullptr || !box->IsInside(p, tolerance)) return false;
        for (SubPath& sp : obj.m_path.subPaths) {
            if (!sp.ctrlBox.IsInside(p, tolerance)) continue;
            for (PathMember& m : sp.members) {
                consider(m.start);
                consider(m.end);
            }
        }
        return false;
    });
    if (found) p = bestPoint;
    return found;
}

BOOL SnapToObjectOutline(CSign& sheet, floatPoint& p, float tolerance, INT_PTR exclude) {
    return WalkPathObjects(sheet, exclude, [&](CPathObj& obj) {
        Path& path = obj.m_path;
        if (!path.ctrlBox.IsInside(p, tolerance)) return false;
        unsigned sub = 0, member = 0;
        std::uint32_t param = 0;
        if (!path.IsBeside(p, tolerance, sub, member, param)) return false;
        path.subPaths[std::uint16_t(sub)].members[std::uint16_t(member)].GetPointAt(param, p);
        return true;
    });
}

BOOL SnapToGuides(const GuideLineDynArr& guides, floatPoint& p, float tolerance) {
    BOOL any = FALSE;
    for (const GuideLine& g : guides) {
        floatPoint a, b;
        if (!(DistanceToGuide(g, p, a, b) <= tolerance)) continue;
        const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
        const double t =
            ((double(p.x) - a.x) * dx + (double(p.y) - a.y) * dy) / (dx * dx + dy * dy);
        p = floatPoint(float(a.x + t * dx), float(a.y + t * dy));
        any = TRUE;
    }
    return any;
}

int FindGuideLine(const GuideLineDynArr& guides, const floatPoint& p, float tolerance) {
    int i = 0;
    for (const GuideLine& g : guides) {
        floatPoint a, b;
        if (DistanceToGuide(g, p, a, b) <= tolerance) return i;
        ++i;
    }
    return -1;
}
