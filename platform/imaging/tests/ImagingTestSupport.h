#pragma once
// Pictures for the imaging tests and the netpbm files they exchange with other programs.

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <imaging/KovaFile.h>
#include <imaging/KovaKern.h>
#include <win32/wingdi.h>

namespace imagingtest {

// Pixels as R, G, B, top row first.
struct Rgb {
    long width = 0, height = 0;
    std::vector<BYTE> px;
    bool operator==(const Rgb& o) const {
        return width == o.width && height == o.height && px == o.px;
    }
};

// A packed bitmap of w x h at `bits`: palette pictures hold (3x + 5y) mod the table size with
// entry i = (i * 37, 255 - i * 11, i * 5) (black and white at 1 bit); 24-bit ones a smooth
// gradient, which JPEG keeps within a few levels.
inline HGLOBAL MakePicture(int w, int h, int bits, int dpi = 0) {
    const int entries = bits <= 8 ? 1 << bits : 0;
    const int row = ((w * bits + 31) / 32) * 4;
    const size_t size = 40 + size_t(entries) * 4 + size_t(row) * size_t(h);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    BYTE* p = static_cast<BYTE*>(GlobalLock(block));
    BITMAPINFOHEADER hd{};
    hd.biSize = 40;
    hd.biWidth = w;
    hd.biHeight = h;
    hd.biPlanes = 1;
    hd.biBitCount = WORD(bits);
    hd.biSizeImage = DWORD(row * h);
    hd.biXPelsPerMeter = hd.biYPelsPerMeter = LONG(dpi / 0.0254 + 0.5);
    std::memcpy(p, &hd, 40);
    BYTE* t = p + 40;
    for (int i = 0; i < entries; ++i) {
        const BYTE v = bits == 1 ? BYTE(i * 255) : 0;
        t[4 * i + 2] = bits == 1 ? v : BYTE(i * 37);
        t[4 * i + 1] = bits == 1 ? v : BYTE(255 - i * 11);
        t[4 * i] = bits == 1 ? v : BYTE(i * 5);
    }
    BYTE* px = t + entries * 4;
    for (int y = 0; y < h; ++y) {
        BYTE* r = px + row * (h - 1 - y);
        for (int x = 0; x < w; ++x) {
            if (bits == 24) {
                r[3 * x + 2] = BYTE(x * 255 / (w > 1 ? w - 1 : 1));
                r[3 * x + 1] = BYTE(y * 255 / (h > 1 ? h - 1 : 1));
                r[3 * x] = BYTE((x + y) * 127 / (w + h));
                continue;
            }
            const int v = (3 * x + 5 * y) % entries;
            switch (bits) {
            case 1:
                r[x / 8] |= BYTE(v << (7 - x % 8));
                break;
            case 4:
                r[x / 2] |= BYTE(v << (x % 2 ? 0 : 4));
                break;
            default:
                r[x] = BYTE(v);
            }
        }
    }
    GlobalUnlock(block);
    return block;
}

inline Rgb PixelsOf(HGLOBAL dib) {
    Rgb out;
    const BYTE* p = static_cast<const BYTE*>(GlobalLock(dib));
    BITMAPINFOHEADER h;
    std::memcpy(&h, p, 40);
    const int bits = h.biBitCount, entries = bits <= 8 ? 1 << bits : 0;
    const int row = ((h.biWidth * bits + 31) / 32) * 4;
    const BYTE* table = p + 40;
    out.width = h.biWidth;
    out.height = h.biHeight;
    for (int y = 0; y < h.biHeight; ++y) {
        const BYTE* r = table + entries * 4 + row * (h.biHeight - 1 - y);
        for (int x = 0; x < h.biWidth; ++x) {
            if (bits == 24) {
                out.px.insert(out.px.end(), {r[3 * x + 2], r[3 * x + 1], r[3 * x]});
                continue;
            }
            const int i = bits == 8   ? r[x]
                          : bits == 4 ? (r[x / 2] >> (x % 2 ? 0 : 4)) & 15
                                      : (r[x / 8] >> (7 - x % 8)) & 1;
            out.px.insert(out.px.end(), {table[4 * i + 2], table[4 * i + 1], table[4 * i]});
        }
    }
    GlobalUnlock(dib);
    return out;
}

inline int BitsOf(HGLOBAL dib) {
    const auto* h = static_cast<const BITMAPINFOHEADER*>(GlobalLock(dib));
    const int bits = h->biBitCount;
    GlobalUnlock(dib);
    return bits;
}

// The largest difference of any channel; -1 for other sizes.
inline int MaxDifference(const Rgb& a, const Rgb& b) {
    if (a.width != b.width || a.height != b.height || a.px.size() != b.px.size()) return -1;
    int most = 0;
    for (size_t i = 0; i < a.px.size(); ++i)
        most = std::max(most, std::abs(int(a.px[i]) - int(b.px[i])));
    return most;
}

// Reads P1-P6 (maxval up to 65535) as RGB; empty on anything else.
inline Rgb ReadPnm(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    in >> magic;
    auto number = [&in]() {
        long v = -1;
        in >> std::ws;
        while (in.peek() == '#') {
            std::string skip;
            std::getline(in, skip);
            in >> std::ws;
        }
        in >> v;
        return v;
    };
    Rgb out;
    if (magic.size() != 2 || magic[0] != 'P') return out;
    const char kind = magic[1];
    const long w = number(), h = number();
    const long maxval = (kind == '1' || kind == '4') ? 1 : number();
    if (w < 1 || h < 1 || maxval < 1) return out;
    in.get();
    out.width = w;
    out.height = h;
    const bool wide = maxval > 255;
    auto sample = [&]() -> int {
        if (kind <= '3') return int(number() * 255 / maxval);
        int v = in.get();
        if (wide) v = v << 8 | in.get();
        return int(v * 255 / maxval);
    };
    std::vector<BYTE> rowBits;
    for (long y = 0; y < h; ++y) {
        if (kind == '4') {
            rowBits.resize(size_t((w + 7) / 8));
            in.read(reinterpret_cast<char*>(rowBits.data()), std::streamsize(rowBits.size()));
        }
        for (long x = 0; x < w; ++x) {
            if (kind == '1' || kind == '4') {
                const int ink =
                    kind == '4' ? (rowBits[size_t(x / 8)] >> (7 - x % 8)) & 1 : int(number());
                const BYTE v = ink ? 0 : 255;
                out.px.insert(out.px.end(), {v, v, v});
            } else if (kind == '2' || kind == '5') {
                const BYTE v = BYTE(sample());
                out.px.insert(out.px.end(), {v, v, v});
            } else {
                const BYTE r = BYTE(sample()), g = BYTE(sample()), b = BYTE(sample());
                out.px.insert(out.px.end(), {r, g, b});
            }
        }
    }
    if (!in) out = Rgb{};
    return out;
}

inline void WritePpm(const std::string& path, const Rgb& rgb) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << rgb.width << " " << rgb.height << "\n255\n";
    out.write(reinterpret_cast<const char*>(rgb.px.data()), std::streamsize(rgb.px.size()));
}

inline bool HasProgram(const char* name) {
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

inline bool RunShell(const std::string& command) {
    return std::system(("(" + command + ") 2>/dev/null").c_str()) == 0;
}

// Loads a file through the toolkit; null on failure.
inline HGLOBAL Load(const std::string& path, int* result = nullptr) {
    KOVABITMAP b;
    KovaInitBitmap(&b, 1, 1, 1);
    const int r = KovaLoadFile(path.c_str(), &b, 0, 1);
    if (result) *result = r;
    return r == IMG_SUCCESS ? KovaDibFromBitmap(&b) : nullptr;
}

inline int Save(HGLOBAL dib, const std::string& path, int format, int bits, int quality = 2) {
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, GlobalSize(dib));
    std::memcpy(GlobalLock(copy), GlobalLock(dib), GlobalSize(dib));
    GlobalUnlock(dib);
    GlobalUnlock(copy);
    KOVABITMAP b;
    KovaInitBitmap(&b, 1, 1, 1);
    if (KovaBitmapFromDib(&b, copy) != IMG_SUCCESS) {
        GlobalFree(copy);
        return IMG_ERR_PARAM;
    }
    const int r = KovaSaveFile(path.c_str(), &b, format, bits, quality);
    KovaFreeBitmap(&b);
    return r;
}

} // namespace imagingtest
