#include "output/CPrintEngine.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include <mfc/CDC.h>
#include <mfc/CGdiObject.h>
#include <pathkit/Path.h>
#include <pathkit/PathDraw.h>
#include <rasterkit/CDibDC.h>
#include <settings/CIniFile.h>
#include <settings/ProgramFolders.h>
#include <shell/DefaultPrinterPage.h>
#include <shell/PSWriter.h>

#include "output/CPrinterStream.h"
#include "output/CTileLayout.h"
#include "output/OutputIds.h"

CPrintEngine::CPrintEngine(CTileLayout& t) : tiles(t) {
    tiles.engine = this;
}

CPrintEngine::~CPrintEngine() = default;

CPrintEngine& ThePrintEngine() {
    static CPrintEngine engine(TheTileLayout());
    return engine;
}

CTileLayout& TheTileLayout() {
    static CTileLayout layout;
    return layout;
}

namespace {
float Clamped(float v, float lo, float hi, float fallback) {
    if (!std::isfinite(v)) return fallback;
    return std::clamp(v, lo, hi);
}
} // namespace

void CPrintEngine::LoadPrintOptions() {
    CString file = GetProfileFileName();
    if (!file.IsEmpty()) {
        CIniFile ini(file);
        const char* g = "General";
        leftMargin = Clamped(float(ini.GetFloat(g, "leftMargin", 0)), 0, 150, 0);
        topMargin = Clamped(float(ini.GetFloat(g, "topMargin", 0)), 0, 150, 0);
        rightMargin = Clamped(float(ini.GetFloat(g, "rightMargin", 0)), 0, 150, 0);
        bottomMargin = Clamped(float(ini.GetFloat(g, "bottomMargin", 0)), 0, 150, 0);
        markerDistance = Clamped(float(ini.GetFloat(g, "MarkerDist", 5)), 0, 100, 5);
        cropMarks = int(ini.GetInt(g, "CropMarks", 0)) != 0;
        syncMarks = int(ini.GetInt(g, "SyncMarks", 0));
        if (syncMarks < 0 || syncMarks > 2) syncMarks = 0;
        detail = std::clamp(int(ini.GetInt(g, "Detail", 1)), 0, 3);
        printAndCut = int(ini.GetInt(g, "EnablePrintAndCut", 0)) != 0;
        const char* s = "Settings";
        cropMarkWidth = Clamped(float(ini.GetFloat(s, "CropMarkWidth", 0.2)), 0, 10, 0.2f);
        syncMarkWidth = Clamped(float(ini.GetFloat(s, "SynchMarkWidth", 0.2)), 0, 10, 0.2f);
        cutPenStyle = int(ini.GetInt(s, "CutPenStyle", 2));
        cutPenColor = COLORREF(ini.GetInt(s, "CutPenColor", 0xFF0000));
    } else {
        leftMargin = topMargin = rightMargin = bottomMargin = 0;
        markerDistance = 5;
        cropMarks = syncMarks = printAndCut = 0;
        detail = 1;
    }
    float pw, ph, paperW, paperH, ox, oy;
    std::uint8_t orientation;
    std::uint16_t paperSize;
    // Without a printer the layout keeps A4.
    if (GetDefaultPrinterPage(pw, ph, paperW, paperH, ox, oy, orientation, paperSize) >= 0 &&
        pw > 0 && ph > 0) {
        mediaWidth = pw;
        mediaHeight = ph;
    } else {
        mediaWidth = 210.0f;
        mediaHeight = 297.0f;
    }
    tiles.SetTileSize(mediaWidth - leftMargin - rightMargin,
                      mediaHeight - topMargin - bottomMargin);
    tiles.SetSelection(1);
}

void CPrintEngine::Attach(PrintSource* s) {
    source = s;
    LoadPrintOptions();
    floatBBox box;
    GetBox(box);
    designWidth = box.right - box.left;
    designHeight = box.top - box.bottom;
    designMatrix.BoxTransformation(box.left, box.bottom, box.right, box.top, box.left, box.top,
                                   box.right, box.bottom);
    calibrationValid = 0;
    sheetIndex = 0;
    scrollX = scrollY = 0;
    scale = 1.0f;
    float storedScale = scale;
    if (source)
        source->GetPrintSettings(xPosition, yPosition, storedScale, gap, copies, mirror, rotation);
    // Stored records may hold anything.
    if (!(storedScale > 0) || !std::isfinite(storedScale)) storedScale = 1.0f;
    if (!(gap >= 0) || !std::isfinite(gap)) gap = 0;
    if (!std::isfinite(xPosition)) xPosition = leftMargin;
    if (!std::isfinite(yPosition)) yPosition = topMargin;
    if (rotation < 0 || rotation > 3) rotation = 0;
    mirror = mirror != 0;
    scale = storedScale;
    xPosition = std::max(xPosition, leftMargin);
    yPosition = std::max(yPosition, topMargin);
    designWidth *= scale;
    designHeight *= scale;
}

float CPrintEngine::UsableWidth() {
    return tiles.tileWidth;
}
float CPrintEngine::UsableHeight() {
    return tiles.tileHeight;
}

void CPrintEngine::GetBox(floatBBox& box) {
    box = floatBBox();
    if (source) source->GetDesignBox(box);
}

float CPrintEngine::GetCopyMargin() {
    return (cropMarks || syncMarks) ? markerDistance : 0.0f;
}

void CPrintEngine::UpdateLayout(int force) {
    if (copies <= 0) return;
    if (force) calibrationValid = 0;
    float a = UsableWidth() - xPosition + leftMargin;
    float b = UsableHeight() - yPosition + topMargin;
    float m = GetCopyMargin();
    float c = GetLayoutWidth() + 2 * m;
    float d = GetLayoutHeight() + 2 * m;
    tiles.BuildTiles(c, d, a, b, xPosition - leftMargin, yPosition - topMargin, force);
    if (tiles.IsTiled()) {
        rowsPerPage = columnsPerPage = 1;
        blockWidth = c;
        blockHeight = d;
        sheetIndex = 0;
        return;
    }
    float g = gap;
    int rowsFit = d + g > 0 ? int(std::trunc((b + g) / (d + g))) : 1;
    rowsFit = std::max(1, rowsFit);
    int columns = c + g > 0 ? int(std::trunc((a + g) / (c + g))) : 1;
    columns = std::clamp(columns, 1, copies);
    int rows = std::min((copies + columns - 1) / columns, rowsFit);
    columnsPerPage = columns;
    rowsPerPage = std::max(1, rows);
    blockWidth = float(columnsPerPage) * (c + g) - g;
    blockHeight = float(rowsPerPage) * (d + g) - g;
    sheetIndex = std::clamp(sheetIndex, 0, std::max(0, GetPageCount() - 1));
}

int CPrintEngine::GetPageCount() {
    if (copies <= 0) return 0;
    if (tiles.IsTiled()) return copies * tiles.selectedCount;
    int perPage = std::max(1, rowsPerPage) * std::max(1, columnsPerPage);
    return (copies + perPage - 1) / perPage;
}

BOOL CPrintEngine::SetPage(int page) {
    currentPage = page;
    return TRUE;
}

BOOL CPrintEngine::NeedsRasterOutput(CDC* dc) {
    return source ? source->NeedsRasterOutput(dc) : FALSE;
}

int CPrintEngine::TileNumberOfPage(int page) const {
    return copies > 0 ? page / copies + 1 : 0;
}

bool CPrintEngine::TileOfPage(int page, floatTMatrix& shift, floatBBox& area) {
    int column, row;
    float x, y, w, h;
    tiles.GetTileGeometry(TileNumberOfPage(page), column, row, x, y, w, h);
    if (column < 0) return false;
    // The tile grid starts at the margin corner: the tile at (x, y) prints the untiled page
    // moved by (-x, -y).
    shift = floatTMatrix(1, 0, 0, 1, -x, -y);
    area = floatBBox(leftMargin, topMargin, leftMargin + w, topMargin + h);
    return true;
}

floatTMatrix CPrintEngine::BoxMatrix() {
    floatBBox box;
    GetBox(box);
    floatTMatrix m;
    m.BoxTransformation(box.left, box.bottom, box.right, box.top, 0, 0, designWidth, designHeight);
    return m;
}

int CPrintEngine::ForEachCopy(int page, const std::function<void(const floatTMatrix&)>& visit) {
    float m = GetCopyMargin();
    float cw = GetLayoutWidth() + 2 * m;
    float ch = GetLayoutHeight() + 2 * m;
    floatTMatrix boxMatrix = BoxMatrix();
    floatTMatrix placement;
    if (tiles.IsTiled()) {
        floatTMatrix shift;
        floatBBox area;
        if (!TileOfPage(page, shift, area)) return 0;
        GetPlacement(placement, xPosition + m, yPosition + m, 1);
        visit(boxMatrix * placement * shift);
        return 1;
    }
    int perPage = std::max(1, rowsPerPage) * std::max(1, columnsPerPage);
    int number = page * perPage;
    int done = 0;
    float y = yPosition + m;
    for (int r = 0; r < rowsPerPage && number < copies; ++r) {
        float x = xPosition + m;
        for (int c = 0; c < columnsPerPage && number < copies; ++c, ++number) {
            GetPlacement(placement, x, y, 1);
            visit(boxMatrix * placement);
            ++done;
            x += cw + gap;
        }
        y += ch + gap;
    }
    return done;
}

void CPrintEngine::GetPageExtent(floatBBox& box) {
    box = floatBBox(0, 0, xPosition + blockWidth, yPosition + blockHeight);
}

void CPrintEngine::GetDesignBox(floatBBox& box) {
    if (!tiles.IsTiled()) {
        box = floatBBox(xPosition, 0, xPosition + blockWidth + 0.5f, blockHeight);
        return;
    }
    int column, row;
    float x, y, w, h;
    tiles.GetTileGeometry(TileNumberOfPage(currentPage), column, row, x, y, w, h);
    box = floatBBox(leftMargin + x, topMargin + y, leftMargin + x + w, topMargin + y + h);
}

floatTMatrix CPrintEngine::DeviceMatrix(CDC* dc) {
    int hs = dc->GetDeviceCaps(HORZSIZE);
    int vs = dc->GetDeviceCaps(VERTSIZE);
    float sx = hs > 0 ? float(dc->GetDeviceCaps(HORZRES)) / float(hs) : 0.0f;
    float sy = vs > 0 ? float(dc->GetDeviceCaps(VERTRES)) / float(vs) : 0.0f;
    return floatTMatrix(sx, 0, 0, sy, 0, 0);
}

CString CPrintEngine::CheckOutput(CDC* dc) {
    UINT id = 0;
    if (copies < 1)
        id = IDS_OUT_NO_COPIES;
    else if (mediaWidth - leftMargin - rightMargin < 1.0f ||
             mediaHeight - topMargin - bottomMargin < 1.0f)
        id = IDS_OUT_MARGINS_TOO_WIDE;
    else if (tiles.tooManyTiles)
        id = IDS_OUT_TOO_MANY_TILES;
    else {
        float a = UsableWidth() - xPosition + leftMargin;
        float b = UsableHeight() - yPosition + topMargin;
        float m = GetCopyMargin();
        bool needsTiles = GetLayoutWidth() + 2 * m > a || GetLayoutHeight() + 2 * m > b;
        if (needsTiles && (tiles.StepX() <= 0 || tiles.StepY() <= 0))
            id = IDS_OUT_OVERLAP_TOO_LARGE;
        else if (tiles.IsTiled() && tiles.selectedCount == 0)
            id = IDS_OUT_NO_TILE_SELECTED;
    }
    if (!id && dc &&
        (dc->GetDeviceCaps(HORZRES) <= 0 || dc->GetDeviceCaps(VERTRES) <= 0 ||
         dc->GetDeviceCaps(HORZSIZE) <= 0 || dc->GetDeviceCaps(VERTSIZE) <= 0))
        id = IDS_OUT_BAD_PRINTER;
    CString text;
    if (id && !text.LoadString(id)) text.Format("Output refused (%u).", id);
    return text;
}

namespace {
// A pen width in mm turned into device units through the matrix: at least one.
int PenWidth(const floatTMatrix& m, float mm) {
    float x = mm, y = 0;
    m.dTransform(x, y);
    int w = int(std::floor(std::hypot(x, y) + 0.5f));
    return std::max(1, w);
}

void LMark(CDC* dc, const floatTMatrix& m, float ax, float ay, float cx, float cy, float bx,
           float by) {
    float p[3][2] = {{ax, ay}, {cx, cy}, {bx, by}};
    for (auto& q : p)
        m.Transform(q[0], q[1]);
    dc->MoveTo(int(p[0][0]), int(p[0][1]));
    dc->LineTo(int(p[1][0]), int(p[1][1]));
    dc->LineTo(int(p[2][0]), int(p[2][1]));
}
} // namespace

void CPrintEngine::DrawCropMarks(CDC* dc, const floatTMatrix& copyMatrix) {
    if (!cropMarks) return;
    floatBBox box;
    GetBox(box);
    float s = scale > 0 ? scale : 1.0f;
    float d = markerDistance / s;
    float a = MarkSize / s;
    float x0 = box.left - d, x1 = box.right + d, y0 = box.bottom - d, y1 = box.top + d;
    if (dc->IsPrinting()) {
        // The far edges one device pixel in, so that the marks stay inside the printable clip.
        float mx = std::max(std::fabs(copyMatrix.m11), std::fabs(copyMatrix.m21));
        float my = std::max(std::fabs(copyMatrix.m22), std::fabs(copyMatrix.m12));
        if (mx > 0) x1 -= 1.0f / mx;
        if (my > 0) y1 -= 1.0f / my;
    }
    CPen pen(PS_SOLID, PenWidth(copyMatrix, cropMarkWidth), RGB(0, 0, 0));
    CPen* old = dc->SelectObject(&pen);
    LMark(dc, copyMatrix, x0 + a, y1, x0, y1, x0, y1 - a);
    LMark(dc, copyMatrix, x1 - a, y1, x1, y1, x1, y1 - a);
    LMark(dc, copyMatrix, x0 + a, y0, x0, y0, x0, y0 + a);
    LMark(dc, copyMatrix, x1 - a, y0, x1, y0, x1, y0 + a);
    dc->SelectObject(old);
}

void CPrintEngine::DrawSyncMarks(CDC* dc, const floatTMatrix& pageMatrix) {
    if (syncMarks != 1 && syncMarks != 2) return;
    float x1 = xPosition, y1 = yPosition;
    float x2 = x1 + blockWidth, y2 = y1 + blockHeight;
    float b = 2 * MarkSize;
    CPen pen(PS_SOLID, PenWidth(pageMatrix, syncMarkWidth), RGB(0, 0, 0));
    CPen* old = dc->SelectObject(&pen);
    if (syncMarks == 1) LMark(dc, pageMatrix, x1 + b, y2, x1, y2, x1, y2 - b);
    LMark(dc, pageMatrix, x1 + b, y1, x1, y1, x1, y1 + b);
    LMark(dc, pageMatrix, x2 - b, y1, x2, y1, x2, y1 + b);
    dc->SelectObject(old);
}

void CPrintEngine::DrawCutContour(CDC* dc, const floatTMatrix& copyMatrix) {
    bool outlinesEmpty = !outlinePaths || outlinePaths->subPaths.Filled() == 0;
    bool linesEmpty = !linePaths || linePaths->subPaths.Filled() == 0;
    if (outlinesEmpty && linesEmpty) return;
    floatTMatrix m = designMatrix * copyMatrix;
    if (outlineFlag && source) {
        CPen grey(PS_SOLID, 1, RGB(0xC0, 0xC0, 0xC0));
        CPen* old = dc->SelectObject(&grey);
        source->DrawOutlines(dc, m);
        dc->SelectObject(old);
    }
    if (printAndCut) {
        CPen pen(cutPenStyle, 1, cutPenColor);
        CPen* old = dc->SelectObject(&pen);
        if (!outlinesEmpty) Paint(dc, m, *outlinePaths, 2u);
        if (!linesEmpty) Paint(dc, m, *linePaths, 2u);
        dc->SelectObject(old);
    }
}

void CPrintEngine::DrawTestFrame(CDC* dc) {
    // The last pixel row and column: a frame at HORZRES or VERTRES would fall off the page.
    float w = float(dc->GetDeviceCaps(HORZRES) - 1);
    float h = float(dc->GetDeviceCaps(VERTRES) - 1);
    int hs = dc->GetDeviceCaps(HORZSIZE);
    float s = hs > 0 ? (w + 1) * OrientationCorner / float(hs) : 0.0f;
    Path frame;
    frame.Append(PC_MOVETO, 0, 0);
    frame.Append(w - s, 0);
    frame.Append(w, s);
    frame.Append(w, h);
    frame.Append(0, h);
    frame.Append(0, 0);
    frame.ClosePath();
    CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
    CPen* old = dc->SelectObject(&pen);
    Paint(dc, floatTMatrix(), frame, 2u);
    dc->SelectObject(old);
}

void CPrintEngine::DrawDesign(CDC* dc, const RECT& clip, const floatTMatrix& deviceMatrix, bool) {
    int saved = dc->SaveDC();
    dc->IntersectClipRect(&clip);
    int level = DetailTable[std::clamp(detail, 0, 3)];
    if (tiles.IsTiled()) {
        floatTMatrix shift;
        floatBBox area;
        if (TileOfPage(currentPage, shift, area)) {
            float l = area.left, t = area.bottom, r = area.right, b = area.top;
            deviceMatrix.Transform(l, t);
            deviceMatrix.Transform(r, b);
            RECT tileRect{std::max(LONG(0), LONG(l)), std::max(LONG(0), LONG(t)),
                          std::max(LONG(0), LONG(r)), std::max(LONG(0), LONG(b))};
            dc->IntersectClipRect(&tileRect);
        }
    }
    ForEachCopy(currentPage, [&](const floatTMatrix& placed) {
        floatTMatrix copyMatrix = placed * deviceMatrix;
        if (source) source->DrawDocument(dc, designMatrix * copyMatrix, level);
        DrawCropMarks(dc, copyMatrix);
    });
    DrawMarksAndContours(dc, deviceMatrix);
    dc->RestoreDC(saved);
}

void CPrintEngine::DrawMarksAndContours(CDC* dc, const floatTMatrix& deviceMatrix) {
    floatTMatrix pageMatrix = deviceMatrix;
    if (tiles.IsTiled()) {
        floatTMatrix shift;
        floatBBox area;
        if (TileOfPage(currentPage, shift, area)) pageMatrix = shift * deviceMatrix;
    }
    DrawSyncMarks(dc, pageMatrix);
    ForEachCopy(currentPage,
                [&](const floatTMatrix& placed) { DrawCutContour(dc, placed * deviceMatrix); });
}

namespace {
class BandImage : public PSImageSource {
public:
    explicit BandImage(CDIBSection& dib) : dib_(dib) {}
    int BitmapWidth() override { return dib_.GetWidth(); }
    int BitmapHeight() override { return dib_.GetHeight(); }
    int SourceWidth() override { return dib_.GetWidth(); }
    int SourceHeight() override { return dib_.GetHeight(); }
    void GetPixel(int x, int y, BYTE out[4]) override {
        const BYTE* p = Row(y) + 3 * x;
        out[0] = p[0];
        out[1] = p[1];
        out[2] = p[2];
        out[3] = 0;
    }
    const BYTE* Row(int y) const;

private:
    CDIBSection& dib_;
};

int Stride(int width) {
    return (width * 3 + 3) & ~3;
}

const BYTE* BandImage::Row(int y) const {
    // Bottom-up rows, as sections are made.
    int h = dib_.GetHeight();
    return dib_.GetBits() + std::size_t(Stride(dib_.GetWidth())) * std::size_t(h - 1 - y);
}

bool AllWhite(CDIBSection& dib) {
    const BYTE* bits = dib.GetBits();
    int w = dib.GetWidth();
    int stride = Stride(w);
    for (int y = 0; y < dib.GetHeight(); ++y) {
        const BYTE* row = bits + std::size_t(stride) * std::size_t(y);
        for (int x = 0; x < 3 * w; ++x)
            if (row[x] != 255) return false;
    }
    return true;
}
} // namespace

bool CPrintEngine::RenderBands(CDC* dc, const RECT& clip, const floatTMatrix& deviceMatrix,
                               bool passThrough) {
    long width = clip.right - clip.left;
    long height = clip.bottom - clip.top;
    if (width <= 0 || height <= 0) return true;
    long bandHeight = height;
    if (std::uint64_t(width) * std::uint64_t(height) * 3 > RasterBandLimit)
        bandHeight = std::max(1L, long(RasterBandLimit / (3 * std::uint64_t(width))));
    bool printing = dc->IsPrinting();
    static BYTE identity[256];
    static bool made = false;
    if (!made) {
        for (int i = 0; i < 256; ++i)
            identity[i] = BYTE(i);
        made = true;
    }
    const BYTE* table[4];
    for (int i = 0; i < 4; ++i)
        table[i] = correction[i] ? correction[i] : identity;
    for (long top = clip.top; top < clip.bottom; top += bandHeight) {
        RECT band{clip.left, LONG(top), clip.right,
                  LONG(std::min<long>(top + bandHeight, clip.bottom))};
        CDibDC bandDC(dc, band);
        if (!bandDC.IsValid()) {
            bandFailure.Format("%ld", top);
            return false;
        }
        CBrush white(RGB(255, 255, 255));
        RECT whole{band.left, band.top, band.right, band.bottom};
        bandDC.FillRect(&whole, &white);
        if (printing && testPrint) DrawTestFrame(&bandDC);
        DrawDesign(&bandDC, band, deviceMatrix, printing);
        if (!(printing && testPrint) && AllWhite(bandDC.m_DIB)) continue;
        if (!passThrough) {
            if (printing) bandDC.m_DIB.CMYKCorrection(table[0], table[1], table[2], table[3]);
            RECT src{0, 0, band.right - band.left, band.bottom - band.top};
            bandDC.m_DIB.Paint(dc, src, band, 0);
        } else {
            floatTMatrix back = deviceMatrix.Inv();
            float l = float(band.left), t = float(band.top), r = float(band.right),
                  b = float(band.bottom);
            back.Transform(l, t);
            back.Transform(r, b);
            bandDC.m_DIB.CMYKCorrection(table[0], table[1], table[2], table[3]);
            CPrinterStream stream(dc, 16382);
            PSWriter writer(stream, floatTMatrix());
            BandImage image(bandDC.m_DIB);
            writer.WritePSImage(image, floatBBox(l, t, r, b));
            stream.Flush();
        }
    }
    return true;
}

void CPrintEngine::DrawDocument(CDC* dc, const floatTMatrix& deviceMatrix, int) {
    bandFailure.Empty();
    int saved = dc->SaveDC();
    RECT clip;
    dc->GetClipBox(&clip);
    if (!testPrint) {
        float l = 0, t = 0, r = xPosition + blockWidth, b = yPosition + blockHeight;
        if (tiles.IsTiled()) {
            r = mediaWidth;
            b = mediaHeight;
        }
        deviceMatrix.Transform(l, t);
        deviceMatrix.Transform(r, b);
        RECT block{LONG(std::min(l, r)), LONG(std::min(t, b)), LONG(std::ceil(std::max(l, r))),
                   LONG(std::ceil(std::max(t, b)))};
        clip.left = std::max(clip.left, block.left);
        clip.top = std::max(clip.top, block.top);
        clip.right = std::min(clip.right, block.right);
        clip.bottom = std::min(clip.bottom, block.bottom);
    }
    bool printing = dc->IsPrinting();
    int query = POSTSCRIPT_PASSTHROUGH;
    bool passThrough = printing && dc->Escape(QUERYESCSUPPORT, sizeof(int),
                                              reinterpret_cast<LPCSTR>(&query), nullptr) > 0;
    if (!NeedsRasterOutput(dc)) {
        if (printing && testPrint) DrawTestFrame(dc);
        DrawDesign(dc, clip, deviceMatrix, printing);
    } else {
        RenderBands(dc, clip, deviceMatrix, passThrough);
    }
    dc->RestoreDC(saved);
}
