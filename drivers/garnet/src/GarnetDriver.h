#pragma once
// The template-language driver for serial and parallel cutters with an acceleration
// setting: "$" in a template stands for the Acceleration text, sent by SetAcceleration
// after the init command of every job.

#include <string>

#include <driverframe/TemplateEmitter.h>

class GarnetDriver : public TemplateEmitter {
public:
    explicit GarnetDriver(const DriverResources& texts);

    int Start(int cut) override;

protected:
    void SectionLoaded(CIniFile& ini) override;
    void TemplatesConverted() override;

private:
    std::string acceleration_ = "0.7";
    CommandTemplate setAcceleration_;
};
