#include "DxfConverter.h"

#include <cfloat>
#include <cmath>
#include <vector>

#include "converters/ConverterProgress.h"
#include "pathkit/BezRecordFile.h"
#include "pathkit/InStream.h"

#include "DxfPairReader.h"

namespace dxf {
namespace {

// The arc writer's own value of pi.
constexpr double Pi = 3.14159265359;
constexpr double SmallestSweep = 1.1920928955078125e-07;
constexpr double CircleCorner = 0.7071067811865475;
constexpr double CircleHandle = 0.39052429175126996;
// Angles beyond this many degrees are taken modulo a turn, so that no arc has more pieces
// than a few turns need.
constexpr double LargestAngle = 3600;

struct Vertex {
    double x = 0, y = 0, bulge = 0;
};

class Scan {
public:
    Scan(InStream& in, long size, OutStream& out, AbortHandler* progress, Stats& stats)
        : in_(in), reader_(in), progress_(progress, size), out_(out, 1, 1), stats_(stats) {}

    int Run() {
        bool ended = false;
        Pair p;
        bool have = reader_.Next(p);
        std::string section;
        while (have && !stats_.badNumber) {
            progress_.ReportChange(in_.TellG());
            if (p.code == 0) {
                if (p.Is("EOF")) {
                    ended = true;
                    break;
                }
                if (p.Is("SECTION")) {
                    have = reader_.Next(p);
                    if (have && p.code == 2) section = p.overlong ? std::string() : p.value;
                    if (have && p.code == 2 && p.Is("BLOCKS")) {
                        have = SkipSection(p);
                        if (!have) break;
                    }
                    continue;
                }
                if (p.Is("ENDSEC")) section.clear();
                if (Entity(p, have)) continue;
                if (section == "ENTITIES" && !p.Is("ENDSEC")) ++stats_.entitiesPassedOver;
            } else if (p.code == 9 && p.Is("$LUNITS")) {
                have = reader_.Next(p);
                if (!have) break;
                if (p.code == 70) {
                    if (p.Is("1"))
                        factor_ = 1.0f;
                    else if (p.Is("2"))
                        factor_ = 10.0f;
                    else if (p.Is("3"))
                        factor_ = 25.4f;
                }
            }
            have = reader_.Next(p);
        }
        if (out_.Flush() != 0 || stats_.badNumber) return -1;
        return ended && out_.Count() > 0 ? 0 : -1;
    }

private:
    // Passes over the BLOCKS section up to its ENDSEC; false when the input ends first.
    bool SkipSection(Pair& p) {
        for (;;) {
            if (!reader_.Next(p)) return false;
            progress_.ReportChange(in_.TellG());
            if (p.code == 0 && p.Is("ENDSEC")) return true;
        }
    }

    // Reads the entity named by p when it is one that is read; p is then the pair that ended
    // it (code 0), and have tells whether there is one.
    bool Entity(Pair& p, bool& have) {
        if (p.Is("LINE"))
            have = Line(p);
        else if (p.Is("ARC"))
            have = ArcEntity(p);
        else if (p.Is("CIRCLE"))
            have = Circle(p);
        else if (p.Is("POLYLINE"))
            have = Polyline(p);
        else if (p.Is("LWPOLYLINE"))
            have = LwPolyline(p);
        else
            return false;
        ++stats_.entitiesRead;
        return true;
    }

    // The next pair of the entity; false at code 0 (the entity's end) or the input's end.
    bool Field(Pair& p, bool& have) {
        have = reader_.Next(p);
        return have && p.code != 0;
    }

    // A value where a number belongs, kept in single precision. One that is no number or does
    // not fit a float fails the conversion.
    double Value(const Pair& p) {
        double v = 0;
        if (!p.Number(v) || !FitsFloat(v)) {
            stats_.badNumber = true;
            return 0;
        }
        return double(float(v));
    }

    // A flags value: its integer part (0 when beyond any flags).
    long Flags(const Pair& p) {
        double v = 0;
        if (!p.Number(v)) {
            stats_.badNumber = true;
            return 0;
        }
        return std::fabs(v) < 1e18 ? long(v) : 0;
    }

    static bool FitsFloat(double v) { return std::fabs(v) <= double(FLT_MAX); } // false for NaN

    bool Line(Pair& p) {
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        bool have;
        while (Field(p, have)) {
            switch (p.code) {
            case 10: x1 = Value(p); break;
            case 20: y1 = Value(p); break;
            case 11: x2 = Value(p); break;
            case 21: y2 = Value(p); break;
            default: break;
            }
        }
        Put(PC_MOVETO, x1, y1);
        Put(PC_LINETO, x2, y2);
        return have;
    }

    static double Bounded(double angle) {
        return std::fabs(angle) > LargestAngle ? std::fmod(angle, 360.0) : angle;
    }

    bool ArcEntity(Pair& p) {
        double cx = 0, cy = 0, r = 0, a0 = 0, a1 = 0;
        bool have;
        while (Field(p, have)) {
            switch (p.code) {
            case 10: cx = Value(p); break;
            case 20: cy = Value(p); break;
            case 40: r = Value(p); break;
            case 50: a0 = Bounded(Value(p)); break;
            case 51: a1 = Bounded(Value(p)); break;
            default: break;
            }
        }
        if (a1 > a0)
            Arc(cx, cy, r, a0, a1, false, nullptr);
        else
            Arc(cx, cy, r, a1 + 360, a0, false, nullptr, a1 == a0);
        return have;
    }

    bool Circle(Pair& p) {
        double cx = 0, cy = 0, r = 0;
        bool have;
        while (Field(p, have)) {
            switch (p.code) {
            case 10: cx = Value(p); break;
            case 20: cy = Value(p); break;
            case 40: r = Value(p); break;
            default: break;
            }
        }
        double e = r * CircleCorner, g = r * CircleHandle;
        Put(PC_MOVETO, cx - e, cy - e);
        Curve(cx - e + g, cy - e - g, cx + e - g, cy - e - g, cx + e, cy - e);
        Curve(cx + e + g, cy - e + g, cx + e + g, cy + e - g, cx + e, cy + e);
        Curve(cx + e - g, cy + e + g, cx - e + g, cy + e + g, cx - e, cy + e);
        Curve(cx - e - g, cy + e - g, cx - e - g, cy - e + g, cx - e, cy - e);
        return have;
    }

    bool Polyline(Pair& p) {
        bool closed = false, have;
        while (Field(p, have))
            if (p.code == 70) closed = Flags(p) & 1;
        std::vector<Vertex> vertices;
        while (have && p.Is("VERTEX")) {
            Vertex v;
            long flags = 0;
            bool located = false;
            while (Field(p, have)) {
                switch (p.code) {
                case 10: v.x = Value(p), located = true; break;
                case 20: v.y = Value(p), located = true; break;
                case 42: v.bulge = Value(p); break;
                case 70: flags = Flags(p); break;
                default: break;
                }
            }
            // A polyface mesh's face records (128 without 64) hold indices, not points.
            bool faceRecord = (flags & 128) && !(flags & 64);
            if (located && !faceRecord) vertices.push_back(v);
        }
        if (have && p.Is("SEQEND"))
            while (Field(p, have)) {
            }
        WritePolyline(vertices, closed);
        return have;
    }

    bool LwPolyline(Pair& p) {
        bool closed = false, have;
        std::vector<Vertex> vertices;
        while (Field(p, have)) {
            switch (p.code) {
            case 70: closed = Flags(p) & 1; break;
            case 10: vertices.push_back({Value(p), 0, 0}); break;
            case 20: if (!vertices.empty()) vertices.back().y = Value(p); break;
            case 42: if (!vertices.empty()) vertices.back().bulge = Value(p); break;
            default: break;
            }
        }
        WritePolyline(vertices, closed);
        return have;
    }

    // One contour: an arc of a bulge continues it from the vertex where it stands.
    void WritePolyline(const std::vector<Vertex>& v, bool closed) {
        if (v.empty()) return;
        Put(PC_MOVETO, v[0].x, v[0].y);
        for (std::size_t i = 1; i < v.size(); ++i)
            Segment(v[i - 1], v[i]);
        const Vertex& last = v.back();
        if (closed && (last.bulge != 0 || last.x != v[0].x || last.y != v[0].y))
            Segment(last, v[0]);
    }

    void Segment(const Vertex& from, const Vertex& to) {
        if (from.bulge == 0) {
            Put(PC_LINETO, to.x, to.y);
            return;
        }
        double theta = 4 * std::atan(from.bulge), t = std::tan(theta / 2);
        double cx = (from.x + to.x) / 2 - (to.y - from.y) / (2 * t);
        double cy = (from.y + to.y) / 2 + (to.x - from.x) / (2 * t);
        double r = std::hypot(to.x - from.x, to.y - from.y) / std::fabs(2 * std::sin(theta / 2));
        double a0 = BulgeAngle(from.x - cx, from.y - cy), a1 = BulgeAngle(to.x - cx, to.y - cy);
        if (theta > 0)
            while (a1 < a0)
                a1 += 360;
        else
            while (a1 > a0)
                a1 -= 360;
        double end[2] = {to.x, to.y};
        Arc(cx, cy, r, a0, a1, true, end);
    }

    static double BulgeAngle(double dx, double dy) {
        if (dy == 0) return dx > 0 ? 0 : 180;
        if (dx == 0) return dy > 0 ? 90 : 270;
        return std::atan2(dy, dx) * 180 / Pi;
    }

    // The arc from a0 to a1 degrees in pieces of at most a quarter turn. A new contour starts
    // at its first point unless it continues one; end, when given, is the exact last point.
    // A full turn (closes) ends exactly on its first point.
    void Arc(double cx, double cy, double r, double a0, double a1, bool continues,
             const double* end, bool closes = false) {
        float start = float(a0 * Pi / 180);
        double exactSweep = a1 * Pi / 180 - a0 * Pi / 180;
        float sweep = float(a1 * Pi / 180 - double(start));
        if (std::fabs(double(sweep)) < SmallestSweep || !std::isfinite(exactSweep)) return;
        int n = int(std::ceil(std::fabs(exactSweep) / (Pi / 2)));
        if (n < 1) n = 1;
        double delta = double(sweep) / n, h = delta * r / 3;
        double a = start;
        double px = cx + r * std::cos(a), py = cy + r * std::sin(a);
        const double first[2] = {px, py};
        if (closes) end = first;
        if (!continues) Put(PC_MOVETO, px, py);
        for (int i = 0; i < n; ++i, a += delta) {
            double b = a + delta;
            double qx = cx + r * std::cos(b), qy = cy + r * std::sin(b);
            double c2x = qx + h * std::sin(b), c2y = qy - h * std::cos(b);
            if (end && i == n - 1) qx = end[0], qy = end[1];
            Curve(px - h * std::sin(a), py + h * std::cos(a), c2x, c2y, qx, qy);
            px = qx;
            py = qy;
        }
    }

    void Curve(double x1, double y1, double x2, double y2, double x3, double y3) {
        Put(PC_CURVETO, x1, y1);
        Put(PC_CURVEPOINT, x2, y2);
        Put(PC_CURVEPOINT, x3, y3);
    }

    // A point that does not fit the record's floats fails the conversion like a bad value.
    void Put(PathCmd cmd, double x, double y) {
        const double f = factor_, X = f * x * 10, Y = f * y * -10;
        if (!FitsFloat(X) || !FitsFloat(Y)) stats_.badNumber = true;
        if (stats_.badNumber) return;
        out_.Put(cmd, float(X), float(Y));
    }

    InStream& in_;
    PairReader reader_;
    ConverterProgress progress_;
    BezRecordWriter out_;
    Stats& stats_;
    float factor_ = 254.0f;
};

} // namespace

int ConvertDxf(InStream& in, long size, OutStream& out, AbortHandler* progress, Stats* stats) {
    Stats local;
    Scan scan(in, size, out, progress, stats ? *stats : local);
    return scan.Run();
}

} // namespace dxf
