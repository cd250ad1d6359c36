#include "pathkit/FileStreams.h"

#include <climits>
#include <cstring>

FileInStream::FileInStream(const char* fileName)
    : file_(fileName ? std::fopen(fileName, "rb") : nullptr),
      buffer_(file_ ? new unsigned char[BufferSize] : nullptr) {}

FileInStream::~FileInStream() {
    if (file_) std::fclose(file_);
    delete[] buffer_;
}

long FileInStream::Size() {
    if (!file_) return -1;
    long here = std::ftell(file_);
    if (here < 0 || std::fseek(file_, 0, SEEK_END) != 0) return -1;
    long size = std::ftell(file_);
    if (std::fseek(file_, here, SEEK_SET) != 0) failed_ = true;
    return size;
}

int FileInStream::Good() {
    return file_ && !failed_;
}

bool FileInStream::Fill() {
    if (!file_) return false;
    bufferStart_ += length_;
    pos_ = length_ = 0;
    std::size_t got = std::fread(buffer_, 1, BufferSize, file_);
    length_ = int(got);
    return got > 0;
}

int FileInStream::Get() {
    if (pos_ >= length_ && !Fill()) {
        failed_ = true;
        return -1;
    }
    return buffer_[pos_++];
}

int FileInStream::UnGet() {
    if (!file_) return -1;
    if (pos_ > 0) {
        --pos_;
        failed_ = false;
        return 0;
    }
    long at = TellG();
    return at > 0 ? SeekG(at - 1, 0) : -1;
}

int FileInStream::SeekG(long offset, int whence) {
    if (!file_) return -1;
    long target;
    switch (whence) {
    case 0:
        target = offset;
        break;
    case 1:
        if (__builtin_add_overflow(TellG(), offset, &target)) return -1;
        break;
    case 2: {
        long size = Size();
        if (size < 0 || offset < 0 || offset > size) return -1;
        target = size - offset;
        break;
    }
    default:
        return -1;
    }
    if (target < 0) return -1;
    // Inside the buffer: no call of the C library.
    if (target >= bufferStart_ && target <= bufferStart_ + length_) {
        pos_ = int(target - bufferStart_);
        failed_ = false;
        return 0;
    }
    if (std::fseek(file_, target, SEEK_SET) != 0) return -1;
    bufferStart_ = target;
    pos_ = length_ = 0;
    failed_ = false;
    return 0;
}

long FileInStream::TellG() {
    return file_ ? bufferStart_ + pos_ : -1;
}

int FileInStream::Read(void* buffer, int n) {
    auto* out = static_cast<unsigned char*>(buffer);
    int count = 0;
    while (count < n) {
        if (pos_ >= length_ && !Fill()) {
            failed_ = true;
            break;
        }
        int take = length_ - pos_ < n - count ? length_ - pos_ : n - count;
        std::memcpy(out + count, buffer_ + pos_, std::size_t(take));
        pos_ += take;
        count += take;
    }
    return count;
}

FileOutStream::FileOutStream(const char* fileName)
    : file_(fileName ? std::fopen(fileName, "wb") : nullptr) {}

FileOutStream::~FileOutStream() {
    if (file_) std::fclose(file_);
}

int FileOutStream::Close() {
    if (!file_) return -1;
    bool failed = failed_ || std::ferror(file_);
    if (std::fclose(file_) != 0) failed = true;
    file_ = nullptr;
    return failed ? -1 : 0;
}

int FileOutStream::Good() {
    return file_ && !failed_ && !std::ferror(file_);
}

int FileOutStream::Put(char c) {
    if (!file_ || std::fputc(static_cast<unsigned char>(c), file_) == EOF) {
        failed_ = true;
        return -1;
    }
    return 0;
}

long FileOutStream::TellP() {
    return file_ ? std::ftell(file_) : -1;
}

int FileOutStream::SeekP(long offset, int whence) {
    if (!file_) return -1;
    int origin = whence == 0 ? SEEK_SET : whence == 1 ? SEEK_CUR : whence == 2 ? SEEK_END : -1;
    if (origin < 0) return -1;
    if (whence == 2) offset = -offset;
    return std::fseek(file_, offset, origin) == 0 ? 0 : -1;
}

int FileOutStream::Write(const void* data, int n) {
    if (!file_ || n <= 0) return 0;
    std::size_t done = std::fwrite(data, 1, std::size_t(n), file_);
    if (done != std::size_t(n)) failed_ = true;
    return int(done);
}

int FileOutStream::Flush() {
    if (file_ && std::fflush(file_) != 0) failed_ = true;
    return failed_ ? -1 : 0;
}
