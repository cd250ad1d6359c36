// PNG through libpng's simplified interface; the resolution (pHYs) is read and written here.
#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstring>
#include <new>
#include <vector>

#include "Codec.h"
#include "Limits.h"

namespace imaging {
namespace {

struct ImageGuard {
    png_image image{};
    ImageGuard() { image.version = PNG_IMAGE_VERSION; }
    ~ImageGuard() { png_image_free(&image); }
};

// Every chunk up to IEND lies inside the data: a chunk claiming more bytes than are left
// would make the codec allocate its claimed size before finding the data short. Reads the
// resolution on the way.
bool ChunksFit(const BYTE* data, SIZE_T size, int& xDpi, int& yDpi) {
    SIZE_T at = 8;
    while (at + 12 <= size) {
        const DWORD length = Be32(data + at);
        if (length > size - at - 12) return false;
        // Values above 2^31 - 1 are none the format allows, and a resolution is known on both
        // axes or on none (as it is written): otherwise it stays unknown.
        if (std::memcmp(data + at + 4, "pHYs", 4) == 0 && length == 9 && data[at + 16] == 1 &&
            Be32(data + at + 8) <= 0x7FFFFFFFu && Be32(data + at + 12) <= 0x7FFFFFFFu) {
            const int x = int(Be32(data + at + 8) * 0.0254 + 0.5);
            const int y = int(Be32(data + at + 12) * 0.0254 + 0.5);
            xDpi = x > 0 && y > 0 ? x : 0;
            yDpi = x > 0 && y > 0 ? y : 0;
        }
        if (std::memcmp(data + at + 4, "IEND", 4) == 0) return true;
        at += 12 + SIZE_T(length);
    }
    return false;
}

struct MemorySource {
    const BYTE* data;
    SIZE_T size;
    SIZE_T at;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t n) {
    auto* src = static_cast<MemorySource*>(png_get_io_ptr(png));
    if (n > src->size - src->at) png_error(png, "data end");
    std::memcpy(out, src->data + src->at, n);
    src->at += n;
}

[[noreturn]] void FailRead(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

// The colours stand as stored: no gamma, or one near sRGB's (well inside the band within which
// the simplified interface leaves colours alone, as it does for the files it writes).
bool NoGammaToCorrect(png_structp png, png_infop info) {
    png_fixed_point gamma = 0;
    if (!png_get_valid(png, info, PNG_INFO_gAMA) || !png_get_gAMA_fixed(png, info, &gamma))
        return true;
    return gamma >= 45455 - 2000 && gamma <= 45455 + 2000;
}

enum class PackedRead { done, notPacked, damaged };

// A palette file stored at the picture's depth (1 or 4 bits) with nothing for the colours to
// go through (no transparency, no gamma): its stored rows are the packed rows, so they are
// read straight into the picture, interlaced ones included. Anything else: notPacked, the
// picture untouched. rows holds a pointer per row, allocated by the caller.
PackedRead ReadPackedPalette(const BYTE* data, SIZE_T size, Picture& out,
                             std::vector<png_bytep>& rows) {
    MemorySource source{data, size, 0};
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, FailRead, IgnoreWarning);
    if (png == nullptr) return PackedRead::notPacked;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return PackedRead::notPacked;
    }
    // Nothing below holds anything to release but the two structures.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return PackedRead::damaged;
    }
    png_set_read_fn(png, &source, ReadFromMemory);
    png_set_user_limits(png, png_uint_32(out.Width()), png_uint_32(out.Height()));
    png_read_info(png, info);
    png_colorp palette = nullptr;
    int entries = 0;
    const bool packed = png_get_color_type(png, info) == PNG_COLOR_TYPE_PALETTE &&
                        png_get_bit_depth(png, info) == out.Bits() &&
                        png_get_image_width(png, info) == png_uint_32(out.Width()) &&
                        png_get_image_height(png, info) == png_uint_32(out.Height()) &&
                        !png_get_valid(png, info, PNG_INFO_tRNS) && NoGammaToCorrect(png, info) &&
                        png_get_PLTE(png, info, &palette, &entries) != 0 && entries >= 1 &&
                        entries <= TableEntries(out.Bits());
    if (!packed) {
        png_destroy_read_struct(&png, &info, nullptr);
        return PackedRead::notPacked;
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    for (long y = 0; y < out.Height(); ++y)
        rows[SIZE_T(y)] = out.Row(y);
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    // The bits after the last pixel are the writer's choice in the file, zero in the picture.
    if (const long used = out.Width() * out.Bits() % 8) {
        const SIZE_T last = SIZE_T(out.Width() * out.Bits() / 8);
        const BYTE keep = BYTE(0xFF00 >> used);
        for (long y = 0; y < out.Height(); ++y)
            out.Row(y)[last] &= keep;
    }
    for (int i = 0; i < entries; ++i)
        out.Table()[i] = RGBQUAD{palette[i].blue, palette[i].green, palette[i].red, 0};
    png_destroy_read_struct(&png, &info, nullptr);
    return PackedRead::done;
}

int LoadBits(const png_image& image) {
    if (image.format & PNG_FORMAT_FLAG_COLORMAP) {
        const unsigned n = image.colormap_entries;
        return n <= 2 ? 1 : n <= 16 ? 4 : 8;
    }
    return (image.format & PNG_FORMAT_FLAG_COLOR) ? 24 : 8;
}

} // namespace

bool IsPng(const BYTE* data, SIZE_T size) {
    return size >= 8 && png_sig_cmp(data, 0, 8) == 0;
}

int InfoPng(const BYTE* data, SIZE_T size, ImageInfo& info) {
    int xDpi = 0, yDpi = 0;
    if (!ChunksFit(data, size, xDpi, yDpi)) return IMG_ERR_DAMAGED;
    ImageGuard g;
    if (!png_image_begin_read_from_memory(&g.image, data, size)) return IMG_ERR_DAMAGED;
    info.format = IMG_PNG;
    info.width = long(g.image.width);
    info.height = long(g.image.height);
    info.bits = LoadBits(g.image);
    info.xDpi = xDpi;
    info.yDpi = yDpi;
    if (!SizeAllowed(info.width, info.height)) return IMG_ERR_TOO_LARGE;
    // The rows as stored (the header's depth and channels, a filter byte each) must come from
    // these bytes at deflate's greatest expansion.
    static constexpr int kChannels[7] = {1, 0, 3, 1, 2, 0, 4};
    const int colourType = size > 25 ? data[25] : 0;
    const int stored = data[24] * (colourType <= 6 ? kChannels[colourType] : 1);
    if (!CanFill(RawBytes(info.width, info.height, stored > 0 ? stored : 1) +
                     std::uint64_t(info.height),
                 size, kDeflateExpansion))
        return IMG_ERR_DAMAGED;
    return IMG_SUCCESS;
}

int DecodePng(const BYTE* data, SIZE_T size, Picture& out) {
    ImageInfo info;
    if (const int r = InfoPng(data, size, info); r != IMG_SUCCESS) return r;
    ImageGuard g;
    if (!png_image_begin_read_from_memory(&g.image, data, size)) return IMG_ERR_DAMAGED;
    // libpng's own limits as well, for the rows it allocates itself.
    const int bits = info.bits;
    const bool palette = bits <= 8 && (g.image.format & PNG_FORMAT_FLAG_COLORMAP);
    std::vector<png_byte> colormap;
    if (palette) {
        if (g.image.colormap_entries < 1 || g.image.colormap_entries > 256) return IMG_ERR_DAMAGED;
        g.image.format = PNG_FORMAT_RGB_COLORMAP;
        colormap.resize(256 * 3);
    } else {
        g.image.format = bits == 8 ? PNG_FORMAT_GRAY : PNG_FORMAT_RGB;
    }
    png_color background{255, 255, 255}; // transparent parts composed over white
    if (const int r = out.Create(info.width, info.height, bits, false); r != IMG_SUCCESS) return r;
    auto table = [&] {
        if (palette) {
            const int entries = TableEntries(bits);
            for (int i = 0; i < entries && unsigned(i) < g.image.colormap_entries; ++i)
                out.Table()[i] =
                    RGBQUAD{colormap[3 * i + 2], colormap[3 * i + 1], colormap[3 * i], 0};
        } else if (bits == 8) {
            out.SetGreyTable();
        }
    };
    if (bits == 8 || bits == 24) {
        // Straight into the picture's bottom-up rows, so that no second copy is ever held.
        if (bits == 24) g.image.format = PNG_FORMAT_BGR;
        if (!png_image_finish_read(&g.image, &background, out.Row(info.height - 1),
                                   -png_int_32(out.StrideBytes()),
                                   colormap.empty() ? nullptr : colormap.data()))
            return IMG_ERR_DAMAGED;
        table();
        out.SetResolution(info.xDpi, info.yDpi);
        return IMG_SUCCESS;
    }
    // 1 and 4 bits: stored so, straight into the rows; otherwise libpng gives a byte a pixel,
    // packed here.
    if (palette) {
        std::vector<png_bytep> rows;
        try {
            rows.resize(SIZE_T(info.height));
        } catch (const std::bad_alloc&) {
            return IMG_ERR_MEMORY;
        }
        switch (ReadPackedPalette(data, size, out, rows)) {
        case PackedRead::done:
            out.SetResolution(info.xDpi, info.yDpi);
            return IMG_SUCCESS;
        case PackedRead::damaged:
            return IMG_ERR_DAMAGED;
        case PackedRead::notPacked:
            break;
        }
    }
    std::vector<png_byte> buffer;
    try {
        buffer.resize(SIZE_T(info.width) * SIZE_T(info.height));
    } catch (const std::bad_alloc&) {
        return IMG_ERR_MEMORY;
    }
    if (!png_image_finish_read(&g.image, &background, buffer.data(), 0,
                               colormap.empty() ? nullptr : colormap.data()))
        return IMG_ERR_DAMAGED;
    table();
    for (long y = 0; y < info.height; ++y) {
        const png_byte* src = buffer.data() + SIZE_T(y) * SIZE_T(info.width);
        BYTE* dst = out.Row(y);
        std::memset(dst, 0, out.StrideBytes());
        for (long x = 0; x < info.width; ++x)
            SetIndex(dst, x, bits, src[x]);
    }
    out.SetResolution(info.xDpi, info.yDpi);
    return IMG_SUCCESS;
}

int EncodePng(const PictureView& pic, std::vector<BYTE>& out) {
    ImageGuard g;
    const long width = pic.Width(), height = pic.Height();
    const int bits = pic.Bits();
    g.image.width = png_uint_32(width);
    g.image.height = png_uint_32(height);
    std::vector<png_byte> buffer;
    std::vector<png_byte> colormap;
    if (bits == 24) {
        g.image.format = PNG_FORMAT_RGB;
        buffer.resize(SIZE_T(width) * 3 * SIZE_T(height));
        for (long y = 0; y < height; ++y) {
            const BYTE* src = pic.Row(y);
            png_byte* dst = buffer.data() + SIZE_T(y) * SIZE_T(width) * 3;
            for (long x = 0; x < width; ++x) {
                dst[3 * x] = src[3 * x + 2];
                dst[3 * x + 1] = src[3 * x + 1];
                dst[3 * x + 2] = src[3 * x];
            }
        }
    } else {
        const int entries = TableEntries(bits);
        g.image.format = PNG_FORMAT_RGB_COLORMAP;
        g.image.colormap_entries = png_uint_32(entries);
        colormap.resize(SIZE_T(entries) * 3);
        for (int i = 0; i < entries; ++i) {
            const RGBQUAD& q = pic.Table()[i];
            colormap[3 * i] = q.rgbRed;
            colormap[3 * i + 1] = q.rgbGreen;
            colormap[3 * i + 2] = q.rgbBlue;
        }
        buffer.resize(SIZE_T(width) * SIZE_T(height));
        for (long y = 0; y < height; ++y) {
            const BYTE* src = pic.Row(y);
            png_byte* dst = buffer.data() + SIZE_T(y) * SIZE_T(width);
            for (long x = 0; x < width; ++x)
                dst[x] = png_byte(GetIndex(src, x, bits));
        }
    }
    png_alloc_size_t bytes = 0;
    const png_byte* map = colormap.empty() ? nullptr : colormap.data();
    if (!png_image_write_to_memory(&g.image, nullptr, &bytes, 0, buffer.data(), 0, map) ||
        bytes == 0 || bytes > 0x7FFF0000u)
        return IMG_ERR_WRITE;
    std::vector<BYTE> png(bytes);
    if (!png_image_write_to_memory(&g.image, png.data(), &bytes, 0, buffer.data(), 0, map))
        return IMG_ERR_WRITE;
    png.resize(bytes);
    // The resolution goes after the header chunk (8 + 25 bytes).
    const LONG xm = pic.Header()->biXPelsPerMeter, ym = pic.Header()->biYPelsPerMeter;
    out.assign(png.begin(), png.begin() + 33);
    if (xm > 0 && ym > 0) {
        BYTE chunk[21] = {0, 0, 0, 9, 'p', 'H', 'Y', 's'};
        for (int i = 0; i < 4; ++i) {
            chunk[8 + i] = BYTE(DWORD(xm) >> (24 - 8 * i));
            chunk[12 + i] = BYTE(DWORD(ym) >> (24 - 8 * i));
        }
        chunk[16] = 1; // metres
        const uLong crc = crc32(crc32(0, nullptr, 0), chunk + 4, 13);
        for (int i = 0; i < 4; ++i)
            chunk[17 + i] = BYTE(crc >> (24 - 8 * i));
        out.insert(out.end(), chunk, chunk + 21);
    }
    out.insert(out.end(), png.begin() + 33, png.end());
    return IMG_SUCCESS;
}

} // namespace imaging
