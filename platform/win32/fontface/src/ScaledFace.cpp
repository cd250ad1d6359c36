// Glyph outlines and widths of a face at a logical font's size.
//
// Outlines are loaded unhinted and unscaled; a font unit u becomes the 16.16 number
// round(u * |lfHeight| * 65536 / base) in 64 bits, base being the cell height for a positive
// lfHeight and the em for a negative one; y points up. Each contour becomes a
// TTPOLYGONHEADER whose records run back to pfxStart (a closing curve is kept):
//   TT_PRIM_LINE     the on-curve points of a run of lines;
//   TT_PRIM_QSPLINE  the raw off-curve points of a quadratic run, then its on-curve end
//                    (the points between two off-curve points are implied midpoints);
//   TT_PRIM_CSPLINE  control, control, end for each cubic of a run (CFF and Type 1).
// A contour starts at its first on-curve point; when its first point is off-curve, at the
// last point if that is on-curve, else at the implied midpoint of the last and first.

#include <cmath>
#include <cstddef>
#include <cstring>
#include <map>
#include <vector>

#include <freetype/ftoutln.h>
#include <ft2build.h>

#include "FreeTypeLibrary.h"
#include "fontface/FontFaces.h"
#include "win32/nls.h"

namespace fontface {

struct ScaledFace::Impl {
    FT_Face ft = nullptr;
    std::int64_t num = 0; // |lfHeight|
    std::int64_t den = 1; // cell height or em, in font units
    bool symbol = false;
    // The last native outline made.
    bool cacheValid = false;
    FT_UInt cachedGlyph = 0;
    double cachedMatrix[4] = {};
    GLYPHMETRICS cachedMetrics{};
    std::vector<std::uint8_t> cachedBytes;
    // One-bit glyphs rendered so far, by code (false: the face has none).
    std::map<UINT, std::pair<bool, MonoGlyph>> monoGlyphs;
    ~Impl() {
        if (ft != nullptr) {
            std::lock_guard<std::mutex> lock(FreeTypeLock());
            FT_Done_Face(ft);
        }
    }

    // Font units to 16.16, rounded to nearest, saturated to what FIXED holds.
    std::int32_t fixed(std::int64_t units) const {
        std::int64_t p = units * num * 65536;
        std::int64_t q = p >= 0 ? (p + den / 2) / den : -((-p + den / 2) / den);
        if (q > 0x7FFFFFFF) q = 0x7FFFFFFF;
        if (q < -0x7FFFFFFFLL - 1) q = -0x7FFFFFFFLL - 1;
        return std::int32_t(q);
    }
    // Font units to whole logical units, rounded to nearest.
    long whole(std::int64_t units) const {
        std::int64_t p = units * num;
        return long(p >= 0 ? (p + den / 2) / den : -((-p + den / 2) / den));
    }

    // The glyphs of the single-byte codes under the code page they were found with, plus one
    // (0: not looked up yet).
    UINT byteGlyphsCodePage = 0;
    FT_UInt byteGlyphs[256] = {};

    // The glyph of a character code, 0 when the font has none.
    FT_UInt glyphOf(UINT code) {
        if (code > 0xFF) return lookUp(code);
        const UINT cp = GetACP();
        if (cp != byteGlyphsCodePage) {
            std::memset(byteGlyphs, 0, sizeof byteGlyphs);
            byteGlyphsCodePage = cp;
        }
        if (byteGlyphs[code] == 0) byteGlyphs[code] = lookUp(code) + 1;
        return byteGlyphs[code] - 1;
    }
    FT_UInt lookUp(UINT code) const {
        if (symbol) return FT_Get_Char_Index(ft, 0xF000 + (code & 0xFF));
        char bytes[2];
        int n = 0;
        if (code > 0xFF) bytes[n++] = char(code >> 8);
        bytes[n++] = char(code & 0xFF);
        WCHAR wide[2];
        int w = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes, n, wide, 2);
        if (w != 1) return 0;
        return FT_Get_Char_Index(ft, wide[0]);
    }
};

ScaledFace::~ScaledFace() = default;

std::unique_ptr<ScaledFace> ScaledFace::Open(const LOGFONTA& lf) {
    std::shared_ptr<const Face> face = MatchFace(lf);
    if (!face) return nullptr;
    std::unique_ptr<ScaledFace> sf(new ScaledFace);
    sf->impl_ = std::make_unique<Impl>();
    {
        std::lock_guard<std::mutex> lock(FreeTypeLock());
        FT_Library library = FreeTypeLibrary();
        if (library == nullptr ||
            FT_New_Face(library, face->file.c_str(), face->index, &sf->impl_->ft) != 0) {
            sf->impl_->ft = nullptr;
            return nullptr;
        }
        FT_Face ft = sf->impl_->ft;
        if (face->elf.elfLogFont.lfCharSet == SYMBOL_CHARSET &&
            FT_Select_Charmap(ft, FT_ENCODING_MS_SYMBOL) == 0)
            sf->impl_->symbol = true;
        else
            FT_Select_Charmap(ft, FT_ENCODING_UNICODE);
    }
    sf->face_ = face;
    // GDI's default size stands in for 0; sizes are capped so that products stay in 64 bits.
    LONG h = lf.lfHeight == 0 ? -12 : lf.lfHeight;
    if (h < -1000000) h = -1000000;
    if (h > 1000000) h = 1000000;
    sf->height_ = h;
    sf->impl_->num = h > 0 ? h : -std::int64_t(h);
    sf->impl_->den = h > 0 ? face->cellHeight : face->unitsPerEm;
    if (sf->impl_->den <= 0) sf->impl_->den = 1;
    return sf;
}

namespace {

struct FixedPoint {
    std::int32_t x, y;
};

FIXED toFixed(std::int32_t v) {
    FIXED f;
    f.fract = WORD(std::uint32_t(v) & 0xFFFF);
    f.value = SHORT(v >> 16);
    return f;
}

// Writes the records into a buffer sized beforehand to an upper bound of what they take.
class RecordWriter {
public:
    RecordWriter(std::vector<std::uint8_t>& bytes, std::size_t bound) : bytes_(bytes) {
        bytes_.resize(bound);
    }
    ~RecordWriter() { bytes_.resize(used_); }
    void startContour(FixedPoint start) {
        contourStart_ = used_;
        TTPOLYGONHEADER h{};
        h.dwType = TT_POLYGON_TYPE;
        h.pfxStart = POINTFX{toFixed(start.x), toFixed(start.y)};
        put(&h, sizeof h);
        recordType_ = 0;
    }
    void add(WORD type, FixedPoint p) {
        if (type != recordType_ || (type == TT_PRIM_QSPLINE && qsplineEnded_)) {
            recordStart_ = used_;
            const WORD head[2] = {type, 0};
            put(head, 4);
            recordType_ = type;
            count_ = 0;
        }
        POINTFX fx{toFixed(p.x), toFixed(p.y)};
        put(&fx, sizeof fx);
        ++count_;
        WORD c = count_;
        std::memcpy(bytes_.data() + recordStart_ + 2, &c, 2);
        qsplineEnded_ = false;
    }
    // A quadratic run ends at its on-curve point; the next run is a record of its own.
    void endQSpline() { qsplineEnded_ = true; }
    void endContour() {
        DWORD cb = DWORD(used_ - contourStart_);
        std::memcpy(bytes_.data() + contourStart_, &cb, 4);
    }

private:
    void put(const void* p, std::size_t n) {
        std::memcpy(bytes_.data() + used_, p, n);
        used_ += n;
    }
    std::vector<std::uint8_t>& bytes_;
    std::size_t used_ = 0;
    std::size_t contourStart_ = 0, recordStart_ = 0;
    WORD recordType_ = 0;
    WORD count_ = 0;
    bool qsplineEnded_ = false;
};

// The bytes needed, or the records copied into a buffer large enough.
DWORD deliver(const std::vector<std::uint8_t>& bytes, DWORD bufferSize, void* buffer) {
    if (buffer == nullptr || bufferSize == 0) return DWORD(bytes.size());
    if (bufferSize < bytes.size()) return GDI_ERROR;
    std::memcpy(buffer, bytes.data(), bytes.size());
    return DWORD(bytes.size());
}

} // namespace

double ScaledFace::PixelsPerEm() const {
    return double(impl_->num) * face_->unitsPerEm / double(impl_->den);
}

bool ScaledFace::RenderMono(UINT code, MonoGlyph& out) {
    Impl& im = *impl_;
    const double ppem = PixelsPerEm();
    if (ppem < 4 || ppem > 64) return false;
    std::lock_guard<std::mutex> lock(FreeTypeLock());
    if (auto it = im.monoGlyphs.find(code); it != im.monoGlyphs.end()) {
        if (it->second.first) out = it->second.second;
        return it->second.first;
    }
    if (im.monoGlyphs.size() > 4096) im.monoGlyphs.clear(); // double-byte code pages hold many
    im.monoGlyphs[code] = {false, MonoGlyph{}};
    const FT_UInt glyph = im.glyphOf(code);
    if (glyph == 0) return false;
    if (FT_Set_Char_Size(im.ft, 0, FT_F26Dot6(std::lround(ppem * 64)), 72, 72) != 0) return false;
    if (FT_Load_Glyph(im.ft, glyph, FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME | FT_LOAD_RENDER) != 0) return false;
    const FT_Bitmap& b = im.ft->glyph->bitmap;
    if (b.pixel_mode != FT_PIXEL_MODE_MONO) return false;
    out.width = int(b.width);
    out.height = int(b.rows);
    out.left = im.ft->glyph->bitmap_left;
    out.top = im.ft->glyph->bitmap_top;
    out.pixels.assign(std::size_t(out.width) * std::size_t(out.height), 0);
    for (int y = 0; y < out.height; ++y) {
        const unsigned char* row = b.buffer + std::ptrdiff_t(y) * b.pitch;
        for (int x = 0; x < out.width; ++x)
            out.pixels[std::size_t(y) * std::size_t(out.width) + std::size_t(x)] = (row[x >> 3] >> (7 - (x & 7))) & 1;
    }
    im.monoGlyphs[code] = {true, out};
    return true;
}

DWORD ScaledFace::GlyphOutline(UINT code, UINT format, GLYPHMETRICS* metrics, DWORD bufferSize,
                               void* buffer, const MAT2* matrix) {
    UINT kind = format & ~GGO_GLYPH_INDEX;
    if (kind != GGO_NATIVE && kind != GGO_METRICS) return GDI_ERROR;
    Impl& im = *impl_;
    std::lock_guard<std::mutex> lock(FreeTypeLock());
    FT_UInt glyph = (format & GGO_GLYPH_INDEX) ? FT_UInt(code) : im.glyphOf(code);
    if (glyph == 0 || glyph >= FT_UInt(im.ft->num_glyphs)) return GDI_ERROR;
    // The matrix, applied to the 16.16 points; the identity leaves them exact.
    double m[4] = {1, 0, 0, 1};
    bool identity = true;
    if (matrix != nullptr) {
        const FIXED* e[4] = {&matrix->eM11, &matrix->eM12, &matrix->eM21, &matrix->eM22};
        for (int i = 0; i < 4; ++i)
            m[i] = double(e[i]->value) + double(e[i]->fract) / 65536.0;
        identity = m[0] == 1 && m[1] == 0 && m[2] == 0 && m[3] == 1;
    }
    // A size query is followed by the fetch of the same glyph: the last outline is kept.
    if (im.cacheValid && im.cachedGlyph == glyph &&
        std::memcmp(im.cachedMatrix, m, sizeof m) == 0) {
        if (metrics != nullptr) *metrics = im.cachedMetrics;
        if (kind == GGO_METRICS) return 0;
        return deliver(im.cachedBytes, bufferSize, buffer);
    }
    if (FT_Load_Glyph(im.ft, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) !=
            0 ||
        im.ft->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
        return GDI_ERROR;
    const FT_Outline& o = im.ft->glyph->outline;

    auto point = [&](int i) {
        FixedPoint p{im.fixed(o.points[i].x), im.fixed(o.points[i].y)};
        if (!identity) {
            double x = p.x, y = p.y;
            double nx = std::nearbyint(m[0] * x + m[2] * y),
                   ny = std::nearbyint(m[1] * x + m[3] * y);
            p.x = std::int32_t(std::fmax(-2147483648.0, std::fmin(2147483647.0, nx)));
            p.y = std::int32_t(std::fmax(-2147483648.0, std::fmin(2147483647.0, ny)));
        }
        return p;
    };

    GLYPHMETRICS gmLocal{};
    {
        GLYPHMETRICS* metricsOut = metrics;
        metrics = &gmLocal;
        FT_BBox box;
        FT_Outline_Get_CBox(&o, &box);
        bool empty = o.n_points == 0;
        long x0 = empty ? 0 : im.whole(box.xMin), x1 = empty ? 0 : im.whole(box.xMax);
        long y0 = empty ? 0 : im.whole(box.yMin), y1 = empty ? 0 : im.whole(box.yMax);
        metrics->gmBlackBoxX = UINT(x1 - x0 > 0 ? x1 - x0 : 1);
        metrics->gmBlackBoxY = UINT(y1 - y0 > 0 ? y1 - y0 : 1);
        metrics->gmptGlyphOrigin = POINT{LONG(x0), LONG(y1)};
        metrics->gmCellIncX = SHORT(im.whole(im.ft->glyph->metrics.horiAdvance));
        metrics->gmCellIncY = 0;
        if (metricsOut != nullptr) *metricsOut = gmLocal;
    }
    if (kind == GGO_METRICS) return 0;

    // Per contour: its header, at most two records per point (a cubic run of more than two
    // control points adds half as many midpoints) and the closing record.
    im.cacheValid = false;
    std::size_t bound = 0;
    if (o.n_contours > 0 && o.n_points > 0)
        bound = std::size_t(o.n_contours) * (sizeof(TTPOLYGONHEADER) + 2 * (4 + sizeof(POINTFX))) +
                std::size_t(o.n_points) * 2 * (4 + sizeof(POINTFX));
    {
        RecordWriter w(im.cachedBytes, bound);
        int first = 0;
        for (int c = 0; c < o.n_contours; ++c) {
            int last = o.contours[c];
            if (last < first || last >= o.n_points) break; // FreeType checks this; stay safe
            int n = last - first + 1;
            auto tag = [&](int i) { return FT_CURVE_TAG(o.tags[i]); };
            if (n < 2) {
                first = last + 1;
                continue;
            }
            // The start, and the points after it in drawing order: body..bodyEnd-1.
            int body, bodyEnd;
            FixedPoint start;
            if (tag(first) == FT_CURVE_TAG_ON) {
                start = point(first);
                body = first + 1, bodyEnd = last + 1;
            } else if (tag(last) == FT_CURVE_TAG_ON) {
                start = point(last);
                body = first, bodyEnd = last;
            } else {
                FixedPoint a = point(last), b = point(first);
                start = FixedPoint{std::int32_t((std::int64_t(a.x) + b.x) / 2),
                                   std::int32_t((std::int64_t(a.y) + b.y) / 2)};
                body = first, bodyEnd = last + 1;
            }
            w.startContour(start);
            FixedPoint current = start;
            int i = body;
            // Each step takes the off-curve points up to the next on-curve one (the start
            // closes the contour).
            while (i <= bodyEnd) {
                const int offsFirst = i;
                int offTag = FT_CURVE_TAG_CONIC;
                while (i < bodyEnd && tag(i) != FT_CURVE_TAG_ON) {
                    offTag = tag(i);
                    ++i;
                }
                const int offs = i - offsFirst;
                FixedPoint end = i < bodyEnd ? point(i) : start;
                bool closing = i >= bodyEnd;
                ++i;
                if (offs == 0) {
                    if (closing && end.x == current.x && end.y == current.y) break;
                    w.add(TT_PRIM_LINE, end);
                } else if (offTag == FT_CURVE_TAG_CUBIC && offs % 2 == 0) {
                    for (int k = 0; k < offs; k += 2) {
                        FixedPoint c1 = point(offsFirst + k), c2 = point(offsFirst + k + 1);
                        w.add(TT_PRIM_CSPLINE, c1);
                        w.add(TT_PRIM_CSPLINE, c2);
                        // Between two cubic pairs FreeType needs an on-curve point; a run of
                        // more than two control points ends each cubic at the next pair's
                        // midpoint.
                        FixedPoint e = end;
                        if (k + 2 < offs) {
                            FixedPoint n2 = point(offsFirst + k + 2);
                            e = FixedPoint{std::int32_t((std::int64_t(c2.x) + n2.x) / 2),
                                           std::int32_t((std::int64_t(c2.y) + n2.y) / 2)};
                        }
                        w.add(TT_PRIM_CSPLINE, e);
                    }
                } else if (offTag == FT_CURVE_TAG_CUBIC) {
                    w.add(TT_PRIM_LINE, end); // a malformed cubic run: its end only
                } else {
                    for (int k = offsFirst; k < offsFirst + offs; ++k)
                        w.add(TT_PRIM_QSPLINE, point(k));
                    w.add(TT_PRIM_QSPLINE, end);
                    w.endQSpline();
                }
                current = end;
                if (closing) break;
            }
            w.endContour();
            first = last + 1;
        }
    }
    im.cachedGlyph = glyph;
    std::memcpy(im.cachedMatrix, m, sizeof m);
    im.cachedMetrics = gmLocal;
    im.cacheValid = true;
    return deliver(im.cachedBytes, bufferSize, buffer);
}

BOOL ScaledFace::CharABCWidths(UINT first, UINT last, ABC* widths) {
    if (widths == nullptr || last < first) return FALSE;
    Impl& im = *impl_;
    std::lock_guard<std::mutex> lock(FreeTypeLock());
    for (UINT code = first; code <= last; ++code) {
        FT_UInt glyph = im.glyphOf(code); // unmapped codes take the missing glyph's widths
        ABC abc{0, 0, 0};
        if (FT_Load_Glyph(im.ft, glyph,
                          FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) == 0) {
            const FT_Glyph_Metrics& gm = im.ft->glyph->metrics;
            long a = im.whole(gm.horiBearingX);
            long b = im.whole(gm.width);
            long advance = im.whole(gm.horiAdvance);
            abc.abcA = int(a);
            abc.abcB = UINT(b > 0 ? b : 0);
            abc.abcC = int(advance - a - long(abc.abcB));
        }
        widths[code - first] = abc;
        if (code == last) break; // last may be the largest UINT
    }
    return TRUE;
}

std::vector<KERNINGPAIR> ScaledFace::KerningPairs() {
    std::vector<KERNINGPAIR> pairs;
    Impl& im = *impl_;
    std::lock_guard<std::mutex> lock(FreeTypeLock());
    if (!FT_HAS_KERNING(im.ft)) return pairs;
    FT_UInt glyphs[256] = {};
    for (UINT c = 32; c < 256; ++c)
        glyphs[c] = im.glyphOf(c);
    for (UINT a = 32; a < 256; ++a) {
        if (glyphs[a] == 0) continue;
        for (UINT b = 32; b < 256; ++b) {
            FT_Vector v;
            if (glyphs[b] == 0 ||
                FT_Get_Kerning(im.ft, glyphs[a], glyphs[b], FT_KERNING_UNSCALED, &v) != 0)
                continue;
            long amount = im.whole(v.x);
            if (amount != 0) pairs.push_back(KERNINGPAIR{WORD(a), WORD(b), int(amount)});
        }
    }
    return pairs;
}

} // namespace fontface
