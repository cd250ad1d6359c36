#include "HalfToneTable.h"

namespace {

struct Table {
    BYTE v[256][4];
};

constexpr void Put(Table& t, int i, BYTE a, BYTE b, BYTE c) {
    t.v[i][0] = a;
    t.v[i][1] = b;
    t.v[i][2] = c;
    t.v[i][3] = 0;
}

constexpr Table Build() {
    Table t{};
    const BYTE low[10][3] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                             {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                             {192, 220, 192}, {166, 202, 240}};
    for (int i = 0; i < 10; ++i)
        Put(t, i, low[i][0], low[i][1], low[i][2]);
    for (int k = 0; k < 6; ++k)
        for (int j = 0; j < 6; ++j)
            for (int i = 0; i < 6; ++i)
                Put(t, kCubeBase + i + 6 * j + 36 * k, kCubeLevels[i], kCubeLevels[j],
                    kCubeLevels[k]);
    for (int n = 0; n < 16; ++n)
        Put(t, kGreyBase + n, BYTE(17 * n), BYTE(17 * n), BYTE(17 * n));
    for (int i = 242; i < 246; ++i)
        Put(t, i, 0, 0, 0);
    const BYTE high[10][3] = {{255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},
                              {0, 255, 0},     {255, 255, 0},   {0, 0, 255},     {255, 0, 255},
                              {0, 255, 255},   {255, 255, 255}};
    for (int i = 0; i < 10; ++i)
        Put(t, 246 + i, high[i][0], high[i][1], high[i][2]);
    return t;
}

constexpr Table kTable = Build();

} // namespace

const BYTE (&kHalfToneTable)[256][4] = kTable.v;
