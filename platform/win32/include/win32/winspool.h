#pragma once
// The print spooler: the local printers and raw print jobs. Printers are the queues of the
// system's print service (CUPS, through libcups; the server CUPS_SERVER names, else the
// client's own setting); where none answers there are no printers. Jobs are collected in a
// temporary file and handed to the queue, as RAW data, when the document ends. Tests
// replace the queues with fake printers (win32/SpoolerTesting.h).

#include "win32/base.h"
#include "win32/kernel.h"
#include "win32/module.h"

constexpr DWORD PRINTER_ENUM_DEFAULT = 0x00000001;
constexpr DWORD PRINTER_ENUM_LOCAL = 0x00000002;
constexpr DWORD PRINTER_ENUM_CONNECTIONS = 0x00000004;

constexpr DWORD PRINTER_ATTRIBUTE_LOCAL = 0x00000040;

constexpr DWORD ERROR_INVALID_LEVEL = 124;
constexpr DWORD ERROR_INVALID_PRINTER_NAME = 1801;
constexpr DWORD ERROR_INVALID_DATATYPE = 1804;
constexpr DWORD ERROR_INVALID_PRINTER_STATE = 1906;
constexpr DWORD ERROR_SPL_NO_STARTDOC = 3003;

struct PRINTER_INFO_5A {
    LPSTR pPrinterName;
    LPSTR pPortName;
    DWORD Attributes;
    DWORD DeviceNotSelectedTimeout;
    DWORD TransmissionRetryTimeout;
};
using PRINTER_INFO_5 = PRINTER_INFO_5A;

struct DOC_INFO_1A {
    LPSTR pDocName;
    LPSTR pOutputFile;
    LPSTR pDatatype;
};
using DOC_INFO_1 = DOC_INFO_1A;

struct PRINTER_DEFAULTSA {
    LPSTR pDatatype;
    LPVOID pDevMode;
    DWORD DesiredAccess;
};
using PRINTER_DEFAULTS = PRINTER_DEFAULTSA;

// Level 5 only; PRINTER_ENUM_LOCAL and PRINTER_ENUM_CONNECTIONS list every printer, the
// default one first (the service's default; the first fake printer); PRINTER_ENUM_DEFAULT
// alone lists the default printer; other flags none. The buffer gets the array of entries followed
// by their texts. A buffer too small fails with ERROR_INSUFFICIENT_BUFFER and *needed set;
// *returned is then 0.
WIN32_API BOOL EnumPrintersA(DWORD flags, LPCSTR name, DWORD level, LPBYTE printerEnum,
                             DWORD bufferSize, LPDWORD needed, LPDWORD returned);
// The name matches without regard to case. An unknown name fails with
// ERROR_INVALID_PRINTER_NAME and *printer set to null. Defaults are not used.
WIN32_API BOOL OpenPrinterA(LPCSTR printerName, HANDLE* printer, PRINTER_DEFAULTSA* defaults);
// A document still open is cancelled: nothing of it is printed.
WIN32_API BOOL ClosePrinter(HANDLE printer);
// Level 1; the data type must be "RAW" (any case) or null, and no output file may be given.
// Returns the job id, or 0 on failure.
WIN32_API DWORD StartDocPrinterA(HANDLE printer, DWORD level, LPBYTE docInfo);
WIN32_API BOOL StartPagePrinter(HANDLE printer);
// Takes the bytes into the open document (a page need not be started).
WIN32_API BOOL WritePrinter(HANDLE printer, LPVOID data, DWORD size, LPDWORD written);
WIN32_API BOOL EndPagePrinter(HANDLE printer);
// Hands the document to the printer's queue; fails with ERROR_WRITE_FAULT when the queue
// does not take it, the service's reason in SdGetLastErrorText.
WIN32_API BOOL EndDocPrinter(HANDLE printer);

inline BOOL EnumPrinters(DWORD f, LPCSTR n, DWORD l, LPBYTE b, DWORD s, LPDWORD nd, LPDWORD r) {
    return EnumPrintersA(f, n, l, b, s, nd, r);
}
inline BOOL OpenPrinter(LPCSTR n, HANDLE* p, PRINTER_DEFAULTSA* d) {
    return OpenPrinterA(n, p, d);
}
inline DWORD StartDocPrinter(HANDLE p, DWORD l, LPBYTE d) {
    return StartDocPrinterA(p, l, d);
}
