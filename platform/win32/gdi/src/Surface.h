#pragma once
// A raster surface: rows of 1, 4, 8, 24 or 32-bit pixels, top-down or bottom-up, with a
// colour table for the palette formats. Raw pixel values are colour indices (palette
// formats) or 0x00RRGGBB (24 and 32 bits, as B, G, R bytes in memory).

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "win32/wingdi.h"

namespace sdgdi {

class Surface {
public:
    // Fails (returns null) for a bad format or a size whose bytes overflow; the pixels are
    // set to zero.
    static std::shared_ptr<Surface> create(int width, int height, int bitsPerPixel, bool topDown);
    // A surface over memory owned by someone else (a DIB the caller passed in). The memory
    // must hold stride × height bytes.
    static std::shared_ptr<Surface> wrap(int width, int height, int bitsPerPixel, bool topDown,
                                         void* bits);
    // Row stride for a width and depth, rows padded to 4 bytes; 0 on overflow.
    static std::int64_t strideFor(std::int64_t width, int bitsPerPixel);

    int width() const { return width_; }
    int height() const { return height_; }
    int bitsPerPixel() const { return bpp_; }
    bool topDown() const { return topDown_; }
    int stride() const { return stride_; }
    std::uint8_t* bits() { return bits_; }
    const std::uint8_t* bits() const { return bits_; }
    bool indexed() const { return bpp_ <= 8; }
    // Mask of the bits a raw value has.
    std::uint32_t rawMask() const { return bpp_ >= 24 ? 0xFFFFFFu : (1u << bpp_) - 1; }

    // Device-dependent monochrome bitmaps turn into text and background colours when blitted
    // to colour; DIB sections use their colour table.
    bool monoDdb = false;

    std::uint8_t* row(int y) {
        return bits_ + std::size_t(topDown_ ? y : height_ - 1 - y) * std::size_t(stride_);
    }
    const std::uint8_t* row(int y) const {
        return bits_ + std::size_t(topDown_ ? y : height_ - 1 - y) * std::size_t(stride_);
    }
    std::uint32_t get(int x, int y) const;
    void set(int x, int y, std::uint32_t raw);
    // Fills pixels [x0, x1) of row y with one raw value.
    void fillRow(int y, int x0, int x1, std::uint32_t raw);

    // Colour table (palette formats).
    const std::vector<RGBQUAD>& colors() const { return colors_; }
    void setColors(const std::vector<RGBQUAD>& colors);
    void setColor(int index, RGBQUAD c);

    // The raw value nearest to a colour (palette: the nearest entry, first of equals).
    std::uint32_t rawFromColor(COLORREF color) const;
    COLORREF colorFromRaw(std::uint32_t raw) const;

    void fill(std::uint32_t raw);

private:
    Surface() = default;
    int width_ = 0;
    int height_ = 0;
    int bpp_ = 0;
    bool topDown_ = true;
    int stride_ = 0;
    std::uint8_t* bits_ = nullptr;
    std::vector<std::uint8_t> owned_;
    std::vector<RGBQUAD> colors_;
    mutable std::unordered_map<COLORREF, std::uint32_t> nearest_;
};

// The default colour table of an indexed surface of that depth: black and white for 1 bit,
// the sixteen standard colours for 4 bits, the system palette for 8 bits.
std::vector<RGBQUAD> defaultColors(int bitsPerPixel);
// The twenty static colours of the system palette (entries 0..9 and 246..255).
const std::vector<RGBQUAD>& systemStaticColors();

inline RGBQUAD quadOf(COLORREF c) {
    return RGBQUAD{GetBValue(c), GetGValue(c), GetRValue(c), 0};
}
inline COLORREF colorOf(RGBQUAD q) {
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

} // namespace sdgdi
