// IOCA bilevel images, raw (an image segment alone, codes 77-79) or wrapped in a document's
// image object (codes 71-73). The image segment is a run of self-defining fields: a code
// byte and a length byte, or 0xFE, a second code byte and a big-endian 2-byte length:
//   70 begin segment (a name of up to 255 bytes), 91 begin image content,
//   94 image size (unit base: 0 ten inches, 1 ten centimetres; x and y units per unit base;
//      width and height), 95 image encoding (compression, recording), 96 bits per element
//      (1), FE92 image data (repeated; the pieces join), 93 end image content, 71 end segment.
// Compressions read: 0x03 none (rows padded to bytes), 0x08 Group 3 1-D, 0x09 Group 3 2-D,
// 0x0A Group 4, through the fax codec; a set bit is black.
// The wrapper: structured fields 5A, a big-endian length (itself and what follows), a 3-byte
// identifier, a flag byte and two sequence bytes, then the data. The image object runs from
// "begin image" (D3A8FB) to "end image" (D3A9FB); its data descriptor (D3A6FB) repeats the
// size and resolution, and the picture data fields (D3EEFB) carry the image segment in pieces.
// We write the object with its descriptor and no object area fields.
#include <algorithm>
#include <cstring>

#include "Codec.h"
#include "Limits.h"

namespace imaging {
namespace {

constexpr BYTE kBeginImage[3] = {0xD3, 0xA8, 0xFB};
constexpr BYTE kBeginGroup[3] = {0xD3, 0xA8, 0xC7};
constexpr BYTE kEndGroup[3] = {0xD3, 0xA9, 0xC7};
constexpr BYTE kDescriptor[3] = {0xD3, 0xA6, 0xFB};
constexpr BYTE kPictureData[3] = {0xD3, 0xEE, 0xFB};
constexpr BYTE kEndImage[3] = {0xD3, 0xA9, 0xFB};
constexpr SIZE_T kMaxField = 32767 - 8; // a structured field's data

bool IsRaw(const BYTE* d, SIZE_T size) {
    if (size < 5 || d[0] != 0x70) return false;
    const SIZE_T at = 2 + SIZE_T(d[1]);
    return at + 3 <= size && d[at] == 0x91 && d[at + 1] == 0x01 && d[at + 2] == 0xFF;
}

bool IsWrapped(const BYTE* d, SIZE_T size) {
    return size >= 9 && d[0] == 0x5A && std::memcmp(d + 3, kBeginImage, 3) == 0;
}

struct Segment {
    long width = 0, height = 0;
    int xDpi = 0, yDpi = 0;
    int compression = -1;
    int bits = 1;
    bool ended = false;
    std::vector<BYTE> data; // collected when asked for
    std::uint64_t dataBytes = 0;
};

int Dpi(int base, unsigned units) {
    return base == 0 ? int((units + 5) / 10) : int((units * 254 + 500) / 1000);
}

// Parses an image segment; the data are collected only when `data` is set.
int ParseSegment(const BYTE* d, SIZE_T size, Segment& s, bool data) {
    if (!IsRaw(d, size)) return IMG_ERR_DAMAGED;
    SIZE_T at = 2 + SIZE_T(d[1]);
    bool sized = false;
    while (at < size && !s.ended) {
        SIZE_T length, body;
        int code = d[at];
        if (code == 0xFE) {
            if (at + 4 > size) return IMG_ERR_DAMAGED;
            code = 0xFE00 | d[at + 1];
            length = Be16(d + at + 2);
            body = at + 4;
        } else {
            if (at + 2 > size) return IMG_ERR_DAMAGED;
            length = d[at + 1];
            body = at + 2;
        }
        if (length > size - body) return IMG_ERR_DAMAGED;
        const BYTE* f = d + body;
        switch (code) {
        case 0x94:
            if (length < 9) return IMG_ERR_DAMAGED;
            s.xDpi = Dpi(f[0], Be16(f + 1));
            s.yDpi = Dpi(f[0], Be16(f + 3));
            s.width = Be16(f + 5);
            s.height = Be16(f + 7);
            sized = true;
            break;
        case 0x95:
            if (length < 1) return IMG_ERR_DAMAGED;
            s.compression = f[0];
            break;
        case 0x96:
            if (length < 1) return IMG_ERR_DAMAGED;
            s.bits = f[0];
            break;
        case 0xFE92:
            if (data) s.data.insert(s.data.end(), f, f + length);
            s.dataBytes += length;
            break;
        case 0x71:
            s.ended = true;
            break;
        default:
            break;
        }
        at = body + length;
    }
    if (!sized || s.compression < 0) return IMG_ERR_DAMAGED;
    return IMG_SUCCESS;
}

// The image segment of a wrapped object: the pieces of its picture data fields joined.
int Unwrap(const BYTE* d, SIZE_T size, std::vector<BYTE>& segment) {
    SIZE_T at = 0;
    while (at < size) {
        if (d[at] != 0x5A || size - at < 9) return IMG_ERR_DAMAGED;
        const SIZE_T length = Be16(d + at + 1);
        if (length < 8 || length > size - at - 1) return IMG_ERR_DAMAGED;
        const BYTE* id = d + at + 3;
        if (std::memcmp(id, kPictureData, 3) == 0)
            segment.insert(segment.end(), d + at + 9, d + at + 1 + length);
        at += 1 + length;
        if (std::memcmp(id, kEndImage, 3) == 0) return IMG_SUCCESS;
    }
    return segment.empty() ? IMG_ERR_DAMAGED : IMG_SUCCESS;
}

int Coding(int compression) {
    switch (compression) {
    case 0x08:
        return 1;
    case 0x09:
        return 2;
    case 0x0A:
        return 3;
    case 0x03:
        return 0;
    default:
        return -1;
    }
}

int Read(const BYTE* d, SIZE_T size, Segment& s, bool data, int& format) {
    const bool wrapped = IsWrapped(d, size);
    std::vector<BYTE> joined;
    if (wrapped) {
        if (const int r = Unwrap(d, size, joined); r != IMG_SUCCESS) return r;
        d = joined.data();
        size = joined.size();
    }
    if (const int r = ParseSegment(d, size, s, data); r != IMG_SUCCESS) return r;
    const int coding = Coding(s.compression);
    format = (wrapped ? IMG_IOCA_G3_1D : IMG_IOCA_RAW_G3_1D) + (coding <= 1 ? 0 : coding - 1);
    if (coding < 0 || s.bits != 1) return IMG_ERR_UNSUPPORTED;
    if (!SizeAllowed(s.width, s.height)) return IMG_ERR_TOO_LARGE;
    const std::uint64_t raw = RawBytes(s.width, s.height, 1);
    // Uncompressed rows must all be there; a coded row takes a bit at least.
    if (coding == 0 ? s.dataBytes < raw : std::uint64_t(s.height) > (s.dataBytes + 64) * 8)
        return IMG_ERR_DAMAGED;
    return IMG_SUCCESS;
}

void Field(std::vector<BYTE>& out, const BYTE id[3], const BYTE* data, SIZE_T size) {
    out.push_back(0x5A);
    const SIZE_T length = 8 + size;
    out.push_back(BYTE(length >> 8));
    out.push_back(BYTE(length));
    out.insert(out.end(), id, id + 3);
    out.insert(out.end(), {0, 0, 0});
    out.insert(out.end(), data, data + size);
}

void PutBe16(std::vector<BYTE>& v, unsigned x) {
    v.push_back(BYTE(x >> 8));
    v.push_back(BYTE(x));
}

// Size and resolution as the image size field and the descriptor give them (ten inches).
void SizeFields(std::vector<BYTE>& v, const PictureView& pic) {
    v.push_back(0x00);
    PutBe16(v, unsigned(std::min(pic.XDpi(), 6553)) * 10);
    PutBe16(v, unsigned(std::min(pic.YDpi(), 6553)) * 10);
    PutBe16(v, unsigned(pic.Width()));
    PutBe16(v, unsigned(pic.Height()));
}

} // namespace

bool IsIoca(const BYTE* d, SIZE_T size) {
    return IsRaw(d, size) || IsWrapped(d, size);
}

int InfoIoca(const BYTE* d, SIZE_T size, ImageInfo& info) {
    Segment s;
    const int r = Read(d, size, s, false, info.format);
    info.width = s.width;
    info.height = s.height;
    info.bits = 1;
    info.xDpi = s.xDpi;
    info.yDpi = s.yDpi;
    return r;
}

int DecodeIoca(const BYTE* d, SIZE_T size, Picture& out) {
    Segment s;
    int format;
    if (const int r = Read(d, size, s, true, format); r != IMG_SUCCESS) return r;
    if (const int r = out.Create(s.width, s.height, 1, false); r != IMG_SUCCESS) return r;
    out.Table()[0] = RGBQUAD{255, 255, 255, 0};
    out.Table()[1] = RGBQUAD{0, 0, 0, 0};
    out.SetResolution(s.xDpi, s.yDpi);
    const int coding = Coding(s.compression);
    const SIZE_T stride = out.StrideBytes();
    const SIZE_T bpl = SIZE_T((s.width + 7) / 8);
    if (coding == 0) {
        for (long y = 0; y < s.height; ++y)
            std::memcpy(out.Row(y), s.data.data() + SIZE_T(y) * bpl, bpl);
        return IMG_SUCCESS;
    }
    std::vector<BYTE> rows;
    rows.resize(stride * SIZE_T(s.height));
    if (const int r = DecodeFaxRows(s.data.data(), s.data.size(), int(s.width), int(s.height),
                                    coding, rows.data(), stride);
        r != IMG_SUCCESS)
        return r == IMG_ERR_PARAM ? IMG_ERR_DAMAGED : r;
    for (long y = 0; y < s.height; ++y)
        std::memcpy(out.Row(y), rows.data() + SIZE_T(y) * stride, stride);
    return IMG_SUCCESS;
}

int EncodeIoca(const PictureView& pic, int format, std::vector<BYTE>& out) {
    if (pic.Width() > 65535 || pic.Height() > 65535) return IMG_ERR_TOO_LARGE;
    const bool wrapped = format >= IMG_IOCA_G3_1D && format <= IMG_IOCA_G4;
    const int step = format - (wrapped ? IMG_IOCA_G3_1D : IMG_IOCA_RAW_G3_1D);
    std::vector<BYTE> coded;
    if (const int r = EncodeFax(pic, IMG_FAX_G3_1D + step, coded); r != IMG_SUCCESS) return r;
    std::vector<BYTE> seg = {0x70, 0x00, 0x91, 0x01, 0xFF, 0x94, 0x09};
    SizeFields(seg, pic);
    seg.insert(seg.end(), {0x95, 0x02, BYTE(0x08 + step), 0x01, 0x96, 0x01, 0x01});
    for (SIZE_T at = 0; at < coded.size();) {
        const SIZE_T n = std::min<SIZE_T>(coded.size() - at, 8192);
        seg.insert(seg.end(), {0xFE, 0x92});
        PutBe16(seg, unsigned(n));
        seg.insert(seg.end(), coded.begin() + long(at), coded.begin() + long(at + n));
        at += n;
    }
    seg.insert(seg.end(), {0x93, 0x00, 0x71, 0x00});
    if (!wrapped) {
        out = std::move(seg);
        return IMG_SUCCESS;
    }
    out.clear();
    const BYTE name[8] = {0x40, 0x40, 0x40, 0x40, 0x40, 0x40, 0x40, 0x40};
    Field(out, kBeginImage, name, 8);
    Field(out, kBeginGroup, name, 8);
    std::vector<BYTE> descriptor;
    SizeFields(descriptor, pic);
    Field(out, kDescriptor, descriptor.data(), descriptor.size());
    Field(out, kEndGroup, name, 8);
    for (SIZE_T at = 0; at < seg.size();) {
        const SIZE_T n = std::min(seg.size() - at, kMaxField);
        Field(out, kPictureData, seg.data() + at, n);
        at += n;
    }
    Field(out, kEndImage, name, 8);
    return IMG_SUCCESS;
}

} // namespace imaging
