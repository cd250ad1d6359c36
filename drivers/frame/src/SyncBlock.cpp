#include "driverframe/SyncBlock.h"

#include <cmath>

#include <settings/CIniFile.h>

#include "driverframe/Saturate.h"

namespace {

// floor(mm * 40 + 0.5) when that lies in [low, high]; the check is made before any
// conversion, so a garbled value cannot overflow.
bool Units(double mm, long low, long high, long& out) {
    double units = std::floor(mm * 40.0 + 0.5);
    if (!(units >= double(low) && units <= double(high))) return false;
    out = long(units);
    return true;
}

} // namespace

bool SyncBlock::Read(const char* plotIniPath) {
    CIniFile ini(plotIniPath);
    const char* s = "Sync";
    if (int(ini.GetInt(s, "Type", 0)) != 5) return false;
    // The lengths are single-precision values, as the plot library stores them.
    auto mm = [&](const char* key) { return double(NarrowToFloat(ini.GetFloat(s, key, 0.0))); };
    int count = int(ini.GetInt(s, "XNum", 2));
    if (!Units(mm("XSize"), 48, 400, values[0]) || !Units(mm("YSize"), 48, 400, values[1]) ||
        !Units(mm("XDist"), 1200, 52000, values[2]) ||
        !Units(mm("YDist"), 1200, 64000, values[3]) || count < 2 || count > 64)
        return false;
    values[4] = count;
    return true;
}

std::string SyncBlock::PlotIniBeside(const std::string& devicesIniPath) {
    std::string::size_type slash = devicesIniPath.find_last_of("/\\");
    if (slash == std::string::npos) return "Plot.ini";
    return devicesIniPath.substr(0, slash + 1) + "Plot.ini";
}
