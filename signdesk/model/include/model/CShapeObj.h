#pragma once
// Parametric drawings: a path object whose path is generated from a few parameters and a
// placement matrix (unit shape to design) rather than stored, edited through handles.
// CRegShapeObj is the regular polygon, ellipse and star.

#include "model/CPathObj.h"
#include "pathkit/TMatrix.h"

class CShapeObj : public CPathObj {
    DECLARE_SERIAL(CShapeObj)
public:
    static constexpr WORD Version = 1;

    CShapeObj();
    ~CShapeObj() override;
    // The object base's record, u16 version 1, u32 colour, u16 layer, u16 flags, the
    // placement matrix; no path: loading regenerates it.
    void Serialize(CArchive& ar) override;
    void SerializeState(CArchive& ar, CSignDoc* pDoc) override;
    // The path's stamp mixed with the placement (and a kind's parameters), so that a change of
    // a shape whose path is empty or degenerate still tells undo.
    void UpdateStamp() override;
    // The path as a path object does, and the placement follows.
    void Transform(const floatTMatrix& m) override;
    // A new plain path object with this path; the caller owns it.
    CSignObj* GetEditablePath() override;
    BOOL IsEditable() override;

    // Radians: the angle of the first vertex.
    virtual double GetStartAngle();
    virtual int GetHandleCount();
    // Handle i in design coordinates.
    virtual BOOL GetHandlePoint(int i, floatPoint& out);
    // Drags handle i to p; keys are the mouse-message modifier bits.
    virtual void MoveHandle(int i, floatPoint p, UINT keys);
    // Regenerates the path from the parameters and the placement, and the stamp with it.
    virtual void RebuildShape();

    // The path's box extended by every handle point.
    void GetHandlesBox(floatBBox& out);

    floatTMatrix m_matrix;

protected:
    // The fields of the records without regenerating the path.
    void SerializeShapeRecord(CArchive& ar);
    void SerializeShapeState(CArchive& ar, CSignDoc* pDoc);
};

class CRegShapeObj : public CShapeObj {
    DECLARE_SERIAL(CRegShapeObj)
public:
    static constexpr WORD Version = 1;
    enum ShapeKind : int { Polygon = 0, Ellipse = 1, Star = 2 };

    CRegShapeObj();
    ~CRegShapeObj() override;
    // The shape's record, u16 version 1, u8 kind, u8 rounded, u8 corners, f32 inner radius,
    // f32 inner angle, u8 customised, f32 rounding. A kind above 2 or fewer than 3 corners
    // raise cause 5.
    void Serialize(CArchive& ar) override;
    void SerializeState(CArchive& ar, CSignDoc* pDoc) override;
    void UpdateStamp() override;
    // Rounded corners stay round only under similarities.
    BOOL AcceptsTransform(const floatTMatrix& m) override;
    CSignObj* Duplicate() override;
    void ExtendContextMenu(CMenu* pMenu) override;
    void Edit(CWnd* pWnd) override;

    double GetStartAngle() override;
    int GetHandleCount() override;
    BOOL GetHandlePoint(int i, floatPoint& out) override;
    void MoveHandle(int i, floatPoint p, UINT keys) override;
    void RebuildShape() override;

    float m_fInnerRadius;
    float m_fInnerAngle = 0.5f;
    float m_fRounding = 0.1f;
    ShapeKind m_nShapeKind = Polygon;
    BYTE m_bRounded = 0;
    BYTE m_nCorners = 4;
    BYTE m_bCustomized = 0;
    // The edge of the generated contour that carries the rounding handle (the longest);
    // set by every rebuild, not stored.
    int m_nRoundCorner = 0;

private:
    // (360 / corners, whole degrees) in radians: the angle from a star's point to its inner
    // vertex at inner angle 1; 0 without corners.
    double InnerStep() const;
    // The ends of the edge that carries the rounding handle, in unit-shape coordinates.
    bool RoundingEdge(floatPoint& from, floatPoint& to);
    void ChooseRoundCorner();
    void RoundCorners();
};

// Commands: the regular-shape tool (editing a shape), the item its context menu brings.
inline constexpr UINT ID_TOOL_REGSHAPE = 32791;
inline constexpr UINT ID_REGSHAPE_MENU_ITEM = 32869;
inline constexpr UINT IDR_REGSHAPE_MENU = 105;
