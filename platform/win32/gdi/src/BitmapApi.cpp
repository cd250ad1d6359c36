// Bitmaps, DIB sections and block transfers with ternary raster operations. Colour
// conversion between surfaces: a device-dependent monochrome source becomes the destination
// context's text colour (0 bits) and background colour (1 bits); a colour source blitted to a
// monochrome bitmap gives 1 where it equals the source context's background colour; every
// other pair converts through RGB, to the nearest entry on palette surfaces.

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>

#include "GdiSettings.h"
#include "Paint.h"
#include "MetaRecorder.h"

using namespace sdgdi;

namespace {

struct DibFormat {
    int width = 0;
    int height = 0; // rows, positive
    int bpp = 0;
    bool topDown = false;
    std::vector<RGBQUAD> colors;
    std::int64_t stride = 0;
};

bool parseInfo(const BITMAPINFO* info, UINT usage, DeviceContext* dc, DibFormat& f) {
    if (!info) return false;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biHeight == 0 ||
        h.biHeight == std::numeric_limits<LONG>::min() || h.biPlanes != 1)
        return false;
    int bpp = h.biBitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return false;
    if (!(h.biCompression == BI_RGB || (h.biCompression == BI_BITFIELDS && bpp == 32)))
        return false;
    f.width = h.biWidth;
    f.height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    f.topDown = h.biHeight < 0;
    f.bpp = bpp;
    f.stride = Surface::strideFor(f.width, bpp);
    if (f.stride == 0 || f.stride * f.height > (std::int64_t(1) << 32)) return false;
    if (bpp <= 8) {
        DWORD n = h.biClrUsed ? h.biClrUsed : (1u << bpp);
        if (n > (1u << bpp)) return false;
        const char* table = reinterpret_cast<const char*>(info) + h.biSize;
        for (DWORD i = 0; i < n; ++i) {
            if (usage == DIB_PAL_COLORS) {
                WORD idx;
                std::memcpy(&idx, table + i * 2, 2);
                const auto& pal = dc ? dc->st.palette : nullptr;
                PALETTEENTRY e = pal && idx < pal->entries.size() ? pal->entries[idx] : PALETTEENTRY{};
                f.colors.push_back(RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0});
            } else {
                RGBQUAD q;
                std::memcpy(&q, table + i * sizeof(RGBQUAD), sizeof q);
                f.colors.push_back(q);
            }
        }
    }
    return true;
}

std::shared_ptr<Surface> wrapDib(const DibFormat& f, const void* bits) {
    auto s = Surface::wrap(f.width, f.height, f.bpp, f.topDown, const_cast<void*>(bits));
    if (s && f.bpp <= 8) s->setColors(f.colors);
    return s;
}

// Converts source raw values to destination raw values.
class Converter {
public:
    Converter(const Surface& src, Surface& dst, DeviceContext* srcDc, DeviceContext* dstDc)
        : src_(src), dst_(dst) {
        bool srcMono = src.monoDdb, dstMono = dst.monoDdb;
        if (srcMono && dstMono) {
            identity_ = true;
        } else if (srcMono) {
            COLORREF fg = dstDc ? dstDc->st.textColor : RGB(0, 0, 0);
            COLORREF bg = dstDc ? dstDc->st.bkColor : RGB(255, 255, 255);
            lut_ = {dst.rawFromColor(fg & 0xFFFFFF), dst.rawFromColor(bg & 0xFFFFFF)};
        } else if (dstMono) {
            toMono_ = true;
            monoBk_ = (srcDc ? srcDc->st.bkColor : RGB(255, 255, 255)) & 0xFFFFFF;
        } else if (src.indexed()) {
            for (std::size_t i = 0; i < (std::size_t(1) << src.bitsPerPixel()); ++i)
                lut_.push_back(dst.rawFromColor(src.colorFromRaw(std::uint32_t(i))));
        } else if (!dst.indexed()) {
            identity_ = true;
        }
    }
    std::uint32_t operator()(std::uint32_t v) const {
        if (identity_) return v;
        if (!lut_.empty()) return v < lut_.size() ? lut_[v] : 0;
        if (toMono_) return src_.colorFromRaw(v) == monoBk_ ? 1 : 0;
        return dst_.rawFromColor(src_.colorFromRaw(v));
    }

private:
    const Surface& src_;
    Surface& dst_;
    bool identity_ = false;
    bool toMono_ = false;
    COLORREF monoBk_ = 0;
    std::vector<std::uint32_t> lut_;
};

// Destination rectangle (device, may be mirrored by negative sizes) from a source rectangle
// in source pixels (top-down rows), nearest-neighbour, through the ternary operation.
void transfer(DeviceContext& dst, std::int64_t dx, std::int64_t dy, std::int64_t dw, std::int64_t dh,
              const Surface* src, DeviceContext* srcDc, std::int64_t sx, std::int64_t sy,
              std::int64_t sw, std::int64_t sh, DWORD rop) {
    Surface* ds = dst.surface();
    if (!ds || dw == 0 || dh == 0) return;
    // Mirroring: a negative size on one side only flips that axis.
    bool flipX = (dw < 0) != (sw < 0), flipY = (dh < 0) != (sh < 0);
    // A negative extent runs back from its start pixel: x = 9, width -10 covers 0..9.
    if (dw < 0) dx += dw + 1, dw = -dw;
    if (dh < 0) dy += dh + 1, dh = -dh;
    if (sw < 0) sx += sw + 1, sw = -sw;
    if (sh < 0) sy += sh + 1, sh = -sh;
    bool useSrc = rop3UsesSource(rop) && src;
    bool usePat = rop3UsesPattern(rop);
    Ink pat = usePat ? Ink::brush(dst, dst.st.brush.get()) : Ink::solid(dst, 0);
    std::optional<Converter> conv;
    if (useSrc) conv.emplace(*src, *ds, srcDc, &dst);
    std::uint32_t mask = ds->rawMask();
    // Halftone shrinking averages; the others pick the nearest pixel.
    bool average = useSrc && dst.st.stretchMode == HALFTONE && (sw > dw || sh > dh) && !ds->indexed();
    // Results that depend on nothing per pixel are filled row by row.
    unsigned table = (rop >> 16) & 0xFF;
    std::optional<std::uint32_t> constant;
    if (table == 0x00) constant = 0;
    if (table == 0xFF) constant = mask;
    if (table == 0xF0 && pat.uniform() && !pat.none) {
        std::uint32_t p;
        if (pat.at(0, 0, p)) constant = p & mask;
    }
    for (const auto& r : dst.clipRects()) {
        std::int64_t x0 = std::max<std::int64_t>(r.x1, dx), x1 = std::min<std::int64_t>(r.x2, dx + dw);
        std::int64_t y0 = std::max<std::int64_t>(r.y1, dy), y1 = std::min<std::int64_t>(r.y2, dy + dh);
        if (constant) {
            for (std::int64_t y = y0; y < y1; ++y) ds->fillRow(int(y), int(x0), int(x1), *constant);
            continue;
        }
        for (std::int64_t y = y0; y < y1; ++y) {
            std::int64_t ry = flipY ? dh - 1 - (y - dy) : y - dy;
            std::int64_t py = sy + (2 * ry + 1) * sh / (2 * dh);
            for (std::int64_t x = x0; x < x1; ++x) {
                std::uint32_t s = 0, p = 0, d = ds->get(int(x), int(y));
                if (useSrc) {
                    std::int64_t rx = flipX ? dw - 1 - (x - dx) : x - dx;
                    std::int64_t px = sx + (2 * rx + 1) * sw / (2 * dw);
                    if (average) {
                        std::int64_t ax0 = sx + rx * sw / dw, ax1 = std::max(ax0 + 1, sx + (rx + 1) * sw / dw);
                        std::int64_t ay0 = sy + ry * sh / dh, ay1 = std::max(ay0 + 1, sy + (ry + 1) * sh / dh);
                        std::uint64_t rs = 0, gs = 0, bs = 0, n = 0;
                        for (std::int64_t v = ay0; v < ay1; ++v)
                            for (std::int64_t u = ax0; u < ax1; ++u) {
                                if (u < 0 || v < 0 || u >= src->width() || v >= src->height()) continue;
                                COLORREF c = src->colorFromRaw(src->get(int(u), int(v)));
                                rs += GetRValue(c), gs += GetGValue(c), bs += GetBValue(c), ++n;
                            }
                        if (n) s = ds->rawFromColor(RGB(BYTE(rs / n), BYTE(gs / n), BYTE(bs / n)));
                    } else if (px >= 0 && py >= 0 && px < src->width() && py < src->height()) {
                        s = (*conv)(src->get(int(px), int(py)));
                    } else {
                        continue; // outside the source: left alone
                    }
                }
                if (usePat && !pat.at(x, y, p)) p = d;
                ds->set(int(x), int(y), applyRop3(rop, p, s, d, mask));
            }
        }
    }
}

struct DevRect {
    std::int64_t x, y, w, h;
};
// Logical rectangle to device.
DevRect deviceRect(DeviceContext& dc, int x, int y, int w, int h) {
    POINT a = dc.lpToDpPoint(x, y);
    POINT b = dc.lpToDpPoint(SdDeviceCoord(std::int64_t(x) + w), SdDeviceCoord(std::int64_t(y) + h));
    return DevRect{a.x, a.y, std::int64_t(b.x) - a.x, std::int64_t(b.y) - a.y};
}

std::shared_ptr<Surface> compatibleSurface(DeviceContext* dc, int w, int h) {
    if (dc && dc->kind == DcKind::Memory && dc->st.bitmap) {
        const Surface& s = *dc->st.bitmap->surface;
        auto out = Surface::create(w, h, s.bitsPerPixel(), true);
        if (out) {
            out->monoDdb = s.monoDdb;
            out->setColors(s.colors());
        }
        return out;
    }
    int depth = dc && dc->kind != DcKind::Printer ? dc->depth : 24;
    return Surface::create(w, h, depth <= 8 ? 8 : 32, true);
}

HBITMAP registerBitmap(std::shared_ptr<Surface> s, bool dib) {
    auto b = std::make_shared<BitmapObject>();
    b->surface = std::move(s);
    b->dibSection = dib;
    return static_cast<HBITMAP>(registerObject(b));
}

} // namespace

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bpp, const void* bits) {
    if (width < 0 || height < 0 || planes != 1 ||
        (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (width == 0 || height == 0) return static_cast<HBITMAP>(stockBitmap()->handle);
    if (injectedFailure("CreateBitmap")) return nullptr;
    auto s = Surface::create(width, height, int(bpp), true);
    if (!s) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    s->monoDdb = bpp == 1;
    if (bits) {
        // Rows of the caller's bits are padded to 2 bytes.
        std::size_t rowBytes = ((std::size_t(width) * bpp + 15) / 16) * 2;
        const auto* in = static_cast<const std::uint8_t*>(bits);
        for (int y = 0; y < height; ++y)
            std::memcpy(s->row(y), in + std::size_t(y) * rowBytes,
                        std::min(rowBytes, std::size_t(s->stride())));
    }
    return registerBitmap(s, false);
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
    auto d = dcOf(dc);
    if (!d) return nullptr;
    if (width < 0 || height < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (width == 0 || height == 0) return static_cast<HBITMAP>(stockBitmap()->handle);
    if (injectedFailure("CreateCompatibleBitmap")) return nullptr;
    auto s = compatibleSurface(d.get(), width, height);
    if (!s) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return registerBitmap(s, false);
}

HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE, DWORD) {
    std::shared_ptr<DeviceContext> d;
    if (dc && !(d = dcOf(dc))) return nullptr;
    if (bits) *bits = nullptr;
    DibFormat f;
    if ((usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS) || !parseInfo(info, usage, d.get(), f)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (injectedFailure("CreateDIBSection")) return nullptr;
    auto s = Surface::create(f.width, f.height, f.bpp, f.topDown);
    if (!s) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (f.bpp <= 8) s->setColors(f.colors);
    if (bits) *bits = s->bits();
    return registerBitmap(s, true);
}

HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* info, UINT usage) {
    auto d = dcOf(dc);
    if (!d || !header) return nullptr;
    if (header->biWidth <= 0 || header->biHeight == 0 || header->biHeight == std::numeric_limits<LONG>::min()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    int h = header->biHeight < 0 ? -header->biHeight : header->biHeight;
    HBITMAP bm = CreateCompatibleBitmap(dc, header->biWidth, h);
    if (!bm) return nullptr;
    if ((init & CBM_INIT) && bits && info) {
        if (!SetDIBits(dc, bm, 0, UINT(h), bits, info, usage)) {
            DeleteObject(bm);
            return nullptr;
        }
    }
    return bm;
}

namespace {

// Copies DIB rows [start, start + lines) in scan order (scan 0 is the bottom row of a
// bottom-up DIB) between a bitmap's surface and caller memory in `f`'s format.
int copyScans(Surface& bm, const DibFormat& f, UINT start, UINT lines, void* bits, bool toBitmap) {
    if (f.width != bm.width() || start >= UINT(f.height)) return 0;
    UINT end = std::min<UINT>(UINT(f.height), start + std::min<UINT>(lines, UINT(f.height)));
    auto caller = Surface::wrap(f.width, f.height, f.bpp, f.topDown, bits);
    if (!caller) return 0;
    if (f.bpp <= 8) caller->setColors(f.colors);
    Surface& from = toBitmap ? *caller : bm;
    Surface& to = toBitmap ? bm : *caller;
    Converter conv(from, to, nullptr, nullptr);
    int copied = 0;
    for (UINT scan = start; scan < end; ++scan) {
        // The picture row of the scan line.
        int y = f.topDown ? int(scan) : f.height - 1 - int(scan);
        if (y >= bm.height()) continue;
        for (int x = 0; x < f.width; ++x) to.set(x, y, conv(from.get(x, y)));
        ++copied;
    }
    return copied;
}

} // namespace

int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits, BITMAPINFO* info,
              UINT usage) {
    auto d = dcOf(dc);
    auto b = findAs<BitmapObject>(bitmap, OBJ_BITMAP);
    if (!d || !b || !info) return 0;
    Surface& s = *b->surface;
    BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (!bits && h.biBitCount == 0) {
        // Describe the bitmap.
        h.biWidth = s.width();
        h.biHeight = s.height();
        h.biPlanes = 1;
        h.biBitCount = WORD(s.bitsPerPixel());
        h.biCompression = BI_RGB;
        h.biSizeImage = DWORD(Surface::strideFor(s.width(), s.bitsPerPixel()) * s.height());
        h.biClrUsed = 0;
        return 1;
    }
    int bpp = h.biBitCount;
    if ((bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) || h.biWidth <= 0 ||
        (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (h.biWidth != s.width()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int height = h.biHeight ? (h.biHeight < 0 ? -h.biHeight : h.biHeight) : s.height();
    h.biSizeImage = DWORD(Surface::strideFor(s.width(), bpp) * height);
    std::vector<RGBQUAD> table;
    if (bpp <= 8) {
        table = bpp == s.bitsPerPixel() ? s.colors() : defaultColors(bpp);
        if (usage == DIB_RGB_COLORS) {
            h.biClrUsed = 0;
            std::memcpy(info->bmiColors, table.data(), table.size() * sizeof(RGBQUAD));
        }
    }
    if (!bits) return 1;
    DibFormat f;
    f.width = s.width();
    f.height = height;
    f.bpp = bpp;
    f.topDown = h.biHeight < 0;
    f.colors = table;
    if (height != s.height()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return copyScans(s, f, start, lines, bits, false);
}

int SetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, const void* bits,
              const BITMAPINFO* info, UINT usage) {
    std::shared_ptr<DeviceContext> d;
    if (dc && !(d = dcOf(dc))) return 0;
    auto b = findAs<BitmapObject>(bitmap, OBJ_BITMAP);
    if (!b || !bits) return 0;
    DibFormat f;
    if (!parseInfo(info, usage, d.get(), f) || f.height != b->surface->height()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return copyScans(*b->surface, f, start, lines, const_cast<void*>(bits), true);
}

int SetDIBitsToDevice(HDC dc, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc,
                      UINT startScan, UINT lines, const void* bits, const BITMAPINFO* info,
                      UINT usage) {
    auto d = dcOf(dc);
    if (!d) return 0;
    DibFormat f;
    if (!bits || !parseInfo(info, usage, d.get(), f) || width > 0x7FFFFFFF || height > 0x7FFFFFFF) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (d->logging) d->record(callLine("SetDIBitsToDevice", xDest, yDest, width, height, xSrc, ySrc, startScan, lines));
    if (d->meta && !metaSetDibits(*d, xDest, yDest, width, height, xSrc, ySrc, startScan, lines, bits, info, usage))
        return 0;
    if (injectedFailure("SetDIBitsToDevice")) return 0;
    if (startScan >= UINT(f.height)) return 0;
    // The bits hold `lines` scans from startScan on.
    UINT n = std::min<UINT>(lines, UINT(f.height) - startScan);
    if (n == 0) return 0;
    DibFormat part = f;
    part.height = int(n);
    auto src = wrapDib(part, bits);
    if (!src) return 0;
    if (!d->draws()) return int(n);
    // Source rectangle in picture rows (top-down): bottom-up DIBs measure ySrc from the
    // bottom scan line.
    std::int64_t top;
    if (f.topDown)
        top = std::int64_t(ySrc) - startScan;
    else
        top = std::int64_t(part.height) - (std::int64_t(ySrc) - startScan) - std::int64_t(height);
    DevRect r = deviceRect(*d, xDest, yDest, int(width), int(height));
    if (r.w != std::int64_t(width) || r.h != std::int64_t(height)) {
        // Pixels map one to one whatever the mapping mode.
        r.w = width;
        r.h = height;
    }
    transfer(*d, r.x, r.y, r.w, r.h, src.get(), nullptr, xSrc, top, width, height, SRCCOPY);
    return int(n);
}

int StretchDIBits(HDC dc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc,
                  int srcWidth, int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage,
                  DWORD rop) {
    auto d = dcOf(dc);
    if (!d) return 0;
    DibFormat f;
    if (!parseInfo(info, usage, d.get(), f)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (d->logging) d->record(callLine("StretchDIBits", xDest, yDest, destWidth, destHeight, xSrc, ySrc, srcWidth,
                       srcHeight, rop));
    if (d->meta && !metaStretchDib(*d, xDest, yDest, destWidth, destHeight, xSrc, ySrc, srcWidth, srcHeight, bits,
                                   info, usage, rop))
        return 0;
    if (injectedFailure("StretchDIBits")) return 0;
    std::shared_ptr<Surface> src;
    if (rop3UsesSource(rop)) {
        if (!bits) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        src = wrapDib(f, bits);
        if (!src) return 0;
    }
    if (!d->draws()) return f.height;
    std::int64_t top = f.topDown ? ySrc : std::int64_t(f.height) - ySrc - srcHeight;
    DevRect r = deviceRect(*d, xDest, yDest, destWidth, destHeight);
    transfer(*d, r.x, r.y, r.w, r.h, src.get(), nullptr, xSrc, top, srcWidth, srcHeight, rop);
    return f.height;
}

namespace {

BOOL stretch(const std::shared_ptr<DeviceContext>& d, int x, int y, int w, int h,
             const std::shared_ptr<DeviceContext>& s, int xs, int ys, int ws, int hs, DWORD rop) {
    bool needSrc = rop3UsesSource(rop);
    if (!d->draws()) return TRUE;
    Surface* ss = s ? s->surface() : nullptr;
    if (needSrc && !ss) return failWith(ERROR_INVALID_PARAMETER);
    DevRect r = deviceRect(*d, x, y, w, h);
    DevRect sr{0, 0, 0, 0};
    if (s) sr = deviceRect(*s, xs, ys, ws, hs);
    // The source is read before anything is written when both are the same surface.
    std::shared_ptr<Surface> copy;
    if (ss && ss == d->surface()) {
        copy = Surface::create(ss->width(), ss->height(), ss->bitsPerPixel(), true);
        if (!copy) return failWith(ERROR_NOT_ENOUGH_MEMORY);
        copy->setColors(ss->colors());
        copy->monoDdb = ss->monoDdb;
        for (int yy = 0; yy < ss->height(); ++yy)
            for (int xx = 0; xx < ss->width(); ++xx) copy->set(xx, yy, ss->get(xx, yy));
        ss = copy.get();
    }
    transfer(*d, r.x, r.y, r.w, r.h, ss, s.get(), sr.x, sr.y, sr.w, sr.h, rop);
    return TRUE;
}

} // namespace

BOOL StretchBlt(HDC dest, int x, int y, int w, int h, HDC src, int xs, int ys, int ws, int hs,
                DWORD rop) {
    auto d = dcOf(dest);
    if (!d) return FALSE;
    std::shared_ptr<DeviceContext> s;
    if (rop3UsesSource(rop) && !(s = dcOf(src))) return FALSE;
    if (d->logging) d->record(callLine("StretchBlt", x, y, w, h, xs, ys, ws, hs, rop));
    if (d->meta && !metaBlt(*d, x, y, w, h, s.get(), xs, ys, ws, hs, rop)) return FALSE;
    if (injectedFailure("StretchBlt")) return FALSE;
    return stretch(d, x, y, w, h, s, xs, ys, ws, hs, rop);
}

BOOL BitBlt(HDC dest, int x, int y, int w, int h, HDC src, int xs, int ys, DWORD rop) {
    auto d = dcOf(dest);
    if (!d) return FALSE;
    std::shared_ptr<DeviceContext> s;
    if (rop3UsesSource(rop) && !(s = dcOf(src))) return FALSE;
    if (d->logging) d->record(callLine("BitBlt", x, y, w, h, xs, ys, rop));
    if (d->meta && !metaBlt(*d, x, y, w, h, s.get(), xs, ys, w, h, rop)) return FALSE;
    if (injectedFailure("BitBlt")) return FALSE;
    return stretch(d, x, y, w, h, s, xs, ys, w, h, rop);
}

BOOL PatBlt(HDC dc, int x, int y, int w, int h, DWORD rop) {
    auto d = dcOf(dc);
    if (!d) return FALSE;
    if (d->logging) d->record(callLine("PatBlt", x, y, w, h, rop));
    if (rop3UsesSource(rop)) return failWith(ERROR_INVALID_PARAMETER);
    if (d->meta && !metaBlt(*d, x, y, w, h, nullptr, 0, 0, 0, 0, rop)) return FALSE;
    if (injectedFailure("PatBlt")) return FALSE;
    if (!d->draws()) return TRUE;
    DevRect r = deviceRect(*d, x, y, w, h);
    transfer(*d, r.x, r.y, r.w, r.h, nullptr, nullptr, 0, 0, 0, 0, rop);
    return TRUE;
}

UINT GetDIBColorTable(HDC dc, UINT start, UINT count, RGBQUAD* colors) {
    auto d = dcOf(dc);
    if (!d || !colors) return 0;
    Surface* s = d->surface();
    if (!s || !s->indexed() || !d->st.bitmap || !d->st.bitmap->dibSection) return 0;
    UINT n = UINT(s->colors().size());
    if (start >= n) return 0;
    count = std::min(count, n - start);
    std::memcpy(colors, s->colors().data() + start, count * sizeof(RGBQUAD));
    return count;
}

UINT SetDIBColorTable(HDC dc, UINT start, UINT count, const RGBQUAD* colors) {
    auto d = dcOf(dc);
    if (!d || !colors) return 0;
    Surface* s = d->surface();
    if (!s || !s->indexed() || !d->st.bitmap || !d->st.bitmap->dibSection) return 0;
    UINT n = UINT(s->colors().size());
    if (start >= n) return 0;
    count = std::min(count, n - start);
    for (UINT i = 0; i < count; ++i) s->setColor(int(start + i), colors[i]);
    return count;
}
