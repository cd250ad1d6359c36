#include "UsbInterfacePath.h"

#include <cctype>
#include <cstdio>

namespace {

std::string lower(std::string text) {
    for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The serial number as one field of the path: no '#', no blanks or control bytes.
std::string instanceOf(const SdUsbDevice& device) {
    std::string instance = device.serial.empty() ? device.name : device.serial;
    for (char& c : instance) {
        unsigned char u = static_cast<unsigned char>(c);
        if (c == '#' || c == '\\' || u <= ' ' || u >= 0x7f) c = '_';
    }
    return lower(instance);
}

} // namespace

std::string usbInterfacePath(const SdUsbDevice& device) {
    char ids[32];
    std::snprintf(ids, sizeof ids, "vid_%04x&pid_%04x", device.vendor & 0xffff,
                  device.product & 0xffff);
    return std::string("\\\\?\\usb#") + ids + "#" + instanceOf(device) +
           "#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
}

bool isUsbInterfacePath(const std::string& name) {
    std::string head = lower(name.substr(0, 8));
    return head == "\\\\?\\usb#" || head == "\\\\.\\usb#";
}

std::string usbInterfaceNode(const std::string& name) {
    std::string wanted = lower(name);
    wanted[2] = '?';
    for (const SdUsbDevice& device : SdListUsbDevices(SdUsbRootsOfProcess()))
        if (usbInterfacePath(device) == wanted) return device.node;
    return {};
}
