#pragma once
// The fake spooler's side for the spooler functions (the test side is
// win32/SpoolerTesting.h).

#include <optional>
#include <string>
#include <vector>

#include "win32/base.h"

namespace sdspool {

bool fakeInstalled();
std::vector<std::string> fakePrinters();
// The refusal bits of a fake printer; nothing when there is no such printer.
std::optional<DWORD> fakeRefusals(const std::string& printer);

void startFakeJob(DWORD jobId, const std::string& printer, const std::string& document,
                  const std::string& datatype);
void addFakePage(DWORD jobId);
void appendFakeJob(DWORD jobId, const char* data, DWORD size);
// Marks the job ended and writes its capture file; false when that file cannot be written.
bool endFakeJob(DWORD jobId);

} // namespace sdspool
