#pragma once

class OutStream;
class Path;

// Bezier records (kind byte, x and y as little-endian floats) of every sub-path, coordinates
// multiplied by sx and sy. 0, or -1 when the stream did not take every byte.
int WriteBinaryOutline(OutStream& out, const Path& path, float sx, float sy);
// One 9-byte record. 0, or -1 when the stream did not take every byte.
int WriteOutlineRecord(OutStream& out, int kind, float x, float y);
