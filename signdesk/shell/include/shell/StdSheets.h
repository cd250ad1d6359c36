#pragma once
// The standard sheet sizes of the sheet size dialog, from the user-editable file
// "StdSheets.cfg" (section "StandardSheets": "NumberOfSheets", then "Name%d", "W%d", "H%d"
// for 1..N, sizes in millimetres). A file that holds no sheets is filled with the 26
// built-in sizes, A0 to A12, then B0 to B12.

#include "settings/DynArrays.h"

// The list: three parallel arrays (grow step 50, at most 65534 sheets).
extern ConstStrDynArr StdSheetNames;
extern floatDynArr StdSheetWidths;
extern floatDynArr StdSheetHeights;

// Replaces the list with the file's sheets. An entry without a name or with a size that is
// 0 or not a number is passed over; names are cut at 79 characters. At most the list's limit
// is read whatever NumberOfSheets says, nothing when it is negative; 0 (or a missing file)
// gives the built-in sizes, which are written to the file.
void LoadStdSheets(const char* path);
void SaveStdSheets(const char* path);
// Appends a copy of the name and the sizes; false when the list is full.
bool AddStdSheet(const char* name, float width, float height);
