#pragma once
// Node editing on the members of a sub-path: selection, dragging, smooth and symmetric joints,
// alignment.
//
// Node i of a sub-path of n members is where member i-1 ends and member i starts; node 0
// takes member n-1 as its previous member (an open sub-path's node 0 is its start point and
// is no joint). The joint handles of a node are the previous member's second control point
// minus the node (its start for a line) and the next member's first control point minus the
// node (its end for a line).
//
// Selection lives in the members' flags word, shared by the node tools:
//   PM_SELECTED (0x0008)      the member has a selected point
//   PM_START_SEL (0x0400)     its start is selected
//   PM_CTRL1_SEL (0x0800)     its first control point is selected
//   PM_CTRL2_SEL (0x1000)     its second control point is selected
//   PM_END_SEL (0x2000)       its end is selected
// A node is selected when the member ending there has PM_END_SEL and PM_SELECTED and the
// member starting there has PM_START_SEL and PM_SELECTED. The node tools select a node with
// PM_CTRL2_SEL | PM_END_SEL on the member ending there and PM_START_SEL | PM_CTRL1_SEL on the
// member starting there; a handle moves with its node only when its own bit is set, and
// clearing the selection clears PM_ALL_SEL. A node's smooth (0x0080) and symmetric (0x0100)
// marks belong to the member starting there. Every function sets PM_CHANGED (0x0200) on the
// members whose flags or geometry it changes, and marks a sub-path whose geometry changed with
// SP_ALL_INVALID. The Path forms work on every finished sub-path and then validate the path
// (SP_ALL_INVALID), which also drops empty sub-paths.

#include <cstdint>

#include "pathkit/PathMember.h"
#include "pathkit/Point.h"
#include "pathkit/export.h"

class Path;
class SubPath;
class floatBBox;

// Node-selection bits of PathMember::flags.
inline constexpr std::uint16_t PM_START_SEL = 0x0400;
inline constexpr std::uint16_t PM_CTRL1_SEL = 0x0800;
inline constexpr std::uint16_t PM_CTRL2_SEL = 0x1000;
inline constexpr std::uint16_t PM_END_SEL = 0x2000;
inline constexpr std::uint16_t PM_NODE_SEL = 0x3C00;
// The node bits and the member's own selection bit.
inline constexpr std::uint16_t PM_ALL_SEL = 0x3C08;

// A line becomes a curve with its control points at 1/3 and 2/3 of the chord; a curve stays.
PATHKIT_API void ConvertToCurve(PathMember& m);

// Joins prev's end to next's start and makes the joint smooth. Two curves: both handles turn
// (keeping their lengths) until they are opposite; equal handles turn by half the joint's turn
// each, otherwise next's handle takes the larger share. One curve
// and one line: the curve's handle takes the line's direction, keeping its length. Two lines
// are only joined. Except for two lines, next gets PM_SMOOTH.
PATHKIT_API void MakeSmoothConnection(PathMember& prev, PathMember& next);
// MakeSmoothConnection, then for two curves both handles take their mean length (a zero handle
// stays) and next gets PM_SYMMETRIC.
PATHKIT_API void MakeSymmetricConnection(PathMember& prev, PathMember& next);

// Every member with (flags & mask) == value gets PM_CHANGED.
PATHKIT_API void Touch(SubPath& sp, unsigned mask, unsigned value);
PATHKIT_API void Touch(Path& path, unsigned mask, unsigned value);

// Box selection: in every sub-path whose control box meets the box, the members' PM_SELECTED
// is recomputed; a start inside the box (edges included) sets, or with toggle flips,
// PM_START_SEL | PM_CTRL1_SEL, an end inside PM_CTRL2_SEL | PM_END_SEL; a member with any node
// bit gets PM_SELECTED.
PATHKIT_API void SelectPathMembersIn(Path& path, const floatBBox& box, int toggle);

// The number of members with PM_SELECTED; keeps SP_HAS_SELECTION of the sub-path's state.
PATHKIT_API unsigned CountSelectionIn(SubPath& sp);

// Moves the selected nodes (and the selected control points of curves beside them) by delta,
// then re-applies the smooth joints. A selected point at a free end of an open sub-path, or at
// a gap, moves on its own bit.
PATHKIT_API void MoveSelectionIn(SubPath& sp, const floatPoint& delta);
PATHKIT_API void MoveSelectionIn(Path& path, const floatPoint& delta);

// Drags one control point at the joint prev -> next to point: which = 0 prev's second control
// point, otherwise next's first. A smooth joint keeps its handles opposite: with a line on the
// other side the dragged handle is projected onto the line's direction; with two curves the
// opposite handle turns along, and for a non-symmetric joint keeps its length. The control
// point of a line is never moved.
PATHKIT_API void ControlPointEdit(PathMember& prev, PathMember& next, const floatPoint& point,
                                  int which);

// Moves the curve's control points so that its point at parameter t (0..1) moves by exactly
// delta, the first control point moving (1 - t) / t times as far as the second. Nothing moves
// at t = 0 or 1, for a line, or for a non-finite t.
PATHKIT_API void EditCurve(PathMember& m, double t, const floatPoint& delta);

// MakeSmoothConnection at every joint whose member after the node has PM_SMOOTH (not at node 0
// of an open sub-path).
PATHKIT_API void UpdateConnectionsIn(SubPath& sp);

// Classifies the joints by their turn |Angle| <= angleTol (radians) and, for symmetric, by
// their handle ratio min(l, 1/l) >= 1 - ratioTol. mode 0 only selects the smooth nodes
// (PM_ALL_SEL on both members); otherwise only selected nodes count: they lose their marks and
// get PM_SMOOTH / PM_SYMMETRIC as found, mode 1 also reshaping them with MakeSmoothConnection
// and MakeSymmetricConnection. Returns non-zero when any node was selected or classified; 0
// when angleTol <= 0.
PATHKIT_API int DetectConnectionTypesIn(SubPath& sp, int smooth, float angleTol, int symmetric,
                                        float ratioTol, int mode);
PATHKIT_API int DetectConnectionTypesIn(Path& path, int smooth, float angleTol, int symmetric,
                                        float ratioTol, int mode);

// axisY selects y, otherwise x. apply != 0: the selected points of the selected members get
// the coordinate value. apply = 0: the node bits are set again on exactly the points whose
// coordinate lies within tol of value. A value (or, to select, a tol) that is not a number
// changes nothing. Returns non-zero when anything changed.
PATHKIT_API int AlignIn(SubPath& sp, float value, float tol, int axisY, int apply);
