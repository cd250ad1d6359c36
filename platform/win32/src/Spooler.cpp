// The spooler functions over the system's print queues or the fake spooler.

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <string>
#include <strings.h>
#include <unistd.h>
#include <vector>

#include "SpoolerFake.h"
#include "SpoolerSystemQueue.h"
#include "win32/SpoolerTesting.h"
#include "win32/winspool.h"

namespace {

// Windows' defaults for the two time-outs of a printer entry, in milliseconds.
constexpr DWORD deviceNotSelectedTimeout = 15000;
constexpr DWORD transmissionRetryTimeout = 45000;

struct PrinterHandle {
    std::string printer;
    bool fake = false;
    bool inDocument = false;
    bool inPage = false;
    DWORD jobId = 0;
    std::string title;
    std::string spoolFile; // a system job's bytes until it is handed over
    int spoolFd = -1;
};

struct SpoolerState {
    std::mutex mutex;
    std::map<UINT_PTR, PrinterHandle> handles;
    UINT_PTR nextHandle = 0x60000000;
    DWORD nextJob = 1;
};

SpoolerState& state() {
    static SpoolerState spooler;
    return spooler;
}

using Lock = std::unique_lock<std::mutex>;

// The handle's state, with the lock held; null with ERROR_INVALID_HANDLE when unknown.
PrinterHandle* find(HANDLE printer) {
    auto it = state().handles.find(reinterpret_cast<UINT_PTR>(printer));
    if (it != state().handles.end()) return &it->second;
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
}

std::vector<std::string> printerNames(bool fake) {
    return fake ? sdspool::fakePrinters() : sdspool::systemPrinters();
}

// A fake printer's refusal of a step.
bool refuses(const PrinterHandle& handle, DWORD step) {
    if (!handle.fake) return false;
    if (sdspool::fakeRefusals(handle.printer).value_or(0) & step) {
        SetLastError(ERROR_ACCESS_DENIED);
        return true;
    }
    return false;
}

BOOL fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

void discardSpoolFile(PrinterHandle& handle) {
    if (handle.spoolFd >= 0) ::close(handle.spoolFd);
    if (!handle.spoolFile.empty()) ::unlink(handle.spoolFile.c_str());
    handle.spoolFd = -1;
    handle.spoolFile.clear();
}

// A temporary file for a system job; false when none can be made.
bool openSpoolFile(PrinterHandle& handle) {
    char folder[MAX_PATH + 1];
    DWORD n = GetTempPathA(sizeof folder, folder);
    if (n == 0 || n >= sizeof folder) return false;
    std::string pattern = std::string(folder) + "sdspool-XXXXXX";
    int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) return false;
    handle.spoolFd = fd;
    handle.spoolFile = pattern;
    return true;
}

bool writeAll(int fd, const char* data, DWORD size, DWORD& written) {
    written = 0;
    while (written < size) {
        ssize_t n = ::write(fd, data + written, size - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        written += DWORD(n);
    }
    return true;
}

} // namespace

BOOL EnumPrintersA(DWORD flags, LPCSTR /*name*/, DWORD level, LPBYTE printerEnum, DWORD bufferSize,
                   LPDWORD needed, LPDWORD returned) {
    if (!needed || !returned) return fail(ERROR_INVALID_PARAMETER);
    *needed = 0;
    *returned = 0;
    if (level != 5) return fail(ERROR_INVALID_LEVEL);
    std::vector<std::string> names;
    if (flags & (PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS))
        names = printerNames(sdspool::fakeInstalled());
    else if (flags & PRINTER_ENUM_DEFAULT) {
        names = printerNames(sdspool::fakeInstalled());
        if (names.size() > 1) names.resize(1); // the default comes first
    }

    // The entries come first, then each name and an empty port text.
    std::size_t size = names.size() * sizeof(PRINTER_INFO_5A);
    for (const std::string& name : names)
        size += name.size() + 2;
    if (size > 0xFFFFFFFFu) return fail(ERROR_NOT_ENOUGH_MEMORY);
    *needed = DWORD(size);
    if (!printerEnum || bufferSize < size) {
        if (size == 0) return TRUE;
        return fail(ERROR_INSUFFICIENT_BUFFER);
    }
    auto* entries = reinterpret_cast<PRINTER_INFO_5A*>(printerEnum);
    char* text = reinterpret_cast<char*>(printerEnum + names.size() * sizeof(PRINTER_INFO_5A));
    for (std::size_t i = 0; i < names.size(); ++i) {
        PRINTER_INFO_5A& entry = entries[i];
        entry.pPrinterName = text;
        std::memcpy(text, names[i].c_str(), names[i].size() + 1);
        text += names[i].size() + 1;
        entry.pPortName = text;
        *text++ = '\0';
        entry.Attributes = PRINTER_ATTRIBUTE_LOCAL;
        entry.DeviceNotSelectedTimeout = deviceNotSelectedTimeout;
        entry.TransmissionRetryTimeout = transmissionRetryTimeout;
    }
    *returned = DWORD(names.size());
    return TRUE;
}

BOOL OpenPrinterA(LPCSTR printerName, HANDLE* printer, PRINTER_DEFAULTSA* /*defaults*/) {
    if (!printer) return fail(ERROR_INVALID_PARAMETER);
    *printer = nullptr;
    if (!printerName || !*printerName) return fail(ERROR_INVALID_PRINTER_NAME);

    PrinterHandle handle;
    handle.fake = sdspool::fakeInstalled();
    std::vector<std::string> names = printerNames(handle.fake);
    for (const std::string& name : names) {
        if (name == printerName) {
            handle.printer = name;
            break;
        }
        if (handle.printer.empty() && ::strcasecmp(name.c_str(), printerName) == 0)
            handle.printer = name;
    }
    if (handle.printer.empty()) return fail(ERROR_INVALID_PRINTER_NAME);
    if (refuses(handle, SD_REFUSE_OPEN)) return FALSE;

    Lock lock(state().mutex);
    UINT_PTR id = state().nextHandle;
    state().nextHandle += 0x10;
    state().handles.emplace(id, std::move(handle));
    *printer = reinterpret_cast<HANDLE>(id);
    return TRUE;
}

BOOL ClosePrinter(HANDLE printer) {
    Lock lock(state().mutex);
    PrinterHandle* handle = find(printer);
    if (!handle) return FALSE;
    discardSpoolFile(*handle); // an unfinished system job is cancelled
    state().handles.erase(reinterpret_cast<UINT_PTR>(printer));
    return TRUE;
}

DWORD StartDocPrinterA(HANDLE printer, DWORD level, LPBYTE docInfo) {
    Lock lock(state().mutex);
    PrinterHandle* handle = find(printer);
    if (!handle) return 0;
    if (level != 1) return fail(ERROR_INVALID_LEVEL);
    if (!docInfo) return fail(ERROR_INVALID_PARAMETER);
    const auto* info = reinterpret_cast<const DOC_INFO_1A*>(docInfo);
    if (handle->inDocument) return fail(ERROR_INVALID_PRINTER_STATE);
    if (info->pDatatype && ::strcasecmp(info->pDatatype, "RAW") != 0)
        return fail(ERROR_INVALID_DATATYPE);
    if (info->pOutputFile && *info->pOutputFile) return fail(ERROR_INVALID_PARAMETER);
    if (refuses(*handle, SD_REFUSE_START_DOC)) return 0;
    if (!handle->fake && !openSpoolFile(*handle)) return fail(ERROR_WRITE_FAULT);

    handle->jobId = state().nextJob++;
    handle->title = info->pDocName ? info->pDocName : "";
    handle->inDocument = true;
    handle->inPage = false;
    if (handle->fake)
        sdspool::startFakeJob(handle->jobId, handle->printer, handle->title,
                              info->pDatatype ? info->pDatatype : "RAW");
    return handle->jobId;
}

BOOL StartPagePrinter(HANDLE printer) {
    Lock lock(state().mutex);
    PrinterHandle* handle = find(printer);
    if (!handle) return FALSE;
    if (!handle->inDocument) return fail(ERROR_SPL_NO_STARTDOC);
    if (handle->inPage) return fail(ERROR_INVALID_PRINTER_STATE);
    if (refuses(*handle, SD_REFUSE_START_PAGE)) return FALSE;
    handle->inPage = true;
    if (handle->fake) sdspool::addFakePage(handle->jobId);
    return TRUE;
}

BOOL WritePrinter(HANDLE printer, LPVOID data, DWORD size, LPDWORD written) {
    if (written) *written = 0;
    Lock lock(state().mutex);
    PrinterHandle* handle = find(printer);
    if (!handle) return FALSE;
    if (!handle->inDocument) return fail(ERROR_SPL_NO_STARTDOC);
    if (size > 0 && !data) return fail(ERROR_INVALID_PARAMETER);
    if (refuses(*handle, SD_REFUSE_WRITE)) return FALSE;
    const char* bytes = static_cast<const char*>(data);
    DWORD done = size;
    if (handle->fake) {
        sdspool::appendFakeJob(handle->jobId, bytes, size);
    } else if (!writeAll(handle->spoolFd, bytes, size, done)) {
        if (written) *written = done;
        return fail(errno == ENOSPC ? ERROR_DISK_FULL : ERROR_WRITE_FAULT);
    }
    if (written) *written = done;
    return TRUE;
}

BOOL EndPagePrinter(HANDLE printer) {
    Lock lock(state().mutex);
    PrinterHandle* handle = find(printer);
    if (!handle) return FALSE;
    if (!handle->inDocument) return fail(ERROR_SPL_NO_STARTDOC);
    if (!handle->inPage) return fail(ERROR_INVALID_PRINTER_STATE);
    handle->inPage = false;
    return TRUE;
}

BOOL EndDocPrinter(HANDLE printer) {
    Lock lock(state().mutex);
    PrinterHandle* handle = find(printer);
    if (!handle) return FALSE;
    if (!handle->inDocument) return fail(ERROR_SPL_NO_STARTDOC);
    handle->inDocument = false;
    handle->inPage = false;
    if (handle->fake) return sdspool::endFakeJob(handle->jobId) ? TRUE : fail(ERROR_WRITE_FAULT);

    // The print service may take its time: hand the file over without holding the lock.
    const std::string printerName = handle->printer;
    const std::string title = handle->title;
    const std::string file = handle->spoolFile;
    ::close(handle->spoolFd);
    handle->spoolFd = -1;
    handle->spoolFile.clear();
    lock.unlock();
    const bool taken = sdspool::submitSystemJob(printerName, title, file);
    const DWORD error = GetLastError();
    const std::string reason = SdGetLastErrorText();
    ::unlink(file.c_str());
    if (taken) return TRUE;
    SdSetLastErrorText(error, reason.c_str());
    return FALSE;
}

int SdOpenPrinterCount() {
    Lock lock(state().mutex);
    return int(state().handles.size());
}
