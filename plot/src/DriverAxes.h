#pragma once
// The one place where the plot library's axes meet the driver's. Every member of Plotter that
// hands a coordinate, a limit or a head position across goes through these functions.
//
//   plot library (Plotter)               driver (PlotterDriver)
//   first coordinate x, across media  <->  y, second argument, limited by maxY
//   second coordinate y, along media  <->  x, first argument, limited by maxX
//
//   Plotter::maxX  = driver maxY          Plotter::maxY  = driver maxX
//   Plotter::headX = driver headY         Plotter::headY = driver headX
//   job point (x, y) -> driver (y + headY - homeY, x + headX - homeX)
//
// Sums saturate at the 32-bit range instead of overflowing.

#include <algorithm>
#include <cstdint>

#include <plotterdriver/PlotterDriver.h>
#include <win32/base.h>

#include "plot/Plotter.h"

namespace DriverAxes {

struct Point {
    LONG x; // driver x: the plot library's second coordinate
    LONG y; // driver y: the plot library's first coordinate
};

inline LONG Saturate(std::int64_t v) {
    return LONG(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

// A job point, shifted by the head offset less the home offset.
inline Point FromJob(const Plotter& p, LONG x, LONG y) {
    return {Saturate(std::int64_t(y) + p.headY - p.homeY),
            Saturate(std::int64_t(x) + p.headX - p.homeX)};
}

// A point given in the plot library's axes, not shifted (SetOrigin).
inline Point Swap(LONG x, LONG y) {
    return {y, x};
}

inline void TakeLimits(Plotter& p, const PlotterDriver& d) {
    p.maxX = d.maxY;
    p.maxY = d.maxX;
}

// The driver's GetHeadPos and SetHeadPos take (x, y) in its own axes.
inline void TakeHead(Plotter& p, LONG driverX, LONG driverY) {
    p.headX = driverY;
    p.headY = driverX;
}
inline Point GiveHead(const Plotter& p) {
    return {p.headY, p.headX};
}

} // namespace DriverAxes
