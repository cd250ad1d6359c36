#pragma once
// The 2-D affine matrix and the helpers that fit one box into another.

#include "pathkit/BBox.h"
#include "pathkit/export.h"

// A point maps as x' = x*m11 + y*m21 + dx, y' = x*m12 + y*m22 + dy.
class PATHKIT_API floatTMatrix {
public:
    floatTMatrix() { IdentMatrix(); }
    floatTMatrix(float m11, float m12, float m21, float m22, float dx, float dy) {
        Init(m11, m12, m21, m22, dx, dy);
    }

    void Init(float a11, float a12, float a21, float a22, float tx, float ty);
    void IdentMatrix();
    // Exact.
    bool IsIdentMatrix() const;

    // Bitwise comparison of the six stored values.
    bool operator==(const floatTMatrix& b) const;
    bool operator!=(const floatTMatrix& b) const { return !(*this == b); }

    // this × b: applies this first, then b.
    floatTMatrix operator*(const floatTMatrix& b) const;
    floatTMatrix& operator*=(const floatTMatrix& b);

    // The inverse; an unchanged copy when |det| <= 0.00001.
    floatTMatrix Inv() const;

    // Radians, counter-clockwise; applied after this.
    void Rotate(float angle);
    void Translate(float tx, float ty);
    // Scales the linear part only; the translation stays.
    void Scale(float sx, float sy);
    void Skew(double angle);

    // |m11 - 1| <= tol, |m22 - 1| <= tol, m12 and m21 exactly 0.
    bool IsTranslateOnly(double tol) const;

    void Transform(float& x, float& y) const;
    // Maps a direction: no translation.
    void dTransform(float& x, float& y) const;

    // Scale and translation mapping corner (x1, y1) onto (X1, Y1) and (x2, y2) onto (X2, Y2).
    // A source axis of zero extent is not scaled; its coordinate maps onto X1 (Y1).
    void BoxTransformation(float x1, float y1, float x2, float y2, float X1, float Y1, float X2,
                           float Y2);

    float m11;
    float m12;
    float m21;
    float m22;
    float dx;
    float dy;
};

// Sets m to fit the source box into the destination box, aspect ratio kept, centred, with
// margin on each side. A source of zero width (height) takes the scale of its height (width)
// on that axis too; a source point (zero in both) is moved unscaled to the centre.
PATHKIT_API void Centre(floatTMatrix& m, float x1, float y1, float x2, float y2, float X1, float Y1,
                        float X2, float Y2, float margin);

// Maps src onto dst: stretched, or fitted with the aspect ratio kept and then either centred
// or aligned to the left/right and top/bottom edges of dst (margin dropped on the aligned side).
PATHKIT_API void TransferBBox(const floatBBox& src, const floatBBox& dst, floatTMatrix& m,
                              int stretch, int centred, int alignRight, int alignBottom,
                              float margin);
