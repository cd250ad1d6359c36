#include "TraceTestUtil.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <win32/kernel.h>

long Pixels::Count() const {
    long n = 0;
    for (auto v : px) n += v != 0;
    return n;
}

Pixels FromText(const std::vector<std::string>& rows) {
    int w = 0;
    for (auto& r : rows) w = std::max<int>(w, int(r.size()));
    Pixels p(w, int(rows.size()));
    for (int y = 0; y < p.h; ++y)
        for (int x = 0; x < int(rows[y].size()); ++x) p.at(x, y) = rows[y][x] == '#';
    return p;
}

namespace {

int Stride(int bits, int w) {
    return ((bits * w + 31) >> 5) * 4;
}

HDIB Build(int bits, int w, int h, const std::vector<COLORREF>& palette,
           const std::vector<std::uint8_t>& rowsBytes) {
    std::size_t table = palette.size() * 4;
    std::size_t size = 40 + table + rowsBytes.size();
    HDIB handle = GlobalAlloc(GHND, size);
    auto* base = static_cast<std::uint8_t*>(GlobalLock(handle));
    BITMAPINFOHEADER bi{};
    bi.biSize = 40;
    bi.biWidth = w;
    bi.biHeight = h;
    bi.biPlanes = 1;
    bi.biBitCount = WORD(bits);
    bi.biClrUsed = DWORD(palette.size());
    std::memcpy(base, &bi, sizeof bi);
    for (std::size_t i = 0; i < palette.size(); ++i) {
        COLORREF c = palette[i];
        base[40 + 4 * i] = GetBValue(c);
        base[40 + 4 * i + 1] = GetGValue(c);
        base[40 + 4 * i + 2] = GetRValue(c);
    }
    std::memcpy(base + 40 + table, rowsBytes.data(), rowsBytes.size());
    GlobalUnlock(handle);
    return handle;
}

} // namespace

HDIB MakeMonoDib(const Pixels& p) {
    int stride = Stride(1, p.w);
    std::vector<std::uint8_t> bytes(std::size_t(stride) * p.h, 0);
    for (int y = 0; y < p.h; ++y)
        for (int x = 0; x < p.w; ++x)
            if (!p.at(x, y)) bytes[std::size_t(y) * stride + x / 8] |= std::uint8_t(0x80 >> (x & 7));
    return Build(1, p.w, p.h, {RGB(0, 0, 0), RGB(255, 255, 255)}, bytes);
}

HDIB MakeIndexedDib(int bits, const Pixels& p, const std::vector<COLORREF>& palette) {
    int stride = Stride(bits, p.w);
    std::vector<std::uint8_t> bytes(std::size_t(stride) * p.h, 0);
    for (int y = 0; y < p.h; ++y)
        for (int x = 0; x < p.w; ++x) {
            std::uint8_t v = p.at(x, y);
            std::uint8_t& b = bytes[std::size_t(y) * stride + (bits == 8 ? x : x / 2)];
            if (bits == 8)
                b = v;
            else
                b = std::uint8_t((x & 1) ? (b | (v & 0x0F)) : (b | (v << 4)));
        }
    return Build(bits, p.w, p.h, palette, bytes);
}

std::string FontFile(const std::string& name) {
    return name;
}

namespace {

FT_Library Library() {
    static FT_Library lib = [] {
        FT_Library l;
        if (FT_Init_FreeType(&l)) throw std::runtime_error("FreeType");
        return l;
    }();
    return lib;
}

} // namespace

Pixels RenderText(const std::string& fontFile, int pixelSize, const std::string& text) {
    FT_Face face;
    if (FT_New_Face(Library(), fontFile.c_str(), 0, &face))
        throw std::runtime_error("font " + fontFile);
    FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixelSize));
    int margin = 3;
    int ascent = int(face->size->metrics.ascender >> 6);
    int lineHeight = int(face->size->metrics.height >> 6) + 1;
    // Lines split at '\n'.
    std::vector<std::string> lines;
    std::string cur;
    for (char c : text) {
        if (c == '\n') {
            lines.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    lines.push_back(cur);
    int width = 0;
    for (auto& line : lines) {
        int pen = 0;
        for (unsigned char c : line) {
            FT_Load_Char(face, c, FT_LOAD_DEFAULT);
            pen += int(face->glyph->advance.x >> 6);
        }
        width = std::max(width, pen);
    }
    Pixels p(width + 2 * margin + pixelSize, lineHeight * int(lines.size()) + 2 * margin);
    for (std::size_t li = 0; li < lines.size(); ++li) {
        int pen = margin;
        int baseline = margin + ascent + int(li) * lineHeight;
        for (unsigned char c : lines[li]) {
            FT_Load_Char(face, c, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME);
            FT_GlyphSlot g = face->glyph;
            const FT_Bitmap& b = g->bitmap;
            for (unsigned r = 0; r < b.rows; ++r)
                for (unsigned col = 0; col < b.width; ++col) {
                    bool on = (b.buffer[r * b.pitch + col / 8] >> (7 - col % 8)) & 1;
                    int x = pen + g->bitmap_left + int(col);
                    int y = baseline - g->bitmap_top + int(r);
                    if (on && x >= 0 && y >= 0 && x < p.w && y < p.h) p.at(x, y) = 1;
                }
            pen += int(g->advance.x >> 6);
        }
    }
    FT_Done_Face(face);
    return p;
}

Pixels ScannedLogo(int w, int h, unsigned seed) {
    std::vector<float> grey(std::size_t(w) * h, 0.0f);
    auto set = [&](int x, int y, float v) {
        if (x >= 0 && y >= 0 && x < w && y < h) grey[std::size_t(y) * w + x] = v;
    };
    double cx = w * 0.3, cy = h * 0.5, r = std::min(w, h) * 0.4;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            if ((d < r && d > r * 0.8) || (d < r * 0.6 && d > r * 0.45)) set(x, y, 1);
            // A five-pointed star in the middle of the rings.
            double a = std::atan2(y + 0.5 - cy, x + 0.5 - cx);
            double k = std::fmod(a + 10 * M_PI + M_PI / 2, 2 * M_PI / 5) / (2 * M_PI / 5);
            double star = r * 0.38 * (0.45 + 0.55 * std::fabs(1 - 2 * k));
            if (d < star) set(x, y, 1);
        }
    Pixels text = RenderText("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
                             std::max(10, h / 5), "SIGN\nWORKS");
    int ox = int(w * 0.58), oy = int(h * 0.25);
    for (int y = 0; y < text.h; ++y)
        for (int x = 0; x < text.w; ++x)
            if (text.at(x, y)) set(ox + x, oy + y, 1);
    // Blur (two box passes), threshold, speckle.
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<float> out(grey.size());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                float s = 0;
                int n = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        int xx = x + dx, yy = y + dy;
                        if (xx < 0 || yy < 0 || xx >= w || yy >= h) continue;
                        s += grey[std::size_t(yy) * w + xx];
                        ++n;
                    }
                out[std::size_t(y) * w + x] = s / float(n);
            }
        grey.swap(out);
    }
    Pixels p(w, h);
    std::uint32_t state = seed;
    auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            bool on = grey[std::size_t(y) * w + x] > 0.5f;
            if (next() % 1000 < 4) on = !on;
            p.at(x, y) = on;
        }
    return p;
}

// ---- re-rasterising

namespace {

struct ContourBuilder {
    std::vector<FT_Vector> points;
    std::vector<char> tags;
    void Add(double x, double y, char tag) {
        points.push_back({FT_Pos(std::lround(x * 64)), FT_Pos(std::lround(y * 64))});
        tags.push_back(tag);
    }
};

} // namespace

Pixels Rasterise(const Path& path, int w, int h) {
    Pixels acc(w, h);
    for (const SubPath& sp : path.subPaths) {
        if (!sp.members.Filled()) continue;
        // Pixel units, y up, relative to the contour's box.
        double minX = 1e30, maxX = -1e30, minY = 1e30, maxY = -1e30;
        auto widen = [&](const floatPoint& p) {
            minX = std::min(minX, double(p.x));
            maxX = std::max(maxX, double(p.x));
            minY = std::min(minY, double(p.y));
            maxY = std::max(maxY, double(p.y));
        };
        for (const PathMember& m : sp.members) {
            widen(m.start);
            widen(m.end);
            if (m.IsCurve()) {
                widen(m.ctrl1);
                widen(m.ctrl2);
            }
        }
        int x0 = std::max(0, int(std::floor(minX / 2)) - 1);
        int y0 = std::max(0, int(std::floor(minY / 2)) - 1);
        int x1 = std::min(w, int(std::ceil(maxX / 2)) + 1);
        int y1 = std::min(h, int(std::ceil(maxY / 2)) + 1);
        if (x1 <= x0 || y1 <= y0) continue;
        int bw = x1 - x0, bh = y1 - y0;
        // Storage line y (half-pixel c) becomes bitmap row y: Y = bh - (c / 2 - y0).
        auto X = [&](float c) { return c / 2.0 - x0; };
        auto Y = [&](float c) { return bh - (c / 2.0 - y0); };
        ContourBuilder cb;
        const PathMember& first = sp.members[0];
        cb.Add(X(first.start.x), Y(first.start.y), FT_CURVE_TAG_ON);
        for (std::uint16_t i = 0; i < sp.members.Filled(); ++i) {
            const PathMember& m = sp.members[i];
            bool last = i + 1 == sp.members.Filled();
            if (m.IsCurve()) {
                cb.Add(X(m.ctrl1.x), Y(m.ctrl1.y), FT_CURVE_TAG_CUBIC);
                cb.Add(X(m.ctrl2.x), Y(m.ctrl2.y), FT_CURVE_TAG_CUBIC);
            }
            if (!last || m.IsCurve()) cb.Add(X(m.end.x), Y(m.end.y), FT_CURVE_TAG_ON);
        }
        // A closing point equal to the first is dropped: FreeType closes contours itself.
        if (cb.points.size() > 1 && cb.tags.back() == FT_CURVE_TAG_ON &&
            cb.points.back().x == cb.points.front().x && cb.points.back().y == cb.points.front().y) {
            cb.points.pop_back();
            cb.tags.pop_back();
        }
        if (cb.points.size() < 2) continue;
        FT_Outline outline{};
        outline.n_points = (short)cb.points.size();
        outline.n_contours = 1;
        outline.points = cb.points.data();
        outline.tags = cb.tags.data();
        short endIndex = short(cb.points.size() - 1);
        outline.contours = &endIndex;
        outline.flags = FT_OUTLINE_EVEN_ODD_FILL | FT_OUTLINE_IGNORE_DROPOUTS;
        int pitch = (bw + 31) / 32 * 4;
        std::vector<unsigned char> buffer(std::size_t(pitch) * bh, 0);
        FT_Bitmap bitmap{};
        bitmap.rows = unsigned(bh);
        bitmap.width = unsigned(bw);
        bitmap.pitch = pitch;
        bitmap.buffer = buffer.data();
        bitmap.num_grays = 2;
        bitmap.pixel_mode = FT_PIXEL_MODE_MONO;
        if (FT_Outline_Get_Bitmap(Library(), &outline, &bitmap)) throw std::runtime_error("raster");
        for (int r = 0; r < bh; ++r)
            for (int c = 0; c < bw; ++c)
                if ((buffer[std::size_t(r) * pitch + c / 8] >> (7 - c % 8)) & 1)
                    acc.at(x0 + c, y0 + r) ^= 1;
    }
    return acc;
}

long XorCount(const Pixels& a, const Pixels& b) {
    long n = 0;
    for (std::size_t i = 0; i < a.px.size(); ++i) n += (a.px[i] != 0) != (b.px[i] != 0);
    return n;
}

double XorDistanceFromEdges(const Pixels& source, const Pixels& traced) {
    // Distance from a differing pixel's centre to the nearest point of a source pixel of the
    // other kind: exactly the distance to the source's ink edges.
    double worst = 0;
    auto ink = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= source.w || y >= source.h) return false;
        return source.at(x, y) != 0;
    };
    for (int y = 0; y < source.h; ++y)
        for (int x = 0; x < source.w; ++x) {
            if ((source.at(x, y) != 0) == (traced.at(x, y) != 0)) continue;
            bool self = ink(x, y);
            double best = 1e9;
            for (int d = 1; d < 64 && d - 0.5 < best; ++d)
                for (int dy = -d; dy <= d; ++dy)
                    for (int dx = -d; dx <= d; ++dx) {
                        if (std::max(std::abs(dx), std::abs(dy)) != d) continue;
                        if (ink(x + dx, y + dy) == self) continue;
                        best = std::min(best, std::hypot(std::max(0.0, std::abs(dx) - 0.5),
                                                         std::max(0.0, std::abs(dy) - 0.5)));
                    }
            worst = std::max(worst, best);
        }
    return worst;
}

double PolygonArea(const Path& path) {
    // Even-odd coverage along the centre line of every pixel row: the pixel polygons'
    // vertices lie on even half-pixel coordinates, the centre lines on odd ones, so every
    // crossing is exact.
    double minY = 1e30, maxY = -1e30;
    for (const SubPath& sp : path.subPaths)
        for (const PathMember& m : sp.members) {
            minY = std::min({minY, double(m.start.y), double(m.end.y)});
            maxY = std::max({maxY, double(m.start.y), double(m.end.y)});
        }
    double area = 0;
    std::vector<double> xs;
    for (long c = long(std::floor(minY)) | 1; c < maxY; c += 2) {
        xs.clear();
        for (const SubPath& sp : path.subPaths)
            for (const PathMember& m : sp.members) {
                double y0 = m.start.y, y1 = m.end.y;
                if ((y0 < c) == (y1 < c)) continue;
                xs.push_back(m.start.x + (c - y0) * (m.end.x - m.start.x) / (y1 - y0));
            }
        std::sort(xs.begin(), xs.end());
        for (std::size_t i = 0; i + 1 < xs.size(); i += 2) area += (xs[i + 1] - xs[i]) / 2;
    }
    return area; // each row one pixel tall; lengths halved to pixels above
}

namespace {

using Chain = std::vector<std::pair<double, double>>;

// Segments in cells of a grid, for nearest-segment queries.
class SegmentGrid {
public:
    explicit SegmentGrid(const std::vector<Chain>& lines) {
        double x0 = 1e30, y0 = 1e30, x1 = -1e30, y1 = -1e30;
        for (const Chain& l : lines)
            for (auto [x, y] : l) {
                x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
            }
        if (x0 > x1) return;
        ox_ = x0 - Cell, oy_ = y0 - Cell;
        nx_ = int((x1 - ox_) / Cell) + 2, ny_ = int((y1 - oy_) / Cell) + 2;
        cells_.resize(std::size_t(nx_) * ny_);
        for (const Chain& l : lines)
            for (std::size_t i = 0; i + 1 < l.size(); ++i) {
                Seg s{l[i].first, l[i].second, l[i + 1].first, l[i + 1].second};
                int cx0 = CellX(std::min(s.ax, s.bx)), cx1 = CellX(std::max(s.ax, s.bx));
                int cy0 = CellY(std::min(s.ay, s.by)), cy1 = CellY(std::max(s.ay, s.by));
                for (int cy = cy0; cy <= cy1; ++cy)
                    for (int cx = cx0; cx <= cx1; ++cx) cells_[std::size_t(cy) * nx_ + cx].push_back(s);
            }
    }
    // Distance to the nearest segment (1e9 with none).
    double Nearest(double x, double y) const {
        if (cells_.empty()) return 1e9;
        int cx = CellX(x), cy = CellY(y);
        double best = 1e9;
        for (int r = 0; r < std::max(nx_, ny_) + 1; ++r) {
            if (best <= (r - 1) * Cell) break;
            for (int yy = cy - r; yy <= cy + r; ++yy)
                for (int xx = cx - r; xx <= cx + r; ++xx) {
                    if (std::max(std::abs(xx - cx), std::abs(yy - cy)) != r) continue;
                    if (xx < 0 || yy < 0 || xx >= nx_ || yy >= ny_) continue;
                    for (const Seg& s : cells_[std::size_t(yy) * nx_ + xx]) best = std::min(best, s.Distance(x, y));
                }
        }
        return best;
    }

private:
    static constexpr double Cell = 2.0;
    struct Seg {
        double ax, ay, bx, by;
        double Distance(double x, double y) const {
            double dx = bx - ax, dy = by - ay, l = dx * dx + dy * dy;
            double t = l > 0 ? std::clamp(((x - ax) * dx + (y - ay) * dy) / l, 0.0, 1.0) : 0.0;
            return std::hypot(ax + t * dx - x, ay + t * dy - y);
        }
    };
    int CellX(double x) const { return std::clamp(int((x - ox_) / Cell), 0, nx_ - 1); }
    int CellY(double y) const { return std::clamp(int((y - oy_) / Cell), 0, ny_ - 1); }
    double ox_ = 0, oy_ = 0;
    int nx_ = 0, ny_ = 0;
    std::vector<std::vector<Seg>> cells_;
};

// The largest distance from points along the polylines (every tenth of a pixel) to the grid,
// and where it is.
double Directed(const std::vector<Chain>& from, const SegmentGrid& to, double& wx, double& wy) {
    double worst = 0;
    for (const Chain& l : from)
        for (std::size_t i = 0; i + 1 < l.size(); ++i) {
            auto [ax, ay] = l[i];
            auto [bx, by] = l[i + 1];
            int n = std::max(1, int(std::ceil(std::hypot(bx - ax, by - ay) * 10)));
            for (int k = 0; k <= n; ++k) {
                double t = double(k) / n, x = ax + t * (bx - ax), y = ay + t * (by - ay);
                double d = to.Nearest(x, y);
                if (d > worst) worst = d, wx = x, wy = y;
            }
        }
    return worst;
}

} // namespace

std::vector<Chain> Polylines(const Path& path) {
    std::vector<Chain> out;
    for (const SubPath& sp : path.subPaths) {
        Chain l;
        for (const PathMember& m : sp.members) {
            if (l.empty()) l.push_back({m.start.x / 2.0, m.start.y / 2.0});
            if (m.IsCurve()) {
                double p[4][2] = {{m.start.x / 2.0, m.start.y / 2.0}, {m.ctrl1.x / 2.0, m.ctrl1.y / 2.0},
                                  {m.ctrl2.x / 2.0, m.ctrl2.y / 2.0}, {m.end.x / 2.0, m.end.y / 2.0}};
                double spread = 0;
                for (int k = 0; k < 2; ++k)
                    for (int c = 0; c < 2; ++c)
                        spread = std::max(spread, std::fabs(p[k][c] - 2 * p[k + 1][c] + p[k + 2][c]));
                int n = std::max(1, int(std::ceil(std::sqrt(0.75 * 1.5 * spread / 0.1))));
                for (int i = 1; i <= n; ++i) {
                    double t = double(i) / n, u = 1 - t;
                    double w[4] = {u * u * u, 3 * t * u * u, 3 * t * t * u, t * t * t};
                    l.push_back({w[0] * p[0][0] + w[1] * p[1][0] + w[2] * p[2][0] + w[3] * p[3][0],
                                 w[0] * p[0][1] + w[1] * p[1][1] + w[2] * p[2][1] + w[3] * p[3][1]});
                }
            } else {
                l.push_back({m.end.x / 2.0, m.end.y / 2.0});
            }
        }
        if (!l.empty() && l.back() != l.front()) l.push_back(l.front());
        out.push_back(std::move(l));
    }
    return out;
}

double NetArea(const Path& path) {
    double a = 0;
    for (const Chain& l : Polylines(path))
        for (std::size_t i = 0; i + 1 < l.size(); ++i)
            a += l[i].first * l[i + 1].second - l[i + 1].first * l[i].second;
    return std::fabs(a / 2);
}

double Perimeter(const Path& path) {
    double p = 0;
    for (const Chain& l : Polylines(path))
        for (std::size_t i = 0; i + 1 < l.size(); ++i)
            p += std::hypot(l[i + 1].first - l[i].first, l[i + 1].second - l[i].second);
    return p;
}

OutlineDistance MeasureOutlineDistance(const Path& fitted, const Path& exact) {
    std::vector<Chain> f = Polylines(fitted), e = Polylines(exact);
    OutlineDistance d;
    d.outward = Directed(f, SegmentGrid(e), d.outwardAt[0], d.outwardAt[1]);
    d.inward = Directed(e, SegmentGrid(f), d.inwardAt[0], d.inwardAt[1]);
    return d;
}

std::vector<std::vector<std::pair<int, int>>> Rings(const Path& path) {
    std::vector<std::vector<std::pair<int, int>>> rings;
    for (const SubPath& sp : path.subPaths) {
        std::vector<std::pair<int, int>> ring;
        for (const PathMember& m : sp.members) ring.push_back({int(m.start.x), int(m.start.y)});
        rings.push_back(ring);
    }
    return rings;
}

#include <traceconv/TraceConv.h>

void SetDefaultPreset(AbortHandler* handler) {
    SetTraceParam(handler, 10, 3, 3, 0.5f);
    SetExtTraceParam(1, 1, 1, 1, 1, 1, 5, 5, 0);
}

namespace {

const char* const Fonts[][2] = {
    {"sans", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"},
    {"serif", "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf"},
    {"liberation", "/usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf"},
};

Pixels Lines() {
    Pixels p(64, 48);
    for (int x = 2; x < 60; ++x) p.at(x, 3) = 1;          // horizontal
    for (int y = 6; y < 46; ++y) p.at(4, y) = 1;          // vertical
    for (int i = 0; i < 36; ++i) p.at(10 + i, 8 + i) = 1; // diagonal, 45 degrees
    for (int i = 0; i < 36; ++i) p.at(14 + i, 8 + i / 3) = 1; // shallow staircase
    for (int i = 0; i < 30; ++i) p.at(60 - i / 4, 10 + i) = 1; // steep staircase
    return p;
}

Pixels Holes() {
    Pixels p(40, 24);
    for (int by = 0; by < 3; ++by)
        for (int bx = 0; bx < 5; ++bx)
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 5; ++x) {
                    int hx = 1 + (bx + by) % 3, hy = 1 + (bx * 2 + by) % 3;
                    if (x == hx && y == hy) continue;
                    p.at(2 + bx * 7 + x, 2 + by * 7 + y) = 1;
                }
    return p;
}

Pixels Checkerboard() {
    Pixels p(20, 16);
    for (int y = 1; y < 15; ++y)
        for (int x = 1; x < 19; ++x) p.at(x, y) = (x + y) & 1;
    return p;
}

} // namespace

const std::vector<NamedBitmap>& TestSet() {
    static const std::vector<NamedBitmap> set = [] {
        std::vector<NamedBitmap> s;
        for (auto& font : Fonts)
            for (int size : {8, 12, 24, 72}) {
                const char* text = size >= 72 ? "Rg&8@" : "Sign & Lettering 2048 @%QgR";
                s.push_back({std::string(font[0]) + std::to_string(size),
                             RenderText(font[1], size, text)});
            }
        s.push_back({"logo", ScannedLogo(240, 160, 7)});
        s.push_back({"lines", Lines()});
        s.push_back({"holes", Holes()});
        s.push_back({"checkerboard", Checkerboard()});
        return s;
    }();
    return set;
}
