#include "pathkit/TMatrix.h"

#include <bit>
#include <cmath>
#include <cstdint>

void floatTMatrix::Init(float a11, float a12, float a21, float a22, float tx, float ty) {
    m11 = a11;
    m12 = a12;
    m21 = a21;
    m22 = a22;
    dx = tx;
    dy = ty;
}

void floatTMatrix::IdentMatrix() {
    Init(1, 0, 0, 1, 0, 0);
}

bool floatTMatrix::IsIdentMatrix() const {
    return m11 == 1 && m12 == 0 && m21 == 0 && m22 == 1 && dx == 0 && dy == 0;
}

bool floatTMatrix::operator==(const floatTMatrix& b) const {
    auto same = [](float u, float v) {
        return std::bit_cast<std::uint32_t>(u) == std::bit_cast<std::uint32_t>(v);
    };
    return same(m11, b.m11) && same(m12, b.m12) && same(m21, b.m21) && same(m22, b.m22) &&
           same(dx, b.dx) && same(dy, b.dy);
}

floatTMatrix floatTMatrix::operator*(const floatTMatrix& b) const {
    // Row vectors: [x y 1] * this * b.
    return floatTMatrix(float(double(m11) * b.m11 + double(m12) * b.m21),
                        float(double(m11) * b.m12 + double(m12) * b.m22),
                        float(double(m21) * b.m11 + double(m22) * b.m21),
                        float(double(m21) * b.m12 + double(m22) * b.m22),
                        float(double(dx) * b.m11 + double(dy) * b.m21 + b.dx),
                        float(double(dx) * b.m12 + double(dy) * b.m22 + b.dy));
}

floatTMatrix& floatTMatrix::operator*=(const floatTMatrix& b) {
    return *this = *this * b;
}

floatTMatrix floatTMatrix::Inv() const {
    double det = double(m11) * m22 - double(m12) * m21;
    if (std::fabs(det) <= 0.00001) return *this;
    return floatTMatrix(float(m22 / det), float(-m12 / det), float(-m21 / det), float(m11 / det),
                        float((double(m21) * dy - double(m22) * dx) / det),
                        float((double(m12) * dx - double(m11) * dy) / det));
}

void floatTMatrix::Rotate(float angle) {
    float c = float(std::cos(double(angle)));
    float s = float(std::sin(double(angle)));
    *this *= floatTMatrix(c, s, -s, c, 0, 0);
}

void floatTMatrix::Translate(float tx, float ty) {
    dx += tx;
    dy += ty;
}

void floatTMatrix::Scale(float sx, float sy) {
    m11 *= sx;
    m21 *= sx;
    m12 *= sy;
    m22 *= sy;
}

void floatTMatrix::Skew(double angle) {
    double s = std::sin(angle);
    m12 = float(m12 + s * m11);
    m22 = float(m22 + s * m21);
}

bool floatTMatrix::IsTranslateOnly(double tol) const {
    return std::fabs(m11 - 1.0) <= tol && m12 == 0 && m21 == 0 && std::fabs(m22 - 1.0) <= tol;
}

void floatTMatrix::Transform(float& x, float& y) const {
    if (IsTranslateOnly(0)) {
        x += dx;
        y += dy;
        return;
    }
    float nx = float(double(x) * m11 + double(y) * m21 + dx);
    y = float(double(x) * m12 + double(y) * m22 + dy);
    x = nx;
}

void floatTMatrix::dTransform(float& x, float& y) const {
    float nx = float(double(x) * m11 + double(y) * m21);
    y = float(double(x) * m12 + double(y) * m22);
    x = nx;
}

void floatTMatrix::BoxTransformation(float x1, float y1, float x2, float y2, float X1, float Y1,
                                     float X2, float Y2) {
    m12 = m21 = 0;
    double w = double(x2) - x1;
    if (w != 0) {
        m11 = float((double(X2) - X1) / w);
        dx = float((double(X1) * x2 - double(X2) * x1) / w);
    } else {
        m11 = 1;
        dx = float(double(X1) - x1);
    }
    double h = double(y2) - y1;
    if (h != 0) {
        m22 = float((double(Y2) - Y1) / h);
        dy = float((double(Y1) * y2 - double(Y2) * y1) / h);
    } else {
        m22 = 1;
        dy = float(double(Y1) - y1);
    }
}

void Centre(floatTMatrix& m, float x1, float y1, float x2, float y2, float X1, float Y1, float X2,
            float Y2, float margin) {
    double W = std::fabs(double(X2) - X1), H = std::fabs(double(Y2) - Y1);
    double w = std::fabs(double(x2) - x1), h = std::fabs(double(y2) - y1);
    double M = 2.0 * margin;

    double wf, hf;
    if (w == 0 && h == 0) {
        wf = hf = 0;
    } else if (w == 0) {
        // The limit of the general case: infinitely tall, so fitted to the height.
        wf = 0;
        hf = H - M;
    } else if (h == 0) {
        wf = W - M;
        hf = 0;
    } else {
        hf = (W - M) * h / w;
        if (hf > H - M) {
            wf = w * (H - M) / h;
            hf = H - M;
        } else {
            wf = W - M;
        }
    }
    double left = X1 + (W - wf) / 2, bottom = Y1 + (H - hf) / 2;
    m.BoxTransformation(x1, y1, x2, y2, float(left), float(bottom), float(left + wf),
                        float(bottom + hf));

    // A zero-size axis keeps the aspect ratio by taking the other axis's scale.
    if (w == 0 || h == 0) {
        if (w == 0) m.m11 = h == 0 ? 1.0f : std::fabs(m.m22);
        if (h == 0) m.m22 = w == 0 ? 1.0f : std::fabs(m.m11);
        if (w == 0) m.dx = float(left - double(x1) * m.m11);
        if (h == 0) m.dy = float(bottom - double(y1) * m.m22);
    }
}

void TransferBBox(const floatBBox& src, const floatBBox& dst, floatTMatrix& m, int stretch,
                  int centred, int alignRight, int alignBottom, float margin) {
    if (stretch) {
        m.BoxTransformation(src.left, src.bottom, src.right, src.top, dst.left, dst.bottom,
                            dst.right, dst.top);
        return;
    }
    Centre(m, src.left, src.bottom, src.right, src.top, dst.left, dst.bottom, dst.right, dst.top,
           margin);
    if (centred) return;

    // Centring left equal gaps on both sides; moving by a gap lands on an edge.
    float x = src.left, y = src.bottom;
    m.Transform(x, y);
    float ox = x - dst.left, oy = y - dst.bottom;
    m.Translate(alignRight ? ox : -ox, alignBottom ? -oy : oy);
}
