#pragma once
// Whether a USB cutter is plugged in: the present interfaces of the USB device class are
// opened in turn, and the first that opens and whose path holds `productIdText` (as given,
// case-sensitive, e.g. "vid_0b4d&pid_110a") is the cutter.

#include <string>

bool FindUsbCutter(const std::string& productIdText);
