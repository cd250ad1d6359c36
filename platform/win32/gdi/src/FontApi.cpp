// The font functions of the drawing layer over the installed faces (fontface): logical
// fonts, enumeration, native glyph outlines, widths and metrics, and text drawn by filling
// glyph outlines.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "DeviceContext.h"
#include "GdiObjects.h"
#include "Paint.h"
#include "TextDrawing.h"
#include "fontface/FontFaces.h"
#include "win32/FontTesting.h"
#include "win32/gdifont.h"
#include "win32/nls.h"

namespace sdgdi {

namespace {

// A logical font made by CreateFontIndirectA; the face is opened on first use.
class OutlineFontObject : public FontObject {
public:
    LOGFONTA lf{};
};

std::mutex g_facesLock;
// Faces of the fonts in use, by font object; an entry lives as long as its object.
std::map<const FontObject*,
         std::pair<std::weak_ptr<FontObject>, std::shared_ptr<fontface::ScaledFace>>>
    g_faces;

LOGFONTA logicalOf(const FontObject& font) {
    if (auto* o = dynamic_cast<const OutlineFontObject*>(&font)) return o->lf;
    LOGFONTA lf{};
    lf.lfHeight = font.height;
    lf.lfWeight = FW_NORMAL;
    std::strncpy(lf.lfFaceName, font.face.c_str(), LF_FACESIZE - 1);
    return lf;
}

std::shared_ptr<fontface::ScaledFace> faceOf(DeviceContext& dc) {
    std::shared_ptr<FontObject> font = dc.st.font;
    if (!font) return nullptr;
    std::lock_guard<std::mutex> lock(g_facesLock);
    auto it = g_faces.find(font.get());
    if (it != g_faces.end() && !it->second.first.expired()) return it->second.second;
    // Drop entries of deleted fonts.
    for (auto e = g_faces.begin(); e != g_faces.end();)
        e = e->second.first.expired() ? g_faces.erase(e) : std::next(e);
    std::shared_ptr<fontface::ScaledFace> face(
        fontface::ScaledFace::Open(logicalOf(*font)).release());
    g_faces[font.get()] = {font, face};
    return face;
}

// The codes of ANSI text: a byte, or lead × 256 + trail under a double-byte code page.
std::vector<UINT> codesOf(const char* text, int length) {
    std::vector<UINT> codes;
    for (int i = 0; i < length; ++i) {
        auto b = static_cast<unsigned char>(text[i]);
        if (IsDBCSLeadByte(b) && i + 1 < length)
            codes.push_back((UINT(b) << 8) | static_cast<unsigned char>(text[++i]));
        else
            codes.push_back(b);
    }
    return codes;
}

long advanceOf(fontface::ScaledFace& face, UINT code) {
    ABC abc;
    if (!face.CharABCWidths(code, code, &abc)) return 0;
    return abc.abcA + long(abc.abcB) + abc.abcC;
}

// Cell metrics of the face at the font's size, in logical units.
void cellOf(const fontface::ScaledFace& face, long& ascent, long& descent) {
    const fontface::Face& f = face.FaceInfo();
    double scale = face.Height() > 0 ? double(face.Height()) / f.cellHeight
                                     : double(-face.Height()) / f.unitsPerEm;
    ascent = std::lround(f.ntm.tmAscent * scale);
    descent = std::lround(f.ntm.tmDescent * scale);
}

double fixedToDouble(const FIXED& f) {
    return double(f.value) + double(f.fract) / 65536.0;
}

// Flattens a native outline (glyph units, y up) into device polygons at `origin`.
void outlinePolygons(const std::vector<std::uint8_t>& data, double ox, double oy, double scale,
                     std::vector<FixPolygon>& polygons) {
    auto fix = [&](double gx, double gy) {
        return FixPoint{std::llround((ox + gx * scale) * kFix),
                        std::llround((oy - gy * scale) * kFix)};
    };
    std::size_t at = 0;
    while (at + sizeof(TTPOLYGONHEADER) <= data.size()) {
        TTPOLYGONHEADER h;
        std::memcpy(&h, data.data() + at, sizeof h);
        if (h.cb < sizeof h || h.cb > data.size() - at) break;
        FixPolygon poly;
        double cx = fixedToDouble(h.pfxStart.x), cy = fixedToDouble(h.pfxStart.y);
        poly.push_back(fix(cx, cy));
        std::size_t p = at + sizeof h, end = at + h.cb;
        while (p + 4 <= end) {
            WORD type, count;
            std::memcpy(&type, data.data() + p, 2);
            std::memcpy(&count, data.data() + p + 2, 2);
            if (count > (end - p - 4) / sizeof(POINTFX)) break;
            std::vector<std::pair<double, double>> pts(count);
            for (WORD i = 0; i < count; ++i) {
                POINTFX q;
                std::memcpy(&q, data.data() + p + 4 + i * sizeof q, sizeof q);
                pts[i] = {fixedToDouble(q.x), fixedToDouble(q.y)};
            }
            p += 4 + std::size_t(count) * sizeof(POINTFX);
            const int steps = 8;
            if (type == TT_PRIM_LINE) {
                for (auto [x, y] : pts)
                    poly.push_back(fix(cx = x, cy = y));
            } else if (type == TT_PRIM_QSPLINE) {
                for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
                    auto [bx, by] = pts[i];
                    double ex =
                        i + 2 == pts.size() ? pts[i + 1].first : (bx + pts[i + 1].first) / 2;
                    double ey =
                        i + 2 == pts.size() ? pts[i + 1].second : (by + pts[i + 1].second) / 2;
                    for (int s = 1; s <= steps; ++s) {
                        double t = double(s) / steps, u = 1 - t;
                        poly.push_back(fix(u * u * cx + 2 * u * t * bx + t * t * ex,
                                           u * u * cy + 2 * u * t * by + t * t * ey));
                    }
                    cx = ex, cy = ey;
                }
            } else if (type == TT_PRIM_CSPLINE) {
                for (std::size_t i = 0; i + 2 < pts.size(); i += 3) {
                    auto [ax, ay] = pts[i];
                    auto [bx, by] = pts[i + 1];
                    auto [ex, ey] = pts[i + 2];
                    for (int s = 1; s <= steps; ++s) {
                        double t = double(s) / steps, u = 1 - t;
                        poly.push_back(fix(u * u * u * cx + 3 * u * u * t * ax +
                                               3 * u * t * t * bx + t * t * t * ex,
                                           u * u * u * cy + 3 * u * u * t * ay +
                                               3 * u * t * t * by + t * t * t * ey));
                    }
                    cx = ex, cy = ey;
                }
            }
        }
        if (poly.size() >= 3) polygons.push_back(std::move(poly));
        at = end;
    }
}

} // namespace

BOOL textExtent(DeviceContext& dc, const char* text, int length, SIZE* size) {
    std::shared_ptr<fontface::ScaledFace> face = faceOf(dc);
    if (!face || size == nullptr || (text == nullptr && length > 0) || length < 0)
        return failWith(ERROR_INVALID_PARAMETER);
    long width = 0;
    for (UINT code : codesOf(text, length))
        width += advanceOf(*face, code);
    long ascent, descent;
    cellOf(*face, ascent, descent);
    size->cx = LONG(width);
    size->cy = LONG(ascent + descent);
    return TRUE;
}

BOOL drawText(DeviceContext& dc, int x, int y, UINT align, UINT options, const RECT* rect,
              const char* text, int length, const INT* dx, bool opaqueCell) {
    // Alignment and output options, as the drawing layer numbers them.
    constexpr UINT kUpdateCp = 1, kRight = 2, kCenter = 6, kBottom = 8, kBaseline = 24;
    constexpr UINT kOpaque = 2, kClipped = 4;
    if (length < 0 || (length > 0 && text == nullptr)) return failWith(ERROR_INVALID_PARAMETER);
    // Without any installed face there is nothing to draw with; the call still succeeds.
    std::shared_ptr<fontface::ScaledFace> face = faceOf(dc);
    if (!face) return TRUE;
    long ascent, descent;
    cellOf(*face, ascent, descent);
    std::vector<UINT> codes = codesOf(text, length);
    std::vector<long> advances;
    long width = 0;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        advances.push_back(dx != nullptr ? dx[i] : advanceOf(*face, codes[i]));
        width += advances.back();
    }
    if (align & kUpdateCp) {
        x = dc.st.position.x;
        y = dc.st.position.y;
    }
    long left = x;
    if ((align & kCenter) == kCenter)
        left = x - width / 2;
    else if (align & kRight)
        left = x - width;
    long top = y;
    if ((align & kBaseline) == kBaseline)
        top = y - ascent;
    else if (align & kBottom)
        top = y - ascent - descent;
    if (align & kUpdateCp) {
        if (!(align & kRight))
            dc.st.position.x = LONG(left + width);
        else if ((align & kCenter) != kCenter)
            dc.st.position.x = LONG(left);
    }
    if (!dc.draws()) return TRUE;

    auto fillBox = [&](const RECT& r, COLORREF color) {
        FixPoint a = dc.lpToFixCorner(r.left, r.top), b = dc.lpToFixCorner(r.right, r.bottom);
        std::vector<FixPolygon> box = {{a, {b.x, a.y}, b, {a.x, b.y}}};
        Ink ink = Ink::solid(dc, color);
        Painter painter(dc, ink);
        fillPolygons(box, true, painter.bounds(), painter.sink());
    };
    if ((options & kOpaque) && rect != nullptr) fillBox(*rect, dc.st.bkColor);
    if (opaqueCell)
        fillBox(RECT{LONG(left), LONG(top), LONG(left + width), LONG(top + ascent + descent)},
                dc.st.bkColor);

    double scale = dc.lengthScale();
    double ox, oy;
    dc.lpToDp(double(left), double(top), ox, oy);
    std::vector<FixPolygon> polygons;
    double pen = 0; // logical units along the line
    // At user-interface sizes on an unscaled context the face's own hinted one-bit glyphs
    // are drawn: crisp stems, the same pixels on every machine with the face.
    double ux, uy, vx, vy;
    dc.lpToDp(double(left) + 1, double(top), ux, uy);
    dc.lpToDp(double(left), double(top) + 1, vx, vy);
    const bool unscaled = ux - ox == 1 && uy == oy && vx == ox && vy - oy == 1;
    if (unscaled && face->PixelsPerEm() <= 24) {
        const long baseX = std::lround(ox), baseY = std::lround(oy) + ascent;
        fontface::ScaledFace::MonoGlyph g;
        for (std::size_t i = 0; i < codes.size(); ++i) {
            if (face->RenderMono(codes[i], g)) {
                const long gx = baseX + std::lround(pen) + g.left, gy = baseY - g.top;
                for (int y = 0; y < g.height; ++y)
                    for (int x = 0; x < g.width;) {
                        if (!g.pixels[std::size_t(y) * std::size_t(g.width) + std::size_t(x)]) {
                            ++x;
                            continue;
                        }
                        int end = x;
                        while (end < g.width && g.pixels[std::size_t(y) * std::size_t(g.width) + std::size_t(end)]) ++end;
                        const std::int64_t x0 = (gx + x) * kFix, x1 = (gx + end) * kFix;
                        const std::int64_t y0 = (gy + y) * kFix, y1 = (gy + y + 1) * kFix;
                        polygons.push_back({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
                        x = end;
                    }
            }
            pen += advances[i];
        }
        codes.clear();
    }
    for (std::size_t i = 0; i < codes.size(); ++i) {
        DWORD size = face->GlyphOutline(codes[i], GGO_NATIVE, nullptr, 0, nullptr, nullptr);
        if (size != GDI_ERROR && size > 0) {
            std::vector<std::uint8_t> data(size);
            if (face->GlyphOutline(codes[i], GGO_NATIVE, nullptr, size, data.data(), nullptr) ==
                size)
                outlinePolygons(data, ox + pen * scale, oy + ascent * scale, scale, polygons);
        }
        pen += advances[i];
    }
    if (polygons.empty()) return TRUE;
    Ink ink = Ink::solid(dc, dc.st.textColor);
    Painter painter(dc, ink);
    PixelBox bounds = painter.bounds();
    if ((options & kClipped) && rect != nullptr) {
        FixPoint a = dc.lpToFixCorner(rect->left, rect->top),
                 b = dc.lpToFixCorner(rect->right, rect->bottom);
        bounds.left = std::max(bounds.left, std::min(a.x, b.x) / kFix);
        bounds.top = std::max(bounds.top, std::min(a.y, b.y) / kFix);
        bounds.right = std::min(bounds.right, std::max(a.x, b.x) / kFix);
        bounds.bottom = std::min(bounds.bottom, std::max(a.y, b.y) / kFix);
        if (bounds.empty()) return TRUE;
    }
    fillPolygons(polygons, true, bounds, painter.sink());
    return TRUE;
}

LOGFONTA logicalFontOf(const FontObject& font) {
    return logicalOf(font);
}

} // namespace sdgdi

using namespace sdgdi;

HFONT CreateFontIndirectA(const LOGFONTA* lf) {
    if (lf == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto font = std::make_shared<OutlineFontObject>();
    font->lf = *lf;
    font->lf.lfFaceName[LF_FACESIZE - 1] = 0;
    font->face = font->lf.lfFaceName;
    font->height = lf->lfHeight;
    return static_cast<HFONT>(registerObject(font));
}

int EnumFontFamiliesA(HDC dc, LPCSTR family, FONTENUMPROCA proc, LPARAM lParam) {
    if (!dcOf(dc) || proc == nullptr) return 0;
    int result = 1;
    std::vector<fontface::Face> faces = fontface::ListFaces();
    const char* last = nullptr;
    for (const fontface::Face& f : faces) {
        const char* name = f.elf.elfLogFont.lfFaceName;
        if (family == nullptr) {
            // One call per family: its first style.
            if (last != nullptr && std::strcmp(last, name) == 0) continue;
            last = name;
        } else if (strcasecmp(family, name) != 0) {
            continue;
        }
        result = proc(&f.elf.elfLogFont, reinterpret_cast<const TEXTMETRICA*>(&f.ntm), f.fontType,
                      lParam);
        if (result == 0) break;
    }
    return result;
}

DWORD GetGlyphOutlineA(HDC dc, UINT ch, UINT format, GLYPHMETRICS* metrics, DWORD bufferSize,
                       LPVOID buffer, const MAT2* matrix) {
    std::shared_ptr<DeviceContext> d = dcOf(dc);
    if (!d) return GDI_ERROR;
    std::shared_ptr<fontface::ScaledFace> face = faceOf(*d);
    if (!face) return GDI_ERROR;
    return face->GlyphOutline(ch, format, metrics, bufferSize, buffer, matrix);
}

BOOL GetCharABCWidthsA(HDC dc, UINT first, UINT last, ABC* widths) {
    std::shared_ptr<DeviceContext> d = dcOf(dc);
    if (!d) return FALSE;
    std::shared_ptr<fontface::ScaledFace> face = faceOf(*d);
    if (!face) return failWith(ERROR_INVALID_PARAMETER);
    return face->CharABCWidths(first, last, widths);
}

BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int length, SIZE* size) {
    std::shared_ptr<DeviceContext> d = dcOf(dc);
    if (!d) return FALSE;
    return textExtent(*d, text, length, size);
}

BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* tm) {
    std::shared_ptr<DeviceContext> d = dcOf(dc);
    if (!d || tm == nullptr) return FALSE;
    std::shared_ptr<fontface::ScaledFace> face = faceOf(*d);
    if (!face) return failWith(ERROR_INVALID_PARAMETER);
    const fontface::Face& f = face->FaceInfo();
    std::memcpy(tm, &f.ntm, sizeof *tm);
    long ascent, descent;
    cellOf(*face, ascent, descent);
    double scale = face->Height() > 0 ? double(face->Height()) / f.cellHeight
                                      : double(-face->Height()) / f.unitsPerEm;
    tm->tmAscent = LONG(ascent);
    tm->tmDescent = LONG(descent);
    tm->tmHeight = LONG(ascent + descent);
    tm->tmInternalLeading = LONG(std::lround(f.ntm.tmInternalLeading * scale));
    tm->tmAveCharWidth = LONG(std::lround(f.ntm.tmAveCharWidth * scale));
    tm->tmMaxCharWidth = LONG(std::lround(f.ntm.tmMaxCharWidth * scale));
    return TRUE;
}

UINT GetOutlineTextMetricsA(HDC dc, UINT size, OUTLINETEXTMETRICA* otm) {
    std::shared_ptr<DeviceContext> d = dcOf(dc);
    if (!d) return 0;
    std::shared_ptr<fontface::ScaledFace> face = faceOf(*d);
    if (!face) return 0;
    if (otm == nullptr) return sizeof(OUTLINETEXTMETRICA);
    if (size < sizeof(OUTLINETEXTMETRICA)) return 0;
    std::memset(otm, 0, sizeof *otm);
    otm->otmSize = sizeof *otm;
    GetTextMetricsA(dc, &otm->otmTextMetrics);
    otm->otmEMSquare = UINT(face->FaceInfo().unitsPerEm);
    otm->otmAscent = otm->otmTextMetrics.tmAscent;
    otm->otmDescent = -otm->otmTextMetrics.tmDescent;
    return sizeof *otm;
}

DWORD GetKerningPairsA(HDC dc, DWORD count, KERNINGPAIR* pairs) {
    std::shared_ptr<DeviceContext> d = dcOf(dc);
    if (!d) return 0;
    std::shared_ptr<fontface::ScaledFace> face = faceOf(*d);
    if (!face) return 0;
    std::vector<KERNINGPAIR> all = face->KerningPairs();
    if (pairs == nullptr || count == 0) return DWORD(all.size());
    DWORD n = DWORD(std::min<std::size_t>(count, all.size()));
    std::memcpy(pairs, all.data(), n * sizeof(KERNINGPAIR));
    return n;
}

void SdUseFontFiles(const std::vector<std::string>& files) {
    fontface::UseFontFiles(files);
    std::lock_guard<std::mutex> lock(g_facesLock);
    g_faces.clear();
}

void SdUseSystemFonts() {
    fontface::UseSystemFonts();
    std::lock_guard<std::mutex> lock(g_facesLock);
    g_faces.clear();
}
