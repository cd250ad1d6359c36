// Icon pictures: resource images read with every count and offset checked before use, and the
// system's icons painted in the classic look (red stop sign, yellow warning triangle, white
// speech balloons with a blue question mark or "i", a window for the application).

#include "IconPicture.h"

#include <cstdlib>
#include <cstring>

namespace sdgdi {

namespace {

std::uint32_t u32(const BYTE* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
std::uint16_t u16(const BYTE* p) {
    return std::uint16_t(p[0] | p[1] << 8);
}
std::int32_t s32(const BYTE* p) {
    return std::int32_t(u32(p));
}

} // namespace

bool ReadIconImage(const BYTE* data, std::size_t size, IconPicture& out) {
    if (!data || size < 40) return false;
    const std::uint32_t headerSize = u32(data);
    const std::int32_t width = s32(data + 4), doubled = s32(data + 8);
    const int planes = u16(data + 12), bpp = u16(data + 14);
    const std::uint32_t compression = u32(data + 16), used = u32(data + 32);
    if (headerSize < 40 || headerSize > size || width < 1 || width > 256 || doubled < 2 ||
        doubled > 512 || doubled % 2 || planes != 1 || compression != 0 ||
        (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32))
        return false;
    const int height = doubled / 2;
    const std::size_t maxColours = bpp <= 8 ? std::size_t(1) << bpp : 0;
    if (used > 256 || (bpp <= 8 && used > maxColours)) return false;
    const std::size_t colours = used ? used : maxColours;
    const std::size_t table = headerSize;
    const std::size_t rowsAt = table + colours * 4;
    const std::size_t stride = (std::size_t(width) * std::size_t(bpp) + 31) / 32 * 4;
    const std::size_t maskStride = (std::size_t(width) + 31) / 32 * 4;
    const std::size_t maskAt = rowsAt + stride * std::size_t(height);
    if (maskAt > size) return false;
    // A 32-bit image may come without its mask; it then shows every pixel by its alpha.
    const bool hasMask = size - maskAt >= maskStride * std::size_t(height);
    if (!hasMask && bpp != 32) return false;

    out.width = width;
    out.height = height;
    out.colour.assign(std::size_t(width) * std::size_t(height), 0);
    out.mask.assign(out.colour.size(), 0);
    out.alpha = false;
    auto tableColour = [&](std::size_t index) -> std::uint32_t {
        if (index >= colours) return 0xFF000000u;
        const BYTE* q = data + table + index * 4;
        return 0xFF000000u | std::uint32_t(q[2]) << 16 | std::uint32_t(q[1]) << 8 | q[0];
    };
    for (int y = 0; y < height; ++y) {
        const BYTE* row = data + rowsAt + stride * std::size_t(height - 1 - y);
        const BYTE* maskRow = data + maskAt + maskStride * std::size_t(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            std::uint32_t c = 0;
            switch (bpp) {
            case 1:
                c = tableColour((row[x / 8] >> (7 - x % 8)) & 1);
                break;
            case 4:
                c = tableColour((row[x / 2] >> (x % 2 ? 0 : 4)) & 15);
                break;
            case 8:
                c = tableColour(row[x]);
                break;
            case 24: {
                const BYTE* q = row + x * 3;
                c = 0xFF000000u | std::uint32_t(q[2]) << 16 | std::uint32_t(q[1]) << 8 | q[0];
                break;
            }
            default:
                c = u32(row + x * 4);
                if (c >> 24) out.alpha = true;
                break;
            }
            const std::size_t at = std::size_t(y) * std::size_t(width) + std::size_t(x);
            out.colour[at] = c;
            out.mask[at] = hasMask ? (maskRow[x / 8] >> (7 - x % 8)) & 1 : 0;
        }
    }
    // A 32-bit image whose alpha is all zero is an old-style one: opaque where the mask says.
    if (bpp == 32 && !out.alpha) {
        if (!hasMask) return false;
        for (std::uint32_t& c : out.colour)
            c |= 0xFF000000u;
    }
    return true;
}

bool ChooseIconEntry(const BYTE* data, std::size_t size, int cx, int cy, IconDirectory& kind,
                     std::uint32_t& entry, std::uint32_t& bytes, int& width, int& height) {
    if (!data || size < 6 || u16(data) != 0 || u16(data + 2) != 1) return false;
    const std::size_t count = u16(data + 4);
    if (count == 0) return false;
    std::size_t step = 0;
    if (size == 6 + 14 * count) {
        kind = IconDirectory::group;
        step = 14;
    } else if (size >= 6 + 16 * count) {
        kind = IconDirectory::file;
        step = 16;
    } else {
        return false;
    }
    long best = -1;
    int bestDepth = -1;
    for (std::size_t i = 0; i < count; ++i) {
        const BYTE* e = data + 6 + i * step;
        const int w = e[0] ? e[0] : 256, h = e[1] ? e[1] : 256;
        int depth = u16(e + 6);
        if (depth == 0) depth = e[2] == 2 ? 1 : e[2] == 16 ? 4 : 8;
        const std::uint32_t length = u32(e + 8);
        std::uint32_t at = 0;
        if (kind == IconDirectory::file) {
            at = u32(e + 12);
            if (at > size || length > size - at) continue;
        } else {
            at = u16(e + 12);
        }
        // Without a size asked for, the first image.
        const long cost =
            cx <= 0 || cy <= 0 ? long(i) : std::labs(long(w) - cx) + std::labs(long(h) - cy);
        if (best < 0 || cost < best || (cost == best && depth > bestDepth && cx > 0 && cy > 0)) {
            best = cost;
            bestDepth = depth;
            entry = at;
            bytes = length;
            width = w;
            height = h;
        }
    }
    return best >= 0;
}

namespace {

constexpr std::uint32_t kBlack = 0xFF000000u, kWhite = 0xFFFFFFFFu, kRed = 0xFFFF0000u,
                        kYellow = 0xFFFFFF00u, kBlue = 0xFF0000FFu, kNavy = 0xFF000080u,
                        kGrey = 0xFF808080u;

// Shapes in a 32 x 32 square, tested at pixel centres.
bool inCircle(int x, int y, double cx, double cy, double r) {
    const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
    return dx * dx + dy * dy <= r * r;
}
bool inEllipse(int x, int y, double cx, double cy, double rx, double ry) {
    const double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
    return dx * dx + dy * dy <= 1.0;
}
bool inTriangle(int x, int y) { // apex at the top middle, base on row 30
    if (y < 1 || y > 30) return false;
    const double half = (y - 1 + 1.0) * 16.0 / 30.0;
    return std::abs(x + 0.5 - 16.0) <= half;
}
bool inBalloon(int x, int y) {
    if (inEllipse(x, y, 16.0, 13.0, 15.0, 12.0)) return true;
    // The tail, down and left from the balloon's bottom.
    return y >= 22 && y <= 30 && x >= 6 + (y - 22) / 2 && x <= 13 - (y - 22);
}

// A glyph of rows of '#' drawn at (left, top), each cell 2 x 2 pixels.
void glyph(IconPicture& p, const char* const* rows, int count, int left, int top,
           std::uint32_t colour) {
    for (int r = 0; r < count; ++r)
        for (int c = 0; rows[r][c]; ++c)
            if (rows[r][c] == '#')
                for (int dy = 0; dy < 2; ++dy)
                    for (int dx = 0; dx < 2; ++dx) {
                        const int x = left + 2 * c + dx, y = top + 2 * r + dy;
                        if (x >= 0 && x < 32 && y >= 0 && y < 32)
                            p.colour[std::size_t(y * 32 + x)] = colour;
                    }
}

// Fills the shape and draws its edge (inside pixels with a neighbour outside) in black.
template <class Inside> void shape(IconPicture& p, Inside inside, std::uint32_t fill) {
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            if (!inside(x, y)) continue;
            const bool edge =
                !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
            const std::size_t at = std::size_t(y * 32 + x);
            p.colour[at] = edge ? kBlack : fill;
            p.mask[at] = 0;
        }
}

} // namespace

IconPicture SystemIconPicture(UINT id) {
    IconPicture p;
    if (id < 32512 || id > 32517) return p;
    p.width = p.height = 32;
    p.colour.assign(32 * 32, 0);
    p.mask.assign(32 * 32, 1);
    switch (id) {
    case 32513: { // stop: a red disc with a white cross
        shape(
            p, [](int x, int y) { return inCircle(x, y, 16.0, 16.0, 15.0); }, kRed);
        for (int y = 9; y < 23; ++y)
            for (int x = 9; x < 23; ++x)
                if (std::abs(x - y) <= 1 || std::abs(x + y - 31) <= 1)
                    p.colour[std::size_t(y * 32 + x)] = kWhite;
        break;
    }
    case 32515: { // warning: a yellow triangle with a black "!"
        shape(p, inTriangle, kYellow);
        for (int y = 10; y < 22; ++y)
            for (int x = 15; x < 17; ++x)
                p.colour[std::size_t(y * 32 + x)] = kBlack;
        for (int y = 24; y < 27; ++y)
            for (int x = 15; x < 17; ++x)
                p.colour[std::size_t(y * 32 + x)] = kBlack;
        break;
    }
    case 32514: { // question: a white balloon with a blue "?"
        shape(p, inBalloon, kWhite);
        static const char* const mark[] = {" ### ", "#   #", "    #", "   # ",
                                           "  #  ", "  #  ", "     ", "  #  "};
        glyph(p, mark, 8, 11, 5, kBlue);
        break;
    }
    case 32516: { // information: a white balloon with a blue "i"
        shape(p, inBalloon, kWhite);
        static const char* const mark[] = {"##", "  ", "##", "##", "##", "##", "##", "##"};
        glyph(p, mark, 8, 14, 5, kBlue);
        break;
    }
    default: { // the application: a window with a blue title bar
        shape(
            p, [](int x, int y) { return x >= 2 && x < 30 && y >= 4 && y < 28; }, kWhite);
        for (int y = 5; y < 9; ++y)
            for (int x = 3; x < 29; ++x)
                p.colour[std::size_t(y * 32 + x)] = kNavy;
        for (int x = 3; x < 29; ++x)
            p.colour[std::size_t(9 * 32 + x)] = kGrey;
        break;
    }
    }
    return p;
}

} // namespace sdgdi
