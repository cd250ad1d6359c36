#include "pathkit/InStream.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "ClassicNumbers.h"

namespace {

constexpr int kNumberBuffer = 40; // at most 39 bytes of a number
constexpr char kIntegerChars[] = "0123456789ABCDEF";
constexpr char kFloatChars[] = "0123456789.eE+-";

// Byte c (0..255) belongs to the set; the terminator never does.
bool InSet(const char* set, int c) {
    return c > 0 && set && std::strchr(set, c) != nullptr;
}

double SaturateDouble(double v) {
    if (std::isinf(v)) return v > 0 ? DBL_MAX : -DBL_MAX;
    if (std::isnan(v)) return 0;
    return v;
}

} // namespace

InStream::~InStream() = default;

int InStream::Read(void* buffer, int n) {
    auto* out = static_cast<unsigned char*>(buffer);
    int count = 0;
    while (count < n) {
        int c = Get();
        if (c < 0) break;
        out[count++] = static_cast<unsigned char>(c);
    }
    return count;
}

int InStream::GetString(char* buffer, int len, const char* stops) {
    if (!buffer || len < 1) return 0;
    int count = 0;
    bool ended = false;
    while (count < len - 1) {
        int c = Get();
        if (c < 0) {
            ended = true;
            break;
        }
        if (InSet(stops, c)) break;
        buffer[count++] = static_cast<char>(c);
    }
    buffer[count] = 0;
    return ended && count == 0 ? -1 : count;
}

int InStream::Collect(char* buffer, int len, const char* set) {
    if (!buffer || len < 1) return 0;
    int c;
    do {
        c = Get();
        if (c < 0) {
            buffer[0] = 0;
            return -1;
        }
    } while (!InSet(set, c));
    int count = 0;
    if (len > 1) {
        buffer[count++] = static_cast<char>(c);
        while (count < len - 1) {
            c = Get();
            if (c < 0) break;
            if (!InSet(set, c)) {
                UnGet();
                break;
            }
            buffer[count++] = static_cast<char>(c);
        }
    } else {
        UnGet();
    }
    buffer[count] = 0;
    return count;
}

// Like Collect over the integer characters, keeping a '-' that comes right before a digit.
int InStream::CollectInteger(char* buffer, bool negativeAllowed) {
    int count = 0;
    int c;
    for (;;) {
        c = Get();
        if (c < 0) return -1;
        if (InSet(kIntegerChars, c)) break;
        if (c == '-' && negativeAllowed) {
            int next = Get();
            if (next < 0) return -1;
            if (InSet(kIntegerChars, next)) {
                buffer[count++] = '-';
                c = next;
                break;
            }
            UnGet();
        }
    }
    buffer[count++] = static_cast<char>(c);
    while (count < kNumberBuffer - 1) {
        c = Get();
        if (c < 0) break;
        if (!InSet(kIntegerChars, c)) {
            UnGet();
            break;
        }
        buffer[count++] = static_cast<char>(c);
    }
    buffer[count] = 0;
    return count;
}

InStream& InStream::operator>>(char& c) {
    int v = Get();
    if (v >= 0) c = static_cast<char>(v);
    return *this;
}

InStream& InStream::operator>>(unsigned char& c) {
    int v = Get();
    if (v >= 0) c = static_cast<unsigned char>(v);
    return *this;
}

InStream& InStream::operator>>(char* token) {
    if (!token) return *this;
    if (maxLen_ < 1) {
        token[0] = 0;
        return *this;
    }
    GetString(token, maxLen_, delimiters_.c_str());
    return *this;
}

InStream& InStream::operator>>(unsigned char* token) {
    return *this >> reinterpret_cast<char*>(token);
}

InStream& InStream::operator>>(long& value) {
    char text[kNumberBuffer];
    if (CollectInteger(text, true) <= 0) return *this;
    value = std::strtol(text, nullptr, base_);
    return *this;
}

InStream& InStream::operator>>(int& value) {
    long v = value;
    *this >> v;
    value = v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v);
    return *this;
}

InStream& InStream::operator>>(unsigned long& value) {
    char text[kNumberBuffer];
    if (CollectInteger(text, true) <= 0) return *this;
    // A negative number has no unsigned value; it saturates to 0 rather than wrapping.
    value = text[0] == '-' ? 0 : std::strtoul(text, nullptr, base_);
    return *this;
}

InStream& InStream::operator>>(unsigned int& value) {
    unsigned long v = value;
    *this >> v;
    value = v > UINT_MAX ? UINT_MAX : static_cast<unsigned int>(v);
    return *this;
}

InStream& InStream::operator>>(double& value) {
    char text[kNumberBuffer];
    if (Collect(text, kNumberBuffer, kFloatChars) <= 0) return *this;
    value = SaturateDouble(ClassicStrToD(text));
    return *this;
}

InStream& InStream::operator>>(float& value) {
    double v = value;
    *this >> v;
    value = v > FLT_MAX ? FLT_MAX : v < -FLT_MAX ? -FLT_MAX : static_cast<float>(v);
    return *this;
}

InStream& InStream::operator>>(WhiteSpace delimiters) {
    delimiters_ = delimiters.set ? delimiters.set : "";
    for (;;) {
        int c = Get();
        if (c < 0) break;
        if (!InSet(delimiters_.c_str(), c)) {
            UnGet();
            break;
        }
    }
    return *this;
}

InStream& InStream::operator>>(MaxLen maxLen) {
    maxLen_ = maxLen.length;
    return *this;
}

InStream& InStream::operator>>(NumBase base) {
    base_ = base.base;
    return *this;
}
