// Contexts: making and deleting them, their saved states, attributes, capabilities and
// coordinate mapping.

#include <cmath>
#include <cstring>
#include <limits>

#include "GdiSettings.h"
#include "Printing.h"
#include "MetaRecorder.h"

using namespace sdgdi;

namespace {

bool isDisplay(LPCSTR driver, LPCSTR device) {
    if (driver && std::strlen(driver) == 7) {
        char up[8];
        for (int i = 0; i < 7; ++i) up[i] = char(std::toupper(static_cast<unsigned char>(driver[i])));
        up[7] = 0;
        if (std::strcmp(up, "DISPLAY") == 0) return true;
    }
    return !driver && !device;
}

HDC makeScreenDc(DcKind kind) {
    auto dc = newDc(kind);
    if (kind == DcKind::Screen) dc->ownSurface = windowSurface(nullptr, true);
    dc->width = screenWidth();
    dc->height = screenHeight();
    return static_cast<HDC>(registerDc(dc));
}

void releaseBitmap(DeviceContext& dc) {
    if (dc.st.bitmap && dc.st.bitmap->selectedIn == &dc) dc.st.bitmap->selectedIn = nullptr;
}

} // namespace

HDC CreateDCA(LPCSTR driver, LPCSTR device, LPCSTR output, const DEVMODEA* init) {
    if (isDisplay(driver, device)) return makeScreenDc(DcKind::Screen);
    return createPrinterDc(device ? device : driver, output, init, false);
}

HDC CreateICA(LPCSTR driver, LPCSTR device, LPCSTR output, const DEVMODEA* init) {
    if (isDisplay(driver, device)) return makeScreenDc(DcKind::Info);
    return createPrinterDc(device ? device : driver, output, init, true);
}

HDC CreateCompatibleDC(HDC dc) {
    std::shared_ptr<DeviceContext> ref;
    if (dc && !(ref = dcOf(dc))) return nullptr;
    if (injectedFailure("CreateCompatibleDC")) return nullptr;
    auto mem = newDc(DcKind::Memory);
    mem->st.bitmap = stockBitmap();
    if (ref) {
        mem->dpiX = ref->dpiX;
        mem->dpiY = ref->dpiY;
        mem->depth = ref->depth;
        mem->compatibleWith = ref->kind == DcKind::Memory ? ref->compatibleWith : ref->kind;
        mem->width = ref->width;
        mem->height = ref->height;
    } else {
        mem->width = screenWidth();
        mem->height = screenHeight();
    }
    return static_cast<HDC>(registerDc(mem));
}

BOOL DeleteDC(HDC dc) {
    auto d = dcOf(dc);
    if (!d) return FALSE;
    if (d->kind == DcKind::Printer && d->inDocument) AbortDoc(dc);
    releaseBitmap(*d);
    for (DcState& s : d->saved)
        if (s.bitmap && s.bitmap->selectedIn == d.get() && s.bitmap != d->st.bitmap)
            s.bitmap->selectedIn = nullptr;
    removeHandle(dc);
    return TRUE;
}

int SaveDC(HDC dc) {
    auto d = dcOf(dc);
    if (!d) return 0;
    if (d->logging) d->record(callLine("SaveDC"));
    if (d->meta && !metaInts(*d, EMR_SAVEDC, {})) return 0;
    d->saved.push_back(d->st);
    // A saved clip must not change when the current one does.
    if (d->st.clip) {
        auto copy = std::make_shared<RegionObject>();
        pixman_region32_copy(&copy->region, &d->st.clip->region);
        d->saved.back().clip = copy;
    }
    return int(d->saved.size());
}

BOOL RestoreDC(HDC dc, int level) {
    auto d = dcOf(dc);
    if (!d) return FALSE;
    if (d->logging) d->record(callLine("RestoreDC", level));
    if (d->meta && !metaInts(*d, EMR_RESTOREDC, {level})) return FALSE;
    int n = int(d->saved.size());
    int target = level < 0 ? n + level + 1 : level;
    if (target < 1 || target > n) return failWith(ERROR_INVALID_PARAMETER);
    std::shared_ptr<BitmapObject> before = d->st.bitmap;
    DcState restored = std::move(d->saved[std::size_t(target - 1)]);
    d->saved.resize(std::size_t(target - 1));
    if (d->kind == DcKind::Memory && restored.bitmap != before) {
        // The restored bitmap must not have been selected elsewhere meanwhile.
        if (restored.bitmap && restored.bitmap->selectedIn && restored.bitmap->selectedIn != d.get())
            restored.bitmap = stockBitmap();
        if (before && before->selectedIn == d.get()) before->selectedIn = nullptr;
        if (restored.bitmap && !restored.bitmap->stock) restored.bitmap->selectedIn = d.get();
    }
    d->st = std::move(restored);
    d->clipChanged();
    return TRUE;
}

int GetDeviceCaps(HDC dc, int index) {
    auto d = dcOf(dc);
    if (!d) return 0;
    bool printer = d->kind == DcKind::Printer ||
                   (d->kind == DcKind::Memory && d->compatibleWith == DcKind::Printer);
    int depth = printer ? 24 : d->depth;
    int w = d->width, h = d->height;
    if (d->kind != DcKind::Memory && d->kind != DcKind::Recording) {
        RECT b = d->deviceBounds();
        if (d->kind == DcKind::Printer || d->kind == DcKind::Screen) w = b.right, h = b.bottom;
    }
    switch (index) {
    case DRIVERVERSION: return 0x4000;
    case TECHNOLOGY: return printer ? DT_RASPRINTER : DT_RASDISPLAY;
    case HORZSIZE: return int(std::lround(w * 25.4 / d->dpiX));
    case VERTSIZE: return int(std::lround(h * 25.4 / d->dpiY));
    case HORZRES: return w;
    case PHYSICALWIDTH: return d->physicalWidth > 0 ? d->physicalWidth : w;
    case VERTRES: return h;
    case PHYSICALHEIGHT: return d->physicalHeight > 0 ? d->physicalHeight : h;
    case PHYSICALOFFSETX: return d->physicalOffsetX;
    case PHYSICALOFFSETY: return d->physicalOffsetY;
    case SCALINGFACTORX:
    case SCALINGFACTORY: return 0;
    case BITSPIXEL: return depth;
    case PLANES: return 1;
    case NUMBRUSHES:
    case NUMPENS:
    case NUMCOLORS: return depth <= 8 ? 20 : -1;
    case NUMFONTS: return 0;
    case CURVECAPS:
    case LINECAPS:
    case POLYGONALCAPS: return 0xFF;
    case TEXTCAPS: return 0;
    case CLIPCAPS: return CP_RECTANGLE | CP_REGION;
    case RASTERCAPS: {
        int caps = RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT |
                   RC_STRETCHDIB;
        if (printer) caps |= RC_BANDING;
        if (!printer && depth <= 8) caps |= RC_PALETTE;
        return caps;
    }
    case ASPECTX:
    case ASPECTY: return 36;
    case ASPECTXY: return 51;
    case LOGPIXELSX: return d->dpiX;
    case LOGPIXELSY: return d->dpiY;
    case SIZEPALETTE: return !printer && depth <= 8 ? 256 : 0;
    case NUMRESERVED: return !printer && depth <= 8 ? 20 : 0;
    case COLORRES: return depth <= 8 ? 18 : 24;
    default: return 0;
    }
}

HGDIOBJ GetCurrentObject(HDC dc, UINT type) {
    auto d = dcOf(dc);
    if (!d) return nullptr;
    switch (type) {
    case OBJ_PEN: return d->st.pen->handle;
    case OBJ_BRUSH: return d->st.brush->handle;
    case OBJ_FONT: return d->st.font->handle;
    case OBJ_PAL: return d->st.palette->handle;
    case OBJ_BITMAP: return d->st.bitmap ? d->st.bitmap->handle : nullptr;
    default: SetLastError(ERROR_INVALID_PARAMETER); return nullptr;
    }
}

DWORD GetObjectType(HGDIOBJ object) {
    if (auto d = findDc(static_cast<HDC>(object)))
        return d->kind == DcKind::Memory ? OBJ_MEMDC : OBJ_DC;
    auto o = findObject(object);
    return o ? o->type : 0;
}

// ---------------------------------------------------------------- attributes

#define SD_ATTRIBUTE(Setter, Getter, Type, field, valid, fail)                                    \
    Type Setter(HDC dc, Type value) {                                                              \
        auto d = dcOf(dc);                                                                         \
        if (!d) return fail;                                                                       \
        if (d->logging) d->record(callLine(#Setter, value));                                                       \
        if (!(valid)) {                                                                            \
            SetLastError(ERROR_INVALID_PARAMETER);                                                 \
            return fail;                                                                           \
        }                                                                                          \
        if (d->meta && !metaAttribute(*d, #Setter, LONG(value))) return fail;                      \
        Type old = d->st.field;                                                                    \
        d->st.field = value;                                                                       \
        return old;                                                                                \
    }                                                                                              \
    Type Getter(HDC dc) {                                                                          \
        auto d = dcOf(dc);                                                                         \
        return d ? d->st.field : fail;                                                             \
    }

SD_ATTRIBUTE(SetBkColor, GetBkColor, COLORREF, bkColor, value != CLR_INVALID, CLR_INVALID)
SD_ATTRIBUTE(SetTextColor, GetTextColor, COLORREF, textColor, value != CLR_INVALID, CLR_INVALID)
SD_ATTRIBUTE(SetBkMode, GetBkMode, int, bkMode, value == OPAQUE || value == TRANSPARENT, 0)
SD_ATTRIBUTE(SetROP2, GetROP2, int, rop2, value >= R2_BLACK && value <= R2_WHITE, 0)
SD_ATTRIBUTE(SetPolyFillMode, GetPolyFillMode, int, polyFillMode,
             value == ALTERNATE || value == WINDING, 0)
SD_ATTRIBUTE(SetStretchBltMode, GetStretchBltMode, int, stretchMode,
             value >= BLACKONWHITE && value <= HALFTONE, 0)
SD_ATTRIBUTE(SetArcDirection, GetArcDirection, int, arcDirection,
             value == AD_CLOCKWISE || value == AD_COUNTERCLOCKWISE, 0)
#undef SD_ATTRIBUTE

BOOL SetBrushOrgEx(HDC dc, int x, int y, LPPOINT old) {
    auto d = dcOf(dc);
    if (!d) return FALSE;
    // The format of Windows metafiles has no brush origin: it is kept only on the context.
    if (d->meta && d->meta->enhanced && !metaInts(*d, EMR_SETBRUSHORGEX, {x, y})) return FALSE;
    if (old) *old = d->st.brushOrg;
    d->st.brushOrg = POINT{x, y};
    return TRUE;
}

BOOL GetBrushOrgEx(HDC dc, LPPOINT org) {
    auto d = dcOf(dc);
    if (!d || !org) return FALSE;
    *org = d->st.brushOrg;
    return TRUE;
}

BOOL GetCurrentPositionEx(HDC dc, LPPOINT point) {
    auto d = dcOf(dc);
    if (!d || !point) return FALSE;
    *point = d->st.position;
    return TRUE;
}

// ---------------------------------------------------------------- mapping

namespace {

void isotropic(DcState& st) {
    if (st.mapMode != MM_ISOTROPIC || !st.windowExt.cx || !st.windowExt.cy) return;
    // The viewport shrinks on one axis so that a logical unit is as long on both.
    double sx = std::fabs(double(st.viewportExt.cx) / st.windowExt.cx);
    double sy = std::fabs(double(st.viewportExt.cy) / st.windowExt.cy);
    if (sx < sy) {
        double v = std::copysign(sx * std::fabs(double(st.windowExt.cy)), double(st.viewportExt.cy));
        st.viewportExt.cy = SdDeviceCoord(std::round(v));
    } else if (sy < sx) {
        double v = std::copysign(sy * std::fabs(double(st.windowExt.cx)), double(st.viewportExt.cx));
        st.viewportExt.cx = SdDeviceCoord(std::round(v));
    }
}

template <class F> BOOL withDc(HDC dc, F&& f) {
    auto d = dcOf(dc);
    if (!d) return FALSE;
    return f(*d);
}

} // namespace

int SetMapMode(HDC dc, int mode) {
    auto d = dcOf(dc);
    if (!d) return 0;
    if (d->logging) d->record(callLine("SetMapMode", mode));
    if (mode < MM_TEXT || mode > MM_ANISOTROPIC) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (d->meta && !metaInts(*d, EMR_SETMAPMODE, {mode})) return 0;
    int old = d->st.mapMode;
    if (mode == old) return old;
    d->st.mapMode = mode;
    if (mode == MM_ISOTROPIC || mode == MM_ANISOTROPIC) {
        // Keep the current scale: the extents of the previous mode carry over.
        if (mode == MM_ISOTROPIC) isotropic(d->st);
    } else {
        applyMapModeExtents(*d);
    }
    return old;
}

int GetMapMode(HDC dc) {
    auto d = dcOf(dc);
    return d ? d->st.mapMode : 0;
}

BOOL SetWindowOrgEx(HDC dc, int x, int y, LPPOINT old) {
    return withDc(dc, [&](DeviceContext& d) {
        if (d.logging) d.record(callLine("SetWindowOrgEx", x, y));
        if (d.meta && !metaInts(d, EMR_SETWINDOWORGEX, {x, y})) return FALSE;
        if (old) *old = d.st.windowOrg;
        d.st.windowOrg = POINT{x, y};
        return TRUE;
    });
}
BOOL GetWindowOrgEx(HDC dc, LPPOINT org) {
    return withDc(dc, [&](DeviceContext& d) {
        if (!org) return FALSE;
        *org = d.st.windowOrg;
        return TRUE;
    });
}
BOOL OffsetWindowOrgEx(HDC dc, int dx, int dy, LPPOINT old) {
    return withDc(dc, [&](DeviceContext& d) {
        if (d.logging) d.record(callLine("OffsetWindowOrgEx", dx, dy));
        if (d.meta && !metaInts(d, EMR_SETWINDOWORGEX, {d.st.windowOrg.x + dx, d.st.windowOrg.y + dy})) return FALSE;
        if (old) *old = d.st.windowOrg;
        d.st.windowOrg.x += dx;
        d.st.windowOrg.y += dy;
        return TRUE;
    });
}
BOOL SetViewportOrgEx(HDC dc, int x, int y, LPPOINT old) {
    return withDc(dc, [&](DeviceContext& d) {
        if (d.logging) d.record(callLine("SetViewportOrgEx", x, y));
        if (d.meta && !metaInts(d, EMR_SETVIEWPORTORGEX, {x, y})) return FALSE;
        if (old) *old = d.st.viewportOrg;
        d.st.viewportOrg = POINT{x, y};
        return TRUE;
    });
}
BOOL GetViewportOrgEx(HDC dc, LPPOINT org) {
    return withDc(dc, [&](DeviceContext& d) {
        if (!org) return FALSE;
        *org = d.st.viewportOrg;
        return TRUE;
    });
}
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, LPPOINT old) {
    return withDc(dc, [&](DeviceContext& d) {
        if (d.logging) d.record(callLine("OffsetViewportOrgEx", dx, dy));
        if (d.meta && !metaInts(d, EMR_SETVIEWPORTORGEX, {d.st.viewportOrg.x + dx, d.st.viewportOrg.y + dy}))
            return FALSE;
        if (old) *old = d.st.viewportOrg;
        d.st.viewportOrg.x += dx;
        d.st.viewportOrg.y += dy;
        return TRUE;
    });
}

namespace {

BOOL setExtent(HDC dc, int x, int y, LPSIZE old, bool window) {
    return withDc(dc, [&](DeviceContext& d) {
        if (d.logging) d.record(callLine(window ? "SetWindowExtEx" : "SetViewportExtEx", x, y));
        SIZE& ext = window ? d.st.windowExt : d.st.viewportExt;
        if (old) *old = ext;
        if (d.st.mapMode != MM_ISOTROPIC && d.st.mapMode != MM_ANISOTROPIC) return TRUE;
        if (x == 0 || y == 0) return failWith(ERROR_INVALID_PARAMETER);
        if (d.meta && !metaInts(d, window ? EMR_SETWINDOWEXTEX : EMR_SETVIEWPORTEXTEX, {x, y})) return FALSE;
        ext = SIZE{x, y};
        isotropic(d.st);
        return TRUE;
    });
}

BOOL scaleExtent(HDC dc, int xn, int xd, int yn, int yd, LPSIZE old, bool window) {
    return withDc(dc, [&](DeviceContext& d) {
        SIZE& ext = window ? d.st.windowExt : d.st.viewportExt;
        if (old) *old = ext;
        if (d.st.mapMode != MM_ISOTROPIC && d.st.mapMode != MM_ANISOTROPIC) return TRUE;
        if (!xd || !yd) return failWith(ERROR_INVALID_PARAMETER);
        int cx = MulDiv(ext.cx, xn, xd), cy = MulDiv(ext.cy, yn, yd);
        if (cx == 0 || cy == 0) return failWith(ERROR_INVALID_PARAMETER);
        if (d.meta && !metaInts(d, window ? EMR_SETWINDOWEXTEX : EMR_SETVIEWPORTEXTEX, {cx, cy})) return FALSE;
        ext = SIZE{cx, cy};
        isotropic(d.st);
        return TRUE;
    });
}

} // namespace

BOOL SetWindowExtEx(HDC dc, int x, int y, LPSIZE old) {
    return setExtent(dc, x, y, old, true);
}
BOOL SetViewportExtEx(HDC dc, int x, int y, LPSIZE old) {
    return setExtent(dc, x, y, old, false);
}
BOOL GetWindowExtEx(HDC dc, LPSIZE ext) {
    return withDc(dc, [&](DeviceContext& d) {
        if (!ext) return FALSE;
        *ext = d.st.windowExt;
        return TRUE;
    });
}
BOOL GetViewportExtEx(HDC dc, LPSIZE ext) {
    return withDc(dc, [&](DeviceContext& d) {
        if (!ext) return FALSE;
        *ext = d.st.viewportExt;
        return TRUE;
    });
}
BOOL ScaleWindowExtEx(HDC dc, int xn, int xd, int yn, int yd, LPSIZE old) {
    return scaleExtent(dc, xn, xd, yn, yd, old, true);
}
BOOL ScaleViewportExtEx(HDC dc, int xn, int xd, int yn, int yd, LPSIZE old) {
    return scaleExtent(dc, xn, xd, yn, yd, old, false);
}

int SetGraphicsMode(HDC dc, int mode) {
    auto d = dcOf(dc);
    if (!d) return 0;
    if (mode != GM_COMPATIBLE && mode != GM_ADVANCED) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // Back to compatible only with an identity world transform.
    const XFORM& w = d->st.world;
    if (mode == GM_COMPATIBLE &&
        !(w.eM11 == 1 && w.eM12 == 0 && w.eM21 == 0 && w.eM22 == 1 && w.eDx == 0 && w.eDy == 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int old = d->st.graphicsMode;
    d->st.graphicsMode = mode;
    return old;
}

int GetGraphicsMode(HDC dc) {
    auto d = dcOf(dc);
    return d ? d->st.graphicsMode : 0;
}

BOOL SetWorldTransform(HDC dc, const XFORM* xf) {
    return withDc(dc, [&](DeviceContext& d) {
        if (!xf || d.st.graphicsMode != GM_ADVANCED) return failWith(ERROR_INVALID_PARAMETER);
        if (xf->eM11 * xf->eM22 - xf->eM12 * xf->eM21 == 0) return failWith(ERROR_INVALID_PARAMETER);
        if (d.meta && !metaXform(d, EMR_SETWORLDTRANSFORM, *xf, 0)) return FALSE;
        d.st.world = *xf;
        return TRUE;
    });
}

BOOL GetWorldTransform(HDC dc, XFORM* xf) {
    return withDc(dc, [&](DeviceContext& d) {
        if (!xf) return FALSE;
        *xf = d.st.world;
        return TRUE;
    });
}

BOOL ModifyWorldTransform(HDC dc, const XFORM* xf, DWORD mode) {
    return withDc(dc, [&](DeviceContext& d) {
        if (d.st.graphicsMode != GM_ADVANCED) return failWith(ERROR_INVALID_PARAMETER);
        if (d.meta && !metaXform(d, EMR_MODIFYWORLDTRANSFORM, xf ? *xf : XFORM{1, 0, 0, 1, 0, 0}, mode))
            return FALSE;
        if (mode == MWT_IDENTITY) {
            d.st.world = XFORM{1, 0, 0, 1, 0, 0};
            return TRUE;
        }
        if (!xf || (mode != MWT_LEFTMULTIPLY && mode != MWT_RIGHTMULTIPLY))
            return failWith(ERROR_INVALID_PARAMETER);
        const XFORM& w = d.st.world;
        Matrix cur{w.eM11, w.eM12, w.eM21, w.eM22, w.eDx, w.eDy};
        Matrix m{xf->eM11, xf->eM12, xf->eM21, xf->eM22, xf->eDx, xf->eDy};
        // Left multiplication applies the new transform first.
        Matrix r = mode == MWT_LEFTMULTIPLY ? m.then(cur) : cur.then(m);
        d.st.world = XFORM{FLOAT(r.a), FLOAT(r.b), FLOAT(r.c), FLOAT(r.d), FLOAT(r.e), FLOAT(r.f)};
        return TRUE;
    });
}

BOOL LPtoDP(HDC dc, LPPOINT points, int count) {
    return withDc(dc, [&](DeviceContext& d) {
        if (count < 0 || (count > 0 && !points)) return failWith(ERROR_INVALID_PARAMETER);
        for (int i = 0; i < count; ++i) points[i] = d.lpToDpPoint(points[i].x, points[i].y);
        return TRUE;
    });
}

BOOL DPtoLP(HDC dc, LPPOINT points, int count) {
    return withDc(dc, [&](DeviceContext& d) {
        if (count < 0 || (count > 0 && !points)) return failWith(ERROR_INVALID_PARAMETER);
        Matrix inv;
        if (!d.toDevice().invert(inv)) return failWith(ERROR_INVALID_PARAMETER);
        for (int i = 0; i < count; ++i) {
            double x, y;
            inv.apply(points[i].x, points[i].y, x, y);
            points[i] = POINT{SdDeviceCoord(std::floor(x + 0.5)), SdDeviceCoord(std::floor(y + 0.5))};
        }
        return TRUE;
    });
}

int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    __int128 p = __int128(a) * b;
    bool neg = (p < 0) != (c < 0);
    __int128 ap = p < 0 ? -p : p, ac = c < 0 ? -__int128(c) : __int128(c);
    __int128 q = (ap + ac / 2) / ac;
    if (neg) q = -q;
    if (q > std::numeric_limits<int>::max() || q < std::numeric_limits<int>::min()) return -1;
    return int(q);
}

BOOL GdiFlush() {
    return TRUE;
}
