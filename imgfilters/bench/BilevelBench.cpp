// The toolkit's 1-bit format beside CCITT Group 4 (TIFF through libtiff) and JBIG (pbmtojbg and
// jbgtopbm of jbigkit, when on PATH) on A4 pages at 300 dpi: a text page, a line drawing and a
// dithered photo. Bytes, and the least of five decodes (ours and Group 4 through the toolkit's
// file load, JBIG by jbgtopbm into /dev/null).
//   bin/imgflt_bilevel_bench [folder for the pages]

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include <imaging/KovaFile.h>
#include <imaging/KovaFilter.h>
#include <imaging/KovaKern.h>

namespace {

constexpr int kWidth = 2480, kHeight = 3508;

double Seconds(const std::chrono::steady_clock::duration& d) {
    return std::chrono::duration<double>(d).count();
}

template <class F> double Least(F f) {
    double best = 1e30;
    for (int i = 0; i < 5; ++i) {
        const auto start = std::chrono::steady_clock::now();
        f();
        best = std::min(best, Seconds(std::chrono::steady_clock::now() - start));
    }
    return best;
}

std::uint32_t Hash(std::uint32_t x) {
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    return x ^ (x >> 16);
}

// 1 for black.
int Text(int x, int y) {
    const int line = y / 50, cy = y % 50, cell = x / 26, cx = x % 26;
    if (x < 200 || x > kWidth - 200 || y < 250 || y > kHeight - 250 || cy < 8 || cy > 40 || cx > 21)
        return 0;
    const std::uint32_t g = Hash(std::uint32_t(line * 977 + cell * 131));
    if (g % 7 == 0) return 0;
    return int(((g & 1) && cx >= 2 && cx < 6) || ((g & 2) && cx >= 15 && cx < 19) ||
               ((g & 4) && cy >= 22 && cy < 26) || ((g & 8) && cy < 12) || ((g & 16) && cy > 36));
}

int Drawing(int x, int y) {
    const double dx = x - kWidth / 2.0, dy = y - kHeight / 2.0, r = std::sqrt(dx * dx + dy * dy);
    const bool circle = std::fmod(r, 150.0) < 3;
    const bool grid = x % 300 < 2 || y % 300 < 2;
    const bool diagonal = std::abs(x - y * 0.7) < 2 || std::abs(x + y * 0.7 - kWidth) < 2;
    return int(circle || grid || diagonal);
}

int Photo(int x, int y) {
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    const double v =
        0.5 + 0.25 * std::sin(x / 173.0) * std::cos(y / 211.0) + 0.2 * std::sin((x + y) / 97.0);
    return int(v * 16 < bayer[y % 4][x % 4] + 0.5);
}

HGLOBAL Page(const std::function<int(int, int)>& ink) {
    const int stride = (kWidth + 31) / 32 * 4;
    HGLOBAL dib = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 48 + size_t(stride) * kHeight);
    BYTE* p = static_cast<BYTE*>(GlobalLock(dib));
    BITMAPINFOHEADER h{};
    h.biSize = 40;
    h.biWidth = kWidth;
    h.biHeight = kHeight;
    h.biPlanes = 1;
    h.biBitCount = 1;
    h.biXPelsPerMeter = h.biYPelsPerMeter = 11811;
    std::memcpy(p, &h, 40);
    std::memset(p + 44, 255, 3); // index 0 black, 1 white
    for (int y = 0; y < kHeight; ++y) {
        BYTE* row = p + 48 + size_t(stride) * size_t(kHeight - 1 - y);
        for (int x = 0; x < kWidth; ++x)
            if (!ink(x, y)) row[x / 8] |= BYTE(0x80 >> (x % 8));
    }
    GlobalUnlock(dib);
    return dib;
}

long FileSize(const std::string& path) {
    std::error_code e;
    const auto n = std::filesystem::file_size(path, e);
    return e ? -1 : long(n);
}

bool Save(HGLOBAL dib, const std::string& path, int format) {
    KOVABITMAP b;
    KovaInitBitmap(&b, 1, 1, 1);
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, GlobalSize(dib));
    std::memcpy(GlobalLock(copy), GlobalLock(dib), GlobalSize(dib));
    GlobalUnlock(copy);
    GlobalUnlock(dib);
    KovaBitmapFromDib(&b, copy);
    const bool ok = KovaSaveFile(path.c_str(), &b, format, 1, 0) == IMG_SUCCESS;
    KovaFreeBitmap(&b);
    return ok;
}

double Load(const std::string& path) {
    return Least([&] {
        KOVABITMAP b;
        KovaInitBitmap(&b, 1, 1, 1);
        if (KovaLoadFile(path.c_str(), &b, 0, 0) != IMG_SUCCESS) std::printf("  load failed\n");
        KovaFreeBitmap(&b);
    });
}

} // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
    const bool jbig = std::system("command -v pbmtojbg >/dev/null && command -v jbgtopbm "
                                  ">/dev/null") == 0;
    struct Kind {
        const char* name;
        int (*ink)(int, int);
    };
    const Kind kinds[] = {{"text", Text}, {"drawing", Drawing}, {"photo", Photo}};
    std::printf("%-8s %12s %12s %12s   %9s %9s %9s\n", "page", "ours B", "G4 B", "JBIG B", "ours s",
                "G4 s", "JBIG s");
    for (const Kind& k : kinds) {
        HGLOBAL dib = Page(k.ink);
        const std::string ours = dir + "/bench-" + k.name + ".cmp";
        const std::string g4 = dir + "/bench-" + k.name + ".tif";
        const std::string pbm = dir + "/bench-" + k.name + ".pbm";
        const std::string jbg = dir + "/bench-" + k.name + ".jbg";
        if (!Save(dib, ours, IMG_CMP_BILEVEL) || !Save(dib, g4, IMG_TIF_G4)) {
            std::printf("%s: saving failed\n", k.name);
            return 1;
        }
        long jbgBytes = -1;
        double jbgTime = -1;
        if (jbig) {
            std::ofstream out(pbm, std::ios::binary);
            out << "P4\n" << kWidth << " " << kHeight << "\n";
            for (int y = 0; y < kHeight; ++y) {
                std::string row(size_t((kWidth + 7) / 8), '\0');
                for (int x = 0; x < kWidth; ++x)
                    if (k.ink(x, y)) row[size_t(x / 8)] |= char(0x80 >> (x % 8));
                out << row;
            }
            out.close();
            if (std::system(("pbmtojbg " + pbm + " " + jbg).c_str()) == 0) {
                jbgBytes = FileSize(jbg);
                jbgTime = Least([&] {
                    if (std::system(("jbgtopbm " + jbg + " > /dev/null").c_str()) != 0)
                        std::printf("  jbgtopbm failed\n");
                });
            }
        }
        const long ourBytes = FileSize(ours), g4Bytes = FileSize(g4);
        const double ourTime = Load(ours), g4Time = Load(g4);
        std::printf("%-8s %12ld %12ld %12ld   %9.4f %9.4f %9.4f\n", k.name, ourBytes, g4Bytes,
                    jbgBytes, ourTime, g4Time, jbgTime);
        std::printf("%-8s bytes: ours / G4 %.2f, ours / JBIG %.2f; time: ours / G4 %.2f\n", "",
                    double(ourBytes) / double(g4Bytes),
                    jbgBytes > 0 ? double(ourBytes) / double(jbgBytes) : 0.0, ourTime / g4Time);
        GlobalFree(dib);
    }
    return 0;
}
