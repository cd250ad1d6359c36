#pragma once
// The record-language driver: moves, lines and curve points go to the cutter as binary
// outline records (flags byte, then two big-endian 16-bit coordinates), framed by job,
// page and block commands built from templates with built-in defaults. Records wait in a
// one-record queue so that blocks stay within the block budget; a full block is closed,
// the cutter paused, and the next block starts with Continue and the last move again.
//
// The plot library works in sixteenths of StepSize (the driver units); the cutter in
// StepSize × f, f being the scale factor set at Init for media longer than the physical
// page.

#include <string>

#include <driverframe/PortTransport.h>
#include <driverframe/SaturatingBez3Base.h>
#include <plotterdriver/PlotterDriver.h>

#include "RecordTemplate.h"
#include "SmoothPoints.h"

class DriverResources;

class AmberDriver : public PlotterDriver, public SaturatingBez3Base {
public:
    explicit AmberDriver(const DriverResources& texts);
    ~AmberDriver();

    // The three-page sheet (AmberSetup.cpp): OK writes the changed keys to the attached
    // section and reloads it; 1, else 0.
    int Setup(CWnd* parent) override;
    void Reset() override;
    void Abort() override;
    void Init() override;
    void Exit() override;
    void HPStart() override;
    void HPEnd() override;
    int Start(int cut) override;
    void SetOrigin(LONG x, LONG y) override;
    void End() override;
    void MoveTo(LONG x, LONG y) override;
    void LineTo(LONG x, LONG y) override;
    void CurveTo(LONG x1, LONG y1, LONG x2, LONG y2, LONG x3, LONG y3, LONG x4, LONG y4) override;
    // The Device text.
    const char* GetDeviceName() override;
    // Raw bytes (a spool header): written in pieces of at most 255 bytes, as they are.
    void Write(const char* data, int length) override;

    void Output(SaturatingPoint& p0, SaturatingPoint& p1, SaturatingPoint& p2,
                SaturatingPoint& p3) override;

    // The driver's own operations.
    virtual void ReloadSettings();
    // Counts the bytes into the block, substitutes them when the section asks it, writes.
    virtual void WriteCommand(const BinaryString& command);
    virtual void QueueCommand(RecordTemplate& plain);
    virtual const BinaryString& GetFlushCommand();
    virtual void SendContinue();
    virtual void ResendMove(std::uint8_t value);
    virtual std::uint8_t GetMoveFlag();
    virtual void MoveToDevice(long a, long b);
    virtual void LineToDevice(long a, long b);

    // A template's built-in text, in the file's escapes (empty for an unknown key).
    std::string BuiltInTemplate(const char* key) const;

    // Binds the object to section deviceName of the profile iniPath and loads it.
    bool Bind(const char* deviceName, const char* iniPath);
    bool HasPortLibrary() const { return port_.HasPortLibrary(); }
    // Whether Attach may hand the object out: only with the port library.
    bool CanAttach() const { return HasPortLibrary(); }

    // What the loader and Init set, for the tests.
    struct State {
        float internalStep;
        int physicalPageSize;
        int pageMatch;
        LONG tolerance;
        int splineQuality;
        long blockBudget;
        int convertToSpline;
        int substitute;
        int scaleFactor;
        double deviceStep;
    };
    State Snapshot() const {
        return {internalStep_, physicalPageSize_, pageMatch_, errorTolerance, splineQuality_,
                budget_,       convertToSpline_,  substitute_, scaleFactor_,  deviceStep_};
    }
    std::string LoadedDevice() const { return device_; }

    // The byte that replaces b in sections named with "(R)".
    // An odd multiplier modulo 256 permutes the byte values.
    static std::uint8_t Substitute(std::uint8_t b) { return std::uint8_t(b * 167u + 73u); }

private:
    enum T { CutInit, PlotInit, HeadPosStart, HeadPosEnd, StartT, MoveToT, LineToT, SplineTo,
             NewPage1, NewPage2, EndT, ResetT, Flush, Flush2, Continue, Count };

    void Open();
    // Writes the pending record, then closes the port.
    void Close();
    // Closes the port for a pause (page change, full block) and opens it again when the job
    // goes on after the question.
    void Pause();
    void WritePending();
    // Queues a built command: the block overflows first when it has no room for it.
    void SendRecord(RecordTemplate& record);
    // Queues a coordinate record, its flag byte copied into the pending record's first.
    void MoveRecord(RecordTemplate& record);
    void CloseBlock(const BinaryString& command);
    void Overflow();
    bool JobAborted() const;
    bool IsFotFile() const;
    void RewriteMarkers();
    void Fail(unsigned messageId);
    void SendSmoothPoints(LONG x1, LONG y1, LONG x2, LONG y2, LONG x3, LONG y3, LONG x4, LONG y4);
    long ToDevice(LONG v) const;
    // The longest command the queue sends, for the least block budget.
    std::size_t LongestQueued() const;

    const DriverResources& texts_;
    PortTransport port_;
    std::string iniPath_, section_;
    std::string device_ = "COM1";
    bool aborted_ = false;
    bool jobOpened_ = false; // the port was opened in this job: reopening appends
    int closeAfterHeadPos_ = 0;

    RecordTemplate templates_[Count];
    RecordTemplate loaded_[2]; // Start and End as loaded, rewritten afresh at each Init
    std::string areaText_, parameterText_;

    RecordTemplate pending_{"lastcmd", "dummy"};
    long blockBytes_ = 0;
    long budget_ = 1047552;
    std::uint8_t endOfBlock_ = 5;
    std::uint8_t kept_ = 0;
    bool inOverflow_ = false;

    int convertToSpline_ = 0;
    int substitute_ = 0;
    int scaleFactor_ = 1;
    int physicalPageSize_ = 1600;
    int pageMatch_ = 0;
    float stepSizeMm_ = 0.05f; // StepSize
    float internalStep_ = 0.003125f;
    double deviceStep_ = 0.05;
    int splineQuality_ = 5;
    bool haveSplineParameters_ = false;
    SplineParameters spline_;

    bool jobStarted_ = false;
    bool headPositioning_ = false;
    bool headMoved_ = false;
};
