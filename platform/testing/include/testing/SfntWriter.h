#pragma once
// A tiny TrueType font writer for fixtures: glyphs given as contours of on- and off-curve
// points, a Unicode (or symbol) character map, the names, weight, style and vertical
// metrics that font enumeration and outlines depend on.

#include <cstdint>
#include <string>
#include <vector>

struct SfntPoint {
    int x;
    int y;
    bool on; // on-curve; off-curve points are quadratic control points
};

class SfntWriter {
public:
    SfntWriter(std::string family, std::string style, int unitsPerEm = 1000);

    // Glyph for a character (Unicode, or the symbol map's code when `symbol` is set). The
    // left side bearing is the outline's left edge.
    void AddGlyph(std::uint32_t code, const std::vector<std::vector<SfntPoint>>& contours,
                  int advance);

    std::vector<std::uint8_t> Bytes() const;
    // Writes the font file; false on failure.
    bool Write(const std::string& path) const;

    int winAscent = 800;
    int winDescent = 200;
    int weight = 400;
    bool italic = false;
    bool symbol = false;         // the character map is the symbol map (3, 0)
    std::uint32_t codePages = 1; // ulCodePageRange1: bit 0 Latin 1, 17 Japanese, 31 symbol
    int hheaAscent = 750;
    int hheaDescent = -250;

private:
    struct Glyph {
        std::uint32_t code;
        std::vector<std::vector<SfntPoint>> contours;
        int advance;
    };
    std::string family_;
    std::string style_;
    int unitsPerEm_;
    std::vector<Glyph> glyphs_; // after .notdef
};
