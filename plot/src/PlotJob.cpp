#include "PlotJob.h"

#include <algorithm>
#include <cmath>

#include <pathkit/ColorPath.h>
#include <pathkit/NumericToolkit.h>
#include <pathkit/SubPath.h>

#include "PlotSettings.h"
#include "plot/PlotPath.h"
#include "plot/Plottable.h"
#include "plot/Plotter.h"

namespace {

// The pages' ranges; values beyond them from Plot.ini are taken at the nearest end.
float Clamp(float v, float lo, float hi) {
    return v == v ? std::clamp(v, lo, hi) : lo;
}

// The packing of copies and panels across the media, row by row.
class Packer {
public:
    Packer(float mediaWidth, float mediaLength, float spacing, float startX, float startY,
           float restartX)
        : width_(mediaWidth), length_(mediaLength), spacing_(spacing), x_(startX), y_(startY),
          r_(startY), restartX_(restartX) {}

    // Places an item of w × h; false when it does not fit the sheet (nothing moves then).
    bool Place(float w, float h, float& x, float& y) {
        float px = x_, py = y_, r = r_;
        if (px + w > width_) {
            px = restartX_;
            py = r + spacing_;
            if (py + h > length_) return false;
            r = std::max(r, py + h);
        } else {
            r = std::max(r, py + h);
            if (r > length_) return false;
        }
        x = px;
        y = py;
        x_ = px + w + spacing_;
        y_ = py;
        r_ = r;
        return true;
    }
    // A new sheet from (x, y); the item that did not fit goes there whatever its size.
    void NewSheet(float x, float y, float w, float h, float& px, float& py) {
        px = x;
        py = y;
        x_ = x + w + spacing_;
        y_ = y;
        r_ = y + h;
    }

private:
    float width_, length_, spacing_;
    float x_, y_, r_, restartX_;
};

floatBBox Intersect(const floatBBox& a, const floatBBox& b) {
    floatBBox r;
    r.left = std::max(a.left, b.left);
    r.right = std::min(a.right, b.right);
    r.bottom = std::max(a.bottom, b.bottom);
    r.top = std::min(a.top, b.top);
    return r;
}

bool HasArea(const floatBBox& b) {
    return b.left < b.right && b.bottom < b.top;
}

floatBBox MapBox(const floatBBox& b, const floatTMatrix& m) {
    floatPoint c[4] = {b.LB(), b.RB(), b.LT(), b.RT()};
    floatBBox out;
    for (int i = 0; i < 4; ++i) {
        m.Transform(c[i].x, c[i].y);
        if (i == 0)
            out = c[0];
        else
            out += c[i];
    }
    return out;
}

} // namespace

PlotJob::PlotJob(TileTable& t)
    : tiles(t), design(nullptr), layerFilter(AllLayers), weedBox(0), weedDx(1), weedDy(1),
      registrationMarkers(0), selectedMarker(-1), markerSize(10), pageLength(0), manualFeed(0),
      fillPreview(1), markers{}, keepLeft(0), keepRight(0), keepBottom(0), keepTop(0), tiledW(0),
      tiledH(0), extentSet(0) {
    tiles.layout = this;
}

float PlotJob::getMaxWidth() {
    return tiles.getMaxWidth();
}
float PlotJob::getMaxHeight() {
    return tiles.getMaxHeight();
}
float PlotJob::getPageLength() {
    return pageLength;
}

void PlotJob::MouseMove(MouseTracker& tracker) {
    if (tracker.captured && dragMode == 2 && pageLength > 0) {
        floatPoint d = MouseDelta(tracker.point);
        contentX = std::min(getMaxWidth() - 1, std::max(contentX + d.x, leftMargin));
        contentY = std::min(std::min(pageLength, getMaxHeight()) - 1,
                            std::max(contentY + d.y, bottomMargin));
        lastX = tracker.point.x;
        lastY = tracker.point.y;
        notifyTileChange(0);
        return;
    }
    Layout::MouseMove(tracker);
}

int PlotJob::GetPaths(ColorPath**& paths) {
    paths = nullptr;
    int count = 0;
    if (!design) return 0;
    design->getPlottingPaths(&paths, count);
    if (!paths || count < 0) return 0;
    return count;
}

int PlotJob::PassesLayer(const ColorPath& path) const {
    return layerFilter == AllLayers || path.layer == layerFilter;
}

int PlotJob::IsColourEnabled(std::uint32_t rgb) const {
    for (const Colour& c : colours)
        if (c.rgb == rgb) return c.enabled;
    return 0;
}

void PlotJob::EnableColour(std::uint32_t rgb, int on) {
    for (Colour& c : colours)
        if (c.rgb == rgb) c.enabled = on ? 1 : 0;
}

void PlotJob::getBounds(floatBBox& box) {
    floatBBoxCalculator calc(box);
    ColorPath** paths;
    int n = GetPaths(paths);
    for (int i = 0; i < n; ++i) {
        ColorPath* p = paths[i];
        if (!p || !PassesLayer(*p)) continue;
        if (!IsColourEnabled(p->colour) && !tiles.panelMarks) continue;
        p->Validate(SP_ACCBOX_INVALID | SP_CTRLBOX_INVALID);
        if (!p->subPaths.Filled()) continue;
        calc += p->accBox;
    }
    if (registrationMarkers) {
        for (const Marker& m : markers) {
            if (!m.used) continue;
            Path shape;
            MarkerPath(m, shape);
            shape.Validate(SP_ACCBOX_INVALID | SP_CTRLBOX_INVALID);
            if (shape.subPaths.Filled()) calc += shape.accBox;
        }
    }
    if (!calc.IsInitialized()) box = floatBBox();
    if (weedBox) box.Inflate(weedDx, weedDy);
}

void PlotJob::notifyTileChange(int force) {
    tiles.calcTileLayout(getContentWidth(), getContentHeight(),
                         tiles.getMaxWidth() - contentX + leftMargin,
                         tiles.getMaxHeight() - contentY + bottomMargin, contentX, contentY, force);
    if (tiles.isTiling()) {
        tiledW = getContentWidth();
        tiledH = getContentHeight();
    }
}

void PlotJob::CalcTileSize() {
    tiles.calcTileSize(mediaWidth - leftMargin - rightMargin,
                       mediaLength - bottomMargin - topMargin);
}

void PlotJob::LoadSettings() {
    JobSettings s;
    s.Load();
    mediaWidth = s.mediaWidth;
    mediaLength = s.mediaLength;
    pageLength = s.pageLength > 0 ? s.pageLength : 0;
    leftMargin = bottomMargin = rightMargin = topMargin = 0;
    weedBox = s.weedBox;
    weedDx = Clamp(s.weedDx, 0, 100);
    weedDy = Clamp(s.weedDy, 0, 100);
    registrationMarkers = s.registrationMarkers;
    markerSize = Clamp(s.markerSize, 5, 100);
    tiles.panelMarks = s.panelMarkers;
    tiles.panelMarkLength = Clamp(s.panelMarkLength, 0, 20);
    tiles.panelMarkWidth = Clamp(s.panelMarkWidth, 0, 20);
    tiles.overlapX = Clamp(s.overlapX, 0, 50);
    tiles.overlapY = Clamp(s.overlapY, 0, 50);
    manualFeed = s.manualFeed;
    if (manualFeed) tiles.orderMode = 3;
    CalcTileSize();
    notifyTileChange(1);
}

void PlotJob::SetMarkerShape(const Path& shape) {
    markerShape = Path(shape);
    markerShape.Validate(SP_ACCBOX_INVALID | SP_CTRLBOX_INVALID);
    markerBox = markerShape.accBox;
}

void PlotJob::SetLayerFilter(int layer) {
    layerFilter = layer;
    colours.clear();
    ColorPath** paths;
    int n = GetPaths(paths);
    for (int i = 0; i < n; ++i) {
        if (!paths[i] || !PassesLayer(*paths[i])) continue;
        std::uint32_t rgb = paths[i]->colour;
        if (std::none_of(colours.begin(), colours.end(),
                         [rgb](const Colour& c) { return c.rgb == rgb; }))
            colours.push_back(Colour{rgb, 1});
    }
}

void PlotJob::SetMarkerSize(float size) {
    markerSize = size;
    // Uniformly to the marker size across.
    float w = markerBox.right - markerBox.left;
    if (markerShape.subPaths.Filled() && w > 0 && size > 0) {
        float f = size / w;
        floatTMatrix m(f, 0, 0, f, 0, 0);
        markerShape.Transform(m);
        markerShape.Validate(SP_ACCBOX_INVALID | SP_CTRLBOX_INVALID);
        markerBox = markerShape.accBox;
    }
}

void PlotJob::SetDesign(Plottable* d) {
    design = d;
    SetLayerFilter(layerFilter);
    LoadSettings();
    SetMarkerSize(markerSize);
    scrollX = scrollY = 0;
    scale = 1;
    floatBBox b;
    getBounds(b);
    contentW = b.right - b.left;
    contentH = b.top - b.bottom;
    BoxTransformation(designMatrix, b, floatBBox(0, 0, contentW, contentH));
    Refresh();
}

void PlotJob::Refresh() {
    floatBBox b;
    getBounds(b);
    setScale(scale);
    BoxTransformation(designMatrix, b, floatBBox(0, 0, contentW, contentH));
    notifyTileChange(0);
}

void PlotJob::MarkerPath(const Marker& m, Path& out) {
    out = Path(markerShape);
    float s = scale > 0 ? 1 / scale : 1;
    float cx = (markerBox.left + markerBox.right) / 2, cy = (markerBox.bottom + markerBox.top) / 2;
    floatTMatrix t(s, 0, 0, s, m.p.x - cx * s, m.p.y - cy * s);
    out.Transform(t);
}

floatTMatrix PlotJob::DesignToMedia(float x, float y) {
    return designMatrix * getContentMatrix(x, y, 1);
}

int PlotJob::AddMarker(floatPoint p) {
    for (int i = 0; i < MarkerSlots; ++i) {
        if (markers[i].used) continue;
        MoveMarker(i, p);
        return i;
    }
    return -1;
}

void PlotJob::MoveMarker(int i, floatPoint p) {
    if (i < 0 || i >= MarkerSlots) return;
    DesignToMedia(contentX, contentY).Inv().Transform(p.x, p.y);
    markers[i].used = 1;
    markers[i].p = p;
    Refresh();
}

void PlotJob::DeleteMarker(int i) {
    if (i < 0 || i >= MarkerSlots) return;
    markers[i].used = 0;
    Refresh();
}

int PlotJob::FindMarker(floatPoint p) {
    DesignToMedia(contentX, contentY).Inv().Transform(p.x, p.y);
    float s = scale > 0 ? 1 / scale : 1;
    float hw = (markerBox.right - markerBox.left) * s / 2;
    float hh = (markerBox.top - markerBox.bottom) * s / 2;
    for (int i = 0; i < MarkerSlots; ++i) {
        if (!markers[i].used) continue;
        if (std::fabs(p.x - markers[i].p.x) <= hw && std::fabs(p.y - markers[i].p.y) <= hh)
            return i;
    }
    return -1;
}

void PlotJob::Arrange(std::vector<SheetItem>& items) {
    items.clear();
    if (!tiles.isTiling()) {
        float w = getContentWidth(), h = getContentHeight();
        Packer pack(mediaWidth, mediaLength, spacing, contentX, contentY, contentX);
        int sheet = 0;
        for (int c = 0; c < std::max(copies, 1); ++c) {
            SheetItem item;
            item.w = w;
            item.h = h;
            if (!pack.Place(w, h, item.x, item.y)) {
                ++sheet;
                pack.NewSheet(contentX, 0, w, h, item.x, item.y);
            }
            item.sheet = sheet;
            items.push_back(item);
        }
        return;
    }
    floatBBox b;
    getBounds(b);
    if (manualFeed) {
        ArrangeManualFeed(items, b);
        return;
    }
    Packer pack(mediaWidth, mediaLength, spacing, leftMargin, bottomMargin, leftMargin);
    int sheet = 0;
    for (int order = 1; order <= tiles.getSelTiles(); ++order) {
        SheetItem item = TileItem(order, b);
        if (!pack.Place(item.w, item.h, item.x, item.y)) {
            ++sheet;
            pack.NewSheet(leftMargin, bottomMargin, item.w, item.h, item.x, item.y);
        }
        item.sheet = sheet;
        items.push_back(item);
    }
}

PlotJob::SheetItem PlotJob::TileItem(int order, const floatBBox& bounds) {
    float L = tiles.getEarLength();
    SheetItem item;
    item.order = order;
    tiles.getTileData(order, item.row, item.column, item.tileX, item.tileY, item.tileW, item.tileH);
    floatBBox mapped = MapBox(bounds, DesignToMedia(contentX - item.tileX, contentY - item.tileY));
    item.part = Intersect(mapped, floatBBox(0, 0, item.tileW, item.tileH));
    item.hasPart = HasArea(item.part) ? 1 : 0;
    float pw = item.hasPart ? item.part.right - item.part.left : 0;
    float ph = item.hasPart ? item.part.top - item.part.bottom : 0;
    item.w = pw + 2 * L;
    item.h = ph + 2 * L;
    return item;
}

void PlotJob::ArrangeManualFeed(std::vector<SheetItem>& items, const floatBBox& bounds) {
    // Runs of adjacent selected tiles; each tile of a run is a sheet of v copies side by
    // side, and a run is repeated until every copy is placed.
    const int all = std::max(copies, 1);
    int sheet = 0;
    for (int i = 0; i < tiles.getNoLines(); ++i) {
        TileLine& line = tiles.getTileLine(i);
        const int n = line.tiles.Filled();
        for (int a = 0; a < n;) {
            if (!line.tiles[std::uint16_t(a)].isSelected()) {
                ++a;
                continue;
            }
            int b = a;
            while (b + 1 < n && line.tiles[std::uint16_t(b + 1)].isSelected())
                ++b;
            SheetItem first = TileItem(line.tiles[std::uint16_t(a)].select, bounds);
            float t = first.w;
            float across = mediaWidth - leftMargin - rightMargin + spacing;
            int fit = spacing + t > 0 ? int(std::min(across / (spacing + t), 65534.0f)) : 1;
            for (int left = all; left > 0;) {
                int v = std::clamp(fit, 1, left);
                for (int k = a; k <= b; ++k, ++sheet) {
                    SheetItem item = TileItem(line.tiles[std::uint16_t(k)].select, bounds);
                    item.runBefore = k > a;
                    item.runAfter = k < b;
                    for (int c = 0; c < v; ++c) {
                        item.sheet = sheet;
                        item.x = leftMargin + float(c) * (item.w + spacing);
                        item.y = bottomMargin;
                        items.push_back(item);
                    }
                }
                left -= v;
            }
            a = b + 1;
        }
    }
}

int PlotJob::GetSheetCount() {
    std::vector<SheetItem> items;
    Arrange(items);
    return items.empty() ? 1 : items.back().sheet + 1;
}

floatTMatrix PlotJob::ToSteps() const {
    float step = DRV.GetStepSize();
    float f = step > 0 ? 1 / step : 1;
    return floatTMatrix(f, 0, 0, f, 0, -pageOffset_ * f);
}

floatTMatrix PlotJob::CopyMatrix(float x, float y) {
    return DesignToMedia(x, y) * ToSteps();
}

floatTMatrix PlotJob::PanelMatrix(const SheetItem& item) {
    float L = tiles.getEarLength();
    float ox = item.x + L - item.part.left, oy = item.y + L - item.part.bottom;
    return DesignToMedia(contentX - item.tileX + ox, contentY - item.tileY + oy) * ToSteps();
}

void PlotJob::PanelMarks(const SheetItem& item, std::vector<floatBBox>& marks) {
    marks.clear();
    float L = tiles.panelMarkLength, w = tiles.panelMarkWidth;
    if (!tiles.panelMarks || !(L >= 1 && w >= 1) || !item.hasPart) return;
    float ox, oy;
    tiles.getOverlapSize(item.row, item.column, ox, oy);
    const floatBBox& p = item.part;
    struct Mark {
        float x, y, dx, dy;
    };
    std::vector<Mark> list;
    if (!manualFeed) {
        list = {{p.left, p.bottom, w, -L},    {p.left, p.bottom, -L, w},
                {p.left, p.top - oy, -L, -w}, {p.left, p.top, w, L},
                {p.right - ox, p.top, -w, L}, {p.right, p.top - oy, L, -w},
                {p.right, p.bottom, L, w},    {p.right - ox, p.bottom, -w, -L}};
    } else {
        list = {{p.left, p.bottom, -L, w},
                {p.left, p.top - oy, -L, -w},
                {p.right, p.top - oy, L, -w},
                {p.right, p.bottom, L, w}};
    }
    float shiftX = item.x + tiles.getEarLength() - p.left;
    float shiftY = item.y + tiles.getEarLength() - p.bottom;
    for (const Mark& m : list) {
        floatBBox r;
        r.left = std::min(m.x, m.x + m.dx) + 0.2f + shiftX;
        r.right = std::max(m.x, m.x + m.dx) - 0.2f + shiftX;
        r.bottom = std::min(m.y, m.y + m.dy) + 0.2f + shiftY;
        r.top = std::max(m.y, m.y + m.dy) - 0.2f + shiftY;
        marks.push_back(r);
    }
}

void PlotJob::PlotOne(Path& path, const floatTMatrix& toDevice, const floatBBox& clip) {
    floatBBox c = Intersect(clip, sheetClip);
    if (!HasArea(c)) return;
    floatTMatrix m = toDevice;
    PlotPath(DRV, path, m, c, keepLeft, keepRight, keepBottom, keepTop, extent_);
}

void PlotJob::PlotBox(const floatBBox& mm, const floatBBox& clip) {
    Path box;
    BuildBox(mm, box);
    PlotOne(box, ToSteps(), clip);
}

void PlotJob::PlotDesign(const floatTMatrix& toDevice, const floatBBox& clip, int withWeedBox) {
    ColorPath** paths;
    int n = GetPaths(paths);
    if (Optimization) {
        Path joined;
        for (int i = 0; i < n; ++i) {
            ColorPath* p = paths[i];
            if (!p || !PassesLayer(*p) || !IsColourEnabled(p->colour)) continue;
            Path copy(*p);
            joined.Concat(copy);
        }
        if (joined.subPaths.Filled()) PlotOne(joined, toDevice, clip);
    } else {
        for (int i = 0; i < n; ++i) {
            ColorPath* p = paths[i];
            if (!p || !PassesLayer(*p) || !IsColourEnabled(p->colour)) continue;
            PlotOne(*p, toDevice, clip);
            if (DRV.IsAborted()) return;
        }
    }
    if (registrationMarkers) {
        for (const Marker& m : markers) {
            if (!m.used) continue;
            Path shape;
            MarkerPath(m, shape);
            PlotOne(shape, toDevice, clip);
        }
    }
    if (withWeedBox && weedBox) {
        floatBBox b;
        getBounds(b);
        Path box;
        BuildBox(b, box);
        PlotOne(box, toDevice, clip);
    }
}

void PlotJob::PlotSheetContent(const std::vector<SheetItem>& items, int sheet,
                               const floatBBox& clipSteps) {
    floatTMatrix steps = ToSteps();
    for (const SheetItem& item : items) {
        if (item.sheet != sheet || DRV.IsAborted()) continue;
        if (!item.order) {
            PlotDesign(CopyMatrix(item.x, item.y), clipSteps, 1);
            continue;
        }
        if (!item.hasPart) continue;
        float L = tiles.getEarLength();
        floatBBox onSheet(item.x + L, item.y + L, item.x + L + item.part.right - item.part.left,
                          item.y + L + item.part.top - item.part.bottom);
        int left = keepLeft, right = keepRight;
        keepLeft = keepRight = 1;
        PlotDesign(PanelMatrix(item), MapBox(onSheet, steps), 0);
        keepLeft = left;
        keepRight = right;
        PlotBox(onSheet, clipSteps);
        std::vector<floatBBox> marks;
        PanelMarks(item, marks);
        for (const floatBBox& m : marks)
            PlotBox(m, clipSteps);
    }
}

void PlotJob::RunSheet(const floatBBox& clipSteps, int sheet) {
    keepLeft = keepRight = keepBottom = keepTop = 0;
    pageOffset_ = 0;
    std::vector<SheetItem> items;
    Arrange(items);
    const SheetItem* fed = nullptr; // manual feed: the sheet's tile
    if (IsTiled() && manualFeed) {
        for (const SheetItem& item : items)
            if (item.sheet == sheet) {
                fed = &item;
                break;
            }
        if (fed) {
            keepBottom = fed->runBefore;
            keepTop = fed->runAfter;
        }
    }

    const float step = DRV.GetStepSize() > 0 ? DRV.GetStepSize() : 1;
    const float P = pageLength / step;
    if (!(pageLength > 0 && P >= 1)) {
        extentBox = floatBBox();
        floatBBoxCalculator calc(extentBox);
        extent_ = &calc;
        sheetClip = clipSteps;
        PlotSheetContent(items, sheet, clipSteps);
        extent_ = nullptr;
        extentSet = calc.IsInitialized();
        if (fed && fed->runAfter && !DRV.IsAborted()) {
            // The next panel of the run follows on the same media: feed it by this one.
            DRV.MoveTo(0, DRV.InSteps(fed->tileH));
            DRV.Reset();
        }
        return;
    }

    // A sheet-fed device cuts the sheet page by page, each page in its own coordinates, the
    // pages joined by moving the device's origin. The pages run to the top of the sheet's
    // content, whatever the paths of a page reach.
    float top = 0;
    for (const SheetItem& item : items)
        if (item.sheet == sheet) top = std::max(top, item.y + item.h);
    const float contentTop = top / step;
    const int pages = int(std::min(std::ceil(contentTop / P), 65534.0f));
    DRV.Home();
    DRV.SetOrigin(0, 0);
    for (int j = 0; j < std::max(pages, 1) && !DRV.IsAborted(); ++j) {
        pageOffset_ = float(j) * pageLength;
        const float low = clipSteps.bottom;
        const float high = std::min(low + P, clipSteps.top);
        if (j > 0) keepBottom = 1;
        const bool more = j + 1 < pages;
        if (more) keepTop = 1;
        sheetClip = floatBBox(clipSteps.left, low, clipSteps.right, high);
        extentBox = floatBBox();
        floatBBoxCalculator calc(extentBox);
        extent_ = &calc;
        PlotSheetContent(items, sheet, sheetClip);
        extent_ = nullptr;
        extentSet = calc.IsInitialized();
        if (!more) break;
        LONG band = LONG(std::floor(high - low + 0.5f));
        DRV.MoveTo(0, LONG(std::floor(high + 0.5f)));
        DRV.SetOrigin(0, band);
        DRV.pagedDistance += LONG(std::floor(high + 0.5f));
    }
    pageOffset_ = 0;
    DRV.MoveTo(0, extentSet ? LONG(std::floor(std::max(extentBox.top, 0.0f) + 0.5f)) : 0);
    DRV.SetOrigin(0, 0);
}
