#include "DeviceLine.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <filesystem>

#include <comm32/Comm32.h>
#include <plotterdriver/DeviceFile.h>
#include <win32/controls.h>
#include <win32/kernel.h>
#include <win32/module.h>
#include <win32/shlobj.h>
#include <win32/wingdi.h>

#include "driverframe/AxisTransform.h"
#include "driverframe/PrinterNames.h"
#include "driverframe/SetupVariant.h"

namespace {

std::string DeviceFolder() {
    const char* root = std::getenv("SIGNDESK_DEV_ROOT");
    return root && *root ? root : "/dev";
}

// The port library's description, or flags 0 when it has no DescribePort.
int Describe(const std::string& device, const std::string& usbId, std::string& text) {
    HMODULE library = LoadLibraryA("COMM32.DLL");
    if (!library) return 0;
    auto describe = reinterpret_cast<DescribePortProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, "DescribePort")));
    int flags = 0;
    if (describe) {
        char buffer[1024] = "";
        flags = describe(device.c_str(), usbId.c_str(), buffer, int(sizeof buffer));
        text = buffer;
    }
    FreeLibrary(library);
    return flags;
}

// The Device that a maker's library opens for "USB": section [name] of Ports.ini.
std::string LibraryDevice(const char* library) {
    char folder[MAX_PATH];
    if (!SHGetSpecialFolderPathA(nullptr, folder, CSIDL_APPDATA, FALSE)) return {};
    std::string table = std::string(folder) + "/signdesk/Ports.ini";
    char device[512] = "";
    GetPrivateProfileStringA(library, "Device", "", device, sizeof device, table.c_str());
    return device;
}

} // namespace

std::vector<std::string> PresentDeviceFiles() {
    namespace fs = std::filesystem;
    std::vector<std::string> files;
    const std::string dev = DeviceFolder();
    std::error_code error;
    auto add = [&](const std::string& folder, const std::string& prefix) {
        std::vector<std::string> found;
        for (fs::directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error)) {
            std::string name = it->path().filename().string();
            if (name.compare(0, prefix.size(), prefix) == 0) found.push_back(it->path().string());
        }
        error.clear();
        std::sort(found.begin(), found.end());
        files.insert(files.end(), found.begin(), found.end());
    };
    add(dev + "/serial/by-id", "");
    add(dev, "ttyUSB");
    add(dev, "ttyACM");
    add(dev + "/usb", "lp");
    return files;
}

std::string DescribeDevice(const std::string& device, const std::string& usbId,
                           const SetupVariant& variant) {
    std::string trimmed = device;
    trimmed.erase(0, trimmed.find_first_not_of(" \t"));
    trimmed.erase(trimmed.find_last_not_of(" \t") + 1);
    if (trimmed.empty()) return "no device";
    if (IsLocalPrinter(trimmed)) return "printer " + trimmed;
    std::string upper;
    for (char c : trimmed)
        upper += char(std::toupper(static_cast<unsigned char>(c)));
    if (upper == "USB" && !variant.usbLibrary.empty()) {
        // The maker's library opens what its own section of Ports.ini names.
        std::string target = LibraryDevice(variant.usbLibrary.c_str());
        if (target.empty()) return "USB: " + variant.usbLibrary + " has no Device in Ports.ini";
        std::string text;
        bool ids = target.front() != '/';
        Describe(ids ? "USB" : target, ids ? target : "", text);
        return variant.usbLibrary + " (Ports.ini): " + text;
    }
    std::string text;
    if (Describe(trimmed, usbId, text) != 0) return text;
    if (IsDeviceFile(trimmed)) return trimmed + ": not a port";
    std::error_code error;
    std::filesystem::path file = std::filesystem::absolute(trimmed, error);
    return "file " + (error ? trimmed : file.lexically_normal().string());
}

bool DeviceReachesTerminal(const std::string& device) {
    std::string text;
    return (Describe(device, "", text) & DESCRIBED_TERMINAL) != 0;
}

bool SameName(const std::string& a, const std::string& b) {
    auto trim = [](std::string s) {
        s.erase(0, s.find_first_not_of(" \t"));
        s.erase(s.find_last_not_of(" \t") + 1);
        return s;
    };
    std::string x = trim(a), y = trim(b);
    return x.size() == y.size() && std::equal(x.begin(), x.end(), y.begin(), [](char p, char q) {
               return std::tolower(static_cast<unsigned char>(p)) ==
                      std::tolower(static_cast<unsigned char>(q));
           });
}

bool SectionExists(const std::string& iniPath, const std::string& section) {
    std::vector<char> names(65536);
    DWORD n = GetPrivateProfileSectionNamesA(names.data(), DWORD(names.size()), iniPath.c_str());
    for (DWORD at = 0; at < n && names[at];) {
        std::string name = names.data() + at;
        if (SameName(name, section)) return true;
        at += DWORD(name.size()) + 1;
    }
    return false;
}

void DrawPreview(const DRAWITEMSTRUCT& item, const AxisTransform& transform) {
    HDC dc = item.hDC;
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 1000, 1000, nullptr);
    SetViewportExtEx(dc, item.rcItem.right - item.rcItem.left, item.rcItem.bottom - item.rcItem.top,
                     nullptr);
    // The medium, with teeth along its first edge.
    HBRUSH yellow = CreateSolidBrush(RGB(255, 255, 0));
    RECT medium{0, 0, 1000, 1000};
    FillRect(dc, &medium, yellow);
    DeleteObject(yellow);
    MoveToEx(dc, 0, 0, nullptr);
    for (int tooth = 0; tooth < 10; ++tooth) {
        LineTo(dc, tooth * 100 + 50, 30);
        LineTo(dc, tooth * 100 + 100, 0);
    }
    // The device's origin and its two axes, in the driver's square.
    POINT origin = PreviewPoint(transform, 0, 0);
    POINT alongX = PreviewPoint(transform, 200, 0);
    POINT alongY = PreviewPoint(transform, 0, 200);
    Ellipse(dc, origin.x - 20, origin.y - 20, origin.x + 20, origin.y + 20);
    MoveToEx(dc, origin.x, origin.y, nullptr);
    LineTo(dc, alongX.x, alongX.y);
    MoveToEx(dc, origin.x, origin.y, nullptr);
    LineTo(dc, alongY.x, alongY.y);
}

POINT PreviewPoint(const AxisTransform& transform, LONG deviceX, LONG deviceY) {
    transform.Reverse(deviceX, deviceY);
    return POINT{deviceX, deviceY};
}
