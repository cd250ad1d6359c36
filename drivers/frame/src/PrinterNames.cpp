#include "driverframe/PrinterNames.h"

#include <vector>

#include <mfc/CStringArray.h>
#include <win32/winspool.h>

void GetPrinterNames(CStringArray& names) {
    DWORD needed = 0, count = 0;
    EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 5, nullptr, 0, &needed, &count);
    if (needed == 0) return;
    std::vector<BYTE> buffer(needed);
    if (!EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 5, buffer.data(), needed, &needed, &count))
        return;
    const auto* printers = reinterpret_cast<const PRINTER_INFO_5A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        if (printers[i].pPrinterName) names.Add(printers[i].pPrinterName);
}

bool IsLocalPrinter(const std::string& name) {
    CStringArray printers;
    GetPrinterNames(printers);
    for (int i = 0; i < printers.GetSize(); ++i)
        if (printers[i].Compare(name.c_str()) == 0) return true;
    return false;
}
