#include "TestSupport.h"

#include <atomic>
#include <cstdlib>
#include <new>

Bytes contentsOf(CMemFile& file) {
    const std::uint64_t position = file.GetPosition();
    Bytes bytes(std::size_t(file.GetLength()));
    file.SeekToBegin();
    if (!bytes.empty()) file.Read(bytes.data(), UINT(bytes.size()));
    file.Seek(std::int64_t(position), CFile::begin);
    return bytes;
}

Bytes bytesOf(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "sdmfc-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    m_path = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_path, ignored);
}

// ---- allocation probe: the test program's own operator new ----
// It replaces operator new for the whole test program, the framework library included. The
// blocks still come from malloc, so the address and leak checkers keep watching them.

namespace {
std::atomic<int> g_probes{0};
std::atomic<std::size_t> g_largest{0};

void* allocate(std::size_t n) {
    if (g_probes.load(std::memory_order_relaxed) > 0) {
        std::size_t seen = g_largest.load();
        while (n > seen && !g_largest.compare_exchange_weak(seen, n)) {
        }
    }
    void* p = std::malloc(n != 0 ? n : 1);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}
} // namespace

AllocationProbe::AllocationProbe() {
    g_largest = 0;
    ++g_probes;
}

AllocationProbe::~AllocationProbe() {
    --g_probes;
}

std::size_t AllocationProbe::largest() const {
    return g_largest.load();
}

void* operator new(std::size_t n) {
    return allocate(n);
}
void* operator new[](std::size_t n) {
    return allocate(n);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
// The no-throw forms must pair with the deletes above (the font layer uses them).
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    try {
        return allocate(n);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
    try {
        return allocate(n);
    } catch (...) {
        return nullptr;
    }
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
