// The plug-in's entry and its globals: the resource library and the one driver object.

#include <driverframe/DriverResources.h>

#include "BerylDriver.h"
#include "BerylStrings.h"

namespace {

DriverResources resources("cutdrv-beryl-res.DLL",
                          {IDS_NO_CUTTER_LIBRARY, IDS_CUTTER_NOT_READY, IDS_BLOCK_REFUSED});
BerylDriver driver(resources);

} // namespace

extern "C" __attribute__((visibility("default"))) PlotterDriver* Attach(const char* deviceName,
                                                                        const char* iniPath) {
    if (!resources.IsLoaded()) return nullptr;
    driver.Bind(deviceName, iniPath);
    return &driver;
}
