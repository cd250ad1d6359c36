#include <cstddef>
#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "UsbInterfacePath.h"
#include "win32/fileio.h"
#include "win32/kernel.h"
#include "win32/setupapi.h"

namespace {

struct InterfaceList {
    std::vector<std::string> paths;
};

std::mutex listsMutex;
std::set<InterfaceList*>& lists() {
    static std::set<InterfaceList*> all;
    return all;
}

// The list behind a handle, or null (with ERROR_INVALID_HANDLE) for one we did not give.
InterfaceList* listOf(HDEVINFO handle) {
    std::lock_guard lock(listsMutex);
    auto* list = static_cast<InterfaceList*>(handle);
    if (lists().count(list)) return list;
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
}

} // namespace

HDEVINFO SetupDiGetClassDevsA(const GUID* classGuid, LPCSTR, HWND, DWORD flags) {
    if (!(flags & DIGCF_DEVICEINTERFACE) || (!classGuid && !(flags & DIGCF_ALLCLASSES))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    auto* list = new InterfaceList;
    if ((flags & DIGCF_ALLCLASSES) || *classGuid == GUID_DEVINTERFACE_USB_DEVICE)
        for (const SdUsbDevice& device : SdListUsbDevices(SdUsbRootsOfProcess()))
            list->paths.push_back(usbInterfacePath(device));
    std::lock_guard lock(listsMutex);
    lists().insert(list);
    return list;
}

BOOL SetupDiEnumDeviceInterfaces(HDEVINFO handle, PSP_DEVINFO_DATA, const GUID* interfaceClassGuid,
                                 DWORD index, PSP_DEVICE_INTERFACE_DATA data) {
    InterfaceList* list = listOf(handle);
    if (!list) return FALSE;
    if (!data || data->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA) || !interfaceClassGuid) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!(*interfaceClassGuid == GUID_DEVINTERFACE_USB_DEVICE) || index >= list->paths.size()) {
        SetLastError(ERROR_NO_MORE_ITEMS);
        return FALSE;
    }
    data->InterfaceClassGuid = GUID_DEVINTERFACE_USB_DEVICE;
    data->Flags = 1; // active
    data->Reserved = index + 1;
    return TRUE;
}

BOOL SetupDiGetDeviceInterfaceDetailA(HDEVINFO handle, PSP_DEVICE_INTERFACE_DATA data,
                                      PSP_DEVICE_INTERFACE_DETAIL_DATA_A detail, DWORD detailSize,
                                      LPDWORD requiredSize, PSP_DEVINFO_DATA) {
    InterfaceList* list = listOf(handle);
    if (!list) return FALSE;
    if (!data || data->Reserved == 0 || data->Reserved > list->paths.size()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::string& path = list->paths[data->Reserved - 1];
    const DWORD needed = DWORD(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) +
                               path.size() + 1);
    if (requiredSize) *requiredSize = needed;
    if (!detail || detailSize < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    if (detail->cbSize != sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::memcpy(detail->DevicePath, path.c_str(), path.size() + 1);
    return TRUE;
}

BOOL SetupDiDestroyDeviceInfoList(HDEVINFO handle) {
    InterfaceList* list = listOf(handle);
    if (!list) return FALSE;
    {
        std::lock_guard lock(listsMutex);
        lists().erase(list);
    }
    delete list;
    return TRUE;
}
