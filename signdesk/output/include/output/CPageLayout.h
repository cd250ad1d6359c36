#pragma once
// The page layout that the output pages and the print engine share: media, margins, the
// design's size, position, scale, turn and mirror, the copies and their grid, and the
// preview's matrix, zoom, scrolling and mouse tracking. Page millimetres run from the
// paper's top-left corner, y downwards.
#include <pathkit/BBox.h>
#include <pathkit/Point.h>
#include <pathkit/TMatrix.h>
#include <win32/base.h>

class CPageLayout {
public:
    CPageLayout() = default;
    virtual ~CPageLayout() = default;
    CPageLayout(const CPageLayout&) = delete;
    CPageLayout& operator=(const CPageLayout&) = delete;

    // The space of one tile (the page less its margins when tiling follows the page).
    virtual float UsableWidth() { return 10.0f; }
    virtual float UsableHeight() { return 10.0f; }
    // The design box (mm, design coordinates).
    virtual void GetBox(floatBBox& box) { (void)box; }
    // Lays the copies out again; force also drops the calibration and rebuilds the tiles.
    virtual void UpdateLayout(int force) { (void)force; }

    // The design's size as it lies on the page (sides exchanged for a quarter turn).
    float GetLayoutWidth() const { return Quarter() ? designHeight : designWidth; }
    float GetLayoutHeight() const { return Quarter() ? designWidth : designHeight; }
    // Design size := box size × s; nothing changes for s ≤ 0 or not a number.
    void SetScale(float s);
    // Mirror, then turn, then move to (x, y); sense picks the quarter turn's direction (the
    // engine and the previews pass 1).
    void GetPlacement(floatTMatrix& out, float x, float y, int sense);

    void SetPreviewRect(const RECT& r) { previewRect = r; }
    POINT PageToPreview(const floatPoint& p) const;
    floatPoint PreviewToPage(POINT p) const;
    float PreviewLengthToPage(int pixels) const;
    floatBBox PageBoxToPreview(const floatBBox& box) const;
    RECT PageBoxToPreviewRect(const floatBBox& box) const;

    // Buttons of the print layout page.
    void FitToPage(float copyMargin);
    void ActualSize();
    void CentreVertically();
    void CentreHorizontally();
    void MoveToMarginCorner();
    void FillPage(float copyMargin);

    // 1 on the scale handle, 0 on the move handle, -1 elsewhere (preview pixels).
    int HitTest(int x, int y) const;
    // Preview mouse tracking. Each leaves the cursor to show in `cursor` (a standard cursor id
    // or a resource id).
    void OnButtonDown(POINT p);
    void OnButtonUp();
    void OnPanDown(POINT p);
    void OnPanUp();
    // Returns true when the layout or the scroll offsets changed.
    bool OnMouseMove(POINT p, bool buttonDown);
    // Largest scroll offsets of the preview.
    int MaxScrollX() const;
    int MaxScrollY() const;

    static constexpr int HitTolerance = 4;
    static constexpr int ScrollMargin = 14;
    static constexpr int HandCursor = 2517;

    int rowsPerPage = 1;
    int columnsPerPage = 1;
    float designWidth = 90.0f;
    float designHeight = 160.0f;
    float xPosition = 0;
    float yPosition = 0;
    int copies = 1;
    float gap = 5.0f;
    float mediaWidth = 210.0f;
    float mediaHeight = 297.0f;
    float leftMargin = 15.0f;
    float topMargin = 15.0f;
    float rightMargin = 5.0f;
    float bottomMargin = 35.0f;
    int mirror = 0;
    int rotation = 0;
    floatTMatrix previewMatrix;
    float blockWidth = 0;
    float blockHeight = 0;
    float scale = 1.0f;
    float zoom = 1.0f;
    RECT designRect{0, 0, 0, 0};
    RECT previewRect{0, 0, 0, 0};
    RECT pageRect{0, 0, 0, 0};
    int trackingState = 0;
    int scrollX = 0;
    int scrollY = 0;
    POINT pressPoint{0, 0};
    int panningAllowed = 1;
    // The sheet of copies the cut page cuts and shows, 0 the first; kept below the number of
    // sheets by the layout update.
    int sheetIndex = 0;
    // Set by the mouse handlers.
    LPCSTR cursor = nullptr;

protected:
    bool Quarter() const { return rotation == 1 || rotation == 3; }
};
