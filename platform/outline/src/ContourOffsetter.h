#pragma once
// Raw offset contours: every member of a contour moved sideways by the distance, as curves,
// and the corners joined. A raw contour may cross itself and fold back where the distance
// exceeds the contour's own size; WindingFilter cuts out what bounds the grown area.
//
// At a corner where the moved members part (the outer side of the turn) the corner treatment
// closes the gap; where they overlap they are joined through the corner point itself, so that
// the loop this makes is wound the same way as the contour and disappears in the filter.

#include <vector>

#include "pathkit/PathMember.h"
#include "pathkit/Point.h"

class Path;
class SubPath;

class ContourOffsetter {
public:
    // Halvings allowed for a piece whose offset is not yet within the tolerance.
    static constexpr int MaxRefineDepth = 8;
    // Moved members that cross within this many accuracies of their ends are cut there.
    static constexpr double MeetReach = 4;
    // Pieces smaller than this many accuracies are dropped before they are moved, and handles
    // as near to an end point are put on it.
    static constexpr double DegenerateExtent = 1e-6;

    // distance: positive to the right of travel (outwards on a counter-clockwise contour).
    // mode: the corner treatment (OUTLINE_ROUND, OUTLINE_MITRE, OUTLINE_BEVEL); limitAngle in
    // degrees for mitres. Offset members deviate from the exact offset by at most half the
    // accuracy (millimetres) wherever halving can bring them there.
    ContourOffsetter(double distance, int mode, double limitAngle, float accuracy);

    // Appends the raw offset of a closed contour to raw as one closed sub-path; nothing for a
    // contour without length.
    void OffsetClosed(const SubPath& contour, Path& raw);
    // An open contour is taken as a stroke: along the contour and back again, so that a
    // positive distance gives the band around it. Nothing for a distance that is not positive.
    void OffsetOpen(const SubPath& contour, Path& raw);

    // The straight lines made across bevelled corners so far, and across curves too sharply
    // turned to move. They come nearer to the contour than the distance; every other point of
    // a result lies at the distance or beyond.
    struct Segment {
        floatPoint from, to;
    };
    const std::vector<Segment>& Bevels() const { return bevels_; }

    // The exact offset of a piece split by MemberOffsetter: its offset, with a handle turned
    // round where the distance passes the centre of curvature (the piece folds back there).
    PathMember OffsetPiece(const PathMember& piece) const;
    // The largest distance found between the offset of a piece and the exact offset curve.
    double OffsetError(const PathMember& piece, const PathMember& offset) const;

private:
    struct Vec {
        double x, y;
    };

    // An offset piece with the end points and the unit end tangents of the piece it came from.
    struct Piece {
        PathMember offset;
        floatPoint from, to;
        Vec tangentFrom, tangentTo;
        // The offset is the straight line between the moved ends of a curve (a bevel).
        bool straightened = false;
    };

    void OffsetCycle(const std::vector<PathMember>& members, Path& raw);
    void AddPiece(const PathMember& piece, int depth);
    // Whether the control points of a piece's offset lie within the distance of the piece.
    bool WithinReach(const PathMember& piece, const PathMember& offset) const;
    // Where the moved ends of two pieces lie within the accuracy, or cross right beside them,
    // both are moved to one point; false when a join is needed.
    bool Meet(Piece& prev, Piece& next) const;
    // Appends the members from the end of one piece to the start of the next (raw's current
    // point is e).
    void Join(Path& raw, const floatPoint& e, const floatPoint& s, const floatPoint& vertex,
              const Vec& t1, const Vec& t2);
    void RoundJoin(Path& raw, const floatPoint& e, const floatPoint& s, const floatPoint& vertex,
                   double turn) const;
    void MitreJoin(Path& raw, const floatPoint& e, const floatPoint& s, const floatPoint& vertex,
                   const Vec& t1, const Vec& t2, double turn) const;

    static Vec StartTangent(const PathMember& m);
    static Vec EndTangent(const PathMember& m);

    double distance_;
    int mode_;
    double limitAngle_; // radians
    float accuracy_;
    double tolerance_;
    std::vector<Piece> pieces_;
    std::vector<Segment> bevels_;
};
