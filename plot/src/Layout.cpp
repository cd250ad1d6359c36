#include "plot/Layout.h"

#include <algorithm>
#include <cstdlib>

#include <mfc/CWinApp.h>
#include <win32/resource.h>
#include <win32/user.h>

int Layout::handleSize = 4;
int Layout::margin = 14;

namespace {
constexpr WORD HandCursorId = 2517;
}

Layout::Layout()
    : contentW(90), contentH(160), spacing(5), contentX(0), contentY(0), copies(1), mediaWidth(210),
      mediaLength(297), leftMargin(15), bottomMargin(15), rightMargin(5), topMargin(35), mirror(0),
      rotation(0), scale(1), zoom(1), reserved{0, 0, 0, 0}, dragMode(0), scrollX(0), scrollY(0),
      lastX(0), lastY(0), panAllowed(0) {}

Layout::~Layout() = default;

float Layout::getMaxWidth() {
    return 10;
}
float Layout::getMaxHeight() {
    return 10;
}
void Layout::getBounds(floatBBox&) {}
void Layout::notifyTileChange(int) {}
float Layout::getPageLength() {
    return 0;
}

float Layout::getContentWidth() const {
    return rotation == 1 || rotation == 3 ? contentH : contentW;
}
float Layout::getContentHeight() const {
    return rotation == 1 || rotation == 3 ? contentW : contentH;
}

float Layout::getScale() {
    floatBBox b;
    getBounds(b);
    // A design without width (a lone vertical line) is measured by its height.
    if (b.right - b.left > 0) return contentW / (b.right - b.left);
    if (b.top - b.bottom > 0) return contentH / (b.top - b.bottom);
    return 1;
}

void Layout::setScale(float s) {
    floatBBox b;
    getBounds(b);
    scale = s;
    contentW = (b.right - b.left) * s;
    contentH = s * (b.top - b.bottom);
}

void Layout::setDisplayRect(CRect& rect) {
    displayRect = rect;
}

CPoint Layout::MMtoDisplay(floatPoint& p) {
    float x = p.x, y = p.y;
    displayMatrix.Transform(x, y);
    auto pixel = [](float v) {
        // Truncated toward zero, kept inside the int range; no number gives 0.
        return v == v ? int(std::clamp(v, -1.0e9f, 1.0e9f)) : 0;
    };
    return CPoint(pixel(x), pixel(y));
}

floatPoint Layout::DisplayToMM(CPoint& p) {
    float x = float(p.x), y = float(p.y);
    displayMatrix.Inv().Transform(x, y);
    return floatPoint(x, y);
}

float Layout::GetPixelSize(int n) {
    float x = float(n), y = float(n);
    displayMatrix.Inv().dTransform(x, y);
    return std::abs(x);
}

int Layout::findHandle(CPoint p) {
    auto near = [](int px, int py, int hx, int hy) {
        return std::abs(px - hx) <= handleSize && std::abs(py - hy) <= handleSize;
    };
    if (near(p.x, p.y, contentRect.right, contentRect.bottom)) return 1;
    if (near(p.x, p.y, (contentRect.left + contentRect.right) / 2,
             (contentRect.top + contentRect.bottom) / 2))
        return 0;
    return -1;
}

floatTMatrix Layout::getContentMatrix(float x, float y, int flag) {
    floatTMatrix m;
    if (mirror) m = floatTMatrix(-1, 0, 0, 1, contentW, 0);
    floatTMatrix turn;
    switch (rotation) {
    case 0:
        break;
    case 1:
        turn =
            flag ? floatTMatrix(0, -1, 1, 0, 0, contentW) : floatTMatrix(0, 1, -1, 0, contentH, 0);
        break;
    case 2:
        turn = floatTMatrix(-1, 0, 0, -1, contentW, contentH);
        break;
    case 3:
        turn =
            flag ? floatTMatrix(0, 1, -1, 0, contentH, 0) : floatTMatrix(0, -1, 1, 0, 0, contentW);
        break;
    default:
        rotation = 0;
        break;
    }
    m *= turn;
    m *= floatTMatrix(1, 0, 0, 1, x, y);
    return m;
}

floatPoint Layout::MouseDelta(const CPoint& p) {
    float dx = float(p.x - lastX), dy = float(p.y - lastY);
    displayMatrix.Inv().dTransform(dx, dy);
    return floatPoint(dx, dy);
}

HCURSOR Layout::HandCursor() {
    HCURSOR hand = LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(HandCursorId));
    return hand ? hand : LoadCursorA(nullptr, IDC_HAND);
}

void Layout::MouseMove(MouseTracker& tracker) {
    CPoint p = tracker.point;
    if (!tracker.captured) {
        switch (findHandle(p)) {
        case 0:
            tracker.cursor = LoadCursorA(nullptr, IDC_SIZEALL);
            break;
        case 1:
            tracker.cursor = LoadCursorA(nullptr, IDC_SIZENWSE);
            break;
        default:
            tracker.cursor = LoadCursorA(nullptr, IDC_ARROW);
            break;
        }
        return;
    }
    switch (dragMode) {
    case 2: {
        floatPoint d = MouseDelta(p);
        contentX = std::min(getMaxWidth() - 1, std::max(contentX + d.x, leftMargin));
        contentY = std::min(getMaxHeight() - 1, std::max(contentY + d.y, bottomMargin));
        lastX = p.x;
        lastY = p.y;
        notifyTileChange(0);
        break;
    }
    case 3: {
        floatPoint d = MouseDelta(p);
        float w = getContentWidth();
        float s = w > 0 ? (w + d.x) * scale / w : scale;
        setScale(s > 0.1f ? s : 0.1f);
        lastX = p.x;
        lastY = p.y;
        notifyTileChange(0);
        break;
    }
    case 1:
        Pan(tracker);
        break;
    default:
        break;
    }
}

void Layout::Pan(MouseTracker& tracker) {
    CPoint p = tracker.point;
    auto limit = [](int v, int hi) { return std::clamp(v, 0, std::max(hi, 0)); };
    int x = limit(scrollX + lastX - p.x,
                  drawingRect.Width() + 2 * margin - int(displayMatrix.dx) - displayRect.Width());
    int y = limit(scrollY + lastY - p.y,
                  drawingRect.Height() + 2 * margin - int(displayMatrix.dy) - displayRect.Height());
    if (x != scrollX || y != scrollY) {
        int dx = scrollX - x, dy = scrollY - y;
        scrollX = x;
        scrollY = y;
        if (tracker.hwnd) {
            ScrollWindowEx(tracker.hwnd, dx, dy, nullptr, nullptr, nullptr, nullptr,
                           SW_INVALIDATE | SW_ERASE);
            UpdateWindow(tracker.hwnd);
        }
    }
    lastX = p.x;
    lastY = p.y;
}

void Layout::LeftButtonDown(MouseTracker& tracker) {
    lastX = tracker.point.x;
    lastY = tracker.point.y;
    switch (findHandle(tracker.point)) {
    case 0:
        dragMode = 2;
        break;
    case 1:
        dragMode = 3;
        break;
    default:
        dragMode = 0;
        break;
    }
}

void Layout::LeftButtonUp(MouseTracker& tracker) {
    tracker.cursor = dragMode == 1 ? HandCursor() : LoadCursorA(nullptr, IDC_ARROW);
    dragMode = 0;
}

void Layout::RightButtonDown(MouseTracker& tracker) {
    if (dragMode != 0 || !panAllowed) return;
    lastX = tracker.point.x;
    lastY = tracker.point.y;
    dragMode = 1;
    tracker.cursor = HandCursor();
}

void Layout::RightButtonUp(MouseTracker& tracker) {
    if (dragMode != 1) return;
    tracker.cursor = LoadCursorA(nullptr, IDC_ARROW);
    dragMode = 0;
}
