#include "driverframe/PlotterDriver.h"

int PlotterDriver::Setup(CWnd*) {
    return 0;
}
void PlotterDriver::Release() {}
void PlotterDriver::Reset() {}
void PlotterDriver::Abort() {}
void PlotterDriver::Init() {}
void PlotterDriver::Exit() {}
void PlotterDriver::HPStart() {}
void PlotterDriver::HPEnd() {}
int PlotterDriver::Start(int) {
    return 0;
}
void PlotterDriver::SetOrigin(LONG, LONG) {}
void PlotterDriver::End() {}
void PlotterDriver::SelectPen(unsigned) {}
void PlotterDriver::SetSpeed(int) {}
void PlotterDriver::MoveTo(LONG, LONG) {}
void PlotterDriver::LineTo(LONG, LONG) {}
void PlotterDriver::CurveTo(LONG, LONG, LONG, LONG, LONG, LONG, LONG, LONG) {}

void PlotterDriver::GetHeadPos(LONG& x, LONG& y) {
    x = headX;
    y = headY;
}

void PlotterDriver::SetHeadPos(LONG& x, LONG& y) {
    headX = x;
    headY = y;
}

int PlotterDriver::ReadSheetSize() {
    return 0;
}
int PlotterDriver::ReadHeadPos() {
    return 0;
}
int PlotterDriver::GetOrientation() {
    return 1;
}
const char* PlotterDriver::GetDeviceName() {
    return "";
}
void PlotterDriver::Write(const char*, int) {}
int PlotterDriver::CanAutoCalibrate() {
    return 0;
}
int PlotterDriver::AutoCalibrate(LONG, LONG, LONG, LONG, LONG, LONG, LONG&, LONG&, LONG&, LONG&,
                                 LONG&, LONG&) {
    return 0;
}
int PlotterDriver::ReadWithTimeout(char*, int, unsigned, const char*) {
    return -1;
}
int PlotterDriver::WriteWithTimeout(unsigned, const char*, int) {
    return 0;
}
