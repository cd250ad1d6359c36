// Macintosh pictures (PICT, code 56) that hold pixel images. The file: 512 bytes that are not
// read, the picture's size (2 bytes) and frame (top, left, bottom, right), the version
// (11 01, or 0011 02FF and the 24-byte header opcode 0C00 for version 2), then opcodes (one
// byte in version 1; two in version 2, their data padded to even length) to 00FF.
// Images: 0090/0091 and 0098/0099 (a bit map, or a pixel map of 1, 2, 4 or 8 bits with its
// colour table; the 1 variants carry a mask region, which is skipped) and 009A/009B (direct
// pixels of 16 or 32 bits). Each image's source rectangle is copied to its destination
// rectangle in the frame, unscaled; bands of one kind join into one picture. Rows of fewer
// than 8 bytes stand as they are; longer rows are PackBits runs after a byte count (two bytes
// when rows are longer than 250 bytes). Direct pixels: pack type 1 as they are (x, R, G, B or
// x-5-5-5), 2 as R, G, B, 3 PackBits of 16-bit words, 4 (and 0 at 32 bits) PackBits of the
// rows' component planes. Other opcodes of fixed or stated length are skipped; drawing
// commands (vector pictures) and compressed (QuickTime) pixels give IMG_ERR_UNSUPPORTED.
// Written: version 2, one PackBitsRect of 1, 4 or 8 bits or one DirectBitsRect (32 bits,
// pack type 4), the resolution in the header and the pixel map.
#include <algorithm>
#include <cstring>

#include "Codec.h"
#include "Limits.h"

namespace imaging {
namespace {

constexpr SIZE_T kPrefix = 512;

struct Rect {
    int top = 0, left = 0, bottom = 0, right = 0;
    long Width() const { return long(right) - left; }
    long Height() const { return long(bottom) - top; }
};

Rect ReadRect(const BYTE* p) {
    return {std::int16_t(Be16(p)), std::int16_t(Be16(p + 2)), std::int16_t(Be16(p + 4)),
            std::int16_t(Be16(p + 6))};
}

// One image opcode's description.
struct Image {
    bool direct = false;
    int bits = 0;        // 1, 2, 4, 8 (palette), 16 or 32
    int packType = 0;    // direct pixels
    int cmpCount = 3;    // direct pixels
    SIZE_T rowBytes = 0; // of the stored rows
    Rect bounds, src, dst;
    int xDpi = 0, yDpi = 0;
    RGBQUAD table[256] = {};
    int entries = 0;
    SIZE_T data = 0; // where its rows start
};

class PictWalker {
public:
    PictWalker(const BYTE* d, SIZE_T size) : d_(d), size_(size) {}

    // Walks the picture: IMG_SUCCESS when every image of it is read; with a canvas, draws.
    int Walk(Picture* canvas);

    Rect frame;
    int xDpi = 0, yDpi = 0;
    int images = 0;
    Image first;

private:
    bool Need(SIZE_T n) const { return at_ <= size_ && n <= size_ - at_; }
    int ReadImage(int op, Image& img);
    int Rows(const Image& img, Picture* canvas);
    int SkipRegion();

    const BYTE* d_;
    SIZE_T size_;
    SIZE_T at_ = 0;
    bool v2_ = false;
};

int PictWalker::SkipRegion() {
    if (!Need(2)) return IMG_ERR_DAMAGED;
    const SIZE_T n = Be16(d_ + at_);
    if (n < 2 || !Need(n)) return IMG_ERR_DAMAGED;
    at_ += n;
    return IMG_SUCCESS;
}

int PictWalker::ReadImage(int op, Image& img) {
    img.direct = op == 0x9A || op == 0x9B;
    if (img.direct) {
        if (!Need(4)) return IMG_ERR_DAMAGED;
        at_ += 4; // base address
    }
    if (!Need(10)) return IMG_ERR_DAMAGED;
    const unsigned rowBytes = Be16(d_ + at_);
    img.bounds = ReadRect(d_ + at_ + 2);
    at_ += 10;
    const bool pixmap = (rowBytes & 0x8000) != 0 || img.direct;
    img.rowBytes = rowBytes & 0x3FFF;
    img.bits = 1;
    if (pixmap) {
        if (!Need(36)) return IMG_ERR_DAMAGED;
        const BYTE* p = d_ + at_;
        img.packType = Be16(p + 2);
        img.xDpi = Be16(p + 8);
        img.yDpi = Be16(p + 12);
        img.bits = Be16(p + 18);
        img.cmpCount = Be16(p + 20);
        at_ += 36;
    }
    if (!img.direct && pixmap) {
        if (!Need(8)) return IMG_ERR_DAMAGED;
        const unsigned flags = Be16(d_ + at_ + 4);
        const SIZE_T count = SIZE_T(Be16(d_ + at_ + 6)) + 1;
        at_ += 8;
        if (count > 256 || !Need(8 * count)) return IMG_ERR_DAMAGED;
        for (SIZE_T i = 0; i < count; ++i) {
            const BYTE* e = d_ + at_ + 8 * i;
            const unsigned index = (flags & 0x8000) ? unsigned(i) : Be16(e) & 0xFF;
            img.table[index] = RGBQUAD{e[6], e[4], e[2], 0};
            img.entries = std::max(img.entries, int(index) + 1);
        }
        at_ += 8 * count;
    } else if (!img.direct) {
        img.table[0] = RGBQUAD{255, 255, 255, 0};
        img.table[1] = RGBQUAD{0, 0, 0, 0};
        img.entries = 2;
    }
    if (!Need(18)) return IMG_ERR_DAMAGED;
    img.src = ReadRect(d_ + at_);
    img.dst = ReadRect(d_ + at_ + 8);
    at_ += 18;
    if (op == 0x91 || op == 0x99 || op == 0x9B)
        if (const int r = SkipRegion(); r != IMG_SUCCESS) return r;
    const bool palette = img.bits == 1 || img.bits == 2 || img.bits == 4 || img.bits == 8;
    if (img.direct ? (img.bits != 16 && img.bits != 32) : !palette) return IMG_ERR_UNSUPPORTED;
    if (img.direct && img.bits == 32 && img.cmpCount != 3 && img.cmpCount != 4)
        return IMG_ERR_UNSUPPORTED;
    if (!SizeAllowed(img.bounds.Width(), img.bounds.Height())) return IMG_ERR_TOO_LARGE;
    if (img.rowBytes < RawBytes(img.bounds.Width(), 1, img.bits)) return IMG_ERR_DAMAGED;
    if (img.src.Width() != img.dst.Width() || img.src.Height() != img.dst.Height())
        return IMG_ERR_UNSUPPORTED; // scaled
    img.data = at_;
    return IMG_SUCCESS;
}

// PackBits into out (n bytes; units of 1 or 2 bytes); false when the data run short.
bool Unpack(const BYTE* p, SIZE_T size, BYTE* out, SIZE_T n, int unit) {
    SIZE_T i = 0, o = 0;
    while (o < n && i < size) {
        const int c = std::int8_t(p[i++]);
        if (c >= 0) {
            const SIZE_T bytes = SIZE_T(c + 1) * SIZE_T(unit);
            if (bytes > size - i) return false;
            std::memcpy(out + o, p + i, std::min(bytes, n - o));
            o += std::min(bytes, n - o);
            i += bytes;
        } else if (c != -128) {
            if (SIZE_T(unit) > size - i) return false;
            for (int k = 0; k < 1 - c && o < n; ++k)
                for (int u = 0; u < unit && o < n; ++u)
                    out[o++] = p[i + SIZE_T(u)];
            i += SIZE_T(unit);
        }
    }
    return o == n;
}

int PictWalker::Rows(const Image& img, Picture* canvas) {
    const long w = img.bounds.Width(), h = img.bounds.Height();
    // Pack type 2 drops the pad byte and packs nothing.
    const bool dropped = img.direct && img.bits == 32 && img.packType == 2;
    const SIZE_T stored = dropped ? SIZE_T(w) * 3 : img.rowBytes;
    const bool packed = img.rowBytes >= 8 && !dropped && img.packType != 1;
    // The least data: every row has its count, or all its bytes.
    if (!packed ? std::uint64_t(stored) * std::uint64_t(h) > size_ - at_
                : std::uint64_t(h) > size_ - at_ ||
                      !CanFill(std::uint64_t(stored) * std::uint64_t(h), size_ - at_, 64))
        return IMG_ERR_DAMAGED;
    std::vector<BYTE> row(canvas != nullptr ? stored : 0);
    const int planes = img.bits == 32 && !dropped ? img.cmpCount : 0;
    const bool planar = packed && img.direct && img.bits == 32 && img.packType != 1;
    for (long y = 0; y < h; ++y) {
        SIZE_T length = stored;
        if (packed) {
            const bool wide = img.rowBytes > 250;
            if (!Need(wide ? 2 : 1)) return IMG_ERR_DAMAGED;
            length = wide ? Be16(d_ + at_) : d_[at_];
            at_ += wide ? 2 : 1;
        }
        if (!Need(length)) return IMG_ERR_DAMAGED;
        const BYTE* p = d_ + at_;
        at_ += length;
        if (canvas == nullptr) continue;
        const SIZE_T want = planar ? SIZE_T(w) * SIZE_T(planes) : stored;
        row.resize(want);
        if (packed) {
            if (!Unpack(p, length, row.data(), want, img.direct && img.bits == 16 ? 2 : 1))
                return IMG_ERR_DAMAGED;
        } else {
            std::memcpy(row.data(), p, want);
        }
        // Into the canvas: the source rectangle's rows at the destination.
        const long sy = y + img.bounds.top;
        if (sy < img.src.top || sy >= img.src.bottom) continue;
        const long cy = img.dst.top + (sy - img.src.top) - frame.top;
        if (cy < 0 || cy >= canvas->Height()) continue;
        BYTE* out = canvas->Row(cy);
        for (long x = 0; x < w; ++x) {
            const long sx = x + img.bounds.left;
            if (sx < img.src.left || sx >= img.src.right) continue;
            const long cx = img.dst.left + (sx - img.src.left) - frame.left;
            if (cx < 0 || cx >= canvas->Width()) continue;
            if (!img.direct) {
                const int v = img.bits == 2 ? (row[SIZE_T(x >> 2)] >> (6 - 2 * (x & 3))) & 3
                                            : GetIndex(row.data(), x, img.bits);
                SetIndex(out, cx, canvas->Bits(), v); // 2 bits go into a 4-bit canvas
                continue;
            }
            BYTE r, g, b;
            if (img.bits == 16) {
                const unsigned v = unsigned(row[SIZE_T(2 * x)] << 8 | row[SIZE_T(2 * x + 1)]);
                const unsigned c[3] = {(v >> 10) & 31, (v >> 5) & 31, v & 31};
                r = BYTE(c[0] << 3 | c[0] >> 2);
                g = BYTE(c[1] << 3 | c[1] >> 2);
                b = BYTE(c[2] << 3 | c[2] >> 2);
            } else if (planar) {
                const SIZE_T skip = SIZE_T(planes - 3) * SIZE_T(w);
                r = row[skip + SIZE_T(x)];
                g = row[skip + SIZE_T(w) + SIZE_T(x)];
                b = row[skip + 2 * SIZE_T(w) + SIZE_T(x)];
            } else if (dropped) {
                r = row[SIZE_T(3 * x)], g = row[SIZE_T(3 * x + 1)], b = row[SIZE_T(3 * x + 2)];
            } else {
                r = row[SIZE_T(4 * x + 1)], g = row[SIZE_T(4 * x + 2)], b = row[SIZE_T(4 * x + 3)];
            }
            out[3 * cx] = b, out[3 * cx + 1] = g, out[3 * cx + 2] = r;
        }
    }
    return IMG_SUCCESS;
}

// Data lengths of the skipped opcodes of version 2 (-1: not skipped).
long FixedLength(int op) {
    switch (op) {
    case 0x00:
    case 0x11:
    case 0x1C:
    case 0x1E:
    case 0x38:
    case 0x39:
    case 0x3A:
    case 0x3B:
    case 0x3C:
    case 0x02FF:
        return op == 0x11 ? 2 : 0;
    case 0x03:
    case 0x05:
    case 0x08:
    case 0x0D:
    case 0x15:
    case 0x16:
    case 0xA0:
        return 2;
    case 0x04:
        return 1;
    case 0x06:
    case 0x07:
    case 0x0B:
    case 0x0C:
    case 0x0E:
    case 0x0F:
        return 4;
    case 0x1A:
    case 0x1B:
    case 0x1D:
    case 0x1F:
        return 6;
    case 0x02:
    case 0x09:
    case 0x0A:
    case 0x10:
        return 8;
    case 0x0C00:
        return 24;
    default:
        return -1;
    }
}

int PictWalker::Walk(Picture* canvas) {
    if (size_ < kPrefix + 12) return IMG_ERR_DAMAGED;
    at_ = kPrefix + 2;
    frame = ReadRect(d_ + at_);
    at_ += 8;
    if (d_[at_] == 0x11 && d_[at_ + 1] == 0x01) {
        v2_ = false;
        at_ += 2;
    } else if (Be16(d_ + at_) == 0x0011 && Be16(d_ + at_ + 2) == 0x02FF) {
        v2_ = true;
        at_ += 4;
    } else {
        return IMG_ERR_FORMAT;
    }
    images = 0;
    for (;;) {
        if (v2_ && (at_ & 1)) ++at_;
        if (!Need(v2_ ? 2 : 1)) return IMG_ERR_DAMAGED;
        const int op = v2_ ? Be16(d_ + at_) : d_[at_];
        at_ += v2_ ? 2 : 1;
        if (op == 0xFF) break;
        if (op == 0x0C00) {
            if (!Need(24)) return IMG_ERR_DAMAGED;
            if (Be16(d_ + at_) == 0xFFFE) {
                xDpi = Be16(d_ + at_ + 4);
                yDpi = Be16(d_ + at_ + 8);
            }
            at_ += 24;
            continue;
        }
        if (op == 0x90 || op == 0x91 || op == 0x98 || op == 0x99 || op == 0x9A || op == 0x9B) {
            Image img;
            if (const int r = ReadImage(op, img); r != IMG_SUCCESS) return r;
            if (images == 0) {
                first = img;
            } else if (img.direct != first.direct || (!img.direct && img.bits != first.bits)) {
                return IMG_ERR_UNSUPPORTED; // bands of different kinds
            }
            ++images;
            if (const int r = Rows(img, canvas); r != IMG_SUCCESS) return r;
            continue;
        }
        if (op == 0x01) {
            if (const int r = SkipRegion(); r != IMG_SUCCESS) return r;
            continue;
        }
        if (op == 0xA1) { // long comment: kind, length, data
            if (!Need(4)) return IMG_ERR_DAMAGED;
            const SIZE_T n = Be16(d_ + at_ + 2);
            at_ += 4;
            if (!Need(n)) return IMG_ERR_DAMAGED;
            at_ += n;
            continue;
        }
        const long fixed = FixedLength(op);
        if (fixed < 0) return IMG_ERR_UNSUPPORTED; // drawing commands or compressed pixels
        if (!Need(SIZE_T(fixed))) return IMG_ERR_DAMAGED;
        at_ += SIZE_T(fixed);
    }
    return images > 0 ? IMG_SUCCESS : IMG_ERR_UNSUPPORTED;
}

int CanvasBits(const Image& img) {
    return img.direct ? 24 : img.bits == 2 ? 4 : img.bits;
}

// ---- writing ----

void PutBe16(std::vector<BYTE>& v, unsigned x) {
    v.push_back(BYTE(x >> 8));
    v.push_back(BYTE(x));
}
void PutBe32(std::vector<BYTE>& v, std::uint32_t x) {
    PutBe16(v, x >> 16);
    PutBe16(v, x & 0xFFFF);
}
void PutRect(std::vector<BYTE>& v, long h, long w) {
    v.insert(v.end(), {0, 0, 0, 0});
    PutBe16(v, unsigned(h));
    PutBe16(v, unsigned(w));
}

void Pack(const BYTE* p, SIZE_T n, std::vector<BYTE>& out) {
    SIZE_T i = 0;
    while (i < n) {
        SIZE_T run = 1;
        while (i + run < n && run < 128 && p[i + run] == p[i])
            ++run;
        if (run >= 2) {
            out.push_back(BYTE(257 - run));
            out.push_back(p[i]);
            i += run;
            continue;
        }
        SIZE_T lit = 1;
        while (i + lit < n && lit < 128 && !(i + lit + 1 < n && p[i + lit] == p[i + lit + 1]))
            ++lit;
        out.push_back(BYTE(lit - 1));
        out.insert(out.end(), p + i, p + i + lit);
        i += lit;
    }
}

void PixMap(std::vector<BYTE>& v, const PictureView& pic, int packType, int pixelType, int bits,
            int cmpCount, int cmpSize) {
    PutBe16(v, 0); // version
    PutBe16(v, unsigned(packType));
    PutBe32(v, 0);
    PutBe32(v, std::uint32_t(pic.XDpi() > 0 ? pic.XDpi() : 72) << 16);
    PutBe32(v, std::uint32_t(pic.YDpi() > 0 ? pic.YDpi() : 72) << 16);
    PutBe16(v, unsigned(pixelType));
    PutBe16(v, unsigned(bits));
    PutBe16(v, unsigned(cmpCount));
    PutBe16(v, unsigned(cmpSize));
    PutBe32(v, 0);
    PutBe32(v, 0);
    PutBe32(v, 0);
}

} // namespace

bool IsPict(const BYTE* d, SIZE_T size) {
    if (size < kPrefix + 14) return false;
    const Rect frame = ReadRect(d + kPrefix + 2);
    if (frame.Width() < 1 || frame.Height() < 1) return false;
    const BYTE* v = d + kPrefix + 10;
    return (v[0] == 0x11 && v[1] == 0x01) ||
           (Be16(v) == 0x0011 && Be16(v + 2) == 0x02FF && Be16(v + 4) == 0x0C00);
}

int InfoPict(const BYTE* d, SIZE_T size, ImageInfo& info) {
    PictWalker reader(d, size);
    info.format = IMG_PCT;
    const int r = reader.Walk(nullptr);
    info.width = reader.frame.Width();
    info.height = reader.frame.Height();
    info.bits = reader.images > 0 ? CanvasBits(reader.first) : 24;
    info.xDpi = reader.xDpi != 0 ? reader.xDpi : reader.first.xDpi;
    info.yDpi = reader.yDpi != 0 ? reader.yDpi : reader.first.yDpi;
    if (r != IMG_SUCCESS) return r;
    if (!SizeAllowed(info.width, info.height)) return IMG_ERR_TOO_LARGE;
    return IMG_SUCCESS;
}

int DecodePict(const BYTE* d, SIZE_T size, Picture& out) {
    ImageInfo info;
    if (const int r = InfoPict(d, size, info); r != IMG_SUCCESS) return r;
    PictWalker reader(d, size);
    if (const int r = reader.Walk(nullptr); r != IMG_SUCCESS) return r;
    if (const int r = out.Create(info.width, info.height, info.bits); r != IMG_SUCCESS) return r;
    if (info.bits <= 8) {
        const int entries = TableEntries(info.bits);
        for (int i = 0; i < entries; ++i)
            out.Table()[i] = i < reader.first.entries ? reader.first.table[i] : RGBQUAD{};
    } else {
        for (long y = 0; y < info.height; ++y)
            std::memset(out.Row(y), 255, SIZE_T(info.width) * 3);
    }
    out.SetResolution(info.xDpi, info.yDpi);
    return reader.Walk(&out);
}

int EncodePict(const PictureView& pic, std::vector<BYTE>& out) {
    if (pic.Width() > 32767 || pic.Height() > 32767) return IMG_ERR_TOO_LARGE;
    const long w = pic.Width(), h = pic.Height();
    const int bits = pic.Bits();
    out.assign(kPrefix, 0);
    out.insert(out.end(), {0, 0});
    PutRect(out, h, w);
    out.insert(out.end(), {0x00, 0x11, 0x02, 0xFF, 0x0C, 0x00, 0xFF, 0xFE, 0, 0});
    PutBe32(out, std::uint32_t(pic.XDpi() > 0 ? pic.XDpi() : 72) << 16);
    PutBe32(out, std::uint32_t(pic.YDpi() > 0 ? pic.YDpi() : 72) << 16);
    PutRect(out, h, w);
    PutBe32(out, 0);
    out.insert(out.end(), {0x00, 0x1E, 0x00, 0x01, 0x00, 0x0A});
    PutRect(out, h, w);
    const bool direct = bits == 24;
    SIZE_T rowBytes = direct ? SIZE_T(w) * 4 : (SIZE_T(w) * SIZE_T(bits) + 15) / 16 * 2;
    if (rowBytes > 0x3FFE) return IMG_ERR_TOO_LARGE;
    PutBe16(out, direct ? 0x9A : 0x98);
    if (direct) PutBe32(out, 0xFF);
    PutBe16(out, unsigned(rowBytes) | 0x8000);
    PutRect(out, h, w);
    if (direct) {
        PixMap(out, pic, 4, 16, 32, 3, 8);
    } else {
        PixMap(out, pic, 0, 0, bits, 1, bits);
        const int entries = TableEntries(bits);
        PutBe32(out, 0);
        PutBe16(out, 0);
        PutBe16(out, unsigned(entries - 1));
        for (int i = 0; i < entries; ++i) {
            const RGBQUAD q = pic.Table()[i];
            PutBe16(out, unsigned(i));
            PutBe16(out, q.rgbRed * 257u);
            PutBe16(out, q.rgbGreen * 257u);
            PutBe16(out, q.rgbBlue * 257u);
        }
    }
    PutRect(out, h, w);
    PutRect(out, h, w);
    PutBe16(out, 0); // copy
    std::vector<BYTE> row, packed;
    for (long y = 0; y < h; ++y) {
        const BYTE* src = pic.Row(y);
        if (direct) {
            // Unpacked rows (under 8 bytes) are x, R, G, B; packed ones the R, G, B planes.
            row.assign(rowBytes < 8 ? SIZE_T(w) * 4 : SIZE_T(w) * 3, 0);
            for (long x = 0; x < w; ++x)
                for (int c = 0; c < 3; ++c)
                    row[rowBytes < 8 ? SIZE_T(4 * x + 1 + c) : SIZE_T(c) * SIZE_T(w) + SIZE_T(x)] =
                        src[3 * x + 2 - c];
        } else {
            row.assign(src, src + rowBytes);
        }
        if (rowBytes < 8) {
            out.insert(out.end(), row.begin(), row.end());
            continue;
        }
        packed.clear();
        Pack(row.data(), row.size(), packed);
        if (rowBytes > 250)
            PutBe16(out, unsigned(packed.size()));
        else
            out.push_back(BYTE(packed.size()));
        out.insert(out.end(), packed.begin(), packed.end());
    }
    if (out.size() & 1) out.push_back(0);
    PutBe16(out, 0xFF);
    const SIZE_T size = out.size() - kPrefix;
    out[kPrefix] = BYTE(size >> 8);
    out[kPrefix + 1] = BYTE(size);
    return IMG_SUCCESS;
}

} // namespace imaging
