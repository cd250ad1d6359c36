#pragma once
// The plot library's binding as driver tests need it: the driver contract's owner with the
// slots answered plainly. IsAborted counts its polls and can turn the aborted flag on at a
// given poll.

#include <plotterdriver/DriverOwner.h>

class TestPlotter : public DriverOwner {
public:
    int IsAborted() override;
    float MMToUnit(float mm) override { return mm; }
    float UnitToMM(float value) override { return value; }
    const char* UnitName() override { return "mm"; }
    void GetPlotSize(float& width, float& height) override { width = height = 1000; }

    int polls = 0;
    int abortAtPoll = 0; // 0: never
};
