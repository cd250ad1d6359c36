#pragma once
// Device interface lists over sysfs (win32/UsbDevices.h). The one class served is the USB
// device interface class: every USB device present is one interface of it, its path
// "\\?\usb#vid_XXXX&pid_XXXX#instance#{a5dcbf10-6530-11d2-901f-00c04fb951ed}" in lower case,
// the instance being the device's serial number or else its sysfs name. CreateFileA opens
// such a path as the device's node.

#include "win32/base.h"

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
inline bool operator==(const GUID& a, const GUID& b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i]) return false;
    return true;
}

inline constexpr GUID GUID_DEVINTERFACE_USB_DEVICE = {
    0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};

using HDEVINFO = void*;

constexpr DWORD DIGCF_DEFAULT = 0x00000001;
constexpr DWORD DIGCF_PRESENT = 0x00000002;
constexpr DWORD DIGCF_ALLCLASSES = 0x00000004;
constexpr DWORD DIGCF_PROFILE = 0x00000008;
constexpr DWORD DIGCF_DEVICEINTERFACE = 0x00000010;

struct SP_DEVINFO_DATA {
    DWORD cbSize;
    GUID ClassGuid;
    DWORD DevInst;
    ULONG_PTR Reserved;
};
struct SP_DEVICE_INTERFACE_DATA {
    DWORD cbSize;
    GUID InterfaceClassGuid;
    DWORD Flags;
    ULONG_PTR Reserved;
};
struct SP_DEVICE_INTERFACE_DETAIL_DATA_A {
    DWORD cbSize; // sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)
    CHAR DevicePath[1];
};
using PSP_DEVINFO_DATA = SP_DEVINFO_DATA*;
using PSP_DEVICE_INTERFACE_DATA = SP_DEVICE_INTERFACE_DATA*;
using PSP_DEVICE_INTERFACE_DETAIL_DATA_A = SP_DEVICE_INTERFACE_DETAIL_DATA_A*;

// The list of the class's interfaces present now (a snapshot). Only interface lists are
// served: without DIGCF_DEVICEINTERFACE, INVALID_HANDLE_VALUE with ERROR_INVALID_PARAMETER.
// Another class gives an empty list; DIGCF_ALLCLASSES lists every USB device.
WIN32_API HDEVINFO SetupDiGetClassDevsA(const GUID* classGuid, LPCSTR enumerator, HWND parent,
                                        DWORD flags);
// The index'th interface of the class; FALSE with ERROR_NO_MORE_ITEMS past the last.
WIN32_API BOOL SetupDiEnumDeviceInterfaces(HDEVINFO list, PSP_DEVINFO_DATA device,
                                           const GUID* interfaceClassGuid, DWORD index,
                                           PSP_DEVICE_INTERFACE_DATA interfaceData);
// The interface's path. `requiredSize` receives the size the detail needs; a detail that is
// null or too small gives FALSE with ERROR_INSUFFICIENT_BUFFER.
WIN32_API BOOL SetupDiGetDeviceInterfaceDetailA(HDEVINFO list,
                                                PSP_DEVICE_INTERFACE_DATA interfaceData,
                                                PSP_DEVICE_INTERFACE_DETAIL_DATA_A detail,
                                                DWORD detailSize, LPDWORD requiredSize,
                                                PSP_DEVINFO_DATA device);
WIN32_API BOOL SetupDiDestroyDeviceInfoList(HDEVINFO list);

#define SetupDiGetClassDevs SetupDiGetClassDevsA
#define SetupDiGetDeviceInterfaceDetail SetupDiGetDeviceInterfaceDetailA
using SP_DEVICE_INTERFACE_DETAIL_DATA = SP_DEVICE_INTERFACE_DETAIL_DATA_A;
using PSP_DEVICE_INTERFACE_DETAIL_DATA = PSP_DEVICE_INTERFACE_DETAIL_DATA_A;
