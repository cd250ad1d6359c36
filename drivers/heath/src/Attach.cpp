// The plug-in's entry and its globals: the resource library and the one driver object.

#include <driverframe/DriverEntry.h>

#include "HeathDriver.h"
#include "HeathStrings.h"

namespace {

DriverEntry<HeathDriver> entry("cutdrv-heath-res.DLL", {IDS_CUTTER_NOT_FOUND});

} // namespace

DRIVER_ATTACH_ENTRY(entry)
