// The record-language driver: the job sequence, marker rewriting and curves.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <new>

#include <plotterdriver/DriverOwner.h>
#include <settings/CIniFile.h>
#include <win32/user.h>

#include <driverframe/DriverResources.h>
#include <driverframe/Saturate.h>

#include "AmberDriver.h"
#include "AmberStrings.h"

namespace {

void AppendWord(BinaryString& s, long v) {
    s.Append(std::uint8_t((v >> 8) & 0xFF));
    s.Append(std::uint8_t(v & 0xFF));
}

// Replaces segment 1 of the template: the part before the first marker found, n
// repetitions of the area record and/or the parameter text (byte 5 between them), and the
// rest behind that marker, without the other marker when both were found.
void Insert(RecordTemplate& t, int n, long total, long value, const BinaryString& area,
            const BinaryString& parameter) {
    const BinaryString& seg = t.segment[0];
    const int atArea = area.Empty() ? -1 : seg.Find(area[0]);
    const int atParameter = parameter.Empty() ? -1 : seg.Find(parameter[0]);
    if (atArea < 0 && atParameter < 0) return;
    const int first = atArea < 0 ? atParameter : atParameter < 0 ? atArea
                                                                 : std::min(atArea, atParameter);
    const int other = atArea >= 0 && atParameter >= 0 ? std::max(atArea, atParameter) : -1;
    BinaryString result = seg.Substring(0, std::size_t(first));
    const long q = n > 0 ? total / n : 0;
    for (int j = 1; j <= n; ++j) {
        if (atArea >= 0) {
            result.Append(area[0]);
            AppendWord(result, 0);
            AppendWord(result, value);
            AppendWord(result, (j - 1) * q);
            AppendWord(result, j * q);
        }
        if (atParameter >= 0) result.Append(parameter);
        if (j < n) result.Append(5);
    }
    for (std::size_t i = std::size_t(first) + 1; i < seg.Length(); ++i)
        if (int(i) != other) result.Append(seg[i]);
    t.segment[0] = result;
}

void Remove(RecordTemplate& t, const BinaryString& marker) {
    if (marker.Empty()) return;
    const BinaryString& seg = t.segment[0];
    const int at = seg.Find(marker[0]);
    if (at < 0) return;
    BinaryString result = seg.Substring(0, std::size_t(at));
    result.Append(seg.Substring(std::size_t(at) + 1, seg.Length()));
    t.segment[0] = result;
}

} // namespace

bool AmberDriver::IsFotFile() const {
    if (device_.size() < 4) return false;
    std::string tail = device_.substr(device_.size() - 4);
    for (char& c : tail) c = char(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".fot";
}

void AmberDriver::Fail(unsigned messageId) {
    texts_.Show(messageId, MB_OK | MB_ICONSTOP, section_.c_str());
    Abort();
}

long AmberDriver::ToDevice(LONG v) const {
    return long(std::trunc(double(v) * 0.0625 / scaleFactor_ + 0.5));
}

void AmberDriver::Init() {
    // Every job starts afresh: a former abort does not stop it, and the port is the
    // section's Device as it is now (the plot library may have pointed it at a spool file).
    aborted_ = false;
    jobOpened_ = false;
    // A block never spans two jobs: what earlier jobs wrote went over a connection that has
    // been closed since, and the built-in End does not close its block.
    blockBytes_ = 0;
    {
        CIniFile ini(iniPath_.c_str());
        device_ = static_cast<const char*>(ini.GetCString(section_.c_str(), "Device", "COM1"));
    }
    // A template that could not be loaded whole would send a cut-off command.
    for (const RecordTemplate& t : templates_)
        if (t.tooLong) {
            Fail(IDS_AMBER_TEMPLATE_TOO_LONG);
            return;
        }
    Open();
    float width = 0, height = 0;
    if (owner) owner->GetPlotSize(width, height);
    int f = 1;
    if (!pageMatch_ && physicalPageSize_ >= 1)
        f = std::uint8_t(std::trunc(double(width) / physicalPageSize_ + 1));
    scaleFactor_ = f > 0 ? f : 1;
    {
        CIniFile ini(iniPath_.c_str());
        double step = ini.GetFloat(section_.c_str(), "StepSize", 0.05);
        if (!(step > 0) || !std::isfinite(step)) step = 0.05;
        deviceStep_ = double(float(step)) * scaleFactor_;
    }
    if (!haveSplineParameters_) {
        spline_ = SplineParameters::ForQuality(splineQuality_, deviceStep_);
        haveSplineParameters_ = true;
    }
    spline_.deviceStep = deviceStep_;
    try {
        RewriteMarkers();
    } catch (const BinaryString::Error&) {
        Fail(IDS_AMBER_TEMPLATE_TOO_LONG);
    } catch (const std::exception&) {
        Fail(IDS_AMBER_REWRITE_FAILED);
    }
    if (owner) {
        owner->homeX = owner->homeY = 0;
        owner->headX = owner->headY = 0;
    }
}

void AmberDriver::RewriteMarkers() {
    // From the templates as loaded, so that a job with another scale factor is not left
    // with the repetitions of the one before.
    templates_[StartT] = loaded_[0];
    templates_[EndT] = loaded_[1];
    BinaryString area = RecordTemplate::ParseMarker(areaText_);
    BinaryString parameter = RecordTemplate::ParseMarker(parameterText_);
    if (parameter.Length() >= 3) parameter[2] = std::uint8_t((scaleFactor_ + 15) * 16);
    if (area.Empty() && parameter.Empty()) return;
    const BinaryString none;
    RecordTemplate& start = templates_[StartT];
    RecordTemplate& end = templates_[EndT];
    if (pageMatch_) {
        Insert(start, 1, 32767, 32767, area, parameter);
        Remove(end, area);
        Remove(end, parameter);
    } else if (scaleFactor_ > 1) {
        float width = 0, height = 0;
        if (owner) owner->GetPlotSize(width, height);
        const long total = long(std::trunc(double(width) / deviceStep_ + 0.5));
        const long value = long(std::trunc(double(height) / deviceStep_ + 0.5));
        Insert(end, scaleFactor_, total, value, area, parameter);
        Remove(start, area);
        Remove(start, parameter);
    } else {
        Insert(start, 1, 0, 0, none, parameter);
        Remove(start, area);
        Insert(end, 1, 32767, 32767, area, none);
        Remove(end, parameter);
    }
    budget_ = std::max<long>(budget_, long(2 * LongestQueued() +
                                           templates_[Continue].segment[0].Length()));
}

void AmberDriver::Reset() {
    pending_.command.Clear();
    WriteCommand(templates_[ResetT].BuildPlain());
    jobStarted_ = false;
    headX = headY = 0;
}

void AmberDriver::HPStart() {
    headMoved_ = false;
    if (IsFotFile()) return;
    QueueCommand(templates_[StartT]);
    jobStarted_ = true;
    headPositioning_ = true;
}

void AmberDriver::HPEnd() {
    headPositioning_ = false;
    if (!headMoved_) return;
    QueueCommand(templates_[HeadPosStart]);
    QueueCommand(templates_[EndT]);
    jobStarted_ = false;
    if (closeAfterHeadPos_) Close();
}

int AmberDriver::Start(int) {
    if (!(owner && owner->IsAborted())) aborted_ = false;
    Open();
    if (jobStarted_) return 0;
    if (!IsFotFile()) {
        QueueCommand(templates_[StartT]);
        jobStarted_ = true;
    }
    headMoved_ = false;
    return 0;
}

void AmberDriver::SetOrigin(LONG x, LONG y) {
    MoveTo(x, y);
    headX = headY = 0;
    QueueCommand(templates_[NewPage1]);
    Pause();
    QueueCommand(templates_[NewPage2]);
}

void AmberDriver::End() {
    if (aborted_ && owner && owner->IsAborted()) {
        Close();
        return;
    }
    QueueCommand(templates_[EndT]);
    jobStarted_ = false;
    // The pending End goes out before the port closes.
    Close();
}

void AmberDriver::MoveTo(LONG x, LONG y) {
    headX = x;
    headY = y;
    try {
        if (!headPositioning_) {
            MoveToDevice(ToDevice(x), ToDevice(y));
            return;
        }
        if (headMoved_) {
            QueueCommand(templates_[HeadPosStart]);
        } else {
            headMoved_ = true;
            if (!jobStarted_) {
                QueueCommand(templates_[HeadPosStart]);
                jobStarted_ = true;
            }
        }
        MoveToDevice(ToDevice(x), ToDevice(y));
        QueueCommand(templates_[HeadPosEnd]);
        jobStarted_ = false;
    } catch (const BinaryString::Error&) {
        Fail(IDS_AMBER_TEMPLATE_TOO_LONG);
    }
}

void AmberDriver::LineTo(LONG x, LONG y) {
    headX = x;
    headY = y;
    try {
        LineToDevice(ToDevice(x), ToDevice(y));
    } catch (const BinaryString::Error&) {
        Fail(IDS_AMBER_TEMPLATE_TOO_LONG);
    }
}

void AmberDriver::Output(SaturatingPoint&, SaturatingPoint&, SaturatingPoint&,
                         SaturatingPoint& p3) {
    LineTo(p3.x, p3.y);
}

void AmberDriver::CurveTo(LONG x1, LONG y1, LONG x2, LONG y2, LONG x3, LONG y3, LONG x4,
                          LONG y4) {
    if (!convertToSpline_) {
        SaturatingPoint p0(x1, y1), p1(x2, y2), p2(x3, y3), p3(x4, y4);
        CalcCurve(p0, p1, p2, p3, 0);
        return;
    }
    try {
        SendSmoothPoints(x1, y1, x2, y2, x3, y3, x4, y4);
    } catch (const BinaryString::Error&) {
        Fail(IDS_AMBER_TEMPLATE_TOO_LONG);
    }
    headX = x4;
    headY = y4;
}

void AmberDriver::SendSmoothPoints(LONG x1, LONG y1, LONG x2, LONG y2, LONG x3, LONG y3, LONG x4,
                                   LONG y4) {
    const double s = internalStep_;
    const SmoothPoint p[4] = {{x1 * s, y1 * s}, {x2 * s, y2 * s}, {x3 * s, y3 * s},
                              {x4 * s, y4 * s}};
    RecordTemplate& spline = templates_[SplineTo];
    auto clearRunBit = [&] {
        if (!spline.segment[0].Empty()) spline.segment[0][0] &= std::uint8_t(~0x04);
    };
    for (const SmoothPoint& point : SmoothPoints(p, spline_, scaleFactor_)) {
        const std::uint8_t pendingFlag =
            pending_.flagIndex >= 0 && std::size_t(pending_.flagIndex) < pending_.command.Length()
                ? pending_.command[std::size_t(pending_.flagIndex)]
                : 0;
        if (pendingFlag == GetMoveFlag()) clearRunBit();
        spline.BuildRecord(long(std::trunc(point.x / deviceStep_ + 0.5)),
                           long(std::trunc(point.y / deviceStep_ + 0.5)));
        clearRunBit();
        MoveRecord(spline);
    }
    if (!spline.segment[0].Empty()) spline.segment[0][0] |= 0x04;
}
