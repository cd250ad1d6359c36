#pragma once
// Outline records of two widths, told apart by the file's last six bytes: the end byte 0x80
// after a final break whose coordinates are all ones. 16-bit: flags, x, y as big-endian
// unsigned 16-bit values; 32-bit: flags, x, y as little-endian 32-bit values.

#include "converters/OutlineHandOff.h"

namespace tmrecords {

enum class Variant { Unknown, Bits16, Bits32 };

// The variant from the last six bytes (the stream is left at its start).
Variant TellVariant(InStream& in);

// Reads the records into outline points with one break after every contour, contours whose
// ends lie less than 4 apart in x and y closed exactly. 32-bit coordinates are moved into the
// non-negative range and halved until at most 9999; 16-bit ones halved until they fit the
// outline record file (at most 32767). False for a file of neither variant.
bool ReadOutlineRecords(InStream& in, long size, preconv::Points& points);

} // namespace tmrecords
