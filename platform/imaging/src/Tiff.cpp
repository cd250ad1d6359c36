// TIFF through libtiff over memory: the first page is read; bilevel, grey and palette pictures
// keep their depth, every other kind comes through libtiff's RGBA reader as 24 bits.
#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <memory>

#include "Codec.h"
#include "Limits.h"

namespace imaging {
namespace {

struct MemoryStream {
    const BYTE* data = nullptr;       // reading
    std::vector<BYTE>* out = nullptr; // writing
    toff_t size = 0;
    toff_t pos = 0;
};

tmsize_t ReadProc(thandle_t h, void* buf, tmsize_t n) {
    auto* s = static_cast<MemoryStream*>(h);
    const BYTE* base = s->out ? s->out->data() : s->data;
    const toff_t size = s->out ? s->out->size() : s->size;
    if (n <= 0 || s->pos >= size) return 0;
    const toff_t take = std::min<toff_t>(toff_t(n), size - s->pos);
    std::memcpy(buf, base + s->pos, size_t(take));
    s->pos += take;
    return tmsize_t(take);
}

tmsize_t WriteProc(thandle_t h, void* buf, tmsize_t n) {
    auto* s = static_cast<MemoryStream*>(h);
    if (s->out == nullptr || n < 0) return -1;
    if (s->pos + toff_t(n) > s->out->size()) s->out->resize(size_t(s->pos + toff_t(n)));
    std::memcpy(s->out->data() + s->pos, buf, size_t(n));
    s->pos += toff_t(n);
    return n;
}

toff_t SeekProc(thandle_t h, toff_t off, int whence) {
    auto* s = static_cast<MemoryStream*>(h);
    const toff_t size = s->out ? s->out->size() : s->size;
    toff_t base = whence == SEEK_CUR ? s->pos : whence == SEEK_END ? size : 0;
    const std::int64_t to = std::int64_t(base) + std::int64_t(off);
    if (to < 0) return toff_t(-1);
    s->pos = toff_t(to);
    return s->pos;
}

int CloseProc(thandle_t) {
    return 0;
}
toff_t SizeProc(thandle_t h) {
    auto* s = static_cast<MemoryStream*>(h);
    return s->out ? s->out->size() : s->size;
}
int MapProc(thandle_t, void**, toff_t*) {
    return 0;
}
void UnmapProc(thandle_t, void*, toff_t) {}

int Quiet(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

struct TiffCloser {
    void operator()(TIFF* t) const { TIFFClose(t); }
};
using TiffPtr = std::unique_ptr<TIFF, TiffCloser>;

TiffPtr Open(MemoryStream& s, const char* mode) {
    TIFFOpenOptions* o = TIFFOpenOptionsAlloc();
    // No single request of libtiff's may pass what the largest picture needs.
    TIFFOpenOptionsSetMaxSingleMemAlloc(o, tmsize_t(kMaxPixels * 4));
    TIFFOpenOptionsSetErrorHandlerExtR(o, Quiet, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(o, Quiet, nullptr);
    TIFF* t = TIFFClientOpenExt("memory", mode, &s, ReadProc, WriteProc, SeekProc, CloseProc,
                                SizeProc, MapProc, UnmapProc, o);
    TIFFOpenOptionsFree(o);
    return TiffPtr(t);
}

struct Layout {
    uint32_t width = 0, height = 0;
    uint16_t bps = 1, spp = 1, photometric = PHOTOMETRIC_MINISWHITE, planar = PLANARCONFIG_CONTIG;
    uint16_t compression = COMPRESSION_NONE;
    int bits = 24;       // depth loaded
    bool direct = false; // rows read as they stand (not through the RGBA reader)
};

int Describe(TIFF* t, SIZE_T size, Layout& l, ImageInfo& info) {
    if (!TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &l.width) ||
        !TIFFGetField(t, TIFFTAG_IMAGELENGTH, &l.height))
        return IMG_ERR_DAMAGED;
    TIFFGetFieldDefaulted(t, TIFFTAG_BITSPERSAMPLE, &l.bps);
    TIFFGetFieldDefaulted(t, TIFFTAG_SAMPLESPERPIXEL, &l.spp);
    TIFFGetFieldDefaulted(t, TIFFTAG_PLANARCONFIG, &l.planar);
    TIFFGetFieldDefaulted(t, TIFFTAG_COMPRESSION, &l.compression);
    if (!TIFFGetField(t, TIFFTAG_PHOTOMETRIC, &l.photometric))
        l.photometric = l.spp >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISWHITE;
    const bool grey =
        l.photometric == PHOTOMETRIC_MINISWHITE || l.photometric == PHOTOMETRIC_MINISBLACK;
    const bool strips = !TIFFIsTiled(t);
    l.direct = false;
    if (strips && l.spp == 1 && grey && (l.bps == 1 || l.bps == 4 || l.bps == 8)) {
        l.bits = l.bps;
        l.direct = true;
    } else if (strips && l.spp == 1 && l.photometric == PHOTOMETRIC_PALETTE &&
               (l.bps == 1 || l.bps == 4 || l.bps == 8)) {
        l.bits = l.bps;
        l.direct = true;
    } else if (strips && l.spp == 3 && l.bps == 8 && l.photometric == PHOTOMETRIC_RGB &&
               l.planar == PLANARCONFIG_CONTIG) {
        l.bits = 24;
        l.direct = true;
    } else {
        l.bits = 24;
    }
    info.format = IMG_TIF;
    switch (l.compression) {
    case COMPRESSION_CCITTFAX3: {
        uint32_t options = 0;
        TIFFGetFieldDefaulted(t, TIFFTAG_GROUP3OPTIONS, &options);
        info.format = (options & GROUP3OPT_2DENCODING) ? IMG_TIF_G3_2D : IMG_TIF_G3_1D;
        break;
    }
    case COMPRESSION_CCITTFAX4:
        info.format = IMG_TIF_G4;
        break;
    case COMPRESSION_JPEG:
        info.format = IMG_TIF_JPEG_411;
        break;
    default:
        break;
    }
    info.width = long(l.width);
    info.height = long(l.height);
    info.bits = l.bits;
    info.pages = int(TIFFNumberOfDirectories(t));
    float xr = 0, yr = 0;
    uint16_t unit = RESUNIT_INCH;
    TIFFGetFieldDefaulted(t, TIFFTAG_RESOLUTIONUNIT, &unit);
    if (TIFFGetField(t, TIFFTAG_XRESOLUTION, &xr) && TIFFGetField(t, TIFFTAG_YRESOLUTION, &yr) &&
        xr > 0 && yr > 0 && xr < 1e6f && yr < 1e6f) {
        const float f = unit == RESUNIT_CENTIMETER ? 2.54f : unit == RESUNIT_INCH ? 1.0f : 0.0f;
        info.xDpi = int(xr * f + 0.5f);
        info.yDpi = int(yr * f + 0.5f);
    }
    if (!SizeAllowed(info.width, info.height)) return IMG_ERR_TOO_LARGE;
    // Fax rows take a bit at least; other codings at most deflate's expansion.
    const bool fax =
        l.compression == COMPRESSION_CCITTFAX3 || l.compression == COMPRESSION_CCITTFAX4 ||
        l.compression == COMPRESSION_CCITTRLE || l.compression == COMPRESSION_CCITTRLEW;
    if (fax ? std::uint64_t(info.height) > (std::uint64_t(size) + 64) * 8
            : !CanFill(RawBytes(info.width, info.height, 1), size, kDeflateExpansion))
        return IMG_ERR_DAMAGED;
    return IMG_SUCCESS;
}

int ReadDirect(TIFF* t, const Layout& l, Picture& out) {
    const long w = long(l.width);
    if (l.photometric == PHOTOMETRIC_PALETTE) {
        uint16_t *r = nullptr, *g = nullptr, *b = nullptr;
        if (!TIFFGetField(t, TIFFTAG_COLORMAP, &r, &g, &b)) return IMG_ERR_DAMAGED;
        // Old writers store 8-bit entries; then no entry passes 255.
        const int n = 1 << l.bps;
        bool eight = true;
        for (int i = 0; i < n; ++i)
            if (r[i] > 255 || g[i] > 255 || b[i] > 255) eight = false;
        const int shift = eight ? 0 : 8;
        for (int i = 0; i < n; ++i)
            out.Table()[i] =
                RGBQUAD{BYTE(b[i] >> shift), BYTE(g[i] >> shift), BYTE(r[i] >> shift), 0};
    } else if (l.spp == 1) {
        out.SetGreyTable();
        if (l.photometric == PHOTOMETRIC_MINISWHITE)
            std::reverse(out.Table(), out.Table() + (1 << l.bps));
    }
    const tmsize_t lineBytes = TIFFScanlineSize(t);
    const SIZE_T need = l.spp == 3 ? SIZE_T(w) * 3 : (SIZE_T(w) * l.bps + 7) / 8;
    if (lineBytes < tmsize_t(need)) return IMG_ERR_DAMAGED;
    std::vector<BYTE> line(static_cast<size_t>(lineBytes));
    for (uint32_t y = 0; y < l.height; ++y) {
        if (TIFFReadScanline(t, line.data(), y, 0) < 0) return IMG_ERR_DAMAGED;
        BYTE* dst = out.Row(long(y));
        if (l.spp == 3) {
            for (long x = 0; x < w; ++x) {
                dst[3 * x] = line[size_t(3 * x + 2)];
                dst[3 * x + 1] = line[size_t(3 * x + 1)];
                dst[3 * x + 2] = line[size_t(3 * x)];
            }
        } else {
            std::memcpy(dst, line.data(), need);
            // Bits past the width stay 0.
            if (const int spare = int(need * 8 - SIZE_T(w) * l.bps); spare > 0)
                dst[need - 1] = BYTE(dst[need - 1] & (0xFF << spare));
        }
    }
    return IMG_SUCCESS;
}

int ReadRgba(TIFF* t, const Layout& l, Picture& out) {
    char message[1024] = "";
    if (!TIFFRGBAImageOK(t, message)) return IMG_ERR_UNSUPPORTED;
    TIFFRGBAImage img{};
    if (!TIFFRGBAImageBegin(&img, t, 0, message)) return IMG_ERR_DAMAGED;
    img.req_orientation = ORIENTATION_TOPLEFT;
    const uint32_t band = 64;
    std::vector<uint32_t> raster(size_t(l.width) * band);
    int result = IMG_SUCCESS;
    for (uint32_t y0 = 0; y0 < l.height && result == IMG_SUCCESS; y0 += band) {
        const uint32_t rows = std::min(band, l.height - y0);
        img.row_offset = int(y0);
        img.col_offset = 0;
        std::fill(raster.begin(), raster.end(), 0xFFFFFFFFu);
        if (!TIFFRGBAImageGet(&img, raster.data(), l.width, rows)) {
            result = IMG_ERR_DAMAGED;
            break;
        }
        for (uint32_t r = 0; r < rows; ++r) {
            BYTE* dst = out.Row(long(y0 + r));
            for (uint32_t x = 0; x < l.width; ++x) {
                const uint32_t p = raster[size_t(r) * l.width + x];
                const unsigned a = TIFFGetA(p);
                // Colours come premultiplied or not; either goes over white.
                auto over = [a](unsigned c) { return BYTE(std::min(255u, c + (255 - a))); };
                dst[3 * x] = over(TIFFGetB(p));
                dst[3 * x + 1] = over(TIFFGetG(p));
                dst[3 * x + 2] = over(TIFFGetR(p));
            }
        }
    }
    TIFFRGBAImageEnd(&img);
    return result;
}

} // namespace

bool IsTiff(const BYTE* data, SIZE_T size) {
    return size >= 8 && ((data[0] == 'I' && data[1] == 'I' && data[2] == 42 && data[3] == 0) ||
                         (data[0] == 'M' && data[1] == 'M' && data[2] == 0 && data[3] == 42));
}

int InfoTiff(const BYTE* data, SIZE_T size, ImageInfo& info) {
    MemoryStream s{data, nullptr, size, 0};
    TiffPtr t = Open(s, "rm");
    if (!t) return IMG_ERR_DAMAGED;
    Layout l;
    return Describe(t.get(), size, l, info);
}

int DecodeTiff(const BYTE* data, SIZE_T size, Picture& out) {
    MemoryStream s{data, nullptr, size, 0};
    TiffPtr t = Open(s, "rm");
    if (!t) return IMG_ERR_DAMAGED;
    Layout l;
    ImageInfo info;
    if (const int r = Describe(t.get(), size, l, info); r != IMG_SUCCESS) return r;
    if (const int r = out.Create(info.width, info.height, l.bits); r != IMG_SUCCESS) return r;
    const int r = l.direct ? ReadDirect(t.get(), l, out) : ReadRgba(t.get(), l, out);
    if (r != IMG_SUCCESS) return r;
    out.SetResolution(info.xDpi, info.yDpi);
    return IMG_SUCCESS;
}

int EncodeTiff(const PictureView& pic, int format, int quality, std::vector<BYTE>& out) {
    const bool fax = format == IMG_TIF_G3_1D || format == IMG_TIF_G3_2D || format == IMG_TIF_G4;
    const bool jpeg =
        format == IMG_TIF_JPEG_411 || format == IMG_TIF_JPEG_422 || format == IMG_TIF_JPEG_444;
    const int bits = pic.Bits();
    const bool grey = bits == 8 && pic.GreyTable();
    if (fax && bits != 1) return IMG_ERR_PARAM;
    if (jpeg && bits != 24 && !grey) return IMG_ERR_PARAM;
    out.clear();
    MemoryStream s{nullptr, &out, 0, 0};
    TiffPtr t = Open(s, "w");
    if (!t) return IMG_ERR_WRITE;
    const long w = pic.Width(), h = pic.Height();
    TIFFSetField(t.get(), TIFFTAG_IMAGEWIDTH, uint32_t(w));
    TIFFSetField(t.get(), TIFFTAG_IMAGELENGTH, uint32_t(h));
    TIFFSetField(t.get(), TIFFTAG_BITSPERSAMPLE, uint16_t(bits == 24 ? 8 : bits));
    TIFFSetField(t.get(), TIFFTAG_SAMPLESPERPIXEL, uint16_t(bits == 24 ? 3 : 1));
    TIFFSetField(t.get(), TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t.get(), TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    const int xDpi = pic.XDpi(), yDpi = pic.YDpi();
    if (xDpi > 0 && yDpi > 0) {
        TIFFSetField(t.get(), TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        TIFFSetField(t.get(), TIFFTAG_XRESOLUTION, float(xDpi));
        TIFFSetField(t.get(), TIFFTAG_YRESOLUTION, float(yDpi));
    }
    // Bilevel pictures of black and white go as such (fax codings always: 1 is ink).
    bool inkIsOne = false, bilevel = false;
    if (bits == 1) {
        const auto luma = [](const RGBQUAD& q) {
            return q.rgbRed * 3 + q.rgbGreen * 6 + q.rgbBlue;
        };
        const bool dark0 = luma(pic.Table()[0]) < luma(pic.Table()[1]);
        bilevel = fax || (pic.GreyTable() ||
                          (pic.Table()[0].rgbRed == 255 && pic.Table()[1].rgbRed == 0 &&
                           pic.Table()[0].rgbGreen == 255 && pic.Table()[1].rgbGreen == 0 &&
                           pic.Table()[0].rgbBlue == 255 && pic.Table()[1].rgbBlue == 0));
        inkIsOne = !dark0;
    }
    std::vector<uint16_t> map[3];
    if (bits == 24) {
        TIFFSetField(t.get(), TIFFTAG_PHOTOMETRIC, jpeg ? PHOTOMETRIC_YCBCR : PHOTOMETRIC_RGB);
    } else if (grey || bilevel) {
        TIFFSetField(t.get(), TIFFTAG_PHOTOMETRIC,
                     bits == 1 ? PHOTOMETRIC_MINISWHITE : PHOTOMETRIC_MINISBLACK);
    } else {
        TIFFSetField(t.get(), TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_PALETTE);
        const int n = TableEntries(bits);
        for (auto& m : map)
            m.resize(size_t(n));
        for (int i = 0; i < n; ++i) {
            map[0][size_t(i)] = uint16_t(pic.Table()[i].rgbRed * 257);
            map[1][size_t(i)] = uint16_t(pic.Table()[i].rgbGreen * 257);
            map[2][size_t(i)] = uint16_t(pic.Table()[i].rgbBlue * 257);
        }
        TIFFSetField(t.get(), TIFFTAG_COLORMAP, map[0].data(), map[1].data(), map[2].data());
    }
    switch (format) {
    case IMG_TIF_G3_1D:
    case IMG_TIF_G3_2D:
        TIFFSetField(t.get(), TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX3);
        TIFFSetField(t.get(), TIFFTAG_GROUP3OPTIONS,
                     uint32_t(format == IMG_TIF_G3_2D ? GROUP3OPT_2DENCODING : 0));
        break;
    case IMG_TIF_G4:
        TIFFSetField(t.get(), TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
        break;
    default:
        if (jpeg) {
            TIFFSetField(t.get(), TIFFTAG_COMPRESSION, COMPRESSION_JPEG);
            TIFFSetField(t.get(), TIFFTAG_JPEGQUALITY, JpegQuality(quality));
            if (bits == 24) {
                const uint16_t across = format == IMG_TIF_JPEG_444 ? 1 : 2;
                const uint16_t down = format == IMG_TIF_JPEG_411 ? 2 : 1;
                TIFFSetField(t.get(), TIFFTAG_YCBCRSUBSAMPLING, across, down);
                TIFFSetField(t.get(), TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
            }
        } else {
            TIFFSetField(t.get(), TIFFTAG_COMPRESSION, COMPRESSION_NONE);
        }
    }
    // Fax data in one strip, so that the raw codings can be taken out whole.
    TIFFSetField(t.get(), TIFFTAG_ROWSPERSTRIP,
                 fax    ? uint32_t(h)
                 : jpeg ? uint32_t(16)
                        : TIFFDefaultStripSize(t.get(), 0));
    const SIZE_T need = bits == 24 ? SIZE_T(w) * 3 : (SIZE_T(w) * unsigned(bits) + 7) / 8;
    std::vector<BYTE> line(std::max<SIZE_T>(need, SIZE_T(TIFFScanlineSize(t.get()))));
    for (long y = 0; y < h; ++y) {
        const BYTE* src = pic.Row(y);
        if (bits == 24) {
            for (long x = 0; x < w; ++x) {
                line[size_t(3 * x)] = src[3 * x + 2];
                line[size_t(3 * x + 1)] = src[3 * x + 1];
                line[size_t(3 * x + 2)] = src[3 * x];
            }
        } else {
            std::memcpy(line.data(), src, need);
            if (bits == 1 && bilevel && !inkIsOne)
                for (SIZE_T i = 0; i < need; ++i)
                    line[i] = BYTE(~line[i]);
            if (const int spare = int(need * 8 - SIZE_T(w) * unsigned(bits)); spare > 0)
                line[need - 1] = BYTE(line[need - 1] & (0xFF << spare));
        }
        if (TIFFWriteScanline(t.get(), line.data(), uint32_t(y), 0) < 0) return IMG_ERR_WRITE;
    }
    if (!TIFFWriteDirectory(t.get())) return IMG_ERR_WRITE;
    t.reset();
    return IMG_SUCCESS;
}

// Raw CCITT data (codes 66-68): the fax coding of a one-strip TIFF, without the TIFF around it.
int EncodeFax(const PictureView& pic, int format, std::vector<BYTE>& out) {
    const int tiffFormat = format == IMG_FAX_G3_1D   ? IMG_TIF_G3_1D
                           : format == IMG_FAX_G3_2D ? IMG_TIF_G3_2D
                                                     : IMG_TIF_G4;
    std::vector<BYTE> tiff;
    if (const int r = EncodeTiff(pic, tiffFormat, 0, tiff); r != IMG_SUCCESS) return r;
    MemoryStream s{tiff.data(), nullptr, tiff.size(), 0};
    TiffPtr t = Open(s, "rm");
    if (!t || TIFFNumberOfStrips(t.get()) != 1) return IMG_ERR_WRITE;
    uint64_t* counts = nullptr;
    if (!TIFFGetField(t.get(), TIFFTAG_STRIPBYTECOUNTS, &counts) || counts == nullptr)
        return IMG_ERR_WRITE;
    out.resize(size_t(counts[0]));
    if (TIFFReadRawStrip(t.get(), 0, out.data(), tmsize_t(out.size())) != tmsize_t(out.size()))
        return IMG_ERR_WRITE;
    return IMG_SUCCESS;
}

// Raw CCITT data as a one-strip TIFF around it, read through libtiff.
int DecodeFaxRows(const BYTE* data, SIZE_T size, int width, int height, int coding, BYTE* rows,
                  SIZE_T stride) {
    if (data == nullptr || rows == nullptr || !SizeAllowed(width, height)) return IMG_ERR_PARAM;
    if (stride < (SIZE_T(width) + 7) / 8 || size > 0x7FFF0000u) return IMG_ERR_PARAM;
    // Each row takes a bit at least.
    if (std::uint64_t(height) > (std::uint64_t(size) + 64) * 8) return IMG_ERR_DAMAGED;
    struct Tag {
        uint16_t tag, type;
        uint32_t value;
    };
    // libtiff's 1-D decoder refuses rows with as many runs as pixels at some widths (a
    // checkerboard 64 wide); declared wider, such rows end at their EOL and the rest stays white.
    const int declared = coding == 1 ? width + 32 : width;
    const Tag tags[] = {
        {256, 4, uint32_t(declared)},
        {257, 4, uint32_t(height)},
        {258, 3, 1},
        {259, 3, coding == 3 ? 4u : 3u},
        {262, 3, 0},
        {273, 4, 0}, // the strip, filled below
        {277, 3, 1},
        {278, 4, uint32_t(height)},
        {279, 4, uint32_t(size)},
        {292, 4, coding == 2 ? 1u : 0u},
    };
    const int count = coding == 3 ? 9 : 10;
    std::vector<BYTE> tiff = {'I', 'I', 42, 0, 8, 0, 0, 0};
    const uint32_t dataAt = uint32_t(8 + 2 + 12 * count + 4);
    PutLe16(tiff, unsigned(count));
    for (int i = 0; i < count; ++i) {
        PutLe16(tiff, tags[i].tag);
        PutLe16(tiff, tags[i].type);
        PutLe32(tiff, 1);
        PutLe32(tiff, tags[i].tag == 273 ? dataAt : tags[i].value);
    }
    PutLe32(tiff, 0);
    tiff.insert(tiff.end(), data, data + size);
    MemoryStream s{tiff.data(), nullptr, tiff.size(), 0};
    TiffPtr t = Open(s, "rm");
    if (!t) return IMG_ERR_DAMAGED;
    const SIZE_T line = SIZE_T(TIFFScanlineSize(t.get()));
    const SIZE_T used = (SIZE_T(width) + 7) / 8;
    if (line < used || line > used + 8) return IMG_ERR_DAMAGED;
    std::vector<BYTE> scan(line);
    for (int y = 0; y < height; ++y) {
        if (TIFFReadScanline(t.get(), scan.data(), uint32_t(y), 0) < 0) return IMG_ERR_DAMAGED;
        BYTE* row = rows + stride * SIZE_T(y);
        std::memcpy(row, scan.data(), used);
        if (width % 8 != 0) row[used - 1] = BYTE(row[used - 1] & (0xFF << (8 - width % 8)));
    }
    return IMG_SUCCESS;
}

} // namespace imaging
