// A packed bitmap made from the input, traced with fitting off and on.
//
// Byte 0 chooses the form: even, the input after it is the whole block as a caller would
// hand it over (header checks); odd, a header is built from bytes 1 to 8 (bit count, width,
// height up to 64, colours used, header size) and the rest is the table and the bits,
// padded with zeros, so most inputs reach the tracer itself.

#include <cstdint>
#include <cstring>
#include <vector>

#include <pathkit/Exceptions.h>
#include <pathkit/Path.h>
#include <traceconv/TraceConv.h>
#include <traceconv/TraceTesting.h>
#include <win32/kernel.h>

namespace {

HDIB Block(const std::uint8_t* data, std::size_t size) {
    HDIB h = GlobalAlloc(GHND, size ? size : 1);
    if (!h) return nullptr;
    void* p = GlobalLock(h);
    if (size) std::memcpy(p, data, size);
    GlobalUnlock(h);
    return h;
}

HDIB Built(const std::uint8_t* data, std::size_t size) {
    if (size < 9) return nullptr;
    static const int depths[] = {1, 4, 8, 1, 4, 8, 24, 16};
    int bits = depths[data[1] & 7];
    int w = 1 + data[2] % 64, h = 1 + data[3] % 64;
    DWORD used = data[4] & 0x80 ? data[4] & 0x7F : 0;
    DWORD headerSize = (data[5] & 3) == 0 ? 12 : (data[5] & 3) == 1 ? 40 : (data[5] & 3) == 2 ? 108 : 124;
    std::vector<std::uint8_t> block(headerSize, 0);
    if (headerSize == 12) {
        BITMAPCOREHEADER c{12, WORD(w), WORD(h), 1, WORD(bits)};
        std::memcpy(block.data(), &c, sizeof c);
    } else {
        BITMAPINFOHEADER bi{};
        bi.biSize = headerSize;
        bi.biWidth = w;
        bi.biHeight = h;
        bi.biPlanes = 1;
        bi.biBitCount = WORD(bits);
        bi.biClrUsed = used;
        std::memcpy(block.data(), &bi, sizeof bi);
    }
    std::size_t entries = used ? used : (bits <= 8 ? (1u << bits) : 0);
    std::size_t table = entries * (headerSize == 12 ? 3 : 4);
    std::size_t stride = ((std::size_t(bits) * w + 31) / 32) * 4;
    std::size_t need = headerSize + table + stride * h;
    block.insert(block.end(), data + 9, data + size);
    // Byte 6 may cut the block short of what the header promises.
    if (data[6] == 0xFF && block.size() > 1) block.resize(block.size() / 2);
    else if (block.size() < need) block.resize(need, 0);
    return Block(block.data(), block.size());
}

void TraceOnce(HDIB dib, bool fit, const std::uint8_t* data, std::size_t size) {
    int a = size > 7 ? data[7] % 12 : 0, b = size > 8 ? data[8] % 6 : 0;
    SetTraceParam(nullptr, fit ? a : 0, fit ? b : 0, fit ? 1 : 0, fit ? 0.5f : 0.0f);
    SetExtTraceParam(1, 1, 1, 1, 1, 1, 5, 5, 0);
    Path out;
    try {
        int passes = PrepareTracing(dib);
        TraceAll(dib, out);
        if (passes > 0) {
            COLORREF colours[2] = {GetPassPalette()[0], GetPassPalette()[1]};
            Trace(dib, colours, 2, out);
        }
    } catch (const NoMemory&) {
        // Store limits: an outcome, not a fault.
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    HDIB dib = (data[0] & 1) ? Built(data, size) : Block(data + 1, size - 1);
    if (!dib) return 0;
    // Now and then tight stores, so exhaustion is exercised too.
    if (data[0] & 2)
        TraceSetStoreLimits(1, 1, 1);
    else
        TraceSetStoreLimits(0, 0, 0);
    TraceOnce(dib, false, data, size);
    TraceOnce(dib, true, data, size);
    GlobalFree(dib);
    return 0;
}
