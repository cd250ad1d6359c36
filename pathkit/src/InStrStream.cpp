#include "pathkit/InStrStream.h"

#include "StreamSeek.h"

InStrStream::InStrStream(const char* data, long length) {
    Attach(data, length);
}

void InStrStream::Attach(const char* data, long length) {
    data_ = reinterpret_cast<const unsigned char*>(data);
    length_ = data && length > 0 ? length : 0;
    pos_ = 0;
}

int InStrStream::Good() {
    return pos_ >= 0 && pos_ < length_;
}

int InStrStream::Get() {
    if (!Good()) return -1;
    return data_[pos_++];
}

int InStrStream::UnGet() {
    return SeekG(-1, 1);
}

int InStrStream::SeekG(long offset, int whence) {
    long target = SeekTarget(pos_, length_, offset, whence);
    if (target < 0) return -1;
    pos_ = target;
    return 0;
}

long InStrStream::TellG() {
    return pos_;
}
