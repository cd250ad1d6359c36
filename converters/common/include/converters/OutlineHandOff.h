#pragma once
// What the pre-converters share: their point list, its reduction to the outline record
// file's range, the file itself, and the hand-off to conv-fot through a temporary file.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class AbortHandler;
class InStream;

namespace preconv {

// A point of the working list; a contour break is flags 0 with x = y = all ones.
struct Point {
    unsigned char flags;
    std::uint32_t x, y;

    static Point Break() { return {0, 0xFFFFFFFFu, 0xFFFFFFFFu}; }
    bool IsBreak() const { return x == 0xFFFFFFFFu && y == 0xFFFFFFFFu; }
};
using Points = std::vector<Point>;

// Halves every coordinate of the points that are not breaks (as often as needed at once)
// until none is above the limit.
void ScaleDown(Points& points, std::uint32_t limit);

// The outline record file: per point the flags byte, x and y as big-endian 16-bit values
// (breaks become 0xFFFF, 0xFFFF), then the end byte 0x80. Coordinates must fit 16 bits.
std::string OutlineRecords(const Points& points);

// Reads a source into points; false when it cannot be read or is not of its format.
using SourceReader = std::function<bool(InStream& in, long size, Points& points)>;

// Convert of a pre-converter: reads the source, writes the outline record file into a
// temporary file named with the prefix "FOT", binds conv-fot as "FOT2BEZ.dll" and runs its
// Convert with the progress passed on. The temporary file is deleted on every path. -1 when
// the source cannot be read or is not recognised (conv-fot is then not called), the temporary
// file cannot be made or written, or conv-fot cannot be bound; else conv-fot's result.
int ConvertThroughOutline(const char* source, const char* target, AbortHandler* progress,
                          const SourceReader& read);

} // namespace preconv
