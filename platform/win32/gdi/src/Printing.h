#pragma once
// Printer contexts over the fake spooler's printers.

#include "win32/wingdi.h"

namespace sdgdi {

HDC createPrinterDc(LPCSTR device, LPCSTR output, const DEVMODEA* init, bool infoOnly);

} // namespace sdgdi
