#pragma once
// From a device section to an open port.

#include <memory>
#include <string>

#include "PortConnection.h"
#include "PortEnvironment.h"

namespace comm32 {

// The device file that the section's Device (and WindowsUSBID) name; empty, with the last
// error set, when they name no port or the port is not there.
std::string portPathOf(LPCSTR iniPath, LPCSTR section, const PortEnvironment& environment);

// Opens that port with the section's settings; null with the last error set.
std::unique_ptr<PortConnection> openPortOf(LPCSTR iniPath, LPCSTR section,
                                           const PortEnvironment& environment);

} // namespace comm32
