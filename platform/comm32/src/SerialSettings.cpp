#include "SerialSettings.h"

#include <array>
#include <cstring>
#include <string_view>

#include "win32/kernel.h"

namespace comm32 {

namespace {

// The speeds of the setup sheets' list, by index.
constexpr std::array<unsigned, 13> baudRates = {110,   300,   600,   1200,  2400,   4800,  9600,
                                                14400, 19200, 38400, 56000, 128000, 256000};
constexpr std::string_view parities = "NEOMS";

constexpr char missingKey[] = "\x01";

int readInt(LPCSTR iniPath, LPCSTR section, LPCSTR key, int defaultValue) {
    return int(GetPrivateProfileIntA(section, key, defaultValue, iniPath));
}

// A check-box key: nothing when absent, else whether it reads as a non-zero number.
int readSwitch(LPCSTR iniPath, LPCSTR section, LPCSTR key) {
    char text[64];
    GetPrivateProfileStringA(section, key, missingKey, text, sizeof text, iniPath);
    if (std::strcmp(text, missingKey) == 0) return -1;
    return readInt(iniPath, section, key, 0) != 0 ? 1 : 0;
}

} // namespace

bool SerialSettings::read(LPCSTR iniPath, LPCSTR section, SerialSettings& settings) {
    const int baud = readInt(iniPath, section, "BaudRate", 4);
    const int bits = readInt(iniPath, section, "Bits", 1);
    const int parity = readInt(iniPath, section, "Parity", 0);
    const int stop = readInt(iniPath, section, "StopBits", 1);
    const int flow = readInt(iniPath, section, "FlowCtrl", 1);
    const int rtsCts = readSwitch(iniPath, section, "RTS/CTS");
    const int xonXoff = readSwitch(iniPath, section, "XON/XOFF");

    const bool valid = baud >= 0 && baud < int(baudRates.size()) &&
                       (bits == 0 || bits == 1 || (bits >= 5 && bits <= 8)) && parity >= 0 &&
                       parity < int(parities.size()) && stop >= 0 && stop <= 2 &&
                       (flow >= 0 && flow <= 3);
    if (!valid) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    settings.baudRate = baudRates[std::size_t(baud)];
    settings.dataBits = bits == 0 ? 7 : bits == 1 ? 8 : bits;
    settings.parity = parities[std::size_t(parity)];
    settings.stopBits = stop == 0 ? 1 : 2;
    if (rtsCts >= 0 || xonXoff >= 0) {
        settings.rtsCts = rtsCts == 1;
        settings.xonXoff = xonXoff == 1;
    } else {
        settings.rtsCts = flow & 1;
        settings.xonXoff = flow & 2;
    }
    return true;
}

} // namespace comm32
