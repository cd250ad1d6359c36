// Pens, brushes, stock objects, selection and deletion.

#include <cstring>

#include "GdiSettings.h"
#include "MetaRecorder.h"
#include "TextDrawing.h"

using namespace sdgdi;

HGDIOBJ GetStockObject(int index) {
    auto o = stockObject(index);
    return o ? o->handle : nullptr;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    auto d = dcOf(dc);
    if (!d) return nullptr;
    auto o = findObject(object);
    if (!o) return nullptr;
    if (d->logging) d->record(callLine("SelectObject", o->type));
    if (d->meta && !metaSelect(*d, object)) return nullptr;
    switch (o->type) {
    case OBJ_PEN: {
        void* old = d->st.pen->handle;
        d->st.pen = std::static_pointer_cast<PenObject>(o);
        return old;
    }
    case OBJ_BRUSH: {
        void* old = d->st.brush->handle;
        d->st.brush = std::static_pointer_cast<BrushObject>(o);
        return old;
    }
    case OBJ_FONT: {
        void* old = d->st.font->handle;
        d->st.font = std::static_pointer_cast<FontObject>(o);
        return old;
    }
    case OBJ_BITMAP: {
        if (d->kind != DcKind::Memory) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        auto b = std::static_pointer_cast<BitmapObject>(o);
        if (b->selectedIn && b->selectedIn != d.get()) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        auto old = d->st.bitmap;
        if (old && old->selectedIn == d.get()) old->selectedIn = nullptr;
        d->st.bitmap = b;
        if (!b->stock) b->selectedIn = d.get();
        // A new bitmap resets the clip region to the whole surface.
        d->st.clip.reset();
        d->clipChanged();
        return old ? old->handle : nullptr;
    }
    case OBJ_REGION: {
        int r = SelectClipRgn(dc, static_cast<HRGN>(object));
        return reinterpret_cast<HGDIOBJ>(static_cast<LONG_PTR>(r));
    }
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
}

BOOL DeleteObject(HGDIOBJ object) {
    auto o = findObject(object);
    if (!o) return FALSE;
    if (o->stock) return TRUE;
    if (o->type == OBJ_BITMAP) {
        auto b = std::static_pointer_cast<BitmapObject>(o);
        // A selected bitmap cannot be deleted: its context still draws on it.
        if (b->selectedIn) return failWith(ERROR_INVALID_PARAMETER);
    }
    removeHandle(object);
    return TRUE;
}

int GetObjectA(HGDIOBJ object, int size, LPVOID buffer) {
    auto o = findObject(object);
    if (!o) return 0;
    auto give = [&](const void* data, int n) {
        if (!buffer) return n;
        if (size < n) {
            // Bitmaps give as much as fits of the DIB section record; others fail.
            if (o->type != OBJ_BITMAP || size < int(sizeof(BITMAP))) {
                SetLastError(ERROR_INVALID_PARAMETER);
                return 0;
            }
            n = int(sizeof(BITMAP));
        }
        std::memcpy(buffer, data, std::size_t(n));
        return n;
    };
    switch (o->type) {
    case OBJ_PEN: {
        auto p = std::static_pointer_cast<PenObject>(o);
        LOGPEN lp{p->style, POINT{p->width, 0}, p->color};
        // An extended pen answers as an EXTLOGPEN, and also as a LOGPEN to a request of that
        // size: metafile readers ask for either.
        if (p->extended && (!buffer || size >= int(sizeof(EXTLOGPEN)))) {
            EXTLOGPEN ep{p->style, DWORD(p->width), p->brushStyle, p->color, p->hatch, 0, {0}};
            return give(&ep, sizeof ep);
        }
        return give(&lp, sizeof lp);
    }
    case OBJ_FONT: {
        LOGFONTA lf = logicalFontOf(*std::static_pointer_cast<FontObject>(o));
        return give(&lf, sizeof lf);
    }
    case OBJ_BRUSH: {
        auto b = std::static_pointer_cast<BrushObject>(o);
        LOGBRUSH lb{b->style, b->color, std::uintptr_t(b->hatch)};
        return give(&lb, sizeof lb);
    }
    case OBJ_PAL: {
        auto p = std::static_pointer_cast<PaletteObject>(o);
        WORD n = WORD(p->entries.size());
        return give(&n, sizeof n);
    }
    case OBJ_BITMAP: {
        auto b = std::static_pointer_cast<BitmapObject>(o);
        const Surface& s = *b->surface;
        DIBSECTION ds{};
        ds.dsBm.bmType = 0;
        ds.dsBm.bmWidth = s.width();
        ds.dsBm.bmHeight = s.height();
        ds.dsBm.bmPlanes = 1;
        ds.dsBm.bmBitsPixel = WORD(s.bitsPerPixel());
        if (b->dibSection) {
            ds.dsBm.bmWidthBytes = s.stride();
            ds.dsBm.bmBits = const_cast<std::uint8_t*>(s.bits());
            ds.dsBmih.biSize = sizeof(BITMAPINFOHEADER);
            ds.dsBmih.biWidth = s.width();
            ds.dsBmih.biHeight = s.topDown() ? -s.height() : s.height();
            ds.dsBmih.biPlanes = 1;
            ds.dsBmih.biBitCount = WORD(s.bitsPerPixel());
            ds.dsBmih.biCompression = BI_RGB;
            ds.dsBmih.biSizeImage = DWORD(s.stride()) * DWORD(s.height());
            ds.dsBmih.biClrUsed = s.indexed() ? DWORD(s.colors().size()) : 0;
            return give(&ds, sizeof ds);
        }
        // Device-dependent bitmaps: rows padded to 2 bytes, no bits pointer.
        ds.dsBm.bmWidthBytes = ((s.width() * s.bitsPerPixel() + 15) / 16) * 2;
        return give(&ds.dsBm, sizeof(BITMAP));
    }
    case OBJ_REGION:
    default: SetLastError(ERROR_INVALID_PARAMETER); return 0;
    }
}

HPEN CreatePen(int style, int width, COLORREF color) {
    UINT s = UINT(style);
    if ((s & PS_STYLE_MASK) > PS_INSIDEFRAME) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (injectedFailure("CreatePen")) return nullptr;
    auto p = std::make_shared<PenObject>();
    p->style = s & PS_STYLE_MASK;
    p->width = width < 0 ? 0 : width;
    p->color = color;
    // Wide pens draw solid whatever their dash style.
    if (p->width > 1 && p->dash() >= PS_DASH && p->dash() <= PS_DASHDOTDOT) p->style = PS_SOLID;
    return static_cast<HPEN>(registerObject(p));
}

HPEN CreatePenIndirect(const LOGPEN* pen) {
    if (!pen) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return CreatePen(int(pen->lopnStyle), pen->lopnWidth.x, pen->lopnColor);
}

HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* brush, DWORD, const DWORD*) {
    if (!brush || (style & PS_STYLE_MASK) > PS_INSIDEFRAME || width > 0x7FFFFFFF ||
        ((style & PS_TYPE_MASK) == PS_COSMETIC && width != 1)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (injectedFailure("ExtCreatePen")) return nullptr;
    auto p = std::make_shared<PenObject>();
    p->style = style;
    p->width = int(width);
    p->color = brush->lbStyle == BS_NULL ? 0 : brush->lbColor;
    p->extended = true;
    p->brushStyle = brush->lbStyle;
    p->hatch = DWORD(brush->lbStyle == BS_HATCHED ? brush->lbHatch : 0);
    if (brush->lbStyle == BS_NULL) p->style = (style & ~PS_STYLE_MASK) | PS_NULL;
    return static_cast<HPEN>(registerObject(p));
}

HBRUSH CreateSolidBrush(COLORREF color) {
    if (injectedFailure("CreateSolidBrush")) return nullptr;
    auto b = std::make_shared<BrushObject>();
    b->color = color;
    return static_cast<HBRUSH>(registerObject(b));
}

HBRUSH CreateHatchBrush(int hatch, COLORREF color) {
    if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (injectedFailure("CreateHatchBrush")) return nullptr;
    auto b = std::make_shared<BrushObject>();
    b->style = BS_HATCHED;
    b->color = color;
    b->hatch = hatch;
    return static_cast<HBRUSH>(registerObject(b));
}

HBRUSH CreatePatternBrush(HBITMAP bitmap) {
    auto bm = findAs<BitmapObject>(bitmap, OBJ_BITMAP);
    if (!bm) return nullptr;
    if (injectedFailure("CreatePatternBrush")) return nullptr;
    const Surface& src = *bm->surface;
    auto copy = Surface::create(src.width(), src.height(), src.bitsPerPixel(), true);
    if (!copy) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    copy->setColors(src.colors());
    copy->monoDdb = src.monoDdb;
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x) copy->set(x, y, src.get(x, y));
    auto b = std::make_shared<BrushObject>();
    b->style = BS_PATTERN;
    b->pattern = copy;
    return static_cast<HBRUSH>(registerObject(b));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* brush) {
    if (!brush) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    switch (brush->lbStyle) {
    case BS_SOLID: return CreateSolidBrush(brush->lbColor);
    case BS_HATCHED: return CreateHatchBrush(int(brush->lbHatch), brush->lbColor);
    case BS_PATTERN: return CreatePatternBrush(reinterpret_cast<HBITMAP>(brush->lbHatch));
    case BS_NULL: return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    default: SetLastError(ERROR_INVALID_PARAMETER); return nullptr;
    }
}
