#pragma once
// The process's one FreeType library and the lock every use of it takes.

#include <ft2build.h> // IWYU pragma: keep
#include FT_FREETYPE_H

#include <mutex>

namespace fontface {

std::mutex& FreeTypeLock();
// Null when FreeType could not start. Call with FreeTypeLock held.
FT_Library FreeTypeLibrary();

} // namespace fontface
