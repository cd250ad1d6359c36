#pragma once
// The object side of node editing: applies the path library's node functions to every
// selected, editable, unlocked path object on a visible layer of a sheet and keeps each
// object's content stamp current. Base of the node and freehand tools; also runs the
// clean-up operations.
//
// A path object whose ColorPath flags carry CP_HAS_SELECTION (0x0008) has selected nodes; the
// mark is set by CountSelectedNodes and the member operations act only on marked paths.
// Angles are radians, lengths millimetres.

#include <cstdint>

#include "pathkit/BBox.h"
#include "pathkit/Point.h"
#include "win32/base.h"

class CPathObj;
class CSign;
class CSignObj;
class CSelectedPathIterator;
class PathMember;

class CNodeEditor {
public:
    CNodeEditor() = default;

    void Attach(CSign* pSign);
    CSign* GetSign() const { return m_pSign; }
    void RefreshSign();
    BOOL IsOnHiddenLayer(CSignObj* pObj) const;

    // Validates every editable, unlocked path of the sheet; counts the selected ones on
    // visible layers.
    void CountSelectedPaths(unsigned flags);
    // Refreshes the counters and the has-selected-nodes marks; the first selected member
    // found is reported through the out arguments (each may be null). Returns the node count.
    DWORD CountSelectedNodes(CSelectedPathIterator* pPos, int* pSubPath, int* pMember);
    void UnselectAllNodes();
    void ComputeSelectionBox();

    // The topmost editable path whose outline passes within the tolerance (selected or not).
    CPathObj* HitTest(floatPoint& p, float tolerance, unsigned* pSubPath, unsigned* pMember,
                      std::uint32_t* pParam);
    // A point of a selected member of the selected paths.
    CPathObj* HitControlPoint(floatPoint& p, float tolerance, int* pSubPath, int* pMember,
                              int* pPoint);
    // The topmost editable path around the point.
    CPathObj* FindPathContaining(floatPoint& p);

    void SelectNodesIn(const floatBBox& box, int toggle);
    void Touch(unsigned mask, unsigned value);
    void LocalSmooth(float accuracy, float angle);
    void DeleteSelectedNodes(int kind);
    void DeleteSelectedLines();
    void ConvertToLines();
    void ConvertToCurves();
    void RemoveEmptyParts();
    void MoveSelection(const floatPoint& delta);
    void DetectConnectionTypes(int smooth, float angleTol, int symmetric, float ratioTol, int mode);
    void GetSelectedNodesBox(floatBBox& box);

    // Clean-up: each stamps only the paths it changed.
    void SnapLines(float angle, float tolerance, int selectedOnly);
    void SelectMembersByShape(int angleTest, float angle, float angleTol, int lengthTest,
                              float minLength, float maxLength, int spinTest, float minSpin,
                              float maxSpin, int select);
    void MakeCorners();
    void AlignPoints(float value, float tolerance, int axisY, int apply);
    // apply: fillets of radius minAngleOrRadius where both lines are selected; otherwise
    // selects the two lines of every corner that turns between minAngleOrRadius and maxAngle.
    void RoundCorners(float maxAngle, float minAngleOrRadius, int apply);

    CSign* m_pSign = nullptr;
    floatBBox m_ctrlBox;
    floatBBox m_accBox;
    DWORD m_nSelectedPaths = 0;
    DWORD m_nPathsWithNodes = 0;
    DWORD m_nSubPathsWithNodes = 0;
    DWORD m_nSelectedNodes = 0;
};

// Which point of the member lies within the tolerance (in x and in y) of p: 0 start, 1 end,
// and for a curve 2 first control point, 3 second; -1 none.
int HitMemberPoint(const floatPoint& p, float tolerance, const PathMember* pMember);
