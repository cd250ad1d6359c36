#pragma once
// Test hooks of the spooler: a fake spooler whose printers the test makes up and whose jobs
// it reads back, and the time-out of the requests that reach the system's print queues.

#include <string>
#include <vector>

#include "win32/base.h"

// What a fake printer refuses, as bits; each refusal fails with ERROR_ACCESS_DENIED.
constexpr DWORD SD_REFUSE_OPEN = 0x1;       // OpenPrinterA
constexpr DWORD SD_REFUSE_START_DOC = 0x2;  // StartDocPrinterA
constexpr DWORD SD_REFUSE_START_PAGE = 0x4; // StartPagePrinter
constexpr DWORD SD_REFUSE_WRITE = 0x8;      // WritePrinter, which then takes nothing

struct SdSpooledJob {
    DWORD jobId;
    std::string printer;
    std::string document; // the document name given to StartDocPrinterA
    std::string datatype;
    std::string bytes; // everything written, byte for byte
    std::string file;  // the capture file once the job ended, when a folder was given
    int pages;         // pages started
    bool ended;        // EndDocPrinter came; a job closed without it is cancelled
};

// While the fake spooler is installed the spooler knows only fake printers and keeps every
// job (also one still open) for SdSpooledJobs. With a capture folder each ended job is also
// written to "<folder>/job-<id>.prn". Installing starts with no printers and no jobs;
// printer handles opened before keep going where they went.
WIN32_API void SdInstallFakeSpooler(LPCSTR captureFolder = nullptr);
WIN32_API void SdRemoveFakeSpooler();
WIN32_API bool SdFakeSpoolerInstalled();
// Adds a printer at the end of the list that EnumPrintersA gives.
WIN32_API void SdAddFakePrinter(LPCSTR name, DWORD refusals = 0);
// Jobs in the order they were started.
WIN32_API std::vector<SdSpooledJob> SdSpooledJobs();

// Printer handles not yet closed, fake or not.
WIN32_API int SdOpenPrinterCount();

// How long the system's print service may take to accept a connection and to give each
// answer before the request counts as failed; 0 restores the default of 10 seconds.
WIN32_API void SdSetSpoolerCommandTimeout(DWORD milliseconds);
