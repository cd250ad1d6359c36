#include "doc/COStreamOut.h"

#include <unistd.h>

COStreamOut::COStreamOut(const char* path) : file_(std::fopen(path, "wb")) {
    failed_ = file_ == nullptr;
}

COStreamOut::~COStreamOut() {
    if (file_) std::fclose(file_);
}

int COStreamOut::Good() {
    return file_ != nullptr && !failed_ && !std::ferror(file_);
}

int COStreamOut::Put(char c) {
    if (!file_ || std::fputc(static_cast<unsigned char>(c), file_) == EOF) {
        failed_ = true;
        return -1;
    }
    return 0;
}

long COStreamOut::TellP() {
    return file_ ? std::ftell(file_) : -1;
}

int COStreamOut::SeekP(long offset, int whence) {
    if (!file_) return -1;
    failed_ = false;
    std::clearerr(file_);
    const int origin = whence == 1 ? SEEK_CUR : whence == 2 ? SEEK_END : SEEK_SET;
    return std::fseek(file_, offset, origin) == 0 ? 0 : -1;
}

int COStreamOut::Write(const void* data, int n) {
    if (!file_ || n < 0) return -1;
    if (n > 0 && std::fwrite(data, 1, std::size_t(n), file_) != std::size_t(n)) failed_ = true;
    return Good() ? 0 : -1;
}

int COStreamOut::Flush() {
    if (!file_ || std::fflush(file_) != 0) {
        failed_ = true;
        return -1;
    }
    return 0;
}

int COStreamOut::Close() {
    if (!file_) return -1;
    bool ok = Good() && std::fflush(file_) == 0 && ::fsync(::fileno(file_)) == 0;
    ok = std::fclose(file_) == 0 && ok;
    file_ = nullptr;
    return ok ? 0 : -1;
}
