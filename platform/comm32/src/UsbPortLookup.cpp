#include "UsbPortLookup.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

namespace comm32 {

namespace fs = std::filesystem;

namespace {

// The four hexadecimal digits after `key` (matched without case), or nothing.
std::optional<unsigned> hexAfter(std::string_view text, std::string_view key) {
    auto lowerEq = [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; };
    auto at = std::search(text.begin(), text.end(), key.begin(), key.end(), lowerEq);
    if (at == text.end()) return std::nullopt;
    std::string_view digits(at + key.size(), text.end());
    if (digits.size() < 4) return std::nullopt;
    unsigned value = 0;
    for (int i = 0; i < 4; ++i) {
        unsigned char c = static_cast<unsigned char>(digits[i]);
        if (!std::isxdigit(c)) return std::nullopt;
        value = value * 16 + unsigned(std::isdigit(c) ? c - '0' : std::tolower(c) - 'a' + 10);
    }
    if (digits.size() > 4 && std::isxdigit(static_cast<unsigned char>(digits[4])))
        return std::nullopt;
    return value;
}

// A sysfs id file holds four hexadecimal digits and a line break.
std::optional<unsigned> readIdFile(const fs::path& file) {
    std::ifstream in(file);
    std::string text;
    if (!(in >> text) || text.size() != 4) return std::nullopt;
    try {
        std::size_t used = 0;
        unsigned long value = std::stoul(text, &used, 16);
        if (used != text.size()) return std::nullopt;
        return unsigned(value);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::vector<fs::path> sortedEntries(const fs::path& folder) {
    std::vector<fs::path> entries;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        entries.push_back(it->path());
    std::sort(entries.begin(), entries.end());
    return entries;
}

bool startsWith(const std::string& text, std::string_view prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// The node name of the interface's printer-class device ("usb/lp0") or terminal ("ttyACM0",
// "ttyUSB0").
std::string printerOf(const fs::path& interface) {
    for (const fs::path& entry : sortedEntries(interface / "usbmisc")) {
        std::string name = entry.filename().string();
        if (startsWith(name, "lp")) return "usb/" + name;
    }
    return {};
}

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

} // namespace

std::optional<UsbId> parseUsbId(std::string_view text) {
    auto vendor = hexAfter(text, "vid_");
    auto product = hexAfter(text, "pid_");
    if (!vendor || !product) return std::nullopt;
    return UsbId{*vendor, *product};
}

std::string findUsbPort(const UsbId& id, const PortEnvironment& environment) {
    const fs::path devices = fs::path(environment.sysRoot) / "bus/usb/devices";
    for (const fs::path& device : sortedEntries(devices)) {
        if (readIdFile(device / "idVendor") != id.vendor ||
            readIdFile(device / "idProduct") != id.product)
            continue;
        // Interfaces are the device's sub-folders named "<device>:<configuration>.<number>".
        const std::string interfacePrefix = device.filename().string() + ":";
        std::string terminal;
        for (const fs::path& interface : sortedEntries(device)) {
            if (!startsWith(interface.filename().string(), interfacePrefix)) continue;
            if (std::string printer = printerOf(interface); !printer.empty())
                return environment.devRoot + "/" + printer;
            if (terminal.empty()) terminal = terminalOf(interface);
        }
        if (!terminal.empty()) return environment.devRoot + "/" + terminal;
    }
    return {};
}

} // namespace comm32
