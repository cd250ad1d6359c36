#pragma once
// The plot library's copy of the host's length-unit record: the built-in units only, until
// the plot sheet copies the host's unit table.

class CUnit {
public:
    enum { MM = 0, CM = 1, INCH = 2, PIXELS = 3, CUSTOM = 4 };

    // unit -1 means the current unit. An unknown unit leaves the value unchanged.
    double FromMM(float mm, int unit = -1) const;
    double ToMM(float value, int unit = -1) const;
    // Empty for an unknown unit.
    const char* GetName(int unit = -1) const;

    unsigned unit = MM;
    float mmPerUnit = 0.16933334f; // units 3 and 4: 150 per inch
    const char* customName = "unit";

private:
    int Resolve(int u) const { return u < 0 ? int(unit) : u; }
};

// The record that the Plotter's unit slots use.
extern CUnit PlotUnit;
