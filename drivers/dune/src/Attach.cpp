// The plot library's default driver: the template-language frame without the coordinate
// transform. Its globals are the resource library and the one driver object.

#include <driverframe/DriverEntry.h>
#include <driverframe/TemplateEmitter.h>

namespace {

EmitterSwitches DuneSwitches() {
    EmitterSwitches s;
    s.transform = false;
    return s;
}

DriverEntry<TemplateEmitter> entry("cutdrv-dune-res.DLL", {}, DuneSwitches());

} // namespace

DRIVER_ATTACH_ENTRY(entry)
