// A resource module with a few strings, loaded by the string resource tests.

#include <string>

#include "win32/ResourceTable.h"

namespace {

const char kGreeting[] = "Hello %s, %d designs";
const std::string kLong(1000, 'L');

const SdResourceEntry kEntries[] = {
    {6, 101, nullptr, kGreeting, sizeof kGreeting - 1},
    {6, 102, nullptr, "Ende \xE4", 6},
    {6, 103, nullptr, kLong.c_str(), 1000},
};

} // namespace

extern "C" __attribute__((visibility("default")))
const SdResourceDirectory SdResourceTable = {SD_RESOURCE_MAGIC, SD_RESOURCE_VERSION, 3, kEntries};
