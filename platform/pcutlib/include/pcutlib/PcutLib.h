#pragma once
// The cutter maker's library PcutLib: one cutter at a time, reached through the device that
// section [PcutLib] of Ports.ini names (Device = a device file, or "vid_XXXX&pid_XXXX" found
// through sysfs). Its entries are served by ordinal (win32/module.h):
//   1 PcutOpen(0)                 → 1 when the cutter was opened, else 0
//   2 PcutClose(0)                → 1
//   4 PcutWrite(data, length)     → 1 when the whole block was accepted (within 5 s), else 0
//   5 PcutReadByte(byte, 0, 1)    → 1 when a byte came, 2 while none is there yet (it waits
//                                   at most 1 ms), another value on error or when closed
// and, by name, PcutLibError(text, size): why the last PcutOpen failed, for the user.

extern "C" {
using PcutOpenProc = int (*)(int reserved);
using PcutCloseProc = int (*)(int reserved);
using PcutWriteProc = int (*)(const char* data, int length);
using PcutReadByteProc = int (*)(char* byte, int reserved, int count);
using PcutLibErrorProc = int (*)(char* text, int size);
}
