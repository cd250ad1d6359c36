// The toolkit's own container ("cmp", code 20): a 24-byte header ("KOVA", 12 bytes of 0,
// width and height as little-endian words, version 2, flags 0, a word of 0) and then a JFIF
// stream. Version 1 is the bilevel format (code 26): written here, read by imgflt-lma.
#include <cstring>

#include "BilevelCoder.h"
#include "Codec.h"
#include "Limits.h"

namespace imaging {

namespace {
constexpr SIZE_T kHeader = 24;
}

bool IsCmp(const BYTE* d, SIZE_T size) {
    return size >= kHeader && std::memcmp(d, "KOVA", 4) == 0 && d[20] != 1;
}

int InfoCmp(const BYTE* d, SIZE_T size, ImageInfo& info) {
    info.format = IMG_CMP;
    info.width = Le16(d + 16);
    info.height = Le16(d + 18);
    info.bits = 1;
    if (d[20] != 2) return IMG_ERR_UNSUPPORTED;
    if (!IsJpeg(d + kHeader, size - kHeader)) return IMG_ERR_DAMAGED;
    ImageInfo inner;
    if (const int r = InfoJpeg(d + kHeader, size - kHeader, inner); r != IMG_SUCCESS) return r;
    if (inner.width != info.width || inner.height != info.height) return IMG_ERR_DAMAGED;
    info.bits = inner.bits;
    info.xDpi = inner.xDpi;
    info.yDpi = inner.yDpi;
    return IMG_SUCCESS;
}

int DecodeCmp(const BYTE* d, SIZE_T size, Picture& out) {
    ImageInfo info;
    if (const int r = InfoCmp(d, size, info); r != IMG_SUCCESS) return r;
    return DecodeJpeg(d + kHeader, size - kHeader, out);
}

int EncodeCmp(const PictureView& pic, int quality, std::vector<BYTE>& out) {
    if (pic.Width() > 65535 || pic.Height() > 65535) return IMG_ERR_TOO_LARGE;
    std::vector<BYTE> jpeg;
    if (const int r = EncodeJpeg(pic, IMG_JPEG_411, quality, jpeg); r != IMG_SUCCESS) return r;
    out.assign(kHeader, 0);
    std::memcpy(out.data(), "KOVA", 4);
    out[16] = BYTE(pic.Width());
    out[17] = BYTE(pic.Width() >> 8);
    out[18] = BYTE(pic.Height());
    out[19] = BYTE(pic.Height() >> 8);
    out[20] = 2;
    out.insert(out.end(), jpeg.begin(), jpeg.end());
    return IMG_SUCCESS;
}

int EncodeBilevel(const PictureView& pic, int quality, std::vector<BYTE>& out) {
    if (pic.Bits() != 1) return IMG_ERR_PARAM;
    const RGBQUAD* t = pic.Table();
    auto lightness = [](const RGBQUAD& q) {
        return q.rgbRed * 299 + q.rgbGreen * 587 + q.rgbBlue * 114;
    };
    bilevel::EncodeOptions options;
    options.indexZeroWhite = lightness(t[0]) > lightness(t[1]);
    options.clean = quality == 1;
    auto row = [](void* user, int y, std::uint8_t* pixels) {
        const auto* view = static_cast<const PictureView*>(user);
        const BYTE* bits = view->Row(y);
        for (long x = 0; x < view->Width(); ++x)
            pixels[x] = BYTE(bits[x / 8] >> (7 - x % 8) & 1);
    };
    if (!bilevel::Encode(int(pic.Width()), int(pic.Height()), row, const_cast<PictureView*>(&pic),
                         options, out))
        return IMG_ERR_TOO_LARGE;
    return IMG_SUCCESS;
}

} // namespace imaging
