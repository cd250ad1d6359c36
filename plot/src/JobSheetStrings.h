#pragma once
// String ids of the plot library's resource module jobsheet-res.

// The driver plug-in has no Attach entry; %s the driver file, %s the device.
#define IDS_DRIVER_WITHOUT_ATTACH 49
