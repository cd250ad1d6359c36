// SerialSettings::apply, over the kernel's termios2 so that every speed of the list (14400,
// 56000, 128000, 256000 have no B-constant) can be set exactly.

#include <asm/termbits.h>
#include <cerrno>
#include <sys/ioctl.h>

#include "SerialSettings.h"

namespace comm32 {

bool SerialSettings::apply(int fd) const {
    termios2 line{};
    if (::ioctl(fd, TCGETS2, &line) != 0) return false;
    compose(line);
    return ::ioctl(fd, TCSETS2, &line) == 0;
}

void SerialSettings::compose(termios2& line) const {
    line.c_iflag &= ~tcflag_t(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON |
                              IXOFF | IXANY | INPCK);
    line.c_oflag &= ~tcflag_t(OPOST);
    line.c_lflag &= ~tcflag_t(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    line.c_cflag &= ~tcflag_t(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | CBAUD |
                              CIBAUD); // no input speed: the same as output
    line.c_cflag |= CLOCAL | CREAD | HUPCL;

    switch (dataBits) {
    case 5:
        line.c_cflag |= CS5;
        break;
    case 6:
        line.c_cflag |= CS6;
        break;
    case 7:
        line.c_cflag |= CS7;
        break;
    default:
        line.c_cflag |= CS8;
        break;
    }
    switch (parity) {
    case 'E':
        line.c_cflag |= PARENB;
        break;
    case 'O':
        line.c_cflag |= PARENB | PARODD;
        break;
    case 'M':
        line.c_cflag |= PARENB | CMSPAR | PARODD;
        break;
    case 'S':
        line.c_cflag |= PARENB | CMSPAR;
        break;
    default:
        break;
    }
    if (parity != 'N') line.c_iflag |= INPCK;
    if (stopBits == 2) line.c_cflag |= CSTOPB;
    if (rtsCts) line.c_cflag |= CRTSCTS;
    if (xonXoff) line.c_iflag |= IXON | IXOFF;

    line.c_cflag |= BOTHER;
    line.c_ispeed = line.c_ospeed = baudRate;
    line.c_cc[VMIN] = 0;
    line.c_cc[VTIME] = 0;
    line.c_cc[VSTART] = 0x11;
    line.c_cc[VSTOP] = 0x13;
}

} // namespace comm32
