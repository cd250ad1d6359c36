#pragma once
// The layout of the font-editing page, one for the whole program (world units): the base line
// at y = A and the cap line at y = B, N cells of width C after a margin D.

struct FontEditLayout {
    static inline float A = 100.0f;
    static inline float B = 200.0f;
    static inline int N = 6;
    static inline float C = 100.0f;
    static inline float D = 10.0f;
};
