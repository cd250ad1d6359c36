#pragma once
// The system's print queues, through the print service's lpstat and lp commands.

#include <string>
#include <vector>

namespace sdspool {

// The queue names in the order the service lists them; none when no service answers.
std::vector<std::string> systemPrinters();

// Queues the file on the printer as raw data under the title; true when the service took it.
bool submitSystemJob(const std::string& printer, const std::string& title, const std::string& file);

} // namespace sdspool
