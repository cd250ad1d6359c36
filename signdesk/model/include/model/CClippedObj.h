#pragma once
// The base of objects that show foreign content (pictures, metafiles, embedded objects)
// inside a contour: a path object whose path is the visible contour, plus the clip box onto
// which the content is mapped. Only axis-aligned scales and translations keep the content
// upright, so no other transform is accepted.

#include "model/CPathObj.h"
#include "pathkit/BBox.h"

class DIBInterface;

class CClippedObj : public CPathObj {
    DECLARE_SERIAL(CClippedObj)
public:
    static constexpr WORD Version = 1;

    CClippedObj();
    ~CClippedObj() override;
    void Serialize(CArchive& ar) override;

    // The saved stamp also covers the clip box, so a change of the box alone is recorded.
    DWORD StoreStamp() override;
    void SerializeState(CArchive& ar, CSignDoc* pDoc) override;
    // The content is the filling: fills are not taken.
    void SetFill(CFillObj* pFill) override;
    BOOL AcceptsTransform(const floatTMatrix& m) override;
    void Transform(const floatTMatrix& m) override;
    BOOL CanDistort() override;
    BOOL CanExportTo(const char* format) override;
    void WriteIllustrator(AIWriter& writer, int layer) override;
    void SetupPropertySheet(CPropertySheet* pSheet, int arg) override;
    // Whether the subclass holds its content object.
    virtual BOOL HasContent();

    // The contour alone, the clip box stays.
    void TransformContour(const floatTMatrix& m);
    // The contour becomes the closed rectangle of the clip box.
    void ResetContour();
    void RebuildBox() { ResetContour(); }

    floatBBox m_bbClip;
};

// Title of the clipped objects' property sheet.
inline constexpr UINT IDS_CLIPPED_SHEET_TITLE = 222;

// Turns a 24-bit bitmap into a mask in place: pixels of the trace background colour become
// white, all others black. Bitmaps of other depths are left alone.
void MakeColorMask(DIBInterface& bitmap);
