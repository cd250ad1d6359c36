#pragma once
// Running a command of the system's print service, with a time-out.

#include <optional>
#include <string>
#include <vector>

#include "win32/base.h"

namespace sdspool {

// Runs the program (looked up in PATH) with the arguments, input and error output going
// nowhere, and returns what it wrote to its output when it ends with status 0. A program
// that is missing, fails, or runs longer than the command time-out (then it is killed)
// gives nothing.
std::optional<std::string> runSpoolerCommand(const std::vector<std::string>& arguments);

void setSpoolerCommandTimeout(DWORD milliseconds); // 0: the default

} // namespace sdspool
