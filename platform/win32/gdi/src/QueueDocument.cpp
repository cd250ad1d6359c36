#include "QueueDocument.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

#include <cairo-pdf.h>

#include "win32/PrintQueues.h"
#include "win32/kernel.h"

namespace sdgdi {

QueueDocument::~QueueDocument() {
    discard();
}

cairo_status_t QueueDocument::write(void* closure, const unsigned char* data, unsigned int length) {
    auto* self = static_cast<QueueDocument*>(closure);
    while (length > 0) {
        const ssize_t n = ::write(self->fd_, data, length);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            self->writeErrno_ = n < 0 ? errno : ENOSPC;
            return CAIRO_STATUS_WRITE_ERROR;
        }
        data += n;
        length -= unsigned(n);
    }
    return CAIRO_STATUS_SUCCESS;
}

bool QueueDocument::failed(const char* doing) {
    std::string reason = std::string(doing) + " " + file_ + ": ";
    const DWORD code = writeErrno_ == ENOSPC ? ERROR_DISK_FULL : ERROR_WRITE_FAULT;
    if (writeErrno_)
        reason += std::strerror(writeErrno_);
    else
        reason +=
            cairo_status_to_string(pdf_ ? cairo_surface_status(pdf_) : CAIRO_STATUS_NO_MEMORY);
    discard();
    failure_ = code;
    failureReason_ = reason;
    SdSetLastErrorText(code, reason.c_str());
    return false;
}

bool QueueDocument::notOpen() {
    if (failure_)
        SdSetLastErrorText(failure_, failureReason_.c_str());
    else
        SetLastError(ERROR_INVALID_PARAMETER);
    return false;
}

bool QueueDocument::open(double widthPoints, double heightPoints) {
    discard();
    failure_ = 0;
    failureReason_.clear();
    char folder[MAX_PATH + 1];
    const DWORD n = GetTempPathA(sizeof folder, folder);
    if (n == 0 || n >= sizeof folder) {
        SdSetLastErrorText(ERROR_WRITE_FAULT, "no temporary folder");
        return false;
    }
    std::string pattern = std::string(folder) + "sdprint-XXXXXX.pdf";
    fd_ = ::mkostemps(pattern.data(), 4, O_CLOEXEC);
    if (fd_ < 0) {
        SdSetLastErrorText(ERROR_WRITE_FAULT, (pattern + ": " + std::strerror(errno)).c_str());
        return false;
    }
    file_ = pattern;
    pdf_ = cairo_pdf_surface_create_for_stream(write, this, widthPoints, heightPoints);
    if (cairo_surface_status(pdf_) != CAIRO_STATUS_SUCCESS) return failed("cannot write");
    return true;
}

bool QueueDocument::addPage(const Surface& area, int offsetX, int offsetY, int dpiX, int dpiY) {
    if (!pdf_) return notOpen();
    // cairo takes 32-bit pixels; the page's are the 24-bit rows of a DIB.
    const int w = area.width();
    const int h = area.height();
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(image);
        SdSetLastErrorText(ERROR_NOT_ENOUGH_MEMORY, "no memory for the page image");
        return false;
    }
    cairo_surface_flush(image);
    unsigned char* pixels = cairo_image_surface_get_data(image);
    const int stride = cairo_image_surface_get_stride(image);
    for (int y = 0; y < h; ++y) {
        auto* out = reinterpret_cast<std::uint32_t*>(pixels + std::size_t(y) * std::size_t(stride));
        for (int x = 0; x < w; ++x)
            out[x] = area.get(x, y) & 0xFFFFFFu;
    }
    cairo_surface_mark_dirty(image);

    cairo_t* cr = cairo_create(pdf_);
    cairo_scale(cr, 72.0 / dpiX, 72.0 / dpiY);
    cairo_set_source_surface(cr, image, offsetX, offsetY);
    // Device pixels stay pixels: no smoothing between them when the page is rendered.
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_show_page(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(image);
    if (cairo_surface_status(pdf_) != CAIRO_STATUS_SUCCESS) return failed("cannot write");
    return true;
}

bool QueueDocument::submit(const std::string& queue, const std::string& title) {
    if (!pdf_) return notOpen();
    cairo_surface_finish(pdf_);
    if (cairo_surface_status(pdf_) != CAIRO_STATUS_SUCCESS) return failed("cannot write");
    if (::fsync(fd_) != 0 || ::close(fd_) != 0) {
        writeErrno_ = errno;
        fd_ = -1;
        return failed("cannot write");
    }
    fd_ = -1;
    const DWORD job =
        SdSubmitQueueFile(queue.c_str(), title.c_str(), file_.c_str(), "application/pdf");
    const DWORD code = GetLastError();
    const std::string reason = SdGetLastErrorText();
    discard();
    if (job) return true;
    SdSetLastErrorText(code, reason.c_str());
    return false;
}

void QueueDocument::discard() {
    if (pdf_) {
        // Finishing would write the rest of the file; a discarded one is closed first.
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
        cairo_surface_destroy(pdf_);
        pdf_ = nullptr;
    }
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!file_.empty()) ::unlink(file_.c_str());
    file_.clear();
    writeErrno_ = 0;
}

} // namespace sdgdi
