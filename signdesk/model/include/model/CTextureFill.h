#pragma once
// A bitmap repeated over an object through a parallelogram frame: P0 the bitmap's first
// corner, P1 the end of its width, P2 the end of its height. Its two colours are the first
// and last entries of the bitmap's colour table.

#include "model/CFillObj.h"

class CSharedBmp;
class DIBInterface;

class CTextureFill : public CFillObj {
    DECLARE_SERIAL(CTextureFill)
public:
    static constexpr WORD Version = 1;

    CTextureFill();
    // Shares an already loaded bitmap of the key (the file name, with "[*]" appended when
    // marked: a grey texture) or loads one.
    CTextureFill(const char* fileName, BOOL bMarked);
    ~CTextureFill() override;
    void Serialize(CArchive& ar) override;

    DWORD GetMemSize() override;
    CFillObj* Clone() override;
    BOOL IsEqual(const CFillObj* pOther) override;
    void Transform(const floatTMatrix& m) override;
    void PaintFill(CDC* pDC, const floatTMatrix& m, int mode, const floatBBox& area) override;
    int GetHandleCount() override;
    BOOL GetHandlePoint(int nHandle, floatPoint& p) override;
    void SetFrame(const floatBBox& box, BOOL bSquare) override;
    void DrawHandles(CDC* pDC, const floatTMatrix& m, int nSelected) override;
    void MoveHandle(int nHandle, floatPoint& p, double angle, UINT nKeyFlags) override;
    BOOL HitTest(const floatPoint& p, float tolerance) override;
    void DropColor(const floatPoint& p, float tolerance, COLORREF color) override;
    COLORREF GetColorAt(const floatPoint& p, float tolerance) override;
    COLORREF GetStopColor(int nStop) override;

    // Installs a bitmap (counted); the old one is released.
    void SetBitmap(CSharedBmp* pBitmap);

    CSharedBmp* m_pBitmap = nullptr;
    floatPoint m_origin;
    floatPoint m_xAxis;
    floatPoint m_yAxis;
    DWORD m_nTileMode = 0;

private:
    // 0 near P0, 1 near P1 (Chebyshev distance within the tolerance), else -1.
    int HandleNear(const floatPoint& p, float tolerance) const;
    // "save", the image into the area box, "restore" through the pass-through escape.
    void PaintPostScriptImage(CDC* pDC, const floatTMatrix& m, DIBInterface& image,
                              const floatBBox& area);
    // False without a bitmap or without a colour table.
    bool GetColors(COLORREF& first, COLORREF& last) const;
};
