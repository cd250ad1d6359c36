#pragma once

class CStringArray;

// Appends the name of every local printer, in the order the spooler lists them.
void GetPrinterNames(CStringArray& names);
