#include "pathkit/WPFReader.h"

#include <cmath>
#include <cstring>

#include "ClassicNumbers.h"
#include "pathkit/ColorPath.h"

namespace {

constexpr int TokenLength = 40; // tokens of at most 39 characters
constexpr char Blanks[] = " \t\r\n";
// Beyond this many grid steps a value has no fraction left to round.
constexpr double MaxGridSteps = 1e15;

// Sets a pointer for the duration of a call, also when it throws.
template <class T> class PointerScope {
public:
    PointerScope(T*& slot, T* value) : slot_(slot), saved_(slot) { slot_ = value; }
    ~PointerScope() { slot_ = saved_; }
    PointerScope(const PointerScope&) = delete;
    PointerScope& operator=(const PointerScope&) = delete;

private:
    T*& slot_;
    T* saved_;
};

} // namespace

WPFReader::WPFReader(InStream& in, float grid) : in(in), grid(grid), lineStream_(line_, 0) {
    lineStream_ >> MaxLen(TokenLength);
}

WPFReader::~WPFReader() = default;

bool WPFReader::LineBegins(const char* keyword) const {
    return std::strncmp(line_, keyword, std::strlen(keyword)) == 0;
}

int WPFReader::GetLine() {
    int c;
    do {
        c = in.Get();
    } while (c == ' ' || c == '\t' || c == '\r' || c == '\n');
    lineLength_ = 0;
    if (c >= 0) {
        line_[lineLength_++] = char(c);
        while (lineLength_ < MaxLineLength) {
            c = in.Get();
            if (c < 0 || c == '\r' || c == '\n') break;
            line_[lineLength_++] = char(c);
        }
    }
    line_[lineLength_] = 0;
    lineStream_.Attach(line_, lineLength_);
    return c < 0 && lineLength_ == 0 ? -1 : lineLength_;
}

int WPFReader::IsExtention() {
    return 0;
}

void WPFReader::BeginGroup() {}

void WPFReader::EndGroup() {}

void WPFReader::ReadPHeader() {}

double WPFReader::ReadCoord() {
    double v = 0;
    lineStream_ >> v;
    double g = grid;
    if (g != 0 && std::isfinite(g)) {
        double steps = v / g;
        if (std::fabs(steps) < MaxGridSteps) v = g * std::floor(steps + 0.5);
    }
    return v / scale_;
}

bool WPFReader::ReadPoint(double& x, double& y) {
    x = ReadCoord();
    y = ReadCoord();
    // Written so that NaN is out of range as well.
    return std::fabs(x) <= MaxCoord && std::fabs(y) <= MaxCoord;
}

void WPFReader::ReadPathMember() {
    if (!target_) return;
    lineStream_.Attach(line_, lineLength_);
    char token[TokenLength];
    lineStream_ >> WhiteSpace(Blanks) >> token;
    if (token[0] == 0 || token[1] != 0) return;

    SubPath& sp = target_->building;
    std::uint16_t before = sp.members.Filled();
    if (token[0] == 'C') {
        double x1, y1, x2, y2, x3, y3;
        bool inRange = ReadPoint(x1, y1);
        inRange = ReadPoint(x2, y2) && inRange;
        inRange = ReadPoint(x3, y3) && inRange;
        if (!inRange) return;
        target_->Append(PC_CURVETO, float(x1), float(y1));
        target_->Append(PC_CURVEPOINT, float(x2), float(y2));
        target_->Append(PC_CURVEPOINT, float(x3), float(y3));
    } else if (token[0] == 'L') {
        double x, y;
        if (!ReadPoint(x, y)) return;
        target_->Append(PC_LINETO, float(x), float(y));
    } else {
        return;
    }
    // A dropped zero-length line takes its markers with it.
    if (sp.members.Filled() == before) return;

    lineStream_ >> WhiteSpace(Blanks) >> token;
    PathMember* last = sp.members.last();
    if (std::strstr(token, "Sel")) last->flags |= PM_SELECTED;
    if (std::strstr(token, "Smt")) last->flags |= PM_SMOOTH;
    if (std::strstr(token, "Sym")) last->flags |= PM_SYMMETRIC;
}

int WPFReader::ReadSPHeader() {
    if (!target_) return 0;
    constexpr int KeywordLength = 7; // "SubPath"
    if (lineLength_ < KeywordLength) return 0;
    lineStream_.Attach(line_ + KeywordLength, lineLength_ - KeywordLength);
    double x, y;
    if (!ReadPoint(x, y)) return 0;
    target_->Append(PC_MOVETO, float(x), float(y));
    return 1;
}

int WPFReader::ReadSubPath() {
    if (!target_ || !LineBegins("SubPath")) return 0;
    int started = ReadSPHeader();
    int stopped = 0;
    while (GetLine() >= 0 && !LineBegins("EndSubPath")) {
        if (IsExtention()) {
            stopped = 1;
            break;
        }
        if (started) ReadPathMember();
    }
    target_->ClosePath();
    return stopped;
}

void WPFReader::TakeScale() {
    const char* s = std::strstr(line_, "Scale=");
    if (!s) return;
    double v = ClassicStrToD(s + 6);
    // A scale of 0, below 0 or not finite would wreck every coordinate.
    if (v > 0 && std::isfinite(v)) scale_ = v;
}

int WPFReader::Read(Path& target) {
    ColorPath* colour =
        pendingColor_ && static_cast<Path*>(pendingColor_) == &target ? pendingColor_ : nullptr;
    PointerScope<Path> targetScope(target_, &target);
    PointerScope<ColorPath> colourScope(colorTarget_, colour);

    int found = 0;
    while (GetLine() >= 0) {
        if (LineBegins("Path")) {
            found = 1;
            break;
        }
        if (LineBegins("BeginGroup")) {
            BeginGroup();
        } else if (LineBegins("EndGroup")) {
            EndGroup();
        } else if (IsExtention()) {
            return 0;
        }
    }
    TakeScale();
    ReadPHeader();
    if (IsExtention()) return found;
    while (GetLine() >= 0 && !LineBegins("EndPath"))
        if (ReadSubPath() || IsExtention()) break;
    return found;
}

int WPFReader::Read(ColorPath& target) {
    PointerScope<ColorPath> scope(pendingColor_, &target);
    return Read(static_cast<Path&>(target));
}

WPFReader& WPFReader::operator>>(Path& target) {
    Read(target);
    return *this;
}

WPFReader& WPFReader::operator>>(ColorPath& target) {
    Read(target);
    return *this;
}
