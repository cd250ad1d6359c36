// The clean-up operations of the node editor: snapping, selecting members by shape, corners,
// alignment and rounding.
#include <cmath>

#include "model/CEditablePathIterator.h"
#include "model/CNodeEditor.h"
#include "model/CPathObj.h"
#include "pathkit/CornerEdit.h"
#include "pathkit/NodeCleanup.h"
#include "pathkit/NodeEdit.h"
#include "pathkit/PathMeasure.h"
#include "pathkit/PathQueries.h"

namespace {

// Sets (select) or clears the member's selection bits; true when its flags changed.
bool SetSelected(PathMember& m, bool select) {
    const std::uint16_t old = m.flags;
    if (select)
        m.flags |= PM_ALL_SEL;
    else
        m.flags &= std::uint16_t(~PM_ALL_SEL);
    if (m.flags == old) return false;
    m.flags |= PM_CHANGED;
    return true;
}

// Calls op(sub-path) on every sub-path of every path the editor works on; a path whose op
// reported a change gets its stamp.
template <class Op> void ForEachSubPath(CNodeEditor* pEditor, Op&& op) {
    for (CSelectedPathIterator it(pEditor); CPathObj* pPath = it.CurrentPath(); it.Next()) {
        bool changed = false;
        for (SubPath& sp : pPath->m_path.subPaths)
            if (op(sp)) changed = true;
        if (changed) pPath->UpdateStamp();
    }
}

} // namespace

void CNodeEditor::SnapLines(float angle, float tolerance, int selectedOnly) {
    ForEachSubPath(this, [&](SubPath& sp) {
        const bool snapped = SnapLinesIn(sp, angle, tolerance, selectedOnly) != 0;
        RecoverConnectionsIn(sp);
        return snapped;
    });
}

void CNodeEditor::SelectMembersByShape(int angleTest, float angle, float angleTol, int lengthTest,
                                       float minLength, float maxLength, int spinTest,
                                       float minSpin, float maxSpin, int select) {
    ForEachSubPath(this, [&](SubPath& sp) {
        bool changed = false;
        for (PathMember& m : sp.members) {
            if (angleTest && !(std::fabs(MinAngle(m.end - m.start, angle)) < angleTol)) continue;
            if (lengthTest) {
                const float length = GetPMLength(m, 0.01f);
                if (!(minLength <= length && length <= maxLength)) continue;
            }
            if (spinTest) {
                const double spin = std::fabs(m.Spin());
                if (!(minSpin <= spin && spin <= maxSpin)) continue;
            }
            if (SetSelected(m, select != 0)) changed = true;
        }
        return changed;
    });
}

void CNodeEditor::MakeCorners() {
    ForEachSubPath(this, [](SubPath& sp) { return CreateCornersIn(sp) != 0; });
}

void CNodeEditor::AlignPoints(float value, float tolerance, int axisY, int apply) {
    ForEachSubPath(this,
                   [&](SubPath& sp) { return AlignIn(sp, value, tolerance, axisY, apply) != 0; });
}

void CNodeEditor::RoundCorners(float maxAngle, float minAngleOrRadius, int apply) {
    ForEachSubPath(this, [&](SubPath& sp) {
        bool changed = false;
        // Node 0 of an open sub-path is its free start, no corner.
        const unsigned firstNode = sp.IsClosed() ? 0 : 1;
        for (unsigned i = firstNode; i < sp.members.Filled(); ++i) {
            const std::uint16_t n = sp.members.Filled();
            PathMember& prev = sp.members[std::uint16_t(i == 0 ? n - 1 : i - 1)];
            PathMember& next = sp.members[std::uint16_t(i)];
            if (prev.IsCurve() || next.IsCurve()) continue;
            if (apply) {
                if (!prev.IsPMSelected() || !next.IsPMSelected()) continue;
                i += unsigned(RoundCornerAt(sp, i, minAngleOrRadius));
                changed = true;
            } else {
                const double a = std::fabs(Angle(prev, next));
                if (!(minAngleOrRadius <= a && a <= maxAngle)) continue;
                SetSelected(prev, true);
                SetSelected(next, true);
                changed = true;
            }
        }
        return changed;
    });
}
