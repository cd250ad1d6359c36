// Filled shapes recorded pixel for pixel (tests/data/identity-fills.txt: a digest of the
// surface's bytes per case): seeded random polygons in both fill modes, partly outside the
// surface, through clip regions, with far-off points, rectilinear staircases, patterned
// brushes under XOR, wide pens, curves and scaled mappings. Faster fills must keep every pixel.
// With SIGNDESK_RECORD_IDENTITY set in the environment the digests are recorded instead.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>

#include "GdiFixture.h"

namespace {

constexpr int W = 257, H = 193;

class Digests {
public:
    Digests() : record_(std::getenv("SIGNDESK_RECORD_IDENTITY") != nullptr) {
        std::ifstream in(file_);
        std::string name, digest;
        while (in >> name >> digest) table_[name] = digest;
    }
    ~Digests() {
        if (!record_) return;
        std::ofstream out(file_);
        for (const auto& [name, digest] : table_) out << name << ' ' << digest << '\n';
    }
    void Check(const std::string& name, const DibCanvas& c) {
        std::uint64_t h = 1469598103934665603ull;
        const auto* bytes = static_cast<const unsigned char*>(c.bits);
        const std::size_t size = std::size_t((W * 3 + 3) / 4 * 4) * H;
        for (std::size_t i = 0; i < size; ++i) {
            h ^= bytes[i];
            h *= 1099511628211ull;
        }
        std::ostringstream s;
        s << std::hex << h;
        if (record_)
            table_[name] = s.str();
        else
            EXPECT_EQ(table_[name], s.str()) << name;
    }

private:
    std::string file_ = SD_TEST_DATA_DIR "/identity-fills.txt";
    bool record_;
    std::map<std::string, std::string> table_;
};

struct Random {
    std::uint32_t state;
    int Next(int lo, int hi) { // [lo, hi]
        state = state * 1664525u + 1013904223u;
        return lo + int((state >> 8) % std::uint32_t(hi - lo + 1));
    }
};

// Polygons of random points, some reaching past the surface.
void RandomPolygons(HDC dc, unsigned seed, int polygons, int points) {
    Random r{seed};
    std::vector<POINT> pts;
    std::vector<INT> counts;
    for (int p = 0; p < polygons; ++p) {
        for (int i = 0; i < points; ++i) pts.push_back(POINT{r.Next(-40, W + 40), r.Next(-30, H + 30)});
        counts.push_back(points);
    }
    PolyPolygon(dc, pts.data(), counts.data(), int(counts.size()));
}

// A star of n spikes, its points alternately far and near the centre.
void Star(HDC dc, int cx, int cy, int n, double outer, double inner, double turn) {
    std::vector<POINT> pts;
    for (int i = 0; i < 2 * n; ++i) {
        double a = turn + i * M_PI / n, rad = i % 2 ? inner : outer;
        pts.push_back(POINT{LONG(std::lround(cx + rad * std::cos(a))), LONG(std::lround(cy + rad * std::sin(a)))});
    }
    Polygon(dc, pts.data(), int(pts.size()));
}

// A closed staircase: steps up on the left, down on the right.
void Staircase(HDC dc, unsigned seed) {
    Random r{seed};
    std::vector<POINT> pts;
    int x = r.Next(-10, 30), y = H + 5;
    pts.push_back(POINT{x, y});
    while (y > 10) {
        y -= r.Next(1, 25);
        pts.push_back(POINT{x, y});
        x += r.Next(1, 30);
        pts.push_back(POINT{x, y});
    }
    int right = W + 10;
    pts.push_back(POINT{right, y});
    pts.push_back(POINT{right, H + 5});
    Polygon(dc, pts.data(), int(pts.size()));
}

class FillIdentity : public ::testing::Test {
protected:
    void Run(const std::string& name, const std::function<void(HDC)>& draw) {
        DibCanvas c(W, H);
        c.Clear(RGB(255, 255, 255));
        SelectObject(c.dc, GetStockObject(NULL_PEN));
        SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
        draw(c.dc);
        digests_.Check(name, c);
    }
    Digests digests_;
};

TEST_F(FillIdentity, RandomPolygonsInBothModes) {
    for (int mode : {ALTERNATE, WINDING})
        for (unsigned seed = 1; seed <= 8; ++seed)
            Run("random/" + std::to_string(mode) + "/" + std::to_string(seed), [&](HDC dc) {
                SetPolyFillMode(dc, mode);
                RandomPolygons(dc, seed, 1 + int(seed % 3), 5 + int(seed * 7 % 40));
            });
}

TEST_F(FillIdentity, StarsStaircasesAndFarOffPoints) {
    Run("stars", [](HDC dc) {
        Star(dc, 60, 60, 7, 58, 20, 0.1);
        SetPolyFillMode(dc, WINDING);
        Star(dc, 180, 110, 23, 90, 35, 0.37);
    });
    for (unsigned seed = 1; seed <= 4; ++seed)
        Run("stairs/" + std::to_string(seed), [&](HDC dc) { Staircase(dc, seed); });
    Run("faroff", [](HDC dc) {
        const int big = 2000000000;
        POINT a[] = {{-big, 20}, {big, 50}, {100, big}};
        POINT b[] = {{30, -big}, {40, -big}, {200, 170}, {-big / 3, 150}};
        Polygon(dc, a, 3);
        SetPolyFillMode(dc, WINDING);
        Polygon(dc, b, 4);
    });
}

TEST_F(FillIdentity, ClipRegionsMappingsBrushesAndPens) {
    Run("clipped", [](HDC dc) {
        HRGN ellipse = CreateEllipticRgn(20, 10, 240, 180);
        HRGN hole = CreateRectRgn(90, 60, 150, 120);
        CombineRgn(ellipse, ellipse, hole, RGN_DIFF);
        SelectClipRgn(dc, ellipse);
        RandomPolygons(dc, 11, 2, 30);
        DeleteObject(ellipse);
        DeleteObject(hole);
    });
    Run("scaled", [](HDC dc) {
        SetMapMode(dc, MM_ANISOTROPIC);
        SetWindowExtEx(dc, 1000, 1000, nullptr);
        SetViewportExtEx(dc, 257, -193, nullptr);
        SetViewportOrgEx(dc, 3, 190, nullptr);
        Random r{5};
        std::vector<POINT> pts;
        for (int i = 0; i < 40; ++i) pts.push_back(POINT{r.Next(-50, 1050), r.Next(-50, 1050)});
        Polygon(dc, pts.data(), int(pts.size()));
    });
    Run("hatched-xor", [](HDC dc) {
        HBRUSH hatch = CreateHatchBrush(HS_DIAGCROSS, RGB(200, 0, 0));
        SelectObject(dc, hatch);
        SetBkColor(dc, RGB(0, 0, 120));
        RandomPolygons(dc, 21, 1, 12);
        SetROP2(dc, R2_XORPEN);
        SetBkMode(dc, TRANSPARENT);
        RandomPolygons(dc, 22, 2, 9);
        SelectObject(dc, GetStockObject(BLACK_BRUSH));
        DeleteObject(hatch);
    });
    Run("wide-pens", [](HDC dc) {
        HPEN pen = CreatePen(PS_SOLID, 9, RGB(0, 90, 0));
        SelectObject(dc, pen);
        SelectObject(dc, GetStockObject(NULL_BRUSH));
        RandomPolygons(dc, 31, 1, 8);
        SelectObject(dc, GetStockObject(BLACK_PEN));
        DeleteObject(pen);
    });
    Run("curves", [](HDC dc) {
        Ellipse(dc, 5, 7, 120, 101);
        RoundRect(dc, 100, 80, 250, 190, 40, 30);
        Pie(dc, 130, 5, 250, 120, 250, 60, 130, 10);
        POINT bez[] = {{10, 180}, {60, -40}, {200, 300}, {250, 20}};
        BeginPath(dc);
        MoveToEx(dc, 10, 180, nullptr);
        PolyBezierTo(dc, bez + 1, 3);
        CloseFigure(dc);
        EndPath(dc);
        FillPath(dc);
    });
}

} // namespace
