#pragma once
// Growable arrays of the settings code and the shell: instances of the path library's array
// family.

#include <cstdint>

#include <pathkit/DynArr.h>

// 32-bit floats with insertion and deletion at an index.
using floatDynArr = EDynArr<float>;

// Owned, heap-allocated (new[]) strings. The array frees what it holds when it is destroyed.
class ConstStrDynArr : public DynArr<const char*> {
public:
    explicit ConstStrDynArr(std::uint16_t growStep = DefaultGrowStep,
                            std::uint16_t limit = DefaultLimit) noexcept
        : DynArr<const char*>(growStep, limit) {}
    ~ConstStrDynArr() { Destroy(); }

    // Frees the strings of first .. first + n - 1 (clipped to the filled count) and nulls
    // their slots; the count is unchanged.
    void DeleteStrings(std::uint16_t first, std::uint16_t n) noexcept {
        unsigned end = unsigned(first) + n;
        if (end > Filled()) end = Filled();
        for (unsigned i = first; i < end; ++i) {
            delete[] (*this)[std::uint16_t(i)];
            (*this)[std::uint16_t(i)] = nullptr;
        }
    }
    // Frees every string and the block.
    void Destroy() noexcept {
        DeleteStrings(0, Filled());
        DynArr<const char*>::Destroy();
    }
    // Appends a copy of text.
    void AppendCopy(const char* text);
};
