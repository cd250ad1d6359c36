#pragma once
// The port library COMM32: serial, parallel and USB printer-class ports for the cutter
// drivers. It is a plug-in module (COMM32.so, also found as COMM32S.so) that drivers load
// with LoadLibraryA("COMM32.DLL") and bind by name with GetProcAddress; the types below are
// for those bindings.
//
// OpenCommunication reads from the device section of the settings file it is given:
//   Device        "COM1" … "COM8", "LPT1" … "LPT4" (any case, a trailing ':' or ".DOS" is
//                 ignored), "USB" (default "LPT1"), or a device file named directly
//                 (starting with '/', e.g. /dev/ttyUSB0 or /dev/usb/lp0)
//   WindowsUSBID  with "USB": the cutter's ids as "vid_XXXX&pid_XXXX" (hexadecimal, any case;
//                 other text around them is ignored)
//   BaudRate      index: 0 110, 1 300, 2 600, 3 1200, 4 2400 (default), 5 4800, 6 9600,
//                 7 14400, 8 19200, 9 38400, 10 56000, 11 128000, 12 256000
//   Bits          index: 0 seven, 1 eight (default); 5 to 8 are taken as the bit count
//   Parity        index: 0 none (default), 1 even, 2 odd, 3 mark, 4 space
//   StopBits      index: 0 one, 1 one and a half (default; the port sends two), 2 two
//   FlowCtrl      index: 0 none, 1 RTS/CTS (default), 2 XON/XOFF, 3 both
//   RTS/CTS, XON/XOFF   check-box keys of the setup sheets; when either is present the two
//                 decide the flow control and FlowCtrl is not used
// Serial settings apply only where the device is a terminal; an index outside its list
// fails the open.
//
// Port names become device files through section [Ports] of Ports.ini in the settings
// folder, $XDG_CONFIG_HOME/signdesk (default ~/.config/signdesk): keys COM1 … COM8 and
// LPT1 … LPT4, each a device path; a key present but empty disables that port. Without a
// key COMn is /dev/ttyS(n-1) and LPTn is /dev/usb/lp(n-1) when that exists, else
// /dev/lp(n-1). "USB" is looked up in /sys/bus/usb/devices by vendor and product id and
// opens the device's printer-class node (/dev/usb/lpN) or its terminal (/dev/ttyACMn,
// /dev/ttyUSBn). SIGNDESK_SYSFS_ROOT and SIGNDESK_DEV_ROOT replace /sys and /dev.
//
// A device file is opened as it is and never created; a missing one fails the open.
//
// No call blocks for long: a call that finds the port not ready waits at most about 50 ms
// (by the layer's clock, so under a fake clock the time passes at once) and returns.

#include "win32/base.h"

extern "C" {

// The port's handle, or INVALID_HANDLE_VALUE when the section names no port that can be
// opened (GetLastError tells why). A handle is never 0 and is never given out twice.
using OpenCommunicationProc = HANDLE (*)(LPCSTR iniPath, LPCSTR sectionName);
// Closes the port; output still queued is dropped. 1 when closed, 0 for an unknown handle.
using CloseCommunicationProc = int (*)(HANDLE port);
// Writes what the port takes now: the bytes taken, 0 when it takes nothing, -1 on error or
// for an unknown handle. The mode (0 during a job, 1 otherwise) does not change the result.
using BufferedTransmitProc = int (*)(HANDLE port, const char* data, int length, int mode);
// BufferedTransmit with mode 1.
using TransmitProc = int (*)(HANDLE port, const char* data, int length);
// Reads what has arrived, at most length bytes: the count, 0 when nothing came in time, -1
// on error, on a hang-up or for an unknown handle. The buffer is not terminated.
using ReceiveProc = int (*)(HANDLE port, char* buffer, int length);
// Non-zero when everything written has left the port; also for an unknown handle, which
// holds nothing, so that a caller waiting for the port to drain cannot wait for ever.
using IsTransmissionReadyProc = int (*)(HANDLE port);
// Why the calling thread's last OpenCommunication failed, for the user: the port, the device
// file it maps to and the system's reason ("COM1 (/dev/ttyS0): Permission denied; the
// device belongs to the group dialout, ..."); empty after a success. Copies at most size - 1
// bytes and a terminating zero; returns the bytes copied.
using GetCommunicationErrorProc = int (*)(char* text, int size);

// Optional entry, for setup sheets: what a Device text (with the section's WindowsUSBID for
// "USB") reaches, by the same rules as OpenCommunication, without opening anything:
// "COM1 → /dev/ttyS0 (Ports.ini)", "LPT1 → /dev/usb/lp0", "USB → /dev/ttyACM0",
// "USB: no cutter with these ids", "/dev/ttyUSB3: missing". Copies at most size - 1 bytes
// and a terminating zero. Returns DESCRIBED_* flags: 0 for a text that is no port of this
// library (a file or a printer to the driver).
constexpr int DESCRIBED_PORT = 1;     // a port name, "USB" or a device path
constexpr int DESCRIBED_PRESENT = 2;  // its device file exists
constexpr int DESCRIBED_TERMINAL = 4; // and is a terminal, which takes the serial settings
using DescribePortProc = int (*)(LPCSTR device, LPCSTR usbId, char* text, int size);

} // extern "C"
