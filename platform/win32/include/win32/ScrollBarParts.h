#pragma once
// Where the parts of a scroll bar lie along its length: the two arrow boxes at the ends, the
// thumb on the track between them, and which part a point falls on. The one rule for window
// scroll bars, the ScrollBar control, their painting and their hit tests.

#include <algorithm>
#include <cstdint>

#include "win32/base.h"

struct SdScrollParts {
    int length = 0;     // the whole bar
    int arrow = 0;      // each arrow box (shorter when the bar is short)
    int thumbStart = 0; // from the bar's start; no thumb when thumbLength is 0
    int thumbLength = 0;
};

// The thumb is nPage / range of the track, at least 8 pixels; no thumb when the track is
// shorter than that or the range empty. Positions beyond the range are clamped.
inline SdScrollParts SdScrollBarParts(int length, int arrow, int minPos, int maxPos, UINT page,
                                      int pos) {
    SdScrollParts p;
    p.length = std::max(0, length);
    p.arrow = std::min(arrow, p.length / 2);
    const int track = p.length - 2 * p.arrow;
    const std::int64_t range = std::int64_t(maxPos) - minPos + 1;
    if (track <= 8 || range <= 0) return p;
    const std::int64_t pages = std::max<std::int64_t>(1, page);
    const int thumb =
        page ? int(std::clamp<std::int64_t>(track * std::int64_t(page) / range, 8, track)) : 8;
    const std::int64_t span = std::max<std::int64_t>(1, range - pages);
    const std::int64_t at = std::clamp<std::int64_t>(std::int64_t(pos) - minPos, 0, span);
    p.thumbLength = thumb;
    p.thumbStart = p.arrow + int((track - thumb) * at / span);
    return p;
}

// The scroll code of a press at `at` along the bar: SB_LINEUP / SB_LINEDOWN on the arrows,
// SB_PAGEUP / SB_PAGEDOWN on the track before or after the thumb, SB_THUMBTRACK on the
// thumb, -1 outside.
inline int SdScrollBarHit(const SdScrollParts& p, int at) {
    if (at < 0 || at >= p.length) return -1;
    if (at < p.arrow) return 0;             // SB_LINEUP
    if (at >= p.length - p.arrow) return 1; // SB_LINEDOWN
    if (p.thumbLength == 0) return at < p.length / 2 ? 2 : 3;
    if (at < p.thumbStart) return 2;                  // SB_PAGEUP
    if (at >= p.thumbStart + p.thumbLength) return 3; // SB_PAGEDOWN
    return 5;                                         // SB_THUMBTRACK
}

// The position a thumb dragged to start at `thumbStart` (from the bar's start) stands for: the
// inverse of SdScrollBarParts, the thumb kept on the track, the nearest position taken.
inline int SdScrollTrackPos(const SdScrollParts& p, int minPos, int maxPos, UINT page,
                            int thumbStart) {
    const std::int64_t range = std::int64_t(maxPos) - minPos + 1;
    const int room = p.length - 2 * p.arrow - p.thumbLength;
    if (p.thumbLength == 0 || range <= 0 || room <= 0) return minPos;
    const std::int64_t span = std::max<std::int64_t>(1, range - std::max<std::int64_t>(1, page));
    const std::int64_t along = std::clamp(thumbStart - p.arrow, 0, room);
    return int(minPos + (along * span + room / 2) / room);
}
