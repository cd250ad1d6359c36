#pragma once
// A print run of the engine's layout on a printer context: every page, the engine drawing
// each one, the user asked between pages when wanted. A page or document that the printer
// refuses aborts the document with one message naming the printer, the page and the reason.
#include <mfc/CString.h>

class CDC;
class CPrintEngine;

enum class PrintRunResult { Printed, Stopped, Refused, Failed };

PrintRunResult PrintPages(CDC& dc, CPrintEngine& engine, const char* printerName,
                          const char* documentName, bool askBetweenPages);

// The whole print action of the print page: the print dialog on the default printer, then the
// run under the application's title. Nothing without a printer (told) or when cancelled.
PrintRunResult RunPrintAction(CPrintEngine& engine, bool askBetweenPages);
