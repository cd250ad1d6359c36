#include "settings/CUnit.h"

#include <cmath>
#include <cstdio>

#include "settings/CIniFile.h"
#include "settings/DynArrays.h"

CUnit AppUnit;

namespace {

constexpr std::uint16_t TableStep = 50;
constexpr std::uint16_t TableLimit = 65534;

ConstStrDynArr& UnitNames() {
    static ConstStrDynArr names(TableStep, TableLimit);
    return names;
}

floatDynArr& UnitFactors() {
    static floatDynArr factors(TableStep, TableLimit);
    return factors;
}

bool TableUnit(int u) {
    return u >= 0 && u < int(UnitFactors().Filled());
}

} // namespace

double CUnit::FromMM(float mm, int u) const {
    u = Resolve(u);
    if (GetUnitTableCount() > 0)
        return TableUnit(u) ? mm / double(UnitFactors()[std::uint16_t(u)]) : double(mm);
    switch (u) {
    case MM:
        return mm;
    case CM:
        return mm * 0.1;
    case INCH:
        return mm * 0.03937007874015748;
    case PIXELS:
    case CUSTOM:
        return mm / double(mmPerUnit);
    default:
        return mm;
    }
}

double CUnit::ToMM(float value, int u) const {
    u = Resolve(u);
    if (GetUnitTableCount() > 0)
        return TableUnit(u) ? value * double(UnitFactors()[std::uint16_t(u)]) : double(value);
    switch (u) {
    case MM:
        return value;
    case CM:
        return value * 10.0;
    case INCH:
        return value * 25.4;
    case PIXELS:
    case CUSTOM:
        return value * double(mmPerUnit);
    default:
        return value;
    }
}

const char* CUnit::GetName(int u) const {
    u = Resolve(u);
    if (GetUnitTableCount() > 0) {
        const char* name = TableUnit(u) ? UnitNames()[std::uint16_t(u)] : nullptr;
        return name ? name : "";
    }
    switch (u) {
    case MM:
        return "mm";
    case CM:
        return "cm";
    case INCH:
        return "inch";
    case PIXELS:
        return "pixels";
    case CUSTOM:
        return customName ? customName : "";
    default:
        return "";
    }
}

const char* CUnit::GetNameByFactor(float factor) const {
    if (std::uint16_t n = GetUnitTableCount(); n > 0) {
        for (std::uint16_t i = 0; i < n; ++i)
            if (UnitFactors()[i] == factor) return UnitNames()[i] ? UnitNames()[i] : "";
        return "";
    }
    if (factor == 1.0f) return "mm";
    if (factor == 10.0f) return "cm";
    if (factor == 25.4f) return "inch";
    if (factor == mmPerUnit) return "pixels";
    return "";
}

std::uint16_t GetUnitTableCount() {
    return UnitFactors().Filled();
}

void AddUnitToTable(const char* name, float mmPerUnit) {
    UnitNames().AppendCopy(name);
    try {
        UnitFactors().Append(mmPerUnit);
    } catch (...) {
        UnitNames().DeleteStrings(std::uint16_t(UnitNames().Filled() - 1), 1);
        UnitNames().UnAppend();
        throw;
    }
}

void LoadUnitTable(const char* path) {
    CIniFile file(path, 1);
    UnitNames().Destroy();
    UnitFactors().Destroy();

    unsigned n = file.GetInt("Units", "NumberOfUnits", 0);
    if (n > TableLimit) n = TableLimit;
    char key[32];
    char name[80];
    for (unsigned i = 1; i <= n; ++i) {
        std::snprintf(key, sizeof key, "Name%u", i);
        file.GetString("Units", key, "", name, sizeof name);
        std::snprintf(key, sizeof key, "Unit%uPerMM", i);
        float factor = float(file.GetFloat("Units", key, 0.0));
        // A factor that is no finite positive length cannot convert anything.
        if (name[0] == '\0' || factor == 0.0f || !std::isfinite(factor)) continue;
        AddUnitToTable(name, factor);
    }
    unsigned units = GetUnitTableCount() > 0 ? GetUnitTableCount() : CUnit::CUSTOM + 1;
    if (AppUnit.unit >= units) AppUnit.unit = 0;
}

double MmToCurrentUnit(float mm) {
    return AppUnit.FromMM(mm, -1);
}

double CurrentUnitToMm(float value) {
    return AppUnit.ToMM(value, -1);
}

