#pragma once
// The selection tool: picks the topmost object under a click (Shift toggles), selects what a
// rubber band holds wholly, moves the selection by dragging (snapped, with a dead zone of the
// pick distance, Ctrl on the cross-hair's axes) or by the arrow keys (one step per key-up),
// and answers the selection commands. Each gesture records one undo step.

#include <mfc/CControls.h>
#include <sheet/COleOperatingMode.h>
#include <shell/CFilterEdit.h>

class CMenu;
class CSignDoc;
class CSignObj;

namespace SelectIds {
constexpr UINT SelectAll = 32771;
constexpr UINT UnselectAll = 32772;
constexpr UINT Properties = 32773;
constexpr UINT Forward = 32775;
constexpr UINT Backward = 32776;
constexpr UINT ToFront = 32777;
constexpr UINT ToBack = 32778;
constexpr UINT LockSelection = 32879;
constexpr UINT UnlockAll = 32880;
constexpr UINT EditObject = 33068;
constexpr UINT SheetSize = 40013;
constexpr UINT Cut = 57635, Copy = 57634, Paste = 57637;
// The right-button menu's items (their texts).
constexpr UINT ContextMenu = 103;
constexpr UINT Ungroup = 32783;
constexpr UINT Group = 32784;
constexpr UINT Combine = 32785;
constexpr UINT BreakApart = 32786;
constexpr UINT Delete = 32800;
constexpr UINT Duplicate = 32819;
constexpr UINT WeldFirst = 32823;
constexpr UINT WeldLast = 32825;
constexpr UINT Trace = 32854;
constexpr UINT Simplify = 32884;
constexpr UINT GuideEdit = 33066;
constexpr UINT KeepProportionsSwitch = 33100;
constexpr UINT Multiplicate = 33027;
constexpr UINT GuideProperties = 33063;
constexpr UINT GuideDelete = 33064;
constexpr UINT Outline = 32930;
constexpr UINT Import = 32828;
constexpr UINT Export = 32886;
constexpr UINT SaveBitmap = 33069;
constexpr UINT CopyBitmap = 33070;
constexpr UINT FilterFirst = 38001;
constexpr UINT FilterLast = 38999;
// The tool-options bar: its buttons, the labels and the fields (position x, y, width, height;
// small and large nudge step) and the labels' pictures.
constexpr UINT ToolBar = 119;
constexpr UINT LabelFirst = 2740;
constexpr UINT FieldX = 1500, FieldY = 1501, FieldWidth = 1502, FieldHeight = 1503;
constexpr UINT FieldNudgeSmall = 1554, FieldNudgeLarge = 1555;
constexpr UINT LabelBitmaps[6] = {124, 125, 126, 127, 384, 385};
// Cursors: handles 0 and 2, 1 and 3, 4 and 6, 5 and 7; moving; the band.
constexpr UINT CursorDiagonalDown = 30983, CursorDiagonalUp = 30984, CursorUpDown = 30985,
               CursorLeftRight = 30986, CursorMove = 30987, CursorBand = 2509;
// Status texts: nothing selected; one path object; one other object; several.
constexpr UINT StatusNone = 218;
constexpr UINT StatusPath = 215;
constexpr UINT StatusOther = 216;
constexpr UINT StatusMany = 217;
} // namespace SelectIds

class SelectMode : public COleOperatingMode {
    DECLARE_DYNCREATE(SelectMode)
public:
    enum { DragNone, DragBand, DragResize, DragMove, DragGuide };

    void SetView(COleSheetView* sheetView, BOOL fresh) override;
    void Activate() override;
    void Deactivate(COleOperatingMode* next) override;
    BOOL OnLButtonDown(UINT flags, int x, int y) override;
    BOOL OnLButtonUp(UINT flags, int x, int y) override;
    void OnMouseMove(UINT flags, int x, int y) override;
    void OnTrackRect(UINT flags, const CRect* rect) override;
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
    // The guide-line menu over a guide line, else the selection's menu (BuildContextMenu).
    BOOL OnRButtonDown(UINT flags, int x, int y) override;
    // The right-button menu, made from the items of menu 103.
    virtual void BuildContextMenu(CMenu* menu);
    void OnKeyUp(UINT key, UINT repeat, UINT flags) override;
    void HideFeedback() override;
    void ShowFeedback() override;
    void OnDocumentChanged() override;
    // The preview timer: the object outlines and the fields catch up with the drag.
    void OnTimer(UINT id) override;
    // The fields' Enter (code 0) and focus loss (EN_KILLFOCUS) first, then the commands.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    // The box and the nudge steps into the fields whose windows exist; the position fields
    // are enabled only with a selection.
    virtual void UpdateSizeFields(const floatBBox* box);
    // Fills the frame's tool-options bar once (the program's view only).
    virtual void BuildToolBar();
    virtual void DestroyToolBar();
    // After the view's repaint: the handles, then the outlines of the selected objects.
    void DrawFeedback(CDC* dc, const floatTMatrix* matrix) override;

    // The selection box, dotted, and its handle squares, XOR-drawn with the world-to-client m.
    virtual void DrawHandles(CDC* dc, const floatTMatrix& m);
    // The outlines of the selected objects under shownMatrix, XOR-drawn.
    virtual void DrawPreview(CDC* dc, const floatTMatrix& m);

    // Status pane 0: the selection's kind or count, with its width, height and diagonal.
    virtual void ShowSelectionStatus();
    // The handle of the selection box under p: corners 0-3 (top left, top right, bottom
    // right, bottom left) and sides 4-7 (top, right, bottom, left) on the box grown by the
    // pick distance and the handle size; 8 a grab on the box itself, which pulls p onto it;
    // -1 none. Side handles only without KeepProportions and for a selection that takes a
    // scale of one axis.
    virtual int HitHandle(floatPoint& p);
    // The matrix that a drag of handle `handle` to p gives (identity when refused).
    floatTMatrix ResizeMatrix(int handle, floatPoint p);

    int dragState = DragNone;
    int hitHandle = -1;
    int hitGuide = -1;
    int handleSize = 4;
    CSignObj* hitObject = nullptr;
    int nudgeCount = 0;
    floatPoint dragStart{0, 0};
    floatTMatrix dragMatrix;
    // The matrix the object preview is drawn under now.
    floatTMatrix shownMatrix;
    // DrawFeedback draws handles and preview only while set.
    BOOL handlesShown = TRUE;
    BOOL outlineDrawn = FALSE;
    CStatic labels[6];
    CFilterEdit positionFields[4];
    CFilterEdit nudgeFields[2];
    // Program-wide: typed sizes keep the aspect and there are no side handles.
    static inline BYTE KeepProportions = 0;
    // Nudge steps, mm.
    static inline float NudgeSmall = 1.0f;
    static inline float NudgeLarge = 10.0f;

protected:
    void OnSelectAll();
    void OnUnselectAll();
    void OnOrder(UINT id);
    void OnLockSelection();
    void OnUnlockAll();
    void OnEditObject();
    void OnGroup();
    void OnUngroup();
    void OnCombine();
    void OnBreakApart();
    void OnSimplify();
    void OnDelete();
    void OnDuplicate();
    void OnWeld(UINT id);
    void OnDeskewTool();
    void OnMultiplicate();
    void OnGuideProperties();
    void OnGuideDelete();
    void OnUpdateOneSelected(CCmdUI* pCmdUI);
    void OnProperties();
    void OnKeepProportions();
    void OnUpdateHasObjects(CCmdUI* pCmdUI);
    void OnUpdateHasSelection(CCmdUI* pCmdUI);
    void OnUpdateUngroup(CCmdUI* pCmdUI);
    void OnUpdateAllPaths(CCmdUI* pCmdUI);
    void OnUpdateKeepProportions(CCmdUI* pCmdUI);
    void OnUpdateDisabled(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()

    CSignDoc* Doc() const;
    float Scale() const;
    // (Re)starts the 500 ms preview timer; stops it.
    void StartTimer();
    void StopTimer();
    // XOR-draws the handles and/or the preview in a client DC: once to draw, once to erase.
    void ToggleFeedback(BOOL handles, BOOL preview);
    UINT_PTR timerId = 0;
    // Whether the side handles exist: no KeepProportions, and the selection takes a scale of
    // one axis.
    BOOL HasSideHandles();
    // The selection box in client pixels grown by the handle size and the pick distance: the
    // box the handles sit on.
    CRect HandleBox(const floatTMatrix& m) const;
    // The cursor of a handle (0-8), kept as the view's cursor; other values change nothing.
    virtual void UpdateCursor(int handle);
    // A cursor of the program's resources; the view keeps it as its own and shows it now.
    static HCURSOR ToolCursor(UINT id);
    void SetViewCursor(HCURSOR cursor);
    // The dotted outline of the selection box under dragMatrix, XOR-drawn.
    void DrawDragOutline();
    // Moves the selection by m and records the step.
    void TransformSelection(const floatTMatrix& m, const char* step = "Move");
    // A typed position or size: handled (beeping when refused or out of range).
    BOOL OnFieldEntry(UINT id);
    CFilterEdit* Field(UINT id);
    // After a change of the design: counts, boxes, views, the step, the status.
    void Finish(const char* step);
};
