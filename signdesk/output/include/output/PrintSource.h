#pragma once
// What the output front end reads of a design: pages, its boxes, its stored print settings,
// its cut contours and drawing into a device context. The defaults answer for a source that
// has nothing of its own; the print engine implements it as the page source of a print run
// and consumes the view's.
#include <pathkit/BBox.h>
#include <pathkit/Point.h>
#include <pathkit/TMatrix.h>
#include <win32/base.h>

class CDC;
class Path;

class PrintSource {
public:
    PrintSource() = default;
    PrintSource(const PrintSource&) = default;
    PrintSource& operator=(const PrintSource&) = default;

    virtual int GetFirstPage() { return 0; }
    virtual int GetPageCount() { return 0; }
    virtual BOOL BeginPrinting(CDC* dc) {
        (void)dc;
        return TRUE;
    }
    virtual void EndPrinting(CDC* dc) { (void)dc; }
    virtual BOOL SetPage(int page) {
        (void)page;
        return TRUE;
    }
    virtual BOOL IsPageReady() { return TRUE; }
    // Whether the page must go out as a bitmap (transparency, texture fills, colour profiles).
    virtual BOOL NeedsRasterOutput(CDC* dc) {
        (void)dc;
        return FALSE;
    }
    // Paints the design through the matrix (design mm to device units) at the detail level.
    virtual void DrawDocument(CDC* dc, const floatTMatrix& m, int detail) {
        (void)dc;
        (void)m;
        (void)detail;
    }
    virtual int CanPreview() { return 1; }
    virtual void GetPageExtent(floatBBox& box) { (void)box; }
    virtual void GetDesignBox(floatBBox& box) { (void)box; }
    // Outer outlines (united) and open or inner cut lines of the objects marked for cutting.
    virtual void GetCutContours(Path& outlines, Path& lines) {
        (void)outlines;
        (void)lines;
    }
    virtual BOOL SnapToNode(floatPoint& point, float tolerance) {
        (void)point;
        (void)tolerance;
        return FALSE;
    }
    virtual void DrawOutlines(CDC* dc, const floatTMatrix& m) {
        (void)dc;
        (void)m;
    }
    // Whether the design has anything the cutter may cut.
    virtual int CanCut() { return 1; }
    virtual void GetPrintSettings(float& x, float& y, float& scale, float& gap, int& copies,
                                  int& mirror, int& rotation) {
        (void)x;
        (void)y;
        (void)scale;
        (void)gap;
        (void)copies;
        (void)mirror;
        (void)rotation;
    }
    virtual void SetPrintSettings(float x, float y, float scale, float gap, int copies, int mirror,
                                  int rotation) {
        (void)x;
        (void)y;
        (void)scale;
        (void)gap;
        (void)copies;
        (void)mirror;
        (void)rotation;
    }

protected:
    virtual ~PrintSource() = default;
};
