#pragma once
// Test bitmaps, packed bitmap blocks and the re-rasteriser of the tracer's tests.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <pathkit/Path.h>
#include <traceconv/DIB.h>

class AbortHandler;

// One byte per pixel, rows in storage order (row 0 is scan line 0). For 1-bit bitmaps a
// non-zero byte is a traced (0) bit.
struct Pixels {
    int w = 0, h = 0;
    std::vector<std::uint8_t> px;
    Pixels() = default;
    Pixels(int width, int height) : w(width), h(height), px(std::size_t(width) * height, 0) {}
    std::uint8_t& at(int x, int y) { return px[std::size_t(y) * w + x]; }
    std::uint8_t at(int x, int y) const { return px[std::size_t(y) * w + x]; }
    long Count() const;
};

// Rows of text, '#' traced.
Pixels FromText(const std::vector<std::string>& rows);

// A packed 1-bit bitmap (info header, black and white table) in a movable block: traced
// pixels are 0 bits.
HDIB MakeMonoDib(const Pixels& p);
// A packed 4- or 8-bit bitmap with the given colour table (COLORREF) and indices.
HDIB MakeIndexedDib(int bits, const Pixels& indices, const std::vector<COLORREF>& palette);

// Glyph lines rendered by FreeType in mono, black on white, with a margin.
Pixels RenderText(const std::string& fontFile, int pixelSize, const std::string& text);
// The generated "scanned" logo: rings, a star and lettering, blurred, thresholded and speckled
// with a fixed seed.
Pixels ScannedLogo(int w, int h, unsigned seed);

// Re-rasterises the path's sub-paths (half-pixel units) with FreeType's outline rasteriser,
// mono, pixel centres: each contour alone, combined by XOR.
Pixels Rasterise(const Path& path, int w, int h);
// Pixels that differ.
long XorCount(const Pixels& a, const Pixels& b);
// Largest distance (pixels) of a differing pixel's centre from the source's edges between
// ink and background.
double XorDistanceFromEdges(const Pixels& source, const Pixels& traced);

// Each sub-path as a closed polyline in pixel units, curves in pieces of at most a tenth of
// a pixel from the curve.
std::vector<std::vector<std::pair<double, double>>> Polylines(const Path& path);
// Net area in pixels of the flattened sub-paths (signed areas summed: holes run the other way).
double NetArea(const Path& path);
// Perimeter in pixels of the flattened sub-paths.
double Perimeter(const Path& path);
// The largest distance (pixels) from a point of one path's outlines to the other's, both
// ways: `outward` from `fitted` to `exact`, `inward` from `exact` to `fitted`. The exact
// outlines are those the same minimum size leaves.
struct OutlineDistance {
    double outward = 0, inward = 0;
    double outwardAt[2] = {0, 0}, inwardAt[2] = {0, 0}; // where they are, pixels
    double Max() const { return outward > inward ? outward : inward; }
};
OutlineDistance MeasureOutlineDistance(const Path& fitted, const Path& exact);

// Even-odd area of the sub-paths' polygons (lines only; half-pixel units squared / 4 =
// pixels).
double PolygonArea(const Path& path);
// The corner points of each sub-path (member starts).
std::vector<std::vector<std::pair<int, int>>> Rings(const Path& path);

std::string FontFile(const std::string& name);

struct NamedBitmap {
    std::string name;
    Pixels pixels;
};
// The bitmaps every tracing test runs over: glyphs of three fonts at 8, 12, 24 and 72
// pixels, the scanned logo, one-pixel lines, one-pixel holes and a checkerboard.
const std::vector<NamedBitmap>& TestSet();

// The trace settings' default preset: bump width 10, step length 3, minimum size 3,
// tolerance 0.5, every switch on, both angles 5 degrees.
void SetDefaultPreset(AbortHandler* handler = nullptr);
