#include "shell/GeometryRecords.h"

#include <cstdint>

#include "mfc/CArchive.h"
#include "mfc/CArchiveException.h"

namespace {

// Smallest records, for checking counts against the bytes left.
constexpr std::uint64_t FirstMemberBytes = 2 + 8 + 8;
constexpr std::uint64_t LaterMemberBytes = 2 + 8;
constexpr std::uint64_t SubPathTailBytes = 4 + 2 + 16 + 16 + 2 + 1;
constexpr std::uint64_t SubPathMinBytes = 2 + SubPathTailBytes;

// The arrays hold at most this many elements.
constexpr unsigned CountLimit = PathMemberEDynArr::DefaultLimit;

void CheckCount(CArchive& ar, unsigned n, std::uint64_t minBytes) {
    if (n > CountLimit) AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName);
    ar.RequireBytes(minBytes);
}

float ReadAccuracy(CArchive& ar) {
    float a;
    ar >> a;
    return Path::ValidAccuracy(a);
}

} // namespace

CArchive& operator<<(CArchive& ar, const floatPoint& p) {
    return ar << p.x << p.y;
}
CArchive& operator>>(CArchive& ar, floatPoint& p) {
    return ar >> p.x >> p.y;
}
CArchive& operator<<(CArchive& ar, const floatRange& r) {
    return ar << r.low << r.high;
}
CArchive& operator>>(CArchive& ar, floatRange& r) {
    return ar >> r.low >> r.high;
}

CArchive& operator<<(CArchive& ar, const floatBBox& b) {
    return ar << b.left << b.right << b.bottom << b.top;
}

CArchive& operator>>(CArchive& ar, floatBBox& b) {
    return ar >> b.left >> b.right >> b.bottom >> b.top;
}

CArchive& operator<<(CArchive& ar, const SubPath& sp) {
    const std::uint16_t n = sp.members.Filled();
    ar << WORD(n);
    for (std::uint16_t i = 0; i < n; ++i) {
        const PathMember& pm = sp.members[i];
        ar << WORD(pm.flags);
        if (i == 0) ar << pm.start;
        if (pm.flags & PM_CURVE) ar << pm.ctrl1 << pm.ctrl2;
        ar << pm.end;
    }
    // What is known of the members in memory is neither stored nor taken from a file.
    ar << sp.accuracy << WORD((sp.state & ~SP_KNOWN) | SP_CLUSTERS_INVALID) << sp.ctrlBox
       << sp.accBox << short(sp.depth) << BYTE(sp.rotation);
    return ar;
}

CArchive& operator>>(CArchive& ar, SubPath& sp) {
    WORD n;
    ar >> n;
    CheckCount(ar, n,
               n ? FirstMemberBytes + (n - 1) * LaterMemberBytes + SubPathTailBytes
                 : SubPathTailBytes);
    sp.members.Destroy();
    sp.intersections.Destroy();
    sp.clusters.Destroy();
    if (n) sp.members.Grow(n);
    floatPoint previous;
    for (unsigned i = 0; i < n; ++i) {
        PathMember* pm = sp.members.Append();
        WORD flags;
        ar >> flags;
        pm->flags = flags;
        if (i == 0)
            ar >> pm->start;
        else
            pm->start = previous;
        if (flags & PM_CURVE) ar >> pm->ctrl1 >> pm->ctrl2;
        ar >> pm->end;
        // A line keeps its end points in its control points.
        if (!(flags & PM_CURVE)) {
            pm->ctrl1 = pm->start;
            pm->ctrl2 = pm->end;
        }
        previous = pm->end;
    }
    WORD state;
    short depth;
    BYTE rotation;
    sp.accuracy = ReadAccuracy(ar);
    ar >> state >> sp.ctrlBox >> sp.accBox >> depth >> rotation;
    sp.state = std::uint16_t(state & ~SP_KNOWN);
    sp.depth = depth;
    sp.rotation = std::int8_t(rotation);
    return ar;
}

CArchive& operator<<(CArchive& ar, const Path& path) {
    const std::uint16_t m = path.subPaths.Filled();
    ar << WORD(m);
    for (std::uint16_t i = 0; i < m; ++i)
        ar << path.subPaths[i];
    return ar << path.accuracy << path.ctrlBox << path.accBox;
}

CArchive& operator>>(CArchive& ar, Path& path) {
    WORD m;
    ar >> m;
    CheckCount(ar, m, m * SubPathMinBytes + 4 + 16 + 16);
    path.subPaths.Destroy();
    if (m) path.subPaths.Grow(m);
    for (unsigned i = 0; i < m; ++i) {
        SubPath sp(SubPath::DefaultAccuracy);
        sp.members.SetGrowStep(20);
        sp.state = std::uint16_t(sp.state | SP_ALL_INVALID);
        ar >> sp;
        path.AddSubPath(sp);
    }
    path.accuracy = ReadAccuracy(ar);
    return ar >> path.ctrlBox >> path.accBox;
}

CArchive& operator<<(CArchive& ar, const ColorPath& path) {
    return ar << static_cast<const Path&>(path) << DWORD(path.colour) << short(path.layer)
              << WORD(path.pathFlags);
}

CArchive& operator>>(CArchive& ar, ColorPath& path) {
    DWORD colour;
    short layer;
    WORD flags;
    ar >> static_cast<Path&>(path) >> colour >> layer >> flags;
    path.colour = colour;
    path.layer = layer;
    path.pathFlags = flags;
    return ar;
}

void FilterSubPaths(Path& source, Path& destination, int keepNegative) {
    source.Prepare();
    Path kept(destination.accuracy);
    for (std::uint16_t i = 0; i < source.subPaths.Filled(); ++i) {
        const SubPath& sp = source.subPaths[i];
        if (sp.depth == 0 || (keepNegative && sp.depth < 0)) {
            SubPath copy(sp);
            kept.AddSubPath(copy);
        }
    }
    source.ClosePath();
    kept.ClosePath();
    kept.RefreshBBoxes();
    destination.ClosePath();
    destination = kept;
    destination.Invalidate(SP_ALL_INVALID);
    destination.Prepare();
}
