#include "OutlineConverter.h"

#include <cmath>
#include <cstdint>
#include <new>
#include <numbers>
#include <vector>

#include "converters/ConverterProgress.h"
#include "pathkit/BezRecordFile.h"
#include "pathkit/DynArr.h"
#include "pathkit/Exceptions.h"
#include "pathkit/InStream.h"
#include "pathkit/NumericToolkit.h"
#include "pathkit/OutStream.h"

namespace outline {
namespace {

struct OutlinePoint {
    unsigned char flags;
    std::int16_t x;
    std::int16_t y;
};

// The working arrays and their largest sizes.
using Contour = DynArr<OutlinePoint>;
using ContourList = EClassDynArr<Contour>;
using RunValues = DynArr<double>;
constexpr std::uint16_t ContourStep = 500, ContourLimit = 10922;
constexpr std::uint16_t ListStep = 30, ListLimit = 2047;
constexpr std::uint16_t RunStep = 100, RunLimit = 8191;

constexpr double Pi = std::numbers::pi;
constexpr double QuarterTurnsPerRadian = 0.6366197723675814;
constexpr double ArcHandle = 0.3484320557491289;
constexpr float FullTurn = 6.2831855f; // 2 pi in single precision

struct NotFiniteValue {};

struct Pt {
    double x, y;
};

Pt operator+(Pt a, Pt b) {
    return {a.x + b.x, a.y + b.y};
}
Pt operator-(Pt a, Pt b) {
    return {a.x - b.x, a.y - b.y};
}
Pt operator*(double f, Pt a) {
    return {f * a.x, f * a.y};
}
double Length(Pt a) {
    return std::hypot(a.x, a.y);
}
bool operator==(Pt a, Pt b) {
    return a.x == b.x && a.y == b.y;
}

Pt At(const OutlinePoint& p) {
    return {double(p.x), double(p.y)};
}
bool IsSmooth(const OutlinePoint& p) {
    return p.flags & Smooth;
}
bool IsArcStart(const OutlinePoint& p) {
    return p.flags & ArcStart;
}

// Reads the records into contours of two points or more.
void ReadContours(InStream& in, long size, AbortHandler* handler, ContourList& list) {
    ConverterProgress progress(handler, size);
    Contour current(ContourStep, ContourLimit);
    auto close = [&] {
        if (current.Filled() >= 2)
            list.Append()->Transfer(current);
        else
            current.Reset();
    };
    bool lastWasBreak = false;
    unsigned long counter = 0;
    for (;;) {
        if (++counter % 10 == 0) {
            progress.CheckAbort();
            progress.SetProgress(in.TellG());
        }
        unsigned char r[RecordSize];
        if (in.Read(r, RecordSize) != RecordSize || r[0] == EndOfData) break;
        OutlinePoint p{static_cast<unsigned char>(r[0] & UsedFlags),
                       static_cast<std::int16_t>(std::uint16_t(r[1] << 8 | r[2])),
                       static_cast<std::int16_t>(std::uint16_t(r[3] << 8 | r[4]))};
        bool isBreak = r[1] == 0xFF && r[2] == 0xFF && r[3] == 0xFF && r[4] == 0xFF;
        if (isBreak) {
            if (!lastWasBreak) close();
        } else {
            const OutlinePoint* last = current.last();
            if (!last || last->x != p.x || last->y != p.y) current.Append(p);
        }
        lastWasBreak = isBreak;
    }
    close();
}

class Writer {
public:
    explicit Writer(BezRecordWriter& out) : out_(out) {}
    void Put(PathCmd cmd, Pt p) {
        float x = float(p.x), y = float(p.y);
        if (!std::isfinite(x) || !std::isfinite(y)) throw NotFiniteValue();
        out_.Put(cmd, x, y);
    }

private:
    BezRecordWriter& out_;
};

struct Segment {
    Pt p0, a, b, p1;
    double h; // parameter length
};

// The stretch factors of the handles a (from p0) and d (from p2) of the one cubic that splits
// at s into the pair's inner control points b and c, in one coordinate; 0, 0 when singular.
void StretchFactors(double p0, double a, double b, double c, double d, double p2, double s,
                    double& alpha, double& beta) {
    alpha = beta = 0;
    if (a == 0 || d == 0) return;
    double r1 = b - ((1 - s * s) * p0 + s * s * p2);
    double r2 = c - ((1 - s) * (1 - s) * p0 + s * (2 - s) * p2);
    if (!SolveLin2(2 * s * (1 - s) * a, s * s * d, (1 - s) * (1 - s) * a, 2 * s * (1 - s) * d, r1,
                   r2, alpha, beta))
        alpha = beta = 0;
}

// Joins neighbouring segments while one cubic stands for both within the tolerance.
std::vector<Segment> Merge(const std::vector<Segment>& segments, double tolerance) {
    std::vector<Segment> out;
    Segment cur = segments[0];
    double pAlpha = 1, pBeta = 1, pAx = 1, pAy = 1, pBx = 1, pBy = 1;
    for (std::size_t i = 1; i < segments.size(); ++i) {
        const Segment& next = segments[i];
        double s = cur.h / (cur.h + next.h);
        Pt a = cur.a - cur.p0, d = next.b - next.p1;
        double ax, bx, ay, by;
        StretchFactors(cur.p0.x, a.x, cur.b.x, next.a.x, d.x, next.p1.x, s, ax, bx);
        StretchFactors(cur.p0.y, a.y, cur.b.y, next.a.y, d.y, next.p1.y, s, ay, by);
        double alpha = (ax + ay) / 2, beta = (bx + by) / 2;
        bool fits = std::fabs(alpha * pAlpha - ax * pAx) < tolerance &&
                    std::fabs(alpha * pAlpha - ay * pAy) < tolerance &&
                    std::fabs(beta * pBeta - bx * pBx) < tolerance &&
                    std::fabs(beta * pBeta - by * pBy) < tolerance;
        if (fits) {
            cur = {cur.p0, cur.p0 + alpha * a, next.p1 + beta * d, next.p1, cur.h + next.h};
            pAlpha *= alpha;
            pBeta *= beta;
            pAx *= ax;
            pAy *= ay;
            pBx *= bx;
            pBy *= by;
        } else {
            out.push_back(cur);
            cur = next;
            pAlpha = pBeta = pAx = pAy = pBx = pBy = 1;
        }
    }
    out.push_back(cur);
    return out;
}

// Second derivatives of the natural cubic spline through v over the parameters t.
std::vector<double> SplineMoments(const RunValues& v, const std::vector<double>& t) {
    std::size_t m = t.size() - 1;
    std::vector<double> M(m + 1, 0.0), c(m + 1, 0.0), d(m + 1, 0.0);
    for (std::size_t k = 1; k < m; ++k) {
        double h0 = t[k] - t[k - 1], h1 = t[k + 1] - t[k];
        double lambda = h1 / (h0 + h1), mu = 1 - lambda;
        double rhs = 6 * ((v[std::uint16_t(k + 1)] - v[std::uint16_t(k)]) / h1 -
                          (v[std::uint16_t(k)] - v[std::uint16_t(k - 1)]) / h0) /
                     (t[k + 1] - t[k - 1]);
        double denominator = 2 - (k > 1 ? mu * c[k - 1] : 0);
        c[k] = lambda / denominator;
        d[k] = (rhs - (k > 1 ? mu * d[k - 1] : 0)) / denominator;
    }
    for (std::size_t k = m - 1; k >= 1; --k)
        M[k] = d[k] - c[k] * M[k + 1];
    return M;
}

class ContourConverter {
public:
    ContourConverter(Writer& out, const Tolerances& tolerances)
        : out_(out), angle_(double(tolerances.angle) * Pi / 180),
          merge_(double(tolerances.merge) * 0.1) {}

    void Write(Contour& c) {
        int n = c.Filled();
        // An arc start needs two points after it; a later one is a corner.
        for (int i = n - 2 < 0 ? 0 : n - 2; i < n; ++i)
            if (IsArcStart(c[std::uint16_t(i)])) c[std::uint16_t(i)].flags = 0;
        auto P = [&](int i) -> const OutlinePoint& { return c[std::uint16_t(i)]; };

        int i = 0;
        out_.Put(PC_MOVETO, At(P(0)));
        for (;;) {
            // A curve run.
            int j = i;
            while (j < n && IsSmooth(P(j)) && !IsArcStart(P(j)) && (!(P(j).flags & NewRun) || j == i))
                ++j;
            if (j == n) j = n - 1;
            if (j - i >= 2) {
                Pt follow = j + 1 < n && !IsSmooth(P(j + 1)) ? At(P(j + 1)) : At(P(j));
                Run(c, i, j, follow);
                i = j;
            } else if (j - i == 1) {
                out_.Put(PC_LINETO, At(P(j)));
                i = j;
            }
            // Lines between corners.
            int k = i;
            while (k < n && !IsSmooth(P(k)) && !IsArcStart(P(k)))
                ++k;
            if (k == n) k = n - 1;
            for (int m = i + 1; m <= k; ++m)
                out_.Put(PC_LINETO, At(P(m)));
            if (k > i) i = k;
            // A three-point arc.
            if (IsArcStart(P(i))) {
                Arc(At(P(i)), At(P(i + 1)), At(P(i + 2)));
                i += 2;
            }
            if (i >= n - 1) break;
        }
    }

private:
    // Fits the spline through c[i..j] (three points or more) and writes its segments.
    void Run(const Contour& c, int i, int j, Pt follow) {
        RunValues xs(RunStep, RunLimit), ys(RunStep, RunLimit);
        for (int k = i; k <= j; ++k) {
            xs.Append(double(c[std::uint16_t(k)].x));
            ys.Append(double(c[std::uint16_t(k)].y));
        }
        std::size_t m = std::size_t(j - i);
        std::vector<double> t(m + 1, 0.0);
        for (std::size_t k = 1; k <= m; ++k)
            t[k] = t[k - 1] + std::hypot(xs[std::uint16_t(k)] - xs[std::uint16_t(k - 1)],
                                         ys[std::uint16_t(k)] - ys[std::uint16_t(k - 1)]);
        std::vector<double> mx = SplineMoments(xs, t), my = SplineMoments(ys, t);

        std::vector<Segment> segments;
        segments.reserve(m);
        for (std::size_t k = 0; k < m; ++k) {
            auto K = std::uint16_t(k), K1 = std::uint16_t(k + 1);
            double h = t[k + 1] - t[k], hh = h * h / 18;
            Pt q0{xs[K], ys[K]}, q1{xs[K1], ys[K1]};
            Pt a{(2 * q0.x + q1.x) / 3 - hh * (2 * mx[k] + mx[k + 1]),
                 (2 * q0.y + q1.y) / 3 - hh * (2 * my[k] + my[k + 1])};
            Pt b{(q0.x + 2 * q1.x) / 3 - hh * (mx[k] + 2 * mx[k + 1]),
                 (q0.y + 2 * q1.y) / 3 - hh * (my[k] + 2 * my[k + 1])};
            segments.push_back({q0, a, b, q1, h});
        }
        if (merge_ != 0) segments = Merge(segments, merge_);

        // The end's handle turned to continue towards the following point.
        Segment& last = segments.back();
        Pt end = last.p1;
        double handle = Length(last.b - end), towards = Length(end - follow);
        if (angle_ != 0 && towards > 0 && handle > 0) {
            Pt aligned = end + (handle / towards) * (end - follow);
            if (Length(last.b - aligned) / handle < angle_) last.b = aligned;
        }
        for (const Segment& s : segments) {
            out_.Put(PC_CURVETO, s.a);
            out_.Put(PC_CURVEPOINT, s.b);
            out_.Put(PC_CURVEPOINT, s.p1);
        }
    }

    // Angle of the vector in degrees, in (0, 360].
    static double Angle(Pt v) {
        double a;
        if (v.y == 0)
            a = v.x >= 0 ? 0 : -180;
        else if (v.x == 0)
            a = v.y > 0 ? 90 : -90;
        else
            a = std::atan2(v.y, v.x) * 180 / Pi;
        a += 360;
        while (a > 360)
            a -= 360;
        return a;
    }

    // The circular arc from s through m to e, in pieces of at most a quarter turn.
    void Arc(Pt s, Pt m, Pt e) {
        Pt centre;
        bool full = s == e;
        if (full) {
            centre = 0.5 * (e + m);
        } else {
            Pt u = m - e, v = e - s;
            double lu = Length(u), lv = Length(v);
            double sine = lu > 0 && lv > 0 ? (u.x * v.y - u.y * v.x) / (lu * lv) : 0;
            if (!(std::fabs(sine) >= 0.1) ||
                !SolveLin2(u.x, u.y, v.x, v.y, (m.x * m.x + m.y * m.y - e.x * e.x - e.y * e.y) / 2,
                           (e.x * e.x + e.y * e.y - s.x * s.x - s.y * s.y) / 2, centre.x,
                           centre.y)) {
                out_.Put(PC_LINETO, e);
                return;
            }
        }
        double r = Length(s - centre);
        double aS = Angle(s - centre), aM = Angle(m - centre), aE = Angle(e - centre);
        if (!((aS < aM && aM < aE) || (aS > aM && aM > aE))) aE += aS < aE ? -360 : 360;
        float sweep = float((aE - aS) * Pi / 180);
        if (std::fabs(sweep) < 0.001f || std::fabs(std::fabs(double(sweep)) - 2 * Pi) < 0.001) {
            sweep = FullTurn;
            full = true;
        }
        if (!std::isfinite(sweep) || !std::isfinite(r)) throw NotFiniteValue();
        int n = int(std::ceil(std::fabs(double(sweep)) * QuarterTurnsPerRadian));
        double delta = double(sweep) / n, h = delta * r * ArcHandle;
        double a = aS * Pi / 180;
        Pt from = centre + r * Pt{std::cos(a), std::sin(a)};
        for (int piece = 0; piece < n; ++piece, a += delta) {
            double b = a + delta;
            Pt to = centre + r * Pt{std::cos(b), std::sin(b)};
            Pt c1 = from + h * Pt{-std::sin(a), std::cos(a)};
            Pt c2 = to + h * Pt{std::sin(b), -std::cos(b)};
            if (full && piece == n - 1) to = s;
            out_.Put(PC_CURVETO, c1);
            out_.Put(PC_CURVEPOINT, c2);
            out_.Put(PC_CURVEPOINT, to);
            from = to;
        }
    }

    Writer& out_;
    double angle_; // radians
    double merge_;
};

} // namespace

int ConvertOutline(InStream& in, long size, OutStream& out, AbortHandler* progress,
                   const Tolerances& tolerances) {
    BezRecordWriter records(out, 1, 1);
    int result = Converted;
    try {
        ContourList contours(ListStep, ListLimit);
        ReadContours(in, size, progress, contours);
        Writer writer(records);
        ContourConverter converter(writer, tolerances);
        for (Contour& c : contours)
            converter.Write(c);
    } catch (const NotFiniteValue&) {
        result = NotFinite;
    } catch (const LimitCheckError&) {
        result = LimitCode;
    } catch (const NoMemory&) {
        result = NoMemoryCode;
    } catch (const std::bad_alloc&) {
        result = NoMemoryCode;
    }
    if (records.Flush() != 0 && result == Converted) result = FileFailure;
    return result;
}

} // namespace outline
