#pragma once
// The line-and-arc record file: a 32-byte header, then records of a type byte, one byte
// not used and the type's payload of little-endian IEEE singles: 1 line (x1 y1 x2 y2),
// 2 clockwise and 3 counter-clockwise arc (x1 y1 x2 y2 cx cy, one value not used); other
// types have no payload.

#include "converters/OutlineHandOff.h"

namespace kb {

constexpr int HeaderSize = 32;

// Reads the records into outline points in tenths of a unit, moved into the non-negative
// range first and halved until every coordinate is at most 9999. Records holding values that
// are not finite are passed over. False when the source is shorter than its header.
bool ReadLineArcFile(InStream& in, long size, preconv::Points& points);

} // namespace kb
