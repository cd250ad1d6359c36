#pragma once
// Seeded random polygons for the combination tests and benchmarks.

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "pathkit/Path.h"

namespace pathtest {

// A star-shaped polygon of n edges around a random centre, inside the 800 x 600 box: the
// radius follows a few random harmonics (a smooth, lobed outline) plus a random jag of up to
// `jag` of the reach at every vertex. It never crosses itself. With jag 0.05 two such polygons
// cross some hundreds to thousands of times; with jag 0.8 (fully random radii) the crossings
// grow with the square of n.
inline Path RandomPolygon(int n, unsigned seed, double jag, float accuracy) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> cx(300, 500), cy(250, 350), unit(0, 1);
    double x0 = cx(rng), y0 = cy(rng);
    double reach = std::min({x0, 800 - x0, y0, 600 - y0});
    const int harmonics = 8;
    double amplitude[harmonics], phase[harmonics];
    for (int k = 0; k < harmonics; ++k) {
        amplitude[k] = unit(rng) / (k + 1);
        phase[k] = unit(rng) * 2 * std::numbers::pi;
    }
    Path path(accuracy);
    for (int i = 0; i < n; ++i) {
        double t = 2 * std::numbers::pi * (i + 0.8 * unit(rng)) / n;
        double lobes = 0;
        for (int k = 0; k < harmonics; ++k)
            lobes += amplitude[k] * std::sin((k + 1) * t + phase[k]);
        double r = reach * (1 - jag) * (0.85 + 0.07 * lobes) + reach * jag * unit(rng);
        floatPoint p(float(x0 + r * std::cos(t)), float(y0 + r * std::sin(t)));
        if (i == 0) {
            path.MoveTo(p);
        } else {
            path.LineTo(p);
        }
    }
    path.Close();
    path.ClosePath();
    return path;
}

// The polygon's corners joined by cubics through them (the handles a sixth of the way to the
// neighbours' chord): a smooth random outline.
inline Path Smoothed(const Path& polygon) {
    Path out(polygon.accuracy);
    for (const SubPath& sp : polygon.subPaths) {
        std::vector<floatPoint> p;
        for (const PathMember& m : sp.members)
            p.push_back(m.start);
        std::size_t n = p.size();
        out.MoveTo(p[0]);
        for (std::size_t i = 0; i < n; ++i) {
            const floatPoint &a = p[(i + n - 1) % n], &b = p[i], &c = p[(i + 1) % n],
                             &d = p[(i + 2) % n];
            floatPoint c1(b.x + (c.x - a.x) / 6, b.y + (c.y - a.y) / 6);
            floatPoint c2(c.x - (d.x - b.x) / 6, c.y - (d.y - b.y) / 6);
            out.CurveTo(c1, c2, i + 1 == n ? p[0] : c);
        }
        out.ClosePath();
    }
    return out;
}

} // namespace pathtest
