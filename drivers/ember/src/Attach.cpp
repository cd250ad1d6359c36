// The plug-in's entry and its globals: the resource library and the one driver object.

#include <driverframe/DriverEntry.h>

#include "EmberDriver.h"
#include "EmberStrings.h"

namespace {

DriverEntry<EmberDriver> entry("cutdrv-ember-res.DLL", {IDS_NO_PIPE_LIBRARY, IDS_PIPE_WRITE_ERROR});

} // namespace

DRIVER_ATTACH_ENTRY(entry)
