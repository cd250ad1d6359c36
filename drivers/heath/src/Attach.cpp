// The plug-in's entry and its globals: the resource library and the one driver object.

#include <driverframe/DriverResources.h>

#include "HeathDriver.h"
#include "HeathStrings.h"

namespace {

DriverResources resources("cutdrv-heath-res.DLL", {IDS_CUTTER_NOT_FOUND});
HeathDriver driver(resources);

} // namespace

extern "C" __attribute__((visibility("default"))) PlotterDriver* Attach(const char* deviceName,
                                                                        const char* iniPath) {
    if (!resources.IsLoaded()) return nullptr;
    driver.Bind(deviceName, iniPath);
    return &driver;
}
