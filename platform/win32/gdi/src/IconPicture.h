#pragma once
// An icon's picture: read from a resource module's icon resources (a whole .ico file, or a
// group directory naming RT_ICON entries, or one RT_ICON image) or painted for a system icon.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "win32/base.h"

namespace sdgdi {

struct IconPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> colour; // 0xAARRGGBB, top row first
    std::vector<std::uint8_t> mask;    // 1 where the background shows (the AND mask)
    bool alpha = false; // the colour's alpha is blended (a 32-bit image that has one)
};

// One icon image: BITMAPINFOHEADER (height counting colour and mask rows), colours, the
// colour rows, the mask rows; all checked against the bytes given. PNG images are refused.
bool ReadIconImage(const BYTE* data, std::size_t size, IconPicture& out);

// A directory of icon images: a .ico file (16-byte entries with offsets; `entry` is then the
// chosen image's offset and `bytes` its size) or a group resource (14-byte entries ending in
// an RT_ICON id; `entry` is that id). The image nearest cx x cy is chosen, the most colours
// among equals; the first one when cx or cy is 0. FALSE when it is neither, or empty.
enum class IconDirectory { file, group };
bool ChooseIconEntry(const BYTE* data, std::size_t size, int cx, int cy, IconDirectory& kind,
                     std::uint32_t& entry, std::uint32_t& bytes, int& width, int& height);

// The system's icon of that IDI_ id, 32 x 32; an empty picture for another id.
IconPicture SystemIconPicture(UINT id);

} // namespace sdgdi
