// The plug-in's entry and its globals: the resource library and the one driver object.

#include <driverframe/DriverEntry.h>

#include "AmberDriver.h"
#include "AmberStrings.h"

namespace {

DriverEntry<AmberDriver> entry("cutdrv-amber-res.DLL",
                               {IDS_AMBER_NO_PORT_LIBRARY, IDS_AMBER_PAUSE, IDS_AMBER_CAPTION,
                                IDS_AMBER_BAD_STEP_SIZE, IDS_AMBER_TEMPLATE_TOO_LONG,
                                IDS_AMBER_REWRITE_FAILED});

} // namespace

DRIVER_ATTACH_ENTRY(entry)
