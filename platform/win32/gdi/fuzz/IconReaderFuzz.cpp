// libFuzzer target: any bytes as an icon directory and as an icon image are read or refused,
// and a picture read is as large as it says.
//   bin/gdi_fuzz_icon CORPUS -max_total_time=600

#include <cstdint>
#include <cstdlib>

#include "IconPicture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    using namespace sdgdi;
    auto check = [](const IconPicture& p) {
        const size_t n = size_t(p.width) * size_t(p.height);
        if (p.colour.size() != n || p.mask.size() != n) std::abort();
    };
    IconPicture picture;
    if (ReadIconImage(data, size, picture)) check(picture);
    IconDirectory kind;
    std::uint32_t entry = 0, bytes = 0;
    int w = 0, h = 0;
    for (int want : {0, 16, 32, 48})
        if (ChooseIconEntry(data, size, want, want, kind, entry, bytes, w, h) &&
            kind == IconDirectory::file) {
            if (entry > size || bytes > size - entry) std::abort();
            IconPicture chosen;
            if (ReadIconImage(data + entry, bytes, chosen)) check(chosen);
        }
    return 0;
}
