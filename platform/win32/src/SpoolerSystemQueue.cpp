// The print service through libcups. Every request opens its own connection to the server
// that CUPS_SERVER names at that moment, waits at most the time-out for each answer, and
// closes it again: nothing of the service is cached between calls.

#include "SpoolerSystemQueue.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

#include <cups/cups.h>

#include "win32/PrintQueues.h"
#include "win32/SpoolerTesting.h"
#include "win32/nls.h"
#include "win32/winspool.h"

namespace sdspool {

namespace {

constexpr DWORD defaultTimeout = 10000;
std::atomic<DWORD> serviceTimeout{defaultTimeout};

struct HttpClose {
    void operator()(http_t* http) const { httpClose(http); }
};
using Connection = std::unique_ptr<http_t, HttpClose>;

struct DestsFree {
    int count = 0;
    cups_dest_t* dests = nullptr;
    ~DestsFree() { cupsFreeDests(count, dests); }
};

int giveUp(http_t*, void*) {
    return 0;
}

BOOL failWith(DWORD code, const std::string& reason) {
    SdSetLastErrorText(code, reason.c_str());
    return FALSE;
}

// The service's last words, or the system's for the last failed call when it has none.
std::string serviceReason(const char* doing) {
    std::string reason = doing;
    const char* said = cupsLastErrorString();
    reason += ": ";
    reason += said && *said ? said : std::strerror(errno);
    return reason;
}

// A connection to the service; null with the reason when it cannot be reached.
Connection connectService(std::string& reason) {
    cupsSetServer(nullptr); // reads CUPS_SERVER afresh
    const std::string server = cupsServer();
    const int port = ippPort();
    const DWORD timeout = serviceTimeout.load();
    errno = 0;
    Connection http(httpConnect2(server.c_str(), port, nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                 int(timeout), nullptr));
    if (!http) {
        reason = "the print service at " + server +
                 (server.empty() || server[0] == '/' ? "" : ":" + std::to_string(port)) +
                 " cannot be reached: " + (errno ? std::strerror(errno) : "no answer");
        return nullptr;
    }
    httpSetTimeout(http.get(), timeout / 1000.0, giveUp, nullptr);
    return http;
}

std::string utf8(const std::string& ansi) {
    if (ansi.empty()) return ansi;
    int wide = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, nullptr, 0);
    if (wide <= 0) return "";
    std::u16string w(std::size_t(wide), u'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, w.data(), wide);
    int bytes = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return "";
    std::string out(std::size_t(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, out.data(), bytes, nullptr, nullptr);
    out.resize(std::size_t(bytes - 1));
    return out;
}

// "queue/instance" names the queue.
std::string queueOf(const std::string& printer) {
    return printer.substr(0, printer.find('/'));
}

// The service's job id, or 0 with the last error and reason set.
DWORD submit(const std::string& printer, const std::string& title, const std::string& file,
             const char* format) {
    std::string reason;
    Connection http = connectService(reason);
    if (!http) return failWith(ERROR_WRITE_FAULT, reason);
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return failWith(ERROR_WRITE_FAULT, file + ": " + std::strerror(errno));
    const std::string queue = queueOf(printer);
    const std::string name = utf8(title);
    const int job = cupsCreateJob(http.get(), queue.c_str(), name.c_str(), 0, nullptr);
    if (job <= 0) {
        ::close(fd);
        return failWith(ERROR_WRITE_FAULT, serviceReason(("queue " + queue).c_str()));
    }
    bool sent = cupsStartDocument(http.get(), queue.c_str(), job, name.c_str(), format, 1) ==
                HTTP_STATUS_CONTINUE;
    char buffer[65536];
    while (sent) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            sent = n == 0;
            break;
        }
        sent = cupsWriteRequestData(http.get(), buffer, std::size_t(n)) == HTTP_STATUS_CONTINUE;
    }
    ::close(fd);
    if (sent && cupsFinishDocument(http.get(), queue.c_str()) == IPP_STATUS_OK) return DWORD(job);
    const std::string why = serviceReason(("queue " + queue).c_str());
    cupsCancelJob2(http.get(), queue.c_str(), job, 0);
    return failWith(ERROR_WRITE_FAULT, why);
}

} // namespace

std::vector<std::string> systemPrinters() {
    std::vector<std::string> printers;
    std::string reason;
    Connection http = connectService(reason);
    if (!http) return printers;
    // One cheap question first: a service that does not answer it is not asked the two
    // that listing the queues takes (libcups waits about a second at least for each).
    ipp_t* probe = cupsDoRequest(http.get(), ippNewRequest(IPP_OP_CUPS_GET_DEFAULT), "/");
    if (!probe) return printers;
    ippDelete(probe);
    DestsFree list;
    list.count = cupsGetDests2(http.get(), &list.dests);
    for (int i = 0; i < list.count; ++i) {
        const cups_dest_t& dest = list.dests[i];
        std::string name = dest.name ? dest.name : "";
        if (name.empty()) continue;
        if (dest.instance && *dest.instance) name += std::string("/") + dest.instance;
        if (dest.is_default)
            printers.insert(printers.begin(), name);
        else
            printers.push_back(name);
    }
    return printers;
}

bool submitSystemJob(const std::string& printer, const std::string& title,
                     const std::string& file) {
    return submit(printer, title, file, CUPS_FORMAT_RAW) != 0;
}

void setServiceTimeout(DWORD milliseconds) {
    serviceTimeout = milliseconds ? milliseconds : defaultTimeout;
}

} // namespace sdspool

using namespace sdspool;

void SdSetSpoolerCommandTimeout(DWORD milliseconds) {
    setServiceTimeout(milliseconds);
}

BOOL SdDescribeQueue(LPCSTR printer, int width, int length, SdQueueMedia* media) {
    if (!printer || !*printer || !media) return failWith(ERROR_INVALID_PARAMETER, "");
    *media = SdQueueMedia{};
    std::string reason;
    Connection http = connectService(reason);
    if (!http) return failWith(ERROR_WRITE_FAULT, reason);
    const std::string queue = queueOf(printer);
    DestsFree list;
    list.count = cupsGetDests2(http.get(), &list.dests);
    cups_dest_t* dest = cupsGetDest(queue.c_str(), nullptr, list.count, list.dests);
    if (!dest) return failWith(ERROR_INVALID_PRINTER_NAME, "no print queue " + queue);
    cups_dinfo_t* info = cupsCopyDestInfo(http.get(), dest);
    if (!info) return failWith(ERROR_WRITE_FAULT, serviceReason(("queue " + queue).c_str()));

    cups_size_t size{};
    bool found = width > 0 && length > 0 &&
                 cupsGetDestMediaBySize(http.get(), dest, info, width, length, 0, &size);
    if (!found) found = cupsGetDestMediaDefault(http.get(), dest, info, 0, &size);
    ipp_attribute_t* resolution = cupsFindDestDefault(http.get(), dest, info, "printer-resolution");
    if (resolution && ippGetCount(resolution) > 0) {
        ipp_res_t units = IPP_RES_PER_INCH;
        int y = 0;
        int x = ippGetResolution(resolution, 0, &y, &units);
        if (units == IPP_RES_PER_CM) x = int(x * 2.54 + 0.5), y = int(y * 2.54 + 0.5);
        media->dpiX = x > 0 ? x : 0;
        media->dpiY = y > 0 ? y : 0;
    }
    cupsFreeDestInfo(info);
    if (!found || size.width <= 0 || size.length <= 0)
        return failWith(ERROR_NOT_FOUND, "queue " + queue + " tells no media");
    media->width = size.width;
    media->length = size.length;
    media->left = std::max(size.left, 0);
    media->right = std::max(size.right, 0);
    media->top = std::max(size.top, 0);
    media->bottom = std::max(size.bottom, 0);
    return TRUE;
}

DWORD SdSubmitQueueFile(LPCSTR queue, LPCSTR title, LPCSTR file, LPCSTR mimeType) {
    if (!queue || !*queue || !file || !mimeType) return failWith(ERROR_INVALID_PARAMETER, "");
    return submit(queue, title ? title : "", file, mimeType);
}
