#include "shared/RasterExtensions.h"

#include <strings.h>

namespace {
// In this order; "eps" and "wmf" are listed although their own readers come first where a
// caller dispatches on them.
constexpr const char* RasterExtensions[] = {
    "cmp", "cal", "img", "ica", "jpg", "jff", "jtf", "pct", "mac", "msp", "pcd", "pcx",
    "eps", "ras", "tga", "tif", "wmf", "bmp", "fxs", "wpg", "rle", "png", "psd",
};
} // namespace

int IsRasterExtension(const char* extension) {
    if (extension == nullptr) return 0;
    for (const char* ext : RasterExtensions) {
        if (strcasecmp(extension, ext) == 0) return 1;
    }
    return 0;
}
