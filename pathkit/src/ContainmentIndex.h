#pragma once
// The point queries of path combination (beside the outline, inside the area) for one path
// that stays unchanged while many points are asked about: the members' integer forms, their
// boxes and the path's box are computed once, and rows, columns and a grid of cells find the
// members a ray or a point can meet. The members found are judged exactly as Path::IsBeside
// and Path::QuickInside judge them, cluster tests included; the ones left out could not have
// counted, so every answer equals theirs.

#include <cstdint>
#include <vector>

#include "UnitMap.h"
#include "pathkit/BBox.h"
#include "pathkit/LPathMember.h"
#include "pathkit/Point.h"

class Path;
class SubPath;

class ContainmentIndex {
public:
    // The path must be validated (SP_ALL_INVALID) and must not change while the index is used.
    explicit ContainmentIndex(Path& path);

    // Path::IsBeside(p, tol, ...) != 0.
    bool IsBeside(const floatPoint& p, float tol);
    // Path::QuickInside(p).
    int QuickInside(const floatPoint& p);

private:
    struct Member {
        LPathMember l;
        longBBox box;
    };
    // Member indexes listed per bucket: offsets (buckets + 1) into the list.
    struct Buckets {
        std::int64_t origin = 0, size = 1;
        int count = 0;
        std::vector<std::uint32_t> first, items;
        int Of(std::int64_t v) const;
    };
    struct Contour {
        SubPath* sp = nullptr;
        UnitMap map{1.0, floatBBox()};
        std::vector<Member> members;
        Buckets rows, columns; // by the members' integer boxes, for the rays
        // The grid of the members' float control boxes, for IsBeside.
        double left = 0, bottom = 0, cell = 1;
        int gridColumns = 0, gridRows = 0;
        std::vector<std::uint32_t> cellFirst, cellItems;
        std::vector<std::uint32_t> seen; // query stamp per member
    };

    int Crossings(Contour& c, const floatPoint& p, int direction);
    bool Inside(Contour& c, const floatPoint& p);
    bool Beside(Contour& c, const floatPoint& p, float tol);
    static void Fill(Buckets& b, const std::vector<std::int64_t>& lo,
                     const std::vector<std::int64_t>& hi);

    Path& path_;
    std::vector<Contour> contours_;
    floatBBox box_;
    bool any_ = false;
    std::uint32_t stamp_ = 0;
};
