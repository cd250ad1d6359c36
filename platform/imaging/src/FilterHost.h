#pragma once
// The file library's side of the raster filter modules: finding them, asking them and filling
// toolkit bitmaps from their rows.

#include <vector>

#include <imaging/KovaFilter.h>

namespace imaging {

// Describes the file through the modules in recognition order; IMG_ERR_FORMAT when none
// answers. The cause names a module missing for the file's extension.
int FilterInfo(const char* path, KOVAFLTINFO& info);
// Loads the file through the module that recognises it, at its own depth.
int FilterLoad(const char* path, KOVABITMAP* bitmap, int page);
// True for the codes saved by a module.
bool FilterSaves(int format);
int FilterSave(const char* path, KOVABITMAP* bitmap, int format, int bits, int quality);
void SetFilterCause(const char* text);

} // namespace imaging
