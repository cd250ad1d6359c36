#pragma once
// Fifty drawings for the metafile benchmarks, on an A4 page in tenths of a millimetre: shapes,
// Bezier paths, clips and transforms. Files 0-34 are enhanced metafiles, 35-49 Windows
// metafiles (with a placeable header) of what that format expresses.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "win32/wingdi_meta.h"

namespace bench {

constexpr int kPageW = 2100, kPageH = 2970; // 0.1 mm
constexpr int kPixW = 2480, kPixH = 3508;   // A4 at 300 dpi

struct BenchFile {
    std::string name;
    std::string kind;
    bool enhanced = true;
    std::vector<BYTE> bytes; // as on disk (WMF with its placeable header)
};

class Random {
public:
    explicit Random(std::uint32_t seed) : s_(seed * 2654435761u + 1) {}
    int next(int lo, int hi) { // [lo, hi]
        s_ = s_ * 1664525u + 1013904223u;
        return lo + int((s_ >> 8) % std::uint32_t(hi - lo + 1));
    }

private:
    std::uint32_t s_;
};

inline COLORREF colour(Random& r) {
    static const COLORREF table[] = {RGB(200, 30, 30),  RGB(30, 150, 40), RGB(20, 60, 200),
                                     RGB(240, 200, 0),  RGB(0, 0, 0),     RGB(150, 0, 150),
                                     RGB(0, 170, 170), RGB(250, 120, 20)};
    return table[r.next(0, 7)];
}

// Selects a new pen and brush; the old ones are deleted.
inline void choosePenAndBrush(HDC dc, Random& r) {
    HPEN pen = r.next(0, 4) == 0 ? static_cast<HPEN>(GetStockObject(NULL_PEN))
                                 : CreatePen(PS_SOLID, r.next(0, 25), colour(r));
    HBRUSH brush = r.next(0, 5) == 0 ? static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))
                                     : CreateSolidBrush(colour(r));
    DeleteObject(SelectObject(dc, pen));
    DeleteObject(SelectObject(dc, brush));
}

// Shapes inside the box (x0, y0)-(x1, y1); the pens keep away from its edges.
inline void shapes(HDC dc, Random& r, int count, int x0 = 30, int y0 = 30, int x1 = kPageW - 30,
                   int y1 = kPageH - 30) {
    for (int k = 0; k < count; ++k) {
        choosePenAndBrush(dc, r);
        int x = r.next(x0, x1 - 60), y = r.next(y0, y1 - 60);
        int w = std::min(r.next(60, 900), x1 - x), h = std::min(r.next(60, 900), y1 - y);
        switch (r.next(0, 5)) {
        case 0:
            Rectangle(dc, x, y, x + w, y + h);
            break;
        case 1:
            Ellipse(dc, x, y, x + w, y + h);
            break;
        case 2:
            RoundRect(dc, x, y, x + w, y + h, w / 4, h / 4);
            break;
        case 3: {
            POINT p[5];
            for (POINT& q : p)
                q = POINT{x + r.next(0, w), y + r.next(0, h)};
            Polygon(dc, p, 5);
            break;
        }
        case 4:
            Pie(dc, x, y, x + w, y + h, x + w, y + r.next(0, h), x + r.next(0, w), y);
            break;
        default:
            Chord(dc, x, y, x + w, y + h, x, y + r.next(0, h), x + w, y + r.next(0, h));
            break;
        }
    }
}

inline void paths(HDC dc, Random& r) {
    for (int k = 0; k < 6; ++k) {
        choosePenAndBrush(dc, r);
        SetPolyFillMode(dc, r.next(0, 1) ? WINDING : ALTERNATE);
        BeginPath(dc);
        int x = r.next(200, kPageW - 200), y = r.next(200, kPageH - 200);
        MoveToEx(dc, x, y, nullptr);
        for (int s = 0; s < 4; ++s) {
            POINT c[3];
            for (POINT& q : c)
                q = POINT{std::min(std::max(x + r.next(-600, 600), 0), kPageW),
                          std::min(std::max(y + r.next(-600, 600), 0), kPageH)};
            PolyBezierTo(dc, c, 3);
        }
        CloseFigure(dc);
        EndPath(dc);
        if (r.next(0, 1))
            StrokeAndFillPath(dc);
        else
            FillPath(dc);
    }
}

inline void clips(HDC dc, Random& r, bool enhanced) {
    for (int k = 0; k < 4; ++k) {
        SaveDC(dc);
        int x = r.next(0, kPageW - 800), y = r.next(0, kPageH - 800);
        IntersectClipRect(dc, x, y, x + r.next(300, 800), y + r.next(300, 800));
        ExcludeClipRect(dc, x + 100, y + 100, x + 200, y + 250);
        if (enhanced && r.next(0, 1)) {
            BeginPath(dc);
            Ellipse(dc, x - 100, y - 100, x + 600, y + 500);
            EndPath(dc);
            SelectClipPath(dc, RGN_AND);
        }
        shapes(dc, r, 4);
        RestoreDC(dc, -1);
    }
}

inline void transforms(HDC dc, Random& r, bool enhanced) {
    for (int k = 0; k < 4; ++k) {
        SaveDC(dc);
        if (enhanced) {
            SetGraphicsMode(dc, GM_ADVANCED);
            double a = r.next(0, 359) * 3.14159265358979 / 180;
            float c = float(std::cos(a)), s = float(std::sin(a));
            int icx = r.next(450, kPageW - 450), icy = r.next(450, kPageH - 450);
            float cx = float(icx), cy = float(icy);
            XFORM xf{c, s, -s, c, cx - c * cx + s * cy, cy - s * cx - c * cy};
            SetWorldTransform(dc, &xf);
            // Near the centre of the turn: the turned shapes stay on the page.
            shapes(dc, r, 5, icx - 290, icy - 290, icx + 290, icy + 290);
            RestoreDC(dc, -1);
            continue;
        } else {
            // The window moved and stretched: the drawing shifts and scales.
            SetWindowOrgEx(dc, r.next(-300, 300), r.next(-300, 300), nullptr);
            SetWindowExtEx(dc, kPageW * r.next(8, 14) / 10, kPageH * r.next(8, 14) / 10, nullptr);
        }
        shapes(dc, r, 5);
        RestoreDC(dc, -1);
    }
}

inline std::vector<BenchFile> benchFiles() {
    std::vector<BenchFile> out;
    HDC ref = CreateCompatibleDC(nullptr);
    int vx = GetDeviceCaps(ref, HORZRES) * 210 / GetDeviceCaps(ref, HORZSIZE);
    int vy = GetDeviceCaps(ref, VERTRES) * 297 / GetDeviceCaps(ref, VERTSIZE);
    DeleteDC(ref);
    static const char* kinds[] = {"shapes", "paths", "clips", "transforms"};
    for (int i = 0; i < 50; ++i) {
        BenchFile f;
        f.enhanced = i < 35;
        int kind = f.enhanced ? i % 4 : (i % 3 == 0 ? 0 : i % 3 == 1 ? 2 : 3);
        f.kind = kinds[kind];
        char name[32];
        std::snprintf(name, sizeof name, "file%02d.%s", i, f.enhanced ? "emf" : "wmf");
        f.name = name;
        Random r(std::uint32_t(i + 1));
        RECT frame{0, 0, kPageW * 10, kPageH * 10};
        HDC dc = f.enhanced ? CreateEnhMetaFileA(nullptr, nullptr, &frame, "signdesk\0bench\0\0")
                            : CreateMetaFileA(nullptr);
        SetMapMode(dc, MM_ANISOTROPIC);
        SetWindowExtEx(dc, kPageW, kPageH, nullptr);
        if (f.enhanced) SetViewportExtEx(dc, vx, vy, nullptr);
        // The white page first, so that the drawing's bounds are the page's (some renderers
        // map the bounds, not the frame).
        SelectObject(dc, GetStockObject(NULL_PEN));
        SelectObject(dc, GetStockObject(WHITE_BRUSH));
        Rectangle(dc, 0, 0, kPageW + 1, kPageH + 1);
        switch (kind) {
        case 0:
            shapes(dc, r, 16);
            break;
        case 1:
            paths(dc, r);
            break;
        case 2:
            clips(dc, r, f.enhanced);
            break;
        default:
            transforms(dc, r, f.enhanced);
            break;
        }
        DeleteObject(SelectObject(dc, GetStockObject(BLACK_PEN)));
        DeleteObject(SelectObject(dc, GetStockObject(WHITE_BRUSH)));
        if (f.enhanced) {
            HENHMETAFILE e = CloseEnhMetaFile(dc);
            f.bytes.resize(GetEnhMetaFileBits(e, 0, nullptr));
            GetEnhMetaFileBits(e, UINT(f.bytes.size()), f.bytes.data());
            DeleteEnhMetaFile(e);
        } else {
            HMETAFILE w = CloseMetaFile(dc);
            std::vector<BYTE> bits(GetMetaFileBitsEx(w, 0, nullptr));
            GetMetaFileBitsEx(w, UINT(bits.size()), bits.data());
            DeleteMetaFile(w);
            SdPlaceableHeader h{META_PLACEABLE_KEY, 0, 0, 0, short(kPageW), short(kPageH), 254, 0, 0};
            h.checksum = SdPlaceableChecksum(h);
            f.bytes.resize(sizeof h);
            std::memcpy(f.bytes.data(), &h, sizeof h);
            f.bytes.insert(f.bytes.end(), bits.begin(), bits.end());
        }
        out.push_back(std::move(f));
    }
    return out;
}

// Plays a file onto the whole of an A4 canvas at 300 dpi.
inline bool playOnPage(HDC dc, const BenchFile& f) {
    if (f.enhanced) {
        HENHMETAFILE e = SetEnhMetaFileBits(UINT(f.bytes.size()), f.bytes.data());
        if (!e) return false;
        RECT page{0, 0, kPixW, kPixH};
        BOOL ok = PlayEnhMetaFile(dc, e, &page);
        DeleteEnhMetaFile(e);
        return ok;
    }
    UINT skip = SdPlaceableHeaderSize(f.bytes.data(), UINT(f.bytes.size()));
    HMETAFILE w = SetMetaFileBitsEx(UINT(f.bytes.size() - skip), f.bytes.data() + skip);
    if (!w) return false;
    int saved = SaveDC(dc);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, kPageW, kPageH, nullptr);
    SetViewportExtEx(dc, kPixW, kPixH, nullptr);
    BOOL ok = PlayMetaFile(dc, w);
    RestoreDC(dc, saved);
    DeleteMetaFile(w);
    return ok;
}

// A memory context over a white 24-bit A4 page.
class Page {
public:
    Page() {
        BITMAPINFO info{};
        info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), kPixW, -kPixH, 1, 24, BI_RGB,
                                          0, 0, 0, 0, 0};
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        old = SelectObject(dc, bitmap);
    }
    ~Page() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    void clear() { std::memset(bits, 255, std::size_t(((kPixW * 3 + 3) & ~3)) * kPixH); }
    // Pixel (x, y) as B, G, R.
    const BYTE* at(int x, int y) const {
        return static_cast<const BYTE*>(bits) + std::size_t(y) * ((kPixW * 3 + 3) & ~3) +
               std::size_t(x) * 3;
    }
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    void* bits = nullptr;
};

} // namespace bench
