// Reads the input as a kerning file and as a baseline-shift file (under 1252, or 932 when the
// first byte is odd), writes both, and faults unless reading and writing again gives the
// same files.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "text/FontRegistry.h"
#include "text/GeneralFont.h"
#include "win32/CodePageTesting.h"

namespace {

std::string slurp(const std::string& path) {
    std::string bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char chunk[4096];
        std::size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.append(chunk, n);
        std::fclose(f);
    }
    return bytes;
}

void spill(const std::string& path, const std::uint8_t* data, std::size_t size) {
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string dir = [] {
        std::string d = "/dev/shm/text_fuzz_kerning." + std::to_string(::getpid());
        std::system(("mkdir -p " + d).c_str());
        return d;
    }();
    SdSetCodePage(size > 0 && (data[0] & 1) ? 932 : 1252);
    KerningDirectory = dir.c_str();
    GeneralFont font;
    font.fontName = "Fuzz";
    spill(dir + "/Fuzz.wkp", data, size);
    spill(dir + "/Fuzz.wbs", data, size);
    font.ReadKerningFile();
    font.ReadBaselineShiftFile();
    ::unlink((dir + "/Fuzz.wkp").c_str());
    ::unlink((dir + "/Fuzz.wbs").c_str());
    font.WriteKerningFile();
    font.WriteBaselineShiftFile();
    std::string wkp = slurp(dir + "/Fuzz.wkp");
    std::string wbs = slurp(dir + "/Fuzz.wbs");
    font.ReadKerningFile();
    font.ReadBaselineShiftFile();
    ::unlink((dir + "/Fuzz.wkp").c_str());
    ::unlink((dir + "/Fuzz.wbs").c_str());
    font.WriteKerningFile();
    font.WriteBaselineShiftFile();
    if (slurp(dir + "/Fuzz.wkp") != wkp || slurp(dir + "/Fuzz.wbs") != wbs) std::abort();
    return 0;
}
