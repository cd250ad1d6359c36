#include "output/CPrinterStream.h"

#include <cstring>

#include "mfc/CDC.h"

namespace {

std::uint16_t EvenCapacity(std::uint16_t capacity) {
    std::uint16_t even = std::uint16_t(capacity & ~1u);
    return even < 2 ? 2 : even;
}

} // namespace

CPrinterStream::CPrinterStream(CDC* printer, std::uint16_t capacity)
    : dc_(printer), capacity_(EvenCapacity(capacity)), buffer_(std::size_t(capacity_) + 2, 0) {}

std::uint16_t CPrinterStream::Pending() const {
    std::uint16_t n;
    std::memcpy(&n, buffer_.data(), sizeof n);
    return n;
}

int CPrinterStream::Good() {
    return dc_ && dc_->m_hDC && !failed_ ? 1 : 0;
}

int CPrinterStream::Put(char c) {
    std::uint16_t n = Pending();
    if (n >= capacity_) {
        if (Flush() <= 0) {
            failed_ = true;
            return -1;
        }
        n = 0;
    }
    buffer_[std::size_t(n) + 2] = c;
    ++n;
    std::memcpy(buffer_.data(), &n, sizeof n);
    return 0;
}

int CPrinterStream::Flush() {
    if (!dc_) return -1;
    ::Escape(dc_->m_hAttribDC, FLUSHOUTPUT, 0, nullptr, nullptr);
    int n = Pending();
    int result = dc_->Escape(POSTSCRIPT_PASSTHROUGH, n + 2, buffer_.data(), nullptr);
    std::uint16_t zero = 0;
    std::memcpy(buffer_.data(), &zero, sizeof zero);
    return result;
}
