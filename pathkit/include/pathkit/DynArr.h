#pragma once
// The growable array behind every list of the library: 16-bit counts, a buffer in the
// guarded allocator's heap, a per-instance growth step and limit.
//
//   DynArr<E>        growth, append, access, sort, search
//   EDynArr<E>       adds insertion and deletion at an index, reversal, rotation, Unique
//   EClassDynArr<E>  an EDynArr that constructs its elements on Append and copy, and
//                    destroys them on deletion (for elements that own buffers)
//
// Elements are moved inside the buffer as raw bytes, so an element type must not point into
// itself. Plain and element arrays also copy elements in as raw bytes and never construct or
// destroy them.
//
// An array owns its buffer alone. Assigning one array to another (or Transfer) moves the
// buffer and leaves the source empty; arrays cannot be copied.
//
// Operations that fail throw before anything changes: NoMemory when the allocator returns
// null, the element type's LimitCheck when the count would pass the limit, its RangeCheck for
// an index outside the array.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <new>
#include <utility>

#include "guardalloc/Guardalloc.h"
#include "pathkit/Exceptions.h"
#include "pathkit/export.h"

// The errors of every array kind of one element type.
template <class E> class PATHKIT_API DynArrErrors {
public:
    class PATHKIT_API LimitCheck : public LimitCheckError {};
    class PATHKIT_API RangeCheck : public RangeCheckError {};
};

template <class E, bool OwnsElements = false> class PATHKIT_API DynArr : public DynArrErrors<E> {
public:
    using Element = E;
    using LimitCheck = typename DynArrErrors<E>::LimitCheck;
    using RangeCheck = typename DynArrErrors<E>::RangeCheck;

    static constexpr std::uint16_t DefaultGrowStep = 50;
    static constexpr std::uint16_t DefaultLimit = 0xFFFE;
    static constexpr std::uint32_t NotFound = 0xFFFFFFFF;

    explicit DynArr(std::uint16_t growStep = DefaultGrowStep,
                    std::uint16_t limit = DefaultLimit) noexcept
        : capacity(0), count(0), limit(limit), buffer(nullptr), growStep(growStep) {}

    DynArr(const DynArr&) = delete;
    DynArr(DynArr&& other) noexcept
        : capacity(other.capacity), count(other.count), limit(other.limit), buffer(other.buffer),
          growStep(other.growStep) {
        other.Empty();
    }
    // Assignment is a transfer: this takes the other's elements and buffer, the other is left
    // empty, and what this held before is destroyed.
    DynArr& operator=(DynArr& other) noexcept {
        Transfer(other);
        return *this;
    }
    DynArr& operator=(DynArr&& other) noexcept {
        Transfer(other);
        return *this;
    }
    ~DynArr() { Destroy(); }

    void Transfer(DynArr& other) noexcept {
        if (&other == this) return;
        Destroy();
        capacity = other.capacity;
        count = other.count;
        limit = other.limit;
        buffer = other.buffer;
        growStep = other.growStep;
        other.Empty();
    }

    // Makes room for n more elements; returns the number of slots added.
    std::uint16_t Grow(std::uint16_t n) {
        if (unsigned(capacity) >= unsigned(count) + n) return 0;
        if (count >= limit) throw LimitCheck();
        unsigned newCapacity = unsigned(capacity) + n;
        if (newCapacity > limit) newCapacity = limit;
        if (newCapacity <= capacity) return 0;
        Reallocate(newCapacity);
        std::uint16_t added = std::uint16_t(newCapacity - capacity);
        capacity = std::uint16_t(newCapacity);
        return added;
    }

    // Copies e to the end (element-class arrays copy-construct it); returns the new element.
    E* Append(const E& e) {
        const E* source = &e;
        std::ptrdiff_t inside = IndexInBuffer(source);
        MakeRoomForOne();
        if (inside >= 0) source = buffer + inside;
        E* slot = buffer + count;
        if constexpr (OwnsElements) {
            new (slot) E(*source);
        } else {
            std::memcpy(static_cast<void*>(slot), static_cast<const void*>(source), sizeof(E));
        }
        ++count;
        return slot;
    }

    // Adds one slot at the end and returns it: a default-constructed element in element-class
    // arrays, zero bytes otherwise.
    E* Append() {
        MakeRoomForOne();
        E* slot = buffer + count;
        if constexpr (OwnsElements) {
            new (slot) E();
        } else {
            std::memset(static_cast<void*>(slot), 0, sizeof(E));
        }
        ++count;
        return slot;
    }

    // Appends copies of all elements of other (which may be this array).
    template <bool OtherOwns> DynArr& operator+=(const DynArr<E, OtherOwns>& other) {
        std::uint16_t n = other.Filled();
        if (n == 0) return *this;
        if (unsigned(count) + n > limit) throw LimitCheck();
        Grow(std::uint16_t(count + n));
        const E* source = other.first(); // read after growing: other may be this array
        CopyIn(buffer + count, source, n);
        count = std::uint16_t(count + n);
        return *this;
    }

    // Removes the last element and returns it, still in the buffer and not destroyed (the
    // caller takes it over); null when empty.
    E* UnAppend() { return count ? buffer + --count : nullptr; }

    // Unchecked.
    E& operator[](std::uint16_t i) { return buffer[i]; }
    const E& operator[](std::uint16_t i) const { return buffer[i]; }

    E* first() { return buffer; }
    const E* first() const { return buffer; }
    E* last() { return count ? buffer + count - 1 : nullptr; }
    const E* last() const { return count ? buffer + count - 1 : nullptr; }

    E* begin() { return buffer; }
    E* end() { return buffer + count; }
    const E* begin() const { return buffer; }
    const E* end() const { return buffer + count; }

    // Neighbours with wrap-around; null on an empty array.
    E* Prev(E* e) {
        if (!count) return nullptr;
        return e == buffer ? buffer + count - 1 : e - 1;
    }
    E* Next(E* e) {
        if (!count) return nullptr;
        return e == buffer + count - 1 ? buffer : e + 1;
    }
    const E* Prev(const E* e) const { return const_cast<DynArr*>(this)->Prev(const_cast<E*>(e)); }
    const E* Next(const E* e) const { return const_cast<DynArr*>(this)->Next(const_cast<E*>(e)); }
    // The same on indices; on an empty array the result names no element.
    // (Const and non-const, so that Prev(0) never competes with the pointer forms.)
    std::uint16_t Prev(int i) const { return std::uint16_t(i == 0 ? count - 1 : i - 1); }
    std::uint16_t Next(int i) const { return std::uint16_t(i + 1 >= count ? 0 : i + 1); }
    std::uint16_t Prev(int i) { return std::as_const(*this).Prev(i); }
    std::uint16_t Next(int i) { return std::as_const(*this).Next(i); }

    std::uint16_t Filled() const { return count; }
    std::uint16_t Allocated() const { return capacity; }
    bool IsFull() const { return count >= limit; }

    void SetGrowStep(std::uint16_t step) { growStep = step; }

    void Reset() { ResetTo(0); }
    // Keeps the first n elements (element-class arrays destroy the rest); the buffer stays.
    void ResetTo(std::uint16_t n) {
        if (n >= count) return;
        DestroyElements(n, std::uint16_t(count - n));
        count = n;
    }

    // Shrinks the buffer to exactly count elements; an empty array frees it.
    void Compact() {
        if (count == 0) {
            Destroy();
            return;
        }
        if (capacity == count) return;
        E* exact = reinterpret_cast<E*>(SafeAlloc(ByteSize(count)));
        if (!exact) throw NoMemory();
        std::memcpy(static_cast<void*>(exact), static_cast<const void*>(buffer), ByteSize(count));
        SafeFree(buffer);
        buffer = exact;
        capacity = count;
    }

    // Destroys the elements (element-class arrays) and frees the buffer.
    void Destroy() noexcept {
        DestroyElements(0, count);
        if (buffer) SafeFree(buffer);
        Empty();
    }

    // Forgets the buffer without freeing it or destroying anything: for a buffer whose
    // ownership has passed elsewhere.
    void Empty() noexcept {
        buffer = nullptr;
        capacity = 0;
        count = 0;
    }

    // Stable: equal elements keep their order, so the result is the same on every run.
    // cmp(E*, E*) returns <0, 0 or >0. Needs no memory and does not throw by itself.
    template <class Cmp> void Sort(Cmp cmp) {
        if (count < 2) return;
        StableSort(buffer, count, cmp);
    }

    // Binary search in an array sorted by cmp; cmp(key, element) > 0 means the key sorts
    // after the element. Returns the index found, or NotFound with *pos set to the lower
    // bound of the last interval searched.
    template <class Cmp>
    std::uint32_t Search(const E* key, Cmp cmp, std::uint16_t* pos = nullptr) const {
        std::uint16_t found = 0;
        std::uint32_t result = SearchSorted(key, cmp, found);
        if (pos) *pos = found;
        return result;
    }

    DynArr& This() { return *this; }

protected:
    // Copies n elements into raw slots at dst (copy-constructs in element-class arrays; on a
    // failed construction the ones made are destroyed again).
    static void CopyIn(E* dst, const E* src, std::uint16_t n) {
        if constexpr (OwnsElements) {
            std::uint16_t made = 0;
            try {
                for (; made < n; ++made)
                    new (dst + made) E(src[made]);
            } catch (...) {
                for (std::uint16_t i = 0; i < made; ++i)
                    dst[i].~E();
                throw;
            }
        } else {
            std::memcpy(static_cast<void*>(dst), static_cast<const void*>(src), ByteSize(n));
        }
    }

    void DestroyElements(std::uint16_t from, std::uint16_t n) noexcept {
        if constexpr (OwnsElements) {
            for (std::uint16_t i = 0; i < n; ++i)
                buffer[from + i].~E();
        }
    }

    static std::size_t ByteSize(unsigned n) { return std::size_t(n) * sizeof(E); }

    // The index of p when it points at an element of this array, else -1.
    std::ptrdiff_t IndexInBuffer(const E* p) const {
        if (!buffer || std::less<const E*>()(p, buffer) ||
            !std::less<const E*>()(p, buffer + count))
            return -1;
        return p - buffer;
    }

    // Room for n more, growing by at least growStep (and by at least one).
    void MakeRoomFor(std::uint16_t n) {
        if (unsigned(count) + n > limit) throw LimitCheck();
        if (unsigned(capacity) >= unsigned(count) + n) return;
        std::uint16_t step = growStep > n ? growStep : n;
        Grow(step ? step : 1);
    }
    void MakeRoomForOne() { MakeRoomFor(1); }

    static void SwapRaw(E* a, E* b) noexcept {
        alignas(E) unsigned char t[sizeof(E)];
        std::memcpy(t, static_cast<const void*>(a), sizeof(E));
        std::memcpy(static_cast<void*>(a), static_cast<const void*>(b), sizeof(E));
        std::memcpy(static_cast<void*>(b), t, sizeof(E));
    }

    static void ReverseRaw(E* p, int from, int to) noexcept {
        for (; from < to; ++from, --to)
            SwapRaw(p + from, p + to);
    }

    std::uint16_t capacity;
    std::uint16_t count;
    std::uint16_t limit;
    E* buffer;
    std::uint16_t growStep;

private:
    void Reallocate(unsigned newCapacity) {
        std::size_t bytes = ByteSize(newCapacity);
        if (bytes > 0xFFFFFFFFu) throw NoMemory();
        char* p = buffer ? SafeReAlloc(reinterpret_cast<char*>(buffer), unsigned(bytes))
                         : SafeAlloc(unsigned(bytes));
        if (!p) throw NoMemory();
        buffer = reinterpret_cast<E*>(p);
    }

    template <class Cmp>
    std::uint32_t SearchSorted(const E* key, Cmp& cmp, std::uint16_t& pos) const {
        if (count == 0) {
            pos = 0;
            return NotFound;
        }
        unsigned lo = 0, hi = count - 1u, mid = hi / 2;
        for (;;) {
            int c = cmp(key, buffer + mid);
            if (c == 0) {
                pos = std::uint16_t(mid);
                return mid;
            }
            if (hi == lo) break;
            if (hi - lo == 1) {
                if (cmp(key, buffer + hi) == 0) {
                    pos = std::uint16_t(hi);
                    return hi;
                }
                if (cmp(key, buffer + lo) == 0) {
                    pos = std::uint16_t(lo);
                    return lo;
                }
                break;
            }
            if (c > 0) {
                lo = mid;
            } else {
                hi = mid;
            }
            mid = (lo + hi) / 2;
        }
        pos = std::uint16_t(lo);
        return NotFound;
    }

    // Insertion sort of short blocks, then in-place symmetric merges (rotations done by three
    // reversals). Stable, allocation-free, O(n log n) comparisons.
    template <class Cmp> static void StableSort(E* p, int n, Cmp& cmp) {
        constexpr int block = 20;
        int a = 0;
        for (; a + block <= n; a += block)
            InsertionSort(p, a, a + block, cmp);
        InsertionSort(p, a, n, cmp);
        for (int size = block; size < n; size *= 2) {
            int b = 0;
            for (; b + 2 * size <= n; b += 2 * size)
                SymMerge(p, b, b + size, b + 2 * size, cmp);
            if (b + size < n) SymMerge(p, b, b + size, n, cmp);
        }
    }

    template <class Cmp> static bool Less(E* p, int i, int j, Cmp& cmp) {
        return cmp(p + i, p + j) < 0;
    }

    template <class Cmp> static void InsertionSort(E* p, int a, int b, Cmp& cmp) {
        for (int i = a + 1; i < b; ++i)
            for (int j = i; j > a && Less(p, j, j - 1, cmp); --j)
                SwapRaw(p + j, p + j - 1);
    }

    // Merges the sorted runs [a, m) and [m, b).
    template <class Cmp> static void SymMerge(E* p, int a, int m, int b, Cmp& cmp) {
        if (m - a == 1) {
            // Insert p[a] into [m, b): after every element not greater than it.
            int i = m, j = b;
            while (i < j) {
                int h = (i + j) / 2;
                if (Less(p, h, a, cmp)) {
                    i = h + 1;
                } else {
                    j = h;
                }
            }
            for (int k = a; k < i - 1; ++k)
                SwapRaw(p + k, p + k + 1);
            return;
        }
        if (b - m == 1) {
            // Insert p[m] into [a, m): before every element greater than it.
            int i = a, j = m;
            while (i < j) {
                int h = (i + j) / 2;
                if (!Less(p, m, h, cmp)) {
                    i = h + 1;
                } else {
                    j = h;
                }
            }
            for (int k = m; k > i; --k)
                SwapRaw(p + k, p + k - 1);
            return;
        }
        int mid = (a + b) / 2;
        int n = mid + m;
        int start, r;
        if (m > mid) {
            start = n - b;
            r = mid;
        } else {
            start = a;
            r = m;
        }
        int last = n - 1;
        while (start < r) {
            int c = (start + r) / 2;
            if (!Less(p, last - c, c, cmp)) {
                start = c + 1;
            } else {
                r = c;
            }
        }
        int end = n - start;
        if (start < m && m < end) {
            ReverseRaw(p, start, m - 1);
            ReverseRaw(p, m, end - 1);
            ReverseRaw(p, start, end - 1);
        }
        if (a < start && start < mid) SymMerge(p, a, start, mid, cmp);
        if (mid < end && end < b) SymMerge(p, mid, end, b, cmp);
    }
};

template <class E, bool OwnsElements = false>
class PATHKIT_API EDynArr : public DynArr<E, OwnsElements> {
    using Base = DynArr<E, OwnsElements>;

public:
    using typename Base::LimitCheck;
    using typename Base::RangeCheck;

    explicit EDynArr(std::uint16_t growStep = Base::DefaultGrowStep,
                     std::uint16_t limit = Base::DefaultLimit) noexcept
        : Base(growStep, limit) {}
    EDynArr(EDynArr&&) noexcept = default;
    EDynArr& operator=(EDynArr& other) noexcept {
        this->Transfer(other);
        return *this;
    }
    EDynArr& operator=(EDynArr&& other) noexcept {
        this->Transfer(other);
        return *this;
    }

    // Copies n elements in at index; index = count appends. The elements may come from this
    // array itself.
    void InsertAt(std::uint16_t index, const E* elements, std::uint16_t n) {
        if (n == 0) return;
        if (index > this->count) throw RangeCheck();
        if (unsigned(this->count) + n > this->limit) throw LimitCheck();
        if (OverlapsElements(elements, n)) {
            InsertStaged(index, elements, n);
            return;
        }
        this->MakeRoomFor(n);
        E* gap = this->buffer + index;
        std::size_t tail = Base::ByteSize(this->count - index);
        std::memmove(static_cast<void*>(gap + n), static_cast<const void*>(gap), tail);
        try {
            Base::CopyIn(gap, elements, n);
        } catch (...) {
            std::memmove(static_cast<void*>(gap), static_cast<const void*>(gap + n), tail);
            throw;
        }
        this->count = std::uint16_t(this->count + n);
    }

    void DeleteAt(std::uint16_t index, std::uint16_t n) {
        if (n == 0) return;
        if (unsigned(index) + n > this->count) throw RangeCheck();
        this->DestroyElements(index, n);
        E* gap = this->buffer + index;
        std::memmove(static_cast<void*>(gap), static_cast<const void*>(gap + n),
                     Base::ByteSize(this->count - index - n));
        this->count = std::uint16_t(this->count - n);
    }

    void Add(const E* elements, std::uint16_t n) { InsertAt(this->count, elements, n); }

    // Reverses elements i to j inclusive.
    void Reverse(std::uint16_t i, std::uint16_t j) {
        if (i >= j) return;
        if (j >= this->count) throw RangeCheck();
        Base::ReverseRaw(this->buffer, i, j);
    }

    // Rotates left so that the element at n (taken modulo count) comes first.
    void Rotate(int n) {
        int c = this->count;
        if (c == 0) return;
        n %= c;
        if (n < 0) n += c;
        if (n == 0) return;
        Base::ReverseRaw(this->buffer, 0, n - 1);
        Base::ReverseRaw(this->buffer, n, c - 1);
        Base::ReverseRaw(this->buffer, 0, c - 1);
    }

    // Sorts, then keeps only the first element of each run that compares equal.
    template <class Cmp> void Unique(Cmp cmp) {
        this->Sort(cmp);
        if (this->count < 2) return;
        E* p = this->buffer;
        int kept = 0;
        for (int i = 1; i < this->count; ++i) {
            if (cmp(p + i, p + kept) == 0) {
                if constexpr (OwnsElements) p[i].~E();
            } else if (++kept != i) {
                // The slot at kept was dropped or moved out already.
                std::memcpy(static_cast<void*>(p + kept), static_cast<const void*>(p + i),
                            sizeof(E));
            }
        }
        this->count = std::uint16_t(kept + 1);
    }

    // Element-class arrays: releases what elements index .. min(count, index + n) - 1 own,
    // leaving default elements in their place; the count stays.
    void release(std::uint16_t index, std::uint16_t n) requires OwnsElements {
        unsigned end = unsigned(index) + n;
        if (end > this->count) end = this->count;
        for (unsigned i = index; i < end; ++i)
            this->buffer[i] = E();
    }

    EDynArr& This() { return *this; }

private:
    bool OverlapsElements(const E* elements, std::uint16_t n) const {
        const E* b = this->buffer;
        if (!b) return false;
        return std::less<const E*>()(elements, b + this->count) &&
               std::less<const E*>()(b, elements + n);
    }

    // Copies the elements aside first, for a source inside this array's own buffer.
    void InsertStaged(std::uint16_t index, const E* elements, std::uint16_t n) {
        E* staged = reinterpret_cast<E*>(SafeAlloc(unsigned(Base::ByteSize(n))));
        if (!staged) throw NoMemory();
        try {
            Base::CopyIn(staged, elements, n);
        } catch (...) {
            SafeFree(staged);
            throw;
        }
        try {
            this->MakeRoomFor(n);
        } catch (...) {
            if constexpr (OwnsElements) {
                for (std::uint16_t i = 0; i < n; ++i)
                    staged[i].~E();
            }
            SafeFree(staged);
            throw;
        }
        E* gap = this->buffer + index;
        std::memmove(static_cast<void*>(gap + n), static_cast<const void*>(gap),
                     Base::ByteSize(this->count - index));
        std::memcpy(static_cast<void*>(gap), static_cast<const void*>(staged), Base::ByteSize(n));
        SafeFree(staged);
        this->count = std::uint16_t(this->count + n);
    }
};

template <class E> using EClassDynArr = EDynArr<E, true>;
