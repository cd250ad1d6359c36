#include "TraceEngine.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <pathkit/AbortHandler.h>
#include <pathkit/NodeCleanup.h>
#include <pathkit/NodeEdit.h>
#include <pathkit/PathMember.h>
#include <pathkit/SubPath.h>

namespace {

constexpr double DegreesToRadians = 0.017453292519943295;
// Parameters beyond this (pixels) act like it: no outline is that large.
constexpr int ParamLimit = 1 << 20;
// A point farther than this many tolerances from the last one is joined by a straight line.
constexpr float StraightReach = 50.0f;

// The caller's block in a temporary DIB for one call: locked while the call runs, then
// unlocked and forgotten on every path, so it is never freed here.
struct HeldBitmap {
    explicit HeldBitmap(HDIB handle) {
        dib.hDIB = handle;
        dib.Lock();
    }
    ~HeldBitmap() {
        dib.UnLock();
        dib.Empty();
    }
    DIB dib;
};

int ClampParam(int v) {
    return std::clamp(v, 0, ParamLimit);
}

float FiniteAngle(float degrees) {
    double radians = double(degrees) * DegreesToRadians;
    return std::isfinite(degrees) ? float(radians) : 0.0f;
}

bool IsTraceDepth(int bits) {
    return bits == 1 || bits == 4 || bits == 8;
}

float Length(const PathMember& m) {
    return std::hypot(m.end.x - m.start.x, m.end.y - m.start.y);
}

// The point at distance d from `from` towards `to`.
floatPoint Along(const floatPoint& from, const floatPoint& to, float d, float length) {
    float f = d / length;
    return floatPoint(from.x + (to.x - from.x) * f, from.y + (to.y - from.y) * f);
}

} // namespace

TraceEngine::TraceEngine() : fitter(path, 0, 0) {
    fitter.tolerance = 0;
}

void TraceEngine::SetTraceParam(AbortHandler* h, int a, int b, int c, float f) {
    handler = h;
    a = ClampParam(a);
    b = ClampParam(b);
    c = ClampParam(c);
    bumpWidth = 2 * a;
    stepLength = 2 * b;
    minSize = 2 * c;
    float doubled = 2.0f * f;
    fitTolerance = (std::isfinite(doubled) && f > 0) ? doubled : 0.0f;
    fitter.SetAccuracy(c != 0 ? doubled : f);
}

void TraceEngine::SetExtTraceParam(int smoothOn, int straightenOn, int cornersOn,
                                   int snapVerticalOn, int snapHorizontalOn,
                                   int connectionTypesOn, float angle1, float angle2,
                                   int spareByte) {
    smooth = std::uint8_t(smoothOn);
    straighten = std::uint8_t(straightenOn);
    corners = std::uint8_t(cornersOn);
    snapVertical = std::uint8_t(snapVerticalOn);
    snapHorizontal = std::uint8_t(snapHorizontalOn);
    connectionTypes = std::uint8_t(connectionTypesOn);
    connectionAngle = FiniteAngle(angle1);
    snapAngle = FiniteAngle(angle2);
    spare = std::uint8_t(spareByte);
}

void TraceEngine::ReadBitmap(const DIB& dib) {
    bitCount = dib.BitsPerPixel();
    width = dib.Width();
    height = dib.Height();
    rowText.assign(std::size_t(width) + 2, 0);
    std::memset(colorTable, 0, sizeof colorTable);
    int n = std::min(dib.NumColorEntries(), 256);
    const BYTE* table = reinterpret_cast<const BYTE*>(dib.ColorTab());
    bool core = dib.BmpInfo()->bmiHeader.biSize < sizeof(BITMAPINFOHEADER);
    int entry = core ? 3 : 4;
    for (int i = 0; i < n; ++i) {
        const BYTE* e = table + i * entry; // blue, green, red
        colorTable[i] = RGB(e[2], e[1], e[0]);
    }
}

int TraceEngine::PrepareTracing(HDIB handle) {
    rowCounter = 0;
    HeldBitmap held(handle);
    const DIB& dib = held.dib;
    std::memset(selection, 0, sizeof selection);
    if (!dib.IsTraceable()) {
        passCount = 0;
        totalWork = 0;
        return 0;
    }
    ReadBitmap(dib);
    if (bitCount == 4 || bitCount == 8) {
        const BYTE* bits = static_cast<const BYTE*>(dib.GetBits());
        int stride = dib.StorageWidth();
        for (int y = 0; y < height; ++y) {
            const BYTE* row = bits + std::size_t(y) * stride;
            for (int x = 0; x < width; ++x) {
                int index = bitCount == 8 ? row[x] : ((x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4);
                ++selection[index];
            }
        }
    }
    if (bitCount == 1) {
        passCount = 1;
    } else {
        passCount = 0;
        if (bitCount == 4 || bitCount == 8) {
            std::memset(passPalette, 0, sizeof passPalette);
            for (int i = 0; i < 256; ++i) {
                if (!selection[i]) continue;
                COLORREF c = colorTable[i];
                if (std::find(passPalette, passPalette + passCount, c) == passPalette + passCount)
                    passPalette[passCount++] = c;
            }
        }
    }
    totalWork = height * passCount;
    return passCount;
}

void TraceEngine::ClassifyPassRow(const DIB& dib, int y) {
    const BYTE* row = static_cast<const BYTE*>(dib.GetBits()) + std::size_t(y) * dib.StorageWidth();
    char* text = rowText.data();
    COLORREF colour = passPalette[passIndex & 0xFF];
    for (int x = 0; x < width; ++x) {
        bool traced = false;
        switch (bitCount) {
        case 1: traced = ((row[x >> 3] >> (7 - (x & 7))) & 1) == 0; break;
        case 4: traced = colorTable[(x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4] == colour; break;
        case 8: traced = colorTable[row[x]] == colour; break;
        default: break;
        }
        text[x] = traced ? '#' : ' ';
    }
    text[width] = 0;
}

void TraceEngine::ClassifySelectionRow(const DIB& dib, int y) {
    const BYTE* row = static_cast<const BYTE*>(dib.GetBits()) + std::size_t(y) * dib.StorageWidth();
    char* text = rowText.data();
    for (int x = 0; x < width; ++x) {
        int index = 0;
        switch (bitCount) {
        case 1: index = (row[x >> 3] >> (7 - (x & 7))) & 1; break;
        case 4: index = (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4; break;
        case 8: index = row[x]; break;
        default: break;
        }
        text[x] = selection[index] ? '#' : ' ';
    }
    text[width] = 0;
}

void TraceEngine::RowStep(int y) {
    if (handler) {
        handler->CheckAbort();
        if (handler->aborted) return;
        handler->SetProgress(float(rowCounter * 100.0 / std::max(totalWork, 1)));
        ++rowCounter;
    }
    Row(rowText.data(), int(std::strlen(rowText.data())), y);
}

void TraceEngine::TraceAll(HDIB handle, Path& out) {
    try {
        HeldBitmap held(handle);
        const DIB& dib = held.dib;
        if (dib.IsTraceable()) {
            ReadBitmap(dib);
            if (IsTraceDepth(bitCount)) {
                for (passIndex = 0; passIndex < passCount; ++passIndex) {
                    BeginPass();
                    for (int y = 0; y < height; ++y) {
                        ClassifyPassRow(dib, y);
                        RowStep(y);
                    }
                    EndPass();
                }
            }
        }
    } catch (...) {
        Abandon();
        throw;
    }
    HandOver(out);
}

void TraceEngine::Trace(HDIB handle, const COLORREF* colors, int count, Path& out) {
    try {
        HeldBitmap held(handle);
        const DIB& dib = held.dib;
        if (colors && count > 0 && dib.IsTraceable()) {
            ReadBitmap(dib);
            totalWork = height;
            std::memset(selection, 0, sizeof selection);
            int n = std::min(dib.NumColorEntries(), 256);
            for (int i = 0; i < count; ++i)
                for (int index = 0; index < n; ++index)
                    if (colorTable[index] == colors[i]) selection[index] = 1;
            if (IsTraceDepth(bitCount)) {
                BeginPass();
                for (int y = 0; y < height; ++y) {
                    ClassifySelectionRow(dib, y);
                    RowStep(y);
                }
                EndPass();
            }
        }
    } catch (...) {
        Abandon();
        throw;
    }
    HandOver(out);
}

void TraceEngine::Output(int kind, float x, float y) {
    switch (kind) {
    case KindStart:
        subPathsBefore = path.subPaths.Filled();
        if (fitTolerance != 0) {
            lastX = x;
            lastY = y;
            fitter.AddPoint(PC_MOVETO, x, y);
        } else {
            path.Append(PC_MOVETO, x, y, nullptr);
        }
        break;
    case KindLine:
        if (fitTolerance != 0) {
            if (std::hypot(x - lastX, y - lastY) <= StraightReach * fitTolerance) {
                lastX = x;
                lastY = y;
                fitter.AddPoint(PC_LINETO, x, y);
            } else {
                fitter.AddPoint(Bez3FitBase::EndRun, 0, 0);
                lastX = x;
                lastY = y;
                path.Append(PC_LINETO, x, y, nullptr);
            }
        } else {
            path.Append(PC_LINETO, x, y, nullptr);
        }
        break;
    case KindEnd: {
        if (fitTolerance != 0) fitter.AddPoint(Bez3FitBase::EndRun, 0, 0);
        path.ClosePath();
        // Only a sub-path this outline made: one that came to nothing leaves the previous
        // outline's sub-path alone.
        if (path.subPaths.Filled() > subPathsBefore) {
            SubPath& sp = *path.subPaths.last();
            if (fitTolerance != 0) PostProcess(sp, fitTolerance);
            sp.state = std::uint16_t((sp.state & 0xFF00) | passIndex | 0x0700);
        }
        break;
    }
    default: break;
    }
}

void TraceEngine::PostProcess(SubPath& sp, float t) {
    if (smooth) {
        JoinStraightLinesIn(sp, t);
        const float reach = 10 * t;
        PathMemberEDynArr& members = sp.members;
        for (PathMember& m : members)
            if (!m.IsCurve() && Length(m) <= reach) m.flags |= PM_SELECTED;
        sp.SelectPM(PM_CURVE, PM_CURVE);
        // Lines beside a selected stretch give it their last (first) piece of the reach,
        // so that the refit runs into the straight line.
        for (unsigned i = 0; i < members.Filled(); ++i) {
            PathMember& m = members[std::uint16_t(i)];
            const PathMember& next = members[members.Next(int(i))];
            if (m.IsPMSelected() || !next.IsPMSelected()) continue;
            float length = Length(m);
            if (length > reach) {
                PathMember piece = m;
                piece.start = Along(m.end, m.start, reach, length);
                piece.flags |= PM_SELECTED;
                m.end = piece.start;
                members.InsertAt(std::uint16_t(i + 1), &piece, 1);
                ++i;
            } else {
                m.flags |= PM_SELECTED;
            }
        }
        for (unsigned i = 0; i < members.Filled(); ++i) {
            PathMember& m = members[std::uint16_t(i)];
            const PathMember& prev = members[members.Prev(int(i))];
            if (m.IsPMSelected() || !prev.IsPMSelected()) continue;
            float length = Length(m);
            if (length > reach) {
                PathMember piece = m;
                piece.end = Along(m.start, m.end, reach, length);
                piece.flags |= PM_SELECTED;
                m.start = piece.end;
                members.InsertAt(std::uint16_t(i), &piece, 1);
                ++i;
            } else {
                m.flags |= PM_SELECTED;
            }
        }
        sp.Invalidate(SP_ALL_INVALID);
        LocalSmooth(sp, t, 0);
    }
    if (straighten) {
        FindStraightLinesIn(sp, 2 * t, 1.0f);
        JoinStraightLinesIn(sp, 2 * t);
    }
    if (corners) {
        MakeCornersIn(sp, 0);
        JoinStraightLinesIn(sp, 2 * t);
    }
    if (snapHorizontal && snapAngle != 0) SnapLinesIn(sp, 0.0f, snapAngle, 0);
    if (snapVertical && snapAngle != 0) SnapLinesIn(sp, 1.5707964f, snapAngle, 0);
    if (snapHorizontal || snapVertical) RecoverConnectionsIn(sp);
    if (connectionTypes) {
        // Whole radians only: the usual few degrees give 0 and leave the angle test off.
        int on = int(std::clamp(connectionAngle, -1000.0f, 1000.0f));
        DetectConnectionTypesIn(sp, on, 0.17453292f, 1, 0.1f, 1);
        UpdateConnectionsIn(sp);
    }
}

void TraceEngine::HandOver(Path& out) {
    out.ClosePath();
    path.ClosePath();
    // Assignment moves the sub-path array and fields and leaves the tracer's path empty;
    // out's former sub-paths are freed.
    out = path;
}

void TraceEngine::Abandon() {
    Reset();
    fitter.points.Reset();
    fitter.haveFirstCmd = false;
    Path fresh(path.accuracy);
    path = fresh;
}
