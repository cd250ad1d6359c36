#pragma once
// A job's placement on the media: media size and margins, the design's size, position,
// scale, rotation and mirroring, and the display matrix from millimetres to window pixels,
// with the mouse handling that drags, scales and pans. Lengths are millimetres; y grows up
// the media. The job object derives from it and answers the virtual queries.

#include <mfc/CRect.h>
#include <pathkit/BBox.h>
#include <pathkit/TMatrix.h>
#include <win32/base.h>

#include "plot/export.h"

// The window that forwards mouse events to a layout: its current point (pixels), whether it
// holds the capture, the cursor it shows and its handle.
struct PLOT_API MouseTracker {
    CPoint point;
    int captured = 0;
    HCURSOR cursor = nullptr;
    HWND hwnd = nullptr;
};

class PLOT_API Layout {
public:
    Layout();
    Layout(const Layout& other) = default;
    Layout& operator=(const Layout& other) = default;
    virtual ~Layout();

    virtual void MouseMove(MouseTracker& tracker);
    virtual void LeftButtonDown(MouseTracker& tracker);
    virtual void LeftButtonUp(MouseTracker& tracker);
    virtual void RightButtonDown(MouseTracker& tracker);
    virtual void RightButtonUp(MouseTracker& tracker);
    // The greatest position of the content's corner, plus one.
    virtual float getMaxWidth();
    virtual float getMaxHeight();
    virtual void getBounds(floatBBox& box);
    virtual void notifyTileChange(int force);
    // 0: a roll.
    virtual float getPageLength();

    // The content's size as it lies on the media (rotation included).
    float getContentWidth() const;
    float getContentHeight() const;
    // Content width over the bounds' width; 1 for bounds without width.
    float getScale();
    void setScale(float s);
    void setDisplayRect(CRect& rect);
    // Truncated toward zero.
    CPoint MMtoDisplay(floatPoint& p);
    floatPoint DisplayToMM(CPoint& p);
    // n pixels in millimetres.
    float GetPixelSize(int n);
    // 1 on the scale handle (the content rectangle's right-bottom corner), 0 on the move
    // handle (its centre), -1 elsewhere.
    int findHandle(CPoint p);
    // Mirror, then rotation, then translation to (x, y). flag picks the turning sense of the
    // odd quarter turns.
    floatTMatrix getContentMatrix(float x, float y, int flag);

    static int handleSize; // pixels, half the side of a handle's hit square
    static int margin;     // pixels round the drawing

    float contentW;
    float contentH;
    float spacing;
    float contentX;
    float contentY;
    int copies;
    float mediaWidth;
    float mediaLength;
    float leftMargin;
    float bottomMargin;
    float rightMargin;
    float topMargin;
    int mirror;
    int rotation; // quarter turns, 0..3
    floatTMatrix displayMatrix;
    float scale;
    float zoom;
    DWORD reserved[4];
    CRect contentRect; // the first copy on the display, pixels
    CRect drawingRect; // the whole drawing, pixels
    CRect displayRect;
    int dragMode; // 0 none, 1 pan, 2 move, 3 scale
    int scrollX;
    int scrollY;
    int lastX;
    int lastY;
    int panAllowed;

protected:
    // The pixel delta from the last point to p in millimetres.
    floatPoint MouseDelta(const CPoint& p);
    void Pan(MouseTracker& tracker);
    static HCURSOR HandCursor();
};
