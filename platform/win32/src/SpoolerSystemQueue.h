#pragma once
// The system's print queues, through the print service's client library (libcups).

#include <string>
#include <vector>

#include "win32/base.h"

namespace sdspool {

// The queue names, the service's default first, then the others in the order it lists
// them; none when no service answers. Instances read "queue/instance".
std::vector<std::string> systemPrinters();

// Queues the file on the printer as raw data under the title; true when the service took
// it, else false with the last error and its reason set.
bool submitSystemJob(const std::string& printer, const std::string& title, const std::string& file);

void setServiceTimeout(DWORD milliseconds); // 0: the default

} // namespace sdspool
