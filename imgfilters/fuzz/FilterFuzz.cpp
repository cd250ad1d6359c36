// Fuzz target of one filter module (its source compiled in, FILTER_SOURCE): fltInfo, then fltLoad,
// on bytes served from memory through the filter services.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include FILTER_SOURCE

namespace {

const std::uint8_t* g_data = nullptr;
std::size_t g_size = 0;
long g_offset = 0;

int Open(const char*, int mode, int) {
    g_offset = 0;
    return mode == 0 ? 3 : -1;
}
int Close(int) {
    return 0;
}
int Read(int, void* buffer, DWORD count) {
    if (g_offset >= long(g_size)) return 0;
    const std::size_t n = std::min<std::size_t>(count, g_size - std::size_t(g_offset));
    std::memcpy(buffer, g_data + g_offset, n);
    g_offset += long(n);
    return int(n);
}
int Seek(int, long offset, int origin) {
    const long base = origin == 2 ? long(g_size) : origin == 1 ? g_offset : 0;
    if (base + offset < 0) return -1;
    g_offset = base + offset;
    return int(g_offset);
}
int Write(int, const void*, DWORD) {
    return -1;
}
void* Alloc(DWORD n) {
    return std::malloc(n == 0 ? 1 : n);
}
void Free(void* p) {
    std::free(p);
}

int Rows(void*, KOVAFLTBITMAP*, const BYTE*, int, int, int, int) {
    return 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const KovaFilterServices services = {Open, Close, Read, Seek, Write, Alloc, Free};
    KovaTestingSetFilterServices(&services);
    g_data = data;
    g_size = size;
    KOVAFLTINFO info{};
    KOVAFLTINFOREQUEST request{3, &info};
    if (FltInfo(&request) != 1) return 0;
    KOVAFLTBITMAP bitmap{};
    KOVAFLTLOADREQUEST load{"fuzz", &bitmap, 4096, Rows, nullptr, 0};
    FltLoad(&load);
    return 0;
}
