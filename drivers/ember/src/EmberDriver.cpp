#include "EmberDriver.h"

namespace {

EmitterSwitches EmberSwitches() {
    EmitterSwitches s;
    s.transform = false;
    s.polyLines = false;
    s.compensation = false;
    s.gpgl = false;
    s.autoCalibrate = false;
    // The reply pipe answers the requests of a cutter on "USB".
    s.exchange = EmitterSwitches::Exchange::UsbPrefix;
    return s;
}

PortPolicy EmberPolicy(PortChannel* pipes) {
    PortPolicy p;
    p.lptPorts = 0;
    p.comPorts = 0;
    p.usbThroughPortLibrary = false;
    p.fixedTimeOut = 0; // the question comes at the first pass without progress
    p.usbChannel = pipes;
    return p;
}

} // namespace

EmberDriver::EmberDriver(const DriverResources& texts)
    : TemplateEmitter(texts, EmberSwitches(), EmberPolicy(&pipes_)), pipes_(texts) {
    defaultToolOffset_ = 0;
    defaultDevice_ = "USB";
    setup_.serial = false;
    setup_.usbLibrary = "summausb";
    pipes_.BindLibrary();
}

EmberDriver::~EmberDriver() {
    // The port must close while the pipes it writes to still exist.
    Exit();
}
