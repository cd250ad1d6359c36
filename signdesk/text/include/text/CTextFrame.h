#pragma once
// Text fitted into a rectangle: the frame keeps its text, font and attributes, generates the
// character outlines into its path once, and is cut and drawn through them like a path.

#include "mfc/CString.h"
#include "model/CPathObj.h"
#include "pathkit/BBox.h"
#include "pathkit/Path.h"
#include "pathkit/TMatrix.h"

class CTextFrame : public CPathObj {
    DECLARE_SERIAL(CTextFrame)
public:
    static constexpr WORD Version = 4;
    enum FitMode : DWORD { Fill = 0, Stretch = 1, Place = 2 };

    // 100 x 50 at the origin, no text, stretch mode.
    CTextFrame();
    // Lays out at once when the text is not empty.
    CTextFrame(const floatBBox& box, const char* text, const char* fontName, DWORD fitMode,
               BYTE autoKerning, BYTE customKerning, float charSpacing, float wordSpacing,
               float aspect, BYTE vertical, BYTE reversed, float lineSpacing, BYTE alignment,
               BYTE placeMode, BYTE weld, float marginLeft, float marginTop, float marginRight,
               float marginBottom, BYTE charAlignment, BYTE autoBaselineShift);
    ~CTextFrame() override;

    // The object part, u16 version, u32 colour, u16 layer, u16 flags, the matrix, the box,
    // text, font name, fit mode, the attributes, the frame path record, and what versions 2
    // to 4 added. A newer version raises cause 5. Loading lays out.
    void Serialize(CArchive& ar) override;
    DWORD StoreStamp() override;
    void SerializeState(CArchive& ar, CSignDoc* pDoc) override;
    // The frame's rectangle, not the outlines.
    floatBBox* GetBBox() override;
    void PaintOutline(CDC* pDC, const floatTMatrix& m, int arg) override;
    // A plain scale of an unrotated frame moves its rectangle (and only re-lays a text that
    // does not stretch when the scale is not uniform); anything else goes into the frame
    // matrix.
    void Transform(const floatTMatrix& m) override;
    BOOL CanDistort() override;
    CSignObj* GetEditablePath() override;
    CSignObj* Duplicate() override;
    void ExtendContextMenu(CMenu* pMenu) override;
    void Edit(CWnd* pWnd) override;
    BOOL IsEditable() override;

    // Generates the outlines and the frame path again.
    void Layout();

    floatTMatrix m_frameMatrix;
    floatBBox m_frameBox;
    Path m_framePath;
    CString m_text; // lines separated by line feeds; carriage returns are passed over
    CString m_fontName;
    DWORD m_nFitMode = Stretch;
    float m_fCharSpacing = 0.05f; // in units of the size
    float m_fWordSpacing = 0.4f;  // in units of the size
    float m_fAspect = 1.0f;
    float m_fLineSpacing = 1.2f; // in units of the size
    float m_fMarginLeft = 0;
    float m_fMarginRight = 0;
    float m_fMarginTop = 0;
    float m_fMarginBottom = 0;
    BYTE m_bAutoKerning = 0;
    BYTE m_bCustomKerning = 1;
    BYTE m_bVertical = 0;
    BYTE m_bReversed = 0;
    BYTE m_nAlignment = 0;
    BYTE m_nPlaceMode = 1; // place mode: 0 top left, 2 bottom right, others centred
    BYTE m_bWeld = 0;
    BYTE m_nCharAlignment = 1;
    BYTE m_bAutoBaselineShift = 0;

private:
    void SerializeFields(CArchive& ar, WORD version);
};
