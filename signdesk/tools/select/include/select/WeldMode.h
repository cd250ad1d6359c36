#pragma once
// The weld tool: the selected objects are combined into the object clicked (weld, intersect
// or subtract), or a group selected alone is fused into one outline. The work is the model's
// Weld: on copies, one undo step, nothing changed when it fails or Escape stops it.

#include <sheet/COleOperatingMode.h>

class CSignDoc;

namespace WeldIds {
constexpr UINT Weld = 32823;
constexpr UINT Intersect = 32824;
constexpr UINT Subtract = 32825;
constexpr UINT KeepSources = 32826;
constexpr UINT KeepTarget = 32827;
// The options bar: the three kinds and the two switches.
constexpr UINT ToolBar = 133;
// Status texts: the click needs other objects selected; the combination failed.
constexpr UINT NeedsOthers = 194;
constexpr UINT Failed = 195;
constexpr UINT Cancelled = 40021;
} // namespace WeldIds

class WeldMode : public COleOperatingMode {
    DECLARE_DYNCREATE(WeldMode)
public:
    WeldMode() = default;
    explicit WeldMode(DWORD kind) : kind(kind) {}

    void Activate() override;
    void Deactivate(COleOperatingMode* next) override;
    BOOL OnLButtonDown(UINT flags, int x, int y) override;
    void OnMouseMove(UINT flags, int x, int y) override;
    void DrawFeedback(CDC* dc, const floatTMatrix* matrix) override;

    // 1 weld, 2 intersect, 3 subtract.
    DWORD kind = 0;
    // Kept while the program runs: the selected objects survive; the clicked object stays
    // and a combined copy is placed above it.
    static inline BYTE KeepSources = 0;
    static inline BYTE KeepTarget = 0;

protected:
    void OnKind(UINT id);
    void OnUpdateKind(CCmdUI* pCmdUI);
    void OnKeepSources();
    void OnUpdateKeepSources(CCmdUI* pCmdUI);
    void OnKeepTarget();
    void OnUpdateKeepTarget(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()

private:
    CSignDoc* Doc() const;
    // MouseSens pixels in millimetres at the view's zoom.
    float PickTolerance() const;
    void Status(UINT id);
    // The selected objects' outlines, XOR-drawn (a second call erases them).
    void DrawSelectionOutlines(CDC* dc);
};
