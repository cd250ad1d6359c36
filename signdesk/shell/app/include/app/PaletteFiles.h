#pragma once
// The named palette entries and the palette files: ".wpl" lines "RRGGBB name" (CR LF
// written, either line end read) and CMYK lists of "\"name\" C M Y K" in percent.

#include <vector>

#include <mfc/CString.h>
#include <mfc/CStringArray.h>
#include <win32/base.h>

// The process-wide entries: six hex digits, a blank, the name from index 7 on.
CStringArray& PaletteEntries();
// 0 RGB, 1 CMYK: how an unnamed colour is named.
extern int ColorDisplayMode;

// "RRGGBB " (upper case, trailing blank).
CString FormatColorHex(COLORREF colour);
// The first entry of the colour, or -1.
int FindPaletteEntry(COLORREF colour);
// One colour per entry.
std::vector<COLORREF> ParsePaletteEntries();
// The entry's name, else "RGB(%3d,%3d,%3d)" or "CMYK(%3d,%3d,%3d,%3d)" by ColorDisplayMode.
CString GetColorName(COLORREF colour);
// Replaces the entries by the file's lines that start with six hex digits (in any case);
// FALSE, the entries untouched, when the file cannot be opened.
BOOL LoadPaletteFile(LPCSTR path);
// Replaces the entries by the list's colours; FALSE when the file cannot be opened.
BOOL ImportCmykPalette(LPCSTR path);
// One line per colour, written to a temporary file renamed over path; FALSE (and path
// untouched) on any failure.
BOOL SavePaletteFile(const std::vector<COLORREF>& colours, LPCSTR path);
