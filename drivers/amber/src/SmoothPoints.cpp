#include "SmoothPoints.h"

#include <algorithm>
#include <cmath>

SplineParameters SplineParameters::ForQuality(int q, double deviceStep) {
    SplineParameters p;
    p.deviceStep = deviceStep;
    if (q <= 1) {
        p.baseTolerance = 1.0;
        p.smallestInterval = 0.001;
        p.firstStep = 0.01;
        p.firstThreshold = 0.0025;
        p.largestStep = 0.16;
    } else if (q < 8) {
        p.baseTolerance = (7 - q) * 0.075 + 0.2;
        p.smallestInterval = 0.0001;
        p.firstStep = 0.01;
        p.firstThreshold = 0.0025;
        p.largestStep = 0.08;
    } else {
        p.baseTolerance = 0.1;
        p.smallestInterval = 0.000001;
        p.firstStep = 0.001;
        p.firstThreshold = 0.001;
        p.largestStep = 0.05;
    }
    return p;
}

int SplineQuality(double a) {
    if (a < 6) return 8;
    if (a < 12) return 7;
    if (a < 18) return 6;
    if (a < 24) return 5;
    if (a < 30) return 4;
    if (a < 42) return 3;
    if (a < 47) return 2;
    return 1;
}

namespace {

class Curve {
public:
    explicit Curve(const SmoothPoint p[4]) {
        for (int i = 0; i < 4; ++i) p_[i] = p[i];
    }
    SmoothPoint At(double t) const {
        double u = 1 - t;
        double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
        return {a * p_[0].x + b * p_[1].x + c * p_[2].x + d * p_[3].x,
                a * p_[0].y + b * p_[1].y + c * p_[2].y + d * p_[3].y};
    }
    // The squared distance between the points at two parameters.
    double Chord(double t0, double t1) const {
        SmoothPoint a = At(t0), b = At(t1);
        return (b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y);
    }

private:
    SmoothPoint p_[4];
};

} // namespace

std::vector<SmoothPoint> SmoothPoints(const SmoothPoint points[4], const SplineParameters& sp,
                                      int f) {
    SmoothPoint p[4] = {points[0], points[1], points[2], points[3]};
    double largest = sp.largestStep;
    if (f >= 3) {
        const double grid = f * sp.deviceStep;
        for (int i : {0, 3}) {
            p[i].x = std::round(p[i].x / grid) * grid;
            p[i].y = std::round(p[i].y / grid) * grid;
        }
        largest = std::min(largest, 1 / (12.5 * f));
    }
    const Curve curve(p);
    std::vector<double> out{0};

    // The first step: the parameter whose chord from B(0) reaches the threshold.
    double step = sp.firstStep;
    while (curve.Chord(0, step) < sp.firstThreshold && 2 * step < 2) step *= 2;
    if (step < 1) {
        double lo = step / 2, hi = step;
        while (hi - lo >= sp.smallestInterval) {
            double mid = (lo + hi) / 2;
            (curve.Chord(0, mid) < sp.firstThreshold ? lo : hi) = mid;
        }
        step = hi;
    }
    if (step >= 1) {
        out.push_back(0.5);
        out.push_back(1);
    } else {
        out.push_back(step);
        double c0 = std::max(curve.Chord(0, step), 1e-18), h0 = step;
        double last = step;
        auto passes = [&](double t) {
            double c = curve.Chord(last, t), h = t - last;
            double left = std::fabs((c / c0) * (c / c0) - std::pow(h / h0, 4));
            return left <= std::max(sp.baseTolerance - c / sp.toleranceDivisor, 0.01);
        };
        for (;;) {
            double h = sp.firstStep;
            double next = -1;
            for (;;) {
                double candidate = std::min(last + h, 1.0);
                if (candidate >= 1) break;
                if (!passes(candidate)) {
                    double pass = last, fail = candidate;
                    while (fail - pass >= sp.smallestInterval) {
                        double mid = (pass + fail) / 2;
                        (passes(mid) ? pass : fail) = mid;
                    }
                    next = (pass + fail) / 2;
                    break;
                }
                if (h >= largest) {
                    next = candidate;
                    break;
                }
                h = std::min(2 * h, largest);
            }
            if (next < 0 || next <= last) break;
            out.push_back(next);
            c0 = std::max(curve.Chord(last, next), 1e-18);
            h0 = next - last;
            last = next;
        }
        // No tiny last piece: a point beyond 0.95 moves halfway between its neighbours.
        if (out.size() >= 3 && out.back() > 0.95) out.back() = (out[out.size() - 2] + 1) / 2;
        out.push_back(1);
    }
    std::vector<SmoothPoint> result;
    result.reserve(out.size());
    for (double t : out) result.push_back(curve.At(t));
    result.front() = p[0];
    result.back() = p[3];
    return result;
}
