// Drawing and output of path objects: screen and printers (GDI or PostScript), transparency
// masks, metafiles, Illustrator text and coloured paths for cutting and plotting.

#include <cmath>

#include "mfc/CDC.h"
#include "mfc/CGdiObject.h"
#include "mfc/CRect.h"
#include "model/CFillObj.h"
#include "model/CFountainFill.h"
#include "model/CPathObj.h"
#include "model/FillPainting.h"
#include "model/FountainBandWriter.h"
#include "model/ViewColors.h"
#include "model/ViewHooks.h"
#include "output/CPrinterStream.h"
#include "pathkit/AIWriter.h"
#include "pathkit/ColorWPFWriter.h"
#include "pathkit/OutStream.h"
#include "pathkit/PathDraw.h"
#include "pathkit/StreamArgs.h"
#include "rasterkit/CDibDC.h"
#include "shell/GeometryRecords.h"
#include "shell/PSWriter.h"
#include "win32/DeviceRange.h"

namespace {

// A pen and brush selected into a context for the scope, the previous ones put back.
class SelectedTools {
public:
    explicit SelectedTools(CDC* pDC) : m_pDC(pDC) {}
    ~SelectedTools() {
        if (m_pOldPen != nullptr) m_pDC->SelectObject(m_pOldPen);
        if (m_pOldBrush != nullptr) m_pDC->SelectObject(m_pOldBrush);
    }
    SelectedTools(const SelectedTools&) = delete;
    SelectedTools& operator=(const SelectedTools&) = delete;

    void Pen(int style, int width, COLORREF color) {
        CPen* pOld = m_pDC->SelectObject(&m_stock);
        if (m_pOldPen == nullptr) m_pOldPen = pOld;
        m_pen.DeleteObject();
        m_pen.CreatePen(style, width, color);
        m_pDC->SelectObject(&m_pen);
    }
    void Brush(COLORREF color) {
        m_brush.DeleteObject();
        m_brush.CreateSolidBrush(color);
        CBrush* pOld = m_pDC->SelectObject(&m_brush);
        if (m_pOldBrush == nullptr) m_pOldBrush = pOld;
    }

private:
    CDC* m_pDC;
    CPen m_stock{PS_SOLID, 1, 0};
    CPen m_pen;
    CBrush m_brush;
    CPen* m_pOldPen = nullptr;
    CBrush* m_pOldBrush = nullptr;
};

// The length of (d, 0) under the matrix's linear part, rounded to whole pixels, at least 1,
// at most the device range.
int PenWidth(const floatTMatrix& m, float d) {
    float x = d, y = 0;
    m.dTransform(x, y);
    const int w = SdDeviceCoord(std::floor(std::hypot(double(x), double(y)) + 0.5));
    return w < 1 ? 1 : w;
}

bool HasClosed(const Path& path) {
    for (const SubPath& sp : path.subPaths)
        if (!IsOpenOrEmpty(sp)) return true;
    return false;
}

void StrokeSubPaths(CDC* pDC, const floatTMatrix& m, Path& path, bool open) {
    for (SubPath& sp : path.subPaths)
        if (IsOpenOrEmpty(sp) == open) Paint(pDC, m, sp, PP_STROKE);
}

} // namespace

ViewColors& GetViewColors() {
    static ViewColors colors;
    return colors;
}

void CPathObj::DrawOutline(CDC* pDC, const floatTMatrix& m, COLORREF color) {
    SelectedTools tools(pDC);
    tools.Brush(color);
    tools.Pen(PS_SOLID, 1, color);
    if (IsLinesOnly()) {
        ::Paint(pDC, m, m_path, PP_STROKE);
        return;
    }
    ::Paint(pDC, m, m_path, PP_FILL);
    StrokeSubPaths(pDC, m, m_path, true);
}

void CPathObj::DrawMask(CDibDC* pMask, const floatTMatrix& m, int mode) {
    if (pMask == nullptr) return;
    if (m_pTransparencyFill == nullptr) {
        const BYTE v = TransparencyLevel(m_fTransparency);
        DrawOutline(pMask, m, RGB(v, v, v));
        return;
    }
    m_pTransparencyFill->PaintFill(pMask, m, mode, m_path.accBox);
    CRect r;
    pMask->GetClipBox(&r);
    CDibDC coverage(pMask, r);
    if (!coverage.IsValid()) return;
    DrawOutline(&coverage, m, 0);
    pMask->m_DIB.Mask(pMask->m_DIB, coverage.m_DIB, 0, 0, 0, 0, 0, 0);
}

void CPathObj::Paint(CDC* pDC, const floatTMatrix& m, int mode, int layer, int flag) {
    if (GetLayer() != static_cast<signed char>(layer) || m_path.subPaths.Filled() == 0) return;
    CRect box;
    ::Transform(m, m_path.ctrlBox, box);
    SdInflateDeviceRect(box, 1, 1);
    CRect clip;
    pDC->GetClipBox(&clip);
    CRect visible;
    if (!visible.IntersectRect(&box, &clip)) return;

    const bool postScript = !IsPrintPreview() && Gradient::IsPostScriptDevice(pDC);
    if (mode >= 2 && flag == 0 && pDC->IsKindOf(RUNTIME_CLASS(CDibDC)) &&
        (m_fTransparency > 0 || m_pTransparencyFill != nullptr ||
         (m_pFill != nullptr && (IsTextureFill(m_pFill) || !postScript)))) {
        DrawTransparent(static_cast<CDibDC*>(pDC), m, mode, layer);
        return;
    }
    const bool outline = m_fOutlineWidth > 0 && m_clrOutline != NO_COLOR;

    if (postScript) {
        CPrinterStream stream(pDC, 16382);
        PSWriter ps(stream, m);
        stream << "save" << EndLine();
        if (IsLinesOnly()) {
            ps.WritePSPath(m_path, 0, 0);
            ps.WritePSColor(m_path.colour);
            ps.WritePSLineWidth(0.1f);
            stream << "stroke" << EndLine();
        } else {
            stream << "gsave" << EndLine();
            if (ps.WritePSPath(m_path, 1, 0)) {
                stream << "eoclip" << EndLine();
                if (m_pFill != nullptr) {
                    stream.Flush();
                    m_pFill->PaintFill(pDC, m, mode, m_path.accBox);
                    stream.Flush();
                } else if (m_path.colour != NO_COLOR) {
                    stream << "gsave" << EndLine();
                    ps.WritePSColor(m_path.colour);
                    stream << "eofill" << EndLine() << "grestore" << EndLine();
                }
                // Inside the clip only the inner half of the double width shows.
                if (outline) {
                    ps.WritePSColor(m_clrOutline);
                    ps.WritePSLineWidth(2 * m_fOutlineWidth);
                    stream << "stroke" << EndLine();
                }
            }
            stream << "grestore" << EndLine();
            if (ps.WritePSPath(m_path, 0, 1) && outline) {
                ps.WritePSColor(m_clrOutline);
                ps.WritePSLineWidth(m_fOutlineWidth);
                stream << "stroke" << EndLine();
            }
        }
        stream << "restore" << EndLine();
        stream.Flush();
        return;
    }

    SelectedTools tools(pDC);
    if (mode < 2) {
        if (m_bLocked) {
            tools.Pen(PS_SOLID, 1, m_clrOutline);
            ::Paint(pDC, m, m_path, PP_STROKE);
            return;
        }
        tools.Pen(PS_SOLID, 1, GetViewColors().CurveColor);
        ::Paint(pDC, m, m_path, PP_STROKE | PD_ONLY_CURVES);
        tools.Pen(PS_SOLID, 1, GetViewColors().LineColor);
        ::Paint(pDC, m, m_path, PP_STROKE | PD_ONLY_LINES);
        return;
    }
    if (IsLinesOnly()) {
        tools.Pen(PS_SOLID, 1, m_path.colour);
        ::Paint(pDC, m, m_path, PP_STROKE);
        return;
    }
    bool hasOpen = false;
    for (const SubPath& sp : m_path.subPaths)
        hasOpen = hasOpen || IsOpenOrEmpty(sp);
    bool saved = false, clipped = false;
    if (m_pFill == nullptr && m_path.colour != NO_COLOR) {
        tools.Brush(m_path.colour);
        ::Paint(pDC, m, m_path, PP_FILL);
    } else if (m_pFill != nullptr) {
        pDC->SaveDC();
        saved = true;
        clipped = true;
        PaintFillClipped(pDC, m, m_path, m_pFill, mode, m_path.accBox);
    }
    if (outline) {
        const int width = PenWidth(m, 2 * m_fOutlineWidth);
        bool draw = true;
        if (width > 2 && !clipped) {
            if (!saved) pDC->SaveDC();
            saved = true;
            draw = Clip(pDC, m, m_path) != 0;
        }
        if (draw && HasClosed(m_path)) {
            tools.Pen(PS_SOLID, width, m_clrOutline);
            StrokeSubPaths(pDC, m, m_path, false);
        }
        if (saved) pDC->RestoreDC(-1);
        if (hasOpen) {
            tools.Pen(PS_SOLID, PenWidth(m, m_fOutlineWidth), m_clrOutline);
            StrokeSubPaths(pDC, m, m_path, true);
        }
        return;
    }
    if (saved) pDC->RestoreDC(-1);
    if (hasOpen && m_path.colour != NO_COLOR) {
        tools.Pen(PS_SOLID, 1, m_path.colour);
        StrokeSubPaths(pDC, m, m_path, true);
    }
}

void CPathObj::DrawGdiPath(CDC* pDC, const floatBBox* box, int layer, int mode, float scale) {
    if (box == nullptr || GetLayer() != static_cast<signed char>(layer) ||
        m_path.subPaths.Filled() == 0) {
        return;
    }
    const float W = (box->right - box->left) * scale * 100;
    const float H = (box->top - box->bottom) * scale * 100;
    floatTMatrix m;
    m.BoxTransformation(box->left, box->top, box->right, box->bottom, 0, 0, W, H);
    const bool outline = m_fOutlineWidth > 0 && m_clrOutline != NO_COLOR;
    SelectedTools tools(pDC);

    if (mode == 0) {
        if (m_path.colour == NO_COLOR && m_clrOutline == NO_COLOR) {
            tools.Pen(PS_DOT, 1, 0xFF0000);
            ::Paint(pDC, m, m_path, PP_STROKE | PD_NO_VISIBILITY);
            return;
        }
        if (IsLinesOnly()) {
            tools.Pen(PS_SOLID, 1, m_path.colour);
            ::Paint(pDC, m, m_path, PP_STROKE | PD_NO_VISIBILITY);
            return;
        }
        if (m_path.colour != NO_COLOR && HasClosed(m_path)) {
            tools.Brush(m_path.colour);
            ::Paint(pDC, m, m_path, PP_FILL | PP_NO_CLIP_TEST);
        }
        if (outline) {
            tools.Pen(PS_SOLID, PenWidth(m, m_fOutlineWidth), m_clrOutline);
            for (int open = 0; open < 2; ++open) {
                for (const SubPath& sp : m_path.subPaths) {
                    if (IsOpenOrEmpty(sp) != bool(open)) continue;
                    Path one;
                    SubPath copy(sp);
                    one.AddSubPath(copy);
                    one.RefreshBBoxes();
                    ::Paint(pDC, m, one, PP_STROKE | PD_NO_VISIBILITY);
                }
            }
        } else if (m_path.colour != NO_COLOR) {
            tools.Pen(PS_SOLID, 1, m_path.colour);
            for (SubPath& sp : m_path.subPaths)
                if (IsOpenOrEmpty(sp)) ::Paint(pDC, m, sp, PD_CURVE | PD_ALL_VISIBLE);
        }
        return;
    }

    if (IsLinesOnly()) {
        if (MakePath(pDC, m, m_path, 0, 0)) {
            tools.Pen(PS_SOLID, 1, m_path.colour);
            pDC->StrokePath();
        }
        return;
    }
    const int pen = PenWidth(m, 2 * m_fOutlineWidth);
    if (MakePath(pDC, m, m_path, 1, 0)) {
        pDC->SaveDC();
        pDC->SelectClipPath(RGN_AND);
        if (m_pFill != nullptr) {
            tools.Pen(PS_NULL, pen, m_clrOutline);
            m_pFill->PaintFill(pDC, m, 0, m_path.accBox);
            if (outline && MakePath(pDC, m, m_path, 1, 0)) {
                tools.Pen(PS_SOLID, pen, m_clrOutline);
                pDC->StrokePath();
            }
        } else if (m_path.colour != NO_COLOR) {
            tools.Brush(m_path.colour);
            if (outline) {
                if (MakePath(pDC, m, m_path, 1, 0)) {
                    tools.Pen(PS_SOLID, pen, m_clrOutline);
                    pDC->StrokeAndFillPath();
                }
            } else {
                tools.Pen(PS_NULL, 1, 0);
                CRect r;
                floatBBox b = m_path.accBox;
                ::Transform(m, b, r);
                SdInflateDeviceRect(r, 100, 100);
                pDC->Rectangle(&r);
            }
        } else if (outline && MakePath(pDC, m, m_path, 1, 0)) {
            tools.Pen(PS_SOLID, pen, m_clrOutline);
            pDC->StrokePath();
        }
        pDC->RestoreDC(-1);
    }
    if (MakePath(pDC, m, m_path, 0, 1)) {
        if (outline) {
            tools.Pen(PS_SOLID, pen, m_clrOutline);
            pDC->StrokePath();
        } else {
            pDC->AbortPath();
        }
    }
}

void CPathObj::WriteIllustrator(AIWriter& writer, int layer) {
    if (GetLayer() != static_cast<signed char>(layer) || m_path.subPaths.Filled() == 0) return;
    const bool hasColor = m_path.colour != NO_COLOR;
    const bool hasOutline = m_clrOutline != NO_COLOR;
    if (!hasColor && !hasOutline) return;
    const bool outline = hasOutline && m_fOutlineWidth > 0;
    OutStream& out = writer.GetStream();
    if (IsFountainFill(m_pFill)) {
        FountainBandWriter bands(m_path, floatTMatrix(), writer);
        bands.Write(*static_cast<CFountainFill*>(m_pFill), m_path.accBox, 2.0f);
        if (outline) {
            writer.SetStrokeColor(long(m_clrOutline));
            writer.SetLineWidth(m_fOutlineWidth);
            for (const SubPath& sp : m_path.subPaths) {
                writer << sp;
                writer.Stroke();
            }
        }
        return;
    }
    out << "*u" << EndLine();
    if (outline) {
        writer.SetStrokeColor(long(m_clrOutline));
        writer.SetLineWidth(m_fOutlineWidth);
    }
    if (hasColor) writer.SetFillColor(long(m_path.colour));
    for (const SubPath& sp : m_path.subPaths) {
        if (!IsOpenOrEmpty(sp)) {
            if (!hasColor && !outline) continue;
            writer << sp;
            if (hasColor && outline) writer.Fill(0);
            else if (hasColor) writer.Fill(1);
            else writer.Stroke();
        } else if (hasOutline) {
            writer << sp;
            writer.Stroke();
        }
    }
    out << "*U" << EndLine();
}

BOOL CPathObj::BuildColorPath(ColorWPFWriter& writer, const floatTMatrix& m, int layer,
                              int flags) {
    if (GetLayer() != static_cast<signed char>(layer)) return 1;
    if ((flags & 1) && !m_bFlag1) return 1;
    const std::uint16_t ownFlags = m_path.pathFlags;
    writer.frameColor = m_clrOutline == NO_COLOR ? -1 : int(m_clrOutline);
    writer.frameWidth = m_fOutlineWidth;

    ColorPath copy;
    ColorPath* pGeometry = &m_path;
    if (!m.IsIdentMatrix() || (flags & 1)) {
        copy = ColorPath(m_path);
        copy.ClosePath();
        copy.Transform(m);
        copy.Invalidate(SP_ALL_INVALID);
        copy.Prepare();
        pGeometry = &copy;
    }
    if (flags & 1) {
        copy.pathFlags = std::uint16_t(copy.pathFlags | CP_LINES_ONLY);
        if (m_bFlag2) FilterSubPaths(copy, copy, 0);
        writer.Write(copy);
    } else if (m_pFill == nullptr) {
        writer.Write(*pGeometry);
    } else if (IsFountainFill(m_pFill) && (flags & 2)) {
        FountainBandWriter bands(*pGeometry, m, writer);
        bands.Write(*static_cast<CFountainFill*>(m_pFill), m_path.accBox, 5.0f);
    } else {
        pGeometry->pathFlags = std::uint16_t(pGeometry->pathFlags | CP_LINES_ONLY);
        writer.Write(*pGeometry);
    }
    m_path.pathFlags = ownFlags;
    return 1;
}
