#include "pathkit/ColorPath.h"

#include <utility>

ColorPath::ColorPath() : Path(0), colour(NoColour), layer(1), pathFlags(0) {}

ColorPath::ColorPath(const ColorPath& other)
    : Path(other), colour(other.colour), layer(other.layer), pathFlags(other.pathFlags) {}

ColorPath::ColorPath(ColorPath&& other) noexcept
    : Path(std::move(other)), colour(other.colour), layer(other.layer), pathFlags(other.pathFlags) {
}

ColorPath& ColorPath::operator=(ColorPath& other) noexcept {
    Path::operator=(other);
    colour = other.colour;
    layer = other.layer;
    pathFlags = other.pathFlags;
    return *this;
}

ColorPath& ColorPath::operator=(ColorPath&& other) noexcept {
    return *this = other;
}

ColorPath& ColorPath::operator<<(Path& source) {
    ClosePath();
    source.ClosePath();
    // The transfer frees this path's sub-paths and leaves the source owning nothing.
    Path::operator=(source);
    return *this;
}
