#pragma once
// A path with what output needs: an RGB colour, a layer and a few flags.

#include <cstdint>

#include "pathkit/Path.h"
#include "pathkit/export.h"

// Bits of ColorPath::pathFlags.
enum : std::uint16_t {
    CP_LINES_ONLY = 0x1,
    CP_SHEET_BORDER = 0x2,
    CP_USED = 0x4,
    CP_HAS_SELECTION = 0x8,
};

// Copy construction is deep; assignment transfers the geometry like Path's and copies the
// colour, layer and flags.
class PATHKIT_API ColorPath : public Path {
public:
    // All ones: no colour.
    static constexpr std::uint32_t NoColour = 0xFFFFFFFF;

    // Empty, accuracy Path::DefAccuracy, no colour, layer 1, no flags.
    ColorPath();
    ColorPath(const ColorPath& other);
    ColorPath(ColorPath&& other) noexcept;
    ColorPath& operator=(ColorPath& other) noexcept;
    ColorPath& operator=(ColorPath&& other) noexcept;
    ~ColorPath() = default;

    // Takes over the geometry of source (both are closed first); this path's sub-paths are
    // freed and source is left empty. Colour, layer and flags stay.
    ColorPath& operator<<(Path& source);

    ColorPath& This() { return *this; }

    bool IsBorder() const { return pathFlags & CP_SHEET_BORDER; }
    bool IsUsed() const { return pathFlags & CP_USED; }
    bool HasSelection() const { return pathFlags & CP_HAS_SELECTION; }

    std::uint32_t colour; // 0x00BBGGRR
    std::int16_t layer;
    std::uint16_t pathFlags;
};
