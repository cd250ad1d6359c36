#pragma once
// Base of every drawable object of a design: identity, change stamps, style attributes and
// the virtual operations through which everything else handles an object of any kind.

#include <cstdint>

#include "mfc/CObject.h"
#include "pathkit/BBox.h"
#include "pathkit/Point.h"
#include "pathkit/TMatrix.h"

class CDC;
class CDibDC;
class CMenu;
class CPropertySheet;
class CWnd;
class CSignDoc;
class CSharedObj;
class CFillObj;
class Path;
class NonLinearTrans;
class AIWriter;
class ColorWPFWriter;

// No colour (no fill, no outline) and no layer.
inline constexpr COLORREF NO_COLOR = 0xFFFFFFFFu;
inline constexpr signed char NO_LAYER = -128;

// The layer as objects keep it and their records store it: a 16-bit word, whatever its value.
// Its low byte, taken as a signed char, is the layer the design is drawn and counted by
// (GetLayer); the high byte rides along untouched.
using LayerWord = std::int16_t;

class CSignObj : public CObject {
    DECLARE_SERIAL(CSignObj)
public:
    static constexpr WORD Schema = 6;

    CSignObj();
    ~CSignObj() override;
    void Serialize(CArchive& ar) override;
    void AssertValid() const override;
    void Dump(CDumpContext& dc) const override;

    // The virtual operations in their table order.
    virtual DWORD StoreStamp();
    virtual void SerializeState(CArchive& ar, CSignDoc* pDoc);
    virtual CSharedObj* GetSharedContent();
    virtual void SetSharedContent(CSharedObj* pContent);
    virtual void SetFill(CFillObj* pFill);
    virtual void SetTransparencyFill(CFillObj* pFill);
    virtual void TransformFill(const floatTMatrix& m);
    virtual void TransformTransparency(const floatTMatrix& m);
    virtual void Select();
    virtual void Unselect();
    virtual BYTE ToggleSelect();
    virtual void UpdateStamp();
    virtual BOOL IsGroup();
    virtual BOOL CanUngroup();
    virtual void RefreshBBox();
    virtual floatBBox* GetBBox();
    virtual CSignObj* HitTest(floatPoint& p, int layer, float tolerance, int mode, int arg);
    virtual signed char GetLayer();
    virtual BOOL SetLayer(char layer, int arg);
    virtual COLORREF GetColor();
    virtual BOOL SetColor(COLORREF color);
    virtual BOOL SetOutlineColor(DWORD color);
    virtual void DrawOutline(CDC* pDC, const floatTMatrix& m, COLORREF color);
    virtual BOOL HasContentData();
    virtual void DrawOutlineOnLayer(CDC* pDC, const floatTMatrix& m, int layer);
    virtual void DrawMask(CDibDC* pMask, const floatTMatrix& m, int mode);
    virtual void DrawTransparent(CDibDC* pTarget, const floatTMatrix& m, int mode, int layer);
    virtual void Paint(CDC* pDC, const floatTMatrix& m, int mode, int layer, int flag);
    virtual void PaintOutline(CDC* pDC, const floatTMatrix& m, int arg);
    virtual BOOL AcceptsTransform(const floatTMatrix& m);
    virtual void Transform(const floatTMatrix& m);
    virtual BOOL CanDistort();
    virtual CSignObj* GetEditablePath();
    virtual void Distort(NonLinearTrans& t);
    virtual CSignObj* Duplicate();
    virtual CSignObj* ConvertToPaths();
    virtual BOOL CanExportTo(const char* format);
    virtual void WriteIllustrator(AIWriter& writer, int layer);
    virtual void Draw(CDC* pDC, const floatTMatrix& m, int layer);
    virtual void DrawGdiPath(CDC* pDC, const floatBBox* box, int layer, int mode, float scale);
    virtual BOOL BuildColorPath(ColorWPFWriter& writer, const floatTMatrix& m, int layer,
                                int flags);
    virtual BOOL IsRaster();
    virtual CSignObj* GetRasterCopy();
    virtual Path* GetPath();
    virtual void AddToPath(Path& target);
    // The combination's result: 0 success, non-zero when it could not be assembled.
    virtual int ApplyBooleanOp(int operation, Path& other);
    virtual void SetupPropertySheet(CPropertySheet* pSheet, int arg);
    virtual void ReservedOperation(int arg1, int arg2);
    virtual void ExtendContextMenu(CMenu* pMenu);
    virtual void Edit(CWnd* pWnd);
    // The whole layer word, which undo keeps and puts back. By default the layer sign-extended,
    // set back through SetLayer (layer, 1).
    virtual LayerWord GetLayerWord();
    virtual void SetLayerWord(LayerWord layer);

    // Outline width, outline colour, fixed-width byte, the two flags and the transparency,
    // then the fill and the transparency fill. Not the identity, stamps, selection, lock,
    // colour or layer.
    void CopyAttributes(CSignObj* pOther);

    // The process-wide serial counter: the last number drawn.
    static DWORD GetSerialCounter();
    // While set, loaded objects keep the serial number stored in their record (and the
    // counter is raised above every number kept, so later objects never repeat one).
    static void SetKeepSerials(BOOL bKeep);
    static BOOL GetKeepSerials();
    // Draws a new number from the counter for this object.
    void TakeNewSerial();

    DWORD m_nSerial;
    DWORD m_nSavedStamp = 0;
    DWORD m_nStamp = 0;
    float m_fTransparency = 0;
    CFillObj* m_pFill = nullptr;
    CFillObj* m_pTransparencyFill = nullptr;
    float m_fOutlineWidth = 0;
    COLORREF m_clrOutline = 0;
    BYTE m_bFixedOutlineWidth = 0;
    BYTE m_bFlag1 = 0; // cut contour
    BYTE m_bFlag2 = 1; // outer contour
    BYTE m_bSelected = 0;
    BYTE m_bLocked = 0;
};

// Adds src's geometry into dst: united with it when their boxes meet (touching counts) →
// 1, appended beside it otherwise → 0; a source without sub-paths → 1.
int MergePaths(Path& src, Path& dst);
