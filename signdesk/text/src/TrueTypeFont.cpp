#include "text/TrueTypeFont.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "text/FontRegistry.h"
#include "win32/nls.h"
#include "win32/wingdi.h"

IMPLEMENT_SERIAL(TrueTypeFont, GeneralFont, 1)

LOGFONTA CurrentFaceLogFont{};
NEWTEXTMETRICA CurrentFaceTextMetric{};

namespace {

constexpr DWORD OutlineFlags = NTM_PS_OPENTYPE | NTM_TT_OPENTYPE | NTM_TYPE1; // 0x160000

bool isOutline(DWORD fontType, const NEWTEXTMETRICA* ntm) {
    return (fontType & TRUETYPE_FONTTYPE) != 0 ||
           (ntm != nullptr && (ntm->ntmFlags & OutlineFlags) != 0);
}

// One lookup over the enumerated styles: answers true to stop.
struct Lookup {
    enum Kind { List, ByName, ByLogFont } kind;
    const char* name = nullptr;
    const LOGFONTA* wanted = nullptr;
    CString* nameOut = nullptr;
    NEWTEXTMETRICA* metricsOut = nullptr;
    bool found = false;
    HDC dc = nullptr;

    bool take(const ENUMLOGFONTA& elf, const NEWTEXTMETRICA& ntm) {
        CString full = BuildFaceName(elf);
        switch (kind) {
        case List:
            AddFontName(TrueTypeFaceNames, full);
            return false;
        case ByName:
            if (name != nullptr && *name != 0 && std::strcmp(full, name) != 0) return false;
            CurrentFaceLogFont = elf.elfLogFont;
            CurrentFaceTextMetric = ntm;
            if (nameOut != nullptr) *nameOut = full;
            found = true;
            return true;
        case ByLogFont: {
            std::size_t n = strnlen(wanted->lfFaceName, LF_FACESIZE);
            const LOGFONTA& lf = elf.elfLogFont;
            if (std::strncmp(lf.lfFaceName, wanted->lfFaceName, n) != 0 ||
                lf.lfCharSet != wanted->lfCharSet || lf.lfWeight != wanted->lfWeight ||
                (lf.lfItalic != 0) != (wanted->lfItalic != 0))
                return false;
            if (nameOut != nullptr) *nameOut = full;
            if (metricsOut != nullptr) *metricsOut = ntm;
            found = true;
            return true;
        }
        }
        return false;
    }
};

int styleProc(const LOGFONTA* lf, const TEXTMETRICA* tm, DWORD fontType, LPARAM lParam) {
    auto* lookup = reinterpret_cast<Lookup*>(lParam);
    const auto* ntm = reinterpret_cast<const NEWTEXTMETRICA*>(tm);
    if (!isOutline(fontType, ntm)) return 1;
    return lookup->take(*reinterpret_cast<const ENUMLOGFONTA*>(lf), *ntm) ? 0 : 1;
}

int familyProc(const LOGFONTA* lf, const TEXTMETRICA* tm, DWORD fontType, LPARAM lParam) {
    auto* lookup = reinterpret_cast<Lookup*>(lParam);
    if (lf->lfCharSet == MAC_CHARSET) return 1;
    if (GetSystemMetrics(SM_DBCSENABLED) && lf->lfFaceName[0] == '@') return 1;
    if (!isOutline(fontType, reinterpret_cast<const NEWTEXTMETRICA*>(tm))) return 1;
    char face[LF_FACESIZE + 1] = {};
    std::memcpy(face, lf->lfFaceName, LF_FACESIZE);
    EnumFontFamiliesA(lookup->dc, face, styleProc, lParam);
    return lookup->found && lookup->kind != Lookup::List ? 0 : 1;
}

void runLookup(Lookup& lookup) {
    lookup.dc = CreateCompatibleDC(nullptr);
    EnumFontFamiliesA(lookup.dc, nullptr, familyProc, reinterpret_cast<LPARAM>(&lookup));
    DeleteDC(lookup.dc);
}

// The integer part of a FIXED: its floor.
int whole(const FIXED& f) {
    return f.value;
}
std::int32_t full(const FIXED& f) {
    return std::int32_t(std::uint32_t(std::uint16_t(f.value)) << 16 | f.fract);
}

void closeContour(Path& path) {
    path.Close();
    path.ClosePath();
}

} // namespace

CString BuildFaceName(const ENUMLOGFONTA& elf) {
    char face[LF_FACESIZE + 1] = {};
    char style[LF_FACESIZE + 1] = {};
    std::memcpy(face, elf.elfLogFont.lfFaceName, LF_FACESIZE);
    std::memcpy(style, elf.elfStyle, LF_FACESIZE);
    CString name;
    if (std::strcmp(style, "Regular") == 0)
        name = face;
    else
        name.Format("%s %s", face, style);
    return name;
}

void EnumTrueTypeFonts() {
    TrueTypeFaceNames.RemoveAll();
    Lookup lookup{Lookup::List};
    runLookup(lookup);
}

int FindTrueTypeFace(const char* name) {
    Lookup lookup{Lookup::ByName};
    lookup.name = name != nullptr ? name : "";
    runLookup(lookup);
    if (lookup.found) return 0;
    EnumTrueTypeFonts();
    return -1;
}

int FindTrueTypeFaceByLogFont(const LOGFONTA* wanted, CString& name, NEWTEXTMETRICA* metrics) {
    if (wanted == nullptr) return -1;
    Lookup lookup{Lookup::ByLogFont};
    lookup.wanted = wanted;
    lookup.nameOut = &name;
    lookup.metricsOut = metrics;
    runLookup(lookup);
    return lookup.found ? 0 : -1;
}

CString GetFirstTrueTypeFace() {
    CString name;
    Lookup lookup{Lookup::ByName};
    lookup.name = "";
    lookup.nameOut = &name;
    runLookup(lookup);
    return name;
}

namespace {

// Appends the outline of a code in the font selected into dc; 1 done, 0 no outline, -1 a
// failed fetch.
int appendOutline(HDC dc, std::uint16_t code, Path& path) {
    const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    GLYPHMETRICS gm;
    // Records land in a buffer kept between calls: one fetch when they fit, else the size
    // first.
    thread_local std::vector<std::uint8_t> buffer(4096);
    DWORD size =
        GetGlyphOutlineA(dc, code, GGO_NATIVE, &gm, DWORD(buffer.size()), buffer.data(), &identity);
    if (size == GDI_ERROR) {
        size = GetGlyphOutlineA(dc, code, GGO_NATIVE, &gm, 0, nullptr, &identity);
        if (size == GDI_ERROR) return -1;
        if (size < 1) return 0;
        buffer.resize(size);
        if (GetGlyphOutlineA(dc, code, GGO_NATIVE, &gm, size, buffer.data(), &identity) != size)
            return -1;
    }
    if (size < 1) return 0;
    const std::uint8_t* data = buffer.data();

    // Every record is checked against the bytes GDI gave before it is read.
    std::size_t at = 0;
    while (at + sizeof(TTPOLYGONHEADER) <= size) {
        TTPOLYGONHEADER h;
        std::memcpy(&h, data + at, sizeof h);
        if (h.cb < sizeof h || h.cb > size - at) break;
        std::size_t end = at + h.cb;
        if (h.dwType != TT_POLYGON_TYPE) {
            at = end;
            continue;
        }
        float ax = float(whole(h.pfxStart.x)), ay = float(whole(h.pfxStart.y));
        path.Append(PC_MOVETO, ax, ay);
        std::size_t p = at + sizeof h;
        while (p + 4 <= end) {
            WORD type, count;
            std::memcpy(&type, data + p, 2);
            std::memcpy(&count, data + p + 2, 2);
            if (count > (end - p - 4) / sizeof(POINTFX)) break;
            const std::uint8_t* points = data + p + 4;
            auto pt = [points](std::size_t i) {
                POINTFX q;
                std::memcpy(&q, points + i * sizeof(POINTFX), sizeof q);
                return q;
            };
            p += 4 + std::size_t(count) * sizeof(POINTFX);
            if (type == TT_PRIM_LINE) {
                for (std::size_t i = 0; i < count; ++i) {
                    const POINTFX q = pt(i);
                    ax = float(whole(q.x)), ay = float(whole(q.y));
                    path.Append(PC_LINETO, ax, ay);
                }
            } else if (type == TT_PRIM_QSPLINE) {
                // A line to the record's start when the path is not there yet.
                if (path.LastPoint().x != ax || path.LastPoint().y != ay)
                    path.Append(PC_LINETO, ax, ay);
                for (std::size_t i = 0; i + 1 < count; ++i) {
                    const POINTFX b = pt(i), n = pt(i + 1);
                    double bx = whole(b.x), by = whole(b.y), cx, cy;
                    if (i + 2 == count) {
                        cx = whole(n.x), cy = whole(n.y);
                        ++i;
                    } else {
                        // The implied point: the midpoint of two control points, halved toward
                        // zero in 16.16, then its integer part.
                        std::int32_t mx = std::int32_t((std::int64_t(full(b.x)) + full(n.x)) / 2);
                        std::int32_t my = std::int32_t((std::int64_t(full(b.y)) + full(n.y)) / 2);
                        cx = mx >> 16, cy = my >> 16;
                    }
                    path.Append(PC_CURVETO, float(std::trunc(ax / 3.0 + 2.0 * bx / 3.0)),
                                float(std::trunc(ay / 3.0 + 2.0 * by / 3.0)));
                    path.Append(PC_CURVEPOINT, float(std::trunc(cx / 3.0 + 2.0 * bx / 3.0)),
                                float(std::trunc(cy / 3.0 + 2.0 * by / 3.0)));
                    path.Append(PC_CURVEPOINT, float(cx), float(cy));
                    ax = float(cx), ay = float(cy);
                }
            } else if (type == TT_PRIM_CSPLINE) {
                // Cubic outlines (CFF and Type 1 faces): control, control, end per curve.
                if (path.LastPoint().x != ax || path.LastPoint().y != ay)
                    path.Append(PC_LINETO, ax, ay);
                for (std::size_t i = 0; i + 2 < count; i += 3) {
                    const POINTFX c1 = pt(i), c2 = pt(i + 1), e = pt(i + 2);
                    path.Append(PC_CURVETO, float(whole(c1.x)), float(whole(c1.y)));
                    path.Append(PC_CURVEPOINT, float(whole(c2.x)), float(whole(c2.y)));
                    ax = float(whole(e.x)), ay = float(whole(e.y));
                    path.Append(PC_CURVEPOINT, ax, ay);
                }
            }
        }
        closeContour(path);
        at = end;
    }
    closeContour(path);
    return 1;
}

} // namespace

int GlyphOutlineToPath(HFONT font, std::uint16_t code, Path& path, HDC dc) {
    if (font == nullptr) return -1;
    HDC own = nullptr;
    if (dc == nullptr) dc = own = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    const int result = appendOutline(dc, code, path);
    SelectObject(dc, old);
    if (own != nullptr) DeleteDC(own);
    return result;
}

// A context with the open font selected, kept while the font is open.
HDC TrueTypeFont::fontDc() {
    if (hFont == nullptr) return nullptr;
    if (dc_ == nullptr) dc_ = CreateCompatibleDC(nullptr);
    if (dc_ != nullptr && dcFont_ != hFont) {
        SelectObject(dc_, hFont);
        dcFont_ = hFont;
    }
    return dc_;
}

TrueTypeFont::~TrueTypeFont() {
    TrueTypeFont::Unload();
}

float TrueTypeFont::emOf(LONG height) const {
    if (height < 0) return float(-height);
    if (CurrentFaceTextMetric.ntmCellHeight > 0 && CurrentFaceTextMetric.ntmSizeEM > 0)
        return float(double(height) * CurrentFaceTextMetric.ntmSizeEM /
                     CurrentFaceTextMetric.ntmCellHeight);
    return float(height);
}

int TrueTypeFont::Load() {
    if (hFont != nullptr) return 1;
    if (FindTrueTypeFace(fontName) == -1) return 0;
    ReadKerningFile();
    ReadBaselineShiftFile();
    LOGFONTA lf = CurrentFaceLogFont;
    lf.lfHeight = 2048;
    lf.lfWidth = 0;
    hFont = CreateFontIndirectA(&lf);
    shiftJis = lf.lfCharSet == SHIFTJIS_CHARSET ? 1 : 0;
    NormaliseToGlyphTop(shiftJis ? 0x967B : 77, emOf(2048));
    return hFont != nullptr ? 1 : 0;
}

void TrueTypeFont::Unload() {
    kerningPairs.Reset();
    if (dc_ != nullptr) DeleteDC(dc_);
    dc_ = nullptr;
    dcFont_ = nullptr;
    if (hFont != nullptr) DeleteObject(hFont);
    hFont = nullptr;
}

void TrueTypeFont::CreateFromLogFont(const LOGFONTA* lf) {
    Unload();
    if (lf == nullptr) return;
    CString ignored;
    FindTrueTypeFaceByLogFont(lf, ignored, &CurrentFaceTextMetric);
    hFont = CreateFontIndirectA(lf);
    char face[LF_FACESIZE + 1] = {};
    std::memcpy(face, lf->lfFaceName, LF_FACESIZE);
    fontName = face;
    shiftJis = lf->lfCharSet == SHIFTJIS_CHARSET ? 1 : 0;
    NormaliseToGlyphTop(shiftJis ? 0x967B : 77, emOf(lf->lfHeight));
}

int TrueTypeFont::GetCharPath(std::uint16_t code, Path& path) {
    path.subPaths.Reset();
    HDC dc = fontDc();
    const int fetched = dc != nullptr ? appendOutline(dc, code, path)
                                      : GlyphOutlineToPath(hFont, code, path, nullptr);
    // A glyph without contours (a no-break space) stays empty; only a code the face lacks,
    // or a face that is not open, gets the missing-glyph box.
    if (path.subPaths.Filled() > 0 || fetched == 0) return 1;
    float s = 1.0f;
    if (hFont != nullptr && glyphMatrix.m11 > 0 && std::isfinite(1.0f / glyphMatrix.m11))
        s = 1.0f / glyphMatrix.m11;
    path.Append(PC_MOVETO, 0, 0);
    path.Append(PC_LINETO, s, 0);
    path.Append(PC_LINETO, s, s);
    path.Append(PC_LINETO, 0, s);
    closeContour(path);
    path.Prepare();
    return 0;
}

float TrueTypeFont::GetCharWidth(std::uint16_t code) {
    HDC dc = fontDc();
    if (dc == nullptr) return 0.0f;
    ABC abc;
    float w = 0.0f;
    if (GetCharABCWidthsA(dc, code, code, &abc)) {
        float x = float(abc.abcA + int(abc.abcB) + abc.abcC), y = 0;
        glyphMatrix.dTransform(x, y);
        w = x;
    }
    return w;
}
