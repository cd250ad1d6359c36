// Decoding a 24-megapixel JPEG (4:2:0) and PNG through the toolkit's file load and hand-over
// (entries 101 and 106), beside djpeg and pngtopnm writing to /dev/null: the least of five
// runs each, and the ratio. djpeg and pngtopnm must be on PATH.
//   bin/imaging_decode_bench [folder for the pictures]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <imaging/KovaFile.h>
#include <imaging/KovaKern.h>

namespace {

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

// A 6000 x 4000 picture with detail everywhere, saved in the format.
bool MakePicture(const std::string& path, int format) {
    const int w = 6000, h = 4000, stride = w * 3;
    HGLOBAL dib = GlobalAlloc(GMEM_MOVEABLE, 40 + size_t(stride) * h);
    BYTE* p = static_cast<BYTE*>(GlobalLock(dib));
    BITMAPINFOHEADER hd{};
    hd.biSize = 40;
    hd.biWidth = w;
    hd.biHeight = h;
    hd.biPlanes = 1;
    hd.biBitCount = 24;
    std::memcpy(p, &hd, 40);
    unsigned seed = 1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            seed = seed * 1103515245u + 12345u;
            BYTE* px = p + 40 + size_t(y) * stride + 3 * size_t(x);
            px[0] = BYTE(x / 24 + (seed >> 28));
            px[1] = BYTE(y / 16 + (seed >> 29));
            px[2] = BYTE((x + y) / 40);
        }
    GlobalUnlock(dib);
    KOVABITMAP b;
    KovaInitBitmap(&b, 1, 1, 1);
    KovaBitmapFromDib(&b, dib);
    const int r = KovaSaveFile(path.c_str(), &b, format, 24, 10);
    KovaFreeBitmap(&b);
    return r == IMG_SUCCESS;
}

void Compare(const char* name, const std::string& file, const std::string& peer) {
    const double ours = Least([&] {
        KOVABITMAP b;
        KovaInitBitmap(&b, 1, 1, 1);
        if (KovaLoadFile(file.c_str(), &b, 0, 1) != IMG_SUCCESS) std::abort();
        GlobalFree(KovaDibFromBitmap(&b));
    });
    const double theirs = Least([&] { std::system((peer + " " + file + " > /dev/null").c_str()); });
    std::printf("%-5s toolkit %.3f s, %s %.3f s, ratio %.2f (goal <= 1.2)\n", name, ours,
                peer.c_str(), theirs, ours / theirs);
}

} // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "/tmp";
    const std::string jpeg = folder + "/bench24mp.jpg", png = folder + "/bench24mp.png";
    if (!MakePicture(jpeg, IMG_JPEG_411) || !MakePicture(png, IMG_PNG)) {
        std::fprintf(stderr, "could not write the pictures\n");
        return 1;
    }
    Compare("JPEG", jpeg, "djpeg -pnm");
    Compare("PNG", png, "pngtopnm");
    return 0;
}
