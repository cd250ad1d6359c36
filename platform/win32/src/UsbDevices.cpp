#include "win32/UsbDevices.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>

namespace {

namespace fs = std::filesystem;

// A sysfs id file holds four hexadecimal digits and a line break.
std::optional<unsigned> readIdFile(const fs::path& file) {
    std::ifstream in(file);
    std::string text;
    if (!(in >> text) || text.size() != 4) return std::nullopt;
    unsigned value = 0;
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        if (!std::isxdigit(u)) return std::nullopt;
        value = value * 16 + unsigned(std::isdigit(u) ? u - '0' : std::tolower(u) - 'a' + 10);
    }
    return value;
}

std::string readLine(const fs::path& file) {
    std::ifstream in(file);
    std::string text;
    std::getline(in, text);
    return text;
}

std::vector<fs::path> sortedEntries(const fs::path& folder) {
    std::vector<fs::path> entries;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        entries.push_back(it->path());
    std::sort(entries.begin(), entries.end());
    return entries;
}

bool startsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

// The node name of the interface's printer-class device ("usb/lp0").
std::string printerOf(const fs::path& interface) {
    for (const fs::path& entry : sortedEntries(interface / "usbmisc")) {
        std::string name = entry.filename().string();
        if (startsWith(name, "lp")) return "usb/" + name;
    }
    return {};
}

// The node name of the interface's terminal ("ttyACM0", "ttyUSB0").
std::string terminalOf(const fs::path& interface) {
    for (const fs::path& entry : sortedEntries(interface / "tty")) {
        std::string name = entry.filename().string();
        if (startsWith(name, "tty")) return name;
    }
    for (const fs::path& entry : sortedEntries(interface)) {
        std::string name = entry.filename().string();
        if (startsWith(name, "ttyUSB")) return name;
    }
    return {};
}

std::string nodeOf(const fs::path& device, const std::string& devRoot) {
    // Interfaces are the device's sub-folders named "<device>:<configuration>.<number>".
    const std::string prefix = device.filename().string() + ":";
    std::string terminal;
    for (const fs::path& interface : sortedEntries(device)) {
        if (!startsWith(interface.filename().string(), prefix.c_str())) continue;
        if (std::string printer = printerOf(interface); !printer.empty())
            return devRoot + "/" + printer;
        if (terminal.empty()) terminal = terminalOf(interface);
    }
    return terminal.empty() ? std::string() : devRoot + "/" + terminal;
}

} // namespace

SdUsbRoots SdUsbRootsOfProcess() {
    SdUsbRoots roots;
    if (const char* sys = std::getenv("SIGNDESK_SYSFS_ROOT"); sys && *sys) roots.sys = sys;
    if (const char* dev = std::getenv("SIGNDESK_DEV_ROOT"); dev && *dev) roots.dev = dev;
    return roots;
}

std::vector<SdUsbDevice> SdListUsbDevices(const SdUsbRoots& roots) {
    std::vector<SdUsbDevice> devices;
    for (const fs::path& folder : sortedEntries(fs::path(roots.sys) / "bus/usb/devices")) {
        auto vendor = readIdFile(folder / "idVendor");
        auto product = readIdFile(folder / "idProduct");
        if (!vendor || !product) continue;
        SdUsbDevice device;
        device.name = folder.filename().string();
        device.vendor = *vendor;
        device.product = *product;
        device.serial = readLine(folder / "serial");
        device.node = nodeOf(folder, roots.dev);
        devices.push_back(std::move(device));
    }
    return devices;
}
