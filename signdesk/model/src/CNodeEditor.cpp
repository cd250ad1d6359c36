#include "model/CNodeEditor.h"

#include <cmath>

#include "model/CEditablePathIterator.h"
#include "model/CPathObj.h"
#include "model/CSign.h"
#include "pathkit/NodeCleanup.h"
#include "pathkit/NodeDelete.h"
#include "pathkit/NodeEdit.h"

namespace {

constexpr std::uint16_t kUnselectMask = std::uint16_t(~PM_ALL_SEL); // 0xC3F7

// Layers in hit-test order, the topmost first.
constexpr int kTopLayer = 127;
constexpr int kBottomLayer = -127;

bool HasNodes(CPathObj* pPath) {
    return (pPath->m_path.pathFlags & CP_HAS_SELECTION) != 0;
}

} // namespace

void CNodeEditor::Attach(CSign* pSign) {
    m_pSign = pSign;
    if (m_pSign != nullptr) m_pSign->RefreshBounds(1);
    ComputeSelectionBox();
    CountSelectedNodes(nullptr, nullptr, nullptr);
}

void CNodeEditor::RefreshSign() {
    if (m_pSign == nullptr) return;
    m_pSign->RefreshBounds(1);
    m_pSign->UpdateSelection();
}

BOOL CNodeEditor::IsOnHiddenLayer(CSignObj* pObj) const {
    if (m_pSign == nullptr || pObj == nullptr) return 0;
    return m_pSign->IsLayerVisible(pObj->GetLayer()) ? 0 : 1;
}

void CNodeEditor::CountSelectedPaths(unsigned flags) {
    m_nSelectedPaths = 0;
    for (CEditablePathIterator it(m_pSign); CPathObj* pPath = it.CurrentPath(); it.Next()) {
        pPath->m_path.Validate(flags);
        if (pPath->m_bSelected && !IsOnHiddenLayer(pPath)) ++m_nSelectedPaths;
    }
}

DWORD CNodeEditor::CountSelectedNodes(CSelectedPathIterator* pPos, int* pSubPath, int* pMember) {
    CountSelectedPaths(SP_CTRLBOX_INVALID | SP_CLUSTERS_INVALID);
    m_nPathsWithNodes = m_nSubPathsWithNodes = m_nSelectedNodes = 0;
    bool found = false;
    for (CSelectedPathIterator it(this); CPathObj* pPath = it.CurrentPath(); it.Next()) {
        Path& path = pPath->m_path;
        pPath->m_path.pathFlags = std::uint16_t(pPath->m_path.pathFlags & ~CP_HAS_SELECTION);
        const DWORD subPathsBefore = m_nSubPathsWithNodes;
        for (std::uint16_t s = 0; s < path.subPaths.Filled(); ++s) {
            SubPath& sp = path.subPaths[s];
            bool any = false;
            for (std::uint16_t k = 0; k < sp.members.Filled(); ++k) {
                if (!sp.members[k].IsPMSelected()) continue;
                ++m_nSelectedNodes;
                any = true;
                if (found) continue;
                found = true;
                if (pPos != nullptr) *pPos = it;
                if (pSubPath != nullptr) *pSubPath = s;
                if (pMember != nullptr) *pMember = k;
            }
            if (!any) continue;
            ++m_nSubPathsWithNodes;
            pPath->m_path.pathFlags |= CP_HAS_SELECTION;
        }
        if (m_nSubPathsWithNodes > subPathsBefore) ++m_nPathsWithNodes;
    }
    return m_nSelectedNodes;
}

void CNodeEditor::UnselectAllNodes() {
    for (CSelectedPathIterator it(this); CPathObj* pPath = it.CurrentPath(); it.Next()) {
        bool changed = false;
        for (SubPath& sp : pPath->m_path.subPaths)
            for (PathMember& m : sp.members) {
                const std::uint16_t old = m.flags;
                m.flags &= kUnselectMask;
                if (m.flags == old) continue;
                m.flags |= PM_CHANGED;
                changed = true;
            }
        if (changed) pPath->UpdateStamp();
    }
}

void CNodeEditor::ComputeSelectionBox() {
    CountSelectedPaths(SP_CTRLBOX_INVALID | SP_CLUSTERS_INVALID);
    bool first = true;
    m_ctrlBox = m_accBox = floatBBox();
    for (CSelectedPathIterator it(this); CPathObj* pPath = it.CurrentPath(); it.Next()) {
        const Path& path = pPath->m_path;
        if (!path.subPaths.Filled()) continue; // no box to add
        if (first) {
            m_ctrlBox = path.ctrlBox;
            m_accBox = path.accBox;
            first = false;
        } else {
            m_ctrlBox += path.ctrlBox;
            m_accBox += path.accBox;
        }
    }
}

CPathObj* CNodeEditor::HitTest(floatPoint& p, float tolerance, unsigned* pSubPath,
                               unsigned* pMember, std::uint32_t* pParam) {
    CountSelectedPaths(SP_CTRLBOX_INVALID | SP_CLUSTERS_INVALID);
    if (m_pSign == nullptr) return nullptr;
    for (int layer = kTopLayer; layer >= kBottomLayer; --layer) {
        if (m_pSign->GetLayerCount(layer) == 0 || !m_pSign->IsLayerVisible(layer)) continue;
        CEditablePathIterator it(m_pSign);
        for (it.Last(); CPathObj* pPath = it.CurrentPath(); it.Prev()) {
            if (pPath->GetLayer() != layer) continue;
            if (!pPath->m_path.accBox.IsInside(p, tolerance)) continue;
            unsigned sub = 0, member = 0;
            std::uint32_t param = 0;
            if (!pPath->m_path.IsBeside(p, tolerance, sub, member, param)) continue;
            if (pSubPath != nullptr) *pSubPath = sub;
            if (pMember != nullptr) *pMember = member;
            if (pParam != nullptr) *pParam = param;
            return pPath;
        }
    }
    return nullptr;
}

int HitMemberPoint(const floatPoint& p, float tolerance, const PathMember* pMember) {
    if (pMember == nullptr) return -1;
    auto near = [&](const floatPoint& q) {
        return std::fabs(q.x - p.x) <= tolerance && std::fabs(q.y - p.y) <= tolerance;
    };
    if (near(pMember->start)) return 0;
    if (near(pMember->end)) return 1;
    if (pMember->IsCurve()) {
        if (near(pMember->ctrl1)) return 2;
        if (near(pMember->ctrl2)) return 3;
    }
    return -1;
}

CPathObj* CNodeEditor::HitControlPoint(floatPoint& p, float tolerance, int* pSubPath, int* pMember,
                                       int* pPoint) {
    CountSelectedPaths(SP_CTRLBOX_INVALID | SP_CLUSTERS_INVALID);
    for (CSelectedPathIterator it(this); CPathObj* pPath = it.CurrentPath(); it.Next()) {
        Path& path = pPath->m_path;
        if (!path.ctrlBox.IsInside(p, tolerance)) continue;
        for (std::uint16_t s = 0; s < path.subPaths.Filled(); ++s) {
            SubPath& sp = path.subPaths[s];
            if (!sp.ctrlBox.IsInside(p, tolerance)) continue;
            for (std::uint16_t k = 0; k < sp.members.Filled(); ++k) {
                if (!sp.members[k].IsPMSelected()) continue;
                const int which = HitMemberPoint(p, tolerance, &sp.members[k]);
                if (which < 0) continue;
                if (pSubPath != nullptr) *pSubPath = s;
                if (pMember != nullptr) *pMember = k;
                if (pPoint != nullptr) *pPoint = which;
                return pPath;
            }
        }
    }
    return nullptr;
}

CPathObj* CNodeEditor::FindPathContaining(floatPoint& p) {
    CountSelectedPaths(SP_CTRLBOX_INVALID | SP_CLUSTERS_INVALID);
    if (m_pSign == nullptr) return nullptr;
    for (int layer = kTopLayer; layer >= kBottomLayer; --layer) {
        if (m_pSign->GetLayerCount(layer) == 0 || !m_pSign->IsLayerVisible(layer)) continue;
        CEditablePathIterator it(m_pSign);
        for (it.Last(); CPathObj* pPath = it.CurrentPath(); it.Prev()) {
            if (pPath->GetLayer() != layer) continue;
            if (pPath->m_path.accBox.IsInside(p, 0) && (pPath->m_path.Inside(p) & 1)) return pPath;
        }
    }
    return nullptr;
}

void CNodeEditor::SelectNodesIn(const floatBBox& box, int toggle) {
    for (CSelectedPathIterator it(this); CPathObj* pPath = it.CurrentPath(); it.Next()) {
        pPath->m_path.Validate(SP_ALL_INVALID);
        SelectPathMembersIn(pPath->m_path, box, toggle);
        pPath->UpdateStamp();
    }
}

void CNodeEditor::Touch(unsigned mask, unsigned value) {
    for (CEditablePathIterator it(m_pSign); CPathObj* pPath = it.CurrentPath(); it.Next())
        if (!pPath->m_bSelected || !IsOnHiddenLayer(pPath)) ::Touch(pPath->m_path, mask, value);
}

void CNodeEditor::LocalSmooth(float accuracy, float angle) {
    for (CSelectedPathIterator it(this); CPathObj* pPath = it.CurrentPath(); it.Next()) {
        if (!HasNodes(pPath)) continue;
        for (SubPath& sp : pPath->m_path.subPaths) {
            ::LocalSmooth(sp, accuracy, angle);
            sp.SetPMState(PM_ALL_SEL, PM_ALL_SEL, PM_SELECTED, PM_SELECTED);
        }
        pPath->UpdateStamp();
    }
}

void CNodeEditor::DeleteSelectedNodes(int kind) {
    for (CSelectedPathIterator it(this); CPathObj* pPath = it.CurrentPath(); it.Next()) {
        if (!HasNodes(pPath)) continue;
        DeleteSelNodesIn(pPath->m_path, kind);
        pPath->UpdateStamp();
    }
}

void CNodeEditor::DeleteSelectedLines() {
    for (CSelectedPathIterator it(this); CPathObj* pPath = it.CurrentPath(); it.Next()) {
        if (!HasNodes(pPath)) continue;
        DeleteSelLinesIn(pPath->m_path);
        pPath->UpdateStamp();
    }
}

namespace {

// Applies `change` to each selected member of `pPath`; `change` answers whether it changed
// the member. Sub-paths with a changed member are invalidated.
template <class Change> void ChangeSelectedMembers(CPathObj* pPath, Change change) {
    for (SubPath& sp : pPath->m_path.subPaths) {
        bool changed = false;
        for (PathMember& m : sp.members)
            if (m.IsPMSelected() && change(m)) changed = true;
        if (changed) sp.Invalidate(SP_ALL_INVALID);
    }
}

} // namespace

void CNodeEditor::ConvertToLines() {
    for (CSelectedPathIterator it(this); CPathObj* pPath = it.CurrentPath(); it.Next()) {
        if (!HasNodes(pPath)) continue;
        ChangeSelectedMembers(pPath, [](PathMember& m) {
            if (!m.IsCurve()) return false;
            m.flags = std::uint16_t((m.flags & ~PM_CURVE) | PM_CHANGED);
            // A line keeps its end points in the control point fields.
            m.ctrl1 = m.start;
            m.ctrl2 = m.end;
            return true;
        });
        pPath->UpdateStamp();
    }
}

void CNodeEditor::ConvertToCurves() {
    for (CSelectedPathIterator it(this); CPathObj* pPath = it.CurrentPath(); it.Next()) {
        if (!HasNodes(pPath)) continue;
        ChangeSelectedMembers(pPath, [](PathMember& m) {
            if (m.IsCurve()) return false;
            ConvertToCurve(m);
            return true;
        });
        pPath->UpdateStamp();
    }
}

void CNodeEditor::RemoveEmptyParts() {
    if (m_pSign == nullptr) return;
    for (CEditablePathIterator it(m_pSign); CPathObj* pPath = it.CurrentPath(); it.Next()) {
        if (IsOnHiddenLayer(pPath)) continue;
        SubPathEClassDynArr& subPaths = pPath->m_path.subPaths;
        for (int i = subPaths.Filled() - 1; i >= 0; --i)
            if (!subPaths[std::uint16_t(i)].members.Filled())
                subPaths.DeleteAt(std::uint16_t(i), 1);
        pPath->UpdateStamp();
    }
    RemoveEmptyObjects(*m_pSign);
}

void CNodeEditor::MoveSelection(const floatPoint& delta) {
    for (CSelectedPathIterator it(this); CPathObj* pPath = it.CurrentPath(); it.Next()) {
        if (!HasNodes(pPath)) continue;
        MoveSelectionIn(pPath->m_path, delta);
        pPath->UpdateStamp();
    }
}

void CNodeEditor::DetectConnectionTypes(int smooth, float angleTol, int symmetric, float ratioTol,
                                        int mode) {
    for (CSelectedPathIterator it(this); CPathObj* pPath = it.CurrentPath(); it.Next())
        if (DetectConnectionTypesIn(pPath->m_path, smooth, angleTol, symmetric, ratioTol, mode))
            pPath->UpdateStamp();
}

void CNodeEditor::GetSelectedNodesBox(floatBBox& box) {
    box = floatBBox();
    bool first = true;
    for (CSelectedPathIterator it(this); CPathObj* pPath = it.CurrentPath(); it.Next())
        for (const SubPath& sp : pPath->m_path.subPaths)
            for (const PathMember& m : sp.members) {
                if (!m.IsPMSelected()) continue;
                floatBBox b;
                m.CtrlBBox(b);
                if (first)
                    box = b;
                else
                    box += b;
                first = false;
            }
}
