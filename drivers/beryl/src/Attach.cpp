// The plug-in's entry and its globals: the resource library and the one driver object.

#include <driverframe/DriverEntry.h>

#include "BerylDriver.h"
#include "BerylStrings.h"

namespace {

DriverEntry<BerylDriver> entry("cutdrv-beryl-res.DLL",
                               {IDS_NO_CUTTER_LIBRARY, IDS_CUTTER_NOT_READY, IDS_BLOCK_REFUSED});

} // namespace

DRIVER_ATTACH_ENTRY(entry)
