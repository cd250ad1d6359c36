#include "UsbBulkDevice.h"

#include <cstdint>

#include <libusb.h>

namespace cutterlink {

namespace {

// The first interface (of the active configuration) with a bulk OUT endpoint.
bool FindEndpoints(libusb_device* device, UsbBulkDevice& usb) {
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(device, &config) != 0 || !config) return false;
    for (int i = 0; i < config->bNumInterfaces && usb.out == 0; ++i) {
        const libusb_interface& interface = config->interface[i];
        for (int a = 0; a < interface.num_altsetting && usb.out == 0; ++a) {
            const libusb_interface_descriptor& d = interface.altsetting[a];
            unsigned char out = 0, in = 0;
            for (int e = 0; e < d.bNumEndpoints; ++e) {
                const libusb_endpoint_descriptor& ep = d.endpoint[e];
                if ((ep.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK) != LIBUSB_TRANSFER_TYPE_BULK)
                    continue;
                if ((ep.bEndpointAddress & LIBUSB_ENDPOINT_DIR_MASK) == LIBUSB_ENDPOINT_IN) {
                    if (!in) in = ep.bEndpointAddress;
                } else if (!out) {
                    out = ep.bEndpointAddress;
                }
            }
            if (out) {
                usb.out = out;
                usb.in = in;
                usb.interfaceNumber = d.bInterfaceNumber;
            }
        }
    }
    libusb_free_config_descriptor(config);
    return usb.out != 0;
}

} // namespace

UsbBulkDevice* UsbBulkDevice::Open(unsigned vendor, unsigned product, std::string& reason) {
    auto* usb = new UsbBulkDevice;
    if (libusb_init(&usb->context) != 0) {
        usb->context = nullptr;
        delete usb;
        return nullptr;
    }
    usb->handle = libusb_open_device_with_vid_pid(usb->context, std::uint16_t(vendor),
                                                  std::uint16_t(product));
    if (!usb->handle) {
        delete usb;
        return nullptr;
    }
    if (!FindEndpoints(libusb_get_device(usb->handle), *usb)) {
        reason = "The cutter has no bulk endpoint to send commands to.";
        delete usb;
        return nullptr;
    }
    libusb_set_auto_detach_kernel_driver(usb->handle, 1);
    int claimed = libusb_claim_interface(usb->handle, usb->interfaceNumber);
    if (claimed != 0) {
        reason = std::string("The cutter's USB interface cannot be used: ") +
                 libusb_strerror(claimed) + ".";
        usb->interfaceNumber = -1;
        delete usb;
        return nullptr;
    }
    return usb;
}

UsbBulkDevice::~UsbBulkDevice() {
    if (handle && interfaceNumber >= 0) libusb_release_interface(handle, interfaceNumber);
    if (handle) libusb_close(handle);
    if (context) libusb_exit(context);
}

bool UsbBulkDevice::Write(const char* data, int length, int milliseconds) {
    int done = 0;
    while (done < length) {
        int sent = 0;
        int result = libusb_bulk_transfer(
            handle, out, reinterpret_cast<unsigned char*>(const_cast<char*>(data + done)),
            length - done, &sent, unsigned(milliseconds > 0 ? milliseconds : 1));
        done += sent;
        if (result != 0 && !(result == LIBUSB_ERROR_TIMEOUT && sent > 0)) return false;
    }
    return true;
}

int UsbBulkDevice::Read(char* buffer, int length, int milliseconds) {
    if (!in) return -1;
    int got = 0;
    int result = libusb_bulk_transfer(handle, in, reinterpret_cast<unsigned char*>(buffer), length,
                                      &got, unsigned(milliseconds > 0 ? milliseconds : 1));
    if (result == 0 || result == LIBUSB_ERROR_TIMEOUT) return got;
    return -1;
}

} // namespace cutterlink
