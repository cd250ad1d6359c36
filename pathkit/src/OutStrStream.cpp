#include "pathkit/OutStrStream.h"

#include "StreamSeek.h"

OutStrStream::OutStrStream(char* buffer, long size) {
    Attach(buffer, size);
}

void OutStrStream::Attach(char* buffer, long size) {
    buffer_ = buffer;
    size_ = buffer && size > 0 ? size : 0;
    pos_ = 0;
}

int OutStrStream::Good() {
    return pos_ >= 0 && pos_ < size_;
}

int OutStrStream::Put(char c) {
    if (!Good()) return -1;
    buffer_[pos_++] = c;
    return 0;
}

long OutStrStream::TellP() {
    return pos_;
}

int OutStrStream::SeekP(long offset, int whence) {
    long target = SeekTarget(pos_, size_, offset, whence);
    if (target < 0) return -1;
    pos_ = target;
    return 0;
}
