#pragma once
// What the setup sheet's general page tells about the Device text: the device files offered
// in its list, and the read-only line saying what the text reaches (from the port library's
// DescribePort, so that its port table and USB lookup stay the one rule).

#include <string>
#include <vector>

#include <win32/base.h>
#include <win32/controls.h>

struct SetupVariant;
class AxisTransform;

// The serial and USB device files present: /dev/serial/by-id/*, /dev/ttyUSB*, /dev/ttyACM*,
// /dev/usb/lp* (the device folder replaced by SIGNDESK_DEV_ROOT when set), sorted.
std::vector<std::string> PresentDeviceFiles();

// "COM1 → /dev/ttyS0 (Ports.ini)", "USB: no cutter with these ids", "printer NAME",
// "file /abs/path", "/dev/ttyUSB3: missing", ...
std::string DescribeDevice(const std::string& device, const std::string& usbId,
                           const SetupVariant& variant);

// Whether the text names a device file (directly or through a port name) that is a terminal.
bool DeviceReachesTerminal(const std::string& device);

// Section names compared as the profile engine compares them.
bool SameName(const std::string& a, const std::string& b);
bool SectionExists(const std::string& iniPath, const std::string& section);

// The coordinate page's preview: the medium in a 1000 x 1000 square with the device's origin
// and axis directions under the transform.
void DrawPreview(const DRAWITEMSTRUCT& item, const AxisTransform& transform);
// Where a device point lies in the preview's square (the driver's axes, 1000 x 1000).
POINT PreviewPoint(const AxisTransform& transform, LONG deviceX, LONG deviceY);
