// JPEG (JFIF) through libjpeg. Errors of the codec return here through longjmp: every object
// with a destructor is made before the jump point and only resized after it.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

#include "Codec.h"
#include "Limits.h"

namespace imaging {
namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    jpeg_progress_mgr progress;
};

[[noreturn]] void OnError(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

void Silent(j_common_ptr) {}

// Progressive files of many tiny scans take quadratic time; their count is bounded.
void OnProgress(j_common_ptr cinfo) {
    if (!cinfo->is_decompressor) return;
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (std::uint64_t(d->input_scan_number) > kMaxJpegScans) OnError(cinfo);
}

void Setup(jpeg_decompress_struct& d, ErrorManager& e) {
    d.err = jpeg_std_error(&e.pub);
    e.pub.error_exit = OnError;
    e.pub.output_message = Silent;
    e.progress.progress_monitor = OnProgress;
}

int Dpi(int unit, int density) {
    if (unit == 1) return density;
    if (unit == 2) return int(density * 2.54 + 0.5);
    return 0;
}

// Checks the header read: the size limits and whether the data can hold the blocks.
int CheckHeader(const jpeg_decompress_struct& d, SIZE_T size, ImageInfo& info) {
    info.format = IMG_JPEG_411;
    if (d.comp_info != nullptr && d.num_components == 3) {
        const int h = d.comp_info[0].h_samp_factor, v = d.comp_info[0].v_samp_factor;
        info.format = h == 1 && v == 1 ? IMG_JPEG_444 : v == 1 ? IMG_JPEG_422 : IMG_JPEG_411;
    }
    info.width = long(d.image_width);
    info.height = long(d.image_height);
    info.bits = d.jpeg_color_space == JCS_GRAYSCALE ? 8 : 24;
    info.xDpi = Dpi(d.density_unit, d.X_density);
    info.yDpi = Dpi(d.density_unit, d.Y_density);
    if (!SizeAllowed(info.width, info.height)) return IMG_ERR_TOO_LARGE;
    const std::uint64_t blocks =
        (std::uint64_t(info.width) + 7) / 8 * ((std::uint64_t(info.height) + 7) / 8);
    if (blocks > (std::uint64_t(size) + 64) * kJpegBlocksPerByte) return IMG_ERR_DAMAGED;
    return IMG_SUCCESS;
}

} // namespace

bool IsJpeg(const BYTE* data, SIZE_T size) {
    return size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

int InfoJpeg(const BYTE* data, SIZE_T size, ImageInfo& info) {
    jpeg_decompress_struct d{};
    ErrorManager e{};
    Setup(d, e);
    if (setjmp(e.jump)) {
        jpeg_destroy_decompress(&d);
        return IMG_ERR_DAMAGED;
    }
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, data, static_cast<unsigned long>(size));
    jpeg_read_header(&d, TRUE);
    const int r = CheckHeader(d, size, info);
    jpeg_destroy_decompress(&d);
    return r;
}

int DecodeJpeg(const BYTE* data, SIZE_T size, Picture& out) {
    jpeg_decompress_struct d{};
    ErrorManager e{};
    std::vector<BYTE> line;
    Setup(d, e);
    if (setjmp(e.jump)) {
        jpeg_destroy_decompress(&d);
        return IMG_ERR_DAMAGED;
    }
    jpeg_create_decompress(&d);
    d.progress = &e.progress;
    jpeg_mem_src(&d, data, static_cast<unsigned long>(size));
    jpeg_read_header(&d, TRUE);
    ImageInfo info;
    if (const int r = CheckHeader(d, size, info); r != IMG_SUCCESS) {
        jpeg_destroy_decompress(&d);
        return r;
    }
    const bool cmyk = d.jpeg_color_space == JCS_CMYK || d.jpeg_color_space == JCS_YCCK;
    // Colour pictures come out in the packed bitmap's blue-green-red order, row by row
    // straight into it.
    d.out_color_space = info.bits == 8 ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_EXT_BGR;
    // Adobe's CMYK files store the inks inverted.
    const bool inverted = cmyk && d.saw_Adobe_marker;
    jpeg_start_decompress(&d);
    // Every row is written whole (a short stream is filled in by the codec).
    if (const int r = out.Create(info.width, info.height, info.bits, false); r != IMG_SUCCESS) {
        jpeg_destroy_decompress(&d);
        return r;
    }
    if (info.bits == 8) out.SetGreyTable();
    if (cmyk) line.resize(SIZE_T(d.output_width) * SIZE_T(d.output_components));
    while (d.output_scanline < d.output_height) {
        const long y = long(d.output_scanline);
        BYTE* dst = out.Row(y);
        JSAMPROW row = cmyk ? line.data() : dst;
        if (jpeg_read_scanlines(&d, &row, 1) != 1) {
            for (long rest = y; rest < info.height; ++rest) // rows never written stay white
                std::memset(out.Row(rest), 0xFF, SIZE_T(info.width) * (info.bits / 8));
            break;
        }
        if (cmyk) {
            for (long x = 0; x < info.width; ++x) {
                const BYTE* p = line.data() + 4 * x;
                int c = p[0], m = p[1], yl = p[2], k = p[3];
                if (!inverted) c = 255 - c, m = 255 - m, yl = 255 - yl, k = 255 - k;
                dst[3 * x + 2] = BYTE(c * k / 255);
                dst[3 * x + 1] = BYTE(m * k / 255);
                dst[3 * x] = BYTE(yl * k / 255);
            }
        }
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    out.SetResolution(info.xDpi, info.yDpi);
    return IMG_SUCCESS;
}

int JpegQuality(int factor) {
    // Presets of the toolkit's own encoding, from perfect quality to most compression.
    static constexpr int kPresets[9] = {100, 98, 92, 85, 75, 60, 45, 30, 15};
    if (factor <= -1 && factor >= -9) return kPresets[-factor - 1];
    if (factor <= 2) return 100; // 2, the default, is best
    if (factor > 255) factor = 255;
    return 100 - (factor - 2) * 99 / 253;
}

// The encoder writes into a growing buffer of libjpeg's own (jpeg_mem_dest).
int EncodeJpeg(const PictureView& pic, int format, int quality, std::vector<BYTE>& out) {
    const bool grey = pic.Bits() == 8 && pic.GreyTable();
    if (pic.Bits() != 24 && !grey) return IMG_ERR_PARAM;
    jpeg_compress_struct c{};
    ErrorManager e{};
    std::vector<BYTE> line;
    unsigned char* buffer = nullptr;
    unsigned long bytes = 0;
    c.err = jpeg_std_error(&e.pub);
    e.pub.error_exit = OnError;
    e.pub.output_message = Silent;
    if (setjmp(e.jump)) {
        jpeg_destroy_compress(&c);
        std::free(buffer);
        return IMG_ERR_WRITE;
    }
    jpeg_create_compress(&c);
    jpeg_mem_dest(&c, &buffer, &bytes);
    c.image_width = JDIMENSION(pic.Width());
    c.image_height = JDIMENSION(pic.Height());
    c.input_components = grey ? 1 : 3;
    c.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, JpegQuality(quality), TRUE);
    if (!grey) {
        // 4:1:1 halves the colour both ways, 4:2:2 across, 4:4:4 keeps it.
        const bool across = format != IMG_JPEG_444 && format != IMG_TIF_JPEG_444;
        const bool down = format == IMG_JPEG_411 || format == IMG_TIF_JPEG_411;
        c.comp_info[0].h_samp_factor = across ? 2 : 1;
        c.comp_info[0].v_samp_factor = down ? 2 : 1;
    }
    const int xDpi = pic.XDpi(), yDpi = pic.YDpi();
    if (xDpi > 0 && yDpi > 0 && xDpi <= 65535 && yDpi <= 65535) {
        c.density_unit = 1;
        c.X_density = UINT16(xDpi);
        c.Y_density = UINT16(yDpi);
    }
    jpeg_start_compress(&c, TRUE);
    line.resize(SIZE_T(pic.Width()) * 3);
    while (c.next_scanline < c.image_height) {
        const BYTE* src = pic.Row(long(c.next_scanline));
        if (grey) {
            std::memcpy(line.data(), src, SIZE_T(pic.Width()));
        } else {
            for (long x = 0; x < pic.Width(); ++x) {
                line[SIZE_T(3 * x)] = src[3 * x + 2];
                line[SIZE_T(3 * x + 1)] = src[3 * x + 1];
                line[SIZE_T(3 * x + 2)] = src[3 * x];
            }
        }
        JSAMPROW row = line.data();
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    out.assign(buffer, buffer + bytes);
    jpeg_destroy_compress(&c);
    std::free(buffer);
    return IMG_SUCCESS;
}

} // namespace imaging
