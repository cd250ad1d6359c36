#pragma once
// The print engine: the page layout of the output sheet, and the page source of a print run.
// It lays copies (or one tile) on each page, draws them through the view's print source,
// adds crop marks round each copy and registration marks round the block, and in
// print-and-cut mode the cut contour. One copy walk places the copies for printing, the
// preview, the cut contours and the cutter.
#include <functional>
#include <memory>
#include <string>

#include <mfc/CString.h>
#include <pathkit/Point.h>
#include <pathkit/TMatrix.h>

#include "output/CPageLayout.h"
#include "output/PrintSource.h"

class CDibDC;
class CTileLayout;
class Path;

class CPrintEngine : public CPageLayout, public PrintSource {
public:
    explicit CPrintEngine(CTileLayout& tiles);
    ~CPrintEngine() override;

    // Binds the view's print source: options from the profile, the design box, the stored
    // settings, scale 1 × the stored one.
    void Attach(PrintSource* source);
    // Reads section "General" of the profile (values limited to their ranges) and the
    // default printer's page; keeps A4 without a printer.
    void LoadPrintOptions();

    // CPageLayout
    float UsableWidth() override;
    float UsableHeight() override;
    void GetBox(floatBBox& box) override;
    void UpdateLayout(int force) override;
    float GetCopyMargin();

    // PrintSource
    int GetFirstPage() override { return 0; }
    int GetPageCount() override;
    BOOL SetPage(int page) override;
    BOOL NeedsRasterOutput(CDC* dc) override;
    // Prints the current page.
    void DrawDocument(CDC* dc, const floatTMatrix& deviceMatrix, int flag) override;
    void GetPageExtent(floatBBox& box) override;
    void GetDesignBox(floatBBox& box) override;

    // The copy walk: for every copy on `page`, its matrix from design box coordinates to page
    // millimetres (the tile's shift included when tiled). Returns how many.
    int ForEachCopy(int page, const std::function<void(const floatTMatrix&)>& visit);
    // Translation of page millimetres for a tiled page (minus the tile's start), and the
    // tile's printable rectangle on the page; false when the page has no tile.
    bool TileOfPage(int page, floatTMatrix& shift, floatBBox& area);
    // Number of the tile a page prints.
    int TileNumberOfPage(int page) const;

    // Why the layout cannot be printed or cut on this device ("" when it can). dc may be null.
    CString CheckOutput(CDC* dc);
    // The last band that could not be rendered; "" when all were.
    const CString& BandFailure() const { return bandFailure; }

    // Device matrix of a printer: mm to pixels from HORZRES/HORZSIZE and VERTRES/VERTSIZE.
    static floatTMatrix DeviceMatrix(CDC* dc);

    // Paints the page, its margins, the copies (or the tile grid over the design), the marks
    // and the registration points into the preview rectangle; sets the preview matrix and the
    // page and design rectangles on the preview.
    // Untiled, the copies of `sheet` are shown.
    void PaintPreview(CDC* dc, const RECT& rect, const floatPoint* registration = nullptr,
                      int sheet = 0);

    // The design drawn once at preview resolution (the sheet's preparation), drawn into each
    // upright copy of the preview; rebuilt when the detail level changes, freed by the
    // release (the sheet's clean-up).
    void BuildPreviewBitmap(int width, int height);
    void ReleasePreviewBitmap();
    bool HasPreviewBitmap() const { return previewBitmap_ != nullptr; }
    int previewBitmapBuilds = 0;

    // Marks and contours (device matrix given), public for the preview painter.
    void DrawCropMarks(CDC* dc, const floatTMatrix& copyMatrix);
    void DrawSyncMarks(CDC* dc, const floatTMatrix& pageMatrix);
    void DrawCutContour(CDC* dc, const floatTMatrix& copyMatrix);

    static constexpr float MarkSize = 5.0f;
    static constexpr int DetailTable[4] = {0, 3, 4, 5};
    static constexpr unsigned long RasterBandLimit = 0xA00000;
    static constexpr float OrientationCorner = 20.0f;

    int currentPage = 0;
    float markerDistance = 5.0f;
    int syncMarks = 2;
    int cropMarks = 1;
    PrintSource* source = nullptr;
    Path* outlinePaths = nullptr;
    Path* linePaths = nullptr;
    int detail = 1;
    floatTMatrix designMatrix;
    int calibrationValid = 0;
    int outlineFlag = 0;
    int printAndCut = 0;
    // The document's test print: a frame round the page, no clip to the block, white bands
    // sent too.
    int testPrint = 0;
    // The path of the document being output ("" untitled); names the cut job.
    CString documentPath;
    // Pens of the marks and the cut contour ("Settings" of the profile).
    float cropMarkWidth = 0.2f;
    float syncMarkWidth = 0.2f;
    int cutPenStyle = 2;
    COLORREF cutPenColor = 0xFF0000;
    // Colour correction (cyan, magenta, yellow, black); null is identity.
    const BYTE* correction[4] = {nullptr, nullptr, nullptr, nullptr};

    CTileLayout& tiles;

private:
    void DrawDesign(CDC* dc, const RECT& clip, const floatTMatrix& deviceMatrix, bool printing);
    void DrawTestFrame(CDC* dc);
    void DrawMarksAndContours(CDC* dc, const floatTMatrix& deviceMatrix);
    bool RenderBands(CDC* dc, const RECT& clip, const floatTMatrix& deviceMatrix, bool passThrough);
    floatTMatrix BoxMatrix();
    CString bandFailure;
    std::unique_ptr<CDibDC> previewBitmap_;
    int previewBitmapDetail_ = -1;
};

// The program's one engine and its tile layout.
CPrintEngine& ThePrintEngine();
CTileLayout& TheTileLayout();
