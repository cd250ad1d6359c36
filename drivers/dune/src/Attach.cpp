// The plot library's default driver: the template-language frame without the coordinate
// transform. Its globals are the resource library and the one driver object.

#include <driverframe/DriverResources.h>
#include <driverframe/TemplateEmitter.h>

namespace {

EmitterSwitches DuneSwitches() {
    EmitterSwitches s;
    s.transform = false;
    return s;
}

// Defined in this order: the driver's construction may already need the texts.
DriverResources resources("cutdrv-dune-res.DLL");
TemplateEmitter driver(resources, DuneSwitches());

} // namespace

extern "C" __attribute__((visibility("default"))) PlotterDriver* Attach(const char* deviceName,
                                                                        const char* iniPath) {
    if (!resources.IsLoaded()) return nullptr;
    driver.Bind(deviceName, iniPath);
    return &driver;
}
