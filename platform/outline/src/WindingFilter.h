#pragma once
// The boundary of the area that raw contours wind around at least once (the positive winding
// rule): the contours are broken where they touch and cross, and a piece is kept when the
// winding number is at least 1 on its left and at most 0 on its right. Loops that fold back
// (wound the other way) and parts covered by other contours drop out; pieces of two contours
// lying on each other in opposite directions cancel.

#include <functional>

class Path;

class WindingFilter {
public:
    // Members of one piece sampled before the piece is given up as undecidable.
    static constexpr int MaxSamples = 5;

    // Whether a point of a piece may lie on the result at all; a piece failing it is dropped
    // whatever the winding numbers say.
    using Admissible = std::function<bool(double x, double y)>;

    // Appends the kept pieces of raw, chained into closed contours, to out (not prepared).
    // raw's members are broken and marked on the way. The abort handler is polled. A chain
    // that does not come back to its start is closed by a line only where every point of the
    // line passes `closable` (when given); else it is dropped.
    static void Apply(Path& raw, Path& out, const Admissible& admissible = nullptr,
                      const Admissible& closable = nullptr);
};
