// libFuzzer target: PNG data decodes to a packed bitmap or is refused; a decoded picture
// encodes and decodes again to the same bitmap.
//   bin/imaging_png_fuzz CORPUS -max_total_time=600

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "imaging/ImagingToolkit.h"

namespace {

std::vector<BYTE> Take(HGLOBAL block) {
    const BYTE* p = static_cast<const BYTE*>(GlobalLock(block));
    std::vector<BYTE> out(p, p + GlobalSize(block));
    GlobalUnlock(block);
    GlobalFree(block);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    HGLOBAL decoded = ImgDecode(data, size);
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
