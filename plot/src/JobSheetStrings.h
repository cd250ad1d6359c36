#pragma once
// String ids of the plot library's resource module jobsheet-res.

// The driver plug-in has no Attach entry; %s the driver file, %s the device.
#define IDS_DRIVER_WITHOUT_ATTACH 49

// Binding failures, shown before anything else happens. %s the Devices.ini file.
#define IDS_NO_DEVICE_CHOSEN 1101
// %s the device section, %s the Devices.ini file.
#define IDS_DEVICE_NOT_DEFINED 1102
// %s the driver file, %s the device section and its file.
#define IDS_DRIVER_NOT_LOADED 1103
#define IDS_DRIVER_REFUSED 1104
