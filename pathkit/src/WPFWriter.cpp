#include "pathkit/WPFWriter.h"

#include <cfloat>
#include <charconv>
#include <cmath>

#include "pathkit/ColorPath.h"
#include "pathkit/OutStream.h"
#include "pathkit/PathGroup.h"

namespace {

// Restores the remembered coloured path also when writing throws.
class ColorPathScope {
public:
    ColorPathScope(const ColorPath*& slot, const ColorPath* path) : slot_(slot), saved_(slot) {
        slot_ = path;
    }
    ~ColorPathScope() { slot_ = saved_; }
    ColorPathScope(const ColorPathScope&) = delete;
    ColorPathScope& operator=(const ColorPathScope&) = delete;

private:
    const ColorPath*& slot_;
    const ColorPath* saved_;
};

bool HasMembers(const Path& path) {
    for (const SubPath& sp : path.subPaths)
        if (sp.members.Filled()) return true;
    return false;
}

// Beyond this many grid steps a float has no fraction left to round.
constexpr double MaxGridSteps = 1e15;

} // namespace

WPFWriter::WPFWriter(OutStream& out, float grid) : out(out), grid(grid) {}

WPFWriter::~WPFWriter() = default;

const ColorPath* WPFWriter::ColorPathOf(const Path& path) const {
    return colorPath_ && static_cast<const Path*>(colorPath_) == &path ? colorPath_ : nullptr;
}

void WPFWriter::WriteNumber(double v) {
    if (std::isnan(v)) v = 0;
    if (v > FLT_MAX) v = FLT_MAX;
    if (v < -FLT_MAX) v = -FLT_MAX;
    out << v;
}

void WPFWriter::WriteCoord(float v) {
    double g = grid;
    double value = v;
    if (g != 0 && std::isfinite(g)) {
        double steps = value / g;
        if (std::fabs(steps) < MaxGridSteps) value = g * std::floor(steps + 0.5);
    }
    WriteNumber(value);
}

void WPFWriter::WritePoint(const floatPoint& p) {
    WriteCoord(p.x);
    out << ' ';
    WriteCoord(p.y);
}

void WPFWriter::WriteDecimal(long v) {
    char text[24];
    auto result = std::to_chars(text, text + sizeof text - 1, v);
    *result.ptr = 0;
    out << text;
}

void WPFWriter::Write(SubPath& sp) {
    if (!sp.members.Filled()) return;
    WriteHeader(sp);
    for (PathMember& m : sp.members) {
        out << ' ';
        Write(m);
        out << EndLine();
    }
    out << "EndSubPath" << EndLine();
}

void WPFWriter::Write(PathMember& m) {
    if (m.IsCurve()) {
        out << "C ";
        WritePoint(m.ctrl1);
        out << ' ';
        WritePoint(m.ctrl2);
        out << ' ';
    } else {
        out << "L ";
    }
    WritePoint(m.end);
    if (m.flags & (PM_SELECTED | PM_SMOOTH | PM_SYMMETRIC)) {
        out << " %";
        if (m.flags & PM_SELECTED) out << "Sel,";
        if (m.flags & PM_SMOOTH) out << "Smt,";
        if (m.flags & PM_SYMMETRIC) out << "Sym,";
    }
}

void WPFWriter::Write(PathGroup& group) {
    out << "BeginGroup" << EndLine();
    for (Path& path : group)
        Write(path);
    out << "EndGroup" << EndLine();
}

void WPFWriter::Write(Path& path) {
    if (!HasMembers(path)) return;
    WriteHeader(path);
    for (SubPath& sp : path.subPaths)
        Write(sp);
    out << "EndPath" << EndLine();
}

void WPFWriter::WriteHeader(Path&) {
    out << "Path LinesOnly" << EndLine();
}

void WPFWriter::WriteHeader(SubPath& sp) {
    if (!sp.members.Filled()) return;
    out << "SubPath ";
    WritePoint(sp.members[0].start);
    out << EndLine();
}

void WPFWriter::Write(ColorPath& path) {
    ColorPathScope scope(colorPath_, &path);
    Write(static_cast<Path&>(path));
}

WPFWriter& WPFWriter::operator<<(Path& path) {
    Write(path);
    return *this;
}

WPFWriter& WPFWriter::operator<<(ColorPath& path) {
    Write(path);
    return *this;
}

WPFWriter& WPFWriter::operator<<(PathGroup& group) {
    Write(group);
    return *this;
}
