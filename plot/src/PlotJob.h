#pragma once
// The job between the pages of the plot sheet: the host's design, which colours are cut,
// the registration markers, weeding box, copies and tiling, and the sending of one sheet
// through PlotPath. Lengths are millimetres on the media; device values are steps.

#include <cstdint>
#include <vector>

#include <pathkit/BBoxCalculator.h>
#include <pathkit/Path.h>

#include "plot/Layout.h"
#include "plot/TileTable.h"

struct Plottable;
class ColorPath;
class CDC;

class PlotJob : public Layout {
public:
    static constexpr int MarkerSlots = 20;
    static constexpr int AllLayers = -128;

    struct Colour {
        std::uint32_t rgb;
        std::uint8_t enabled;
    };
    struct Marker {
        int used;
        floatPoint p; // design coordinates
    };
    // One copy or panel on a sheet. Panels: the tile's part of the design in the tile's own
    // coordinates; the part lies on the sheet at the item's corner + (L, L).
    struct SheetItem {
        int sheet = 0;
        int order = 0; // tile order number; 0 for a copy
        float x = 0, y = 0, w = 0, h = 0;
        float tileX = 0, tileY = 0, tileW = 0, tileH = 0;
        int row = -1, column = -1;
        floatBBox part;
        int hasPart = 0;
        // Manual feed: a selected tile comes before or after this one in its run.
        int runBefore = 0, runAfter = 0;
    };

    explicit PlotJob(TileTable& tiles);

    void MouseMove(MouseTracker& tracker) override;
    float getMaxWidth() override;
    float getMaxHeight() override;
    void getBounds(floatBBox& box) override;
    void notifyTileChange(int force) override;
    float getPageLength() override;

    // Stores the design and sets the job up from it and from the job settings.
    void SetDesign(Plottable* design);
    // Plot.ini's job keys; values outside the pages' ranges are clamped into them.
    void LoadSettings();
    void Refresh();
    void CalcTileSize();
    int IsTiled() { return tiles.isTiling(); }

    int AddMarker(floatPoint p);
    void MoveMarker(int i, floatPoint p);
    void DeleteMarker(int i);
    int FindMarker(floatPoint p);
    // The marker shape, as read from the marker library; copied.
    void SetMarkerShape(const Path& shape);

    // Only paths of that layer (AllLayers: every one); the colours are gathered again, all on.
    void SetLayerFilter(int layer);
    // The marker shape at a new size across.
    void SetMarkerSize(float size);
    int IsColourEnabled(std::uint32_t rgb) const;
    void EnableColour(std::uint32_t rgb, int on);

    // The design's paths (none for a host that gives none).
    int GetPaths(ColorPath**& paths);
    int PassesLayer(const ColorPath& path) const;

    // Every copy or panel with its sheet, in cutting order.
    void Arrange(std::vector<SheetItem>& items);
    int GetSheetCount();

    // The preview of the plot sheet's pages: the media or the tiled area with the design,
    // handles when asked; sets the display matrix, the content rectangle and panning.
    void DrawLayout(CDC& dc, int handles);
    // The design's enabled paths, markers and weeding box through the matrix.
    void DrawDesign(CDC& dc, const floatTMatrix& toDisplay);

    // Sends sheet n with the clip box in steps; the plotted extent is collected in extent.
    void RunSheet(const floatBBox& clipSteps, int sheet);
    // Device matrix (mm to steps) of a copy at (x, y), or of a panel's part placed on its item.
    floatTMatrix CopyMatrix(float x, float y);
    floatTMatrix PanelMatrix(const SheetItem& item);
    // The panel marks of an item, as closed rectangles in media millimetres (shrunk 0.2).
    void PanelMarks(const SheetItem& item, std::vector<floatBBox>& marks);
    // Design coordinates onto the media with the content's corner at (x, y).
    floatTMatrix DesignToMedia(float x, float y);

    TileTable& tiles;
    Plottable* design;
    floatTMatrix designMatrix;
    Path markerShape;
    floatBBox markerBox;
    std::vector<Colour> colours;
    int layerFilter;
    int weedBox;
    float weedDx;
    float weedDy;
    int registrationMarkers;
    int selectedMarker;
    float markerSize;
    float pageLength;
    int manualFeed;
    int fillPreview;
    Marker markers[MarkerSlots];
    floatBBox sheetClip;
    int keepLeft, keepRight, keepBottom, keepTop;
    float tiledW, tiledH;
    // The plotted extent of the last sheet, steps; valid when extentSet.
    floatBBox extentBox;
    int extentSet;

private:
    void PlotDesign(const floatTMatrix& toDevice, const floatBBox& clip, int withWeedBox);
    void PlotBox(const floatBBox& mm, const floatBBox& clip);
    void PlotOne(Path& path, const floatTMatrix& toDevice, const floatBBox& clip);
    floatTMatrix ToSteps() const;
    void MarkerPath(const Marker& m, Path& out);

    // A tile's item: its data and its part of the design.
    SheetItem TileItem(int order, const floatBBox& bounds);
    void ArrangeManualFeed(std::vector<SheetItem>& items, const floatBBox& bounds);
    void PlotSheetContent(const std::vector<SheetItem>& items, int sheet,
                          const floatBBox& clipSteps);

    floatBBoxCalculator* extent_ = nullptr; // while a sheet runs
    float pageOffset_ = 0;                  // mm: the page being cut on a sheet-fed device
};

// The job's tiling and the job of the plot sheet.
extern TileTable Tiles;
extern PlotJob Job;
