#pragma once
// The USB pipe library summausb: one cutter, reached through the device that section
// [summausb] of Ports.ini names (Device = a device file, or "vid_XXXX&pid_XXXX" found through
// sysfs; a vendor interface without a node through libusb). Entries, by name:
//   open_file(name, 0)          → a kernel file handle (win32/fileio.h) for overlapped
//                                 ReadFile and WriteFile, closed with CloseHandle; -1
//                                 (INVALID_HANDLE_VALUE) when the cutter cannot be reached
//                                 or the name is no pipe. "PIPE00" carries the commands to
//                                 the cutter, "PIPE01" its replies.
//   summausb_error(text, size)  → why the last open_file failed, for the user.
// Opening a pipe that was handed out already opens the cutter afresh (a new job).

#include <win32/base.h>

extern "C" {
using SummaOpenFileProc = HANDLE (*)(const char* name, int flags);
using SummaErrorProc = int (*)(char* text, int size);
}
