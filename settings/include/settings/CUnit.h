#pragma once
// Display units of lengths. Lengths are held in millimetres; the user sees them in the
// current unit: one of the built-in units or, once "Units.cfg" gave any, one of the table's.

#include <cstdint>

class CUnit {
public:
    enum { MM = 0, CM = 1, INCH = 2, PIXELS = 3, CUSTOM = 4 };

    // unit -1 means the current unit. An unknown unit (past the built-in list or the table)
    // leaves the value unchanged.
    double FromMM(float mm, int unit = -1) const;
    double ToMM(float value, int unit = -1) const;
    // Empty for an unknown unit.
    const char* GetName(int unit = -1) const;
    // The first unit with exactly this many millimetres per unit; empty when none.
    const char* GetNameByFactor(float factor) const;

    std::uint32_t unit = MM;
    float mmPerUnit = 0.16933334f; // units 3 and 4: 150 per inch
    const char* customName = "unit";

private:
    int Resolve(int u) const { return u < 0 ? int(unit) : u; }
};

// The program's unit.
extern CUnit AppUnit;

// The unit table read from "Units.cfg"; in force while it holds a unit.
std::uint16_t GetUnitTableCount();
// Replaces the table with the file's units (entries without a name or factor are skipped).
// A current unit past the new table becomes 0.
void LoadUnitTable(const char* path);
void AddUnitToTable(const char* name, float mmPerUnit);

// Conversions through AppUnit in its current unit.
double MmToCurrentUnit(float mm);
double CurrentUnitToMm(float value);

