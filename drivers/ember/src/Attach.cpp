// The plug-in's entry and its globals: the resource library and the one driver object.

#include <driverframe/DriverResources.h>

#include "EmberDriver.h"
#include "EmberStrings.h"

namespace {

DriverResources resources("cutdrv-ember-res.DLL", {IDS_NO_PIPE_LIBRARY, IDS_PIPE_WRITE_ERROR});
EmberDriver driver(resources);

} // namespace

extern "C" __attribute__((visibility("default"))) PlotterDriver* Attach(const char* deviceName,
                                                                        const char* iniPath) {
    if (!resources.IsLoaded()) return nullptr;
    driver.Bind(deviceName, iniPath);
    return &driver;
}
