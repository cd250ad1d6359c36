#pragma once
// The raster file extensions the imaging toolkit reads and writes.

// 1 when the extension (without the dot, any case) is one of the 23 raster extensions.
int IsRasterExtension(const char* extension);
