// Photoshop files: the merged image only (layers are passed over). Read: bitmap, grey,
// indexed, RGB and CMYK at 8 bits a channel (16-bit channels keep their high byte), raw or
// PackBits rows; written raw: bitmap, grey, indexed or RGB.
#include <algorithm>
#include <cstring>

#include "Codec.h"
#include "Limits.h"

namespace imaging {
namespace {

struct PsdHeader {
    unsigned channels = 0, depth = 0, mode = 0;
    long width = 0, height = 0;
    SIZE_T colorData = 0, colorLength = 0, imageData = 0;
    int bits = 0;
};

int Parse(const BYTE* d, SIZE_T size, PsdHeader& h) {
    if (size < 26) return IMG_ERR_DAMAGED;
    if (Be16(d + 4) != 1) return IMG_ERR_UNSUPPORTED;
    h.channels = Be16(d + 12);
    const std::uint32_t height = Be32(d + 14), width = Be32(d + 18);
    h.depth = Be16(d + 22);
    h.mode = Be16(d + 24);
    h.width = long(std::min<std::uint32_t>(width, 0x7FFFFFFF));
    h.height = long(std::min<std::uint32_t>(height, 0x7FFFFFFF));
    // Colour data, resources, layers: each a length and its bytes, inside the file.
    SIZE_T at = 26;
    for (int section = 0; section < 3; ++section) {
        if (at + 4 > size) return IMG_ERR_DAMAGED;
        const std::uint32_t length = Be32(d + at);
        if (length > size - at - 4) return IMG_ERR_DAMAGED;
        if (section == 0) {
            h.colorData = at + 4;
            h.colorLength = length;
        }
        at += 4 + length;
    }
    h.imageData = at;
    if (h.channels < 1 || h.channels > 56) return IMG_ERR_DAMAGED;
    const unsigned need = h.mode == 3 ? 3 : h.mode == 4 ? 4 : 1;
    if (h.channels < need) return IMG_ERR_DAMAGED;
    switch (h.mode) {
    case 0:
        h.bits = h.depth == 1 ? 1 : 0;
        break;
    case 1:
        h.bits = h.depth == 8 || h.depth == 16 ? 8 : 0;
        break;
    case 2:
        h.bits = h.depth == 8 && h.colorLength == 768 ? 8 : 0;
        break;
    case 3:
    case 4:
        h.bits = h.depth == 8 || h.depth == 16 ? 24 : 0;
        break;
    default:
        h.bits = 0;
    }
    if (h.bits == 0) return IMG_ERR_UNSUPPORTED;
    if (!SizeAllowed(h.width, h.height)) return IMG_ERR_TOO_LARGE;
    if (h.imageData + 2 > size) return IMG_ERR_DAMAGED;
    const std::uint64_t rowBytes = (std::uint64_t(h.width) * h.depth + 7) / 8;
    const std::uint64_t raw = rowBytes * std::uint64_t(h.height) * need;
    const unsigned compression = Be16(d + h.imageData);
    if (compression > 1) return IMG_ERR_UNSUPPORTED;
    // PackBits repeats a byte at most 128 times for 2 bytes.
    if (compression == 0 ? raw > size - h.imageData - 2 : !CanFill(raw, size, 64))
        return IMG_ERR_DAMAGED;
    return IMG_SUCCESS;
}

// Unpacks one PackBits row into out (row bytes); false when the data run short or over.
bool UnpackRow(const BYTE* p, SIZE_T n, BYTE* out, SIZE_T rowBytes) {
    SIZE_T at = 0, x = 0;
    while (x < rowBytes) {
        if (at >= n) return false;
        const int c = static_cast<signed char>(p[at++]);
        if (c >= 0) {
            const SIZE_T count = SIZE_T(c) + 1;
            if (at + count > n || x + count > rowBytes) return false;
            std::memcpy(out + x, p + at, count);
            at += count;
            x += count;
        } else if (c != -128) {
            const SIZE_T count = SIZE_T(1 - c);
            if (at >= n || x + count > rowBytes) return false;
            std::memset(out + x, p[at++], count);
            x += count;
        }
    }
    return true;
}

} // namespace

bool IsPsd(const BYTE* d, SIZE_T size) {
    return size >= 26 && std::memcmp(d, "8BPS", 4) == 0;
}

int InfoPsd(const BYTE* d, SIZE_T size, ImageInfo& info) {
    PsdHeader h;
    const int r = Parse(d, size, h);
    info.format = IMG_PSD;
    info.width = h.width;
    info.height = h.height;
    info.bits = h.bits;
    return r;
}

int DecodePsd(const BYTE* d, SIZE_T size, Picture& out) {
    PsdHeader h;
    if (const int r = Parse(d, size, h); r != IMG_SUCCESS) return r;
    const unsigned planes = h.mode == 3 ? 3 : h.mode == 4 ? 4 : 1;
    const SIZE_T rowBytes = SIZE_T((std::uint64_t(h.width) * h.depth + 7) / 8);
    const bool rle = Be16(d + h.imageData) == 1;
    // Row lengths of every channel's rows come first in PackBits data.
    SIZE_T at = h.imageData + 2;
    const std::uint64_t rows = std::uint64_t(h.channels) * std::uint64_t(h.height);
    std::vector<SIZE_T> offsets;
    std::vector<SIZE_T> lengths;
    if (rle) {
        if (rows * 2 > size - at) return IMG_ERR_DAMAGED;
        SIZE_T data = at + SIZE_T(rows) * 2;
        const std::uint64_t used = std::uint64_t(planes) * std::uint64_t(h.height);
        offsets.resize(SIZE_T(used));
        lengths.resize(SIZE_T(used));
        for (SIZE_T i = 0; i < used; ++i) {
            const SIZE_T n = Be16(d + at + 2 * i);
            if (n > size - data) return IMG_ERR_DAMAGED;
            offsets[i] = data;
            lengths[i] = n;
            data += n;
        }
    }
    if (const int r = out.Create(h.width, h.height, h.bits); r != IMG_SUCCESS) return r;
    if (h.mode == 0) {
        out.Table()[0] = RGBQUAD{255, 255, 255, 0};
        out.Table()[1] = RGBQUAD{0, 0, 0, 0};
    } else if (h.mode == 1) {
        out.SetGreyTable();
    } else if (h.mode == 2) {
        const BYTE* c = d + h.colorData;
        for (int i = 0; i < 256; ++i)
            out.Table()[i] = RGBQUAD{c[512 + i], c[256 + i], c[i], 0};
    }
    std::vector<BYTE> row(rowBytes);
    const unsigned step = h.depth == 16 ? 2 : 1;
    for (unsigned plane = 0; plane < planes; ++plane)
        for (long y = 0; y < h.height; ++y) {
            const SIZE_T index = SIZE_T(plane) * SIZE_T(h.height) + SIZE_T(y);
            if (rle) {
                if (!UnpackRow(d + offsets[index], lengths[index], row.data(), rowBytes))
                    return IMG_ERR_DAMAGED;
            } else {
                std::memcpy(row.data(), d + at + index * rowBytes, rowBytes);
            }
            BYTE* dst = out.Row(y);
            if (h.bits == 1) {
                std::memcpy(dst, row.data(), rowBytes);
                if (h.width & 7) dst[rowBytes - 1] &= BYTE(0xFF << (8 - (h.width & 7)));
            } else if (h.bits == 8) {
                for (long x = 0; x < h.width; ++x)
                    dst[x] = row[SIZE_T(x) * step];
            } else if (h.mode == 3) {
                for (long x = 0; x < h.width; ++x)
                    dst[3 * x + 2 - plane] = row[SIZE_T(x) * step];
            } else { // CMYK, stored as 255 - ink: each ink multiplies its colours
                for (long x = 0; x < h.width; ++x) {
                    const int v = row[SIZE_T(x) * step];
                    if (plane == 0) {
                        dst[3 * x] = dst[3 * x + 1] = 255;
                        dst[3 * x + 2] = BYTE(v);
                    } else if (plane < 3) {
                        dst[3 * x + 2 - plane] = BYTE(v);
                    } else {
                        for (int k = 0; k < 3; ++k)
                            dst[3 * x + k] = BYTE(dst[3 * x + k] * v / 255);
                    }
                }
            }
        }
    return IMG_SUCCESS;
}

int EncodePsd(const PictureView& pic, std::vector<BYTE>& out) {
    const long w = pic.Width(), h = pic.Height();
    const int bits = pic.Bits();
    if (bits != 1 && bits != 8 && bits != 24) return IMG_ERR_PARAM;
    const bool grey = bits == 8 && pic.GreyTable();
    const unsigned mode = bits == 1 ? 0 : bits == 24 ? 3 : grey ? 1 : 2;
    const unsigned channels = bits == 24 ? 3 : 1;
    auto put16 = [&](unsigned v) {
        out.push_back(BYTE(v >> 8));
        out.push_back(BYTE(v));
    };
    auto put32 = [&](std::uint32_t v) {
        put16(v >> 16);
        put16(v & 0xFFFF);
    };
    out.assign({'8', 'B', 'P', 'S'});
    put16(1);
    out.insert(out.end(), 6, 0);
    put16(channels);
    put32(std::uint32_t(h));
    put32(std::uint32_t(w));
    put16(bits == 1 ? 1 : 8);
    put16(mode);
    if (mode == 2) {
        put32(768);
        for (int c = 0; c < 3; ++c)
            for (int i = 0; i < 256; ++i) {
                const RGBQUAD& q = pic.Table()[i];
                out.push_back(c == 0 ? q.rgbRed : c == 1 ? q.rgbGreen : q.rgbBlue);
            }
    } else {
        put32(0);
    }
    put32(0); // resources
    put32(0); // layers
    put16(0); // raw
    // Bitmap mode shows set bits black.
    const auto luma = [&](int i) {
        return pic.Table()[i].rgbRed * 3 + pic.Table()[i].rgbGreen * 6 + pic.Table()[i].rgbBlue;
    };
    const bool invert = bits == 1 && luma(0) < luma(1);
    const SIZE_T bpl = bits == 1 ? SIZE_T((w + 7) / 8) : SIZE_T(w);
    for (unsigned plane = 0; plane < channels; ++plane)
        for (long y = 0; y < h; ++y) {
            const BYTE* src = pic.Row(y);
            if (bits == 1) {
                for (SIZE_T i = 0; i < bpl; ++i)
                    out.push_back(invert ? BYTE(~src[i]) : src[i]);
                if (w & 7) out.back() &= BYTE(0xFF << (8 - (w & 7)));
            } else if (bits == 8) {
                out.insert(out.end(), src, src + w);
            } else {
                for (long x = 0; x < w; ++x)
                    out.push_back(src[3 * x + 2 - plane]);
            }
        }
    return IMG_SUCCESS;
}

} // namespace imaging
