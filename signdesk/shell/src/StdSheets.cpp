#include "shell/StdSheets.h"

#include <cmath>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <vector>

#include "settings/CIniFile.h"

ConstStrDynArr StdSheetNames(50, DynArr<const char*>::DefaultLimit);
floatDynArr StdSheetWidths(50, DynArr<const char*>::DefaultLimit);
floatDynArr StdSheetHeights(50, DynArr<const char*>::DefaultLimit);

namespace {

constexpr const char* section = "StandardSheets";

struct BuiltIn {
    const char* name;
    float width;
    float height;
};

// A0 is 840 x 1188 here, and the B series has 1028 and 514.
constexpr BuiltIn builtIns[] = {
    {"A0", 840, 1188},  {"A1", 594, 840}, {"A2", 420, 594}, {"A3", 297, 420}, {"A4", 210, 297},
    {"A5", 148, 210},   {"A6", 105, 148}, {"A7", 74, 105},  {"A8", 52, 74},   {"A9", 37, 52},
    {"A10", 26, 37},    {"A11", 18, 26},  {"A12", 13, 18},  {"B0", 1028, 1456}, {"B1", 728, 1028},
    {"B2", 514, 728},   {"B3", 364, 514}, {"B4", 257, 364}, {"B5", 182, 257}, {"B6", 128, 182},
    {"B7", 91, 128},    {"B8", 64, 91},   {"B9", 45, 64},   {"B10", 32, 45},  {"B11", 22, 32},
    {"B12", 16, 22},
};

// The largest n of the section's "Name<n>" keys: no entry lies beyond it, whatever the count
// says. The key list is read once.
int LastNamedEntry(CIniFile& file) {
    std::vector<char> keys(4096);
    for (;;) {
        const unsigned n = file.GetString(section, nullptr, "", keys.data(), unsigned(keys.size()));
        if (n + 2 < keys.size() || keys.size() >= (1u << 24)) break;
        keys.resize(keys.size() * 4);
    }
    int last = 0;
    for (const char* key = keys.data(); *key != '\0'; key += std::strlen(key) + 1) {
        if (strncasecmp(key, "Name", 4) != 0) continue;
        char* end = nullptr;
        const long index = std::strtol(key + 4, &end, 10);
        if (end != key + 4 && *end == '\0' && index > last && index <= 0xFFFF) last = int(index);
    }
    return last;
}

void ClearList() {
    StdSheetNames.Destroy();
    StdSheetWidths.Reset();
    StdSheetHeights.Reset();
}

} // namespace

bool AddStdSheet(const char* name, float width, float height) {
    if (StdSheetNames.Filled() >= DynArr<const char*>::DefaultLimit) return false;
    StdSheetNames.AppendCopy(name);
    StdSheetWidths.Append(width);
    StdSheetHeights.Append(height);
    return true;
}

void LoadStdSheets(const char* path) {
    CIniFile file(path, 1);
    ClearList();
    const int count = int(file.GetInt(section, "NumberOfSheets", 0));
    // The count is not trusted: no more than the list holds.
    const int last = std::min({count, int(DynArr<const char*>::DefaultLimit), LastNamedEntry(file)});
    for (int i = 1; i <= last; ++i) {
        char key[24];
        char name[80]; // 79 characters at most
        std::snprintf(key, sizeof key, "Name%d", i);
        file.GetString(section, key, "", name, sizeof name);
        std::snprintf(key, sizeof key, "W%d", i);
        const double width = file.GetFloat(section, key, 0);
        std::snprintf(key, sizeof key, "H%d", i);
        const double height = file.GetFloat(section, key, 0);
        if (name[0] == '\0' || width == 0 || height == 0 || !std::isfinite(float(width)) ||
            !std::isfinite(float(height)))
            continue;
        AddStdSheet(name, float(width), float(height));
    }
    if (count == 0) {
        for (const BuiltIn& b : builtIns) AddStdSheet(b.name, b.width, b.height);
        SaveStdSheets(path);
    }
}

void SaveStdSheets(const char* path) {
    CIniFile file(path, 1);
    const int count = StdSheetNames.Filled();
    file.WriteInt(section, "NumberOfSheets", count);
    for (int i = 0; i < count; ++i) {
        char key[24];
        std::snprintf(key, sizeof key, "Name%d", i + 1);
        file.WriteString(section, key, StdSheetNames[std::uint16_t(i)]);
        std::snprintf(key, sizeof key, "W%d", i + 1);
        file.WriteFloat(section, key, StdSheetWidths[std::uint16_t(i)]);
        std::snprintf(key, sizeof key, "H%d", i + 1);
        file.WriteFloat(section, key, StdSheetHeights[std::uint16_t(i)]);
    }
}
