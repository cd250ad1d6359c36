#pragma once
// The transformation tool: the selection tool whose corner handles rotate the selection about
// a centre (Ctrl: whole degrees), whose side handles skew it, whose centre cross moves that
// centre and whose cross arms mirror the selection at once. Typed rotations and skews act the same
// way. A click outside every handle returns to the selection tool.

#include "select/SelectMode.h"

namespace TransformIds {
constexpr UINT FieldCentreX = 1504, FieldCentreY = 1505, FieldRotation = 1506, FieldSkew = 1507;
constexpr UINT LabelBitmaps[4] = {128, 129, 130, 131};
constexpr UINT BadSkew = 193;
} // namespace TransformIds

class TransformMode : public SelectMode {
    DECLARE_DYNCREATE(TransformMode)
public:
    enum { Idle, Rotating, Skewing, MovingCentre };

    void SetView(COleSheetView* sheetView, BOOL fresh) override;
    // The selection tool's bar, its first four fields renumbered 1504-1507 and labelled 128-131.
    void Activate() override;
    void Deactivate(COleOperatingMode* next) override;
    void OnDocumentChanged() override {}
    // Fields 1504-1507: centre x and y, a rotation and a skew, typed.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    // The centre, the rotation and the skew angle into the four fields; the nudge steps as ever.
    void UpdateSizeFields(const floatBBox* box) override;
    BOOL OnLButtonDown(UINT flags, int x, int y) override;
    BOOL OnLButtonUp(UINT flags, int x, int y) override;
    void OnMouseMove(UINT flags, int x, int y) override;
    // The selection tool's handles (its grab answer 8 moves the centre too), then the cross:
    // 8 its centre, 9 the vertical arm, 10 the horizontal arm.
    int HitHandle(floatPoint& p) override;
    // Rotation at the corners, skews at the sides, the centre, the mirrors at the arms.
    void UpdateCursor(int handle) override;
    // Hollow blue squares at the eight handles, then the centre cross.
    void DrawHandles(CDC* dc, const floatTMatrix& m) override;
    // The cross through the rotation centre, as wide and high as the selection box on screen.
    void DrawCentreCross(CDC* dc, const floatTMatrix& m);

    // A rotation about the centre by degrees, as typed: "Rotate"; nothing for 0.
    void RotateBy(double degrees);
    // A skew of the selection about the middle of its bottom edge, as typed: -80 to 80
    // degrees, else message 193 and nothing; "Skew".
    void SkewBy(double degrees);

    floatPoint centre{0, 0};
    double rotation = 0;
    double skew = 0;
    floatPoint anchor{0, 0};

private:
    // The cross alone, XOR-drawn in a client DC of the view: once to draw, once to erase.
    void ToggleCentreCross();
    // Applies m to the selection and records the step, unless m is refused (a beep).
    void Apply(const floatTMatrix& m, const char* step);
    floatTMatrix AboutCentre(double angle) const;
    // The shear that a drag of side handle 4-7 to p gives: the dragged side follows the
    // pointer, the opposite side stays; wholeDegrees rounds the shear angle.
    floatTMatrix SkewMatrix(int handle, const floatPoint& p, bool wholeDegrees);
};
