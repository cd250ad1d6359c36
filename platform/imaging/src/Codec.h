#pragma once
// The toolkit's formats: each reader recognises its data by content, describes them and
// decodes them into a packed bitmap, upright; each writer encodes a packed bitmap at one of
// its depths. Readers take the whole file or block in memory and never read outside it.

#include <cstdint>
#include <vector>

#include <imaging/ToolkitTypes.h>

#include "Picture.h"

namespace imaging {

struct ImageInfo {
    int format = 0;
    long width = 0;
    long height = 0;
    int bits = 0; // the depth the picture loads at
    int xDpi = 0;
    int yDpi = 0;
    int pages = 1;
};

struct Reader {
    int format;
    bool (*recognise)(const BYTE* data, SIZE_T size);
    // IMG_SUCCESS with info filled, or a failure code; checks the size limits.
    int (*info)(const BYTE* data, SIZE_T size, ImageInfo& info);
    int (*decode)(const BYTE* data, SIZE_T size, Picture& out);
};

// The reader of these bytes, or null.
const Reader* FindReader(const BYTE* data, SIZE_T size);

// Depths a format code writes (bit n set: n bits per pixel allowed, for 1, 4, 8 and 24); 0 for
// a code not written.
unsigned WriterDepths(int format);
// Encodes a picture at `bits` (0: the picture's own), reduced or expanded to it first.
int Encode(const PictureView& picture, int format, int bits, int quality, std::vector<BYTE>& out);

// The codecs.
#define IMAGING_CODEC(name)                                                                        \
    bool Is##name(const BYTE* data, SIZE_T size);                                                  \
    int Info##name(const BYTE* data, SIZE_T size, ImageInfo& info);                                \
    int Decode##name(const BYTE* data, SIZE_T size, Picture& out);
IMAGING_CODEC(Png)
IMAGING_CODEC(Jpeg)
IMAGING_CODEC(Tiff)
IMAGING_CODEC(Gif)
IMAGING_CODEC(Bmp)
IMAGING_CODEC(Pcx)
IMAGING_CODEC(Tga)
IMAGING_CODEC(Gem)
IMAGING_CODEC(Cmp)
IMAGING_CODEC(MacPaint)
IMAGING_CODEC(Psd)
IMAGING_CODEC(Msp)
IMAGING_CODEC(Ioca)
IMAGING_CODEC(Pict)
IMAGING_CODEC(Pcd)
#undef IMAGING_CODEC

int EncodePng(const PictureView& picture, std::vector<BYTE>& out);
int EncodePcx(const PictureView& picture, std::vector<BYTE>& out);
int EncodeGem(const PictureView& picture, std::vector<BYTE>& out);
int EncodeCmp(const PictureView& picture, int quality, std::vector<BYTE>& out);
// The bilevel format (code 26) of a 1-bit picture; quality 1 cleans isolated pixels.
int EncodeBilevel(const PictureView& picture, int quality, std::vector<BYTE>& out);
// bits: 8, 16, 24 or 32 (16 and 32 from a 24-bit picture).
int EncodeTga(const PictureView& picture, int bits, std::vector<BYTE>& out);
int EncodeJpeg(const PictureView& picture, int format, int quality, std::vector<BYTE>& out);
int EncodeTiff(const PictureView& picture, int format, int quality, std::vector<BYTE>& out);
int EncodeFax(const PictureView& picture, int format, std::vector<BYTE>& out);
// Raw CCITT data (coding 1 G3 1-D, 2 G3 2-D, 3 G4) into rows of `stride` bytes, 1 black.
int DecodeFaxRows(const BYTE* data, SIZE_T size, int width, int height, int coding, BYTE* rows,
                  SIZE_T stride);
int EncodeMacPaint(const PictureView& picture, std::vector<BYTE>& out);
int EncodePsd(const PictureView& picture, std::vector<BYTE>& out);
int EncodeMsp(const PictureView& picture, std::vector<BYTE>& out);
// A version 2 picture of one image at 1, 4, 8 or 24 bits.
int EncodePict(const PictureView& picture, std::vector<BYTE>& out);
// format: 71-73 wrapped, 77-79 raw (Group 3 1-D, 2-D, Group 4).
int EncodeIoca(const PictureView& picture, int format, std::vector<BYTE>& out);
// bits: the picture's, or 16 or 32 for a 24-bit picture.
int EncodeBmp(const PictureView& picture, int format, int bits, std::vector<BYTE>& out);

// The quality of libjpeg for a toolkit quality factor (2 = best .. 255) or preset (-1 .. -9).
int JpegQuality(int factor);

// Little- and big-endian fields.
inline std::uint32_t Le32(const BYTE* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
inline std::uint16_t Le16(const BYTE* p) {
    return std::uint16_t(p[0] | p[1] << 8);
}
inline std::uint32_t Be32(const BYTE* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}
inline std::uint16_t Be16(const BYTE* p) {
    return std::uint16_t(p[0] << 8 | p[1]);
}
inline void PutLe16(std::vector<BYTE>& v, unsigned x) {
    v.push_back(BYTE(x));
    v.push_back(BYTE(x >> 8));
}
inline void PutLe32(std::vector<BYTE>& v, std::uint32_t x) {
    PutLe16(v, x & 0xFFFF);
    PutLe16(v, x >> 16);
}

} // namespace imaging
