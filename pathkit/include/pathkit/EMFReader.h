#pragma once
// Enhanced metafiles into paths. Every record is played into a device context (so that GDI
// tracks pens, brushes, fonts and transformations) and then converted: each finished figure
// goes to one of the virtual outputs in the records' logical coordinates, with the matrix
// from there to the metafile's device units (the space of the header's bounds).

#include "mfc/CDC.h"
#include "pathkit/BBox.h"
#include "pathkit/Path.h"
#include "pathkit/TMatrix.h"
#include "pathkit/export.h"
#include "win32/wingdi_meta.h"

class PATHKIT_API EMFReader {
public:
    static constexpr int ClipLevels = 50;

    EMFReader(HENHMETAFILE metafile, float smooth);
    EMFReader(HENHMETAFILE metafile, CDC& dc, float smooth);
    virtual ~EMFReader();
    EMFReader(const EMFReader&) = delete;
    EMFReader& operator=(const EMFReader&) = delete;

    // Non-zero has the record processed; 0 ends the enumeration.
    virtual int PreProcess(HDC dc, HANDLETABLE* table, const ENHMETARECORD* record,
                           int objectCount);
    // A figure drawn by a shape primitive with the current pen and brush.
    virtual void Output(floatTMatrix& m, Path& path);
    virtual void Stroke(floatTMatrix& m, Path& path);
    virtual void Fill(floatTMatrix& m, Path& path);
    virtual void StrokeAndFill(floatTMatrix& m, Path& path);
    // bits and info point into the record.
    virtual void MakeBitmap(int xDest, int yDest, int cxDest, int cyDest, int xSrc, int ySrc,
                            int cxSrc, int cySrc, void* bits, BITMAPINFO* info, unsigned usage,
                            unsigned rop);
    // text and dx point into the record; wide is 1 for UTF-16 text.
    virtual void TextOutA(unsigned graphicsMode, float xScale, float yScale, int x, int y,
                          int count, const char* text, int* dx, int wide, unsigned options,
                          int left, int top, int right, int bottom);

    // True when every record was read and converted; figures delivered before a damaged or
    // skipped record stay delivered.
    bool Process();
    bool Process(CDC* dc);

    bool GetCurrentPen(LOGPEN& pen);
    // Extended pens only (those of EXTCREATEPEN records).
    bool GetCurrentPen(EXTLOGPEN& pen);
    bool GetCurrentBrush(LOGBRUSH& brush);
    bool GetCurrentFont(LOGFONTA& font);
    COLORREF GetTextColor();
    // m × the transformation from the records' logical units to the metafile's device units.
    void BuildTransformationTo(floatTMatrix& m);

    const floatBBox& GetBBox() const { return frameMm; }
    const CRect& GetRect() const { return rect; }
    // Records skipped because they were malformed or degenerate (zero-width arcs).
    unsigned SkippedRecords() const { return skipped; }

protected:
    HENHMETAFILE metafile;
    Path clip[ClipLevels];
    int clipLevel = 0;
    int clipExcess = 0; // SAVEDCs beyond the stack, matched by RESTOREDCs that are ignored
    Path figure;
    bool inPath = false;
    floatTMatrix stored;
    float smooth;
    CRect rect{0, 0, 1000, 1000};
    RECTL bounds{};
    floatBBox frameMm;
    CDC* playDc = nullptr;
    HDC currentDc = nullptr;
    unsigned skipped = 0;
    bool haveCurrent = false;

    void Flush(int type);
    void CloseFigure();
    void Convert(const ENHMETARECORD* record);

private:
    static int CALLBACK_Record(HDC dc, HANDLETABLE* table, const ENHMETARECORD* record, int objects,
                               LPARAM self);
    void ReadHeader();
    bool Enumerate(HDC dc);
};

// The WMF as an EMF (null on any failure); the EMF as a WMF in MM_TEXT with the reference DC.
PATHKIT_API HENHMETAFILE ConvertWMFtoEMF(HMETAFILE metafile);
PATHKIT_API HMETAFILE ConvertEMFtoWMF(HDC reference, HENHMETAFILE metafile);
