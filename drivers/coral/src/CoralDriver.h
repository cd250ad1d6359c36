#pragma once
// The template-language driver: every operation of the plot library becomes commands
// formatted from the device section's templates. It keeps the head position, splits long
// relative moves, groups lines into poly-lines, sends curves as Bezier commands or flattens
// them, compensates a drag knife's offset at corners, and runs the request/reply exchanges.

#include <driverframe/TemplateDriver.h>

class CoralDriver : public TemplateDriver {
public:
    explicit CoralDriver(const DriverResources& texts);

    void Reset() override;
    void HPStart() override;
    int Start(int cut) override;
    void SetOrigin(LONG x, LONG y) override;
    void End() override;
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
    void Output(longPoint& p0, longPoint& p1, longPoint& p2, longPoint& p3) override;

private:
    void ClosePolyLine();
    void HeadToDeviceOrigin();
    void WarnIfNegative(LONG x, LONG y);
    // Sends a move or line to the device point (X, Y): absolute, or relative to the head in
    // pieces of at most 32700 steps.
    void SendTo(const CommandTemplate& command, LONG X, LONG Y);
    void PlainLine(LONG x, LONG y);
    void CompensatedLine(LONG x, LONG y);
    bool InsideKnifeBox(const longPoint& p) const;
    double AngleStep() const;

    // Ports that answer requests: "COM…", "USB" with a USB id, or a device file.
    bool CanExchange() const;
    // Opens the port for an exchange; true when it was opened here.
    bool OpenForExchange();
    bool SendRequest(unsigned milliseconds, const CommandTemplate& command);
    int ReadGPGLPoint(char request, long& x, long& y);

    bool polyLineOpen_ = false;
    bool compensation_ = false;
    longPoint last_;   // L: last target of a move or a compensated line, driver axes
    longPoint offset_; // V: the knife's last offset from the head
};
