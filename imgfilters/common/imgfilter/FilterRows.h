#pragma once
// Rows as modules hand them to the host: padded to 32 bits, one call a row.

#include <cstdint>

#include "imaging/KovaFilter.h"

// Bytes of one row of `bits` per pixel, padded to 32 bits.
inline DWORD PaddedStride(int width, int bits = 1) {
    return DWORD((std::uint64_t(width) * unsigned(bits) + 31) / 32 * 4);
}

// Hands row y of `height` to the load's callback; 1 goes on, anything else ends the load.
inline int DeliverRow(const KOVAFLTLOADREQUEST* request, KOVAFLTBITMAP* bitmap, const BYTE* row,
                      int y, int height) {
    const int flags = 3 | (y == 0 ? 4 : 0) | (y == height - 1 ? 8 : 0);
    return request->callback(request->user, bitmap, row, flags, y, 1, request->page);
}
