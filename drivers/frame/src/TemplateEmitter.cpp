#include "driverframe/TemplateEmitter.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <string>

#include <plotterdriver/DeviceFile.h>
#include <win32/user.h>

#include "driverframe/DriverResources.h"
#include "driverframe/DriverStrings.h"
#include "driverframe/Saturate.h"

#include "VectAngle.h"

namespace {

constexpr std::int64_t kSplitLimit = 32700; // steps of one relative command
constexpr double kCornerAngle = std::numbers::pi / 3;
constexpr double kMinimumTipTravel = 3;   // steps
constexpr int kMaxSwivelSteps = 4096;     // bounds the swivel of absurd tool offsets
constexpr unsigned kRequestTimeout = 200; // milliseconds
constexpr unsigned kReplyTimeout = 500;
constexpr unsigned kGPGLReplyTimeout = 5000;
constexpr unsigned kFindMarkersTimeout = 1000;
constexpr unsigned kGetMarkersTimeout = 2000;

// A number as atol reads it (text that is not a number is 0), saturated to 32 bits.
long ParseNumber(const char* text, const char** end = nullptr) {
    char* stop = nullptr;
    long long value = std::strtoll(text, &stop, 10);
    if (end) *end = stop;
    return long(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

std::string UpperCase(std::string text) {
    for (char& c : text)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// Whether a request is HP-GL's "OA" (output actual position): the letters OA, in any case,
// with blanks and a closing ';' allowed around them.
bool IsActualPositionRequest(const std::string& request) {
    std::string text;
    for (char c : request)
        if (!std::isspace(static_cast<unsigned char>(c))) text += c;
    if (!text.empty() && text.back() == ';') text.pop_back();
    return UpperCase(text) == "OA";
}

// Coordinates of the flattener run fourfold; larger values could not be multiplied.
std::int32_t Times4(LONG v) {
    constexpr LONG limit = INT32_MAX / 4;
    return std::clamp(v, -limit, limit) * 4;
}

} // namespace

TemplateEmitter::TemplateEmitter(const DriverResources& texts, const EmitterSwitches& switches,
                                 const PortPolicy& policy)
    : TemplateDriver(texts, policy), switches_(switches) {
    maxX = 80000; // 2000 mm
    maxY = 18800; // 470 mm
    pageSize = 0;
    numberOfPens = 1;
    setup_.toolOffset = switches.compensation;
    setup_.linePoints = switches.polyLines;
    setup_.gpgl = switches.gpgl;
    setup_.transform = switches.transform;
    setup_.syncKeys = switches.syncBlock;
}

void TemplateEmitter::SectionLoaded(CIniFile&) {
    DeviceSection& s = section_;
    if (!switches_.transform) {
        s.swapXY = s.origoPos = s.mirrorToX = s.mirrorToY = 0;
    }
    if (!switches_.polyLines) s.muliplePoints = 0;
    if (!switches_.compensation) s.toolOffset = 0;
    if (!switches_.gpgl) {
        s.isGPGL = 0;
        s.windowsUSBID.clear();
    }
    if (!switches_.syncBlock) s.useAutoSync = 0;
    if (!switches_.autoCalibrate) {
        s[Cmd::FindSynchMarkers].Set("");
        s[Cmd::GetSynchMarkers].Set("");
    }
}

void TemplateEmitter::ClosePolyLine() {
    if (!polyLineOpen_) return;
    polyLineOpen_ = false;
    Send(Cmd::EndLine);
}

void TemplateEmitter::HeadToDeviceOrigin() {
    LONG x = 0, y = 0;
    Reverse(x, y);
    headX = x;
    headY = y;
}

void TemplateEmitter::WarnIfNegative(LONG x, LONG y) {
    if (switches_.warnNegative && (x < 0 || y < 0)) ReportOutsideOnce();
}

void TemplateEmitter::Reset() {
    Send(Cmd::Reset);
    HeadToDeviceOrigin();
}

void TemplateEmitter::HPStart() {
    endSent_ = false;
    Send(Cmd::Initialize);
    HeadToDeviceOrigin();
}

int TemplateEmitter::Start(int cut) {
    endSent_ = false;
    port_.SetTransmitMode(0);
    Send(cut ? Cmd::CutInit : Cmd::PlotInit);
    compensation_ = cut && section_.toolOffset > 0;
    return compensation_;
}

void TemplateEmitter::SetOrigin(LONG x, LONG y) {
    ClosePolyLine();
    Forward(x, y);
    Send(Cmd::SetOrigin, {x, y});
    HeadToDeviceOrigin();
}

void TemplateEmitter::SendEnd() {
    ClosePolyLine();
    if (section_[Cmd::End].IsEmpty() && switches_.blankForEmptyEnd)
        Write(" ", 1);
    else
        Send(Cmd::End);
}

void TemplateEmitter::End() {
    port_.SetTransmitMode(1);
    compensation_ = false;
    if (port_.UserAborted()) {
        FinishAbortedJob();
    } else {
        endSent_ = true;
        SendEnd();
        port_.WaitUntilSent();
    }
    Exit();
}

void TemplateEmitter::Exit() {
    if (!endSent_ && port_.UserAborted()) FinishAbortedJob();
    endSent_ = true;
    TemplateDriver::Exit();
}

void TemplateEmitter::FinishAbortedJob() {
    endSent_ = true;
    port_.SetFinishing(true);
    port_.SetTransmitMode(1);
    SendEnd();
    port_.WaitUntilSent();
    port_.SetFinishing(false);
}

void TemplateEmitter::SelectPen(unsigned pen) {
    ClosePolyLine();
    Send(Cmd::SelectPen, {long(pen)});
}

void TemplateEmitter::SetSpeed(int speed) {
    ClosePolyLine();
    Send(Cmd::SetSpeed, {speed});
}

void TemplateEmitter::SendPoint(const CommandTemplate& command, long x, long y) {
    if (switches_.yFirst)
        Send(command, {y, x});
    else
        Send(command, {x, y});
}

void TemplateEmitter::SendTo(const CommandTemplate& command, LONG X, LONG Y) {
    if (section_.absoluteCoords) {
        SendPoint(command, X, Y);
        return;
    }
    LONG hx = headX, hy = headY;
    Forward(hx, hy);
    std::int64_t dx = std::int64_t(X) - hx, dy = std::int64_t(Y) - hy;
    std::int64_t m = std::max(std::llabs(dx), std::llabs(dy));
    while (switches_.splitRelative && m > kSplitLimit) {
        std::int64_t sx = dx * kSplitLimit / m, sy = dy * kSplitLimit / m;
        SendPoint(command, long(sx), long(sy));
        dx -= sx;
        dy -= sy;
        m = std::max(std::llabs(dx), std::llabs(dy));
    }
    // Unsplit, a relative step saturates instead of wrapping.
    SendPoint(command, long(Saturate32(dx)), long(Saturate32(dy)));
}

void TemplateEmitter::MoveTo(LONG x, LONG y) {
    WarnIfNegative(x, y);
    LONG X = x, Y = y;
    Forward(X, Y);
    ClosePolyLine();
    SendTo(section_[Cmd::MoveRel], X, Y);
    headX = x;
    headY = y;
    last_.Fill(x, y);
}

void TemplateEmitter::PlainLine(LONG x, LONG y) {
    WarnIfNegative(x, y);
    LONG X = x, Y = y;
    Forward(X, Y);
    Cmd command = Cmd::LineRel;
    if (section_.muliplePoints) {
        command = polyLineOpen_ ? Cmd::ContinueLine : Cmd::StartLine;
        polyLineOpen_ = true;
    }
    SendTo(section_[command], X, Y);
    headX = x;
    headY = y;
}

void TemplateEmitter::LineTo(LONG x, LONG y) {
    SaturatingPoint target(x, y);
    if (!compensation_) {
        PlainLine(x, y);
    } else if (InsideKnifeBox(last_) && InsideKnifeBox(target)) {
        CompensatedLine(x, y);
    } else {
        PlainLine(x, y);
        last_ = target;
    }
}

bool TemplateEmitter::InsideKnifeBox(const SaturatingPoint& p) const {
    std::int64_t r = section_.toolOffset;
    return r < p.x && p.x < maxX - r && r < p.y && p.y < maxY - r;
}

double TemplateEmitter::AngleStep() const {
    double r = section_.toolOffset;
    if (r <= 0) return 0;
    // Below 3 steps every swivel step may take the largest angle.
    return std::fabs(std::asin(std::min(1.0, kMinimumTipTravel / r)));
}

void TemplateEmitter::CompensatedLine(LONG x, LONG y) {
    const double r = section_.toolOffset;
    const SaturatingPoint target(x, y);
    const double dx = double(x) - last_.x, dy = double(y) - last_.y;
    const double length = std::sqrt(dx * dx + dy * dy);
    // A line of length 0 has no direction: the knife neither moves nor turns.
    if (length == 0) return;
    const SaturatingPoint n(TruncateToInt32(std::trunc(r * dx) / length),
                            TruncateToInt32(std::trunc(r * dy) / length));
    const SaturatingPoint cutEnd = target + n;

    if (offset_ == SaturatingPoint()) {
        offset_ = n;
        if (target != last_) PlainLine(cutEnd.x, cutEnd.y);
        last_ = target;
        return;
    }

    const double theta = VectAngle(offset_.x, offset_.y, n.x, n.y);
    const double u = std::hypot(double(n.x) - offset_.x, double(n.y) - offset_.y);
    if (!(last_ == cutEnd && offset_ == n) && std::fabs(theta) >= kCornerAngle &&
        u >= kMinimumTipTravel) {
        // Swivel the knife around the corner in steps of at most 3 steps of tip travel.
        double steps = std::ceil(std::fabs(theta / AngleStep()));
        int k = std::isfinite(steps) ? int(std::min(steps, double(kMaxSwivelSteps))) : 1;
        for (int i = 1; i < k; ++i) {
            double a = theta * i / k;
            double rx = offset_.x * std::cos(a) - offset_.y * std::sin(a);
            double ry = offset_.x * std::sin(a) + offset_.y * std::cos(a);
            SaturatingPoint p = last_ + SaturatingPoint(TruncateToInt32(rx), TruncateToInt32(ry));
            PlainLine(p.x, p.y);
        }
        SaturatingPoint corner = last_ + n;
        PlainLine(corner.x, corner.y);
    }
    PlainLine(cutEnd.x, cutEnd.y);
    offset_ = n;
    last_ = target;
}

void TemplateEmitter::CurveTo(LONG x1, LONG y1, LONG x2, LONG y2, LONG x3, LONG y3, LONG x4,
                              LONG y4) {
    if (section_[Cmd::Bezier].IsEmpty()) {
        SaturatingPoint p0(Times4(x1), Times4(y1)), p1(Times4(x2), Times4(y2)),
            p2(Times4(x3), Times4(y3)), p3(Times4(x4), Times4(y4));
        CalcCurve(p0, p1, p2, p3, 0);
        return;
    }
    // The curve goes through the same transform as moves and lines.
    LONG pts[6] = {x2, y2, x3, y3, x4, y4};
    for (int i = 0; i < 6; i += 2)
        Forward(pts[i], pts[i + 1]);
    long v[6];
    LONG hx = headX, hy = headY;
    Forward(hx, hy);
    for (int i = 0; i < 6; i += 2) {
        v[i] = section_.absoluteCoords ? long(pts[i]) : long(pts[i]) - hx;
        v[i + 1] = section_.absoluteCoords ? long(pts[i + 1]) : long(pts[i + 1]) - hy;
    }
    if (switches_.yFirst)
        Send(Cmd::Bezier, {v[1], v[0], v[3], v[2], v[5], v[4]});
    else
        Send(Cmd::Bezier, {v[0], v[1], v[2], v[3], v[4], v[5]});
    headX = x4;
    headY = y4;
}

void TemplateEmitter::Output(SaturatingPoint&, SaturatingPoint&, SaturatingPoint&,
                             SaturatingPoint& p3) {
    LineTo(p3.x >> 2, p3.y >> 2);
}

bool TemplateEmitter::CanExchange() const {
    std::string device = UpperCase(section_.device);
    switch (switches_.exchange) {
    case EmitterSwitches::Exchange::UsbPrefix:
        return device.compare(0, 3, "USB") == 0;
    case EmitterSwitches::Exchange::ComOnly:
        return device.compare(0, 3, "COM") == 0 || IsDeviceFile(section_.device);
    case EmitterSwitches::Exchange::Frame:
        break;
    }
    return device.compare(0, 3, "COM") == 0 ||
           (section_.device == "USB" && !section_.windowsUSBID.empty()) ||
           IsDeviceFile(section_.device);
}

bool TemplateEmitter::OpenForExchange() {
    if (port_.IsOpen()) return false;
    Init();
    return port_.IsOpen();
}

bool TemplateEmitter::SendRequest(unsigned milliseconds, const CommandTemplate& command) {
    char text[CommandTemplate::MaxCommandLength + 1];
    if (!command.Format(text)) return false;
    return WriteWithTimeout(milliseconds, text, -1) != 0;
}

// One GP-GL reading exchange: the reply holds two numbers separated by blanks, up to ETX.
int TemplateEmitter::ReadGPGLPoint(char request, long& x, long& y) {
    char reply[36];
    if (!WriteWithTimeout(kRequestTimeout, &request, 1)) return 0;
    int n = ReadWithTimeout(reply, 35, kGPGLReplyTimeout, "\x03");
    if (n <= 4) return 0;
    reply[n] = '\0';
    const char* rest = reply;
    x = ParseNumber(rest, &rest);
    y = ParseNumber(rest);
    return 1;
}

int TemplateEmitter::ReadSheetSize() {
    if (!CanExchange() || section_[Cmd::GetPlottingArea].IsEmpty()) return 0;
    ClosePolyLine();
    bool openedHere = OpenForExchange();
    bool took = false;
    // A garbled reply must not shrink the plotting area to nothing: only positive limits
    // are taken.
    auto take = [&](long value, LONG& limit) {
        if (value <= 0) return;
        limit = LONG(value);
        took = true;
    };
    if (section_.isGPGL) {
        long x1, y1, x2, y2;
        if (ReadGPGLPoint('U', x1, y1) && ReadGPGLPoint('[', x2, y2)) {
            take(long(std::min<long long>(std::llabs((long long)x2 - x1), INT32_MAX)), maxX);
            take(long(std::min<long long>(std::llabs((long long)y2 - y1), INT32_MAX)), maxY);
        }
    } else if (SendRequest(kRequestTimeout, section_[Cmd::GetPlottingArea])) {
        char reply[80];
        int n = ReadWithTimeout(reply, 79, kReplyTimeout, "\r\n;");
        if (n > 0) {
            reply[n] = '\0';
            const char* comma2 = std::strchr(reply, ',');
            if (comma2) comma2 = std::strchr(comma2 + 1, ',');
            const char* comma3 = comma2 ? std::strchr(comma2 + 1, ',') : nullptr;
            if (comma2) take(ParseNumber(comma2 + 1), maxX);
            if (comma3) take(ParseNumber(comma3 + 1), maxY);
        }
    }
    if (openedHere) Exit();
    // A paper width of 0 follows the media: the transform takes the reported width.
    if (took) UpdateTransform();
    return took;
}

int TemplateEmitter::ReadHeadPos() {
    const std::string& request = section_[Cmd::GetHeadPos].Stored();
    if (!CanExchange() || request.empty()) return 0;
    ClosePolyLine();
    bool openedHere = OpenForExchange();
    char reply[80];
    int n = -1;
    if (WriteWithTimeout(kRequestTimeout, request.c_str(), int(request.size())))
        n = ReadWithTimeout(reply, 79, kReplyTimeout, "\r\n;\x03");
    if (openedHere) Exit();
    if (n <= 0) return 0;
    reply[n] = '\0';
    // HP-GL's OA answers the position along the media, the driver's x, first; other
    // requests are answered with y first.
    const bool alongFirst = switches_.headReplyXFirst || IsActualPositionRequest(request);
    LONG first = LONG(ParseNumber(reply));
    LONG second = alongFirst ? headY : headX;
    if (const char* comma = std::strchr(reply + 1, ',')) second = LONG(ParseNumber(comma + 1));
    LONG x = alongFirst ? first : second;
    LONG y = alongFirst ? second : first;
    Reverse(x, y);
    headX = x;
    headY = y;
    return 1;
}

int TemplateEmitter::CanAutoCalibrate() {
    if (!switches_.autoCalibrate) return 0;
    std::string device = UpperCase(section_.device);
    return (device.compare(0, 3, "COM") == 0 || device == "USB" || IsDeviceFile(section_.device)) &&
           !section_[Cmd::FindSynchMarkers].IsEmpty() && !section_[Cmd::GetSynchMarkers].IsEmpty();
}

int TemplateEmitter::AutoCalibrate(LONG, LONG a2, LONG a3, LONG a4, LONG a5, LONG, LONG& r1,
                                   LONG& r2, LONG& r3, LONG& r4, LONG& r5, LONG& r6) {
    if (!switches_.autoCalibrate) return 0;
    bool openedHere = OpenForExchange();
    int result = 0;
    char text[CommandTemplate::MaxCommandLength + 1];
    const long search[2] = {long(a2) - a4, long(a5) - a3};
    if (section_[Cmd::FindSynchMarkers].Format(text, search, 2) &&
        WriteWithTimeout(kFindMarkersTimeout, text, -1)) {
        texts_.Show(IDS_SEARCHING_MARKERS, MB_OK | MB_ICONINFORMATION);
        char reply[80];
        int n = -1;
        if (SendRequest(kGetMarkersTimeout, section_[Cmd::GetSynchMarkers]))
            n = ReadWithTimeout(reply, 79, kReplyTimeout, "\r\n;");
        if (n > 0) {
            reply[n] = '\0';
            long numbers[6];
            int count = 0;
            for (char* p = reply; *p && count < 6;) {
                if (std::strchr(" ,;", *p)) {
                    ++p;
                    continue;
                }
                numbers[count++] = ParseNumber(p);
                while (*p && !std::strchr(" ,;", *p))
                    ++p;
            }
            if (count == 6) {
                r1 = LONG(numbers[3]);
                r2 = LONG(numbers[2]);
                r3 = LONG(numbers[1]);
                r4 = LONG(numbers[0]);
                r5 = LONG(numbers[5]);
                r6 = LONG(numbers[4]);
                result = 1;
            }
        }
    }
    if (openedHere) Exit();
    return result;
}
