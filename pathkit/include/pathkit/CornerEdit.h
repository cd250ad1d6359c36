#pragma once
// Sharp corners in place of a member, and round corners (fillets) at a node.

#include "pathkit/PathMember.h"
#include "pathkit/export.h"

class SubPath;

// Replaces member `index` by a sharp corner. When the previous member's end tangent and the
// next member's start tangent differ by at most 160 degrees, both are extended to where they
// cross and the member is deleted (result 1). At a sharper turn a curve member becomes a line
// along one of its own end tangents, meeting the neighbour on that side where their tangents
// cross (result 0). -1 changes nothing: a line at such a turn, tangents that do not cross, a
// member without a neighbour on each side (the ends of an open sub-path), fewer than three
// members.
PATHKIT_API int CreateCornerAt(SubPath& sp, unsigned index);
// CreateCornerAt for every selected member: a member kept as a line is unselected, a deleted
// member's place is visited again. Returns non-zero when any corner was made.
PATHKIT_API int CreateCornersIn(SubPath& sp);

// A fillet of the radius between prev and next (prev ends where next starts), appended to out
// as arc members (SubPathArc.h); the centre is where the members' offsets by the radius on the
// inside of the turn cross, measured with out's accuracy. prev is cut back to where the arc
// begins and next to where it ends. Returns 0, or -1 with nothing changed when there is no
// fillet (no positive finite radius, offsets that do not cross, a centre with no foot point on
// a member, a turn too small for an arc).
PATHKIT_API int RoundCorner(PathMember& prev, PathMember& next, float radius, SubPath& out);
// RoundCorner at node `node`: the arc is inserted before member `node`, its members selected,
// and next marked smooth. Returns the number of arc members; 0 with nothing changed when
// there is no fillet or no joint at the node.
PATHKIT_API int RoundCornerAt(SubPath& sp, unsigned node, float radius);
