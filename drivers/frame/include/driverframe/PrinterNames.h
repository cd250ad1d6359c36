#pragma once

#include <string>

class CStringArray;

// Appends the name of every local printer, in the order the spooler lists them.
void GetPrinterNames(CStringArray& names);
// Whether `name` is exactly the name of a local printer.
bool IsLocalPrinter(const std::string& name);
