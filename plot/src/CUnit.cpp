#include "CUnit.h"

CUnit PlotUnit;

double CUnit::FromMM(float mm, int u) const {
    switch (Resolve(u)) {
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
    switch (Resolve(u)) {
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
    switch (Resolve(u)) {
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
