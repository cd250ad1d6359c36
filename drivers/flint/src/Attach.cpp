// The plug-in's entry and its globals: the resource library and the one driver object.

#include <driverframe/DriverEntry.h>

#include "FlintDriver.h"

namespace {

DriverEntry<FlintDriver> entry("cutdrv-flint-res.DLL");

} // namespace

DRIVER_ATTACH_ENTRY(entry)
