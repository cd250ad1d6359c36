// The record-language driver: loader, transport and the pending-record queue.
#include "AmberDriver.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <plotterdriver/DriverOwner.h>
#include <settings/CIniFile.h>
#include <win32/user.h>

#include <driverframe/DriverResources.h>
#include <driverframe/Saturate.h>

#include "AmberStrings.h"

namespace {

const char* const kStart = R"(\3\4\0\0\0\0\0\1\0\1\0\0\0\0\6\0\0\127\255\0\0\127\255\1)";
const char* const kNewPage1 = R"(\0\255\255\255\255\128\4\0#\0\0\0\0\0\0\0\0\0\0\5)";
const char* const kFlush = R"(\0\255\255\255\255\0\0\0\0\0\128\4\0#\0\0\0\0\0\0\0\0\0\0\5)";
const char* const kReset = R"(\3\4\0\0\0\0\0\1\0\1\0\0\0\0\1\0\255\255\255\255\0\0\0\0\0\128\5\8)"
                           R"(\3\4\0\0\0\0\0\1\0\1\0\0\0\0\1\0\255\255\255\255\0\0\0\0\0\128\5)";

constexpr long kDefaultBlockLength = 1047552;

PortPolicy AmberPolicy() {
    PortPolicy p;
    p.lptPorts = 2;
    p.comPorts = 4;
    p.printers = false;
    p.usbThroughPortLibrary = false;
    p.transmit = true;
    p.fixedTimeOut = 60000;
    p.dosPortNames = true;
    return p;
}

LONG Steps(double mm, float step) {
    return RoundToInt32(mm / double(step));
}

} // namespace

AmberDriver::AmberDriver(const DriverResources& texts)
    : SaturatingBez3Base(2), texts_(texts), port_(*this, texts),
      templates_{{"CutInit", kStart},       {"PlotInit", kStart},
                 {"HeadPosStart", R"(\1)"}, {"HeadPosEnd", R"(\128\5)"},
                 {"Start", kStart},         {"MoveTo", R"(\0\255\255\255\255\0####)"},
                 {"LineTo", R"(\0####)"},   {"SplineTo", R"(\1####)"},
                 {"NewPage1", kNewPage1},   {"NewPage2", kStart},
                 {"End", kNewPage1},        {"Reset", kReset},
                 {"Flush", kFlush},         {"Flush2", kNewPage1},
                 {"Continue", kStart}},
      loaded_{{"Start", kStart}, {"End", kNewPage1}} {
    port_.SetPolicy(AmberPolicy());
    port_.BindPortLibrary();
}

AmberDriver::~AmberDriver() = default;

bool AmberDriver::Bind(const char* deviceName, const char* iniPath) {
    section_ = deviceName ? deviceName : "";
    iniPath_ = iniPath ? iniPath : "";
    ReloadSettings();
    return true;
}

std::size_t AmberDriver::LongestQueued() const {
    std::size_t longest = 0;
    for (T t : {HeadPosStart, HeadPosEnd, StartT, NewPage1, NewPage2, EndT, Continue})
        longest = std::max(longest, templates_[t].segment[0].Length());
    for (T t : {MoveToT, LineToT, SplineTo}) {
        const RecordTemplate& r = templates_[t];
        longest = std::max(longest, r.segment[0].Length() + r.segment[1].Length() +
                                        r.segment[2].Length() + 4);
    }
    return longest;
}

void AmberDriver::ReloadSettings() {
    CIniFile ini(iniPath_.c_str());
    const char* s = section_.c_str();
    auto integer = [&](const char* key, int def) { return int(ini.GetInt(s, key, unsigned(def))); };
    numberOfPens = integer("NumberOfPens", 1);
    closeAfterHeadPos_ = integer("CloseAfterHeadPos", 0);
    long blockLength = integer("maxblocklen", int(kDefaultBlockLength));
    convertToSpline_ = integer("ConvertToSpline", 0);
    substitute_ = section_.find("(R)") != std::string::npos;
    for (RecordTemplate& t : templates_) t.Load(ini, s);
    loaded_[0] = templates_[StartT];
    loaded_[1] = templates_[EndT];
    areaText_ = static_cast<const char*>(ini.GetCString(s, "AreaCmd", ""));
    parameterText_ = static_cast<const char*>(ini.GetCString(s, "ParameterCmd", ""));
    endOfBlock_ = 5;
    // Room for the longer of End and Flush as last built (nothing is built after a load).
    budget_ = blockLength - 200;
    // The overflow sequence itself must fit a fresh block: Continue and the resent move,
    // then the record that overflowed.
    budget_ = std::max<long>(budget_, long(2 * LongestQueued() + templates_[Continue].segment[0].Length()));

    stepSizeMm_ = float(ini.GetFloat(s, "StepSize", 0.05));
    if (!(stepSizeMm_ > 0) || !std::isfinite(stepSizeMm_)) {
        texts_.Show(IDS_AMBER_BAD_STEP_SIZE, MB_OK, section_.c_str());
        stepSizeMm_ = 0.05f;
    }
    internalStep_ = stepSizeMm_ * 0.0625f;
    stepSize = internalStep_;
    maxX = Steps(ini.GetFloat(s, "MaxX", 1600), internalStep_);
    maxY = Steps(ini.GetFloat(s, "MaxY", 451), internalStep_);
    pageSize = Steps(ini.GetFloat(s, "PageSize", 0), internalStep_);
    physicalPageSize_ = integer("PhysicalPageSize", 1600);
    LONG tolerance = Steps(ini.GetFloat(s, "Accuracy", 0.2), internalStep_);
    if (tolerance < 2) tolerance = 2;
    SetErrorTolerance(tolerance);
    headPosDelay = integer("HeadPosDelay", 20);
    pageMatch_ = RoundToInt32(double(pageSize) * internalStep_) == physicalPageSize_;
    splineQuality_ = SplineQuality(double(tolerance) * internalStep_ * 100);
    device_ = static_cast<const char*>(ini.GetCString(s, "Device", "COM1"));
}

// ---- transport ----

bool AmberDriver::JobAborted() const {
    return aborted_ || (owner && owner->IsAborted());
}

void AmberDriver::Abort() {
    aborted_ = true;
    if (owner) owner->aborted = 1;
}

void AmberDriver::Open() {
    if (port_.IsOpen() || aborted_) return;
    // Within a job a file is written on behind what the job already put there.
    port_.Open(device_, "", iniPath_, section_, jobName ? jobName : "", jobOpened_);
    jobOpened_ = true;
}

void AmberDriver::Close() {
    WritePending();
    if (!port_.IsOpen()) return;
    if (!JobAborted()) port_.WaitUntilSent();
    port_.Close();
}

void AmberDriver::Exit() {
    Close();
}

void AmberDriver::Pause() {
    Close();
    if (!JobAborted() &&
        texts_.Show(IDS_AMBER_PAUSE, MB_OKCANCEL | MB_ICONINFORMATION) == IDCANCEL)
        Abort();
    Open();
}

const char* AmberDriver::GetDeviceName() {
    return device_.c_str();
}

void AmberDriver::Write(const char* data, int length) {
    if (!data || JobAborted()) return;
    std::size_t size = length < 0 ? std::strlen(data) : std::size_t(length);
    for (std::size_t at = 0; at < size; at += BinaryString::MaxLength) {
        std::size_t n = std::min(size - at, BinaryString::MaxLength);
        port_.Write(data + at, int(n));
    }
}

void AmberDriver::WriteCommand(const BinaryString& command) {
    if (command.Empty() || JobAborted()) return;
    blockBytes_ += long(command.Length());
    if (!substitute_) {
        port_.Write(command.Data(), int(command.Length()));
        return;
    }
    std::string bytes = command.Bytes();
    for (char& c : bytes) c = char(Substitute(std::uint8_t(c)));
    port_.Write(bytes.data(), int(bytes.size()));
}

// ---- the queue ----

void AmberDriver::WritePending() {
    if (pending_.command.Empty()) return;
    WriteCommand(pending_.command);
    pending_.command.Clear();
}

void AmberDriver::SendRecord(RecordTemplate& record) {
    const long needed =
        long(pending_.command.Length() + record.command.Length()) + blockBytes_;
    if (!inOverflow_ && budget_ < needed) Overflow();
    WritePending();
    kept_ = record.numberIndex >= 0 && std::size_t(record.numberIndex) < record.command.Length()
                ? record.command[std::size_t(record.numberIndex)]
                : 0;
    pending_ = record;
}

void AmberDriver::QueueCommand(RecordTemplate& plain) {
    const BinaryString& command = plain.BuildPlain();
    if (pending_.flagIndex >= 0 && std::size_t(pending_.flagIndex) < pending_.command.Length())
        pending_.command[std::size_t(pending_.flagIndex)] = GetMoveFlag();
    if (command.Find(endOfBlock_) >= 0) {
        CloseBlock(command);
        return;
    }
    SendRecord(plain);
}

void AmberDriver::CloseBlock(const BinaryString& command) {
    if (pending_.command.Empty() && blockBytes_ == 0) return;
    WritePending();
    WriteCommand(command);
    blockBytes_ = 0;
}

void AmberDriver::Overflow() {
    inOverflow_ = true;
    CloseBlock(GetFlushCommand());
    Pause();
    SendContinue();
    ResendMove(kept_);
    inOverflow_ = false;
}

const BinaryString& AmberDriver::GetFlushCommand() {
    return templates_[Flush].command;
}

void AmberDriver::SendContinue() {
    QueueCommand(templates_[Continue]);
}

void AmberDriver::ResendMove(std::uint8_t value) {
    RecordTemplate& move = templates_[MoveToT];
    if (move.numberIndex >= 0 && std::size_t(move.numberIndex) + 4 <= move.command.Length()) {
        const std::size_t at = std::size_t(move.numberIndex);
        move.command[at] = value;
        move.command[at + 1] = move.command[at + 2] = move.command[at + 3] = 0;
    }
    MoveRecord(move);
}

std::uint8_t AmberDriver::GetMoveFlag() {
    const RecordTemplate& move = templates_[MoveToT];
    return move.flagIndex >= 0 && std::size_t(move.flagIndex) < move.command.Length()
               ? move.command[std::size_t(move.flagIndex)]
               : 0;
}

void AmberDriver::MoveRecord(RecordTemplate& record) {
    if (pending_.flagIndex >= 0 && record.flagIndex >= 0 &&
        std::size_t(pending_.flagIndex) < pending_.command.Length() &&
        std::size_t(record.flagIndex) < record.command.Length())
        pending_.command[std::size_t(pending_.flagIndex)] =
            record.command[std::size_t(record.flagIndex)];
    SendRecord(record);
}

void AmberDriver::MoveToDevice(long a, long b) {
    templates_[MoveToT].BuildRecord(a, b);
    MoveRecord(templates_[MoveToT]);
}

void AmberDriver::LineToDevice(long a, long b) {
    templates_[LineToT].BuildRecord(a, b);
    MoveRecord(templates_[LineToT]);
}
