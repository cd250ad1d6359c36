#pragma once
// Colour reduction: a picture at another depth, with a palette of its own (median cut) or a
// fixed one, without dithering, ordered or by error diffusion.

#include "Picture.h"

namespace imaging {

enum class Dither { None, Ordered, Diffusion };
enum class PaletteKind { Optimised, Fixed };

struct Reduction {
    int bits = 8;     // 1, 4, 8, 16 (5-5-5 levels in 24-bit pixels) or 24
    int colors = 256; // at most 2^bits; fewer than 2 count as 2
    Dither dither = Dither::None;
    PaletteKind palette = PaletteKind::Optimised;
};

int Reduce(const PictureView& source, const Reduction& how, Picture& out);

} // namespace imaging
