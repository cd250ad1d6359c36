// The plug-in's entry and its globals: the resource library and the one driver object.

#include <driverframe/DriverResources.h>

#include "FlintDriver.h"

namespace {

DriverResources resources("cutdrv-flint-res.DLL");
FlintDriver driver(resources);

} // namespace

extern "C" __attribute__((visibility("default"))) PlotterDriver* Attach(const char* deviceName,
                                                                        const char* iniPath) {
    if (!resources.IsLoaded()) return nullptr;
    driver.Bind(deviceName, iniPath);
    return &driver;
}
