#pragma once
// The device paths of USB device interfaces, shared by SetupAPI and CreateFileA.

#include <string>

#include "win32/UsbDevices.h"

// "\\?\usb#vid_0b4d&pid_110a#<instance>#{a5dcbf10-6530-11d2-901f-00c04fb951ed}", in lower case.
std::string usbInterfacePath(const SdUsbDevice& device);

// Whether the name is a device interface path ("\\?\" or "\\.\" followed by "usb#").
bool isUsbInterfacePath(const std::string& name);

// The node of the present device whose interface path is `name` (compared without case);
// empty when no such device is present or it has no node.
std::string usbInterfaceNode(const std::string& name);
