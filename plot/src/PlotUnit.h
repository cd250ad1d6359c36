#pragma once
// The unit record the Plotter's unit slots use: the host's current unit, handed over when a
// plot starts (built-in units only).

#include <settings/CUnit.h>

extern CUnit PlotUnit;
