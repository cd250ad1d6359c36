#pragma once
// A stand-in for the view: a design of filled paths, some of them marked for cutting, drawn
// and measured the way the view does.
#include <functional>
#include <string>
#include <vector>

#include <mfc/CDC.h>
#include <mfc/CGdiObject.h>
#include <pathkit/Path.h>
#include <pathkit/PathDraw.h>

#include "output/PrintSource.h"

struct SourcePath {
    Path path;
    COLORREF fill = RGB(0, 0, 0);
    bool cut = false;
    // false: cut only, never printed.
    bool print = true;
};

class PathSource : public PrintSource {
public:
    std::vector<SourcePath> paths;
    // The stored print settings; copies < 0 means the document has none.
    float x = 0, y = 0, scale = 1, gap = 5;
    int copies = 1, mirror = 0, rotation = 0;
    bool raster = false;
    int begins = 0, ends = 0, setCalls = 0, draws = 0;
    // Called with the number of each drawing.
    std::function<void(int)> onDraw;
    BOOL beginAnswer = TRUE;

    void AddRect(float x0, float y0, float x1, float y1, COLORREF fill = RGB(0, 0, 0),
                 bool cut = false) {
        SourcePath p;
        p.path.Append(PC_MOVETO, x0, y0);
        p.path.Append(x1, y0);
        p.path.Append(x1, y1);
        p.path.Append(x0, y1);
        p.path.Append(x0, y0);
        p.path.ClosePath();
        p.fill = fill;
        p.cut = cut;
        paths.push_back(std::move(p));
    }

    BOOL BeginPrinting(CDC*) override {
        ++begins;
        return beginAnswer;
    }
    void EndPrinting(CDC*) override { ++ends; }
    BOOL NeedsRasterOutput(CDC*) override { return raster; }
    void DrawDocument(CDC* dc, const floatTMatrix& m, int) override {
        if (onDraw) onDraw(++draws);
        for (SourcePath& p : paths) {
            if (!p.print) continue;
            CBrush brush(p.fill);
            CPen pen(PS_NULL, 0, RGB(0, 0, 0));
            CBrush* oldBrush = dc->SelectObject(&brush);
            CPen* oldPen = dc->SelectObject(&pen);
            Paint(dc, m, p.path, 1u);
            dc->SelectObject(oldBrush);
            dc->SelectObject(oldPen);
        }
    }
    void GetDesignBox(floatBBox& box) override {
        bool first = true;
        for (SourcePath& p : paths) {
            p.path.RefreshBBoxes();
            floatBBox b = p.path.accBox;
            if (first)
                box = b;
            else
                box += b;
            first = false;
        }
        if (first) box = floatBBox();
    }
    void GetCutContours(Path& outlines, Path& lines) override {
        for (SourcePath& p : paths)
            if (p.cut) {
                Path copy(p.path); // Concat moves the sub-paths
                outlines.Concat(copy);
            }
        (void)lines;
    }
    void GetPrintSettings(float& px, float& py, float& ps, float& pg, int& pc, int& pm,
                          int& pr) override {
        px = x;
        py = y;
        ps = scale;
        pg = gap;
        pc = copies;
        pm = mirror;
        pr = rotation;
    }
    void SetPrintSettings(float px, float py, float ps, float pg, int pc, int pm, int pr) override {
        ++setCalls;
        x = px;
        y = py;
        scale = ps;
        gap = pg;
        copies = pc;
        mirror = pm;
        rotation = pr;
    }
};
