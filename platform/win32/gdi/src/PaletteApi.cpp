// Logical palettes. Realising one on a palette surface (an 8-bit screen or window) loads its
// colours into the surface's colour table between the twenty static entries; on colour
// surfaces it maps nothing. Every function fails while the test switch is on.

#include <algorithm>
#include <cstring>

#include "GdiSettings.h"
#include "MetaRecorder.h"

using namespace sdgdi;

namespace {

bool paletteRefused() {
    if (!palettesFail()) return false;
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return true;
}

} // namespace

HPALETTE CreatePalette(const LOGPALETTE* palette) {
    if (paletteRefused()) return nullptr;
    if (!palette || palette->palVersion != 0x300 || palette->palNumEntries == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto p = std::make_shared<PaletteObject>();
    p->entries.assign(palette->palPalEntry, palette->palPalEntry + palette->palNumEntries);
    return static_cast<HPALETTE>(registerObject(p));
}

HPALETTE CreateHalftonePalette(HDC) {
    if (paletteRefused()) return nullptr;
    auto p = std::make_shared<PaletteObject>();
    for (const RGBQUAD& q : defaultColors(8))
        p->entries.push_back(PALETTEENTRY{q.rgbRed, q.rgbGreen, q.rgbBlue, 0});
    return static_cast<HPALETTE>(registerObject(p));
}

HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL) {
    if (paletteRefused()) return nullptr;
    auto d = dcOf(dc);
    auto p = findAs<PaletteObject>(palette, OBJ_PAL);
    if (!d || !p) return nullptr;
    if (d->logging) d->record(callLine("SelectPalette"));
    if (d->meta && !metaSelectPalette(*d, palette)) return nullptr;
    void* old = d->st.palette->handle;
    d->st.palette = p;
    return static_cast<HPALETTE>(old);
}

UINT RealizePalette(HDC dc) {
    if (paletteRefused()) return GDI_ERROR;
    auto d = dcOf(dc);
    if (!d) return GDI_ERROR;
    if (d->logging) d->record(callLine("RealizePalette"));
    if (d->meta && !metaRealizePalette(*d)) return GDI_ERROR;
    Surface* s = d->surface();
    if (!s || s->bitsPerPixel() != 8 || d->kind == DcKind::Memory) return 0;
    const auto& e = d->st.palette->entries;
    UINT n = 0;
    if (d->st.palette->stock) return 0;
    // The entries that changed the screen's palette: realising it again changes none.
    for (std::size_t i = 0; i < e.size() && i < 236; ++i) {
        const RGBQUAD c{e[i].peBlue, e[i].peGreen, e[i].peRed, 0};
        const int index = int(10 + i);
        const auto& now = s->colors();
        if (std::size_t(index) < now.size() && now[std::size_t(index)].rgbBlue == c.rgbBlue &&
            now[std::size_t(index)].rgbGreen == c.rgbGreen &&
            now[std::size_t(index)].rgbRed == c.rgbRed)
            continue;
        s->setColor(index, c);
        ++n;
    }
    return n;
}

UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries) {
    if (paletteRefused()) return 0;
    auto p = findAs<PaletteObject>(palette, OBJ_PAL);
    if (!p) return 0;
    UINT n = UINT(p->entries.size());
    if (!entries) return n;
    if (start >= n) return 0;
    count = std::min(count, n - start);
    std::memcpy(entries, p->entries.data() + start, count * sizeof(PALETTEENTRY));
    return count;
}

UINT SetPaletteEntries(HPALETTE palette, UINT start, UINT count, const PALETTEENTRY* entries) {
    if (paletteRefused()) return 0;
    auto p = findAs<PaletteObject>(palette, OBJ_PAL);
    if (!p || !entries || p->stock) return 0;
    UINT n = UINT(p->entries.size());
    if (start >= n) return 0;
    count = std::min(count, n - start);
    std::memcpy(p->entries.data() + start, entries, count * sizeof(PALETTEENTRY));
    return count;
}

BOOL AnimatePalette(HPALETTE palette, UINT start, UINT count, const PALETTEENTRY* entries) {
    return SetPaletteEntries(palette, start, count, entries) > 0;
}

UINT GetNearestPaletteIndex(HPALETTE palette, COLORREF color) {
    if (paletteRefused()) return CLR_INVALID;
    auto p = findAs<PaletteObject>(palette, OBJ_PAL);
    if (!p || p->entries.empty()) return CLR_INVALID;
    long best = -1;
    UINT index = 0;
    for (std::size_t i = 0; i < p->entries.size(); ++i) {
        const PALETTEENTRY& e = p->entries[i];
        long dr = e.peRed - GetRValue(color), dg = e.peGreen - GetGValue(color),
             db = e.peBlue - GetBValue(color);
        long dist = dr * dr + dg * dg + db * db;
        if (best < 0 || dist < best) {
            best = dist;
            index = UINT(i);
        }
    }
    return index;
}

UINT GetSystemPaletteEntries(HDC dc, UINT start, UINT count, PALETTEENTRY* entries) {
    if (paletteRefused()) return 0;
    auto d = dcOf(dc);
    if (!d) return 0;
    if (GetDeviceCaps(dc, BITSPIXEL) > 8) return 0;
    std::vector<RGBQUAD> table = defaultColors(8);
    if (Surface* s = d->surface(); s && s->bitsPerPixel() == 8 && d->kind != DcKind::Memory)
        table = s->colors();
    if (!entries) return 256;
    if (start >= 256) return 0;
    count = std::min<UINT>(count, 256 - start);
    for (UINT i = 0; i < count; ++i) {
        const RGBQUAD& q = table[start + i];
        entries[i] = PALETTEENTRY{q.rgbRed, q.rgbGreen, q.rgbBlue, 0};
    }
    return count;
}
