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
    // Indexes the members of only the sub-paths marked in `only` (one mark a sub-path); the
    // others must not be asked about by index.
    ContainmentIndex(Path& path, std::vector<char> only);
    // Builds the index again after the path's accuracy changed, in the memory it holds: only
    // the integer forms and what is ordered by them are made anew.
    void Rebuild();
    // Builds the index of another path in the memory this one holds.
    void Rebuild(Path& path);

    // Path::IsBeside(p, tol, ...) != 0.
    bool IsBeside(const floatPoint& p, float tol);
    // Path::QuickInside(p).
    int QuickInside(const floatPoint& p);
    // For the sub-path at index s: SubPath::IsBeside(p, tol, ...) != 0 and SubPath::IsInside(p, 0).
    bool IsBeside(std::uint16_t s, const floatPoint& p, float tol) {
        return Beside(contours_[s], p, tol);
    }
    int IsInside(std::uint16_t s, const floatPoint& p) { return Inside(contours_[s], p); }

private:
    struct Member {
        LPathMember l;
        longBBox box;
    };
    // Member indexes listed per bucket: offsets (buckets + 1) into the lists. A ray meets only
    // members whose near edge lies on its side of the point: each bucket's list runs once by
    // that edge ascending (rays to -x, -y) and once by the far edge descending (+x, +y), so
    // that a ray stops at the first member it cannot meet.
    struct Buckets {
        std::int64_t origin = 0;
        int shift = 0; // buckets of 2^shift units
        int count = 0;
        std::vector<std::uint32_t> first;
        std::vector<std::uint16_t> byLow, byHigh; // member indexes (at most 65,535 a contour)
        int Of(std::int64_t v) const;
    };
    struct Contour {
        SubPath* sp = nullptr;
        UnitMap map{1.0, floatBBox()};
        std::vector<Member> members;
        Buckets rows, columns; // by the members' integer boxes, for the rays
        std::vector<std::int64_t> edgeLeft, edgeRight, edgeBottom, edgeTop; // integer boxes
        // Member indexes by left and bottom ascending, by right and top descending.
        std::vector<std::uint16_t> byLeft, byRight, byBottom, byTop;
        // The members' float control boxes, and their grid, for IsBeside.
        std::vector<floatBBox> boxes;
        double left = 0, bottom = 0, cell = 1;
        int gridColumns = 0, gridRows = 0;
        std::vector<std::uint32_t> cellFirst;
        std::vector<std::uint16_t> cellItems;
        std::vector<std::uint32_t> seen; // query stamp per member
    };

    int Crossings(Contour& c, const floatPoint& p, int direction);
    bool Inside(Contour& c, const floatPoint& p);
    bool Beside(Contour& c, const floatPoint& p, float tol);
    // Buckets by [lo, hi]; within a bucket in the orders byLow and byHigh.
    void Fill(Buckets& b, const std::vector<std::int64_t>& lo, const std::vector<std::int64_t>& hi,
              const std::vector<std::uint16_t>& byLow, const std::vector<std::uint16_t>& byHigh);
    // Sorts order by key (ascending, or descending); an order kept from before is only mended.
    void Order(std::vector<std::uint16_t>& order, const std::vector<std::int64_t>& key,
               bool descending, bool fresh);
    // The integer forms of c's members, their boxes, orders and buckets.
    void Chords(Contour& c, bool fresh);
    void Build();

    // The contours whose control boxes meet the cells from column x0 to x1 and row y0 to y1,
    // each once and in path order.
    void Candidates(int x0, int x1, int y0, int y1);
    int CellX(double x) const;
    int CellY(double y) const;

    Path* path_;
    std::vector<Contour> contours_;
    std::vector<char> closed_;
    std::vector<char> only_; // empty: every sub-path
    // A grid of the contours' control boxes over the path's box.
    double left_ = 0, bottom_ = 0, cell_ = 1;
    int columns_ = 1, rows_ = 1;
    std::vector<std::uint32_t> cellFirst_, cellItems_;
    std::vector<std::uint32_t> contourSeen_;
    std::vector<std::uint32_t> candidates_;
    floatBBox box_;
    bool any_ = false;
    std::uint32_t stamp_ = 0;
    // Scratch of the builds.
    std::vector<std::int32_t> firstBucket_, lastBucket_;
    std::vector<std::uint32_t> fill_;
    std::vector<std::int32_t> cells_[4]; // a member's first and last grid column and row
    std::vector<std::uint64_t> keys_, spare_;
};
