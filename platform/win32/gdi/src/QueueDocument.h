#pragma once
// A document for a system print queue: each page one image in a temporary PDF, which is
// handed to the queue when the document ends and removed in every case.

#include <string>

#include <cairo.h>

#include "Surface.h"

namespace sdgdi {

class QueueDocument {
public:
    QueueDocument() = default;
    QueueDocument(const QueueDocument&) = delete;
    QueueDocument& operator=(const QueueDocument&) = delete;
    ~QueueDocument(); // an unfinished document is discarded

    // Makes the temporary PDF with pages of the given size in points; false with the last
    // error set.
    bool open(double widthPoints, double heightPoints);
    // One page: the printable area's pixels, placed the offset (in its own pixels) from the
    // sheet's top left corner. False with the last error set.
    bool addPage(const Surface& area, int offsetX, int offsetY, int dpiX, int dpiY);
    // Ends the PDF and queues it under the title; false with the last error and the
    // reason set. The temporary file is gone afterwards either way.
    bool submit(const std::string& queue, const std::string& title);
    // Drops the document without sending anything.
    void discard();

    const std::string& file() const { return file_; }

private:
    static cairo_status_t write(void* closure, const unsigned char* data, unsigned int length);
    bool failed(const char* doing);
    bool notOpen();

    cairo_surface_t* pdf_ = nullptr;
    int fd_ = -1;
    int writeErrno_ = 0;
    std::string file_;
    // Why the document was dropped, told again by every later call.
    DWORD failure_ = 0;
    std::string failureReason_;
};

} // namespace sdgdi
