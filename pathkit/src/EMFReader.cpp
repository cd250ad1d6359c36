// Enhanced metafiles into paths.

#include "pathkit/EMFReader.h"

#include <cmath>
#include <cstring>
#include <numbers>

#include "MetaShapes.h"
#include "pathkit/PathCombination.h"
#include "pathkit/PathQueries.h"
#include "win32/EnhMetaRecords.h"

namespace {

DWORD u32(const BYTE* p) {
    return DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16 | DWORD(p[3]) << 24;
}
LONG i32(const BYTE* p) {
    return LONG(u32(p));
}
float f32(const BYTE* p) {
    float f;
    std::memcpy(&f, p, 4);
    return f;
}
short i16(const BYTE* p) {
    return short(p[0] | p[1] << 8);
}

// Same outline, member by member.
bool sameFigure(const Path& a, const Path& b, float tol) {
    if (a.subPaths.Filled() != b.subPaths.Filled()) return false;
    for (std::uint16_t i = 0; i < a.subPaths.Filled(); ++i) {
        const auto& ma = a.subPaths[i].members;
        const auto& mb = b.subPaths[i].members;
        if (ma.Filled() != mb.Filled()) return false;
        for (std::uint16_t k = 0; k < ma.Filled(); ++k)
            if (!IsEqual(ma[k], mb[k], tol)) return false;
    }
    return true;
}

} // namespace

EMFReader::EMFReader(HENHMETAFILE mf, float smooth)
    : metafile(mf), figure(Path::DefAccuracy), smooth(smooth) {
    ReadHeader();
}

EMFReader::EMFReader(HENHMETAFILE mf, CDC& dc, float smooth)
    : metafile(mf), figure(Path::DefAccuracy), smooth(smooth), playDc(&dc) {
    ReadHeader();
}

EMFReader::~EMFReader() = default;

void EMFReader::ReadHeader() {
    ENHMETAHEADER h{};
    if (!GetEnhMetaFileHeader(metafile, sizeof h, &h)) return;
    bounds = h.rclBounds;
    frameMm = floatBBox(h.rclFrame.left * 0.01f, h.rclFrame.top * 0.01f, h.rclFrame.right * 0.01f,
                        h.rclFrame.bottom * 0.01f);
}

int EMFReader::PreProcess(HDC, HANDLETABLE*, const ENHMETARECORD*, int) {
    return 0;
}
void EMFReader::Output(floatTMatrix&, Path&) {}
void EMFReader::Stroke(floatTMatrix&, Path&) {}
void EMFReader::Fill(floatTMatrix&, Path&) {}
void EMFReader::StrokeAndFill(floatTMatrix& m, Path& p) {
    Output(m, p);
}
void EMFReader::MakeBitmap(int, int, int, int, int, int, int, int, void*, BITMAPINFO*, unsigned,
                           unsigned) {}
void EMFReader::TextOutA(unsigned, float, float, int, int, int, const char*, int*, int, unsigned,
                         int, int, int, int) {}

bool EMFReader::Process() {
    return Process(playDc);
}

bool EMFReader::Process(CDC* dc) {
    if (dc && dc->m_hDC) return Enumerate(dc->m_hDC);
    // A memory DC holding a 1×1 bitmap.
    HDC mem = CreateCompatibleDC(nullptr);
    if (!mem) return false;
    HDC screen = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 1, 1);
    DeleteDC(screen);
    HGDIOBJ old = bmp ? SelectObject(mem, bmp) : nullptr;
    bool ok = Enumerate(mem);
    if (old) SelectObject(mem, old);
    if (bmp) DeleteObject(bmp);
    DeleteDC(mem);
    return ok;
}

bool EMFReader::Enumerate(HDC dc) {
    skipped = 0;
    currentDc = dc;
    BOOL ok = EnumEnhMetaFile(dc, metafile, CALLBACK_Record, this, &rect);
    currentDc = nullptr;
    return ok && skipped == 0;
}

int EMFReader::CALLBACK_Record(HDC dc, HANDLETABLE* table, const ENHMETARECORD* record, int objects,
                               LPARAM self) {
    auto* r = reinterpret_cast<EMFReader*>(self);
    if (!r->PreProcess(dc, table, record, objects)) return 0;
    PlayEnhMetaFileRecord(dc, table, record, UINT(objects));
    // A record whose figure outgrows the path's limits is skipped like a malformed one.
    try {
        r->Convert(record);
    } catch (...) {
        ++r->skipped;
        r->figure = Path(Path::DefAccuracy);
    }
    return 1;
}

bool EMFReader::GetCurrentPen(LOGPEN& pen) {
    HGDIOBJ o = GetCurrentObject(currentDc, OBJ_PEN);
    return o && GetObjectA(o, 16, &pen) == 16;
}
bool EMFReader::GetCurrentPen(EXTLOGPEN& pen) {
    // A plain pen answers with a LOGPEN: the caller's structure is left as it was.
    HGDIOBJ o = GetCurrentObject(currentDc, OBJ_PEN);
    EXTLOGPEN got{};
    if (!o || GetObjectA(o, 28, &got) != 28) return false;
    pen = got;
    return true;
}
bool EMFReader::GetCurrentBrush(LOGBRUSH& brush) {
    HGDIOBJ o = GetCurrentObject(currentDc, OBJ_BRUSH);
    return o && GetObjectA(o, int(sizeof brush), &brush) != 0;
}
bool EMFReader::GetCurrentFont(LOGFONTA& font) {
    HGDIOBJ o = GetCurrentObject(currentDc, OBJ_FONT);
    return o && GetObjectA(o, 60, &font) == 60;
}
COLORREF EMFReader::GetTextColor() {
    return ::GetTextColor(currentDc);
}

void EMFReader::BuildTransformationTo(floatTMatrix& m) {
    XFORM x{};
    if (currentDc && GetWorldTransform(currentDc, &x)) {
        stored = floatTMatrix(x.eM11, x.eM12, x.eM21, x.eM22, x.eDx, x.eDy);
    } else if (currentDc) {
        POINT wo{}, vo{};
        SIZE we{}, ve{};
        GetWindowOrgEx(currentDc, &wo);
        GetWindowExtEx(currentDc, &we);
        GetViewportOrgEx(currentDc, &vo);
        GetViewportExtEx(currentDc, &ve);
        float vx2 = ve.cx ? float(vo.x + ve.cx) : vo.x + 0.01f * we.cx;
        float vy2 = ve.cy ? float(vo.y + ve.cy) : vo.y + 0.01f * we.cy;
        floatTMatrix b;
        b.BoxTransformation(float(wo.x), float(wo.y), float(wo.x + we.cx), float(wo.y + we.cy),
                            float(vo.x), float(vo.y), vx2, vy2);
        if (!b.IsIdentMatrix()) stored = b;
    }
    m *= stored;
}

void EMFReader::CloseFigure() {
    metashapes::CloseFigure(figure);
}

void EMFReader::Flush(int type) {
    figure.ClosePath();
    if (type == 0 && inPath) return;
    Path& c = clip[clipLevel];
    if (c.subPaths.Filled() && figure.subPaths.Filled() &&
        !sameFigure(figure, c, figure.accuracy)) {
        Path out(figure.accuracy);
        SafeSection(figure, c, out);
        figure = std::move(out);
    }
    if (figure.subPaths.Filled()) {
        if (smooth > 0)
            for (std::uint16_t i = 0; i < figure.subPaths.Filled(); ++i)
                figure.subPaths[i].Smooth(4 * smooth, 1, 0);
        floatTMatrix m;
        BuildTransformationTo(m);
        switch (type) {
        case 0:
            Output(m, figure);
            break;
        case 1:
            Fill(m, figure);
            break;
        case 2:
            Stroke(m, figure);
            break;
        default:
            StrokeAndFill(m, figure);
            break;
        }
    }
    figure = Path(Path::DefAccuracy);
}

void EMFReader::Convert(const ENHMETARECORD* record) {
    const BYTE* b = reinterpret_cast<const BYTE*>(record);
    DWORD size = record->nSize;
    auto skip = [&] { ++skipped; };
    // Points of a poly record: count at 24, points from 28 (or after counts).
    auto polyPoints = [&](std::uint64_t at, std::uint64_t n, bool small,
                          std::vector<floatPoint>& out) {
        out.resize(std::size_t(n));
        for (std::uint64_t i = 0; i < n; ++i) {
            const BYTE* p = b + at + i * (small ? 4 : 8);
            out[std::size_t(i)] = small ? floatPoint{float(i16(p)), float(i16(p + 2))}
                                        : floatPoint{float(i32(p)), float(i32(p + 4))};
        }
    };
    auto arg = [&](int i) { return float(i32(b + 8 + 4 * i)); };
    // What a record holds is checked by the drawing layer's rules before it is read.
    const bool fits = SdEnhMetaRecordFits(b, size);
    auto whole = [&] {
        if (fits) return true;
        skip();
        return false;
    };
    DWORD type = record->iType;
    std::vector<floatPoint> pts;
    switch (type) {
    case EMR_POLYBEZIER:
    case EMR_POLYGON:
    case EMR_POLYLINE:
    case EMR_POLYBEZIERTO:
    case EMR_POLYLINETO:
    case EMR_POLYBEZIER16:
    case EMR_POLYGON16:
    case EMR_POLYLINE16:
    case EMR_POLYBEZIERTO16:
    case EMR_POLYLINETO16: {
        bool small = type >= EMR_POLYBEZIER16;
        DWORD kind = small ? type - 83 : type;
        if (!whole()) return;
        polyPoints(28, u32(b + 24), small, pts);
        if (pts.empty()) return;
        switch (kind) {
        case EMR_POLYBEZIER:
            Flush(0);
            figure.Append(PC_MOVETO, pts[0].x, pts[0].y);
            for (std::size_t i = 1; i + 2 < pts.size(); i += 3)
                figure.Append(pts[i].x, pts[i].y, pts[i + 1].x, pts[i + 1].y, pts[i + 2].x,
                              pts[i + 2].y);
            break;
        case EMR_POLYGON:
            Flush(0);
            figure.Append(PC_MOVETO, pts[0].x, pts[0].y);
            for (std::size_t i = 1; i < pts.size(); ++i)
                figure.Append(pts[i].x, pts[i].y);
            CloseFigure();
            Flush(0);
            break;
        case EMR_POLYLINE:
            Flush(0);
            figure.Append(PC_MOVETO, pts[0].x, pts[0].y);
            for (std::size_t i = 1; i < pts.size(); ++i)
                figure.Append(pts[i].x, pts[i].y);
            Flush(2);
            break;
        case EMR_POLYBEZIERTO:
            for (std::size_t i = 0; i + 2 < pts.size(); i += 3)
                figure.Append(pts[i].x, pts[i].y, pts[i + 1].x, pts[i + 1].y, pts[i + 2].x,
                              pts[i + 2].y);
            break;
        default:
            for (const floatPoint& p : pts)
                figure.Append(p.x, p.y);
            Flush(2);
            break;
        }
        return;
    }
    case EMR_POLYPOLYLINE:
    case EMR_POLYPOLYGON:
    case EMR_POLYPOLYLINE16:
    case EMR_POLYPOLYGON16: {
        if (!whole()) return;
        bool small = type >= EMR_POLYBEZIER16;
        std::uint64_t polys = u32(b + 24), total = u32(b + 28);
        polyPoints(32 + polys * 4, total, small, pts);
        bool polygon = (small ? type - 83 : type) == EMR_POLYPOLYGON;
        Flush(0);
        std::size_t at = 0;
        for (std::uint64_t i = 0; i < polys; ++i) {
            DWORD n = u32(b + 32 + 4 * i);
            if (n == 0) continue;
            figure.Append(PC_MOVETO, pts[at].x, pts[at].y);
            for (DWORD k = 1; k < n; ++k)
                figure.Append(pts[at + k].x, pts[at + k].y);
            if (polygon) CloseFigure();
            figure.ClosePath();
            at += n;
        }
        Flush(polygon ? 0 : 2);
        return;
    }
    case EMR_SETWINDOWEXTEX:
    case EMR_SETWINDOWORGEX:
    case EMR_SETVIEWPORTEXTEX:
    case EMR_SETVIEWPORTORGEX:
    case EMR_SETBKMODE:
        Flush(0);
        return;
    case EMR_MOVETOEX:
        if (!whole()) return;
        figure.Append(PC_MOVETO, arg(0), arg(1));
        haveCurrent = true;
        return;
    case EMR_LINETO:
        if (!whole()) return;
        figure.Append(arg(0), arg(1));
        return;
    case EMR_SAVEDC:
        // The stack has ClipLevels entries: deeper saves are counted, not stored.
        if (clipLevel + 1 >= ClipLevels) {
            ++clipExcess;
            return;
        }
        {
            Path copy(clip[clipLevel]);
            clip[clipLevel + 1] = std::move(copy);
        }
        ++clipLevel;
        return;
    case EMR_RESTOREDC:
        if (clipExcess > 0) {
            --clipExcess;
            return;
        }
        if (clipLevel == 0) return;
        clip[clipLevel] = Path(Path::DefAccuracy);
        --clipLevel;
        return;
    case EMR_ANGLEARC: {
        if (!whole()) return;
        float cx = arg(0), cy = arg(1), r = float(u32(b + 16)), start = f32(b + 20),
              sweep = f32(b + 24);
        if (!std::isfinite(start) || !std::isfinite(sweep)) return skip();
        // Beyond a full turn the outline only repeats itself.
        sweep = std::fmax(-360.0f, std::fmin(360.0f, sweep));
        // GDI puts the points at (x + r cos a, y - r sin a): the path's angles are negated.
        double a0 = -double(start) * std::numbers::pi / 180,
               a1 = -(double(start) + sweep) * std::numbers::pi / 180;
        float sx = float(cx + r * std::cos(a0)), sy = float(cy + r * std::sin(a0));
        if (haveCurrent || figure.building.members.Filled())
            figure.Append(sx, sy);
        else
            figure.Append(PC_MOVETO, sx, sy);
        Arc(figure, cx, cy, r, a0, a1, 1);
        haveCurrent = true;
        return;
    }
    case EMR_ELLIPSE:
        if (!whole()) return;
        Flush(0);
        metashapes::Ellipse(figure, arg(0), arg(1), arg(2), arg(3));
        Flush(0);
        return;
    case EMR_RECTANGLE:
        if (!whole()) return;
        Flush(0);
        metashapes::Rect(figure, arg(0), arg(1), arg(2), arg(3));
        Flush(0);
        return;
    case EMR_ROUNDRECT:
        if (!whole()) return;
        Flush(0);
        metashapes::RoundRect(figure, arg(0), arg(1), arg(2), arg(3), arg(4), arg(5));
        Flush(0);
        return;
    case EMR_ARC:
    case EMR_ARCTO:
    case EMR_CHORD:
    case EMR_PIE: {
        if (!whole()) return;
        if (arg(2) == arg(0)) return skip(); // zero width: no arc to draw
        if (type == EMR_CHORD || type == EMR_PIE) Flush(0);
        metashapes::ArcOfBox(figure, arg(0), arg(1), arg(2), arg(3), arg(4), arg(5), arg(6),
                             arg(7));
        if (type == EMR_PIE) figure.Append((arg(0) + arg(2)) / 2, (arg(1) + arg(3)) / 2);
        if (type == EMR_CHORD || type == EMR_PIE) {
            CloseFigure();
            Flush(0);
        }
        return;
    }
    case EMR_POLYDRAW:
    case EMR_POLYDRAW16: {
        if (!whole()) return;
        bool small = type == EMR_POLYDRAW16;
        std::uint64_t n = u32(b + 24);
        polyPoints(28, n, small, pts);
        const BYTE* types = b + 28 + n * (small ? 4 : 8);
        Flush(0);
        for (std::size_t i = 0; i < pts.size(); ++i) {
            BYTE t = types[i] & ~PT_CLOSEFIGURE;
            if (t == PT_MOVETO) {
                figure.Append(PC_MOVETO, pts[i].x, pts[i].y);
            } else if (t == PT_LINETO) {
                figure.Append(pts[i].x, pts[i].y);
            } else if (t == PT_BEZIERTO && i + 2 < pts.size()) {
                figure.Append(pts[i].x, pts[i].y, pts[i + 1].x, pts[i + 1].y, pts[i + 2].x,
                              pts[i + 2].y);
                i += 2;
            }
            if (types[i] & PT_CLOSEFIGURE) CloseFigure();
        }
        figure.ClosePath();
        Flush(0);
        return;
    }
    case EMR_BEGINPATH:
        figure = Path(Path::DefAccuracy);
        inPath = true;
        return;
    case EMR_ENDPATH:
        figure.ClosePath();
        inPath = false;
        return;
    case EMR_CLOSEFIGURE:
        CloseFigure();
        return;
    case EMR_FILLPATH:
        Flush(1);
        return;
    case EMR_STROKEANDFILLPATH:
        Flush(3);
        return;
    case EMR_STROKEPATH:
        Flush(2);
        return;
    case EMR_SELECTCLIPPATH: {
        if (!whole()) return;
        LONG mode = i32(b + 8);
        figure.ClosePath();
        Path& c = clip[clipLevel];
        if (!c.subPaths.Filled() || mode == RGN_COPY) {
            c = std::move(figure);
        } else {
            Path out(figure.accuracy);
            if (mode == RGN_AND)
                SafeSection(c, figure, out);
            else if (mode == RGN_OR)
                SafeMerge(c, figure, out);
            else if (mode == RGN_DIFF)
                SafeSubtract(c, figure, out);
            else {
                c.Concat(figure);
                c.Normalize();
                out = std::move(c);
            }
            c = std::move(out);
        }
        figure = Path(Path::DefAccuracy);
        return;
    }
    case EMR_STRETCHDIBITS: {
        if (!whole()) return;
        DWORD offBmi = u32(b + 48), cbBmi = u32(b + 52), offBits = u32(b + 56);
        // No picture to hand on, or one claiming more than the record holds.
        if (cbBmi == 0 || !SdEnhMetaDibFits(b + offBmi, cbBmi, u32(b + 60), u32(b + 64)))
            return skip();
        MakeBitmap(i32(b + 24), i32(b + 28), i32(b + 72), i32(b + 76), i32(b + 32), i32(b + 36),
                   i32(b + 40), i32(b + 44), const_cast<BYTE*>(b + offBits),
                   reinterpret_cast<BITMAPINFO*>(const_cast<BYTE*>(b + offBmi)), u32(b + 64),
                   u32(b + 68));
        return;
    }
    case EMR_EXTTEXTOUTA:
    case EMR_EXTTEXTOUTW:
    case EMR_POLYTEXTOUTA:
    case EMR_POLYTEXTOUTW: {
        bool poly = type == EMR_POLYTEXTOUTA || type == EMR_POLYTEXTOUTW;
        bool wide = type == EMR_EXTTEXTOUTW || type == EMR_POLYTEXTOUTW;
        if (!whole()) return;
        Flush(0);
        std::uint64_t strings = poly ? u32(b + 36) : 1, first = poly ? 40 : 36;
        for (std::uint64_t s = 0; s < strings; ++s) {
            const BYTE* t = b + first + 40 * s;
            std::uint64_t chars = u32(t + 8), offString = u32(t + 12), offDx = u32(t + 36);
            TextOutA(u32(b + 24), f32(b + 28), f32(b + 32), i32(t), i32(t + 4), int(chars),
                     reinterpret_cast<const char*>(b + offString),
                     offDx ? reinterpret_cast<int*>(const_cast<BYTE*>(b + offDx)) : nullptr,
                     wide ? 1 : 0, u32(t + 16), i32(t + 20), i32(t + 24), i32(t + 28), i32(t + 32));
        }
        return;
    }
    default:
        return;
    }
}

HENHMETAFILE ConvertWMFtoEMF(HMETAFILE metafile) {
    UINT size = GetMetaFileBitsEx(metafile, 0, nullptr);
    if (!size) return nullptr;
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!mem) return nullptr;
    HENHMETAFILE out = nullptr;
    if (auto* bits = static_cast<BYTE*>(GlobalLock(mem))) {
        if (GetMetaFileBitsEx(metafile, size, bits) == size)
            out = SetWinMetaFileBits(size, bits, nullptr, nullptr);
        GlobalUnlock(mem);
    }
    GlobalFree(mem);
    return out;
}

HMETAFILE ConvertEMFtoWMF(HDC reference, HENHMETAFILE metafile) {
    UINT size = GetWinMetaFileBits(metafile, 0, nullptr, MM_TEXT, reference);
    if (!size) return nullptr;
    std::vector<BYTE> bits(size);
    if (GetWinMetaFileBits(metafile, size, bits.data(), MM_TEXT, reference) != size) return nullptr;
    return SetMetaFileBitsEx(size, bits.data());
}
