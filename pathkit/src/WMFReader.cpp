// Windows metafiles into paths: records interpreted with their own context stack.

#include "pathkit/WMFReader.h"

#include <cmath>

#include "MetaShapes.h"

WMFReader::WMFReader(HMETAFILE mf, float extX, float extY, float smooth)
    : metafile(mf), figure(Path::DefAccuracy), smooth(smooth) {
    context[0].windowExt[0] = context[0].viewportExt[0] = extX;
    context[0].windowExt[1] = context[0].viewportExt[1] = extY;
}

WMFReader::~WMFReader() = default;

void WMFReader::Output(floatTMatrix&, Path&, unsigned long, unsigned long, float) {}

bool WMFReader::Process() {
    HDC mem = CreateCompatibleDC(nullptr);
    malformed = 0;
    BOOL ok = EnumMetaFile(mem, metafile, CALLBACK_Record, reinterpret_cast<LPARAM>(this));
    if (mem) DeleteDC(mem);
    return ok && malformed == 0;
}

int WMFReader::CALLBACK_Record(HDC, HANDLETABLE*, METARECORD* record, int objects, LPARAM self) {
    auto* r = reinterpret_cast<WMFReader*>(self);
    // A record whose figure outgrows the path's limits is skipped like a malformed one.
    try {
        r->Convert(record, objects);
    } catch (...) {
        ++r->malformed;
        r->figure = Path(Path::DefAccuracy);
    }
    return 1;
}

int WMFReader::FindEmpty() const {
    for (std::size_t i = 0; i < objects.size(); ++i)
        if (objects[i].kind == 0) return int(i);
    return -1;
}

void WMFReader::Flush(bool noBrush) {
    figure.ClosePath();
    if (figure.subPaths.Filled()) {
        if (smooth > 0)
            for (std::uint16_t i = 0; i < figure.subPaths.Filled(); ++i)
                figure.subPaths[i].Smooth(4 * smooth, 1, 0);
        const WMFContext& c = context[level];
        float vx2 = c.viewportExt[0] != 0 ? c.viewportOrg[0] + c.viewportExt[0]
                                          : c.viewportOrg[0] + 0.01f * c.windowExt[0];
        float vy2 = c.viewportExt[1] != 0 ? c.viewportOrg[1] + c.viewportExt[1]
                                          : c.viewportOrg[1] + 0.01f * c.windowExt[1];
        floatTMatrix m;
        m.BoxTransformation(c.windowOrg[0], c.windowOrg[1], c.windowOrg[0] + c.windowExt[0],
                            c.windowOrg[1] + c.windowExt[1], c.viewportOrg[0], c.viewportOrg[1],
                            vx2, vy2);
        Output(m, figure, noBrush ? 0xFFFFFFFFul : c.brushColour, c.penColour, c.penWidth);
    }
    figure = Path(Path::DefAccuracy);
}

void WMFReader::Convert(const METARECORD* record, int objectCount) {
    if (!tableMade) {
        objects.assign(std::size_t(objectCount > 0 ? objectCount : 0), WMFRes{});
        tableMade = true;
    }
    const BYTE* r = reinterpret_cast<const BYTE*>(record);
    std::uint64_t bytes = std::uint64_t(record->rdSize) * 2;
    std::uint64_t words = bytes >= 6 ? (bytes - 6) / 2 : 0;
    const BYTE* p = r + 6;
    auto P = [&](std::uint64_t i) { return float(short(p[2 * i] | p[2 * i + 1] << 8)); };
    auto U = [&](std::uint64_t i) { return unsigned(p[2 * i] | p[2 * i + 1] << 8); };
    // The parameters a record needs; fewer: skipped and counted.
    auto need = [&](std::uint64_t n) {
        if (words >= n) return true;
        ++malformed;
        return false;
    };
    WMFContext& c = context[level];
    switch (record->rdFunction) {
    case META_EOF:
        return;
    case META_SAVEDC:
        if (level >= ContextLevels - 1) return;
        context[level + 1] = context[level];
        ++level;
        return;
    case META_RESTOREDC:
        if (level > 0) --level;
        return;
    case META_CREATEPALETTE:
    case META_DIBCREATEPATTERNBRUSH:
    case META_CREATEPATTERNBRUSH:
    case META_CREATEFONTINDIRECT:
    case META_CREATEREGION: {
        int i = FindEmpty();
        if (i < 0) return; // the table is full: the object is not made
        objects[std::size_t(i)] = WMFRes{0xFFFFFFFFul, 1, 0};
        return;
    }
    case META_CREATEPENINDIRECT: {
        if (!need(5)) return;
        int i = FindEmpty();
        if (i < 0) return;
        bool none = (U(0) & PS_STYLE_MASK) == PS_NULL;
        objects[std::size_t(i)] =
            WMFRes{none ? 0xFFFFFFFFul : (U(3) | (unsigned long)U(4) << 16), 2, int(P(1))};
        return;
    }
    case META_CREATEBRUSHINDIRECT: {
        if (!need(3)) return;
        int i = FindEmpty();
        if (i < 0) return;
        bool none = U(0) == BS_NULL;
        objects[std::size_t(i)] =
            WMFRes{none ? 0xFFFFFFFFul : (U(1) | (unsigned long)U(2) << 16), 3, 0};
        return;
    }
    case META_DELETEOBJECT: {
        if (!need(1)) return;
        std::size_t i = U(0);
        if (i < objects.size()) objects[i] = WMFRes{};
        return;
    }
    case META_SELECTOBJECT: {
        if (!need(1)) return;
        Flush();
        std::size_t i = U(0);
        if (i >= objects.size()) return;
        const WMFRes& o = objects[i];
        if (o.kind == 2) {
            c.penColour = o.colour;
            c.penWidth = float(o.penWidth);
        } else if (o.kind == 3) {
            c.brushColour = o.colour;
        }
        return;
    }
    case META_SETWINDOWORG:
        if (!need(2)) return;
        c.windowOrg[0] = P(1);
        c.windowOrg[1] = P(0);
        return;
    case META_SETVIEWPORTORG:
        if (!need(2)) return;
        c.viewportOrg[0] = P(1);
        c.viewportOrg[1] = P(0);
        return;
    case META_SETWINDOWEXT:
        if (!need(2)) return;
        c.windowExt[0] = P(1);
        c.windowExt[1] = P(0);
        return;
    case META_SETVIEWPORTEXT:
        if (!need(2)) return;
        c.viewportExt[0] = P(1);
        c.viewportExt[1] = P(0);
        return;
    case META_SETMAPMODE:
    case META_OFFSETWINDOWORG:
    case META_OFFSETVIEWPORTORG:
    case META_SCALEWINDOWEXT:
    case META_SCALEVIEWPORTEXT:
        return;
    case META_MOVETO:
        if (!need(2)) return;
        figure.Append(PC_MOVETO, P(1), P(0));
        return;
    case META_LINETO:
        if (!need(2)) return;
        figure.Append(P(1), P(0));
        return;
    case META_POLYGON:
    case META_POLYLINE: {
        if (!need(1)) return;
        float n = P(0);
        if (n < 0 || !need(1 + 2 * std::uint64_t(n))) return;
        Flush();
        if (n < 1) return;
        figure.Append(PC_MOVETO, P(1), P(2));
        for (std::uint64_t i = 1; i < std::uint64_t(n); ++i)
            figure.Append(P(1 + 2 * i), P(2 + 2 * i));
        if (record->rdFunction == META_POLYGON) {
            metashapes::CloseFigure(figure);
            Flush();
        } else {
            Flush(true);
        }
        return;
    }
    case META_POLYPOLYGON: {
        if (!need(1)) return;
        std::int64_t n = std::int64_t(P(0));
        if (n < 0 || !need(1 + std::uint64_t(n))) return;
        std::uint64_t total = 0;
        for (std::int64_t i = 0; i < n; ++i) {
            if (P(1 + std::uint64_t(i)) < 0) {
                ++malformed;
                return;
            }
            total += std::uint64_t(P(1 + std::uint64_t(i)));
        }
        if (!need(1 + std::uint64_t(n) + 2 * total)) return;
        Flush();
        std::uint64_t at = 1 + std::uint64_t(n);
        for (std::int64_t i = 0; i < n; ++i) {
            std::uint64_t k = std::uint64_t(P(1 + std::uint64_t(i)));
            for (std::uint64_t j = 0; j < k; ++j, at += 2) {
                if (j == 0)
                    figure.Append(PC_MOVETO, P(at), P(at + 1));
                else
                    figure.Append(P(at), P(at + 1));
            }
            figure.ClosePath();
        }
        Flush();
        return;
    }
    case META_ELLIPSE:
        if (!need(4)) return;
        Flush();
        metashapes::Ellipse(figure, P(3), P(2), P(1), P(0));
        Flush();
        return;
    case META_RECTANGLE:
        if (!need(4)) return;
        Flush();
        metashapes::Rect(figure, P(3), P(2), P(1), P(0));
        Flush();
        return;
    case META_ROUNDRECT:
        if (!need(6)) return;
        Flush();
        metashapes::RoundRect(figure, P(5), P(4), P(3), P(2), P(1), P(0));
        Flush();
        return;
    case META_ARC:
    case META_PIE: {
        if (!need(8)) return;
        if (P(7) == P(5)) {
            ++malformed; // zero width: no arc
            return;
        }
        bool pie = record->rdFunction == META_PIE;
        if (pie) Flush();
        metashapes::ArcOfBox(figure, P(7), P(6), P(5), P(4), P(3), P(2), P(1), P(0));
        if (pie) {
            figure.Append((P(7) + P(5)) / 2, (P(6) + P(4)) / 2);
            metashapes::CloseFigure(figure);
            Flush();
        }
        return;
    }
    default:
        ++unhandled;
        return;
    }
}
