#pragma once
// What the parts of the drawing layer share beyond the context: window surfaces, printer
// descriptions, image read-back and call-log formatting.

#include <memory>
#include <sstream>
#include <string>

#include "DeviceContext.h"
#include "win32/GdiTesting.h"

namespace sdgdi {

// The surface of a window's client area (the screen's for a null window), made or resized to
// the client size when `create` is set.
std::shared_ptr<Surface> windowSurface(HWND hwnd, bool create);
void resetWindowSurfaces();

struct PrinterDescription {
    SdPrinterKind kind = SdPrinterKind::Raster;
    SdPrinterPage page;
    bool systemQueue = false; // a queue of the print service: its media are asked of it
};
// The description of a fake printer, or a system queue's; false when no such printer exists
// or no printer is on.
bool describePrinter(const std::string& name, PrinterDescription& out, std::string& canonical);
void resetPrinterSettings();
void addPrintedPage(SdPrintedPage page);
std::string pageFolder();

SdGdiImage imageOf(const Surface* s);

// "Name(a,b,c)".
template <class... A> std::string callLine(const char* name, const A&... args) {
    std::ostringstream out;
    out << name << '(';
    bool first = true;
    ((out << (first ? "" : ",") << args, first = false), ...);
    out << ')';
    return out.str();
}
std::string pointList(const POINT* points, std::size_t count);

} // namespace sdgdi
