#pragma once
// A Plotter for driver tests: the plot library's binding reduced to what drivers call back.
// IsAborted counts its polls and can turn the aborted flag on at a given poll.

#include <plot/Plotter.h>

class TestPlotter : public Plotter {
public:
    int IsAborted() override;

    int polls = 0;
    int abortAtPoll = 0; // 0: never
};
