#pragma once
// The alignment tool: the selection tool with ten alignment commands that move the selected
// top-level objects against the selection box or, with the to-page switch, the page. With the
// selection box as reference the alignment stays active until a click elsewhere; against the
// page each alignment is applied once.

#include "select/SelectMode.h"

namespace AlignIds {
// In the order of the kinds 0-9 (see select/Alignment.h).
constexpr UINT Kinds[10] = {32921, 32983, 32923, 32984, 32986, 32985, 32987, 32988, 32993, 32994};
constexpr UINT ToPage = 32990;
// The options bar: the ten alignments and the page switch.
constexpr UINT ToolBar = 276;
} // namespace AlignIds

class AlignMode : public SelectMode {
    DECLARE_DYNCREATE(AlignMode)
public:
    // A press on an edge marker starts its drag; any other press ends the alignment in force.
    BOOL OnLButtonDown(UINT flags, int x, int y) override;
    BOOL OnLButtonUp(UINT flags, int x, int y) override;
    void OnMouseMove(UINT flags, int x, int y) override;
    // The edge marker under p: 4 top, 5 right, 6 bottom, 7 left, as the alignment in force
    // shows them; -1 none (no alignment, the page as reference, a box without extent).
    int HitHandle(floatPoint& p) override;
    // The reference box and, with an alignment in force, its markers.
    void DrawHandles(CDC* dc, const floatTMatrix& m) override;
    // The alignments' buttons; the tool has no fields.
    void BuildToolBar() override;
    // No value fields: only the alignment in force ends with the selection.
    void UpdateSizeFields(const floatBBox* box) override;

    // -1 none, else the kind 0-9 in force.
    int activeAlignment = -1;
    BOOL toPage = FALSE;

    // The selection box, or the page with the to-page switch.
    floatBBox GetReferenceBox();
    // Applies kind to the selection against reference and records "Align"; nothing without
    // a selection.
    void ApplyAlignment(int kind, const floatBBox& reference);

protected:
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    void OnAlign(int kind);
    void OnToggleToPage();
};
