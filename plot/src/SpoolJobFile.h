#pragma once
// The spool job file (.wjob) that the outside spooler program sends to the cutter later:
//
//   u32 L (little-endian) = length of the header text + 9
//   header text, "Name=...\n...TarvelSignature="
//   checksum line, 8 upper-case hex digits and a line feed
//   u32 0
//   the device's command stream, written by the driver during the job

#include <cstddef>

#include <mfc/CString.h>
#include <win32/base.h>

class CIniFile;
class PlotterDriver;

class SpoolJobFile {
public:
    // d := (b + d + 953) XOR (b << 8 * (i mod 4)) over the bytes b, modulo 2^32.
    static DWORD Checksum(const char* text, std::size_t length);
    // The header text. Line breaks and other control characters of the values become blanks,
    // so that no value can add a line of its own.
    static CString HeaderText(const char* name, const char* device, const char* media,
                              const char* color, const char* sheetSize, const char* sheet,
                              int copies);
    // "<folder>/<job>-<hhmmss>-<sheet>.wjob" with the first '/' of the sheet text as '.'.
    // Characters that file names cannot hold become '_'; the job name and sheet text are
    // converted from the ANSI code page to UTF-8.
    static CString FileName(const char* folder, const char* jobName, const SYSTEMTIME& time,
                            const char* sheet);
    // Length word, header text, checksum line and zero word, as four writes.
    static void WriteHeader(PlotterDriver& driver, const CString& header);
};

// Points the Device key of a device section at another output for as long as it lives, and
// writes the saved value back however the scope is left.
class DeviceRedirect {
public:
    DeviceRedirect(CIniFile& ini, const char* section, const char* saved, const char* target);
    ~DeviceRedirect();
    DeviceRedirect(const DeviceRedirect&) = delete;
    DeviceRedirect& operator=(const DeviceRedirect&) = delete;

private:
    CIniFile& ini_;
    CString section_;
    CString saved_;
};
