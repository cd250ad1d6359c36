#pragma once
// The unit record the Plotter's unit slots use: the host's current unit, handed over when a
// plot starts (built-in units only).

#include <shell/CUnit.h>

extern CUnit PlotUnit;
