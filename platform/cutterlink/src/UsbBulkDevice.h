#pragma once
// A USB cutter reached through libusb: the first interface with a bulk OUT endpoint, its
// first bulk OUT and first bulk IN endpoints.

#include <string>

struct libusb_context;
struct libusb_device_handle;

namespace cutterlink {

struct UsbBulkDevice {
    // The device with these ids, its interface claimed; null with the reason when it is not
    // there or cannot be used.
    static UsbBulkDevice* Open(unsigned vendor, unsigned product, std::string& reason);
    ~UsbBulkDevice();

    bool Write(const char* data, int length, int milliseconds);
    // The bytes read, 0 when nothing came in time, -1 on error.
    int Read(char* buffer, int length, int milliseconds);

    libusb_context* context = nullptr;
    libusb_device_handle* handle = nullptr;
    int interfaceNumber = -1;
    unsigned char out = 0;
    unsigned char in = 0; // 0: the interface has no IN endpoint
};

} // namespace cutterlink
