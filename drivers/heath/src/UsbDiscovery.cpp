#include "UsbDiscovery.h"

#include <vector>

#include <win32/fileio.h>
#include <win32/setupapi.h>

bool FindUsbCutter(const std::string& productIdText) {
    HDEVINFO list = SetupDiGetClassDevsA(&GUID_DEVINTERFACE_USB_DEVICE, nullptr, nullptr,
                                         DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (list == INVALID_HANDLE_VALUE) return false;
    bool found = false;
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof data;
    for (DWORD i = 0; !found && SetupDiEnumDeviceInterfaces(list, nullptr,
                                                            &GUID_DEVINTERFACE_USB_DEVICE, i, &data);
         ++i) {
        DWORD size = 0;
        SetupDiGetDeviceInterfaceDetailA(list, &data, nullptr, 0, &size, nullptr);
        if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) continue;
        std::vector<char> bytes(size);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(bytes.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
        if (!SetupDiGetDeviceInterfaceDetailA(list, &data, detail, size, nullptr, nullptr))
            continue;
        const std::string path = detail->DevicePath;
        HANDLE device = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_OVERLAPPED, nullptr);
        if (device == INVALID_HANDLE_VALUE) continue;
        found = path.find(productIdText) != std::string::npos;
        CloseHandle(device);
    }
    SetupDiDestroyDeviceInfoList(list);
    return found;
}
