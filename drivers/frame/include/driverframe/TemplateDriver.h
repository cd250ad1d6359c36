#pragma once
// The driver object of the template-language drivers: the device section with its command
// templates, the coordinate transform and the port. The emitters of a driver build on it.

#include <initializer_list>
#include <string>

#include <plotterdriver/PlotterDriver.h>

#include "driverframe/AxisTransform.h"
#include "driverframe/DeviceSection.h"
#include "driverframe/PortTransport.h"
#include "driverframe/SaturatingBez3Base.h"
#include "driverframe/SetupVariant.h"

class CIniFile;
class DriverResources;

class TemplateDriver : public PlotterDriver, public SaturatingBez3Base {
public:
    // The setup sheet over the bound section (TemplateDriverSetup.cpp): 1 after OK, which
    // wrote the changed keys and reloaded the section, else 0.
    int Setup(CWnd* parent) override;
    void Abort() override;
    // Opens the port named by the section's Device key as it is now, converts the templates
    // and sends the synchronisation block. With a cutting area that is no area (max x or
    // max y not above 0) nothing is opened: the key is reported and the job aborted.
    void Init() override;
    void Exit() override;
    const char* GetDeviceName() override;
    void Write(const char* data, int length) override;
    int ReadWithTimeout(char* buffer, int size, unsigned milliseconds,
                        const char* terminators) override;
    int WriteWithTimeout(unsigned milliseconds, const char* data, int length) override;

    // Whether Attach may hand the object out: only with its resource library.
    bool CanAttach() const;
    // Binds the object to section deviceName of the profile iniPath and loads it.
    void Bind(const char* deviceName, const char* iniPath);
    // Reads every key of the section, replacing what an earlier load left.
    void LoadSection();

    const DeviceSection& Section() const { return section_; }
    const std::string& IniPath() const { return iniPath_; }
    const std::string& SectionName() const { return sectionName_; }

protected:
    explicit TemplateDriver(const DriverResources& texts, const PortPolicy& policy = {});
    ~TemplateDriver();

    // Hooks of the variants. After the section's keys are read, before the driver's fields
    // are taken from them: read the variant's own keys, drop the keys it does not have.
    virtual void SectionLoaded(CIniFile& ini);
    // After the templates were converted from their stored texts, at each opening.
    virtual void TemplatesConverted();
    // Whether the template conversion turns "$" into the text argument of a command.
    bool dollarIsText_ = false;
    // ToolOffset when the section has none, in millimetres.
    double defaultToolOffset_ = 0.5;
    // Device when the section has none.
    const char* defaultDevice_ = "LPT1";
    // The keys and pages of the setup sheet.
    SetupVariant setup_;

    // Formats the template with the numbers and writes it. A command longer than the
    // formatting limit is not sent: it is reported once per opening and aborts the job.
    // `text` takes the place of a "$" where the driver converts it.
    bool Send(Cmd command, std::initializer_list<long> numbers = {});
    bool Send(const CommandTemplate& command, std::initializer_list<long> numbers = {},
              const char* text = nullptr);

    // Shows the "outside the cutting area" message once per opening of the port: a design
    // reaching below the origin would otherwise raise it for every move and line.
    void ReportOutsideOnce();

    // Sets the transform from the section. A PaperWidth (PaperHeight) of 0 stands for the
    // media as the driver knows it: max y (max x), which the cutter's own report of its
    // plotting area replaces; so run again after such a report.
    void UpdateTransform();

    void Forward(LONG& x, LONG& y) const { transform_.Forward(x, y); }
    void Reverse(LONG& x, LONG& y) const { transform_.Reverse(x, y); }

    DeviceSection section_;
    PortTransport port_;
    const DriverResources& texts_;

private:
    void SendSyncBlock();

    AxisTransform transform_;
    std::string iniPath_;
    std::string sectionName_;
    bool commandTooLongReported_ = false;
    bool outsideReported_ = false;
};
