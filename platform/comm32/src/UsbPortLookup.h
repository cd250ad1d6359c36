#pragma once
// Finding a USB cutter's device node by vendor and product id through sysfs.

#include <optional>
#include <string>
#include <string_view>

#include "PortEnvironment.h"

namespace comm32 {

struct UsbId {
    unsigned vendor = 0;
    unsigned product = 0;
};

// The ids in a text such as "vid_0b4d&pid_110a{…}" (any case, four hexadecimal digits
// each); nothing when either is missing or malformed.
std::optional<UsbId> parseUsbId(std::string_view text);

// The node of the first device (in name order) under <sysRoot>/bus/usb/devices with these
// ids that has a printer-class interface (<devRoot>/usb/lpN) or, failing that, a terminal
// (<devRoot>/ttyACMn, <devRoot>/ttyUSBn). Empty when there is none.
std::string findUsbPort(const UsbId& id, const PortEnvironment& environment);

} // namespace comm32
