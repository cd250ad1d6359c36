#pragma once
// The object that shows a raster picture inside its contour. It holds one reference to a
// shared picture (CSharedBmp); duplicates share it, and whatever changes pixels first takes a
// private clone, so other holders keep theirs.

#include <model/CClippedObj.h>
#include <shared/CSharedBmp.h>

class CBitmapObj : public CClippedObj {
    DECLARE_SERIAL(CBitmapObj)
public:
    static constexpr WORD Schema = 3;

    // An empty contour and box and a new empty picture.
    CBitmapObj();
    // From packed bitmaps (global handles, taken over): the picture and an optional 1-bit mask.
    // The box is the picture's pixels at the unit table's pixel size from the origin.
    CBitmapObj(HGLOBAL image, HGLOBAL mask);
    ~CBitmapObj() override;
    void Serialize(CArchive& ar) override;

    CSharedObj* GetSharedContent() override;
    void SetSharedContent(CSharedObj* pContent) override;
    BOOL HasContentData() override;
    void Paint(CDC* pDC, const floatTMatrix& m, int mode, int layer, int flag) override;
    BOOL AcceptsTransform(const floatTMatrix& m) override;
    void Transform(const floatTMatrix& m) override;
    BOOL CanDistort() override;
    void Distort(NonLinearTrans& t) override;
    CSignObj* Duplicate() override;
    void DrawGdiPath(CDC* pDC, const floatBBox* box, int layer, int mode, float scale) override;
    BOOL IsRaster() override;
    CSignObj* GetRasterCopy() override;
    void ExtendContextMenu(CMenu* pMenu) override;
    BOOL HasContent() override;

    CSharedBmp* GetBitmap() const { return bitmap; }

    CSharedBmp* bitmap = nullptr;

private:
    // Takes a reference to p and lets the current picture go.
    void Hold(CSharedBmp* p);
    // The picture becomes a private clone before its pixels change.
    void CloneForChange();
};

// The raster step of bitmap distortion (grid cells in pixels).
int DistortionRasterStep();
