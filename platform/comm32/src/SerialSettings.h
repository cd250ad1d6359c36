#pragma once
// The line settings of a serial port, as a device section gives them.

#include "win32/base.h"

struct termios2;

namespace comm32 {

struct SerialSettings {
    unsigned baudRate = 2400;
    int dataBits = 8;
    char parity = 'N'; // 'N' none, 'E' even, 'O' odd, 'M' mark, 'S' space
    int stopBits = 2;  // 1.5 is sent as 2
    bool rtsCts = true;
    bool xonXoff = false;

    // Reads BaudRate, Bits, Parity, StopBits, FlowCtrl, RTS/CTS and XON/XOFF of the section.
    // False, with ERROR_INVALID_PARAMETER, when a value lies outside its list.
    static bool read(LPCSTR iniPath, LPCSTR section, SerialSettings& settings);

    // Puts the terminal into raw mode with these settings (and reads that never block).
    // False with errno set when the terminal refuses.
    bool apply(int fd) const;
    // The settings of a terminal's line changed to these.
    void compose(termios2& line) const;
};

} // namespace comm32
