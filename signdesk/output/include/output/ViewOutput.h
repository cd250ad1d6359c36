#pragma once
// Rules the design view follows when it hands a design to the printer or the cutter.
#include <mfc/CString.h>
#include <win32/base.h>

class CDC;

// The name of a job: the document's file name less its last extension; "" for a document
// without a path. Taken afresh at every request.
CString JobNameFromPath(const char* documentPath);

// Whether a print goes through the printer's PostScript pass-through: only on a printer that
// takes it, and, when the design needs a picture (transparency, texture fills, a colour
// profile in force), only when the user keeps it (No to the question whether to print a
// picture instead).
bool DecidePassThrough(CDC* dc, bool needsPicture);
