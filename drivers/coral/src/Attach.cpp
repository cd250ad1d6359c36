// The plug-in's entry and its globals: the resource library and the one driver object, with
// every emitter of the frame and the coordinate transform.

#include <driverframe/DriverEntry.h>
#include <driverframe/TemplateEmitter.h>

namespace {

DriverEntry<TemplateEmitter> entry("cutdrv-coral-res.DLL");

} // namespace

DRIVER_ATTACH_ENTRY(entry)
