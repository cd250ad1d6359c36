#pragma once
// A shape: finished sub-paths plus the sub-path being built point by point.

#include <cstdint>

#include "pathkit/BBox.h"
#include "pathkit/DynArr.h"
#include "pathkit/PathCmd.h"
#include "pathkit/PathMember.h"
#include "pathkit/SubPath.h"
#include "pathkit/export.h"

class floatTMatrix;

// Called by Path::Append with each member it completes, and with a dropped zero-length line.
using PMCallback = void (*)(PathMember*);

// Copy construction is deep (the sub-path being built is not copied); assignment transfers
// the buffers and leaves the source's arrays empty.
class PATHKIT_API Path {
public:
    // Taken by a path constructed with accuracy 0 (millimetres).
    static float DefAccuracy;
    // a when it is a positive finite number, else DefAccuracy (0.1 when that is no such
    // number either).
    static float ValidAccuracy(float a);

    explicit Path(float accuracy = 0);
    Path(const Path& other);
    Path(Path&& other) noexcept;
    Path& operator=(Path& other) noexcept;
    Path& operator=(Path&& other) noexcept;
    ~Path() = default;

    // The building protocol: PC_MOVETO finishes the sub-path in progress and remembers the
    // point; PC_LINETO adds a line (a zero-length line only as the first member);
    // PC_CURVETO and two PC_CURVEPOINTs add a cubic. Commands whose low three bits are
    // 4 to 7 add nothing.
    void Append(PathCmd cmd, float x, float y, PMCallback callback = nullptr);
    // A line from the current point.
    void Append(float x, float y);
    // A cubic from the current point.
    void Append(float x1, float y1, float x2, float y2, float x3, float y3);
    void MoveTo(const floatPoint& p) { Append(PC_MOVETO, p.x, p.y); }
    void LineTo(const floatPoint& p) { Append(p.x, p.y); }
    void CurveTo(const floatPoint& c1, const floatPoint& c2, const floatPoint& e) {
        Append(c1.x, c1.y, c2.x, c2.y, e.x, e.y);
    }
    // Finishes the sub-path being built; adds no closing line.
    void ClosePath();
    // Adds a line back to the start of the sub-path being built when it is not there yet.
    void Close();
    // The last point given.
    floatPoint LastPoint() const { return pending.end; }

    // Moves sp into the finished sub-paths; sp is left empty.
    void AddSubPath(SubPath& sp);
    // Moves all finished sub-paths of other to the end of this path.
    void Concat(Path& other);

    // ORs bits into every finished sub-path's state.
    void Invalidate(unsigned bits);
    // Drops empty sub-paths and recomputes what is requested and invalid; the path's boxes
    // follow. Returns the bits handled.
    unsigned Validate(unsigned bits);
    void RecalcCtrlBBox();
    void RecalcAccBBox();
    void RefreshBBoxes();
    void BuildClusters(unsigned n);
    void SetAccuracy(float a);

    // Canonical form: degenerate members removed, sub-paths ordered deepest first (open ones
    // last), outer contours counter-clockwise and holes clockwise.
    void Prepare();
    // Removes zero-length members (except looping curves) and empty sub-paths.
    void Clean();
    // Splits sub-paths at gaps; returns the number of pieces made.
    int CollectOpenSubPaths();

    void Transform(const floatTMatrix& m);

    void SetPMState(std::uint16_t mask, std::uint16_t value, std::uint16_t testMask,
                    std::uint16_t testValue);
    void SelectPM(std::uint16_t testMask, std::uint16_t testValue);
    void UnSelectPM(std::uint16_t testMask, std::uint16_t testValue);
    unsigned Count(std::uint16_t testMask, std::uint16_t testValue) const;

    // queries and repair
    // The first finished sub-path whose outline passes within tol of p: its index, the member
    // and the parameter there.
    int IsBeside(const floatPoint& p, float tol, unsigned& subPath, unsigned& member,
                 std::uint32_t& param);
    // The number of closed sub-paths around p (odd: inside under the even-odd rule).
    int Inside(const floatPoint& p);
    // Depth + 1 of the first closed sub-path around p (the deepest after Prepare), or 0.
    int QuickInside(const floatPoint& p);
    // The crossings of all sub-paths with one ray; rule 1 non-zero winding, else even-odd.
    int SimpleInside(const floatPoint& p, int direction, int rule);
    // 1 inside, 0 outside (also when the ray directions disagree).
    int IsInside(const floatPoint& p, int rule);
    // SubPath::Smooth on every sub-path (tol 0: the path's accuracy).
    void Smooth(float tol);
    void Snap();
    // Rebuilds the path where its sub-paths touch, cross or overlap each other; 1 when that
    // changed the contours (where they only touch at points it gives back the same ones).
    int RemoveSPConnections();
    // Clean, without self-connections and overlaps between or within sub-paths, prepared.
    // A path in normal form is not worked through again.
    void Normalize();
    // Normal form: Normalize and Prepare would change nothing but clear the overlay and
    // insertion marks. Known after a Normalize that changed nothing (or after MarkNormal) while
    // the sub-paths, their number and the accuracy stay as they were; every Invalidate,
    // Reverse, SetAccuracy or Transform of a sub-path and every sub-path added ends it (code
    // that changes members in place invalidates them, as it must for the boxes).
    bool IsNormal() const;
    // Records the normal form; only for a path shown to be in it.
    void MarkNormal();

    SubPathEClassDynArr subPaths;
    PathMember pending;       // the member being assembled; its end is the last point given
    std::uint16_t curveState; // 0 idle, 1 first control point given, 2 second given
    SubPath building;
    floatBBox ctrlBox; // union of the finished sub-paths' boxes
    floatBBox accBox;
    float accuracy;
    std::uint32_t clusterCount; // last given to BuildClusters

private:
    // The sub-path count and accuracy when the normal form was recorded; count 0: none.
    std::uint32_t normalCount_;
    float normalAccuracy_;

    floatPoint PreviousPoint() const;
    void AppendLine(float x, float y, PMCallback callback);
    void UniteCtrlBoxes();
    void UniteAccBoxes();
};

// Frees the path's finished sub-paths and adds the box as one closed rectangle, prepared.
PATHKIT_API void BuildBox(const floatBBox& box, Path& path);
// Appends an arc around (cx, cy) of radius r from angle a0 to a1 (radians), one cubic per 45
// degrees or part of it; ys scales the y offsets (1: counter-clockwise with y up, -1 mirrored).
PATHKIT_API void Arc(Path& path, float cx, float cy, float r, double a0, double a1, float ys);

// Paths own buffers, so every array of them constructs and destroys its elements; the plain
// form is the base of the element-class form.
using PathDynArr = DynArr<Path, true>;
using PathEClassDynArr = EClassDynArr<Path>;
