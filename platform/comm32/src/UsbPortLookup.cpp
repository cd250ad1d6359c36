#include "UsbPortLookup.h"

#include <algorithm>
#include <cctype>

#include "win32/UsbDevices.h"

namespace comm32 {

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

} // namespace

std::optional<UsbId> parseUsbId(std::string_view text) {
    auto vendor = hexAfter(text, "vid_");
    auto product = hexAfter(text, "pid_");
    if (!vendor || !product) return std::nullopt;
    return UsbId{*vendor, *product};
}

std::string findUsbPort(const UsbId& id, const PortEnvironment& environment) {
    for (const SdUsbDevice& device : SdListUsbDevices({environment.sysRoot, environment.devRoot}))
        if (device.vendor == id.vendor && device.product == id.product && !device.node.empty())
            return device.node;
    return {};
}

} // namespace comm32
