#pragma once
// Raw block allocation shared by private heaps and global memory.

#include <cstddef>
#include <cstdlib>
#include <cstring>

// Requests above this are refused outright rather than handed to the C allocator; it is far
// beyond anything the system asks for and below what the sanitizer allocator accepts.
constexpr std::size_t kLargestMemoryRequest = std::size_t(1) << 40;

// A fresh block of at least one byte (so that zero-sized blocks still have distinct
// addresses), or null.
inline void* allocateBlock(std::size_t bytes, bool zero) {
    if (bytes > kLargestMemoryRequest) return nullptr;
    std::size_t n = bytes == 0 ? 1 : bytes;
    return zero ? std::calloc(1, n) : std::malloc(n);
}

// The block resized to `bytes`, grown where it lies when the C allocator can (large blocks are
// remapped rather than copied), else moved; null with the old block untouched on failure. The
// bytes past oldBytes are zeroed on request.
inline void* reallocateBlock(void* block, std::size_t oldBytes, std::size_t bytes, bool zero) {
    if (bytes > kLargestMemoryRequest) return nullptr;
    void* grown = std::realloc(block, bytes == 0 ? 1 : bytes);
    if (grown && zero && bytes > oldBytes)
        std::memset(static_cast<char*>(grown) + oldBytes, 0, bytes - oldBytes);
    return grown;
}
