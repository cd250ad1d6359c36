// Loads the input as a native font file and outlines every code through the reader.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "pathkit/Path.h"
#include "text/FontRegistry.h"
#include "text/TarvelFont.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string file = "/dev/shm/text_fuzz_wftfont." + std::to_string(::getpid()) + ".wft";
    std::FILE* f = std::fopen(file.c_str(), "wb");
    if (f == nullptr) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    NativeFontNames.RemoveAll();
    NativeFontPaths.RemoveAll();
    NativeFontNames.Add("Fuzz");
    NativeFontPaths.Add(file.c_str());
    TarvelFont font;
    font.fontName = "Fuzz";
    font.Load();
    for (int code = 0; code < 256; ++code) {
        Path p;
        font.GetCharPath(std::uint16_t(code), p);
        p.ClosePath();
        p.RefreshBBoxes();
    }
    Path high;
    font.GetCharPath(0x141, high);
    return 0;
}
