#pragma once
// The emitters of the template-language drivers: every operation of the plot library becomes
// commands formatted from the device section's templates. They keep the head position, split
// long relative moves, group lines into poly-lines, send curves as Bezier commands or flatten
// them, compensate a drag knife's offset at corners, and run the request/reply exchanges.
// The drivers differ only in the switches below.

#include "driverframe/TemplateDriver.h"

struct EmitterSwitches {
    bool transform = true;        // the section's coordinate transform; off: the identity
    bool splitRelative = true;    // relative moves and lines in pieces of at most 32700 steps
    bool yFirst = false;          // points are sent (y, x)
    bool warnNegative = true;     // a negative coordinate is reported
    bool polyLines = true;        // MuliplePoints and its templates
    bool compensation = true;     // ToolOffset: drag-knife compensation of cut jobs
    bool blankForEmptyEnd = true; // an empty End template sends one blank
    bool gpgl = true;             // isGPGL and WindowsUSBID are read
    bool syncBlock = true;        // the synchronisation block at opening
    bool autoCalibrate = true;    // the marker search
    bool headReplyXFirst = false; // a head reply gives x first (else y, except HP-GL's OA)
    // Which ports answer requests (plotting area, head position).
    enum class Exchange {
        Frame,    // "COM…", "USB" with a WindowsUSBID, or a device file
        ComOnly,  // "COM…" and device files
        UsbPrefix // the upper-cased Device begins with "USB"
    } exchange = Exchange::Frame;
};

class TemplateEmitter : public TemplateDriver {
public:
    TemplateEmitter(const DriverResources& texts, const EmitterSwitches& switches = {},
                    const PortPolicy& policy = {});

    void Reset() override;
    void HPStart() override;
    int Start(int cut) override;
    void SetOrigin(LONG x, LONG y) override;
    void End() override;
    // An open job the user aborted gets its end sequence once before the port closes.
    void Exit() override;
    void SelectPen(unsigned pen) override;
    void SetSpeed(int speed) override;
    void MoveTo(LONG x, LONG y) override;
    void LineTo(LONG x, LONG y) override;
    void CurveTo(LONG x1, LONG y1, LONG x2, LONG y2, LONG x3, LONG y3, LONG x4, LONG y4) override;
    int ReadSheetSize() override;
    int ReadHeadPos() override;
    int CanAutoCalibrate() override;
    int AutoCalibrate(LONG a1, LONG a2, LONG a3, LONG a4, LONG a5, LONG a6, LONG& r1, LONG& r2,
                      LONG& r3, LONG& r4, LONG& r5, LONG& r6) override;

    // A flattened piece of a curve, in fourfold coordinates.
    void Output(SaturatingPoint& p0, SaturatingPoint& p1, SaturatingPoint& p2,
                SaturatingPoint& p3) override;

protected:
    void SectionLoaded(CIniFile& ini) override;
    // Sends the End template (or the blank) and closes an open poly-line.
    void SendEnd();

    const EmitterSwitches switches_;

private:
    void ClosePolyLine();
    // The end sequence of a job the user aborted: past the abort, then drained.
    void FinishAbortedJob();
    void HeadToDeviceOrigin();
    void WarnIfNegative(LONG x, LONG y);
    // Sends a move or line to the device point (X, Y): absolute, or relative to the head in
    // pieces of at most 32700 steps.
    void SendTo(const CommandTemplate& command, LONG X, LONG Y);
    void SendPoint(const CommandTemplate& command, long x, long y);
    void PlainLine(LONG x, LONG y);
    void CompensatedLine(LONG x, LONG y);
    bool InsideKnifeBox(const SaturatingPoint& p) const;
    double AngleStep() const;

    bool CanExchange() const;
    // Opens the port for an exchange; true when it was opened here.
    bool OpenForExchange();
    bool SendRequest(unsigned milliseconds, const CommandTemplate& command);
    int ReadGPGLPoint(char request, long& x, long& y);

    bool polyLineOpen_ = false;
    bool compensation_ = false;
    bool endSent_ = true;    // until a job starts
    SaturatingPoint last_;   // L: last target of a move or a compensated line, driver axes
    SaturatingPoint offset_; // V: the knife's last offset from the head
};
