#pragma once
// One contour: its members in drawing order with cached boxes and a cluster index.

#include <cstdint>

#include "pathkit/BBox.h"
#include "pathkit/DynArr.h"
#include "pathkit/Intersection.h"
#include "pathkit/PathMember.h"
#include "pathkit/ValueArrays.h"
#include "pathkit/export.h"

class Path;
class floatTMatrix;

// Bits of SubPath::state.
enum : std::uint16_t {
    SP_ACCBOX_INVALID = 0x0100,
    SP_CTRLBOX_INVALID = 0x0200,
    SP_CLUSTERS_INVALID = 0x0400,
    SP_ALL_INVALID = 0x0700,
    SP_HAS_SELECTION = 0x0800,
    // Member of a path in normal form and unchanged since (see Path::IsNormal); every
    // Invalidate and Reverse clears it.
    SP_NORMAL = 0x1000,
    // rotation is CalcRotation's answer for the members as they are (left by Path::Normalize
    // and the guarded combinations, or carried from an equal contour); CalcRotation keeps it.
    // Every Invalidate and Reverse clears it.
    SP_TURN_KNOWN = 0x2000,
    // Equal to a contour of a path in normal form, for the guarded combination that found it
    // so; every Invalidate and Reverse clears it.
    SP_CARRIED = 0x4000,
    // The contour neither touches nor crosses itself (BreakAtSelfConnections finds nothing);
    // every Invalidate and Reverse clears it.
    SP_SELF_CLEAN = 0x8000,
    // What is known of the members as they are.
    SP_KNOWN = SP_NORMAL | SP_TURN_KNOWN | SP_CARRIED | SP_SELF_CLEAN,
};

// Owns its three buffers and holds no pointer into itself, so the sub-path arrays may move it
// as raw bytes. Copy construction is deep; assignment transfers the buffers and leaves the
// source's arrays empty.
class PATHKIT_API SubPath {
public:
    static constexpr float DefaultAccuracy = 0.01f;
    // Clusters built by Validate when no count was given.
    static constexpr std::uint16_t DefaultClusterCount = 30;

    // An accuracy that is not a positive finite number takes Path::DefAccuracy.
    explicit SubPath(float accuracy = DefaultAccuracy);
    // Deep copy of the members, boxes, accuracy, cluster fields, state, depth and rotation;
    // starts with no intersections and no clusters (marked for rebuilding).
    SubPath(const SubPath& other);
    SubPath(SubPath&& other) noexcept;
    SubPath& operator=(SubPath& other) noexcept;
    SubPath& operator=(SubPath&& other) noexcept;
    ~SubPath() = default;

    // Has members and the first start equals the last end exactly.
    bool IsClosed() const;
    bool IsOpen() const { return !IsClosed(); }
    // Closed with odd depth.
    bool IsHole() const { return IsClosed() && (depth & 1); }
    bool HasSelection() const { return state & SP_HAS_SELECTION; }

    // Forgets the three buffers without freeing them (their ownership has passed elsewhere).
    void Empty();
    // Frees the three buffers.
    void Destroy();

    // Appends copies of the members; marks everything invalid.
    void Concat(const PathMemberDynArr& other);
    // Rotates the members so that member n comes first; marks the clusters invalid.
    void Rotate(int n);
    // Transforms the contour, making consecutive members meet; marks everything invalid.
    void Transform(const floatTMatrix& m);
    // Reverses the drawing direction, negates the rotation and rebuilds the clusters.
    void Reverse();
    // Sets each member's end to the next member's start; marks the clusters invalid.
    void MakeContinuous();

    // Recomputes what is both requested and invalid; returns the bits handled.
    unsigned Validate(unsigned bits);
    void CtrlBBox();
    void AccBBox();
    // n clusters of consecutive members (n = 0: none, users scan every member).
    void BuildClusters(unsigned n);
    void RebuildClusters() { BuildClusters(clusterCount); }
    // Members per cluster when BuildClusters(n) groups count members (n, count > 0).
    static unsigned ClusterStep(unsigned count, unsigned n);
    // Marks the exact box and the clusters invalid.
    void SetAccuracy(float a);
    void Invalidate(unsigned bits) { state = std::uint16_t((state | bits) & ~SP_KNOWN); }
    // Millimetres to the integer units of clusters and crossing tests.
    float ScaleFactor() const;

    // Members whose flags AND testMask equal testValue:
    // flags = (flags & ~mask) | (mask & value), marked changed when that changes them.
    void SetPMState(std::uint16_t mask, std::uint16_t value, std::uint16_t testMask,
                    std::uint16_t testValue);
    // Sets (clears) the selection bit without marking the members changed.
    void SelectPM(std::uint16_t testMask, std::uint16_t testValue);
    void UnSelectPM(std::uint16_t testMask, std::uint16_t testValue);
    unsigned Count(std::uint16_t testMask, std::uint16_t testValue) const;

    // Orientation at the right-most point: rotation = 1 clockwise, -1 counter-clockwise,
    // 0 unknown (left unchanged for a box of zero width or height). Returns 0.
    int CalcRotation();

    // Non-zero when this closed contour lies inside the other (decided by points of this contour
    // that are clear of the other's outline).
    int IsContainedBy(SubPath& other);

    // queries and repair
    // Hit test of the outline within tol: the member and the parameter where p lies.
    int IsBeside(const floatPoint& p, float tol, unsigned& member, std::uint32_t& param);
    // Crossings of the outline with a ray from p: direction 0 left, 1 down, 2 right, 3 up, -1
    // towards the nearest edge of the control box. rule 1: the signed sum (the winding number,
    // negated for the directions left and up), otherwise the number of crossings.
    int GetCrossings(const floatPoint& p, int direction, int rule);
    // rule 1: the crossings sum to non-zero; otherwise their number is odd.
    int SimpleInside(const floatPoint& p, int direction, int rule);
    // 1 inside, 0 outside, -1 undecided, from the first two ray directions that agree.
    int IsInside(const floatPoint& p, int rule);
    // Refits the drawn outline with lines and curves within 2 x tol (0: the accuracy); a and b
    // are the fitter's search and tangent modes.
    void Smooth(float tol, int a, int b);
    // Rounds every member's start and end (not the control points of curves) to the accuracy.
    void Snap();
    // Cuts the members at the points of the intersection list, marks the pieces that begin at a
    // cut point inserted, drops out-and-back spikes there and frees the list; a closed contour
    // then begins at its first inserted member. Returns the number of points the list held.
    int BreakApart();
    // Breaks the contour where it touches or crosses itself; non-zero when it does.
    int BreakAtSelfConnections();
    // Appends the contour without its self-connections and overlaps to out, as closed pieces
    // where possible; 0 (nothing appended) when it neither touches nor crosses itself.
    int RemoveSelfConnections(Path& out);

    PathMemberEDynArr members;
    floatBBox ctrlBox; // all points including control points
    floatBBox accBox;  // the drawn contour
    float accuracy;    // millimetres
    IntersectionEDynArr intersections;
    BBLDynArr clusters;
    std::uint16_t clusterStep;  // members per cluster
    std::uint16_t clusterCount; // requested clusters; 0 means DefaultClusterCount
    std::uint16_t state;
    std::int16_t depth;   // nesting depth from Path::Prepare; -1 when open
    std::int8_t rotation; // 1 clockwise, -1 counter-clockwise, 0 unknown
};

// Sub-paths own buffers, so every array of them constructs and destroys its elements; the
// plain form is the base of the element-class form.
using SubPathDynArr = DynArr<SubPath, true>;
using SubPathEClassDynArr = EClassDynArr<SubPath>;
