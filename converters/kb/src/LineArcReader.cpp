#include "LineArcReader.h"

#include <cmath>
#include <cstring>

#include "pathkit/InStream.h"

namespace kb {

namespace {

constexpr double DegreesPerRadian = 57.29577951308329;
constexpr double RadiansPerDegree = 0.01745328888888889; // the length test's own factor
constexpr double ShortestArc = 2;                         // source units
constexpr double NarrowestArc = 25;                       // degrees
constexpr double Limit = 9999;

struct Record {
    int type;
    double x1, y1, x2, y2, cx, cy;
    double mx = 0, my = 0; // middle point of an arc
    bool keptAsArc = false;
};

float FloatAt(const unsigned char* b) {
    std::uint32_t bits = std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 |
                         std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24;
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

double Angle(double dx, double dy) {
    if (dy == 0) return dx >= 0 ? 0 : -180;
    if (dx == 0) return dy >= 0 ? 90 : -90;
    return std::atan2(dy, dx) * DegreesPerRadian;
}

// The arc's middle point and whether it stays an arc or becomes a smooth run.
void ArcMiddle(Record& r) {
    double radius = std::hypot(r.x1 - r.cx, r.y1 - r.cy);
    double aS = Angle(r.x1 - r.cx, r.y1 - r.cy), aE = Angle(r.x2 - r.cx, r.y2 - r.cy);
    double sweep, middle;
    if (r.type == 3) {
        sweep = aE - aS;
        while (sweep < 0)
            sweep += 360;
        middle = aS + sweep / 2;
    } else {
        sweep = aS - aE;
        while (sweep < 0)
            sweep += 360;
        middle = aS - sweep / 2;
    }
    while (middle > 180)
        middle -= 360;
    while (middle < -180)
        middle += 360;
    r.mx = r.cx + radius * std::cos(middle / DegreesPerRadian);
    r.my = r.cy + radius * std::sin(middle / DegreesPerRadian);
    r.keptAsArc = radius * sweep * RadiansPerDegree >= ShortestArc &&
                  std::fabs(aE - aS) >= NarrowestArc;
}

} // namespace

bool ReadLineArcFile(InStream& in, long /*size*/, preconv::Points& points) {
    unsigned char header[HeaderSize];
    if (in.Read(header, HeaderSize) != HeaderSize) return false;

    std::vector<Record> records;
    for (;;) {
        unsigned char head[2];
        if (in.Read(head, 2) != 2) break;
        int values = head[0] == 1 ? 4 : head[0] == 2 || head[0] == 3 ? 7 : 0;
        unsigned char payload[28];
        if (values == 0) continue;
        if (in.Read(payload, values * 4) != values * 4) break;
        double v[7] = {};
        bool finite = true;
        for (int i = 0; i < values; ++i) {
            v[i] = FloatAt(payload + 4 * i);
            finite = finite && std::isfinite(v[i]);
        }
        if (!finite) continue;
        Record r{head[0], v[0], v[1], v[2], v[3], v[4], v[5]};
        if (r.type != 1) ArcMiddle(r);
        records.push_back(r);
    }

    // Negative coordinates move the whole outline into the non-negative range (the import
    // moves it to the origin anyway), so that nothing is clamped or read as a huge value.
    double minX = 0, minY = 0;
    for (const Record& r : records) {
        minX = std::min({minX, r.x1, r.x2});
        minY = std::min({minY, r.y1, r.y2});
        if (r.type != 1) {
            minX = std::min(minX, r.mx);
            minY = std::min(minY, r.my);
        }
    }
    auto sx = [&](double x) { return std::floor((x - minX) * 10 + 0.5); };
    auto sy = [&](double y) { return std::floor((y - minY) * 10 + 0.5); };

    struct Scaled {
        unsigned char flags;
        double x, y;
        bool isBreak;
    };
    std::vector<Scaled> list;
    auto add = [&](unsigned char flags, double x, double y) { list.push_back({flags, x, y, false}); };
    bool any = false;
    double endX = 0, endY = 0;
    for (const Record& r : records) {
        double x1 = sx(r.x1), y1 = sy(r.y1);
        if (!any || x1 != endX || y1 != endY) {
            if (any) list.push_back({0, 0, 0, true});
            add(0, x1, y1);
        }
        any = true;
        if (r.type != 1) {
            list.back().flags = r.keptAsArc ? 0x08 : 0x05;
            add(r.keptAsArc ? 0x00 : 0x01, sx(r.mx), sy(r.my));
        }
        endX = sx(r.x2);
        endY = sy(r.y2);
        add(0, endX, endY);
    }
    list.push_back({0, 0, 0, true});

    // Halved until at most 9999, all at once: v / 2^k, rounded down.
    double largest = 0;
    for (const Scaled& s : list)
        if (!s.isBreak) largest = std::max({largest, s.x, s.y});
    int shift = 0;
    while (std::ldexp(largest, -shift) >= Limit + 1)
        ++shift;
    points.clear();
    points.reserve(list.size());
    for (const Scaled& s : list) {
        if (s.isBreak) {
            points.push_back(preconv::Point::Break());
            continue;
        }
        points.push_back({s.flags, std::uint32_t(std::floor(std::ldexp(s.x, -shift))),
                          std::uint32_t(std::floor(std::ldexp(s.y, -shift)))});
    }
    return true;
}

} // namespace kb
