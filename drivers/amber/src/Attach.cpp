// The plug-in's entry and its globals: the resource library and the one driver object.

#include <driverframe/DriverResources.h>

#include "AmberDriver.h"
#include "AmberStrings.h"

namespace {

DriverResources resources("cutdrv-amber-res.DLL",
                          {IDS_AMBER_NO_PORT_LIBRARY, IDS_AMBER_PAUSE, IDS_AMBER_CAPTION,
                           IDS_AMBER_BAD_STEP_SIZE, IDS_AMBER_TEMPLATE_TOO_LONG,
                           IDS_AMBER_REWRITE_FAILED});
AmberDriver driver(resources);

} // namespace

extern "C" __attribute__((visibility("default"))) PlotterDriver* Attach(const char* deviceName,
                                                                        const char* iniPath) {
    if (!driver.HasPortLibrary()) return nullptr;
    driver.Bind(deviceName, iniPath);
    return &driver;
}
