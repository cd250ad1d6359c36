#pragma once
// The seek rule the memory streams share.

// New position for a seek over `length` bytes, or -1 when refused: whence 0 and 1 must land
// in [0, length - 1]; whence 2 sets length - offset for 0 <= offset <= length.
inline long SeekTarget(long pos, long length, long offset, int whence) {
    long target;
    switch (whence) {
    case 0:
        target = offset;
        break;
    case 1:
        if (__builtin_add_overflow(pos, offset, &target)) return -1;
        break;
    case 2:
        if (offset < 0 || offset > length) return -1;
        return length - offset;
    default:
        return -1;
    }
    return target >= 0 && target < length ? target : -1;
}
