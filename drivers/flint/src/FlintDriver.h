#pragma once
// The template-language driver for serial and parallel cutters with a force setting: points
// go out as (y, x), relative moves unsplit, the force command rides on the cut init, files
// are written in text mode.

#include <driverframe/TemplateEmitter.h>

class FlintDriver : public TemplateEmitter {
public:
    explicit FlintDriver(const DriverResources& texts);

protected:
    void SectionLoaded(CIniFile& ini) override;
    // CutInit gets ForceCmd formatted with Force appended, from the stored texts each time.
    void TemplatesConverted() override;

private:
    long force_ = 1;
    CommandTemplate forceCmd_;
};
