#pragma once
// Raw block allocation shared by private heaps and global memory.

#include <cstddef>
#include <cstdlib>

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
