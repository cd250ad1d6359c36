#pragma once
// The size and bounds rules of enhanced-metafile records, kept once for every reader of the
// format: the player, the loader and the path library's reader ask here whether a record's
// contents lie inside it.

#include <cstdint>

#include "win32/wingdi_meta.h"

// Whether the record of `size` bytes (type and size fields included, the whole record
// readable) holds what its type needs: the fixed part, and its counted points, polygon sizes,
// strings, spacing arrays, bitmaps and data blocks, each inside the record. Types without a
// rule (those nothing reads beyond the type) fit.
WIN32_API bool SdEnhMetaRecordFits(const BYTE* record, DWORD size);

// Whether the bitmap a record carries claims no more than the record gives it: a header
// (at least a BITMAPINFOHEADER, of positive width and non-zero height) whose size and colour
// table lie within its cbBmi bytes, and bits within cbBits bytes for the whole picture, or
// with scans >= 0 for the scans from `start` on. `header` has cbBmi bytes to read.
WIN32_API bool SdEnhMetaDibFits(const BYTE* header, DWORD cbBmi, DWORD cbBits, UINT usage,
                                UINT start = 0, std::int64_t scans = -1);
