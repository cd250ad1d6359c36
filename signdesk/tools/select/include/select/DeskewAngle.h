#pragma once
// The deskew tool's angle: a line drawn from (0, 0) to (dx, dy) client pixels (y down) has a
// slope angle on the sheet, folded into [-45°, 45°] so that a nearly level line is made level
// and a nearly upright one upright. The selection turns by minus that angle.

#include <optional>

namespace deskew {

// The folded slope angle in radians, counter-clockwise positive; none for a line without
// length, which turns nothing.
std::optional<double> LineAngle(int dx, int dy);

} // namespace deskew
