#include "pathkit/OutStream.h"

#include "ClassicNumbers.h"

namespace {

constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";

// Digits of v in base (2..36) into the end of buf; returns the first digit.
char* FormatUnsigned(unsigned long v, int base, char* end) {
    char* p = end;
    do {
        *--p = kDigits[v % static_cast<unsigned>(base)];
        v /= static_cast<unsigned>(base);
    } while (v);
    return p;
}

bool ValidBase(int base) {
    return base >= 2 && base <= 36;
}

} // namespace

OutStream::~OutStream() = default;

int OutStream::Write(const void* data, int n) {
    const auto* bytes = static_cast<const char*>(data);
    int count = 0;
    while (count < n && Put(bytes[count]) == 0)
        ++count;
    return count;
}

int OutStream::Flush() {
    return 0;
}

OutStream& OutStream::operator<<(const char* text) {
    if (!text) return *this;
    while (*text && Put(*text) == 0)
        ++text;
    return *this;
}

OutStream& OutStream::operator<<(const unsigned char* text) {
    return *this << reinterpret_cast<const char*>(text);
}

OutStream& OutStream::operator<<(char c) {
    Put(c);
    return *this;
}

OutStream& OutStream::operator<<(unsigned char c) {
    Put(static_cast<char>(c));
    return *this;
}

OutStream& OutStream::operator<<(long value) {
    if (!ValidBase(base_)) return *this;
    char buf[72];
    char* end = buf + sizeof buf - 1;
    *end = 0;
    char* p;
    if (base_ == 10 && value < 0) {
        // Negate in unsigned arithmetic so that LONG_MIN has a magnitude.
        p = FormatUnsigned(0ul - static_cast<unsigned long>(value), 10, end);
        *--p = '-';
    } else {
        p = FormatUnsigned(static_cast<unsigned long>(value), base_, end);
    }
    return *this << p;
}

OutStream& OutStream::operator<<(int value) {
    return *this << static_cast<long>(value);
}

OutStream& OutStream::operator<<(unsigned long value) {
    if (!ValidBase(base_)) return *this;
    char buf[72];
    char* end = buf + sizeof buf - 1;
    *end = 0;
    return *this << FormatUnsigned(value, base_, end);
}

OutStream& OutStream::operator<<(unsigned int value) {
    return *this << static_cast<unsigned long>(value);
}

OutStream& OutStream::operator<<(double value) {
    char buf[80];
    int n = ClassicFormatDouble(buf, sizeof buf, format_.c_str(), value);
    // Byte by byte, like the other writers: a stream without block output still gets it.
    for (int i = 0; i < n && Put(buf[i]) == 0; ++i) {
    }
    return *this;
}

OutStream& OutStream::operator<<(float value) {
    return *this << static_cast<double>(value);
}

OutStream& OutStream::operator<<(EndLine) {
    if (Put('\r') == 0) Put('\n');
    return *this;
}

OutStream& OutStream::operator<<(Format format) {
    format_ = format.format ? format.format : "%g";
    return *this;
}

OutStream& OutStream::operator<<(NumBase base) {
    base_ = base.base;
    return *this;
}

OutStream& OutStream::operator<<(Repeat repeat) {
    for (int i = 0; i < repeat.count && Put(repeat.c) == 0; ++i) {
    }
    return *this;
}
