#pragma once
// Approximate parallel of one path member: the member is split into pieces that turn at most
// a quarter turn and have balanced handles, and each piece is moved along its end normals.
// Circular arcs of up to 90 degrees offset exactly.
//
// A positive distance moves to the right of the direction of travel (outwards on a
// counter-clockwise contour), a negative one to the left.

#include "pathkit/PathMember.h"
#include "pathkit/export.h"

class PATHKIT_API MemberOffsetter {
public:
    static constexpr float DefaultHandleRatio = 1.2f;
    // Pieces at this splitting depth are kept whole.
    static constexpr int MaxDepth = 31;

    // An accuracy that is not a positive finite number takes Path::DefAccuracy; a handle
    // ratio limit below 1 (or NaN) takes DefaultHandleRatio.
    explicit MemberOffsetter(float accuracy, float handleRatio = DefaultHandleRatio);

    // Replaces pieces with the member split into pieces fit for offsetting: halves at t = 0.5
    // until a piece turns at most 90 degrees and is straight, or also has handle lengths
    // within the ratio limit, no chord crossing the control segment and no crossing handles.
    // For these tests a control point equal to its own end point takes the other control
    // point's place (and a piece kept whole keeps that change); halves are cut from the piece
    // as it was. Splitting also stops for points that are not finite and near the array limit.
    void Split(const PathMember& m);

    // One piece moved by d. A line becomes a line (flags 0). A curve gets its ends moved along
    // the normals of its end tangents and its handles scaled by the ratio of the distances
    // from the crossing of those normals (a circular arc's centre) before and after the move;
    // when the normals do not cross the handles stay as they are. A zero handle takes the
    // chord's direction; when the chord is zero too, that end does not move.
    static PathMember Offset(const PathMember& piece, float d);

    // Split, then append the offset of every piece to out.
    void OffsetMember(const PathMember& m, float d, PathMemberDynArr& out);

    float accuracy;
    float handleRatio;
    int depth;
    PathMemberDynArr pieces;

private:
    void SplitPiece(const PathMember& m);
    bool IsWellBehaved(PathMember& piece) const;
};
