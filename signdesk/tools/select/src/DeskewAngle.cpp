#include "select/DeskewAngle.h"

#include <cmath>
#include <numbers>

namespace deskew {

std::optional<double> LineAngle(int dx, int dy) {
    if (dx == 0 && dy == 0) return std::nullopt;
    // Client y grows downwards; an upright line is ±90°, folded to 0.
    double a = dx == 0 ? std::numbers::pi / 2 : std::atan(-(double(dy) / double(dx)));
    if (a > std::numbers::pi / 4) {
        a -= std::numbers::pi / 2;
    } else if (a < -std::numbers::pi / 4) {
        a += std::numbers::pi / 2;
    }
    return a;
}

} // namespace deskew
