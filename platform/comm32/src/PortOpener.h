#pragma once
// From a device section to an open port.

#include <memory>
#include <string>

#include "PortConnection.h"
#include "PortEnvironment.h"

namespace comm32 {

// The device file that the section's Device (and WindowsUSBID) name: a port name through
// the port table, "USB" through sysfs, or a device path (starting with '/') as it stands.
// Empty, with the last error set, when they name no port or the port is not there.
std::string portPathOf(LPCSTR iniPath, LPCSTR section, const PortEnvironment& environment);

// What a Device text reaches, for the user, and DESCRIBED_* flags (Comm32.h).
int describePort(const std::string& device, const std::string& usbId,
                 const PortEnvironment& environment, std::string& text);

// Opens that port with the section's settings; null with the last error set.
std::unique_ptr<PortConnection> openPortOf(LPCSTR iniPath, LPCSTR section,
                                           const PortEnvironment& environment);

// Why the last openPortOf of this thread failed, for the user: the port, the device file
// it maps to and the system's reason, e.g. "COM1 (/dev/ttyS0): Permission denied; the
// device belongs to the group dialout, ...". Empty after a success.
std::string lastOpenFailure();

// The text for a port that did not open: "NAME (path): reason", or "path: reason" for a
// device file named directly. error is the errno (0: the serial settings were refused); a
// refused device names the group that owns it.
std::string openFailureText(const std::string& name, const std::string& path, int error);

} // namespace comm32
