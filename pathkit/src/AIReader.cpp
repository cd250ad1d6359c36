#include "pathkit/AIReader.h"

#include <cmath>
#include <cstring>

#include "pathkit/PathCmd.h"

namespace {

// A colour component times 255, truncated. The small allowance keeps components written
// with six significant digits on their byte.
std::uint32_t ComponentByte(float v) {
    if (!(v > 0)) return 0;
    double scaled = double(v) * 255 + 1e-3;
    return scaled >= 255 ? 255 : std::uint32_t(scaled);
}

std::uint32_t RGB(float r, float g, float b) {
    return ComponentByte(r) + 256 * ComponentByte(g) + 65536 * ComponentByte(b);
}

} // namespace

AIReader::AIReader(InStream& in)
    : AIParser(&in), strokeColour(ColorPath::NoColour), lineWidth(0), pendingSmooth(0),
      headerDone(0), inCompound(0), stroke(0), fill(0) {}

AIReader& AIReader::operator>>(ColorPath& target) {
    delivered_ = false;
    if (!headerDone) {
        headerDone = 1;
        ProcessHeader();
    }
    if (!ProcessScript()) return *this;
    target.ClosePath();
    path.ClosePath();
    // A transfer: the target's sub-paths are freed, the colour, layer and flags copied, and
    // this path is left without sub-paths for the next shape.
    target = path;
    delivered_ = true;
    return *this;
}

int AIReader::ProcessScript() {
    stroke = 0;
    fill = 0;
    return AIParser::ProcessScript();
}

void AIReader::FinishSubPath() {
    PathMemberEDynArr& members = path.building.members;
    const PathMember* last = members.last();
    if (pendingSmooth && last && last->end == members[0].start) members[0].flags |= PM_SMOOTH;
    pendingSmooth = 0;
    path.ClosePath();
}

void AIReader::MarkAppended(unsigned before, int smooth) {
    PathMemberEDynArr& members = path.building.members;
    // A zero-length line is not appended and so takes no flag.
    if (pendingSmooth && members.Filled() > before) members.last()->flags |= PM_SMOOTH;
    pendingSmooth = smooth;
}

int AIReader::UnImplemented() {
    return 1;
}

int AIReader::Creator() {
    return 1;
}

int AIReader::BoundingBox(const floatBBox&) {
    return 1;
}

int AIReader::BeginGroup(int) {
    if (compound) {
        inCompound = 1;
        stroke = 0;
    }
    return 1;
}

int AIReader::EndGroup(int) {
    if (!compound) return 1;
    if (lastPaint == 'b' || lastPaint == 'B') stroke = 1;
    // Fill inside a compound path leaves the flag alone; the shape is filled all the same.
    if (lastPaint && std::strchr("fFbB", lastPaint)) fill = 1;
    Fill(1);
    inCompound = 0;
    return 0;
}

int AIReader::SetFillColor(float r, float g, float b) {
    path.colour = RGB(r, g, b);
    return 1;
}

int AIReader::SetStrokeColor(float r, float g, float b) {
    strokeColour = RGB(r, g, b);
    return 1;
}

int AIReader::SetLineWidth(float width) {
    lineWidth = width;
    return 1;
}

int AIReader::MoveTo(const floatPoint& p) {
    FinishSubPath();
    path.Append(PC_MOVETO, p.x, p.y);
    return 1;
}

int AIReader::LineTo(const floatPoint& p, int smooth) {
    unsigned before = path.building.members.Filled();
    path.Append(p.x, p.y);
    MarkAppended(before, smooth);
    return 1;
}

int AIReader::CurveTo(const floatPoint& p1, const floatPoint& p2, const floatPoint& p3,
                      int smooth) {
    unsigned before = path.building.members.Filled();
    path.Append(p1.x, p1.y, p2.x, p2.y, p3.x, p3.y);
    MarkAppended(before, smooth);
    return 1;
}

int AIReader::Fill(int) {
    FinishSubPath();
    if (inCompound) return 1;
    stroke = 0;
    fill = 1;
    return 0;
}

int AIReader::Stroke(int) {
    FinishSubPath();
    stroke = 1;
    fill = 0;
    return 0;
}

int AIReader::FillAndStroke(int) {
    fill = 1;
    stroke = 1;
    FinishSubPath();
    return inCompound ? 1 : 0;
}

int AIReader::SectionWithClipPath() {
    return 1;
}
