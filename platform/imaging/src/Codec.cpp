#include "Codec.h"

#include "ColorReduction.h"

namespace imaging {
namespace {

// Readers in the order they are tried; each recognises its data by their first bytes.
const Reader kReaders[] = {
    {IMG_PNG, IsPng, InfoPng, DecodePng},
    {IMG_JPEG_411, IsJpeg, InfoJpeg, DecodeJpeg},
    {IMG_TIF, IsTiff, InfoTiff, DecodeTiff},
    {IMG_GIF, IsGif, InfoGif, DecodeGif},
    {IMG_MSP, IsMsp, InfoMsp, DecodeMsp},
    {IMG_PSD, IsPsd, InfoPsd, DecodePsd},
    {IMG_CMP, IsCmp, InfoCmp, DecodeCmp},
    {IMG_IOCA_RAW_G4, IsIoca, InfoIoca, DecodeIoca},
    {IMG_PCT, IsPict, InfoPict, DecodePict},
    {IMG_PCD, IsPcd, InfoPcd, DecodePcd},
    {IMG_BMP, IsBmp, InfoBmp, DecodeBmp},
    {IMG_PCX, IsPcx, InfoPcx, DecodePcx},
    {IMG_GEM, IsGem, InfoGem, DecodeGem},
    // GEM, Targa and MacPaint have no signature: last, the stricter tests first.
    {IMG_TGA, IsTga, InfoTga, DecodeTga},
    {IMG_MAC, IsMacPaint, InfoMacPaint, DecodeMacPaint},
};

constexpr unsigned D1 = 1u << 1, D4 = 1u << 4, D8 = 1u << 8, D16 = 1u << 16, D24 = 1u << 24,
                   D32 = 1u << 31;

} // namespace

const Reader* FindReader(const BYTE* data, SIZE_T size) {
    if (data == nullptr) return nullptr;
    for (const Reader& r : kReaders)
        if (r.recognise(data, size)) return &r;
    return nullptr;
}

unsigned WriterDepths(int format) {
    switch (format) {
    case IMG_PNG:
        return D1 | D4 | D8 | D24;
    case IMG_BMP:
        return D1 | D4 | D8 | D16 | D24 | D32;
    case IMG_OS2:
    case IMG_OS2_2:
        return D1 | D4 | D8 | D24;
    case IMG_JPEG_411:
    case IMG_JPEG_422:
    case IMG_JPEG_444:
    case IMG_TIF_JPEG_411:
    case IMG_TIF_JPEG_422:
    case IMG_TIF_JPEG_444:
        return D8 | D24;
    case IMG_TIF:
    case IMG_PCX:
    case IMG_PCT:
        return D1 | D4 | D8 | D24;
    case IMG_TGA:
        return D8 | D16 | D24 | D32;
    case IMG_GEM:
        return D1;
    case IMG_CMP:
    case IMG_PSD:
        return D1 | D8 | D24;
    case IMG_CMP_BILEVEL:
    case IMG_IOCA_G3_1D:
    case IMG_IOCA_G3_2D:
    case IMG_IOCA_G4:
    case IMG_IOCA_RAW_G3_1D:
    case IMG_IOCA_RAW_G3_2D:
    case IMG_IOCA_RAW_G4:
    case IMG_FAX_G3_1D:
    case IMG_FAX_G3_2D:
    case IMG_FAX_G4:
    case IMG_MAC:
    case IMG_MSP:
        return D1;
    case IMG_TIF_G3_1D:
    case IMG_TIF_G3_2D:
    case IMG_TIF_G4:
        return D1;
    default:
        return 0;
    }
}

int Encode(const PictureView& pic, int format, int bits, int quality, std::vector<BYTE>& out) {
    if (!pic.Valid()) return IMG_ERR_PARAM;
    const unsigned depths = WriterDepths(format);
    if (depths == 0) return IMG_ERR_UNSUPPORTED;
    if (bits == 0) bits = pic.Bits();
    if (bits < 1 || bits > 32 || !(depths & (bits == 32 ? D32 : 1u << bits))) return IMG_ERR_PARAM;
    // JPEG takes grey pictures at 8 bits; others go as colour.
    // The own container holds JFIF: bilevel pictures go as grey.
    if (format == IMG_CMP && bits == 1) bits = 8;
    const bool jpeg = format == IMG_JPEG_411 || format == IMG_JPEG_422 || format == IMG_JPEG_444 ||
                      format == IMG_TIF_JPEG_411 || format == IMG_TIF_JPEG_422 ||
                      format == IMG_TIF_JPEG_444 || format == IMG_CMP;
    const PictureView* source = &pic;
    Picture converted;
    PictureView convertedView;
    const int pixelBits = bits == 16 || bits == 32 ? 24 : bits;
    const bool keep =
        pic.Bits() == pixelBits && (bits != 16) && !(jpeg && bits == 8 && !pic.GreyTable());
    if (!keep) {
        Reduction how;
        how.bits = bits == 32 ? 24 : bits;
        how.colors = pixelBits <= 8 ? 1 << pixelBits : 0;
        if (jpeg && bits == 8) {
            // A grey picture for JPEG: luminance through a grey table.
            Picture& grey = converted;
            if (const int r = grey.Create(pic.Width(), pic.Height(), 8); r != IMG_SUCCESS) return r;
            grey.SetGreyTable();
            BYTE c[3];
            for (long y = 0; y < pic.Height(); ++y)
                for (long x = 0; x < pic.Width(); ++x) {
                    pic.Rgb(pic.Row(y), x, c);
                    grey.Row(y)[x] = BYTE((c[0] * 299 + c[1] * 587 + c[2] * 114 + 500) / 1000);
                }
            grey.Header()->biXPelsPerMeter = pic.Header()->biXPelsPerMeter;
            grey.Header()->biYPelsPerMeter = pic.Header()->biYPelsPerMeter;
        } else if (const int r = Reduce(pic, how, converted); r != IMG_SUCCESS) {
            return r;
        }
    }
    HGLOBAL block = nullptr;
    if (!keep) {
        block = converted.Release();
        if (!convertedView.Open(block)) {
            GlobalFree(block);
            return IMG_ERR_MEMORY;
        }
        source = &convertedView;
    }
    int result = IMG_ERR_UNSUPPORTED;
    switch (format) {
    case IMG_PNG:
        result = EncodePng(*source, out);
        break;
    case IMG_BMP:
    case IMG_OS2:
    case IMG_OS2_2:
        result = EncodeBmp(*source, format, bits == 16 || bits == 32 ? bits : 0, out);
        break;
    case IMG_JPEG_411:
    case IMG_JPEG_422:
    case IMG_JPEG_444:
        result = EncodeJpeg(*source, format, quality, out);
        break;
    case IMG_PCX:
        result = EncodePcx(*source, out);
        break;
    case IMG_PCT:
        result = EncodePict(*source, out);
        break;
    case IMG_TGA:
        result = EncodeTga(*source, bits, out);
        break;
    case IMG_GEM:
        result = EncodeGem(*source, out);
        break;
    case IMG_CMP:
        result = EncodeCmp(*source, quality, out);
        break;
    case IMG_CMP_BILEVEL:
        result = EncodeBilevel(*source, quality, out);
        break;
    case IMG_IOCA_G3_1D:
    case IMG_IOCA_G3_2D:
    case IMG_IOCA_G4:
    case IMG_IOCA_RAW_G3_1D:
    case IMG_IOCA_RAW_G3_2D:
    case IMG_IOCA_RAW_G4:
        result = EncodeIoca(*source, format, out);
        break;
    case IMG_FAX_G3_1D:
    case IMG_FAX_G3_2D:
    case IMG_FAX_G4:
        result = EncodeFax(*source, format, out);
        break;
    case IMG_MAC:
        result = EncodeMacPaint(*source, out);
        break;
    case IMG_PSD:
        result = EncodePsd(*source, out);
        break;
    case IMG_MSP:
        result = EncodeMsp(*source, out);
        break;
    default:
        result = EncodeTiff(*source, format, quality, out);
        break;
    }
    if (block != nullptr) {
        convertedView.Open(HGLOBAL(nullptr));
        GlobalFree(block);
    }
    return result;
}

} // namespace imaging
