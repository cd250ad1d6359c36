#pragma once
// The template-language driver that reaches its cutter through the USB pipe library
// summausb for the device "USB"; printers and files as the frame serves them. Points go out
// (x, y) as the plot library hands them over, relative moves split, without poly-lines or
// knife compensation. A write the cutter does not take within 100 ms brings the question.

#include <driverframe/TemplateEmitter.h>

#include "UsbPipes.h"

class EmberDriver : public TemplateEmitter {
public:
    explicit EmberDriver(const DriverResources& texts);
    ~EmberDriver();

private:
    UsbPipes pipes_;
};
