// libFuzzer target: PNG data decodes to a packed bitmap or is refused; a decoded picture
// encodes and decodes again to the same bitmap. The chunk checksums of the input are made
// right first, so that mutations reach the decoder instead of its checksum test.
//   bin/imaging_png_fuzz CORPUS -max_total_time=600

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <zlib.h>

#include "imaging/ImagingToolkit.h"

namespace {

std::vector<BYTE> Take(HGLOBAL block) {
    const BYTE* p = static_cast<const BYTE*>(GlobalLock(block));
    std::vector<BYTE> out(p, p + GlobalSize(block));
    GlobalUnlock(block);
    GlobalFree(block);
    return out;
}

// Recomputes the CRC of every whole chunk after the signature.
void FixChecksums(std::vector<BYTE>& png) {
    size_t at = 8;
    while (at + 12 <= png.size()) {
        const std::uint32_t length = std::uint32_t(png[at]) << 24 |
                                     std::uint32_t(png[at + 1]) << 16 |
                                     std::uint32_t(png[at + 2]) << 8 | png[at + 3];
        if (length > png.size() - at - 12) return;
        const uLong crc = crc32(0, png.data() + at + 4, uInt(length + 4));
        for (int i = 0; i < 4; ++i)
            png[at + 8 + length + size_t(i)] = BYTE(crc >> (24 - 8 * i));
        at += 12 + length;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<BYTE> input(data, data + size);
    FixChecksums(input);
    HGLOBAL decoded = ImgDecode(input.data(), input.size());
    if (decoded == nullptr) return 0;
    const std::vector<BYTE> first = Take(decoded);
    HGLOBAL encoded = nullptr;
    DWORD encodedSize = 0;
    if (ImgEncode(first.data(), first.size(), IMG_FORMAT_PNG, &encoded, &encodedSize) != 0)
        std::abort(); // what we decoded must encode
    const std::vector<BYTE> png = Take(encoded);
    HGLOBAL again = ImgDecode(png.data(), encodedSize);
    if (again == nullptr) std::abort();
    std::vector<BYTE> second = Take(again);
    second.resize(first.size());
    if (second != first) std::abort();
    return 0;
}
