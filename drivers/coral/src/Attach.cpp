// The plug-in's entry and its globals: the resource library, loaded when the plug-in is,
// and the one driver object. Both live as long as the plug-in stays loaded.

#include <driverframe/DriverResources.h>
#include <driverframe/TemplateEmitter.h>

namespace {

// Defined in this order: the driver's construction may already need the texts.
DriverResources resources("cutdrv-coral-res.DLL");
// Every emitter of the frame, with the coordinate transform.
TemplateEmitter driver(resources);

} // namespace

extern "C" __attribute__((visibility("default"))) PlotterDriver* Attach(const char* deviceName,
                                                                        const char* iniPath) {
    if (!resources.IsLoaded()) return nullptr;
    driver.Bind(deviceName, iniPath);
    return &driver;
}
