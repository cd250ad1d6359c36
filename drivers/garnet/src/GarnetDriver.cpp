#include "GarnetDriver.h"

#include <settings/CIniFile.h>

namespace {

EmitterSwitches GarnetSwitches() {
    EmitterSwitches s;
    s.transform = false;
    s.polyLines = false;
    s.compensation = false;
    s.gpgl = false;
    s.syncBlock = false;
    s.autoCalibrate = false;
    return s;
}

} // namespace

GarnetDriver::GarnetDriver(const DriverResources& texts)
    : TemplateEmitter(texts, GarnetSwitches(), PortPolicy::SerialCutter()) {
    dollarIsText_ = true;
    setup_.acceleration = true;
}

void GarnetDriver::SectionLoaded(CIniFile& ini) {
    TemplateEmitter::SectionLoaded(ini);
    const char* s = SectionName().c_str();
    acceleration_ = static_cast<const char*>(ini.GetCString(s, "Acceleration", "0.7"));
    setAcceleration_.Set(static_cast<const char*>(ini.GetCString(s, "SetAcceleration", "")));
}

void GarnetDriver::TemplatesConverted() {
    setAcceleration_.Convert(true);
}

int GarnetDriver::Start(int cut) {
    int compensation = TemplateEmitter::Start(cut);
    if (!setAcceleration_.IsEmpty()) Send(setAcceleration_, {}, acceleration_.c_str());
    return compensation;
}
