#pragma once
// The USB devices present, read from sysfs: the one walk behind SetupAPI and the port
// library's "USB" lookup. The folders are $SIGNDESK_SYSFS_ROOT (else /sys) and
// $SIGNDESK_DEV_ROOT (else /dev), so that tests lay out trees of their own.

#include <string>
#include <vector>

#include "win32/export.h"

struct SdUsbDevice {
    std::string name;   // the sysfs name, "1-2" or "1-2.4"
    unsigned vendor = 0;
    unsigned product = 0;
    std::string serial; // empty when the device reports none
    // The device node that reaches it: a printer-class interface (<dev>/usb/lpN) or, failing
    // that, a terminal (<dev>/ttyACMn, <dev>/ttyUSBn). Empty when no interface has one.
    std::string node;
};

struct SdUsbRoots {
    std::string sys = "/sys";
    std::string dev = "/dev";
};

// The folders of the process (the environment's, else the system's).
WIN32_API SdUsbRoots SdUsbRootsOfProcess();

// Every device under <sys>/bus/usb/devices with readable ids, in name order. A device whose
// idVendor or idProduct is missing or is not four hexadecimal digits is left out.
WIN32_API std::vector<SdUsbDevice> SdListUsbDevices(const SdUsbRoots& roots);
