// The plug-in's entry and its globals: the resource library and the one driver object.

#include <driverframe/DriverEntry.h>

#include "GarnetDriver.h"

namespace {

DriverEntry<GarnetDriver> entry("cutdrv-garnet-res.DLL");

} // namespace

DRIVER_ATTACH_ENTRY(entry)
