#pragma once
// The GP-GL driver for small USB desktop cutters: fixed commands per model family (key
// Type), each ended by ETX, absolute coordinates in 0.05 mm steps, and the cutter looked up
// by its USB ids before the port is opened. A Device other than "USB" at Init (the plot
// library's spool file, say) is opened by the frame's rules without the lookup.

#include <string>

#include <driverframe/TemplateEmitter.h>

class HeathDriver : public TemplateEmitter {
public:
    explicit HeathDriver(const DriverResources& texts);

    // Looks the cutter up and opens the port library's USB connection only when it is
    // plugged in; a cutter not found is reported and the job aborted.
    void Init() override;
    // The one-page sheet (HeathSetup.cpp).
    int Setup(CWnd* parent) override;
    int ReadSheetSize() override;
    int ReadHeadPos() override;
    int GetOrientation() override;
    const char* GetDeviceName() override;
    int CanAutoCalibrate() override;
    int AutoCalibrate(LONG a1, LONG a2, LONG a3, LONG a4, LONG a5, LONG a6, LONG& r1, LONG& r2,
                      LONG& r3, LONG& r4, LONG& r5, LONG& r6) override;

    static constexpr float StepSize = 0.05f;

protected:
    // Reads the driver's own keys, sets the fixed templates and writes WindowsUSBID.
    void SectionLoaded(CIniFile& ini) override;

private:
    // Sends the request and reads the reply into `reply`; its length, 0 when none came.
    int Exchange(const char* request, unsigned requestTimeout, char* reply, int size,
                 unsigned replyTimeout);

    std::string productId_; // "vid_0b4d&pid_110a"
};
