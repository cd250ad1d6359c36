#include "imaging/ImagingToolkit.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <win32/wingdi.h>

namespace {

SIZE_T RowBytes(long width, int bits) {
    return SIZE_T(((unsigned long long)width * unsigned(bits) + 31) / 32 * 4);
}

int TableEntries(int bits) {
    return bits <= 8 ? 1 << bits : 0;
}

// A new movable block holding a canonical packed bitmap with a zeroed table and bits.
HGLOBAL NewPacked(long width, long height, int bits, BITMAPINFOHEADER*& header, RGBQUAD*& table,
                  BYTE*& pixels) {
    const SIZE_T rowBytes = RowBytes(width, bits);
    const SIZE_T total = sizeof(BITMAPINFOHEADER) + SIZE_T(TableEntries(bits)) * sizeof(RGBQUAD) +
                         rowBytes * SIZE_T(height);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, total);
    if (block == nullptr) return nullptr;
    BYTE* base = static_cast<BYTE*>(GlobalLock(block));
    if (base == nullptr) {
        GlobalFree(block);
        return nullptr;
    }
    header = reinterpret_cast<BITMAPINFOHEADER*>(base);
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = LONG(width);
    header->biHeight = LONG(height);
    header->biPlanes = 1;
    header->biBitCount = WORD(bits);
    header->biCompression = BI_RGB;
    header->biSizeImage = DWORD(rowBytes * SIZE_T(height));
    header->biClrUsed = 0;
    table = reinterpret_cast<RGBQUAD*>(base + sizeof(BITMAPINFOHEADER));
    pixels = base + sizeof(BITMAPINFOHEADER) + TableEntries(bits) * sizeof(RGBQUAD);
    return block;
}

// Index of pixel x in a row of 1, 4 or 8 bits.
int GetIndex(const BYTE* row, long x, int bits) {
    switch (bits) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15;
    default: return row[x];
    }
}

void SetIndex(BYTE* row, long x, int bits, int v) {
    switch (bits) {
    case 1: row[x >> 3] = BYTE(row[x >> 3] | ((v & 1) << (7 - (x & 7)))); break;
    case 4: row[x >> 1] = BYTE(row[x >> 1] | ((v & 15) << ((x & 1) ? 0 : 4))); break;
    default: row[x] = BYTE(v); break;
    }
}

struct ImageGuard {
    png_image image{};
    ImageGuard() {
        image.version = PNG_IMAGE_VERSION;
    }
    ~ImageGuard() { png_image_free(&image); }
};

int EncodePNG(const BYTE* packed, SIZE_T size, HGLOBAL* out, DWORD* outSize) {
    if (size < sizeof(BITMAPINFOHEADER)) return -1;
    BITMAPINFOHEADER h;
    std::memcpy(&h, packed, sizeof h);
    const int bits = h.biBitCount;
    if (h.biSize != sizeof(BITMAPINFOHEADER) || h.biCompression != BI_RGB || h.biWidth < 1 ||
        h.biHeight < 1 || (bits != 1 && bits != 4 && bits != 8 && bits != 24))
        return -1;
    const long width = h.biWidth, height = h.biHeight;
    if ((unsigned long long)width * (unsigned long long)height > IMG_MAX_PIXELS) return -1;
    const int entries = TableEntries(bits);
    const SIZE_T rowBytes = RowBytes(width, bits);
    const SIZE_T tableOffset = sizeof(BITMAPINFOHEADER);
    const SIZE_T bitsOffset = tableOffset + SIZE_T(entries) * sizeof(RGBQUAD);
    if (size < bitsOffset || (size - bitsOffset) / rowBytes < SIZE_T(height)) return -1;

    ImageGuard g;
    g.image.width = png_uint_32(width);
    g.image.height = png_uint_32(height);
    std::vector<png_byte> buffer;
    std::vector<png_byte> colormap;
    if (bits == 24) {
        g.image.format = PNG_FORMAT_RGB;
        buffer.resize(SIZE_T(width) * 3 * SIZE_T(height));
        for (long y = 0; y < height; ++y) {
            const BYTE* src = packed + bitsOffset + rowBytes * SIZE_T(height - 1 - y);
            png_byte* dst = buffer.data() + SIZE_T(y) * SIZE_T(width) * 3;
            for (long x = 0; x < width; ++x) {
                dst[3 * x] = src[3 * x + 2];
                dst[3 * x + 1] = src[3 * x + 1];
                dst[3 * x + 2] = src[3 * x];
            }
        }
    } else {
        g.image.format = PNG_FORMAT_RGB_COLORMAP;
        g.image.colormap_entries = png_uint_32(entries);
        colormap.resize(SIZE_T(entries) * 3);
        for (int i = 0; i < entries; ++i) {
            const RGBQUAD* q = reinterpret_cast<const RGBQUAD*>(packed + tableOffset) + i;
            colormap[3 * i] = q->rgbRed;
            colormap[3 * i + 1] = q->rgbGreen;
            colormap[3 * i + 2] = q->rgbBlue;
        }
        buffer.resize(SIZE_T(width) * SIZE_T(height));
        for (long y = 0; y < height; ++y) {
            const BYTE* src = packed + bitsOffset + rowBytes * SIZE_T(height - 1 - y);
            png_byte* dst = buffer.data() + SIZE_T(y) * SIZE_T(width);
            for (long x = 0; x < width; ++x)
                dst[x] = png_byte(GetIndex(src, x, bits));
        }
    }
    png_alloc_size_t bytes = 0;
    if (!png_image_write_to_memory(&g.image, nullptr, &bytes, 0, buffer.data(), 0,
                                   colormap.empty() ? nullptr : colormap.data()) ||
        bytes == 0 || bytes > 0xFFFFFFFFu)
        return -1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, SIZE_T(bytes));
    if (block == nullptr) return -1;
    void* dst = GlobalLock(block);
    if (dst == nullptr ||
        !png_image_write_to_memory(&g.image, dst, &bytes, 0, buffer.data(), 0,
                                   colormap.empty() ? nullptr : colormap.data())) {
        if (dst) GlobalUnlock(block);
        GlobalFree(block);
        return -1;
    }
    GlobalUnlock(block);
    *out = block;
    *outSize = DWORD(bytes);
    return 0;
}

} // namespace

int ImgIsPNG(const void* data, SIZE_T size) {
    return data != nullptr && size >= 8 &&
                   png_sig_cmp(static_cast<png_const_bytep>(data), 0, 8) == 0
               ? 1
               : 0;
}

int ImgEncode(const void* packed, SIZE_T size, int format, HGLOBAL* out, DWORD* outSize) {
    if (packed == nullptr || out == nullptr || outSize == nullptr) return -1;
    if (format != IMG_FORMAT_PNG) return -1;
    return EncodePNG(static_cast<const BYTE*>(packed), size, out, outSize);
}

HGLOBAL ImgDecode(const void* data, SIZE_T size) {
    if (!ImgIsPNG(data, size)) return nullptr;
    ImageGuard g;
    if (!png_image_begin_read_from_memory(&g.image, data, size)) return nullptr;
    const long width = long(g.image.width), height = long(g.image.height);
    if (width < 1 || height < 1 ||
        (unsigned long long)width * (unsigned long long)height > IMG_MAX_PIXELS)
        return nullptr;

    const bool palette = (g.image.format & PNG_FORMAT_FLAG_COLORMAP) != 0;
    const bool grey = !palette && (g.image.format & PNG_FORMAT_FLAG_COLOR) == 0;
    int bits = 24;
    std::vector<png_byte> colormap;
    if (palette) {
        const unsigned entries = g.image.colormap_entries;
        if (entries < 1 || entries > 256) return nullptr;
        bits = entries <= 2 ? 1 : entries <= 16 ? 4 : 8;
        g.image.format = PNG_FORMAT_RGB_COLORMAP;
        colormap.resize(256 * 3);
    } else if (grey) {
        bits = 8;
        g.image.format = PNG_FORMAT_GRAY;
    } else {
        g.image.format = PNG_FORMAT_RGB;
    }
    // Transparent images are composed over white.
    png_color background{255, 255, 255};
    const SIZE_T channels = bits == 24 ? 3 : 1;
    std::vector<png_byte> buffer(SIZE_T(width) * channels * SIZE_T(height));
    if (!png_image_finish_read(&g.image, &background, buffer.data(), 0,
                               colormap.empty() ? nullptr : colormap.data()))
        return nullptr;

    BITMAPINFOHEADER* header = nullptr;
    RGBQUAD* table = nullptr;
    BYTE* pixels = nullptr;
    HGLOBAL block = NewPacked(width, height, bits, header, table, pixels);
    if (block == nullptr) return nullptr;
    const SIZE_T rowBytes = RowBytes(width, bits);
    if (palette) {
        const int entries = TableEntries(bits);
        for (int i = 0; i < entries && unsigned(i) < g.image.colormap_entries; ++i)
            table[i] = RGBQUAD{colormap[3 * i + 2], colormap[3 * i + 1], colormap[3 * i], 0};
    } else if (grey) {
        for (int i = 0; i < 256; ++i)
            table[i] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0};
    }
    for (long y = 0; y < height; ++y) {
        const png_byte* src = buffer.data() + SIZE_T(y) * SIZE_T(width) * channels;
        BYTE* dst = pixels + rowBytes * SIZE_T(height - 1 - y);
        for (long x = 0; x < width; ++x) {
            if (bits == 24) {
                dst[3 * x] = src[3 * x + 2];
                dst[3 * x + 1] = src[3 * x + 1];
                dst[3 * x + 2] = src[3 * x];
            } else {
                SetIndex(dst, x, bits, src[x]);
            }
        }
    }
    GlobalUnlock(block);
    return block;
}

HGLOBAL ImgLoadFile(const char* path) {
    if (path == nullptr) return nullptr;
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path, "rb"), &std::fclose);
    if (!file) return nullptr;
    std::vector<BYTE> bytes;
    BYTE chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (bytes.size() > (SIZE_T(1) << 30)) return nullptr;
    }
    return ImgDecode(bytes.data(), bytes.size());
}
