// Drawing bitmap objects: bitmap contexts through the texture painter, PostScript printers
// as an image, other devices stretched; the outline and the contour display; the context menu.
#include <cmath>

#include <mfc/CDC.h>
#include <mfc/CGdiObject.h>
#include <mfc/CMenu.h>
#include <mfc/CRect.h>
#include <model/CPathObj.h>
#include <model/Gradient.h>
#include <model/ViewColors.h>
#include <model/ViewHooks.h>
#include <output/CPrinterStream.h>
#include <pathkit/PathDraw.h>
#include <pathkit/StreamArgs.h>
#include <rasterkit/CDibDC.h>
#include <rasterkit/TexturePaint.h>
#include <shell/CopyMenuItem.h>
#include <shell/PSWriter.h>
#include <win32/DeviceRange.h>

#include "content/CBitmapObj.h"

namespace {

// The device width of a document length, at least one pixel.
int PenWidth(const floatTMatrix& m, float d) {
    float x = d, y = 0;
    m.dTransform(x, y);
    const int w = SdDeviceCoord(std::floor(std::hypot(double(x), double(y)) + 0.5));
    return w < 1 ? 1 : w;
}

// A solid pen selected for the scope.
class ScopedPen {
public:
    ScopedPen(CDC* pDC, int width, COLORREF color) : m_pDC(pDC), m_pen(PS_SOLID, width, color) {
        m_pOld = pDC->SelectObject(&m_pen);
    }
    ~ScopedPen() {
        if (m_pOld != nullptr) m_pDC->SelectObject(m_pOld);
    }

private:
    CDC* m_pDC;
    CPen m_pen;
    CPen* m_pOld;
};

void StrokeClosed(CDC* pDC, const floatTMatrix& m, Path& path, unsigned flags) {
    for (SubPath& sp : path.subPaths)
        if (!IsOpenOrEmpty(sp)) Paint(pDC, m, sp, flags);
}

// The picture's pixels for the PostScript image writer.
class DibImage : public PSImageSource {
public:
    explicit DibImage(CDib& dib) : m_dib(dib) {}
    int BitmapWidth() override { return m_dib.GetWidth(); }
    int BitmapHeight() override { return m_dib.GetHeight(); }
    int SourceWidth() override { return m_dib.GetWidth(); }
    int SourceHeight() override { return m_dib.GetHeight(); }
    void GetPixel(int x, int y, BYTE out[4]) override {
        // The writer's rows run from the bottom of the picture up.
        BYTE bgr[3] = {255, 255, 255};
        m_dib.GetRGB(x, m_dib.GetHeight() - 1 - y, bgr);
        out[0] = bgr[0];
        out[1] = bgr[1];
        out[2] = bgr[2];
        out[3] = 0;
    }

private:
    CDib& m_dib;
};

// The picture's pixel rectangle onto the image box (pixel (0, 0) at the box's top left), then m.
floatTMatrix PictureMatrix(const CDib& dib, const floatBBox& box, const floatTMatrix& m) {
    floatTMatrix t;
    t.BoxTransformation(0, 0, float(dib.GetWidth()), float(dib.GetHeight()), box.left, box.top,
                        box.right, box.bottom);
    t *= m;
    return t;
}

} // namespace

void CBitmapObj::Paint(CDC* pDC, const floatTMatrix& m, int mode, int layer, int flag) {
    if (pDC == nullptr || GetLayer() != static_cast<signed char>(layer) || !HasContent()) return;
    CRect box;
    ::Transform(m, *GetBBox(), box);
    box.NormalizeRect();
    CRect clip;
    pDC->GetClipBox(&clip);
    CRect visible;
    if (box.Width() == 0 || box.Height() == 0 || !visible.IntersectRect(&box, &clip)) return;

    if (mode >= 2 && flag == 0 && pDC->IsKindOf(RUNTIME_CLASS(CDibDC))) {
        DrawTransparent(static_cast<CDibDC*>(pDC), m, mode, layer);
        return;
    }
    const bool useMask = (mode & 0x80) != 0;
    mode &= 0x7F;
    CDib& picture = useMask && !bitmap->mask.IsEmpty() ? bitmap->mask : bitmap->image;
    const bool outline = m_fOutlineWidth > 0 && m_clrOutline != NO_COLOR;

    if (!IsPrintPreview() && Gradient::IsPostScriptDevice(pDC)) {
        CPrinterStream stream(pDC, 16382);
        PSWriter ps(stream, m);
        stream << "save" << EndLine();
        if (ps.WritePSPath(m_path, 0, 0)) stream << "eoclip" << EndLine();
        DibImage image(picture);
        ps.WritePSImage(image, m_bbClip);
        if (outline) {
            ps.WritePSColor(m_clrOutline);
            ps.WritePSLineWidth(2 * m_fOutlineWidth);
            stream << "stroke" << EndLine();
        }
        stream << "restore" << EndLine();
        stream.Flush();
        return;
    }

    if (mode >= 1) {
        pDC->SaveDC();
        const bool clipped = mode == 1 || Clip(pDC, m, m_path) != 0;
        if (clipped && mode <= 5 && pDC->IsKindOf(RUNTIME_CLASS(CDibDC))) {
            const int quality = useMask ? 2 : mode == 3 ? 6 : mode == 4 ? 10 : mode == 5 ? 18 : 2;
            floatTMatrix t = PictureMatrix(picture, m_bbClip, m);
            CRect target = visible;
            const CPoint origin = pDC->GetViewportOrg();
            target.OffsetRect(origin.x, origin.y);
            t.Translate(float(origin.x), float(origin.y));
            TexturePaint(picture, t, target, static_cast<CDibDC*>(pDC)->m_DIB, quality);
        }
        if (mode >= 2 && outline) {
            const int width = PenWidth(m, 2 * m_fOutlineWidth);
            if (width <= 2) {
                pDC->RestoreDC(-1);
                pDC->SaveDC();
            }
            ScopedPen pen(pDC, width, m_clrOutline);
            StrokeClosed(pDC, m, m_path, PP_STROKE);
        }
        pDC->RestoreDC(-1);
    }
    if (mode <= 1) {
        {
            ScopedPen pen(pDC, 1, GetViewColors().CurveColor);
            ::Paint(pDC, m, m_path, PP_STROKE | PD_ONLY_CURVES);
        }
        ScopedPen pen(pDC, 1, GetViewColors().LineColor);
        ::Paint(pDC, m, m_path, PP_STROKE | PD_ONLY_LINES);
    }
}

void CBitmapObj::DrawGdiPath(CDC* pDC, const floatBBox* area, int layer, int clip, float scale) {
    if (pDC == nullptr || area == nullptr || GetLayer() != static_cast<signed char>(layer) ||
        !HasContent())
        return;
    const float W = (area->right - area->left) * scale * 100;
    const float H = (area->top - area->bottom) * scale * 100;
    floatTMatrix m;
    m.BoxTransformation(area->left, area->top, area->right, area->bottom, 0, 0, W, H);
    CRect target;
    ::Transform(m, m_bbClip, target);
    target.NormalizeRect();
    const int width = PenWidth(m, 2 * m_fOutlineWidth);
    const bool outline = m_fOutlineWidth > 0 && m_clrOutline != NO_COLOR;
    CDib& image = bitmap->image;
    const CRect source(0, 0, image.GetWidth(), image.GetHeight());
    if (clip) {
        if (!MakePath(pDC, m, m_path, 0, 0)) return;
        pDC->SaveDC();
        pDC->SelectClipPath(RGN_AND);
        image.Paint(pDC, source, target, 0);
        if (outline && MakePath(pDC, m, m_path, 0, 0)) {
            ScopedPen pen(pDC, width, m_clrOutline);
            pDC->StrokePath();
        }
        pDC->RestoreDC(-1);
        return;
    }
    image.Paint(pDC, source, target, 0);
    if (outline) {
        ScopedPen pen(pDC, width, m_clrOutline);
        ::Paint(pDC, m, m_path, PP_STROKE | PD_NO_VISIBILITY);
    }
}

void CBitmapObj::ExtendContextMenu(CMenu* pMenu) {
    if (pMenu == nullptr) return;
    pMenu->AppendMenu(MF_SEPARATOR);
    CMenu shapes, main;
    const bool haveShapes = shapes.LoadMenu(105) != 0, haveMain = main.LoadMenu(103) != 0;
    for (UINT id : {32872u, 32854u, 33044u, 33069u, 33070u}) {
        CString text;
        if (haveShapes && shapes.GetMenuString(id, text, MF_BYCOMMAND) > 0)
            CopyMenuItem(&shapes, pMenu, id);
        else if (haveMain)
            CopyMenuItem(&main, pMenu, id);
    }
    // The image filter commands go into this pop-up, from 37937 on.
    CMenu filters;
    CString title;
    if (haveMain) main.GetMenuString(37936, title, MF_BYCOMMAND);
    if (filters.CreatePopupMenu())
        pMenu->AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(filters.Detach()), title);
}
