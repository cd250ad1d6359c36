#include "driverframe/AxisTransform.h"

#include <cstdint>
#include <utility>

#include "driverframe/Saturate.h"

void AxisTransform::Set(int swapXY, int origoPos, int mirrorToX, int mirrorToY, LONG paperWidth,
                        LONG paperHeight) {
    swap_ = swapXY != 0;
    origoPos_ = origoPos;
    p_ = (swap_ ? mirrorToY : mirrorToX) != 0;
    q_ = (swap_ ? mirrorToX : mirrorToY) != 0;
    paperWidth_ = paperWidth;
    paperHeight_ = paperHeight;
}

void AxisTransform::Forward(LONG& x, LONG& y) const {
    std::int64_t X = x, Y = y;
    const std::int64_t halfW = paperWidth_ / 2, halfH = paperHeight_ / 2;
    if (origoPos_ == 1) {
        Y = paperWidth_ - Y;
    } else if (origoPos_ == 2) {
        X = q_ ? halfH - X : X - halfH;
        Y = p_ ? Y - halfW : halfW - Y;
    }
    if (swap_) std::swap(X, Y);
    x = Saturate32(X);
    y = Saturate32(Y);
}

void AxisTransform::Reverse(LONG& x, LONG& y) const {
    std::int64_t X = x, Y = y;
    const std::int64_t halfW = paperWidth_ / 2, halfH = paperHeight_ / 2;
    if (swap_) std::swap(X, Y);
    if (origoPos_ == 1) {
        Y = paperWidth_ - Y;
    } else if (origoPos_ == 2) {
        X = q_ ? halfH - X : X + halfH;
        Y = p_ ? Y + halfW : halfW - Y;
    }
    x = Saturate32(X);
    y = Saturate32(Y);
}
