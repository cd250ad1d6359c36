#include "DeviceContext.h"

#include <algorithm>
#include <cmath>

namespace sdgdi {

Matrix Matrix::then(const Matrix& m) const {
    Matrix r;
    r.a = a * m.a + b * m.c;
    r.b = a * m.b + b * m.d;
    r.c = c * m.a + d * m.c;
    r.d = c * m.b + d * m.d;
    r.e = e * m.a + f * m.c + m.e;
    r.f = e * m.b + f * m.d + m.f;
    return r;
}

bool Matrix::invert(Matrix& out) const {
    double det = a * d - b * c;
    if (det == 0 || !std::isfinite(det)) return false;
    out.a = d / det;
    out.b = -b / det;
    out.c = -c / det;
    out.d = a / det;
    out.e = -(e * out.a + f * out.c);
    out.f = -(e * out.b + f * out.d);
    return true;
}

Matrix DeviceContext::toDevice() const {
    Matrix world;
    if (st.graphicsMode == GM_ADVANCED) {
        world = Matrix{st.world.eM11, st.world.eM12, st.world.eM21,
                       st.world.eM22, st.world.eDx,  st.world.eDy};
    }
    double sx = double(st.viewportExt.cx) / (st.windowExt.cx ? st.windowExt.cx : 1);
    double sy = double(st.viewportExt.cy) / (st.windowExt.cy ? st.windowExt.cy : 1);
    Matrix page{sx,
                0,
                0,
                sy,
                st.viewportOrg.x - st.windowOrg.x * sx,
                st.viewportOrg.y - st.windowOrg.y * sy};
    return world.then(page);
}

POINT DeviceContext::lpToDpPoint(int x, int y) const {
    return lpToDpPoint(toDevice(), x, y);
}

POINT DeviceContext::lpToDpPoint(const Matrix& toDev, int x, int y) {
    double dx, dy;
    toDev.apply(x, y, dx, dy);
    // Halves round up, towards positive infinity.
    return POINT{SdDeviceCoord(std::floor(dx + 0.5)), SdDeviceCoord(std::floor(dy + 0.5))};
}

FixPoint DeviceContext::lpToFixCentre(int x, int y) const {
    POINT p = lpToDpPoint(x, y);
    return FixPoint{std::int64_t(p.x) * kFix + kFix / 2, std::int64_t(p.y) * kFix + kFix / 2};
}

FixPoint DeviceContext::lpToFixCorner(int x, int y) const {
    POINT p = lpToDpPoint(x, y);
    return FixPoint{std::int64_t(p.x) * kFix, std::int64_t(p.y) * kFix};
}

double DeviceContext::lengthScale() const {
    Matrix m = toDevice();
    double sx = std::hypot(m.a, m.b), sy = std::hypot(m.c, m.d);
    return (sx + sy) / 2;
}

RECT DeviceContext::deviceBounds() {
    if (Surface* s = surface()) return RECT{0, 0, s->width(), s->height()};
    return RECT{0, 0, width, height};
}

const std::vector<pixman_box32_t>& DeviceContext::clipRects() {
    if (clipValid_) return clipRects_;
    clipRects_.clear();
    RECT b = deviceBounds();
    if (st.clip) {
        pixman_region32_t r;
        pixman_region32_init_rect(&r, b.left, b.top, unsigned(b.right - b.left),
                                  unsigned(b.bottom - b.top));
        pixman_region32_intersect(&r, &r, &st.clip->region);
        int n = 0;
        pixman_box32_t* boxes = pixman_region32_rectangles(&r, &n);
        clipRects_.assign(boxes, boxes + n);
        pixman_region32_fini(&r);
    } else if (b.right > b.left && b.bottom > b.top) {
        clipRects_.push_back(pixman_box32_t{b.left, b.top, b.right, b.bottom});
    }
    clipValid_ = true;
    return clipRects_;
}

void defaultState(DcState& st) {
    st = DcState{};
    st.pen = std::static_pointer_cast<PenObject>(stockObject(BLACK_PEN));
    st.brush = std::static_pointer_cast<BrushObject>(stockObject(WHITE_BRUSH));
    st.font = std::static_pointer_cast<FontObject>(stockObject(SYSTEM_FONT));
    st.palette = std::static_pointer_cast<PaletteObject>(stockObject(DEFAULT_PALETTE));
}

std::shared_ptr<DeviceContext> newDc(DcKind kind) {
    auto dc = std::make_shared<DeviceContext>();
    dc->kind = kind;
    defaultState(dc->st);
    dc->depth = screenDepth();
    return dc;
}

void applyMapModeExtents(DeviceContext& dc) {
    DcState& st = dc.st;
    auto metric = [&](int unitsPerInchNum, int unitsPerInchDen) {
        // Logical units of 1/unitsPerInch inch; y grows upwards.
        st.windowExt = SIZE{unitsPerInchNum, unitsPerInchNum};
        st.viewportExt = SIZE{dc.dpiX * unitsPerInchDen, -dc.dpiY * unitsPerInchDen};
    };
    switch (st.mapMode) {
    case MM_TEXT:
        st.windowExt = SIZE{1, 1};
        st.viewportExt = SIZE{1, 1};
        break;
    case MM_LOMETRIC:
        metric(254, 1);
        break; // 0.1 mm
    case MM_HIMETRIC:
        metric(2540, 1);
        break; // 0.01 mm
    case MM_LOENGLISH:
        metric(100, 1);
        break; // 0.01 inch
    case MM_HIENGLISH:
        metric(1000, 1);
        break; // 0.001 inch
    case MM_TWIPS:
        metric(1440, 1);
        break; // 1/1440 inch
    default:
        break;
    }
}

} // namespace sdgdi
