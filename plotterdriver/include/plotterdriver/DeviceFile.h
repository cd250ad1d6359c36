#pragma once
// Whether a Device text names a device file directly: a path under /dev (either separator,
// as stored files may hold either), or any path of a character device. Such a device is
// served as a port, never written as a plain file: nothing is ever created under /dev.

#include <algorithm>
#include <string>
#include <sys/stat.h>

inline bool IsDeviceFile(std::string device) {
    std::replace(device.begin(), device.end(), '\\', '/');
    device.erase(0, device.find_first_not_of(" \t"));
    device.erase(device.find_last_not_of(" \t") + 1);
    if (device.rfind("/dev/", 0) == 0) return true;
    struct stat node {};
    return !device.empty() && ::stat(device.c_str(), &node) == 0 && S_ISCHR(node.st_mode);
}
