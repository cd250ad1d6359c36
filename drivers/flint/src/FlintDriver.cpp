#include "FlintDriver.h"

#include <settings/CIniFile.h>

namespace {

EmitterSwitches FlintSwitches() {
    EmitterSwitches s;
    s.transform = false;
    s.splitRelative = false;
    s.yFirst = true;
    s.warnNegative = false;
    s.polyLines = false;
    s.compensation = false;
    s.blankForEmptyEnd = false;
    s.gpgl = false;
    s.syncBlock = false;
    s.autoCalibrate = false;
    s.headReplyXFirst = true;
    s.exchange = EmitterSwitches::Exchange::ComOnly;
    return s;
}

PortPolicy FlintPolicy() {
    PortPolicy p = PortPolicy::SerialCutter();
    p.textModeFile = true;
    return p;
}

} // namespace

FlintDriver::FlintDriver(const DriverResources& texts)
    : TemplateEmitter(texts, FlintSwitches(), FlintPolicy()) {
    setup_.force = true;
}

void FlintDriver::SectionLoaded(CIniFile& ini) {
    TemplateEmitter::SectionLoaded(ini);
    const char* s = SectionName().c_str();
    force_ = long(int(ini.GetInt(s, "Force", 1)));
    forceCmd_.Set(static_cast<const char*>(ini.GetCString(s, "ForceCmd", "")));
}

void FlintDriver::TemplatesConverted() {
    if (forceCmd_.IsEmpty()) return;
    forceCmd_.Convert();
    char command[CommandTemplate::MaxCommandLength + 1];
    if (!forceCmd_.Format(command, &force_, 1)) {
        // Refused like any command past the limit: reported, and the job aborted.
        Send(forceCmd_, {force_});
        return;
    }
    section_[Cmd::CutInit].AppendLiteral(command);
}
