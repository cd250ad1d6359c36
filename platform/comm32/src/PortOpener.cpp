#include "PortOpener.h"

#include "PortTable.h"
#include "UsbPortLookup.h"
#include "win32/kernel.h"

namespace comm32 {

namespace {
// ERROR_INVALID_NAME and ERROR_DEV_NOT_EXIST of the original.
constexpr DWORD invalidNameError = 123;
constexpr DWORD noDeviceError = 55;
} // namespace

std::string portPathOf(LPCSTR iniPath, LPCSTR section, const PortEnvironment& environment) {
    if (!iniPath || !*iniPath || !section) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return {};
    }
    char device[512];
    GetPrivateProfileStringA(section, "Device", "LPT1", device, sizeof device, iniPath);
    const std::string name = PortTable::normalName(device);
    if (name.empty()) {
        SetLastError(invalidNameError);
        return {};
    }
    if (name == "USB") {
        char idText[512];
        GetPrivateProfileStringA(section, "WindowsUSBID", "", idText, sizeof idText, iniPath);
        auto id = parseUsbId(idText);
        if (!id) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return {};
        }
        std::string path = findUsbPort(*id, environment);
        if (path.empty()) SetLastError(noDeviceError);
        return path;
    }
    auto path = PortTable::devicePath(name, environment);
    if (!path) {
        SetLastError(noDeviceError);
        return {};
    }
    return *path;
}

std::unique_ptr<PortConnection> openPortOf(LPCSTR iniPath, LPCSTR section,
                                           const PortEnvironment& environment) {
    std::string path = portPathOf(iniPath, section, environment);
    if (path.empty()) return nullptr;
    return PortConnection::open(path, iniPath, section);
}

} // namespace comm32
